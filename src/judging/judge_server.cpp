#include "judge_server.h"

#include "settings/settings_files.h"
#include "settings/settings_keys.h"

#include <QDirIterator>
#include <QFile>
#include <QHostAddress>
#include <QJsonDocument>
#include <QWebSocket>
#include <QWebSocketServer>

#include <algorithm>
#include <memory>
#include <utility>

namespace judging {

namespace {
const QString kPageRoot = QStringLiteral(":/judging/page");

QString addressText(const QHostAddress &address)
{
    bool ok = false;
    const quint32 v4 = address.toIPv4Address(&ok);
    return ok ? QHostAddress(v4).toString() : address.toString();
}

QByteArray contentType(const QString &file)
{
    if (file.endsWith(QLatin1String(".html")))
        return "text/html; charset=utf-8";
    if (file.endsWith(QLatin1String(".css")))
        return "text/css; charset=utf-8";
    return "text/javascript; charset=utf-8";
}
} // namespace

JudgeServer::JudgeServer(QObject *parent) : JudgeLink(parent)
{
    m_steady.start();
    m_clock = [this] { return m_steady.elapsed(); };
    m_sweep.setInterval(1000);
    connect(&m_sweep, &QTimer::timeout, this, &JudgeServer::sweep);
    m_flush.setInterval(250);
    connect(&m_flush, &QTimer::timeout, this, [this] {
        QString error;
        if (!m_audit.flush(&error, false)) // counts of the second still running wait for it to end
            qWarning("The audit of the judges' phones could not be written: %s", qPrintable(error));
    });
    const qint64 t = now();
    for (RateBucket &b : m_seatBuckets)
        b = RateBucket(t);
    for (int s = 1; s <= kSeats; ++s)
        m_shown[s - 1] = seat(s);
}

JudgeServer::~JudgeServer()
{
    if (!m_echoes.isEmpty())
        commitEchoes();
    closeAll();
    m_gate.reset();
    if (m_audit.pending() > 0) { // what is left goes to the database, which the owner keeps until now
        QString error;
        m_audit.flush(&error, true);
    }
}

void JudgeServer::attach(const SettingsFiles *settings, Connection *database)
{
    QString error;
    m_audit.flush(&error, true); // what was gathered goes to the database it was gathered for
    m_settings = settings;
    m_audit.attach(database);
    if (database)
        loadPairings();
}

void JudgeServer::loadPairings()
{
    QString error;
    const QHash<int, Pairing> stored = m_audit.pairings(&error);
    if (!error.isEmpty())
        qWarning("The judges' phones' pairings could not be read: %s", qPrintable(error));
    for (int seat = 1; seat <= kSeats; ++seat)
        m_book.restore(seat, stored.value(seat));
    refreshSeats(true);
}

void JudgeServer::setSteadyClock(std::function<qint64()> clock)
{
    m_clock = std::move(clock);
}

bool JudgeServer::flushAudit()
{
    QString error;
    const bool ok = m_audit.flush(&error, true);
    if (!ok)
        qWarning("The audit of the judges' phones could not be written: %s", qPrintable(error));
    return ok;
}

// --- Running ---

bool JudgeServer::start(const QString &address, quint16 port, QString *error)
{
    stop();
    QHostAddress host;
    if (!host.setAddress(address.trimmed()) || host.protocol() != QAbstractSocket::IPv4Protocol) {
        if (error)
            *error = QStringLiteral("监听地址“%1”不是本机的 IPv4 地址。").arg(address.trimmed());
        return false;
    }
    if (host == QHostAddress::AnyIPv4) {
        if (error)
            *error = QStringLiteral("请选择评委手机所在网络的地址，而不是 0.0.0.0。");
        return false;
    }
    auto gate = std::make_unique<HttpGate>();
    gate->setLimits(m_gateLimits);
    QDirIterator files(kPageRoot, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString file = files.next();
        QFile f(file);
        if (f.open(QIODevice::ReadOnly))
            gate->addFile(file.mid(kPageRoot.size()).toUtf8(), contentType(file), f.readAll());
    }
    QString why;
    if (!gate->listen(host, port, &why)) {
        if (error)
            *error = QStringLiteral("无法在 %1:%2 上启动手机评分：%3").arg(host.toString()).arg(port).arg(why);
        return false;
    }
    m_address = host.toString();
    m_port = gate->port();
    m_hostPort = gate->hostPort();
    m_audit.recheck();
    connect(gate->sockets(), &QWebSocketServer::newConnection, this, &JudgeServer::acceptSockets);
    m_gate = std::move(gate);

    // A database made before the audit existed gets its table now.
    flushAudit();
    m_sweep.start();
    m_flush.start();
    emit runningChanged(true);
    refreshSeats(true);
    return true;
}

void JudgeServer::stop()
{
    if (!m_gate)
        return;
    m_sweep.stop();
    m_flush.stop();
    if (!m_echoes.isEmpty())
        commitEchoes();
    closeAll();
    m_gate.reset();
    QString error;
    if (!m_audit.flush(&error, true))
        qWarning("The audit of the judges' phones could not be written: %s", qPrintable(error));
    emit runningChanged(false);
    refreshSeats(true);
}

void JudgeServer::closeAll()
{
    std::vector<QWebSocket *> sockets;
    for (const auto &[s, c] : m_clients)
        sockets.push_back(s);
    for (QWebSocket *s : sockets) {
        detach(s);
        s->disconnect(this);
        s->abort();
        s->deleteLater();
    }
}

// --- Connections ---

void JudgeServer::acceptSockets()
{
    while (m_gate && m_gate->sockets()->hasPendingConnections()) {
        QWebSocket *s = m_gate->sockets()->nextPendingConnection();
        if (!s)
            continue;
        s->setParent(this);
        connect(s, &QWebSocket::disconnected, s, &QObject::deleteLater);
        s->setReadBufferSize(4 * kMaxMessageBytes);
        s->setMaxAllowedIncomingFrameSize(kMaxMessageBytes);
        s->setMaxAllowedIncomingMessageSize(kMaxMessageBytes);
        const QString address = addressText(s->peerAddress());
        makeRoom(address);
        Client c;
        c.address = address;
        c.nonce = randomSecret();
        c.opened = c.lastSeen = now();
        c.arrival = ++m_arrivals;
        c.bucket = RateBucket(c.opened);
        m_clients.emplace(s, c);
        connect(s, &QWebSocket::textMessageReceived, this, [this, s](const QString &text) { onText(s, text); });
        connect(s, &QWebSocket::binaryMessageReceived, this, [this, s] { drop(s, QStringLiteral("binary")); });
        connect(s, &QWebSocket::disconnected, this, [this, s] { detach(s); });
        send(s, {{QStringLiteral("t"), QStringLiteral("challenge")}, {QStringLiteral("nonce"), c.nonce}});
    }
}

// Sockets that have not proved a seat are bounded per address and in all; past the bound the oldest of
// the address holding most gives way. A seat's own phone proves itself within milliseconds, so it always
// gets in, however many idle sockets others open.
void JudgeServer::makeRoom(const QString &address)
{
    QHash<QString, int> counts;
    int unproven = 0;
    for (const auto &[s, c] : m_clients) {
        if (!c.seat) {
            ++counts[c.address];
            ++unproven;
        }
    }
    const QString victim = evictionVictim(counts, address, m_perAddress, unproven >= kMaxUnproven);
    if (victim.isEmpty())
        return;
    QWebSocket *oldest = nullptr;
    quint64 arrival = 0;
    for (const auto &[s, c] : m_clients) {
        if (!c.seat && c.address == victim && (!oldest || c.arrival < arrival)) {
            oldest = s;
            arrival = c.arrival;
        }
    }
    if (oldest)
        drop(oldest, QStringLiteral("busy"));
}

void JudgeServer::detach(QWebSocket *socket)
{
    const auto it = m_clients.find(socket);
    if (it == m_clients.end())
        return;
    const int seat = it->second.seat;
    m_clients.erase(it);
    if (SeatBook::valid(seat)) {
        if (m_live[seat - 1] == socket)
            m_live[seat - 1] = nullptr;
        if (m_waiting[seat - 1] == socket)
            m_waiting[seat - 1] = nullptr;
    }
    refreshSeats();
}

void JudgeServer::drop(QWebSocket *socket, const QString &reason)
{
    detach(socket);
    socket->close(QWebSocketProtocol::CloseCodePolicyViolated, reason);
    // A peer that never answers the close is cut off.
    QTimer::singleShot(2000, socket, [socket] { socket->abort(); });
}

void JudgeServer::send(QWebSocket *socket, const QJsonObject &message) const
{
    // A peer that leaves what it is sent unread gets no more: it is cut off once the caller has returned.
    if (socket->bytesToWrite() > kMaxQueuedBytes) {
        QMetaObject::invokeMethod(socket, [socket] { socket->abort(); }, Qt::QueuedConnection);
        return;
    }
    socket->sendTextMessage(QString::fromUtf8(QJsonDocument(message).toJson(QJsonDocument::Compact)));
}

void JudgeServer::deny(QWebSocket *socket, const QString &reason) const
{
    send(socket, {{QStringLiteral("t"), QStringLiteral("denied")}, {QStringLiteral("reason"), reason}});
}

void JudgeServer::onText(QWebSocket *socket, const QString &text)
{
    const auto it = m_clients.find(socket);
    if (it == m_clients.end())
        return;
    Client &c = it->second;
    const qint64 t = now();
    // A seat's device keeps its rate across reconnects: cutting itself off and coming back gains nothing.
    const bool seated = c.seat && !c.waiting;
    RateBucket &bucket = seated ? m_seatBuckets[c.seat - 1] : c.bucket;
    int &dropped = seated ? m_seatDropped[c.seat - 1] : c.dropped;
    if (!bucket.take(t)) {
        if (seated)
            m_audit.count({QDateTime::currentDateTime(), c.seat, m_book.seat(c.seat).pairing.device, 0, 0, 0, {},
                           outcomeText(Outcome::RateLimited)});
        if (++dropped > kMaxDropped) {
            dropped = 0;
            drop(socket, QStringLiteral("rate"));
        }
        return;
    }
    dropped = 0;
    const Message m = parseMessage(text.toUtf8());
    c.lastSeen = t;
    if (seated)
        m_lastSeen[c.seat - 1] = t;
    switch (m.kind) {
    case Message::Kind::Hello:
        onHello(socket, c, m);
        return;
    case Message::Kind::Score:
    case Message::Kind::BadScore:
        if (!seated)
            drop(socket, QStringLiteral("unpaired"));
        else if (m.kind == Message::Kind::Score)
            onScore(socket, c, m);
        else
            onBadScore(socket, c, m);
        return;
    case Message::Kind::Ping:
        if (!c.seat) {
            drop(socket, QStringLiteral("unpaired"));
            return;
        }
        send(socket, {{QStringLiteral("t"), QStringLiteral("pong")}});
        refreshSeats();
        return;
    case Message::Kind::Invalid:
        if (!c.seat) {
            m_throttle.failure(c.address, t);
            drop(socket, QStringLiteral("invalid"));
        }
        return;
    }
}

void JudgeServer::onHello(QWebSocket *socket, Client &c, const Message &m)
{
    if (c.seat)
        return;
    const qint64 t = now();
    if (m_throttle.blocked(c.address, t)) {
        deny(socket, QStringLiteral("throttled"));
        drop(socket, QStringLiteral("throttled"));
        return;
    }
    // A device paired before: its answer to this connection's challenge decides its seat.
    if (!m.device.isEmpty() && !m.proof.isEmpty()) {
        const int seat = m_book.seatForDevice(m.device);
        const QString nonce = std::exchange(c.nonce, QString()); // one answer per challenge
        if (seat && !nonce.isEmpty() && sameSecret(challengeAnswer(m_book.seat(seat).pairing.verifier, nonce), m.proof)) {
            QWebSocket *live = m_live[seat - 1];
            if (live && live != socket && t - m_lastSeen[seat - 1] <= kStaleMs)
                askOperator(socket, c, seat, true); // the seat is in use right now: not without the operator
            else
                admit(socket, c, seat, QString());
            return;
        }
        if (m.token.isEmpty() && m.code.isEmpty()) {
            // A device no seat knows any more (the seats were renewed or this one was reset), or a forgery.
            m_throttle.failure(c.address, t);
            deny(socket, QStringLiteral("unknown"));
            drop(socket, QStringLiteral("unknown"));
            return;
        }
    }
    int seat = 0;
    if (!m.token.isEmpty()) {
        seat = m_book.seatForToken(m.token);
        if (!seat) {
            m_throttle.failure(c.address, t);
            deny(socket, QStringLiteral("token"));
            drop(socket, QStringLiteral("token"));
            return;
        }
    } else if (!m.code.isEmpty()) {
        // Guesses are few from any address and from all together; a wrong one locks nobody out.
        if (!m_guesses.available(t)) {
            deny(socket, QStringLiteral("throttled"));
            drop(socket, QStringLiteral("throttled"));
            return;
        }
        const SeatBook::CodeOutcome outcome = m_book.takeCode(m.code.trimmed(), t);
        switch (outcome.result) {
        case SeatBook::CodeResult::Taken:
            seat = outcome.seat;
            break;
        case SeatBook::CodeResult::Wrong:
            m_guesses.spend();
            m_throttle.failure(c.address, t);
            deny(socket, QStringLiteral("code")); // the page lets the judge type it again
            return;
        case SeatBook::CodeResult::Expired:
            deny(socket, QStringLiteral("expired"));
            refreshSeats(true);
            return;
        }
    } else {
        deny(socket, QStringLiteral("unknown"));
        drop(socket, QStringLiteral("unknown"));
        return;
    }
    if (!m_book.paired(seat)) {
        pairNew(socket, c, seat);
        return;
    }
    // The seat has its device: another one waits for the operator's yes.
    askOperator(socket, c, seat, false);
}

void JudgeServer::askOperator(QWebSocket *socket, Client &c, int seat, bool sameDevice)
{
    // An earlier asker is turned away.
    if (QWebSocket *earlier = m_waiting[seat - 1]; earlier && earlier != socket) {
        deny(earlier, QStringLiteral("refused"));
        drop(earlier, QStringLiteral("refused"));
    }
    c.seat = seat;
    c.waiting = true;
    c.sameDevice = sameDevice;
    m_waiting[seat - 1] = socket;
    send(socket, {{QStringLiteral("t"), QStringLiteral("wait")}, {QStringLiteral("seat"), seat}});
    refreshSeats(true);
    emit secondDeviceAsks(seat);
}

void JudgeServer::forgetSequences(int seat)
{
    m_ledger[seat - 1].seq = 0;
    for (auto it = m_seqs.begin(); it != m_seqs.end(); ++it)
        (*it)[seat - 1] = 0;
    m_seatBuckets[seat - 1] = RateBucket(now());
    m_seatDropped[seat - 1] = 0;
}

// A new device for the seat: a key of its own, a fresh sequence, the seat's token and code spent.
void JudgeServer::pairNew(QWebSocket *socket, Client &c, int seat)
{
    const QString key = m_book.pair(seat);
    QString error;
    if (!m_audit.storePairing(seat, m_book.seat(seat).pairing, &error))
        qWarning("The pairing of seat %d could not be stored: %s", seat, qPrintable(error));
    forgetSequences(seat);
    admit(socket, c, seat, key);
}

void JudgeServer::admit(QWebSocket *socket, Client &c, int seat, const QString &key)
{
    QWebSocket *old = m_live[seat - 1];
    if (old && old != socket) {
        // A new device takes over; the same device coming back only leaves its dead connection behind.
        if (!key.isEmpty())
            send(old, {{QStringLiteral("t"), QStringLiteral("replaced")}});
        drop(old, QStringLiteral("replaced"));
    }
    c.seat = seat;
    c.waiting = false;
    c.sameDevice = false;
    m_live[seat - 1] = socket;
    m_lastSeen[seat - 1] = now();
    const Pairing &p = m_book.seat(seat).pairing;
    QJsonObject welcome{{QStringLiteral("t"), QStringLiteral("welcome")},
                        {QStringLiteral("seat"), seat},
                        {QStringLiteral("judge"), judgeName(seat)},
                        {QStringLiteral("device"), p.device}};
    if (!key.isEmpty()) { // the only time the key travels: the pairing itself
        welcome.insert(QStringLiteral("id"), p.id);
        welcome.insert(QStringLiteral("key"), key);
    }
    send(socket, welcome);
    send(socket, performanceMessage(seat));
    refreshSeats(true);
}

void JudgeServer::answerSecondDevice(int seat, bool accept)
{
    if (!SeatBook::valid(seat) || !m_waiting[seat - 1])
        return;
    QWebSocket *socket = m_waiting[seat - 1];
    m_waiting[seat - 1] = nullptr;
    const auto it = m_clients.find(socket);
    if (it == m_clients.end())
        return;
    if (!accept) {
        deny(socket, QStringLiteral("refused"));
        drop(socket, QStringLiteral("refused"));
    } else if (it->second.sameDevice) {
        admit(socket, it->second, seat, QString());
    } else {
        pairNew(socket, it->second, seat);
    }
    refreshSeats(true);
}

// --- Scores ---

void JudgeServer::onScore(QWebSocket *socket, Client &c, const Message &m)
{
    const int seat = c.seat;
    Ledger &ledger = m_ledger[seat - 1];
    const Performance &p = m_performance;
    Outcome outcome = Outcome::Accepted;
    QString value;
    if (p.round == 0 || p.position == 0)
        outcome = Outcome::NoPerformance;
    else if (m.round != p.round || m.position != p.position)
        outcome = Outcome::OtherPerformance;
    else if (seat > p.judges)
        outcome = Outcome::NotJudging;
    else if (m_final)
        outcome = Outcome::Final;
    else if (m.seq < ledger.seq)
        outcome = Outcome::OlderSequence;
    else
        value = checkScore(m.value, p, &outcome);
    if (outcome == Outcome::Accepted && m.seq == ledger.seq)
        outcome = value == ledger.value ? Outcome::Duplicate : Outcome::OlderSequence;

    AuditRow row{QDateTime::currentDateTime(), seat, m_book.seat(seat).pairing.device, m.round, m.position, m.seq,
                 m.value, outcomeText(outcome)};
    if (outcome == Outcome::Accepted || outcome == Outcome::Duplicate) {
        // Taken now, told once the row is on disk: a crash after "已收到" still leaves the row.
        Echo e{socket, seat, m.round, m.position, m.seq, value, outcome == Outcome::Accepted, ledger,
               m_seqs.value({p.round, p.position})[seat - 1]};
        if (outcome == Outcome::Accepted) {
            ledger.seq = m.seq;
            ledger.value = value;
            m_seqs[{p.round, p.position}][seat - 1] = m.seq;
        }
        if (m_echoes.isEmpty())
            QMetaObject::invokeMethod(this, &JudgeServer::commitEchoes, Qt::QueuedConnection);
        m_echoes.push_back(std::move(e));
        m_echoRows.push_back(std::move(row));
        return;
    }
    m_audit.add(std::move(row));
    send(socket, {{QStringLiteral("t"), QStringLiteral("reject")},
                  {QStringLiteral("round"), m.round},
                  {QStringLiteral("pos"), m.position},
                  {QStringLiteral("seq"), m.seq},
                  {QStringLiteral("reason"), outcomeText(outcome)}});
    if (outcome == Outcome::OtherPerformance || outcome == Outcome::OlderSequence)
        send(socket, performanceMessage(seat));
}

void JudgeServer::commitEchoes()
{
    const QVector<Echo> echoes = std::exchange(m_echoes, {});
    QString error;
    const bool saved = m_audit.commit(std::exchange(m_echoRows, {}), outcomeText(Outcome::Unsaved), &error);
    if (!saved) {
        qWarning("The audit of the judges' phones could not be written: %s", qPrintable(error));
        // Not taken after all: each seat's ledger goes back to what it was, latest first.
        for (auto it = echoes.crbegin(); it != echoes.crend(); ++it) {
            if (it->fresh && it->round == m_performance.round && it->position == m_performance.position) {
                m_ledger[it->seat - 1] = it->before;
                m_seqs[{it->round, it->position}][it->seat - 1] = it->seqBefore;
            }
        }
    }
    for (const Echo &e : echoes) {
        if (saved && e.fresh)
            emit scoreArrived(e.seat, e.value);
    }
    for (const Echo &e : echoes) {
        // The emit may have reached code that closed this very connection.
        if (!e.socket || !m_clients.count(e.socket))
            continue;
        QJsonObject answer{{QStringLiteral("t"), saved ? QStringLiteral("ack") : QStringLiteral("reject")},
                           {QStringLiteral("round"), e.round},
                           {QStringLiteral("pos"), e.position},
                           {QStringLiteral("seq"), e.seq}};
        if (saved)
            answer.insert(QStringLiteral("value"), e.value);
        else
            answer.insert(QStringLiteral("reason"), outcomeText(Outcome::Unsaved));
        send(e.socket, answer);
    }
}

// A score not as the page sends it: counted, and answered so the phone does not wait on it for ever.
void JudgeServer::onBadScore(QWebSocket *socket, Client &c, const Message &m)
{
    m_audit.count({QDateTime::currentDateTime(), c.seat, m_book.seat(c.seat).pairing.device, m.round, m.position, m.seq,
                   m.value, outcomeText(Outcome::BadFormat)});
    send(socket, {{QStringLiteral("t"), QStringLiteral("reject")},
                  {QStringLiteral("round"), m.round},
                  {QStringLiteral("pos"), m.position},
                  {QStringLiteral("seq"), m.seq},
                  {QStringLiteral("reason"), outcomeText(Outcome::BadFormat)}});
}

void JudgeServer::setPerformance(const Performance &performance)
{
    const bool same = performance.round == m_performance.round && performance.position == m_performance.position;
    m_performance = performance;
    if (!same) {
        const auto seqs = m_seqs.value({performance.round, performance.position});
        for (int i = 0; i < kSeats; ++i)
            m_ledger[i] = Ledger{seqs[i], QString()};
        m_final = false;
        m_finalValues.clear();
    }
    for (int i = 0; i < kSeats; ++i) {
        if (m_live[i])
            send(m_live[i], performanceMessage(i + 1));
    }
}

void JudgeServer::confirm(const QStringList &values)
{
    if (m_performance.round == 0 || m_performance.position == 0)
        return;
    m_final = true;
    m_finalValues = values;
    for (int i = 0; i < kSeats; ++i) {
        if (m_live[i])
            send(m_live[i], performanceMessage(i + 1));
    }
}

QJsonObject JudgeServer::performanceMessage(int seat) const
{
    const Performance &p = m_performance;
    const bool scoring = p.round != 0 && p.position != 0;
    QJsonObject o{{QStringLiteral("t"), QStringLiteral("perf")},
                  {QStringLiteral("scoring"), scoring && seat <= p.judges},
                  {QStringLiteral("round"), p.round},
                  {QStringLiteral("pos"), p.position}};
    if (!scoring)
        return o;
    o.insert(QStringLiteral("roundName"), roundName(p.round));
    o.insert(QStringLiteral("number"), p.number);
    o.insert(QStringLiteral("name"), p.name);
    o.insert(QStringLiteral("lowest"), p.lowest);
    o.insert(QStringLiteral("highest"), p.highest);
    o.insert(QStringLiteral("decimals"), p.decimals);
    o.insert(QStringLiteral("seq"), m_ledger[seat - 1].seq);
    o.insert(QStringLiteral("value"), m_ledger[seat - 1].value);
    o.insert(QStringLiteral("final"), m_final);
    if (m_final)
        o.insert(QStringLiteral("finalValue"), m_finalValues.value(seat - 1).trimmed());
    return o;
}

QString JudgeServer::judgeName(int seat) const
{
    return m_settings ? m_settings->config().read(keys::kJudges, keys::judgeName(seat), QString()).trimmed() : QString();
}

QString JudgeServer::roundName(int round)
{
    static const QString numerals[] = {QStringLiteral("一"), QStringLiteral("二"), QStringLiteral("三"),
                                       QStringLiteral("四")};
    return QStringLiteral("第") + numerals[(round - 1) & 3] + QStringLiteral("轮");
}

// --- Seats ---

SeatInfo JudgeServer::seat(int seat) const
{
    SeatInfo info;
    if (!SeatBook::valid(seat))
        return info;
    const SeatBook::Seat &s = m_book.seat(seat);
    info.secondDeviceWaiting = m_waiting[seat - 1] != nullptr;
    info.device = s.pairing.device;
    if (m_live[seat - 1] && now() - m_lastSeen[seat - 1] <= kStaleMs)
        info.state = SeatState::Connected;
    else if (m_book.paired(seat))
        info.state = SeatState::Stale;
    if (m_live[seat - 1])
        info.lastSeen = QDateTime::currentDateTime().addMSecs(m_lastSeen[seat - 1] - now());
    return info;
}

void JudgeServer::refreshSeats(bool force)
{
    bool changed = force;
    for (int s = 1; s <= kSeats; ++s) {
        const SeatInfo info = seat(s);
        SeatInfo &shown = m_shown[s - 1];
        if (info.state != shown.state || info.device != shown.device
            || info.secondDeviceWaiting != shown.secondDeviceWaiting)
            changed = true;
        shown = info;
    }
    if (changed)
        emit seatsChanged();
}

void JudgeServer::sweep()
{
    const qint64 t = now();
    std::vector<QWebSocket *> silent;
    for (const auto &[s, c] : m_clients) {
        if ((!c.seat && t - c.opened > kHelloMs) || (c.seat && t - c.lastSeen > kSilentMs))
            silent.push_back(s);
    }
    for (QWebSocket *s : silent)
        drop(s, QStringLiteral("silent"));
    refreshSeats();
}

QString JudgeServer::joinUrl(int seat) const
{
    if (!SeatBook::valid(seat) || m_hostPort.isEmpty())
        return {};
    return QStringLiteral("http://") + m_hostPort + QStringLiteral("/#t=") + m_book.seat(seat).token;
}

QString JudgeServer::newCode(int seat)
{
    const QString code = m_book.newCode(seat, now());
    refreshSeats();
    return code;
}

void JudgeServer::resetSeat(int seat)
{
    if (!SeatBook::valid(seat))
        return;
    for (QWebSocket *s : {m_live[seat - 1], m_waiting[seat - 1]}) {
        if (s) {
            send(s, {{QStringLiteral("t"), QStringLiteral("replaced")}});
            drop(s, QStringLiteral("reset"));
        }
    }
    m_book.reset(seat);
    forgetSequences(seat);
    QString error;
    if (!m_audit.forgetPairing(seat, &error))
        qWarning("The pairing of seat %d could not be removed: %s", seat, qPrintable(error));
    refreshSeats(true);
}

void JudgeServer::renewTokens()
{
    for (int seat = 1; seat <= kSeats; ++seat) {
        for (QWebSocket *s : {m_live[seat - 1], m_waiting[seat - 1]}) {
            if (s) {
                send(s, {{QStringLiteral("t"), QStringLiteral("replaced")}});
                drop(s, QStringLiteral("renewed"));
            }
        }
    }
    m_book.renewAll();
    for (int seat = 1; seat <= kSeats; ++seat)
        forgetSequences(seat);
    QString error;
    if (!m_audit.forgetPairing(0, &error))
        qWarning("The pairings could not be removed: %s", qPrintable(error));
    refreshSeats(true);
}

} // namespace judging
