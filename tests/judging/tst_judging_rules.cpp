// The rules of the judges' phones without a network: score checks, message parsing, the seats' tokens and
// codes, the throttle of bad attempts per address and the rate of one device.
#include "judging/judging_rules.h"
#include "settings/settings_files.h"
#include "test_app.h"

#include <QSet>

using namespace judging;

Q_DECLARE_METATYPE(judging::Outcome)
Q_DECLARE_METATYPE(judging::Message::Kind)

namespace {
Performance round1(double lowest = 0, double highest = 10, int decimals = 2)
{
    Performance p;
    p.round = 1;
    p.position = 3;
    p.judges = 12;
    p.lowest = lowest;
    p.highest = highest;
    p.decimals = decimals;
    return p;
}
} // namespace

class ScoreCheckTest : public QObject {
    Q_OBJECT
private slots:
    void checksAgainstThePerformance_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("lowest");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<QString>("held");
        QTest::addColumn<Outcome>("outcome");
        QTest::newRow("two places") << "9.25" << 0.0 << 2 << "9.25" << Outcome::Accepted;
        QTest::newRow("whole") << "10" << 0.0 << 2 << "10" << Outcome::Accepted;
        QTest::newRow("a leading zero") << "09.5" << 0.0 << 2 << "9.5" << Outcome::Accepted;
        QTest::newRow("blanks around it") << " 9.5 " << 0.0 << 2 << "" << Outcome::BadFormat;
        QTest::newRow("a direction override") << QString(QChar(0x202E)) + QStringLiteral("5.9") << 0.0 << 2 << "" << Outcome::BadFormat;
        QTest::newRow("full-width digits") << QStringLiteral("９.５") << 0.0 << 2 << "" << Outcome::BadFormat;
        QTest::newRow("zero") << "0" << 0.0 << 1 << "0" << Outcome::Accepted;
        QTest::newRow("the lowest itself") << "6.0" << 6.0 << 1 << "6.0" << Outcome::Accepted;
        QTest::newRow("above the highest") << "10.01" << 0.0 << 2 << "" << Outcome::OutOfRange;
        QTest::newRow("below the lowest") << "5.99" << 6.0 << 2 << "" << Outcome::OutOfRange;
        QTest::newRow("more places than the contest") << "9.25" << 0.0 << 1 << "" << Outcome::BadFormat;
        QTest::newRow("negative") << "-1" << -5.0 << 2 << "" << Outcome::BadFormat;
        QTest::newRow("exponent") << "1e1" << 0.0 << 2 << "" << Outcome::BadFormat;
        QTest::newRow("comma") << "9,5" << 0.0 << 2 << "" << Outcome::BadFormat;
        QTest::newRow("dot alone at the end") << "9." << 0.0 << 2 << "" << Outcome::BadFormat;
        QTest::newRow("empty") << "" << 0.0 << 2 << "" << Outcome::BadFormat;
        QTest::newRow("not a number") << "NaN" << 0.0 << 2 << "" << Outcome::BadFormat;
    }
    void checksAgainstThePerformance()
    {
        QFETCH(QString, text);
        QFETCH(double, lowest);
        QFETCH(int, decimals);
        QFETCH(QString, held);
        QFETCH(Outcome, outcome);
        Outcome why = Outcome::RateLimited;
        QCOMPARE(checkScore(text, round1(lowest, 10, decimals), &why), held);
        QCOMPARE(why, outcome);
    }
};

