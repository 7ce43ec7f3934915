// Pairing the judges' phones on the keypad page: turning the link on and off, the seats on the lamps,
// a seat's QR code and pairing code, a second device for a seat, and renewing every token.
#include "app/tfrm_main.h"
#include "settings/settings_keys.h"
#include "show/phone_seats.h"
#include "show/seat_qr.h"
#include "show/tfrm_debug.h"
#include "test_app.h"
#include "ui/click_area.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>

using namespace Qt::Literals::StringLiterals;
using judging::SeatState;

namespace {

const QStringList kNames{u"张明"_s, u"李华"_s, u"王芳"_s, u"赵强"_s, u"陈静"_s, u"刘洋"_s,
                         u"杨帆"_s, u"黄磊"_s, u"周婷"_s, u"吴刚"_s, u"徐丽"_s, u"孙伟"_s};

// Messages the program writes while a test runs, to prove no join address reaches them.
QStringList g_messages;
void keepMessage(QtMsgType, const QMessageLogContext &, const QString &message)
{
    g_messages << message;
}

// The keypad page of a program with the judges' phones, opened from the main menu.
struct Phones {
    Phones()
    {
        for (int j = 1; j <= 12; ++j)
            t.folder.setConfig(keys::kJudges, keys::judgeName(j), kNames[j - 1]);
        t.start();
        screen = t.screens().frm_debug;
        open();
    }
    void open() { QTest::mouseClick(t.screens().frm_main->areas[2], Qt::LeftButton); }
    void close() { QTest::keyClick(screen, Qt::Key_Escape); }
    FakeJudgeLink &link() { return t.fakes.judges; }
    void turnOn()
    {
        QTest::mouseClick(screen->btn_start, Qt::LeftButton);
        QVERIFY(link().isRunning());
    }
    template <typename W = QWidget>
    W *find(const QString &name) const
    {
        return test_support::findWidget<W>(screen, name);
    }
    QString text(const QString &name) const { return find<QLabel>(name)->text(); }
    // The seats' lamps as letters: G green, A amber, S grey, L locked, R red (the keypads' own colour).
    QString lamps() const
    {
        QString s;
        for (Indicator *lamp : screen->qd) {
            const QColor c = lamp->colour();
            s += c == phone_seats::kGreen   ? u'G'
                 : c == phone_seats::kAmber ? u'A'
                 : c == phone_seats::kGrey  ? u'S'
                 : c == phone_seats::kLocked ? u'L'
                 : c == QColor(255, 0, 0)   ? u'R'
                                            : u'?';
        }
        return s;
    }
    QString config(const QString &key) { return t.context().settings.config().read(keys::kPhones, key, {}); }

    TestApp t;
    Tfrm_debug *screen = nullptr;
};

// How many dark pixels the QR code shows on screen.
int darkPixels(QWidget *w)
{
    const QImage image = w->grab().toImage();
    int dark = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            dark += image.pixelColor(x, y).lightness() < 60;
    return dark;
}

} // namespace

class PhonePairing : public QObject {
    Q_OBJECT
private slots:
    void addressesOfTheHallComeFirst()
    {
        const QStringList ordered = phone_seats::orderAddresses(
            {{u"127.0.0.1"_s, true}, {u"192.168.1.20"_s, false}, {u"10.0.0.5"_s, false}, {u"192.168.1.20"_s, false}});
        QCOMPARE(ordered, (QStringList{u"192.168.1.20"_s, u"10.0.0.5"_s, u"127.0.0.1"_s}));
        QCOMPARE(phone_seats::configuredPort({}), keys::kPhonesDefaultPort);
        QCOMPARE(phone_seats::configuredPort(u" 9000 "_s), quint16(9000));
        QCOMPARE(phone_seats::configuredPort(u"70000"_s), keys::kPhonesDefaultPort);
        QCOMPARE(phone_seats::configuredPort(u"abc"_s), keys::kPhonesDefaultPort);
    }

