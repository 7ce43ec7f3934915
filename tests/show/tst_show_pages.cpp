// The contestant introduction, the still screen and the slogan screen, opened as the show opens them.
#include "app/tfrm_main.h"
#include "scoring/tfrm_pfmain.h"
#include "settings/settings_keys.h"
#include "show/tfrm_jz.h"
#include "show/tfrm_xsjs.h"
#include "show/tfrm_xuanchuan.h"
#include "show/tshow_main.h"
#include "test_app.h"
#include "ui/picture.h"
#include "ui/shadow_label.h"

#include <QDir>
#include <QLinearGradient>
#include <QPainter>

using namespace Qt::Literals::StringLiterals;

namespace {

using Roster = QList<std::pair<QString, QString>>;

const QString kProfiles = u"选手照片/选手资料/"_s;

// A roster of (name, profile) rows in the order given, numbered 1..N, and the scoring screen over the hub
// with round 1 chosen.
struct Show {
    explicit Show(const Roster &roster)
    {
        t.folder.setConfig(keys::kJudges, keys::kJudgeCount, u"3"_s);
        t.folder.setConfig(keys::kContest, keys::kContestantCount, QString::number(roster.size()));
        t.folder.setConfig(keys::kScoring, keys::kDecimals, u"2"_s);
        QStringList rows;
        for (int i = 0; i < roster.size(); ++i)
            rows << u"insert into xsb (bh, xm, zppath, xszl) values (%1, '%2', '', '%3')"_s.arg(i + 1).arg(
                roster[i].first, roster[i].second);
        if (!rows.isEmpty())
            t.folder.exec(rows);
        t.start();
        t.screens().show_main->openModal(t.screens().frm_main);
        QTest::keyClick(t.screens().show_main, Qt::Key_F1);
        scoring = t.screens().frm_pfmain;
        QTest::keyClick(scoring, Qt::Key_F1);
        intro = t.screens().frm_xsjs;
        t.fakes.dialogs.errors.clear(); // the hub's and the scoring screen's pictures are not laid
    }

    // Chooses contestant n (1-based) on the scoring screen and opens the introduction with F11.
    void introduce(int n)
    {
        for (int i = 0; i < n; ++i)
            QTest::keyClick(scoring, Qt::Key_Up);
        QTest::keyClick(scoring, Qt::Key_F11);
    }

    QString profile(const QString &name) const { return t.folder.file(kProfiles + name); }
    QStringList &shows() { return t.fakes.slides.shows; }
    QStringList &errors() { return t.fakes.dialogs.errors; }

    TestApp t;
    Tfrm_pfmain *scoring = nullptr;
    Tfrm_xsjs *intro = nullptr;
};

// The slogan screen's player calls, without the owner's name.
QStringList sloganCalls(const MediaLog &log)
{
    QStringList calls;
    const QString owner = u"frm_xuanchuan:"_s;
    for (const QString &line : log.lines)
        if (line.startsWith(owner))
            calls << line.mid(owner.size());
    return calls;
}

void pressOnly(QWidget *w, Qt::Key key, bool autoRepeat = false)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(), autoRepeat);
    QCoreApplication::sendEvent(w, &press);
}

} // namespace

class IntroductionTest : public QObject {
    Q_OBJECT
private slots:
    void profileIsLookedUpByName_data()
    {
        QTest::addColumn<Roster>("roster");
        QTest::addColumn<int>("contestant");
        QTest::addColumn<QString>("profile"); // empty: no slide show
        QTest::newRow("own profile, trimmed")
            << Roster{{u"张明"_s, u"x.ppt"_s}, {u"李华"_s, u" 李华.ppt "_s}} << 2
            << u"李华.ppt"_s;
        QTest::newRow("two with one name: the first row's profile")
            << Roster{{u"王芳"_s, u"一号.ppt"_s}, {u"王芳"_s, u"二号.ppt"_s}} << 2
            << u"一号.ppt"_s;
        QTest::newRow("no profile: only the name")
            << Roster{{u"赵强"_s, u"  "_s}} << 1 << QString();
    }
    void profileIsLookedUpByName()
    {
        QFETCH(Roster, roster);
        QFETCH(int, contestant);
        QFETCH(QString, profile);
        Show s(roster);
        s.introduce(contestant);
        QVERIFY(s.intro->isVisible());
        QCOMPARE(s.intro->lab_xsxm->text(), roster[contestant - 1].first);
        const QStringList once = profile.isEmpty() ? QStringList() : QStringList{s.profile(profile)};
        QCOMPARE(s.shows(), once);
        // F1 runs the same profile again on release, and nothing without one.
        QTest::keyPress(s.intro, Qt::Key_F1);
        QCOMPARE(s.shows(), once);
        QTest::keyRelease(s.intro, Qt::Key_F1);
        QCOMPARE(s.shows(), once + once);
        QVERIFY(s.errors().isEmpty());
        QTest::keyClick(s.intro, Qt::Key_Escape);
        QVERIFY(!s.intro->isVisible());
        QVERIFY(s.scoring->isVisible());
    }

