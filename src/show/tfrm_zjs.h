#pragma once
// The 正计时 screen: elapsed time in hours, minutes and seconds with a fast-running fraction beside it.
// The apostrophe key starts and stops it, the semicolon key sets it back to zero. The time shown is
// measured on the steady clock, so an hour counted is an hour however late the timer ticks arrive.
#include "ui/stage_window.h"

class Picture;
class QTimer;
class ShadowLabel;

class Tfrm_zjs : public StageWindow {
    Q_OBJECT
public:
    static constexpr int kSecondMs = 1000;
    static constexpr int kFractionMs = 10;

    explicit Tfrm_zjs(AppContext &context);

    // The apostrophe key: starts both timers when the clock stands, stops both when it runs.
    void startStop();
    // The semicolon key: back to zero at once, running or not.
    void reset();
    // Timer ticks: the second and the fraction.
    void Timer1Timer();
    void Timer2Timer();

    bool isRunning() const;
    // Milliseconds counted so far.
    qint64 elapsedMs() const;

    Picture *Image1;
    ShadowLabel *Label1; // hours, minutes and seconds
    ShadowLabel *Label2; // hundredths of the current second
    ShadowLabel *Label3; // hidden: the whole seconds counted (`elapsed_seconds`)
    QTimer *Timer1;
    QTimer *Timer2;

protected:
    void onShow() override;
    bool keyUp(int key, Qt::KeyboardModifiers modifiers) override;

private:
    qint64 now() const;
    void showElapsed();
    void showZero();

    qint64 m_startedAt = 0; // the steady time at which the running count was zero
    qint64 m_counted = 0;   // milliseconds counted when the clock last stopped
};
