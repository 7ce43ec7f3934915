// Writes to the settings files against a baseline in the same run: the start-up reset of 500 team
// scores and a save of 100 keys, each against the write of one key. Goal: the reset in at most
// 100 ms, the save in at most 50 ms, however slow the disk's sync is.
#include "settings/ini_file.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kRuns = 21;
constexpr int kTeams = 500;
constexpr int kKeys = 100;

void put(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
}

// The median wall time of `body` in ms; `before` restores the file untimed before each run.
double measure(const std::function<void()> &before, const std::function<void()> &body)
{
    std::vector<double> ms;
    for (int i = 0; i < kRuns; ++i) {
        before();
        QElapsedTimer t;
        t.start();
        body();
        ms.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    QTemporaryDir dir;
    const QString scores = dir.filePath(QStringLiteral("fenshu.ini"));
    const QString config = dir.filePath(QStringLiteral("config.ini"));
    QStringEncoder gbk("GBK");

    // A show's team scores, all different from the "0" the reset writes.
    QString scoreText = QStringLiteral("[得分]\r\n");
    QList<IniFile::Entry> reset;
    for (int i = 1; i <= kTeams; ++i) {
        scoreText += QStringLiteral("%1=%2\r\n").arg(i).arg(i * 10);
        reset.append({QStringLiteral("得分"), QString::number(i), QStringLiteral("0")});
    }
    const QByteArray scoreBytes = gbk(scoreText);

    // A settings file of four sections of 25 keys; the save changes every value.
    QString configText;
    QList<IniFile::Entry> save;
    for (int s = 1; s <= 4; ++s) {
        configText += QStringLiteral("[设置%1]\r\n").arg(s);
        for (int k = 1; k <= kKeys / 4; ++k) {
            configText += QStringLiteral("%1号键=旧值%1\r\n").arg(k);
            save.append({QStringLiteral("设置%1").arg(s), QStringLiteral("%1号键").arg(k), QStringLiteral("新值%1").arg(k)});
        }
    }
    const QByteArray configBytes = gbk(configText);

    const double one = measure([&] { put(config, configBytes); },
                               [&] { IniFile(config).write(QStringLiteral("设置1"), QStringLiteral("1号键"), QStringLiteral("x")); });
    const double teams = measure([&] { put(scores, scoreBytes); }, [&] { IniFile(scores).writeAll(reset); });
    const double keys = measure([&] { put(config, configBytes); }, [&] { IniFile(config).writeAll(save); });

    const bool right = IniFile(scores).read(QStringLiteral("得分"), QString::number(kTeams), QStringLiteral("?")) ==
                           QStringLiteral("0") &&
                       IniFile(config).read(QStringLiteral("设置4"), QStringLiteral("25号键")) == QStringLiteral("新值25");
    std::printf("Settings writes, median of %d runs:\n", kRuns);
    std::printf("  %-36s %8.3f ms\n", "baseline: one key", one);
    std::printf("  %-36s %8.3f ms  (%.1f x one key)\n", "reset of 500 team scores", teams, teams / one);
    std::printf("  %-36s %8.3f ms  (%.1f x one key)\n", "save of 100 keys in 4 sections", keys, keys / one);
    const bool fast = teams <= 100.0 && keys <= 50.0;
    std::printf("goal 100 ms and 50 ms: %s%s\n", fast ? "met" : "MISSED", right ? "" : " (the values were not stored)");
    return fast && right ? 0 : 1;
}
