// The settings screen as the organiser drives it: opening, the system and judges tabs, the save, the
// roster's add, delete and move, the score records' filter, deletes and export.
#include "app/tfrm_main.h"
#include "ui/click_area.h"
#include "scoring/tfrm_pfmain.h"
#include "media/office.h"
#include "settings/settings_keys.h"
#include "setup/cssz_judges_tab.h"
#include "setup/cssz_roster_tab.h"
#include "setup/cssz_scores_tab.h"
#include "setup/cssz_system_tab.h"
#include "setup/tfrm_cssz.h"
#include "test_app.h"
#include "ui/picture.h"
#include "ui/shadow_label.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QStringEncoder>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>

namespace {

QByteArray gbk(const QString &text)
{
    QStringEncoder encode("GBK");
    return encode(text);
}

// The application over a temporary program folder with the settings screen opened from the main menu.
struct Setup {
    Setup() = default;

    Tfrm_cssz *open()
    {
        if (!t.app)
            t.start();
        screen = t.screens().frm_cssz;
        screen->openModal(t.screens().frm_main);
        return screen;
    }

    template <typename W = QWidget>
    W *find(const QString &name) const
    {
        return test_support::findWidget<W>(screen, name);
    }
    QLineEdit *edit(const QString &name) const { return find<QLineEdit>(name); }
    QComboBox *combo(const QString &name) const { return find<QComboBox>(name); }
    void click(const QString &name) const { QTest::mouseClick(find<QPushButton>(name), Qt::LeftButton); }
    // Replaces the text of an entry box or an editable list as the operator does: select all, type
    // (text beyond the keyboard's letters comes as from an input method), and for a list, Enter.
    void type(QWidget *w, const QString &text) const
    {
        w->setFocus();
        QTest::keyClick(w, Qt::Key_A, Qt::ControlModifier);
        bool plain = true;
        for (QChar c : text)
            plain = plain && c.unicode() < 128;
        auto *combo = qobject_cast<QComboBox *>(w);
        if (text.isEmpty())
            QTest::keyClick(w, Qt::Key_Delete);
        else if (plain)
            QTest::keyClicks(w, text);
        else
            (combo ? combo->lineEdit() : static_cast<QLineEdit *>(w))->insert(text);
        if (combo)
            QTest::keyClick(w, Qt::Key_Return);
    }
    void tab(QWidget *page) const { screen->PageControl1->setCurrentWidget(page); }

    // Clicks row `row` of a grid, with Ctrl to add it to the selection.
    void clickRow(QTableView *grid, int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier) const
    {
        int column = 0;
        while (grid->isColumnHidden(column))
            ++column;
        const QRect cell = grid->visualRect(grid->model()->index(row, column));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, modifiers, cell.center());
    }

    QStringList rows(const QString &sql) const { return t.folder.column(sql); }
    QByteArray configBytes() const
    {
        QFile f(t.folder.file(QStringLiteral("config/config.ini")));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    FakeDialogs &dialogs() { return t.fakes.dialogs; }

    TestApp t;
    Tfrm_cssz *screen = nullptr;
};

// `n` contestants 选手1..选手n numbered 1..n.
void roster(const TestProgramFolder &f, int n)
{
    QStringList sql;
    for (int i = 1; i <= n; ++i)
        sql << QStringLiteral("insert into xsb (bh, xm, fz, zppath, xszl) values (%1, '选手%1', '第%1组', '', '')").arg(i);
    if (!sql.isEmpty())
        f.exec(sql);
}

// Score rows of contestants 1..n in the given rounds, each judge 1..3 named and scored.
void scores(const TestProgramFolder &f, int n, const QList<int> &rounds)
{
    QStringList sql;
    for (int r : rounds)
        for (int i = 1; i <= n; ++i)
            for (const char *table : {"pwdf", "pwdf_bak"})
                sql << QStringLiteral("insert into %1 (bh, xm, lunshu, dfxs, zhdf, dtdf, zhtotal, pw1, pw1df, zgf, zdf) "
                                      "values (%2, '选手%2', %3, '0.5', '9.%2', '0', '9.%2', '张明', '9.%3', '9.9', '8.1')")
                           .arg(QLatin1String(table))
                           .arg(i)
                           .arg(r);
    f.exec(sql);
}

QString visibleJudges(const Setup &s)
{
    QString out;
    for (int j = 1; j <= 12; ++j) {
        const bool row = s.find(QStringLiteral("ed_pw%1").arg(j))->isVisibleTo(s.screen->TabSheet1);
        const bool card = s.find(QStringLiteral("panel_pw%1").arg(j))->isVisibleTo(s.screen->TabSheet1);
        out += row && card ? QLatin1Char('1') : !row && !card ? QLatin1Char('0') : QLatin1Char('?');
    }
    return out;
}

} // namespace

