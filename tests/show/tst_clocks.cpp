// The big-screen countdown and the count-up clock: presets from the database, the tick with its sounds,
// the start-stop and reset keys, a sound that fails, elapsed time kept to the steady clock, and the
// figures kept inside the dial's ticks and the count-up board for every value.
#include "media/asset_paths.h"
#include "settings/settings_keys.h"
#include "show/tfrm_djs.h"
#include "show/tfrm_zjs.h"
#include "test_app.h"
#include "ui/picture.h"
#include "ui/shadow_label.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QLineF>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTimer>

#include <cmath>

namespace {

struct Countdown {
    // `threshold` empty leaves the key out of the settings (its default is 0).
    explicit Countdown(const QStringList &presets = {QStringLiteral("30"), QStringLiteral("10"), QStringLiteral("5")},
                       const QString &threshold = {}, bool background = true)
    {
        QStringList sql;
        for (const QString &p : presets)
            sql << QStringLiteral("insert into djs (js) values ('%1')").arg(p);
        app.folder.exec(sql);
        if (!threshold.isEmpty())
            app.folder.setConfig(keys::kContest, keys::kBigCountdownSound, threshold);
        if (background)
            app.folder.writePicture(assets::kCountdownBackground, QSize(64, 48), Qt::blue);
        app.start();
    }

    Tfrm_djs *screen() { return app.context().screens.frm_djs; }
    FakeMediaPlayer *player() { return dynamic_cast<FakeMediaPlayer *>(screen()->Media1); }
    QString shown() { return screen()->lab_djs->text(); }
    bool running() { return screen()->time_djs->isActive(); }

    void open()
    {
        screen()->openModal(nullptr);
        QVERIFY(QTest::qWaitForWindowExposed(screen()));
    }
    void key(Qt::Key k) { QTest::keyClick(screen(), k); }
    // Chooses the list's item as the operator does: the list has the focus, Down moves to the next item.
    void choose(int index)
    {
        QComboBox *list = screen()->combox_djs;
        list->setFocus();
        while (list->currentIndex() < index)
            QTest::keyClick(list, Qt::Key_Down);
    }
    QStringList items()
    {
        QStringList out;
        for (int i = 0; i < screen()->combox_djs->count(); ++i)
            out << screen()->combox_djs->itemText(i);
        return out;
    }
    // The sound files played since the last call, by name.
    QStringList played()
    {
        QStringList out;
        for (const QString &line : app.fakes.media.log.lines)
            if (line.startsWith(QLatin1String("frm_djs:play:")))
                out << QFileInfo(line.section(QLatin1Char(':'), 2)).fileName();
        app.fakes.media.log.lines.clear();
        return out;
    }
    // Ticks until the timer stops (at most `limit` times); each tick as the number shown and the sounds.
    QStringList tickToTheEnd(int limit = 100)
    {
        QStringList out;
        played();
        while (running() && limit-- > 0) {
            screen()->time_djsTimer();
            if (!running()) {
                out << QStringLiteral("stop ") + shown();
                break;
            }
            out << QStringList(QStringList{shown()} + played()).join(QLatin1Char(' '));
        }
        return out;
    }

    TestApp app;
};

struct CountUp {
    CountUp()
    {
        app.start();
        app.fakes.clock.steady = 50'000; // the steady clock's zero lies somewhere in the past
    }
    Tfrm_zjs *screen() { return app.context().screens.frm_zjs; }
    void open()
    {
        screen()->openModal(nullptr);
        QVERIFY(QTest::qWaitForWindowExposed(screen()));
    }
    void key(Qt::Key k) { QTest::keyClick(screen(), k); }
    void advance(qint64 ms) { app.fakes.clock.steady += ms; }
    QString shown() { return screen()->Label1->text() + QLatin1Char('.') + screen()->Label2->text(); }
    bool running() { return screen()->Timer1->isActive() && screen()->Timer2->isActive(); }
    bool stopped() { return !screen()->Timer1->isActive() && !screen()->Timer2->isActive(); }

