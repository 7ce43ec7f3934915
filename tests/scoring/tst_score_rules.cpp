// The score rules: settings, highest and lowest judge, marks and average, formatting, the final score,
// round totals and the ranking of the leaderboard.
#include "scoring/score_rules.h"
#include "settings/app_error.h"
#include "settings/settings_files.h"
#include "settings/settings_keys.h"
#include "test_app.h"

using namespace score_rules;

Q_DECLARE_METATYPE(score_rules::Order)

namespace {

// Marks written as one letter a judge: '.' none, 'H' highest, 'L' lowest.
QVector<Mark> marksOf(const QString &letters)
{
    QVector<Mark> marks;
    for (QChar c : letters)
        marks.append(c == QLatin1Char('H') ? Mark::Highest : c == QLatin1Char('L') ? Mark::Lowest : Mark::None);
    return marks;
}

QString lettersOf(const QVector<Mark> &marks)
{
    QString letters;
    for (Mark m : marks)
        letters += m == Mark::Highest ? QLatin1Char('H') : m == Mark::Lowest ? QLatin1Char('L') : QLatin1Char('.');
    return letters;
}

// Stored rows of the rounds written as "A=9.0;B=8.0" per round.
QVector<QVector<StoredRow>> roundsOf(const QStringList &rounds)
{
    QVector<QVector<StoredRow>> result;
    for (const QString &round : rounds) {
        QVector<StoredRow> rows;
        for (const QString &row : round.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const qsizetype eq = row.indexOf(QLatin1Char('='));
            rows.append({row.left(eq), row.mid(eq + 1)});
        }
        result.append(rows);
    }
    return result;
}

std::array<QString, 4> coefficientsOf(const QStringList &list)
{
    std::array<QString, 4> c{QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0")};
    for (qsizetype i = 0; i < list.size() && i < 4; ++i)
        c[std::size_t(i)] = list.at(i);
    return c;
}

template <typename F>
QString errorOf(F f)
{
    try {
        f();
    } catch (const AppError &e) {
        return e.message();
    }
    return QString();
}

} // namespace

class ScoringSettingsTest : public QObject {
    Q_OBJECT
private slots:
    void decimalsSelectPattern_data()
    {
        QTest::addColumn<QString>("decimals"); // empty: the key is not written
        QTest::addColumn<QString>("previous");
        QTest::addColumn<QString>("expected");
        QTest::newRow("1") << QStringLiteral("1") << QStringLiteral("#0.000") << QStringLiteral("#0.0");
        QTest::newRow("2") << QStringLiteral("2") << QString() << QStringLiteral("#0.00");
        QTest::newRow("3") << QStringLiteral("3") << QStringLiteral("#0.0") << QStringLiteral("#0.000");
        QTest::newRow("4 keeps the pattern") << QStringLiteral("4") << QStringLiteral("#0.00") << QStringLiteral("#0.00");
        QTest::newRow("0 keeps the pattern") << QStringLiteral("0") << QStringLiteral("#0.0") << QStringLiteral("#0.0");
        QTest::newRow("not a number keeps it") << QStringLiteral("two") << QStringLiteral("#0.0") << QStringLiteral("#0.0");
        QTest::newRow("missing, none read yet") << QString() << QString() << QString();
    }
    void decimalsSelectPattern()
    {
        QFETCH(QString, decimals);
        QFETCH(QString, previous);
        QFETCH(QString, expected);
        TestProgramFolder folder(false);
        if (!decimals.isEmpty())
            folder.setConfig(keys::kScoring, keys::kDecimals, decimals);
        QCOMPARE(readScoringSettings(SettingsFiles(folder.path()), previous).score_pattern, expected);
    }

