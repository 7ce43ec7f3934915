// The Flash panel: movies play in the emulator at their own frame rate, stop holds the frame, play
// resumes, and files that are missing or not movies show nothing and leave the panel usable.
#include "media/flash_environment.h"
#include "media/flash_panel.h"
#include "settings/app_error.h"
#include "media/flash/ruffle_flash_player.h"
#include "media/flash/swf_writer.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>

#include <memory>

#include <csignal>

namespace {

const QString kPageFolder = QStringLiteral(QUELMORA_FLASH_PAGE_DIR);
constexpr int kStartTimeout = 60000; // a cold web engine on a busy machine
constexpr int kTimeout = 20000;

QImage shot(QWidget *panel)
{
    return panel->grab().toImage();
}

// The frame that a frame-coded movie shows in the middle of the panel, or -1 when none shows.
int frameShown(const QImage &image)
{
    const QRgb c = image.pixel(image.rect().center());
    return swf::frameOfColour(qRed(c), qGreen(c), qBlue(c));
}

int frameShown(QWidget *panel)
{
    return frameShown(shot(panel));
}

// True when a grid of points across the image all have nearly one colour: a plain movie frame or an empty
// panel, with no button, overlay or message drawn over it.
bool isPlain(const QImage &image)
{
    const QRgb first = image.pixel(image.rect().center());
    for (int y = 1; y < 10; ++y) {
        for (int x = 1; x < 10; ++x) {
            const QRgb c = image.pixel(image.width() * x / 10, image.height() * y / 10);
            if (std::abs(qRed(c) - qRed(first)) + std::abs(qGreen(c) - qGreen(first)) +
                    std::abs(qBlue(c) - qBlue(first)) > 24)
                return false;
        }
    }
    return true;
}

bool isDark(const QImage &image)
{
    const QRgb c = image.pixel(image.rect().center());
    return isPlain(image) && qRed(c) < 40 && qGreen(c) < 40 && qBlue(c) < 40;
}

// Watches the panel for `ms` milliseconds; true when `check` held at every look.
template <typename Check>
bool holdsFor(QWidget *panel, int ms, Check check)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) {
        if (!check(shot(panel)))
            return false;
        QTest::qWait(50);
    }
    return true;
}

// The web engine's page processes under this test: the children of its zygote processes.
QList<int> pageProcesses()
{
    QMultiHash<int, int> children;
    QList<int> zygotes;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString &entry : entries) {
        bool isPid = false;
        const int pid = entry.toInt(&isPid);
        QFile status(QStringLiteral("/proc/%1/status").arg(pid));
        QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(pid));
        if (!isPid || !status.open(QIODevice::ReadOnly) || !cmdline.open(QIODevice::ReadOnly))
            continue;
        const QByteArray text = status.readAll();
        const int at = text.indexOf("\nPPid:");
        const int parent = text.mid(at + 7, text.indexOf('\n', at + 1) - at - 7).trimmed().toInt();
        children.insert(parent, pid);
        if (parent == QCoreApplication::applicationPid() && cmdline.readAll().contains("--type=zygote"))
            zygotes << pid;
    }
    QList<int> pages;
    for (int zygote : zygotes)
        pages += children.values(zygote);
    return pages;
}

} // namespace

class FlashPlayerTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<QWidget> m_screen;
    RuffleFlashPlayer *m_player = nullptr;
    QLineEdit *m_keys = nullptr;

    // A frame-coded movie in the test folder; names may hold characters that need escaping on the way to the page.
    QString movie(const QString &name, double rate, bool compressed = false)
    {
        const QString path = m_dir.filePath(name);
        if (!QFileInfo::exists(path))
            swf::frameCodedMovie(QSize(160, 120), rate, 256).write(path, compressed);
        return path;
    }
    QString file(const QString &name, const QByteArray &bytes)
    {
        const QString path = m_dir.filePath(name);
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return path;
    }

    // Sets and plays the movie until a frame of it shows; returns that frame, or -1 when none shows.
    int playUntilShown(const QString &path)
    {
        m_player->setMovie(path);
        m_player->play();
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < kStartTimeout) {
            if (const int frame = frameShown(m_player); frame >= 0)
                return frame;
            QTest::qWait(50);
        }
        return -1;
    }

    // Waits until the frame shown stays the same for a moment; returns it, or -1 when it never settles.
    int settledFrame()
    {
        QElapsedTimer clock;
        clock.start();
        int before = frameShown(m_player);
        while (clock.elapsed() < kTimeout) {
            QTest::qWait(300);
            const int now = frameShown(m_player);
            if (now >= 0 && now == before)
                return now;
            before = now;
        }
        return -1;
    }

