#include "tfrm_tmlr.h"

#include "question_bank.h"
#include "tfrm_tmlrxt.h"
#include "tmlr_grid.h"
#include "ui/grid_view.h"
#include "ui/key_codes.h"
#include "ui/picture.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>

namespace {

const QString kShowGroup = QStringLiteral("select * from tiku where (qs=:ls) and (tmfz=:ls2) order by ctsx");
const QString kShowIssue = QStringLiteral("select * from tiku where (qs=:ls) order by tmfz,ctsx");
const QString kDeleteIssue = QStringLiteral("delete from tiku where (qs=:ls)");
const QString kShowDeletedIssue = QStringLiteral("select * from tiku where (qs=:ls) ");
const QString kShowGroupAfterDelete = QStringLiteral("select * from tiku where (qs=:ls) and (tmfz=:ls2)  order by ctsx");
const QString kNeighbour = QStringLiteral("select * from tiku where  (qs=:ls1) and (ctsx=:ls2) and (tmfz=:ls3) ");
const QString kSwapUp = QStringLiteral("update tiku set ctsx=:ls3 where (qs=:ls1) and (ctsx=:ls2)  and (tmfz=:ls4)");
const QString kSwapDown = QStringLiteral("update tiku set ctsx=:ls3 where (qs=:ls1) and (ctsx=:ls2) and (tmfz=:ls4)");
const QString kHighestOrder = QStringLiteral("select max(ctsx) as max_bh from tiku where (qs=:ls) and (tmfz=:ls2)");
const QString kTargetRows = QStringLiteral("select * from tiku where (qs=:ls) and (tmfz=:ls2)");

const QString kNoGroupForAdd = QStringLiteral("您没有选择题目组号，请首先选择！");
const QString kNoGroupForEdit = QStringLiteral("题目分组序号不能为空，请检查！");
const QString kNoGroupForMove = QStringLiteral("请选择题目分组序号！");
const QString kNoneSelected = QStringLiteral("你没有选择题目，请检查！");
const QString kBadGroup = QStringLiteral("题目分组序号只能是1到20，请检查！");
const QString kNoQuestionToEdit = QStringLiteral("请先在表格中选择要修改的题目！");

QLabel *label(QWidget *parent, const QString &text, int x, int y, const QString &name = {})
{
    auto *l = new QLabel(text, parent);
    if (!name.isEmpty())
        l->setObjectName(name);
    l->adjustSize();
    l->move(x, y);
    return l;
}

QPushButton *button(QWidget *parent, const QString &name, const QString &text, const QRect &rect)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setGeometry(rect);
    b->setAutoDefault(false);
    b->setFocusPolicy(Qt::TabFocus);
    return b;
}

QSpinBox *issueBox(QWidget *parent, const QString &name, const QRect &rect)
{
    auto *s = new QSpinBox(parent);
    s->setObjectName(name);
    s->setRange(0, 100);
    s->setGeometry(rect);
    return s;
}

QComboBox *groupList(QWidget *parent, const QString &name, const QRect &rect)
{
    auto *c = new QComboBox(parent);
    c->setObjectName(name);
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    c->setMaxVisibleItems(20);
    c->setGeometry(rect);
    return c;
}

} // namespace

Tfrm_tmlr::Tfrm_tmlr(AppContext &context) : StageWindow(context, QStringLiteral("frm_tmlr"))
{
    setWindowTitle(QStringLiteral("题目维护界面"));
    QFont f = font();
    f.setPointSize(11);
    setFont(f);
}

