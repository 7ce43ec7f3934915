#pragma once
// The 得分排行榜 screen: ten rows a page of rank, name and score for one round or the weighted first two
// to four rounds, in descending, ascending or roster order. Its last descending ranking is kept in
// ranked_names for the award ceremony.
#include "ui/stage_window.h"

#include <array>

class Picture;
class ShadowLabel;

class Tfrm_dfpm : public StageWindow {
    Q_OBJECT
public:
    static constexpr int kRowsPerPage = 10;

    // The orders of the board; the numbers are the values of leaderboard_view.
    enum View { Descending = 1, Ascending = 2, Roster = 3 };

    explicit Tfrm_dfpm(AppContext &context);

    // Loads the view `current_round` from the database, ranks it in descending order, keeps its names
    // in ranked_names, then shows it in `view`'s order (what F1, F2 and F3 do).
    void loadAndShow(View view);
    // Re-sorts the loaded entries in the current view's order and draws the current page.
    void redraw();

    int leaderboard_view() const { return m_view; }
    int leaderboard_page() const { return m_page; }
    // The last page of the loaded entries (1 when there are ten or fewer).
    int lastPage() const;

    Picture *Image11;                        // background
    ShadowLabel *Label5;                     // title: 第N轮 or 前N轮总分
    std::array<QWidget *, kRowsPerPage> rows;        // Panel38 .. Panel47
    std::array<Picture *, kRowsPerPage> rowPictures; // Image1 .. Image10
    std::array<ShadowLabel *, kRowsPerPage> rankLabels;  // Label26, Label28, .. Label44
    std::array<ShadowLabel *, kRowsPerPage> nameLabels;  // Label46 .. Label55
    std::array<ShadowLabel *, kRowsPerPage> scoreLabels; // Label27, Label29, .. Label45

protected:
    void onShow() override;
    bool keyUp(int key, Qt::KeyboardModifiers modifiers) override;

private:
    void load();
    void drawPage();
    void setTitle(const QString &title);

    int m_view = Descending;
    int m_page = 1;
};
