// The settings screen with 100 contestants and 400 score rows: opening it (every setting read, the presets,
// the roster and the score records listed), the save (every key into config.ini in one write) and the
// export of the 400 score rows to an .xlsx file (without the office program's start). Each against a
// baseline in the same run: the two selects the opening must run, one single-key write of config.ini, and
// an .xlsx of the header row alone. Goals: opening at most 50 ms, the save 100 ms, the export 200 ms.
#include "app/tfrm_main.h"
#include "media/office.h"
#include "settings/settings_keys.h"
#include "setup/cssz_system_tab.h"
#include "setup/setup_rules.h"
#include "setup/tfrm_cssz.h"
#include "test_app.h"
#include "bench_timing.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <time.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

using bench::Figures;
using bench::measure;
using bench::print;

constexpr int kContestants = 100;
constexpr int kRounds = 4;
constexpr int kJudges = 12;

} // namespace

int main(int argc, char **argv)
{
    bench::useStageDisplay();
    QApplication application(argc, argv);
    test_support::prepare();

    TestApp t;
    const TestProgramFolder &f = t.folder;
    // A full config.ini, as a contest that has been set up has it.
    QList<IniFile::Entry> settings{{keys::kJudges, keys::kJudgeCount, QString::number(kJudges)},
                                   {keys::kContest, keys::kContestantCount, QString::number(kContestants)},
                                   {keys::kScoring, keys::kDecimals, QStringLiteral("2")},
                                   {keys::kScoring, keys::kRankMode, QStringLiteral("0")},
                                   {keys::kScoring, keys::kTallyMode, QStringLiteral("1")},
                                   {keys::kQuiz, keys::kTileCount, QStringLiteral("20")}};
    for (int j = 1; j <= kJudges; ++j) {
        settings.append({keys::kJudges, keys::judgeName(j), QStringLiteral("评委%1").arg(j)});
        settings.append({keys::kJudges, keys::judgePhoto(j), QStringLiteral("p%1.jpg").arg(j)});
        f.writePicture(QStringLiteral("评委照片/p%1.jpg").arg(j), QSize(135, 169), Qt::gray);
    }
    for (int i = 0; i < setup_rules::kTiles; ++i)
        settings.append({keys::kQuiz, keys::tileCaption(i + 1), QStringLiteral("第%1题").arg(i + 1)});
    IniFile(f.file(QStringLiteral("config/config.ini"))).writeAll(settings);

    QStringList sql{QStringLiteral("begin")};
    for (int i = 1; i <= kContestants; ++i) {
        sql << QStringLiteral("insert into xsb (bh, xm, fz, zppath, xszl) values (%1, '选手%1', '第%2组', 'x%1.jpg', 'x%1.ppt')")
                   .arg(i)
                   .arg((i - 1) / 10 + 1);
        for (int r = 1; r <= kRounds; ++r) {
            QString columns = QStringLiteral("bh, xm, lunshu, dfxs, zhdf, dtdf, zhtotal, zgfpw, zgf, zdfpw, zdf");
            QString values = QStringLiteral("%1, '选手%1', %2, '0.25', '9.10', '0', '9.10', '评委3', '9.53', '评委7', '9.17'").arg(i).arg(r);
            for (int j = 1; j <= kJudges; ++j) {
                columns += QStringLiteral(", pw%1, pw%1df").arg(j);
                values += QStringLiteral(", '评委%1', '9.%2'").arg(j).arg(j + 10);
            }
            sql << QStringLiteral("insert into pwdf (%1) values (%2)").arg(columns, values);
        }
    }
    for (int s = 30; s <= 300; s += 30)
        sql << QStringLiteral("insert into djs (js) values ('%1')").arg(s);
    sql << QStringLiteral("commit");
    f.exec(sql);

    t.start();
    Tfrm_cssz *screen = t.screens().frm_cssz;
    auto open = [&] { screen->openModal(t.screens().frm_main); };
    auto close = [&] { screen->closeScreen(); };
    open();
    if (!QTest::qWaitForWindowExposed(screen))
        std::printf("the screen was not exposed\n");
    close();

    TData &data = *t.context().data;
    auto bareSelects = [&] {
        for (Dataset *q : {&data.adoq_xscx, &data.adoq_xswh}) {
            q->close();
            q->setSql(q == &data.adoq_xscx ? QStringLiteral("select * from xsb order by bh ")
                                            : QStringLiteral("select * from pwdf order by lunshu,bh"));
            q->open();
        }
    };
    const Figures selects = measure(50, bareSelects);
    const Figures opening = measure(50, open, close);

    const IniFile config(f.file(QStringLiteral("config/config.ini")));
    // Each run stores a new value, so every write really replaces the file.
    int run = 0;
    const Figures oneKey = measure(30, [&] { config.write(keys::kContest, keys::kBigCountdownSound, QString::number(++run)); });
    const Figures save = measure(30, [&] {
        screen->show_xtcssz->ed_djsyx->setText(QString::number(++run));
        screen->Button1->click();
    }, open);
    close();

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("export.xlsx"));
    QList<SheetCell> header;
    for (const SheetCell &c : setup_rules::exportCells(data.adoq_xswh))
        if (c.row == 2)
            header << c;
    const Figures headerOnly = measure(20, [&] { writeXlsx(path, setup_rules::kExportCaption, header); });
    const Figures exported = measure(20, [&] {
        writeXlsx(path, setup_rules::kExportCaption, setup_rules::exportCells(data.adoq_xswh));
    });

    const int rows = data.adoq_xswh.recordCount();
    const bool ok = t.fakes.dialogs.errors.isEmpty() && rows == kContestants * kRounds
                    && f.config(keys::kJudges, keys::judgeName(12)) == QStringLiteral("评委12")
                    && f.config(keys::kContest, keys::kBigCountdownSound) == QString::number(run);
    std::printf("Settings screen, %d contestants, %d score rows, %d judges:\n", kContestants, rows, kJudges);
    print("baseline: the roster and score selects", selects);
    print("opening: every setting, presets, both grids", opening);
    print("baseline: one key written to config.ini", oneKey);
    print("save: every key in one write, then close", save);
    print("baseline: .xlsx of the header row", headerOnly);
    print("export: .xlsx of the 400 listed rows", exported);
    const bool fast = opening.median <= 50 && save.median <= 100 && exported.median <= 200;
    std::printf("goals 50 / 100 / 200 ms: %s%s\n", fast ? "met" : "MISSED",
                ok ? "" : " (the screen reported an error or the data is not what was stored)");
    return fast && ok ? 0 : 1;
}