    TestApp app;
};

// The pixels `widget` draws: the screen grabbed with it hidden and shown, and where the two differ.
QList<QPoint> inkOf(QWidget *screen, QWidget *widget)
{
    widget->hide();
    const QImage without = screen->grab().toImage().convertToFormat(QImage::Format_RGB32);
    widget->show();
    const QImage with = screen->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QList<QPoint> ink;
    for (int y = 0; y < with.height(); ++y)
        for (int x = 0; x < with.width(); ++x)
            if (with.pixel(x, y) != without.pixel(x, y))
                ink << QPoint(x, y);
    return ink;
}

QRect boundsOf(const QList<QPoint> &points)
{
    QRect r;
    for (const QPoint &p : points)
        r |= QRect(p, QSize(1, 1));
    return r;
}

} // namespace

// The figures never cover the dial's ticks (their inner ends lie 196 pixels from its centre, at
// 509.5, 388) nor leave the count-up board, whatever number is on display.
class ClockFaceTest : public QObject {
    Q_OBJECT
private slots:
    void theCountdownKeepsInsideTheTicks_data()
    {
        QTest::addColumn<QString>("preset");
        QTest::addColumn<int>("smallestHeight"); // of the ink, in pixels
        QTest::newRow("59") << QStringLiteral("59") << 140;
        QTest::newRow("600") << QStringLiteral("600") << 140;
        QTest::newRow("1200") << QStringLiteral("1200") << 100;
        QTest::newRow("9999") << QStringLiteral("9999") << 100;
        QTest::newRow("99999") << QStringLiteral("99999") << 80;
        QTest::newRow("-10") << QStringLiteral("-10") << 120;
    }
    void theCountdownKeepsInsideTheTicks()
    {
        QFETCH(QString, preset);
        QFETCH(int, smallestHeight);
        Countdown c({preset}, {}, false);
        c.app.folder.writePicture(assets::kCountdownBackground, QSize(1024, 768), Qt::white);
        c.open();
        c.screen()->setGeometry(0, 0, 1024, 768);
        c.choose(0);
        QCOMPARE(c.shown(), preset);
        const QList<QPoint> ink = inkOf(c.screen(), c.screen()->lab_djs);
        QVERIFY(!ink.isEmpty());
        const QPointF centre(509.5, 388);
        qreal farthest = 0;
        for (const QPoint &p : ink)
            farthest = std::max(farthest, QLineF(centre, QPointF(p) + QPointF(0.5, 0.5)).length());
        QVERIFY2(farthest < 196, qPrintable(QStringLiteral("ink %1 px from the centre").arg(farthest)));
        const QRect bounds = boundsOf(ink);
        QVERIFY2(bounds.height() >= smallestHeight, qPrintable(QStringLiteral("ink %1 px high").arg(bounds.height())));
        // Centred on the dial.
        QVERIFY(std::abs(bounds.center().x() - centre.x()) <= 4);
        QVERIFY(std::abs(bounds.center().y() - centre.y()) <= 6);
        // The preset list shows the whole preset in its text field, still ending at the screen's right edge.
        QComboBox *list = c.screen()->combox_djs;
        QStyleOptionComboBox option;
        option.initFrom(list);
        const QRect field = list->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, list);
        QVERIFY2(field.width() >= QFontMetrics(list->font()).horizontalAdvance(preset),
                 qPrintable(QStringLiteral("text field %1 px wide").arg(field.width())));
        QCOMPARE(list->geometry().right(), 1008);
        QVERIFY(list->width() >= 57);
    }

    void theSizeChangesOnlyWithTheNumberOfDigits()
    {
        Countdown c({QStringLiteral("1001"), QStringLiteral("59")}, {}, false);
        c.open();
        Tfrm_djs *screen = c.screen();
        // Two digits keep the design's type; every four-digit number shares one smaller size.
        QCOMPARE(screen->numberPixelSize(QStringLiteral("59")), 227);
        const int four = screen->numberPixelSize(QStringLiteral("1111"));
        QVERIFY(four < 227);
        for (const QString &n : {QStringLiteral("1000"), QStringLiteral("1200"), QStringLiteral("8888")})
            QCOMPARE(screen->numberPixelSize(n), four);
        // Counting down from 1001 the type grows back at 999.
        c.choose(0);
        QCOMPARE(c.shown(), QStringLiteral("1001"));
        QCOMPARE(screen->lab_djs->font().pixelSize(), four);
        c.key(Qt::Key_Apostrophe);
        screen->time_djsTimer();
        QCOMPARE(screen->lab_djs->font().pixelSize(), four);
        screen->time_djsTimer();
        QCOMPARE(c.shown(), QStringLiteral("999"));
        QCOMPARE(screen->lab_djs->font().pixelSize(), screen->numberPixelSize(QStringLiteral("999")));
        QVERIFY(screen->lab_djs->font().pixelSize() > four);
        // The semicolon key puts the preset back in its own size.
        c.key(Qt::Key_Semicolon);
        QCOMPARE(screen->lab_djs->font().pixelSize(), four);
    }

    void theCountUpKeepsToItsBoard_data()
    {
        QTest::addColumn<qint64>("seconds");
        QTest::newRow("59 s") << qint64(59);
        QTest::newRow("600 s") << qint64(600);
        QTest::newRow("1200 s") << qint64(1200);
        QTest::newRow("9999 s") << qint64(9999);
        QTest::newRow("1000 hours") << qint64(3'600'000);
        QTest::newRow("100000 hours") << qint64(360'000'000);
    }
    void theCountUpKeepsToItsBoard()
    {
        QFETCH(qint64, seconds);
        CountUp u;
        u.open();
        u.screen()->setGeometry(0, 0, 1024, 768);
        u.key(Qt::Key_Apostrophe);
        u.advance(seconds * 1000 + 470);
        u.screen()->Timer2Timer();
        QCOMPARE(u.screen()->Label3->text(), QString::number(seconds));
        // The board's face is 96, 270; 776 x 197, split at 688 between the time and its fraction.
        const QRect time = boundsOf(inkOf(u.screen(), u.screen()->Label1));
        const QRect fraction = boundsOf(inkOf(u.screen(), u.screen()->Label2));
        QVERIFY2(QRect(106, 280, 684 - 106, 177).contains(time),
                 qPrintable(QStringLiteral("time ink %1,%2 %3x%4").arg(time.x()).arg(time.y()).arg(time.width()).arg(time.height())));
        QVERIFY(QRect(692, 280, 862 - 692, 177).contains(fraction));
        QVERIFY(time.height() >= 40);
    }
};

