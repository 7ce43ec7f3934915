// Score storage: the roster, loading a contestant's stored scores, saving them to pwdf and pwdf_bak as one
// unit, and deleting them.
#include "data/data_module.h"
#include "scoring/score_storage.h"
#include "settings/app_error.h"
#include "test_app.h"

using namespace score_storage;

namespace {

// A database of its own with the data module connected to it.
struct Db {
    Db() { data.connectTo(folder.databasePath()); }
    QStringList column(const QString &sql) const { return folder.column(sql); }

    TestProgramFolder folder;
    TData data;
};

ScoreRow row(int position, const QString &name, int round, const QStringList &scores, const QString &final)
{
    ScoreRow r;
    r.position = position;
    r.name = name;
    r.round = round;
    r.coefficient = QStringLiteral(" 0.6 ");
    for (int j = 1; j <= int(scores.size()); ++j)
        r.judge_names << QStringLiteral(" 评委%1 ").arg(j);
    r.judge_scores = scores;
    r.judges_score_text = final;
    r.answer_score_text = QStringLiteral("0");
    r.final_score_text = final;
    return r;
}

const QString kRowOf = QStringLiteral(" from %1 where bh=%2 and lunshu=%3 order by id");

} // namespace

class RosterTest : public QObject {
    Q_OBJECT
private slots:
    void fillsPositions_data()
    {
        QTest::addColumn<QStringList>("rows"); // "bh name photo"
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("expected"); // "bh name photo" per position
        QTest::newRow("numbered in order")
            << QStringList{QStringLiteral("2 乙 b.jpg"), QStringLiteral("1 甲 a.jpg"), QStringLiteral("3 丙 c.jpg")} << 3
            << QStringLiteral("1 甲 a.jpg|2 乙 b.jpg|3 丙 c.jpg");
        QTest::newRow("fewer rows than N repeat the last")
            << QStringList{QStringLiteral("1 甲 a.jpg"), QStringLiteral("2 乙 b.jpg"), QStringLiteral("3 丙 c.jpg")} << 5
            << QStringLiteral("1 甲 a.jpg|2 乙 b.jpg|3 丙 c.jpg|3 丙 c.jpg|3 丙 c.jpg");
        QTest::newRow("rows past N are not read")
            << QStringList{QStringLiteral("1 甲 a.jpg"), QStringLiteral("2 乙 b.jpg"), QStringLiteral("3 丙 c.jpg")} << 2
            << QStringLiteral("1 甲 a.jpg|2 乙 b.jpg");
        QTest::newRow("no contestants configured") << QStringList{QStringLiteral("1 甲 a.jpg")} << 0 << QString();
    }
    void fillsPositions()
    {
        QFETCH(QStringList, rows);
        QFETCH(int, count);
        QFETCH(QString, expected);
        Db db;
        QStringList inserts;
        for (const QString &r : rows) {
            const QStringList f = r.split(QLatin1Char(' '));
            inserts << QStringLiteral("insert into xsb (bh, xm, zppath) values (%1, '%2', '%3')").arg(f[0], f[1], f[2]);
        }
        db.folder.exec(inserts);
        Roster roster;
        load_roster(db.data.adoq_ls, count, roster);
        QStringList got;
        for (int i = 0; i < roster.size(); ++i)
            got << QStringLiteral("%1 %2 %3").arg(roster.numbers[i]).arg(roster.names[i], roster.photos[i]);
        QCOMPARE(got.join(QLatin1Char('|')), expected);
    }

    void emptyTableKeepsTheListsAndSizesThem()
    {
        Db db;
        Roster roster;
        roster.resize(2);
        roster.numbers[0] = 7;
        roster.names[0] = QStringLiteral("甲");
        load_roster(db.data.adoq_ls, 3, roster);
        QCOMPARE(roster.size(), 3);
        QCOMPARE(roster.numbers, (QVector<int>{7, 0, 0}));
        QCOMPARE(roster.names, (QStringList{QStringLiteral("甲"), QString(), QString()}));
    }

    void numberThatIsNoNumberIsReported()
    {
        Db db;
        db.folder.exec({QStringLiteral("insert into xsb (bh, xm) values ('七', '甲')")});
        Roster roster;
        try {
            load_roster(db.data.adoq_ls, 1, roster);
            QFAIL("the load should fail");
        } catch (const AppError &e) {
            QCOMPARE(e.message(), QStringLiteral("“七”不是有效的整数。\n'七' is not a valid integer value"));
        }
    }
};

