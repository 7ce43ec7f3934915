// Start-up and the main menu, and what every screen shares: key preview, the right-button filter, the guard.
#include "app/menu_artwork.h"
#include "app/tfrm_main.h"
#include "authoring/tfrm_tmlr.h"
#include "settings/settings_keys.h"
#include "show/tshow_main.h"
#include "test_app.h"
#include "ui/click_area.h"
#include "ui/dialogs.h"
#include "ui/key_codes.h"
#include "ui/picture.h"
#include "ui/shadow_label.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QMessageBox>
#include <QTimer>
#include <QScreen>
#include <QLineEdit>
#include <QRegularExpression>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>

#include <cstring>

namespace {

// A screen that records the keys it previews; it consumes F1 only.
class KeyProbe : public StageWindow {
public:
    using StageWindow::StageWindow;
    QStringList seen;

protected:
    bool keyDown(int key, Qt::KeyboardModifiers, bool autoRepeat) override
    {
        seen << QStringLiteral("down %1%2").arg(key).arg(autoRepeat ? QStringLiteral(" repeat") : QString());
        return key == vk::F1;
    }
    bool keyUp(int key, Qt::KeyboardModifiers modifiers) override
    {
        seen << QStringLiteral("up %1%2").arg(key).arg(modifiers & Qt::ShiftModifier ? QStringLiteral(" shift") : QString());
        if (key == vk::F2)
            throw AppError(QStringLiteral("boom"));
        return key == vk::F1;
    }
};

void hover(QWidget *w, QEvent::Type type)
{
    if (type == QEvent::Enter) {
        QEnterEvent e(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
        QCoreApplication::sendEvent(w, &e);
    } else {
        QEvent e(QEvent::Leave);
        QCoreApplication::sendEvent(w, &e);
    }
}

} // namespace

class StartupTest : public QObject {
    Q_OBJECT
private slots:
    void createsTheInstancesInOrder()
    {
        TestApp t;
        t.start(false);
        QStringList names;
        QStringList classes;
        for (QObject *o : t.app->creationOrder()) {
            names << o->objectName();
            classes << QString::fromLatin1(o->metaObject()->className());
        }
        QCOMPARE(names.join(QLatin1Char(' ')),
                 QStringLiteral("frm_main show_main frm_tmlr frm_tmlrxt Data frm_cssz frm_debug frm_banjiangjm frm_djs "
                                "frm_xuanchuan frm_zjs frm_pfmain frm_tm frm_dfpm frm_xsjs frm_jz frm_cj"));
        QCOMPARE(classes.join(QLatin1Char(' ')),
                 QStringLiteral("Tfrm_main Tshow_main Tfrm_tmlr Tfrm_tmlrxt TData Tfrm_cssz Tfrm_debug Tfrm_banjiangjm "
                                "Tfrm_djs Tfrm_xuanchuan Tfrm_zjs Tfrm_pfmain Tfrm_tm Tfrm_dfpm Tfrm_xsjs Tfrm_jz Tfrm_cj"));
        // Creation reads nothing: no settings file, no connection yet.
        QVERIFY(!QFileInfo::exists(t.folder.file(QStringLiteral("config/fenshu.ini"))));
        QVERIFY(!t.context().data->ADOConnection1.isOpen());
    }

    void firstStartShowsIssueZeroAndLeavesTeamScoresAlone()
    {
        TestApp t;
        t.start();
        Tfrm_main *menu = t.screens().frm_main;
        QCOMPARE(menu->lab_qs->text(), QStringLiteral("第0期题目"));
        QCOMPARE(t.context().current_issue, QStringLiteral("0"));
        QVERIFY(!QFileInfo::exists(t.folder.file(QStringLiteral("config/fenshu.ini"))));
        QVERIFY(t.context().data->ADOConnection1.isOpen());
        QCOMPARE(menu->geometry(), QRect(0, 0, 1024, 768));
        QVERIFY(t.fakes.dialogs.errors.isEmpty());
    }

