// quelmora_assetgen PROGRAM_FOLDER SCHEMA: lays the missing default content into a program folder.
// Run at every build; when nothing is missing it returns at once without starting the GUI machinery.
#include "generator.h"
#include "settings/app_error.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>

#include <cstdio>
#include <unistd.h>

namespace {

void say(const QString &text)
{
    std::fprintf(stdout, "quelmora_assetgen: %s\n", text.toUtf8().constData());
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: quelmora_assetgen PROGRAM_FOLDER SCHEMA\n");
        return 2;
    }
    assetgen::Options options;
    options.programFolder = QString::fromLocal8Bit(argv[1]);
    options.schemaPath = QString::fromLocal8Bit(argv[2]);
    options.lame = assetgen::findLame();

    const QDir root(options.programFolder);
    bool foldersPresent = true;
    for (const QString &folder : assetgen::plannedFolders())
        foldersPresent = foldersPresent && root.exists(folder);
    if (foldersPresent && assetgen::missingFiles(options).isEmpty()) {
        if (options.lame.isEmpty()) {
            QStringList skipped;
            for (const QString &relative : assetgen::plannedFiles(true))
                if (!assetgen::plannedFiles(false).contains(relative) && !root.exists(relative))
                    skipped << relative;
            if (!skipped.isEmpty())
                say(QStringLiteral("warning: ") + assetgen::lameMissingNote(skipped));
        }
        return 0;
    }

    // Text is drawn with the GUI module's fonts; the build machine may have no display, nor a session.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QString runtime = QDir::temp().filePath(QStringLiteral("quelmora-assetgen-%1").arg(getuid()));
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
    }
    QGuiApplication app(argc, argv);
    QElapsedTimer timer;
    timer.start();
    try {
        const assetgen::Outcome outcome = assetgen::layProgramFolder(options);
        for (const QString &note : outcome.notes)
            say(QStringLiteral("warning: ") + note);
        if (!outcome.written.isEmpty())
            say(QStringLiteral("laid %1 files into %2 in %3 s")
                    .arg(outcome.written.size())
                    .arg(QDir::toNativeSeparators(options.programFolder))
                    .arg(timer.elapsed() / 1000.0, 0, 'f', 1));
    } catch (const AppError &error) {
        std::fprintf(stderr, "quelmora_assetgen: error: %s\n", error.message().toUtf8().constData());
        return 1;
    }
    return 0;
}