class CountdownTest : public QObject {
    Q_OBJECT
private slots:
    void openingListsThePresetsAndShowsNothing()
    {
        Countdown c({QStringLiteral("30"), QStringLiteral("10"), QStringLiteral(" 5 ")}, QStringLiteral("4"));
        c.open();
        // As the database orders the text.
        QCOMPARE(c.items(), (QStringList{QStringLiteral(" 5 "), QStringLiteral("10"), QStringLiteral("30")}));
        QCOMPARE(c.screen()->combox_djs->currentIndex(), -1);
        QCOMPARE(c.shown(), QString());
        QCOMPARE(c.screen()->preset_seconds(), QStringLiteral("0"));
        QCOMPARE(c.screen()->bigscreen_sound_threshold(), 4);
        QVERIFY(!c.running());
        QVERIFY(!c.screen()->Image1->isEmpty());
        QCOMPARE(c.screen()->geometry(), QRect(0, 0, 1024, 768));
        QCOMPARE(c.screen()->lab_djs->geometry(), QRect(297, 262, 425, 249));
        QVERIFY(c.app.fakes.dialogs.errors.isEmpty());
    }

    // Each failure on opening is told, and the rest of the opening still happens.
    void openingFailuresAreToldAndTheListStillFills_data()
    {
        QTest::addColumn<QString>("threshold");
        QTest::addColumn<bool>("background");
        QTest::addColumn<QString>("error");
        QTest::newRow("no background") << QStringLiteral("3") << false << QStringLiteral("倒计时.jpg");
        QTest::newRow("threshold not a number") << QStringLiteral("三") << true << QStringLiteral("'三'");
    }
    void openingFailuresAreToldAndTheListStillFills()
    {
        QFETCH(QString, threshold);
        QFETCH(bool, background);
        QFETCH(QString, error);
        Countdown c({QStringLiteral("10")}, threshold, background);
        c.open();
        QCOMPARE(c.app.fakes.dialogs.errors.size(), 1);
        QVERIFY2(c.app.fakes.dialogs.errors.first().contains(error), qPrintable(c.app.fakes.dialogs.errors.first()));
        QCOMPARE(c.items(), QStringList{QStringLiteral("10")});
        c.choose(0);
        c.key(Qt::Key_Apostrophe);
        QVERIFY(c.running());
    }