    void resetsTheTeamScores()
    {
        TestApp t;
        t.folder.setConfig(keys::kCompetition, keys::kTeamCount, QStringLiteral("3"));
        const IniFile scores(t.folder.file(QStringLiteral("config/fenshu.ini")));
        scores.write(keys::kTeamScores, QStringLiteral("1号"), QStringLiteral("7"));
        scores.write(keys::kTeamScores, QStringLiteral("2号"), QStringLiteral("9"));
        scores.write(keys::kTeamScores, QStringLiteral("5号"), QStringLiteral("4"));
        t.start();
        const QStringList expected{QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0"),
                                   QStringLiteral("4")};
        for (int i = 1; i <= 5; ++i)
            QCOMPARE(scores.read(keys::kTeamScores, keys::teamScore(i)), expected[i - 1]);
    }

    void badTeamCountIsReportedAndTheDatabaseStillOpens()
    {
        TestApp t;
        t.folder.setConfig(keys::kCompetition, keys::kTeamCount, QStringLiteral("三"));
        t.start();
        QCOMPARE(t.fakes.dialogs.errors, QStringList{QStringLiteral("“三”不是有效的整数。\n'三' is not a valid integer value")});
        QVERIFY(t.context().data->ADOConnection1.isOpen());
    }

    // The other screens are made and the database opens after the menu's first paint, once; an area clicked
    // sooner finds them made and the database open.
    void theRestOfStartUpFollowsTheMenusFirstPaint()
    {
        TestProgramFolder folder;
        FakeServices fakes;
        int started = 0;
        Application app(folder.path(), fakes.services(), [&](AppContext &) { ++started; });
        Tfrm_main *menu = app.mainMenu();
        QVERIFY(menu);
        menu->show();
        QVERIFY(!app.started());
        QVERIFY(menu->databasePending());
        QVERIFY(QTest::qWaitForWindowExposed(menu));
        QTRY_VERIFY(app.started());
        QCOMPARE(started, 1);
        QTRY_VERIFY(!menu->databasePending());
        QVERIFY(app.context().data->ADOConnection1.isOpen());
        QCOMPARE(app.creationOrder().size(), size_t(17));
        // Shown again, the menu makes nothing twice.
        menu->hide();
        menu->show();
        QTest::qWait(20);
        QCOMPARE(started, 1);
        QCOMPARE(app.creationOrder().size(), size_t(17));
    }

    void anAreaOpenedBeforeThePaintFindsTheScreensAndTheDatabase()
    {
        TestProgramFolder folder;
        FakeServices fakes;
        Application app(folder.path(), fakes.services());
        Tfrm_main *menu = app.mainMenu();
        menu->show();
        QVERIFY(!app.started());
        emit menu->areas[1]->clicked(); // the question bank, which queries the database as it opens
        QVERIFY(app.started());
        QVERIFY(app.context().data->ADOConnection1.isOpen());
        QVERIFY(app.screens().frm_tmlr->isVisible());
        QVERIFY2(fakes.dialogs.errors.isEmpty(), qPrintable(fakes.dialogs.errors.join(QLatin1Char('\n'))));
        QTest::qWait(50);
        QCOMPARE(fakes.dialogs.errors, QStringList());
    }

    void missingDatabaseIsReportedAndTheMenuStaysUsable()
    {
        TestApp t(false);
        t.start();
        QCOMPARE(t.fakes.dialogs.errors.size(), 1);
        QVERIFY(t.fakes.dialogs.errors.first().contains(QStringLiteral("sys_main.db")));
        Tfrm_main *menu = t.screens().frm_main;
        QVERIFY(menu->isVisible());
        QCOMPARE(menu->lab_qs->text(), QStringLiteral("第0期题目"));
        // Every later use reports the same error.
        t.context().data->adoq_ls.setSql(QStringLiteral("select * from xsb"));
        QVERIFY_THROWS_EXCEPTION(AppError, t.context().data->adoq_ls.open());
    }
};

class MainMenuTest : public QObject {
    Q_OBJECT
private slots:
    void widgetsStandWhereDesigned_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("place");
        QTest::newRow("Image2") << QStringLiteral("Image2") << QRect(55, 317, 208, 136);
        QTest::newRow("Image5") << QStringLiteral("Image5") << QRect(742, 315, 208, 136);
        QTest::newRow("Label1") << QStringLiteral("Label1") << QRect(51, 312, 213, 196);
        QTest::newRow("Label4") << QStringLiteral("Label4") << QRect(739, 312, 215, 196);
        QTest::newRow("lab_qs") << QStringLiteral("lab_qs") << QRect(387, 613, 203, 37);
        QTest::newRow("button_help") << QStringLiteral("button_help") << QRect(750, 12, 50, 49);
        QTest::newRow("Button_exit") << QStringLiteral("Button_exit") << QRect(950, 10, 51, 49);
    }
    void widgetsStandWhereDesigned()
    {
        QFETCH(QString, name);
        QFETCH(QRect, place);
        TestApp t;
        t.start(false);
        auto *w = t.screens().frm_main->findChild<QWidget *>(name);
        QVERIFY(w);
        QCOMPARE(w->geometry(), place);
    }