class OpeningTest : public QObject {
    Q_OBJECT
private slots:
    void theJudgeCountShowsItsJudges_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("4") << QStringLiteral("4") << QString() << QStringLiteral("111100000000");
        QTest::newRow("12") << QStringLiteral("12") << QString() << QStringLiteral("111111111111");
        QTest::newRow("4, then 7 typed") << QStringLiteral("4") << QStringLiteral("7") << QStringLiteral("111111100000");
        QTest::newRow("4, then 15 typed: rows stay") << QStringLiteral("4") << QStringLiteral("15") << QStringLiteral("111100000000");
        QTest::newRow("0 stored: rows stay") << QStringLiteral("0") << QString() << QStringLiteral("111111111111");
    }
    void theJudgeCountShowsItsJudges()
    {
        QFETCH(QString, stored);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        Setup s;
        s.t.folder.setConfig(keys::kJudges, keys::kJudgeCount, stored);
        s.open();
        s.tab(s.screen->TabSheet1);
        if (!typed.isEmpty())
            s.type(s.combo(QStringLiteral("combo_pwgs")), typed);
        QCOMPARE(visibleJudges(s), shown);
        QVERIFY(s.dialogs().errors.isEmpty());
    }

    void aJudgeCountThatIsNoNumberIsSaid()
    {
        Setup s;
        s.t.folder.setConfig(keys::kJudges, keys::kJudgeCount, QStringLiteral("四"));
        s.t.folder.exec({QStringLiteral("insert into djs (js) values ('30')")});
        s.open();
        QCOMPARE(s.dialogs().errors, QStringList{QStringLiteral("“四”不是有效的整数。\n'四' is not a valid integer value")});
        // The opening stopped there: the presets were not listed.
        QCOMPARE(s.find<QListWidget>(QStringLiteral("ListBox1"))->count(), 0);

        s.dialogs().errors.clear();
        s.tab(s.screen->TabSheet1);
        s.type(s.combo(QStringLiteral("combo_pwgs")), QStringLiteral("3x"));
        QCOMPARE(s.dialogs().errors, QStringList{QStringLiteral("“3x”不是有效的整数。\n'3x' is not a valid integer value")});
        QCOMPARE(visibleJudges(s), QStringLiteral("111111111111"));
        s.combo(QStringLiteral("combo_pwgs"))->setCurrentIndex(2); // a choice from the list applies at once
        QCOMPARE(visibleJudges(s), QStringLiteral("111000000000"));
    }

    // Values the lists do not offer leave them as they were: the design texts at the first opening.
    void unknownValuesKeepTheListsText()
    {
        Setup s;
        s.t.folder.setConfig(keys::kScoring, keys::kRankMode, QStringLiteral("7"));
        s.open();
        QCOMPARE(s.combo(QStringLiteral("combo_xsd"))->currentText(), QStringLiteral("1"));
        QCOMPARE(s.combo(QStringLiteral("combo_pmms"))->currentText(), QStringLiteral("跳名次"));
        s.click(QStringLiteral("Button2"));

        s.t.folder.setConfig(keys::kScoring, keys::kDecimals, QStringLiteral(" 3 "));
        s.t.folder.setConfig(keys::kScoring, keys::kRankMode, QStringLiteral("1"));
        s.t.folder.setConfig(keys::kScoring, keys::kTallyMode, QStringLiteral("0"));
        s.t.folder.setConfig(keys::kQuiz, keys::kCountdownLocked, QStringLiteral("1"));
        s.open();
        QCOMPARE(s.combo(QStringLiteral("combo_xsd"))->currentText(), QStringLiteral("3"));
        QCOMPARE(s.combo(QStringLiteral("combo_pmms"))->currentText(), QStringLiteral("不跳名次"));
        QCOMPARE(s.combo(QStringLiteral("combo_dftjms"))->currentText(), QStringLiteral("分数直接累加,求平均值"));
        QCOMPARE(s.combo(QStringLiteral("combo_djssd1"))->currentText(), QStringLiteral("锁定"));
        s.click(QStringLiteral("Button2"));

        // 小数点 gone from the file: the list keeps "3", and the save writes it.
        QFile config(s.t.folder.file(QStringLiteral("config/config.ini")));
        QVERIFY(config.open(QIODevice::ReadOnly));
        QByteArray bytes = config.readAll();
        config.close();
        bytes.replace(gbk(QStringLiteral("小数点=3")), QByteArray());
        s.t.folder.writeBytes(QStringLiteral("config/config.ini"), bytes);
        s.t.folder.setConfig(keys::kJudges, keys::kJudgeCount, QStringLiteral("3"));
        s.open();
        QCOMPARE(s.combo(QStringLiteral("combo_xsd"))->currentText(), QStringLiteral("3"));
        s.click(QStringLiteral("Button1"));
        QCOMPARE(s.t.folder.config(keys::kScoring, keys::kDecimals), QStringLiteral("3"));
    }

    void judgesShowTheirNamesAndPhotos()
    {
        Setup s;
        s.t.folder.setConfig(keys::kJudges, keys::kJudgeCount, QStringLiteral("3"));
        s.t.folder.setConfig(keys::kJudges, keys::judgeName(1), QStringLiteral("张明"));
        s.t.folder.setConfig(keys::kJudges, keys::judgePhoto(1), QStringLiteral("p1.jpg"));
        s.t.folder.setConfig(keys::kJudges, keys::judgePhoto(2), QStringLiteral("missing.jpg"));
        s.t.folder.setConfig(keys::kJudges, keys::judgePhoto(3), QStringLiteral("broken.jpg"));
        s.t.folder.writePicture(QStringLiteral("评委照片/p1.jpg"));
        s.t.folder.writeBytes(QStringLiteral("评委照片/broken.jpg"), "not a picture");
        s.open();
        QCOMPARE(s.find<QLabel>(QStringLiteral("lab_pw1"))->text(), QStringLiteral("张明"));
        QVERIFY(!s.find<Picture>(QStringLiteral("Image1"))->isEmpty());
        QVERIFY(s.find<Picture>(QStringLiteral("Image2"))->isEmpty());
        QVERIFY(s.find<Picture>(QStringLiteral("Image3"))->isEmpty());
        // The unreadable photo is said once; the opening went on.
        QCOMPARE(s.dialogs().errors.size(), 1);
        QVERIFY(s.dialogs().errors[0].contains(QStringLiteral("broken.jpg")));
        QCOMPARE(visibleJudges(s), QStringLiteral("111000000000"));

        s.tab(s.screen->TabSheet1);
        s.type(s.edit(QStringLiteral("ed_pw2")), QStringLiteral("  李华 "));
        QCOMPARE(s.find<QLabel>(QStringLiteral("lab_pw2"))->text(), QStringLiteral("李华"));
    }

    // 退 出 drops unsaved edits only when the organiser says so.
    void leavingWithUnsavedEditsAsks_data()
    {
        QTest::addColumn<QString>("edit");   // the widget edited, "" for none
        QTest::addColumn<bool>("answer");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<bool>("closed");
        QTest::newRow("nothing edited") << QString() << false << false << true;
        QTest::newRow("a round's lowest score, No") << QStringLiteral("ed_hj2_zd") << false << true << false;
        QTest::newRow("a round's lowest score, Yes") << QStringLiteral("ed_hj2_zd") << true << true << true;
        QTest::newRow("a judge's name, No") << QStringLiteral("ed_pw3") << false << true << false;
        QTest::newRow("the contestant count, No") << QStringLiteral("combo_xsgs") << false << true << false;
    }
    void leavingWithUnsavedEditsAsks()
    {
        QFETCH(QString, edit);
        QFETCH(bool, answer);
        QFETCH(bool, asked);
        QFETCH(bool, closed);
        Setup s;
        s.t.folder.setConfig(keys::kJudges, keys::kJudgeCount, QStringLiteral("5"));
        const QByteArray before = s.configBytes();
        s.open();
        if (!edit.isEmpty())
            s.type(s.find(edit), QStringLiteral("7"));
        s.dialogs().confirmAnswers << answer;
        s.click(QStringLiteral("Button2"));
        QCOMPARE(s.dialogs().confirmations,
                 asked ? QStringList{QStringLiteral("参数已经修改，还没有保存。确定要退出并放弃这些修改吗？")} : QStringList());
        QCOMPARE(s.screen->isVisible(), !closed);
        QCOMPARE(s.configBytes(), before); // nothing written either way
        if (!closed) // the edit is still there to be saved
            QCOMPARE(qobject_cast<QLineEdit *>(s.find(edit)) ? s.edit(edit)->text() : s.combo(edit)->currentText(),
                     QStringLiteral("7"));
    }

    void escClosesOnlyFromTheWindowItself()
    {
        Setup s;
        s.open();
        QLineEdit *e = s.edit(QStringLiteral("ed_hj1_zd"));
        s.type(e, QStringLiteral("5"));
        QTest::keyClick(e, Qt::Key_Escape);
        QVERIFY(s.screen->isVisible());
        s.screen->setFocus();
        QTest::keyClick(s.screen, Qt::Key_Escape); // asked first, since the edit is not saved; answered Yes
        QCOMPARE(s.dialogs().confirmations.size(), 1);
        QVERIFY(!s.screen->isVisible());
        QCOMPARE(s.t.folder.config(keys::kContest, keys::roundLowest(1)), QStringLiteral("0")); // nothing saved
        // The next opening shows the file again; without edits Esc does not ask.
        s.open();
        QCOMPARE(s.edit(QStringLiteral("ed_hj1_zd"))->text(), QStringLiteral("0"));
        QTest::keyClick(s.screen, Qt::Key_Escape);
        QVERIFY(!s.screen->isVisible());
        QCOMPARE(s.dialogs().confirmations.size(), 1);
    }
};

class SystemTabTest : public QObject {
    Q_OBJECT
private slots:
    void theUniformTimeFillsTheCountdowns_data()
    {
        QTest::addColumn<bool>("emptiedFirst");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("countdowns");
        QTest::addColumn<bool>("message");
        QTest::newRow("45") << false << QStringLiteral("45") << QStringLiteral("45") << QStringLiteral("45") << false;
        QTest::newRow("4a") << false << QStringLiteral("4a") << QStringLiteral("4a") << QStringLiteral("4") << true; // "4" copied on the way
        // An emptied box stays empty while the operator types anew, and copies nothing meanwhile.
        QTest::newRow("emptied") << false << QString() << QString() << QStringLiteral("9") << false;
        QTest::newRow("emptied, then 45") << true << QStringLiteral("45") << QStringLiteral("45") << QStringLiteral("45") << false;
    }
    void theUniformTimeFillsTheCountdowns()
    {
        QFETCH(bool, emptiedFirst);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(QString, countdowns);
        QFETCH(bool, message);
        Setup s;
        s.t.folder.setConfig(keys::kQuiz, keys::kChoiceSeconds, QStringLiteral("30"));
        s.open();
        QLineEdit *uniform = s.edit(QStringLiteral("ed_tongyitime1"));
        uniform->setText(QStringLiteral("9"));
        if (emptiedFirst) {
            s.type(uniform, QString());
            QTest::keyClicks(uniform, typed);
        } else {
            s.type(uniform, typed);
        }
        QCOMPARE(uniform->text(), shown);
        for (const char *name : {"ed_xztdjs1", "ed_wdtdjs1", "ed_lxtdjs1", "ed_tptdjs1", "ed_dmtdjs1"})
            QCOMPARE(s.edit(QLatin1String(name))->text(), countdowns);
        QCOMPARE(s.dialogs().informations,
                 message ? QStringList{QStringLiteral("你输入的时间格式有错误或者有非法字符，请检查!")} : QStringList());
    }

    // Every caption is read whole, and a time of four digits fits its box.
    void textsFitTheirBoxes()
    {
        Setup s;
        s.open();
        auto *title = s.find<QLabel>(QStringLiteral("lab_tmgs_title"));
        QCOMPARE(title->text(), QStringLiteral("（选择题目汉字或者数字）"));
        QVERIFY(title->isVisible());
        QVERIFY(title->width() >= title->fontMetrics().horizontalAdvance(title->text()));
        QVERIFY(title->parentWidget()->rect().contains(title->geometry()));
        for (const char *name : {"ed_xztdjs1", "ed_wdtdjs1", "ed_lxtdjs1", "ed_tptdjs1", "ed_dmtdjs1", "ed_tongyitime1",
                                 "ed_djsyx1", "ed_djs", "ed_djsyx"}) {
            QLineEdit *e = s.edit(QLatin1String(name));
            // The frame and the box's own margins take a few pixels of each side.
            QVERIFY2(e->fontMetrics().horizontalAdvance(QStringLiteral("1200")) + 10 <= e->width(), name);
        }
    }

