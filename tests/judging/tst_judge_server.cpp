// The judges' server over loopback with QWebSocket phones: pairing by token, code and device key, the
// second device, codes that expire or are guessed, what a stranger can reach, throttles and caps, scores
// tied to the performance, reconnects that must not count a score twice, and the audit table.
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

#include <csignal>
#include <deque>
#include <memory>

using namespace judging;

namespace {

using test_support::waitUntil;

// One phone: a WebSocket client that keeps what the program sent it.
class Phone : public QObject {
public:
    explicit Phone(const QString &origin) : socket(origin)
    {
        connect(&socket, &QWebSocket::textMessageReceived, this, [this](const QString &text) {
            inbox.push_back(QJsonDocument::fromJson(text.toUtf8()).object());
            everything.push_back(inbox.back());
        });
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
    // The next message of that type, the ones before it dropped; empty after `ms` without one.
    QJsonObject next(const QString &type, int ms = 3000)
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
    bool closedWithin(int ms) { return waitUntil([&] { return socket.state() == QAbstractSocket::UnconnectedState; }, ms); }

    QWebSocket socket;
    std::deque<QJsonObject> inbox;
    QList<QJsonObject> everything;
};

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

    explicit Rig(bool start = true)
    {
        for (int j = 1; j <= 12; ++j)
            folder.setConfig(keys::kJudges, keys::judgeName(j), QStringLiteral("评委%1").arg(j));
        data.connectTo(folder.databasePath());
        server.attach(&settings, &data.ADOConnection1);
        server.setSteadyClock([this] { return clock; });
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

        // Closed and back with its key alone: the same seat, no new pairing.
        const QString key = welcome.value(QStringLiteral("key")).toString();
        phone->socket.close();
        QVERIFY(waitUntil([&] { return rig.server.seat(3).state == SeatState::Stale; }, 3000));
        auto again = rig.phone();
        again->hello(QStringLiteral("key"), key);
        QCOMPARE(again->next(QStringLiteral("welcome")).value(QStringLiteral("seat")).toInt(), 3);
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
        QTest::newRow("five wrong tries lock the seat") << "guessed" << "locked";
    }
    void codeFailures()
    {
        QFETCH(QString, road);
        QFETCH(QString, reason);
        Rig rig;
        const QString code = rig.server.newCode(7);
        if (road == QLatin1String("expired")) {
            rig.clock += kCodeLifetimeMs;
        } else if (road == QLatin1String("twice")) {
            auto taker = rig.phone();
            taker->hello(QStringLiteral("code"), code);
            QVERIFY(!taker->next(QStringLiteral("welcome")).isEmpty());
        } else {
            auto guesser = rig.phone();
            const QString wrong = code == QLatin1String("000000") ? QStringLiteral("000001") : QStringLiteral("000000");
            for (int i = 0; i < kWrongCodesToLock; ++i) {
                guesser->hello(QStringLiteral("code"), wrong);
                QCOMPARE(guesser->next(QStringLiteral("denied")).value(QStringLiteral("reason")).toString(), QStringLiteral("code"));
            }
            QCOMPARE(rig.server.seat(7).state, SeatState::Locked);
        }
        auto phone = rig.phone();
        phone->hello(QStringLiteral("code"), code);
        QCOMPARE(phone->next(QStringLiteral("denied")).value(QStringLiteral("reason")).toString(), reason);
        QVERIFY(phone->next(QStringLiteral("perf"), 0).isEmpty());
        if (road == QLatin1String("guessed")) {
            // Locked also to its token, until the operator resets the seat.
            auto byToken = rig.phone();
            byToken->hello(QStringLiteral("token"), tokenOf(rig.server.joinUrl(7)));
            QCOMPARE(byToken->next(QStringLiteral("denied")).value(QStringLiteral("reason")).toString(), QStringLiteral("locked"));
            QVERIFY(rig.server.newCode(7).isEmpty());
            rig.server.resetSeat(7);
            QCOMPARE(rig.server.seat(7).state, SeatState::Unpaired);
            auto fresh = rig.phone();
            fresh->hello(QStringLiteral("code"), rig.server.newCode(7));
            QCOMPARE(fresh->next(QStringLiteral("welcome")).value(QStringLiteral("seat")).toInt(), 7);
        }
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
        QTest::newRow("a made-up device key") << "" << QByteArray(R"({"t":"hello","key":"AAAAAAAAAAAAAAAAAAAAAA"})");
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
            QCOMPARE(m.value(QStringLiteral("t")).toString(), QStringLiteral("denied"));
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
            phone->hello(QStringLiteral("code"), QStringLiteral("%1").arg(100000 + i));
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

    void connectionsFromOneAddressAreCapped()
    {
        Rig rig;
        std::vector<std::unique_ptr<Phone>> phones;
        for (int i = 0; i < JudgeServer::kMaxPerAddress; ++i)
            phones.push_back(rig.phone());
        auto extra = rig.phone();
        QVERIFY(extra->closedWithin(3000));
        QVERIFY(phones.front()->socket.state() == QAbstractSocket::ConnectedState);

        // Bare connections that never say a word are capped too, before any HTTP is read.
        std::vector<std::unique_ptr<QTcpSocket>> idle;
        for (int i = 0; i < 40; ++i) {
            idle.push_back(std::make_unique<QTcpSocket>());
            idle.back()->connectToHost(QHostAddress::LocalHost, rig.server.port());
        }
        QVERIFY(waitUntil([&] {
            return std::count_if(idle.cbegin(), idle.cend(), [](const auto &s) { return s->state() == QAbstractSocket::UnconnectedState; }) >= 20;
        }, 3000));
        QVERIFY(phones.front()->socket.state() == QAbstractSocket::ConnectedState);
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
        const QString key = [&] {
            for (const QJsonObject &m : std::as_const(phone->everything))
                if (m.value(QStringLiteral("t")).toString() == QLatin1String("welcome"))
                    return m.value(QStringLiteral("key")).toString();
            return QString();
        }();
        if (reachedTheProgram) {
            phone->score(1, 2, 7, QStringLiteral("9.75"));
            QVERIFY(waitUntil([&] { return scores.count() == 1; }, 3000));
        }
        phone->socket.abort(); // the phone went to sleep before it saw the echo
        phone.reset();
        QVERIFY(waitUntil([&] { return rig.server.seat(3).state == SeatState::Stale; }, 3000));

        auto back = rig.phone();
        back->hello(QStringLiteral("key"), key);
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
        QString key;
        for (const QJsonObject &m : std::as_const(paired->everything))
            if (m.value(QStringLiteral("t")).toString() == QLatin1String("welcome"))
                key = m.value(QStringLiteral("key")).toString();
        paired->socket.close();
        QVERIFY(paired->closedWithin(3000));
        QSignalSpy scores(&rig.server, &JudgeLink::scoreArrived);

        // A raw connection: handshake, the hello, then half of a score frame, then gone.
        QTcpSocket raw;
        raw.connectToHost(QHostAddress::LocalHost, rig.server.port());
        QVERIFY(raw.waitForConnected(3000));
        raw.write(QStringLiteral("GET /ws HTTP/1.1\r\nHost: 127.0.0.1:%1\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
                                 "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\nSec-WebSocket-Version: 13\r\n"
                                 "Origin: %2\r\n\r\n").arg(rig.server.port()).arg(rig.origin()).toLatin1());
        QVERIFY(waitUntil([&] { return raw.bytesAvailable() > 0 && raw.peek(4096).contains("\r\n\r\n"); }, 3000));
        QVERIFY(raw.peek(4096).startsWith("HTTP/1.1 101"));
        raw.readAll();
        auto frame = [](const QByteArray &payload) {
            QByteArray f;
            f.append(char(0x81)).append(char(0x80 | payload.size())).append(QByteArray(4, '\0')); // a zero mask
            return f + payload;
        };
        raw.write(frame(R"({"t":"hello","key":")" + key.toLatin1() + R"("})"));
        QVERIFY(waitUntil([&] { return rig.server.seat(8).state == SeatState::Connected; }, 3000));
        const QByteArray score = frame(R"({"t":"score","round":1,"pos":1,"seq":1,"value":"9.5"})");
        raw.write(score.left(score.size() / 2));
        raw.flush();
        QTest::qWait(50);
        raw.abort();
        QVERIFY(waitUntil([&] { return rig.server.seat(8).state == SeatState::Stale; }, 3000));
        QCOMPARE(scores.count(), 0);

        auto back = rig.phone();
        back->hello(QStringLiteral("key"), key);
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
        QVERIFY2(scores.count() < int(RateBucket::kBurst), qPrintable(QString::number(scores.count())));
        QVERIFY2(worstGap < 250, qPrintable(QString::number(worstGap)));
        calm->score(1, 1, 1, QStringLiteral("8"));
        QVERIFY(!calm->next(QStringLiteral("ack"), 1000).isEmpty());
        // A message over 1 KB ends the connection too.
        calm->socket.sendTextMessage(QString(2000, QLatin1Char('x')));
        QVERIFY(calm->closedWithin(3000));
    }
};

class AuditTest : public QObject {
    Q_OBJECT
private slots:
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

QUELMORA_TEST_MAIN(PairingTest, StrangerTest, ScoreTest, AuditTest, ProgramRoadTest)
#include "tst_judge_server.moc"
