// The Flash player's start-up and movie switch times, each against a plain web page in the same engine,
// and the memory and CPU time of the player's processes (this one and its web engine helpers).
//
// bench_flash runs everything; it starts fresh copies of itself ("--cold-flash", "--cold-blank") for the
// cold starts, so each of those pays the web engine's full start.
#include "media/flash_environment.h"
#include "media/flash/ruffle_flash_player.h"
#include "media/flash/swf_writer.h"
#include "bench_timing.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QWebEngineView>

#include <algorithm>
#include <cstdio>
#include <functional>

#include <unistd.h>

namespace {

const QString kPageFolder = QStringLiteral(QUELMORA_FLASH_PAGE_DIR);
constexpr int kTimeout = 60000;
constexpr QRgb kBlankColour = 0xff3050a0;
constexpr QRgb kOtherBlankColour = 0xffa05030;

using Check = std::function<bool(const QImage &)>;

// Milliseconds until `check` holds on a grab of `widget`, counted from `clock`'s start; -1 on time-out.
qint64 waitFor(QWidget *widget, const Check &check, const QElapsedTimer &clock)
{
    while (clock.elapsed() < kTimeout) {
        if (check(widget->grab().toImage()))
            return clock.elapsed();
        QEventLoop loop;
        QTimer::singleShot(5, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return -1;
}

bool showsMovieFrame(const QImage &image)
{
    const QRgb c = image.pixel(image.rect().center());
    return swf::frameOfColour(qRed(c), qGreen(c), qBlue(c)) >= 0;
}

Check showsColour(QRgb colour)
{
    return [colour](const QImage &image) {
        const QRgb c = image.pixel(image.rect().center());
        return std::abs(qRed(c) - qRed(colour)) + std::abs(qGreen(c) - qGreen(colour)) +
                   std::abs(qBlue(c) - qBlue(colour)) < 12;
    };
}

bool isDark(const QImage &image)
{
    const QRgb c = image.pixel(image.rect().center());
    return qRed(c) < 30 && qGreen(c) < 30 && qBlue(c) < 30;
}

QString writePage(const QDir &dir, const QString &name, QRgb colour)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(QStringLiteral("<!DOCTYPE html><html><body style=\"margin:0;background:%1\"></body></html>")
                   .arg(QColor(colour).name())
                   .toUtf8());
    return path;
}

QString writeMovie(const QDir &dir)
{
    const QString path = dir.filePath(QStringLiteral("frames.swf"));
    swf::frameCodedMovie(QSize(320, 240), 24, 240).write(path);
    return path;
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? -1 : values[values.size() / 2];
}

// ---- Processes: this one and every descendant (the web engine's zygote, renderer and helpers).

QList<int> familyOfThisProcess()
{
    QMultiHash<int, int> children;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString &entry : entries) {
        bool isPid = false;
        const int pid = entry.toInt(&isPid);
        if (!isPid)
            continue;
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 1)
            children.insert(fields[1].toInt(), pid);
    }
    QList<int> family{int(::getpid())};
    for (qsizetype i = 0; i < family.size(); ++i)
        family += children.values(family[i]);
    return family;
}

// A "Name:   value kB" field of a /proc file, in kB.
qint64 procField(int pid, const char *file, const char *name)
{
    QFile f(QStringLiteral("/proc/%1/%2").arg(pid).arg(QLatin1String(file)));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray key = QByteArray(name) + ':';
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').first().toLongLong();
    return 0;
}

// CPU time (user + system) of a process, in clock ticks.
qint64 cpuTicks(int pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray line = stat.readAll();
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    return fields.size() > 12 ? fields[11].toLongLong() + fields[12].toLongLong() : 0;
}

