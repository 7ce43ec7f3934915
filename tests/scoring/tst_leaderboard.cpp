// The leaderboard: loading a round or the weighted first rounds, the three orders, paging, the view codes
// it writes for the scoring screen, and the ranking it keeps for the award ceremony.
#include "media/asset_paths.h"
#include "scoring/tfrm_dfpm.h"
#include "scoring/tfrm_pfmain.h"
#include "settings/settings_keys.h"
#include "test_app.h"
#include "ui/picture.h"
#include "ui/shadow_label.h"

#include <QDir>

namespace {

// One stored score row: roster number, name, final score text.
struct Row {
    int bh;
    QString xm;
    QString zhtotal;
};

// An application with the leaderboard's background and scoring settings for `contestants`.
struct Board {
    explicit Board(int contestants = 100, bool withBackground = true)
    {
        if (withBackground)
            app.folder.writePicture(assets::kLeaderboardBackground, QSize(1024, 768), Qt::darkBlue);
        app.start();
        ScoringSettings &s = app.context().scoring_settings;
        s.score_pattern = QStringLiteral("#0.00");
        s.rank_mode = 0;
        s.contestant_count = contestants;
        s.round_coefficient = {QStringLiteral("0.6"), QStringLiteral("0.4"), QStringLiteral("0"), QStringLiteral("0")};
    }

    Tfrm_dfpm *screen() { return app.context().screens.frm_dfpm; }

    void open()
    {
        screen()->show();
        QVERIFY(QTest::qWaitForWindowExposed(screen()));
    }

    void store(int round, const QList<Row> &rows)
    {
        QStringList sql;
        for (const Row &r : rows)
            sql << QStringLiteral("insert into pwdf (bh, xm, lunshu, zhtotal, dfxs) values (%1, '%2', %3, '%4', '1')")
                       .arg(r.bh)
                       .arg(r.xm)
                       .arg(round)
                       .arg(r.zhtotal);
        app.folder.exec(sql);
    }

    // `count` contestants 选手1.. in roster order; the score falls with the roster number so that the
    // descending order is the roster order.
    void storeMany(int round, int count)
    {
        QList<Row> rows;
        for (int i = 1; i <= count; ++i)
            rows << Row{i, QStringLiteral("选手%1").arg(i), QString::number(100 - i * 0.5, 'f', 1)};
        store(round, rows);
    }

    void press(Qt::Key key) { QTest::keyClick(screen(), key); }

    // The rows on display as "rank name score", top to bottom.
    QStringList visibleRows()
    {
        QStringList out;
        for (int k = 0; k < Tfrm_dfpm::kRowsPerPage; ++k) {
            if (!screen()->rows[k]->isVisible())
                continue;
            out << screen()->rankLabels[k]->text() + QLatin1Char(' ') + screen()->nameLabels[k]->text()
                       + QLatin1Char(' ') + screen()->scoreLabels[k]->text();
        }
        return out;
    }

    QStringList visibleNames()
    {
        QStringList out;
        for (int k = 0; k < Tfrm_dfpm::kRowsPerPage; ++k)
            if (screen()->rows[k]->isVisible())
                out << screen()->nameLabels[k]->text();
        return out;
    }

    TestApp app;
};

QStringList names(int from, int to)
{
    QStringList out;
    for (int i = from; i <= to; ++i)
        out << QStringLiteral("选手%1").arg(i);
    return out;
}

} // namespace

