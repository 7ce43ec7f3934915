// The scoring screen as the operator drives it: rounds, contestants, the entry panel, the score panels,
// the flash of the highest and lowest score, storing and deleting scores, and the screens it opens.
#include "app/tfrm_main.h"
#include "scoring/tfrm_pfmain.h"
#include "settings/settings_keys.h"
#include "show/tshow_main.h"
#include "show/tfrm_jz.h"
#include "show/tfrm_zjs.h"
#include "show/tfrm_djs.h"
#include "test_app.h"
#include "ui/picture.h"
#include "ui/shadow_label.h"

#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTimer>

using score_rules::Mark;
using namespace Qt::Literals::StringLiterals;

namespace {

const QStringList kJudgeNames{QStringLiteral("张明"), QStringLiteral("李华"), QStringLiteral("王芳"), QStringLiteral("赵强"),
                              QStringLiteral("陈静"), QStringLiteral("刘洋"), QStringLiteral("杨帆"), QStringLiteral("黄磊"),
                              QStringLiteral("周婷"), QStringLiteral("吴刚"), QStringLiteral("徐丽"), QStringLiteral("孙伟")};

// A contest of `judges` judges and `contestants` contestants 选手1..选手N numbered 1..N, scores with
// two decimals, every score counted, a flash of three seconds.
struct Contest {
    Contest(int judges = 3, int contestants = 3)
    {
        const TestProgramFolder &f = t.folder;
        f.setConfig(keys::kJudges, keys::kJudgeCount, QString::number(judges));
        f.setConfig(keys::kContest, keys::kContestantCount, QString::number(contestants));
        f.setConfig(keys::kScoring, keys::kDecimals, QStringLiteral("2"));
        f.setConfig(keys::kScoring, keys::kTallyMode, QStringLiteral("0"));
        f.setConfig(keys::kScoring, keys::kFlashSeconds, QStringLiteral("3"));
        for (int r = 1; r <= 4; ++r)
            f.setConfig(keys::kContest, keys::roundCoefficient(r), QStringLiteral("0.%1").arg(r + 4));
        for (int j = 1; j <= 12; ++j)
            f.setConfig(keys::kJudges, keys::judgeName(j), kJudgeNames[j - 1]);
        QStringList rows;
        for (int i = 1; i <= contestants; ++i)
            rows << QStringLiteral("insert into xsb (bh, xm, zppath) values (%1, '选手%1', '')").arg(i);
        if (!rows.isEmpty())
            f.exec(rows);
    }

    // Starts the application and shows the scoring screen above the main menu.
    Tfrm_pfmain *open()
    {
        if (!t.app)
            t.start();
        screen = t.screens().frm_pfmain;
        screen->openModeless(t.screens().frm_main);
        return screen;
    }

    void key(Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier) { QTest::keyClick(screen, k, modifiers); }
    void keys(const QString &sequence) // "U" Up, "D" Down
    {
        for (QChar c : sequence)
            key(c == QLatin1Char('U') ? Qt::Key_Up : Qt::Key_Down);
    }

    template <typename W = QWidget>
    W *find(const QString &name) const
    {
        return test_support::findWidget<W>(screen, name);
    }
    ShadowLabel *label(const QString &name) const { return find<ShadowLabel>(name); }
    // Score box and name box of judge j (1-based), by their names Label2, Label4, ... and Label1, Label3, ...
    ShadowLabel *scoreBox(int j) const { return label(QStringLiteral("Label%1").arg(2 * j)); }
    QString box(int j) const { return scoreBox(j)->text(); }
    QStringList boxes() const
    {
        QStringList s;
        for (int j = 1; j <= screen->judge_count(); ++j)
            s << box(j);
        return s;
    }
    // The marks as the boxes show them: N white, H red, L yellow.
    QString colours() const
    {
        QString s;
        for (int j = 1; j <= screen->judge_count(); ++j) {
            const QColor c = scoreBox(j)->background();
            s += c == QColor(255, 0, 0) ? QLatin1Char('H') : c == QColor(255, 255, 0) ? QLatin1Char('L')
                 : c == QColor(255, 255, 255)                                        ? QLatin1Char('N')
                                                                                    : QLatin1Char('?');
        }
        return s;
    }
    bool shown(const QString &name) const { return find(name)->isVisible(); }

    // Types the scores through the entry panel and confirms.
    void enter(const QStringList &scores, const QString &answer = {})
    {
        key(Qt::Key_F9);
        for (int j = 0; j < scores.size(); ++j)
            find<QLineEdit>(QStringLiteral("Edit%1").arg(j + 2))->setText(scores[j]);
        find<QLineEdit>(QStringLiteral("ed_dtdf"))->setText(answer);
        QTest::mouseClick(find<QPushButton>(QStringLiteral("Button1")), Qt::LeftButton);
    }

    QStringList rows(const QString &sql) const { return t.folder.column(sql); }

    TestApp t;
    Tfrm_pfmain *screen = nullptr;
};

QColor centreColour(const Picture *picture)
{
    const QImage image = picture->pixmap().toImage();
    return image.isNull() ? QColor() : image.pixelColor(image.width() / 2, image.height() / 2);
}

// A simple portrait: a head and shoulders on a coloured ground.
void writePortrait(const TestProgramFolder &folder, const QString &relative, QSize size, QColor ground)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(ground);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 40, 60));
    const double w = size.width(), h = size.height();
    p.drawEllipse(QRectF(w * 0.1, h * 0.62, w * 0.8, h * 0.7));
    p.setBrush(QColor(238, 200, 170));
    p.drawEllipse(QRectF(w * 0.3, h * 0.18, w * 0.4, h * 0.45));
    p.end();
    const QString full = folder.file(relative);
    QDir().mkpath(QFileInfo(full).path());
    QVERIFY(image.save(full, "JPEG"));
}

} // namespace

