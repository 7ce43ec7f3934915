// The award ceremony: prize plates with the leaderboard's ranking or, after a fresh start, the stored
// scores' own ranking; prizes of more winners than plates in pages; the award music toggle, the volume
// slider, the animation and the keyboard focus kept away from it.
#include "media/asset_paths.h"
#include "scoring/tfrm_dfpm.h"
#include "settings/settings_keys.h"
#include "show/tfrm_banjiangjm.h"
#include "test_app.h"
#include "ui/shadow_label.h"

#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>

namespace {

struct Ceremony {
    // Prize counts as configured; `contestants` names 选手1.. ranked in that order by the real leaderboard.
    Ceremony(const QString &w1, const QString &w2, const QString &w3, int contestants)
    {
        app.folder.setConfig(keys::kContest, keys::kFirstPrize, w1);
        app.folder.setConfig(keys::kContest, keys::kSecondPrize, w2);
        app.folder.setConfig(keys::kContest, keys::kThirdPrize, w3);
        app.start();
        if (contestants > 0)
            rankOnLeaderboard(contestants);
    }

    void rankOnLeaderboard(int contestants)
    {
        app.folder.writePicture(assets::kLeaderboardBackground);
        QStringList sql;
        // Stored in reverse roster order of score, so only the ranking puts 选手1 first.
        for (int i = 1; i <= contestants; ++i)
            sql << QStringLiteral("insert into pwdf (bh, xm, lunshu, zhtotal) values (%1, '选手%2', 1, '%3')")
                       .arg(contestants + 1 - i)
                       .arg(i)
                       .arg(90 - i);
        app.folder.exec(sql);
        AppContext &c = app.context();
        c.scoring_settings.contestant_count = contestants;
        c.scoring_settings.score_pattern = QStringLiteral("#0.00");
        c.current_round = 1;
        Tfrm_dfpm *board = c.screens.frm_dfpm;
        board->show();
        QTest::keyClick(board, Qt::Key_F1);
        QTest::keyClick(board, Qt::Key_Escape);
    }

    Tfrm_banjiangjm *screen() { return app.context().screens.frm_banjiangjm; }

    void open()
    {
        screen()->openModal(nullptr);
        QVERIFY(QTest::qWaitForWindowExposed(screen()));
    }

    void press(Qt::Key key) { QTest::keyClick(screen(), key); }

    // Visible plates as "top:text", then the page mark when one is shown.
    QStringList shownPlates()
    {
        QStringList out;
        for (ShadowLabel *plate : screen()->plates) {
            if (plate->isVisible()) {
                if (plate->x() != 152 || plate->width() != 713)
                    out << QStringLiteral("misplaced");
                out << QStringLiteral("%1:%2").arg(plate->y()).arg(plate->text());
            }
        }
        if (screen()->lab_page->isVisible())
            out << QStringLiteral("page ") + screen()->lab_page->text();
        return out;
    }

    QStringList musicCalls()
    {
        QStringList out;
        for (const QString &line : app.fakes.media.log.lines)
            if (line.startsWith(QLatin1String("frm_banjiangjm:")))
                out << line.section(QLatin1Char(':'), 1);
        return out;
    }