class LeaderboardLayoutTest : public QObject {
    Q_OBJECT
private slots:
    void openingShowsBackgroundAndHidesRows()
    {
        Board b;
        b.open();
        const Tfrm_dfpm *s = b.screen();
        QCOMPARE(s->geometry(), QRect(0, 0, 1024, 768));
        QVERIFY(!s->Image11->isEmpty());
        QCOMPARE(s->Label5->text(), QStringLiteral("第一轮"));
        QCOMPARE(b.visibleRows(), QStringList());
        QCOMPARE(s->leaderboard_page(), 1);
        QCOMPARE(s->leaderboard_view(), 1);
        // Rows at their places, each with its picture, rank, name and score.
        const int tops[] = {101, 162, 223, 283, 344, 404, 465, 526, 588, 647};
        for (int k = 0; k < 10; ++k) {
            QCOMPARE(s->rows[k]->objectName(), QStringLiteral("Panel%1").arg(38 + k));
            QCOMPARE(s->rows[k]->geometry(), QRect(56, tops[k], 913, 57));
            QVERIFY(!s->rowPictures[k]->isEmpty());
            QCOMPARE(s->rankLabels[k]->objectName(), QStringLiteral("Label%1").arg(26 + 2 * k));
            QCOMPARE(s->scoreLabels[k]->objectName(), QStringLiteral("Label%1").arg(27 + 2 * k));
            QCOMPARE(s->nameLabels[k]->objectName(), QStringLiteral("Label%1").arg(46 + k));
        }
    }

    void missingBackgroundIsReportedAndTheBoardStillWorks()
    {
        Board b(100, false);
        b.storeMany(1, 3);
        b.app.context().current_round = 1;
        b.open();
        QCOMPARE(b.app.fakes.dialogs.errors.size(), 1);
        QVERIFY(b.app.fakes.dialogs.errors.first().contains(QStringLiteral("排行榜.jpg")));
        QVERIFY(!b.screen()->Image11->isEmpty()); // drawn stand-in
        b.press(Qt::Key_F1);
        QCOMPARE(b.visibleNames(), names(1, 3));
    }
};

class LeaderboardPagingTest : public QObject {
    Q_OBJECT
private slots:
    // Rows on display after opening, F1, then each PageDown in turn, then PageUp back to page 1.
    void pagesOfTen_data()
    {
        QTest::addColumn<int>("entries");
        QTest::addColumn<QList<int>>("rowsPerPress");
        QTest::addColumn<QStringList>("lastPageNames");
        QTest::newRow("25: 10, 10, 5, stays on page 3") << 25 << QList<int>{10, 10, 5, 5} << names(21, 25);
        QTest::newRow("20: stops at page 2") << 20 << QList<int>{10, 10, 10} << names(11, 20);
        QTest::newRow("11: one on page 2") << 11 << QList<int>{10, 1, 1} << names(11, 11);
        QTest::newRow("8: PageDown does nothing") << 8 << QList<int>{8, 8} << names(1, 8);
        QTest::newRow("none: empty board") << 0 << QList<int>{0, 0} << QStringList();
    }
    void pagesOfTen()
    {
        QFETCH(int, entries);
        QFETCH(QList<int>, rowsPerPress);
        QFETCH(QStringList, lastPageNames);
        Board b;
        b.storeMany(1, entries);
        b.app.context().current_round = 1;
        b.open();
        b.press(Qt::Key_F1);
        QCOMPARE(b.visibleRows().size(), rowsPerPress.first());
        for (int i = 1; i < rowsPerPress.size(); ++i) {
            b.press(Qt::Key_PageDown);
            QCOMPARE(b.visibleRows().size(), rowsPerPress[i]);
        }
        QCOMPARE(b.visibleNames(), lastPageNames);
        if (entries > 0) {
            // Ranks continue over the pages.
            QCOMPARE(b.screen()->rankLabels[0]->text(), QString::number(lastPageNames.first().mid(2).toInt()));
        }
        for (int i = 0; i < 4; ++i)
            b.press(Qt::Key_PageUp);
        QCOMPARE(b.screen()->leaderboard_page(), 1);
        QCOMPARE(b.visibleNames(), names(1, std::min(entries, 10)));
    }