    void choosingAPresetShowsItAndTakesTheFocusAway()
    {
        Countdown c({QStringLiteral(" 5 "), QStringLiteral("10")});
        c.open();
        c.choose(0);
        QCOMPARE(c.shown(), QStringLiteral("5"));
        QCOMPARE(c.screen()->preset_seconds(), QStringLiteral("5"));
        QCOMPARE(QApplication::focusWidget(), c.screen()->Edit1);
        // Typed characters reach neither the list nor the focus box.
        QTest::keyClicks(c.screen()->Edit1, QStringLiteral("1a "));
        QCOMPARE(c.screen()->Edit1->text(), QString());
        c.screen()->combox_djs->setFocus();
        QTest::keyClicks(c.screen()->combox_djs, QStringLiteral("1"));
        QCOMPARE(c.screen()->combox_djs->currentIndex(), 0);
        QCOMPARE(c.shown(), QStringLiteral("5"));
        // Nor the open list, which would choose an item by its first digit.
        c.screen()->combox_djs->showPopup();
        QAbstractItemView *view = c.screen()->combox_djs->view();
        QTest::keyClick(view, Qt::Key_1);
        QCOMPARE(view->currentIndex().row(), 0);
        QTest::keyClick(view, Qt::Key_Down);
        QTest::keyClick(view, Qt::Key_Return);
        QCOMPARE(c.shown(), QStringLiteral("10"));
    }

    void choosingStopsARunningCountdown()
    {
        Countdown c;
        c.open();
        c.choose(0);
        c.key(Qt::Key_Apostrophe);
        c.screen()->time_djsTimer();
        QCOMPARE(c.shown(), QStringLiteral("9"));
        c.choose(1);
        QVERIFY(!c.running());
        QCOMPARE(c.shown(), QStringLiteral("30"));
    }