void printMemory(const char *when)
{
    qint64 rss = 0, pss = 0;
    const QList<int> family = familyOfThisProcess();
    std::printf("memory %s:\n", when);
    QHash<int, QByteArray> types;
    for (int pid : family) {
        QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(pid));
        cmdline.open(QIODevice::ReadOnly);
        const QList<QByteArray> args = cmdline.readAll().split('\0');
        QByteArray type = QFileInfo(QString::fromLocal8Bit(args.value(0))).fileName().toLocal8Bit();
        for (const QByteArray &arg : args)
            if (arg.startsWith("--type="))
                type += " " + arg.mid(7);
        const qint64 r = procField(pid, "status", "VmRSS"), p = procField(pid, "smaps_rollup", "Pss");
        const int parent = int(procField(pid, "status", "PPid"));
        // The zygote forks the page processes without changing their command line.
        if (types.value(parent).endsWith(" zygote"))
            type = "page process (from the zygote)";
        types.insert(pid, type);
        rss += r;
        pss += p;
        std::printf("  %-7d %-34s RSS %7.1f MB  PSS %7.1f MB\n", pid, type.constData(), r / 1024.0, p / 1024.0);
    }
    std::printf("  total of %d processes: RSS %.1f MB, PSS %.1f MB\n", int(family.size()), rss / 1024.0, pss / 1024.0);
}

// ---- Cold starts, each in a fresh copy of this program.

int coldFlash(const QDir &dir)
{
    const QString movie = writeMovie(dir);
    QElapsedTimer clock;
    clock.start();
    RuffleFlashPlayer player(nullptr, kPageFolder);
    player.resize(320, 240);
    player.show();
    player.setMovie(movie);
    player.play();
    std::printf("%lld\n", waitFor(&player, showsMovieFrame, clock));
    return 0;
}

int coldBlank(const QDir &dir)
{
    const QUrl page = QUrl::fromLocalFile(writePage(dir, QStringLiteral("blank.html"), kBlankColour));
    QElapsedTimer clock;
    clock.start();
    QWebEngineView view;
    view.resize(320, 240);
    view.show();
    view.load(page);
    std::printf("%lld\n", waitFor(&view, showsColour(kBlankColour), clock));
    return 0;
}

double coldMedian(const char *mode, int runs)
{
    QList<double> times;
    for (int i = 0; i < runs; ++i) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(mode)});
        child.waitForFinished(kTimeout * 2);
        times << child.readAllStandardOutput().trimmed().toDouble();
    }
    return median(times);
}

// ---- Warm figures, in this process.

