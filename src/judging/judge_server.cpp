#include "judge_server.h"

#include "settings/settings_files.h"
#include "settings/settings_keys.h"

#include <QFile>
#include <QHostAddress>
#include <QHttpServer>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QHttpServerResponse>
#include <QJsonDocument>
#include <QTcpServer>
#include <QTcpSocket>
#include <QWebSocket>

#include <algorithm>
#include <memory>
#include <utility>

namespace judging {

namespace {
const QString kPageRoot = QStringLiteral(":/judging/page/");

QString addressText(const QHostAddress &address)
{
    bool ok = false;
    const quint32 v4 = address.toIPv4Address(&ok);
    return ok ? QHostAddress(v4).toString() : address.toString();
}

// Refuses a connection at once when too many are open, in all or from its address, whether they ask for
// the page or hold a phone's socket. The sockets are looked at rather than their signals followed: the
// HTTP server cuts every signal of a socket it hands over to the WebSocket side.
class CappedTcpServer : public QTcpServer {
public:
    CappedTcpServer(int total, int perAddress, QObject *parent)
        : QTcpServer(parent), m_total(total), m_perAddress(perAddress) {}

protected:
    void incomingConnection(qintptr descriptor) override
    {
        auto *socket = new QTcpSocket(this);
        if (!socket->setSocketDescriptor(descriptor)) {
            delete socket;
            return;
        }
        const QString address = addressText(socket->peerAddress());
        std::erase_if(m_open, [](const Open &o) { return !o.socket || o.socket->state() == QAbstractSocket::UnconnectedState; });
        const auto fromAddress = std::count_if(m_open.cbegin(), m_open.cend(), [&](const Open &o) { return o.address == address; });
        if (int(m_open.size()) >= m_total || fromAddress >= m_perAddress) {
            socket->abort();
            socket->deleteLater();
            return;
        }
        m_open.push_back({socket, address});
        addPendingConnection(socket);
    }

private:
    struct Open {
        QPointer<QTcpSocket> socket;
        QString address;
    };
    const int m_total;
    const int m_perAddress;
    std::vector<Open> m_open;
};
} // namespace

JudgeServer::JudgeServer(QObject *parent) : JudgeLink(parent)
{
    m_steady.start();
    m_clock = [this] { return m_steady.elapsed(); };
    m_sweep.setInterval(1000);
    connect(&m_sweep, &QTimer::timeout, this, &JudgeServer::sweep);
    m_flush.setInterval(250);
    connect(&m_flush, &QTimer::timeout, this, [this] { flushAudit(); });
    for (int s = 1; s <= kSeats; ++s)
        m_shown[s - 1] = seat(s);
}

JudgeServer::~JudgeServer()
{
    closeAll();
    m_http.reset();
    if (m_audit.pending() > 0) // what is left goes to the database, which the owner keeps until now
        flushAudit();
}

void JudgeServer::attach(const SettingsFiles *settings, Connection *database)
{
    flushAudit(); // what was gathered goes to the database it was gathered for
    m_settings = settings;
    m_audit.attach(database);
}

void JudgeServer::setSteadyClock(std::function<qint64()> clock)
{
    m_clock = std::move(clock);
}

bool JudgeServer::flushAudit()
{
    QString error;
    const bool ok = m_audit.flush(&error);
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
    auto http = std::make_unique<QHttpServer>();
    auto *tcp = new CappedTcpServer(kMaxConnections * 2, std::max(16, m_perAddress * 2), http.get());
    if (!tcp->listen(host, port)) {
        if (error)
            *error = QStringLiteral("无法在 %1:%2 上启动手机评分：%3").arg(host.toString()).arg(port).arg(tcp->errorString());
        return false;
    }
    m_address = host.toString();
    m_port = tcp->serverPort();
    m_hostPort = m_address + QLatin1Char(':') + QString::number(m_port);

    using Method = QHttpServerRequest::Method;
    http->route(QStringLiteral("/"), Method::Get, [this](const QHttpServerRequest &r) {
        return page(r, QStringLiteral("index.html"), "text/html; charset=utf-8");
    });
    http->route(QStringLiteral("/judge.js"), Method::Get, [this](const QHttpServerRequest &r) {
        return page(r, QStringLiteral("judge.js"), "text/javascript; charset=utf-8");
    });
    http->route(QStringLiteral("/judge.css"), Method::Get, [this](const QHttpServerRequest &r) {
        return page(r, QStringLiteral("judge.css"), "text/css; charset=utf-8");
    });
    // This Qt hands a connection to the WebSocket side only when a route took the request and wrote
    // nothing: the phones' socket lives at /ws, and Origin and pairing are checked once it is open.
    http->route(QStringLiteral("/ws"), [](const QHttpServerRequest &r, QHttpServerResponder &&responder) {
        if (r.value("Upgrade").compare("websocket", Qt::CaseInsensitive) != 0)
            responder.write(QHttpServerResponder::StatusCode::NotFound);
    });
    http->bind(tcp);
    connect(http.get(), &QHttpServer::newWebSocketConnection, this, &JudgeServer::acceptSockets);
    m_http = std::move(http);

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
    if (!m_http)
        return;
    m_sweep.stop();
    m_flush.stop();
    closeAll();
    m_http.reset();
    flushAudit();
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

QHttpServerResponse JudgeServer::page(const QHttpServerRequest &request, const QString &file,
                                      const QByteArray &type) const
{
    // Only a page asked for by this address: a name of another site pointed here (rebinding) is refused.
    if (QString::fromLatin1(request.value("Host")) != m_hostPort)
        return QHttpServerResponse(QHttpServerResponse::StatusCode::Forbidden);
    QFile f(kPageRoot + file);
    if (!f.open(QIODevice::ReadOnly))
        return QHttpServerResponse(QHttpServerResponse::StatusCode::NotFound);
    QHttpServerResponse response(type, f.readAll());
    response.addHeader("Cache-Control", "no-store");
    response.addHeader("Referrer-Policy", "no-referrer");
    response.addHeader("X-Content-Type-Options", "nosniff");
    response.addHeader("X-Frame-Options", "DENY");
    response.addHeader("Content-Security-Policy",
                       "default-src 'self'; connect-src ws://" + m_hostPort.toLatin1() + "; frame-ancestors 'none'");
    return response;
}

// --- Connections ---

void JudgeServer::acceptSockets()
{
    while (m_http && m_http->hasPendingWebSocketConnections()) {
        QWebSocket *s = m_http->nextPendingWebSocketConnection().release();
        if (!s)
            continue;
        s->setParent(this);
        connect(s, &QWebSocket::disconnected, s, &QObject::deleteLater);
        const QString address = addressText(s->peerAddress());
        int fromAddress = 0;
        for (const auto &[other, c] : m_clients)
            fromAddress += c.address == address ? 1 : 0;
        // The upgrade cannot be refused before the handshake in this Qt: a page of another origin, or
        // too many connections, are closed at once, before a single message is read.
        const bool origin = s->origin() == QStringLiteral("http://") + m_hostPort;
        if (!origin || int(m_clients.size()) >= kMaxConnections || fromAddress >= m_perAddress) {
            // Closed once Qt has finished handing it over; none of its messages is ever read.
            QTimer::singleShot(0, s, [s] { s->close(QWebSocketProtocol::CloseCodePolicyViolated); });
            QTimer::singleShot(2000, s, [s] { s->abort(); });
            continue;
        }
        s->setMaxAllowedIncomingFrameSize(kMaxMessageBytes);
        s->setMaxAllowedIncomingMessageSize(kMaxMessageBytes);
        Client c;
        c.address = address;
        c.opened = c.lastSeen = now();
        c.bucket = RateBucket(c.opened);
        m_clients.emplace(s, c);
        connect(s, &QWebSocket::textMessageReceived, this, [this, s](const QString &text) { onText(s, text); });
        connect(s, &QWebSocket::binaryMessageReceived, this, [this, s] { drop(s, QStringLiteral("binary")); });
        connect(s, &QWebSocket::disconnected, this, [this, s] { detach(s); });
    }
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
    if (!c.bucket.take(t)) {
        if (++c.dropped > kMaxDropped)
            drop(socket, QStringLiteral("rate"));
        return;
    }
    c.dropped = 0;
    const Message m = parseMessage(text.toUtf8());
    c.lastSeen = t;
    if (c.seat && !c.waiting)
        m_lastSeen[c.seat - 1] = t;
    switch (m.kind) {
    case Message::Kind::Hello:
        onHello(socket, c, m);
        return;
    case Message::Kind::Score:
        if (!c.seat || c.waiting)
            drop(socket, QStringLiteral("unpaired"));
        else
            onScore(socket, c, m);
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
    // A device paired before: its key alone decides its seat.
    if (!m.key.isEmpty()) {
        if (const int seat = m_book.seatForDevice(m.key)) {
            admit(socket, c, seat, m.key);
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
        const SeatBook::CodeOutcome outcome = m_book.takeCode(m.code.trimmed(), t);
        switch (outcome.result) {
        case SeatBook::CodeResult::Taken:
            seat = outcome.seat;
            break;
        case SeatBook::CodeResult::Wrong:
            m_throttle.failure(c.address, t);
            if (!outcome.newlyLocked.isEmpty())
                refreshSeats();
            deny(socket, QStringLiteral("code")); // the page lets the judge type it again
            return;
        case SeatBook::CodeResult::Expired:
            deny(socket, QStringLiteral("expired"));
            return;
        case SeatBook::CodeResult::Locked:
            deny(socket, QStringLiteral("locked"));
            return;
        }
    } else {
        // Only a key no seat knows any more: the seats were renewed or this one was reset.
        deny(socket, QStringLiteral("unknown"));
        drop(socket, QStringLiteral("unknown"));
        return;
    }
    if (m_book.seat(seat).locked) {
        deny(socket, QStringLiteral("locked"));
        drop(socket, QStringLiteral("locked"));
        return;
    }
    if (m_book.seat(seat).deviceKey.isEmpty()) {
        admit(socket, c, seat, m_book.pair(seat));
        return;
    }
    // The seat has its device: another one waits for the operator's yes; an earlier asker is turned away.
    if (QWebSocket *earlier = m_waiting[seat - 1]) {
        deny(earlier, QStringLiteral("refused"));
        drop(earlier, QStringLiteral("refused"));
    }
    c.seat = seat;
    c.waiting = true;
    m_waiting[seat - 1] = socket;
    send(socket, {{QStringLiteral("t"), QStringLiteral("wait")}, {QStringLiteral("seat"), seat}});
    refreshSeats(true);
    emit secondDeviceAsks(seat);
}

void JudgeServer::admit(QWebSocket *socket, Client &c, int seat, const QString &key)
{
    QWebSocket *old = m_live[seat - 1];
    if (old && old != socket) {
        send(old, {{QStringLiteral("t"), QStringLiteral("replaced")}});
        drop(old, QStringLiteral("replaced"));
    }
    c.seat = seat;
    c.waiting = false;
    m_live[seat - 1] = socket;
    m_lastSeen[seat - 1] = now();
    send(socket, {{QStringLiteral("t"), QStringLiteral("welcome")},
                  {QStringLiteral("seat"), seat},
                  {QStringLiteral("judge"), judgeName(seat)},
                  {QStringLiteral("key"), key},
                  {QStringLiteral("device"), m_book.seat(seat).device}});
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
    if (accept) {
        admit(socket, it->second, seat, m_book.pair(seat));
    } else {
        deny(socket, QStringLiteral("refused"));
        drop(socket, QStringLiteral("refused"));
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

    m_audit.add({QDateTime::currentDateTime(), seat, m_book.seat(seat).device, m.round, m.position, m.seq, m.value,
                 outcomeText(outcome)});

    if (outcome == Outcome::Accepted) {
        ledger.seq = m.seq;
        ledger.value = value;
        m_seqs[{p.round, p.position}][seat - 1] = m.seq;
        emit scoreArrived(seat, value);
    }
    // The emit may have reached code that closed this very connection.
    if (!m_clients.count(socket))
        return;
    if (outcome == Outcome::Accepted || outcome == Outcome::Duplicate) {
        send(socket, {{QStringLiteral("t"), QStringLiteral("ack")},
                      {QStringLiteral("round"), m.round},
                      {QStringLiteral("pos"), m.position},
                      {QStringLiteral("seq"), m.seq},
                      {QStringLiteral("value"), value}});
        return;
    }
    send(socket, {{QStringLiteral("t"), QStringLiteral("reject")},
                  {QStringLiteral("round"), m.round},
                  {QStringLiteral("pos"), m.position},
                  {QStringLiteral("seq"), m.seq},
                  {QStringLiteral("reason"), outcomeText(outcome)}});
    if (outcome == Outcome::OtherPerformance || outcome == Outcome::OlderSequence)
        send(socket, performanceMessage(seat));
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
    info.device = s.device;
    if (s.locked)
        info.state = SeatState::Locked;
    else if (m_live[seat - 1] && now() - m_lastSeen[seat - 1] <= kStaleMs)
        info.state = SeatState::Connected;
    else if (!s.deviceKey.isEmpty())
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
    refreshSeats(true);
}

} // namespace judging
