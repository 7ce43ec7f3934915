// The question entry screen as the organiser uses it from the maintenance screen: new choice and
// question-and-answer questions, their checks and messages, the styles, and editing a stored question.
#include "app/tfrm_main.h"
#include "authoring/question_bank.h"
#include "authoring/tfrm_tmlr.h"
#include "authoring/tfrm_tmlrxt.h"
#include "authoring/tmlr_grid.h"
#include "authoring/tmlrxt_matching.h"
#include "authoring/tmlrxt_media.h"
#include "authoring/tmlrxt_pages.h"
#include "quiz/quiz_rules.h"
#include "quiz/tfrm_tm.h"
#include "settings/settings_keys.h"
#include "test_app.h"
#include "ui/click_area.h"
#include "ui/picture.h"
#include "ui/shadow_label.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTableView>

using namespace question_bank;

namespace {

const QColor kUnmarked(226, 249, 115);
const QColor kMarked(255, 0, 0);

// The maintenance screen on issue 3, group 1, with the entry screen opened from its menu.
struct Entry {
    Entry() { t.start(); }

    void openBank(int issue = 3, const QString &group = QStringLiteral("1"))
    {
        QTest::mouseClick(t.screens().frm_main->areas[1], Qt::LeftButton);
        bank = t.screens().frm_tmlr;
        bank->ed_qs->setValue(issue);
        const int index = bank->Combo_fzlx->findText(group);
        bank->Combo_fzlx->setCurrentIndex(index);
        emit bank->Combo_fzlx->activated(index);
        screen = t.screens().frm_tmlrxt;
    }
    void add()
    {
        if (!bank)
            openBank();
        bank->N1->trigger();
        QVERIFY(screen->isVisible());
    }
    void edit(int row)
    {
        if (!bank)
            openBank();
        QTest::mouseClick(bank->DBGridEh1->viewport(), Qt::LeftButton, Qt::NoModifier,
                          bank->DBGridEh1->visualRect(bank->model->index(row, TikuGridModel::columnOf(QStringLiteral("tmmc")))).center());
        bank->N3->trigger();
        QVERIFY(screen->isVisible());
    }
    ChoicePage *choice() const { return screen->show_xuanzeti; }
    AnswerPage *answer() const { return screen->show_wendati; }
    MatchingPage *matching() const { return screen->show_lianxianti; }
    PicturePage *pictures() const { return screen->show_tupianti; }
    MediaPage *media() const { return screen->show_media; }
    QStringList &mediaLog() { return t.fakes.media.log.lines; }
    // Clicks the number buttons named by a text such as "L3 R1": L for a left number, R for a right one.
    void draw(const QString &clicks)
    {
        for (const QString &c : clicks.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            const int n = c.mid(1).toInt();
            QTest::mouseClick(c.startsWith(QLatin1Char('L')) ? matching()->leftNumbers[n - 1] : matching()->rightNumbers[n - 1],
                              Qt::LeftButton);
        }
    }
    // Whether the page picture is red where a line meets right number `m`'s centre.
    bool lineAtRight(int m) const
    {
        const QPoint c = MatchingPage::centre(matching()->rightNumbers[m - 1]);
        return matching()->Image9->pixmap().toImage().pixelColor(c) == QColor(255, 0, 0);
    }
    // Types into an editor as the operator does; text beyond the keyboard's letters as from an input method.
    void type(QPlainTextEdit *e, const QString &text)
    {
        e->setFocus();
        bool plain = true;
        for (QChar c : text)
            plain = plain && c.unicode() < 128 && c != QLatin1Char('\n');
        if (plain)
            QTest::keyClicks(e, text);
        else
            e->insertPlainText(text);
    }
    void mark(const QString &letters)
    {
        for (QChar c : letters)
            QTest::mouseClick(choice()->letters[c.unicode() - u'A'], Qt::LeftButton);
    }
    void choose(QComboBox *combo, const QString &item)
    {
        const int index = combo->findText(item);
        QVERIFY2(index >= 0, qPrintable(item));
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }
    void save() { QTest::mouseClick(screen->but_baocun, Qt::LeftButton); }
    QString boxes() const
    {
        QString out;
        for (QPlainTextEdit *e : choice()->options)
            out += entry_style::background(e) == kMarked ? QLatin1Char('1') : entry_style::background(e) == kUnmarked ? QLatin1Char('0') : QLatin1Char('?');
        return out;
    }
    QStringList rows(const QString &sql) const { return t.folder.column(sql); }
    FakeDialogs &dialogs() { return t.fakes.dialogs; }
    // The eight style lists as they read: question font, size, colour, shadow, then the answer's four.
    QString listed() const
    {
        QStringList shown;
        for (QComboBox *c : {screen->Combo_font, screen->Combo_size, screen->Combo_color, screen->Combo_bjcolor,
                             screen->Combo_dafont, screen->Combo_dasize, screen->Combo_dacolor, screen->Combo_dabjcolor})
            shown << c->currentText();
        return shown.join(QLatin1Char('|'));
    }
    // The stored style of the question with order `order`, its colours named as the lists name them.
    QString storedStyle(int order) const
    {
        QStringList v = rows(QStringLiteral("select tmfont || '|' || tmsize || '|' || tmcolor || '|' || tmbjs || '|' || dafont || '|' || "
                                            "dasize || '|' || dacolor || '|' || dabjs from tiku where ctsx = %1")
                                 .arg(order))
                            .value(0)
                            .split(QLatin1Char('|'));
        for (int i : {2, 3, 6, 7}) {
            QString name = QStringLiteral("其他颜色");
            for (const NamedColour &n : namedColours())
                if (QString::number(n.ref) == v.value(i))
                    name = n.name;
            v[i] = name;
        }
        return v.join(QLatin1Char('|'));
    }
    // Gives the visible page of `type` what its save needs.
    void fill(const QString &type)
    {
        if (type == kChoice) {
            this->type(choice()->ed_xzttm, QStringLiteral("q"));
            mark(QStringLiteral("A"));
        } else if (type == kAnswer) {
            this->type(answer()->ed_wendati, QStringLiteral("q"));
        } else if (type == kMatching) {
            this->type(matching()->ed_lxttm, QStringLiteral("q"));
            draw(QStringLiteral("L1 R1"));
        }
    }

    TestApp t;
    Tfrm_tmlr *bank = nullptr;
    Tfrm_tmlrxt *screen = nullptr;
};

} // namespace

class ChoiceTest : public QObject {
    Q_OBJECT
private slots:
    void theMarkedLettersAreStoredAToF_data()
    {
        QTest::addColumn<QString>("clicks");
        QTest::addColumn<QString>("stored");
        QTest::newRow("B then E") << QStringLiteral("BE") << QStringLiteral("BE");
        QTest::newRow("E then B") << QStringLiteral("EB") << QStringLiteral("BE");
        QTest::newRow("all six backwards") << QStringLiteral("FEDCBA") << QStringLiteral("ABCDEF");
        QTest::newRow("C twice, then D") << QStringLiteral("CCD") << QStringLiteral("D");
    }
    void theMarkedLettersAreStoredAToF()
    {
        QFETCH(QString, clicks);
        QFETCH(QString, stored);
        Entry e;
        e.add();
        e.type(e.choice()->ed_xzttm, QStringLiteral("中国的首都是？"));
        e.type(e.choice()->options[0], QStringLiteral("北京"));
        e.mark(clicks);
        e.save();
        QCOMPARE(e.dialogs().informations, QStringList{QStringLiteral("此道选择题保存成功！")});
        QCOMPARE(e.rows(QStringLiteral("select zqda from tiku")), QStringList{stored});
        // The page is ready for the next question and the screen stays open.
        QVERIFY(e.screen->isVisible());
        QCOMPARE(e.boxes(), QStringLiteral("000000"));
        QVERIFY(e.choice()->ed_xzttm->toPlainText().isEmpty());
        QVERIFY(e.choice()->options[0]->toPlainText().isEmpty());
        QCOMPARE(e.screen->selected_letters.join(QString()), QString());
        QVERIFY(e.screen->r_tm->isChecked());
    }