    TestApp app;
};

QStringList plates(std::initializer_list<std::pair<int, const char16_t *>> list)
{
    QStringList out;
    for (const auto &[top, text] : list)
        out << QStringLiteral("%1:%2").arg(top).arg(QString::fromUtf16(text));
    return out;
}

// The plates of one page: the title and names 选手<first>.. of `count` winners at the tops of the plate
// table, with the page mark "page/pages" when the prize has more than one page.
QStringList page(const char16_t *title, int first, int count, int number = 1, int pages = 1)
{
    static const QList<QList<int>> tops = {{339}, {300, 440}, {280, 390, 500}, {250, 360, 480, 590},
                                           {160, 270, 380, 490, 600}, {120, 220, 320, 420, 520, 620}};
    QStringList out{QStringLiteral("%1:%2").arg(tops[count][0]).arg(QString::fromUtf16(title))};
    for (int w = 0; w < count; ++w)
        out << QStringLiteral("%1:选手%2").arg(tops[count][w + 1]).arg(first + w);
    if (pages > 1)
        out << QStringLiteral("page %1/%2").arg(number).arg(pages);
    return out;
}

// Stores one score per contestant and round; `rounds[r]` lists the zhtotal of contestants 1.. in round r + 1.
void storeScores(TestProgramFolder &folder, const QList<QStringList> &rounds)
{
    QStringList sql;
    for (int r = 0; r < rounds.size(); ++r)
        for (int i = 0; i < rounds[r].size(); ++i)
            sql << QStringLiteral("insert into pwdf (bh, xm, lunshu, zhtotal) values (%1, '选手%1', %2, '%3')")
                       .arg(i + 1)
                       .arg(r + 1)
                       .arg(rounds[r][i]);
    folder.exec(sql);
}

} // namespace

using Pages = QList<QStringList>;