    // The next opening looks again, so a contestant without a profile never shows the previous one's.
    void eachOpeningTakesTheCurrentContestant()
    {
        Show s({{u"甲"_s, u"甲.ppt"_s}, {u"乙"_s, QString()}});
        s.introduce(1);
        QTest::keyClick(s.intro, Qt::Key_Escape);
        s.introduce(1);
        QCOMPARE(s.intro->lab_xsxm->text(), u"乙"_s);
        QTest::keyClick(s.intro, Qt::Key_F1);
        QCOMPARE(s.shows(), QStringList{s.profile(u"甲.ppt"_s)});
    }

    void failingSlideShowIsReportedAndTheNameStays_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("failWith");
        QTest::addColumn<QString>("reported");
        QTest::newRow("office program missing") << u"甲.ppt"_s << u"无法启动演示程序"_s << u"无法启动演示程序"_s;
        QTest::newRow("profile outside its folder") << u"../../config/config.ini"_s << QString() << u"选手资料"_s;
    }
    void failingSlideShowIsReportedAndTheNameStays()
    {
        QFETCH(QString, stored);
        QFETCH(QString, failWith);
        QFETCH(QString, reported);
        Show s({{u"甲"_s, stored}});
        s.t.fakes.slides.failWith = failWith;
        s.introduce(1);
        QCOMPARE(s.errors().size(), 1);
        QVERIFY2(s.errors().first().contains(reported), qPrintable(s.errors().first()));
        QVERIFY(s.intro->isVisible());
        QCOMPARE(s.intro->lab_xsxm->text(), u"甲"_s);
        QTest::keyClick(s.intro, Qt::Key_F1);
        QCOMPARE(s.errors().size(), 2);
        QVERIFY(s.shows().isEmpty());
    }

    void nameIsDrawnBigAndYellowOnTheBackdrop()
    {
        Show s({{u"欧阳明月"_s, QString()}});
        s.introduce(1);
        QCOMPARE(s.intro->geometry().size(), QSize(1024, 768));
        QCOMPARE(s.intro->lab_xsxm->geometry(), QRect(32, 264, 953, 214));
        QCOMPARE(s.intro->lab_xsxm->font().pixelSize(), 107);
        QVERIFY(!s.intro->image_xszl->isEmpty());
        const QImage shot = s.intro->grab().toImage();
        int yellow = 0;
        for (int x = 32; x < 985; x += 2)
            for (int y = 264; y < 478; y += 2) {
                const QColor c = shot.pixelColor(x, y);
                yellow += c.red() > 230 && c.green() > 230 && c.blue() < 40;
            }
        QVERIFY2(yellow > 1000, qPrintable(QString::number(yellow)));
    }
};

class StillAndSloganTest : public QObject {
    Q_OBJECT
private slots:
    void stillScreenShowsItsPictureAndClosesOnRelease()
    {
        TestApp t;
        t.folder.writePicture(u"系统图片/静止主界面.jpg"_s, QSize(64, 48), Qt::blue);
        t.start();
        Tfrm_jz *still = t.screens().frm_jz;
        still->openModal(t.screens().frm_main);
        QCOMPARE(still->geometry().size(), QSize(1024, 768));
        QVERIFY(!still->Image1->isEmpty());
        QCOMPARE(still->Image1->geometry(), still->rect());
        QVERIFY(t.fakes.dialogs.errors.isEmpty());
        pressOnly(still, Qt::Key_Escape);
        QVERIFY(still->isVisible());
        QTest::keyRelease(still, Qt::Key_Escape);
        QVERIFY(!still->isVisible());
    }

    void missingPictureIsReportedAtOpening_data()
    {
        QTest::addColumn<QString>("screen");
        QTest::addColumn<QString>("file");
        QTest::newRow("still") << u"frm_jz"_s << u"静止主界面.jpg"_s;
        QTest::newRow("slogan") << u"frm_xuanchuan"_s << u"宣传口号.jpg"_s;
    }
    void missingPictureIsReportedAtOpening()
    {
        QFETCH(QString, screen);
        QFETCH(QString, file);
        TestApp t;
        t.start();
        StageWindow *w = screen == u"frm_jz"_s ? static_cast<StageWindow *>(t.screens().frm_jz)
                                               : static_cast<StageWindow *>(t.screens().frm_xuanchuan);
        w->openModal(t.screens().frm_main);
        QVERIFY(w->isVisible());
        QCOMPARE(t.fakes.dialogs.errors.size(), 1);
        QVERIFY(t.fakes.dialogs.errors.first().contains(file));
        QTest::keyClick(w, Qt::Key_Escape);
        QVERIFY(!w->isVisible());
    }

