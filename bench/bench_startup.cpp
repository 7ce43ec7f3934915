// Start-up to the painted main menu, against a bare window started the same way, and the resident memory
// once start-up is done. Each is run as a fresh process several times; the medians are compared.
#include "app/application.h"
#include "app/real_services.h"
#include "app/tfrm_main.h"
#include "program_folder.h"
#include "ui/shadow_label.h"
#include "bench_timing.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QScreen>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <functional>
#include <cstdio>

namespace {

long residentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

// Nanoseconds on the machine's steady clock, the same in every process.
qint64 steadyNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Reports the time from the launch to the end of the first paint of the main menu (or the bare window),
// and the memory once start-up is done, and ends the process; its teardown is not counted.
class FirstPaint : public QObject {
public:
    FirstPaint(QWidget *window, std::function<bool()> done) : m_done(std::move(done)) { window->installEventFilter(this); }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && m_ms < 0) {
            QTimer::singleShot(0, this, [this] {
                m_ms = double(steadyNs() - qgetenv("QUELMORA_BENCH_LAUNCH_NS").toLongLong()) / 1e6;
                report();
            });
        }
        return false;
    }

private:
    void report()
    {
        if (!m_done()) {
            QTimer::singleShot(0, this, [this] { report(); });
            return;
        }
        std::printf("painted %ld %.3f\n", residentKb(), m_ms);
        std::fflush(stdout);
        QCoreApplication::exit(0);
    }

    std::function<bool()> m_done;
    double m_ms = -1;
};

int child(int argc, char **argv, bool full)
{
    // As the program starts, reading the font configuration from the first moment.
    if (full)
        beginFontConfiguration();
    QApplication app(argc, argv);
    if (!full) {
        // A bare window filling the display, as the stage and its bars fill it.
        QWidget window(nullptr, Qt::Window | Qt::FramelessWindowHint);
        window.setGeometry(QGuiApplication::primaryScreen()->geometry());
        FirstPaint probe(&window, [] { return true; });
        window.show();
        return app.exec();
    }
    prepareApplication();
    RealServices services;
    Application quelmora(qEnvironmentVariable("QUELMORA_HOME"), services.services(),
                         [&services](AppContext &context) { services.attach(context); });
    Tfrm_main *menu = quelmora.mainMenu();
    FirstPaint probe(menu, [&] { return quelmora.started() && !menu->databasePending(); });
    menu->show();
    const int status = app.exec();
    services.detach();
    return status;
}

struct Run {
    double ms;
    long kb;
};

Run runChild(const QString &self, const QString &mode)
{
    QProcess p;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QUELMORA_BENCH_LAUNCH_NS"), QString::number(steadyNs()));
    p.setProcessEnvironment(environment);
    p.start(self, {mode});
    p.waitForFinished(60000);
    const QList<QByteArray> words = p.readAllStandardOutput().trimmed().split(' ');
    if (words.value(0) != "painted")
        return {-1, -1};
    return {words.value(2).toDouble(), words.value(1).toLong()};
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    if (argc > 1 && qstrcmp(argv[1], "bare") == 0)
        return child(argc, argv, false);
    if (argc > 1 && qstrcmp(argv[1], "app") == 0)
        return child(argc, argv, true);

    QCoreApplication app(argc, argv);
    // The program folder is made once here, so its making is not counted.
    TestProgramFolder folder;
    bench::useStageDisplay();
    qputenv("QUELMORA_HOME", folder.path().toLocal8Bit());
    const QString self = QCoreApplication::applicationFilePath();
    const int rounds = 15;
    std::vector<double> bare, full;
    long kb = 0;
    runChild(self, QStringLiteral("app")); // warm the file cache for both
    for (int i = 0; i < rounds; ++i) {
        bare.push_back(runChild(self, QStringLiteral("bare")).ms);
        const Run r = runChild(self, QStringLiteral("app"));
        full.push_back(r.ms);
        kb = std::max(kb, r.kb);
    }
    const double b = median(bare), f = median(full);
    std::printf("bare window to first paint:  %.1f ms (median of %d)\n", b, rounds);
    std::printf("main menu to first paint:    %.1f ms (median of %d)\n", f, rounds);
    std::printf("ratio:                       %.2f (goal at most 1.5)\n", f / b);
    std::printf("resident memory after start: %.1f MB (goal at most 80)\n", double(kb) / 1024.0);
    return 0;
}