private slots:
    void init()
    {
        // A screen with the Flash panel and a field holding the keyboard focus, as the award ceremony has.
        m_screen = std::make_unique<QWidget>();
        auto *layout = new QVBoxLayout(m_screen.get());
        m_keys = new QLineEdit(m_screen.get());
        m_player = new RuffleFlashPlayer(m_screen.get(), kPageFolder);
        m_player->setFixedSize(320, 240);
        layout->addWidget(m_keys);
        layout->addWidget(m_player);
        m_screen->show();
        m_keys->setFocus();
        QVERIFY(QTest::qWaitForWindowExposed(m_screen.get()));
    }
    void cleanup() { m_screen.reset(); }

    void startsOnlyWhenAMovieIsSet()
    {
        m_player->play();
        m_player->stop();
        m_player->setMovie(m_dir.filePath(QStringLiteral("missing.swf")));
        QVERIFY(!m_player->isStarted());
        QVERIFY(isDark(shot(m_player)));
        QVERIFY(playUntilShown(movie(QStringLiteral("start.swf"), 12)) >= 0);
        QVERIFY(m_player->isStarted());
        QCOMPARE(m_screen->focusWidget(), m_keys);
    }

    void warmUpLoadsTheEmulatorOutOfSight()
    {
        QSignalSpy warm(m_player, &RuffleFlashPlayer::warmedUp);
        m_player->warmUp();
        QVERIFY(m_player->isStarted());
        QTRY_VERIFY_WITH_TIMEOUT(warm.count() == 1, kStartTimeout);
        QVERIFY(isDark(shot(m_player)));
        const int first = playUntilShown(movie(QStringLiteral("warm.swf"), 20));
        QVERIFY(first >= 0);
        QTRY_VERIFY_WITH_TIMEOUT(frameShown(m_player) > first + 5, kTimeout);
    }

    void playsAtTheMoviesRate_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<double>("rate");
        QTest::addColumn<bool>("compressed");
        QTest::newRow("10 fps") << QStringLiteral("题目 #1 'ten'.swf") << 10.0 << false;
        QTest::newRow("25 fps, compressed") << QStringLiteral("fast \"%20\".swf") << 25.0 << true;
    }
    void playsAtTheMoviesRate()
    {
        QFETCH(QString, name);
        QFETCH(double, rate);
        QFETCH(bool, compressed);
        const int first = playUntilShown(movie(name, rate, compressed));
        QVERIFY(first >= 0);
        QElapsedTimer clock;
        clock.start();
        QTRY_VERIFY_WITH_TIMEOUT(clock.elapsed() >= 3000, kTimeout);
        const int last = frameShown(m_player);
        const double measured = (last - first) / (clock.elapsed() / 1000.0);
        QVERIFY2(measured > rate * 0.6 && measured < rate * 1.4,
                 qPrintable(QStringLiteral("%1 frames a second, the movie has %2").arg(measured).arg(rate)));
    }

    void haltingHoldsTheFrameAndPlayResumes_data()
    {
        QTest::addColumn<bool>("stopPlay");
        QTest::newRow("stop") << false;
        QTest::newRow("stop play") << true;
    }
    void haltingHoldsTheFrameAndPlayResumes()
    {
        QFETCH(bool, stopPlay);
        QVERIFY(playUntilShown(movie(QStringLiteral("halt.swf"), 20)) >= 0);
        if (stopPlay)
            m_player->stopPlay();
        else
            m_player->stop();
        // Holds one frame, drawn plain: no play button or overlay over it.
        const int held = settledFrame();
        QVERIFY(held >= 0);
        QVERIFY(holdsFor(m_player, 1500, [&](const QImage &image) { return frameShown(image) == held && isPlain(image); }));
        m_player->play();
        QTRY_VERIFY_WITH_TIMEOUT(frameShown(m_player) > held + 5, kTimeout);
        QCOMPARE(m_screen->focusWidget(), m_keys);
    }

    void commandsBeforeTheMovieIsReadyAreKept()
    {
        // Set, play and stop at once, long before the page or the movie is loaded: the movie's first frame
        // ends up shown and held, and play then starts it.
        m_player->setMovie(movie(QStringLiteral("queued.swf"), 5));
        m_player->play();
        m_player->stop();
        QTRY_VERIFY_WITH_TIMEOUT(frameShown(m_player) >= 0, kStartTimeout);
        const int held = settledFrame();
        QVERIFY2(held >= 0 && held <= 1, qPrintable(QStringLiteral("held frame %1").arg(held)));
        QVERIFY(holdsFor(m_player, 1000, [&](const QImage &image) { return frameShown(image) == held; }));
        m_player->play();
        QTRY_VERIFY_WITH_TIMEOUT(frameShown(m_player) > held + 3, kTimeout);
    }

    void filesThatAreNotMoviesPlayNothing_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes"); // no name: no file at all
        QTest::newRow("missing") << QString() << QByteArray();
        QTest::newRow("empty") << QStringLiteral("empty.swf") << QByteArray();
        QTest::newRow("picture") << QStringLiteral("picture.swf") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);
        QTest::newRow("web page") << QStringLiteral("page.swf")
                                  << QByteArray("<html><body><a href=\"https://example.com\">x</a></body></html>");
        QTest::newRow("broken movie") << QStringLiteral("broken.swf")
                                      << QByteArray("CWS\x0a\xff\x00\x00\x00garbage, not zlib", 25);
    }
    void filesThatAreNotMoviesPlayNothing()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        const QString bad = name.isEmpty() ? m_dir.filePath(QStringLiteral("no such movie.swf")) : file(name, bytes);
        // A movie plays first: the bad file must clear it, not leave it there or show an error.
        QVERIFY(playUntilShown(movie(QStringLiteral("before.swf"), 20)) >= 0);
        QSignalSpy failed(m_player, &RuffleFlashPlayer::movieFailed);
        m_player->setMovie(bad);
        m_player->play();
        QTRY_VERIFY_WITH_TIMEOUT(failed.count() > 0, kTimeout);
        QTRY_VERIFY_WITH_TIMEOUT(isDark(shot(m_player)), kTimeout);
        QVERIFY(holdsFor(m_player, 1500, isDark));
        // The next good movie plays.
        const int first = playUntilShown(movie(QStringLiteral("after.swf"), 20));
        QVERIFY(first >= 0);
        QTRY_VERIFY_WITH_TIMEOUT(frameShown(m_player) > first + 5, kTimeout);
    }

    void aCrashedPageProcessDoesNotStopTheNextMovie()
    {
        QVERIFY(playUntilShown(movie(QStringLiteral("crash.swf"), 20)) >= 0);
        const QList<int> pages = pageProcesses();
        QVERIFY(!pages.isEmpty());
        for (int pid : pages)
            ::kill(pid, SIGKILL);
        QTRY_VERIFY_WITH_TIMEOUT(frameShown(m_player) < 0, kTimeout);
        const int first = playUntilShown(movie(QStringLiteral("after crash.swf"), 20));
        QVERIFY(first >= 0);
        QTRY_VERIFY_WITH_TIMEOUT(frameShown(m_player) > first + 5, kTimeout);
    }

    // The program holds the player in a panel that loads the player's library at the first movie.
    void panelLoadsThePlayerAtItsFirstMovie()
    {
        FlashPanel missing(m_screen.get(), m_dir.filePath(QStringLiteral("libmissing.so")));
        missing.play();
        missing.stop();
        missing.stopPlay();
        try {
            missing.setMovie(movie(QStringLiteral("panel.swf"), 12));
            QFAIL("a missing library was not reported");
        } catch (const AppError &e) {
            QVERIFY2(e.message().startsWith(QStringLiteral("Flash 播放组件无法加载：")), qPrintable(e.message()));
        }
        QVERIFY(!missing.player());

        qputenv("QUELMORA_HOME", QFileInfo(kPageFolder).path().toLocal8Bit());
        auto *panel = new FlashPanel(m_screen.get(), QStringLiteral(QUELMORA_FLASH_LIBRARY));
        panel->setFixedSize(320, 240);
        m_screen->layout()->addWidget(panel);
        QVERIFY(!panel->player());
        panel->setMovie(movie(QStringLiteral("panel.swf"), 12));
        panel->play();
        QVERIFY(panel->player());
        QTRY_VERIFY_WITH_TIMEOUT(frameShown(panel) >= 0, kStartTimeout);
        qunsetenv("QUELMORA_HOME");
    }

    void awardAnimationPlays()
    {
        const QString path = m_dir.filePath(QStringLiteral("系统图片/动画/颁奖界面.swf"));
        QVERIFY(QDir().mkpath(QFileInfo(path).path()));
        QVERIFY(swf::writeAwardAnimation(path));
        QSignalSpy ready(m_player, &RuffleFlashPlayer::movieReady);
        m_player->setMovie(path);
        m_player->play();
        QTRY_VERIFY_WITH_TIMEOUT(ready.count() == 1, kStartTimeout);
        // Gold on dark red, and moving.
        const auto goldOnRed = [](const QImage &image) {
            int gold = 0, red = 0;
            for (int y = 0; y < image.height(); y += 4) {
                for (int x = 0; x < image.width(); x += 4) {
                    const QRgb c = image.pixel(x, y);
                    gold += qRed(c) > 200 && qGreen(c) > 150 && qBlue(c) < 140;
                    red += qRed(c) > 60 && qRed(c) < 140 && qGreen(c) < 30 && qBlue(c) < 40;
                }
            }
            return gold > 20 && red > 200;
        };
        QTRY_VERIFY_WITH_TIMEOUT(goldOnRed(shot(m_player)), kTimeout);
        const QImage before = shot(m_player);
        QTRY_VERIFY_WITH_TIMEOUT(shot(m_player) != before, kTimeout);
    }
};

int main(int argc, char **argv)
{
    prepareFlashEnvironment();
    QApplication application(argc, argv);
    FlashPlayerTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_flash_player.moc"