    // The big-screen clock counts down from a preset: only a whole number of seconds above 0 is stored.
    void presetsTheClockCannotCountAreRefused_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::newRow("-10") << QStringLiteral("-10") << QString();
        QTest::newRow("0") << QStringLiteral("0") << QString();
        QTest::newRow("decimal") << QStringLiteral("1.5") << QString();
        QTest::newRow("with its unit") << QStringLiteral("3分") << QString();
        QTest::newRow("1") << QStringLiteral("1") << QStringLiteral("1");
        QTest::newRow("1200") << QStringLiteral(" 1200 ") << QStringLiteral("1200");
    }
    void presetsTheClockCannotCountAreRefused()
    {
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        Setup s;
        s.open();
        s.type(s.edit(QStringLiteral("ed_djs")), typed);
        s.click(QStringLiteral("Button25"));
        QCOMPARE(s.rows(QStringLiteral("select js from djs")), stored.isEmpty() ? QStringList() : QStringList{stored});
        QCOMPARE(s.dialogs().informations,
                 stored.isEmpty() ? QStringList{QStringLiteral("倒计时时间应为大于0的整数秒，现在是“%1”，请检查！").arg(typed.trimmed())}
                                  : QStringList());
    }

    void presetsAreAddedAndDeletedByValue()
    {
        Setup s;
        s.t.folder.exec({QStringLiteral("insert into djs (js) values ('90')"), QStringLiteral("insert into djs (js) values ('120')")});
        s.open();
        auto *list = s.find<QListWidget>(QStringLiteral("ListBox1"));
        auto items = [list] {
            QStringList out;
            for (int i = 0; i < list->count(); ++i)
                out << list->item(i)->text();
            return out;
        };
        QCOMPARE(items(), (QStringList{QStringLiteral("120"), QStringLiteral("90")})); // ordered as text, as stored

        QLineEdit *preset = s.edit(QStringLiteral("ed_djs"));
        s.type(preset, QStringLiteral(" 30 "));
        s.click(QStringLiteral("Button25"));
        s.click(QStringLiteral("Button25")); // stored twice
        QCOMPARE(preset->text(), QStringLiteral(" 30 "));
        QCOMPARE(s.rows(QStringLiteral("select js from djs where js = '30'")).size(), 2);
        QCOMPARE(items(), (QStringList{QStringLiteral("120"), QStringLiteral("30"), QStringLiteral("30"), QStringLiteral("90")}));

        // Not a number of seconds, or nothing: nothing stored.
        s.type(preset, QStringLiteral("3分"));
        s.click(QStringLiteral("Button25"));
        s.type(preset, QStringLiteral("  "));
        s.click(QStringLiteral("Button25"));
        QCOMPARE(s.rows(QStringLiteral("select count(*) from djs")), QStringList{QStringLiteral("4")});
        QCOMPARE(s.dialogs().informations.size(), 1);

        // Without a selection the delete does nothing; with one, every row of that value goes.
        list->setCurrentRow(-1);
        s.click(QStringLiteral("Button26"));
        QCOMPARE(s.rows(QStringLiteral("select count(*) from djs")), QStringList{QStringLiteral("4")});
        list->setCurrentRow(1);
        s.click(QStringLiteral("Button26"));
        QCOMPARE(s.rows(QStringLiteral("select js from djs order by js")), (QStringList{QStringLiteral("120"), QStringLiteral("90")}));
        QCOMPARE(items(), (QStringList{QStringLiteral("120"), QStringLiteral("90")}));
        QVERIFY(s.dialogs().errors.isEmpty());
    }
};

class SaveTest : public QObject {
    Q_OBJECT
private slots:
    void theSaveWritesEveryKeyTrimmed()
    {
        Setup s;
        // A hand-written file: its other lines must come through the save byte for byte.
        const QByteArray foreign = gbk(QStringLiteral("[竞赛设置]\r\n参赛队伍个数 = 6\r\n; 现场备用\r\n[音效]\r\n颁奖音乐=颁奖.mp3\r\n"));
        s.t.folder.writeBytes(QStringLiteral("config/config.ini"), foreign);
        s.t.folder.setConfig(keys::kJudges, keys::kJudgeCount, QStringLiteral("4"));
        for (int j = 1; j <= 12; ++j)
            s.t.folder.setConfig(keys::kJudges, keys::judgeName(j), QStringLiteral("评委%1").arg(j));
        s.t.folder.setConfig(keys::kJudges, keys::judgePhoto(2), QStringLiteral("p2.jpg"));
        s.open();

        s.type(s.combo(QStringLiteral("combo_tongxun")), QStringLiteral(" 3 "));
        s.type(s.combo(QStringLiteral("combo_xsd")), QStringLiteral("2"));
        s.combo(QStringLiteral("combo_pmms"))->setCurrentIndex(1);
        s.combo(QStringLiteral("combo_dftjms"))->setCurrentIndex(1);
        s.type(s.edit(QStringLiteral("ed_hj2_zd")), QStringLiteral(" 6 "));
        s.type(s.edit(QStringLiteral("ed_hj2_zg")), QStringLiteral("10"));
        s.type(s.edit(QStringLiteral("ed_hj2_dfxs")), QStringLiteral("0.4 "));
        s.type(s.edit(QStringLiteral("ed_tongyitime1")), QStringLiteral("45"));
        s.type(s.edit(QStringLiteral("ed_djsyx1")), QStringLiteral("5"));
        s.type(s.edit(QStringLiteral("ed_djsyx")), QStringLiteral("10"));
        s.combo(QStringLiteral("combo_djssd1"))->setCurrentIndex(0);
        s.type(s.combo(QStringLiteral("combo_tmgs2")), QStringLiteral("6"));
        s.type(s.edit(QStringLiteral("ed_2_20")), QStringLiteral(" 末题 "));
        s.tab(s.screen->TabSheet1);
        s.type(s.edit(QStringLiteral("ed_pw9")), QStringLiteral(" 周婷 ")); // hidden judges are written too
        s.tab(s.screen->TabSheet2);
        s.type(s.combo(QStringLiteral("combo_xsgs")), QStringLiteral("8"));
        s.click(QStringLiteral("Button1"));

        QCOMPARE(s.dialogs().informations, QStringList{QStringLiteral("参数数据已经成功保存！")});
        QVERIFY(!s.screen->isVisible());
        QVERIFY(s.find(QStringLiteral("Bar1"))->isHidden());
        const TestProgramFolder &f = s.t.folder;
        QCOMPARE(f.config(keys::kSystem, keys::kSerialPort), QStringLiteral("3"));
        QCOMPARE(f.config(keys::kScoring, keys::kDecimals), QStringLiteral("2"));
        QCOMPARE(f.config(keys::kScoring, keys::kRankMode), QStringLiteral("1"));
        QCOMPARE(f.config(keys::kScoring, keys::kTallyMode), QStringLiteral("0"));
        QCOMPARE(f.config(keys::kContest, keys::kContestantCount), QStringLiteral("8"));
        QCOMPARE(f.config(keys::kContest, keys::kBigCountdownSound), QStringLiteral("10"));
        QCOMPARE(f.config(keys::kContest, keys::roundLowest(2)), QStringLiteral("6"));
        QCOMPARE(f.config(keys::kContest, keys::roundHighest(2)), QStringLiteral("10"));
        QCOMPARE(f.config(keys::kContest, keys::roundCoefficient(2)), QStringLiteral("0.4"));
        QCOMPARE(f.config(keys::kJudges, keys::kJudgeCount), QStringLiteral("4"));
        QCOMPARE(f.config(keys::kJudges, keys::judgeName(9)), QStringLiteral("周婷"));
        QCOMPARE(f.config(keys::kJudges, keys::judgeName(12)), QStringLiteral("评委12"));
        QCOMPARE(f.config(keys::kJudges, keys::judgePhoto(2)), QStringLiteral("p2.jpg"));
        QCOMPARE(f.config(keys::kJudges, keys::judgePhoto(1)), QStringLiteral("0")); // a judge without a photo
        for (int i = 0; i < 5; ++i)
            QCOMPARE(f.config(keys::kQuiz, setup_rules::countdownKey(i)), QStringLiteral("45"));
        QCOMPARE(f.config(keys::kQuiz, keys::kCountdownSoundFrom), QStringLiteral("5"));
        QCOMPARE(f.config(keys::kQuiz, keys::kCountdownLocked), QStringLiteral("1"));
        QCOMPARE(f.config(keys::kQuiz, keys::kTileCount), QStringLiteral("6"));
        QCOMPARE(f.config(keys::kQuiz, keys::tileCaption(20)), QStringLiteral("末题"));
        QVERIFY(s.configBytes().startsWith(foreign));
        const QByteArray bytes = s.configBytes();
        QVERIFY(bytes.contains(gbk(QStringLiteral("[评委设置]"))));
    }

    void aListTextNotOfferedIsNotWritten()
    {
        Setup s;
        s.t.folder.setConfig(keys::kScoring, keys::kRankMode, QStringLiteral("1"));
        s.t.folder.setConfig(keys::kJudges, keys::kJudgeCount, QStringLiteral("3"));
        s.open();
        s.type(s.combo(QStringLiteral("combo_pmms")), QStringLiteral("随便"));
        s.type(s.combo(QStringLiteral("combo_djssd1")), QStringLiteral("随便"));
        s.click(QStringLiteral("Button1"));
        QCOMPARE(s.t.folder.config(keys::kScoring, keys::kRankMode), QStringLiteral("1"));
        QCOMPARE(s.t.folder.config(keys::kQuiz, keys::kCountdownLocked), QStringLiteral("0"));
    }

