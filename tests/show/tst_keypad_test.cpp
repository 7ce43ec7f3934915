// The keypad test screen: its two pages, the twelve keypad lamps, the link lamp that keeps its colour
// between openings, and the settings page whose buttons act on nothing.
#include "app/tfrm_main.h"
#include "show/tfrm_debug.h"
#include "test_app.h"
#include "ui/click_area.h"

#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

using namespace Qt::Literals::StringLiterals;

namespace {

const QColor kRed(255, 0, 0);
const QColor kGreen(0, 255, 0);

// The application with the keypad test opened from the main menu's third area; by default a program
// without the judges' phones.
struct Keypads {
    explicit Keypads(bool phones = false)
    {
        t.fakes.withPhones = phones;
        t.start();
        screen = t.screens().frm_debug;
        open();
    }
    void open() { QTest::mouseClick(t.screens().frm_main->areas[2], Qt::LeftButton); }
    void close() { QTest::keyClick(screen, Qt::Key_Escape); }

    // "R" or "G" per keypad lamp, 1..12.
    QString lamps() const
    {
        QString s;
        for (int i = 1; i <= 12; ++i)
            s += letter(screen->findChild<Indicator *>(u"qd_%1"_s.arg(i))->colour());
        return s;
    }
    QString link() const { return letter(screen->findChild<Indicator *>(u"sm_bs"_s)->colour()); }
    // The colour the audience sees in the middle of the link lamp.
    QColor linkOnScreen() const
    {
        Indicator *lamp = screen->sm_bs;
        const QImage shot = screen->grab().toImage();
        return shot.pixelColor(lamp->mapTo(screen, lamp->rect().center()));
    }
    static QString letter(const QColor &c) { return c == kRed ? u"R"_s : c == kGreen ? u"G"_s : u"?"_s; }
    QPushButton *button(const QString &caption) const
    {
        for (QPushButton *b : screen->findChildren<QPushButton *>())
            if (b->text() == caption)
                return b;
        qWarning("no button %s", qPrintable(caption));
        return nullptr;
    }

    TestApp t;
    Tfrm_debug *screen = nullptr;
};

const QString kAllRed = u"RRRRRRRRRRRR"_s;
const QStringList kBoxes{u"ed_jph"_s, u"ed_gjtime"_s, u"ed_jzh"_s, u"ed_jzxdh"_s, u"ed_kaishi"_s, u"ed_jieshu"_s};

} // namespace

class KeypadTest : public QObject {
    Q_OBJECT
private slots:
    void openingShowsTheTestPage()
    {
        Keypads k;
        QVERIFY(k.screen->isVisible());
        QCOMPARE(k.screen->windowModality(), Qt::ApplicationModal);
        QCOMPARE(k.screen->windowTitle(), u"设备调试"_s);
        QCOMPARE(k.screen->geometry().size(), QSize(1024, 768));
        auto *pages = k.screen->findChild<QTabWidget *>(u"PageControl1"_s);
        QCOMPARE(pages->count(), 3);
        QCOMPARE(pages->tabText(0), u"评分键盘测试"_s);
        QCOMPARE(pages->tabText(1), u"评分键盘参数设置"_s);
        QCOMPARE(pages->tabText(2), u"投影输出"_s);
        QCOMPARE(pages->currentWidget()->objectName(), u"tab1"_s);
        QCOMPARE(k.lamps(), kAllRed);
        QCOMPARE(k.link(), u"R"_s);
        QCOMPARE(k.linkOnScreen(), kRed);
        // Lamps in three rows of four, each with its number on it and its caption.
        QCOMPARE(k.screen->qd[0]->geometry(), QRect(156, 76, 78, 72));
        QCOMPARE(k.screen->qd[4]->geometry(), QRect(160, 235, 78, 72));
        QCOMPARE(k.screen->qd[11]->geometry(), QRect(688, 388, 78, 72));
        for (int i = 0; i < 12; ++i) {
            QCOMPARE(k.screen->findChild<QLabel *>(u"lab_qd%1"_s.arg(i + 1))->text(), QString::number(i + 1));
            QCOMPARE(k.screen->findChild<QLabel *>(u"RxLabel%1"_s.arg(i + 1))->text(), u"键盘%1"_s.arg(i + 1));
            QCOMPARE(k.screen->lab_qd[i]->geometry(), k.screen->qd[i]->geometry());
        }
        QCOMPARE(k.screen->findChild<QLabel *>(u"Label12"_s)->text(), u"通讯未连接"_s);
        QCOMPARE(k.screen->Button1->text(), u"开始扫描"_s);
        QCOMPARE(k.screen->Button2->text(), u"停止扫描"_s);
    }

