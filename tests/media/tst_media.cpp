// The asset folders and the real media and office components, each where it can run on this machine.
#include "media/asset_paths.h"
#include "media/office.h"
#include "media/qt_players.h"
#include "settings/app_error.h"
#include "test_app.h"


#include <QDataStream>
#include <QMediaPlayer>
#include <QProcess>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QtEndian>

#include <cmath>
#include <unistd.h>

namespace {

// A mono 16-bit WAV of a sine tone.
QByteArray sineWav(double seconds, int rate = 22050)
{
    const int samples = int(seconds * rate);
    QByteArray pcm;
    pcm.resize(samples * 2);
    for (int i = 0; i < samples; ++i)
        qToLittleEndian<qint16>(qint16(8000 * std::sin(2 * M_PI * 440 * i / rate)), pcm.data() + 2 * i);
    QByteArray out;
    QDataStream s(&out, QIODevice::WriteOnly);
    s.setByteOrder(QDataStream::LittleEndian);
    s.writeRawData("RIFF", 4);
    s << quint32(36 + pcm.size());
    s.writeRawData("WAVEfmt ", 8);
    s << quint32(16) << quint16(1) << quint16(1) << quint32(rate) << quint32(rate * 2) << quint16(2) << quint16(16);
    s.writeRawData("data", 4);
    s << quint32(pcm.size());
    s.writeRawData(pcm.constData(), int(pcm.size()));
    return out;
}

const QString kDemoClip = QStringLiteral(QUELMORA_PROGRAM_DIR "/多媒体素材/题目/视频题/小球.avi");

// Whether the widget shows the demo clip: its red and blue stripes.
bool seen(QWidget &page)
{
    const QImage image = page.grab().toImage();
    bool red = false, blue = false;
    for (int y = 0; y < image.height(); y += 7)
        for (int x = 0; x < image.width(); x += 7) {
            const QColor c = image.pixelColor(x, y);
            red = red || (c.red() > 200 && c.green() < 110 && c.blue() < 110);
            blue = blue || (c.blue() > 150 && c.red() < 110);
        }
    return red && blue;
}

} // namespace

class AssetPathsTest : public QObject {
    Q_OBJECT
private slots:
    void kinds_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("folder");
        const int audio = int(assets::MediaKind::Audio), flash = int(assets::MediaKind::Flash),
                  video = int(assets::MediaKind::Video), none = int(assets::MediaKind::None);
        QTest::newRow("mp3") << QStringLiteral("歌.mp3") << audio << QStringLiteral("多媒体素材/题目/音频题/");
        QTest::newRow("wma") << QStringLiteral("a.wma") << audio << QStringLiteral("多媒体素材/题目/音频题/");
        QTest::newRow("swf") << QStringLiteral("动画.swf") << flash << QStringLiteral("多媒体素材/题目/flash题/");
        QTest::newRow("mpg") << QStringLiteral("clip.mpg") << video << QStringLiteral("多媒体素材/题目/视频题/");
        QTest::newRow("mpeg with blanks") << QStringLiteral("  clip.mpeg  ") << video << QStringLiteral("多媒体素材/题目/视频题/");
        QTest::newRow("dat") << QStringLiteral("vcd.dat") << video << QStringLiteral("多媒体素材/题目/视频题/");
        QTest::newRow("upper-case MPG") << QStringLiteral("clip.MPG") << video << QStringLiteral("多媒体素材/题目/视频题/");
        QTest::newRow("upper-case MP3") << QStringLiteral("CLIP.MP3") << audio << QStringLiteral("多媒体素材/题目/音频题/");
        QTest::newRow("mixed-case swf") << QStringLiteral("Film.Swf") << flash << QStringLiteral("多媒体素材/题目/flash题/");
        QTest::newRow("unknown") << QStringLiteral("clip.mkv") << none << QString();
        QTest::newRow("no extension") << QStringLiteral("clip") << none << QString();
    }
    void kinds()
    {
        QFETCH(QString, name);
        QFETCH(int, kind);
        QFETCH(QString, folder);
        const assets::MediaKind k = assets::mediaKind(name);
        QCOMPARE(int(k), kind);
        QCOMPARE(assets::mediaFolder(k), folder);
    }

    void paths_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected"); // relative to the program folder; empty: no file
        QTest::newRow("bare name") << assets::kJudgePhotos << QStringLiteral("张三.jpg") << QStringLiteral("评委照片/张三.jpg");
        QTest::newRow("trimmed") << assets::kJudgePhotos << QStringLiteral(" 张三.jpg ") << QStringLiteral("评委照片/张三.jpg");
        QTest::newRow("empty") << assets::kJudgePhotos << QString() << QString();
        QTest::newRow("parent folder") << assets::kContestantPhotos << QStringLiteral("../config/config.ini") << QString();
        QTest::newRow("dots alone") << assets::kContestantPhotos << QStringLiteral("..") << QString();
        QTest::newRow("backslash") << assets::kContestantPhotos << QStringLiteral("a\\b.jpg") << QString();
        QTest::newRow("absolute") << assets::kContestantPhotos << QStringLiteral("/etc/passwd") << QString();
    }
    void paths()
    {
        QFETCH(QString, folder);
        QFETCH(QString, name);
        QFETCH(QString, expected);
        const AssetPaths p(QStringLiteral("/show"));
        QCOMPARE(p.named(folder, name), expected.isEmpty() ? QString() : QStringLiteral("/show/") + expected);
    }

    void leadingSeparatorNamesTheSameFile()
    {
        const AssetPaths p(QStringLiteral("/show/"));
        QCOMPARE(p.file(QStringLiteral("\\系统图片\\选题框.gif")), QStringLiteral("/show/系统图片/选题框.gif"));
        QCOMPARE(p.file(QStringLiteral("系统图片/选题框.gif")), QStringLiteral("/show/系统图片/选题框.gif"));
        QCOMPARE(assets::roundBackground(2), QStringLiteral("系统图片/评分背景图第二轮.jpg"));
        QCOMPARE(assets::backgroundTrack(QLatin1Char('S')), QStringLiteral("音效/背景音乐_S.mp3"));
    }
};

