#include "judging_rules.h"

#include <QCryptographicHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMessageAuthenticationCode>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <algorithm>
#include <array>
#include <cmath>

namespace judging {

QString randomSecret()
{
    std::array<quint32, 4> words{};
    QRandomGenerator::system()->fillRange(words.data(), words.size());
    const QByteArray raw(reinterpret_cast<const char *>(words.data()), int(sizeof(words)));
    return QString::fromLatin1(raw.toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals));
}

QString randomCode()
{
    return QStringLiteral("%1").arg(QRandomGenerator::system()->bounded(100000000), kCodeDigits, 10, QLatin1Char('0'));
}

QByteArray keyVerifier(const QString &deviceKey)
{
    return QCryptographicHash::hash(deviceKey.toUtf8(), QCryptographicHash::Sha256);
}

QString challengeAnswer(const QByteArray &verifier, const QString &nonce)
{
    return QString::fromLatin1(QMessageAuthenticationCode::hash(nonce.toUtf8(), verifier, QCryptographicHash::Sha256).toHex());
}

bool sameSecret(const QString &a, const QString &b)
{
    if (a.size() != b.size() || a.isEmpty())
        return false;
    ushort diff = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        diff |= a.at(i).unicode() ^ b.at(i).unicode();
    return diff == 0;
}

QString deviceLabel(const QString &deviceKey)
{
    const QByteArray hash = QCryptographicHash::hash(deviceKey.toUtf8(), QCryptographicHash::Sha256);
    return QStringLiteral("D-") + QString::fromLatin1(hash.left(2).toHex());
}

// --- SeatBook ---

SeatBook::SeatBook() : m_seats(kSeats)
{
    renewAll();
}

int SeatBook::seatForToken(const QString &token) const
{
    int found = 0;
    for (int i = 0; i < kSeats; ++i) {
        if (sameSecret(m_seats[i].token, token))
            found = i + 1;
    }
    return found;
}

int SeatBook::seatForDevice(const QString &id) const
{
    int found = 0;
    for (int i = 0; i < kSeats; ++i) {
        if (sameSecret(m_seats[i].pairing.id, id))
            found = i + 1;
    }
    return found;
}

SeatBook::CodeOutcome SeatBook::takeCode(const QString &code, qint64 now)
{
    CodeOutcome outcome;
    for (int i = 0; i < kSeats; ++i) {
        Seat &s = m_seats[i];
        if (s.code.isEmpty() || !sameSecret(s.code, code))
            continue;
        outcome.seat = i + 1;
        outcome.result = now >= s.codeExpires ? CodeResult::Expired : CodeResult::Taken;
        s.code.clear(); // one use, whatever came of it
        return outcome;
    }
    return outcome;
}

QString SeatBook::newCode(int seat, qint64 now)
{
    if (!valid(seat))
        return {};
    QString code;
    bool clash = true;
    while (clash) {
        code = randomCode();
        clash = std::any_of(m_seats.cbegin(), m_seats.cend(), [&](const Seat &s) { return s.code == code; });
    }
    Seat &s = m_seats[seat - 1];
    s.code = code;
    s.codeExpires = now + kCodeLifetimeMs;
    return code;
}

bool SeatBook::codeOut(int seat, qint64 now) const
{
    return valid(seat) && !m_seats[seat - 1].code.isEmpty() && now < m_seats[seat - 1].codeExpires;
}

QString SeatBook::pair(int seat)
{
    Seat &s = m_seats[seat - 1];
    const QString key = randomSecret();
    s.pairing.id = randomSecret();
    s.pairing.device = deviceLabel(s.pairing.id);
    s.pairing.verifier = keyVerifier(key);
    s.token = randomSecret();
    s.code.clear();
    return key;
}

void SeatBook::restore(int seat, const Pairing &pairing)
{
    if (valid(seat))
        m_seats[seat - 1].pairing = pairing;
}

void SeatBook::reset(int seat)
{
    if (!valid(seat))
        return;
    Seat fresh;
    fresh.token = randomSecret();
    m_seats[seat - 1] = fresh;
}

void SeatBook::renewAll()
{
    for (int seat = 1; seat <= kSeats; ++seat)
        reset(seat);
}

// --- GuessBudget ---

bool GuessBudget::available(qint64 now)
{
    if (!m_started) {
        m_started = true;
        m_last = now;
    }
    m_tokens = std::min(kBurst, m_tokens + double(now - m_last) * kPerSecond / 1000.0);
    m_last = now;
    return m_tokens >= 1;
}

// --- AddressThrottle ---

bool AddressThrottle::blocked(const QString &address, qint64 now) const
{
    const auto it = m_entries.constFind(address);
    return it != m_entries.cend() && now < it->blockedUntil;
}

void AddressThrottle::failure(const QString &address, qint64 now)
{
    // Addresses long quiet are forgotten, so the table stays small however many addresses try.
    if (m_entries.size() > 4096) {
        for (auto it = m_entries.begin(); it != m_entries.end();)
            it = now - it->lastFailure > kForgetMs && now >= it->blockedUntil ? m_entries.erase(it) : std::next(it);
    }
    Entry &e = m_entries[address];
    if (e.lastFailure != 0 && now - e.lastFailure > kForgetMs && now >= e.blockedUntil)
        e = Entry{};
    e.lastFailure = now;
    if (++e.failures >= kAllowed) {
        e.failures = 0;
        e.blockedUntil = now + e.penalty;
        e.penalty = std::min(e.penalty * 2, kLongestPenaltyMs);
    }
}

