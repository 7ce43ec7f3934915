#pragma once
// Timing for the benchmarks: wall and thread CPU time of repeated runs, summarised as median and worst.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <time.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace bench {

// The benchmarks run on the offscreen platform with a 1024 x 768 display, the stage's own size (the platform's
// own display is 800 x 600), unless QT_QPA_PLATFORM names another. Call before the application object.
inline void useStageDisplay()
{
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        return;
    const QString screen = QDir::temp().filePath(QStringLiteral("quelmora-bench-1024x768.json"));
    QFile file(screen);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(R"({"screens": [{"name": "stage", "x": 0, "y": 0, "width": 1024, "height": 768}]})");
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + screen.toLocal8Bit());
}

inline double threadCpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

struct Figures {
    double median = 0;
    double worst = 0;
    double cpuMedian = 0;
};

// Times `body` `runs` times after one warm-up run (statement cache, fonts, pictures); `between` runs
// untimed after each run.
inline Figures measure(int runs, const std::function<void()> &body, const std::function<void()> &between = {})
{
    std::vector<double> wall, cpu;
    body();
    if (between)
        between();
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        const double c = threadCpuMs();
        t.start();
        body();
        wall.push_back(double(t.nsecsElapsed()) / 1e6);
        cpu.push_back(threadCpuMs() - c);
        if (between)
            between();
    }
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    return {wall[wall.size() / 2], wall.back(), cpu[cpu.size() / 2]};
}

inline void print(const char *what, const Figures &f)
{
    std::printf("  %-50s median %8.3f ms  worst %8.3f ms  (cpu median %7.3f ms)\n", what, f.median, f.worst, f.cpuMedian);
}

} // namespace bench
