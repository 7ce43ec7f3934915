#pragma once
// The 选题 screen of the quiz: a board of numbered tiles, one per question group of the current issue; a
// tile presents the group's questions one after the other, each on the panel of its type, with a
// countdown, the operator's marks, the answer reveal and media playback. A presented question is used.
#include "quiz_rules.h"
#include "quiz_widgets.h"
#include "ui/stage_window.h"

#include <QSet>

#include <array>

class ClipPlayer;
class Dataset;
class FlashPlayer;
class MediaPlayer;
class QPushButton;
class QTimer;

class Tfrm_tm : public StageWindow {
    Q_OBJECT
public:
    explicit Tfrm_tm(AppContext &context);

    // The seven panels, bottom to top.
    quiz::BevelPanel *panel_wendati = nullptr;
    quiz::BevelPanel *Panel_tupianti = nullptr;
    quiz::BevelPanel *Panel_duomeiti = nullptr;
    quiz::BevelPanel *Panel_xzt = nullptr;
    quiz::BevelPanel *Panel_lianxianti = nullptr;
    quiz::BevelPanel *Panel_xztm = nullptr;
    quiz::BevelPanel *Panel_flash = nullptr;

    // The board.
    Picture *Image_xtbj = nullptr;
    std::array<Picture *, quiz::kTileCount> Image_tm;         // Image_tm1 .. Image_tm20
    std::array<quiz::TileLabel *, quiz::kTileCount> lab_tm; // lab_tm1 .. lab_tm20

    // Choice.
    Picture *Image_xztbj = nullptr;
    ShadowLabel *lab_xzttm = nullptr;
    std::array<Picture *, quiz::kOptionCount> Image_option;    // Image_a .. Image_f
    std::array<ShadowLabel *, quiz::kOptionCount> lab_option;  // lab_a .. lab_f

    // Question and answer.
    Picture *Image_wdtbj = nullptr;
    ShadowLabel *ed_wendati = nullptr;
    ShadowLabel *ed_wendatida = nullptr;

    // Matching.
    Picture *Image_lianxianti = nullptr;
    ShadowLabel *lab_lianxianti_tm = nullptr;
    std::array<ShadowLabel *, quiz::kPairCount> lab_lianxianti_daz;
    std::array<QPushButton *, quiz::kPairCount> but_z;
    std::array<QPushButton *, quiz::kPairCount> but_y;
    std::array<ShadowLabel *, quiz::kPairCount> lab_lianxianti_day;

    // Picture, multimedia and Flash.
    quiz::TransitionPicture *image_tupianti = nullptr;
    Picture *Image_duomeiti = nullptr;
    ClipPlayer *media = nullptr;
    ShadowLabel *lab_audio = nullptr; // shown in the player's place while a sound plays
    QPushButton *but_play = nullptr;
    QPushButton *but_pause = nullptr;
    FlashPlayer *Flash1 = nullptr;

    // Countdown: the boxes and captions of the five types, the timer and the sound-effect player.
    std::array<quiz::CountdownBox *, quiz::kTypeCount> countdown; // Panel_time, Panel_wdt, Panel2, Panel, Panel3
    QTimer *time_djs = nullptr;
    MediaPlayer *media_yx = nullptr;

    // --- The board (show, tile press, groups) ---
    void load_quiz_settings();
    void load_backgrounds();
    void build_board();
    // A mouse button pressed on tile number `tile` (1..20).
    void tilePressed(int tile, Qt::KeyboardModifiers modifiers);
    void open_group(int group);
    void next_question();
    void escape();

    // --- Presentation ---
    void present_question();
    void reset_question_display();
    void reveal_answer();
    void toggle_option(int option); // 0..5 for A..F
    void wipe_matching_lines();
    void draw_matching_lines();

    // --- Countdown ---
    void start_stop_countdown();
    void reset_countdown_captions();
    void countdown_tick();
    // The timer's event: one tick, a failure reported in the standard error box.
    void time_djsTimer();
    void play_effect(const QString &fileName);

    // State, for what the operator sees and for tests.
    int current_group() const { return m_currentGroup; }
    const QString &current_type() const { return m_currentType; }
    int tile_count() const { return m_tileCount; }
    const QString &correct_answer() const { return m_correctAnswer; }
    const QStringList &matching_pairs() const { return m_matchingPairs; }
    const QString &answer_picture_path() const { return m_answerPicturePath; }
    // Whether the question on display could not be shown (its panel shows only backdrop and countdown).
    bool brokenOnDisplay() const { return m_brokenOnDisplay; }
    int countdown_start(quiz::QuestionType type) const;
    int sound_threshold() const { return m_soundThreshold; }
    bool countdown_locked() const { return m_countdownLocked; }
    quiz::OptionLook optionLook(int option) const { return m_looks[std::size_t(option)]; }
    ShadowLabel *countdownCaption(quiz::QuestionType type) const;
    bool boardVisible() const;

protected:
    // The board and the question panels, made at the first opening so the show's start-up does not wait.
    void makeWidgets() override;
    void onShow() override;
    void onClose() override;
    bool keyDown(int key, Qt::KeyboardModifiers modifiers, bool autoRepeat) override;
    bool keyUp(int key, Qt::KeyboardModifiers modifiers) override;

private:
    void buildBoard();
    void buildChoicePanel();
    void buildAnswerPanel();
    void buildMatchingPanel();
    void buildPicturePanel();
    void buildMediaPanel();
    void buildFlashPanel();
    // Runs the group's statement on adoq_ctcx and presents its first row, if any; false when it has none.
    bool presentFirstUnasked(int group);
    void presentChoice(const Dataset &row);
    void presentAnswer(const Dataset &row);
    void presentMatching(const Dataset &row);
    void presentPicture(const Dataset &row);
    void presentMedia(const Dataset &row);
    // The multimedia panel with its backdrop and countdown, no player in view.
    void showNeutralMedia();
    // The clip player or the sound-effect player could not decode `path`.
    void clipFailed(const QString &path, const QString &text);
    void effectFailed(const QString &path, const QString &text);
    // The questions of `group` in the current issue presented (true) or still to be asked (false).
    int groupCount(int group, bool presented);
    void markUsed();
    void setLook(int option, quiz::OptionLook look);
    void showPanel(QWidget *panel);
    void keepFocusHere(QWidget *now);

    int m_currentGroup = 0;
    QString m_currentType;
    int m_tileCount = 0;
    std::array<int, quiz::kTypeCount> m_countdownStart{};
    int m_soundThreshold = 0;
    bool m_countdownLocked = false;
    QString m_correctAnswer;
    QStringList m_matchingPairs;
    QString m_answerPicturePath;
    std::array<quiz::OptionLook, quiz::kOptionCount> m_looks{};
    QPoint m_pen; // where the pen of the matching picture stands; back at the corner when the picture reloads
    QSet<qint64> m_broken;          // rows of tiku that could not be shown in this showing
    bool m_brokenOnDisplay = false; // the question on display is one of them
    QString m_clipPath;             // the clip of the question on display, while it plays
    qint64 m_clipRow = -1;          // and its row
    QSet<QString> m_failedEffects;  // sound effects that failed in this showing, not tried again
};
