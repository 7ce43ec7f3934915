// The quiz screen's three busiest moments over a bank of 2,000 questions in 20 groups: building the board
// of 20 tiles (20 counts of used questions), a tile click to the question on screen (without media start-up),
// and a countdown tick, each with the repaint it causes, against baselines in the same run: the 20 bare
// counts, the bare select a click runs, and a key the screen ignores with a repaint.
// Goal: each at most 16 ms, one frame.
#include "app/tfrm_main.h"
#include "quiz/tfrm_tm.h"
#include "settings/settings_keys.h"
#include "test_app.h"
#include "bench_timing.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QTimer>

#include <time.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

using bench::Figures;
using bench::measure;
using bench::print;

constexpr int kGroups = 20;
constexpr int kPerGroup = 100;
constexpr int kRuns = 100;
constexpr double kGoalMs = 16.0;

QByteArray png(QSize size, Qt::GlobalColor colour)
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

} // namespace

int main(int argc, char **argv)
{
    bench::useStageDisplay();
    QApplication application(argc, argv);
    test_support::prepare();

    TestApp t;
    const TestProgramFolder &f = t.folder;
    // Stage-sized backgrounds, as a show has them.
    for (const char *name : {"选题背景.jpg", "选择题背景.jpg", "问答题背景.jpg", "多媒体题背景.jpg"})
        f.writePicture(QStringLiteral("系统图片/") + QString::fromUtf8(name), QSize(1024, 768), Qt::darkBlue);
    for (const char *name : {"连线题背景.bmp", "连线题.bmp"})
        f.writePicture(QStringLiteral("系统图片/") + QString::fromUtf8(name), QSize(1024, 768), Qt::white);
    f.writeBytes(QStringLiteral("系统图片/选题框.gif"), png(QSize(170, 115), Qt::yellow));
    f.setConfig(keys::kQuiz, keys::kTileCount, QString::number(kGroups));
    f.setConfig(keys::kQuiz, keys::kChoiceSeconds, QStringLiteral("100000"));
    f.setConfig(keys::kQuiz, keys::kCountdownSoundFrom, QStringLiteral("100000")); // every tick sounds
    QStringList sql{QStringLiteral("begin")};
    for (int g = 1; g <= kGroups; ++g)
        for (int i = 1; i <= kPerGroup; ++i)
            sql << QStringLiteral("insert into tiku (qs, tmfz, ctsx, tmlx, tmmc, da1, da2, da3, da4, zqda, tmfont, tmsize, tmcolor, "
                                  "tmbjs, dafont, dasize, dacolor, dabjs, tmyes) values (0, '%1', %2, '选择题', "
                                  "'第%1组第%2题：下列哪一项是正确的？', '选项甲', '选项乙', '选项丙', '选项丁', 'AC', '黑体', "
                                  "'32', '16777215', '0', '黑体', '28', '16777215', '0', %3)")
                       .arg(g)
                       .arg(i)
                       .arg(g % 2 == 0 && i == kPerGroup ? 1 : 0); // every other group started
    sql << QStringLiteral("commit");
    f.exec(sql);

    t.start();
    Tfrm_tm *screen = t.screens().frm_tm;
    screen->openModeless(t.screens().frm_main);
    if (!QTest::qWaitForWindowExposed(screen))
        std::printf("the screen was not exposed: repaints cost nothing\n");

    Dataset &scratch = t.context().data->adoq_ls;
    auto bareCounts = [&] {
        for (int n = 1; n <= kGroups; ++n) {
            scratch.close();
            scratch.setSql(QStringLiteral("select count(*) as sl from tiku where (qs=:ls) and (tmyes=:ls2) and (tmfz=:ls3) "));
            scratch.bindText(QStringLiteral(":ls"), QStringLiteral("0"));
            scratch.bindBool(QStringLiteral(":ls2"), true);
            scratch.bindText(QStringLiteral(":ls3"), QString::number(n));
            scratch.open();
        }
    };
    auto bareSelect = [&] {
        scratch.close();
        scratch.setSql(QStringLiteral("select * from tiku where (qs=:ls) and (tmyes=:ls2) and (tmfz=:ls3) order by ctsx"));
        scratch.bindText(QStringLiteral(":ls"), QStringLiteral("0"));
        scratch.bindBool(QStringLiteral(":ls2"), false);
        scratch.bindText(QStringLiteral(":ls3"), QStringLiteral("1"));
        scratch.open();
    };
    auto idleKey = [&] {
        QTest::keyClick(screen, Qt::Key_F8);
        screen->repaint();
    };
    auto board = [&] {
        screen->build_board();
        screen->repaint();
    };
    // The unstarted (odd) tiles in turn, each presenting its group's next question.
    int clicks = 0;
    auto click = [&] {
        QWidget *tile = screen->lab_tm[std::size_t(2 * (clicks++ % (kGroups / 2)))];
        QTest::mouseClick(tile, Qt::LeftButton, Qt::NoModifier, tile->rect().center());
        screen->repaint();
    };
    auto back = [&] { QTest::keyClick(screen, Qt::Key_Escape); };
    auto tick = [&] {
        screen->time_djsTimer();
        screen->repaint();
    };

    // What the screen adds to start-up: one more instance, made and thrown away.
    const Figures made = measure(kRuns, [&] { delete new Tfrm_tm(t.context()); });
    const Figures idle = measure(kRuns, idleKey);
    const Figures counts = measure(kRuns, bareCounts);
    const Figures select = measure(kRuns, bareSelect);
    const Figures boardFigures = measure(kRuns, board);
    const Figures clickFigures = measure(kRuns, click, back);
    click();
    QTest::keyClick(screen, Qt::Key_Apostrophe);
    const Figures tickFigures = measure(kRuns, tick);
    QTest::keyClick(screen, Qt::Key_Apostrophe);

    const QString used = t.folder.column(QStringLiteral("select count(*) from tiku where tmyes = 1")).value(0);
    const bool ok = t.fakes.dialogs.errors.isEmpty() && used == QString::number(kGroups / 2 + clicks)
                    && screen->current_type() == QStringLiteral("选择题");
    std::printf("Quiz screen, %d groups of %d questions, %d runs each:\n", kGroups, kPerGroup, kRuns);
    print("the screen made (its share of start-up)", made);
    print("baseline: ignored key (F8) + repaint", idle);
    print("baseline: 20 bare counts of used questions", counts);
    print("baseline: bare select of a group's unasked questions", select);
    print("board of 20 tiles built + repaint", boardFigures);
    print("tile click to the choice question on screen", clickFigures);
    print("countdown tick with its sound + repaint", tickFigures);
    const bool fast = boardFigures.median <= kGoalMs && clickFigures.median <= kGoalMs && tickFigures.median <= kGoalMs;
    for (const QString &e : t.fakes.dialogs.errors)
        std::printf("error: %s\n", qPrintable(e));
    if (used != QString::number(kGroups / 2 + clicks))
        std::printf("questions marked used: %s after %d clicks\n", qPrintable(used), clicks);
    std::printf("goal %.0f ms each: %s%s\n", kGoalMs, fast ? "met" : "MISSED",
                ok ? "" : " (the screen reported an error or marked the wrong questions)");
    return fast && ok ? 0 : 1;
}