    void aNewQuestionIsStoredWithItsFields()
    {
        Entry e;
        e.add();
        e.type(e.choice()->ed_xzttm, QStringLiteral("第一行\n第二行"));
        for (int k = 0; k < 3; ++k)
            e.type(e.choice()->options[k], QStringLiteral("选项%1").arg(k + 1));
        e.type(e.choice()->options[4], QStringLiteral("   "));
        e.mark(QStringLiteral("B"));
        e.save();
        QCOMPARE(e.rows(QStringLiteral("select qs || '|' || tmfz || '|' || ctsx || '|' || tmlx || '|' || tmyes from tiku")),
                 QStringList{QStringLiteral("3|1|1|选择题|0")});
        QCOMPARE(e.rows(QStringLiteral("select tmmc from tiku")), QStringList{QStringLiteral("第一行\r\n第二行")});
        // Blank options leave their fields empty.
        QCOMPARE(e.rows(QStringLiteral("select coalesce(da1,'-') || coalesce(da3,'-') || coalesce(da4,'-') || coalesce(da5,'-') || "
                                       "coalesce(da6,'-') from tiku")),
                 QStringList{QStringLiteral("选项1选项3---")});
        // The design-time style: 宋体 10 navy, shadows black.
        QCOMPARE(e.rows(QStringLiteral("select tmfont || '|' || tmsize || '|' || tmcolor || '|' || tmbjs || '|' || dafont || '|' || "
                                       "dasize || '|' || dacolor || '|' || dabjs from tiku")),
                 QStringList{QStringLiteral("宋体|10|8388608|0|宋体|10|8388608|0")});
    }

    void theTwoMessagesComeInTheirOrder_data()
    {
        QTest::addColumn<QString>("marks");
        QTest::addColumn<QString>("question");
        QTest::addColumn<QString>("message");
        QTest::newRow("marked, no question") << QStringLiteral("A") << QStringLiteral("  ") << QStringLiteral("题目还没有输入，请检查！");
        QTest::newRow("no mark, no question") << QString() << QString() << QStringLiteral("没有选择正确答案，请选择后在保存！");
        QTest::newRow("no mark, a question") << QString() << QStringLiteral("题") << QStringLiteral("没有选择正确答案，请选择后在保存！");
        QTest::newRow("A twice") << QStringLiteral("AA") << QStringLiteral("题") << QStringLiteral("没有选择正确答案，请选择后在保存！");
    }
    void theTwoMessagesComeInTheirOrder()
    {
        QFETCH(QString, marks);
        QFETCH(QString, question);
        QFETCH(QString, message);
        Entry e;
        e.add();
        e.type(e.choice()->ed_xzttm, question);
        e.mark(marks);
        e.save();
        QCOMPARE(e.dialogs().informations, QStringList{message});
        QCOMPARE(e.rows(QStringLiteral("select count(*) from tiku")), QStringList{QStringLiteral("0")});
        QCOMPARE(e.choice()->ed_xzttm->toPlainText(), question); // the page is left as it was
    }

    void newQuestionsFollowTheGroupsHighestOrder_data()
    {
        QTest::addColumn<int>("highest");
        QTest::addColumn<QString>("next");
        QTest::newRow("after 4") << 4 << QStringLiteral("5");
        QTest::newRow("empty group") << 0 << QStringLiteral("1");
    }
    void newQuestionsFollowTheGroupsHighestOrder()
    {
        QFETCH(int, highest);
        QFETCH(QString, next);
        Entry e;
        if (highest > 0)
            e.t.folder.exec({QStringLiteral("insert into tiku (qs, tmfz, ctsx, tmlx, tmmc) values (3, '1', %1, '问答题', 'x')").arg(highest),
                             QStringLiteral("insert into tiku (qs, tmfz, ctsx, tmlx, tmmc) values (3, '2', 9, '问答题', 'y')")});
        e.add();
        e.type(e.choice()->ed_xzttm, QStringLiteral("q"));
        e.mark(QStringLiteral("A"));
        e.save();
        QCOMPARE(e.rows(QStringLiteral("select ctsx from tiku where tmlx='选择题'")), QStringList{next});
    }

    // Marks of an earlier visit are gone when the screen opens again.
    void anAddAfterAVisitWithMarksStartsUnmarked()
    {
        Entry e;
        e.add();
        e.type(e.choice()->ed_xzttm, QStringLiteral("q"));
        e.mark(QStringLiteral("AC"));
        QCOMPARE(e.boxes(), QStringLiteral("101000"));
        QTest::mouseClick(e.screen->but_exit, Qt::LeftButton);
        QVERIFY(!e.screen->isVisible());
        e.add();
        QCOMPARE(e.boxes(), QStringLiteral("000000"));
        QVERIFY(e.choice()->ed_xzttm->toPlainText().isEmpty());
        e.type(e.choice()->ed_xzttm, QStringLiteral("q"));
        e.save();
        QCOMPARE(e.dialogs().informations, QStringList{QStringLiteral("没有选择正确答案，请选择后在保存！")});
    }

    void theStyleListsApplyToTheVisiblePage()
    {
        Entry e;
        e.add();
        e.choose(e.screen->Combo_font, QStringLiteral("黑体"));
        e.choose(e.screen->Combo_size, QStringLiteral("24"));
        e.choose(e.screen->Combo_color, QStringLiteral("红色"));
        e.choose(e.screen->Combo_bjcolor, QStringLiteral("蓝色"));
        QCOMPARE(e.choice()->ed_xzttm->font().family(), QStringLiteral("黑体"));
        QCOMPARE(e.choice()->Lab_tmxg->font().family(), QStringLiteral("黑体"));
        QCOMPARE(e.choice()->Lab_tmxg->textColour(), QColor(Qt::red));
        // The answer lists wait for the answer side.
        QVERIFY(!e.screen->GroupBox_dasz->isEnabled());
        QTest::mouseClick(e.screen->r_da, Qt::LeftButton);
        QVERIFY(e.screen->GroupBox_dasz->isEnabled());
        QVERIFY(!e.screen->GroupBox_tmsz->isEnabled());
        e.choose(e.screen->Combo_dasize, QStringLiteral("30"));
        e.choose(e.screen->Combo_dacolor, QStringLiteral("绿色"));
        for (QPlainTextEdit *o : e.choice()->options)
            QCOMPARE(o->font().pointSize(), 30);
        e.type(e.choice()->ed_xzttm, QStringLiteral("q"));
        e.mark(QStringLiteral("F"));
        e.save();
        QCOMPARE(e.rows(QStringLiteral("select tmfont || '|' || tmsize || '|' || tmcolor || '|' || tmbjs || '|' || dasize || '|' || "
                                       "dacolor || '|' || dabjs from tiku")),
                 QStringList{QStringLiteral("黑体|24|255|16711680|30|32768|0")});
        // The styles stay for the next question; the shadows return to black.
        QCOMPARE(e.choice()->ed_xzttm->font().pointSize(), 24);
        QCOMPARE(entry_style::previewShadow(e.choice()->Lab_tmxg), 0);
    }

    // A click on a settings box shows or hides its preview; a disabled box takes no click.
    void theBoxesToggleTheirPreviews()
    {
        Entry e;
        e.add();
        QVERIFY(!e.choice()->Panel_tmxg->isVisible());
        QTest::mouseClick(e.screen->GroupBox_tmsz, Qt::LeftButton, Qt::NoModifier, QPoint(4, 80));
        QVERIFY(e.choice()->Panel_tmxg->isVisible());
        QTest::mouseClick(e.screen->GroupBox_dasz, Qt::LeftButton, Qt::NoModifier, QPoint(4, 80));
        QVERIFY(!e.choice()->Panel_daxg->isVisible());
        QTest::mouseClick(e.screen->GroupBox_tmsz, Qt::LeftButton, Qt::NoModifier, QPoint(4, 80));
        QVERIFY(!e.choice()->Panel_tmxg->isVisible());
        QTest::mouseClick(e.screen->r_da, Qt::LeftButton);
        QTest::mouseClick(e.screen->GroupBox_dasz, Qt::LeftButton, Qt::NoModifier, QPoint(4, 80));
        QVERIFY(e.choice()->Panel_daxg->isVisible());
        // The next opening hides them again.
        QTest::mouseClick(e.screen->but_exit, Qt::LeftButton);
        e.add();
        QVERIFY(!e.choice()->Panel_daxg->isVisible());
        QVERIFY(e.screen->r_tm->isChecked());
    }
};

