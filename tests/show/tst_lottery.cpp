// The lottery: the list and results files in GBK, the flicker, draws that take the winner off the list
// file at once, a results file that is missing or cannot be written, and lines that are blank or hold
// bytes that are no GBK character.
#include "app/real_services.h"
#include "media/asset_paths.h"
#include "small_disk.h"
#include "show/lottery_files.h"
#include "show/tfrm_cj.h"
#include "test_app.h"
#include "ui/shadow_label.h"

#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLocale>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTimer>

#include <unistd.h>

namespace {

QByteArray gbk(const QString &text)
{
    QStringEncoder encode("GBK");
    return encode(text);
}

// Entries as GBK lines ending in "\r\n".
QByteArray gbkLines(const QStringList &lines)
{
    QByteArray out;
    for (const QString &line : lines)
        out += gbk(line) + "\r\n";
    return out;
}

struct Lottery {
    // `list` null leaves the list file out.
    explicit Lottery(const std::optional<QByteArray> &list, const std::optional<QByteArray> &results = QByteArray())
    {
        if (list)
            app.folder.writeBytes(assets::kLotteryList, *list);
        if (results)
            app.folder.writeBytes(assets::kLotteryResult, *results);
        app.start();
    }

    Tfrm_cj *screen() { return app.context().screens.frm_cj; }
    void open()
    {
        screen()->openModal(nullptr);
        QVERIFY(QTest::qWaitForWindowExposed(screen()));
    }
    void space() { QTest::keyClick(screen(), Qt::Key_Space); }
    // Starts the flicker and stops it; the draw takes the entry `index` of the list as it stands.
    void draw(int index)
    {
        space();
        script({index});
        space();
    }
    // The numbers the random source gives next.
    void script(std::initializer_list<int> numbers)
    {
        app.fakes.random.script.clear();
        for (const int n : numbers)
            app.fakes.random.script.enqueue(n);
    }
    QString shown() { return screen()->lab_cj->text(); }
    QString state() { return screen()->lab_bs->text(); }
    QString left() { return screen()->Label7->text(); }
    QByteArray file(const QString &relative)
    {
        QFile f(app.folder.file(relative));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    QByteArray listFile() { return file(assets::kLotteryList); }
    QByteArray resultsFile() { return file(assets::kLotteryResult); }
    QStringList resultLines()
    {
        QStringDecoder decode("GBK");
        QStringList lines = QString(decode(resultsFile())).split(QStringLiteral("\r\n"));
        if (!lines.isEmpty() && lines.last().isEmpty())
            lines.removeLast();
        return lines;
    }
    QString when() { return lottery::drawTimeText(app.fakes.clock.current); }

    TestApp app;
};

const QStringList kThree = {QStringLiteral("1排1号"), QStringLiteral("1排2号"), QStringLiteral("1排3号")};

// The files in the lottery folder, the list and the results aside: what a draw left behind.
QStringList strayFiles(const Lottery &l)
{
    QStringList names = QDir(QFileInfo(l.app.folder.file(assets::kLotteryList)).absolutePath()).entryList(QDir::Files | QDir::Hidden);
    names.removeAll(QFileInfo(assets::kLotteryList).fileName());
    names.removeAll(QFileInfo(assets::kLotteryResult).fileName());
    names.removeAll(QStringLiteral(".filler"));
    return names;
}

// The child process of the kill test: draws entry `index` of the list as the screen does, between two
// marks that the tracer sees.
const char kDrawChild[] = "--draw-in-child";
const char kBeginMark[] = "/quelmora-draw-begins";
const char kEndMark[] = "/quelmora-draw-ends";

int drawInChild(char **argv)
{
    const QString list = QString::fromLocal8Bit(argv[2]);
    const QString results = QString::fromLocal8Bit(argv[3]);
    lottery::DrawList entries;
    entries.load(list);
    const QString when = QStringLiteral("2026-12-11 20:00:00");
    lottery::encode(when); // the converter is loaded before the draw, as in the program
    ::access(kBeginMark, F_OK);
    lottery::commitDraw(list, results, entries, std::atoi(argv[4]), when);
    ::access(kEndMark, F_OK);
    return 0;
}

} // namespace

class LotteryDrawTest : public QObject {
    Q_OBJECT
private slots:
    void openingCountsTheEntries_data()
    {
        QTest::addColumn<std::optional<QByteArray>>("list");
        QTest::addColumn<QString>("count");
        QTest::newRow("three") << std::optional<QByteArray>(gbkLines(kThree)) << QStringLiteral("3");
        QTest::newRow("blank lines are no entries")
            << std::optional<QByteArray>(gbkLines({QStringLiteral("甲"), QString(), QStringLiteral("  "),
                                                   QStringLiteral("\u3000"), QStringLiteral("乙")}))
            << QStringLiteral("2");
        QTest::newRow("last line without a break") << std::optional<QByteArray>(gbk(QStringLiteral("甲\r\n乙")))
                                                   << QStringLiteral("2");
        QTest::newRow("empty file") << std::optional<QByteArray>(QByteArray()) << QStringLiteral("0");
        QTest::newRow("no list file") << std::optional<QByteArray>() << QStringLiteral("0");
    }
    void openingCountsTheEntries()
    {
        QFETCH(std::optional<QByteArray>, list);
        QFETCH(QString, count);
        Lottery l(list);
        l.open();
        QCOMPARE(l.left(), count);
        QCOMPARE(l.state(), QStringLiteral("停止抽奖"));
        QCOMPARE(l.shown(), QString());
        QVERIFY(!l.screen()->Timer1->isActive());
        QVERIFY(l.app.fakes.dialogs.errors.isEmpty());
        QCOMPARE(l.screen()->geometry(), QRect(0, 0, 1024, 768));
        QCOMPARE(l.screen()->lab_cj->geometry(), QRect(179, 325, 652, 124));
    }

