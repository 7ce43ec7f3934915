// quelmora_slides PROGRAM_FOLDER WORK_FOLDER: makes the demo slide shows that are missing from a program
// folder (the judges' introduction and the demo contestants' profiles). Each is written as a flat
// OpenDocument presentation and converted to ".ppt" by the office program, headless. Without the office
// program, or when a conversion fails, it says so and leaves the file out: the build goes on.
#include "demo_contest.h"
#include "media/asset_paths.h"
#include "slides.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#include <cstdio>
#include <functional>
#include <unistd.h>

namespace {

void say(const QString &text)
{
    std::fprintf(stdout, "quelmora_slides: %s\n", text.toUtf8().constData());
    std::fflush(stdout);
}

struct Show {
    QString relative;
    std::function<QList<assetgen::slides::Slide>()> make;
};

QList<Show> shows()
{
    QList<Show> list{{assets::kJudgeIntroShow, assetgen::slides::judgesIntroduction}};
    const QList<assetgen::demo::Person> contestants = assetgen::demo::contestants();
    for (int i = 0; i < contestants.size(); ++i)
        if (!contestants[i].profile.isEmpty())
            list << Show{assets::kContestantProfiles + contestants[i].profile,
                         [i] { return assetgen::slides::contestantProfile(i); }};
    return list;
}

// Writes the presentation and converts it; returns an empty text on success, else what went wrong.
QString make(const Show &show, const QString &target, const QString &office, const QDir &work)
{
    const QString base = QFileInfo(target).completeBaseName();
    const QString source = work.filePath(base + QStringLiteral(".fodp"));
    QFile file(source);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(assetgen::slides::flatPresentation(show.make())) < 0)
        return QStringLiteral("cannot write %1").arg(source);
    file.close();

    const QString out = work.filePath(QStringLiteral("out"));
    const QString converted = out + QLatin1Char('/') + base + QStringLiteral(".ppt");
    QFile::remove(converted);
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(office, {QStringLiteral("-env:UserInstallation=")
                               + QUrl::fromLocalFile(work.filePath(QStringLiteral("office-profile"))).toString(),
                           QStringLiteral("--headless"), QStringLiteral("--norestore"), QStringLiteral("--convert-to"),
                           QStringLiteral("ppt"), QStringLiteral("--outdir"), out, source});
    if (!process.waitForFinished(180000)) {
        process.kill();
        process.waitForFinished();
        return QStringLiteral("the office program did not finish converting %1").arg(source);
    }
    if (!QFileInfo(converted).isFile())
        return QStringLiteral("the office program made no %1: %2").arg(converted, QString::fromLocal8Bit(process.readAll()).trimmed());

    // Moved into place only when complete, so a broken build never leaves half a file behind.
    const QString building = target + QStringLiteral(".building");
    QFile::remove(building);
    if (!QDir().mkpath(QFileInfo(target).absolutePath()) || !QFile::copy(converted, building)
        || !QFile::rename(building, target)) {
        QFile::remove(building);
        return QStringLiteral("cannot write %1").arg(target);
    }
    return {};
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: quelmora_slides PROGRAM_FOLDER WORK_FOLDER\n");
        return 2;
    }
    const AssetPaths paths(QString::fromLocal8Bit(argv[1]));
    QList<Show> missing;
    for (const Show &show : shows())
        if (!QFileInfo::exists(paths.file(show.relative)))
            missing << show;
    if (missing.isEmpty())
        return 0;

    QStringList names;
    for (const Show &show : missing)
        names << show.relative;
    const QString office = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (office.isEmpty()) {
        say(QStringLiteral("warning: LibreOffice (soffice) was not found, so the demo slide shows are left out: ")
            + names.join(QStringLiteral(", ")));
        return 0;
    }

    // The backgrounds are drawn with the GUI module's fonts; the build machine may have no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QString runtime = QDir::temp().filePath(QStringLiteral("quelmora-assetgen-%1").arg(getuid()));
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
    }
    QGuiApplication app(argc, argv);
    const QDir work(QString::fromLocal8Bit(argv[2]));
    if (!QDir().mkpath(work.path())) {
        say(QStringLiteral("warning: cannot create %1; the demo slide shows are left out").arg(work.path()));
        return 0;
    }
    for (const Show &show : missing) {
        const QString problem = make(show, paths.file(show.relative), office, work);
        if (problem.isEmpty())
            say(QStringLiteral("made %1").arg(show.relative));
        else
            say(QStringLiteral("warning: %1 is left out: %2").arg(show.relative, problem));
    }
    return 0;
}
