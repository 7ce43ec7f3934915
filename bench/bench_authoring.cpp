// The question bank maintenance screen: the grid showing a whole issue of 10,000 questions, and the export
// of 1,000 selected questions into another issue and group with its progress bar. Each against a baseline
// in the same run: the bare select of the issue, and 1,000 rows inserted through the query object in one
// transaction. Goals: the grid at most 100 ms, the export at most 2 s with the bar repainted during it.
#include "app/tfrm_main.h"
#include "authoring/tfrm_tmlr.h"
#include "test_app.h"
#include "bench_timing.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>

#include <time.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

using bench::Figures;
using bench::measure;
using bench::print;

constexpr int kIssueSize = 10000;
constexpr int kExported = 1000;

// Counts the paints of one widget.
class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

} // namespace

int main(int argc, char **argv)
{
    bench::useStageDisplay();
    QApplication application(argc, argv);
    test_support::prepare();

    TestApp t;
    QStringList sql{QStringLiteral("begin")};
    for (int i = 0; i < kIssueSize; ++i)
        sql << QStringLiteral("insert into tiku (qs, tmfz, ctsx, tmlx, tmmc, tmfont, tmsize, tmcolor, tmbjs, da1, da2, da3, da4, "
                              "zqda, dafont, dasize, dacolor, dabjs, tmyes) values (3, '%1', %2, '选择题', '第%3题：下列哪一项正确？', "
                              "'黑体', '28', '255', '0', '甲', '乙', '丙', '丁', 'B', '宋体', '20', '0', '0', %4)")
                   .arg(i % 10 + 1)
                   .arg(i / 10 + 1)
                   .arg(i + 1)
                   .arg(i % 7 == 0 ? 1 : 0);
    sql << QStringLiteral("commit");
    t.folder.exec(sql);
    t.start();
    Tfrm_tmlr *screen = t.screens().frm_tmlr;
    screen->openModal(t.screens().frm_main);
    if (!QTest::qWaitForWindowExposed(screen))
        std::printf("the screen was not exposed\n");
    screen->ed_qs->setValue(3);
    TData &data = *t.context().data;

    const Figures bareSelect = measure(20, [&] {
        data.adoq_ls.close();
        data.adoq_ls.setSql(QStringLiteral("select * from tiku where (qs=:ls) order by tmfz,ctsx"));
        data.adoq_ls.bindText(QStringLiteral(":ls"), QStringLiteral("3"));
        data.adoq_ls.open();
    });
    const Figures grid = measure(20, [&] {
        screen->Button1->click();
        screen->DBGridEh1->viewport()->repaint();
    });
    const int shown = screen->DBGridEh1->model()->rowCount();

    // Group 1 holds 1,000 questions; they are exported into issue 4, group 2.
    const int groupOne = screen->Combo_fzlx->findText(QStringLiteral("1"));
    screen->Combo_fzlx->setCurrentIndex(groupOne);
    emit screen->Combo_fzlx->activated(groupOne);
    const int selectable = screen->DBGridEh1->model()->rowCount();
    auto clearTarget = [&] { t.folder.exec({QStringLiteral("delete from tiku where qs=4")}); };
    const Figures bareInsert = measure(5, [&] {
        data.ADOConnection1.transaction([&] {
            Dataset &ls = data.adoq_ls;
            ls.close();
            ls.setSql(QStringLiteral("select * from tiku where (qs=:ls) and (tmfz=:ls2)"));
            ls.bindInt(QStringLiteral(":ls"), 4);
            ls.bindText(QStringLiteral(":ls2"), QStringLiteral("2"));
            ls.open();
            for (int i = 1; i <= kExported; ++i) {
                ls.append();
                ls.setValue(QStringLiteral("qs"), QStringLiteral("4"));
                ls.setValue(QStringLiteral("ctsx"), i);
                ls.setValue(QStringLiteral("tmfz"), QStringLiteral("2"));
                ls.setValue(QStringLiteral("tmlx"), QStringLiteral("选择题"));
                ls.setValue(QStringLiteral("tmmc"), QStringLiteral("题"));
                ls.post();
            }
        });
    }, clearTarget);
    PaintCounter counter;
    screen->Bar_daochu->installEventFilter(&counter);
    int paintsPerExport = 0;
    const Figures exported = measure(5, [&] {
        screen->DBGridEh1->selectAll();
        screen->N11->trigger();
        screen->ed_dc_qs->setValue(4);
        const int two = screen->combo_dc_fzlx->findText(QStringLiteral("2"));
        screen->combo_dc_fzlx->setCurrentIndex(two);
        counter.paints = 0;
        screen->but_daochu->click();
        paintsPerExport = counter.paints;
    }, clearTarget);
    screen->DBGridEh1->selectAll();
    screen->N11->trigger();
    screen->ed_dc_qs->setValue(4);
    screen->combo_dc_fzlx->setCurrentIndex(screen->combo_dc_fzlx->findText(QStringLiteral("2")));
    screen->but_daochu->click();
    const QStringList copies = t.folder.column(QStringLiteral("select count(*) || ' ' || max(ctsx) from tiku where qs=4 and tmfz='2'"));

    const bool ok = t.fakes.dialogs.errors.isEmpty() && shown == kIssueSize && selectable == kExported
                    && copies == QStringList{QStringLiteral("1000 1000")};
    std::printf("Question bank, an issue of %d questions, %d exported:\n", shown, selectable);
    print("baseline: the bare select of the issue", bareSelect);
    print("grid: 查 询 on the whole issue, painted", grid);
    print("baseline: 1,000 rows appended in one transaction", bareInsert);
    print("export: 1,000 selected questions", exported);
    std::printf("  progress bar painted %d times during one export\n", paintsPerExport);
    const bool fast = grid.median <= 100 && exported.median <= 2000 && paintsPerExport >= 2;
    std::printf("goals 100 ms / 2 s, bar repainted: %s%s\n", fast ? "met" : "MISSED",
                ok ? "" : " (an error was reported or the rows are not what was stored)");
    return fast && ok ? 0 : 1;
}