// More winners than the five name plates: the prize is shown in pages that PageDown and PageUp turn,
// so every winner reaches the stage.
class CeremonyPagesTest : public QObject {
    Q_OBJECT
private slots:
    void everyWinnerIsShownOnSomePage_data()
    {
        QTest::addColumn<QStringList>("counts");
        QTest::addColumn<int>("contestants");
        QTest::addColumn<Qt::Key>("key");
        QTest::addColumn<Pages>("pages");
        const QStringList none{QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0")};
        QTest::newRow("five fit one page")
            << QStringList{QStringLiteral("5"), QStringLiteral("0"), QStringLiteral("0")} << 8 << Qt::Key_F1
            << Pages{page(u"一等奖", 1, 5)};
        QTest::newRow("six first prizes on two pages of three")
            << QStringList{QStringLiteral("6"), QStringLiteral("1"), QStringLiteral("0")} << 8 << Qt::Key_F1
            << Pages{page(u"一等奖", 1, 3, 1, 2), page(u"一等奖", 4, 3, 2, 2)};
        QTest::newRow("the prize after six takes the seventh name")
            << QStringList{QStringLiteral("6"), QStringLiteral("1"), QStringLiteral("0")} << 8 << Qt::Key_F2
            << Pages{page(u"二等奖", 7, 1)};
        QTest::newRow("seven second prizes: four and three")
            << QStringList{QStringLiteral("1"), QStringLiteral("7"), QStringLiteral("0")} << 8 << Qt::Key_F2
            << Pages{page(u"二等奖", 2, 4, 1, 2), page(u"二等奖", 6, 3, 2, 2)};
        QTest::newRow("ten: two full pages")
            << QStringList{QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("10")} << 12 << Qt::Key_F3
            << Pages{page(u"三等奖", 1, 5, 1, 2), page(u"三等奖", 6, 5, 2, 2)};
        QTest::newRow("eleven: three pages")
            << QStringList{QStringLiteral("1"), QStringLiteral("0"), QStringLiteral("11")} << 12 << Qt::Key_F3
            << Pages{page(u"三等奖", 2, 4, 1, 3), page(u"三等奖", 6, 4, 2, 3), page(u"三等奖", 10, 3, 3, 3)};
        QTest::newRow("nine of eight contestants: the eight there are")
            << QStringList{QStringLiteral("9"), QStringLiteral("0"), QStringLiteral("0")} << 8 << Qt::Key_F1
            << Pages{page(u"一等奖", 1, 4, 1, 2), page(u"一等奖", 5, 4, 2, 2)};
        QTest::newRow("the largest count: the eight there are")
            << QStringList{QStringLiteral("2147483647"), QStringLiteral("0"), QStringLiteral("0")} << 8 << Qt::Key_F1
            << Pages{page(u"一等奖", 1, 4, 1, 2), page(u"一等奖", 5, 4, 2, 2)};
        QTest::newRow("none") << none << 8 << Qt::Key_F1 << Pages{page(u"一等奖", 1, 0)};
    }
    void everyWinnerIsShownOnSomePage()
    {
        QFETCH(QStringList, counts);
        QFETCH(int, contestants);
        QFETCH(Qt::Key, key);
        QFETCH(Pages, pages);
        Ceremony c(counts[0], counts[1], counts[2], contestants);
        c.open();
        c.press(key);
        Pages seen{c.shownPlates()};
        // Forward to the last page and one press beyond it, then back to the first and one beyond.
        for (qsizetype i = 1; i <= pages.size(); ++i) {
            c.press(Qt::Key_PageDown);
            if (c.shownPlates() != seen.last())
                seen << c.shownPlates();
        }
        QCOMPARE(seen, pages);
        for (qsizetype i = pages.size() - 1; i >= 0; --i) {
            QCOMPARE(c.shownPlates(), pages[i]);
            c.press(Qt::Key_PageUp);
        }
        QCOMPARE(c.shownPlates(), pages.first());
        QVERIFY(c.app.fakes.dialogs.errors.isEmpty());
    }

    void callingAPrizeAgainStartsAtItsFirstPage()
    {
        Ceremony c(QStringLiteral("6"), QStringLiteral("2"), QStringLiteral("0"), 8);
        c.open();
        // Page keys before any prize do nothing.
        c.press(Qt::Key_PageDown);
        QCOMPARE(c.shownPlates(), QStringList());
        c.press(Qt::Key_F1);
        c.press(Qt::Key_PageDown);
        QCOMPARE(c.shownPlates(), page(u"一等奖", 4, 3, 2, 2));
        // A held key turns one page only.
        QTest::keyPress(c.screen(), Qt::Key_PageUp, Qt::NoModifier);
        QKeyEvent repeat(QEvent::KeyPress, Qt::Key_PageUp, Qt::NoModifier, QString(), true);
        QApplication::sendEvent(c.screen(), &repeat);
        QTest::keyRelease(c.screen(), Qt::Key_PageUp, Qt::NoModifier);
        QCOMPARE(c.shownPlates(), page(u"一等奖", 1, 3, 1, 2));
        c.press(Qt::Key_PageDown);
        c.press(Qt::Key_F2);
        QCOMPARE(c.shownPlates(), page(u"二等奖", 7, 2));
        c.press(Qt::Key_PageDown);
        QCOMPARE(c.shownPlates(), page(u"二等奖", 7, 2));
        c.press(Qt::Key_F1);
        QCOMPARE(c.shownPlates(), page(u"一等奖", 1, 3, 1, 2));
        // Reopening hides every plate and the mark.
        c.press(Qt::Key_Escape);
        c.open();
        QCOMPARE(c.shownPlates(), QStringList());
    }
};

// The ceremony after a fresh start, with scores stored by an earlier run and no leaderboard in this one.
class CeremonyFreshStartTest : public QObject {
    Q_OBJECT
private slots:
    void theStoredScoresAreRanked_data()
    {
        QTest::addColumn<QList<QStringList>>("rounds");
        QTest::addColumn<QStringList>("coefficients");
        QTest::addColumn<QStringList>("first");
        QTest::addColumn<QStringList>("second");
        // Contestant i is 选手i, stored in that order.
        QTest::newRow("one round")
            << QList<QStringList>{{QStringLiteral("8.5"), QStringLiteral("9.25"), QStringLiteral("7"),
                                   QStringLiteral("9.5")}}
            << QStringList{QStringLiteral("1")} << plates({{300, u"一等奖"}, {440, u"选手4"}})
            << plates({{280, u"二等奖"}, {390, u"选手2"}, {500, u"选手1"}});
        // Round 1 alone ranks 3, 2, 1 and round 2 alone 1, 3, 2; the weighted total of both ranks 3, 1, 2.
        QTest::newRow("two rounds: their weighted total")
            << QList<QStringList>{{QStringLiteral("6"), QStringLiteral("8"), QStringLiteral("9")},
                                  {QStringLiteral("9"), QStringLiteral("6"), QStringLiteral("8")}}
            << QStringList{QStringLiteral("0.5"), QStringLiteral("0.5")} << plates({{300, u"一等奖"}, {440, u"选手3"}})
            << plates({{280, u"二等奖"}, {390, u"选手1"}, {500, u"选手2"}});
        QTest::newRow("nothing stored: empty names")
            << QList<QStringList>{} << QStringList{} << plates({{300, u"一等奖"}, {440, u""}})
            << plates({{280, u"二等奖"}, {390, u""}, {500, u""}});
    }
    void theStoredScoresAreRanked()
    {
        QFETCH(QList<QStringList>, rounds);
        QFETCH(QStringList, coefficients);
        QFETCH(QStringList, first);
        QFETCH(QStringList, second);
        TestApp app;
        app.folder.setConfig(keys::kContest, keys::kFirstPrize, QStringLiteral("1"));
        app.folder.setConfig(keys::kContest, keys::kSecondPrize, QStringLiteral("2"));
        app.folder.setConfig(keys::kContest, keys::kContestantCount, QStringLiteral("4"));
        for (int r = 0; r < coefficients.size(); ++r)
            app.folder.setConfig(keys::kContest, keys::roundCoefficient(r + 1), coefficients[r]);
        storeScores(app.folder, rounds);
        app.start();
        Tfrm_banjiangjm *screen = app.context().screens.frm_banjiangjm;
        screen->openModal(nullptr);
        QVERIFY(QTest::qWaitForWindowExposed(screen));
        auto shown = [&] {
            QStringList out;
            for (ShadowLabel *plate : screen->plates)
                if (plate->isVisible())
                    out << QStringLiteral("%1:%2").arg(plate->y()).arg(plate->text());
            return out;
        };
        QTest::keyClick(screen, Qt::Key_F1);
        QCOMPARE(shown(), first);
        QTest::keyClick(screen, Qt::Key_F2);
        QCOMPARE(shown(), second);
        QVERIFY(app.fakes.dialogs.errors.isEmpty());
        // The leaderboard's state is its own: the ceremony's ranking leaves it untouched.
        QVERIFY(app.context().ranked_names.isEmpty());
    }

