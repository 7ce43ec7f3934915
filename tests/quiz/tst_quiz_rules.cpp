// The quiz rules without widgets: question types, tile counts, colours, option marks, the matching lines
// and the countdown's steps.
#include "quiz/quiz_rules.h"

#include <QTest>

using namespace quiz;

namespace {

// The marks of the matching panel: left column at 375/376, right column at 615/616, 31 x 44.
const std::array<QRect, kPairCount> kLeft{{{375, 260, 31, 44}, {375, 341, 31, 44}, {376, 421, 31, 44}, {376, 504, 31, 44}, {376, 583, 31, 44}}};
const std::array<QRect, kPairCount> kRight{{{615, 261, 31, 44}, {615, 343, 31, 44}, {616, 423, 31, 44}, {616, 508, 31, 44}, {616, 586, 31, 44}}};

QString describe(const QList<Line> &lines)
{
    QStringList out;
    for (const Line &l : lines)
        out << QStringLiteral("%1,%2-%3,%4").arg(l.from.x()).arg(l.from.y()).arg(l.to.x()).arg(l.to.y());
    return out.join(QLatin1Char(' '));
}

} // namespace

class QuizRulesTest : public QObject {
    Q_OBJECT
private slots:
    void typesAreTrimmedAndExact()
    {
        QCOMPARE(questionType(QStringLiteral("问答题 ")), QuestionType::Answer);
        QCOMPARE(questionType(QStringLiteral(" 多媒体题")), QuestionType::Media);
        QCOMPARE(questionType(QStringLiteral("填空题")), QuestionType::None);
        QCOMPARE(questionType(QString()), QuestionType::None);
        for (QuestionType t : {QuestionType::Choice, QuestionType::Answer, QuestionType::Matching, QuestionType::Picture,
                               QuestionType::Media})
            QCOMPARE(questionType(typeName(t)), t);
        QCOMPARE(typeIndex(QuestionType::None), -1);
    }

