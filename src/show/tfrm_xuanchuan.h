#pragma once
// The 宣传口号 screen: the slogan picture over the whole display, with four background tracks on the keys
// A, S, D and F. A key stops whatever is playing; pressed again, it starts its own track.
#include "ui/stage_window.h"

class MediaPlayer;
class Picture;

class Tfrm_xuanchuan : public StageWindow {
    Q_OBJECT
public:
    explicit Tfrm_xuanchuan(AppContext &context);

    Picture *Image1;    // "系统图片/宣传口号.jpg", fills the window, loaded at each opening
    MediaPlayer *Media1; // the background track; it plays on after the screen closes

protected:
    void onShow() override;
    bool keyDown(int key, Qt::KeyboardModifiers modifiers, bool autoRepeat) override;
    bool keyUp(int key, Qt::KeyboardModifiers modifiers) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void trackKey(QChar letter);
};