class ScoreRowsTest : public QObject {
    Q_OBJECT
private slots:
    void loadsTheFirstRowOfPositionAndRound()
    {
        Db db;
        db.folder.exec({
            QStringLiteral("insert into pwdf (bh, xm, lunshu, pw1df, pw2df, pw3df, zhdf, dtdf, zhtotal) "
                           "values (2, '乙', 1, ' 9.5 ', '9', '8.75', '9.08 ', ' 1', '10.08')"),
            QStringLiteral("insert into pwdf (bh, xm, lunshu, pw1df) values (2, '乙', 2, '5')"),
            QStringLiteral("insert into pwdf (bh, xm, lunshu, pw1df) values (2, '乙二', 1, '1')"),
        });
        const std::optional<StoredScores> s = load_scores(db.data.adoq_ls, 2, 1, 4);
        QVERIFY(s);
        QCOMPARE(s->judge_scores, (QStringList{QStringLiteral("9.5"), QStringLiteral("9"), QStringLiteral("8.75"), QString()}));
        QCOMPARE(s->judges_score_text, QStringLiteral("9.08 "));
        QCOMPARE(s->answer_score_text, QStringLiteral(" 1"));
        QCOMPARE(s->final_score_text, QStringLiteral("10.08"));
        QVERIFY(!load_scores(db.data.adoq_ls, 3, 1, 4));
        QVERIFY(!load_scores(db.data.adoq_ls, 2, 4, 4));
    }

    void saveWritesBothTables()
    {
        Db db;
        const QStringList scores{QStringLiteral(" 9.5"), QStringLiteral("9.0"), QStringLiteral("8"), QStringLiteral("7.5 ")};
        save_scores(db.data.ADOConnection1, db.data.adoq_ls, row(3, QStringLiteral(" 丙 "), 2, scores, QStringLiteral("8.50")));
        for (const QString &table : {QStringLiteral("pwdf"), QStringLiteral("pwdf_bak")}) {
            const QString from = kRowOf.arg(table).arg(3).arg(2);
            QCOMPARE(db.column(QStringLiteral("select xm || '|' || dfxs || '|' || zhdf || '|' || dtdf || '|' || zhtotal") + from),
                     QStringList{QStringLiteral("丙|0.6|8.50|0|8.50")});
            QCOMPARE(db.column(QStringLiteral("select pw1 || pw1df || '|' || pw4 || pw4df") + from),
                     QStringList{QStringLiteral("评委19.5|评委47.5")});
            // Judges beyond the four taking part stay empty; the texts became numbers where the column is one.
            QCOMPARE(db.column(QStringLiteral("select coalesce(pw5, pw5df, pw12, pw12df, 'empty')") + from),
                     QStringList{QStringLiteral("empty")});
            QCOMPARE(db.column(QStringLiteral("select typeof(bh) || typeof(lunshu)") + from),
                     QStringList{QStringLiteral("integerinteger")});
        }
    }

    void savingTwiceKeepsOneRowWithTheLastValues()
    {
        Db db;
        const QStringList scores{QStringLiteral("9")};
        save_scores(db.data.ADOConnection1, db.data.adoq_ls, row(1, QStringLiteral("甲"), 1, scores, QStringLiteral("9.00")));
        save_scores(db.data.ADOConnection1, db.data.adoq_ls, row(1, QStringLiteral("甲"), 1, scores, QStringLiteral("9.50")));
        // The roster name changed: a second row for the same position and round.
        save_scores(db.data.ADOConnection1, db.data.adoq_ls, row(1, QStringLiteral("甲甲"), 1, scores, QStringLiteral("8.00")));
        for (const QString &table : {QStringLiteral("pwdf"), QStringLiteral("pwdf_bak")})
            QCOMPARE(db.column(QStringLiteral("select xm || ':' || zhtotal") + kRowOf.arg(table).arg(1).arg(1)),
                     (QStringList{QStringLiteral("甲:9.50"), QStringLiteral("甲甲:8.00")}));
    }

