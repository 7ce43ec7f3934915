#pragma once
// The roster tab of the settings screen: the contestants of table xsb in running order, added at the end,
// deleted, moved up and down, with a detail view, the photo preview and the profile's slide show.
#include "setup_rules.h"

#include <QWidget>

class Picture;
class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class StageWindow;

namespace cssz {

class StyledGridModel;

class RosterTab : public QWidget {
    Q_OBJECT
public:
    explicit RosterTab(StageWindow &screen);

    QTableView *DBGridEh1;
    StyledGridModel *model;
    QAction *menu_delete; // --删除选手--
    Picture *but_tmsy;
    QPushButton *but_sy;
    Picture *but_tmxy;
    QPushButton *but_xy;
    QComboBox *combo_xsgs;
    QLineEdit *ed_xsxm;
    QLineEdit *ed_xsfz;
    QLineEdit *ed_xszp;
    QLineEdit *ed_xszl;
    QPushButton *SpeedButton1; // 选择照片
    QPushButton *SpeedButton2; // 选择资料
    QPushButton *Button4;      // 保 存: add
    QPushButton *Button3;      // 删 除
    QLabel *lab_xsxm;
    QLabel *lab_xsfz;
    QLabel *lab_xszp;
    QLabel *lab_xszl;
    Picture *image_xszp;
    QPushButton *Button6; // 资料预览

    // Show step 1: the new contestant's fields, the detail view and the count's choices emptied.
    void clearInputs();
    // Show step 6: the contestant count as read.
    void loadCount();
    // Show step 12: the grid lists the roster.
    void openList();
    // Show step 14: the count offers 1..100, keeping the text it shows.
    void fillCountChoices();

    void showDetails();
    void choosePhoto();
    void chooseProfile();
    void addContestant();
    void deleteContestants();
    void moveUp();
    void moveDown();
    void openProfile();

    void fillForm(setup_rules::SettingsForm &form) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void clearNewContestant();
    void clearDetails();
    // Exchanges the running numbers of the current contestant and the one `step` places away.
    void move(int step);
    void reopen();

    StageWindow &m_screen;
};

} // namespace cssz
