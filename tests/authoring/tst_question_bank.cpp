// The question bank maintenance screen as the organiser drives it from the main menu: the issue and the
// group, the grid, the context menu on the selection, deleting, marking, moving and the export.
#include "app/tfrm_main.h"
#include "authoring/question_bank.h"
#include "authoring/tfrm_tmlr.h"
#include "authoring/tfrm_tmlrxt.h"
#include "authoring/tmlr_grid.h"
#include "authoring/tmlrxt_pages.h"
#include "test_app.h"
#include "ui/click_area.h"
#include "ui/grid_view.h"
#include "ui/shadow_label.h"

#include <QAction>
#include <QComboBox>
#include <QFrame>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>

namespace {

// The application with the maintenance screen opened from the main menu's area 2.
struct Bank {
    Bank() { t.start(); }

    Tfrm_tmlr *open()
    {
        QTest::mouseClick(t.screens().frm_main->areas[1], Qt::LeftButton);
        screen = t.screens().frm_tmlr;
        return screen;
    }
    // Questions 题1 .. 题n of one issue and group, numbered 1..n, of the given type.
    void seed(int issue, const QString &group, int n, const QString &type = question_bank::kChoice, int from = 1)
    {
        QStringList sql;
        for (int i = from; i < from + n; ++i)
            sql << QStringLiteral("insert into tiku (qs, tmfz, ctsx, tmlx, tmmc, tmfont, tmsize, tmcolor, tmbjs, da1, da2, zqda, "
                                  "dafont, dasize, dacolor, dabjs, tmyes) values (%1, '%2', %3, '%4', '题%3', ' 黑体 ', ' 24', "
                                  "'255 ', ' 0', ' 甲 ', '乙', ' A ', '宋体', '20', '0', '0', 0)")
                       .arg(issue)
                       .arg(group)
                       .arg(i)
                       .arg(type);
        t.folder.exec(sql);
    }
    void type(QWidget *w, const QString &text)
    {
        w->setFocus();
        QWidget *target = w;
        if (auto *spin = qobject_cast<QSpinBox *>(w))
            target = spin->findChild<QLineEdit *>();
        else if (auto *combo = qobject_cast<QComboBox *>(w))
            target = combo->lineEdit();
        QTest::keyClick(target, Qt::Key_A, Qt::ControlModifier);
        if (text.isEmpty())
            QTest::keyClick(target, Qt::Key_Delete);
        else
            QTest::keyClicks(target, text);
    }
    // Chooses a group from the drop-down as the operator does.
    void chooseGroup(QComboBox *combo, const QString &group)
    {
        const int index = combo->findText(group);
        QVERIFY(index >= 0);
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }
    void choose(int issue, const QString &group)
    {
        type(screen->ed_qs, QString::number(issue));
        chooseGroup(screen->Combo_fzlx, group);
    }
    QPoint rowPoint(int row) const
    {
        const int column = TikuGridModel::columnOf(QStringLiteral("tmmc"));
        return screen->DBGridEh1->visualRect(screen->model->index(row, column)).center();
    }
    void clickRow(int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier) const
    {
        QTest::mouseClick(screen->DBGridEh1->viewport(), Qt::LeftButton, modifiers, rowPoint(row));
    }
    // A double click as the window system delivers it: press, release, press with the double click, release.
    void doubleClickRow(int row) const
    {
        QWidget *v = screen->DBGridEh1->viewport();
        const QPoint p = rowPoint(row);
        QTest::mouseClick(v, Qt::LeftButton, Qt::NoModifier, p);
        QTest::mousePress(v, Qt::LeftButton, Qt::NoModifier, p);
        QMouseEvent twice(QEvent::MouseButtonDblClick, p, v->mapToGlobal(p), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(v, &twice);
        QTest::mouseRelease(v, Qt::LeftButton, Qt::NoModifier, p);
    }
    // A right click as the window system delivers it: the press (which the application discards), the
    // context-menu event, the release. The grid's menu is then open.
    void rightClickRow(int row) const
    {
        QWidget *v = screen->DBGridEh1->viewport();
        const QPoint p = rowPoint(row);
        QTest::mousePress(v, Qt::RightButton, Qt::NoModifier, p);
        QContextMenuEvent menu(QContextMenuEvent::Mouse, p, v->mapToGlobal(p));
        QApplication::sendEvent(v, &menu);
        QTest::mouseRelease(v, Qt::RightButton, Qt::NoModifier, p);
    }
    // Clicks an item of the open grid menu.
    void chooseMenuItem(QAction *item) const
    {
        QMenu *menu = screen->PopupMenu1;
        QVERIFY(menu->isVisible());
        QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier, menu->actionGeometry(item).center());
        QVERIFY(!menu->isVisible());
    }
    void selectRows(const QList<int> &rows) const
    {
        bool first = true;
        for (int r : rows) {
            clickRow(r, first ? Qt::NoModifier : Qt::ControlModifier);
            first = false;
        }
    }
    // The question names the grid shows, top to bottom.
    QStringList gridNames() const
    {
        QStringList names;
        const int column = TikuGridModel::columnOf(QStringLiteral("tmmc"));
        for (int r = 0; r < screen->model->rowCount(); ++r)
            names << screen->model->index(r, column).data().toString();
        return names;
    }
    QString currentName() const
    {
        const QModelIndex i = screen->DBGridEh1->currentIndex();
        return screen->model->index(i.row(), TikuGridModel::columnOf(QStringLiteral("tmmc"))).data().toString();
    }
    // "name:order" of a group, by order.
    QStringList stored(int issue, const QString &group) const
    {
        return t.folder.column(QStringLiteral("select tmmc || ':' || ctsx from tiku where qs=%1 and tmfz='%2' order by ctsx")
                                   .arg(issue)
                                   .arg(group));
    }
    FakeDialogs &dialogs() { return t.fakes.dialogs; }