    void readsEverySetting()
    {
        TestProgramFolder folder(false);
        folder.setConfig(keys::kScoring, keys::kTallyMode, QStringLiteral("1"));
        folder.setConfig(keys::kScoring, keys::kRankMode, QStringLiteral("1"));
        folder.setConfig(keys::kJudges, keys::kJudgeCount, QStringLiteral("7"));
        folder.setConfig(keys::kContest, keys::kContestantCount, QStringLiteral("12"));
        folder.setConfig(keys::kContest, keys::roundCoefficient(1), QStringLiteral("0.6"));
        folder.setConfig(keys::kContest, keys::roundCoefficient(3), QStringLiteral("abc"));
        const ScoringSettings s = readScoringSettings(SettingsFiles(folder.path()), QString());
        QCOMPARE(s.tally_mode, 1);
        QCOMPARE(s.rank_mode, 1);
        QCOMPARE(s.judge_count, 7);
        QCOMPARE(s.contestant_count, 12);
        // Coefficients are kept as text and only parsed when a total uses them.
        QCOMPARE(s.round_coefficient[0], QStringLiteral("0.6"));
        QCOMPARE(s.round_coefficient[1], QStringLiteral("0"));
        QCOMPARE(s.round_coefficient[2], QStringLiteral("abc"));
        QCOMPARE(s.round_coefficient[3], QStringLiteral("0"));
    }

    void integerSettingNotANumber()
    {
        TestProgramFolder folder(false);
        folder.setConfig(keys::kJudges, keys::kJudgeCount, QStringLiteral("five"));
        QCOMPARE(errorOf([&] { readScoringSettings(SettingsFiles(folder.path()), QString()); }),
                 QStringLiteral("“five”不是有效的整数。\n'five' is not a valid integer value"));
    }
};

class JudgesTest : public QObject {
    Q_OBJECT
private slots:
    void highestAndLowest_data()
    {
        QTest::addColumn<QStringList>("scores");
        QTest::addColumn<int>("highest");
        QTest::addColumn<int>("lowest");
        QTest::newRow("ties go to the first judge") << QStringList{QStringLiteral("9.5"), QStringLiteral("9.0"),
                                                                   QStringLiteral("9.5"), QStringLiteral("9.0")}
                                                    << 1 << 2;
        QTest::newRow("all equal") << QStringList(5, QStringLiteral("8")) << 1 << 1;
        QTest::newRow("one judge") << QStringList{QStringLiteral("7")} << 1 << 1;
        QTest::newRow("compared as numbers, blanks ignored")
            << QStringList{QStringLiteral("9"), QStringLiteral(" 10 "), QStringLiteral("8.75"), QStringLiteral("10.0"),
                           QStringLiteral("8.7500")}
            << 2 << 3;
    }
    void highestAndLowest()
    {
        QFETCH(QStringList, scores);
        QFETCH(int, highest);
        QFETCH(int, lowest);
        QCOMPARE(find_highest(scores), highest);
        QCOMPARE(find_lowest(scores), lowest);
    }

    // `tally` applies the marks of tally mode 1 over the marks a flash may have left.
    void marksAndAverage_data()
    {
        QTest::addColumn<QStringList>("scores");
        QTest::addColumn<QString>("flashMarks");
        QTest::addColumn<bool>("tally");
        QTest::addColumn<QString>("expectedMarks");
        QTest::addColumn<QString>("average"); // formatted with "#0.00"
        const QStringList three{QStringLiteral("9.5"), QStringLiteral("9.0"), QStringLiteral("9.5")};
        QTest::newRow("tally 1, highest shared") << three << QStringLiteral("...") << true << QStringLiteral("HL.")
                                                 << QStringLiteral("9.50");
        QTest::newRow("tally 1, five equal scores drop one")
            << QStringList(5, QStringLiteral("8.6")) << QStringLiteral(".....") << true << QStringLiteral("L....")
            << QStringLiteral("8.60");
        QTest::newRow("tally 1, distinct") << QStringList{QStringLiteral("7"), QStringLiteral("9"), QStringLiteral("8"),
                                                          QStringLiteral("6")}
                                           << QStringLiteral("....") << true << QStringLiteral(".H.L")
                                           << QStringLiteral("7.50");
        QTest::newRow("tally 0, every score counts") << three << QStringLiteral("...") << false
                                                     << QStringLiteral("...") << QStringLiteral("9.33");
        QTest::newRow("tally 0, flashed score left out") << three << QStringLiteral("H..") << false
                                                         << QStringLiteral("H..") << QStringLiteral("9.25");
        QTest::newRow("tally 1 keeps a flash mark elsewhere")
            << QStringList{QStringLiteral("7"), QStringLiteral("9"), QStringLiteral("8"), QStringLiteral("6"),
                           QStringLiteral("10")}
            << QStringLiteral("L....") << true << QStringLiteral("L..LH") << QStringLiteral("8.50");
    }
    void marksAndAverage()
    {
        QFETCH(QStringList, scores);
        QFETCH(QString, flashMarks);
        QFETCH(bool, tally);
        QFETCH(QString, expectedMarks);
        QFETCH(QString, average);
        QVector<Mark> marks = marksOf(flashMarks);
        if (tally)
            mark_highest_lowest(scores, marks);
        QCOMPARE(lettersOf(marks), expectedMarks);
        QCOMPARE(format_score(judges_average(scores, marks), QStringLiteral("#0.00")), average);
    }

