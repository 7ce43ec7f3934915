#pragma once
// The system tab of the settings screen: scoring, rounds, quiz countdowns and tile captions, and the
// presets of the big-screen countdown (table djs).
#include "setup_rules.h"

#include <QWidget>

#include <array>

class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class StageWindow;

namespace cssz {

class SystemTab : public QWidget {
    Q_OBJECT
public:
    explicit SystemTab(StageWindow &screen);

    QComboBox *combo_tongxun;
    QComboBox *combo_xsd;
    QComboBox *combo_pmms;
    QComboBox *combo_dftjms;
    std::array<QLineEdit *, setup_rules::kRounds> ed_zd; // ed_hj1_zd ..
    std::array<QLineEdit *, setup_rules::kRounds> ed_zg; // ed_hj1_zg ..
    std::array<QLineEdit *, setup_rules::kRounds> ed_dfxs; // ed_hj1_dfxs ..
    std::array<QLineEdit *, setup_rules::kCountdowns> ed_countdowns; // ed_xztdjs1, ed_wdtdjs1, ..
    QLineEdit *ed_tongyitime1;
    QLineEdit *ed_djsyx1;
    QComboBox *combo_djssd1;
    QComboBox *combo_tmgs2;
    std::array<QLineEdit *, setup_rules::kTiles> ed_2; // ed_2_1 .. ed_2_20
    QListWidget *ListBox1;
    QLineEdit *ed_djs;
    QPushButton *Button25; // 增加
    QPushButton *Button26; // 删除
    QLineEdit *ed_djsyx;

    // Show steps 2 to 6 (up to the contestant count, which the roster tab shows) and step 6's edits.
    void loadScoring();
    // Show step 10: the quiz settings.
    void loadQuiz();
    // Show step 11: the presets from table djs.
    void fillPresets();

    void copyUniformTime();
    void addPreset();
    void deletePreset();

    // The tab's part of the save.
    void fillForm(setup_rules::SettingsForm &form) const;

private:
    StageWindow &m_screen;
};

} // namespace cssz