    // Start turns the link lamp green and every keypad lamp red; stop turns the link red. The link lamp
    // keeps its colour across closing and opening, the keypad lamps are red at every opening. So it is
    // too in a program with the judges' phones while their link is off.
    void linkLampKeepsItsColourBetweenOpenings_data()
    {
        QTest::addColumn<bool>("phones");
        QTest::newRow("no phones") << false;
        QTest::newRow("phones off") << true;
    }
    void linkLampKeepsItsColourBetweenOpenings()
    {
        QFETCH(bool, phones);
        Keypads k(phones);
        k.screen->qd[3]->setColour(kGreen); // as a keypad that answered would show
        QTest::mouseClick(k.screen->Button1, Qt::LeftButton);
        QCOMPARE(k.lamps(), kAllRed);
        QCOMPARE(k.link(), u"G"_s);
        QCOMPARE(k.linkOnScreen(), kGreen);

        k.screen->qd[7]->setColour(kGreen);
        k.close();
        QVERIFY(!k.screen->isVisible());
        k.open();
        QCOMPARE(k.lamps(), kAllRed);
        QCOMPARE(k.link(), u"G"_s);
        QCOMPARE(k.linkOnScreen(), kGreen);

        QTest::mouseClick(k.screen->Button2, Qt::LeftButton);
        QCOMPARE(k.link(), u"R"_s);
        k.close();
        k.open();
        QCOMPARE(k.link(), u"R"_s);
        QCOMPARE(k.linkOnScreen(), kRed);
        QVERIFY(k.t.fakes.dialogs.errors.isEmpty());
    }

    void openingEmptiesTheSettingsAndShowsTheTestPage()
    {
        Keypads k;
        auto *pages = k.screen->findChild<QTabWidget *>(u"PageControl1"_s);
        pages->setCurrentIndex(1);
        for (const QString &name : kBoxes) {
            auto *box = k.screen->findChild<QLineEdit *>(name);
            QVERIFY2(box && box->isVisible(), qPrintable(name));
            QTest::keyClicks(box, u"12"_s); // typing reaches the boxes
            QCOMPARE(box->text(), u"12"_s);
        }
        k.close();
        k.open();
        QCOMPARE(pages->currentWidget()->objectName(), u"tab1"_s);
        for (const QString &name : kBoxes)
            QVERIFY(k.screen->findChild<QLineEdit *>(name)->text().isEmpty());
    }

    void settingsButtonsDoNothing()
    {
        Keypads k;
        k.screen->PageControl1->setCurrentIndex(1);
        QTest::mouseClick(k.screen->Button1, Qt::LeftButton);
        const QStringList captions{u"读键盘配置"_s, u"写键盘配置"_s, u"读基站配置"_s, u"写基站配置"_s,
                                   u"读键盘范围"_s, u"写键盘范围"_s, u"遥控关闭键盘"_s};
        QCOMPARE(k.screen->tab2->findChildren<QPushButton *>().size(), captions.size());
        QCOMPARE(k.screen->tab2->findChildren<QGroupBox *>().size(), 4);
        k.screen->ed_jph->setText(u"3"_s);
        for (const QString &caption : captions) {
            QPushButton *b = k.button(caption);
            QVERIFY(b && b->isVisible());
            QTest::mouseClick(b, Qt::LeftButton);
        }
        QCOMPARE(k.lamps(), kAllRed);
        QCOMPARE(k.link(), u"G"_s);
        QCOMPARE(k.screen->ed_jph->text(), u"3"_s);
        QVERIFY(k.screen->isVisible());
        QVERIFY(k.t.fakes.dialogs.errors.isEmpty());
        QVERIFY(k.t.fakes.dialogs.informations.isEmpty());
    }

    void escapeClosesOnPress()
    {
        Keypads k;
        k.screen->ed_jph->setFocus(); // also from an entry box
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(k.screen->ed_jph, &press);
        QVERIFY(!k.screen->isVisible());
        QVERIFY(k.t.screens().frm_main->isVisible());
    }

    // Renders the screen for a look when QUELMORA_SCREENSHOTS names a folder.
    void screenshot()
    {
        const QString folder = qEnvironmentVariable("QUELMORA_SCREENSHOTS");
        if (folder.isEmpty())
            QSKIP("set QUELMORA_SCREENSHOTS to a folder to render the screenshot");
        QDir().mkpath(folder);
        Keypads k;
        QTest::mouseClick(k.screen->Button1, Qt::LeftButton);
        QVERIFY(k.screen->grab().save(folder + u"/keypad_test.png"_s));
        k.screen->PageControl1->setCurrentIndex(1);
        QVERIFY(k.screen->grab().save(folder + u"/keypad_settings.png"_s));
    }
};

QUELMORA_TEST_MAIN(KeypadTest)
#include "tst_keypad_test.moc"