    TestApp t;
    Tfrm_tmlr *screen = nullptr;
};

} // namespace

class IssueAndGridTest : public QObject {
    Q_OBJECT
private slots:
    void changingTheIssueEmptiesTheGridAndTheMenuShowsIt()
    {
        Bank b;
        b.seed(2, QStringLiteral("1"), 3);
        b.open();
        b.choose(2, QStringLiteral("1"));
        QCOMPARE(b.gridNames(), (QStringList{QStringLiteral("题1"), QStringLiteral("题2"), QStringLiteral("题3")}));
        QCOMPARE(b.t.context().current_issue, QStringLiteral("2"));

        b.type(b.screen->ed_qs, QStringLiteral("3"));
        QCOMPARE(b.screen->Combo_fzlx->currentText(), QString());
        QCOMPARE(b.screen->model->rowCount(), 0);
        QCOMPARE(b.t.context().current_issue, QStringLiteral("3"));

        QTest::keyClick(b.screen, Qt::Key_Escape);
        QVERIFY(!b.screen->isVisible());
        QVERIFY(!b.t.context().data->adoq_tmcx.isActive());
        QCOMPARE(b.t.screens().frm_main->lab_qs->text(), QStringLiteral("第3期题目"));

        // The issue box keeps its value for the next visit; the grid stays empty until asked.
        b.open();
        QCOMPARE(b.screen->ed_qs->value(), 3);
        QCOMPARE(b.screen->model->rowCount(), 0);
        QCOMPARE(b.screen->Combo_fzlx->count(), 20);
        QVERIFY(!b.screen->Panel_daochu->isVisible());
    }

    void theQueryShowsTheGroupOrTheWholeIssue()
    {
        Bank b;
        b.seed(4, QStringLiteral("2"), 2);
        b.seed(4, QStringLiteral("1"), 2, question_bank::kAnswer, 5);
        b.seed(5, QStringLiteral("1"), 1);
        b.open();
        b.type(b.screen->ed_qs, QStringLiteral("4"));
        QTest::mouseClick(b.screen->Button1, Qt::LeftButton);
        // No group: the whole issue by group, then order.
        QCOMPARE(b.gridNames(), (QStringList{QStringLiteral("题5"), QStringLiteral("题6"), QStringLiteral("题1"), QStringLiteral("题2")}));
        b.chooseGroup(b.screen->Combo_fzlx, QStringLiteral("2"));
        QCOMPARE(b.gridNames(), (QStringList{QStringLiteral("题1"), QStringLiteral("题2")}));
        // Typing a group runs the query as well.
        b.type(b.screen->Combo_fzlx, QStringLiteral("1"));
        QCOMPARE(b.gridNames(), (QStringList{QStringLiteral("题5"), QStringLiteral("题6")}));
        QVERIFY(b.dialogs().informations.isEmpty());
    }

