#include "generator.h"

#include "backgrounds.h"
#include "demo_contest.h"
#include "demo_questions.h"
#include "gif_writer.h"
#include "media/asset_paths.h"
#include "music.h"
#include "portraits.h"
#include "settings/app_error.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <functional>
#include <memory>

namespace assetgen {

namespace {

const QString kSettingsFile = QStringLiteral("config/config.ini");
const QString kAwardMusicFile = QStringLiteral("音效/颁奖音乐.mp3");

enum class Kind { Bytes, Database, Settings, Mp3 };

struct Item {
    QString relative;
    Kind kind;
    std::function<QByteArray()> bytes;     // Kind::Bytes
    std::function<synth::Buffer()> sound;  // Kind::Mp3
};

QByteArray encoded(const QImage &image, const char *format, int quality = -1)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, format, quality))
        throw AppError(QStringLiteral("Cannot encode a %1 picture").arg(QLatin1String(format)));
    return bytes;
}

QByteArray jpeg(const QImage &image)
{
    return encoded(image.convertToFormat(QImage::Format_RGB32), "JPG", 92);
}

QByteArray bmp(const QImage &image)
{
    return encoded(image.convertToFormat(QImage::Format_RGB888), "BMP");
}

Item picture(const QString &relative, std::function<QImage()> draw)
{
    const bool isBmp = relative.endsWith(QLatin1String(".bmp"));
    return {relative, Kind::Bytes, [draw, isBmp] { return isBmp ? bmp(draw()) : jpeg(draw()); }, {}};
}

QList<Item> items()
{
    using namespace assets;
    QList<Item> list;
    list << picture(kHubBackground, art::hub) << picture(kScoringBackground, [] { return art::scoring(0); });
    for (int round = 1; round <= 4; ++round)
        list << picture(roundBackground(round), [round] { return art::scoring(round); });
    list << picture(kLeaderboardBackground, art::leaderboard) << picture(kCountdownBackground, art::countdown)
         << picture(kStillBackground, art::still) << picture(kSloganBackground, art::slogan)
         << picture(kBoardBackground, art::board) << picture(kChoiceBackground, art::choice)
         << picture(kAnswerBackground, art::answer) << picture(kMatchingBackground, art::matching)
         << picture(kMediaBackground, art::media) << picture(kMatchingSurface, art::matching)
         << picture(kEntryChoicePage, art::choice) << picture(kEntryAnswerPage, art::answer);
    // The tile is shown on the board's violet ground; its soft edge is blended onto that colour.
    list << Item{kTilePicture, Kind::Bytes, [] { return encodeGif(art::tile(), QColor(36, 22, 100)); }, {}};

    const QList<demo::Person> contestants = demo::contestants();
    for (qsizetype i = 0; i < contestants.size(); ++i)
        list << picture(kContestantPhotos + contestants[i].photo,
                        [i] { return art::contestantPortrait(static_cast<int>(i)); });
    const QList<demo::Person> judges = demo::judges();
    for (qsizetype i = 0; i < judges.size(); ++i)
        list << picture(kJudgePhotos + judges[i].photo, [i] { return art::judgePortrait(static_cast<int>(i)); });

    list << Item{kTickSound, Kind::Bytes, [] { return synth::wav(music::tick()); }, {}};
    list << Item{kTimeUpSound, Kind::Bytes, [] { return synth::wav(music::timeUp()); }, {}};
    for (QChar key : {QLatin1Char('A'), QLatin1Char('S'), QLatin1Char('D'), QLatin1Char('F')})
        list << Item{backgroundTrack(key), Kind::Mp3, {}, [key] { return music::backgroundLoop(key); }};
    list << Item{kAwardMusicFile, Kind::Mp3, {}, music::awardMusic};

    for (const demo_questions::MediaFile &file : demo_questions::files())
        list << Item{file.relative, Kind::Bytes, file.bytes, {}};

    list << Item{kDatabaseFile, Kind::Database, {}, {}};
    list << Item{kSettingsFile, Kind::Settings, {}, {}};
    list << Item{kLotteryList, Kind::Bytes, demo::lotteryList, {}};
    return list;
}

QString full(const Options &options, const QString &relative)
{
    return QDir(options.programFolder).filePath(relative);
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw AppError(QStringLiteral("Unable to write to %1").arg(path));
}