    void rosterOrderRunsOverThePages()
    {
        Board b;
        // Scores rise with the roster number, so descending order would reverse the roster.
        QList<Row> rows;
        for (int i = 1; i <= 15; ++i)
            rows << Row{i, QStringLiteral("选手%1").arg(i), QString::number(80 + i)};
        b.store(2, rows);
        b.app.context().current_round = 2;
        b.open();
        b.press(Qt::Key_F3);
        QCOMPARE(b.screen()->leaderboard_view(), 3);
        QCOMPARE(b.visibleNames(), names(1, 10));
        QStringList ranks;
        for (int k = 0; k < 10; ++k)
            ranks << b.screen()->rankLabels[k]->text();
        QCOMPARE(ranks.join(QLatin1Char(',')), QStringLiteral("1,2,3,4,5,6,7,8,9,10"));
        QCOMPARE(b.visibleRows().first(), QStringLiteral("1 选手1 81.00"));
        b.press(Qt::Key_PageDown);
        QCOMPARE(b.visibleRows(), (QStringList{QStringLiteral("11 选手11 91.00"), QStringLiteral("12 选手12 92.00"),
                                                QStringLiteral("13 选手13 93.00"), QStringLiteral("14 选手14 94.00"),
                                                QStringLiteral("15 选手15 95.00")}));
        // The ceremony still gets the descending order.
        QCOMPARE(b.app.context().ranked_names.mid(0, 3),
                 (QStringList{QStringLiteral("选手15"), QStringLiteral("选手14"), QStringLiteral("选手13")}));
    }

    void aNewLoadNeverLeavesThePageBeyondTheLastOne_data()
    {
        QTest::addColumn<int>("secondRound");
        QTest::addColumn<int>("page");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("8 entries: back to page 1") << 8 << 1 << names(1, 8);
        QTest::newRow("15 entries: last page 2") << 15 << 2 << names(11, 15);
        QTest::newRow("30 entries: page 3 kept") << 30 << 3 << names(21, 30);
        QTest::newRow("no entries: empty page 1") << 0 << 1 << QStringList();
    }
    void aNewLoadNeverLeavesThePageBeyondTheLastOne()
    {
        QFETCH(int, secondRound);
        QFETCH(int, page);
        QFETCH(QStringList, shown);
        Board b;
        b.storeMany(1, 25);
        b.storeMany(2, secondRound);
        b.app.context().current_round = 1;
        b.open();
        b.press(Qt::Key_F1);
        b.press(Qt::Key_PageDown);
        b.press(Qt::Key_PageDown);
        QCOMPARE(b.screen()->leaderboard_page(), 3);
        b.press(Qt::Key_F10);
        b.press(Qt::Key_F1);
        QCOMPARE(b.screen()->leaderboard_page(), page);
        QCOMPARE(b.visibleNames(), shown);
    }
};