    void theLeaderboardsRankingComesFirst()
    {
        // Round 1 stored, but the leaderboard last ranked round 2, where the order is reversed.
        TestApp app;
        app.folder.setConfig(keys::kContest, keys::kFirstPrize, QStringLiteral("1"));
        app.folder.setConfig(keys::kContest, keys::kContestantCount, QStringLiteral("3"));
        app.folder.writePicture(assets::kLeaderboardBackground);
        storeScores(app.folder, {{QStringLiteral("9"), QStringLiteral("8"), QStringLiteral("7")},
                                 {QStringLiteral("7"), QStringLiteral("8"), QStringLiteral("9")}});
        app.start();
        AppContext &c = app.context();
        c.scoring_settings.contestant_count = 3;
        c.current_round = 2;
        c.screens.frm_dfpm->show();
        QTest::keyClick(c.screens.frm_dfpm, Qt::Key_F1);
        QTest::keyClick(c.screens.frm_dfpm, Qt::Key_Escape);
        Tfrm_banjiangjm *screen = c.screens.frm_banjiangjm;
        screen->openModal(nullptr);
        QVERIFY(QTest::qWaitForWindowExposed(screen));
        QTest::keyClick(screen, Qt::Key_F1);
        QCOMPARE(screen->plates[1]->text(), QStringLiteral("选手3"));
    }