    void spaceFlickersAndThenDrawsOneWinner()
    {
        Lottery l(gbkLines(kThree));
        l.open();
        QTest::keyPress(l.screen(), Qt::Key_Space); // acted on when pressed
        QCOMPARE(l.state(), QStringLiteral("开始抽奖"));
        QTest::keyRelease(l.screen(), Qt::Key_Space);
        QVERIFY(l.screen()->Timer1->isActive());
        QCOMPARE(l.screen()->Timer1->interval(), 80);
        QCOMPARE(l.app.fakes.random.seeds, 1);
        l.script({2, 0});
        l.screen()->Timer1Timer();
        QCOMPARE(l.shown(), QStringLiteral("1排3号"));
        l.screen()->Timer1Timer();
        QCOMPARE(l.shown(), QStringLiteral("1排1号"));
        // The flicker only entertains: the winner is drawn anew.
        l.script({1});
        QTest::keyPress(l.screen(), Qt::Key_Space);
        QCOMPARE(l.state(), QStringLiteral("停止抽奖"));
        QVERIFY(!l.screen()->Timer1->isActive());
        QCOMPARE(l.shown(), QStringLiteral("1排2号"));
        QCOMPARE(l.left(), QStringLiteral("2"));
        QCOMPARE(l.resultLines(), (QStringList{l.when(), QStringLiteral("1排2号")}));
        QCOMPARE(l.listFile(), gbkLines({QStringLiteral("1排1号"), QStringLiteral("1排3号")}));
        QVERIFY(l.app.fakes.dialogs.errors.isEmpty());
    }

    void threeDrawsFromThreeEntriesEmptyTheList()
    {
        Lottery l(gbkLines(kThree));
        l.open();
        l.draw(1);
        l.draw(0);
        l.draw(0);
        QCOMPARE(l.resultLines(), (QStringList{l.when(), QStringLiteral("1排2号"), l.when(), QStringLiteral("1排1号"),
                                               l.when(), QStringLiteral("1排3号")}));
        QCOMPARE(l.left(), QStringLiteral("0"));
        QCOMPARE(l.listFile(), QByteArray());
        // With nothing left, Space neither flickers nor draws.
        l.space();
        QCOMPARE(l.state(), QStringLiteral("停止抽奖"));
        QVERIFY(!l.screen()->Timer1->isActive());
        l.space();
        QCOMPARE(l.resultLines().size(), 6);
        QCOMPARE(l.shown(), QStringLiteral("1排3号"));
        l.space();
        l.screen()->Timer1Timer();
        QCOMPARE(l.shown(), QStringLiteral("1排3号"));
        QTest::keyClick(l.screen(), Qt::Key_Escape);
        QVERIFY(!l.screen()->isVisible());
        QCOMPARE(l.listFile(), QByteArray());
        QVERIFY(l.app.fakes.dialogs.errors.isEmpty());
    }