int run(const QDir &dir)
{
    constexpr int kColdRuns = 3, kWarmRuns = 7;
    std::printf("Flash player benchmark (%d cores, QT_QUICK_BACKEND=%s)\n", QThread::idealThreadCount(),
                qgetenv("QT_QUICK_BACKEND").constData());

    const double coldFlashMs = coldMedian("--cold-flash", kColdRuns);
    const double coldBlankMs = coldMedian("--cold-blank", kColdRuns);
    std::printf("cold start to the first frame (median of %d fresh processes):\n", kColdRuns);
    std::printf("  Flash player, set movie + play   %7.0f ms\n", coldFlashMs);
    std::printf("  baseline: blank page, new view   %7.0f ms\n", coldBlankMs);

    printMemory("before the player (this process alone)");

    const QString movie = writeMovie(dir);
    const QString missing = dir.filePath(QStringLiteral("missing.swf"));
    RuffleFlashPlayer player(nullptr, kPageFolder);
    player.resize(320, 240);
    player.show();

    QElapsedTimer clock;
    clock.start();
    qint64 pageMs = -1, warmUpMs = -1;
    QEventLoop warmLoop;
    QObject::connect(&player, &RuffleFlashPlayer::pageLoaded, [&](bool ok) { pageMs = ok ? clock.elapsed() : -1; });
    QObject::connect(&player, &RuffleFlashPlayer::warmedUp, &warmLoop, [&] {
        warmUpMs = clock.elapsed();
        warmLoop.quit();
    });
    QTimer::singleShot(kTimeout, &warmLoop, &QEventLoop::quit);
    player.warmUp();
    warmLoop.exec();
    clock.restart();
    player.setMovie(movie);
    player.play();
    const qint64 firstMovieMs = waitFor(&player, showsMovieFrame, clock);

    QList<double> warm;
    for (int i = 0; i < kWarmRuns; ++i) {
        player.setMovie(missing);
        QElapsedTimer darkClock;
        darkClock.start();
        waitFor(&player, isDark, darkClock);
        clock.restart();
        player.setMovie(movie);
        player.play();
        warm << double(waitFor(&player, showsMovieFrame, clock));
    }

    // Playback cost: CPU time of all the player's processes over a few seconds of the movie.
    const auto familyTicks = [] {
        qint64 ticks = 0;
        for (int pid : familyOfThisProcess())
            ticks += cpuTicks(pid);
        return ticks;
    };
    const auto cpuPercentOver = [&](int ms) {
        const qint64 ticksBefore = familyTicks();
        QElapsedTimer span;
        span.start();
        QEventLoop playing;
        QTimer::singleShot(ms, &playing, &QEventLoop::quit);
        playing.exec();
        return 100.0 * (familyTicks() - ticksBefore) / double(::sysconf(_SC_CLK_TCK)) / (span.elapsed() / 1000.0);
    };
    const double cpuPercent = cpuPercentOver(5000);
    printMemory("with the player warm and playing (this process and the web engine's)");

    // The same for the award animation on a projector-sized panel.
    const QString award = dir.filePath(QStringLiteral("award.swf"));
    swf::writeAwardAnimation(award);
    player.resize(1024, 768);
    player.setMovie(award);
    player.play();
    QEventLoop awardLoop;
    QObject::connect(&player, &RuffleFlashPlayer::movieReady, &awardLoop, &QEventLoop::quit);
    QTimer::singleShot(kTimeout, &awardLoop, &QEventLoop::quit);
    awardLoop.exec();
    const double awardCpuPercent = cpuPercentOver(5000);
    player.resize(320, 240);

    // Baseline: plain pages loaded into a plain web view of the same engine, alternating so that each load
    // shows a change (the player's own view refuses to leave its page).
    QWebEngineView plainView;
    plainView.resize(320, 240);
    plainView.show();
    QWebEngineView *view = &plainView;
    const QUrl pages[] = {QUrl::fromLocalFile(writePage(dir, QStringLiteral("a.html"), kBlankColour)),
                          QUrl::fromLocalFile(writePage(dir, QStringLiteral("b.html"), kOtherBlankColour))};
    const QRgb colours[] = {kBlankColour, kOtherBlankColour};
    QList<double> blank;
    for (int i = 0; i < kWarmRuns + 1; ++i) {
        clock.restart();
        view->load(pages[i % 2]);
        const qint64 ms = waitFor(view, showsColour(colours[i % 2]), clock);
        if (i > 0) // the first load also starts the view's page process
            blank << double(ms);
    }

    std::printf("warm-up: page loaded in %lld ms, emulator ready in %lld ms after warmUp()\n", pageMs, warmUpMs);
    std::printf("warm:\n");
    std::printf("  first movie after warm-up        %7lld ms\n", firstMovieMs);
    std::printf("  set movie to first frame         %7.0f ms  (median of %d; goal <= 300 ms: %s)\n", median(warm),
                kWarmRuns, median(warm) >= 0 && median(warm) <= 300 ? "met" : "MISSED");
    std::printf("  baseline: blank page, warm view  %7.0f ms  (median of %d)\n", median(blank), kWarmRuns);
    std::printf("playback, CPU of all the player's processes: %.0f%% of one core (frame-coded movie, 24 fps, "
                "320 x 240), %.0f%% (award animation, 24 fps, 1024 x 768)\n",
                cpuPercent, awardCpuPercent);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    bench::useStageDisplay();
    prepareFlashEnvironment();
    QApplication application(argc, argv);
    QTemporaryDir dir;
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (mode == QLatin1String("--cold-flash"))
        return coldFlash(QDir(dir.path()));
    if (mode == QLatin1String("--cold-blank"))
        return coldBlank(QDir(dir.path()));
    return run(QDir(dir.path()));
}
