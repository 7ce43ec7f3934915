#include "cssz_roster_tab.h"

#include "cssz_widgets.h"
#include "media/asset_paths.h"
#include "settings/settings_keys.h"
#include "ui/grid_view.h"
#include "ui/picture.h"
#include "ui/shadow_label.h"
#include "ui/stage_window.h"

#include <QAction>
#include <QEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QPainter>
#include <QTableView>

namespace cssz {

namespace {

const QString kPhotoFilter = QStringLiteral("JPEG Image File (*.jpg);;JPEG Image File (*.jpeg)");
const QString kProfileFilter = QStringLiteral("PowerPoint File (*.ppt)");
const QString kListSql = QStringLiteral("select * from xsb order by bh");

struct RosterColumn {
    const char *name;
    const char *title;
    int width;
};
const RosterColumn kColumns[] = {
    {"bh", "上场顺序", 60}, {"xm", "选手姓名", 200}, {"fz", "分组", 70}, {"zppath", "选手照片", 150}, {"xszl", "选手资料", 100},
};

QLabel *detailLabel(QWidget *parent, const QString &caption, const QString &name, int y)
{
    label(parent, caption, 12, y + 2);
    auto *panel = new QFrame(parent);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setGeometry(80, y, 140, 26);
    auto *l = new QLabel(panel);
    l->setObjectName(name);
    l->setGeometry(4, 2, 132, 22);
    return l;
}

} // namespace

RosterTab::RosterTab(StageWindow &screen) : m_screen(screen)
{
    setObjectName(QStringLiteral("TabSheet2"));
    TData &data = *screen.context().data;
    QGroupBox *g = group(this, QStringLiteral("选手参数设置："), QRect(5, 5, 990, 655));

    model = new StyledGridModel(&data.adoq_xscx, this);
    for (const RosterColumn &c : kColumns)
        model->setCaption(QString::fromLatin1(c.name), QString::fromUtf8(c.title));
    StyledGridModel::Style order;
    order.background = QColor(255, 255, 204);
    model->setStyle(QStringLiteral("bh"), order);
    StyledGridModel::Style name;
    name.font = stageFont(QStringLiteral("宋体"), 16, true);
    name.hasFont = true;
    name.foreground = QColor(255, 0, 0);
    model->setStyle(QStringLiteral("xm"), name);
    DBGridEh1 = grid(g, QStringLiteral("DBGridEh1"), QRect(8, 24, 649, 457), model);
    DBGridEh1->viewport()->installEventFilter(this);
    auto layOut = [this] {
        const QStringList names = model->dataset()->fieldNames();
        for (int i = 0; i < names.size(); ++i) {
            int width = 0;
            for (const RosterColumn &c : kColumns)
                if (names[i].compare(QLatin1String(c.name), Qt::CaseInsensitive) == 0)
                    width = c.width;
            DBGridEh1->setColumnHidden(i, width == 0);
            if (width > 0)
                DBGridEh1->setColumnWidth(i, width);
        }
    };
    connect(model, &QAbstractItemModel::modelReset, this, layOut);
    grid::followCurrentRow(DBGridEh1, &data.adoq_xscx);
    auto *before = new QAction(DBGridEh1);
    before->setSeparator(true);
    menu_delete = new QAction(QStringLiteral("--删除选手--"), DBGridEh1);
    menu_delete->setObjectName(QStringLiteral("menu_delete"));
    auto *after = new QAction(DBGridEh1);
    after->setSeparator(true);
    DBGridEh1->addActions({before, menu_delete, after});

    auto mover = [g](const QString &pictureName, const QString &buttonName, bool up, int y, const QString &caption,
                     Picture *&picture, QPushButton *&flat) {
        picture = new Picture(g, pictureName);
        picture->setGeometry(677, y, 32, 32);
        picture->setPixmap(moveArrow(up, 32));
        flat = new QPushButton(g);
        flat->setObjectName(buttonName);
        flat->setGeometry(677, y, 32, 32);
        flat->setFlat(true);
        flat->setToolTip(caption);
        flat->setAccessibleName(caption);
        label(g, caption, 667, y + 36);
    };
    mover(QStringLiteral("but_tmsy"), QStringLiteral("but_sy"), true, 151, QStringLiteral("选手上移"), but_tmsy, but_sy);
    mover(QStringLiteral("but_tmxy"), QStringLiteral("but_xy"), false, 256, QStringLiteral("选手下移"), but_tmxy, but_xy);

    label(g, QStringLiteral("选手个数："), 688, 30, -1, QStringLiteral("Label55"));
    combo_xsgs = combo(g, QStringLiteral("combo_xsgs"), 755, 30, 125, {}, QString());

    QGroupBox *added = group(g, QStringLiteral("新增选手"), QRect(12, 506, 709, 148));
    label(added, QStringLiteral("选手姓名："), 15, 30);
    ed_xsxm = edit(added, QStringLiteral("ed_xsxm"), 85, 30, 170);
    label(added, QStringLiteral("选手分组："), 15, 75);
    ed_xsfz = edit(added, QStringLiteral("ed_xsfz"), 85, 75, 170);
    label(added, QStringLiteral("选手照片："), 280, 30);
    ed_xszp = edit(added, QStringLiteral("ed_xszp"), 350, 30, 150);
    SpeedButton1 = button(added, QStringLiteral("SpeedButton1"), QStringLiteral("选择照片"), 505, 29, 80);
    label(added, QStringLiteral("选手资料："), 280, 75);
    ed_xszl = edit(added, QStringLiteral("ed_xszl"), 350, 75, 150);
    SpeedButton2 = button(added, QStringLiteral("SpeedButton2"), QStringLiteral("选择资料"), 505, 74, 80);
    Button4 = button(g, QStringLiteral("Button4"), QStringLiteral("保 存"), 616, 532);
    Button3 = button(g, QStringLiteral("Button3"), QStringLiteral("删 除"), 616, 612);

    QGroupBox *details = group(g, QStringLiteral("选手详细资料"), QRect(749, 84, 233, 565));
    lab_xsxm = detailLabel(details, QStringLiteral("选手姓名："), QStringLiteral("lab_xsxm"), 28);
    lab_xsfz = detailLabel(details, QStringLiteral("选手分组："), QStringLiteral("lab_xsfz"), 64);
    lab_xszp = detailLabel(details, QStringLiteral("选手照片："), QStringLiteral("lab_xszp"), 100);
    lab_xszl = detailLabel(details, QStringLiteral("选手资料："), QStringLiteral("lab_xszl"), 136);
    QGroupBox *preview = group(details, QStringLiteral("选手照片预览"), QRect(10, 176, 213, 225));
    image_xszp = new Picture(preview, QStringLiteral("image_xszp"));
    image_xszp->setGeometry(11, 24, 190, 191);
    image_xszp->setStretch(true);
    Button6 = button(details, QStringLiteral("Button6"), QStringLiteral("资料预览"), 74, 420, 85, 28);

    auto run = [this](void (RosterTab::*action)()) {
        return [this, action] { m_screen.guard([this, action] { (this->*action)(); }); };
    };
    connect(SpeedButton1, &QPushButton::clicked, this, run(&RosterTab::choosePhoto));
    connect(SpeedButton2, &QPushButton::clicked, this, run(&RosterTab::chooseProfile));
    connect(Button4, &QPushButton::clicked, this, run(&RosterTab::addContestant));
    connect(Button3, &QPushButton::clicked, this, run(&RosterTab::deleteContestants));
    connect(menu_delete, &QAction::triggered, this, run(&RosterTab::deleteContestants));
    connect(but_sy, &QPushButton::clicked, this, run(&RosterTab::moveUp));
    connect(but_xy, &QPushButton::clicked, this, run(&RosterTab::moveDown));
    connect(Button6, &QPushButton::clicked, this, run(&RosterTab::openProfile));
}

bool RosterTab::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == DBGridEh1->viewport() && event->type() == QEvent::MouseButtonRelease)
        m_screen.guard([this] { showDetails(); });
    return QWidget::eventFilter(watched, event);
}