class OpeningTest : public QObject {
    Q_OBJECT
private slots:
    void judgePanelsFollowTheJudgeCount_data()
    {
        QTest::addColumn<int>("judges");
        QTest::addColumn<QString>("places"); // of the visible panels of judges 1..12
        QTest::newRow("1") << 1 << QStringLiteral("455,275");
        QTest::newRow("4 in one row") << 4 << QStringLiteral("142,275 337,275 532,275 727,275");
        QTest::newRow("5: 2 over 3") << 5 << QStringLiteral("348,180 562,180 226,450 441,450 656,450");
        QTest::newRow("7: 3 over 4") << 7 << QStringLiteral("226,180 441,180 656,180 142,450 337,450 532,450 727,450");
        QTest::newRow("12: 6 over 6")
            << 12 << QStringLiteral("50,180 209,180 368,180 527,180 686,180 845,180 50,450 209,450 368,450 527,450 686,450 845,450");
        QTest::newRow("0: none") << 0 << QString();
        QTest::newRow("13: none") << 13 << QString();
    }
    void judgePanelsFollowTheJudgeCount()
    {
        QFETCH(int, judges);
        QFETCH(QString, places);
        Contest c(judges);
        c.open();
        QStringList got;
        for (int j = 1; j <= 12; ++j) {
            QWidget *panel = c.find(QStringLiteral("Panel%1").arg(3 * j - 2));
            if (panel->isVisible())
                got << QStringLiteral("%1,%2").arg(panel->x()).arg(panel->y());
        }
        QCOMPARE(got.join(QLatin1Char(' ')), places);
        QCOMPARE(c.screen->judge_count(), judges <= 12 ? judges : 0);
        QVERIFY(c.t.fakes.dialogs.errors.isEmpty());
    }

    void everyOpeningStartsAfresh()
    {
        Contest c(3);
        c.t.folder.writePicture(QStringLiteral("评委照片/j1.jpg"), QSize(40, 50), Qt::green);
        c.t.folder.setConfig(keys::kJudges, keys::judgePhoto(1), QStringLiteral(" j1.jpg "));
        c.t.folder.setConfig(keys::kJudges, keys::judgePhoto(2), QStringLiteral("none.jpg"));
        c.t.folder.exec({QStringLiteral("insert into pwdf (bh, xm, lunshu, pw1df, pw2df, pw3df) values (1, '选手1', 2, '9', '8', '7')")});
        c.open();
        QCOMPARE(c.label(QStringLiteral("Label1"))->text(), QStringLiteral("张明"));
        QVERIFY(!c.find<Picture>(QStringLiteral("Image1"))->isEmpty());
        QVERIFY(c.find<Picture>(QStringLiteral("Image2"))->isEmpty());
        QVERIFY(!c.find<Picture>(QStringLiteral("Image_pf"))->isEmpty()); // the built-in background

        c.key(Qt::Key_F2);
        c.keys(QStringLiteral("U"));
        QCOMPARE(c.boxes(), (QStringList{QStringLiteral("9"), QStringLiteral("8"), QStringLiteral("7")}));
        c.key(Qt::Key_Equal);
        c.screen->time_totalTimer();
        c.key(Qt::Key_Escape);
        QVERIFY(!c.screen->isVisible());

        // The next opening reads the settings anew: another judge count, another photo, a background file.
        c.t.folder.setConfig(keys::kJudges, keys::kJudgeCount, QStringLiteral("2"));
        c.t.folder.setConfig(keys::kJudges, keys::judgePhoto(1), QStringLiteral("0"));
        c.t.folder.writePicture(QStringLiteral("系统图片/评分背景图.jpg"), QSize(64, 48), Qt::blue);
        c.open();
        QCOMPARE(c.t.context().current_round, 0);
        QCOMPARE(c.label(QStringLiteral("lab_lunshu"))->text(), QStringLiteral("第0轮"));
        QCOMPARE(c.label(QStringLiteral("lab_xsxm"))->text(), QString());
        QCOMPARE(c.screen->current_position(), 0);
        QCOMPARE(c.boxes(), (QStringList{QString(), QString()}));
        QCOMPARE(c.colours(), QStringLiteral("NN"));
        QVERIFY(c.find<Picture>(QStringLiteral("Image1"))->isEmpty());
        QVERIFY(centreColour(c.find<Picture>(QStringLiteral("Image_pf"))).blue() > 200);
        QVERIFY(!c.find(QStringLiteral("Panel7"))->isVisible());
        // Nothing can be entered before a round and a contestant are chosen.
        c.key(Qt::Key_F9);
        QVERIFY(!c.shown(QStringLiteral("panel_sdsrfs")));
        QVERIFY(c.t.fakes.dialogs.errors.isEmpty());
    }

    void badSettingIsReportedOnOpening()
    {
        Contest c;
        c.t.folder.setConfig(keys::kJudges, keys::kJudgeCount, QStringLiteral("三"));
        c.open();
        QCOMPARE(c.t.fakes.dialogs.errors, QStringList{QStringLiteral("“三”不是有效的整数。\n'三' is not a valid integer value")});
        QVERIFY(c.screen->isVisible());
    }
};

class ContestantTest : public QObject {
    Q_OBJECT
private slots:
    void upAndDownWrapAround_data()
    {
        QTest::addColumn<int>("contestants");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("position");
        QTest::newRow("first Up chooses 1") << 3 << QStringLiteral("U") << 1;
        QTest::newRow("Down before any choice shows N") << 3 << QStringLiteral("D") << 3;
        QTest::newRow("Up at N shows 1") << 3 << QStringLiteral("UUUU") << 1;
        QTest::newRow("Down at 1 shows N") << 3 << QStringLiteral("UD") << 3;
        QTest::newRow("Down steps back") << 3 << QStringLiteral("DD") << 2;
        QTest::newRow("no contestants: nothing to choose") << 0 << QStringLiteral("UD") << 0;
    }
    void upAndDownWrapAround()
    {
        QFETCH(int, contestants);
        QFETCH(QString, keys);
        QFETCH(int, position);
        Contest c(3, contestants);
        c.open();
        c.keys(keys); // no round yet: nothing moves
        QCOMPARE(c.screen->current_position(), 0);
        c.key(Qt::Key_F1);
        c.keys(keys);
        QCOMPARE(c.screen->current_position(), position);
        const QString name = position ? QStringLiteral("选手%1").arg(position) : QString();
        for (const QString &label : {QStringLiteral("lab_xsxm"), QStringLiteral("lab_xsxm_1"), QStringLiteral("lab_xsxm_2")})
            QCOMPARE(c.label(label)->text(), name);
        QCOMPARE(c.label(QStringLiteral("lab_xsbh"))->text(), position ? QString::number(position) : QString());
        QCOMPARE(c.label(QStringLiteral("lab_xsgs"))->text(), position ? QStringLiteral("/3") : QString());
        QVERIFY(c.t.fakes.dialogs.errors.isEmpty());
    }

