#pragma once
// The 选手介绍 screen: the current contestant's name, big, over a stage backdrop, and the contestant's own
// profile slide show, looked up by name in the roster. F1 runs the slide show again.
#include "ui/stage_window.h"

class Picture;
class ShadowLabel;

class Tfrm_xsjs : public StageWindow {
    Q_OBJECT
public:
    explicit Tfrm_xsjs(AppContext &context);

    // The profile found at the last opening (trimmed `xszl`; empty when there is none).
    const QString &profile() const { return m_profile; }

    Picture *image_xszl;  // the backdrop, drawn by the screen itself
    ShadowLabel *lab_xsxm; // the contestant's name

protected:
    void onShow() override;
    bool keyUp(int key, Qt::KeyboardModifiers modifiers) override;

private:
    void runProfile();

    QString m_profile;
};
