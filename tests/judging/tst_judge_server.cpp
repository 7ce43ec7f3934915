// The judges' server over loopback with QWebSocket phones and raw sockets from other loopback addresses
// (127.0.0.x only, each attack bounded in count and time): pairing by token, code and the device's answer
// to a challenge, the second device, codes that expire or are guessed, what a stranger can reach, floods,
// slow and pipelining connections, scores tied to the performance, reconnects that must not count a score
// twice, the audit table and the pairings kept across a restart.
#include "app/tfrm_main.h"
#include "data/data_module.h"
#include "scoring/tfrm_pfmain.h"
#include "judging/judge_server.h"
#include "settings/settings_files.h"
#include "settings/settings_keys.h"
#include "test_app.h"

#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QPushButton>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QWebSocket>

#include <QFile>

#include <arpa/inet.h>
#include <csignal>
#include <deque>
#include <memory>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace judging;

namespace {

using test_support::waitUntil;

// The next message of that type in `inbox`, the ones before it dropped; empty after `ms` without one.
QJsonObject nextOfType(std::deque<QJsonObject> &inbox, const QString &type, int ms)
{
    QJsonObject found;
    (void)waitUntil([&] {
        while (!inbox.empty()) {
            QJsonObject m = inbox.front();
            inbox.pop_front();
            if (m.value(QStringLiteral("t")).toString() == type) {
                found = m;
                return true;
            }
        }
        return false;
    }, ms);
    return found;
}

// One phone: a WebSocket client that keeps what the program sent it.
class Phone : public QObject {
public:
    explicit Phone(const QString &origin) : socket(origin)
    {
        connect(&socket, &QWebSocket::textMessageReceived, this, [this](const QString &text) {
            inbox.push_back(QJsonDocument::fromJson(text.toUtf8()).object());
            everything.push_back(inbox.back());
            const QJsonObject &m = inbox.back();
            if (m.value(QStringLiteral("t")).toString() == QLatin1String("challenge"))
                nonce = m.value(QStringLiteral("nonce")).toString();
            if (m.value(QStringLiteral("t")).toString() == QLatin1String("welcome") && m.contains(QStringLiteral("key"))) {
                id = m.value(QStringLiteral("id")).toString();
                key = m.value(QStringLiteral("key")).toString();
            }
        });
    }
    // Answers this connection's challenge as the page does, for the device `id` with `key`.
    void helloDevice(const QString &deviceId, const QString &deviceKey)
    {
        (void)waitUntil([&] { return !nonce.isEmpty(); }, 3000);
        send({{QStringLiteral("t"), QStringLiteral("hello")}, {QStringLiteral("device"), deviceId},
              {QStringLiteral("proof"), challengeAnswer(keyVerifier(deviceKey), nonce)}});
    }
    bool open(quint16 port)
    {
        socket.open(QUrl(QStringLiteral("ws://127.0.0.1:%1/ws").arg(port)));
        waitUntil([&] { return socket.state() == QAbstractSocket::ConnectedState
                               || socket.state() == QAbstractSocket::UnconnectedState; }, 3000);
        return socket.state() == QAbstractSocket::ConnectedState;
    }
    void send(const QJsonObject &message)
    {
        socket.sendTextMessage(QString::fromUtf8(QJsonDocument(message).toJson(QJsonDocument::Compact)));
    }
    void hello(const QString &field, const QString &value) { send({{QStringLiteral("t"), QStringLiteral("hello")}, {field, value}}); }
    void score(int round, int position, qint64 seq, const QString &value)
    {
        send({{QStringLiteral("t"), QStringLiteral("score")}, {QStringLiteral("round"), round},
              {QStringLiteral("pos"), position}, {QStringLiteral("seq"), seq}, {QStringLiteral("value"), value}});
    }
    QJsonObject next(const QString &type, int ms = 3000) { return nextOfType(inbox, type, ms); }
    bool closedWithin(int ms) { return waitUntil([&] { return socket.state() == QAbstractSocket::UnconnectedState; }, ms); }

    QWebSocket socket;
    std::deque<QJsonObject> inbox;
    QList<QJsonObject> everything;
    QString nonce; // this connection's challenge
    QString id;    // the device's id and key, from its pairing
    QString key;
};

// A WebSocket phone over a raw TCP socket bound to a loopback address of its own (127.0.0.x), as a
// second device in the hall would come from another address.
class RawPhone : public QObject {
public:
    RawPhone(const QString &from, quint16 port, const QByteArray &host = {}, const QByteArray &origin = {})
    {
        connect(&tcp, &QTcpSocket::readyRead, this, [this] { read(); });
        tcp.bind(QHostAddress(from));
        tcp.connectToHost(QHostAddress::LocalHost, port);
        if (!tcp.waitForConnected(3000))
            return;
        const QByteArray hostPort = "127.0.0.1:" + QByteArray::number(port);
        tcp.write("GET /ws HTTP/1.1\r\nHost: " + (host.isEmpty() ? hostPort : host)
                  + "\r\nUpgrade: websocket\r\nConnection: Upgrade\r\nSec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\n"
                    "Sec-WebSocket-Version: 13\r\nOrigin: " + (origin.isEmpty() ? "http://" + hostPort : origin) + "\r\n\r\n");
        (void)waitUntil([&] { return !status.isEmpty() || tcp.state() != QAbstractSocket::ConnectedState; }, 3000);
    }
    bool upgraded() const { return status.startsWith("HTTP/1.1 101"); }
    void sendText(const QByteArray &payload)
    {
        QByteArray f;
        f.append(char(0x81));
        if (payload.size() < 126) {
            f.append(char(0x80 | payload.size()));
        } else {
            f.append(char(0x80 | 126)).append(char(payload.size() >> 8)).append(char(payload.size() & 0xff));
        }
        f.append(QByteArray(4, '\0')); // a zero mask
        tcp.write(f + payload);
    }
    void send(const QJsonObject &m) { sendText(QJsonDocument(m).toJson(QJsonDocument::Compact)); }
    void helloDevice(const QString &deviceId, const QString &deviceKey)
    {
        (void)waitUntil([&] { return !nonce.isEmpty(); }, 3000);
        send({{QStringLiteral("t"), QStringLiteral("hello")}, {QStringLiteral("device"), deviceId},
              {QStringLiteral("proof"), challengeAnswer(keyVerifier(deviceKey), nonce)}});
    }
    QJsonObject next(const QString &type, int ms = 3000) { return nextOfType(inbox, type, ms); }
    bool closedWithin(int ms) { return waitUntil([&] { return tcp.state() == QAbstractSocket::UnconnectedState; }, ms); }

    QTcpSocket tcp;
    QByteArray status;
    QString nonce;
    std::deque<QJsonObject> inbox;
    QList<QJsonObject> everything;

private:
    void read()
    {
        buffer += tcp.readAll();
        if (status.isEmpty()) {
            const qsizetype end = buffer.indexOf("\r\n\r\n");
            if (end < 0)
                return;
            status = buffer.left(buffer.indexOf("\r\n"));
            buffer.remove(0, end + 4);
        }
        while (buffer.size() >= 2) {
            qsizetype length = quint8(buffer[1]) & 0x7f, at = 2;
            if (length == 126) {
                if (buffer.size() < 4)
                    return;
                length = (quint8(buffer[2]) << 8) | quint8(buffer[3]);
                at = 4;
            }
            if (buffer.size() < at + length)
                return;
            if ((quint8(buffer[0]) & 0x0f) == 1) {
                inbox.push_back(QJsonDocument::fromJson(buffer.mid(at, length)).object());
                everything.push_back(inbox.back());
                if (inbox.back().value(QStringLiteral("t")).toString() == QLatin1String("challenge"))
                    nonce = inbox.back().value(QStringLiteral("nonce")).toString();
            }
            buffer.remove(0, at + length);
        }
    }
    QByteArray buffer;
};

// The resident memory of this process, in kB.
qint64 residentKb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    return 0;
}

