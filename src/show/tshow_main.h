#pragma once
// The 比赛现场 hub: the full-screen start page of a live show. Single keys open the scoring screen, the
// judges' introduction slide show, the lottery and the award ceremony; H shows a bar with the key list.
#include "show/hub_keys.h"
#include "ui/stage_window.h"

class MediaPlayer;
class Picture;
class QFrame;
class ShadowLabel;

class Tshow_main : public StageWindow {
    Q_OBJECT
public:
    explicit Tshow_main(AppContext &context);

    // The text of the help bar, set at each opening.
    static QString helpText();

    Picture *Image1;      // background, fills the window
    QFrame *Panel_help;   // the help bar, hidden on opening
    ShadowLabel *lab_help;
    MediaPlayer *media1;  // closed when the hub closes; the hub plays nothing itself

protected:
    void onShow() override;
    void onClose() override;
    bool keyDown(int key, Qt::KeyboardModifiers modifiers, bool autoRepeat) override;
    bool keyUp(int key, Qt::KeyboardModifiers modifiers) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void act(hub_keys::Action action);
};
