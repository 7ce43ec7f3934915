#pragma once
// The 静止画面 screen: a fixed picture that covers the projector between items of the show.
#include "ui/stage_window.h"

class Picture;

class Tfrm_jz : public StageWindow {
    Q_OBJECT
public:
    explicit Tfrm_jz(AppContext &context);

    Picture *Image1; // "系统图片/静止主界面.jpg", fills the window, loaded at each opening

protected:
    void onShow() override;
    bool keyUp(int key, Qt::KeyboardModifiers modifiers) override;
};