void Tfrm_tmlr::makeWidgets()
{
    label(this, QStringLiteral("第"), 24, 32);
    ed_qs = issueBox(this, QStringLiteral("ed_qs"), QRect(46, 27, 64, 28));
    label(this, QStringLiteral("期"), 116, 32);
    label(this, QStringLiteral("题目分组："), 160, 32);
    Combo_fzlx = groupList(this, QStringLiteral("Combo_fzlx"), QRect(244, 27, 70, 28));
    label(this, QStringLiteral("组"), 320, 32);
    Button1 = button(this, QStringLiteral("Button1"), QStringLiteral("查 询"), QRect(370, 26, 90, 30));
    but_tmdc = button(this, QStringLiteral("but_tmdc"), QStringLiteral("题目导出"), QRect(475, 26, 90, 30));
    Button2 = button(this, QStringLiteral("Button2"), QStringLiteral("退 出"), QRect(580, 26, 90, 30));
    QLabel *title = label(this, QStringLiteral("题目维护界面"), 760, 22);
    QFont tf = title->font();
    tf.setPointSize(20);
    tf.setBold(true);
    title->setFont(tf);
    title->adjustSize();

    model = new TikuGridModel(this);
    DBGridEh1 = new QTableView(this);
    DBGridEh1->setObjectName(QStringLiteral("DBGridEh1"));
    DBGridEh1->setGeometry(12, 92, 920, 664);
    DBGridEh1->setModel(model);
    DBGridEh1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGridEh1->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGridEh1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    DBGridEh1->verticalHeader()->setDefaultSectionSize(24);
    DBGridEh1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    DBGridEh1->verticalHeader()->setFixedWidth(14);
    DBGridEh1->verticalHeader()->setStyleSheet(QStringLiteral("QHeaderView::section { color: transparent; }"));
    DBGridEh1->horizontalHeader()->setHighlightSections(false);
    DBGridEh1->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    DBGridEh1->horizontalHeader()->setStyleSheet(QStringLiteral(
        "QHeaderView::section { background: #ffff00; font-weight: bold; border: 1px solid #a0a0a0; padding: 2px; }"));
    for (int i = 0; i < TikuGridModel::columns().size(); ++i) {
        const int width = TikuGridModel::columns()[i].width;
        DBGridEh1->setColumnHidden(i, width == 0);
        if (width > 0)
            DBGridEh1->setColumnWidth(i, width);
    }

    // The menu opens from the context-menu event, which comes although the right button's press is
    // discarded: the row under the mouse is chosen there, before any item acts.
    DBGridEh1->setContextMenuPolicy(Qt::CustomContextMenu);
    auto item = [this](QAction *&action, const QString &name, const QString &caption) {
        action = new QAction(caption, DBGridEh1);
        action->setObjectName(name);
        auto *line = new QAction(DBGridEh1);
        line->setSeparator(true);
        DBGridEh1->addActions({action, line});
    };
    item(N1, QStringLiteral("N1"), QStringLiteral("---添加题目---"));
    item(N3, QStringLiteral("N3"), QStringLiteral("---修改题目---"));
    item(N5, QStringLiteral("N5"), QStringLiteral("---删除题目---"));
    item(N7, QStringLiteral("N7"), QStringLiteral("---设为已出---"));
    item(N9, QStringLiteral("N9"), QStringLiteral("---设为未出---"));
    item(N11, QStringLiteral("N11"), QStringLiteral("---题目导出---"));
    DBGridEh1->removeAction(DBGridEh1->actions().constLast()); // no line after the last item
    PopupMenu1 = new QMenu(DBGridEh1);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    PopupMenu1->addActions(DBGridEh1->actions());

    auto mover = [this](const QString &pictureName, const QString &buttonName, bool up, int y, const QString &caption,
                        Picture *&picture, QPushButton *&flat) {
        picture = new Picture(this, pictureName);
        picture->setGeometry(958, y, 40, 40);
        picture->setPixmap(moveArrow(up, 40));
        flat = new QPushButton(this);
        flat->setObjectName(buttonName);
        flat->setGeometry(958, y, 40, 40);
        flat->setFlat(true);
        flat->setFocusPolicy(Qt::NoFocus);
        flat->setAccessibleName(caption);
        flat->setToolTip(caption);
        label(this, caption, 946, y + 46);
    };
    mover(QStringLiteral("but_tmsy"), QStringLiteral("but_sy"), true, 300, QStringLiteral("题目上移"), but_tmsy, but_sy);
    mover(QStringLiteral("but_tmxy"), QStringLiteral("but_xy"), false, 420, QStringLiteral("题目下移"), but_tmxy, but_xy);

    Panel_daochu = new QFrame(this);
    Panel_daochu->setObjectName(QStringLiteral("Panel_daochu"));
    Panel_daochu->setGeometry(292, 270, 440, 210);
    Panel_daochu->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel_daochu->setLineWidth(2);
    Panel_daochu->setAutoFillBackground(true);
    QPalette pp = Panel_daochu->palette();
    pp.setColor(QPalette::Window, QColor(236, 233, 216));
    Panel_daochu->setPalette(pp);
    label(Panel_daochu, QStringLiteral("将选中的题目导出到："), 24, 18);
    label(Panel_daochu, QStringLiteral("第"), 24, 62);
    ed_dc_qs = issueBox(Panel_daochu, QStringLiteral("ed_dc_qs"), QRect(46, 57, 64, 28));
    label(Panel_daochu, QStringLiteral("期"), 116, 62);
    Label15 = label(Panel_daochu, QStringLiteral("分值类型："), 160, 62, QStringLiteral("Label15"));
    combo_dc_fzlx = groupList(Panel_daochu, QStringLiteral("combo_dc_fzlx"), QRect(244, 57, 70, 28));
    combo_dc_fzlx->addItems(question_bank::groupNames());
    combo_dc_fzlx->setEditText(QString());
    Label16 = label(Panel_daochu, QStringLiteral("组"), 320, 62, QStringLiteral("Label16"));
    but_daochu = button(Panel_daochu, QStringLiteral("but_daochu"), QStringLiteral("导出题目"), QRect(100, 110, 100, 30));
    but_close = button(Panel_daochu, QStringLiteral("but_close"), QStringLiteral("隐 藏"), QRect(240, 110, 100, 30));
    Bar_daochu = new QProgressBar(Panel_daochu);
    Bar_daochu->setObjectName(QStringLiteral("Bar_daochu"));
    Bar_daochu->setGeometry(24, 160, 392, 24);
    Bar_daochu->setRange(0, 100);
    Bar_daochu->hide();
    Panel_daochu->hide();

    auto run = [this](void (Tfrm_tmlr::*action)()) {
        return [this, action] { guard([this, action] { (this->*action)(); }); };
    };
    connect(ed_qs, &QSpinBox::valueChanged, this, run(&Tfrm_tmlr::issueChanged));
    // An emptied box names no number, which is issue 0; the box shows it once the operator leaves it.
    connect(ed_qs->findChild<QLineEdit *>(), &QLineEdit::textEdited, this, [this] {
        if (ed_qs->cleanText().trimmed().isEmpty())
            guard([this] { issueChanged(); });
    });
    ed_qs->installEventFilter(this);
    connect(DBGridEh1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &at) { guard([this, at] { openMenu(at); }); });
    connect(Combo_fzlx, &QComboBox::activated, this, run(&Tfrm_tmlr::runQuery));
    connect(Combo_fzlx->lineEdit(), &QLineEdit::textEdited, this, run(&Tfrm_tmlr::runQuery));
    connect(Button1, &QPushButton::clicked, this, run(&Tfrm_tmlr::runQuery));
    connect(but_tmdc, &QPushButton::clicked, this, run(&Tfrm_tmlr::openExport));
    connect(Button2, &QPushButton::clicked, this, &StageWindow::closeScreen);
    connect(DBGridEh1, &QAbstractItemView::doubleClicked, this, run(&Tfrm_tmlr::toggleUsed));
    connect(N1, &QAction::triggered, this, run(&Tfrm_tmlr::addQuestion));
    connect(N3, &QAction::triggered, this, run(&Tfrm_tmlr::editQuestion));
    connect(N5, &QAction::triggered, this, run(&Tfrm_tmlr::deleteQuestions));
    connect(N7, &QAction::triggered, this, [this] { guard([this] { markSelected(true); }); });
    connect(N9, &QAction::triggered, this, [this] { guard([this] { markSelected(false); }); });
    connect(N11, &QAction::triggered, this, run(&Tfrm_tmlr::openExport));
    connect(but_sy, &QPushButton::clicked, this, run(&Tfrm_tmlr::moveUp));
    connect(but_xy, &QPushButton::clicked, this, run(&Tfrm_tmlr::moveDown));
    connect(but_daochu, &QPushButton::clicked, this, run(&Tfrm_tmlr::exportQuestions));
    connect(but_close, &QPushButton::clicked, this, run(&Tfrm_tmlr::hideExport));
}