class PlayerTest : public QObject {
    Q_OBJECT
private slots:
    void missingFileIsAnError()
    {
        FakeDialogs dialogs;
        AppOutputVolume volume;
        QtMediaPlayer player(dialogs, volume, nullptr);
        player.setFileName(QStringLiteral("/nonexistent/时间到.wav"));
        try {
            player.open();
            QFAIL("open should fail");
        } catch (const AppError &e) {
            QVERIFY(e.message().contains(QStringLiteral("/nonexistent/时间到.wav")));
        }
        QVERIFY_THROWS_EXCEPTION(AppError, player.play());
        QVERIFY(!player.isPlaying());
    }

    void generatedSoundPlaysToItsEnd()
    {
        TestProgramFolder folder(false);
        folder.writeBytes(QStringLiteral("音效/时间到.wav"), sineWav(0.4));
        FakeDialogs dialogs;
        AppOutputVolume volume;
        QtMediaPlayer player(dialogs, volume, nullptr);
        player.setFileName(folder.file(QStringLiteral("音效/时间到.wav")));
        player.open();
        player.play();
        QTRY_VERIFY_WITH_TIMEOUT(player.player()->mediaStatus() == QMediaPlayer::EndOfMedia
                                     || player.player()->error() != QMediaPlayer::NoError,
                                 15000);
        QCOMPARE(player.player()->error(), QMediaPlayer::NoError);
        QVERIFY(dialogs.errors.isEmpty());
    }

    // The video area shows while a clip is open and goes when the player closes, so the page beneath
    // is seen again.
    void closingTakesTheVideoAway()
    {
        FakeDialogs dialogs;
        AppOutputVolume volume;
        QtMediaPlayer player(dialogs, volume, nullptr);
        QWidget page;
        page.resize(400, 300);
        page.show();
        player.setDisplay(&page, QRect(0, 50, 400, 250));
        auto *video = page.findChild<QWidget *>(QStringLiteral("Media_video"));
        QVERIFY(video && video->isVisible());
        QCOMPARE(video->geometry(), QRect(0, 50, 400, 250));
        player.close();
        QVERIFY(!video->isVisible());
        player.setDisplay(&page, QRect(0, 0, 400, 300));
        QVERIFY(video->isVisible());
        player.setDisplay(nullptr, {});
        QVERIFY(!video->isVisible());
    }