class MessageTest : public QObject {
    Q_OBJECT
private slots:
    void parses_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<Message::Kind>("kind");
        using K = Message::Kind;
        QTest::newRow("ping") << QByteArray(R"({"t":"ping"})") << K::Ping;
        QTest::newRow("hello by token") << QByteArray(R"({"t":"hello","token":"abc"})") << K::Hello;
        QTest::newRow("hello by code") << QByteArray(R"({"t":"hello","code":"12345678"})") << K::Hello;
        QTest::newRow("hello by device and proof") << QByteArray(R"({"t":"hello","device":"d","proof":"p"})") << K::Hello;
        QTest::newRow("hello by device without proof") << QByteArray(R"({"t":"hello","device":"d"})") << K::Invalid;
        QTest::newRow("hello by a key in clear") << QByteArray(R"({"t":"hello","key":"k"})") << K::Invalid;
        QTest::newRow("score") << QByteArray(R"({"t":"score","round":2,"pos":7,"seq":3,"value":"9.5"})") << K::Score;
        QTest::newRow("score seq at the top") << QByteArray(R"({"t":"score","round":1,"pos":7,"seq":2147483647,"value":"9"})") << K::Score;
        QTest::newRow("hello with nothing") << QByteArray(R"({"t":"hello"})") << K::Invalid;
        QTest::newRow("hello with a number") << QByteArray(R"({"t":"hello","token":5})") << K::Invalid;
        QTest::newRow("long token") << (R"({"t":"hello","token":")" + QByteArray(65, 'a') + R"("})") << K::Invalid;
        QTest::newRow("score round 5") << QByteArray(R"({"t":"score","round":5,"pos":7,"seq":3,"value":"9"})") << K::BadScore;
        QTest::newRow("score half a seq") << QByteArray(R"({"t":"score","round":1,"pos":7,"seq":2.5,"value":"9"})") << K::BadScore;
        QTest::newRow("score seq as text") << QByteArray(R"({"t":"score","round":1,"pos":7,"seq":"3","value":"9"})") << K::BadScore;
        QTest::newRow("score seq 0") << QByteArray(R"({"t":"score","round":1,"pos":7,"seq":0,"value":"9"})") << K::BadScore;
        QTest::newRow("score value a number") << QByteArray(R"({"t":"score","round":1,"pos":7,"seq":1,"value":9})") << K::BadScore;
        QTest::newRow("score seq past 2^31") << QByteArray(R"({"t":"score","round":1,"pos":7,"seq":2147483648,"value":"9"})") << K::BadScore;
        QTest::newRow("score value of 17 characters") << QByteArray(R"({"t":"score","round":1,"pos":7,"seq":1,"value":"12345678901234567"})") << K::BadScore;
        QTest::newRow("score round as text") << QByteArray(R"({"t":"score","round":"1","pos":7,"seq":1,"value":"9"})") << K::BadScore;
        QTest::newRow("unknown type") << QByteArray(R"({"t":"perf"})") << K::Invalid;
        QTest::newRow("array") << QByteArray(R"([1,2])") << K::Invalid;
        QTest::newRow("not json") << QByteArray("hello") << K::Invalid;
        QTest::newRow("over 1 KB") << (R"({"t":"ping","x":")" + QByteArray(1100, 'x') + R"("})") << K::Invalid;
    }
    void parses()
    {
        QFETCH(QByteArray, text);
        QFETCH(Message::Kind, kind);
        QCOMPARE(parseMessage(text).kind, kind);
    }

    void aBadScoreKeepsWhatReads()
    {
        const Message m = parseMessage(R"({"t":"score","round":2,"pos":7,"seq":-5,"value":9.75})");
        QCOMPARE(m.kind, Message::Kind::BadScore);
        QCOMPARE(m.round, 2);
        QCOMPARE(m.position, 7);
        QCOMPARE(m.seq, 0);
        QCOMPARE(m.value, QStringLiteral("9.75"));
        // The audit shows what was sent, not what a reader's screen makes of it.
        QCOMPARE(auditText(QString(QChar(0x202E)) + QStringLiteral("5.9")), QStringLiteral("\\u202e5.9"));
        QCOMPARE(auditText(QStringLiteral("a\\b")), QStringLiteral("a\\u005cb"));
    }
};

class SeatBookTest : public QObject {
    Q_OBJECT
private slots:
    void secretsAreLongRandomAndUrlSafe()
    {
        QSet<QString> seen;
        for (int i = 0; i < 200; ++i) {
            const QString s = randomSecret();
            QCOMPARE(s.size(), 22); // 128 bits in base64
            QVERIFY2(QRegularExpression(QStringLiteral("^[A-Za-z0-9_-]+$")).match(s).hasMatch(), qPrintable(s));
            seen.insert(s);
        }
        QCOMPARE(seen.size(), 200);
        QVERIFY(!deviceLabel(QStringLiteral("secret")).contains(QStringLiteral("secret")));
    }

    void tokensAndKeysNameTheirSeatUntilRenewed()
    {
        SeatBook book;
        const QString token = book.seat(4).token;
        QCOMPARE(book.seatForToken(token), 4);
        QCOMPARE(book.seatForToken(token.left(21)), 0);
        QCOMPARE(book.seatForToken(QString()), 0);
        const QString code = book.newCode(4, 0);
        const QString key = book.pair(4);
        const Pairing pairing = book.seat(4).pairing;
        QCOMPARE(book.seatForDevice(pairing.id), 4);
        QVERIFY(!pairing.device.isEmpty());
        // The book keeps a hash of the key, never the key; the pairing spends the token and the code.
        QCOMPARE(pairing.verifier, keyVerifier(key));
        QVERIFY(!pairing.verifier.contains(key.toUtf8()));
        QCOMPARE(book.seatForToken(token), 0);
        QVERIFY(!book.codeOut(4, 0));
        QCOMPARE(book.takeCode(code, 0).result, SeatBook::CodeResult::Wrong);
        const QString fresh = book.seat(4).token;
        book.renewAll();
        QCOMPARE(book.seatForToken(fresh), 0);
        QCOMPARE(book.seatForDevice(pairing.id), 0);
        QVERIFY(!book.paired(4));
    }