    // A failing insert into either table must not leave the contestant without a row: the whole save
    // is undone and the earlier row stays in both tables.
    void failedSaveLeavesTheEarlierRows_data()
    {
        QTest::addColumn<QString>("refusingTable");
        QTest::newRow("backup refuses") << QStringLiteral("pwdf_bak");
        QTest::newRow("scores refuse") << QStringLiteral("pwdf");
    }
    void failedSaveLeavesTheEarlierRows()
    {
        QFETCH(QString, refusingTable);
        Db db;
        const QStringList scores{QStringLiteral("9")};
        save_scores(db.data.ADOConnection1, db.data.adoq_ls, row(1, QStringLiteral("甲"), 1, scores, QStringLiteral("9.00")));
        db.folder.exec({QStringLiteral("create trigger refuse before insert on %1 begin "
                                       "select raise(abort, 'disk full'); end")
                            .arg(refusingTable)});
        try {
            save_scores(db.data.ADOConnection1, db.data.adoq_ls, row(1, QStringLiteral("甲"), 1, scores, QStringLiteral("7.00")));
            QFAIL("the save should fail");
        } catch (const AppError &e) {
            QVERIFY2(e.message().contains(QStringLiteral("disk full")), qPrintable(e.message()));
        }
        for (const QString &table : {QStringLiteral("pwdf"), QStringLiteral("pwdf_bak")})
            QCOMPARE(db.column(QStringLiteral("select zhtotal") + kRowOf.arg(table).arg(1).arg(1)),
                     QStringList{QStringLiteral("9.00")});
        // The connection is usable afterwards: the next save goes through.
        db.folder.exec({QStringLiteral("drop trigger refuse")});
        save_scores(db.data.ADOConnection1, db.data.adoq_ls, row(1, QStringLiteral("甲"), 1, scores, QStringLiteral("7.00")));
        QCOMPARE(db.column(QStringLiteral("select zhtotal") + kRowOf.arg(QStringLiteral("pwdf")).arg(1).arg(1)),
                 QStringList{QStringLiteral("7.00")});
    }

    void deletesTouchOnlyTheScoreTable()
    {
        Db db;
        const QStringList scores{QStringLiteral("9")};
        for (int position = 1; position <= 3; ++position)
            for (int round = 1; round <= 2; ++round)
                save_scores(db.data.ADOConnection1, db.data.adoq_ls,
                            row(position, QStringLiteral("选手%1").arg(position), round, scores, QStringLiteral("9.00")));
        const QString pairs = QStringLiteral("select group_concat(bh || '/' || lunshu, ' ') from (select * from %1 order by bh, lunshu)");

        QVERIFY(delete_contestant_scores(db.data.adoq_ls, 2, 1));
        QCOMPARE(db.column(pairs.arg(QStringLiteral("pwdf"))), QStringList{QStringLiteral("1/1 1/2 2/2 3/1 3/2")});
        QVERIFY(!delete_contestant_scores(db.data.adoq_ls, 2, 1));
        QVERIFY(!delete_contestant_scores(db.data.adoq_ls, 9, 1));

        QCOMPARE(delete_round_scores(db.data.adoq_ls, 2), 3);
        QCOMPARE(db.column(pairs.arg(QStringLiteral("pwdf"))), QStringList{QStringLiteral("1/1 3/1")});
        QCOMPARE(db.column(pairs.arg(QStringLiteral("pwdf_bak"))), QStringList{QStringLiteral("1/1 1/2 2/1 2/2 3/1 3/2")});
    }

    void deletingOneContestantTakesTheRowLoadWouldShow()
    {
        Db db;
        db.folder.exec({QStringLiteral("insert into pwdf (bh, xm, lunshu, zhtotal) values (1, '甲', 1, 'first')"),
                        QStringLiteral("insert into pwdf (bh, xm, lunshu, zhtotal) values (1, '甲甲', 1, 'second')")});
        QCOMPARE(load_scores(db.data.adoq_ls, 1, 1, 1)->final_score_text, QStringLiteral("first"));
        QVERIFY(delete_contestant_scores(db.data.adoq_ls, 1, 1));
        QCOMPARE(db.column(QStringLiteral("select zhtotal from pwdf")), QStringList{QStringLiteral("second")});
    }

    void closedDatabaseIsReported()
    {
        TestProgramFolder folder;
        TData data; // never connected
        QVERIFY_THROWS_EXCEPTION(AppError, save_scores(data.ADOConnection1, data.adoq_ls,
                                                       row(1, QStringLiteral("甲"), 1, {QStringLiteral("9")}, QStringLiteral("9"))));
        QVERIFY_THROWS_EXCEPTION(AppError, load_scores(data.adoq_ls, 1, 1, 1));
    }
};

QUELMORA_TEST_MAIN(RosterTest, ScoreRowsTest)
#include "tst_score_storage.moc"