    // A clip shows its pictures on the page, also when it is loaded before the page's window is on the
    // display (a stored clip as the entry screen opens) and after that window was closed and opened again,
    // with a sound-only use between; a closed player shows nothing.
    void theClipIsSeenWheneverThePageOpens()
    {
        const QString clip = kDemoClip;
        QVERIFY2(QFileInfo::exists(clip), "build the program folder first");
        FakeDialogs dialogs;
        AppOutputVolume volume;
        QWidget page;
        page.resize(400, 300);
        QtMediaPlayer player(dialogs, volume, nullptr);
        for (int round = 0; round < 3; ++round) {
            player.setFileName(clip);
            player.open();
            player.setDisplay(&page, QRect(0, 0, 400, 300));
            player.play();
            page.show();
            QTRY_VERIFY_WITH_TIMEOUT(seen(page), 10000);
            player.close();
            QVERIFY(!seen(page));
            page.hide();
            player.open();
            player.setDisplay(nullptr, {});
            player.play();
            player.close();
        }
        QVERIFY(dialogs.errors.isEmpty());
    }

    // The quiz's clip player shows every clip, also after its screen was closed and opened again.
    void theQuizClipIsSeenAtEveryOpening()
    {
        QVERIFY2(QFileInfo::exists(kDemoClip), "build the program folder first");
        AppOutputVolume volume;
        QWidget screen;
        screen.resize(400, 300);
        QtClipPlayer clip(volume, &screen);
        clip.widget()->setGeometry(0, 0, 400, 300);
        for (int opening = 0; opening < 3; ++opening) {
            screen.show();
            clip.setUrl(kDemoClip);
            clip.play();
            QTRY_VERIFY_WITH_TIMEOUT(seen(screen), 10000);
            clip.close();
            QVERIFY(!seen(screen));
            screen.hide();
        }
    }

    // A file that is no clip (text saved as .avi) makes the pipeline fail several times over: the operator
    // hears of it once per opening, in Chinese, with the file named and the player's own text after.
    void brokenFileIsReportedOncePerOpening()
    {
        TestProgramFolder folder(false);
        folder.writeBytes(QStringLiteral("多媒体素材/题目/视频题/坏.avi"), QByteArray("这不是视频。\nnot a clip at all\n").repeated(200));
        const QString path = folder.file(QStringLiteral("多媒体素材/题目/视频题/坏.avi"));
        FakeDialogs dialogs;
        AppOutputVolume volume;
        QWidget page;
        page.resize(400, 300);
        page.show();
        QtMediaPlayer player(dialogs, volume, nullptr);
        for (int opening = 1; opening <= 2; ++opening) {
            player.setFileName(path);
            player.open();
            player.setDisplay(&page, QRect(0, 0, 400, 300));
            player.play();
            QTRY_COMPARE_WITH_TIMEOUT(dialogs.errors.size(), opening, 15000);
            QTest::qWait(1500); // the pipeline's later errors
            QCOMPARE(dialogs.errors.size(), opening);
            const QString &text = dialogs.errors.last();
            QVERIFY2(text.startsWith(QStringLiteral("无法播放文件“坏.avi”")), qPrintable(text));
            QVERIFY(text.contains(path));
            player.close();
        }
    }

    // With a handler the screen decides: the quiz's players hand their failures over instead of a box.
    void failureGoesToTheScreensHandler()
    {
        TestProgramFolder folder(false);
        folder.writeBytes(QStringLiteral("音效/坏.wav"), QByteArray("not a sound at all", 18));
        folder.writeBytes(QStringLiteral("多媒体素材/题目/视频题/坏.mpg"), QByteArray("not a clip").repeated(300));
        FakeDialogs dialogs;
        AppOutputVolume volume;
        QStringList heard;
        auto handler = [&](const QString &path, const QString &text) { heard << QFileInfo(path).fileName() + QLatin1Char('|') + text; };

        QtMediaPlayer sound(dialogs, volume, nullptr);
        sound.onFailure(handler);
        sound.setFileName(folder.file(QStringLiteral("音效/坏.wav")));
        sound.open();
        sound.play();
        QWidget screen;
        screen.resize(400, 300);
        screen.show();
        QtClipPlayer clip(volume, &screen);
        clip.onFailure(handler);
        clip.setUrl(folder.file(QStringLiteral("多媒体素材/题目/视频题/坏.mpg")));
        clip.play();
        QTRY_COMPARE_WITH_TIMEOUT(heard.size(), 2, 15000);
        QTest::qWait(1500);
        QCOMPARE(heard.size(), 2);
        heard.sort();
        QVERIFY2(heard[0].startsWith(QStringLiteral("坏.mpg|无法播放文件“坏.mpg”")), qPrintable(heard[0]));
        QVERIFY2(heard[1].startsWith(QStringLiteral("坏.wav|无法播放文件“坏.wav”")), qPrintable(heard[1]));
        QVERIFY(dialogs.errors.isEmpty());
    }
};