    // A kill leaves the list file as the last draw wrote it: the screen is never closed here.
    void aDrawSurvivesAKill()
    {
        QStringList entries;
        for (int seat = 1; seat <= 6; ++seat)
            entries << QStringLiteral("8排%1号").arg(seat);
        Lottery l(gbkLines(entries));
        l.open();
        l.draw(3);
        l.draw(0);
        QCOMPARE(l.listFile(), gbkLines({entries[1], entries[2], entries[4], entries[5]}));
        // Started again: the screen reads the list anew without its close ever having run.
        l.screen()->hide();
        l.open();
        QCOMPARE(l.left(), QStringLiteral("4"));
        QSet<QString> winners{entries[3], entries[0]};
        for (int i = 0; i < 4; ++i) {
            l.draw(i % 2);
            QVERIFY2(!winners.contains(l.shown()), qPrintable(l.shown()));
            winners.insert(l.shown());
        }
        QCOMPARE(winners, QSet<QString>(entries.begin(), entries.end()));
        QCOMPARE(l.resultLines().size(), 12);
    }

    void closingAndReopeningOffersOnlyTheEntriesLeft()
    {
        Lottery l(gbkLines(kThree));
        l.open();
        l.draw(0);
        l.draw(0);
        QTest::keyClick(l.screen(), Qt::Key_Escape);
        l.open();
        QCOMPARE(l.left(), QStringLiteral("1"));
        QCOMPARE(l.shown(), QString());
        l.draw(0);
        QCOMPARE(l.shown(), QStringLiteral("1排3号"));
    }

    void deleteClearsTheWinnerAndTheLogKeepsIt()
    {
        Lottery l(gbkLines(kThree));
        l.open();
        l.draw(2);
        QTest::keyPress(l.screen(), Qt::Key_Delete);
        QCOMPARE(l.shown(), QString());
        QTest::keyRelease(l.screen(), Qt::Key_Delete);
        QCOMPARE(l.resultLines(), (QStringList{l.when(), QStringLiteral("1排3号")}));
        QCOMPARE(l.left(), QStringLiteral("2"));
    }

    // Closing during the flicker draws nothing and leaves no timer running.
    void escClosesOnRelease()
    {
        Lottery l(gbkLines(kThree));
        l.open();
        l.space();
        QTest::keyPress(l.screen(), Qt::Key_Escape);
        QVERIFY(l.screen()->isVisible());
        QTest::keyRelease(l.screen(), Qt::Key_Escape);
        QVERIFY(!l.screen()->isVisible());
        QVERIFY(!l.screen()->Timer1->isActive());
        QCOMPARE(l.listFile(), gbkLines(kThree));
        QCOMPARE(l.resultsFile(), QByteArray());
        l.open();
        QCOMPARE(l.state(), QStringLiteral("停止抽奖"));
        QCOMPARE(l.left(), QStringLiteral("3"));
    }

    // A held Space repeats its press: only the first one acts.
    void aHeldSpaceActsOnce()
    {
        Lottery l(gbkLines(kThree));
        l.open();
        QTest::keyPress(l.screen(), Qt::Key_Space);
        for (int i = 0; i < 3; ++i) {
            QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), true);
            QCoreApplication::sendEvent(l.screen(), &repeat);
        }
        QCOMPARE(l.state(), QStringLiteral("开始抽奖"));
        QCOMPARE(l.left(), QStringLiteral("3"));
    }

    // Every entry equally likely with the program's own random source.
    void theRealDrawFavoursNoEntry()
    {
        SystemRandom random;
        random.randomize();
        for (const int n : {1, 3, 7}) {
            QList<int> counts(n, 0);
            const int draws = 7000 * n;
            for (int i = 0; i < draws; ++i) {
                const int v = random.below(n);
                QVERIFY(v >= 0 && v < n);
                ++counts[v];
            }
            for (const int c : counts)
                QVERIFY2(std::abs(c - 7000) < 700, qPrintable(QString::number(c)));
        }
        QCOMPARE(random.below(0), 0);
        const int big = random.below(2147483647);
        QVERIFY(big >= 0);
    }
};