    void theTickSoundsTheLastSeconds_data()
    {
        QTest::addColumn<QString>("preset");
        QTest::addColumn<QString>("threshold");
        QTest::addColumn<QStringList>("ticks");
        const QString t = QStringLiteral(" 倒计时.wav"), up = QStringLiteral(" 时间到.wav");
        QTest::newRow("10, threshold 3")
            << QStringLiteral("10") << QStringLiteral("3")
            << QStringList{QStringLiteral("9"),     QStringLiteral("8"),     QStringLiteral("7"),
                           QStringLiteral("6"),     QStringLiteral("5"),     QStringLiteral("4"),
                           QStringLiteral("3") + t, QStringLiteral("2") + t, QStringLiteral("1") + t,
                           QStringLiteral("0") + t + up, QStringLiteral("stop 0")};
        QTest::newRow("5, threshold 0 by default")
            << QStringLiteral("5") << QString()
            << QStringList{QStringLiteral("4"), QStringLiteral("3"), QStringLiteral("2"), QStringLiteral("1"),
                           QStringLiteral("0") + t + up, QStringLiteral("stop 0")};
        QTest::newRow("threshold above the preset sounds every tick")
            << QStringLiteral("2") << QStringLiteral("60")
            << QStringList{QStringLiteral("1") + t, QStringLiteral("0") + t + up, QStringLiteral("stop 0")};
        QTest::newRow("preset 0 stops at the first tick") << QStringLiteral("0") << QString()
                                                          << QStringList{QStringLiteral("stop 0")};
    }
    void theTickSoundsTheLastSeconds()
    {
        QFETCH(QString, preset);
        QFETCH(QString, threshold);
        QFETCH(QStringList, ticks);
        Countdown c({preset}, threshold);
        c.open();
        c.choose(0);
        c.key(Qt::Key_Apostrophe);
        QVERIFY(c.running());
        QCOMPARE(c.screen()->time_djs->interval(), 1000);
        QCOMPARE(c.tickToTheEnd(), ticks);
        const QString folder = c.app.folder.file(QStringLiteral("音效/"));
        if (ticks.size() > 1)
            QCOMPARE(c.player()->fileName, folder + QStringLiteral("时间到.wav"));
        QVERIFY(c.app.fakes.dialogs.errors.isEmpty());
    }

    void startStopAndResetActOnRelease()
    {
        Countdown c;
        c.open();
        c.choose(0);
        QTest::keyPress(c.screen(), Qt::Key_Apostrophe);
        QVERIFY(!c.running());
        QTest::keyRelease(c.screen(), Qt::Key_Apostrophe);
        QVERIFY(c.running());
        c.screen()->time_djsTimer();
        QTest::keyPress(c.screen(), Qt::Key_Semicolon);
        QCOMPARE(c.shown(), QStringLiteral("9"));
        QTest::keyRelease(c.screen(), Qt::Key_Semicolon);
        QCOMPARE(c.shown(), QStringLiteral("10"));
    }

    void resetWhileRunningGoesOnFromThePreset()
    {
        Countdown c;
        c.open();
        c.choose(0);
        c.key(Qt::Key_Apostrophe);
        for (int i = 0; i < 3; ++i)
            c.screen()->time_djsTimer();
        QCOMPARE(c.shown(), QStringLiteral("7"));
        c.key(Qt::Key_Semicolon);
        QCOMPARE(c.shown(), QStringLiteral("10"));
        QVERIFY(c.running());
        c.screen()->time_djsTimer();
        QCOMPARE(c.shown(), QStringLiteral("9"));
    }

    void theStartStopKeyPausesAndResumes()
    {
        Countdown c;
        c.open();
        c.choose(0);
        c.key(Qt::Key_Apostrophe);
        c.screen()->time_djsTimer();
        c.key(Qt::Key_Apostrophe);
        QVERIFY(!c.running());
        QCOMPARE(c.shown(), QStringLiteral("9"));
        c.key(Qt::Key_Apostrophe);
        QVERIFY(c.running());
        c.screen()->time_djsTimer();
        QCOMPARE(c.shown(), QStringLiteral("8"));
    }

    void startingWithNothingChosenDoesNothing()
    {
        Countdown c;
        c.open();
        c.key(Qt::Key_Apostrophe);
        QVERIFY(!c.running());
        QCOMPARE(c.shown(), QString());
        QVERIFY(c.app.fakes.dialogs.errors.isEmpty());
    }

    void aPresetThatIsNoNumberIsToldAtTheStart()
    {
        Countdown c({QStringLiteral("abc")});
        c.open();
        c.choose(0);
        QCOMPARE(c.shown(), QStringLiteral("abc"));
        c.key(Qt::Key_Apostrophe);
        QVERIFY(!c.running());
        QCOMPARE(c.app.fakes.dialogs.errors, QStringList{QStringLiteral("“abc”不是有效的整数。\n'abc' is not a valid integer value")});
    }