    void issueLabelLooksAsDesigned()
    {
        TestApp t;
        t.start();
        ShadowLabel *label = t.screens().frm_main->lab_qs;
        QCOMPARE(label->font().pixelSize(), 35);
        QVERIFY(label->font().bold());
        QCOMPARE(label->textColour(), QColor(Qt::blue));
    }

    // The issue label of the first paint, drawn ahead over the menu's picture, looks as it does when drawn later.
    void firstPaintOfTheIssueLabelMatchesALaterOne()
    {
        TestApp t;
        t.start();
        Tfrm_main *menu = t.screens().frm_main;
        // What the window shows, as the display holds it, without painting it again.
        auto shown = [&] {
            const QRect place = menu->lab_qs->geometry().adjusted(-4, -4, 4, 4);
            return menu->screen()->grabWindow(menu->winId(), place.x(), place.y(), place.width(), place.height())
                .toImage().convertToFormat(QImage::Format_RGB32);
        };
        const QImage first = shown();
        menu->lab_qs->repaint();
        QCOMPARE(first, shown());
        QVERIFY(first.pixel(first.width() / 2, 4) != first.pixel(first.width() / 2, first.height() / 2));
    }

    // The program carries the menu's pictures for each drawn scale, read in place at their sizes.
    void storedPicturesCoverEveryScale_data()
    {
        QTest::addColumn<qreal>("scale");
        QTest::newRow("stage") << 1.0;
        for (const qreal s : kMenuArtScales)
            QTest::newRow(qPrintable(QString::number(s))) << s;
    }
    void storedPicturesCoverEveryScale()
    {
        QFETCH(qreal, scale);
        const QImage background = storedMenuPicture(menuArtName(QStringLiteral("menu_background"), scale));
        const QImage highlight = storedMenuPicture(menuArtName(QStringLiteral("menu_highlight"), scale));
        QCOMPARE(background.size(), QSize(qRound(1024 * scale), qRound(768 * scale)));
        QCOMPARE(background.format(), QImage::Format_RGB32);
        QCOMPARE(highlight.size(), QSize(qRound(208 * scale), qRound(136 * scale)));
        QCOMPARE(highlight.format(), QImage::Format_ARGB32_Premultiplied);
        QVERIFY(highlight.pixel(highlight.width() / 2, highlight.height() / 2) != highlight.pixel(2, 2));
    }