void Tfrm_tmlr::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    QLinearGradient g(0, 0, 0, height());
    g.setColorAt(0, QColor(192, 220, 192));
    g.setColorAt(1, QColor(0, 0, 255));
    p.fillRect(rect(), g);
    p.setPen(QPen(Qt::black, 1, Qt::DashLine));
    p.drawRect(4, 4, width() - 9, 80);
}

bool Tfrm_tmlr::keyUp(int key, Qt::KeyboardModifiers)
{
    if (key != vk::Escape)
        return false;
    closeScreen();
    return true;
}

void Tfrm_tmlr::onShow()
{
    // The data module is made after this screen: the grid takes its query at the first showing.
    if (!model->dataset()) {
        model->setDataset(&context().data->adoq_tmcx);
        grid::followCurrentRow(DBGridEh1, &context().data->adoq_tmcx);
    }
    Combo_fzlx->clear();
    Combo_fzlx->addItems(question_bank::groupNames());
    Combo_fzlx->setEditText(QString());
    Panel_daochu->hide();
    Label15->hide();
    Label16->hide();
    combo_dc_fzlx->hide();
    Bar_daochu->hide();
}

void Tfrm_tmlr::onClose()
{
    settleEmptiedIssue();
    context().data->adoq_tmcx.close();
}