class LeaderboardViewsTest : public QObject {
    Q_OBJECT
private slots:
    // The view keys set the shared round without redrawing; F1 then loads it.
    void viewKeysChooseWhatF1Loads_data()
    {
        QTest::addColumn<Qt::Key>("viewKey");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("rows");
        // Round 1: 甲 9, 乙 8; round 2: 甲 5, 乙 10; coefficients 0.6 and 0.4; rounds 3 and 4 count nothing.
        QTest::newRow("F9 round 1") << Qt::Key_F9 << 1 << QStringLiteral("第1轮")
                                    << QStringList{QStringLiteral("1 甲 9.00"), QStringLiteral("2 乙 8.00")};
        QTest::newRow("F10 round 2") << Qt::Key_F10 << 2 << QStringLiteral("第2轮")
                                     << QStringList{QStringLiteral("1 乙 10.00"), QStringLiteral("2 甲 5.00")};
        QTest::newRow("F11 round 3, nothing stored") << Qt::Key_F11 << 3 << QStringLiteral("第3轮") << QStringList();
        QTest::newRow("F12 round 4") << Qt::Key_F12 << 4 << QStringLiteral("第4轮")
                                     << QStringList{QStringLiteral("1 丙 7.50")};
        // 甲 9 x 0.6 + 5 x 0.4 = 7.4; 乙 8 x 0.6 + 10 x 0.4 = 8.8.
        QTest::newRow("F5 first two rounds weighted")
            << Qt::Key_F5 << 5 << QStringLiteral("前2轮总分")
            << QStringList{QStringLiteral("1 乙 8.80"), QStringLiteral("2 甲 7.40")};
        QTest::newRow("F6 first three rounds") << Qt::Key_F6 << 6 << QStringLiteral("前3轮总分")
                                               << QStringList{QStringLiteral("1 乙 8.80"), QStringLiteral("2 甲 7.40")};
        // Round 4's single row (丙) is added into entry 1 with coefficient 0 and lends it its name.
        QTest::newRow("F7 first four rounds") << Qt::Key_F7 << 7 << QStringLiteral("前4轮总分")
                                              << QStringList{QStringLiteral("1 乙 8.80"), QStringLiteral("2 丙 7.40")};
    }
    void viewKeysChooseWhatF1Loads()
    {
        QFETCH(Qt::Key, viewKey);
        QFETCH(int, code);
        QFETCH(QString, title);
        QFETCH(QStringList, rows);
        Board b;
        b.store(1, {{1, QStringLiteral("甲"), QStringLiteral("9")}, {2, QStringLiteral("乙"), QStringLiteral("8")}});
        b.store(2, {{1, QStringLiteral("甲"), QStringLiteral("5")}, {2, QStringLiteral("乙"), QStringLiteral("10")}});
        b.store(4, {{1, QStringLiteral("丙"), QStringLiteral("7.5")}});
        b.app.context().current_round = 1;
        b.open();
        b.press(Qt::Key_F1);
        const QStringList before = b.visibleRows();
        b.press(viewKey);
        QCOMPARE(b.app.context().current_round, code);
        QCOMPARE(b.visibleRows(), before); // nothing redrawn
        QCOMPARE(b.screen()->Label5->text(), QStringLiteral("第1轮"));
        b.press(Qt::Key_F1);
        QCOMPARE(b.screen()->Label5->text(), title);
        QVERIFY(b.screen()->Label5->width() >= QFontMetrics(b.screen()->Label5->font()).horizontalAdvance(title));
        QCOMPARE(b.visibleRows(), rows);
    }

    // Scores 9, 7, 7, 5 in roster order 甲 乙 丙 丁.
    void ordersAndRankingModes_data()
    {
        QTest::addColumn<int>("rankMode");
        QTest::addColumn<Qt::Key>("orderKey");
        QTest::addColumn<QString>("expected");
        QTest::newRow("descending, competition") << 0 << Qt::Key_F1 << QStringLiteral("1 甲 9.0|2 乙 7.0|2 丙 7.0|4 丁 5.0");
        QTest::newRow("descending, dense") << 1 << Qt::Key_F1 << QStringLiteral("1 甲 9.0|2 乙 7.0|2 丙 7.0|3 丁 5.0");
        QTest::newRow("ascending, competition") << 0 << Qt::Key_F2 << QStringLiteral("4 丁 5.0|2 乙 7.0|2 丙 7.0|1 甲 9.0");
        QTest::newRow("ascending, dense") << 1 << Qt::Key_F2 << QStringLiteral("3 丁 5.0|2 乙 7.0|2 丙 7.0|1 甲 9.0");
        QTest::newRow("roster") << 1 << Qt::Key_F3 << QStringLiteral("1 甲 9.0|2 乙 7.0|3 丙 7.0|4 丁 5.0");
    }
    void ordersAndRankingModes()
    {
        QFETCH(int, rankMode);
        QFETCH(Qt::Key, orderKey);
        QFETCH(QString, expected);
        Board b;
        b.app.context().scoring_settings.rank_mode = rankMode;
        b.app.context().scoring_settings.score_pattern = QStringLiteral("#0.0");
        b.store(3, {{1, QStringLiteral("甲"), QStringLiteral("9")}, {2, QStringLiteral("乙"), QStringLiteral("7")},
                    {3, QStringLiteral("丙"), QStringLiteral("7")}, {4, QStringLiteral("丁"), QStringLiteral("5")}});
        b.app.context().current_round = 3;
        b.open();
        b.press(orderKey);
        QCOMPARE(b.visibleRows().join(QLatin1Char('|')), expected);
        // Every load keeps the descending names for the ceremony, whatever order it shows.
        QCOMPARE(b.app.context().ranked_names.mid(0, 4),
                 (QStringList{QStringLiteral("甲"), QStringLiteral("乙"), QStringLiteral("丙"), QStringLiteral("丁")}));
        // Paging redraws in the same order.
        b.press(Qt::Key_PageUp);
        QCOMPARE(b.visibleRows().join(QLatin1Char('|')), expected);
    }