class LotteryFilesTest : public QObject {
    Q_OBJECT
private slots:
    void aMissingResultsFileIsCreated()
    {
        Lottery l(gbkLines(kThree), std::nullopt);
        l.open();
        QCOMPARE(l.resultsFile(), QByteArray("<missing>"));
        l.draw(0);
        QCOMPARE(l.resultsFile(), gbkLines({l.when(), QStringLiteral("1排1号")}));
    }

    void resultsAreAppendedAfterALastLineWithoutABreak()
    {
        Lottery l(gbkLines(kThree), gbk(QStringLiteral("上次\r\n1排9号")));
        l.open();
        l.draw(0);
        QCOMPARE(l.resultLines(),
                 (QStringList{QStringLiteral("上次"), QStringLiteral("1排9号"), l.when(), QStringLiteral("1排1号")}));
    }

    // Nothing is drawn, logged or taken off when either file cannot take the draw.
    void aFileThatCannotBeWrittenStopsTheDraw_data()
    {
        QTest::addColumn<QString>("blocked");
        QTest::addColumn<QString>("error");
        QTest::newRow("results") << assets::kLotteryResult << QStringLiteral("是一个文件夹，不是文件，数据没有保存。\n这次抽奖没有进行，名单没有改变。");
        QTest::newRow("list") << assets::kLotteryList << QStringLiteral("是一个文件夹，不是文件，数据没有保存。\n这次抽奖没有进行，名单没有改变。");
    }
    void aFileThatCannotBeWrittenStopsTheDraw()
    {
        QFETCH(QString, blocked);
        QFETCH(QString, error);
        Lottery l(gbkLines(kThree), std::nullopt);
        l.open();
        // A folder where the file should be: no file can be opened or renamed over it, not even by root.
        const QString path = l.app.folder.file(blocked);
        QFile::remove(path);
        QVERIFY(QDir().mkpath(path));
        l.space();
        l.script({1});
        l.space();
        QCOMPARE(l.app.fakes.dialogs.errors.size(), 1);
        QVERIFY2(l.app.fakes.dialogs.errors.first().startsWith(QStringLiteral("“%1”").arg(path) + error),
                 qPrintable(l.app.fakes.dialogs.errors.first()));
        QVERIFY(l.app.fakes.dialogs.errors.first().contains(QStringLiteral("Unable to write to ") + path));
        QCOMPARE(l.state(), QStringLiteral("停止抽奖"));
        QVERIFY(!l.screen()->Timer1->isActive());
        QCOMPARE(l.shown(), QString());
        QCOMPARE(l.left(), QStringLiteral("3"));
        if (blocked == assets::kLotteryList) {
            QVERIFY(l.resultLines().isEmpty());
            // Once the file can be written again, the same draw goes through.
            QVERIFY(QDir(path).removeRecursively());
            l.draw(1);
            QCOMPARE(l.shown(), QStringLiteral("1排2号"));
            QCOMPARE(l.listFile(), gbkLines({QStringLiteral("1排1号"), QStringLiteral("1排3号")}));
        } else {
            QCOMPARE(l.listFile(), gbkLines(kThree));
        }
    }