// --- RateBucket ---

bool RateBucket::take(qint64 now)
{
    m_tokens = std::min(kBurst, m_tokens + double(now - m_last) * kPerSecond / 1000.0);
    m_last = now;
    if (m_tokens < 1)
        return false;
    m_tokens -= 1;
    return true;
}

// --- Scores ---

QString outcomeText(Outcome outcome)
{
    switch (outcome) {
    case Outcome::Accepted: return QStringLiteral("accepted");
    case Outcome::Duplicate: return QStringLiteral("duplicate");
    case Outcome::OlderSequence: return QStringLiteral("older_seq");
    case Outcome::OtherPerformance: return QStringLiteral("other_performance");
    case Outcome::NoPerformance: return QStringLiteral("no_performance");
    case Outcome::NotJudging: return QStringLiteral("not_judging");
    case Outcome::BadFormat: return QStringLiteral("bad_format");
    case Outcome::OutOfRange: return QStringLiteral("out_of_range");
    case Outcome::Final: return QStringLiteral("final");
    case Outcome::RateLimited: return QStringLiteral("rate_limited");
    case Outcome::Unsaved: return QStringLiteral("unsaved");
    }
    return {};
}

QString checkScore(const QString &text, const Performance &performance, Outcome *why)
{
    static const QRegularExpression shape(QStringLiteral("^([0-9]{1,4})(?:\\.([0-9]+))?$"));
    const QRegularExpressionMatch m = shape.match(text);
    if (!m.hasMatch() || m.captured(2).size() > std::max(0, performance.decimals)) {
        *why = Outcome::BadFormat;
        return {};
    }
    QString whole = m.captured(1);
    while (whole.size() > 1 && whole.startsWith(QLatin1Char('0')))
        whole.remove(0, 1);
    const QString normal = m.captured(2).isEmpty() ? whole : whole + QLatin1Char('.') + m.captured(2);
    const double value = normal.toDouble();
    // A hair of tolerance: the range comes from settings text and may not be exact in binary.
    const double eps = 1e-9;
    if (value < performance.lowest - eps || value > performance.highest + eps) {
        *why = Outcome::OutOfRange;
        return {};
    }
    *why = Outcome::Accepted;
    return normal;
}

QString auditText(const QString &value)
{
    QString out;
    for (const QChar c : value) {
        if (c.unicode() >= 0x20 && c.unicode() < 0x7f && c != QLatin1Char('\\'))
            out += c;
        else
            out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
    }
    return out;
}

// --- Messages ---

namespace {
bool shortText(const QJsonValue &v, int maxLength, QString *out)
{
    if (!v.isString() || v.toString().size() > maxLength)
        return false;
    *out = v.toString();
    return true;
}
bool wholeNumber(const QJsonValue &v, double lowest, double highest, qint64 *out)
{
    if (!v.isDouble())
        return false;
    const double d = v.toDouble();
    if (d != std::floor(d) || d < lowest || d > highest)
        return false;
    *out = qint64(d);
    return true;
}
} // namespace

Message parseMessage(const QByteArray &text)
{
    Message m;
    if (text.size() > kMaxMessageBytes)
        return m;
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(text, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return m;
    const QJsonObject o = doc.object();
    const QString type = o.value(QStringLiteral("t")).toString();
    if (type == QLatin1String("ping")) {
        m.kind = Message::Kind::Ping;
    } else if (type == QLatin1String("hello")) {
        auto optional = [&](const char *name, QString *out) {
            const QJsonValue v = o.value(QLatin1String(name));
            return v.isUndefined() || v.isNull() || shortText(v, 64, out);
        };
        if (!optional("token", &m.token) || !optional("code", &m.code) || !optional("device", &m.device)
            || !optional("proof", &m.proof))
            return m;
        if (m.token.isEmpty() && m.code.isEmpty() && (m.device.isEmpty() || m.proof.isEmpty()))
            return m;
        m.kind = Message::Kind::Hello;
    } else if (type == QLatin1String("score")) {
        // Each field that reads is kept, so a refusal can name the score and the audit shows it.
        qint64 round = 0, position = 0;
        const bool roundOk = wholeNumber(o.value(QStringLiteral("round")), 1, 4, &round);
        const bool positionOk = wholeNumber(o.value(QStringLiteral("pos")), 1, 99999, &position);
        const bool seqOk = wholeNumber(o.value(QStringLiteral("seq")), 1, double(kMaxSequence), &m.seq);
        const QJsonValue value = o.value(QStringLiteral("value"));
        const bool valueOk = shortText(value, 16, &m.value);
        if (!valueOk)
            m.value = value.isString() ? value.toString().left(32)
                      : value.isDouble() ? QString::number(value.toDouble(), 'g', 17) : QString();
        m.round = roundOk ? int(round) : 0;
        m.position = positionOk ? int(position) : 0;
        if (!seqOk)
            m.seq = 0;
        m.kind = roundOk && positionOk && seqOk && valueOk ? Message::Kind::Score : Message::Kind::BadScore;
    }
    return m;
}

QString evictionVictim(const QHash<QString, int> &counts, const QString &address, int perAddress, bool full)
{
    if (counts.value(address) >= perAddress)
        return address;
    QString victim;
    if (full) {
        int most = 0;
        for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
            if (it.value() > most) {
                most = it.value();
                victim = it.key();
            }
        }
    }
    return victim;
}

} // namespace judging
