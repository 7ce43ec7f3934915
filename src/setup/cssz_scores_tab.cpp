#include "cssz_scores_tab.h"

#include "cssz_widgets.h"
#include "setup_rules.h"
#include "ui/grid_view.h"
#include "ui/shadow_label.h"
#include "ui/stage_window.h"

#include <QAction>
#include <QHeaderView>
#include <QTableView>

namespace cssz {

namespace {

const QString kAllSql = QStringLiteral("select * from pwdf order by lunshu,bh");

} // namespace

ScoresTab::ScoresTab(StageWindow &screen) : m_screen(screen)
{
    setObjectName(QStringLiteral("TabSheet3"));
    Dataset &query = screen.context().data->adoq_xswh;

    model = new StyledGridModel(&query, this);
    StyledGridModel::Style red;
    red.foreground = QColor(255, 0, 0);
    for (const setup_rules::ScoreColumn &c : setup_rules::scoreColumns()) {
        model->setCaption(c.name, c.title);
        if (c.red)
            model->setStyle(c.name, red);
    }
    DBGridEh2 = grid(this, QStringLiteral("DBGridEh2"), QRect(0, 3, 1000, 606), model);
    model->setDefaultFont(stageFont(QStringLiteral("宋体"), 14, true));
    auto layOut = [this] {
        const QStringList names = model->dataset()->fieldNames();
        for (int i = 0; i < names.size(); ++i) {
            int width = 0;
            for (const setup_rules::ScoreColumn &c : setup_rules::scoreColumns())
                if (c.name.compare(names[i], Qt::CaseInsensitive) == 0)
                    width = c.width;
            DBGridEh2->setColumnHidden(i, width == 0);
            if (width > 0)
                DBGridEh2->setColumnWidth(i, width);
        }
    };
    connect(model, &QAbstractItemModel::modelReset, this, layOut);
    grid::followCurrentRow(DBGridEh2, &query);
    auto *before = new QAction(DBGridEh2);
    before->setSeparator(true);
    menu_delete = new QAction(QStringLiteral("--删除数据--"), DBGridEh2);
    menu_delete->setObjectName(QStringLiteral("menu_delete_scores"));
    auto *after = new QAction(DBGridEh2);
    after->setSeparator(true);
    DBGridEh2->addActions({before, menu_delete, after});

    label(this, QStringLiteral("比赛轮数："), 40, 620, -1, QStringLiteral("Label51"));
    combo_lunshu = combo(this, QStringLiteral("combo_lunshu"), 108, 620, 101, numbers(4), QString());
    Button9 = button(this, QStringLiteral("Button9"), QStringLiteral("单个删除"), 382, 622, 90);
    Button7 = button(this, QStringLiteral("Button7"), QStringLiteral("全部删除"), 502, 622, 90);
    Button8 = button(this, QStringLiteral("Button8"), QStringLiteral("资料导出"), 622, 622, 90);

    connect(combo_lunshu, &QComboBox::currentTextChanged, this, [this] { m_screen.guard([this] { filterByRound(); }); });
    // The button lists every round again whatever the answer; the menu item only after a Yes.
    connect(Button9, &QPushButton::clicked, this, [this] {
        m_screen.guard([this] {
            struct Relist {
                ScoresTab *tab;
                ~Relist() { tab->m_screen.guard([this] { tab->listAll(); }); }
            } relist{this};
            deleteRows();
        });
    });
    connect(menu_delete, &QAction::triggered, this, [this] {
        m_screen.guard([this] {
            if (deleteRows())
                listAll();
        });
    });
    connect(Button7, &QPushButton::clicked, this, [this] { m_screen.guard([this] { deleteAll(); }); });
    connect(Button8, &QPushButton::clicked, this, [this] { m_screen.guard([this] { exportRows(); }); });
}

void ScoresTab::listAll()
{
    Dataset &q = m_screen.context().data->adoq_xswh;
    q.close();
    q.setSql(kAllSql);
    q.open();
}

void ScoresTab::filterByRound()
{
    Dataset &q = m_screen.context().data->adoq_xswh;
    const QString round = combo_lunshu->currentText().trimmed();
    q.close();
    if (round.isEmpty()) {
        q.setSql(kAllSql);
    } else {
        q.setSql(QStringLiteral("select * from pwdf where lunshu=:ls order by lunshu,bh"));
        q.bindText(QStringLiteral(":ls"), round);
    }
    q.open();
}

bool ScoresTab::deleteRows()
{
    AppContext &c = m_screen.context();
    if (!c.dialogs().confirm(&m_screen, QStringLiteral("确定要删除此项数据吗？")))
        return false;
    Dataset &q = c.data->adoq_xswh;
    if (!q.isActive() || q.isEmpty())
        return true;
    QList<qint64> marks = selectedBookmarks(DBGridEh2, &q);
    if (marks.isEmpty())
        marks << q.bookmark();
    // All the chosen rows go, or none of them; after a failure the grid shows what is stored.
    try {
        c.data->ADOConnection1.transaction([&] {
            for (qint64 mark : std::as_const(marks))
                if (q.gotoBookmark(mark))
                    q.deleteRow();
        });
    } catch (...) {
        listAll();
        throw;
    }
    return true;
}

void ScoresTab::deleteAll()
{
    AppContext &c = m_screen.context();
    struct Relist {
        ScoresTab *tab;
        ~Relist() { tab->m_screen.guard([this] { tab->listAll(); }); }
    } relist{this};
    if (!c.dialogs().confirm(&m_screen, QStringLiteral("确定要删除全部评分数据吗？")))
        return;
    Dataset &q = c.data->adoq_xswh;
    q.close();
    q.setSql(QStringLiteral("delete from pwdf"));
    q.execute();
}

void ScoresTab::exportRows()
{
    const AppContext &c = m_screen.context();
    c.services.spreadsheet->show(setup_rules::kExportCaption, setup_rules::exportCells(c.data->adoq_xswh));
}

} // namespace cssz