class AnswerTest : public QObject {
    Q_OBJECT
private slots:
    void anEmptyQuestionAndAnswerIsStoredWithoutComplaint()
    {
        Entry e;
        e.add();
        e.choose(e.screen->Combo_tmlx, kAnswer);
        QCOMPARE(e.screen->PageControl1->currentWidget(), e.answer());
        e.save();
        QCOMPARE(e.dialogs().informations, QStringList{QStringLiteral("此道问答题保存成功！")});
        QCOMPARE(e.rows(QStringLiteral("select tmlx || '|' || coalesce(tmmc,'-') || '|' || coalesce(danr,'-') || '|' || tmfont || '|' || "
                                       "tmsize || '|' || tmcolor || '|' || dacolor from tiku")),
                 QStringList{QStringLiteral("问答题|||宋体|10|-2147483640|-2147483640")});
    }

    void theSideChoosesTheEditorShown()
    {
        Entry e;
        e.add();
        e.choose(e.screen->Combo_tmlx, kAnswer);
        e.type(e.answer()->ed_wendati, QStringLiteral("问题"));
        QTest::mouseClick(e.screen->r_da, Qt::LeftButton);
        QVERIFY(e.answer()->ed_wendatida->isVisible());
        QVERIFY(!e.answer()->ed_wendati->isVisible());
        QVERIFY(e.screen->GroupBox_dasz->isEnabled());
        e.type(e.answer()->ed_wendatida, QStringLiteral("答案"));
        e.choose(e.screen->Combo_dafont, QStringLiteral("黑体"));
        e.choose(e.screen->Combo_dabjcolor, QStringLiteral("红色"));
        e.save();
        QCOMPARE(e.rows(QStringLiteral("select tmmc || '|' || danr || '|' || dafont || '|' || dabjs from tiku")),
                 QStringList{QStringLiteral("问题|答案|黑体|255")});
        QVERIFY(e.answer()->ed_wendati->isVisible());
        QVERIFY(!e.answer()->ed_wendatida->isVisible());
        QVERIFY(e.screen->r_tm->isChecked());
    }

    void aNewPageShowsTheChosenSide()
    {
        Entry e;
        e.add();
        QTest::mouseClick(e.screen->r_da, Qt::LeftButton);
        e.choose(e.screen->Combo_tmlx, kAnswer);
        QVERIFY(e.answer()->ed_wendatida->isVisible());
        QVERIFY(!e.answer()->ed_wendati->isVisible());
        QVERIFY(e.screen->GroupBox_dasz->isEnabled());
    }

    void theTypeListChoosesThePage_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("page");
        QTest::addColumn<bool>("pictureBox");
        QTest::addColumn<bool>("mediaBox");
        QTest::newRow("choice") << kChoice << QStringLiteral("show_xuanzeti") << false << false;
        QTest::newRow("answer") << kAnswer << QStringLiteral("show_wendati") << false << false;
        QTest::newRow("picture") << kPicture << QStringLiteral("show_tupianti") << true << false;
        QTest::newRow("matching") << kMatching << QStringLiteral("show_lianxianti") << false << false;
        QTest::newRow("multimedia") << kMedia << QStringLiteral("show_media") << false << true;
    }
    void theTypeListChoosesThePage()
    {
        QFETCH(QString, type);
        QFETCH(QString, page);
        QFETCH(bool, pictureBox);
        QFETCH(bool, mediaBox);
        Entry e;
        e.add();
        e.choose(e.screen->Combo_tmlx, type);
        QCOMPARE(e.screen->PageControl1->currentWidget()->objectName(), page);
        QCOMPARE(e.screen->GroupBox_tupianti->isVisible(), pictureBox);
        QCOMPARE(e.screen->GroupBox_duomeiti->isVisible(), mediaBox);
    }
};