    void aStoredScoreThatIsNoNumberIsToldAndThePageStillWorks()
    {
        TestApp app;
        app.folder.setConfig(keys::kContest, keys::kFirstPrize, QStringLiteral("1"));
        app.folder.setConfig(keys::kContest, keys::kContestantCount, QStringLiteral("2"));
        storeScores(app.folder, {{QStringLiteral("9"), QStringLiteral("九")}});
        app.start();
        Tfrm_banjiangjm *screen = app.context().screens.frm_banjiangjm;
        screen->openModal(nullptr);
        QVERIFY(QTest::qWaitForWindowExposed(screen));
        QCOMPARE(app.fakes.dialogs.errors.size(), 1);
        QVERIFY(app.fakes.dialogs.errors.first().contains(QStringLiteral("九")));
        QTest::keyClick(screen, Qt::Key_F1);
        QVERIFY(screen->plates[0]->isVisible());
        QCOMPARE(screen->plates[0]->text(), QStringLiteral("一等奖"));
        QCOMPARE(screen->plates[1]->text(), QString());
    }
};

class CeremonyPrizesTest : public QObject {
    Q_OBJECT
private slots:
    void prizesTakeTheirNamesInRankOrder_data()
    {
        QTest::addColumn<Qt::Key>("key");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("F1: the top name") << Qt::Key_F1 << plates({{300, u"一等奖"}, {440, u"选手1"}});
        QTest::newRow("F2 first: names 2 and 3")
            << Qt::Key_F2 << plates({{280, u"二等奖"}, {390, u"选手2"}, {500, u"选手3"}});
        QTest::newRow("F3: names 4 to 6")
            << Qt::Key_F3 << plates({{250, u"三等奖"}, {360, u"选手4"}, {480, u"选手5"}, {590, u"选手6"}});
    }
    void prizesTakeTheirNamesInRankOrder()
    {
        QFETCH(Qt::Key, key);
        QFETCH(QStringList, expected);
        Ceremony c(QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), 8);
        c.open();
        QCOMPARE(c.shownPlates(), QStringList());
        c.press(key);
        QCOMPARE(c.shownPlates(), expected);
    }