    // Lines keep their own bytes: drawing one leaves every other byte of the file as it was.
    void oddLinesSurviveTheWriteBack()
    {
        const QByteArray bad = "A\x81 B"; // a GBK lead byte followed by no second byte
        const QByteArray list = gbk(QStringLiteral("3排1号")) + "\r\n" + "\r\n" + bad + "\n" + "   \r\n"
                                + QByteArray("\xE7\x8E\x8B\xE8\x8A\xB3") + "\r\n" // 王芳, saved in UTF-8
                                + gbk(QStringLiteral(" 3排2号 "));               // no break at the end
        Lottery l(list);
        l.open();
        QCOMPARE(l.left(), QStringLiteral("4"));
        l.draw(1);
        QCOMPARE(l.shown(), QStringLiteral("A\uFFFD B"));
        QCOMPARE(l.resultsFile(), gbk(l.when()) + "\r\n" + bad + "\r\n");
        QCOMPARE(l.listFile(), gbk(QStringLiteral("3排1号")) + "\r\n" + "\r\n" + "   \r\n"
                                   + QByteArray("\xE7\x8E\x8B\xE8\x8A\xB3") + "\r\n" + gbk(QStringLiteral(" 3排2号 ")));
        l.draw(2);
        QCOMPARE(l.shown(), QStringLiteral("3排2号"));
        l.draw(1);
        QCOMPARE(l.shown(), QStringLiteral("王芳"));
        QCOMPARE(l.resultLines().mid(4), (QStringList{l.when(), QStringLiteral("王芳")}));
        QCOMPARE(l.listFile(), gbk(QStringLiteral("3排1号")) + "\r\n" + "\r\n" + "   \r\n");
        QVERIFY(l.app.fakes.dialogs.errors.isEmpty());
    }

    void aByteOrderMarkStays()
    {
        const QByteArray list = QByteArray("\xEF\xBB\xBF") + "\xE7\x94\xB2\n\xE4\xB9\x99\n"; // 甲 乙 in UTF-8
        Lottery l(list);
        l.open();
        l.draw(0);
        QCOMPARE(l.shown(), QStringLiteral("甲"));
        QCOMPARE(l.listFile(), QByteArray("\xEF\xBB\xBF\xE4\xB9\x99\n"));
    }
};

// A full disk or a read-only folder refuses the draw before a winner is shown: both files stay byte for
// byte, the last flicker name goes, and the operator reads why in Chinese.
class LotteryDiskTest : public QObject {
    Q_OBJECT
private slots:
    void aDrawTheDiskCannotTakeIsRefused_data()
    {
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<QString>("cause");
        QTest::newRow("full disk") << false << QStringLiteral("磁盘已满，数据没有保存。");
        QTest::newRow("read-only folder") << true << QStringLiteral("是只读的，数据没有保存。");
    }
    void aDrawTheDiskCannotTakeIsRefused()
    {
        QFETCH(bool, readOnly);
        QFETCH(QString, cause);
        QStringList entries;
        for (int i = 1; i <= 300; ++i)
            entries << QStringLiteral("%1排%2号").arg(i / 20 + 1).arg(i % 20 + 1);
        Lottery l(gbkLines(entries), gbkLines({QStringLiteral("上次"), QStringLiteral("9排9号")}));
        const QString folder = QFileInfo(l.app.folder.file(assets::kLotteryList)).absolutePath();
        SmallDisk disk(folder, 256 * 1024);
        QUELMORA_REQUIRE_SMALL_DISK(disk);
        const QByteArray list = l.listFile(), results = l.resultsFile();
        l.open();
        readOnly ? disk.setReadOnly(true) : disk.fill();
        l.space();
        l.script({4});
        l.screen()->Timer1Timer();
        QCOMPARE(l.shown(), entries[4]);
        l.script({7});
        l.space();
        QCOMPARE(l.app.fakes.dialogs.errors.size(), 1);
        const QString said = l.app.fakes.dialogs.errors.first();
        QVERIFY2(said.startsWith(cause.startsWith(QStringLiteral("磁盘")) ? cause : QStringLiteral("文件夹“%1”%2").arg(folder, cause)),
                 qPrintable(said));
        QVERIFY2(said.contains(QStringLiteral("\n这次抽奖没有进行，名单没有改变。\nUnable to write to ")), qPrintable(said));
        QCOMPARE(l.shown(), QString());
        QCOMPARE(l.state(), QStringLiteral("停止抽奖"));
        QCOMPARE(l.left(), QStringLiteral("300"));
        QCOMPARE(l.listFile(), list);
        QCOMPARE(l.resultsFile(), results);
        QCOMPARE(strayFiles(l), QStringList());
        // With room again the same list draws, and the next opening finds it as the draw left it.
        readOnly ? disk.setReadOnly(false) : disk.unfill();
        l.draw(7);
        QCOMPARE(l.shown(), entries[7]);
        l.screen()->hide();
        l.open();
        QCOMPARE(l.left(), QStringLiteral("299"));
        QCOMPARE(l.resultLines().mid(2), (QStringList{l.when(), entries[7]}));
    }