// The style lists read what the visible page's next save stores, and text of any colour reads while typed.
class StyleTest : public QObject {
    Q_OBJECT
private slots:
    void theListsShowWhatTheNextSaveStores_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("afterSave");
        QTest::addColumn<QString>("other");
        QTest::addColumn<QString>("otherListed");
        const QString chosen = QStringLiteral("黑体|36|黄色|蓝色|黑体|24|白色|红色");
        const QString choiceDesign = QStringLiteral("宋体|10|藏青色|黑色|宋体|10|藏青色|黑色");
        // A choice save sets the shadows back to black; the other pages keep them.
        QTest::newRow("选择题") << kChoice << QStringLiteral("黑体|36|黄色|黑色|黑体|24|白色|黑色") << kAnswer
                             << QStringLiteral("宋体|10|窗口文字色|黑色|宋体|10|窗口文字色|黑色");
        QTest::newRow("问答题") << kAnswer << chosen << kChoice << choiceDesign;
        QTest::newRow("连线题") << kMatching << chosen << kChoice << choiceDesign;
    }
    void theListsShowWhatTheNextSaveStores()
    {
        QFETCH(QString, type);
        QFETCH(QString, afterSave);
        QFETCH(QString, other);
        QFETCH(QString, otherListed);
        Entry e;
        e.add();
        e.choose(e.screen->Combo_tmlx, type);
        e.choose(e.screen->Combo_font, QStringLiteral("黑体"));
        e.choose(e.screen->Combo_size, QStringLiteral("36"));
        e.choose(e.screen->Combo_color, QStringLiteral("黄色"));
        e.choose(e.screen->Combo_bjcolor, QStringLiteral("蓝色"));
        QTest::mouseClick(e.screen->r_da, Qt::LeftButton);
        e.choose(e.screen->Combo_dafont, QStringLiteral("黑体"));
        e.choose(e.screen->Combo_dasize, QStringLiteral("24"));
        e.choose(e.screen->Combo_dacolor, QStringLiteral("白色"));
        e.choose(e.screen->Combo_dabjcolor, QStringLiteral("红色"));
        QTest::mouseClick(e.screen->r_tm, Qt::LeftButton);
        const QString chosen = e.listed();
        e.fill(type);
        e.save();
        QCOMPARE(e.storedStyle(1), chosen);
        // The lists after the save read what the next question, untouched, is stored with.
        QCOMPARE(e.listed(), afterSave);
        e.fill(type);
        e.save();
        QCOMPARE(e.storedStyle(2), afterSave);
        // Another page: its own editors' styles.
        e.choose(e.screen->Combo_tmlx, other);
        QCOMPARE(e.listed(), otherListed);
        e.fill(other);
        e.save();
        QCOMPARE(e.storedStyle(3), otherListed);
        QCOMPARE(e.rows(QStringLiteral("select count(*) from tiku")), QStringList{QStringLiteral("3")});
    }

    // A question opened for editing shows its own styles, also a font not installed here and a colour
    // the list does not name, and a save without a choice stores them unchanged.
    void theListsShowTheEditedQuestion()
    {
        Entry e;
        e.t.folder.exec({QStringLiteral(
            "insert into tiku (qs, tmfz, ctsx, tmlx, tmmc, tmfont, tmsize, tmcolor, tmbjs, da1, zqda, dafont, dasize, dacolor, dabjs) "
            "values (3, '1', 1, '选择题', '题', '楷体_GB2312', '8', '65535', '16711680', 'a', 'A', '黑体', '20', '12345', '255')")});
        e.edit(0);
        QCOMPARE(e.listed(), QStringLiteral("楷体_GB2312|8|黄色|蓝色|黑体|20|其他颜色|红色"));
        e.save();
        QCOMPARE(e.dialogs().informations, QStringList{QStringLiteral("此道选择题修改成功！")});
        QCOMPARE(e.rows(QStringLiteral("select tmfont || '|' || tmsize || '|' || tmcolor || '|' || tmbjs || '|' || dafont || '|' || "
                                       "dasize || '|' || dacolor || '|' || dabjs from tiku")),
                 QStringList{QStringLiteral("楷体_GB2312|8|65535|16711680|黑体|20|12345|255")});
        // Opened for adding, the editors keep that style and the shadows start black: so do the lists.
        QTest::mouseClick(e.screen->but_exit, Qt::LeftButton);
        e.add();
        QCOMPARE(e.listed(), QStringLiteral("楷体_GB2312|8|黄色|黑色|黑体|20|其他颜色|黑色"));
    }

    // Light text is shown on a dark shade of its editor's ground while typed; the ground the screen
    // gives the editor stays what it reports, and dark text is shown on it as it is.
    void lightTextReadsWhileTyped_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("colour");
        QTest::newRow("选择题 白色") << kChoice << QStringLiteral("白色");
        QTest::newRow("选择题 黄色") << kChoice << QStringLiteral("黄色");
        QTest::newRow("问答题 黄色") << kAnswer << QStringLiteral("黄色");
        QTest::newRow("连线题 白色") << kMatching << QStringLiteral("白色");
        QTest::newRow("连线题 银色") << kMatching << QStringLiteral("银色");
    }
    void lightTextReadsWhileTyped()
    {
        QFETCH(QString, type);
        QFETCH(QString, colour);
        Entry e;
        e.add();
        e.choose(e.screen->Combo_tmlx, type);
        const QColor text = colourOf(e.screen->Combo_color->itemData(e.screen->Combo_color->findText(colour)).toInt());
        const QList<QPlainTextEdit *> questions = {type == kChoice ? e.choice()->ed_xzttm
                                                   : type == kAnswer ? e.answer()->ed_wendati
                                                                     : e.matching()->ed_lxttm};
        const QList<QPlainTextEdit *> answers = type == kChoice   ? e.choice()->options
                                                : type == kAnswer ? QList<QPlainTextEdit *>{e.answer()->ed_wendatida}
                                                                  : e.matching()->leftItems + e.matching()->rightItems;
        QHash<QPlainTextEdit *, QColor> grounds;
        for (QPlainTextEdit *ed : questions + answers)
            grounds[ed] = entry_style::background(ed);
        e.choose(e.screen->Combo_color, colour);
        QTest::mouseClick(e.screen->r_da, Qt::LeftButton);
        e.choose(e.screen->Combo_dacolor, colour);
        for (QPlainTextEdit *ed : questions + answers) {
            QVERIFY2(contrast(entry_style::shownBackground(ed), text) >= 4.5, qPrintable(ed->objectName()));
            QCOMPARE(entry_style::background(ed), grounds[ed]);
        }
        // Dark text again: the editors show their own grounds.
        QTest::mouseClick(e.screen->r_tm, Qt::LeftButton);
        e.choose(e.screen->Combo_color, QStringLiteral("藏青色"));
        for (QPlainTextEdit *ed : questions)
            QCOMPARE(entry_style::shownBackground(ed), grounds[ed]);
    }

    // With light answer text a marked option still shows red, distinct from the unmarked ones.
    void aMarkedOptionStaysRedUnderLightText()
    {
        Entry e;
        e.add();
        QTest::mouseClick(e.screen->r_da, Qt::LeftButton);
        e.choose(e.screen->Combo_dacolor, QStringLiteral("白色"));
        e.mark(QStringLiteral("A"));
        QCOMPARE(e.boxes(), QStringLiteral("100000"));
        const QColor marked = entry_style::shownBackground(e.choice()->options[0]);
        const QColor unmarked = entry_style::shownBackground(e.choice()->options[1]);
        QVERIFY(marked.red() > 200 && marked.green() < 60 && marked.blue() < 60);
        QVERIFY(unmarked.red() < 150 && unmarked.green() < 150);
        QVERIFY(contrast(unmarked, Qt::white) >= 4.5);
        e.mark(QStringLiteral("A"));
        QCOMPARE(e.boxes(), QStringLiteral("000000"));
        QCOMPARE(entry_style::shownBackground(e.choice()->options[0]), unmarked);
    }
};

class EditTest : public QObject {
    Q_OBJECT
private slots:
    void editingAChoiceQuestionShowsAndStoresIt()
    {
        Entry e;
        e.t.folder.exec({QStringLiteral(
            "insert into tiku (qs, tmfz, ctsx, tmlx, tmmc, tmfont, tmsize, tmcolor, tmbjs, da1, da2, da3, zqda, dafont, dasize, "
            "dacolor, dabjs, tmyes) values (3, '1', 4, '选择题', '一\r\n二', '黑体', '28', '255', '65280', 'a', 'b', 'c', 'AC', "
            "'宋体', '18', '16711680', '255', 1)")});
        e.edit(0);
        QVERIFY(!e.screen->Combo_tmlx->isEnabled());
        QCOMPARE(e.choice()->ed_xzttm->toPlainText(), QStringLiteral("一\n二"));
        QCOMPARE(e.choice()->ed_xzttm->font().family(), QStringLiteral("黑体"));
        QCOMPARE(e.choice()->ed_xzttm->font().pointSize(), 28);
        QCOMPARE(entry_style::styleOf(e.choice()->ed_xzttm).colour, 255);
        QCOMPARE(entry_style::previewShadow(e.choice()->Lab_tmxg), 65280);
        QCOMPARE(e.choice()->options[2]->toPlainText(), QStringLiteral("c"));
        QCOMPARE(e.choice()->options[5]->font().pointSize(), 18);
        QCOMPARE(e.boxes(), QStringLiteral("101000"));

        e.mark(QStringLiteral("C"));
        e.save();
        QCOMPARE(e.dialogs().informations, QStringList{QStringLiteral("此道选择题修改成功！")});
        // All six options are written, the blank ones as empty text; order, group and used flag stay.
        QCOMPARE(e.rows(QStringLiteral("select zqda || '|' || tmmc || '|' || da1 || da2 || da3 || '|' || quote(da4) || quote(da6) || "
                                       "'|' || ctsx || tmyes || tmfz || qs || tmlx from tiku")),
                 QStringList{QStringLiteral("A|一\r\n二|abc|''''|4113选择题")});
        QCOMPARE(e.rows(QStringLiteral("select count(*) from tiku")), QStringList{QStringLiteral("1")});
        // The maintenance grid shows the changed row.
        QCOMPARE(e.bank->model->index(0, TikuGridModel::columnOf(QStringLiteral("tmmc"))).data().toString(),
                 QStringLiteral("一\r\n二"));
        QVERIFY(e.choice()->ed_xzttm->toPlainText().isEmpty());
        QCOMPARE(e.boxes(), QStringLiteral("000000"));
    }

    void editingAQuestionAndAnswerQuestion()
    {
        Entry e;
        e.t.folder.exec({QStringLiteral(
            "insert into tiku (qs, tmfz, ctsx, tmlx, tmmc, tmfont, tmsize, tmcolor, tmbjs, danr, dafont, dasize, dacolor, dabjs) "
            "values (3, '1', 1, ' 问答题 ', '问', '黑体', '40', '0', '0', '答', '宋体', '36', '255', '0')")});
        e.edit(0);
        QCOMPARE(e.screen->PageControl1->currentWidget(), e.answer());
        QCOMPARE(e.answer()->ed_wendatida->toPlainText(), QStringLiteral("答"));
        QCOMPARE(e.answer()->ed_wendatida->font().pointSize(), 36);
        e.answer()->ed_wendati->selectAll();
        e.type(e.answer()->ed_wendati, QStringLiteral("新问题"));
        e.save();
        QCOMPARE(e.dialogs().informations, QStringList{QStringLiteral("此道问答题修改成功！")});
        QCOMPARE(e.rows(QStringLiteral("select tmmc || '|' || danr || '|' || tmsize || '|' || dasize || '|' || tmlx from tiku")),
                 QStringList{QStringLiteral("新问题|答|40|36| 问答题 ")});
    }