    void valuesTheReadersCannotConvertAreRefused_data()
    {
        QTest::addColumn<QString>("widget");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("error");
        QTest::newRow("judge count") << QStringLiteral("combo_pwgs") << QStringLiteral("十")
                                     << QStringLiteral("“评委个数”应为整数，现在是“十”，请检查！");
        QTest::newRow("judge count 15") << QStringLiteral("combo_pwgs") << QStringLiteral("15")
                                        << QStringLiteral("“评委个数”应为1到12，现在是“15”，请检查！");
        QTest::newRow("decimals") << QStringLiteral("combo_xsd") << QStringLiteral("两位")
                                  << QStringLiteral("“得分小数点保留”应为整数，现在是“两位”，请检查！");
        QTest::newRow("countdown") << QStringLiteral("ed_lxtdjs1") << QStringLiteral("4a")
                                   << QStringLiteral("“连线题倒计时”应为整数，现在是“4a”，请检查！");
        QTest::newRow("coefficient") << QStringLiteral("ed_hj3_dfxs") << QStringLiteral("0,5")
                                     << QStringLiteral("“第三轮系数”应为数字，现在是“0,5”，请检查！");
    }
    void valuesTheReadersCannotConvertAreRefused()
    {
        QFETCH(QString, widget);
        QFETCH(QString, typed);
        QFETCH(QString, error);
        Setup s;
        s.t.folder.setConfig(keys::kJudges, keys::kJudgeCount, QStringLiteral("5"));
        const QByteArray before = s.configBytes();
        s.open();
        QWidget *w = s.find(widget);
        if (auto *c = qobject_cast<QComboBox *>(w))
            c->setEditText(typed);
        else
            static_cast<QLineEdit *>(w)->setText(typed);
        s.dialogs().errors.clear();
        s.click(QStringLiteral("Button1"));
        QCOMPARE(s.dialogs().errors, QStringList{error});
        QVERIFY(s.dialogs().informations.isEmpty());
        QVERIFY(s.screen->isVisible());
        QVERIFY(s.find(QStringLiteral("Bar1"))->isHidden());
        QCOMPARE(s.configBytes(), before);
    }

    // Values that convert but that the scoring screen cannot use are refused as well, before anything is
    // written: decimals beyond the three patterns, and dropping the extremes with fewer than three judges.
    void valuesTheScoringScreenCannotUseAreRefused_data()
    {
        QTest::addColumn<QString>("decimals");
        QTest::addColumn<QString>("tally");
        QTest::addColumn<QString>("judges");
        QTest::addColumn<QString>("error"); // empty: saved
        const QString drop = QStringLiteral("去掉最高最低分,求平均值");
        const QString all = QStringLiteral("分数直接累加,求平均值");
        auto fewJudges = [&](int n) {
            return QStringLiteral("“去掉最高最低分,求平均值”至少要3位评委，现在“评委个数”是“%1”：去掉最高分和最低分后没有分数可以"
                                  "求平均值，请增加评委或改为“分数直接累加,求平均值”！").arg(n);
        };
        QTest::newRow("9 decimals") << QStringLiteral("9") << all << QStringLiteral("5")
                                    << QStringLiteral("“得分小数点保留”应为1到3位，现在是“9”，请检查！");
        QTest::newRow("0 decimals") << QStringLiteral("0") << all << QStringLiteral("5")
                                    << QStringLiteral("“得分小数点保留”应为1到3位，现在是“0”，请检查！");
        QTest::newRow("3 decimals") << QStringLiteral("3") << all << QStringLiteral("5") << QString();
        QTest::newRow("drop extremes, 2 judges") << QStringLiteral("2") << drop << QStringLiteral("2") << fewJudges(2);
        QTest::newRow("drop extremes, 1 judge") << QStringLiteral("2") << drop << QStringLiteral("1") << fewJudges(1);
        QTest::newRow("drop extremes, 3 judges") << QStringLiteral("2") << drop << QStringLiteral("3") << QString();
        QTest::newRow("average all, 1 judge") << QStringLiteral("2") << all << QStringLiteral("1") << QString();
    }
    void valuesTheScoringScreenCannotUseAreRefused()
    {
        QFETCH(QString, decimals);
        QFETCH(QString, tally);
        QFETCH(QString, judges);
        QFETCH(QString, error);
        Setup s;
        s.t.folder.setConfig(keys::kJudges, keys::kJudgeCount, QStringLiteral("5"));
        const QByteArray before = s.configBytes();
        s.open();
        s.type(s.combo(QStringLiteral("combo_xsd")), decimals);
        s.type(s.combo(QStringLiteral("combo_dftjms")), tally);
        s.type(s.combo(QStringLiteral("combo_pwgs")), judges);
        s.click(QStringLiteral("Button1"));
        if (!error.isEmpty()) {
            QCOMPARE(s.dialogs().errors, QStringList{error});
            QVERIFY(s.screen->isVisible());
            QVERIFY(s.find(QStringLiteral("Bar1"))->isHidden());
            QCOMPARE(s.configBytes(), before);
            return;
        }
        QVERIFY(s.dialogs().errors.isEmpty());
        QVERIFY(!s.screen->isVisible());
        QCOMPARE(s.t.folder.config(keys::kScoring, keys::kDecimals), decimals);
        QCOMPARE(s.t.folder.config(keys::kJudges, keys::kJudgeCount), judges);
    }

    void aSaveWithoutTheConfigFolderFails()
    {
        Setup s;
        s.t.folder.setConfig(keys::kJudges, keys::kJudgeCount, QStringLiteral("5"));
        s.open();
        QVERIFY(QDir(s.t.folder.file(QStringLiteral("config"))).removeRecursively());
        s.click(QStringLiteral("Button1"));
        QCOMPARE(s.dialogs().informations.size(), 1);
        QCOMPARE(s.dialogs().informations.first().section(QLatin1Char('\n'), 0, 0), QStringLiteral("参数数据保存失败，请检查！"));
        QVERIFY(s.screen->isVisible());
        QVERIFY(s.find(QStringLiteral("Bar1"))->isHidden());
        QVERIFY(!QFile::exists(s.t.folder.file(QStringLiteral("config/config.ini"))));
    }

    void theJudgesPhotoIsChosen()
    {
        Setup s;
        s.t.folder.setConfig(keys::kJudges, keys::kJudgeCount, QStringLiteral("2"));
        s.t.folder.writePicture(QStringLiteral("评委照片/mine.jpg"));
        s.t.folder.writePicture(QStringLiteral("elsewhere/评委照片/mine.jpg"), QSize(30, 30), Qt::blue); // same name, other picture
        s.t.folder.writeBytes(QStringLiteral("elsewhere/broken.jpg"), "no picture");
        s.open();
        s.tab(s.screen->TabSheet1);
        FakeDialogs &d = s.dialogs();
        d.fileAnswers << s.t.folder.file(QStringLiteral("评委照片/mine.jpg")) << QString()
                      << s.t.folder.file(QStringLiteral("elsewhere/评委照片/mine.jpg"))
                      << s.t.folder.file(QStringLiteral("elsewhere/broken.jpg"));
        s.click(QStringLiteral("but_pw1"));
        QVERIFY(!s.find<Picture>(QStringLiteral("Image1"))->isEmpty());
        s.click(QStringLiteral("but_pw1")); // cancelled: nothing changes
        QCOMPARE(s.screen->TabSheet1->judge_photo_names[0], QStringLiteral("mine.jpg"));
        // A photo from another folder is copied in, beside the one of the same name.
        s.click(QStringLiteral("but_pw2"));
        QCOMPARE(s.screen->TabSheet1->judge_photo_names[1], QStringLiteral("mine_1.jpg"));
        QVERIFY(QFile::exists(s.t.folder.file(QStringLiteral("评委照片/mine_1.jpg"))));
        // An unreadable one is refused.
        s.click(QStringLiteral("but_pw2"));
        QCOMPARE(d.errors.size(), 1);
        QCOMPARE(s.screen->TabSheet1->judge_photo_names[1], QStringLiteral("mine_1.jpg"));
        QCOMPARE(d.fileFolders.value(0), s.t.folder.file(QStringLiteral("评委照片/")));

        s.click(QStringLiteral("Button1"));
        QCOMPARE(s.t.folder.config(keys::kJudges, keys::judgePhoto(1)), QStringLiteral("mine.jpg"));
        QCOMPARE(s.t.folder.config(keys::kJudges, keys::judgePhoto(2)), QStringLiteral("mine_1.jpg"));
    }
};