// A plain socket from `from` that writes what the kernel takes and never reads: the attacker's side stays
// out of this process's memory, so what grows here is the server's. It connects without waiting, since
// this very process must accept it; give the event loop a moment before writing.
int rawConnect(const char *from, quint16 port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    ::inet_pton(AF_INET, from, &local.sin_addr);
    ::bind(fd, reinterpret_cast<sockaddr *>(&local), sizeof local);
    sockaddr_in server{};
    server.sin_family = AF_INET;
    server.sin_port = htons(port);
    ::inet_pton(AF_INET, "127.0.0.1", &server.sin_addr);
    if (::connect(fd, reinterpret_cast<sockaddr *>(&server), sizeof server) != 0 && errno != EINPROGRESS) {
        ::close(fd);
        return -1;
    }
    return fd;
}
bool rawOpen(int fd)
{
    char c;
    const ssize_t n = ::recv(fd, &c, 1, MSG_PEEK | MSG_DONTWAIT);
    return n > 0 || (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK));
}

QString tokenOf(const QString &url)
{
    return url.section(QStringLiteral("#t="), 1);
}

// A running server on loopback over a temporary contest database, with a clock the test moves.
struct Rig {
    TestProgramFolder folder;
    SettingsFiles settings{folder.path()};
    TData data;
    JudgeServer server;
    qint64 clock = 1000000;

    explicit Rig(bool start = true, const GateLimits &limits = {})
    {
        for (int j = 1; j <= 12; ++j)
            folder.setConfig(keys::kJudges, keys::judgeName(j), QStringLiteral("评委%1").arg(j));
        data.connectTo(folder.databasePath());
        server.attach(&settings, &data.ADOConnection1);
        server.setSteadyClock([this] { return clock; });
        server.setGateLimits(limits);
        if (start) {
            QString error;
            if (!server.start(QStringLiteral("127.0.0.1"), 0, &error))
                qFatal("the server did not start: %s", qPrintable(error));
        }
    }
    QString origin() const { return QStringLiteral("http://127.0.0.1:%1").arg(server.port()); }
    std::unique_ptr<Phone> phone(const QString &origin = {})
    {
        auto p = std::make_unique<Phone>(origin.isNull() ? this->origin() : origin);
        p->open(server.port());
        return p;
    }
    // A phone paired with the seat by its token, welcomed and shown the performance.
    std::unique_ptr<Phone> paired(int seat)
    {
        auto p = phone();
        p->hello(QStringLiteral("token"), tokenOf(server.joinUrl(seat)));
        p->next(QStringLiteral("welcome"));
        p->next(QStringLiteral("perf"));
        return p;
    }
    void perform(int round, int position, int judges = 12)
    {
        Performance p;
        p.round = round;
        p.position = position;
        p.number = QString::number(position);
        p.name = QStringLiteral("选手%1").arg(position);
        p.judges = judges;
        p.lowest = 0;
        p.highest = 10;
        p.decimals = 2;
        server.setPerformance(p);
    }
    QStringList audit(const QString &columns)
    {
        server.flushAudit();
        return folder.column(QStringLiteral("select %1 from sjpf order by id").arg(columns));
    }
    // One number from the audit, once everything gathered is written.
    int auditNumber(const QString &select)
    {
        server.flushAudit();
        return folder.column(select).value(0).toInt();
    }
};

} // namespace

class PairingTest : public QObject {
    Q_OBJECT
private slots:
    void pairsByTokenOrCode_data()
    {
        QTest::addColumn<bool>("byCode");
        QTest::newRow("token of the join address") << false;
        QTest::newRow("six-digit code") << true;
    }
    void pairsByTokenOrCode()
    {
        QFETCH(bool, byCode);
        Rig rig;
        rig.perform(1, 4);
        QSignalSpy seats(&rig.server, &JudgeLink::seatsChanged);
        QCOMPARE(rig.server.seat(3).state, SeatState::Unpaired);
        auto phone = rig.phone();
        if (byCode)
            phone->hello(QStringLiteral("code"), rig.server.newCode(3));
        else
            phone->hello(QStringLiteral("token"), tokenOf(rig.server.joinUrl(3)));
        const QJsonObject welcome = phone->next(QStringLiteral("welcome"));
        QCOMPARE(welcome.value(QStringLiteral("seat")).toInt(), 3);
        QCOMPARE(welcome.value(QStringLiteral("judge")).toString(), QStringLiteral("评委3"));
        const QJsonObject perf = phone->next(QStringLiteral("perf"));
        QCOMPARE(perf.value(QStringLiteral("pos")).toInt(), 4);
        QCOMPARE(perf.value(QStringLiteral("name")).toString(), QStringLiteral("选手4"));
        QCOMPARE(perf.value(QStringLiteral("roundName")).toString(), QStringLiteral("第一轮"));
        QCOMPARE(rig.server.seat(3).state, SeatState::Connected);
        QVERIFY(!rig.server.seat(3).device.isEmpty());
        QVERIFY(seats.count() >= 1);

        // Closed and back by answering a new challenge: the same seat, no new pairing, and the key does
        // not travel again.
        QVERIFY(!phone->key.isEmpty());
        phone->socket.close();
        QVERIFY(waitUntil([&] { return rig.server.seat(3).state == SeatState::Stale; }, 3000));
        auto again = rig.phone();
        again->helloDevice(phone->id, phone->key);
        const QJsonObject back = again->next(QStringLiteral("welcome"));
        QCOMPARE(back.value(QStringLiteral("seat")).toInt(), 3);
        QVERIFY(!back.contains(QStringLiteral("key")));
        QCOMPARE(back.value(QStringLiteral("device")).toString(), welcome.value(QStringLiteral("device")).toString());
        QCOMPARE(rig.server.seat(3).state, SeatState::Connected);
    }

    void heartbeatKeepsTheSeatGreen()
    {
        Rig rig;
        auto phone = rig.paired(2);
        QSignalSpy seats(&rig.server, &JudgeLink::seatsChanged);
        rig.clock += JudgeServer::kStaleMs + 1;
        rig.server.sweep();
        QCOMPARE(rig.server.seat(2).state, SeatState::Stale);
        QCOMPARE(seats.count(), 1);
        phone->send({{QStringLiteral("t"), QStringLiteral("ping")}});
        QVERIFY(!phone->next(QStringLiteral("pong")).isEmpty());
        QCOMPARE(rig.server.seat(2).state, SeatState::Connected);
        QCOMPARE(seats.count(), 2);
    }

    void secondDeviceWaitsForTheOperator_data()
    {
        QTest::addColumn<bool>("accept");
        QTest::newRow("operator says yes") << true;
        QTest::newRow("operator says no") << false;
    }
    void secondDeviceWaitsForTheOperator()
    {
        QFETCH(bool, accept);
        Rig rig;
        rig.perform(1, 1);
        auto first = rig.paired(5);
        QSignalSpy asks(&rig.server, &JudgeLink::secondDeviceAsks);
        auto second = rig.phone();
        second->hello(QStringLiteral("token"), tokenOf(rig.server.joinUrl(5)));
        QVERIFY(!second->next(QStringLiteral("wait")).isEmpty());
        QCOMPARE(asks.count(), 1);
        QCOMPARE(asks.at(0).at(0).toInt(), 5);
        QVERIFY(rig.server.seat(5).secondDeviceWaiting);
        // While it waits it can neither read the performance nor score.
        second->score(1, 1, 1, QStringLiteral("9"));
        QVERIFY(second->closedWithin(3000));
        QVERIFY(second->next(QStringLiteral("perf"), 0).isEmpty());

        auto third = rig.phone();
        third->hello(QStringLiteral("token"), tokenOf(rig.server.joinUrl(5)));
        QVERIFY(!third->next(QStringLiteral("wait")).isEmpty());
        rig.server.answerSecondDevice(5, accept);
        QVERIFY(!rig.server.seat(5).secondDeviceWaiting);
        if (accept) {
            QCOMPARE(third->next(QStringLiteral("welcome")).value(QStringLiteral("seat")).toInt(), 5);
            QVERIFY(!first->next(QStringLiteral("replaced")).isEmpty());
            QVERIFY(first->closedWithin(3000));
        } else {
            QCOMPARE(third->next(QStringLiteral("denied")).value(QStringLiteral("reason")).toString(), QStringLiteral("refused"));
            QVERIFY(third->closedWithin(3000));
            first->send({{QStringLiteral("t"), QStringLiteral("ping")}});
            QVERIFY(!first->next(QStringLiteral("pong")).isEmpty());
        }
        QCOMPARE(rig.server.seat(5).state, SeatState::Connected);
    }