    void rankedNamesFollowTheLastLoadAndOutliveTheScreen()
    {
        Board b(6);
        b.storeMany(1, 4);
        b.app.context().current_round = 1;
        b.open();
        QCOMPARE(b.app.context().ranked_names, QStringList(6, QString()));
        b.press(Qt::Key_F2);
        QCOMPARE(b.app.context().ranked_names, names(1, 4) << QString() << QString());
        b.press(Qt::Key_Escape);
        QVERIFY(!b.screen()->isVisible());
        QCOMPARE(b.app.context().ranked_names, names(1, 4) << QString() << QString());
        // A smaller roster at the next opening shortens the list without a new load.
        b.app.context().scoring_settings.contestant_count = 3;
        b.open();
        QCOMPARE(b.app.context().ranked_names, names(1, 3));
        QCOMPARE(b.screen()->Label5->text(), QStringLiteral("第1轮"));
        QCOMPARE(b.visibleRows(), QStringList());
    }

    void moreStoredRowsThanContestantsShowsTheFirstN()
    {
        Board b(5);
        b.storeMany(1, 8);
        b.app.context().current_round = 1;
        b.open();
        b.press(Qt::Key_F1);
        QCOMPARE(b.visibleNames(), names(1, 5));
        b.press(Qt::Key_PageDown);
        QCOMPARE(b.visibleNames(), names(1, 5));
        QCOMPARE(b.app.context().ranked_names, names(1, 5));
    }

    void aScoreThatIsNotANumberStopsTheLoad()
    {
        Board b;
        b.storeMany(1, 3);
        b.store(2, {{1, QStringLiteral("甲"), QStringLiteral("9")}, {2, QStringLiteral("乙"), QStringLiteral("x8")}});
        b.app.context().current_round = 1;
        b.open();
        b.press(Qt::Key_F1);
        b.press(Qt::Key_F10);
        b.press(Qt::Key_F1);
        QCOMPARE(b.app.fakes.dialogs.errors.size(), 1);
        QVERIFY(b.app.fakes.dialogs.errors.first().contains(QStringLiteral("x8")));
        // The board, its title and the ranking stay those of the last good load.
        QCOMPARE(b.screen()->Label5->text(), QStringLiteral("第1轮"));
        QCOMPARE(b.visibleNames(), names(1, 3));
        QCOMPARE(b.app.context().ranked_names.mid(0, 3), names(1, 3));
        b.press(Qt::Key_PageUp);
        QCOMPARE(b.visibleNames(), names(1, 3));
    }
};

