#include "tmlr_grid.h"

#include "data/dataset.h"
#include "ui/shadow_label.h"

#include <QColor>
#include <QFont>


const QList<TikuGridModel::Column> &TikuGridModel::columns()
{
    static const QList<Column> list = {
        {QStringLiteral("qs"), QStringLiteral("期数"), 60},
        {QStringLiteral("ctsx"), QStringLiteral("出题顺序"), 80},
        {QStringLiteral("bshj"), QStringLiteral("环节名称"), 0},
        {QStringLiteral("tmfz"), QStringLiteral("题目分组"), 90},
        {QStringLiteral("tmlx"), QStringLiteral("题目类型"), 100},
        {QStringLiteral("tmmc"), QStringLiteral("题目名称"), 480},
        {QStringLiteral("tmfont"), QStringLiteral("tmfont"), 0},
        {QStringLiteral("tmsize"), QStringLiteral("tmsize"), 0},
        {QStringLiteral("tmcolor"), QStringLiteral("tmcolor"), 0},
        {QStringLiteral("tmsz"), QStringLiteral("tmsz"), 0},
        {QStringLiteral("danr"), QStringLiteral("danr"), 0},
        {QStringLiteral("dafont"), QStringLiteral("dafont"), 0},
        {QStringLiteral("dasize"), QStringLiteral("dasize"), 0},
        {QStringLiteral("dacolor"), QStringLiteral("dacolor"), 0},
        {QStringLiteral("dasz"), QStringLiteral("dasz"), 0},
        {QStringLiteral("TMYes"), QStringLiteral("出题"), 60},
    };
    return list;
}

int TikuGridModel::columnOf(const QString &field)
{
    const QList<Column> &list = columns();
    for (int i = 0; i < list.size(); ++i)
        if (list[i].field.compare(field, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

TikuGridModel::TikuGridModel(QObject *parent) : QAbstractTableModel(parent)
{
}

void TikuGridModel::setDataset(Dataset *dataset)
{
    beginResetModel();
    m_dataset = dataset;
    mapColumns();
    endResetModel();
    connect(dataset, &Dataset::rowsChanged, this, [this] {
        beginResetModel();
        mapColumns();
        endResetModel();
    });
}

void TikuGridModel::mapColumns()
{
    m_sourceColumn.clear();
    const QStringList names = m_dataset ? m_dataset->fieldNames() : QStringList();
    for (const Column &c : columns()) {
        int source = -1;
        for (int i = 0; i < names.size(); ++i)
            if (names[i].compare(c.field, Qt::CaseInsensitive) == 0)
                source = i;
        m_sourceColumn.append(source);
    }
}

int TikuGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() || !m_dataset || !m_dataset->isActive() ? 0 : m_dataset->recordCount();
}

int TikuGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(columns().size());
}

QVariant TikuGridModel::data(const QModelIndex &index, int role) const
{
    if (!m_dataset || !index.isValid() || index.column() >= m_sourceColumn.size())
        return {};
    const int source = m_sourceColumn[index.column()];
    const bool used = index.column() == columnOf(QStringLiteral("TMYes"));
    const bool order = index.column() == columnOf(QStringLiteral("ctsx"));
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
    case Qt::AccessibleTextRole:
        if (used)
            return role == Qt::AccessibleTextRole
                       ? QVariant(m_dataset->valueAt(index.row(), source).toBool() ? QStringLiteral("已出") : QStringLiteral("未出"))
                       : QVariant();
        return m_dataset->valueAt(index.row(), source);
    case Qt::CheckStateRole:
        if (used)
            return m_dataset->valueAt(index.row(), source).toBool() ? Qt::Checked : Qt::Unchecked;
        return {};
    case Qt::ForegroundRole:
        return order ? QVariant(QColor(Qt::red)) : QVariant();
    case Qt::FontRole:
        if (order) {
            QFont f;
            f.setBold(true);
            return f;
        }
        return {};
    case Qt::TextAlignmentRole:
        return used ? QVariant(int(Qt::AlignCenter)) : QVariant();
    default:
        return {};
    }
}

QVariant TikuGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Vertical)
        return role == Qt::DisplayRole ? QVariant(section + 1) : QVariant();
    if (section < 0 || section >= columns().size())
        return {};
    if (role == Qt::DisplayRole)
        return columns()[section].title;
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignCenter);
    return {};
}