    void codeFailures_data()
    {
        QTest::addColumn<QString>("road");
        QTest::addColumn<QString>("reason");
        QTest::newRow("expired") << "expired" << "expired";
        QTest::newRow("used twice") << "twice" << "code";
    }
    void codeFailures()
    {
        QFETCH(QString, road);
        QFETCH(QString, reason);
        Rig rig;
        const QString code = rig.server.newCode(7);
        QCOMPARE(code.size(), kCodeDigits);
        if (road == QLatin1String("expired")) {
            rig.clock += kCodeLifetimeMs;
        } else {
            auto taker = rig.phone();
            taker->hello(QStringLiteral("code"), code);
            QVERIFY(!taker->next(QStringLiteral("welcome")).isEmpty());
        }
        auto phone = rig.phone();
        phone->hello(QStringLiteral("code"), code);
        QCOMPARE(phone->next(QStringLiteral("denied")).value(QStringLiteral("reason")).toString(), reason);
        QVERIFY(phone->next(QStringLiteral("perf"), 0).isEmpty());
    }

    // Wrong codes from many addresses, as fast as they go: no seat is locked, the QR token always pairs,
    // a connected seat stays connected, and past the first few the guesses are not even tried.
    void guessingLocksNobodyOut()
    {
        Rig rig;
        auto connected = rig.paired(2);
        const QString code1 = rig.server.newCode(1);
        rig.server.newCode(3);
        int tried = 0, throttled = 0;
        for (int i = 0; i < 60; ++i) {
            RawPhone guesser(QStringLiteral("127.0.0.%1").arg(10 + i % 20), rig.server.port());
            QVERIFY(guesser.upgraded());
            guesser.send({{QStringLiteral("t"), QStringLiteral("hello")}, {QStringLiteral("code"), QStringLiteral("%1").arg(i, 8, 10, QLatin1Char('0'))}});
            const QString reason = guesser.next(QStringLiteral("denied")).value(QStringLiteral("reason")).toString();
            tried += reason == QLatin1String("code") ? 1 : 0;
            throttled += reason == QLatin1String("throttled") ? 1 : 0;
        }
        QCOMPARE(tried + throttled, 60);
        QCOMPARE(tried, int(GuessBudget::kBurst)); // the clock stands still: the burst, then nothing
        for (int seat = 1; seat <= kSeats; ++seat)
            QVERIFY(rig.server.seat(seat).state != SeatState::Locked);
        QCOMPARE(rig.server.seat(2).state, SeatState::Connected);
        auto byToken = rig.phone();
        byToken->hello(QStringLiteral("token"), tokenOf(rig.server.joinUrl(1)));
        QCOMPARE(byToken->next(QStringLiteral("welcome")).value(QStringLiteral("seat")).toInt(), 1);
        // Once the guesses have died down the judge's own code works again.
        rig.clock += 20000;
        RawPhone judge(QStringLiteral("127.0.0.99"), rig.server.port());
        const QString code3 = rig.server.newCode(3);
        judge.send({{QStringLiteral("t"), QStringLiteral("hello")}, {QStringLiteral("code"), code3}});
        QCOMPARE(judge.next(QStringLiteral("welcome")).value(QStringLiteral("seat")).toInt(), 3);
        Q_UNUSED(code1);
    }

    void renewedTokensEndEveryPairing()
    {
        Rig rig;
        auto phone = rig.paired(1);
        const QString oldUrl = rig.server.joinUrl(1);
        rig.server.renewTokens();
        QVERIFY(phone->closedWithin(3000));
        QCOMPARE(rig.server.seat(1).state, SeatState::Unpaired);
        QVERIFY(rig.server.joinUrl(1) != oldUrl);
        auto late = rig.phone();
        late->hello(QStringLiteral("token"), tokenOf(oldUrl));
        QCOMPARE(late->next(QStringLiteral("denied")).value(QStringLiteral("reason")).toString(), QStringLiteral("token"));
    }
};

class StrangerTest : public QObject {
    Q_OBJECT
private slots:
    void withoutATokenNothingIsReadable_data()
    {
        QTest::addColumn<QString>("origin");
        QTest::addColumn<QByteArray>("first");
        QTest::newRow("says nothing, pings") << "" << QByteArray(R"({"t":"ping"})");
        QTest::newRow("scores unpaired") << "" << QByteArray(R"({"t":"score","round":1,"pos":1,"seq":1,"value":"9"})");
        QTest::newRow("a made-up token") << "" << QByteArray(R"({"t":"hello","token":"AAAAAAAAAAAAAAAAAAAAAA"})");
        QTest::newRow("a made-up device and proof") << "" << QByteArray(R"({"t":"hello","device":"AAAAAAAAAAAAAAAAAAAAAA","proof":"00"})");
        QTest::newRow("a device key in clear") << "" << QByteArray(R"({"t":"hello","key":"AAAAAAAAAAAAAAAAAAAAAA"})");
        QTest::newRow("garbage") << "" << QByteArray("{{{{");
        QTest::newRow("a page of another site, with the right token") << "http://evil.example" << QByteArray("TOKEN");
        QTest::newRow("no origin, with the right token") << "-" << QByteArray("TOKEN");
    }
    void withoutATokenNothingIsReadable()
    {
        QFETCH(QString, origin);
        QFETCH(QByteArray, first);
        Rig rig;
        rig.perform(1, 2);
        QSignalSpy scores(&rig.server, &JudgeLink::scoreArrived);
        auto phone = rig.phone(origin.isEmpty() ? QString() : origin == QLatin1String("-") ? QString(QLatin1String("")) : origin);
        if (first == "TOKEN")
            phone->hello(QStringLiteral("token"), tokenOf(rig.server.joinUrl(1)));
        else
            phone->socket.sendTextMessage(QString::fromUtf8(first));
        QVERIFY(phone->closedWithin(3000));
        for (const QJsonObject &m : std::as_const(phone->everything))
            QVERIFY(QStringList({QStringLiteral("challenge"), QStringLiteral("denied")}).contains(m.value(QStringLiteral("t")).toString()));
        QCOMPARE(scores.count(), 0);
        QCOMPARE(rig.server.seat(1).state, SeatState::Unpaired);
    }