    void errors_data()
    {
        QTest::addColumn<QStringList>("scores");
        QTest::addColumn<QString>("flashMarks");
        QTest::addColumn<bool>("tally");
        QTest::addColumn<QString>("error");
        // The operator is told why, in Chinese: too few judges to drop two, or every score flashed.
        auto tooFew = [](int n) {
            return QStringLiteral("无法求平均分：只有%1位评委，去掉最高分和最低分后没有剩下的分数。"
                                  "请在参数设置中把评委个数增加到3位以上，或把得分统计模式改为“分数直接累加,求平均值”。").arg(n);
        };
        const QString flashed =
            QStringLiteral("无法求平均分：2位评委的分数都已被“=”和“-”键标为最高分或最低分，没有计入平均分的分数。");
        QTest::newRow("tally 1, one judge") << QStringList{QStringLiteral("9")} << QStringLiteral(".") << true
                                            << tooFew(1);
        QTest::newRow("tally 1, two different judges")
            << QStringList{QStringLiteral("9"), QStringLiteral("8")} << QStringLiteral("..") << true << tooFew(2);
        QTest::newRow("every score flashed") << QStringList{QStringLiteral("9"), QStringLiteral("8")}
                                             << QStringLiteral("HL") << false << flashed;
        QTest::newRow("empty score box") << QStringList{QStringLiteral("9"), QString()} << QStringLiteral("..")
                                         << true << QStringLiteral("“”不是有效的数字。\n'' is not a valid floating point value");
        QTest::newRow("not a number") << QStringList{QStringLiteral("9"), QStringLiteral("9,5")}
                                      << QStringLiteral("..") << false
                                      << QStringLiteral("“9,5”不是有效的数字。\n'9,5' is not a valid floating point value");
        QTest::newRow("no judges") << QStringList() << QString() << true
                                   << QStringLiteral("“”不是有效的数字。\n'' is not a valid floating point value");
    }
    void errors()
    {
        QFETCH(QStringList, scores);
        QFETCH(QString, flashMarks);
        QFETCH(bool, tally);
        QFETCH(QString, error);
        QVector<Mark> marks = marksOf(flashMarks);
        QCOMPARE(errorOf([&] {
                     if (tally)
                         mark_highest_lowest(scores, marks);
                     judges_average(scores, marks, tally ? 1 : 0);
                 }),
                 error);
    }
};

class ScoreTextTest : public QObject {
    Q_OBJECT
private slots:
    void format_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("expected");
        const QString one = QStringLiteral("#0.0");
        const QString two = QStringLiteral("#0.00");
        const QString three = QStringLiteral("#0.000");
        QTest::newRow("9.125 half up") << 9.125 << two << QStringLiteral("9.13");
        QTest::newRow("9.135 held below half") << 9.135 << two << QStringLiteral("9.13");
        QTest::newRow("8 padded") << 8.0 << two << QStringLiteral("8.00");
        QTest::newRow("0.5 keeps its zero") << 0.5 << two << QStringLiteral("0.50");
        QTest::newRow("0.05 up to 0.1") << 0.05 << one << QStringLiteral("0.1");
        QTest::newRow("8.75 up to 8.8") << 8.75 << one << QStringLiteral("8.8");
        // 1.45 is held as 1.44999999999999996, still below half at 18 digits; 1000.005 is held as
        // 1000.00499999999999545, which 18 digits make 1000.00500000000000.
        QTest::newRow("below half at 18 digits") << 1.45 << one << QStringLiteral("1.4");
        QTest::newRow("half at 18 digits") << 1000.005 << two << QStringLiteral("1000.01");
        QTest::newRow("carry into the integer") << 9.9951 << two << QStringLiteral("10.00");
        QTest::newRow("carry adds a digit") << 99.96 << one << QStringLiteral("100.0");
        QTest::newRow("below the last place") << 0.0004 << three << QStringLiteral("0.000");
        QTest::newRow("half of the last place") << 0.0005 << three << QStringLiteral("0.001");
        QTest::newRow("negative half away from zero") << -9.125 << two << QStringLiteral("-9.13");
        QTest::newRow("negative rounding to zero has no sign") << -0.004 << two << QStringLiteral("0.00");
        QTest::newRow("zero") << 0.0 << three << QStringLiteral("0.000");
        QTest::newRow("large") << 1e20 << two << QStringLiteral("100000000000000000000.00");
        QTest::newRow("general: 25.4 / 3") << 25.4 / 3 << QString() << QStringLiteral("8.46666666666667");
        QTest::newRow("general: 9") << 9.0 << QString() << QStringLiteral("9");
        QTest::newRow("general: no trailing zeros") << 9.5 << QString() << QStringLiteral("9.5");
        QTest::newRow("general: 15 digits") << 0.1 + 0.2 << QString() << QStringLiteral("0.3");
        QTest::newRow("unknown pattern is general") << 25.4 / 3 << QStringLiteral("#0.0000")
                                                    << QStringLiteral("8.46666666666667");
    }
    void format()
    {
        QFETCH(double, value);
        QFETCH(QString, pattern);
        QFETCH(QString, expected);
        QCOMPARE(format_score(value, pattern), expected);
    }