    // A stored style that is no number is said, and nothing half loaded can be saved over the question.
    void aStoredStyleThatIsNoNumberIsSaid_data()
    {
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("value");
        QTest::newRow("size") << QStringLiteral("tmsize") << QStringLiteral("大");
        QTest::newRow("colour") << QStringLiteral("dacolor") << QStringLiteral("red");
        QTest::newRow("empty shadow") << QStringLiteral("dabjs") << QString();
    }
    void aStoredStyleThatIsNoNumberIsSaid()
    {
        QFETCH(QString, column);
        QFETCH(QString, value);
        Entry e;
        e.t.folder.exec({QStringLiteral(
            "insert into tiku (qs, tmfz, ctsx, tmlx, tmmc, tmfont, tmsize, tmcolor, tmbjs, da1, zqda, dafont, dasize, dacolor, dabjs) "
            "values (3, '1', 1, '选择题', '题', '黑体', '28', '255', '0', 'a', 'A', '宋体', '18', '0', '0')"),
                         QStringLiteral("update tiku set %1 = '%2'").arg(column, value)});
        e.edit(0);
        QCOMPARE(e.dialogs().errors, QStringList{QStringLiteral("“%1”不是有效的整数。\n'%1' is not a valid integer value").arg(value)});
        QVERIFY(!e.screen->but_baocun->isEnabled());
        QVERIFY(e.choice()->ed_xzttm->toPlainText().isEmpty());
        QCOMPARE(e.rows(QStringLiteral("select tmmc || da1 || zqda from tiku")), QStringList{QStringLiteral("题aA")});
        // The next opening for adding saves again.
        QTest::mouseClick(e.screen->but_exit, Qt::LeftButton);
        e.add();
        QVERIFY(e.screen->but_baocun->isEnabled());
    }
};

class MatchingTest : public QObject {
    Q_OBJECT
private slots:
    void theClicksMakeThePairCodes_data()
    {
        QTest::addColumn<QString>("clicks");
        QTest::addColumn<QString>("codes");
        QTest::addColumn<int>("lines");
        QTest::newRow("3-1, 5-2") << QStringLiteral("L3 R1 L5 R2") << QStringLiteral("31 52 - - -") << 2;
        QTest::newRow("right with none pending") << QStringLiteral("R2 L1 R3 R4") << QStringLiteral("- - 13 - -") << 1;
        QTest::newRow("right connected again") << QStringLiteral("L2 R4 L1 R4") << QStringLiteral("- - - 14 -") << 2;
        QTest::newRow("a left item twice") << QStringLiteral("L1 R2 L1 R3") << QStringLiteral("- 12 13 - -") << 2;
        QTest::newRow("another left replaces") << QStringLiteral("L1 L4 R5") << QStringLiteral("- - - - 45") << 1;
    }
    void theClicksMakeThePairCodes()
    {
        QFETCH(QString, clicks);
        QFETCH(QString, codes);
        QFETCH(int, lines);
        Entry e;
        e.add();
        e.choose(e.screen->Combo_tmlx, kMatching);
        e.draw(clicks);
        QStringList shown;
        for (const QString &s : e.matching()->pair_slots)
            shown << (s.isEmpty() ? QStringLiteral("-") : s);
        QCOMPARE(shown.join(QLatin1Char(' ')), codes);
        QCOMPARE(e.matching()->linesDrawn(), lines);
        QCOMPARE(e.matching()->pending_left, 0);
    }

    void aNewMatchingQuestionIsStored()
    {
        Entry e;
        e.add();
        e.choose(e.screen->Combo_tmlx, kMatching);
        e.save();
        QCOMPARE(e.dialogs().informations, QStringList{QStringLiteral("没有选择正确答案连线，请选择后在保存！")});
        e.draw(QStringLiteral("L3 R1 L5 R2"));
        QVERIFY(e.lineAtRight(1));
        e.save();
        QCOMPARE(e.dialogs().informations.last(), QStringLiteral("题目还没有输入，请检查！"));
        e.type(e.matching()->ed_lxttm, QStringLiteral("连一连"));
        for (int k = 0; k < 5; ++k) {
            e.type(e.matching()->leftItems[k], QStringLiteral("左%1").arg(k + 1));
            e.type(e.matching()->rightItems[k], QStringLiteral("右%1").arg(k + 1));
        }
        e.save();
        QCOMPARE(e.dialogs().informations.last(), QStringLiteral("此道连线题保存成功！"));
        QCOMPARE(e.rows(QStringLiteral("select tmlx || '|' || tmmc || '|' || da1 || da2 || '|' || coalesce(da3, '-') || '|' || lxz3 || "
                                       "lxy5 || '|' || tmfont || tmsize || '|' || dasize || '|' || dacolor from tiku")),
                 QStringList{QStringLiteral("连线题|连一连|3152|-|左3右5|宋体10|10|0")});
        // Lines and connections are gone, ready for the next question.
        QCOMPARE(e.matching()->connections(), QString());
        QVERIFY(!e.lineAtRight(1));
        QVERIFY(e.matching()->ed_lxttm->toPlainText().isEmpty());
    }

    // Stored connections are redrawn, and the edit save stores the connections on the page: one the
    // operator takes away (cleared and not drawn again) is gone from the bank.
    void editingStoresTheConnectionsOnThePage_data()
    {
        QTest::addColumn<QString>("clicks");
        QTest::addColumn<QString>("stored");
        QTest::newRow("untouched") << QString() << QStringLiteral("'31'|''|'23'|'44'|''");
        QTest::newRow("44 taken away") << QStringLiteral("clear L3 R1 L2 R3") << QStringLiteral("'31'|''|'23'|''|''");
        QTest::newRow("all cleared, 4-5 drawn") << QStringLiteral("clear L4 R5") << QStringLiteral("''|''|''|''|'45'");
        QTest::newRow("4 joined to 5 instead") << QStringLiteral("clear L3 R1 L2 R3 L4 R5") << QStringLiteral("'31'|''|'23'|''|'45'");
    }
    void editingStoresTheConnectionsOnThePage()
    {
        QFETCH(QString, clicks);
        QFETCH(QString, stored);
        Entry e;
        e.t.folder.exec({QStringLiteral(
            "insert into tiku (qs, tmfz, ctsx, tmlx, tmmc, tmfont, tmsize, tmcolor, tmbjs, da1, da3, da4, lxz1, lxz2, lxy1, lxy3, "
            "dafont, dasize, dacolor, dabjs) values (3, '1', 1, '连线题', '题', '黑体', '30', '0', '0', '31', '23', '44', 'a', 'b', "
            "'x', 'y', '宋体', '16', '255', '0')")});
        e.edit(0);
        QCOMPARE(e.screen->PageControl1->currentWidget(), e.matching());
        QCOMPARE(e.matching()->linesDrawn(), 3);
        QVERIFY(e.lineAtRight(1));
        QVERIFY(e.lineAtRight(3));
        QVERIFY(e.lineAtRight(4));
        QCOMPARE(e.matching()->rightItems[2]->toPlainText(), QStringLiteral("y"));
        QCOMPARE(e.matching()->leftItems[4]->font().pointSize(), 16);
        QString draw = clicks;
        if (draw.startsWith(QStringLiteral("clear"))) {
            e.matching()->N2->trigger(); // 清除连线
            QVERIFY(!e.lineAtRight(1));
            QCOMPARE(e.matching()->connections(), QString());
            draw.remove(0, 5);
        }
        e.draw(draw);
        e.save();
        QCOMPARE(e.dialogs().informations, QStringList{QStringLiteral("此道连线题保存成功！")});
        QCOMPARE(e.rows(QStringLiteral("select quote(da1) || '|' || quote(da2) || '|' || quote(da3) || '|' || quote(da4) || '|' || "
                                       "quote(da5) from tiku")),
                 QStringList{stored});
        QCOMPARE(e.rows(QStringLiteral("select lxz2 || '|' || dacolor from tiku")), QStringList{QStringLiteral("b|255")});
    }

