#pragma once
// Small helpers the tabs of the settings screen share: named widgets at stage positions, the grids'
// column styles, and copying a chosen file into the folder its bare name is looked up in.
#include "data/grid_model.h"

#include <QColor>
#include <QComboBox>
#include <QFont>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <optional>

class QGroupBox;
class QTableView;

namespace cssz {

QLabel *label(QWidget *parent, const QString &text, int x, int y, int w = -1, const QString &name = {});
QLineEdit *edit(QWidget *parent, const QString &name, int x, int y, int w);
// An editable drop-down list: it takes typed text as well as a choice.
QComboBox *combo(QWidget *parent, const QString &name, int x, int y, int w, const QStringList &items,
                 const QString &designText);
QPushButton *button(QWidget *parent, const QString &name, const QString &text, int x, int y, int w = 75, int h = 25);
QGroupBox *group(QWidget *parent, const QString &title, const QRect &rect, const QString &name = {});
// "1" .. "n".
QStringList numbers(int n);

// A grid model that gives some columns their own type and colours.
class StyledGridModel : public GridModel {
    Q_OBJECT
public:
    struct Style {
        QFont font;
        bool hasFont = false;
        QColor foreground;
        QColor background;
    };
    using GridModel::GridModel;
    void setStyle(const QString &column, const Style &style) { m_styles.insert(column.toLower(), style); }
    // The type of every column without a style of its own.
    void setDefaultFont(const QFont &font) { m_defaultFont = font; }
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QHash<QString, Style> m_styles;
    std::optional<QFont> m_defaultFont;
};

// A read-only grid of whole rows, several of which can be selected, titles centred and bold on yellow.
QTableView *grid(QWidget *parent, const QString &name, const QRect &rect, GridModel *model);

// The dataset bookmarks of the rows selected in the grid, in the order they were selected.
QList<qint64> selectedBookmarks(QTableView *view, Dataset *dataset);

// Refuses a chosen photo that cannot be shown (a text file, random bytes, a broken picture): throws AppError
// with a Chinese text naming the file, so that nothing of it is copied in or stored.
void checkPhoto(const QString &path);

// The bare name under which the chosen file `path` is found in `folder` (a full path ending in '/').
// A file chosen elsewhere is copied into the folder, under a new name when the folder holds another
// file of that name, so that the screens find it there later. Throws AppError when it cannot be copied.
QString adoptFile(const QString &path, const QString &folder);

} // namespace cssz