    // A stored picture comes back pixel for pixel; a damaged one is refused rather than read past its end.
    void storedPictureFormat_data()
    {
        QTest::addColumn<int>("damage"); // 0 none, 1 cut short, 2 wrong mark, 3 unknown format, 4 header only
        QTest::newRow("whole") << 0;
        QTest::newRow("cut short") << 1;
        QTest::newRow("wrong mark") << 2;
        QTest::newRow("unknown format") << 3;
        QTest::newRow("header only") << 4;
    }
    void storedPictureFormat()
    {
        QFETCH(int, damage);
        QImage picture(5, 3, QImage::Format_ARGB32_Premultiplied);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x)
                picture.setPixel(x, y, qPremultiply(qRgba(40 * x, 70 * y, 9, 50 + 40 * x)));
        QByteArray stored = encodeMenuPicture(picture);
        QCOMPARE(stored.size(), 16 + 5 * 3 * 4);
        if (damage == 1)
            stored.chop(1);
        if (damage == 2)
            stored[0] = 'X';
        if (damage == 3)
            stored[12] = char(QImage::Format_Indexed8);
        if (damage == 4)
            stored.truncate(16);
        // Copied to an aligned buffer of its own, as the program's own data is.
        QByteArray aligned(stored.size() + 16, Qt::Uninitialized);
        uchar *start = reinterpret_cast<uchar *>(aligned.data());
        start += (16 - reinterpret_cast<quintptr>(start) % 16) % 16;
        std::memcpy(start, stored.constData(), size_t(stored.size()));
        const QImage back = menuPictureFromData(start, stored.size());
        if (damage != 0) {
            QVERIFY(back.isNull());
            return;
        }
        QCOMPARE(back, picture);
        // Unaligned pixels are copied rather than read in place.
        std::memmove(start + 1, start, size_t(stored.size()));
        QCOMPARE(menuPictureFromData(start + 1, stored.size()), picture);
    }

    void hoverShowsOneHighlightAtATime()
    {
        TestApp t;
        t.start();
        Tfrm_main *menu = t.screens().frm_main;
        auto visible = [&] {
            QString s;
            for (int i = 0; i < 4; ++i)
                s += menu->highlights[i]->isVisible() ? QLatin1Char('1') : QLatin1Char('0');
            return s;
        };
        QCOMPARE(visible(), QStringLiteral("0000"));
        hover(menu->areas[0], QEvent::Enter);
        QCOMPARE(visible(), QStringLiteral("1000"));
        hover(menu->areas[0], QEvent::Leave);
        hover(menu->areas[1], QEvent::Enter);
        QCOMPARE(visible(), QStringLiteral("0100"));
        hover(menu->areas[1], QEvent::Leave);
        QCOMPARE(visible(), QStringLiteral("0000"));
    }

    void areasOpenTheirScreensModally_data()
    {
        QTest::addColumn<int>("area");
        QTest::addColumn<QString>("screen");
        QTest::newRow("show hub") << 0 << QStringLiteral("show_main");
        QTest::newRow("question bank") << 1 << QStringLiteral("frm_tmlr");
        QTest::newRow("keypad test") << 2 << QStringLiteral("frm_debug");
        QTest::newRow("settings") << 3 << QStringLiteral("frm_cssz");
    }
    void areasOpenTheirScreensModally()
    {
        QFETCH(int, area);
        QFETCH(QString, screen);
        TestApp t;
        t.start();
        Tfrm_main *menu = t.screens().frm_main;
        QTest::mouseClick(menu->areas[area], Qt::LeftButton);
        StageWindow *opened = nullptr;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->objectName() == screen)
                opened = qobject_cast<StageWindow *>(w);
        QVERIFY(opened);
        QVERIFY(opened->isVisible());
        QCOMPARE(opened->windowModality(), Qt::ApplicationModal);
        QTest::keyClick(opened, Qt::Key_Escape);
        QVERIFY(!opened->isVisible());
    }

    void changedIssueShowsWhenAModalScreenCloses_data()
    {
        QTest::addColumn<QString>("issue");
        QTest::addColumn<QString>("label");
        QTest::newRow("issue 5") << QStringLiteral("5") << QStringLiteral("第5期题目");
        QTest::newRow("emptied") << QStringLiteral("  ") << QStringLiteral("第0期题目");
    }
    void changedIssueShowsWhenAModalScreenCloses()
    {
        QFETCH(QString, issue);
        QFETCH(QString, label);
        TestApp t;
        t.start();
        Tfrm_main *menu = t.screens().frm_main;
        QTest::mouseClick(menu->areas[1], Qt::LeftButton);
        t.context().current_issue = issue; // as the maintenance screen's issue box does
        t.screens().frm_tmlr->closeScreen();
        QCOMPARE(menu->lab_qs->text(), label);
        QCOMPARE(t.context().current_issue.trimmed().isEmpty() ? QStringLiteral("0") : t.context().current_issue.trimmed(),
                 issue.trimmed().isEmpty() ? QStringLiteral("0") : issue.trimmed());
    }

    // QUELMORA_SCREENSHOTS=<folder> saves what the audience sees, to look at.
    void screenshot()
    {
        const QString folder = qEnvironmentVariable("QUELMORA_SCREENSHOTS");
        if (folder.isEmpty())
            QSKIP("QUELMORA_SCREENSHOTS names no folder");
        TestApp t;
        t.start();
        Tfrm_main *menu = t.screens().frm_main;
        menu->highlights[0]->show();
        QVERIFY(menu->grab().save(folder + QStringLiteral("/main_menu.png")));
    }

    // The hover highlight covers the drawn area card whole: the card's border lies just inside the
    // highlight, and nothing of the card shows below it.
    void aHoveredAreaLooksWhole()
    {
        TestApp t;
        t.start();
        Tfrm_main *menu = t.screens().frm_main;
        const QImage bg = menu->Image1->pixmap().toImage();
        const int dpr = qRound(menu->Image1->pixmap().devicePixelRatio());
        auto at = [&](int x, int y) { return bg.pixel(x * dpr, y * dpr); };
        auto near = [](QRgb a, QRgb b) {
            return qAbs(qRed(a) - qRed(b)) + qAbs(qGreen(a) - qGreen(b)) + qAbs(qBlue(a) - qBlue(b)) < 24;
        };
        for (Picture *h : menu->highlights) {
            const QRect r = h->geometry();
            const int x = r.center().x();
            const QRgb sky = at(8, r.bottom() - 2);
            QVERIFY2(!near(at(x, r.bottom() - 2), sky), qPrintable(h->objectName()));
            QVERIFY2(near(at(x, r.bottom() + 8), at(8, r.bottom() + 8)), qPrintable(h->objectName()));
        }
    }

    void helpOpensOnlyAnExistingFile()
    {
        TestApp t;
        t.start();
        QTest::mouseClick(t.screens().frm_main->button_help, Qt::LeftButton);
        QVERIFY(t.fakes.shell.opened.isEmpty());
        t.folder.writeBytes(QStringLiteral("帮助/帮助.chm"), "ITSF");
        QTest::mouseClick(t.screens().frm_main->button_help, Qt::LeftButton);
        QCOMPARE(t.fakes.shell.opened, QStringList{t.folder.file(QStringLiteral("帮助/帮助.chm"))});
        QVERIFY(t.fakes.dialogs.errors.isEmpty());
    }
};