    // Every connection cleared in an edit leaves no answer: the save says so and stores nothing.
    void anEditWithEveryConnectionClearedIsRefused()
    {
        Entry e;
        e.t.folder.exec({QStringLiteral(
            "insert into tiku (qs, tmfz, ctsx, tmlx, tmmc, tmfont, tmsize, tmcolor, tmbjs, da2, dafont, dasize, dacolor, dabjs) "
            "values (3, '1', 1, '连线题', '题', '黑体', '30', '0', '0', '12', '宋体', '16', '255', '0')")});
        e.edit(0);
        e.matching()->N2->trigger();
        e.save();
        QCOMPARE(e.dialogs().informations, QStringList{QStringLiteral("没有选择正确答案连线，请选择后在保存！")});
        QCOMPARE(e.rows(QStringLiteral("select da2 from tiku")), QStringList{QStringLiteral("12")});
    }

    // The lines lie in the page picture, beneath the number marks: where a line crosses a mark, the
    // mark's digit is seen.
    void theLinesLieUnderTheNumbers()
    {
        Entry e;
        e.add();
        e.choose(e.screen->Combo_tmlx, kMatching);
        e.draw(QStringLiteral("L3 R1"));
        const QImage picture = e.matching()->Image9->pixmap().toImage();
        const QImage seen = e.matching()->grab().toImage();
        auto digitOverLine = [&](const QPushButton *mark, auto isDigit) {
            const QRect r = mark->geometry();
            const int y0 = MatchingPage::centre(mark).y();
            for (int y = y0 - 8; y <= y0 + 8; ++y)
                for (int x = r.left(); x <= r.right(); ++x)
                    if (picture.pixelColor(x, y) == QColor(255, 0, 0) && isDigit(seen.pixelColor(x, y)))
                        return true;
            return false;
        };
        QVERIFY(digitOverLine(e.matching()->leftNumbers[2], [](QColor c) { return c.blue() > 180 && c.red() < 80; }));
        QVERIFY(digitOverLine(e.matching()->rightNumbers[0], [](QColor c) { return c.red() > 200 && c.green() > 200 && c.blue() < 80; }));
        // Between the marks the line is seen.
        const QPoint middle = (MatchingPage::centre(e.matching()->leftNumbers[2]) + MatchingPage::centre(e.matching()->rightNumbers[0])) / 2;
        QCOMPARE(seen.pixelColor(middle), QColor(255, 0, 0));
    }
};

class PictureAndMediaTest : public QObject {
    Q_OBJECT
private slots:
    // A picture chosen elsewhere is stored by its bare name and left where it lies: nothing is copied, and
    // the organiser is told at once that the quiz looks for it in its folder.
    void aNewPictureQuestionStoresTheNames()
    {
        Entry e;
        e.t.folder.writePicture(QStringLiteral("elsewhere/flower.jpg"), QSize(64, 48), Qt::yellow);
        e.t.folder.writePicture(QStringLiteral("多媒体素材/答案/图片题答案/rose.png"), QSize(32, 32), Qt::red);
        e.add();
        e.choose(e.screen->Combo_tmlx, kPicture);
        e.dialogs().fileAnswers << e.t.folder.file(QStringLiteral("elsewhere/flower.jpg"))
                                << e.t.folder.file(QStringLiteral("多媒体素材/答案/图片题答案/rose.png"));
        QTest::mouseClick(e.screen->but_tptinputtm, Qt::LeftButton);
        QTest::mouseClick(e.screen->but_tptinputda, Qt::LeftButton);
        const QString elsewhere = QStringLiteral("所选文件不在“多媒体素材\\题目\\图片题”文件夹中。比赛时将按文件名在该文件夹中查找它，"
                                                 "请在比赛前把文件放入该文件夹。");
        QCOMPARE(e.dialogs().informations, QStringList{elsewhere}); // the answer picture lies in its folder
        QCOMPARE(e.dialogs().fileFolders, (QStringList{e.t.folder.file(QStringLiteral("多媒体素材/题目/图片题")),
                                                       e.t.folder.file(QStringLiteral("多媒体素材/答案/图片题答案"))}));
        QVERIFY(e.pictures()->Image_tpttm->isVisible());
        QVERIFY(!e.pictures()->Image_tpttm->isEmpty());
        QTest::mouseClick(e.screen->r_da, Qt::LeftButton);
        QVERIFY(e.pictures()->Image_tptda->isVisible());
        QVERIFY(!e.pictures()->Image_tpttm->isVisible());
        e.save();
        QCOMPARE(e.dialogs().informations, (QStringList{elsewhere, QStringLiteral("此道图片题保存成功！")}));
        QCOMPARE(e.rows(QStringLiteral("select tmlx || '|' || tmmc || '|' || danr || '|' || tmyes || '|' || coalesce(tmfont, '-') from tiku")),
                 QStringList{QStringLiteral("图片题|flower.jpg|rose.png|0|-")});
        QVERIFY(!QFileInfo::exists(e.t.folder.file(QStringLiteral("多媒体素材/题目/图片题/flower.jpg"))));
        QVERIFY(QFileInfo::exists(e.t.folder.file(QStringLiteral("elsewhere/flower.jpg"))));
        QVERIFY(e.pictures()->Image_tpttm->isEmpty());
        QVERIFY(e.screen->r_tm->isChecked());
        // Nothing chosen (or a dialog cancelled): empty names.
        QTest::mouseClick(e.screen->but_tptinputtm, Qt::LeftButton);
        e.save();
        QCOMPARE(e.rows(QStringLiteral("select quote(tmmc) || quote(danr) from tiku where ctsx = 2")), QStringList{QStringLiteral("''''")});
    }

    void editingAPictureQuestion()
    {
        Entry e;
        e.t.folder.writePicture(QStringLiteral("多媒体素材/题目/图片题/q.jpg"));
        e.t.folder.writePicture(QStringLiteral("多媒体素材/答案/图片题答案/new.jpg"));
        e.t.folder.exec({QStringLiteral("insert into tiku (qs, tmfz, ctsx, tmlx, tmmc, danr, tmyes) values (3, '1', 1, '图片题', 'q.jpg', 'gone.jpg', 1)")});
        e.edit(0);
        QCOMPARE(e.dialogs().informations, QStringList{QStringLiteral("此道题答案图片不存在或者位置不正确，请重新选择答案图片！")});
        QCOMPARE(e.screen->PageControl1->currentWidget(), e.pictures());
        QVERIFY(e.screen->GroupBox_tupianti->isVisible());
        QVERIFY(!e.pictures()->Image_tpttm->isEmpty());
        e.dialogs().fileAnswers << e.t.folder.file(QStringLiteral("多媒体素材/答案/图片题答案/new.jpg"));
        QTest::mouseClick(e.screen->but_tptinputda, Qt::LeftButton);
        e.save();
        QCOMPARE(e.dialogs().informations.last(), QStringLiteral("此道图片题修改成功！"));
        QCOMPARE(e.rows(QStringLiteral("select tmmc || '|' || danr || '|' || tmyes from tiku")), QStringList{QStringLiteral("q.jpg|new.jpg|1")});
    }