// The view codes the leaderboard writes are the round the scoring screen stores under afterwards.
class LeaderboardWithScoringTest : public QObject {
    Q_OBJECT
private slots:
    void aFinalScoreAfterF5GoesUnderRound5()
    {
        TestApp app;
        app.folder.writePicture(assets::kLeaderboardBackground);
        app.folder.setConfig(keys::kJudges, keys::kJudgeCount, QStringLiteral("3"));
        app.folder.setConfig(keys::kContest, keys::kContestantCount, QStringLiteral("2"));
        app.folder.setConfig(keys::kScoring, keys::kDecimals, QStringLiteral("2"));
        app.folder.exec({QStringLiteral("insert into xsb (bh, xm) values (1, '甲')"),
                         QStringLiteral("insert into xsb (bh, xm) values (2, '乙')"),
                         QStringLiteral("insert into pwdf (bh, xm, lunshu, pw1df, pw2df, pw3df, zhdf, dtdf, zhtotal) "
                                        "values (1, '甲', 1, '9', '8', '7', '8.00', '0', '8.00')")});
        app.start();
        Tfrm_pfmain *scoring = app.context().screens.frm_pfmain;
        Tfrm_dfpm *board = app.context().screens.frm_dfpm;
        scoring->show();
        QVERIFY(QTest::qWaitForWindowExposed(scoring));
        QTest::keyClick(scoring, Qt::Key_F1);
        QTest::keyClick(scoring, Qt::Key_Up); // contestant 1 with the stored scores of round 1
        QTest::keyClick(scoring, Qt::Key_PageDown);
        QVERIFY(board->isVisible());
        // The board ranks round 1 with the settings the scoring screen read.
        QTest::keyClick(board, Qt::Key_F1);
        QCOMPARE(board->scoreLabels[0]->text(), QStringLiteral("8.00"));
        QTest::keyClick(board, Qt::Key_F5);
        QTest::keyClick(board, Qt::Key_Escape);
        QVERIFY(!board->isVisible());
        QCOMPARE(app.context().current_round, 5);

        QTest::keyClick(scoring, Qt::Key_F7);
        QVERIFY(app.fakes.dialogs.errors.isEmpty());
        const QString rows = QStringLiteral("select lunshu || ':' || xm || ':' || zhtotal from %1 order by lunshu");
        QCOMPARE(app.folder.column(rows.arg(QStringLiteral("pwdf"))),
                 (QStringList{QStringLiteral("1:甲:8.00"), QStringLiteral("5:甲:8.00")}));
        QCOMPARE(app.folder.column(rows.arg(QStringLiteral("pwdf_bak"))), QStringList{QStringLiteral("5:甲:8.00")});
    }
};

// Saves the leaderboard as the audience sees it when QUELMORA_SCREENSHOTS names a folder.
class LeaderboardScreenshotTest : public QObject {
    Q_OBJECT
private slots:
    void fullPage()
    {
        const QString folder = qEnvironmentVariable("QUELMORA_SCREENSHOTS");
        if (folder.isEmpty())
            QSKIP("QUELMORA_SCREENSHOTS is not set");
        Board b(100, false); // the drawn stand-in background
        const QStringList people{QStringLiteral("张伟"), QStringLiteral("王芳"), QStringLiteral("李娜"),
                                 QStringLiteral("刘洋"), QStringLiteral("陈静"), QStringLiteral("欧阳晓明"),
                                 QStringLiteral("赵磊"), QStringLiteral("黄丽"), QStringLiteral("周杰"),
                                 QStringLiteral("吴敏"), QStringLiteral("徐强"), QStringLiteral("孙婷")};
        QList<Row> rows;
        for (int i = 0; i < people.size(); ++i)
            rows << Row{i + 1, people[i], QString::number(96.5 - (i * 37 % 11) * 0.75, 'f', 2)};
        b.store(1, rows);
        b.app.context().current_round = 1;
        b.open();
        b.press(Qt::Key_F1);
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(b.screen()->grab().save(QDir(folder).filePath(QStringLiteral("leaderboard.png"))));
        b.press(Qt::Key_F5);
        b.store(2, rows);
        b.press(Qt::Key_F1);
        QVERIFY(b.screen()->grab().save(QDir(folder).filePath(QStringLiteral("leaderboard_two_rounds.png"))));
    }
};

QUELMORA_TEST_MAIN(LeaderboardLayoutTest, LeaderboardPagingTest, LeaderboardViewsTest, LeaderboardWithScoringTest,
                   LeaderboardScreenshotTest)
#include "tst_leaderboard.moc"