bool Tfrm_tmlr::eventFilter(QObject *watched, QEvent *event)
{
    // Before the box itself puts back the number it held.
    if (watched == ed_qs && event->type() == QEvent::FocusOut)
        guard([this] { settleEmptiedIssue(); });
    return StageWindow::eventFilter(watched, event);
}

void Tfrm_tmlr::settleEmptiedIssue()
{
    if (ed_qs->cleanText().trimmed().isEmpty())
        ed_qs->setValue(0); // shows 0; from another number this runs issueChanged
}

int Tfrm_tmlr::issue() const
{
    // Never a half-typed text: the issue is a number 0..100, and an emptied box is 0.
    return ed_qs->cleanText().trimmed().isEmpty() ? 0 : ed_qs->value();
}

QString Tfrm_tmlr::issueText() const
{
    return QString::number(issue());
}

void Tfrm_tmlr::openMenu(const QPoint &at)
{
    const QModelIndex under = DBGridEh1->indexAt(at);
    if (under.isValid()) {
        const int row = under.row();
        QItemSelectionModel *s = DBGridEh1->selectionModel();
        // A row of the selection becomes current and the selection stays, for marking or exporting it
        // whole; any other row is selected alone.
        if (s->isRowSelected(row, QModelIndex()))
            s->setCurrentIndex(under, QItemSelectionModel::NoUpdate);
        else
            grid::selectRow(DBGridEh1, row);
    }
    PopupMenu1->popup(DBGridEh1->viewport()->mapToGlobal(at));
}

QString Tfrm_tmlr::groupText() const
{
    return Combo_fzlx->currentText().trimmed();
}

std::optional<QString> Tfrm_tmlr::checkedGroup(const QString &text)
{
    const QString group = text.trimmed();
    if (!group.isEmpty() && !question_bank::isGroup(group)) {
        context().dialogs().information(this, kBadGroup);
        return std::nullopt;
    }
    return group;
}

void Tfrm_tmlr::issueChanged()
{
    context().current_issue = issueText();
    Combo_fzlx->setEditText(QString());
    context().data->adoq_tmcx.close();
}