    void aChosenClipPreviewsByItsKind_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("ext");
        QTest::addColumn<QString>("calls");
        QTest::addColumn<bool>("flash");
        QTest::newRow("audio") << QStringLiteral("song.wav") << QStringLiteral("wav") << QStringLiteral("open setDisplay play") << false;
        QTest::newRow("video, four letters") << QStringLiteral("a.mpeg") << QStringLiteral("mpeg") << QStringLiteral("open setDisplay play") << false;
        QTest::newRow("upper case is audio too") << QStringLiteral("CLIP.MP3") << QStringLiteral("MP3") << QStringLiteral("open setDisplay play") << false;
        QTest::newRow("flash") << QStringLiteral("movie.swf") << QStringLiteral("swf") << QStringLiteral("close") << true;
    }
    void aChosenClipPreviewsByItsKind()
    {
        QFETCH(QString, file);
        QFETCH(QString, ext);
        QFETCH(QString, calls);
        QFETCH(bool, flash);
        Entry e;
        e.add();
        e.choose(e.screen->Combo_tmlx, kMedia);
        QVERIFY(e.screen->GroupBox_duomeiti->isVisible());
        const QString path = e.t.folder.file(QStringLiteral("多媒体素材/题目/") + file);
        e.t.folder.writeBytes(QStringLiteral("多媒体素材/题目/") + file, "clip");
        e.mediaLog().clear();
        e.dialogs().fileAnswers << path;
        QTest::mouseClick(e.screen->but_duomeiti, Qt::LeftButton);
        QCOMPARE(e.dialogs().fileFolders, QStringList{e.t.folder.file(QStringLiteral("多媒体素材/题目"))});
        QCOMPARE(e.media()->media_ext, ext);
        QStringList player;
        for (const QString &line : e.mediaLog())
            if (line.startsWith(QStringLiteral("show_media:")) && !line.contains(QStringLiteral(":setFileName:")))
                player << line.section(QLatin1Char(':'), 1, 1);
        QCOMPARE(player.join(QLatin1Char(' ')), calls);
        QCOMPARE(e.media()->Flash1->widget()->isVisible(), flash);
        QCOMPARE(e.mediaLog().contains(QStringLiteral("flash:play:") + path), flash);
        e.save();
        QCOMPARE(e.rows(QStringLiteral("select tmlx || '|' || tmmc from tiku")), QStringList{QStringLiteral("多媒体题|") + file});
        QVERIFY(!e.media()->Flash1->widget()->isVisible());
    }

    void editingAMultimediaQuestionKeepsItsClip_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("plays");
        QTest::newRow("song.wma") << QStringLiteral("song.wma") << true;
        QTest::newRow("unknown kind") << QStringLiteral("clip.xyz") << false;
    }
    void editingAMultimediaQuestionKeepsItsClip()
    {
        QFETCH(QString, stored);
        QFETCH(bool, plays);
        Entry e;
        e.t.folder.exec({QStringLiteral("insert into tiku (qs, tmfz, ctsx, tmlx, tmmc) values (3, '1', 1, '多媒体题', ' %1 ')").arg(stored)});
        e.edit(0);
        QCOMPARE(e.mediaLog().contains(QStringLiteral("show_media:play:") + e.t.folder.file(QStringLiteral("多媒体素材/题目/音频题/song.wma"))), plays);
        e.save();
        QCOMPARE(e.dialogs().informations, QStringList{QStringLiteral("此道多媒体题修改成功！")});
        QCOMPARE(e.rows(QStringLiteral("select tmmc from tiku")), QStringList{QStringLiteral(" %1 ").arg(stored)});
        QCOMPARE(e.mediaLog().endsWith(QStringLiteral("show_media:close:")), plays);
        // The buttons act on no preview now.
        const int lines = int(e.mediaLog().size());
        QTest::mouseClick(e.screen->but_play, Qt::LeftButton);
        QCOMPARE(e.mediaLog().size(), lines);
    }

    // A clip the player cannot open is said; the question can still be saved, and leaving closes the player.
    void aClipThatCannotBeOpenedLeavesThePageUsable()
    {
        Entry e;
        e.t.folder.exec({QStringLiteral("insert into tiku (qs, tmfz, ctsx, tmlx, tmmc) values (3, '1', 1, '多媒体题', 'v.avi')")});
        // The entry screen makes its players at its first opening.
        e.add();
        QTest::mouseClick(e.screen->but_exit, Qt::LeftButton);
        for (FakeMediaPlayer *player : e.t.fakes.media.mediaPlayers)
            if (player->parent() && player->parent()->objectName() == QStringLiteral("show_media"))
                player->failOpen = QStringLiteral("The file cannot be played");
        e.edit(0);
        QCOMPARE(e.dialogs().errors, QStringList{QStringLiteral("The file cannot be played")});
        QVERIFY(e.screen->but_baocun->isEnabled());
        QTest::mouseClick(e.screen->but_pause, Qt::LeftButton);
        QTest::mouseClick(e.screen->but_exit, Qt::LeftButton);
        QVERIFY(e.mediaLog().endsWith(QStringLiteral("flash:stop:")));
        QVERIFY(e.mediaLog().contains(QStringLiteral("show_media:close:")));
    }
};

// Renders the entry screen on a choice question with its previews when QUELMORA_SCREENSHOTS names a folder.
class EntryScreenshotTest : public QObject {
    Q_OBJECT
private slots:
    void screenshot()
    {
        const QString folder = qEnvironmentVariable("QUELMORA_SCREENSHOTS");
        if (folder.isEmpty())
            QSKIP("set QUELMORA_SCREENSHOTS to a folder to render the screenshots");
        Entry e;
        e.add();
        e.choose(e.screen->Combo_font, QStringLiteral("黑体"));
        e.choose(e.screen->Combo_size, QStringLiteral("28"));
        e.choose(e.screen->Combo_color, QStringLiteral("蓝色"));
        e.choose(e.screen->Combo_bjcolor, QStringLiteral("黄色"));
        e.type(e.choice()->ed_xzttm, QStringLiteral("下列哪一项是中国的首都？"));
        const QStringList options = {QStringLiteral("北京"), QStringLiteral("上海"), QStringLiteral("广州"), QStringLiteral("深圳")};
        for (int k = 0; k < options.size(); ++k)
            e.type(e.choice()->options[k], options[k]);
        e.mark(QStringLiteral("A"));
        QTest::mouseClick(e.screen->GroupBox_tmsz, Qt::LeftButton, Qt::NoModifier, QPoint(4, 80));
        QTest::mouseClick(e.screen->r_da, Qt::LeftButton);
        e.choose(e.screen->Combo_dasize, QStringLiteral("20"));
        e.choose(e.screen->Combo_dacolor, QStringLiteral("藏青色"));
        e.choose(e.screen->Combo_dabjcolor, QStringLiteral("灰色"));
        QTest::mouseClick(e.screen->GroupBox_dasz, Qt::LeftButton, Qt::NoModifier, QPoint(4, 80));
        QVERIFY(e.screen->grab().save(folder + QStringLiteral("/question_entry_choice.png")));
        QTest::mouseClick(e.screen->r_tm, Qt::LeftButton);
        e.choose(e.screen->Combo_tmlx, kAnswer);
        e.type(e.answer()->ed_wendati, QStringLiteral("请简述本次比赛的主题。"));
        QVERIFY(e.screen->grab().save(folder + QStringLiteral("/question_entry_answer.png")));
        e.choose(e.screen->Combo_tmlx, kMatching);
        e.type(e.matching()->ed_lxttm, QStringLiteral("把诗人和他的作品连起来。"));
        const QStringList poets = {QStringLiteral("李白"), QStringLiteral("杜甫"), QStringLiteral("王维")};
        const QStringList poems = {QStringLiteral("春望"), QStringLiteral("静夜思"), QStringLiteral("山居秋暝")};
        for (int k = 0; k < 3; ++k) {
            e.type(e.matching()->leftItems[k], poets[k]);
            e.type(e.matching()->rightItems[k], poems[k]);
        }
        e.draw(QStringLiteral("L1 R2 L2 R1 L3 R3"));
        QVERIFY(e.screen->grab().save(folder + QStringLiteral("/question_entry_matching.png")));
        e.t.folder.writePicture(QStringLiteral("多媒体素材/题目/图片题/q.png"), QSize(600, 400), Qt::darkCyan);
        e.choose(e.screen->Combo_tmlx, kPicture);
        e.dialogs().fileAnswers << e.t.folder.file(QStringLiteral("多媒体素材/题目/图片题/q.png"));
        QTest::mouseClick(e.screen->but_tptinputtm, Qt::LeftButton);
        QVERIFY(e.screen->grab().save(folder + QStringLiteral("/question_entry_picture.png")));
        e.choose(e.screen->Combo_tmlx, kMedia);
        QVERIFY(e.screen->grab().save(folder + QStringLiteral("/question_entry_media.png")));

        // Light text as it is typed: white on the choice page, yellow on the matching page.
        Entry light;
        light.add();
        light.choose(light.screen->Combo_size, QStringLiteral("28"));
        light.choose(light.screen->Combo_color, QStringLiteral("白色"));
        light.type(light.choice()->ed_xzttm, QStringLiteral("白色的题目文字在录入时也看得清。"));
        QTest::mouseClick(light.screen->r_da, Qt::LeftButton);
        light.choose(light.screen->Combo_dasize, QStringLiteral("20"));
        light.choose(light.screen->Combo_dacolor, QStringLiteral("黄色"));
        for (int k = 0; k < 4; ++k)
            light.type(light.choice()->options[k], options[k]);
        light.mark(QStringLiteral("B"));
        QTest::mouseClick(light.screen->GroupBox_dasz, Qt::LeftButton, Qt::NoModifier, QPoint(4, 80));
        QVERIFY(light.screen->grab().save(folder + QStringLiteral("/question_entry_light_choice.png")));
        QTest::mouseClick(light.screen->r_tm, Qt::LeftButton);
        light.choose(light.screen->Combo_tmlx, kMatching);
        light.choose(light.screen->Combo_color, QStringLiteral("黄色"));
        light.type(light.matching()->ed_lxttm, QStringLiteral("黄色的题目：把诗人和他的作品连起来。"));
        QTest::mouseClick(light.screen->r_da, Qt::LeftButton);
        light.choose(light.screen->Combo_dacolor, QStringLiteral("白色"));
        for (int k = 0; k < 3; ++k) {
            light.type(light.matching()->leftItems[k], poets[k]);
            light.type(light.matching()->rightItems[k], poems[k]);
        }
        light.draw(QStringLiteral("L1 R2 L2 R1 L3 R3"));
        QVERIFY(light.screen->grab().save(folder + QStringLiteral("/question_entry_light_matching.png")));
    }
};