    // The link is off at opening; a failing start is said in the error box and saves nothing; a start
    // that works saves the address and port, and 关闭 stops it. The lamps stay the keypads' while off.
    void turningTheLinkOnAndOff()
    {
        Phones p;
        auto *pages = p.find<QTabWidget>(u"PageControl1"_s);
        QCOMPARE(pages->count(), 4);
        QCOMPARE(pages->tabText(3), u"手机评分"_s);
        QVERIFY(!p.link().isRunning());
        QCOMPARE(p.lamps(), u"RRRRRRRRRRRR"_s);
        QCOMPARE(p.screen->ed_port->value(), 8765);
        QVERIFY(p.screen->cb_address->count() > 0);
        // Loopback is there, and last.
        QCOMPARE(p.screen->cb_address->itemText(p.screen->cb_address->count() - 1), u"127.0.0.1"_s);
        const QString address = p.screen->cb_address->currentText();
        pages->setCurrentWidget(p.screen->tab_phones);

        p.link().failStart = u"端口已被占用"_s;
        p.screen->ed_port->setValue(9100);
        QTest::mouseClick(p.screen->btn_start, Qt::LeftButton);
        QCOMPARE(p.link().starts, QStringList{address + u":9100"_s});
        QCOMPARE(p.t.fakes.dialogs.errors.size(), 1);
        QVERIFY2(p.t.fakes.dialogs.errors[0].contains(u"端口已被占用"_s), qPrintable(p.t.fakes.dialogs.errors[0]));
        QVERIFY(p.config(keys::kPhonesPort).isEmpty());
        QCOMPARE(p.text(u"lab_phones"_s), u"手机评分已关闭"_s);

        p.link().failStart.clear();
        p.turnOn();
        QCOMPARE(p.config(keys::kPhonesAddress), address);
        QCOMPARE(p.config(keys::kPhonesPort), u"9100"_s);
        QVERIFY(!p.screen->btn_start->isEnabled());
        QVERIFY(p.screen->btn_stop->isEnabled());
        QVERIFY(p.text(u"lab_phones"_s).startsWith(u"手机评分已开启"_s));
        QCOMPARE(p.lamps(), u"SSSSSSSSSSSS"_s);

        QTest::mouseClick(p.screen->btn_stop, Qt::LeftButton);
        QCOMPARE(p.link().stops, 1);
        QCOMPARE(p.lamps(), u"RRRRRRRRRRRR"_s);
        QCOMPARE(p.text(u"RxLabel1"_s), u"键盘1"_s);
        QVERIFY(!p.find(u"lab_seat1"_s)->isVisible());

        // The saved port is the one offered at the next opening.
        p.screen->ed_port->setValue(1234);
        p.close();
        p.open();
        QCOMPARE(p.screen->ed_port->value(), 9100);
    }

    // Each state has its colour and says itself in words; the judges' names stand under their seats.
    void seatsShowTheirStates()
    {
        Phones p;
        p.turnOn();
        p.link().setSeat(1, SeatState::Connected, u"手机A"_s);
        p.link().setSeat(2, SeatState::Stale);
        p.link().setSeat(3, SeatState::Locked);
        QCOMPARE(p.lamps(), u"GALSSSSSSSSS"_s);
        QCOMPARE(p.text(u"lab_seat1"_s), u"已连接"_s);
        QCOMPARE(p.text(u"lab_seat2"_s), u"无心跳"_s);
        QCOMPARE(p.text(u"lab_seat3"_s), u"已锁定"_s);
        QCOMPARE(p.text(u"lab_seat4"_s), u"未配对"_s);
        QVERIFY(p.find(u"lab_seat3"_s)->isVisible());
        QCOMPARE(p.text(u"RxLabel2"_s), u"2号 李华"_s);
        QCOMPARE(p.screen->qd[2]->accessibleDescription(), u"3号座位：已锁定"_s);
        // The number stays readable on the dark locked seat.
        QVERIFY(p.screen->lab_qd[2]->styleSheet().contains(u"white"_s));
        QVERIFY(p.screen->lab_qd[1]->styleSheet().isEmpty());

        // The link stays on while the screen is closed: the seats are there again at the next opening.
        p.close();
        p.link().setSeat(4, SeatState::Connected);
        p.open();
        QCOMPARE(p.lamps(), u"GALGSSSSSSSS"_s);
    }