void RosterTab::clearNewContestant()
{
    for (QLineEdit *e : {ed_xsxm, ed_xsfz, ed_xszp, ed_xszl})
        e->clear();
}

void RosterTab::clearDetails()
{
    for (QLabel *l : {lab_xsxm, lab_xsfz, lab_xszp, lab_xszl})
        l->clear();
    image_xszp->clear();
}

void RosterTab::clearInputs()
{
    clearNewContestant();
    clearDetails();
    combo_xsgs->clear();
}

void RosterTab::loadCount()
{
    combo_xsgs->setEditText(m_screen.context().settings.read(keys::kContest, keys::kContestantCount).trimmed());
}

void RosterTab::fillCountChoices()
{
    const QString shown = combo_xsgs->currentText();
    combo_xsgs->addItems(numbers(100));
    combo_xsgs->setEditText(shown);
}

void RosterTab::reopen()
{
    Dataset &x = m_screen.context().data->adoq_xscx;
    x.close();
    x.setSql(kListSql);
    x.open();
}

void RosterTab::openList()
{
    Dataset &x = m_screen.context().data->adoq_xscx;
    x.close();
    x.setSql(kListSql + QLatin1Char(' '));
    x.open();
}

void RosterTab::showDetails()
{
    const AppContext &c = m_screen.context();
    const Dataset &x = c.data->adoq_xscx;
    if (!x.isActive() || x.recNo() < 0 || x.fieldNames().size() < 2)
        return;
    lab_xsxm->setText(x.text(QStringLiteral("xm")).trimmed());
    lab_xsfz->setText(x.text(QStringLiteral("fz")).trimmed());
    const QString photo = x.text(QStringLiteral("zppath")).trimmed();
    lab_xszp->setText(photo);
    lab_xszl->setText(x.text(QStringLiteral("xszl")).trimmed());
    if (photo.isEmpty()) {
        image_xszp->clear();
        return;
    }
    image_xszp->clear();
    const QString file = c.paths.named(assets::kContestantPhotos, photo);
    image_xszp->loadFile(file.isEmpty() ? c.paths.file(assets::kContestantPhotos) + photo : file);
}