// What the organiser enters is what the quiz plays: the question, its options, its styles, and the
// answer it reveals, from the issue chosen on the maintenance screen.
class BankToQuizTest : public QObject {
    Q_OBJECT

    // The quiz's pictures and a board of four tiles.
    static void prepareQuiz(Entry &e)
    {
        for (const char *name : {"选题背景.jpg", "选择题背景.jpg", "问答题背景.jpg", "多媒体题背景.jpg", "选题框.png"})
            e.t.folder.writePicture(QStringLiteral("系统图片/") + QString::fromUtf8(name), QSize(64, 48), Qt::darkBlue);
        // Pictures are read by their content: a PNG under the GIF's name serves as the tile.
        QFile::rename(e.t.folder.file(QStringLiteral("系统图片/选题框.png")), e.t.folder.file(QStringLiteral("系统图片/选题框.gif")));
        for (const char *name : {"连线题背景.bmp", "连线题.bmp"})
            e.t.folder.writePicture(QStringLiteral("系统图片/") + QString::fromUtf8(name), QSize(1024, 768), Qt::white);
        e.t.folder.setConfig(keys::kQuiz, keys::kTileCount, QStringLiteral("4"));
        for (const QString &k : {keys::kChoiceSeconds, keys::kMatchingSeconds})
            e.t.folder.setConfig(keys::kQuiz, k, QStringLiteral("30"));
    }
    // Leaves the entry and maintenance screens and presents the first question of group 1 in the quiz.
    static Tfrm_tm *present(Entry &e)
    {
        QTest::mouseClick(e.screen->but_exit, Qt::LeftButton);
        e.bank->closeScreen();
        Tfrm_tm *quiz = e.t.screens().frm_tm;
        quiz->openModeless(e.t.screens().frm_main);
        QTest::mouseClick(quiz->lab_tm[0], Qt::LeftButton, Qt::NoModifier, quiz->lab_tm[0]->rect().center());
        return quiz;
    }
    // Whether the quiz's matching picture is red near `at` (the line is 4 pixels wide).
    static bool redNear(const Tfrm_tm *quiz, QPoint at)
    {
        const QImage image = quiz->Image_lianxianti->pixmap().toImage();
        for (int dy = -3; dy <= 3; ++dy) {
            if (image.pixelColor(at + QPoint(0, dy)) == QColor(255, 0, 0))
                return true;
        }
        return false;
    }

private slots:
    void theQuizPlaysWhatWasEntered()
    {
        Entry e;
        prepareQuiz(e);
        e.add();
        e.choose(e.screen->Combo_size, QStringLiteral("40"));
        e.choose(e.screen->Combo_color, QStringLiteral("红色"));
        e.type(e.choice()->ed_xzttm, QStringLiteral("Which city is the capital?"));
        e.type(e.choice()->options[0], QStringLiteral("Lyon"));
        e.type(e.choice()->options[1], QStringLiteral("Paris"));
        e.mark(QStringLiteral("B"));
        e.save();
        Tfrm_tm *quiz = present(e);
        QCOMPARE(e.t.context().current_issue, QStringLiteral("3"));
        QCOMPARE(quiz->lab_xzttm->text(), QStringLiteral("Which city is the capital?"));
        QCOMPARE(quiz->lab_option[0]->text(), QStringLiteral("Lyon"));
        QCOMPARE(quiz->lab_option[1]->text(), QStringLiteral("Paris"));
        QCOMPARE(quiz->lab_xzttm->textColour(), QColor(Qt::red));
        QCOMPARE(quiz->lab_xzttm->font().pixelSize(), qRound(40 * 96 / 72.0));
        QCOMPARE(e.rows(QStringLiteral("select tmyes from tiku where qs = 3")), QStringList{QStringLiteral("1")});
        QTest::keyClick(quiz, Qt::Key_Return); // reveals the answer
        QCOMPARE(quiz->optionLook(1), quiz::OptionLook::Correct);
        QCOMPARE(quiz->optionLook(0), quiz::OptionLook::Clear);
        quiz->closeScreen();
    }

    // The connections drawn on the entry page (left 3 to right 1, left 5 to right 2) are the lines the
    // quiz reveals, and no others.
    void theQuizRevealsTheLinesDrawnHere()
    {
        Entry e;
        prepareQuiz(e);
        e.add();
        e.choose(e.screen->Combo_tmlx, kMatching);
        e.draw(QStringLiteral("L3 R1 L5 R2"));
        e.type(e.matching()->ed_lxttm, QStringLiteral("连一连"));
        for (int k = 0; k < 5; ++k) {
            e.type(e.matching()->leftItems[k], QStringLiteral("左%1").arg(k + 1));
            e.type(e.matching()->rightItems[k], QStringLiteral("右%1").arg(k + 1));
        }
        e.save();
        QCOMPARE(e.dialogs().informations.last(), QStringLiteral("此道连线题保存成功！"));
        Tfrm_tm *quiz = present(e);
        QCOMPARE(quiz->lab_lianxianti_tm->text(), QStringLiteral("连一连"));
        QCOMPARE(quiz->lab_lianxianti_daz[2]->text(), QStringLiteral("左3"));
        QVERIFY(!redNear(quiz, {511, 364}));
        QTest::keyClick(quiz, Qt::Key_Return); // reveals the connections
        // Left marks stand at x 391, right marks at x 631, rows 282, 363, 445, 526, 608 inside the picture:
        // the middles of 3-1 and 5-2 are red, those of 1-1 and 2-2 are not.
        QVERIFY(redNear(quiz, {511, 364}));
        QVERIFY(redNear(quiz, {511, 486}));
        QVERIFY(!redNear(quiz, {511, 282}));
        QVERIFY(!redNear(quiz, {511, 404}));
        quiz->closeScreen();
    }
};

QUELMORA_TEST_MAIN(ChoiceTest, AnswerTest, StyleTest, EditTest, MatchingTest, PictureAndMediaTest, EntryScreenshotTest,
                   BankToQuizTest)
#include "tst_question_entry.moc"
