#pragma once
// What the screens' grids share: a grid's current row kept with its dataset's, and row selection.
#include <QList>

class Dataset;
class QTableView;

namespace grid {

// Keeps a grid's current row and its dataset's current row the same, both ways.
void followCurrentRow(QTableView *view, Dataset *dataset);
// Selects the row `row` of the grid alone and makes it current; a row the grid lacks does nothing.
void selectRow(QTableView *view, int row);
// The grid rows selected, top to bottom, each once.
QList<int> selectedRows(const QTableView *view);

} // namespace grid