    void thePageIsServedOnlyUnderItsOwnAddress()
    {
        Rig rig;
        QNetworkAccessManager net;
        auto get = [&](const QString &path, const QByteArray &host) {
            QNetworkRequest request(QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(rig.server.port()).arg(path)));
            if (!host.isEmpty())
                request.setRawHeader("Host", host);
            std::unique_ptr<QNetworkReply> reply(net.get(request));
            (void)waitUntil([&] { return reply->isFinished(); }, 3000);
            return std::make_pair(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), reply->readAll());
        };
        const auto [status, body] = get(QStringLiteral("/"), {});
        QCOMPARE(status, 200);
        QVERIFY(QString::fromUtf8(body).contains(QStringLiteral("评委")));
        // The page holds no contest data: names and contestants travel only to a paired phone.
        QVERIFY(!QString::fromUtf8(body).contains(QStringLiteral("评委1")));
        QCOMPARE(get(QStringLiteral("/judge.js"), {}).first, 200);
        QCOMPARE(get(QStringLiteral("/"), "quelmora.example:80").first, 403);
        QCOMPARE(get(QStringLiteral("/config/config.ini"), {}).first, 404);
        // The hashing library the page answers challenges with is served beside it.
        const auto [libStatus, lib] = get(QStringLiteral("/noble/hmac.js"), {});
        QCOMPARE(libStatus, 200);
        QVERIFY(lib.contains("hmac"));
        // The socket too only under its own address, and only from its own page.
        QVERIFY(!RawPhone(QStringLiteral("127.0.0.2"), rig.server.port(), "quelmora.example:80").upgraded());
        QVERIFY(!RawPhone(QStringLiteral("127.0.0.2"), rig.server.port(), {}, "http://quelmora.example").upgraded());
        QVERIFY(RawPhone(QStringLiteral("127.0.0.2"), rig.server.port()).upgraded());
    }

    void listensOnlyWhereAsked()
    {
        Rig rig(false);
        QString error;
        QVERIFY(!rig.server.start(QStringLiteral("0.0.0.0"), 0, &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!rig.server.start(QStringLiteral("not an address"), 0, &error));
        QVERIFY(!rig.server.isRunning());
        QVERIFY(rig.server.start(QStringLiteral("127.0.0.1"), 0, &error));
        const quint16 taken = rig.server.port();
        JudgeServer other;
        QVERIFY(!other.start(QStringLiteral("127.0.0.1"), taken, &error));
        QVERIFY2(error.contains(QString::number(taken)), qPrintable(error));
    }

    void thousandWrongCodesAreThrottled()
    {
        Rig rig;
        int evaluated = 0, throttled = 0;
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < 1000; ++i) {
            auto phone = rig.phone();
            phone->hello(QStringLiteral("code"), QStringLiteral("%1").arg(10000000 + i));
            const QString reason = phone->next(QStringLiteral("denied")).value(QStringLiteral("reason")).toString();
            evaluated += reason == QLatin1String("code") ? 1 : 0;
            throttled += reason == QLatin1String("throttled") ? 1 : 0;
        }
        QCOMPARE(evaluated, AddressThrottle::kAllowed);
        QCOMPARE(throttled, 1000 - AddressThrottle::kAllowed);
        // While blocked even the right code is refused; once the block is over it pairs.
        auto blocked = rig.phone();
        blocked->hello(QStringLiteral("code"), rig.server.newCode(9));
        QCOMPARE(blocked->next(QStringLiteral("denied")).value(QStringLiteral("reason")).toString(), QStringLiteral("throttled"));
        rig.clock += AddressThrottle::kFirstPenaltyMs;
        auto later = rig.phone();
        later->hello(QStringLiteral("code"), rig.server.newCode(9));
        QCOMPARE(later->next(QStringLiteral("welcome")).value(QStringLiteral("seat")).toInt(), 9);
        qInfo("1000 wrong codes answered in %lld ms", timer.elapsed());
    }

    // Sockets without a seat are bounded per address: past the bound the oldest gives way, never the new
    // one, and never a paired phone. Bare connections are bounded the same way before any HTTP is read.
    void connectionsFromOneAddressAreCapped()
    {
        Rig rig;
        auto paired = rig.paired(1);
        std::vector<std::unique_ptr<Phone>> phones;
        for (int i = 0; i < JudgeServer::kMaxPerAddress; ++i)
            phones.push_back(rig.phone());
        auto extra = rig.phone();
        QVERIFY(phones.front()->closedWithin(3000));
        QVERIFY(!extra->closedWithin(200));
        extra->hello(QStringLiteral("token"), tokenOf(rig.server.joinUrl(4)));
        QCOMPARE(extra->next(QStringLiteral("welcome")).value(QStringLiteral("seat")).toInt(), 4);

        std::vector<std::unique_ptr<QTcpSocket>> idle;
        for (int i = 0; i < 40; ++i) {
            idle.push_back(std::make_unique<QTcpSocket>());
            idle.back()->connectToHost(QHostAddress::LocalHost, rig.server.port());
        }
        QVERIFY(waitUntil([&] {
            return std::count_if(idle.cbegin(), idle.cend(), [](const auto &s) { return s->state() == QAbstractSocket::UnconnectedState; })
                   >= 40 - GateLimits().perAddress;
        }, 3000));
        QCOMPARE(rig.server.seat(1).state, SeatState::Connected);
        QCOMPARE(rig.server.seat(4).state, SeatState::Connected);
        QVERIFY(paired->socket.state() == QAbstractSocket::ConnectedState);
    }

    // One connection, 20,000 pipelined requests for the page's script, never reading an answer (three of
    // them at once): the program's memory stays put, and the connections are closed.
    void pipelinedRequestsThatAreNeverReadCostNoMemory()
    {
        GateLimits limits;
        limits.stallMs = 1500;
        Rig rig(true, limits);
        const QByteArray request = "GET /judge.js HTTP/1.1\r\nHost: 127.0.0.1:" + QByteArray::number(rig.server.port()) + "\r\n\r\n";
        QByteArray burst;
        for (int i = 0; i < 20000; ++i)
            burst += request;
        const qint64 before = residentKb();
        std::vector<int> fds;
        std::vector<qsizetype> sent(3, 0);
        for (int i = 0; i < 3; ++i)
            fds.push_back(rawConnect("127.0.0.2", rig.server.port()));
        QTest::qWait(100);
        QElapsedTimer t;
        t.start();
        std::vector<bool> closed(3, false);
        qint64 peak = before;
        while (t.elapsed() < 8000 && std::count(closed.cbegin(), closed.cend(), true) < 3) {
            for (int i = 0; i < 3; ++i) {
                if (closed[i])
                    continue;
                if (sent[i] < burst.size()) {
                    const ssize_t n = ::send(fds[i], burst.constData() + sent[i], size_t(burst.size() - sent[i]), MSG_DONTWAIT | MSG_NOSIGNAL);
                    if (n > 0)
                        sent[i] += n;
                    else if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
                        closed[i] = true;
                } else if (!rawOpen(fds[i]) || ::send(fds[i], "", 0, MSG_NOSIGNAL) < 0) {
                    closed[i] = true;
                }
            }
            QTest::qWait(5);
            peak = std::max(peak, residentKb());
        }
        for (int fd : fds)
            ::close(fd);
        qInfo("resident before %lld kB, peak %lld kB", before, peak);
        QVERIFY2(peak - before < 20 * 1024, qPrintable(QString::number(peak - before)));
        QCOMPARE(std::count(closed.cbegin(), closed.cend(), true), 3);
        // The page is still served.
        auto phone = rig.paired(1);
        QCOMPARE(rig.server.seat(1).state, SeatState::Connected);
    }

    // Half-finished requests from several addresses, a byte at a time, and silent sockets: each is closed
    // once its time is up, and meanwhile a paired phone reconnects and a new one gets the page.
    void slowConnectionsNeitherHoldOnNorShutPhonesOut()
    {
        GateLimits limits;
        limits.headMs = 600;
        Rig rig(true, limits);
        auto phone = rig.paired(2);
        phone->socket.close();
        QVERIFY(phone->closedWithin(3000));
        std::vector<int> slow;
        for (int a = 0; a < 7; ++a) {
            for (int i = 0; i < 20; ++i)
                slow.push_back(rawConnect(qPrintable(QStringLiteral("127.0.0.%1").arg(20 + a)), rig.server.port()));
            QTest::qWait(30); // taken in by the program, as a real attacker's would be by then
        }
        QElapsedTimer t;
        t.start();
        for (int step = 0; step < 4; ++step) {
            for (int fd : slow)
                (void)::send(fd, "G", 1, MSG_DONTWAIT | MSG_NOSIGNAL);
            QTest::qWait(100);
        }
        auto back = std::make_unique<Phone>(rig.origin());
        QElapsedTimer reconnect;
        reconnect.start();
        QVERIFY(back->open(rig.server.port()));
        back->helloDevice(phone->id, phone->key);
        QCOMPARE(back->next(QStringLiteral("welcome"), 2000).value(QStringLiteral("seat")).toInt(), 2);
        QVERIFY2(reconnect.elapsed() < 2000, qPrintable(QString::number(reconnect.elapsed())));
        QNetworkAccessManager net;
        QElapsedTimer load;
        load.start();
        std::unique_ptr<QNetworkReply> page(net.get(QNetworkRequest(QUrl(rig.origin() + QStringLiteral("/")))));
        QVERIFY(waitUntil([&] { return page->isFinished(); }, 2000));
        QCOMPARE(page->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 200);
        QVERIFY2(load.elapsed() < 2000, qPrintable(QString::number(load.elapsed())));
        // None of the slow ones outlives its time limit by much.
        QVERIFY(waitUntil([&] { return std::none_of(slow.cbegin(), slow.cend(), rawOpen); }, 3000));
        QVERIFY2(t.elapsed() < 3000, qPrintable(QString::number(t.elapsed())));
        for (int fd : slow)
            ::close(fd);
        // A socket that never proves a seat is closed once its time is up.
        auto silent = rig.phone();
        rig.clock += JudgeServer::kHelloMs + 1;
        rig.server.sweep();
        QVERIFY(silent->closedWithin(3000));
        QVERIFY(back->socket.state() == QAbstractSocket::ConnectedState);
    }
};

class ScoreTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // A phone writing into a connection the program has cut gets a broken pipe: an error, not a crash.
        std::signal(SIGPIPE, SIG_IGN);
    }
    void scoresAreTiedToThePerformance_data()
    {
        QTest::addColumn<int>("round");
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("seq");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("outcome");
        QTest::addColumn<bool>("arrives");
        QTest::newRow("a newer score") << 1 << 3 << 6 << "9.5" << "accepted" << true;
        QTest::newRow("the same again") << 1 << 3 << 5 << "9.25" << "duplicate" << false;
        QTest::newRow("an older one") << 1 << 3 << 4 << "8.00" << "older_seq" << false;
        QTest::newRow("another contestant") << 1 << 4 << 6 << "9.5" << "other_performance" << false;
        QTest::newRow("another round") << 2 << 3 << 6 << "9.5" << "other_performance" << false;
        QTest::newRow("above the highest") << 1 << 3 << 6 << "10.5" << "out_of_range" << false;
        QTest::newRow("too many places") << 1 << 3 << 6 << "9.125" << "bad_format" << false;
    }
    void scoresAreTiedToThePerformance()
    {
        QFETCH(int, round);
        QFETCH(int, position);
        QFETCH(int, seq);
        QFETCH(QString, value);
        QFETCH(QString, outcome);
        QFETCH(bool, arrives);
        Rig rig;
        rig.perform(1, 3);
        auto phone = rig.paired(2);
        QSignalSpy scores(&rig.server, &JudgeLink::scoreArrived);
        phone->score(1, 3, 5, QStringLiteral("9.25"));
        QCOMPARE(phone->next(QStringLiteral("ack")).value(QStringLiteral("value")).toString(), QStringLiteral("9.25"));
        QCOMPARE(scores.count(), 1);
        QCOMPARE(scores.at(0).at(0).toInt(), 2);
        QCOMPARE(scores.at(0).at(1).toString(), QStringLiteral("9.25"));

        phone->score(round, position, seq, value);
        const bool echoed = outcome == QLatin1String("accepted") || outcome == QLatin1String("duplicate");
        const QJsonObject answer = phone->next(echoed ? QStringLiteral("ack") : QStringLiteral("reject"));
        QCOMPARE(answer.value(QStringLiteral("seq")).toInt(), seq);
        if (!echoed)
            QCOMPARE(answer.value(QStringLiteral("reason")).toString(), outcome);
        QCOMPARE(scores.count(), arrives ? 2 : 1);
        if (arrives)
            QCOMPARE(scores.at(1).at(1).toString(), value);
        QCOMPARE(rig.audit(QStringLiteral("jg")), (QStringList{QStringLiteral("accepted"), outcome}));
        QCOMPARE(rig.audit(QStringLiteral("pw || '|' || lunshu || '|' || bh || '|' || xh || '|' || fs")).last(),
                 QStringLiteral("2|%1|%2|%3|%4").arg(round).arg(position).arg(seq).arg(value));
    }

    void aLateScoreForTheOldContestantIsDroppedAndTold()
    {
        Rig rig;
        rig.perform(1, 3);
        auto phone = rig.paired(4);
        auto other = rig.paired(6);
        QSignalSpy scores(&rig.server, &JudgeLink::scoreArrived);
        rig.perform(1, 4);
        for (Phone *p : {phone.get(), other.get()})
            QCOMPARE(p->next(QStringLiteral("perf")).value(QStringLiteral("pos")).toInt(), 4);
        phone->score(1, 3, 1, QStringLiteral("9.1"));
        QCOMPARE(phone->next(QStringLiteral("reject")).value(QStringLiteral("reason")).toString(), QStringLiteral("other_performance"));
        QCOMPARE(phone->next(QStringLiteral("perf")).value(QStringLiteral("pos")).toInt(), 4); // told what is scored now
        QCOMPARE(scores.count(), 0);
    }

    void confirmedScoresAreFinal()
    {
        Rig rig;
        rig.perform(2, 8);
        auto phone = rig.paired(1);
        phone->score(2, 8, 1, QStringLiteral("8.5"));
        phone->next(QStringLiteral("ack"));
        rig.server.confirm({QStringLiteral("8.75")}); // the operator typed over the phone's value
        const QJsonObject perf = phone->next(QStringLiteral("perf"));
        QVERIFY(perf.value(QStringLiteral("final")).toBool());
        QCOMPARE(perf.value(QStringLiteral("finalValue")).toString(), QStringLiteral("8.75"));
        QSignalSpy scores(&rig.server, &JudgeLink::scoreArrived);
        phone->score(2, 8, 2, QStringLiteral("9"));
        QCOMPARE(phone->next(QStringLiteral("reject")).value(QStringLiteral("reason")).toString(), QStringLiteral("final"));
        QCOMPARE(scores.count(), 0);
        // The next contestant is open again, and the phone's sequence carries on from what it was told.
        rig.perform(2, 9);
        QVERIFY(!phone->next(QStringLiteral("perf")).value(QStringLiteral("final")).toBool());
        phone->score(2, 9, 3, QStringLiteral("9"));
        QVERIFY(!phone->next(QStringLiteral("ack")).isEmpty());
        QCOMPARE(scores.count(), 1);
    }

    void aSeatBeyondTheJudgesCannotScore()
    {
        Rig rig;
        rig.perform(1, 1, 3);
        auto phone = rig.paired(5);
        phone->score(1, 1, 1, QStringLiteral("9"));
        QCOMPARE(phone->next(QStringLiteral("reject")).value(QStringLiteral("reason")).toString(), QStringLiteral("not_judging"));
    }

    void anUnsentScoreIsStoredOnceAfterReconnecting_data()
    {
        QTest::addColumn<bool>("reachedTheProgram");
        QTest::newRow("the echo was lost") << true;
        QTest::newRow("it never left the phone") << false;
    }
    void anUnsentScoreIsStoredOnceAfterReconnecting()
    {
        QFETCH(bool, reachedTheProgram);
        Rig rig;
        rig.perform(1, 2);
        auto phone = rig.paired(3);
        QSignalSpy scores(&rig.server, &JudgeLink::scoreArrived);
        phone->send({{QStringLiteral("t"), QStringLiteral("ping")}});
        phone->next(QStringLiteral("pong"));
        const QString id = phone->id, key = phone->key;
        if (reachedTheProgram) {
            phone->score(1, 2, 7, QStringLiteral("9.75"));
            QVERIFY(waitUntil([&] { return scores.count() == 1; }, 3000));
        }
        phone->socket.abort(); // the phone went to sleep before it saw the echo
        phone.reset();
        QVERIFY(waitUntil([&] { return rig.server.seat(3).state == SeatState::Stale; }, 3000));

        auto back = rig.phone();
        back->helloDevice(id, key);
        QVERIFY(!back->next(QStringLiteral("welcome")).isEmpty());
        const QJsonObject perf = back->next(QStringLiteral("perf"));
        QCOMPARE(perf.value(QStringLiteral("value")).toString(), reachedTheProgram ? QStringLiteral("9.75") : QString());
        back->score(1, 2, 7, QStringLiteral("9.75"));
        QCOMPARE(back->next(QStringLiteral("ack")).value(QStringLiteral("value")).toString(), QStringLiteral("9.75"));
        back->score(1, 2, 7, QStringLiteral("9.75")); // and once more for good measure
        back->next(QStringLiteral("ack"));
        QCOMPARE(scores.count(), 1);
        QCOMPARE(rig.audit(QStringLiteral("jg")).count(QStringLiteral("accepted")), 1);
    }

    void aClientKilledMidSendLeavesNothingBehind()
    {
        Rig rig;
        rig.perform(1, 1);
        auto paired = rig.paired(8);
        paired->socket.close();
        QVERIFY(paired->closedWithin(3000));
        QSignalSpy scores(&rig.server, &JudgeLink::scoreArrived);

        // A raw connection: handshake, the answer to its challenge, then half of a score frame, then gone.
        RawPhone raw(QStringLiteral("127.0.0.1"), rig.server.port());
        QVERIFY(raw.upgraded());
        raw.helloDevice(paired->id, paired->key);
        QVERIFY(waitUntil([&] { return rig.server.seat(8).state == SeatState::Connected; }, 3000));
        const QByteArray score = R"({"t":"score","round":1,"pos":1,"seq":1,"value":"9.5"})";
        QByteArray frame;
        frame.append(char(0x81)).append(char(0x80 | score.size())).append(QByteArray(4, '\0'));
        frame += score;
        raw.tcp.write(frame.left(frame.size() / 2));
        raw.tcp.flush();
        QTest::qWait(50);
        raw.tcp.abort();
        QVERIFY(waitUntil([&] { return rig.server.seat(8).state == SeatState::Stale; }, 3000));
        QCOMPARE(scores.count(), 0);

        auto back = rig.phone();
        back->helloDevice(paired->id, paired->key);
        back->next(QStringLiteral("welcome"));
        back->score(1, 1, 1, QStringLiteral("9.5"));
        QVERIFY(!back->next(QStringLiteral("ack")).isEmpty());
        QCOMPARE(scores.count(), 1);
    }

    void aFloodIsCappedAndTheProgramStaysResponsive()
    {
        Rig rig;
        rig.perform(1, 1);
        auto flooder = rig.paired(10);
        auto calm = rig.paired(11);
        QSignalSpy scores(&rig.server, &JudgeLink::scoreArrived);
        // The event loop's pulse: the longest gap between ticks of a 10 ms timer while the flood lasts.
        QElapsedTimer pulse;
        qint64 worstGap = 0;
        QTimer ticker;
        ticker.setInterval(10);
        connect(&ticker, &QTimer::timeout, this, [&] {
            worstGap = std::max(worstGap, pulse.restart());
        });
        pulse.start();
        ticker.start();
        for (int i = 1; i <= 5000; ++i) {
            flooder->score(1, 1, i, QStringLiteral("9"));
            if (i % 500 == 0)
                QCoreApplication::processEvents();
        }
        QVERIFY(flooder->closedWithin(5000));
        ticker.stop();
        // The fake clock stands still: the burst and no more got through.
        QVERIFY2(scores.count() <= int(RateBucket::kBurst), qPrintable(QString::number(scores.count())));
        QVERIFY2(worstGap < 250, qPrintable(QString::number(worstGap)));
        calm->score(1, 1, 1, QStringLiteral("8"));
        QVERIFY(!calm->next(QStringLiteral("ack"), 1000).isEmpty());
        // A message over 1 KB ends the connection too.
        calm->socket.sendTextMessage(QString(2000, QLatin1Char('x')));
        QVERIFY(calm->closedWithin(3000));
    }
};

