// The stage on a projector of any size: its scale and place, screens on the chosen display, clicks at
// their scaled places, the fallback to the primary display, and displays that come and go in a show.
// Runs on an offscreen desktop of two displays: a 1366 x 768 laptop (primary) and a 1920 x 1080 projector.
#include "app/tfrm_main.h"
#include "ui/click_area.h"
#include "settings/settings_keys.h"
#include "show/projector_page.h"
#include "show/tfrm_debug.h"
#include "show/tshow_main.h"
#include "test_app.h"
#include "ui/stage_display.h"
#include "ui/stage_geometry.h"
#include "ui/picture.h"
#include "ui/stage_pattern.h"

#include <QCheckBox>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>

#include <QDir>
#include <QFile>
#include <QScreen>
#include <QWindow>
#include <QtGui/private/qhighdpiscaling_p.h>
#include <qpa/qplatformscreen.h>
#include <qpa/qplatformwindow.h>
#include <qpa/qwindowsysteminterface.h>

namespace {

const QRect kProjector(1366, 0, 1920, 1080);

// A display plugged in during the show.
class PluggedScreen : public QPlatformScreen {
public:
    PluggedScreen(QString name, QRect geometry) : m_name(std::move(name)), m_geometry(geometry) {}
    QRect geometry() const override { return m_geometry; }
    int depth() const override { return 32; }
    QImage::Format format() const override { return QImage::Format_RGB32; }
    QString name() const override { return m_name; }

private:
    QString m_name;
    QRect m_geometry;
};

// The black bars beside the stage that are on the screen.
QList<QWidget *> bars()
{
    QList<QWidget *> found;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->objectName().startsWith(QLatin1String("stage_bar")) && w->isVisible())
            found << w;
    }
    return found;
}

// The window's place in the display's own pixels.
QRect nativeGeometry(QWidget *w)
{
    return w->windowHandle()->handle()->geometry();
}

bool near(const QRect &a, const QRect &b)
{
    return qAbs(a.x() - b.x()) <= 1 && qAbs(a.y() - b.y()) <= 1 && qAbs(a.width() - b.width()) <= 1
           && qAbs(a.height() - b.height()) <= 1;
}

void chooseDisplay(TestApp &t, const QString &name, bool scale = true)
{
    t.folder.setConfig(keys::kProjector, keys::kProjectorDisplay, name);
    t.folder.setConfig(keys::kProjector, keys::kProjectorNative, scale ? QStringLiteral("0") : QStringLiteral("1"));
}

} // namespace

class StageDisplayTest : public QObject {
    Q_OBJECT
private slots:
    void geometry_data()
    {
        QTest::addColumn<QSize>("display");
        QTest::addColumn<bool>("scale");
        QTest::addColumn<double>("factor");
        QTest::addColumn<QRect>("stage");
        QTest::newRow("1024 x 768") << QSize(1024, 768) << true << 1.0 << QRect(0, 0, 1024, 768);
        QTest::newRow("1280 x 1024") << QSize(1280, 1024) << true << 1.25 << QRect(0, 32, 1280, 960);
        QTest::newRow("1366 x 768") << QSize(1366, 768) << true << 1.0 << QRect(171, 0, 1024, 768);
        QTest::newRow("1920 x 1080") << QSize(1920, 1080) << true << 1.40625 << QRect(240, 0, 1440, 1080);
        QTest::newRow("1920 x 1200") << QSize(1920, 1200) << true << 1.5625 << QRect(160, 0, 1600, 1200);
        QTest::newRow("3840 x 2160") << QSize(3840, 2160) << true << 2.8125 << QRect(480, 0, 2880, 2160);
        QTest::newRow("800 x 600") << QSize(800, 600) << true << 0.78125 << QRect(0, 0, 800, 600);
        QTest::newRow("unscaled 1920 x 1080") << QSize(1920, 1080) << false << 1.0 << QRect(0, 0, 1024, 768);
    }
    void geometry()
    {
        QFETCH(QSize, display);
        QFETCH(bool, scale);
        QFETCH(double, factor);
        QFETCH(QRect, stage);
        QCOMPARE(stage_geometry::scaleFor(display, scale), factor);
        QCOMPARE(stage_geometry::nativeStage(QRect(QPoint(0, 0), display), scale), stage);
    }

