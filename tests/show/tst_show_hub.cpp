// The show hub: its opening, the help bar, the keys that open the show's screens, the judges' slide show
// and the score message.
#include "app/tfrm_main.h"
#include "show/tshow_main.h"
#include "test_app.h"
#include "ui/click_area.h"
#include "ui/picture.h"
#include "ui/shadow_label.h"

#include <QDir>
#include <QFrame>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString kHelp = u"F1: F2: F3: F4: F5: F6: F7: F8: F9: F10:Shift+H:显示和隐藏帮助条 Shift+?:恢复当前得分 > 进入颁奖界面 "
                      u"< 进入企业宣传口号界面 PageUp：显示当前分数 PageDown：显示分数排行榜 1..10：首先进入各个环节的片头 "
                      u"End：开始和停止播放颁奖音乐 A/S/D/F:播放和停止背景音乐"_s;

// The application with the hub opened from the main menu's first area, as the operator opens it.
struct Hub {
    explicit Hub(bool withBackground = true)
    {
        if (withBackground)
            t.folder.writePicture(u"系统图片/主界面.jpg"_s, QSize(64, 48), Qt::blue);
        t.start();
        hub = t.screens().show_main;
        QTest::mouseClick(t.screens().frm_main->areas[0], Qt::LeftButton);
    }

    bool helpShown() const { return hub->findChild<QFrame *>(u"Panel_help"_s)->isVisible(); }
    QWidget *screen(const QString &name) const
    {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->objectName() == name)
                return w;
        return nullptr;
    }
    // The screens shown besides the menu and the hub.
    QStringList othersShown() const
    {
        QStringList names;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->isVisible() && w != hub && w != t.screens().frm_main && qobject_cast<StageWindow *>(w))
                names << w->objectName();
        return names;
    }

    TestApp t;
    Tshow_main *hub = nullptr;
};

} // namespace

class HubTest : public QObject {
    Q_OBJECT
private slots:
    void openingShowsTheBackgroundAndPreparesTheHelp()
    {
        Hub h;
        QVERIFY(h.hub->isVisible());
        QCOMPARE(h.hub->windowModality(), Qt::ApplicationModal);
        QCOMPARE(h.hub->geometry(), h.hub->screen()->geometry()); // maximised
        auto *background = h.hub->findChild<Picture *>(u"Image1"_s);
        QVERIFY(!background->isEmpty());
        QCOMPARE(background->geometry(), h.hub->rect());
        QVERIFY(!h.helpShown());
        QCOMPARE(h.hub->findChild<ShadowLabel *>(u"lab_help"_s)->text(), kHelp);
        QVERIFY(h.t.fakes.dialogs.errors.isEmpty());
    }

    void missingBackgroundIsReportedAndTheHelpStillWorks()
    {
        Hub h(false);
        QCOMPARE(h.t.fakes.dialogs.errors.size(), 1);
        QVERIFY(h.t.fakes.dialogs.errors.first().contains(u"主界面.jpg"_s));
        QTest::keyClick(h.hub, Qt::Key_H);
        QVERIFY(h.helpShown());
        QCOMPARE(h.hub->findChild<ShadowLabel *>(u"lab_help"_s)->text(), kHelp);
    }

    void hTogglesTheHelpBar_data()
    {
        QTest::addColumn<int>("modifiers");
        QTest::newRow("H") << int(Qt::NoModifier);
        QTest::newRow("Shift+H") << int(Qt::ShiftModifier);
    }
    void hTogglesTheHelpBar()
    {
        QFETCH(int, modifiers);
        Hub h;
        QTest::keyClick(h.hub, Qt::Key_H, Qt::KeyboardModifiers(modifiers));
        QVERIFY(h.helpShown());
        QTest::keyClick(h.hub, Qt::Key_H, Qt::KeyboardModifiers(modifiers));
        QVERIFY(!h.helpShown());
        // Shown when the hub closes, hidden again at the next opening.
        QTest::keyClick(h.hub, Qt::Key_H, Qt::KeyboardModifiers(modifiers));
        QTest::keyClick(h.hub, Qt::Key_Escape);
        h.hub->openModal(h.t.screens().frm_main);
        QVERIFY(!h.helpShown());
    }