    void finalScore_data()
    {
        QTest::addColumn<QString>("judges");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("expectedFinal");
        QTest::addColumn<QString>("expectedAnswer");
        QTest::newRow("rounded judges' score plus answer") << QStringLiteral("8.47") << QStringLiteral("1.5")
                                                           << QStringLiteral("#0.00") << QStringLiteral("9.97")
                                                           << QStringLiteral("1.5");
        QTest::newRow("#0.0: 8.5 + 0.25") << QStringLiteral("8.5") << QStringLiteral("0.25") << QStringLiteral("#0.0")
                                          << QStringLiteral("8.8") << QStringLiteral("0.25");
        QTest::newRow("empty answer is 0") << QStringLiteral("9.50") << QString() << QStringLiteral("#0.00")
                                           << QStringLiteral("9.50") << QStringLiteral("0");
        QTest::newRow("blank answer is 0") << QStringLiteral("9.5") << QStringLiteral("  ") << QStringLiteral("#0.00")
                                           << QStringLiteral("9.50") << QStringLiteral("0");
        // 8.3 + 0.05 is one step above 8.35 as a double; through its text it becomes 8.35, held below half.
        QTest::newRow("sum passes through its text") << QStringLiteral("8.3") << QStringLiteral("0.05")
                                                     << QStringLiteral("#0.0") << QStringLiteral("8.3")
                                                     << QStringLiteral("0.05");
        QTest::newRow("no pattern yet") << QStringLiteral("8.46666666666667") << QString() << QString()
                                        << QStringLiteral("8.46666666666667") << QStringLiteral("0");
    }
    void finalScore()
    {
        QFETCH(QString, judges);
        QFETCH(QString, answer);
        QFETCH(QString, pattern);
        QFETCH(QString, expectedFinal);
        QFETCH(QString, expectedAnswer);
        const FinalScore f = final_score(judges, answer, pattern);
        QCOMPARE(f.final_score_text, expectedFinal);
        QCOMPARE(f.answer_score_text, expectedAnswer);
    }

