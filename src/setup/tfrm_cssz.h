#pragma once
// The 参数设置 screen: the contest's settings on four tabs (system, judges, roster, score records), saved
// to config.ini in one go; the countdown presets, the roster and the score records change the database
// at once through their own buttons.
#include "setup_rules.h"
#include "ui/stage_window.h"

class QProgressBar;
class QPushButton;
class QTabWidget;

namespace cssz {
class SystemTab;
class JudgesTab;
class RosterTab;
class ScoresTab;
} // namespace cssz

class Tfrm_cssz : public StageWindow {
    Q_OBJECT
public:
    explicit Tfrm_cssz(AppContext &context);

    QProgressBar *Bar1;
    QPushButton *Button1; // 保 存
    QPushButton *Button2; // 退 出
    QTabWidget *PageControl1;
    // The tabs exist from the first opening on.
    cssz::SystemTab *show_xtcssz = nullptr;
    cssz::JudgesTab *TabSheet1 = nullptr;
    cssz::RosterTab *TabSheet2 = nullptr;
    cssz::ScoresTab *TabSheet3 = nullptr;

    // Writes every setting to config.ini, then closes; on failure the screen stays open.
    void save();
    // 退 出 and Esc: closes without saving, after asking when the settings were edited since the opening.
    void leave();
    // The settings as the widgets hold them now.
    setup_rules::SettingsForm form() const;

protected:
    void makeWidgets() override;
    void onShow() override;
    bool keyUp(int key, Qt::KeyboardModifiers modifiers) override;
    bool keyDown(int key, Qt::KeyboardModifiers modifiers, bool autoRepeat) override;
    void paintEvent(QPaintEvent *event) override;

private:
    setup_rules::SettingsForm m_shown; // what the opening put into the widgets
};