    // Clicking a seat, or its F-key, shows its QR code and a new pairing code with its expiry; the code is
    // hidden while a phone holds the seat, and a reset makes the seat's code anew.
    void choosingASeatShowsItsCode()
    {
        g_messages.clear();
        const QtMessageHandler previous = qInstallMessageHandler(keepMessage);
        Phones p;
        QVERIFY(!p.find(u"panel_seat"_s)->isVisible());
        QTest::mouseClick(p.screen->qd[4], Qt::LeftButton); // off: the lamps choose nothing
        QCOMPARE(p.screen->chosenSeat(), 0);
        p.turnOn();

        QTest::mouseClick(p.screen->qd[4], Qt::LeftButton);
        QCOMPARE(p.screen->chosenSeat(), 5);
        auto *qr = p.find<SeatQr>(u"qr_seat"_s);
        QVERIFY(p.find(u"panel_seat"_s)->isVisible());
        QVERIFY(qr->isVisible());
        QVERIFY(!qr->isEmpty());
        QCOMPARE(qr->seat(), 5);
        QVERIFY(qr->width() >= 220);
        QVERIFY(darkPixels(qr) > 2000);
        QCOMPARE(qr->accessibleName(), u"5号座位的配对二维码"_s);
        QVERIFY(p.screen->qd[4]->isChosen());
        QCOMPARE(p.text(u"lab_seat_title"_s), u"5号座位 陈静"_s);
        QCOMPARE(p.link().codeRequests, QList<int>{5});
        QCOMPARE(p.text(u"lab_code"_s).size(), 6);
        QCOMPARE(p.text(u"lab_code_expiry"_s), u"有效至 20:03:00，只能用一次"_s); // 20:00 and three minutes
        QVERIFY(p.text(u"lab_join_hint"_s).contains(u"http://192.0.2.7:8765"_s));

        // Large, to scan from the back of the hall; F7 meanwhile moves it to seat 7.
        auto *big = p.find<SeatQr>(u"qr_big"_s);
        QTest::mouseClick(p.screen->btn_big_qr, Qt::LeftButton);
        QVERIFY(big->isVisible());
        QCOMPARE(big->accessibleName(), u"5号座位的配对二维码"_s);
        QVERIFY(darkPixels(big) > 4 * darkPixels(qr));
        QTest::keyClick(p.screen, Qt::Key_F7);
        QCOMPARE(p.screen->chosenSeat(), 7);
        QCOMPARE(qr->accessibleName(), u"7号座位的配对二维码"_s);
        QCOMPARE(big->accessibleName(), u"7号座位的配对二维码"_s);
        QVERIFY(!p.screen->qd[4]->isChosen());
        QCOMPARE(p.text(u"lab_qr_big"_s), u"7号座位 杨帆"_s);
        QTest::mouseClick(p.screen->btn_close_big, Qt::LeftButton);
        QVERIFY(!big->isVisible());

        // Paired: the code goes away. Locked: only a reset helps, which needs no question while no phone is on it.
        p.link().setSeat(7, SeatState::Connected, u"手机B"_s);
        QVERIFY(!qr->isVisible());
        QVERIFY(!p.find(u"lab_code"_s)->isVisible());
        QVERIFY(p.text(u"lab_join_hint"_s).contains(u"手机B"_s));
        p.t.fakes.dialogs.confirmAnswers.enqueue(false);
        QTest::mouseClick(p.screen->btn_reset, Qt::LeftButton);
        QVERIFY(p.link().resets.isEmpty()); // the operator said no: the judge keeps the seat
        QCOMPARE(p.t.fakes.dialogs.confirmations.size(), 1);

        p.link().setSeat(7, SeatState::Locked);
        QVERIFY(!qr->isVisible());
        QVERIFY(p.text(u"lab_join_hint"_s).contains(u"锁定"_s));
        QTest::mouseClick(p.screen->btn_reset, Qt::LeftButton);
        QCOMPARE(p.link().resets, QList<int>{7});
        QCOMPARE(p.t.fakes.dialogs.confirmations.size(), 1);
        QVERIFY(qr->isVisible());
        QCOMPARE(p.link().codeRequests, (QList<int>{5, 7, 7}));

        QTest::mouseClick(p.screen->btn_hide_qr, Qt::LeftButton);
        QVERIFY(!p.find(u"panel_seat"_s)->isVisible());
        QVERIFY(qr->isEmpty());

        qInstallMessageHandler(previous);
        for (const QString &m : std::as_const(g_messages))
            QVERIFY2(!m.contains(u"#t="_s), qPrintable(m));
    }

    // Only the contest's seats are offered, without names for the others; a code that has paired a
    // phone is not shown again when the phone drops: the seat gets a fresh one.
    void onlyTheContestsSeatsAndNoSpentCode()
    {
        Phones p;
        p.t.folder.setConfig(keys::kJudges, keys::kJudgeCount, u"7"_s);
        p.close();
        p.open();
        p.turnOn();
        QCOMPARE(p.lamps(), u"SSSSSSSRRRRR"_s);
        QCOMPARE(p.text(u"RxLabel7"_s), u"7号 杨帆"_s);
        QCOMPARE(p.text(u"RxLabel8"_s), u"键盘8"_s);
        QVERIFY(!p.find(u"lab_seat8"_s)->isVisible());
        QTest::mouseClick(p.screen->qd[7], Qt::LeftButton);
        QCOMPARE(p.screen->chosenSeat(), 0);
        QTest::keyClick(p.screen, Qt::Key_F12);
        QCOMPARE(p.screen->chosenSeat(), 0);
        QVERIFY(!p.find(u"panel_seat"_s)->isVisible());

        QTest::keyClick(p.screen, Qt::Key_F3);
        QCOMPARE(p.screen->chosenSeat(), 3);
        const QString first = p.text(u"lab_code"_s);
        p.link().setSeat(3, SeatState::Connected, u"手机C"_s);
        QVERIFY(!p.find(u"lab_code"_s)->isVisible());
        p.link().setSeat(3, SeatState::Stale, u"手机C"_s);
        QVERIFY(p.find(u"lab_code"_s)->isVisible());
        QVERIFY(p.text(u"lab_code"_s) != first);
        QCOMPARE(p.link().codeRequests, (QList<int>{3, 3}));
    }

