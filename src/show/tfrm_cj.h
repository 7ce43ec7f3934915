#pragma once
// The 抽奖 screen: entries of the lottery list flicker in big red type until the operator stops them;
// stopping draws one winner at random, logs it with the time to the results file and takes it off the
// list. Both files are written after every draw, before the winner is shown, so no entry can ever be
// drawn twice or lost, not even after a kill or a power cut (lottery::commitDraw, lottery::recover).
#include "lottery_files.h"
#include "ui/stage_window.h"

class Picture;
class QTimer;
class ShadowLabel;

class Tfrm_cj : public StageWindow {
    Q_OBJECT
public:
    static constexpr int kFlickerMs = 80;

    explicit Tfrm_cj(AppContext &context);

    // Space: starts the flicker when idle, otherwise stops it and draws.
    void startOrDraw();
    // One frame of the flicker.
    void Timer1Timer();

    const lottery::DrawList &draw_list() const { return m_list; }
    bool isFlickering() const;

    Picture *Image1;
    ShadowLabel *lab_cj; // the entry shown
    ShadowLabel *lab_bs; // "停止抽奖" while idle, "开始抽奖" while flickering
    ShadowLabel *Label7; // entries left
    QTimer *Timer1;

protected:
    void onShow() override;
    void onClose() override;
    bool keyDown(int key, Qt::KeyboardModifiers modifiers, bool autoRepeat) override;
    bool keyUp(int key, Qt::KeyboardModifiers modifiers) override;

private:
    void start();
    void draw();
    void showCount();

    // Whether the list file was read at the last opening, so an empty list can be explained.
    enum class ListState { Unread, Missing, Read };

    lottery::DrawList m_list;
    ListState m_listState = ListState::Unread;
    QString m_listPath;
    QString m_resultsPath;
};