    void heldKeyMovesOnce()
    {
        Contest c;
        c.open();
        c.key(Qt::Key_F1);
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier);
        QKeyEvent repeatRelease(QEvent::KeyRelease, Qt::Key_Up, Qt::NoModifier, QString(), true);
        QKeyEvent repeatPress(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier, QString(), true);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_Up, Qt::NoModifier);
        for (QKeyEvent *e : {&press, &repeatRelease, &repeatPress, &repeatRelease, &repeatPress, &release})
            QCoreApplication::sendEvent(c.screen, e);
        QCOMPARE(c.screen->current_position(), 1);
    }

    void changingContestantLoadsTheRoundsScores()
    {
        Contest c;
        c.t.folder.exec({QStringLiteral("insert into pwdf (bh, xm, lunshu, pw1df, pw2df, pw3df, zhdf, dtdf, zhtotal) "
                                        "values (2, '选手2', 1, ' 8.5', '9 ', '7', '8.17', '1', '9.17')"),
                         QStringLiteral("insert into pwdf (bh, xm, lunshu, pw1df, pw2df, pw3df) values (2, '选手2', 2, '1', '2', '3')")});
        c.open();
        c.key(Qt::Key_F1);
        c.keys(QStringLiteral("U"));
        QCOMPARE(c.boxes(), (QStringList{QString(), QString(), QString()}));
        c.enter({QStringLiteral("5"), QStringLiteral("6"), QStringLiteral("7")});
        c.key(Qt::Key_Equal);
        c.screen->time_totalTimer();
        QCOMPARE(c.colours(), QStringLiteral("NNH"));

        c.keys(QStringLiteral("U"));
        QCOMPARE(c.boxes(), (QStringList{QStringLiteral("8.5"), QStringLiteral("9"), QStringLiteral("7")}));
        QCOMPARE(c.colours(), QStringLiteral("NNN"));
        QCOMPARE(c.screen->judges_score_text(), QStringLiteral("8.17"));
        QCOMPARE(c.screen->answer_score_text(), QStringLiteral("1"));
        QCOMPARE(c.screen->final_score_text(), QStringLiteral("9.17"));

        // No row: the boxes empty, the three texts stay.
        c.keys(QStringLiteral("U"));
        QCOMPARE(c.boxes(), (QStringList{QString(), QString(), QString()}));
        QCOMPARE(c.screen->final_score_text(), QStringLiteral("9.17"));
    }

    void roundKeepsTheBoxesAndStoresUnderTheNewRound()
    {
        Contest c;
        c.t.folder.exec({QStringLiteral("insert into pwdf (bh, xm, lunshu, pw1df, pw2df, pw3df) values (1, '选手1', 1, '9', '8', '7')")});
        c.t.folder.writePicture(QStringLiteral("系统图片/评分背景图第三轮.jpg"), QSize(64, 48), Qt::green);
        c.open();
        c.key(Qt::Key_F1);
        c.keys(QStringLiteral("U"));
        c.key(Qt::Key_F3);
        QCOMPARE(c.t.context().current_round, 3);
        QCOMPARE(c.label(QStringLiteral("lab_lunshu"))->text(), QStringLiteral("第3轮"));
        QVERIFY(centreColour(c.find<Picture>(QStringLiteral("Image_pf"))).green() > 200);
        QCOMPARE(c.boxes(), (QStringList{QStringLiteral("9"), QStringLiteral("8"), QStringLiteral("7")}));
        c.key(Qt::Key_F7);
        QCOMPARE(c.rows(QStringLiteral("select pw1df || ':' || dfxs || ':' || zhtotal from pwdf where lunshu = 3")),
                 QStringList{QStringLiteral("9:0.7:8.00")});
        QCOMPARE(c.rows(QStringLiteral("select count(*) from pwdf where lunshu = 1")), QStringList{QStringLiteral("1")});
    }
};

class EntryTest : public QObject {
    Q_OBJECT
private slots:
    void entryPanelCopiesOnlyWhenConfirmed()
    {
        Contest c(3);
        c.open();
        c.key(Qt::Key_F1);
        c.keys(QStringLiteral("U"));
        c.key(Qt::Key_F9);
        QVERIFY(c.shown(QStringLiteral("panel_sdsrfs")));
        for (int j = 1; j <= 12; ++j) {
            QCOMPARE(c.shown(QStringLiteral("Edit%1").arg(j + 1)), j <= 3);
            QCOMPARE(c.shown(QStringLiteral("Label%1").arg(j + 25)), j <= 3);
        }
        // Keys typed into a box reach it after the screen has seen them.
        auto *first = c.find<QLineEdit>(QStringLiteral("Edit2"));
        QTest::keyClicks(first, QStringLiteral("9.5"));
        QCOMPARE(first->text(), QStringLiteral("9.5"));
        c.find<QLineEdit>(QStringLiteral("Edit3"))->setText(QStringLiteral("  8 "));
        c.find<QLineEdit>(QStringLiteral("Edit4"))->setText(QStringLiteral("7"));
        c.find<QLineEdit>(QStringLiteral("ed_dtdf"))->setText(QStringLiteral(" 1.5 "));
        c.key(Qt::Key_F5); // not while the panel is up
        QVERIFY(!c.shown(QStringLiteral("Panel_df1")));
        QTest::mouseClick(c.find<QPushButton>(QStringLiteral("Button1")), Qt::LeftButton);
        QVERIFY(!c.shown(QStringLiteral("panel_sdsrfs")));
        QCOMPARE(c.boxes(), (QStringList{QStringLiteral("9.5"), QStringLiteral("8"), QStringLiteral("7")}));
        QCOMPARE(c.screen->answer_score_text(), QStringLiteral("1.5"));

        c.key(Qt::Key_F9);
        QCOMPARE(c.find<QLineEdit>(QStringLiteral("Edit3"))->text(), QStringLiteral("8"));
        QCOMPARE(c.find<QLineEdit>(QStringLiteral("ed_dtdf"))->text(), QStringLiteral(" 1.5 "));
        c.find<QLineEdit>(QStringLiteral("Edit2"))->setText(QStringLiteral("1"));
        QTest::mouseClick(c.find<QPushButton>(QStringLiteral("BitBtn2")), Qt::LeftButton);
        QVERIFY(!c.shown(QStringLiteral("panel_sdsrfs")));
        QCOMPARE(c.box(1), QStringLiteral("9.5"));
    }

    void testScoresAreGenerated()
    {
        Contest c(3);
        for (int n : {3, 5, 8, 0, 9, 99})
            c.t.fakes.random.script.enqueue(n);
        c.open();
        c.key(Qt::Key_F1);
        c.keys(QStringLiteral("U"));
        c.key(Qt::Key_F9);
        QTest::mouseClick(c.find<QPushButton>(QStringLiteral("Button2")), Qt::LeftButton);
        QStringList entered;
        for (int j = 2; j <= 4; ++j)
            entered << c.find<QLineEdit>(QStringLiteral("Edit%1").arg(j))->text();
        // A whole part of 0..5 becomes 7; the fraction is written without leading zeros.
        QCOMPARE(entered, (QStringList{QStringLiteral("7.5"), QStringLiteral("8.0"), QStringLiteral("9.99")}));
        QCOMPARE(c.t.fakes.random.seeds, 3);
        QCOMPARE(c.t.fakes.clock.paused, 300);
        QCOMPARE(c.box(1), QString()); // nothing reaches the score boxes before 确 定
    }
};