void RosterTab::choosePhoto()
{
    const AppContext &c = m_screen.context();
    const QString folder = c.paths.file(assets::kContestantPhotos);
    const QString chosen = c.dialogs().openFile(&m_screen, folder, kPhotoFilter);
    if (chosen.isEmpty())
        return;
    // The scoring screen shows this photo under the final score: one it cannot show is refused now.
    checkPhoto(chosen);
    ed_xszp->setText(adoptFile(chosen, folder));
}

void RosterTab::chooseProfile()
{
    const AppContext &c = m_screen.context();
    const QString folder = c.paths.file(assets::kContestantProfiles);
    const QString chosen = c.dialogs().openFile(&m_screen, folder, kProfileFilter);
    if (!chosen.isEmpty())
        ed_xszl->setText(adoptFile(chosen, folder));
}

void RosterTab::addContestant()
{
    const QString name = ed_xsxm->text().trimmed();
    if (name.isEmpty())
        return;
    // A photo named by hand that lies in the folder yet cannot be shown is refused like a chosen one;
    // a name without a file stays allowed (the scoring screen then shows the score without photo).
    const AppContext &c = m_screen.context();
    const QString photo = c.paths.named(assets::kContestantPhotos, ed_xszp->text().trimmed());
    if (!photo.isEmpty() && QFileInfo(photo).isFile())
        checkPhoto(photo);
    Dataset &x = c.data->adoq_xscx;
    try {
        x.close();
        x.setSql(QStringLiteral("select max(bh) as nummax from xsb"));
        x.open();
        const int last = x.isNull(QStringLiteral("nummax")) ? 0 : x.value(QStringLiteral("nummax")).toInt();
        x.close();
        x.setSql(QStringLiteral("select * from xsb"));
        x.open();
        x.append();
        x.setValue(QStringLiteral("bh"), QString::number(last + 1));
        x.setValue(QStringLiteral("xm"), name);
        x.setValue(QStringLiteral("fz"), ed_xsfz->text().trimmed());
        x.setValue(QStringLiteral("zppath"), ed_xszp->text().trimmed());
        x.setValue(QStringLiteral("xszl"), ed_xszl->text().trimmed());
        x.post();
    } catch (...) {
        x.cancel();
        reopen(); // the grid lists the roster again, whatever failed
        throw;
    }
    reopen();
    clearNewContestant();
    clearDetails();
}