// A spectator who has seen everything a paired phone sent, and a paired device that misbehaves.
class TakeoverTest : public QObject {
    Q_OBJECT
private slots:
    void aReplayedHelloTakesNoSeat()
    {
        Rig rig;
        rig.perform(1, 1);
        auto judge = rig.paired(2);
        judge->socket.close();
        QVERIFY(judge->closedWithin(3000));
        // The real phone comes back; everything it sent is seen on the air and replayed.
        auto back = rig.phone();
        back->helloDevice(judge->id, judge->key);
        QVERIFY(!back->next(QStringLiteral("welcome")).isEmpty());
        const QJsonObject seen{{QStringLiteral("t"), QStringLiteral("hello")}, {QStringLiteral("device"), judge->id},
                               {QStringLiteral("proof"), challengeAnswer(keyVerifier(judge->key), back->nonce)}};
        RawPhone replayer(QStringLiteral("127.0.0.7"), rig.server.port());
        QVERIFY(replayer.upgraded());
        replayer.send(seen);
        QCOMPARE(replayer.next(QStringLiteral("denied")).value(QStringLiteral("reason")).toString(), QStringLiteral("unknown"));
        QVERIFY(replayer.closedWithin(3000));
        QVERIFY(back->next(QStringLiteral("replaced"), 200).isEmpty());
        QCOMPARE(rig.server.seat(2).state, SeatState::Connected);
        // The key never travelled again after the pairing.
        for (const QJsonObject &m : std::as_const(back->everything))
            QVERIFY(!m.contains(QStringLiteral("key")));
        // The spent token pairs nobody.
        const QString spent = tokenOf(rig.server.joinUrl(5));
        auto five = rig.phone();
        five->hello(QStringLiteral("token"), spent);
        QVERIFY(!five->next(QStringLiteral("welcome")).isEmpty());
        QVERIFY(tokenOf(rig.server.joinUrl(5)) != spent);
        auto late = rig.phone();
        late->hello(QStringLiteral("token"), spent);
        QCOMPARE(late->next(QStringLiteral("denied")).value(QStringLiteral("reason")).toString(), QStringLiteral("token"));
    }

    // The device's own key on a second connection while the first is live: the operator decides.
    void aSecondLiveConnectionByKeyWaitsForTheOperator_data()
    {
        QTest::addColumn<bool>("accept");
        QTest::newRow("yes") << true;
        QTest::newRow("no") << false;
    }
    void aSecondLiveConnectionByKeyWaitsForTheOperator()
    {
        QFETCH(bool, accept);
        Rig rig;
        rig.perform(1, 1);
        auto first = rig.paired(3);
        QSignalSpy asks(&rig.server, &JudgeLink::secondDeviceAsks);
        auto second = rig.phone();
        second->helloDevice(first->id, first->key);
        QVERIFY(!second->next(QStringLiteral("wait")).isEmpty());
        QCOMPARE(asks.count(), 1);
        rig.server.answerSecondDevice(3, accept);
        if (accept) {
            QVERIFY(!second->next(QStringLiteral("welcome")).isEmpty());
            QVERIFY(first->closedWithin(3000));
        } else {
            QCOMPARE(second->next(QStringLiteral("denied")).value(QStringLiteral("reason")).toString(), QStringLiteral("refused"));
            QVERIFY(second->closedWithin(3000));
        }
        // Once the first has gone quiet (asleep), the device's key alone brings it back, unasked.
        rig.clock += JudgeServer::kStaleMs + 1;
        auto third = rig.phone();
        third->helloDevice(first->id, first->key);
        QVERIFY(!third->next(QStringLiteral("welcome")).isEmpty());
        QCOMPARE(asks.count(), 1);
    }

    void aNewPairingStartsANewSequenceAndABadOneIsAnswered()
    {
        Rig rig;
        rig.perform(1, 1);
        auto phone = rig.paired(4);
        QSignalSpy scores(&rig.server, &JudgeLink::scoreArrived);
        phone->score(1, 1, kMaxSequence, QStringLiteral("9"));
        QVERIFY(!phone->next(QStringLiteral("ack")).isEmpty());
        phone->score(1, 1, kMaxSequence + 1, QStringLiteral("9.5"));
        const QJsonObject refused = phone->next(QStringLiteral("reject"));
        QCOMPARE(refused.value(QStringLiteral("reason")).toString(), QStringLiteral("bad_format"));
        rig.server.resetSeat(4);
        auto fresh = rig.paired(4);
        bool told = false;
        for (const QJsonObject &m : std::as_const(fresh->everything))
            if (m.value(QStringLiteral("t")).toString() == QLatin1String("perf"))
                told = m.value(QStringLiteral("seq")).toInt() == 0;
        QVERIFY(told);
        fresh->score(1, 1, 1, QStringLiteral("8"));
        QCOMPARE(fresh->next(QStringLiteral("ack")).value(QStringLiteral("value")).toString(), QStringLiteral("8"));
        QCOMPARE(scores.count(), 2);
    }