class ScorePanelTest : public QObject {
    Q_OBJECT
private slots:
    void showsTheScore_data()
    {
        QTest::addColumn<QString>("decimals");
        QTest::addColumn<QString>("tally");
        QTest::addColumn<QStringList>("scores");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("marks");
        const QStringList s3{QStringLiteral("9.5"), QStringLiteral("9.0"), QStringLiteral("9.5")};
        const QStringList s847{QStringLiteral("8.4"), QStringLiteral("8.5"), QStringLiteral("8.5")};
        QTest::newRow("tally 1 drops highest and lowest")
            << u"2"_s << u"1"_s << s3 << QString() << int(Qt::Key_F5) << u"演唱得分"_s << u"9.50"_s << u"HLN"_s;
        QTest::newRow("equal scores drop judge 1 only")
            << u"2"_s << u"1"_s << QStringList(5, QStringLiteral("8")) << QString() << int(Qt::Key_F5) << u"演唱得分"_s << u"8.00"_s
            << u"LNNNN"_s;
        QTest::newRow("tally 0 counts every score")
            << u"2"_s << u"0"_s << s3 << QString() << int(Qt::Key_F5) << u"演唱得分"_s << u"9.33"_s << u"NNN"_s;
        QTest::newRow("no answer score shows 0")
            << u"2"_s << u"0"_s << s3 << QString() << int(Qt::Key_F6) << u"答题得分"_s << u"0"_s << u"NNN"_s;
        QTest::newRow("final adds the answer to the rounded average")
            << u"2"_s << u"0"_s << s847 << u"1.5"_s << int(Qt::Key_F7) << u"最后得分"_s << u"9.97"_s << u"NNN"_s;
        QTest::newRow("Enter as F7, one decimal")
            << u"1"_s << u"0"_s << QStringList{QStringLiteral("8.5")} << u"0.25"_s << int(Qt::Key_Return) << u"最后得分"_s << u"8.8"_s
            << u"N"_s;
        QTest::newRow("decimals key missing: general form")
            << u""_s << u"0"_s << s847 << QString() << int(Qt::Key_F5) << u"演唱得分"_s << u"8.46666666666667"_s << u"NNN"_s;
    }
    void showsTheScore()
    {
        QFETCH(QString, decimals);
        QFETCH(QString, tally);
        QFETCH(QStringList, scores);
        QFETCH(QString, answer);
        QFETCH(int, key);
        QFETCH(QString, title);
        QFETCH(QString, shown);
        QFETCH(QString, marks);
        Contest c(int(scores.size()));
        c.t.folder.setConfig(keys::kScoring, keys::kDecimals, decimals.isEmpty() ? QStringLiteral("x") : decimals);
        c.t.folder.setConfig(keys::kScoring, keys::kTallyMode, tally);
        c.open();
        c.key(Qt::Key_F1);
        c.keys(QStringLiteral("U"));
        c.enter(scores, answer);
        c.key(Qt::Key(key));
        QVERIFY(c.t.fakes.dialogs.errors.isEmpty());
        QVERIFY(c.shown(QStringLiteral("Panel_df1")));
        QVERIFY(!c.shown(QStringLiteral("panel_df")));
        QCOMPARE(c.find(QStringLiteral("Panel_df1"))->pos(), QPoint(0, 0));
        QCOMPARE(c.label(QStringLiteral("lab_dfbt1"))->text(), title);
        QCOMPARE(c.label(QStringLiteral("lab_dfbt"))->text(), title);
        QCOMPARE(c.label(QStringLiteral("lab_xsdf1"))->text(), shown);
        QCOMPARE(c.label(QStringLiteral("lab_xsxm_2"))->text(), QStringLiteral("选手1"));
        QCOMPARE(c.colours(), marks);
    }

    void failuresShowAndStoreNothing_data()
    {
        QTest::addColumn<QString>("tally");
        QTest::addColumn<QStringList>("scores");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("error");
        QTest::newRow("score is no number") << u"0"_s << QStringList{QStringLiteral("9"), QStringLiteral("abc")} << QString()
                                            << int(Qt::Key_F7) << u"“abc”不是有效的数字。\n'abc' is not a valid floating point value"_s;
        QTest::newRow("no score left to average") << u"1"_s << QStringList{QStringLiteral("9"), QStringLiteral("8")}
                                                  << QString() << int(Qt::Key_F7)
                                                  << u"无法求平均分：只有2位评委，去掉最高分和最低分后没有剩下的分数。"
                                                     "请在参数设置中把评委个数增加到3位以上，或把得分统计模式改为“分数直接累加,求平均值”。"_s;
        QTest::newRow("answer is no number, F7") << u"0"_s << QStringList{QStringLiteral("9")} << u"x"_s << int(Qt::Key_F7)
                                                 << u"“x”不是有效的数字。\n'x' is not a valid floating point value"_s;
        QTest::newRow("answer is no number, F6") << u"0"_s << QStringList{QStringLiteral("9")} << u"x"_s << int(Qt::Key_F6)
                                                 << u"“x”不是有效的数字。\n'x' is not a valid floating point value"_s;
    }
    void failuresShowAndStoreNothing()
    {
        QFETCH(QString, tally);
        QFETCH(QStringList, scores);
        QFETCH(QString, answer);
        QFETCH(int, key);
        QFETCH(QString, error);
        Contest c(int(scores.size()));
        c.t.folder.setConfig(keys::kScoring, keys::kTallyMode, tally);
        c.open();
        c.key(Qt::Key_F1);
        c.keys(QStringLiteral("U"));
        c.enter(scores, answer);
        c.key(Qt::Key(key));
        QCOMPARE(c.t.fakes.dialogs.errors, QStringList{error});
        QVERIFY(!c.shown(QStringLiteral("Panel_df1")));
        QVERIFY(!c.shown(QStringLiteral("panel_df")));
        QCOMPARE(c.rows(QStringLiteral("select count(*) from pwdf")), QStringList{QStringLiteral("0")});
    }

