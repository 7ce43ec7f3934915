#include "grid_view.h"

#include "data/dataset.h"

#include <QItemSelectionModel>
#include <QTableView>

#include <algorithm>

namespace grid {

namespace {

// The first column the grid shows, so a current cell is never in a hidden column.
int firstShownColumn(const QTableView *view)
{
    int column = 0;
    while (column < view->model()->columnCount() - 1 && view->isColumnHidden(column))
        ++column;
    return column;
}

} // namespace

void followCurrentRow(QTableView *view, Dataset *dataset)
{
    QObject::connect(view->selectionModel(), &QItemSelectionModel::currentRowChanged, view,
                     [dataset](const QModelIndex &current) {
                         if (current.isValid() && current.row() != dataset->recNo() && current.row() < dataset->recordCount())
                             dataset->moveTo(current.row());
                     });
    QObject::connect(dataset, &Dataset::currentChanged, view, [view](int row) {
        QItemSelectionModel *s = view->selectionModel();
        if (row < 0 || row >= view->model()->rowCount() || s->currentIndex().row() == row)
            return;
        s->setCurrentIndex(view->model()->index(row, firstShownColumn(view)), QItemSelectionModel::NoUpdate);
    });
}

void selectRow(QTableView *view, int row)
{
    QAbstractItemModel *m = view->model();
    if (row < 0 || row >= m->rowCount())
        return;
    const QModelIndex index = m->index(row, firstShownColumn(view));
    view->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    view->scrollTo(index);
}

QList<int> selectedRows(const QTableView *view)
{
    QList<int> rows;
    for (const QItemSelectionRange &range : view->selectionModel()->selection())
        for (int r = range.top(); r <= range.bottom(); ++r)
            rows << r;
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

} // namespace grid