    void tilesInPlayStayOnTheBoard_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("tiles");
        QTest::newRow("none") << 0 << 0;
        QTest::newRow("negative") << -3 << 0;
        QTest::newRow("eight") << 8 << 8;
        QTest::newRow("twenty") << 20 << 20;
        QTest::newRow("above twenty fills the board") << 35 << 20;
    }
    void tilesInPlayStayOnTheBoard()
    {
        QFETCH(int, stored);
        QFETCH(int, tiles);
        QCOMPARE(tilesInPlay(stored), tiles);
    }

    void tilePlacesFollowTheTable()
    {
        QCOMPARE(tilePlace(1).picture, QRect(78, 123, 170, 115));
        QCOMPARE(tilePlace(1).label, QRect(83, 147, 152, 73));
        QCOMPARE(tilePlace(3).picture, QRect(437, 123, 164, 114));
        QCOMPARE(tilePlace(14).label, QRect(626, 410, 155, 80));
        QCOMPARE(tilePlace(20).picture, QRect(796, 532, 170, 115));
    }

    void coloursAreBlueGreenRed_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("red") << 255 << QColor(255, 0, 0);
        QTest::newRow("blue") << 0xFF0000 << QColor(0, 0, 255);
        QTest::newRow("white") << 16777215 << QColor(255, 255, 255);
        QTest::newRow("mixed") << (10 + 256 * 20 + 65536 * 30) << QColor(10, 20, 30);
        QTest::newRow("window text") << int(0x80000008) << QColor(0, 0, 0);
        QTest::newRow("window") << int(0x80000005) << QColor(255, 255, 255);
    }
    void coloursAreBlueGreenRed()
    {
        QFETCH(int, value);
        QFETCH(QColor, colour);
        QCOMPARE(colourFromValue(value), colour);
    }

    void correctOptionsAreUpperCaseLettersAtoF_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QList<int>>("options");
        QTest::newRow("AC") << QStringLiteral("AC") << QList<int>{0, 2};
        QTest::newRow("order does not matter") << QStringLiteral("FB") << QList<int>{5, 1};
        QTest::newRow("lower case names none") << QStringLiteral("ac") << QList<int>{};
        QTest::newRow("G and digits passed over") << QStringLiteral("G1D") << QList<int>{3};
    }
    void correctOptionsAreUpperCaseLettersAtoF()
    {
        QFETCH(QString, answer);
        QFETCH(QList<int>, options);
        QCOMPARE(correctOptions(answer), options);
    }

    void digitTogglesAMark()
    {
        QCOMPARE(toggled(OptionLook::Clear), OptionLook::Marked);
        QCOMPARE(toggled(OptionLook::Marked), OptionLook::Clear);
        QCOMPARE(toggled(OptionLook::Correct), OptionLook::Clear);
        QCOMPARE(optionBackground(OptionLook::Marked), QColor(128, 128, 128));
        QCOMPARE(optionBackground(OptionLook::Correct), QColor(255, 0, 0));
        QVERIFY(!optionBackground(OptionLook::Clear).isValid());
    }

    void markCentresRoundHalvesToEven()
    {
        QCOMPARE(markCentre(QRect(375, 260, 31, 44)), QPoint(391, 282)); // 15.5 rounds to 16
        QCOMPARE(markCentre(QRect(0, 0, 33, 45)), QPoint(16, 22));        // 16.5 to 16, 22.5 to 22
        QCOMPARE(markCentre(QRect(10, 10, 30, 40)), QPoint(25, 30));
    }

    void matchingPenCases_data()
    {
        QTest::addColumn<QStringList>("pairs");
        QTest::addColumn<QString>("lines");
        QTest::addColumn<QPoint>("penAfter");
        QTest::newRow("five pairs")
            << QStringList{QStringLiteral("13"), QStringLiteral("21"), QStringLiteral("35"), QStringLiteral("42"), QStringLiteral("54")}
            << QStringLiteral("391,282-632,445 391,363-631,283 392,443-632,608 392,526-631,365 392,605-632,530")
            << QPoint(632, 530);
        QTest::newRow("empty pairs draw nothing") << QStringList{QString(), QStringLiteral("11"), QString()}
                                                  << QStringLiteral("391,282-631,283") << QPoint(631, 283);
        QTest::newRow("one character moves the pen, the next line starts there")
            << QStringList{QStringLiteral("2"), QStringLiteral("x3")} << QStringLiteral("391,363-632,445") << QPoint(632, 445);
        QTest::newRow("no left digit starts at the corner") << QStringList{QStringLiteral("04")}
                                                           << QStringLiteral("0,0-632,530") << QPoint(632, 530);
        QTest::newRow("no right digit draws nothing") << QStringList{QStringLiteral("16")} << QString() << QPoint(391, 282);
        QTest::newRow("a blank inside is trimmed away") << QStringList{QStringLiteral(" 2")} << QStringLiteral("0,0-631,365")
                                                        << QPoint(631, 365);
    }
    void matchingPenCases()
    {
        QFETCH(QStringList, pairs);
        QFETCH(QString, lines);
        QFETCH(QPoint, penAfter);
        QPoint pen;
        QCOMPARE(describe(matchingLines(pairs, kLeft, kRight, pen)), lines);
        QCOMPARE(pen, penAfter);
    }

    void countdownSequences_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("threshold");
        QTest::addColumn<QString>("ticks"); // caption, with t for the tick sound, T for the time-up sound; S stops
        QTest::newRow("10 with threshold 3") << 10 << 3 << QStringLiteral("9 8 7 6 5 4 3t 2t 1t 0tT S");
        QTest::newRow("threshold 0: only zero sounds") << 3 << 0 << QStringLiteral("2 1 0tT S");
        QTest::newRow("threshold not below the start: every tick") << 3 << 5 << QStringLiteral("2t 1t 0tT S");
        QTest::newRow("negative threshold: silent") << 2 << -1 << QStringLiteral("1 0 S");
        QTest::newRow("start 0 stops at once") << 0 << 0 << QStringLiteral("S");
        QTest::newRow("negative start stops at once") << -5 << 3 << QStringLiteral("S");
    }
    void countdownSequences()
    {
        QFETCH(int, start);
        QFETCH(int, threshold);
        QFETCH(QString, ticks);
        QStringList got;
        int shown = start;
        for (int i = 0; i < 20; ++i) {
            const Tick t = countdownTick(shown, threshold);
            if (t.stop) {
                got << QStringLiteral("S");
                break;
            }
            shown = t.caption;
            got << QString::number(t.caption) + (t.tickSound ? QStringLiteral("t") : QString())
                       + (t.timeUpSound ? QStringLiteral("T") : QString());
        }
        QCOMPARE(got.join(QLatin1Char(' ')), ticks);
    }
};

QTEST_APPLESS_MAIN(QuizRulesTest)
#include "tst_quiz_rules.moc"