    // The chosen projector gets the menu and the maximised hub on the same scaled stage, drawn at its
    // own resolution, with black bars beside it.
    void screensGoToTheChosenDisplay()
    {
        TestApp t;
        chooseDisplay(t, QStringLiteral("projector"));
        t.start();
        Tfrm_main *menu = t.screens().frm_main;
        QCOMPARE(menu->screen()->name(), QStringLiteral("projector"));
        QCOMPARE(menu->screen()->devicePixelRatio(), 1.40625);
        QCOMPARE(menu->size(), QSize(1024, 768));
        const QRect stage(kProjector.x() + 240, 0, 1440, 1080);
        QVERIFY(near(nativeGeometry(menu), stage));
        Tshow_main *hub = t.screens().show_main;
        hub->openModal(menu);
        QVERIFY(QTest::qWaitForWindowExposed(hub));
        QCOMPARE(hub->screen()->name(), QStringLiteral("projector"));
        QVERIFY(near(nativeGeometry(hub), stage));
        // Two black bars fill the projector beside the stage, 240 pixels each.
        const QList<QWidget *> side = bars();
        QCOMPARE(side.size(), 2);
        QRect covered = nativeGeometry(menu);
        for (QWidget *bar : side) {
            QCOMPARE(bar->screen()->name(), QStringLiteral("projector"));
            QCOMPARE(bar->palette().color(QPalette::Window), QColor(Qt::black));
            QVERIFY(qAbs(nativeGeometry(bar).width() - 240) <= 1);
            covered |= nativeGeometry(bar);
        }
        QVERIFY(near(covered, kProjector));
        // Crisp: the menu is drawn with the projector's pixels, not at 1024 x 768 and enlarged.
        const QPixmap shot = menu->grab();
        QCOMPARE(shot.size(), QSize(1440, 1080));
        if (const QString folder = qEnvironmentVariable("QUELMORA_SCREENSHOTS"); !folder.isEmpty())
            shot.save(folder + QStringLiteral("/main_menu_1080p.png"));
        hub->closeScreen();
    }

    // A click the window system reports in the projector's pixels reaches the area the menu places there.
    void clickLandsAtTheScaledPlace()
    {
        TestApp t;
        chooseDisplay(t, QStringLiteral("projector"));
        t.start();
        Tfrm_main *menu = t.screens().frm_main;
        const QPointF native = QPointF(157, 410) * 1.40625; // area 1, the show hub
        QWindow *w = menu->windowHandle();
        const QPointF global = QPointF(nativeGeometry(menu).topLeft()) + native;
        QWindowSystemInterface::handleMouseEvent<QWindowSystemInterface::SynchronousDelivery>(
            w, native, global, Qt::LeftButton, Qt::LeftButton, QEvent::MouseButtonPress);
        QWindowSystemInterface::handleMouseEvent<QWindowSystemInterface::SynchronousDelivery>(
            w, native, global, Qt::NoButton, Qt::LeftButton, QEvent::MouseButtonRelease);
        QTRY_VERIFY(t.screens().show_main->isVisible());
        t.screens().show_main->closeScreen();
    }

    void unscaledKeepsTheStageAtTheCorner()
    {
        TestApp t;
        chooseDisplay(t, QStringLiteral("projector"), false);
        t.start();
        Tfrm_main *menu = t.screens().frm_main;
        QCOMPARE(menu->screen()->devicePixelRatio(), 1.0);
        QVERIFY(near(nativeGeometry(menu), QRect(kProjector.topLeft(), QSize(1024, 768))));
        QVERIFY(bars().isEmpty());
    }

    // A chosen display that is not connected: the primary display, and the operator is told once.
    void missingDisplayFallsBackToThePrimary()
    {
        TestApp t;
        chooseDisplay(t, QStringLiteral("HDMI-9"));
        t.start();
        QCOMPARE(t.screens().frm_main->screen(), QGuiApplication::primaryScreen());
        QTRY_COMPARE(t.fakes.dialogs.informations, QStringList{StageDisplay::fallbackText(QStringLiteral("HDMI-9"))});
        QTest::qWait(50);
        QCOMPARE(t.fakes.dialogs.informations.size(), 1);
    }

    // The projector plugged in during the show takes the open screens at once; unplugged, they come back.
    void displaysComingAndGoing()
    {
        TestApp t;
        chooseDisplay(t, QStringLiteral("beamer"));
        t.start();
        Tfrm_main *menu = t.screens().frm_main;
        QCOMPARE(menu->screen(), QGuiApplication::primaryScreen());
        auto *beamer = new PluggedScreen(QStringLiteral("beamer"), QRect(3286, 0, 3840, 2160));
        QWindowSystemInterface::handleScreenAdded(beamer);
        QTRY_COMPARE(menu->screen()->name(), QStringLiteral("beamer"));
        QCOMPARE(menu->screen()->devicePixelRatio(), 2.8125);
        // The offscreen platform places windows on a display it did not make only in logical terms.
        QCOMPARE(menu->geometry(), t.context().stage->stageRect());
        QVERIFY(menu->screen()->geometry().contains(menu->geometry()));
        QWindowSystemInterface::handleScreenRemoved(beamer);
        QTRY_COMPARE(menu->screen(), QGuiApplication::primaryScreen());
        QTRY_COMPARE(t.fakes.dialogs.informations.size(), 2); // at start-up and when it went away
    }

