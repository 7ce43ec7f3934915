// The scoring screen's two busiest keys with 12 judges and 100 contestants stored in four rounds: F7
// (compute, show and store the final score) and Up (load the next contestant's scores), each with the
// repaint it causes, against baselines in the same run: a key the screen ignores, with a repaint, and
// the bare select that Up runs. Goal: each key at most 16 ms, one frame.
#include "app/tfrm_main.h"
#include "scoring/tfrm_pfmain.h"
#include "settings/settings_keys.h"
#include "test_app.h"
#include "bench_timing.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>

#include <time.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

using bench::Figures;
using bench::measure;
using bench::print;

constexpr int kJudges = 12;
constexpr int kContestants = 100;
constexpr int kRuns = 100;
constexpr double kGoalMs = 16.0;

} // namespace

int main(int argc, char **argv)
{
    bench::useStageDisplay();
    QApplication application(argc, argv);
    test_support::prepare();

    TestApp t;
    const TestProgramFolder &f = t.folder;
    f.setConfig(keys::kJudges, keys::kJudgeCount, QString::number(kJudges));
    f.setConfig(keys::kContest, keys::kContestantCount, QString::number(kContestants));
    f.setConfig(keys::kScoring, keys::kDecimals, QStringLiteral("2"));
    f.setConfig(keys::kScoring, keys::kTallyMode, QStringLiteral("1"));
    for (int r = 1; r <= 4; ++r)
        f.setConfig(keys::kContest, keys::roundCoefficient(r), QStringLiteral("0.25"));
    QStringList sql{QStringLiteral("begin")};
    for (int j = 1; j <= kJudges; ++j) {
        f.setConfig(keys::kJudges, keys::judgeName(j), QStringLiteral("评委%1").arg(j));
        f.writePicture(QStringLiteral("评委照片/p%1.jpg").arg(j), QSize(135, 169), Qt::gray);
        f.setConfig(keys::kJudges, keys::judgePhoto(j), QStringLiteral("p%1.jpg").arg(j));
    }
    for (int i = 1; i <= kContestants; ++i) {
        sql << QStringLiteral("insert into xsb (bh, xm, zppath) values (%1, '选手%1', 'x%1.jpg')").arg(i);
        f.writePicture(QStringLiteral("选手照片/x%1.jpg").arg(i), QSize(304, 302), Qt::darkRed);
        for (int r = 1; r <= 4; ++r) {
            QString columns = QStringLiteral("bh, xm, lunshu, dfxs, zhdf, dtdf, zhtotal");
            QString values = QStringLiteral("%1, '选手%1', %2, '0.25', '9.10', '0', '9.10'").arg(i).arg(r);
            for (int j = 1; j <= kJudges; ++j) {
                columns += QStringLiteral(", pw%1, pw%1df").arg(j);
                values += QStringLiteral(", '评委%1', '9.%2'").arg(j).arg(j + 10);
            }
            for (const char *table : {"pwdf", "pwdf_bak"})
                sql << QStringLiteral("insert into %1 (%2) values (%3)").arg(QLatin1String(table), columns, values);
        }
    }
    sql << QStringLiteral("commit");
    f.exec(sql);

    t.start();
    Tfrm_pfmain *screen = t.screens().frm_pfmain;
    screen->openModeless(t.screens().frm_main);
    if (!QTest::qWaitForWindowExposed(screen))
        std::printf("the screen was not exposed: repaints cost nothing\n");
    QTest::keyClick(screen, Qt::Key_F1);
    QTest::keyClick(screen, Qt::Key_Up);
    QTest::keyClick(screen, Qt::Key_F9);
    for (int j = 0; j < kJudges; ++j)
        screen->panel_sdsrfs->boxes[j]->setText(QStringLiteral("9.%1").arg(40 + j));
    screen->panel_sdsrfs->Button1->click();

    auto press = [&](Qt::Key key) {
        QTest::keyClick(screen, key);
        screen->repaint();
    };
    Dataset &query = t.context().data->adoq_ls;
    auto bareSelect = [&] {
        query.close();
        query.setSql(QStringLiteral("select * from pwdf where (bh=:ls) and (lunshu=:ls1)"));
        query.bindInt(QStringLiteral(":ls"), 50);
        query.bindInt(QStringLiteral(":ls1"), 1);
        query.open();
    };

    const Figures idleKey = measure(kRuns, [&] { press(Qt::Key_F8); });
    const Figures select = measure(kRuns, bareSelect);
    const Figures f7 = measure(kRuns, [&] { press(Qt::Key_F7); }, [&] { QTest::keyClick(screen, Qt::Key_Escape); });
    const Figures up = measure(kRuns, [&] { press(Qt::Key_Up); });

    const int rows = t.folder.column(QStringLiteral("select count(*) from pwdf")).value(0).toInt();
    const bool ok = t.fakes.dialogs.errors.isEmpty() && screen->panel_df->isHidden() && rows == 4 * kContestants;
    std::printf("Scoring screen, %d judges, %d contestants, %d stored rows, %d runs each:\n", kJudges, kContestants, rows,
                kRuns);
    print("baseline: ignored key (F8) + repaint", idleKey);
    print("baseline: bare select of one score row", select);
    print("F7: compute, show with photo, store", f7);
    print("Up: next contestant, load scores", up);
    const bool fast = f7.median <= kGoalMs && up.median <= kGoalMs;
    std::printf("goal %.0f ms per key: %s%s\n", kGoalMs, fast ? "met" : "MISSED",
                ok ? "" : " (the screen reported an error or lost rows)");
    return fast && ok ? 0 : 1;
}