    // A device that floods and reconnects whenever it is cut off gets no more through than one that stays.
    void theRateBelongsToTheDevice()
    {
        Rig rig;
        rig.perform(1, 1);
        auto phone = rig.paired(6);
        const QString id = phone->id, key = phone->key;
        QSignalSpy scores(&rig.server, &JudgeLink::scoreArrived);
        qint64 seq = 0;
        for (int round = 0; round < 5; ++round) {
            for (int i = 0; i < 30; ++i)
                phone->score(1, 1, ++seq, QStringLiteral("9"));
            phone->send({{QStringLiteral("t"), QStringLiteral("ping")}});
            (void)phone->next(QStringLiteral("pong"), 500);
            phone->socket.close();
            QVERIFY(phone->closedWithin(3000));
            phone = rig.phone();
            phone->helloDevice(id, key);
            QVERIFY(!phone->next(QStringLiteral("welcome")).isEmpty());
        }
        // The clock stands still: the burst once, for all five connections together.
        QVERIFY2(scores.count() <= int(RateBucket::kBurst), qPrintable(QString::number(scores.count())));
        rig.clock += 1000;
        phone->score(1, 1, ++seq, QStringLiteral("8"));
        QVERIFY(!phone->next(QStringLiteral("ack")).isEmpty());
    }
};

class AuditTest : public QObject {
    Q_OBJECT
private slots:
    // Messages that are not scores as the page sends them, and those over the rate, are kept as counts
    // per device and second, and answered.
    void malformedAndFloodedScoresAreCounted()
    {
        Rig rig;
        rig.perform(1, 1);
        auto phone = rig.paired(7);
        const QList<QByteArray> bad{
            R"({"t":"score","round":1,"pos":1,"seq":1,"value":9.5})",
            R"({"t":"score","round":1,"pos":1,"seq":1,"value":"12345678901234567"})",
            R"({"t":"score","round":1,"pos":1,"seq":0,"value":"9"})",
            R"({"t":"score","round":1,"pos":1,"seq":-5,"value":"9"})",
            R"({"t":"score","round":1,"pos":1,"seq":1.5,"value":"9"})",
            R"({"t":"score","round":1,"pos":1,"seq":2147483648,"value":"9"})",
            R"({"t":"score","round":"1","pos":1,"seq":1,"value":"9"})",
        };
        for (const QByteArray &m : bad) {
            phone->socket.sendTextMessage(QString::fromUtf8(m));
            QCOMPARE(phone->next(QStringLiteral("reject")).value(QStringLiteral("reason")).toString(), QStringLiteral("bad_format"));
        }
        // A value with a direction override is refused and stored as what it was.
        phone->score(1, 1, 2, QString(QChar(0x202E)) + QStringLiteral("5.9"));
        QCOMPARE(phone->next(QStringLiteral("reject")).value(QStringLiteral("reason")).toString(), QStringLiteral("bad_format"));
        QVERIFY(rig.audit(QStringLiteral("fs")).contains(QStringLiteral("\\u202e5.9")));
        // Fewer than cut a device off: every one of them is read.
        for (int i = 0; i < 50; ++i)
            phone->score(1, 1, 100 + i, QStringLiteral("9"));
        phone->send({{QStringLiteral("t"), QStringLiteral("ping")}});
        QVERIFY(waitUntil([&] {
            return rig.auditNumber(QStringLiteral("select coalesce(sum(cs), 0) from sjpf where jg = 'rate_limited'")) > 0;
        }, 3000));
        QTest::qWait(200);
        const int badRows = rig.auditNumber(QStringLiteral("select count(*) from sjpf where jg = 'bad_format' and cs > 0"));
        const int badCount = rig.auditNumber(QStringLiteral("select sum(cs) from sjpf where jg = 'bad_format'"));
        QCOMPARE(badCount, int(bad.size()) + 1);
        QVERIFY2(badRows <= 4, qPrintable(QString::number(badRows)));
        const int limitedRows = rig.auditNumber(QStringLiteral("select count(*) from sjpf where jg = 'rate_limited'"));
        const int limited = rig.auditNumber(QStringLiteral("select sum(cs) from sjpf where jg = 'rate_limited'"));
        const int taken = rig.auditNumber(QStringLiteral("select count(*) from sjpf where jg in ('accepted', 'duplicate', 'older_seq')"));
        QVERIFY2(limitedRows <= 3, qPrintable(QString::number(limitedRows)));
        QCOMPARE(limited + taken, 51); // every message is there: taken, or counted as over the rate (the ping too)
    }