    // The keypad test screen's third tab lists the displays, shows the test pattern on the chosen one
    // until Esc, and saves the choice, which moves the stage at once.
    void projectorTabChoosesTheOutput()
    {
        TestApp t;
        t.start();
        Tfrm_main *menu = t.screens().frm_main;
        QTest::mouseClick(menu->areas[2], Qt::LeftButton); // 键盘测试
        Tfrm_debug *device = t.screens().frm_debug;
        QVERIFY(device->isVisible());
        QCOMPARE(device->PageControl1->tabText(2), QStringLiteral("投影输出"));
        ProjectorPage *page = device->tab3;
        QStringList rows;
        for (int i = 0; i < page->list_displays->count(); ++i)
            rows << page->list_displays->item(i)->text();
        QCOMPARE(rows, (QStringList{QStringLiteral("laptop  1366 x 768（主显示器）"), QStringLiteral("projector  1920 x 1080")}));
        QCOMPARE(page->list_displays->currentRow(), 0);
        QVERIFY(page->check_scale->isChecked());

        page->list_displays->setCurrentRow(1);
        QTest::mouseClick(page->button_pattern, Qt::LeftButton);
        StagePattern *pattern = page->pattern();
        QVERIFY(pattern && pattern->isVisible());
        QCOMPARE(pattern->screen()->name(), QStringLiteral("projector"));
        QCOMPARE(pattern->geometry(), t.context().stage->stageRect());
        QVERIFY(pattern->accessibleDescription().contains(QStringLiteral("projector  1920 x 1080")));
        if (const QString folder = qEnvironmentVariable("QUELMORA_SCREENSHOTS"); !folder.isEmpty()) {
            pattern->grab().save(folder + QStringLiteral("/projector_pattern.png"));
            device->PageControl1->setCurrentIndex(2);
            device->grab().save(folder + QStringLiteral("/projector_tab.png"));
        }
        QTest::keyClick(pattern, Qt::Key_Escape);
        QVERIFY(!pattern->isVisible());
        QVERIFY(device->isVisible());
        QCOMPARE(t.context().stage->screen()->name(), QStringLiteral("laptop")); // nothing saved yet

        page->list_displays->setCurrentRow(1);
        QTest::mouseClick(page->button_save, Qt::LeftButton);
        QCOMPARE(t.fakes.dialogs.informations.last(), QStringLiteral("投影输出已保存。"));
        QCOMPARE(t.folder.config(keys::kProjector, keys::kProjectorDisplay), QStringLiteral("projector"));
        QCOMPARE(t.folder.config(keys::kProjector, keys::kProjectorNative), QStringLiteral("0"));
        QTRY_COMPARE(device->screen()->name(), QStringLiteral("projector"));
        QCOMPARE(menu->screen()->name(), QStringLiteral("projector"));
        device->closeScreen();
    }

    // On the scaled stage pictures are held at the projector's pixels: a stretched background made to
    // fit once, an unstretched picture (the matching surface lines are drawn into) at its stage size.
    void picturesAreHeldAtTheDisplaysResolution()
    {
        TestApp t;
        chooseDisplay(t, QStringLiteral("projector"));
        t.folder.writePicture(QStringLiteral("a.jpg"), QSize(1024, 768), Qt::darkBlue);
        t.folder.writePicture(QStringLiteral("b.png"), QSize(200, 100), Qt::white);
        t.start();
        Tfrm_main *menu = t.screens().frm_main;
        Picture stretched(menu, QStringLiteral("stretched"));
        stretched.setStretch(true);
        stretched.setGeometry(0, 0, 1024, 768);
        stretched.loadFile(t.folder.file(QStringLiteral("a.jpg")));
        QCOMPARE(stretched.pixmap().size(), QSize(1440, 1080));
        QCOMPARE(stretched.pixmap().devicePixelRatio(), 1.40625);
        Picture plain(menu, QStringLiteral("plain"));
        plain.setGeometry(0, 0, 400, 300);
        plain.loadFile(t.folder.file(QStringLiteral("b.png")));
        QCOMPARE(plain.pixmap().deviceIndependentSize().toSize(), QSize(200, 100));
        QCOMPARE(plain.pixmap().size(), QSize(281, 141));
    }
};

int main(int argc, char **argv)
{
    // Two displays side by side; the first is the primary one.
    const QString config = QDir::temp().filePath(QStringLiteral("quelmora-two-displays-%1.json").arg(QCoreApplication::applicationPid()));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly))
        return 1;
    file.write(R"({"screens": [
        {"name": "laptop", "x": 0, "y": 0, "width": 1366, "height": 768},
        {"name": "projector", "x": 1366, "y": 0, "width": 1920, "height": 1080}]})");
    file.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.toLocal8Bit());
    int status = 0;
    {
        QApplication application(argc, argv);
        test_support::prepare();
        status = test_support::run<StageDisplayTest>(argc, argv);
    }
    QFile::remove(config);
    return status;
}

#include "tst_stage_display.moc"