class StageTest : public QObject {
    Q_OBJECT
private slots:
    void keysReachTheScreenBeforeItsWidgets()
    {
        TestApp t;
        t.start(false);
        KeyProbe probe(t.context(), QStringLiteral("probe"));
        auto *edit = new QLineEdit(&probe);
        probe.show();
        QVERIFY(QTest::qWaitForWindowExposed(&probe));
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_F1);   // consumed by the screen
        QTest::keyClick(edit, Qt::Key_A);    // previewed, then typed into the box
        QCOMPARE(edit->text(), QStringLiteral("a"));
        // Keypad digits and the main keyboard's keys carry their own codes; each press is previewed once.
        QTest::keyClick(edit, Qt::Key_5, Qt::KeypadModifier);
        QTest::keyClick(edit, Qt::Key_Period);
        QCOMPARE(probe.seen, (QStringList{QStringLiteral("down 112"), QStringLiteral("up 112"), QStringLiteral("down 65"),
                                          QStringLiteral("up 65"), QStringLiteral("down 101"), QStringLiteral("up 101"),
                                          QStringLiteral("down 190"), QStringLiteral("up 190")}));
    }

    // Key events as the window system delivers them, "P" press and "R" release, each with its key, its time
    // ("@ms", 0 for none), "*" where Qt flagged it an auto-repeat, "+S" with Shift held, "!box" when it
    // went to another window (a message box); and what the screen's handlers saw.
    void keysActOncePerPhysicalPress_data()
    {
        QTest::addColumn<QString>("events");
        QTest::addColumn<QString>("seen");
        QTest::newRow("auto-repeat flagged by Qt") << "P Up@100, R* Up@600, P* Up@600, R Up@900"
                                                   << "down 38, down 38 repeat, up 38";
        // Under load Qt misses that a release and the press at the same time are a repeat pair.
        QTest::newRow("held, pairs unflagged") << "P F7@100, R F7@600, P F7@600, R F7@640, P F7@640, R F7@900"
                                               << "down 118, up 118, down 118 repeat, down 118 repeat";
        QTest::newRow("pressed twice") << "P F7@100, R F7@150, P F7@300, R F7@350" << "down 118, up 118, down 118, up 118";
        QTest::newRow("events without times") << "P F7@0, R F7@0, P F7@0, R F7@0" << "down 118, up 118, down 118, up 118";
        QTest::newRow("press again without a release") << "P Up@100, P Up@600, R Up@700"
                                                       << "down 38, down 38 repeat, up 38";
        // A keypad's chord lets go of Shift before the key's release reaches the program.
        QTest::newRow("chord keeps the modifiers of the press") << "P Shift@10, P+S Delete@10, R Delete@11, R Shift@11"
                                                                << "down 16, down 46, up 46 shift, up 16";
        QTest::newRow("chord faster than the modifier state") << "P Shift@10, P Delete@10, R Delete@11, R Shift@11"
                                                              << "down 16, down 46, up 46 shift, up 16";
        QTest::newRow("modifier let go before") << "P Shift@10, R Shift@20, P Delete@30, R Delete@40"
                                                << "down 16, up 16, down 46, up 46";
        // Enter closes the error box on its press; the release must not act on the screen again.
        QTest::newRow("press taken by a box") << "P!box Return@100, R Return@150" << "";
        QTest::newRow("box, then a press of its own") << "P!box Return@100, R Return@150, P Return@300, R Return@350"
                                                      << "down 13, up 13";
    }
    void keysActOncePerPhysicalPress()
    {
        QFETCH(QString, events);
        QFETCH(QString, seen);
        TestApp t;
        t.start(false);
        KeyProbe probe(t.context(), QStringLiteral("probe"));
        probe.show();
        QWidget box;
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&probe));
        const QHash<QString, Qt::Key> keyNames{{QStringLiteral("Up"), Qt::Key_Up}, {QStringLiteral("F7"), Qt::Key_F7},
                                               {QStringLiteral("Shift"), Qt::Key_Shift},
                                               {QStringLiteral("Delete"), Qt::Key_Delete},
                                               {QStringLiteral("Return"), Qt::Key_Return}};
        static const QRegularExpression form(QStringLiteral("^([PR])(\\*?)(\\+S)?(!box)? (\\w+)@(\\d+)$"));
        for (const QString &e : events.split(QStringLiteral(", "))) {
            const QRegularExpressionMatch m = form.match(e);
            QVERIFY2(m.hasMatch(), qPrintable(e));
            QKeyEvent event(m.captured(1) == QLatin1String("P") ? QEvent::KeyPress : QEvent::KeyRelease,
                            keyNames.value(m.captured(5)), m.captured(3).isEmpty() ? Qt::NoModifier : Qt::ShiftModifier,
                            QString(), !m.captured(2).isEmpty());
            event.setTimestamp(m.captured(6).toULongLong());
            QCoreApplication::sendEvent(m.captured(4).isEmpty() ? static_cast<QWidget *>(&probe) : &box, &event);
        }
        QCOMPARE(probe.seen.join(QStringLiteral(", ")), seen);
    }

    // A window that goes while a key is held leaves nothing held for a window made later at its address.
    void aWindowGoneWithAKeyHeldLeavesNothingHeld()
    {
        TestApp t;
        t.start(false);
        auto *gone = new KeyProbe(t.context(), QStringLiteral("probe"));
        const void *place = gone;
        QKeyEvent press(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
        QCoreApplication::sendEvent(gone, &press);
        delete gone;
        std::unique_ptr<KeyProbe> next = std::make_unique<KeyProbe>(t.context(), QStringLiteral("probe"));
        if (next.get() != place)
            QSKIP("the new window was made at another address");
        QTest::keyClick(next.get(), Qt::Key_F1);
        QCOMPARE(next->seen, (QStringList{QStringLiteral("down 112"), QStringLiteral("up 112")}));
    }

    // A timer that fails on every tick while its box waits for the operator shows one box, not a pile;
    // once the box is closed the next failure is shown again.
    void aRepeatedErrorShowsOneBoxAtATime()
    {
        TestApp t;
        t.start(false);
        KeyProbe probe(t.context(), QStringLiteral("probe"));
        int nested = 0;
        t.fakes.dialogs.onError = [&](const QString &) {
            // While the box is up, the same failure comes again, and another one.
            if (nested++ == 0) {
                probe.guard([] { throw AppError(QStringLiteral("sound failed")); });
                probe.guard([] { throw AppError(QStringLiteral("other")); });
            }
        };
        probe.guard([] { throw AppError(QStringLiteral("sound failed")); });
        probe.guard([] { throw AppError(QStringLiteral("sound failed")); });
        QCOMPARE(t.fakes.dialogs.errors,
                 (QStringList{QStringLiteral("sound failed"), QStringLiteral("other"), QStringLiteral("sound failed")}));
    }

    // A screen reader, or any outside tool reading the widget tree, reads a stage label as the audience does.
    void labelsReadTheirTextToAccessibility()
    {
        TestApp t;
        t.start();
        ShadowLabel *label = t.screens().frm_main->lab_qs;
        QAccessibleInterface *a = QAccessible::queryAccessibleInterface(label);
        QVERIFY(a);
        QCOMPARE(a->role(), QAccessible::StaticText);
        QCOMPARE(a->text(QAccessible::Name), QStringLiteral("第0期题目"));
        label->setText(QStringLiteral("第7期题目"));
        QCOMPARE(a->text(QAccessible::Name), QStringLiteral("第7期题目"));
    }

    // A label drawn ahead on the font thread paints as one drawn here, over the same background; a change
    // made before its paint is shown.
    void aLabelDrawnAheadPaintsAsOneDrawnHere_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("wrap");
        QTest::addColumn<QColor>("background");
        QTest::addColumn<QString>("changedTo");
        QTest::newRow("shadowed") << QStringLiteral("第0期题目") << false << QColor() << QString();
        QTest::newRow("on a colour") << QStringLiteral("第12期题目") << false << QColor(255, 240, 200) << QString();
        QTest::newRow("shrunk to fit") << QStringLiteral("第123456789期题目") << false << QColor() << QString();
        QTest::newRow("wrapped") << QStringLiteral("一二三四五六七八九十一二三四五") << true << QColor() << QString();
        // Hebrew is not in the stage type, so a fallback font draws it.
        QTest::newRow("a letter from another font") << QStringLiteral("第\u05d0期题目") << false << QColor() << QString();
        QTest::newRow("changed before the paint") << QStringLiteral("第0期题目") << false << QColor()
                                                  << QStringLiteral("第8期题目");
        QTest::newRow("emptied before the paint") << QStringLiteral("第0期题目") << false << QColor(255, 240, 200)
                                                  << QString(QLatin1String(""));
    }
    void aLabelDrawnAheadPaintsAsOneDrawnHere()
    {
        QFETCH(QString, text);
        QFETCH(bool, wrap);
        QFETCH(QColor, background);
        QFETCH(QString, changedTo);
        auto make = [&](QWidget *parent) {
            parent->resize(240, 90);
            parent->setAutoFillBackground(true);
            QPalette palette = parent->palette();
            palette.setColor(QPalette::Window, QColor(20, 50, 140));
            parent->setPalette(palette);
            auto *label = new ShadowLabel(parent);
            label->setGeometry(10, 10, 203, wrap ? 75 : 37);
            label->setFont(stageFont(QStringLiteral("黑体"), 35, true));
            label->setTextColour(Qt::blue);
            label->setShadow(QColor(200, 220, 255), 2, 2);
            label->setBackground(background);
            label->setAlignment(Qt::AlignCenter);
            label->setWordWrap(wrap);
            label->setText(text);
            return label;
        };
        QWidget ahead, here;
        ShadowLabel *early = make(&ahead);
        QImage beneath(early->size(), QImage::Format_RGB32);
        beneath.fill(QColor(20, 50, 140));
        early->drawAhead(beneath);
        ShadowLabel *usual = make(&here);
        if (!changedTo.isNull()) {
            early->setText(changedTo);
            usual->setText(changedTo);
        }
        const QImage a = ahead.grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QImage b = here.grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(a.size(), b.size());
        int differing = 0;
        for (int y = 0; y < a.height(); ++y) {
            for (int x = 0; x < a.width(); ++x) {
                const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
                if (std::abs(qRed(p) - qRed(q)) > 2 || std::abs(qGreen(p) - qGreen(q)) > 2 || std::abs(qBlue(p) - qBlue(q)) > 2)
                    ++differing;
            }
        }
        QCOMPARE(differing, 0);
        // The label drew something: text or its background differs from the plain window around it.
        if (!changedTo.isNull() && changedTo.isEmpty())
            QCOMPARE(a.pixel(100, 28), background.rgb());
        else
            QVERIFY(a.copy(10, 10, 203, 37) != QImage(203, 37, QImage::Format_RGB32).copy());
    }

    void failingHandlerShowsTheErrorBox()
    {
        TestApp t;
        t.start(false);
        KeyProbe probe(t.context(), QStringLiteral("probe"));
        probe.show();
        QTest::keyClick(&probe, Qt::Key_F2);
        QCOMPARE(t.fakes.dialogs.errors, QStringList{QStringLiteral("boom")});
        QVERIFY(probe.isVisible());
    }

    void rightPressesReachNoControl()
    {
        TestApp t;
        t.start(false);
        QListWidget list;
        list.addItems({QStringLiteral("甲"), QStringLiteral("乙")});
        list.setCurrentRow(0);
        list.setContextMenuPolicy(Qt::CustomContextMenu);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        QSignalSpy menus(&list, &QWidget::customContextMenuRequested);
        // Through the window, as the window system delivers clicks: the right click opens the menu
        // but does not move the current row.
        const QPoint at = list.viewport()->mapTo(&list, list.visualItemRect(list.item(1)).center());
        QTest::mousePress(list.windowHandle(), Qt::RightButton, {}, at);
        QTest::mouseRelease(list.windowHandle(), Qt::RightButton, {}, at);
        QCOMPARE(list.currentRow(), 0);
        QCOMPARE(menus.size(), 1);
        QTest::mouseClick(list.windowHandle(), Qt::LeftButton, {}, at);
        QCOMPARE(list.currentRow(), 1);
    }

    void stageTakesItsPlaceWhenShown()
    {
        TestApp t;
        t.start(false);
        Tshow_main *hub = t.screens().show_main;
        hub->move(300, 200);
        hub->openModal(nullptr);
        QCOMPARE(hub->pos(), QPoint(0, 0));
        QVERIFY(hub->windowFlags().testFlag(Qt::FramelessWindowHint));
        QSignalSpy closed(hub, &StageWindow::closed);
        hub->closeScreen();
        QCOMPARE(closed.size(), 1);
        QVERIFY(!hub->isVisible());
    }
};