    void finalScoreIsStoredOnce()
    {
        Contest c(4);
        c.open();
        c.key(Qt::Key_F1);
        c.keys(QStringLiteral("UU"));
        c.enter({QStringLiteral("9.5"), QStringLiteral("9"), QStringLiteral("8.5"), QStringLiteral("9")});
        c.key(Qt::Key_F7);
        c.key(Qt::Key_Escape);
        c.key(Qt::Key_Return); // stored again: still one row
        const QString row = QStringLiteral("select bh || '|' || xm || '|' || lunshu || '|' || dfxs || '|' || pw1 || pw1df || '|' || "
                                           "pw4 || pw4df || '|' || coalesce(pw5, pw5df, '-') || '|' || zhdf || '|' || dtdf || '|' || "
                                           "zhtotal from %1");
        const QStringList expected{QStringLiteral("2|选手2|1|0.5|张明9.5|赵强9|-|9.00|0|9.00")};
        QCOMPARE(c.rows(row.arg(QStringLiteral("pwdf"))), expected);
        QCOMPARE(c.rows(row.arg(QStringLiteral("pwdf_bak"))), expected);

        // Back from the leaderboard, which left its view code in the shared round, the score goes under it.
        c.t.context().current_round = 5;
        c.key(Qt::Key_Escape);
        c.key(Qt::Key_F7);
        QCOMPARE(c.rows(QStringLiteral("select lunshu || ':' || coalesce(dfxs, '') from pwdf order by lunshu")),
                 (QStringList{QStringLiteral("1:0.5"), QStringLiteral("5:")}));
        QVERIFY(c.t.fakes.dialogs.errors.isEmpty());
    }

    // The photo is that of the contestant on display, also when the roster numbers have gaps.
    void photoChoosesThePanel()
    {
        Contest c(1, 0);
        c.t.folder.setConfig(keys::kContest, keys::kContestantCount, QStringLiteral("3"));
        c.t.folder.exec({QStringLiteral("insert into xsb (bh, xm, zppath) values (1, '甲', 'a.jpg')"),
                         QStringLiteral("insert into xsb (bh, xm, zppath) values (3, '丙', 'c.jpg')"),
                         QStringLiteral("insert into xsb (bh, xm, zppath) values (4, '丁', 'd.jpg')")});
        c.t.folder.writePicture(QStringLiteral("选手照片/c.jpg"), QSize(304, 302), Qt::green);
        c.t.folder.writePicture(QStringLiteral("选手照片/d.jpg"), QSize(304, 302), Qt::blue);
        c.open();
        c.key(Qt::Key_F1);
        c.keys(QStringLiteral("U"));
        c.enter({QStringLiteral("9")});
        c.key(Qt::Key_F5);
        QVERIFY(c.shown(QStringLiteral("Panel_df1")));
        // Under the panel without photo the contestant can change.
        c.keys(QStringLiteral("U"));
        QCOMPARE(c.label(QStringLiteral("lab_xsbh"))->text(), QStringLiteral("3"));
        c.key(Qt::Key_Escape);
        c.enter({QStringLiteral("8")});
        c.key(Qt::Key_F5);
        QVERIFY(c.shown(QStringLiteral("panel_df")));
        QVERIFY(!c.shown(QStringLiteral("Panel_df1")));
        QCOMPARE(c.label(QStringLiteral("lab_xsdf"))->text(), QStringLiteral("8.00"));
        QCOMPARE(c.label(QStringLiteral("lab_xsxm_1"))->text(), QStringLiteral("丙"));
        QVERIFY(centreColour(c.find<Picture>(QStringLiteral("image_xszp"))).green() > 200);
        // Under the panel with photo it cannot.
        c.keys(QStringLiteral("UD"));
        QCOMPARE(c.screen->current_position(), 2);
        QVERIFY(c.t.fakes.dialogs.errors.isEmpty());
    }

    void escapeTakesThePanelsAwayInOrder()
    {
        Contest c(1);
        c.open();
        c.key(Qt::Key_F1);
        c.keys(QStringLiteral("U"));
        c.enter({QStringLiteral("9")});
        c.key(Qt::Key_F5);
        c.key(Qt::Key_F9);
        QVERIFY(c.shown(QStringLiteral("Panel_df1")) && c.shown(QStringLiteral("panel_sdsrfs")));
        c.key(Qt::Key_Escape);
        QVERIFY(!c.shown(QStringLiteral("Panel_df1")));
        QVERIFY(c.shown(QStringLiteral("panel_sdsrfs")));
        c.key(Qt::Key_Escape);
        QVERIFY(!c.shown(QStringLiteral("panel_sdsrfs")));
        QVERIFY(c.screen->isVisible());
        c.key(Qt::Key_Escape);
        QVERIFY(!c.screen->isVisible());
    }
};

// What goes wrong in a live show: a corrected score, a broken photo, typing into the entry panel, a long
// score, a judge count the screen cannot seat.
class OperatorTest : public QObject {
    Q_OBJECT
private slots:
    // Scores are shown with F5, corrected through the entry panel and shown again: the second computation
    // drops the judges it finds now, not those of the first as well.
    void correctedScoresAreAveragedAfresh_data()
    {
        QTest::addColumn<QString>("tally");
        QTest::addColumn<QStringList>("first");
        QTest::addColumn<QStringList>("corrected");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("marks");
        QTest::newRow("tally 1: new highest and lowest")
            << u"1"_s << QStringList{u"9.5"_s, u"9.13"_s, u"9.14"_s, u"8.0"_s, u"9.135"_s}
            << QStringList{u"9.5"_s, u"9.9"_s, u"7.0"_s, u"8.0"_s, u"9.3"_s} << u"8.93"_s << u"NHLNN"_s;
        QTest::newRow("tally 1: same judges") << u"1"_s << QStringList{u"9"_s, u"8"_s, u"7"_s}
                                              << QStringList{u"9.5"_s, u"8"_s, u"6"_s} << u"8.00"_s << u"HNL"_s;
        QTest::newRow("tally 0: every score") << u"0"_s << QStringList{u"9"_s, u"8"_s, u"7"_s}
                                              << QStringList{u"9"_s, u"8"_s, u"4"_s} << u"7.00"_s << u"NNN"_s;
    }
    void correctedScoresAreAveragedAfresh()
    {
        QFETCH(QString, tally);
        QFETCH(QStringList, first);
        QFETCH(QStringList, corrected);
        QFETCH(QString, shown);
        QFETCH(QString, marks);
        Contest c(int(first.size()));
        c.t.folder.setConfig(keys::kScoring, keys::kTallyMode, tally);
        c.open();
        c.key(Qt::Key_F1);
        c.keys(QStringLiteral("U"));
        c.enter(first);
        c.key(Qt::Key_F5);
        c.key(Qt::Key_Escape);
        c.enter(corrected);
        c.key(Qt::Key_F7);
        QCOMPARE(c.label(QStringLiteral("lab_xsdf1"))->text(), shown);
        QCOMPARE(c.colours(), marks);
        QCOMPARE(c.rows(QStringLiteral("select zhdf from pwdf")), QStringList{shown});
        QVERIFY(c.t.fakes.dialogs.errors.isEmpty());
    }

