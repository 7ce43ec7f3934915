#pragma once
// The question grid of the maintenance screen: a fixed set of columns of the grid query in their own
// order, titles and widths, the order column in red bold, the used flag as a check box.
#include <QAbstractTableModel>
#include <QList>
#include <QPointer>

class Dataset;

class TikuGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    struct Column {
        QString field;
        QString title;
        int width; // 0: hidden
    };
    static const QList<Column> &columns();

    explicit TikuGridModel(QObject *parent = nullptr);
    // The query shown; set once, when the data module exists.
    void setDataset(Dataset *dataset);
    Dataset *dataset() const { return m_dataset; }
    // The grid column showing `field`, -1 when none.
    static int columnOf(const QString &field);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    void mapColumns();

    QPointer<Dataset> m_dataset;
    QList<int> m_sourceColumn; // dataset column of each grid column, -1 when the result lacks it
};