    // The phone is told "已收到" only once the row is committed: another connection to the database sees
    // it at the echo. A database that refuses the row means no echo and no score on the panel.
    void anEchoedScoreIsAlreadyOnDisk()
    {
        Rig rig;
        rig.perform(1, 1);
        auto phone = rig.paired(9);
        QSignalSpy scores(&rig.server, &JudgeLink::scoreArrived);
        QStringList seen;
        connect(&phone->socket, &QWebSocket::textMessageReceived, this, [&](const QString &text) {
            if (text.contains(QLatin1String("\"ack\"")))
                seen = rig.folder.column(QStringLiteral("select fs || ' ' || jg from sjpf where pw = 9"));
        });
        phone->score(1, 1, 1, QStringLiteral("8.75"));
        QVERIFY(!phone->next(QStringLiteral("ack")).isEmpty());
        QCOMPARE(seen, QStringList{QStringLiteral("8.75 accepted")});

        rig.folder.exec({QStringLiteral("create trigger full_disk before insert on sjpf begin select raise(abort, 'disk full'); end")});
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("audit.*could not be written")));
        phone->score(1, 1, 2, QStringLiteral("9"));
        QCOMPARE(phone->next(QStringLiteral("reject")).value(QStringLiteral("reason")).toString(), QStringLiteral("unsaved"));
        QCOMPARE(scores.count(), 1);
        rig.folder.exec({QStringLiteral("drop trigger full_disk")});
        // The refused row is written later as what it was: not taken.
        rig.server.flushAudit();
        QCOMPARE(rig.folder.column(QStringLiteral("select fs || ' ' || jg from sjpf where pw = 9 order by id")),
                 (QStringList{QStringLiteral("8.75 accepted"), QStringLiteral("9 unsaved")}));
        phone->score(1, 1, 3, QStringLiteral("9"));
        QVERIFY(!phone->next(QStringLiteral("ack")).isEmpty());
    }

    // Pairings outlive the program, as hashes; "全部更换令牌" ends them there too.
    void pairingsSurviveARestart()
    {
        auto rig = std::make_unique<Rig>();
        auto phone = rig->paired(10);
        const QString id = phone->id, key = phone->key, device = rig->server.seat(10).device;
        const QString token = tokenOf(rig->server.joinUrl(10));
        phone.reset();
        // The program ends and starts again on the same database.
        auto again = std::make_unique<JudgeServer>();
        rig->server.stop();
        again->attach(&rig->settings, &rig->data.ADOConnection1);
        QCOMPARE(again->seat(10).state, SeatState::Stale);
        QCOMPARE(again->seat(10).device, device);
        QString error;
        QVERIFY(again->start(QStringLiteral("127.0.0.1"), 0, &error));
        Phone back(QStringLiteral("http://127.0.0.1:%1").arg(again->port()));
        QVERIFY(back.open(again->port()));
        back.helloDevice(id, key);
        QCOMPARE(back.next(QStringLiteral("welcome")).value(QStringLiteral("seat")).toInt(), 10);
        const QString stored = rig->folder.column(QStringLiteral("select pw || sbid || sb || yz from sjpd")).join(QString());
        QVERIFY(stored.startsWith(QStringLiteral("10")));
        QVERIFY(!stored.contains(key));
        QVERIFY(!stored.contains(token));
        again->renewTokens();
        QCOMPARE(rig->folder.column(QStringLiteral("select count(*) from sjpd")).value(0), QStringLiteral("0"));
        QVERIFY(back.closedWithin(3000));
        Phone gone(QStringLiteral("http://127.0.0.1:%1").arg(again->port()));
        QVERIFY(gone.open(again->port()));
        gone.helloDevice(id, key);
        QCOMPARE(gone.next(QStringLiteral("denied")).value(QStringLiteral("reason")).toString(), QStringLiteral("unknown"));
        again->stop();
    }

    void anOlderDatabaseGetsTheTableAndNoSecretReachesIt()
    {
        Rig rig(false);
        rig.folder.exec({QStringLiteral("drop table sjpf")});
        QString error;
        QVERIFY(rig.server.start(QStringLiteral("127.0.0.1"), 0, &error));
        QVERIFY(rig.folder.column(QStringLiteral("select name from sqlite_master where name = 'sjpf'")).size() == 1);
        rig.perform(3, 5);
        auto phone = rig.paired(12);
        phone->score(3, 5, 1, QStringLiteral("7.5"));
        phone->next(QStringLiteral("ack"));
        phone->score(3, 4, 2, QStringLiteral("7.0"));
        phone->next(QStringLiteral("reject"));
        const QStringList rows = rig.audit(QStringLiteral("sj || '|' || pw || '|' || sb || '|' || fs || '|' || jg"));
        QCOMPARE(rows.size(), 2);
        const QString device = rig.server.seat(12).device;
        QVERIFY(rows.at(0).endsWith(QStringLiteral("|12|%1|7.5|accepted").arg(device)));
        QVERIFY(rows.at(1).endsWith(QStringLiteral("|12|%1|7.0|other_performance").arg(device)));
        QVERIFY(QDateTime::fromString(rows.at(0).section(QLatin1Char('|'), 0, 0), QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")).isValid());
        QString key;
        for (const QJsonObject &m : std::as_const(phone->everything))
            if (m.value(QStringLiteral("t")).toString() == QLatin1String("welcome"))
                key = m.value(QStringLiteral("key")).toString();
        const QString everything = rig.folder.column(QStringLiteral("select group_concat(sj || sb || fs || jg, ' ') from sjpf")).join(QString());
        QVERIFY(!everything.contains(tokenOf(rig.server.joinUrl(12))));
        QVERIFY(!everything.contains(key));
        // Stopping writes what was gathered.
        phone->score(3, 5, 3, QStringLiteral("7.75"));
        phone->next(QStringLiteral("ack"));
        rig.server.stop();
        QCOMPARE(rig.folder.column(QStringLiteral("select count(*) from sjpf")).value(0), QStringLiteral("3"));
    }
};

// The whole road through the program with the real server in its services: phones paired, scores in the
// scoring screen's entry panel, confirmed and stored with F7, the next contestant on the phones and a late
// score for the one before dropped.
class ProgramRoadTest : public QObject {
    Q_OBJECT
private slots:
    void phonesScoreThroughTheScoringScreen()
    {
        TestApp t;
        const TestProgramFolder &f = t.folder;
        f.setConfig(keys::kJudges, keys::kJudgeCount, QStringLiteral("3"));
        f.setConfig(keys::kContest, keys::kContestantCount, QStringLiteral("2"));
        f.setConfig(keys::kScoring, keys::kDecimals, QStringLiteral("2"));
        f.setConfig(keys::kScoring, keys::kTallyMode, QStringLiteral("0"));
        f.setConfig(keys::kContest, keys::roundLowest(2), QStringLiteral("5"));
        f.setConfig(keys::kContest, keys::roundHighest(2), QStringLiteral("9.5"));
        for (int r = 1; r <= 4; ++r)
            f.setConfig(keys::kContest, keys::roundCoefficient(r), QStringLiteral("1"));
        for (int j = 1; j <= 3; ++j)
            f.setConfig(keys::kJudges, keys::judgeName(j), QStringLiteral("评委%1").arg(j));
        f.exec({QStringLiteral("insert into xsb (bh, xm, zppath) values (1, '选手1', '')"),
                QStringLiteral("insert into xsb (bh, xm, zppath) values (2, '选手2', '')")});
        JudgeServer server;
        Services services = t.fakes.services();
        services.judges = &server;
        t.app = std::make_unique<Application>(f.path(), services);
        t.screens().frm_main->show();
        QVERIFY(waitUntil([&] { return !t.screens().frm_main->databasePending(); }, 10000));
        server.attach(&t.context().settings, &t.context().data->ADOConnection1);
        server.setPerAddressLimit(kSeats);
        QString error;
        QVERIFY2(server.start(QStringLiteral("127.0.0.1"), 0, &error), qPrintable(error));
        const QString origin = QStringLiteral("http://127.0.0.1:%1").arg(server.port());

        std::vector<std::unique_ptr<Phone>> phones;
        for (int seat = 1; seat <= 3; ++seat) {
            phones.push_back(std::make_unique<Phone>(origin));
            QVERIFY(phones.back()->open(server.port()));
            phones.back()->hello(QStringLiteral("token"), tokenOf(server.joinUrl(seat)));
            QCOMPARE(phones.back()->next(QStringLiteral("welcome")).value(QStringLiteral("judge")).toString(),
                     QStringLiteral("评委%1").arg(seat));
        }
        Tfrm_pfmain *screen = t.screens().frm_pfmain;
        screen->openModeless(t.screens().frm_main);
        QTest::keyClick(screen, Qt::Key_F2);
        QTest::keyClick(screen, Qt::Key_Up);
        QTest::keyClick(screen, Qt::Key_F9);
        for (const auto &p : phones) {
            QJsonObject perf;
            QVERIFY(waitUntil([&] {
                perf = p->next(QStringLiteral("perf"), 0);
                return perf.value(QStringLiteral("round")).toInt() == 2 && perf.value(QStringLiteral("scoring")).toBool();
            }, 3000));
            QCOMPARE(perf.value(QStringLiteral("pos")).toInt(), 1);
            QCOMPARE(perf.value(QStringLiteral("highest")).toDouble(), 9.5);
        }
        const QStringList values{QStringLiteral("9.00"), QStringLiteral("8.75"), QStringLiteral("7.25")};
        for (int seat = 1; seat <= 3; ++seat) {
            phones[seat - 1]->score(2, 1, 1, values[seat - 1]);
            QVERIFY(!phones[seat - 1]->next(QStringLiteral("ack")).isEmpty());
        }
        for (int seat = 1; seat <= 3; ++seat)
            QCOMPARE(screen->panel_sdsrfs->boxes[seat - 1]->text(), values[seat - 1]);
        QCOMPARE(f.column(QStringLiteral("select count(*) from pwdf")).value(0), QStringLiteral("0"));

        QTest::mouseClick(screen->panel_sdsrfs->Button1, Qt::LeftButton);
        QVERIFY(phones[0]->next(QStringLiteral("perf")).value(QStringLiteral("final")).toBool());
        QTest::keyClick(screen, Qt::Key_F7);
        QCOMPARE(f.column(QStringLiteral("select pw1df || ' ' || pw2df || ' ' || pw3df from pwdf")),
                 QStringList{QStringLiteral("9.00 8.75 7.25")});

        QTest::keyClick(screen, Qt::Key_Escape);
        QTest::keyClick(screen, Qt::Key_Up);
        QJsonObject next;
        QVERIFY(waitUntil([&] {
            next = phones[1]->next(QStringLiteral("perf"), 0);
            return next.value(QStringLiteral("pos")).toInt() == 2;
        }, 3000));
        QCOMPARE(next.value(QStringLiteral("name")).toString(), QStringLiteral("选手2"));
        QVERIFY(!next.value(QStringLiteral("final")).toBool());
        phones[1]->score(2, 1, 2, QStringLiteral("6.00")); // late, for the contestant before
        QCOMPARE(phones[1]->next(QStringLiteral("reject")).value(QStringLiteral("reason")).toString(),
                 QStringLiteral("other_performance"));
        QTest::keyClick(screen, Qt::Key_F9);
        QCOMPARE(screen->panel_sdsrfs->boxes[1]->text(), QString());
        server.flushAudit();
        QCOMPARE(f.column(QStringLiteral("select jg from sjpf order by id")),
                 (QStringList{QStringLiteral("accepted"), QStringLiteral("accepted"), QStringLiteral("accepted"),
                              QStringLiteral("other_performance")}));
        screen->hide();
        server.stop();
        server.attach(nullptr, nullptr); // as the program lets the server go before its database
        t.app.reset();                   // the screens go before the server they use
    }
};

QUELMORA_TEST_MAIN(PairingTest, StrangerTest, ScoreTest, TakeoverTest, AuditTest, ProgramRoadTest)
#include "tst_judge_server.moc"