    // The issue box takes digits only. An emptied box is issue 0: the menu shows 第0期题目, and the box
    // shows 0 once the operator leaves it, by Esc, 查 询 or another control.
    void anEmptiedIssueBoxIsIssueZero_data()
    {
        QTest::addColumn<QString>("leave");
        QTest::newRow("Esc") << QStringLiteral("Esc");
        QTest::newRow("查 询") << QStringLiteral("query");
        QTest::newRow("the grid") << QStringLiteral("grid");
    }
    void anEmptiedIssueBoxIsIssueZero()
    {
        QFETCH(QString, leave);
        Bank b;
        b.seed(0, QStringLiteral("1"), 1);
        b.seed(5, QStringLiteral("1"), 2, question_bank::kChoice, 2);
        b.open();
        b.choose(5, QStringLiteral("1"));
        b.type(b.screen->ed_qs, QStringLiteral("x"));
        QCOMPARE(b.screen->ed_qs->value(), 5);
        QCOMPARE(b.t.context().current_issue, QStringLiteral("5"));
        b.type(b.screen->ed_qs, QString());
        QCOMPARE(b.t.context().current_issue, QStringLiteral("0"));
        QCOMPARE(b.screen->Combo_fzlx->currentText(), QString());
        QCOMPARE(b.screen->model->rowCount(), 0);
        if (leave == QStringLiteral("Esc")) {
            QTest::keyClick(b.screen, Qt::Key_Escape);
            QVERIFY(!b.screen->isVisible());
            QCOMPARE(b.t.screens().frm_main->lab_qs->text(), QStringLiteral("第0期题目"));
            b.open();
        } else if (leave == QStringLiteral("query")) {
            QTest::mouseClick(b.screen->Button1, Qt::LeftButton);
            QCOMPARE(b.gridNames(), QStringList{QStringLiteral("题1")});
        } else {
            // The focus leaves the box only in the active window.
            b.screen->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(b.screen));
            b.screen->ed_qs->setFocus();
            QTest::mouseClick(b.screen->DBGridEh1->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(40, 40));
            QVERIFY(!b.screen->ed_qs->hasFocus());
        }
        QCOMPARE(b.screen->ed_qs->text(), QStringLiteral("0"));
        QCOMPARE(b.screen->ed_qs->value(), 0);
        QCOMPARE(b.t.context().current_issue, QStringLiteral("0"));
    }

    void aGroupThatIsNoGroupIsSaid_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::newRow("21") << QStringLiteral("21");
        QTest::newRow("letters") << QStringLiteral("x");
        QTest::newRow("zero") << QStringLiteral("0");
    }
    void aGroupThatIsNoGroupIsSaid()
    {
        QFETCH(QString, typed);
        Bank b;
        b.seed(1, QStringLiteral("1"), 2);
        b.open();
        b.choose(1, QStringLiteral("1"));
        b.type(b.screen->Combo_fzlx, typed);
        QCOMPARE(b.dialogs().informations, QStringList{QStringLiteral("题目分组序号只能是1到20，请检查！")});
        QCOMPARE(b.screen->model->rowCount(), 0);
        // Nothing is added, moved or deleted under such a group.
        b.dialogs().informations.clear();
        b.screen->N1->trigger();
        QVERIFY(!b.t.screens().frm_tmlrxt->isVisible());
        b.screen->N5->trigger();
        QCOMPARE(b.stored(1, QStringLiteral("1")).size(), 2);
    }

    void theGridHasItsColumns()
    {
        Bank b;
        b.seed(1, QStringLiteral("1"), 2);
        b.t.folder.exec({QStringLiteral("update tiku set tmyes=1 where ctsx=2")});
        b.open();
        b.choose(1, QStringLiteral("1"));
        QTableView *grid = b.screen->DBGridEh1;
        QStringList shown;
        for (int c = 0; c < b.screen->model->columnCount(); ++c)
            if (!grid->isColumnHidden(c))
                shown << QStringLiteral("%1 %2").arg(b.screen->model->headerData(c, Qt::Horizontal).toString()).arg(grid->columnWidth(c));
        QCOMPARE(shown, (QStringList{QStringLiteral("期数 60"), QStringLiteral("出题顺序 80"), QStringLiteral("题目分组 90"),
                                     QStringLiteral("题目类型 100"), QStringLiteral("题目名称 480"), QStringLiteral("出题 60")}));
        const QModelIndex order = b.screen->model->index(0, TikuGridModel::columnOf(QStringLiteral("ctsx")));
        QCOMPARE(order.data(Qt::ForegroundRole).value<QColor>(), QColor(Qt::red));
        QVERIFY(order.data(Qt::FontRole).value<QFont>().bold());
        const int used = TikuGridModel::columnOf(QStringLiteral("TMYes"));
        QCOMPARE(b.screen->model->index(0, used).data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
        QCOMPARE(b.screen->model->index(1, used).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
        QCOMPARE(grid->selectionBehavior(), QAbstractItemView::SelectRows);
        QCOMPARE(grid->selectionMode(), QAbstractItemView::ExtendedSelection);
        QStringList menu;
        for (QAction *a : grid->actions())
            menu << (a->isSeparator() ? QStringLiteral("-") : a->text());
        QCOMPARE(menu, (QStringList{QStringLiteral("---添加题目---"), QStringLiteral("-"), QStringLiteral("---修改题目---"),
                                    QStringLiteral("-"), QStringLiteral("---删除题目---"), QStringLiteral("-"),
                                    QStringLiteral("---设为已出---"), QStringLiteral("-"), QStringLiteral("---设为未出---"),
                                    QStringLiteral("-"), QStringLiteral("---题目导出---")}));
    }
};

class MarkingTest : public QObject {
    Q_OBJECT
private slots:
    // The menu acts on the row under the mouse: a row outside the selection is selected alone first; a
    // row inside it becomes current and the selection stays, so it can be marked or exported whole.
    void theMenuActsOnTheRowUnderTheMouse_data()
    {
        QTest::addColumn<QList<int>>("selected");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("result");
        QTest::addColumn<QList<int>>("selectedAfter");
        QTest::newRow("设为已出 outside the selection") << QList<int>{0, 2} << 1 << QStringLiteral("N7") << QStringLiteral("0100") << QList<int>{1};
        QTest::newRow("设为已出 inside the selection") << QList<int>{0, 2} << 2 << QStringLiteral("N7") << QStringLiteral("1010") << QList<int>{0, 2};
        QTest::newRow("修改") << QList<int>{0} << 3 << QStringLiteral("N3") << QStringLiteral("题4") << QList<int>{3};
        QTest::newRow("删除") << QList<int>{0} << 2 << QStringLiteral("N5") << QStringLiteral("题1:1 题2:2 题4:3") << QList<int>{};
    }
    void theMenuActsOnTheRowUnderTheMouse()
    {
        QFETCH(QList<int>, selected);
        QFETCH(int, row);
        QFETCH(QString, item);
        QFETCH(QString, result);
        QFETCH(QList<int>, selectedAfter);
        Bank b;
        b.seed(1, QStringLiteral("3"), 4);
        b.open();
        b.choose(1, QStringLiteral("3"));
        b.selectRows(selected);
        b.rightClickRow(row);
        QCOMPARE(b.currentName(), QStringLiteral("题%1").arg(row + 1));
        b.chooseMenuItem(b.screen->findChild<QAction *>(item));
        if (item == QStringLiteral("N7")) {
            QCOMPARE(b.t.folder.column(QStringLiteral("select tmyes from tiku order by ctsx")).join(QString()), result);
            QCOMPARE(grid::selectedRows(b.screen->DBGridEh1), selectedAfter);
        } else if (item == QStringLiteral("N3")) {
            QCOMPARE(b.t.screens().frm_tmlrxt->show_xuanzeti->ed_xzttm->toPlainText(), result);
            QCOMPARE(grid::selectedRows(b.screen->DBGridEh1), selectedAfter);
        } else {
            QCOMPARE(b.stored(1, QStringLiteral("3")).join(QLatin1Char(' ')), result);
        }
    }

    void theMenuMarksUsedThenUnused()
    {
        Bank b;
        b.seed(1, QStringLiteral("3"), 4);
        b.open();
        b.choose(1, QStringLiteral("3"));
        b.selectRows({0, 2});
        b.rightClickRow(0);
        b.chooseMenuItem(b.screen->N7);
        b.clickRow(0);
        b.rightClickRow(0);
        b.chooseMenuItem(b.screen->N9);
        QCOMPARE(b.t.folder.column(QStringLiteral("select tmyes from tiku order by ctsx")),
                 (QStringList{QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("0")}));
        const int used = TikuGridModel::columnOf(QStringLiteral("TMYes"));
        QCOMPARE(b.screen->model->index(2, used).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
    }

    // A right click beside the rows leaves the selection as it was.
    void aRightClickBesideTheRowsKeepsTheSelection()
    {
        Bank b;
        b.seed(1, QStringLiteral("1"), 2);
        b.open();
        b.choose(1, QStringLiteral("1"));
        b.selectRows({1});
        QWidget *v = b.screen->DBGridEh1->viewport();
        const QPoint below(40, v->height() - 10);
        QContextMenuEvent menu(QContextMenuEvent::Mouse, below, v->mapToGlobal(below));
        QApplication::sendEvent(v, &menu);
        QVERIFY(b.screen->PopupMenu1->isVisible());
        b.chooseMenuItem(b.screen->N7);
        QCOMPARE(b.t.folder.column(QStringLiteral("select tmyes from tiku order by ctsx")),
                 (QStringList{QStringLiteral("0"), QStringLiteral("1")}));
    }

    void aDoubleClickTogglesOneQuestion()
    {
        Bank b;
        b.seed(1, QStringLiteral("1"), 3);
        b.open();
        b.choose(1, QStringLiteral("1"));
        b.doubleClickRow(1);
        QCOMPARE(b.t.folder.column(QStringLiteral("select tmyes from tiku order by ctsx")),
                 (QStringList{QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("0")}));
        b.doubleClickRow(1);
        QCOMPARE(b.t.folder.column(QStringLiteral("select tmyes from tiku order by ctsx")),
                 (QStringList{QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0")}));
    }

    void addAndEditNeedAGroup()
    {
        Bank b;
        b.seed(1, QStringLiteral("1"), 1);
        b.open();
        b.type(b.screen->ed_qs, QStringLiteral("1"));
        QTest::mouseClick(b.screen->Button1, Qt::LeftButton);
        b.clickRow(0);
        b.screen->N1->trigger();
        b.screen->N3->trigger();
        QCOMPARE(b.dialogs().informations, (QStringList{QStringLiteral("您没有选择题目组号，请首先选择！"),
                                                        QStringLiteral("题目分组序号不能为空，请检查！")}));
        QCOMPARE(b.t.context().entry_mode, 2);
        QVERIFY(!b.t.screens().frm_tmlrxt->isVisible());

        // A group without questions has nothing to edit.
        b.dialogs().informations.clear();
        b.chooseGroup(b.screen->Combo_fzlx, QStringLiteral("7"));
        b.screen->N3->trigger();
        QCOMPARE(b.dialogs().informations, QStringList{QStringLiteral("请先在表格中选择要修改的题目！")});
        b.screen->N1->trigger();
        QVERIFY(b.t.screens().frm_tmlrxt->isVisible());
        QCOMPARE(b.t.context().entry_mode, 1);
    }
};

class MovingTest : public QObject {
    Q_OBJECT
private slots:
    void movingExchangesTwoNeighbours_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("up");
        QTest::addColumn<QString>("order");
        QTest::addColumn<QString>("current");
        QTest::newRow("3 up") << 2 << true << QStringLiteral("1 3 2 4 5") << QStringLiteral("题3");
        QTest::newRow("3 down") << 2 << false << QStringLiteral("1 2 4 3 5") << QStringLiteral("题3");
        QTest::newRow("1 up") << 0 << true << QStringLiteral("1 2 3 4 5") << QStringLiteral("题1");
        QTest::newRow("5 down") << 4 << false << QStringLiteral("1 2 3 4 5") << QStringLiteral("题5");
        QTest::newRow("2 up") << 1 << true << QStringLiteral("2 1 3 4 5") << QStringLiteral("题2");
        QTest::newRow("4 down") << 3 << false << QStringLiteral("1 2 3 5 4") << QStringLiteral("题4");
    }
    void movingExchangesTwoNeighbours()
    {
        QFETCH(int, row);
        QFETCH(bool, up);
        QFETCH(QString, order);
        QFETCH(QString, current);
        Bank b;
        b.seed(1, QStringLiteral("2"), 5);
        b.seed(1, QStringLiteral("3"), 5); // another group of the issue is left alone
        b.open();
        b.choose(1, QStringLiteral("2"));
        b.clickRow(row);
        QTest::mouseClick(up ? b.screen->but_sy : b.screen->but_xy, Qt::LeftButton);
        QString shown;
        for (const QString &n : b.gridNames())
            shown += (shown.isEmpty() ? QString() : QStringLiteral(" ")) + n.mid(1);
        QCOMPARE(shown, order);
        QCOMPARE(b.currentName(), current);
        QCOMPARE(b.t.folder.column(QStringLiteral("select count(*) from tiku where ctsx = -1")), QStringList{QStringLiteral("0")});
        QCOMPARE(b.stored(1, QStringLiteral("3")).join(QLatin1Char(' ')), QStringLiteral("题1:1 题2:2 题3:3 题4:4 题5:5"));
        QVERIFY(b.dialogs().errors.isEmpty());
    }

    void movingNeedsAGroup()
    {
        Bank b;
        b.seed(1, QStringLiteral("2"), 3);
        b.open();
        b.type(b.screen->ed_qs, QStringLiteral("1"));
        QTest::mouseClick(b.screen->Button1, Qt::LeftButton);
        b.clickRow(1);
        QTest::mouseClick(b.screen->but_sy, Qt::LeftButton);
        QTest::mouseClick(b.screen->but_xy, Qt::LeftButton);
        QCOMPARE(b.dialogs().informations, (QStringList{QStringLiteral("请选择题目分组序号！"), QStringLiteral("请选择题目分组序号！")}));
        QCOMPARE(b.stored(1, QStringLiteral("2")).join(QLatin1Char(' ')), QStringLiteral("题1:1 题2:2 题3:3"));
    }

    // The exchange runs as one: when its last step fails, no question is left numbered -1.
    void anInterruptedExchangeLeavesNoParkedQuestion()
    {
        Bank b;
        b.seed(1, QStringLiteral("1"), 5);
        b.t.folder.exec({QStringLiteral("create trigger stop before update on tiku when old.ctsx = -1 "
                                        "begin select raise(abort, 'disk I/O error'); end")});
        b.open();
        b.choose(1, QStringLiteral("1"));
        b.clickRow(2);
        QTest::mouseClick(b.screen->but_sy, Qt::LeftButton);
        QCOMPARE(b.dialogs().errors.size(), 1);
        QVERIFY(b.dialogs().errors[0].contains(QStringLiteral("disk I/O error")));
        QCOMPARE(b.stored(1, QStringLiteral("1")).join(QLatin1Char(' ')), QStringLiteral("题1:1 题2:2 题3:3 题4:4 题5:5"));
        QCOMPARE(b.gridNames().size(), 5);
    }
};

class DeletingTest : public QObject {
    Q_OBJECT
private slots:
    void deletingTwoOfFiveRenumbersTheRest()
    {
        Bank b;
        b.seed(1, QStringLiteral("1"), 5);
        b.seed(1, QStringLiteral("2"), 2);
        b.open();
        b.choose(1, QStringLiteral("1"));
        b.selectRows({1, 3});
        b.rightClickRow(3);
        b.chooseMenuItem(b.screen->N5);
        QCOMPARE(b.dialogs().confirmations, QStringList{QStringLiteral("确定要删除题目吗？")});
        QCOMPARE(b.stored(1, QStringLiteral("1")).join(QLatin1Char(' ')), QStringLiteral("题1:1 题3:2 题5:3"));
        QCOMPARE(b.gridNames(), (QStringList{QStringLiteral("题1"), QStringLiteral("题3"), QStringLiteral("题5")}));
        QCOMPARE(b.stored(1, QStringLiteral("2")).size(), 2);
    }

    void anAnswerOtherThanYesDeletesNothing()
    {
        Bank b;
        b.seed(1, QStringLiteral("1"), 3);
        b.open();
        b.choose(1, QStringLiteral("1"));
        b.clickRow(0);
        b.dialogs().confirmAnswers.enqueue(false);
        b.screen->N5->trigger();
        b.chooseGroup(b.screen->Combo_fzlx, QStringLiteral("1"));
        b.screen->Combo_fzlx->setEditText(QString());
        b.dialogs().confirmAnswers << true << false;
        b.screen->N5->trigger();
        QCOMPARE(b.dialogs().confirmations.size(), 3);
        QCOMPARE(b.dialogs().confirmations.last(), QStringLiteral("确定要删除此环节全部题目吗？"));
        QCOMPARE(b.stored(1, QStringLiteral("1")).size(), 3);
    }

    void withoutAGroupTheWholeIssueGoes()
    {
        Bank b;
        b.seed(6, QStringLiteral("1"), 3);
        b.seed(6, QStringLiteral("9"), 2);
        b.seed(7, QStringLiteral("1"), 2);
        b.open();
        b.type(b.screen->ed_qs, QStringLiteral("6"));
        QTest::mouseClick(b.screen->Button1, Qt::LeftButton);
        b.clickRow(0);
        b.screen->N5->trigger();
        QCOMPARE(b.dialogs().confirmations.size(), 2);
        QCOMPARE(b.t.folder.column(QStringLiteral("select count(*) from tiku where qs=6")), QStringList{QStringLiteral("0")});
        QCOMPARE(b.stored(7, QStringLiteral("1")).size(), 2);
        QCOMPARE(b.screen->model->rowCount(), 0);
    }

    // A failure half-way through stores nothing: no question is lost and the group keeps its numbers.
    void aFailedDeleteLeavesTheGroupWhole()
    {
        Bank b;
        b.seed(1, QStringLiteral("1"), 5);
        b.t.folder.exec({QStringLiteral("create trigger stop before update on tiku when old.ctsx = 5 "
                                        "begin select raise(abort, 'database is locked'); end")});
        b.open();
        b.choose(1, QStringLiteral("1"));
        b.selectRows({1});
        b.screen->N5->trigger();
        QCOMPARE(b.dialogs().errors.size(), 1);
        QCOMPARE(b.stored(1, QStringLiteral("1")).join(QLatin1Char(' ')), QStringLiteral("题1:1 题2:2 题3:3 题4:4 题5:5"));
        QCOMPARE(b.gridNames().size(), 5);
    }
};

class ExportTest : public QObject {
    Q_OBJECT
private slots:
    void exportNumbersAfterTheTargetsHighestOrder_data()
    {
        QTest::addColumn<int>("existing");
        QTest::addColumn<QString>("unknownType");
        QTest::addColumn<QString>("orders");
        QTest::newRow("after 7") << 7 << QString() << QStringLiteral("8 9");
        QTest::newRow("empty group") << 0 << QString() << QStringLiteral("1 2");
        QTest::newRow("gap after an unknown type") << 0 << QStringLiteral("判断题") << QStringLiteral("1 3");
    }
    void exportNumbersAfterTheTargetsHighestOrder()
    {
        QFETCH(int, existing);
        QFETCH(QString, unknownType);
        QFETCH(QString, orders);
        Bank b;
        b.seed(3, QStringLiteral("1"), 3);
        if (!unknownType.isEmpty())
            b.t.folder.exec({QStringLiteral("update tiku set tmlx='%1' where ctsx=2").arg(unknownType)});
        if (existing > 0)
            b.seed(4, QStringLiteral("2"), existing, question_bank::kAnswer);
        b.t.folder.exec({QStringLiteral("update tiku set tmyes=1 where qs=3")});
        b.open();
        b.choose(3, QStringLiteral("1"));
        b.selectRows(unknownType.isEmpty() ? QList<int>{2, 0} : QList<int>{0, 1, 2});
        b.screen->N11->trigger();
        QVERIFY(b.screen->Panel_daochu->isVisible());
        QCOMPARE(b.screen->ed_dc_qs->value(), 3);
        QVERIFY(b.screen->Bar_daochu->isHidden());
        b.type(b.screen->ed_dc_qs, QStringLiteral("4"));
        b.chooseGroup(b.screen->combo_dc_fzlx, QStringLiteral("2"));
        QList<int> steps;
        connect(b.screen->Bar_daochu, &QProgressBar::valueChanged, this, [&steps](int v) { steps << v; });
        QTest::mouseClick(b.screen->but_daochu, Qt::LeftButton);

        QCOMPARE(steps, (QList<int>{10, 30, 50, 100}));
        QVERIFY(b.screen->Bar_daochu->isHidden());
        QVERIFY(!b.screen->Panel_daochu->isVisible());
        QCOMPARE(b.dialogs().informations, QStringList{QStringLiteral("题目已经成功导出到第 4 期题库中！")});
        // Copies go in grid order, unused, with their trimmed fields trimmed.
        const QStringList copies = b.t.folder.column(QStringLiteral(
            "select ctsx || '|' || tmmc || '|' || tmyes || '|' || tmfont || '|' || tmsize || '|' || tmcolor || '|' || da1 || '|' || "
            "zqda from tiku where qs=4 and tmfz='2' and tmlx='选择题' order by ctsx"));
        QCOMPARE(copies.size(), 2);
        QStringList numbers;
        for (const QString &c : copies)
            numbers << c.section(QLatin1Char('|'), 0, 0);
        QCOMPARE(numbers.join(QLatin1Char(' ')), orders);
        QCOMPARE(copies[0].section(QLatin1Char('|'), 1), QStringLiteral("题1|0|黑体|24|255| 甲 |A"));
        QCOMPARE(copies[1].section(QLatin1Char('|'), 1, 1), QStringLiteral("题3"));
        // The source is untouched and still selected.
        QCOMPARE(b.stored(3, QStringLiteral("1")).size(), 3);
        QCOMPARE(grid::selectedRows(b.screen->DBGridEh1).size(), unknownType.isEmpty() ? 2 : 3);
        QCOMPARE(b.screen->ed_dc_qs->value(), 3);
    }

    void theCopyTableOfEachType_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("fields");
        QTest::newRow("choice") << question_bank::kChoice
                                << QStringLiteral("tmlx* tmmc tmfont* tmsize* tmcolor* tmbjs* da1 da2 da3 da4 da5 da6 zqda* "
                                                  "dafont* dasize* dacolor* dabjs*");
        QTest::newRow("question and answer") << question_bank::kAnswer
                                             << QStringLiteral("tmlx* tmmc tmfont* tmsize* tmcolor* tmbjs* danr dafont* "
                                                               "dasize* dacolor* dabjs*");
        QTest::newRow("picture") << question_bank::kPicture << QStringLiteral("tmlx* tmmc* danr*");
        QTest::newRow("matching") << question_bank::kMatching
                                  << QStringLiteral("tmlx* tmmc tmfont* tmsize* tmcolor* tmbjs* danr da1 da2 da3 da4 da5 "
                                                    "lxz1* lxz2* lxz3* lxz4* lxz5* lxy1* lxy2* lxy3* lxy4* lxy5* dafont* "
                                                    "dasize* dacolor* dabjs*");
        QTest::newRow("multimedia") << question_bank::kMedia << QStringLiteral("tmlx* tmmc*");
        QTest::newRow("unknown") << QStringLiteral("判断题") << QString();
    }
    void theCopyTableOfEachType()
    {
        QFETCH(QString, type);
        QFETCH(QString, fields);
        QStringList names;
        for (const question_bank::CopiedField &f : question_bank::copiedFields(type))
            names << f.name + (f.trimmed ? QStringLiteral("*") : QString());
        QCOMPARE(names.join(QLatin1Char(' ')), fields);
    }

    void exportWithoutSelectionOrTargetGroup()
    {
        Bank b;
        b.seed(1, QStringLiteral("1"), 2);
        b.open();
        b.choose(1, QStringLiteral("1"));
        QTest::mouseClick(b.screen->but_tmdc, Qt::LeftButton);
        QTest::mouseClick(b.screen->but_daochu, Qt::LeftButton); // no target group: nothing happens
        QVERIFY(b.dialogs().informations.isEmpty());
        b.chooseGroup(b.screen->combo_dc_fzlx, QStringLiteral("5"));
        b.screen->DBGridEh1->clearSelection();
        QTest::mouseClick(b.screen->but_daochu, Qt::LeftButton);
        QCOMPARE(b.dialogs().informations, QStringList{QStringLiteral("你没有选择题目，请检查！")});
        QCOMPARE(b.t.folder.column(QStringLiteral("select count(*) from tiku")), QStringList{QStringLiteral("2")});
        QTest::mouseClick(b.screen->but_close, Qt::LeftButton);
        QVERIFY(!b.screen->Panel_daochu->isVisible());
    }

    // A failure in the middle stores no copy at all.
    void aFailedExportCopiesNothing()
    {
        Bank b;
        b.seed(1, QStringLiteral("1"), 3);
        b.t.folder.exec({QStringLiteral("create trigger stop before insert on tiku when new.ctsx = 3 "
                                        "begin select raise(abort, 'disk full'); end")});
        b.open();
        b.choose(1, QStringLiteral("1"));
        b.selectRows({0, 1, 2});
        QTest::mouseClick(b.screen->but_tmdc, Qt::LeftButton);
        b.chooseGroup(b.screen->combo_dc_fzlx, QStringLiteral("2"));
        QTest::mouseClick(b.screen->but_daochu, Qt::LeftButton);
        QCOMPARE(b.dialogs().errors.size(), 1);
        QVERIFY(b.dialogs().informations.isEmpty());
        QCOMPARE(b.t.folder.column(QStringLiteral("select count(*) from tiku where tmfz='2'")), QStringList{QStringLiteral("0")});
        QVERIFY(b.screen->Bar_daochu->isHidden());
    }
};

// Renders the screen with a full grid when QUELMORA_SCREENSHOTS names a folder.
class ScreenshotTest : public QObject {
    Q_OBJECT
private slots:
    void screenshot()
    {
        const QString folder = qEnvironmentVariable("QUELMORA_SCREENSHOTS");
        if (folder.isEmpty())
            QSKIP("set QUELMORA_SCREENSHOTS to a folder to render the screenshots");
        Bank b;
        b.seed(3, QStringLiteral("1"), 40);
        b.t.folder.exec({QStringLiteral("update tiku set tmyes=1 where ctsx in (2, 5)")});
        b.open();
        b.choose(3, QStringLiteral("1"));
        b.selectRows({1, 3});
        QVERIFY(b.screen->grab().save(folder + QStringLiteral("/question_bank.png")));
        b.screen->N11->trigger();
        QVERIFY(b.screen->grab().save(folder + QStringLiteral("/question_bank_export.png")));
    }
};

QUELMORA_TEST_MAIN(IssueAndGridTest, MarkingTest, MovingTest, DeletingTest, ExportTest, ScreenshotTest)
#include "tst_question_bank.moc"