    // Space with nothing to draw says why, and neither flickers nor draws.
    void anEmptyOrMissingListIsSaid_data()
    {
        QTest::addColumn<std::optional<QByteArray>>("list");
        QTest::addColumn<int>("draws");
        QTest::addColumn<QString>("said");
        QTest::newRow("no list file") << std::optional<QByteArray>() << 0 << QStringLiteral("找不到抽奖名单文件“%1”，无法抽奖。");
        QTest::newRow("empty list file") << std::optional<QByteArray>(gbkLines({QString(), QStringLiteral(" ")})) << 0
                                         << QStringLiteral("抽奖名单是空的，无法抽奖。");
        QTest::newRow("every entry drawn") << std::optional<QByteArray>(gbkLines(kThree)) << 3
                                           << QStringLiteral("抽奖名单是空的，无法抽奖。");
    }
    void anEmptyOrMissingListIsSaid()
    {
        QFETCH(std::optional<QByteArray>, list);
        QFETCH(int, draws);
        QFETCH(QString, said);
        Lottery l(list);
        l.open();
        for (int i = 0; i < draws; ++i)
            l.draw(0);
        l.space();
        QCOMPARE(l.app.fakes.dialogs.informations, QStringList{said.arg(l.app.folder.file(assets::kLotteryList))});
        QCOMPARE(l.state(), QStringLiteral("停止抽奖"));
        QVERIFY(!l.screen()->Timer1->isActive());
        QVERIFY(l.app.fakes.dialogs.errors.isEmpty());
    }
};