    // Reached from the hub with the less-than key; a playing track is stopped before the letter counts.
    void trackKeysStopBeforeTheyStart()
    {
        TestApp t;
        t.folder.writePicture(u"系统图片/宣传口号.jpg"_s);
        t.folder.writePicture(u"系统图片/主界面.jpg"_s);
        t.start();
        Tshow_main *hub = t.screens().show_main;
        hub->openModal(t.screens().frm_main);
        QTest::keyClick(hub, Qt::Key_Less, Qt::ShiftModifier);
        Tfrm_xuanchuan *slogan = t.screens().frm_xuanchuan;
        QVERIFY(slogan->isVisible());
        QCOMPARE(slogan->geometry(), slogan->screen()->geometry());
        QVERIFY(!slogan->Image1->isEmpty());

        const QString a = t.folder.file(u"音效/背景音乐_A.mp3"_s);
        const QString s = t.folder.file(u"音效/背景音乐_S.mp3"_s);
        pressOnly(slogan, Qt::Key_A); // acted on when pressed
        QCOMPARE(sloganCalls(t.fakes.media.log), (QStringList{u"setFileName:"_s + a, u"open:"_s + a, u"play:"_s + a}));
        pressOnly(slogan, Qt::Key_A, true); // a held key changes nothing
        QTest::keyRelease(slogan, Qt::Key_A);
        t.fakes.media.log.lines.clear();
        QTest::keyClick(slogan, Qt::Key_S);
        QCOMPARE(sloganCalls(t.fakes.media.log), QStringList{u"stop:"_s});
        QTest::keyClick(slogan, Qt::Key_S);
        QCOMPARE(sloganCalls(t.fakes.media.log),
                 (QStringList{u"stop:"_s, u"setFileName:"_s + s, u"open:"_s + s, u"play:"_s + s}));

        // Other keys do nothing here, and closing with Esc leaves the track playing.
        t.fakes.media.log.lines.clear();
        QTest::keyClick(slogan, Qt::Key_G);
        QTest::keyClick(slogan, Qt::Key_Escape);
        QVERIFY(!slogan->isVisible());
        QVERIFY(sloganCalls(t.fakes.media.log).isEmpty());
        QVERIFY(slogan->Media1->isPlaying());
        QVERIFY(hub->isVisible());
        QVERIFY(t.fakes.dialogs.errors.isEmpty());
    }

    void missingTrackIsReported()
    {
        TestApp t;
        t.folder.writePicture(u"系统图片/宣传口号.jpg"_s);
        t.start();
        Tfrm_xuanchuan *slogan = t.screens().frm_xuanchuan;
        slogan->openModal(t.screens().frm_main);
        auto *player = static_cast<FakeMediaPlayer *>(slogan->Media1);
        player->failOpen = u"无法找到指定的文件。"_s;
        QTest::keyClick(slogan, Qt::Key_D);
        QCOMPARE(t.fakes.dialogs.errors, QStringList{u"无法找到指定的文件。"_s});
        QVERIFY(!player->isPlaying());
        QVERIFY(slogan->isVisible());
        // The next track plays once it is there.
        player->failOpen.clear();
        QTest::keyClick(slogan, Qt::Key_F);
        QVERIFY(player->isPlaying());
        QCOMPARE(player->fileName, t.folder.file(u"音效/背景音乐_F.mp3"_s));
    }
};

// Renders the pages for a look when QUELMORA_SCREENSHOTS names a folder.
class ScreenshotTest : public QObject {
    Q_OBJECT
private slots:
    void render()
    {
        const QString folder = qEnvironmentVariable("QUELMORA_SCREENSHOTS");
        if (folder.isEmpty())
            QSKIP("set QUELMORA_SCREENSHOTS to a folder to render the screenshots");
        QDir().mkpath(folder);
        Show s({{u"欧阳明月"_s, QString()}});
        // The still and slogan pictures are the program's own; without them, a plain stand-in.
        for (const QString &name : {u"静止主界面.jpg"_s, u"宣传口号.jpg"_s}) {
            const QString built = QCoreApplication::applicationDirPath() + u"/../Quelmora/系统图片/"_s + name;
            const QString target = s.t.folder.file(u"系统图片/"_s + name);
            if (!QFile::copy(built, target))
                s.t.folder.writePicture(u"系统图片/"_s + name, QSize(1024, 768), Qt::darkBlue);
        }
        s.introduce(1);
        QVERIFY(s.intro->grab().save(folder + u"/introduction.png"_s));
        QTest::keyClick(s.intro, Qt::Key_Escape);
        QTest::keyClick(s.scoring, Qt::Key_Q);
        QVERIFY(s.t.screens().frm_jz->grab().save(folder + u"/still.png"_s));
        Tfrm_xuanchuan *slogan = s.t.screens().frm_xuanchuan;
        slogan->openModal(s.t.screens().frm_jz);
        slogan->setGeometry(0, 0, 1024, 768);
        QVERIFY(slogan->grab().save(folder + u"/slogan.png"_s));
    }
};

QUELMORA_TEST_MAIN(IntroductionTest, StillAndSloganTest, ScreenshotTest)
#include "tst_show_pages.moc"