class RosterTest : public QObject {
    Q_OBJECT
private:
    static QStringList list(Setup &s) { return s.rows(QStringLiteral("select bh || ':' || xm from xsb order by bh")); }

private slots:
    void addingAppendsWithTheNextNumber_data()
    {
        QTest::addColumn<int>("existing");
        QTest::addColumn<QString>("deleteFirst"); // rows to delete before the add, as "2,4"
        QTest::addColumn<QString>("expected");
        QTest::newRow("empty roster") << 0 << QString() << QStringLiteral("1:新人");
        QTest::newRow("after 1..5") << 5 << QString() << QStringLiteral("1:选手1 2:选手2 3:选手3 4:选手4 5:选手5 6:新人");
        QTest::newRow("after deleting 2 and 4 of 6")
            << 6 << QStringLiteral("1,3") << QStringLiteral("1:选手1 2:选手3 3:选手5 4:选手6 5:新人");
    }
    void addingAppendsWithTheNextNumber()
    {
        QFETCH(int, existing);
        QFETCH(QString, deleteFirst);
        QFETCH(QString, expected);
        Setup s;
        roster(s.t.folder, existing);
        s.open();
        s.tab(s.screen->TabSheet2);
        auto *grid = s.find<QTableView>(QStringLiteral("DBGridEh1"));
        if (!deleteFirst.isEmpty()) {
            bool first = true;
            for (const QString &row : deleteFirst.split(QLatin1Char(','))) {
                s.clickRow(grid, row.toInt(), first ? Qt::NoModifier : Qt::ControlModifier);
                first = false;
            }
            s.click(QStringLiteral("Button3"));
            QCOMPARE(s.dialogs().confirmations, QStringList{QStringLiteral("确定要删除选手吗？")});
        }
        s.type(s.edit(QStringLiteral("ed_xsxm")), QStringLiteral("  新人 "));
        s.type(s.edit(QStringLiteral("ed_xsfz")), QStringLiteral(" 甲组"));
        s.click(QStringLiteral("Button4"));
        QCOMPARE(list(s).join(QLatin1Char(' ')), expected);
        QCOMPARE(s.rows(QStringLiteral("select fz from xsb where xm = '新人'")), QStringList{QStringLiteral("甲组")});
        QCOMPARE(grid->model()->rowCount(), existing - int(deleteFirst.isEmpty() ? 0 : 2) + 1);
        QVERIFY(s.edit(QStringLiteral("ed_xsxm"))->text().isEmpty());

        // No name: nothing is added.
        s.type(s.edit(QStringLiteral("ed_xsfz")), QStringLiteral("乙组"));
        s.click(QStringLiteral("Button4"));
        QCOMPARE(list(s).join(QLatin1Char(' ')), expected);
        QVERIFY(s.dialogs().errors.isEmpty());
    }

    void deletingAsksThenRenumbers()
    {
        Setup s;
        roster(s.t.folder, 5);
        s.open();
        s.tab(s.screen->TabSheet2);
        auto *grid = s.find<QTableView>(QStringLiteral("DBGridEh1"));
        s.clickRow(grid, 1);
        s.clickRow(grid, 3, Qt::ControlModifier);
        s.dialogs().confirmAnswers << false;
        s.click(QStringLiteral("Button3"));
        QCOMPARE(list(s).size(), 5);
        s.screen->TabSheet2->menu_delete->trigger(); // the grid's menu item, answered Yes
        QCOMPARE(list(s), (QStringList{QStringLiteral("1:选手1"), QStringLiteral("2:选手3"), QStringLiteral("3:选手5")}));
        QCOMPARE(grid->model()->rowCount(), 3);
        QVERIFY(s.dialogs().errors.isEmpty());
    }

    void anInterruptedDeleteLosesNothing()
    {
        Setup s;
        roster(s.t.folder, 5);
        // The renumbering of contestant 4 fails.
        s.t.folder.exec({QStringLiteral("create trigger stop before update on xsb when old.bh = 4 "
                                        "begin select raise(abort, 'disk I/O error'); end")});
        s.open();
        s.tab(s.screen->TabSheet2);
        auto *grid = s.find<QTableView>(QStringLiteral("DBGridEh1"));
        s.clickRow(grid, 1);
        s.click(QStringLiteral("Button3"));
        QCOMPARE(s.dialogs().errors.size(), 1);
        QVERIFY(s.dialogs().errors[0].contains(QStringLiteral("disk I/O error")));
        QCOMPARE(list(s).size(), 5);
        QCOMPARE(grid->model()->rowCount(), 5);
    }

    void movesExchangeNeighbours_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("up");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("cursor"); // bh of the current row afterwards
        QTest::newRow("down 3 of 5") << 2 << false << QStringLiteral("1 2 4 3 5") << 4;
        QTest::newRow("up 3 of 5") << 2 << true << QStringLiteral("1 3 2 4 5") << 2;
        QTest::newRow("up the first") << 0 << true << QStringLiteral("1 2 3 4 5") << 1;
        QTest::newRow("down the last") << 4 << false << QStringLiteral("1 2 3 4 5") << 5;
    }
    void movesExchangeNeighbours()
    {
        QFETCH(int, row);
        QFETCH(bool, up);
        QFETCH(QString, expected);
        QFETCH(int, cursor);
        Setup s;
        roster(s.t.folder, 5);
        s.open();
        s.tab(s.screen->TabSheet2);
        s.clickRow(s.find<QTableView>(QStringLiteral("DBGridEh1")), row);
        s.click(up ? QStringLiteral("but_sy") : QStringLiteral("but_xy"));
        // The names in running order, by their numbers 1..5.
        QStringList order;
        for (const QString &name : s.rows(QStringLiteral("select xm from xsb order by bh")))
            order << name.mid(2);
        QCOMPARE(order.join(QLatin1Char(' ')), expected);
        QCOMPARE(s.rows(QStringLiteral("select bh from xsb order by bh")).join(QLatin1Char(' ')), QStringLiteral("1 2 3 4 5"));
        const Dataset &x = s.t.context().data->adoq_xscx;
        QCOMPARE(x.value(QStringLiteral("bh")).toInt(), cursor);
        QCOMPARE(s.find<QTableView>(QStringLiteral("DBGridEh1"))->currentIndex().row(), cursor - 1);
        QVERIFY(s.dialogs().errors.isEmpty());
    }

    void anInterruptedMoveLeavesTheOrderAsItWas()
    {
        Setup s;
        roster(s.t.folder, 5);
        // The second of the three updates (3 becomes 4) fails, after 4 became -1.
        s.t.folder.exec({QStringLiteral("create trigger stop before update on xsb when old.bh = 3 and new.bh = 4 "
                                        "begin select raise(abort, 'disk I/O error'); end")});
        s.open();
        s.tab(s.screen->TabSheet2);
        s.clickRow(s.find<QTableView>(QStringLiteral("DBGridEh1")), 2);
        s.click(QStringLiteral("but_xy"));
        QCOMPARE(s.dialogs().errors.size(), 1);
        QCOMPARE(list(s), (QStringList{QStringLiteral("1:选手1"), QStringLiteral("2:选手2"), QStringLiteral("3:选手3"),
                                       QStringLiteral("4:选手4"), QStringLiteral("5:选手5")}));
        QVERIFY(s.rows(QStringLiteral("select xm from xsb where bh = -1")).isEmpty());
        // The moves work again once the fault is gone.
        s.t.folder.exec({QStringLiteral("drop trigger stop")});
        s.click(QStringLiteral("but_xy"));
        QCOMPARE(s.rows(QStringLiteral("select xm from xsb where bh = 4")), QStringList{QStringLiteral("选手3")});
    }

    void detailsShowTheClickedContestant()
    {
        Setup s;
        s.t.folder.exec({QStringLiteral("insert into xsb (bh, xm, fz, zppath, xszl) values (1, ' 欧阳晓雯 ', '甲组', 'x1.jpg', 'x1.ppt')"),
                         QStringLiteral("insert into xsb (bh, xm, fz, zppath, xszl) values (2, '司马长风', '乙组', 'gone.jpg', '')")});
        s.t.folder.writePicture(QStringLiteral("选手照片/x1.jpg"));
        s.open();
        s.tab(s.screen->TabSheet2);
        auto *grid = s.find<QTableView>(QStringLiteral("DBGridEh1"));
        s.clickRow(grid, 0);
        QCOMPARE(s.find<QLabel>(QStringLiteral("lab_xsxm"))->text(), QStringLiteral("欧阳晓雯"));
        QCOMPARE(s.find<QLabel>(QStringLiteral("lab_xszl"))->text(), QStringLiteral("x1.ppt"));
        QVERIFY(!s.find<Picture>(QStringLiteral("image_xszp"))->isEmpty());
        s.click(QStringLiteral("Button6"));
        QCOMPARE(s.t.fakes.slides.shows, QStringList{s.t.folder.file(QStringLiteral("选手照片/选手资料/x1.ppt"))});

        // A photo that is missing: the error, with the labels filled already.
        s.clickRow(grid, 1);
        QCOMPARE(s.dialogs().errors.size(), 1);
        QVERIFY(s.dialogs().errors[0].contains(QStringLiteral("gone.jpg")));
        QCOMPARE(s.find<QLabel>(QStringLiteral("lab_xsxm"))->text(), QStringLiteral("司马长风"));
        QVERIFY(s.find<Picture>(QStringLiteral("image_xszp"))->isEmpty());
        s.click(QStringLiteral("Button6")); // no profile: nothing runs
        QCOMPARE(s.t.fakes.slides.shows.size(), 1);

        // Without the presentation program: its error in the box.
        s.clickRow(grid, 0);
        s.t.fakes.slides.failWith = QStringLiteral("找不到演示程序");
        s.click(QStringLiteral("Button6"));
        QCOMPARE(s.dialogs().errors.last(), QStringLiteral("找不到演示程序"));

        // The next opening starts with an empty detail view.
        s.click(QStringLiteral("Button2"));
        s.open();
        QVERIFY(s.find<QLabel>(QStringLiteral("lab_xsxm"))->text().isEmpty());
        QVERIFY(s.find<Picture>(QStringLiteral("image_xszp"))->isEmpty());
    }

    // A photo the scoring screen could not show under the final score is refused when it is chosen, and
    // nothing of it is copied in or stored.
    void aPhotoThatIsNoPictureIsRefused_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QByteArray noise(4096, '\0');
        quint32 x = 2463534242u; // a fixed xorshift sequence: the same bytes every run
        for (char &b : noise) {
            x ^= x << 13;
            x ^= x >> 17;
            x ^= x << 5;
            b = char(x & 0xff);
        }
        QTest::newRow("a text file") << QByteArray("选手简介：欧阳晓雯，女，1999年生。\n");
        QTest::newRow("random bytes") << noise;
        QTest::newRow("an empty file") << QByteArray();
    }
    void aPhotoThatIsNoPictureIsRefused()
    {
        QFETCH(QByteArray, bytes);
        Setup s;
        s.open();
        s.tab(s.screen->TabSheet2);
        s.t.folder.writeBytes(QStringLiteral("下载/假照片.jpg"), bytes);
        s.dialogs().fileAnswers << s.t.folder.file(QStringLiteral("下载/假照片.jpg"));
        s.click(QStringLiteral("SpeedButton1"));
        QCOMPARE(s.dialogs().errors.size(), 1);
        QVERIFY2(s.dialogs().errors[0].startsWith(QStringLiteral("“假照片.jpg”不是可以显示的图片，请选择JPEG照片。")),
                 qPrintable(s.dialogs().errors[0]));
        QVERIFY(s.edit(QStringLiteral("ed_xszp"))->text().isEmpty());
        QVERIFY(!QFile::exists(s.t.folder.file(QStringLiteral("选手照片/假照片.jpg"))));

        // Named by hand, a file already in the folder that is no picture is not stored either.
        s.t.folder.writeBytes(QStringLiteral("选手照片/坏.jpg"), bytes);
        s.type(s.edit(QStringLiteral("ed_xsxm")), QStringLiteral("新人"));
        s.type(s.edit(QStringLiteral("ed_xszp")), QStringLiteral("坏.jpg"));
        s.click(QStringLiteral("Button4"));
        QCOMPARE(s.dialogs().errors.size(), 2);
        QVERIFY(s.rows(QStringLiteral("select xm from xsb")).isEmpty());
        QCOMPARE(s.edit(QStringLiteral("ed_xsxm"))->text(), QStringLiteral("新人")); // to be corrected, not typed again
    }

    void choosersStartInTheirFolders()
    {
        Setup s;
        s.open();
        s.tab(s.screen->TabSheet2);
        s.t.folder.writePicture(QStringLiteral("下载/新人.jpg"));
        s.t.folder.writeBytes(QStringLiteral("选手照片/选手资料/新人.ppt"), "ppt");
        FakeDialogs &d = s.dialogs();
        d.fileAnswers << s.t.folder.file(QStringLiteral("下载/新人.jpg")) << s.t.folder.file(QStringLiteral("选手照片/选手资料/新人.ppt"));
        s.click(QStringLiteral("SpeedButton1"));
        s.click(QStringLiteral("SpeedButton2"));
        QCOMPARE(d.fileFolders, (QStringList{s.t.folder.file(QStringLiteral("选手照片/")),
                                             s.t.folder.file(QStringLiteral("选手照片/选手资料/"))}));
        QCOMPARE(s.edit(QStringLiteral("ed_xszp"))->text(), QStringLiteral("新人.jpg"));
        QCOMPARE(s.edit(QStringLiteral("ed_xszl"))->text(), QStringLiteral("新人.ppt"));
        QVERIFY(QFile::exists(s.t.folder.file(QStringLiteral("选手照片/新人.jpg"))));
    }
};