    void theChallengeIsAnHmacOfTheNonce()
    {
        // HMAC-SHA-256 with the SHA-256 of the key as its key, as the page computes it.
        const QByteArray verifier = keyVerifier(QStringLiteral("key"));
        QCOMPARE(verifier.toHex(), QByteArray("2c70e12b7a0646f92279f427c7b38e7334d8e5389cff167a1dc30e73f826b683"));
        const QString a = challengeAnswer(verifier, QStringLiteral("nonce-1"));
        QCOMPARE(a.size(), 64);
        QVERIFY(a != challengeAnswer(verifier, QStringLiteral("nonce-2")));
        QVERIFY(a != challengeAnswer(keyVerifier(QStringLiteral("other")), QStringLiteral("nonce-1")));
    }

    void codeIsGoodOnceAndNotAfterItExpires()
    {
        SeatBook book;
        const qint64 t = 1000;
        const QString code = book.newCode(2, t);
        QCOMPARE(code.size(), kCodeDigits);
        const auto taken = book.takeCode(code, t + 1000);
        QCOMPARE(taken.result, SeatBook::CodeResult::Taken);
        QCOMPARE(taken.seat, 2);
        QCOMPARE(book.takeCode(code, t + 2000).result, SeatBook::CodeResult::Wrong);

        const QString late = book.newCode(2, t);
        QCOMPARE(book.takeCode(late, t + kCodeLifetimeMs).result, SeatBook::CodeResult::Expired);
        // A new code replaces the old one.
        const QString first = book.newCode(3, t);
        const QString second = book.newCode(3, t);
        if (first != second)
            QCOMPARE(book.takeCode(first, t).result, SeatBook::CodeResult::Wrong);
        QCOMPARE(book.takeCode(second, t).result, SeatBook::CodeResult::Taken);
    }

    void wrongCodesLockNobodyOut()
    {
        SeatBook book;
        const QString code = book.newCode(5, 0);
        QString wrong = QStringLiteral("00000000");
        if (wrong == code)
            wrong = QStringLiteral("00000001");
        for (int i = 0; i < 1000; ++i)
            QCOMPARE(book.takeCode(wrong, 10).result, SeatBook::CodeResult::Wrong);
        QCOMPARE(book.takeCode(code, 10).result, SeatBook::CodeResult::Taken);
    }
};

class LimitsTest : public QObject {
    Q_OBJECT
private slots:
    void badAttemptsBlockTheirAddressEachTimeLonger()
    {
        AddressThrottle throttle;
        const QString a = QStringLiteral("10.0.0.5");
        qint64 t = 1000;
        for (int i = 1; i < AddressThrottle::kAllowed; ++i)
            throttle.failure(a, t);
        QVERIFY(!throttle.blocked(a, t));
        throttle.failure(a, t);
        QVERIFY(throttle.blocked(a, t));
        QVERIFY(!throttle.blocked(QStringLiteral("10.0.0.6"), t));
        t += AddressThrottle::kFirstPenaltyMs;
        QVERIFY(!throttle.blocked(a, t));
        for (int i = 0; i < AddressThrottle::kAllowed; ++i)
            throttle.failure(a, t);
        QVERIFY(throttle.blocked(a, t + AddressThrottle::kFirstPenaltyMs)); // the second block lasts twice as long
        QVERIFY(!throttle.blocked(a, t + 2 * AddressThrottle::kFirstPenaltyMs));
    }

    void guessesFromEveryAddressAreAboutOneASecond()
    {
        GuessBudget budget;
        int allowed = 0;
        for (int i = 0; i < 100; ++i) {
            if (budget.available(1000)) {
                budget.spend();
                ++allowed;
            }
        }
        QCOMPARE(allowed, int(GuessBudget::kBurst));
        allowed = 0;
        for (qint64 t = 1000; t < 61000; t += 50) { // twenty tries a second for a minute
            if (budget.available(t)) {
                budget.spend();
                ++allowed;
            }
        }
        QVERIFY2(allowed >= 58 && allowed <= 61, qPrintable(QString::number(allowed)));
    }

    void aDeviceGetsAboutTenMessagesASecond()
    {
        RateBucket bucket(0);
        int taken = 0;
        for (int i = 0; i < 100; ++i)
            taken += bucket.take(0) ? 1 : 0;
        QCOMPARE(taken, int(RateBucket::kBurst));
        taken = 0;
        for (qint64 t = 0; t < 10000; t += 10) // a message every 10 ms for ten seconds
            taken += bucket.take(t) ? 1 : 0;
        QVERIFY2(taken >= 95 && taken <= 105, qPrintable(QString::number(taken)));
    }
};

QUELMORA_TEST_MAIN(ScoreCheckTest, MessageTest, SeatBookTest, LimitsTest)
#include "tst_judging_rules.moc"