    void eachPrizeReplacesThePrevious()
    {
        Ceremony c(QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), 8);
        c.open();
        c.press(Qt::Key_F3);
        c.press(Qt::Key_F1);
        QCOMPARE(c.shownPlates(), plates({{300, u"一等奖"}, {440, u"选手1"}}));
        // Reopening hides the plates; the counts are read again.
        c.press(Qt::Key_Escape);
        QVERIFY(!c.screen()->isVisible());
        c.app.folder.setConfig(keys::kContest, keys::kFirstPrize, QStringLiteral("2"));
        c.open();
        QCOMPARE(c.shownPlates(), QStringList());
        c.press(Qt::Key_F2);
        QCOMPARE(c.shownPlates(), plates({{280, u"二等奖"}, {390, u"选手3"}, {500, u"选手4"}}));
    }

    // A zero or negative count shows the title alone and takes no names from the following prizes.
    void countsOutsideTheTable_data()
    {
        QTest::addColumn<QString>("w1");
        QTest::addColumn<QString>("w2");
        QTest::addColumn<QStringList>("second");
        QTest::newRow("four") << QStringLiteral("0") << QStringLiteral("4")
                              << plates({{160, u"二等奖"}, {270, u"选手1"}, {380, u"选手2"}, {490, u"选手3"}, {600, u"选手4"}});
        QTest::newRow("five") << QStringLiteral("1") << QStringLiteral("5")
                              << plates({{120, u"二等奖"}, {220, u"选手2"}, {320, u"选手3"}, {420, u"选手4"},
                                         {520, u"选手5"}, {620, u"选手6"}});
        QTest::newRow("none") << QStringLiteral("2") << QStringLiteral("0") << plates({{339, u"二等奖"}});
        QTest::newRow("negative first count takes no names")
            << QStringLiteral("-3") << QStringLiteral("1") << plates({{300, u"二等奖"}, {440, u"选手1"}});
        QTest::newRow("past the end of the ranking")
            << QStringLiteral("9") << QStringLiteral("3") << plates({{250, u"二等奖"}, {360, u""}, {480, u""}, {590, u""}});
    }
    void countsOutsideTheTable()
    {
        QFETCH(QString, w1);
        QFETCH(QString, w2);
        QFETCH(QStringList, second);
        Ceremony c(w1, w2, QStringLiteral("0"), 8);
        c.open();
        c.press(Qt::Key_F2);
        QCOMPARE(c.shownPlates(), second);
    }

    // Counts at the ends of the whole numbers add up without wrapping round into the ranking.
    void extremeCountsNeverReadPastTheRanking_data()
    {
        QTest::addColumn<QString>("w1");
        QTest::addColumn<QString>("w2");
        QTest::addColumn<QStringList>("third");
        QTest::newRow("largest first prize") << QStringLiteral("2147483647") << QStringLiteral("2")
                                             << plates({{300, u"三等奖"}, {440, u""}});
        QTest::newRow("two largest prizes") << QStringLiteral("2147483647") << QStringLiteral("2147483647")
                                            << plates({{300, u"三等奖"}, {440, u""}});
        QTest::newRow("smallest first prize") << QStringLiteral("-2147483648") << QStringLiteral("2")
                                              << plates({{300, u"三等奖"}, {440, u"选手3"}});
    }
    void extremeCountsNeverReadPastTheRanking()
    {
        QFETCH(QString, w1);
        QFETCH(QString, w2);
        QFETCH(QStringList, third);
        Ceremony c(w1, w2, QStringLiteral("1"), 8);
        c.open();
        c.press(Qt::Key_F3);
        QCOMPARE(c.shownPlates(), third);
    }

    void aSumPastTheRankingShowsEmptyNames()
    {
        Ceremony c(QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("1"), 3);
        c.open();
        c.press(Qt::Key_F2);
        QCOMPARE(c.shownPlates(), plates({{250, u"二等奖"}, {360, u"选手3"}, {480, u""}, {590, u""}}));
    }

    void withNothingRankedOrStoredTheNamesAreEmpty()
    {
        Ceremony c(QStringLiteral("2"), QStringLiteral("0"), QStringLiteral("0"), 0);
        c.open();
        c.press(Qt::Key_F1);
        QCOMPARE(c.shownPlates(), plates({{280, u"一等奖"}, {390, u""}, {500, u""}}));
    }

    void aCountThatIsNotANumberIsReported()
    {
        Ceremony c(QStringLiteral("1"), QStringLiteral("两"), QStringLiteral("1"), 4);
        c.open();
        QCOMPARE(c.app.fakes.dialogs.errors.size(), 1);
        QVERIFY(c.app.fakes.dialogs.errors.first().contains(QStringLiteral("两")));
        c.press(Qt::Key_F1);
        QCOMPARE(c.shownPlates(), plates({{300, u"一等奖"}, {440, u"选手1"}}));
    }
};

class CeremonyStageTest : public QObject {
    Q_OBJECT
private slots:
    void musicToggles_data()
    {
        QTest::addColumn<bool>("byButton");
        QTest::newRow("End") << false;
        QTest::newRow("but_play") << true;
    }
    void musicToggles()
    {
        QFETCH(bool, byButton);
        Ceremony c(QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("1"), 0);
        c.app.folder.setConfig(keys::kSounds, keys::kAwardMusic, QStringLiteral(" 颁奖.mp3 "));
        c.app.folder.writeBytes(QStringLiteral("音效/颁奖.mp3"), "ID3");
        c.open();
        QPushButton *button = c.screen()->but_play;
        const QString path = c.app.folder.file(QStringLiteral("音效/颁奖.mp3"));
        auto toggle = [&] {
            if (byButton)
                QTest::mouseClick(button, Qt::LeftButton);
            else
                c.press(Qt::Key_End);
        };
        toggle();
        QCOMPARE(c.musicCalls(), (QStringList{QStringLiteral("setFileName:") + path, QStringLiteral("open:") + path,
                                              QStringLiteral("play:") + path}));
        QCOMPARE(button->text(), byButton ? QStringLiteral("停止") : QStringLiteral("播放"));
        c.app.fakes.media.log.lines.clear();
        toggle();
        QCOMPARE(c.musicCalls(), (QStringList{QStringLiteral("setFileName:") + path, QStringLiteral("stop:"),
                                              QStringLiteral("close:")}));
        QCOMPARE(button->text(), QStringLiteral("播放"));
        QVERIFY(c.app.fakes.dialogs.errors.isEmpty());
    }