// Encodes the missing MP3 files: each track is synthesised while the previous one is being encoded.
void encodeMp3s(const Options &options, const QList<Item> &tracks, Outcome &outcome)
{
    if (tracks.isEmpty())
        return;
    // Work files beside the targets, so the finished file is moved into place on the same file system.
    QTemporaryDir work(QDir(options.programFolder).filePath(QStringLiteral(".assetgen-XXXXXX")));
    if (!work.isValid())
        throw AppError(QStringLiteral("Unable to write to %1").arg(options.programFolder));
    struct Job {
        QString relative;
        QString output;
        std::unique_ptr<QProcess> process;
    };
    std::vector<Job> jobs;
    auto finish = [&](Job &job) {
        job.process->waitForFinished(-1);
        if (job.process->exitStatus() != QProcess::NormalExit || job.process->exitCode() != 0)
            throw AppError(QStringLiteral("lame failed on %1: %2")
                               .arg(job.relative, QString::fromLocal8Bit(job.process->readAllStandardError())));
        const QString target = full(options, job.relative);
        QFile::remove(target);
        if (!QFile::rename(job.output, target))
            throw AppError(QStringLiteral("Unable to write to %1").arg(target));
        outcome.written << job.relative;
    };
    for (qsizetype i = 0; i < tracks.size(); ++i) {
        const QString wavPath = work.filePath(QStringLiteral("track%1.wav").arg(i));
        writeFile(wavPath, synth::wav(tracks[i].sound()));
        Job job{tracks[i].relative, work.filePath(QStringLiteral("track%1.mp3").arg(i)), std::make_unique<QProcess>()};
        job.process->setProcessChannelMode(QProcess::SeparateChannels);
        job.process->start(options.lame, {QStringLiteral("--quiet"), QStringLiteral("-b"), QStringLiteral("128"),
                                          wavPath, job.output});
        if (!job.process->waitForStarted(-1))
            throw AppError(QStringLiteral("Cannot start %1").arg(options.lame));
        jobs.push_back(std::move(job));
    }
    for (Job &job : jobs)
        finish(job);
}

} // namespace

QString findLame()
{
    return QStandardPaths::findExecutable(QStringLiteral("lame"));
}

QString lameMissingNote(const QStringList &skipped)
{
    return QStringLiteral("the MP3 encoder 'lame' is not installed (Debian package lame); skipped: %1")
        .arg(skipped.join(QStringLiteral(", ")));
}

QStringList plannedFolders()
{
    using namespace assets;
    return {kConfig,          kDatabase,       kHelp,          kPictures,          kAnimations,     kSounds,
            kJudgePhotos,     kJudgeIntro,     kContestantPhotos, kContestantProfiles, kQuestionPictures,
            kAudioClips,      kFlashClips,     kVideoClips,    kAnswerPictures,    kLottery};
}

QStringList plannedFiles(bool withMp3)
{
    QStringList files;
    for (const Item &item : items())
        if (withMp3 || item.kind != Kind::Mp3)
            files << item.relative;
    return files;
}

QStringList missingFiles(const Options &options)
{
    QStringList missing;
    for (const QString &relative : plannedFiles(!options.lame.isEmpty()))
        if (!QFileInfo::exists(full(options, relative)))
            missing << relative;
    return missing;
}

Outcome layProgramFolder(const Options &options)
{
    Outcome outcome;
    const QDir root(options.programFolder);
    for (const QString &folder : plannedFolders())
        if (!root.mkpath(folder))
            throw AppError(QStringLiteral("Unable to write to %1").arg(root.filePath(folder)));

    QList<Item> tracks;
    QStringList skipped;
    for (const Item &item : items()) {
        const QString path = full(options, item.relative);
        if (QFileInfo::exists(path))
            continue;
        switch (item.kind) {
        case Kind::Bytes:
            writeFile(path, item.bytes());
            break;
        case Kind::Database:
            demo::createDatabase(path, options.schemaPath);
            break;
        case Kind::Settings:
            demo::writeSettings(path);
            break;
        case Kind::Mp3:
            if (options.lame.isEmpty())
                skipped << item.relative;
            else
                tracks << item;
            continue;
        }
        outcome.written << item.relative;
    }
    encodeMp3s(options, tracks, outcome);
    // The demo question bank goes into a database whose bank is empty, a new one or one made before it.
    demo_questions::addBankIfEmpty(full(options, assets::kDatabaseFile));
    if (!skipped.isEmpty())
        outcome.notes << lameMissingNote(skipped);
    return outcome;
}

} // namespace assetgen
