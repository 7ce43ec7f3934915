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
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTableView;
class TikuGridModel;

class Tfrm_tmlr : public StageWindow {
    Q_OBJECT
public:
    explicit Tfrm_tmlr(AppContext &context);

    QSpinBox *ed_qs;
    QComboBox *Combo_fzlx;
    QPushButton *Button1;  // 查 询
    QPushButton *but_tmdc; // 题目导出
    QPushButton *Button2;  // 退 出
    QTableView *DBGridEh1;
    TikuGridModel *model;
    QAction *N1, *N3, *N5, *N7, *N9, *N11;
    Picture *but_tmsy;
    QPushButton *but_sy;
    Picture *but_tmxy;
    QPushButton *but_xy;
    QFrame *Panel_daochu;
    QSpinBox *ed_dc_qs;
    QLabel *Label15;
    QComboBox *combo_dc_fzlx;
    QLabel *Label16;
    QPushButton *but_daochu;
    QPushButton *but_close;
    QProgressBar *Bar_daochu;

    // The trimmed issue and group texts the entry screen stores new questions under.
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
    void onShow() override;
    void onClose() override;
    void paintEvent(QPaintEvent *event) override;

private:
    // The chosen group: empty for none; a text that names no group is said and gives nullopt.
    std::optional<QString> checkedGroup(const QString &text);
    void showGroup(const QString &group, const QString &sql);
    // Exchanges the orders of the current question and its neighbour `step` places away.
    void move(int step);
    void openEntry(int mode);
};