    // The player fails at every sound: one box, and the count goes on to its end with every sound tried.
    void aFailingSoundIsToldOnceAndTheCountGoesOn()
    {
        Countdown c({QStringLiteral("3")}, QStringLiteral("5"));
        c.open();
        c.player()->failOpen = QStringLiteral("无法找到指定的文件。");
        c.choose(0);
        c.key(Qt::Key_Apostrophe);
        QStringList shown;
        int opens = 0;
        while (c.running()) {
            c.screen()->time_djsTimer();
            QCoreApplication::processEvents();
            shown << c.shown();
        }
        for (const QString &line : c.app.fakes.media.log.lines)
            opens += line.startsWith(QLatin1String("frm_djs:open:"));
        QCOMPARE(shown, (QStringList{QStringLiteral("2"), QStringLiteral("1"), QStringLiteral("0"), QStringLiteral("0")}));
        QCOMPARE(opens, 4); // three ticks and the time-up sound
        QCOMPARE(c.app.fakes.dialogs.errors, QStringList{QStringLiteral("无法找到指定的文件。")});
        // A new countdown tells it again.
        c.key(Qt::Key_Semicolon);
        c.key(Qt::Key_Apostrophe);
        c.screen()->time_djsTimer();
        QCoreApplication::processEvents();
        QCOMPARE(c.app.fakes.dialogs.errors.size(), 2);
    }

    // The real timer, a second a tick.
    void theTimerCountsDownOnItsOwn()
    {
        Countdown c({QStringLiteral("2")});
        c.open();
        c.choose(0);
        c.key(Qt::Key_Apostrophe);
        QTRY_COMPARE_WITH_TIMEOUT(c.shown(), QStringLiteral("1"), 1500);
        QTRY_VERIFY_WITH_TIMEOUT(!c.running(), 3000);
        QCOMPARE(c.shown(), QStringLiteral("0"));
        QCOMPARE(c.played(), (QStringList{QStringLiteral("倒计时.wav"), QStringLiteral("时间到.wav")}));
    }

    void escStopsAndClosesAndTheNextOpeningStartsAfresh()
    {
        Countdown c;
        c.open();
        c.choose(0);
        c.key(Qt::Key_Apostrophe);
        c.app.fakes.media.log.lines.clear();
        c.key(Qt::Key_Escape);
        QVERIFY(!c.running());
        QVERIFY(!c.screen()->isVisible());
        QCOMPARE(c.app.fakes.media.log.lines, QStringList{QStringLiteral("frm_djs:close:")});
        c.app.folder.exec({QStringLiteral("insert into djs (js) values ('60')")});
        c.open();
        QCOMPARE(c.shown(), QString());
        QCOMPARE(c.screen()->preset_seconds(), QStringLiteral("0"));
        QCOMPARE(c.items().size(), 4);
        // The semicolon key before any choice shows the "0" of the opening.
        c.key(Qt::Key_Semicolon);
        QCOMPARE(c.shown(), QStringLiteral("0"));
    }
};

class CountUpTest : public QObject {
    Q_OBJECT
private slots:
    void openingShowsZero()
    {
        CountUp c;
        c.open();
        QCOMPARE(c.shown(), QStringLiteral("00:00:00.00"));
        QCOMPARE(c.screen()->Label3->text(), QStringLiteral("0"));
        QVERIFY(!c.screen()->Label3->isVisible());
        QVERIFY(c.stopped());
        QVERIFY(!c.screen()->Image1->isEmpty());
        QCOMPARE(c.screen()->Label1->geometry(), QRect(128, 302, 546, 133));
        QCOMPARE(c.screen()->Label2->geometry(), QRect(701, 302, 138, 133));
    }

