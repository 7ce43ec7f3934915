#include "cssz_widgets.h"

#include "data/dataset.h"
#include "settings/app_error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QImageReader>
#include <QTableView>

namespace cssz {

QLabel *label(QWidget *parent, const QString &text, int x, int y, int w, const QString &name)
{
    auto *l = new QLabel(text, parent);
    if (!name.isEmpty())
        l->setObjectName(name);
    l->adjustSize();
    l->move(x, y + 3);
    if (w > 0)
        l->resize(w, l->height());
    return l;
}

QLineEdit *edit(QWidget *parent, const QString &name, int x, int y, int w)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setGeometry(x, y, w, 22);
    return e;
}

QComboBox *combo(QWidget *parent, const QString &name, int x, int y, int w, const QStringList &items,
                 const QString &designText)
{
    auto *c = new QComboBox(parent);
    c->setObjectName(name);
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    c->addItems(items);
    c->setEditText(designText);
    c->setGeometry(x, y, w, 22);
    c->setMaxVisibleItems(20);
    return c;
}

QPushButton *button(QWidget *parent, const QString &name, const QString &text, int x, int y, int w, int h)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setGeometry(x, y, w, h);
    b->setAutoDefault(false);
    return b;
}

QGroupBox *group(QWidget *parent, const QString &title, const QRect &rect, const QString &name)
{
    auto *g = new QGroupBox(title, parent);
    if (!name.isEmpty())
        g->setObjectName(name);
    g->setGeometry(rect);
    return g;
}

QStringList numbers(int n)
{
    QStringList s;
    for (int i = 1; i <= n; ++i)
        s << QString::number(i);
    return s;
}

QVariant StyledGridModel::data(const QModelIndex &index, int role) const
{
    if (role == Qt::FontRole || role == Qt::ForegroundRole || role == Qt::BackgroundRole) {
        if (!dataset() || !index.isValid())
            return {};
        const auto it = m_styles.constFind(dataset()->fieldNames().value(index.column()).toLower());
        const bool ownFont = it != m_styles.constEnd() && it->hasFont;
        if (role == Qt::FontRole)
            return ownFont ? QVariant(it->font) : m_defaultFont ? QVariant(*m_defaultFont) : QVariant();
        if (it == m_styles.constEnd())
            return {};
        const QColor c = role == Qt::ForegroundRole ? it->foreground : it->background;
        return c.isValid() ? QVariant(c) : QVariant();
    }
    return GridModel::data(index, role);
}

QVariant StyledGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::TextAlignmentRole)
        return int(Qt::AlignCenter);
    return GridModel::headerData(section, orientation, role);
}

QTableView *grid(QWidget *parent, const QString &name, const QRect &rect, GridModel *model)
{
    auto *v = new QTableView(parent);
    v->setObjectName(name);
    v->setGeometry(rect);
    v->setModel(model);
    v->setEditTriggers(QAbstractItemView::NoEditTriggers);
    v->setSelectionBehavior(QAbstractItemView::SelectRows);
    v->setSelectionMode(QAbstractItemView::ExtendedSelection);
    v->verticalHeader()->setDefaultSectionSize(22);
    v->verticalHeader()->setFixedWidth(14);
    v->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    v->horizontalHeader()->setHighlightSections(false);
    v->horizontalHeader()->setStyleSheet(QStringLiteral(
        "QHeaderView::section { background: #ffff00; font-weight: bold; border: 1px solid #a0a0a0; padding: 2px; }"));
    v->verticalHeader()->setStyleSheet(QStringLiteral("QHeaderView::section { color: transparent; }"));
    v->setContextMenuPolicy(Qt::ActionsContextMenu);
    return v;
}

QList<qint64> selectedBookmarks(QTableView *view, Dataset *dataset)
{
    QList<int> rows;
    for (const QItemSelectionRange &range : view->selectionModel()->selection())
        for (int r = range.top(); r <= range.bottom(); ++r)
            if (!rows.contains(r))
                rows << r;
    QList<qint64> marks;
    for (int r : std::as_const(rows)) {
        if (r >= dataset->recordCount())
            continue;
        dataset->moveTo(r);
        marks << dataset->bookmark();
    }
    return marks;
}

namespace {

bool sameContent(const QString &a, const QString &b)
{
    QFile fa(a), fb(b);
    if (fa.size() != fb.size() || !fa.open(QIODevice::ReadOnly) || !fb.open(QIODevice::ReadOnly))
        return false;
    return fa.readAll() == fb.readAll();
}

} // namespace

void checkPhoto(const QString &path)
{
    if (!QFileInfo(path).isFile())
        throw AppError(QStringLiteral("找不到照片文件“%1”。").arg(path));
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    // Decoded whole: a picture cut short passes a look at its header, yet cannot be shown.
    if (reader.read().isNull())
        throw AppError(QStringLiteral("“%1”不是可以显示的图片，请选择JPEG照片。\n%2")
                           .arg(QFileInfo(path).fileName(), reader.errorString()));
}

QString adoptFile(const QString &path, const QString &folder)
{
    const QFileInfo source(path);
    const QDir target(folder);
    if (source.absoluteDir().canonicalPath() == target.canonicalPath() && !target.canonicalPath().isEmpty())
        return source.fileName();
    if (!source.isFile())
        throw AppError(QStringLiteral("Cannot open file \"%1\". The system cannot find the file specified.").arg(path));
    if (!QDir().mkpath(folder))
        throw AppError(QStringLiteral("Unable to write to %1").arg(folder));
    QString name = source.fileName();
    for (int n = 1; QFileInfo::exists(target.filePath(name)); ++n) {
        if (sameContent(path, target.filePath(name)))
            return name;
        name = source.completeBaseName() + QStringLiteral("_%1").arg(n)
               + (source.suffix().isEmpty() ? QString() : QLatin1Char('.') + source.suffix());
    }
    if (!QFile::copy(path, target.filePath(name)))
        throw AppError(QStringLiteral("Unable to write to %1").arg(target.filePath(name)));
    return name;
}

} // namespace cssz