    // A second device for a seat waits for the operator's answer, asked while the operator is on this
    // screen, or at its next opening.
    void secondDeviceNeedsTheOperator_data()
    {
        QTest::addColumn<bool>("yes");
        QTest::newRow("allowed") << true;
        QTest::newRow("refused") << false;
    }
    void secondDeviceNeedsTheOperator()
    {
        QFETCH(bool, yes);
        Phones p;
        p.turnOn();
        p.t.fakes.dialogs.confirmAnswers.enqueue(yes);
        p.link().askSecondDevice(4);
        const QString answer = u"4:"_s + (yes ? u"yes"_s : u"no"_s);
        QTRY_COMPARE(p.link().secondAnswers, QStringList{answer});
        QVERIFY(p.t.fakes.dialogs.confirmations.value(0).contains(u"4号座位（赵强）"_s));

        p.close();
        p.link().askSecondDevice(9);
        QTest::qWait(20);
        QCOMPARE(p.link().secondAnswers.size(), 1); // nothing pops up over the show
        p.t.fakes.dialogs.confirmAnswers.enqueue(yes);
        p.open();
        QTRY_COMPARE(p.link().secondAnswers.size(), 2);
        QCOMPARE(p.link().secondAnswers[1], u"9:"_s + (yes ? u"yes"_s : u"no"_s));
    }

    void renewingTokensAsksFirst()
    {
        Phones p;
        p.turnOn();
        p.link().setSeat(2, SeatState::Connected);
        QTest::keyClick(p.screen, Qt::Key_F3);
        p.t.fakes.dialogs.confirmAnswers.enqueue(false);
        QTest::mouseClick(p.screen->btn_renew, Qt::LeftButton);
        QCOMPARE(p.link().renewals, 0);
        QCOMPARE(p.screen->chosenSeat(), 3);
        p.t.fakes.dialogs.confirmAnswers.enqueue(true);
        QTest::mouseClick(p.screen->btn_renew, Qt::LeftButton);
        QCOMPARE(p.link().renewals, 1);
        QCOMPARE(p.lamps(), u"SSSSSSSSSSSS"_s);
        QCOMPARE(p.screen->chosenSeat(), 0); // the code on show was the old token's
        QVERIFY(!p.find(u"panel_seat"_s)->isVisible());
        QCOMPARE(p.t.fakes.dialogs.confirmations.size(), 2);
    }

    // Renders the page for a look when QUELMORA_SCREENSHOTS names a folder.
    void screenshot()
    {
        const QString folder = qEnvironmentVariable("QUELMORA_SCREENSHOTS");
        if (folder.isEmpty())
            QSKIP("set QUELMORA_SCREENSHOTS to a folder to render the screenshot");
        QDir().mkpath(folder);
        Phones p;
        p.turnOn();
        for (int seat : {1, 2, 4, 5, 6, 9})
            p.link().setSeat(seat, SeatState::Connected);
        p.link().setSeat(3, SeatState::Stale);
        p.link().setSeat(7, SeatState::Locked);
        QTest::mouseClick(p.screen->qd[7], Qt::LeftButton);
        QVERIFY(p.screen->grab().save(folder + u"/phone_seats.png"_s));
        QTest::mouseClick(p.screen->btn_big_qr, Qt::LeftButton);
        QVERIFY(p.screen->grab().save(folder + u"/phone_seat_big_qr.png"_s));
        QTest::mouseClick(p.screen->btn_close_big, Qt::LeftButton);
        p.screen->PageControl1->setCurrentWidget(p.screen->tab_phones);
        QVERIFY(p.screen->grab().save(folder + u"/phone_link.png"_s));
    }
};

QUELMORA_TEST_MAIN(PhonePairing)
#include "tst_phone_pairing.moc"
