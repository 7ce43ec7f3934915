#pragma once
// A table model showing whatever its query holds at the moment, also after another screen re-targets it.
#include <QAbstractTableModel>
#include <QPointer>

class Dataset;

class GridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit GridModel(Dataset *dataset, QObject *parent = nullptr);

    Dataset *dataset() const { return m_dataset; }
    // Column captions by column name; columns without one show their name.
    void setCaption(const QString &column, const QString &caption);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QPointer<Dataset> m_dataset;
    QHash<QString, QString> m_captions;
};