void RosterTab::deleteContestants()
{
    AppContext &c = m_screen.context();
    if (!c.dialogs().confirm(&m_screen, QStringLiteral("确定要删除选手吗？")))
        return;
    Dataset &x = c.data->adoq_xscx;
    const QList<qint64> marks = selectedBookmarks(DBGridEh1, &x);
    // The deletions and the renumbering are stored together or not at all.
    try {
        c.data->ADOConnection1.transaction([&] {
            for (qint64 mark : marks)
                if (x.gotoBookmark(mark))
                    x.deleteRow();
            Dataset &ls = c.data->adoq_ls;
            ls.close();
            ls.setSql(kListSql);
            ls.open();
            for (int r = 0; r < ls.recordCount(); ++r) {
                ls.moveTo(r);
                ls.edit();
                ls.setValue(QStringLiteral("bh"), r + 1);
                ls.post();
            }
        });
    } catch (...) {
        reopen();
        throw;
    }
    reopen();
}

void RosterTab::moveUp()
{
    move(-1);
}

void RosterTab::moveDown()
{
    move(+1);
}

void RosterTab::move(int step)
{
    TData &data = *m_screen.context().data;
    Dataset &x = data.adoq_xscx;
    if (!x.isActive() || x.recNo() < 0)
        return;
    const int a = x.value(QStringLiteral("bh")).toInt();
    if (step < 0 ? a <= 1 : a >= x.recordCount())
        return;
    Dataset &sy = data.adoq_sy;
    sy.close();
    sy.setSql(QStringLiteral("select * from xsb where  bh=:ls2 "));
    sy.bindInt(QStringLiteral(":ls2"), a + step);
    sy.open();
    if (sy.isEmpty())
        return;
    const int b = sy.value(QStringLiteral("bh")).toInt();
    auto update = [&sy](const QVariant &from, const QVariant &to) {
        sy.close();
        sy.setSql(QStringLiteral("update xsb set bh=:ls3 where bh=:ls2"));
        from.typeId() == QMetaType::Int ? sy.bindInt(QStringLiteral(":ls2"), from.toInt())
                                        : sy.bindText(QStringLiteral(":ls2"), from.toString());
        to.typeId() == QMetaType::Int ? sy.bindInt(QStringLiteral(":ls3"), to.toInt())
                                      : sy.bindText(QStringLiteral(":ls3"), to.toString());
        sy.execute();
    };
    // The exchange through the spare number -1 is stored whole or not at all: an interrupted move never
    // leaves a contestant numbered -1.
    data.ADOConnection1.transaction([&] {
        update(b, QStringLiteral("-1"));
        update(a, b);
        update(QStringLiteral("-1"), a);
    });
    reopen();
    // The cursor follows the moved contestant to its new place.
    const QStringList names = x.fieldNames();
    int column = -1;
    for (int i = 0; i < names.size(); ++i)
        if (names[i].compare(QLatin1String("bh"), Qt::CaseInsensitive) == 0)
            column = i;
    for (int r = 0; column >= 0 && r < x.recordCount(); ++r) {
        if (x.valueAt(r, column).toInt() == b) {
            x.moveTo(r);
            grid::selectRow(DBGridEh1, r);
            break;
        }
    }
}

void RosterTab::openProfile()
{
    const QString name = lab_xszl->text().trimmed();
    if (name.isEmpty())
        return;
    const AppContext &c = m_screen.context();
    const QString file = c.paths.named(assets::kContestantProfiles, name);
    c.services.slides->run(file.isEmpty() ? c.paths.file(assets::kContestantProfiles) + name : file);
}

void RosterTab::fillForm(setup_rules::SettingsForm &f) const
{
    f.contestantCount = combo_xsgs->currentText();
}

} // namespace cssz
