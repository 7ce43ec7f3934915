#pragma once
// The score records tab of the settings screen: the judges' scores of table pwdf, all rounds or one,
// deleted one by one, by selection or all at once, and exported to a spreadsheet.
#include <QWidget>

class QAction;
class QComboBox;
class QPushButton;
class QTableView;
class StageWindow;

namespace cssz {

class StyledGridModel;

class ScoresTab : public QWidget {
    Q_OBJECT
public:
    explicit ScoresTab(StageWindow &screen);

    QTableView *DBGridEh2;
    StyledGridModel *model;
    QAction *menu_delete; // --删除数据--
    QComboBox *combo_lunshu;
    QPushButton *Button9; // 单个删除
    QPushButton *Button7; // 全部删除
    QPushButton *Button8; // 资料导出

    // Show step 13 and what every delete ends with: the grid lists every round.
    void listAll();
    void filterByRound();
    // Deletes the selected rows, or the current row when none is selected, after the question.
    // Returns whether the operator answered Yes.
    bool deleteRows();
    void deleteAll();
    void exportRows();

private:
    StageWindow &m_screen;
};

} // namespace cssz