class OfficeTest : public QObject {
    Q_OBJECT
private slots:
    void spreadsheetWithoutOfficeNamesTheMissingProgram()
    {
        qputenv("QUELMORA_OFFICE", "/nonexistent/soffice");
        XlsxSpreadsheet sheet;
        try {
            sheet.show(QStringLiteral("比赛评分数据资料"), {{1, 1, QStringLiteral("选手")}});
            QFAIL("the export should fail");
        } catch (const AppError &e) {
            QCOMPARE(e.message(), QStringLiteral("无法创建Xls文件，请确认是否安装EXCEL"));
        }
        qunsetenv("QUELMORA_OFFICE");
    }

    // The office programs' settings folder belongs to this user alone: nobody else can plant a profile
    // there or read what the office program keeps in it.
    void officeProfileIsPrivate()
    {
        const QString folder = officeProfileFolder();
        QVERIFY(QFileInfo(folder).isDir());
        QVERIFY(!folder.startsWith(QStringLiteral("/tmp/quelmora-office-profile")));
        QCOMPARE(QFileInfo(folder).permissions() & ~(QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser),
                 QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QCOMPARE(QFileInfo(folder).ownerId(), uint(getuid()));
    }

    void slideShowOfMissingFileIsAnError()
    {
        LibreOfficeSlideShow show;
        QVERIFY_THROWS_EXCEPTION(AppError, show.run(QStringLiteral("/nonexistent/评委介绍.ppt")));
    }

    void xlsxKeepsChineseAndFormulaLikeText()
    {
        const QString office = QStandardPaths::findExecutable(QStringLiteral("soffice"));
        if (office.isEmpty())
            QSKIP("no office program on this machine");
        QTemporaryDir dir;
        const QString xlsx = dir.filePath(QStringLiteral("scores.xlsx"));
        writeXlsx(xlsx, QStringLiteral("比赛评分数据资料"),
                  {{1, 1, QStringLiteral("选手姓名")}, {1, 2, QStringLiteral("最后得分")},
                   {2, 1, QStringLiteral("王 \"小\" 明")}, {2, 2, QStringLiteral("=1+1")}, {3, 2, QStringLiteral("007")}});
        QProcess convert;
        convert.setWorkingDirectory(dir.path());
        convert.start(office, {QStringLiteral("-env:UserInstallation=file://") + dir.filePath(QStringLiteral("profile")),
                               QStringLiteral("--headless"), QStringLiteral("--convert-to"),
                               QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76"), QStringLiteral("--outdir"),
                               dir.path(), xlsx});
        QVERIFY(convert.waitForFinished(120000));
        QFile csv(dir.filePath(QStringLiteral("scores.csv")));
        QVERIFY2(csv.open(QIODevice::ReadOnly), qPrintable(QString::fromLocal8Bit(convert.readAllStandardError())));
        const QString text = QString::fromUtf8(csv.readAll());
        QCOMPARE(text.split(QLatin1Char('\n'), Qt::SkipEmptyParts).value(0).trimmed(), QStringLiteral("选手姓名,最后得分"));
        QVERIFY(text.contains(QStringLiteral("\"王 \"\"小\"\" 明\",=1+1")));
        QVERIFY(text.contains(QStringLiteral(",007")));
    }
};

QUELMORA_TEST_MAIN(AssetPathsTest, PlayerTest, OfficeTest)
#include "tst_media.moc"