    void keysOpenTheShowsScreens_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("screen");
        QTest::newRow("F1: scoring") << int(Qt::Key_F1) << int(Qt::NoModifier) << u"frm_pfmain"_s;
        QTest::newRow("F3: lottery") << int(Qt::Key_F3) << int(Qt::NoModifier) << u"frm_cj"_s;
        QTest::newRow("full stop: award ceremony") << int(Qt::Key_Period) << int(Qt::NoModifier) << u"frm_banjiangjm"_s;
        QTest::newRow("> : award ceremony") << int(Qt::Key_Greater) << int(Qt::ShiftModifier) << u"frm_banjiangjm"_s;
        QTest::newRow("comma: nothing") << int(Qt::Key_Comma) << int(Qt::NoModifier) << QString();
        QTest::newRow("< : slogan") << int(Qt::Key_Less) << int(Qt::ShiftModifier) << u"frm_xuanchuan"_s;
    }
    void keysOpenTheShowsScreens()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, screen);
        Hub h;
        QTest::keyClick(h.hub, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(h.othersShown(), screen.isEmpty() ? QStringList() : QStringList{screen});
        if (!screen.isEmpty()) {
            // Above the modal hub, it still takes keys: it is the topmost modal window.
            QCOMPARE(QGuiApplication::modalWindow(), h.screen(screen)->windowHandle());
            QVERIFY(h.hub->isVisible());
        }
        QVERIFY(h.t.fakes.dialogs.informations.isEmpty());
    }

    void f2RunsTheJudgesSlideShow()
    {
        Hub h;
        const QString show = h.t.folder.file(u"评委照片/评委介绍/评委介绍.ppt"_s);
        QTest::keyClick(h.hub, Qt::Key_F2);
        QTest::keyClick(h.hub, Qt::Key_F2, Qt::ShiftModifier);
        QCOMPARE(h.t.fakes.slides.shows, (QStringList{show, show}));
        h.t.fakes.slides.failWith = u"无法打开演示文稿"_s;
        QTest::keyClick(h.hub, Qt::Key_F2);
        QCOMPARE(h.t.fakes.dialogs.errors, QStringList{u"无法打开演示文稿"_s});
        QVERIFY(h.hub->isVisible());
    }

    void shiftSlashOnlyShowsTheMessage()
    {
        Hub h;
        h.t.folder.exec({u"insert into pwdf (bh, xm, lunshu, zhtotal) values (1, '甲', 1, '9.50')"_s});
        QTest::keyClick(h.hub, Qt::Key_Slash); // without Shift: nothing
        QVERIFY(h.t.fakes.dialogs.informations.isEmpty());
        QTest::keyClick(h.hub, Qt::Key_Question, Qt::ShiftModifier);
        QTest::keyClick(h.hub, Qt::Key_Question, Qt::ShiftModifier);
        QCOMPARE(h.t.fakes.dialogs.informations, (QStringList{u"分数已经成功恢复！"_s, u"分数已经成功恢复！"_s}));
        QCOMPARE(h.t.folder.column(u"select xm || zhtotal from pwdf"_s), QStringList{u"甲9.50"_s});
        QVERIFY(h.othersShown().isEmpty());
    }

    void escapeClosesOnPressAndClosesThePlayer()
    {
        Hub h;
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(h.hub, &press);
        QVERIFY(!h.hub->isVisible());
        QVERIFY(h.t.fakes.media.log.lines.contains(u"show_main:close:"_s));
        QVERIFY(h.t.screens().frm_main->isVisible());
    }

    // Renders the hub for a look when QUELMORA_SCREENSHOTS names a folder.
    void screenshot()
    {
        const QString folder = qEnvironmentVariable("QUELMORA_SCREENSHOTS");
        if (folder.isEmpty())
            QSKIP("set QUELMORA_SCREENSHOTS to a folder to render the screenshot");
        QDir().mkpath(folder);
        TestApp t;
        QImage image(1024, 768, QImage::Format_RGB32);
        QPainter p(&image);
        QLinearGradient sky(0, 0, 0, 768);
        sky.setColorAt(0, QColor(120, 20, 30));
        sky.setColorAt(1, QColor(30, 5, 10));
        p.fillRect(image.rect(), sky);
        p.end();
        QVERIFY(image.save(t.folder.file(u"系统图片/主界面.jpg"_s), "JPEG"));
        t.start();
        Tshow_main *hub = t.screens().show_main;
        hub->openModal(t.screens().frm_main);
        QTest::keyClick(hub, Qt::Key_H);
        hub->setGeometry(0, 0, 1024, 768); // the stage, whatever the size of the test display
        QVERIFY(hub->grab().save(folder + u"/hub_help_bar.png"_s));
    }
};

QUELMORA_TEST_MAIN(HubTest)
#include "tst_show_hub.moc"