    // The whole road of one score: average 25.4 / 3, shown as 8.47, plus an answer score of 1.5.
    void averageThenFinal()
    {
        const QStringList scores{QStringLiteral("8.4"), QStringLiteral("8.5"), QStringLiteral("8.5")};
        const QString judges = format_score(judges_average(scores, {}), QStringLiteral("#0.00"));
        QCOMPARE(judges, QStringLiteral("8.47"));
        QCOMPARE(final_score(judges, QStringLiteral("1.5"), QStringLiteral("#0.00")).final_score_text,
                 QStringLiteral("9.97"));
    }

    void finalScoreErrors_data()
    {
        QTest::addColumn<QString>("judges");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("error");
        QTest::newRow("answer") << QStringLiteral("9.5") << QStringLiteral("1.5a")
                                << QStringLiteral("“1.5a”不是有效的数字。\n'1.5a' is not a valid floating point value");
        QTest::newRow("judges' score") << QStringLiteral("x") << QStringLiteral("1")
                                       << QStringLiteral("“x”不是有效的数字。\n'x' is not a valid floating point value");
    }
    void finalScoreErrors()
    {
        QFETCH(QString, judges);
        QFETCH(QString, answer);
        QFETCH(QString, error);
        QCOMPARE(errorOf([&] { final_score(judges, answer, QStringLiteral("#0.00")); }), error);
    }
};

