// A test-only harness for the browser test of the judge's page: runs the judges' server on loopback with
// three judges and a fixed performance, prints the seats' join addresses and every score that arrives, and
// takes commands on standard input ("perf <round> <position>", "confirm <v1,v2,...>", "stop", "start",
// "reset <seat>" (which prints the seat's new join address), "quit"). The program itself never prints a join address.
#include "judging/judge_server.h"
#include "settings/settings_files.h"
#include "settings/settings_keys.h"

#include <QCoreApplication>
#include <QDir>
#include <QSocketNotifier>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>
#include <unistd.h>

namespace {
void say(const QString &line)
{
    std::printf("%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

judging::Performance performance(int round, int position)
{
    judging::Performance p;
    p.round = round;
    p.position = position;
    p.number = QString::number(position);
    p.name = QStringLiteral("选手%1").arg(position);
    p.judges = 3;
    p.lowest = 5;
    p.highest = 10;
    p.decimals = 2;
    return p;
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir folder;
    QDir(folder.path()).mkpath(QStringLiteral("config"));
    const SettingsFiles settings(folder.path() + QLatin1Char('/'));
    const QStringList names{QStringLiteral("王老师"), QStringLiteral("李教授"), QStringLiteral("陈主任")};
    for (int j = 1; j <= 3; ++j)
        settings.write(keys::kJudges, keys::judgeName(j), names.at(j - 1));

    judging::JudgeServer server;
    server.attach(&settings, nullptr);
    QObject::connect(&server, &judging::JudgeLink::scoreArrived, [](int seat, const QString &value) {
        say(QStringLiteral("score %1 %2").arg(seat).arg(value));
    });
    QObject::connect(&server, &judging::JudgeLink::seatsChanged, [&server] {
        QString states;
        for (int s = 1; s <= 3; ++s)
            states += QString::number(int(server.seat(s).state));
        say(QStringLiteral("seats ") + states);
    });
    QString error;
    if (!server.start(QStringLiteral("127.0.0.1"), 0, &error)) {
        say(QStringLiteral("error ") + error);
        return 1;
    }
    const quint16 port = server.port();
    server.setPerformance(performance(1, 1));
    say(QStringLiteral("port %1").arg(port));
    for (int s = 1; s <= 3; ++s)
        say(QStringLiteral("url %1 %2").arg(s).arg(server.joinUrl(s)));
    say(QStringLiteral("ready"));

    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char buffer[4096];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer - 1);
        if (n <= 0) {
            app.quit();
            return;
        }
        const QStringList lines = QString::fromUtf8(buffer, int(n)).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        for (const QString &line : lines) {
            const QStringList w = line.trimmed().split(QLatin1Char(' '), Qt::SkipEmptyParts);
            if (w.isEmpty())
                continue;
            if (w[0] == QLatin1String("perf") && w.size() == 3) {
                server.setPerformance(performance(w[1].toInt(), w[2].toInt()));
            } else if (w[0] == QLatin1String("confirm") && w.size() == 2) {
                server.confirm(w[1].split(QLatin1Char(',')));
            } else if (w[0] == QLatin1String("stop")) {
                server.stop();
            } else if (w[0] == QLatin1String("start")) {
                if (!server.start(QStringLiteral("127.0.0.1"), port, &error))
                    say(QStringLiteral("error ") + error);
            } else if (w[0] == QLatin1String("reset") && w.size() == 2) {
                server.resetSeat(w[1].toInt());
                say(QStringLiteral("url %1 %2").arg(w[1].toInt()).arg(server.joinUrl(w[1].toInt())));
            } else if (w[0] == QLatin1String("quit")) {
                app.quit();
            }
            say(QStringLiteral("done ") + w[0]);
        }
    });
    return app.exec();
}
