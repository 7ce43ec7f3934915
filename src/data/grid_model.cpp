#include "grid_model.h"

#include "dataset.h"

GridModel::GridModel(Dataset *dataset, QObject *parent) : QAbstractTableModel(parent), m_dataset(dataset)
{
    connect(dataset, &Dataset::rowsChanged, this, [this] {
        beginResetModel();
        endResetModel();
    });
}

void GridModel::setCaption(const QString &column, const QString &caption)
{
    m_captions.insert(column.toLower(), caption);
    emit headerDataChanged(Qt::Horizontal, 0, std::max(0, columnCount() - 1));
}

int GridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() || !m_dataset ? 0 : m_dataset->recordCount();
}

int GridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() || !m_dataset ? 0 : int(m_dataset->fieldNames().size());
}

QVariant GridModel::data(const QModelIndex &index, int role) const
{
    if (!m_dataset || !index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    return m_dataset->valueAt(index.row(), index.column());
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || !m_dataset)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    const QString name = m_dataset->fieldNames().value(section);
    return m_captions.value(name.toLower(), name);
}