class LeaderboardTest : public QObject {
    Q_OBJECT
private slots:
    void totals_data()
    {
        QTest::addColumn<int>("view");
        QTest::addColumn<QStringList>("rounds");
        QTest::addColumn<QStringList>("coefficients");
        QTest::addColumn<int>("contestants");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QList<double>>("scores");
        const QString r1 = QStringLiteral(" A =9.0;B=8.0;C=7.5");
        const QString r2 = QStringLiteral("A=8.0;B=9.5;C=7.0");
        const QStringList abc{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")};
        QTest::newRow("one round, names trimmed, no coefficient")
            << 1 << QStringList{r1, r2} << QStringList{QStringLiteral("bad")} << 10 << abc
            << QList<double>{9.0, 8.0, 7.5};
        QTest::newRow("round 2 alone") << 2 << QStringList{r1, r2} << QStringList() << 10 << abc
                                       << QList<double>{8.0, 9.5, 7.0};
        QTest::newRow("two rounds weighted")
            << 5 << QStringList{r1, r2} << QStringList{QStringLiteral("0.6"), QStringLiteral("0.4")} << 10 << abc
            << QList<double>{8.6, 8.6, 7.3};
        QTest::newRow("three rounds, coefficient 0 counts nothing")
            << 6 << QStringList{r1, r2, QStringLiteral("A=5;B=5;C=5")}
            << QStringList{QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("0")} << 10 << abc
            << QList<double>{17.0, 17.5, 14.5};
        // B has no row in round 2: C's round-2 score and name move up into B's entry.
        QTest::newRow("contestant missing in round 2")
            << 5 << QStringList{r1, QStringLiteral("A=8.0;C=7.0")}
            << QStringList{QStringLiteral("1"), QStringLiteral("1")} << 10
            << QStringList{QStringLiteral("A"), QStringLiteral("C"), QStringLiteral("C")}
            << QList<double>{17.0, 15.0, 7.5};
        QTest::newRow("longer later round") << 5 << QStringList{QStringLiteral("A=1"), QStringLiteral("A=2;B=3")}
                                            << QStringList{QStringLiteral("1"), QStringLiteral("1")} << 10
                                            << QStringList{QStringLiteral("A"), QStringLiteral("B")}
                                            << QList<double>{3.0, 3.0};
        QTest::newRow("empty round") << 3 << QStringList{r1, r2, QString()} << QStringList() << 10 << QStringList()
                                     << QList<double>();
        QTest::newRow("round not given") << 4 << QStringList{r1} << QStringList() << 10 << QStringList()
                                         << QList<double>();
        QTest::newRow("empty rounds, bad coefficient never read")
            << 5 << QStringList{QString(), QString()} << QStringList{QStringLiteral("x"), QStringLiteral("y")} << 10
            << QStringList() << QList<double>();
        QTest::newRow("view 0") << 0 << QStringList{r1} << QStringList() << 10 << QStringList() << QList<double>();
        QTest::newRow("more rows than N, one round")
            << 1 << QStringList{r1 + QStringLiteral(";D=bad")} << QStringList() << 2
            << QStringList{QStringLiteral("A"), QStringLiteral("B")} << QList<double>{9.0, 8.0};
        QTest::newRow("more rows than N, two rounds")
            << 5 << QStringList{r1, r2} << QStringList{QStringLiteral("1"), QStringLiteral("1")} << 2
            << QStringList{QStringLiteral("A"), QStringLiteral("B")} << QList<double>{17.0, 17.5};
    }
    void totals()
    {
        QFETCH(int, view);
        QFETCH(QStringList, rounds);
        QFETCH(QStringList, coefficients);
        QFETCH(int, contestants);
        QFETCH(QStringList, names);
        QFETCH(QList<double>, scores);
        const LeaderboardEntries e = round_totals(view, roundsOf(rounds), coefficientsOf(coefficients), contestants);
        QCOMPARE(e.names, names);
        QCOMPARE(e.scores.size(), scores.size());
        for (qsizetype i = 0; i < scores.size(); ++i)
            QCOMPARE(e.scores.at(i), scores.at(i));
        QCOMPARE(e.ranks.size(), scores.size());
        QCOMPARE(e.loadedNames, e.names);
        QCOMPARE(e.loadedScores, e.scores);
    }

    void totalsErrors_data()
    {
        QTest::addColumn<int>("view");
        QTest::addColumn<QStringList>("rounds");
        QTest::addColumn<QStringList>("coefficients");
        QTest::addColumn<QString>("error");
        QTest::newRow("zhtotal") << 2 << QStringList{QString(), QStringLiteral("A=9;B=")} << QStringList()
                                 << QStringLiteral("“”不是有效的数字。\n'' is not a valid floating point value");
        QTest::newRow("coefficient") << 5 << QStringList{QStringLiteral("A=9"), QStringLiteral("A=9")}
                                     << QStringList{QStringLiteral("1"), QStringLiteral("0,5")}
                                     << QStringLiteral("“0,5”不是有效的数字。\n'0,5' is not a valid floating point value");
    }
    void totalsErrors()
    {
        QFETCH(int, view);
        QFETCH(QStringList, rounds);
        QFETCH(QStringList, coefficients);
        QFETCH(QString, error);
        QCOMPARE(errorOf([&] { round_totals(view, roundsOf(rounds), coefficientsOf(coefficients), 10); }), error);
    }

    void ranks_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QList<double>>("scores");
        QTest::addColumn<Order>("order");
        QTest::addColumn<int>("rankMode");
        QTest::addColumn<QStringList>("sortedNames");
        QTest::addColumn<QList<int>>("ranks");
        const QStringList four{QStringLiteral("P"), QStringLiteral("Q"), QStringLiteral("R"), QStringLiteral("S")};
        const QList<double> s9775{9, 7, 7, 5};
        const QStringList aCb{QStringLiteral("A"), QStringLiteral("C"), QStringLiteral("B")};
        const QStringList bca{QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("A")};
        QTest::newRow("descending, competition") << four << s9775 << Order::Descending << 0 << four
                                                 << QList<int>{1, 2, 2, 4};
        QTest::newRow("descending, dense") << four << s9775 << Order::Descending << 1 << four
                                           << QList<int>{1, 2, 2, 3};
        QTest::newRow("descending, other mode is competition") << four << s9775 << Order::Descending << 2 << four
                                                               << QList<int>{1, 2, 2, 4};
        const QStringList ascending{QStringLiteral("S"), QStringLiteral("Q"), QStringLiteral("R"), QStringLiteral("P")};
        QTest::newRow("ascending, competition") << four << s9775 << Order::Ascending << 0 << ascending
                                                << QList<int>{4, 2, 2, 1};
        QTest::newRow("ascending, dense") << four << s9775 << Order::Ascending << 1 << ascending
                                          << QList<int>{3, 2, 2, 1};
        QTest::newRow("unstable descending, competition") << aCb << QList<double>{7, 7, 9} << Order::Descending << 0
                                                          << bca << QList<int>{1, 2, 2};
        QTest::newRow("unstable descending, dense") << aCb << QList<double>{7, 7, 9} << Order::Descending << 1 << bca
                                                    << QList<int>{1, 2, 2};
        QTest::newRow("unstable ascending")
            << QStringList{QStringLiteral("A"), QStringLiteral("C"), QStringLiteral("B"), QStringLiteral("D")}
            << QList<double>{7, 7, 5, 9} << Order::Ascending << 0
            << QStringList{QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("A"), QStringLiteral("D")}
            << QList<int>{4, 2, 2, 1};
        QTest::newRow("three-way tie, dense")
            << QStringList{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("D"),
                           QStringLiteral("E")}
            << QList<double>{9, 9, 9, 8, 7} << Order::Descending << 1
            << QStringList{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("D"),
                           QStringLiteral("E")}
            << QList<int>{1, 1, 1, 2, 3};
        QTest::newRow("roster order keeps loading order") << aCb << QList<double>{7, 7, 9} << Order::Roster << 0
                                                          << aCb << QList<int>{1, 2, 3};
        QTest::newRow("one entry, ascending") << QStringList{QStringLiteral("A")} << QList<double>{5}
                                              << Order::Ascending << 1 << QStringList{QStringLiteral("A")}
                                              << QList<int>{1};
        QTest::newRow("no entries") << QStringList() << QList<double>() << Order::Ascending << 0 << QStringList()
                                    << QList<int>();
    }
    void ranks()
    {
        QFETCH(QStringList, names);
        QFETCH(QList<double>, scores);
        QFETCH(Order, order);
        QFETCH(int, rankMode);
        QFETCH(QStringList, sortedNames);
        QFETCH(QList<int>, ranks);
        LeaderboardEntries e;
        e.names = e.loadedNames = names;
        e.scores = e.loadedScores = scores;
        rank_entries(e, order, rankMode);
        QCOMPARE(e.names, sortedNames);
        QCOMPARE(e.ranks, ranks);
        // Each name keeps its own score through the sort.
        for (qsizetype i = 0; i < e.size(); ++i)
            QCOMPARE(e.scores.at(i), scores.at(names.indexOf(e.names.at(i))));
        QCOMPARE(e.loadedNames, names);
    }

    // The board re-sorts the same entries for each view: roster order after a sort restores the load.
    void rosterAfterSort()
    {
        LeaderboardEntries e = round_totals(1, roundsOf({QStringLiteral("A=7;C=7;B=9")}), coefficientsOf({}), 10);
        rank_entries(e, Order::Descending, 0);
        QCOMPARE(e.names, (QStringList{QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("A")}));
        rank_entries(e, Order::Roster, 0);
        QCOMPARE(e.names, (QStringList{QStringLiteral("A"), QStringLiteral("C"), QStringLiteral("B")}));
        QCOMPARE(e.scores, (QVector<double>{7, 7, 9}));
        QCOMPARE(e.ranks, (QVector<int>{1, 2, 3}));
        rank_entries(e, Order::Ascending, 1);
        QCOMPARE(e.names, (QStringList{QStringLiteral("A"), QStringLiteral("C"), QStringLiteral("B")}));
        QCOMPARE(e.ranks, (QVector<int>{2, 2, 1}));
    }
};

QUELMORA_TEST_MAIN(ScoringSettingsTest, JudgesTest, ScoreTextTest, LeaderboardTest)
#include "tst_score_rules.moc"