    void aMusicFileThatCannotOpenIsReported()
    {
        Ceremony c(QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("1"), 0);
        c.app.folder.setConfig(keys::kSounds, keys::kAwardMusic, QStringLiteral("无.mp3"));
        c.open();
        dynamic_cast<FakeMediaPlayer *>(c.screen()->Media1)->failOpen = QStringLiteral("无法找到指定的文件。");
        QTest::mouseClick(c.screen()->but_play, Qt::LeftButton);
        QCOMPARE(c.app.fakes.dialogs.errors, QStringList{QStringLiteral("无法找到指定的文件。")});
        QCOMPARE(c.screen()->but_play->text(), QStringLiteral("播放"));
        QVERIFY(c.screen()->isVisible());
    }

    void closingClosesThePlayer()
    {
        Ceremony c(QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("1"), 0);
        c.open();
        c.press(Qt::Key_Escape);
        QVERIFY(!c.screen()->isVisible());
        QCOMPARE(c.musicCalls(), QStringList{QStringLiteral("close:")});
    }

    void animationPlaysWhenPresent_data()
    {
        QTest::addColumn<bool>("present");
        QTest::newRow("present") << true;
        QTest::newRow("missing") << false;
    }
    void animationPlaysWhenPresent()
    {
        QFETCH(bool, present);
        Ceremony c(QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("1"), 0);
        if (present)
            c.app.folder.writeBytes(assets::kAwardAnimation, "FWS");
        c.open();
        QStringList flash;
        for (const QString &line : c.app.fakes.media.log.lines)
            if (line.startsWith(QLatin1String("flash:")))
                flash << line;
        const QString movie = c.app.folder.file(assets::kAwardAnimation);
        const QStringList expected =
            present ? QStringList{QStringLiteral("flash:setMovie:") + movie, QStringLiteral("flash:play:") + movie}
                    : QStringList();
        QCOMPARE(flash, expected);
        QVERIFY(c.app.fakes.dialogs.errors.isEmpty());
        QCOMPARE(c.screen()->Flash1->widget()->geometry(), QRect(0, 0, 1024, 768));
        QCOMPARE(c.screen()->Flash1->widget()->isVisible(), present);
    }

    void volumeFollowsTheSlider()
    {
        Ceremony c(QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("1"), 0);
        c.open();
        QSlider *track = c.screen()->Track1;
        QCOMPARE(track->value(), 130);
        QCOMPARE(track->minimum(), 0);
        QCOMPARE(track->maximum(), 255);
        track->setValue(200);
        QCOMPARE(c.app.fakes.volume.volume(), 200 * 256);
        track->setValue(0);
        QCOMPARE(c.app.fakes.volume.volume(), 0);
    }

    void keysNeverReachTheFocusBoxOrThePlayer()
    {
        Ceremony c(QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("1"), 0);
        c.app.folder.writeBytes(assets::kAwardAnimation, "FWS");
        c.open();
        QLineEdit *edit = c.screen()->Edit1;
        QCOMPARE(QApplication::focusWidget(), edit);
        QTest::keyClicks(edit, QStringLiteral("a1 ."));
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(edit->text(), QString());
        // Focus given to the animation comes straight back.
        QWidget *view = c.screen()->Flash1->widget();
        view->setFocusPolicy(Qt::StrongFocus);
        QVERIFY(view->isVisible());
        view->setFocus();
        QCOMPARE(QApplication::focusWidget(), edit);
    }
};