    // A photo that is no picture costs neither the score nor the show: the operator hears of it once, when
    // the screen opens, and the final score is shown and stored without photo, with no box over it.
    void unreadablePhotoIsToldAtTheOpening_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QByteArray noise(2048, '\0');
        for (int i = 0; i < noise.size(); ++i)
            noise[i] = char((i * 7919 + 13) % 251);
        QTest::newRow("a text file") << QByteArray("this is no picture");
        QTest::newRow("random bytes") << noise;
    }
    void unreadablePhotoIsToldAtTheOpening()
    {
        QFETCH(QByteArray, bytes);
        Contest c(2, 0);
        c.t.folder.setConfig(keys::kContest, keys::kContestantCount, QStringLiteral("2"));
        c.t.folder.exec({QStringLiteral("insert into xsb (bh, xm, zppath) values (1, '甲', 'x.jpg')"),
                         QStringLiteral("insert into xsb (bh, xm, zppath) values (2, '乙', '')")});
        c.t.folder.writeBytes(QStringLiteral("选手照片/x.jpg"), bytes);
        c.open();
        QTRY_COMPARE(c.t.fakes.dialogs.errors.size(), 1);
        const QString told = c.t.fakes.dialogs.errors.first();
        QVERIFY2(told.startsWith(QStringLiteral("下列选手的照片无法显示，显示得分时将不带照片")), qPrintable(told));
        QVERIFY(told.contains(QStringLiteral("1号 甲：“x.jpg”")));
        QVERIFY(!told.contains(QStringLiteral("乙")));

        c.key(Qt::Key_F1);
        c.keys(QStringLiteral("U"));
        c.enter({QStringLiteral("9"), QStringLiteral("8")});
        int boxesOverTheScore = 0;
        c.t.fakes.dialogs.onError = [&](const QString &) { boxesOverTheScore += c.shown(QStringLiteral("Panel_df1")) ? 1 : 0; };
        c.key(Qt::Key_F7);
        QCOMPARE(c.rows(QStringLiteral("select zhtotal from pwdf")), QStringList{QStringLiteral("8.50")});
        QVERIFY(c.shown(QStringLiteral("Panel_df1")));
        QVERIFY(!c.shown(QStringLiteral("panel_df")));
        QCOMPARE(c.label(QStringLiteral("lab_xsdf1"))->text(), QStringLiteral("8.50"));
        // Under the score the contestant changes and comes back: still no box.
        c.keys(QStringLiteral("UU"));
        c.key(Qt::Key_Escape);
        c.keys(QStringLiteral("UU"));
        c.key(Qt::Key_F7);
        QCOMPARE(c.t.fakes.dialogs.errors.size(), 1);
        QCOMPARE(boxesOverTheScore, 0);

        // The next opening tells it again, once.
        c.key(Qt::Key_Escape);
        c.key(Qt::Key_Escape);
        c.open();
        QTRY_COMPARE(c.t.fakes.dialogs.errors.size(), 2);
    }

    // A photo broken after the opening is told when its contestant is chosen, never under a score.
    void photoBrokenLaterIsToldWhenChosen()
    {
        Contest c(2, 0);
        c.t.folder.setConfig(keys::kContest, keys::kContestantCount, QStringLiteral("2"));
        c.t.folder.exec({QStringLiteral("insert into xsb (bh, xm, zppath) values (1, '甲', 'x.jpg')"),
                         QStringLiteral("insert into xsb (bh, xm, zppath) values (2, '乙', '')")});
        writePortrait(c.t.folder, QStringLiteral("选手照片/x.jpg"), QSize(120, 120), Qt::darkCyan);
        c.open();
        QCoreApplication::processEvents();
        QVERIFY(c.t.fakes.dialogs.errors.isEmpty());
        c.t.folder.writeBytes(QStringLiteral("选手照片/x.jpg"), "broken since");
        c.key(Qt::Key_F1);
        c.keys(QStringLiteral("U"));
        QCOMPARE(c.t.fakes.dialogs.errors.size(), 1);
        QVERIFY(c.t.fakes.dialogs.errors.first().contains(QStringLiteral("x.jpg")));
        c.keys(QStringLiteral("UU")); // told once per opening
        QCOMPARE(c.t.fakes.dialogs.errors.size(), 1);
    }

    // While the entry panel is up, keys that type characters and the arrows belong to the box.
    void typingInTheEntryPanelRunsNoCommand()
    {
        Contest c(2);
        c.open();
        c.key(Qt::Key_F1);
        c.keys(QStringLiteral("UU"));
        c.key(Qt::Key_F9);
        auto *box = c.find<QLineEdit>(QStringLiteral("Edit2"));
        QCOMPARE(c.screen->focusWidget(), box);
        box->clear();
        for (Qt::Key k : {Qt::Key_9, Qt::Key_Period, Qt::Key_5, Qt::Key_Minus, Qt::Key_Equal, Qt::Key_M, Qt::Key_N,
                          Qt::Key_Q, Qt::Key_Up, Qt::Key_Down})
            QTest::keyClick(box, k);
        QCOMPARE(box->text(), QStringLiteral("9.5-=mnq"));
        QCOMPARE(c.screen->current_position(), 2);
        QVERIFY(c.t.fakes.dialogs.errors.isEmpty());
        QVERIFY(!c.t.screens().frm_djs->isVisible());
        QVERIFY(!c.t.screens().frm_zjs->isVisible());
        QVERIFY(!c.t.screens().frm_jz->isVisible());
        QVERIFY(!c.screen->findChild<QTimer *>(QStringLiteral("time_max"))->isActive());
        // Esc still takes the panel away, and then the arrows choose contestants again.
        QTest::keyClick(box, Qt::Key_Escape);
        QVERIFY(!c.shown(QStringLiteral("panel_sdsrfs")));
        c.keys(QStringLiteral("U"));
        QCOMPARE(c.screen->current_position(), 3);
    }

    // Numbers and names too long for their labels are drawn smaller, never cut off.
    void longTextsFitTheirLabels()
    {
        Contest c(3, 0);
        c.t.folder.setConfig(keys::kContest, keys::kContestantCount, QStringLiteral("100000"));
        c.t.folder.exec({QStringLiteral("insert into xsb (bh, xm, zppath) values (1, '甲', '')")});
        c.t.folder.setConfig(keys::kScoring, keys::kDecimals, QStringLiteral("7"));
        c.open();
        c.key(Qt::Key_F1);
        c.keys(QStringLiteral("U"));
        c.enter({QStringLiteral("7.24"), QStringLiteral("7.25"), QStringLiteral("7.25")});
        c.key(Qt::Key_F5);
        for (const QString &name : {QStringLiteral("lab_xsdf1"), QStringLiteral("lab_xsgs")}) {
            ShadowLabel *l = c.label(name);
            QVERIFY2(l->text().size() >= 7, qPrintable(l->text()));
            const QFont drawn = l->fittedFont();
            QVERIFY2(QFontMetrics(drawn).horizontalAdvance(l->text()) <= l->width(), qPrintable(name));
            QVERIFY(drawn.pixelSize() < l->font().pixelSize());
        }
        QCOMPARE(c.label(QStringLiteral("lab_xsdf1"))->text(), QStringLiteral("7.24666666666667"));
        // A text that fits keeps the label's own size.
        QCOMPARE(c.label(QStringLiteral("lab_xsbh"))->fittedFont().pixelSize(), c.label(QStringLiteral("lab_xsbh"))->font().pixelSize());
    }

    // A judge count the screen cannot seat is said once, when the screen opens.
    void unseatableJudgeCountIsSaidOnOpening_data()
    {
        QTest::addColumn<int>("judges");
        QTest::newRow("0") << 0;
        QTest::newRow("13") << 13;
    }
    void unseatableJudgeCountIsSaidOnOpening()
    {
        QFETCH(int, judges);
        Contest c(judges);
        c.open();
        QTRY_COMPARE(c.t.fakes.dialogs.informations.size(), 1);
        QVERIFY(c.t.fakes.dialogs.informations.first().contains(QString::number(judges)));
        c.key(Qt::Key_F1);
        c.keys(QStringLiteral("U"));
        c.key(Qt::Key_F9);
        c.key(Qt::Key_F7);
        QCOMPARE(c.t.fakes.dialogs.informations.size(), 1);
        QVERIFY(c.t.fakes.dialogs.errors.isEmpty());
    }
};