    void elapsedTimeFormat_data()
    {
        QTest::addColumn<qint64>("ms");
        QTest::addColumn<QString>("shown");
        QTest::newRow("0 s") << qint64(0) << QStringLiteral("00:00:00.00");
        QTest::newRow("5 s") << qint64(5'000) << QStringLiteral("00:00:5.00");
        QTest::newRow("65 s") << qint64(65'000) << QStringLiteral("00:1:5.00");
        QTest::newRow("600 s") << qint64(600'000) << QStringLiteral("00:10:00.00");
        QTest::newRow("3600 s") << qint64(3'600'000) << QStringLiteral("1:00:00.00");
        QTest::newRow("3725 s") << qint64(3'725'000) << QStringLiteral("1:2:5.00");
        QTest::newRow("a day and more") << qint64(90'061'480) << QStringLiteral("25:1:1.48");
    }
    void elapsedTimeFormat()
    {
        QFETCH(qint64, ms);
        QFETCH(QString, shown);
        CountUp c;
        c.open();
        c.key(Qt::Key_Apostrophe);
        QVERIFY(c.running());
        c.advance(ms);
        c.screen()->Timer1Timer();
        QCOMPARE(c.shown(), shown);
        QCOMPARE(c.screen()->Label3->text(), QString::number(ms / 1000));
    }

    // However few and late the ticks, the time shown is the time that passed.
    void theCountKeepsToTheRealClock()
    {
        CountUp c;
        c.open();
        c.key(Qt::Key_Apostrophe);
        c.advance(1'300); // a tick 300 ms late
        c.screen()->Timer1Timer();
        QCOMPARE(c.shown(), QStringLiteral("00:00:1.30"));
        QCOMPARE(c.screen()->Timer1->interval(), 700); // the next tick aims at the next whole second
        c.advance(3'598'700); // the rest of an hour, with no tick between
        c.screen()->Timer1Timer();
        QCOMPARE(c.shown(), QStringLiteral("1:00:00.00"));
        QCOMPARE(c.screen()->Timer1->interval(), 1000);
        c.advance(1'234);
        c.screen()->Timer2Timer();
        QCOMPARE(c.shown(), QStringLiteral("1:00:1.23"));
    }

    void stopAndStartAgainCountsOnlyTheRunningTime()
    {
        CountUp c;
        c.open();
        c.key(Qt::Key_Apostrophe);
        c.advance(2'500);
        c.key(Qt::Key_Apostrophe);
        QVERIFY(c.stopped());
        QCOMPARE(c.shown(), QStringLiteral("00:00:2.50"));
        c.advance(10'000); // standing
        c.key(Qt::Key_Apostrophe);
        QVERIFY(c.running());
        c.advance(600);
        c.screen()->Timer1Timer();
        QCOMPARE(c.shown(), QStringLiteral("00:00:3.10"));
    }

    void resetWhileRunningRestartsFromZeroAtOnce()
    {
        CountUp c;
        c.open();
        c.key(Qt::Key_Apostrophe);
        c.advance(65'400);
        c.screen()->Timer1Timer();
        QCOMPARE(c.shown(), QStringLiteral("00:1:5.40"));
        c.key(Qt::Key_Semicolon);
        QCOMPARE(c.shown(), QStringLiteral("00:00:00.00"));
        QCOMPARE(c.screen()->Label3->text(), QStringLiteral("0"));
        QVERIFY(c.running());
        c.advance(1'000);
        c.screen()->Timer1Timer();
        QCOMPARE(c.shown(), QStringLiteral("00:00:1.00"));
    }

    // The real timers show the time the steady clock gives.
    void theTimersShowTheTimeOnTheirOwn()
    {
        CountUp c;
        c.open();
        c.key(Qt::Key_Apostrophe);
        c.advance(61'250);
        QTRY_COMPARE_WITH_TIMEOUT(c.shown(), QStringLiteral("00:1:1.25"), 500);
        c.advance(1'000);
        QTRY_COMPARE_WITH_TIMEOUT(c.shown(), QStringLiteral("00:1:2.25"), 500);
    }

    void resetWhileStoppedStaysStopped()
    {
        CountUp c;
        c.open();
        c.key(Qt::Key_Apostrophe);
        c.advance(7'000);
        c.key(Qt::Key_Apostrophe);
        c.key(Qt::Key_Semicolon);
        QVERIFY(c.stopped());
        QCOMPARE(c.shown(), QStringLiteral("00:00:00.00"));
        c.key(Qt::Key_Apostrophe);
        c.advance(2'000);
        c.screen()->Timer1Timer();
        QCOMPARE(c.shown(), QStringLiteral("00:00:2.00"));
    }

    void escStopsBothTimersAndTheNextOpeningShowsZero()
    {
        CountUp c;
        c.open();
        c.key(Qt::Key_Apostrophe);
        c.advance(42'000);
        c.screen()->Timer1Timer();
        c.key(Qt::Key_Escape);
        QVERIFY(!c.screen()->isVisible());
        QVERIFY(c.stopped());
        c.open();
        QCOMPARE(c.shown(), QStringLiteral("00:00:00.00"));
        QVERIFY(c.stopped());
        c.key(Qt::Key_Apostrophe);
        c.advance(3'000);
        c.screen()->Timer1Timer();
        QCOMPARE(c.shown(), QStringLiteral("00:00:3.00"));
    }
};

// Renders both clocks for a look when QUELMORA_SCREENSHOTS names a folder.
class ClocksScreenshotTest : public QObject {
    Q_OBJECT
private slots:
    void render()
    {
        const QString folder = qEnvironmentVariable("QUELMORA_SCREENSHOTS");
        if (folder.isEmpty())
            QSKIP("set QUELMORA_SCREENSHOTS to a folder to render the screenshots");
        QDir().mkpath(folder);
        Countdown c({QStringLiteral("10"), QStringLiteral("30"), QStringLiteral("60")}, QStringLiteral("3"));
        // The background the build lays into its program folder, when there is one beside the tests.
        const QString built = QCoreApplication::applicationDirPath() + QStringLiteral("/../Quelmora/")
                              + assets::kCountdownBackground;
        if (QFile::exists(built)) {
            QFile::remove(c.app.folder.file(assets::kCountdownBackground));
            QVERIFY(QFile::copy(built, c.app.folder.file(assets::kCountdownBackground)));
        }
        c.open();
        c.screen()->setGeometry(0, 0, 1024, 768);
        c.choose(1);
        c.key(Qt::Key_Apostrophe);
        for (int i = 0; i < 22; ++i)
            c.screen()->time_djsTimer();
        QCOMPARE(c.shown(), QStringLiteral("8"));
        QVERIFY(c.screen()->grab().save(folder + QStringLiteral("/countdown.png")));

        // Each clock at a minute, ten and twenty minutes, and the longest four-digit count.
        for (const int seconds : {59, 600, 1200, 9999}) {
            Countdown d({QString::number(seconds)});
            if (QFile::exists(built)) {
                QFile::remove(d.app.folder.file(assets::kCountdownBackground));
                QVERIFY(QFile::copy(built, d.app.folder.file(assets::kCountdownBackground)));
            }
            d.open();
            d.screen()->setGeometry(0, 0, 1024, 768);
            d.choose(0);
            QVERIFY(d.screen()->grab().save(folder + QStringLiteral("/countdown_%1.png").arg(seconds)));

            CountUp u;
            u.open();
            u.screen()->setGeometry(0, 0, 1024, 768);
            u.key(Qt::Key_Apostrophe);
            u.advance(seconds * 1000LL + 470);
            u.screen()->Timer2Timer();
            QVERIFY(u.screen()->grab().save(folder + QStringLiteral("/count_up_%1.png").arg(seconds)));
        }
    }
};

QUELMORA_TEST_MAIN(CountdownTest, CountUpTest, ClockFaceTest, ClocksScreenshotTest)
#include "tst_clocks.moc"
