#pragma once
// The question bank maintenance screen (题目维护界面): the questions of an issue and group in a grid,
// added and edited through the entry screen, deleted, marked used or unused, moved up or down, and
// copied into another issue and group. Its issue box sets the issue the whole application works on.
#include "ui/stage_window.h"

#include <optional>

class Picture;
class QAction;
class QComboBox;
class QFrame;
class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTableView;
class TikuGridModel;

class Tfrm_tmlr : public StageWindow {
    Q_OBJECT
public:
    explicit Tfrm_tmlr(AppContext &context);

    QSpinBox *ed_qs = nullptr;
    QComboBox *Combo_fzlx = nullptr;
    QPushButton *Button1 = nullptr;  // 查 询
    QPushButton *but_tmdc = nullptr; // 题目导出
    QPushButton *Button2 = nullptr;  // 退 出
    QTableView *DBGridEh1 = nullptr;
    TikuGridModel *model = nullptr;
    QAction *N1, *N3, *N5, *N7, *N9, *N11;
    QMenu *PopupMenu1 = nullptr; // the grid's menu, of the actions above
    Picture *but_tmsy = nullptr;
    QPushButton *but_sy = nullptr;
    Picture *but_tmxy = nullptr;
    QPushButton *but_xy = nullptr;
    QFrame *Panel_daochu = nullptr;
    QSpinBox *ed_dc_qs = nullptr;
    QLabel *Label15 = nullptr;
    QComboBox *combo_dc_fzlx = nullptr;
    QLabel *Label16 = nullptr;
    QPushButton *but_daochu = nullptr;
    QPushButton *but_close = nullptr;
    QProgressBar *Bar_daochu = nullptr;

    // The issue and group the entry screen stores new questions under; an emptied issue box is issue 0.
    int issue() const;
    QString issueText() const;
    QString groupText() const;

    void issueChanged();
    void runQuery();
    void toggleUsed();
    void markSelected(bool used);
    void addQuestion();
    void editQuestion();
    void deleteQuestions();
    void moveUp();
    void moveDown();
    void openExport();
    void hideExport();
    void exportQuestions();

protected:
    bool keyUp(int key, Qt::KeyboardModifiers modifiers) override;
    void makeWidgets() override;
    void onShow() override;
    void onClose() override;
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The chosen group: empty for none; a text that names no group is said and gives nullopt.
    std::optional<QString> checkedGroup(const QString &text);
    void showGroup(const QString &group, const QString &sql);
    // Exchanges the orders of the current question and its neighbour `step` places away.
    void move(int step);
    void openEntry(int mode);
    // An emptied issue box shows 0 once the operator leaves it, instead of the issue it held before.
    void settleEmptiedIssue();
    // A right click makes the row under the mouse the one the menu acts on, then opens the menu.
    void openMenu(const QPoint &at);
};