// A kill at any system call of a draw: after the next opening, every entry is in exactly one of the
// list and the results file, and nothing else is left in the folder. The draw runs in a child process
// under strace, which kills it at one system call per trial.
class LotteryKillTest : public QObject {
    Q_OBJECT
private slots:
    void aKillAtAnySystemCallLosesNoEntry()
    {
        const QString strace = QStandardPaths::findExecutable(QStringLiteral("strace"));
        if (strace.isEmpty())
            QSKIP("strace is not installed (Debian package strace): the kill test needs it");
        QStringList entries;
        for (int i = 0; i < 2000; ++i)
            entries << QStringLiteral("%1排%2号").arg(i / 40 + 1).arg(i % 40 + 1);
        const QByteArray list = gbkLines(entries);
        const QByteArray earlier = gbkLines({QStringLiteral("上次"), QStringLiteral("0排0号")});
        Lottery l(list, earlier);
        const QString listPath = l.app.folder.file(assets::kLotteryList);
        const QString resultsPath = l.app.folder.file(assets::kLotteryResult);
        const QString self = QCoreApplication::applicationFilePath();
        const QStringList child{QString::fromLatin1(kDrawChild), listPath, resultsPath, QStringLiteral("1234")};
        QTemporaryDir logs;
        const QString log = logs.filePath(QStringLiteral("draw.log"));

        // A run without a kill names the draw's system calls, each with its count since the process began.
        QProcess run;
        run.start(strace, QStringList{QStringLiteral("-qq"), QStringLiteral("-o"), log, self} + child);
        QVERIFY(run.waitForFinished(60000));
        if (run.exitStatus() != QProcess::NormalExit || run.exitCode() != 0)
            QSKIP(qPrintable(QStringLiteral("strace cannot trace here: ") + QString::fromLocal8Bit(run.readAllStandardError())));
        QFile traced(log);
        QVERIFY(traced.open(QIODevice::ReadOnly));
        const QRegularExpression call(QStringLiteral("^(\\w+)\\("));
        QHash<QString, int> seen;
        QList<QPair<QString, int>> steps; // system call, its count
        bool inDraw = false;
        for (const QByteArray &line : traced.readAll().split('\n')) {
            const QString text = QString::fromLocal8Bit(line);
            const QRegularExpressionMatch m = call.match(text);
            if (!m.hasMatch())
                continue;
            const QString name = m.captured(1);
            const int count = ++seen[name];
            if (text.contains(QLatin1String(kBeginMark)))
                inDraw = true;
            else if (text.contains(QLatin1String(kEndMark)))
                inDraw = false;
            else if (inDraw)
                steps.append({name, count});
        }
        QVERIFY2(steps.size() >= 10 && steps.size() <= 400, qPrintable(QString::number(steps.size())));
        QCOMPARE(l.listFile().size(), list.size() - gbk(entries[1234]).size() - 2); // that run drew one

        for (const auto &[name, count] : steps) {
            const QString step = QStringLiteral("%1 #%2").arg(name).arg(count);
            l.app.folder.writeBytes(assets::kLotteryList, list);
            l.app.folder.writeBytes(assets::kLotteryResult, earlier);
            QFile::remove(lottery::drawNotePath(listPath));
            QProcess killed;
            killed.start(strace, QStringList{QStringLiteral("-qq"), QStringLiteral("-o"), QStringLiteral("/dev/null"),
                                             QStringLiteral("-e"), QStringLiteral("trace=") + name, QStringLiteral("-e"),
                                             QStringLiteral("inject=%1:signal=KILL:when=%2").arg(name).arg(count), self}
                             + child);
            QVERIFY(killed.waitForFinished(60000));
            QVERIFY2(killed.exitStatus() == QProcess::CrashExit || killed.exitCode() != 0, qPrintable(step));

            // The next opening mends whatever the kill left.
            l.screen()->hide();
            l.open();
            QVERIFY2(l.app.fakes.dialogs.errors.isEmpty(), qPrintable(step + QLatin1Char(' ') + l.app.fakes.dialogs.errors.join(QLatin1Char('|'))));
            QCOMPARE(strayFiles(l), QStringList());
            QStringList drawn = l.resultLines().mid(2);
            QVERIFY2(drawn.size() == 0 || drawn.size() == 2, qPrintable(step));
            QStringList left;
            for (int i = 0; i < l.screen()->draw_list().count(); ++i)
                left << l.screen()->draw_list().text(i);
            if (drawn.size() == 2)
                left.insert(1234, drawn.last());
            QVERIFY2(left == entries, qPrintable(step + QStringLiteral(": %1 left, %2 drawn").arg(l.left()).arg(drawn.size() / 2)));
            QCOMPARE(l.left(), QString::number(l.screen()->draw_list().count()));
        }
    }
};

// Renders the lottery with a winner when QUELMORA_SCREENSHOTS names a folder.
class LotteryScreenshotTest : public QObject {
    Q_OBJECT
private slots:
    void winner()
    {
        const QString folder = qEnvironmentVariable("QUELMORA_SCREENSHOTS");
        if (folder.isEmpty())
            QSKIP("set QUELMORA_SCREENSHOTS to a folder to render the screenshots");
        QDir().mkpath(folder);
        Lottery l(gbkLines({QStringLiteral("3排8号"), QStringLiteral("10排21号"), QStringLiteral("12排5号")}));
        l.open();
        l.screen()->setGeometry(0, 0, 1024, 768);
        l.space();
        l.script({0});
        l.screen()->Timer1Timer();
        QVERIFY(l.screen()->grab().save(folder + QStringLiteral("/lottery_flicker.png")));
        l.script({1});
        l.space();
        QCOMPARE(l.shown(), QStringLiteral("10排21号"));
        QVERIFY(l.screen()->grab().save(folder + QStringLiteral("/lottery_winner.png")));
    }
};

int main(int argc, char **argv)
{
    if (argc == 5 && qstrcmp(argv[1], kDrawChild) == 0)
        return drawInChild(argv);
    QApplication application(argc, argv);
    test_support::prepare();
    return test_support::run<LotteryDrawTest, LotteryFilesTest, LotteryDiskTest, LotteryKillTest, LotteryScreenshotTest>(argc, argv);
}
#include "tst_lottery.moc"