class FlashTest : public QObject {
    Q_OBJECT
private slots:
    void blinksThenStaysMarked_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("blinking");  // the colours while the box is lit
        QTest::addColumn<QString>("ended");
        // Ties go to the lowest-numbered judge: judge 2 is the highest, judge 3 the lowest.
        QTest::newRow("= flashes the highest") << int(Qt::Key_Equal) << u"NHNNN"_s << u"NHNNN"_s;
        QTest::newRow("- flashes the lowest") << int(Qt::Key_Minus) << u"NNLNN"_s << u"NNLNN"_s;
    }
    void blinksThenStaysMarked()
    {
        QFETCH(int, key);
        QFETCH(QString, blinking);
        QFETCH(QString, ended);
        Contest c(5);
        c.t.folder.setConfig(keys::kScoring, keys::kFlashSeconds, QStringLiteral("2"));
        c.open();
        c.key(Qt::Key_F1);
        c.keys(QStringLiteral("U"));
        c.enter({QStringLiteral("8"), QStringLiteral("9.5"), QStringLiteral("7"), QStringLiteral("9.5"), QStringLiteral("7")});
        c.key(Qt::Key(key));
        const bool highest = key == Qt::Key_Equal;
        QTimer *blink = highest ? c.screen->time_max : c.screen->time_min;
        QTimer *duration = highest ? c.screen->time_total : c.screen->time_totalmin;
        QVERIFY(blink->isActive() && duration->isActive());
        QCOMPARE(blink->interval(), 200);
        QCOMPARE(duration->interval(), 2000);
        QCOMPARE(c.screen->blink_phase(), 1);

        auto tick = [&] { highest ? c.screen->time_maxTimer() : c.screen->time_minTimer(); };
        tick();
        QCOMPARE(c.colours(), QStringLiteral("NNNNN"));
        QCOMPARE(c.screen->blink_phase(), 0);
        tick();
        QCOMPARE(c.colours(), blinking);
        tick();
        QCOMPARE(c.colours(), QStringLiteral("NNNNN"));
        highest ? c.screen->time_totalTimer() : c.screen->time_totalminTimer();
        QCOMPARE(c.colours(), ended);
        QVERIFY(!blink->isActive() && !duration->isActive());
    }

    void flashedScoreIsLeftOutOfTheAverage()
    {
        Contest c(3);
        c.open();
        c.key(Qt::Key_F1);
        c.keys(QStringLiteral("U"));
        c.enter({QStringLiteral("9"), QStringLiteral("8"), QStringLiteral("7")});
        c.key(Qt::Key_Equal);
        c.screen->time_totalTimer();
        c.key(Qt::Key_F5);
        QCOMPARE(c.label(QStringLiteral("lab_xsdf1"))->text(), QStringLiteral("7.50"));
    }

    void zeroSecondsBlinksWithoutEnd()
    {
        Contest c(2);
        c.t.folder.setConfig(keys::kScoring, keys::kFlashSeconds, QStringLiteral("0"));
        c.open();
        c.key(Qt::Key_F1);
        c.keys(QStringLiteral("U"));
        c.enter({QStringLiteral("9"), QStringLiteral("8")});
        c.key(Qt::Key_Minus);
        QVERIFY(c.screen->time_min->isActive());
        QVERIFY(!c.screen->time_totalmin->isActive());
    }

    void flashOfEmptyBoxesIsReported()
    {
        Contest c(2);
        c.open();
        c.key(Qt::Key_F1);
        c.key(Qt::Key_Equal);
        QCOMPARE(c.t.fakes.dialogs.errors, QStringList{QStringLiteral("“”不是有效的数字。\n'' is not a valid floating point value")});
        QVERIFY(!c.screen->time_max->isActive());
    }
};

