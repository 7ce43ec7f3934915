#pragma once
// The 颁奖典礼 screen: an animation behind six plates that show a prize title and its winners, taken in
// rank order from the leaderboard's last ranking, with the award music and an output volume slider.
#include "ui/stage_window.h"

#include <array>

class FlashPlayer;
class MediaPlayer;
class QLineEdit;
class QPushButton;
class QSlider;
class ShadowLabel;

class Tfrm_banjiangjm : public StageWindow {
    Q_OBJECT
public:
    static constexpr int kPlateCount = 6;
    static constexpr int kMaxWinners = kPlateCount - 1;
    static constexpr int kPlateLeft = 152;
    static constexpr int kPlateWidth = 713;
    static constexpr int kPlateHeight = 90;

    explicit Tfrm_banjiangjm(AppContext &context);

    // Shows prize 1, 2 or 3 with the number of winners read on opening.
    void showPrize(int prize);
    // Starts the award music, or stops and closes it when it is playing. Returns true when it started.
    bool toggleMusic();

    // Winners of the first, second and third prize, as read on opening.
    const std::array<int, 3> &prizeCounts() const { return m_counts; }

    FlashPlayer *Flash1;
    std::array<ShadowLabel *, kPlateCount> plates; // Panel2 .. Panel7
    QWidget *Panel1;                               // volume panel
    QSlider *Track1;
    QPushButton *but_play;
    QLineEdit *Edit1 = nullptr; // off the screen, holds the keyboard focus (from the first opening on)
    MediaPlayer *Media1;

protected:
    void makeWidgets() override;
    void onShow() override;
    void onClose() override;
    bool keyDown(int key, Qt::KeyboardModifiers modifiers, bool autoRepeat) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void readPrizeCounts();
    void keepFocusAway(QWidget *now);

    std::array<int, 3> m_counts{};
};