void Tfrm_tmlr::showGroup(const QString &group, const QString &sql)
{
    Dataset &q = context().data->adoq_tmcx;
    q.close();
    q.setSql(sql);
    q.bindText(QStringLiteral(":ls"), issueText());
    q.bindText(QStringLiteral(":ls2"), group);
    q.open();
}

void Tfrm_tmlr::runQuery()
{
    settleEmptiedIssue();
    context().current_issue = issueText();
    const std::optional<QString> group = checkedGroup(Combo_fzlx->currentText());
    if (!group) {
        context().data->adoq_tmcx.close();
        return;
    }
    if (!group->isEmpty()) {
        showGroup(*group, kShowGroup);
        return;
    }
    Dataset &q = context().data->adoq_tmcx;
    q.close();
    q.setSql(kShowIssue);
    q.bindText(QStringLiteral(":ls"), issueText());
    q.open();
}

void Tfrm_tmlr::toggleUsed()
{
    Dataset &q = context().data->adoq_tmcx;
    if (!q.isActive() || q.recNo() < 0)
        return;
    const int row = q.recNo();
    const QVariant used = q.value(QStringLiteral("tmyes"));
    q.edit();
    q.setValue(QStringLiteral("tmyes"), !(!used.isNull() && used.toBool()));
    q.post();
    grid::selectRow(DBGridEh1, row);
}