class ScoresTest : public QObject {
    Q_OBJECT
private:
    static QTableView *grid(const Setup &s) { return s.find<QTableView>(QStringLiteral("DBGridEh2")); }
    static QString listed(Setup &s)
    {
        QStringList out;
        const Dataset &q = s.t.context().data->adoq_xswh;
        for (int r = 0; r < q.recordCount(); ++r)
            out << QStringLiteral("%1/%2").arg(q.valueAt(r, 3).toString(), q.valueAt(r, 1).toString());
        return out.join(QLatin1Char(' '));
    }

private slots:
    void theGridShowsItsColumns()
    {
        Setup s;
        scores(s.t.folder, 1, {1});
        s.open();
        s.tab(s.screen->TabSheet3);
        QTableView *g = grid(s);
        QCOMPARE(g->model()->columnCount(), 38);
        QCOMPARE(g->model()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("选手姓名"));
        QCOMPARE(g->model()->headerData(9, Qt::Horizontal).toString(), QStringLiteral("评委1打分"));
        QVERIFY(g->isColumnHidden(0));
        QVERIFY(g->isColumnHidden(36));
        QCOMPARE(g->columnWidth(2), 150);
        QCOMPARE(g->columnWidth(27), 75); // 评委10打分
        QCOMPARE(g->model()->index(0, 7).data(Qt::ForegroundRole).value<QColor>(), QColor(255, 0, 0));
    }

    void theDeleteKeyListsAllRoundsAgain()
    {
        Setup s;
        scores(s.t.folder, 2, {1, 2});
        s.open();
        s.tab(s.screen->TabSheet3);
        QCOMPARE(listed(s), QStringLiteral("1/1 1/2 2/1 2/2"));
        s.type(s.combo(QStringLiteral("combo_lunshu")), QStringLiteral("2"));
        QCOMPARE(listed(s), QStringLiteral("2/1 2/2"));
        s.clickRow(grid(s), 1);
        QTest::keyClick(grid(s), Qt::Key_Delete);
        QCOMPARE(s.dialogs().confirmations, QStringList{QStringLiteral("确定要删除此项数据吗？")});
        QCOMPARE(listed(s), QStringLiteral("1/1 1/2 2/1"));
        QCOMPARE(s.combo(QStringLiteral("combo_lunshu"))->currentText(), QStringLiteral("2"));
        QCOMPARE(s.rows(QStringLiteral("select count(*) from pwdf_bak")), QStringList{QStringLiteral("4")});
    }

    void answeringNo_data()
    {
        QTest::addColumn<bool>("menu");
        QTest::addColumn<QString>("after");
        QTest::newRow("单个删除 lists all") << false << QStringLiteral("1/1 1/2 2/1 2/2");
        QTest::newRow("menu item keeps the filter") << true << QStringLiteral("2/1 2/2");
    }
    void answeringNo()
    {
        QFETCH(bool, menu);
        QFETCH(QString, after);
        Setup s;
        scores(s.t.folder, 2, {1, 2});
        s.open();
        s.tab(s.screen->TabSheet3);
        s.type(s.combo(QStringLiteral("combo_lunshu")), QStringLiteral("2"));
        s.dialogs().confirmDefault = false;
        if (menu)
            s.screen->TabSheet3->menu_delete->trigger();
        else
            s.click(QStringLiteral("Button9"));
        QCOMPARE(listed(s), after);
        QCOMPARE(s.rows(QStringLiteral("select count(*) from pwdf")), QStringList{QStringLiteral("4")});
    }

    void selectedRowsGoTogether()
    {
        Setup s;
        scores(s.t.folder, 3, {1});
        s.open();
        s.tab(s.screen->TabSheet3);
        s.clickRow(grid(s), 0);
        s.clickRow(grid(s), 2, Qt::ControlModifier);
        s.click(QStringLiteral("Button9"));
        QCOMPARE(listed(s), QStringLiteral("1/2"));

        // A failure halfway deletes none of them.
        scores(s.t.folder, 2, {3});
        s.t.folder.exec({QStringLiteral("create trigger stop before delete on pwdf when old.lunshu = 3 and old.bh = 2 "
                                        "begin select raise(abort, 'disk I/O error'); end")});
        s.screen->TabSheet3->listAll();
        s.clickRow(grid(s), 1);
        s.clickRow(grid(s), 2, Qt::ControlModifier);
        s.click(QStringLiteral("Button9"));
        QCOMPARE(s.dialogs().errors.size(), 1);
        QCOMPARE(listed(s), QStringLiteral("1/2 3/1 3/2"));
    }

