// The program folder generator: every default file is laid and readable, the demo contest is complete, and
// a second run leaves existing files alone.
#include "demo_contest.h"
#include "generator.h"
#include "media/asset_paths.h"
#include "settings/ini_file.h"
#include "settings/settings_keys.h"
#include "test_app.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QFile>
#include <QImageReader>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QtEndian>

#include <algorithm>

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

// Relative path -> SHA-1 of every file under `folder`.
QMap<QString, QByteArray> fingerprints(const QString &folder)
{
    QMap<QString, QByteArray> result;
    QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
    const QDir root(folder);
    while (it.hasNext()) {
        const QString path = it.next();
        result.insert(root.relativeFilePath(path), QCryptographicHash::hash(readAll(path), QCryptographicHash::Sha1));
    }
    return result;
}

} // namespace

class AssetGeneratorTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    assetgen::Options m_options;
    assetgen::Outcome m_first;

    QString file(const QString &relative) const { return m_dir.filePath(relative); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_options = {m_dir.path(), schemaPath(), assetgen::findLame()};
        m_first = assetgen::layProgramFolder(m_options);
    }

    void laysEveryFolderAndFile()
    {
        for (const QString &folder : assetgen::plannedFolders())
            QVERIFY2(QDir(file(folder)).exists(), qPrintable(folder));
        const QStringList planned = assetgen::plannedFiles(!m_options.lame.isEmpty());
        for (const QString &relative : planned)
            QVERIFY2(QFileInfo(file(relative)).size() > 0, qPrintable(relative));
        QCOMPARE(QSet<QString>(m_first.written.begin(), m_first.written.end()),
                 QSet<QString>(planned.begin(), planned.end()));
        QVERIFY(assetgen::missingFiles(m_options).isEmpty());
    }

    void picturesDecodeAtTheirSize_data()
    {
        QTest::addColumn<QString>("relative");
        QTest::addColumn<QByteArray>("format");
        QTest::addColumn<QSize>("size");
        const QSize stage(1024, 768);
        using namespace assets;
        // Backgrounds at twice the stage size, sharp on a scaled stage.
        for (const QString &relative :
             {kHubBackground, kScoringBackground, roundBackground(1), roundBackground(4), kLeaderboardBackground,
              kCountdownBackground, kStillBackground, kSloganBackground, kBoardBackground, kChoiceBackground,
              kAnswerBackground, kMediaBackground, kEntryChoicePage, kEntryAnswerPage})
            QTest::newRow(qPrintable(relative)) << relative << QByteArray("jpeg") << stage * 2;
        QTest::newRow("matching background") << kMatchingBackground << QByteArray("bmp") << stage;
        QTest::newRow("matching surface") << kMatchingSurface << QByteArray("bmp") << stage;
        QTest::newRow("tile") << kTilePicture << QByteArray("gif") << QSize(170, 115);
        QTest::newRow("contestant photo") << kContestantPhotos + QStringLiteral("选手08.jpg") << QByteArray("jpeg")
                                          << QSize(304, 302);
        QTest::newRow("judge photo") << kJudgePhotos + QStringLiteral("评委5.jpg") << QByteArray("jpeg") << QSize(135, 169);
    }
    void picturesDecodeAtTheirSize()
    {
        QFETCH(QString, relative);
        QFETCH(QByteArray, format);
        QFETCH(QSize, size);
        QImageReader reader(file(relative));
        QCOMPARE(reader.format(), format);
        const QImage image = reader.read();
        QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
        QCOMPARE(image.size(), size);
    }

    void tileHasTransparentCornersAndAnOpaqueFace()
    {
        const QImage tile(file(assets::kTilePicture));
        QCOMPARE(qAlpha(tile.pixel(0, 0)), 0);
        QCOMPARE(qAlpha(tile.pixel(169, 114)), 0);
        QCOMPARE(qAlpha(tile.pixel(85, 57)), 255);
    }

    void matchingSurfaceIsLightWhereLinesAreDrawn()
    {
        // The red pair lines run between the number marks (x 391..631, y 282..608).
        const QImage surface(file(assets::kMatchingSurface));
        for (int y = 282; y <= 608; y += 13)
            for (int x = 420; x <= 600; x += 30)
                QVERIFY2(qGray(surface.pixel(x, y)) > 200, qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
    }

    void soundsAreSaneWaves_data()
    {
        QTest::addColumn<QString>("relative");
        QTest::addColumn<double>("shortest");
        QTest::addColumn<double>("longest");
        QTest::newRow("tick") << assets::kTickSound << 0.03 << 0.3;
        QTest::newRow("time up") << assets::kTimeUpSound << 1.0 << 2.5;
    }
    void soundsAreSaneWaves()
    {
        QFETCH(QString, relative);
        QFETCH(double, shortest);
        QFETCH(double, longest);
        const QByteArray wav = readAll(file(relative));
        QVERIFY(wav.size() > 44);
        const auto *bytes = reinterpret_cast<const uchar *>(wav.constData());
        QCOMPARE(wav.left(4), QByteArray("RIFF"));
        QCOMPARE(qFromLittleEndian<quint32>(bytes + 4), quint32(wav.size() - 8));
        QCOMPARE(wav.mid(8, 8), QByteArray("WAVEfmt "));
        QCOMPARE(qFromLittleEndian<quint16>(bytes + 20), quint16(1)); // PCM
        const quint16 channels = qFromLittleEndian<quint16>(bytes + 22);
        const quint32 rate = qFromLittleEndian<quint32>(bytes + 24);
        const quint16 bits = qFromLittleEndian<quint16>(bytes + 34);
        QVERIFY(channels == 1 || channels == 2);
        QVERIFY(rate >= 8000 && rate <= 48000);
        QVERIFY(bits == 16);
        QCOMPARE(wav.mid(36, 4), QByteArray("data"));
        const quint32 data = qFromLittleEndian<quint32>(bytes + 40);
        QCOMPARE(data, quint32(wav.size() - 44));
        const double seconds = double(data) / (rate * channels * bits / 8);
        QVERIFY2(seconds >= shortest && seconds <= longest, qPrintable(QString::number(seconds)));
        // Not silent.
        qint16 loudest = 0;
        for (quint32 i = 0; i + 1 < data; i += 2)
            loudest = std::max<qint16>(loudest, qAbs(qFromLittleEndian<qint16>(bytes + 44 + i)));
        QVERIFY(loudest > 8000);
    }

    void musicIsEncodedWhenTheEncoderExists()
    {
        if (m_options.lame.isEmpty())
            QSKIP("lame is not installed");
        const QString award = IniFile(file(QStringLiteral("config/config.ini"))).read(keys::kSounds, keys::kAwardMusic);
        QStringList tracks{assets::kSounds + award};
        for (QChar key : {QLatin1Char('A'), QLatin1Char('S'), QLatin1Char('D'), QLatin1Char('F')})
            tracks << assets::backgroundTrack(key);
        QSet<QByteArray> distinct;
        for (const QString &relative : tracks) {
            const QByteArray mp3 = readAll(file(relative));
            // 128 kbit/s: 20 s or more is over 300 kB.
            QVERIFY2(mp3.size() > 300000, qPrintable(relative));
            const bool tagged = mp3.startsWith("ID3");
            const bool frame = uchar(mp3[0]) == 0xFF && (uchar(mp3[1]) & 0xE0) == 0xE0;
            QVERIFY2(tagged || frame, qPrintable(relative));
            distinct.insert(QCryptographicHash::hash(mp3, QCryptographicHash::Sha1));
        }
        QCOMPARE(distinct.size(), tracks.size());
    }

    void databaseHoldsTheSchemaAndTheDemoRoster()
    {
        const QString name = QStringLiteral("tst_assets");
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            db.setDatabaseName(file(assets::kDatabaseFile));
            QVERIFY(db.open());
            const QStringList tables = db.tables();
            for (const char *table : {"tiku", "xsb", "pwdf", "pwdf_bak", "djs"})
                QVERIFY2(tables.contains(QLatin1String(table)), table);
            QSqlQuery q(db);
            QVERIFY(q.exec(QStringLiteral("select bh, xm, fz, zppath from xsb order by bh")));
            int expected = 0;
            while (q.next()) {
                QCOMPARE(q.value(0).toInt(), ++expected);
                QVERIFY(!q.value(1).toString().trimmed().isEmpty());
                QVERIFY(!q.value(2).toString().trimmed().isEmpty());
                QVERIFY2(QFileInfo::exists(file(assets::kContestantPhotos + q.value(3).toString())),
                         qPrintable(q.value(3).toString()));
            }
            QCOMPARE(expected, 8);
            // No score yet; the question bank holds the demo questions (their own test: tst_demo_bank).
            for (const char *table : {"pwdf", "pwdf_bak"}) {
                QVERIFY(q.exec(QStringLiteral("select count(*) from ") + QLatin1String(table)));
                QVERIFY(q.next());
                QCOMPARE(q.value(0).toInt(), 0);
            }
        }
        QSqlDatabase::removeDatabase(name);
    }

    void settingsReadBackInGbk()
    {
        const QString path = file(QStringLiteral("config/config.ini"));
        const IniFile ini(path);
        const QList<assetgen::demo::Person> judges = assetgen::demo::judges();
        QCOMPARE(ini.read(keys::kJudges, keys::kJudgeCount), QString::number(judges.size()));
        for (int k = 1; k <= judges.size(); ++k) {
            QCOMPARE(ini.read(keys::kJudges, keys::judgeName(k)), judges[k - 1].name);
            const QString photo = ini.read(keys::kJudges, keys::judgePhoto(k));
            QVERIFY2(QFileInfo::exists(file(assets::kJudgePhotos + photo)), qPrintable(photo));
        }
        // The bytes on disk are GBK, not UTF-8.
        QStringEncoder gbk("GBK");
        QVERIFY(readAll(path).contains(QByteArray(gbk(judges[0].name))));
        QCOMPARE(ini.read(keys::kContest, keys::kContestantCount), QStringLiteral("8"));
        QCOMPARE(ini.read(keys::kQuiz, keys::kTileCount), QStringLiteral("8"));
    }

    void lotteryListIsGbkOneSeatALine()
    {
        QStringDecoder decode("GBK");
        const QString text = decode(readAll(file(assets::kLotteryList)));
        QVERIFY(!decode.hasError());
        const QStringList names = text.split(QRegularExpression(QStringLiteral("\r?\n")), Qt::SkipEmptyParts);
        QVERIFY(names.size() >= 30);
        for (const QString &seat : names)
            QVERIFY2(QRegularExpression(QStringLiteral("^\\d+排\\d+号$")).match(seat).hasMatch(), qPrintable(seat));
        QCOMPARE(QSet<QString>(names.begin(), names.end()).size(), names.size());
    }

    void secondRunKeepsExistingFilesAndRestoresMissingOnes()
    {
        // The organiser replaced a background, renamed a judge, and lost the tile picture.
        const QString hub = file(assets::kHubBackground);
        QFile::remove(hub);
        QImage own(64, 48, QImage::Format_RGB32);
        own.fill(Qt::darkGreen);
        QVERIFY(own.save(hub, "JPG"));
        IniFile(file(QStringLiteral("config/config.ini"))).write(keys::kJudges, keys::judgeName(1), QStringLiteral("欧阳明"));
        QVERIFY(QFile::remove(file(assets::kTilePicture)));
        const QMap<QString, QByteArray> before = fingerprints(m_dir.path());

        const assetgen::Outcome second = assetgen::layProgramFolder(m_options);
        QCOMPARE(second.written, QStringList{assets::kTilePicture});
        QMap<QString, QByteArray> after = fingerprints(m_dir.path());
        QVERIFY(after.remove(assets::kTilePicture) == 1);
        QCOMPARE(after, before);
        QCOMPARE(QImageReader(hub).size(), QSize(64, 48));
        QCOMPARE(IniFile(file(QStringLiteral("config/config.ini"))).read(keys::kJudges, keys::judgeName(1)),
                 QStringLiteral("欧阳明"));
    }
};

QUELMORA_TEST_MAIN(AssetGeneratorTest)

#include "tst_assets.moc"