// Saves the ceremony with three winners when QUELMORA_SCREENSHOTS names a folder.
class CeremonyScreenshotTest : public QObject {
    Q_OBJECT
private slots:
    void threeWinners()
    {
        const QString folder = qEnvironmentVariable("QUELMORA_SCREENSHOTS");
        if (folder.isEmpty())
            QSKIP("QUELMORA_SCREENSHOTS is not set");
        Ceremony c(QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), 0);
        c.app.folder.writePicture(assets::kLeaderboardBackground);
        c.app.folder.exec({QStringLiteral("insert into pwdf (bh, xm, lunshu, zhtotal) values (1, '张伟', 1, '9')"),
                           QStringLiteral("insert into pwdf (bh, xm, lunshu, zhtotal) values (2, '欧阳晓明', 1, '9.5')"),
                           QStringLiteral("insert into pwdf (bh, xm, lunshu, zhtotal) values (3, '李娜', 1, '8')"),
                           QStringLiteral("insert into pwdf (bh, xm, lunshu, zhtotal) values (4, '王芳', 1, '9.2')"),
                           QStringLiteral("insert into pwdf (bh, xm, lunshu, zhtotal) values (5, '赵磊', 1, '8.5')"),
                           QStringLiteral("insert into pwdf (bh, xm, lunshu, zhtotal) values (6, '陈静', 1, '8.8')")});
        c.app.context().scoring_settings.contestant_count = 6;
        c.app.context().current_round = 1;
        c.app.context().screens.frm_dfpm->show();
        QTest::keyClick(c.app.context().screens.frm_dfpm, Qt::Key_F1);
        c.app.context().screens.frm_dfpm->hide();
        c.open();
        // The offscreen display is smaller than a projector: show the stage at its full size.
        c.screen()->setGeometry(0, 0, 1024, 768);
        QVERIFY(QDir().mkpath(folder));
        c.press(Qt::Key_F3);
        QVERIFY(c.screen()->grab().save(QDir(folder).filePath(QStringLiteral("ceremony_third_prize.png"))));
        c.press(Qt::Key_F1);
        QVERIFY(c.screen()->grab().save(QDir(folder).filePath(QStringLiteral("ceremony_first_prize.png"))));
    }

    // Six first prizes after a fresh start: two pages of three from the stored scores.
    void sixFirstPrizesInPages()
    {
        const QString folder = qEnvironmentVariable("QUELMORA_SCREENSHOTS");
        if (folder.isEmpty())
            QSKIP("QUELMORA_SCREENSHOTS is not set");
        TestApp app;
        app.folder.setConfig(keys::kContest, keys::kFirstPrize, QStringLiteral("6"));
        app.folder.setConfig(keys::kContest, keys::kContestantCount, QStringLiteral("8"));
        storeScores(app.folder, {{QStringLiteral("9.1"), QStringLiteral("9.6"), QStringLiteral("8.2"), QStringLiteral("9.3"),
                                  QStringLiteral("8.8"), QStringLiteral("9.0"), QStringLiteral("7.5"), QStringLiteral("8.1")}});
        app.start();
        Tfrm_banjiangjm *screen = app.context().screens.frm_banjiangjm;
        screen->openModal(nullptr);
        QVERIFY(QTest::qWaitForWindowExposed(screen));
        screen->setGeometry(0, 0, 1024, 768);
        QVERIFY(QDir().mkpath(folder));
        QTest::keyClick(screen, Qt::Key_F1);
        QVERIFY(screen->grab().save(QDir(folder).filePath(QStringLiteral("ceremony_six_first_page1.png"))));
        QTest::keyClick(screen, Qt::Key_PageDown);
        QVERIFY(screen->grab().save(QDir(folder).filePath(QStringLiteral("ceremony_six_first_page2.png"))));
    }
};

QUELMORA_TEST_MAIN(CeremonyPrizesTest, CeremonyPagesTest, CeremonyFreshStartTest, CeremonyStageTest,
                   CeremonyScreenshotTest)
#include "tst_award_ceremony.moc"
