#pragma once
// The main menu, the application's main window: four areas that open the show hub, the question bank
// maintenance, the keypad test and the parameter settings, a help and an exit button, and the issue label.
#include "ui/stage_window.h"

#include <QImage>

#include <array>
#include <future>

class ClickArea;
class Picture;
class QPushButton;
class ShadowLabel;

class Tfrm_main : public StageWindow {
    Q_OBJECT
public:
    explicit Tfrm_main(AppContext &context);

    Picture *Image1;                   // background
    std::array<Picture *, 4> highlights; // Image2 .. Image5
    std::array<ClickArea *, 4> areas;    // Label1 .. Label4
    ShadowLabel *lab_qs;
    QPushButton *button_help;
    QPushButton *Button_exit;

    // Shows the current issue, making it "0" when empty.
    void activationSteps();
    // Whether the database is still to be opened after this showing's first paint.
    bool databasePending() const { return m_databasePending; }

protected:
    void onShow() override;
    void changeEvent(QEvent *event) override;
    bool event(QEvent *event) override;

private:
    void resetTeamScores();
    void openDatabase();
    // Has the screens after the menu made and the database opened, once.
    void finishStart();
    void openPendingDatabase();
    void openArea(int area);
    void openHelp();
    void loadArtwork();

    // The menu's pictures for one display scale.
    struct Artwork {
        qreal dpr = 0;
        QImage background, highlight;
    };
    static Artwork artworkFor(qreal dpr);
    // Made to fit beside the rest of start-up when no stored picture has the stage display's scale; taken
    // at the first showing when the scale is still that one.
    std::future<Artwork> m_artwork;
    bool m_databasePending = false;
};