class DeleteAndOpenTest : public QObject {
    Q_OBJECT
private slots:
    void deletesStoredScores_data()
    {
        QTest::addColumn<QString>("contestant"); // Up presses
        QTest::addColumn<bool>("shift");
        QTest::addColumn<bool>("inEntryPanel");
        QTest::addColumn<QString>("remaining");
        QTest::addColumn<QString>("firstBox");
        QTest::newRow("Delete: the contestant's row") << u"UU"_s << false << false << u"1/1 2/2 3/1"_s << u""_s;
        QTest::newRow("Shift+Delete: the whole round") << u"UU"_s << true << false << u"2/2"_s << u""_s;
        QTest::newRow("Delete inside the entry panel edits the box") << u"UU"_s << false << true << u"1/1 2/1 2/2 3/1"_s << u"9"_s;
        QTest::newRow("nothing on display, nothing deleted") << u"UUUU"_s << false << false << u"1/1 2/1 2/2 3/1"_s << u""_s;
    }
    void deletesStoredScores()
    {
        QFETCH(QString, contestant);
        QFETCH(bool, shift);
        QFETCH(bool, inEntryPanel);
        QFETCH(QString, remaining);
        QFETCH(QString, firstBox);
        Contest c(2, 4);
        QStringList rows;
        for (const char *pair : {"1, 1", "2, 1", "2, 2", "3, 1"})
            rows << QStringLiteral("insert into pwdf (bh, lunshu, pw1df, pw2df) values (%1, '9', '8')").arg(QLatin1String(pair));
        c.t.folder.exec(rows);
        c.open();
        c.key(Qt::Key_F1);
        c.keys(contestant);
        if (!c.box(1).isEmpty()) {
            c.key(Qt::Key_Equal);
            c.screen->time_totalTimer();
        }
        if (inEntryPanel) {
            c.key(Qt::Key_F9);
            QTest::keyClick(c.find(QStringLiteral("Edit2")), Qt::Key_Delete); // the box's text is selected
            QCOMPARE(c.find<QLineEdit>(QStringLiteral("Edit2"))->text(), QString());
        } else {
            c.key(Qt::Key_Delete, shift ? Qt::ShiftModifier : Qt::NoModifier);
        }
        QCOMPARE(c.rows(QStringLiteral("select group_concat(bh || '/' || lunshu, ' ') from (select * from pwdf order by bh, lunshu)")),
                 QStringList{remaining});
        QCOMPARE(c.box(1), firstBox);
        if (!inEntryPanel)
            QCOMPARE(c.colours(), QStringLiteral("NN"));
        QVERIFY(c.t.fakes.dialogs.errors.isEmpty());
    }

    void opensTheOtherScreens_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("screen");
        QTest::addColumn<bool>("needsRound");
        QTest::addColumn<bool>("needsContestant");
        QTest::newRow("PageDown: leaderboard") << int(Qt::Key_PageDown) << u"frm_dfpm"_s << true << false;
        QTest::newRow("F10: quiz") << int(Qt::Key_F10) << u"frm_tm"_s << true << false;
        QTest::newRow("F11: contestant introduction") << int(Qt::Key_F11) << u"frm_xsjs"_s << true << true;
        QTest::newRow("M: countdown") << int(Qt::Key_M) << u"frm_djs"_s << false << false;
        QTest::newRow("N: count-up") << int(Qt::Key_N) << u"frm_zjs"_s << false << false;
        QTest::newRow("Q: still screen") << int(Qt::Key_Q) << u"frm_jz"_s << false << false;
    }
    void opensTheOtherScreens()
    {
        QFETCH(int, key);
        QFETCH(QString, screen);
        QFETCH(bool, needsRound);
        QFETCH(bool, needsContestant);
        Contest c;
        c.t.start();
        // As in the show: menu, hub (modal), F1.
        Tshow_main *hub = c.t.screens().show_main;
        hub->openModal(c.t.screens().frm_main);
        QTest::keyClick(hub, Qt::Key_F1);
        c.screen = c.t.screens().frm_pfmain;
        QVERIFY(c.screen->isVisible());
        QWidget *target = nullptr;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->objectName() == screen)
                target = w;
        QVERIFY(target);

        c.key(Qt::Key(key));
        QCOMPARE(target->isVisible(), !needsRound && !needsContestant);
        c.key(Qt::Key_F1);
        c.key(Qt::Key(key));
        QCOMPARE(target->isVisible(), !needsContestant);
        c.keys(QStringLiteral("U"));
        c.key(Qt::Key(key));
        QVERIFY(target->isVisible());
        // Not blocked by the modal hub below it.
        QVERIFY(!QApplication::modalWindow() || QApplication::modalWindow() == target->windowHandle());
    }
};

// Renders the screen for a look when QUELMORA_SCREENSHOTS names a folder.
class ScreenshotTest : public QObject {
    Q_OBJECT
private slots:
    void render()
    {
        const QString folder = qEnvironmentVariable("QUELMORA_SCREENSHOTS");
        if (folder.isEmpty())
            QSKIP("set QUELMORA_SCREENSHOTS to a folder to render the screenshots");
        QDir().mkpath(folder);
        Contest c(12, 3);
        const QColor grounds[] = {QColor(90, 120, 170), QColor(150, 110, 90), QColor(100, 150, 120)};
        for (int j = 1; j <= 12; ++j) {
            writePortrait(c.t.folder, QStringLiteral("评委照片/p%1.jpg").arg(j), QSize(135, 169), grounds[j % 3]);
            c.t.folder.setConfig(keys::kJudges, keys::judgePhoto(j), QStringLiteral("p%1.jpg").arg(j));
        }
        c.t.folder.exec({QStringLiteral("update xsb set xm = '欧阳晓雯', zppath = 'x1.jpg' where bh = 1"),
                         QStringLiteral("update xsb set xm = '司马长风' where bh = 2")});
        writePortrait(c.t.folder, QStringLiteral("选手照片/x1.jpg"), QSize(304, 302), QColor(170, 60, 70));
        c.open();
        c.key(Qt::Key_F1);
        c.keys(QStringLiteral("U"));
        c.enter({QStringLiteral("9.52"), QStringLiteral("9.35"), QStringLiteral("9.60"), QStringLiteral("9.18"),
                 QStringLiteral("9.44"), QStringLiteral("9.71"), QStringLiteral("9.05"), QStringLiteral("9.38"),
                 QStringLiteral("9.49"), QStringLiteral("9.27"), QStringLiteral("9.56"), QStringLiteral("9.33")},
                QStringLiteral("0.5"));
        c.key(Qt::Key_Equal);
        c.screen->time_totalTimer();
        c.key(Qt::Key_Minus);
        c.screen->time_totalminTimer();
        QVERIFY(c.screen->grab().save(folder + QStringLiteral("/scoring_12_judges.png")));
        c.key(Qt::Key_F9);
        QVERIFY(c.screen->grab().save(folder + QStringLiteral("/scoring_entry_panel.png")));
        c.key(Qt::Key_Escape);
        c.key(Qt::Key_F7);
        QVERIFY(c.shown(QStringLiteral("panel_df")));
        QVERIFY(c.screen->grab().save(folder + QStringLiteral("/score_with_photo.png")));
        c.key(Qt::Key_Escape);
        c.keys(QStringLiteral("U"));
        c.enter(QStringList(12, QStringLiteral("8.75")));
        c.key(Qt::Key_F7);
        QVERIFY(c.shown(QStringLiteral("Panel_df1")));
        QVERIFY(c.screen->grab().save(folder + QStringLiteral("/score_without_photo.png")));
        QVERIFY(c.t.fakes.dialogs.errors.isEmpty());
    }
};

QUELMORA_TEST_MAIN(OpeningTest, ContestantTest, EntryTest, ScorePanelTest, OperatorTest, FlashTest, DeleteAndOpenTest, ScreenshotTest)
#include "tst_scoring_screen.moc"