    void deletingAllKeepsTheBackup()
    {
        Setup s;
        scores(s.t.folder, 3, {1, 2});
        s.open();
        s.tab(s.screen->TabSheet3);
        s.type(s.combo(QStringLiteral("combo_lunshu")), QStringLiteral("1"));
        s.dialogs().confirmAnswers << false << true;
        s.click(QStringLiteral("Button7"));
        QCOMPARE(listed(s).count(QLatin1Char('/')), 6); // No: every round listed again
        s.click(QStringLiteral("Button7"));
        QCOMPARE(s.dialogs().confirmations.last(), QStringLiteral("确定要删除全部评分数据吗？"));
        QCOMPARE(s.rows(QStringLiteral("select count(*) from pwdf")), QStringList{QStringLiteral("0")});
        QCOMPARE(s.rows(QStringLiteral("select count(*) from pwdf_bak")), QStringList{QStringLiteral("6")});
        QCOMPARE(grid(s)->model()->rowCount(), 0);
    }

    void theExportTakesTheListedRows_data()
    {
        QTest::addColumn<int>("contestants");
        QTest::addColumn<QString>("round");
        QTest::addColumn<int>("rows");
        QTest::newRow("empty list") << 0 << QString() << 0;
        QTest::newRow("5 rows") << 5 << QString() << 5;
        QTest::newRow("round 2 of 5 x 2") << 5 << QStringLiteral("2") << 5;
    }
    void theExportTakesTheListedRows()
    {
        QFETCH(int, contestants);
        QFETCH(QString, round);
        QFETCH(int, rows);
        Setup s;
        if (contestants > 0)
            scores(s.t.folder, contestants, round.isEmpty() ? QList<int>{1} : QList<int>{1, 2});
        s.open();
        s.tab(s.screen->TabSheet3);
        if (!round.isEmpty())
            s.type(s.combo(QStringLiteral("combo_lunshu")), round);
        s.click(QStringLiteral("Button8"));
        const FakeSpreadsheet &sheet = s.t.fakes.spreadsheet;
        QCOMPARE(sheet.count, 1);
        QCOMPARE(sheet.lastCaption, QStringLiteral("比赛评分数据资料"));
        QMap<QPair<int, int>, QString> cells;
        int lastRow = 0;
        for (const SheetCell &c : sheet.lastCells) {
            cells.insert({c.row, c.column}, c.text);
            lastRow = std::max(lastRow, c.row);
            QVERIFY(c.row >= 2 && c.column >= 1 && c.column <= 38);
        }
        QCOMPARE(lastRow, rows + 2);
        QCOMPARE(int(sheet.lastCells.size()), 38 * (rows + 1));
        const QStringList headers{QStringLiteral(""), QStringLiteral("编号"), QStringLiteral("名称"), QStringLiteral("比赛轮数"),
                                  QStringLiteral("打分系数"), QStringLiteral("演唱得分"), QStringLiteral("答题得分"),
                                  QStringLiteral("最后得分"), QStringLiteral("1号评委"), QStringLiteral("1号评委打分")};
        for (int c = 0; c < headers.size(); ++c)
            QCOMPARE(cells.value({2, c + 1}), headers[c]);
        QCOMPARE(cells.value({2, 32}), QStringLiteral("12号评委打分"));
        QCOMPARE(cells.value({2, 33}), QStringLiteral("最高分评委"));
        QCOMPARE(cells.value({2, 36}), QStringLiteral("最低分"));
        QCOMPARE(cells.value({2, 38}), QString());
        if (rows > 0) {
            QCOMPARE(cells.value({3, 3}), QStringLiteral("选手1"));
            QCOMPARE(cells.value({3, 4}), round.isEmpty() ? QStringLiteral("1") : round);
            QCOMPARE(cells.value({rows + 2, 3}), QStringLiteral("选手%1").arg(rows));
            QCOMPARE(cells.value({3, 34}), QStringLiteral("9.9"));
        }

        s.t.fakes.spreadsheet.failWith = QStringLiteral("无法创建Xls文件，请确认是否安装EXCEL");
        s.click(QStringLiteral("Button8"));
        QCOMPARE(s.dialogs().errors, QStringList{QStringLiteral("无法创建Xls文件，请确认是否安装EXCEL")});
    }

    // On a display without a window manager the office program stores a closed window as 2 x 2 pixels and
    // would open the next export that small: the stored place is replaced before every start.
    void theOfficeWindowIsFittedToTheDisplay()
    {
        const QString factory = QStringLiteral("/org.openoffice.Setup/Office/Factories/org.openoffice.Setup:Factory['%1']");
        const QString sheet = factory.arg(QStringLiteral("com.sun.star.sheet.SpreadsheetDocument"));
        const QString slides = factory.arg(QStringLiteral("com.sun.star.presentation.PresentationDocument"));
        auto item = [](const QString &path, const QString &value) {
            return QStringLiteral("<item oor:path=\"%1\"><prop oor:name=\"ooSetupFactoryWindowAttributes\" oor:op=\"fuse\">"
                                  "<value>%2</value></prop></item>\n").arg(path, value);
        };
        const QString other = QStringLiteral("<item oor:path=\"/org.openoffice.Office.Common/Misc\"><prop oor:name=\"FirstRun\" "
                                             "oor:op=\"fuse\"><value>false</value></prop></item>\n");
        QTemporaryDir profile;
        QDir().mkpath(profile.filePath(QStringLiteral("user")));
        const QString xcu = profile.filePath(QStringLiteral("user/registrymodifications.xcu"));
        auto write = [&xcu](const QString &text) {
            QFile f(xcu);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(text.toUtf8());
        };
        auto read = [&xcu] {
            QFile f(xcu);
            return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
        };
        const QString head = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<oor:items "
                                            "xmlns:oor=\"http://openoffice.org/2001/registry\">\n");
        write(head + other + item(sheet, QStringLiteral("32,25,2,2;5;32,25,959,718;")) + QStringLiteral("</oor:items>\n"));
        const QString fitted = QStringLiteral("0,0,1280,800;1;0,0,1280,800;");
        fitOfficeWindows(profile.path(), QRect(0, 0, 1280, 800));
        fitOfficeWindows(profile.path(), QRect(0, 0, 1280, 800)); // each start: still one place per kind
        QString text = read();
        QVERIFY(!text.contains(QStringLiteral("32,25,2,2")));
        QCOMPARE(text.count(item(sheet, fitted)), 1);
        QCOMPARE(text.count(item(slides, fitted)), 1);
        QVERIFY(text.startsWith(head + other)); // the rest of the profile stays
        QVERIFY(text.endsWith(QStringLiteral("</oor:items>\n")));

        // A profile not made yet gets a file the office program reads.
        QTemporaryDir fresh;
        fitOfficeWindows(fresh.path(), QRect(0, 0, 1024, 768));
        QFile made(fresh.filePath(QStringLiteral("user/registrymodifications.xcu")));
        QVERIFY(made.open(QIODevice::ReadOnly));
        text = QString::fromUtf8(made.readAll());
        QVERIFY(text.startsWith(QStringLiteral("<?xml")));
        QCOMPARE(text.count(item(sheet, QStringLiteral("0,0,1024,768;1;0,0,1024,768;"))), 1);
    }

    // The export writes the place into the office program's own profile before it starts the program.
    void theExportFitsTheWindowBeforeTheStart()
    {
        QTemporaryDir dir;
        const QString seen = dir.filePath(QStringLiteral("seen.xcu"));
        const QString office = dir.filePath(QStringLiteral("soffice"));
        {
            QFile script(office);
            QVERIFY(script.open(QIODevice::WriteOnly));
            // Keeps the profile as the program finds it at its start.
            script.write(QStringLiteral("#!/bin/sh\nfor a in \"$@\"; do case \"$a\" in -env:UserInstallation=file://*) "
                                        "p=\"${a#-env:UserInstallation=file://}\";; esac; done\n"
                                        "cp \"$p/user/registrymodifications.xcu\" \"%1.part\" && mv \"%1.part\" \"%1\"\n")
                             .arg(seen)
                             .toUtf8());
        }
        QVERIFY(QFile::setPermissions(office, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
        const QString stored = officeProfileFolder() + QStringLiteral("/user/registrymodifications.xcu");
        QDir().mkpath(QFileInfo(stored).path());
        {
            QFile tiny(stored);
            QVERIFY(tiny.open(QIODevice::WriteOnly));
            tiny.write("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<oor:items xmlns:oor=\"http://openoffice.org/2001/registry\">\n"
                       "<item oor:path=\"/org.openoffice.Setup/Office/Factories/org.openoffice.Setup:Factory['com.sun.star.sheet."
                       "SpreadsheetDocument']\"><prop oor:name=\"ooSetupFactoryWindowAttributes\" oor:op=\"fuse\"><value>"
                       "32,25,2,2;5;32,25,959,718;</value></prop></item>\n</oor:items>\n");
        }
        qputenv("QUELMORA_OFFICE", office.toLocal8Bit());
        XlsxSpreadsheet export_;
        export_.show(QStringLiteral("比赛评分数据资料"), {{2, 1, QStringLiteral("编号")}});
        qunsetenv("QUELMORA_OFFICE");
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(seen), 10000);
        QFile f(seen);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(f.readAll());
        QVERIFY(!text.contains(QStringLiteral("32,25,2,2")));
        // The test display is 1024 x 768.
        QVERIFY2(text.contains(QStringLiteral("<value>0,0,1024,768;1;0,0,1024,768;</value>")), qPrintable(text));
    }

    // The workbook of an export, read back by the office program: Chinese headers in row 2, rows from 3.
    void theWorkbookReadsBack()
    {
        const QString office = QStandardPaths::findExecutable(QStringLiteral("soffice"));
        if (office.isEmpty())
            QSKIP("no office program on this machine");
        Setup s;
        scores(s.t.folder, 5, {1});
        s.open();
        s.click(QStringLiteral("Button8"));
        QTemporaryDir dir;
        const QString xlsx = dir.filePath(QStringLiteral("export.xlsx"));
        writeXlsx(xlsx, s.t.fakes.spreadsheet.lastCaption, s.t.fakes.spreadsheet.lastCells);
        QProcess convert;
        convert.start(office, {QStringLiteral("-env:UserInstallation=file://") + dir.filePath(QStringLiteral("profile")),
                               QStringLiteral("--headless"), QStringLiteral("--convert-to"),
                               QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76"), QStringLiteral("--outdir"),
                               dir.path(), xlsx});
        QVERIFY(convert.waitForFinished(120000));
        QFile csv(dir.filePath(QStringLiteral("export.csv")));
        QVERIFY2(csv.open(QIODevice::ReadOnly), qPrintable(QString::fromLocal8Bit(convert.readAllStandardError())));
        const QStringList lines = QString::fromUtf8(csv.readAll()).split(QLatin1Char('\n'));
        QVERIFY(lines.size() >= 7);
        QCOMPARE(lines[0].trimmed().remove(QLatin1Char(',')), QString());
        QVERIFY2(lines[1].startsWith(QStringLiteral(",编号,名称,比赛轮数,打分系数,演唱得分,答题得分,最后得分,1号评委,1号评委打分,")),
                 qPrintable(lines[1]));
        for (int r = 1; r <= 5; ++r)
            QVERIFY2(lines[r + 1].contains(QStringLiteral(",%1,选手%1,1,0.5,9.%1,").arg(r)), qPrintable(lines[r + 1]));
    }
};

