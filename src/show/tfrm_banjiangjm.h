#pragma once
// The 颁奖典礼 screen: an animation behind six plates that show a prize title and its winners, taken in
// rank order from the leaderboard's last ranking (or, when it has ranked nobody in this run, from the
// stored scores), with the award music and an output volume slider. A prize of more winners than the
// five name plates is shown in pages, turned with PageDown and PageUp.
#include "ui/stage_window.h"

#include <QStringList>
#include <QVector>

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

    // Shows prize 1, 2 or 3 with the number of winners read on opening, from its first page.
    void showPrize(int prize);
    // The next or the previous page of the prize on show; false when there is none.
    bool turnPage(int step);
    // Starts the award music, or stops and closes it when it is playing. Returns true when it started.
    bool toggleMusic();

    // Winners of the first, second and third prize, as read on opening.
    const std::array<int, 3> &prizeCounts() const { return m_counts; }
    // The names the prizes take in rank order: the leaderboard's, or the page's own ranking.
    const QStringList &rankedNames() const { return m_names; }
    // 1-based page of the prize on show, and how many pages it has (0 before a prize is called).
    int page() const { return m_page; }
    int pageCount() const { return int(m_pages.size()); }

    // The winners on each page for `winners` winners: all on one page up to five, otherwise as few
    // pages as hold them, filled as evenly as they can be with the larger pages first.
    static QVector<int> pageSizes(int winners);
    // The winners a prize shows: its count (at least 0), but past five never more than the names left
    // from `offset` on, so a count larger than the contest adds no pages of empty plates.
    static int shownWinners(int count, qint64 offset, int names);

    FlashPlayer *Flash1;
    std::array<ShadowLabel *, kPlateCount> plates; // Panel2 .. Panel7
    ShadowLabel *lab_page;                         // "1/2" in the title plate when a prize has pages
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
    void readRanking();
    void drawPage();
    void keepFocusAway(QWidget *now);

    std::array<int, 3> m_counts{};
    QStringList m_names;
    int m_prize = 0;
    int m_page = 0;
    qint64 m_offset = 0;    // the index of the prize's first name in the ranking
    QVector<int> m_pages;   // winners on each page of the prize on show
};