// The real boxes and choosers speak Chinese once Qt's translations are loaded as start-up loads them.
class ChineseDialogsTest : public QObject {
    Q_OBJECT
private slots:
    void theBoxesHaveChineseButtons_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QStringList>("buttons");
        QTest::newRow("information") << QStringLiteral("information") << QStringList{QStringLiteral("确定")};
        QTest::newRow("error") << QStringLiteral("error") << QStringList{QStringLiteral("确定")};
        QTest::newRow("confirmation") << QStringLiteral("confirm") << QStringList{QStringLiteral("是"), QStringLiteral("否")};
        QTest::newRow("file chooser") << QStringLiteral("openFile") << QStringList{QStringLiteral("打开"), QStringLiteral("取消")};
    }
    void theBoxesHaveChineseButtons()
    {
        QFETCH(QString, box);
        QFETCH(QStringList, buttons);
        WidgetDialogs dialogs;
        QStringList seen;
        // Reads the buttons of the box while it waits for the operator, then closes it.
        QTimer look;
        look.setInterval(20);
        QObject::connect(&look, &QTimer::timeout, [&] {
            QWidget *open = QApplication::activeModalWidget();
            if (!open)
                return;
            for (const QDialogButtonBox *row : open->findChildren<QDialogButtonBox *>()) {
                for (const QAbstractButton *b : row->buttons())
                    seen << b->text().remove(QLatin1Char('&')).section(QLatin1Char('('), 0, 0).trimmed();
            }
            look.stop();
            if (auto *dialog = qobject_cast<QDialog *>(open))
                dialog->reject();
        });
        look.start();
        if (box == QLatin1String("information"))
            dialogs.information(nullptr, QStringLiteral("参数数据已经成功保存！"));
        else if (box == QLatin1String("error"))
            dialogs.error(nullptr, QStringLiteral("磁盘已满，数据没有保存。"));
        else if (box == QLatin1String("confirm"))
            dialogs.confirm(nullptr, QStringLiteral("确定删除吗？"));
        else
            dialogs.openFile(nullptr, QDir::tempPath(), QStringLiteral("*.jpg"));
        for (const QString &b : buttons)
            QVERIFY2(seen.contains(b), qPrintable(seen.join(QLatin1Char('|'))));
        QVERIFY(!seen.contains(QStringLiteral("OK")) && !seen.contains(QStringLiteral("Cancel")));
    }
};

QUELMORA_TEST_MAIN(StartupTest, MainMenuTest, StageTest, ChineseDialogsTest)
#include "tst_app.moc"