// What the settings screen stores is what the scoring screen works with at its next opening.
class RoadTest : public QObject {
    Q_OBJECT
private slots:
    void theScoringScreenTakesTheNewSettings()
    {
        Setup s;
        s.t.folder.writePicture(QStringLiteral("评委照片/a.jpg"), QSize(60, 80), Qt::green);
        s.t.folder.writePicture(QStringLiteral("下载/b.jpg"), QSize(60, 80), Qt::blue);
        roster(s.t.folder, 2);
        s.t.start();
        QTest::mouseClick(s.t.screens().frm_main->areas[3], Qt::LeftButton); // area 4
        s.screen = s.t.screens().frm_cssz;
        QVERIFY(s.screen->isVisible());

        s.type(s.combo(QStringLiteral("combo_xsd")), QStringLiteral("3"));
        s.tab(s.screen->TabSheet1);
        s.type(s.combo(QStringLiteral("combo_pwgs")), QStringLiteral("7"));
        const QStringList names{QStringLiteral("张明"), QStringLiteral("李华"), QStringLiteral("王芳"), QStringLiteral("赵强"),
                                QStringLiteral("陈静"), QStringLiteral("刘洋"), QStringLiteral("杨帆")};
        for (int j = 1; j <= 7; ++j)
            s.type(s.edit(QStringLiteral("ed_pw%1").arg(j)), names[j - 1]);
        s.dialogs().fileAnswers << s.t.folder.file(QStringLiteral("评委照片/a.jpg")) << s.t.folder.file(QStringLiteral("下载/b.jpg"));
        s.click(QStringLiteral("but_pw1"));
        s.click(QStringLiteral("but_pw7"));

        s.tab(s.screen->TabSheet2);
        for (const QString &name : {QStringLiteral("新人甲"), QStringLiteral("新人乙")}) {
            s.type(s.edit(QStringLiteral("ed_xsxm")), name);
            s.click(QStringLiteral("Button4"));
        }
        s.clickRow(s.find<QTableView>(QStringLiteral("DBGridEh1")), 3);
        s.click(QStringLiteral("but_sy"));
        s.type(s.combo(QStringLiteral("combo_xsgs")), QStringLiteral("4"));
        s.click(QStringLiteral("Button1"));
        QVERIFY(!s.screen->isVisible());

        Tfrm_pfmain *scoring = s.t.screens().frm_pfmain;
        scoring->openModeless(s.t.screens().frm_main);
        QCOMPARE(scoring->judge_count(), 7);
        for (int j = 1; j <= 7; ++j)
            QCOMPARE(scoring->judges[j - 1]->name->text(), names[j - 1]);
        QVERIFY(!scoring->judges[0]->photo->isEmpty());
        QVERIFY(!scoring->judges[6]->photo->isEmpty());
        QVERIFY(scoring->judges[1]->photo->isEmpty());
        QCOMPARE(scoring->roster().names,
                 (QStringList{QStringLiteral("选手1"), QStringLiteral("选手2"), QStringLiteral("新人乙"), QStringLiteral("新人甲")}));
        QCOMPARE(s.t.context().scoring_settings.score_pattern, QStringLiteral("#0.000"));
        QVERIFY(s.dialogs().errors.isEmpty());
    }
};

// Renders the four tabs for a look when QUELMORA_SCREENSHOTS names a folder.
class ScreenshotTest : public QObject {
    Q_OBJECT
private slots:
    void render()
    {
        const QString folder = qEnvironmentVariable("QUELMORA_SCREENSHOTS");
        if (folder.isEmpty())
            QSKIP("set QUELMORA_SCREENSHOTS to a folder to render the screenshots");
        QDir().mkpath(folder);
        Setup s;
        const TestProgramFolder &f = s.t.folder;
        const QStringList judges{QStringLiteral("张明"), QStringLiteral("李华"), QStringLiteral("王芳"), QStringLiteral("赵强"),
                                 QStringLiteral("陈静")};
        f.setConfig(keys::kJudges, keys::kJudgeCount, QStringLiteral("5"));
        for (int j = 1; j <= 5; ++j) {
            f.setConfig(keys::kJudges, keys::judgeName(j), judges[j - 1]);
            f.writePicture(QStringLiteral("评委照片/p%1.jpg").arg(j), QSize(135, 180), j % 2 ? Qt::darkCyan : Qt::darkYellow);
            f.setConfig(keys::kJudges, keys::judgePhoto(j), QStringLiteral("p%1.jpg").arg(j));
        }
        f.setConfig(keys::kScoring, keys::kDecimals, QStringLiteral("2"));
        f.setConfig(keys::kScoring, keys::kTallyMode, QStringLiteral("1"));
        f.setConfig(keys::kContest, keys::kContestantCount, QStringLiteral("8"));
        for (int r = 1; r <= 4; ++r) {
            f.setConfig(keys::kContest, keys::roundLowest(r), QStringLiteral("0"));
            f.setConfig(keys::kContest, keys::roundHighest(r), QStringLiteral("10"));
            f.setConfig(keys::kContest, keys::roundCoefficient(r), QStringLiteral("0.25"));
        }
        for (int i = 0; i < 5; ++i)
            f.setConfig(keys::kQuiz, setup_rules::countdownKey(i), QStringLiteral("30"));
        f.setConfig(keys::kQuiz, keys::kTileCount, QStringLiteral("12"));
        for (int t = 1; t <= 12; ++t)
            f.setConfig(keys::kQuiz, keys::tileCaption(t), QStringLiteral("第%1题").arg(t));
        f.exec({QStringLiteral("insert into djs (js) values ('60')"), QStringLiteral("insert into djs (js) values ('90')")});
        roster(f, 8);
        f.exec({QStringLiteral("update xsb set xm = '欧阳晓雯', zppath = 'x1.jpg', xszl = '欧阳晓雯.ppt' where bh = 1")});
        f.writePicture(QStringLiteral("选手照片/x1.jpg"), QSize(190, 191), Qt::darkMagenta);
        scores(f, 8, {1, 2});
        s.open();
        QVERIFY(s.screen->grab().save(folder + QStringLiteral("/settings_system.png")));
        s.tab(s.screen->TabSheet1);
        QVERIFY(s.screen->grab().save(folder + QStringLiteral("/settings_judges.png")));
        s.tab(s.screen->TabSheet2);
        s.clickRow(s.find<QTableView>(QStringLiteral("DBGridEh1")), 0);
        QVERIFY(s.screen->grab().save(folder + QStringLiteral("/settings_roster.png")));
        s.tab(s.screen->TabSheet3);
        QVERIFY(s.screen->grab().save(folder + QStringLiteral("/settings_scores.png")));
        QVERIFY(s.dialogs().errors.isEmpty());
    }
};

QUELMORA_TEST_MAIN(OpeningTest, SystemTabTest, SaveTest, RosterTest, ScoresTest, RoadTest, ScreenshotTest)
#include "tst_setup_screen.moc"