void Tfrm_tmlr::markSelected(bool used)
{
    Dataset &q = context().data->adoq_tmcx;
    if (!q.isActive())
        return;
    const QList<int> rows = grid::selectedRows(DBGridEh1);
    const int current = q.recNo();
    // Each post refreshes the grid and its selection, so the rows are taken first and selected again after.
    for (int row : rows) {
        if (row >= q.recordCount())
            continue;
        q.moveTo(row);
        q.edit();
        q.setValue(QStringLiteral("tmyes"), used);
        q.post();
    }
    if (rows.isEmpty())
        return;
    QItemSelection selection;
    for (int row : rows)
        selection.select(model->index(row, 0), model->index(row, model->columnCount() - 1));
    if (current >= 0 && current < q.recordCount())
        q.moveTo(current);
    DBGridEh1->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

void Tfrm_tmlr::openEntry(int mode)
{
    context().entry_mode = mode;
    if (Tfrm_tmlrxt *entry = context().screens.frm_tmlrxt)
        entry->openModal(this);
}

void Tfrm_tmlr::addQuestion()
{
    context().entry_mode = 1;
    const std::optional<QString> group = checkedGroup(Combo_fzlx->currentText());
    if (!group)
        return;
    if (group->isEmpty()) {
        context().dialogs().information(this, kNoGroupForAdd);
        return;
    }
    openEntry(1);
}

void Tfrm_tmlr::editQuestion()
{
    context().entry_mode = 2;
    const std::optional<QString> group = checkedGroup(Combo_fzlx->currentText());
    if (!group)
        return;
    if (group->isEmpty()) {
        context().dialogs().information(this, kNoGroupForEdit);
        return;
    }
    // Without a question in the grid there is nothing to edit, and a save would store a stray row.
    const Dataset &q = context().data->adoq_tmcx;
    if (!q.isActive() || q.recNo() < 0) {
        context().dialogs().information(this, kNoQuestionToEdit);
        return;
    }
    openEntry(2);
}

void Tfrm_tmlr::deleteQuestions()
{
    AppContext &c = context();
    if (!c.dialogs().confirm(this, QStringLiteral("确定要删除题目吗？")))
        return;
    const std::optional<QString> group = checkedGroup(Combo_fzlx->currentText());
    if (!group)
        return;
    TData &data = *c.data;
    Dataset &grid = data.adoq_tmcx;
    if (group->isEmpty()) {
        if (!c.dialogs().confirm(this, QStringLiteral("确定要删除此环节全部题目吗？")))
            return;
        Dataset &ls = data.adoq_ls;
        ls.close();
        ls.setSql(kDeleteIssue);
        ls.bindText(QStringLiteral(":ls"), issueText());
        ls.execute();
        grid.close();
        grid.setSql(kShowDeletedIssue);
        grid.bindText(QStringLiteral(":ls"), issueText());
        grid.open();
        return;
    }
    QList<Dataset::Bookmark> marks;
    if (grid.isActive()) {
        for (int row : grid::selectedRows(DBGridEh1)) {
            if (row < grid.recordCount()) {
                grid.moveTo(row);
                marks << grid.bookmark();
            }
        }
    }
    // The deletions and the renumbering are stored together or not at all, so a failure in between
    // never leaves a group with a gap or a question lost without its neighbours renumbered.
    try {
        data.ADOConnection1.transaction([&] {
            for (Dataset::Bookmark mark : std::as_const(marks))
                if (grid.gotoBookmark(mark))
                    grid.deleteRow();
            Dataset &ls = data.adoq_ls;
            ls.close();
            ls.setSql(kShowGroup);
            ls.bindText(QStringLiteral(":ls"), issueText());
            ls.bindText(QStringLiteral(":ls2"), *group);
            ls.open();
            for (int r = 0; r < ls.recordCount(); ++r) {
                ls.moveTo(r);
                ls.edit();
                ls.setValue(QStringLiteral("ctsx"), r + 1);
                ls.post();
            }
        });
    } catch (...) {
        showGroup(*group, kShowGroupAfterDelete); // the grid shows what is stored again
        throw;
    }
    showGroup(*group, kShowGroupAfterDelete);
}

void Tfrm_tmlr::moveUp()
{
    move(-1);
}

void Tfrm_tmlr::moveDown()
{
    move(+1);
}

void Tfrm_tmlr::move(int step)
{
    const std::optional<QString> checked = checkedGroup(Combo_fzlx->currentText());
    if (!checked)
        return;
    const QString group = *checked;
    if (group.isEmpty()) {
        context().dialogs().information(this, kNoGroupForMove);
        return;
    }
    TData &data = *context().data;
    Dataset &grid = data.adoq_tmcx;
    if (!grid.isActive() || grid.recNo() < 0)
        return;
    const int a = grid.value(QStringLiteral("ctsx")).toInt();
    if (step < 0 ? a == 1 : a >= grid.recordCount())
        return;
    Dataset &sy = data.adoq_sy;
    sy.close();
    sy.setSql(kNeighbour);
    sy.bindInt(QStringLiteral(":ls1"), issue());
    sy.bindInt(QStringLiteral(":ls2"), a + step);
    sy.bindText(QStringLiteral(":ls3"), group);
    sy.open();
    if (sy.isEmpty())
        return;
    const int b = sy.value(QStringLiteral("ctsx")).toInt();
    const QString &swap = step < 0 ? kSwapUp : kSwapDown;
    auto update = [&](const QVariant &from, const QVariant &to) {
        sy.close();
        sy.setSql(swap);
        sy.bindText(QStringLiteral(":ls1"), issueText());
        from.typeId() == QMetaType::Int ? sy.bindInt(QStringLiteral(":ls2"), from.toInt())
                                        : sy.bindText(QStringLiteral(":ls2"), from.toString());
        to.typeId() == QMetaType::Int ? sy.bindInt(QStringLiteral(":ls3"), to.toInt())
                                      : sy.bindText(QStringLiteral(":ls3"), to.toString());
        sy.bindText(QStringLiteral(":ls4"), group);
        sy.execute();
    };
    // The exchange through the parking number -1 is stored whole or not at all: an interrupted move
    // never leaves a question numbered -1.
    try {
        data.ADOConnection1.transaction([&] {
            update(b, QStringLiteral("-1"));
            update(a, b);
            update(QStringLiteral("-1"), a);
        });
    } catch (...) {
        showGroup(group, kShowGroup);
        throw;
    }
    showGroup(group, kShowGroup);
    // The cursor rests on the moved question at its new place.
    const int column = grid.fieldNames().indexOf(QStringLiteral("ctsx"));
    for (int r = 0; column >= 0 && r < grid.recordCount(); ++r) {
        if (grid.valueAt(r, column).toInt() == b) {
            grid.moveTo(r);
            grid::selectRow(DBGridEh1, r);
            break;
        }
    }
}

void Tfrm_tmlr::openExport()
{
    ed_dc_qs->setValue(issue());
    combo_dc_fzlx->setEditText(QString());
    Bar_daochu->hide();
    combo_dc_fzlx->show();
    Label15->show();
    Label16->show();
    Panel_daochu->show();
    Panel_daochu->raise();
}

void Tfrm_tmlr::hideExport()
{
    Panel_daochu->hide();
}

void Tfrm_tmlr::exportQuestions()
{
    const QString g = combo_dc_fzlx->currentText().trimmed();
    if (g.isEmpty())
        return;
    if (!checkedGroup(g))
        return;
    AppContext &c = context();
    TData &data = *c.data;
    Dataset &source = data.adoq_tmcx;
    const QList<int> rows = source.isActive() ? grid::selectedRows(DBGridEh1) : QList<int>();
    if (rows.isEmpty()) {
        c.dialogs().information(this, kNoneSelected);
        return;
    }
    const QString target = QString::number(ed_dc_qs->value());
    // The rows are read where they stand: moving the grid's cursor through them would scroll and
    // repaint the grid once per question.
    const QStringList columns = source.fieldNames();
    auto column = [&columns](const QString &name) {
        for (int i = 0; i < columns.size(); ++i)
            if (columns[i].compare(name, Qt::CaseInsensitive) == 0)
                return i;
        throw AppError(QStringLiteral("adoq_tmcx: Field '%1' not found").arg(name));
    };
    const int typeColumn = column(QStringLiteral("tmlx"));
    // Screen events run once per question so that the bar moves; the operator's input waits, so no
    // second export or close can start in the middle of this one.
    auto repaint = [] { QApplication::processEvents(QEventLoop::ExcludeUserInputEvents); };
    Bar_daochu->setValue(10);
    Bar_daochu->show();
    repaint();
    Dataset &ls = data.adoq_ls;
    // The copies are stored together or not at all: a failure leaves the target group as it was.
    try {
        data.ADOConnection1.transaction([&] {
            ls.close();
            ls.setSql(kHighestOrder);
            ls.bindInt(QStringLiteral(":ls"), ed_dc_qs->value());
            ls.bindText(QStringLiteral(":ls2"), g);
            ls.open();
            int n = ls.isNull(QStringLiteral("max_bh")) ? 0 : ls.value(QStringLiteral("max_bh")).toInt();
            Bar_daochu->setValue(30);
            ls.close();
            ls.setSql(kTargetRows);
            ls.open();
            Bar_daochu->setValue(50);
            for (int row : rows) {
                repaint();
                ++n;
                const QList<question_bank::CopiedField> fields =
                    question_bank::copiedFields(source.valueAt(row, typeColumn).toString().trimmed());
                if (fields.isEmpty())
                    continue; // an unknown type is not copied, but its number is used up
                ls.append();
                ls.setValue(QStringLiteral("qs"), target);
                ls.setValue(QStringLiteral("ctsx"), n);
                ls.setValue(QStringLiteral("tmfz"), g);
                ls.setValue(QStringLiteral("tmyes"), false);
                for (const question_bank::CopiedField &f : fields) {
                    const QVariant v = source.valueAt(row, column(f.name));
                    ls.setValue(f.name, f.trimmed && !v.isNull() ? QVariant(v.toString().trimmed()) : v);
                }
                ls.post();
            }
        });
    } catch (...) {
        Bar_daochu->hide();
        throw;
    }
    Bar_daochu->setValue(100);
    Bar_daochu->hide();
    c.dialogs().information(this, QStringLiteral("题目已经成功导出到第 ") + target + QStringLiteral(" ") + QStringLiteral("期题库中！"));
    Panel_daochu->hide();
    ed_dc_qs->setValue(issue());
}
