#pragma once
// The judges tab of the settings screen: the judge count, twelve names with their photo choosers, and
// twelve photo cards in three rows of four.
#include "setup_rules.h"

#include <QWidget>

#include <array>

class Picture;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class StageWindow;

namespace cssz {

class JudgesTab : public QWidget {
    Q_OBJECT
public:
    static constexpr int kJudges = setup_rules::kJudges;

    explicit JudgesTab(StageWindow &screen);

    QComboBox *combo_pwgs;
    std::array<QLabel *, kJudges> number_labels; // Label95, Label94, .. for judges 1..12
    std::array<QLineEdit *, kJudges> ed_pw;
    std::array<QPushButton *, kJudges> but_pw;
    std::array<QFrame *, kJudges> panel_pw;
    std::array<Picture *, kJudges> Image;
    std::array<QLabel *, kJudges> lab_pw;

    // The photo file names of judges 1..12, bare names in the judges' photo folder.
    std::array<QString, kJudges> judge_photo_names;

    // Show steps 7 to 9. Throws the conversion error of a judge count that is not a whole number.
    void load();
    // Shows judges 1..c and hides the others, for c of 1..12; throws for a text that is not a number.
    void applyJudgeCount(const QString &text);
    void choosePhoto(int judge);

    void fillForm(setup_rules::SettingsForm &form) const;

private:
    StageWindow &m_screen;
};

} // namespace cssz
