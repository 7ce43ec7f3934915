#pragma once
// The 评分 screen of a judged performance: up to twelve judges with photo, name and score, the contestant
// and the round. The operator enters the judges' scores, flashes the highest and the lowest score, and
// shows the performance, answer or final score full-screen; showing the final score also stores it.
#include "pfmain_panels.h"
#include "score_rules.h"
#include "score_storage.h"
#include "ui/judge_link.h"
#include "ui/stage_window.h"

#include <QHash>
#include <QSet>

#include <optional>

#include <array>

class Picture;
class QTimer;
class ShadowLabel;

class Tfrm_pfmain : public StageWindow {
    Q_OBJECT
public:
    static constexpr int kMaxJudges = pfmain::kMaxJudges;

    // What F5, F6 and F7 (or Enter) show.
    enum class Score { Performance, Answer, Final };

    explicit Tfrm_pfmain(AppContext &context);

    QFrame *Panel_pf;
    Picture *Image_pf;
    ShadowLabel *lab_lunshu;
    ShadowLabel *lab_xsxm;
    ShadowLabel *lab_xsbh;
    ShadowLabel *lab_xsgs;
    std::array<pfmain::JudgePanel *, kMaxJudges> judges;
    pfmain::EntryPanel *panel_sdsrfs = nullptr; // from the first opening on
    pfmain::MissingStrip *panel_wsd = nullptr; // the judges still missing, with the entry panel while the phones are on
    pfmain::ScorePanel *panel_df;  // with the contestant's photo
    pfmain::ScorePanel *Panel_df1; // without photo
    QTimer *time_max;
    QTimer *time_min;
    QTimer *time_total;
    QTimer *time_totalmin;

    // The key actions, each as the key table runs it once its condition holds.
    void chooseRound(int round);
    void nextContestant();
    void previousContestant();
    void openEntryPanel();
    void showScore(Score which);
    void flashHighest();
    void flashLowest();
    void deleteScores(bool wholeRound);

    // The entry panel's buttons.
    void confirmEntry();
    void cancelEntry();
    void generateTestScores();

    // Timer ticks: the blinks of the highest and the lowest score box and the ends of those blinks.
    void time_maxTimer();
    void time_minTimer();
    void time_totalTimer();
    void time_totalminTimer();

    int current_position() const { return m_position; }
    int judge_count() const { return m_judgeCount; }
    int flash_seconds() const { return m_flashSeconds; }
    int blink_phase() const { return m_blinkPhase; }
    const QString &judges_score_text() const { return m_judgesScore; }
    const QString &answer_score_text() const { return m_answerScore; }
    const QString &final_score_text() const { return m_finalScore; }
    score_rules::Mark mark(int judge) const;
    const score_storage::Roster &roster() const { return m_roster; }
    // The texts of score boxes 1..J.
    QStringList scores() const;
    // The performance the judges' phones were last told of.
    const judging::Performance &phone_performance() const { return m_performance; }
    // The judges' phones' values held for the performance on display, judges 1..J ("" none yet).
    QStringList phone_scores() const;

protected:
    void makeWidgets() override;
    void onShow() override;
    void onClose() override;
    bool keyUp(int key, Qt::KeyboardModifiers modifiers) override;

private:
    void layOutJudges(int count);
    void showJudgePhotos();
    void showContestant();
    void loadScores();
    void clearScores();
    void setMark(int judge, score_rules::Mark mark);
    // Shows the score panel, with the photo when it can be shown; never a box over it.
    void present(const QString &scoreText);
    // The photo of position `position` (1-based) when it is there but cannot be shown, with the reason
    // why; nothing for a readable or a missing photo.
    struct PhotoProblem {
        QString file;
        QString line;
    };
    std::optional<PhotoProblem> photoProblem(int position) const;
    // Tells the operator once per opening of each photo in `problems` not told of yet.
    void reportPhotos(const QList<PhotoProblem> &problems);
    // The photo of the contestant just chosen, told of while no score panel is up.
    void checkChosenPhoto();
    bool keyBelongsToEntry(int key) const;
    void saveScores();
    void startFlash(bool highest);
    void blink(int judge, score_rules::Mark mark);
    void endFlash(bool highest);
    bool scoringReady() const;
    bool hasContestant() const;
    void escape();
    void hideEntryPanel();

    // The judges' phones.
    bool phonesOn() const;
    // The phones' range of the chosen round, read when the round is chosen.
    void readRoundRange();
    judging::Performance performanceOnDisplay() const;
    void tellPhones(const judging::Performance &performance);
    void phoneScore(int judge, const QString &value);
    void entryEdited(int judge);
    void showMissing();

    // A judge's value from a phone for the performance on display, and whether the operator typed in
    // that judge's box, which a phone's value then leaves alone.
    struct PhoneEntry {
        QString value;
        bool fresh = false; // came after the last 确 定
        bool typed = false;
    };
    judging::JudgeLink *m_link;
    judging::Performance m_performance;
    double m_roundLowest = judging::Performance{}.lowest;
    double m_roundHighest = judging::Performance{}.highest;
    std::array<PhoneEntry, kMaxJudges> m_phone{};

    score_storage::Roster m_roster;
    std::array<score_rules::Mark, kMaxJudges> m_marks{};
    int m_position = 0;
    int m_judgeCount = 0; // J when it is 1..12, otherwise 0: no judge takes part
    int m_flashSeconds = 0;
    int m_blinkPhase = 0;
    int m_highestJudge = 0; // the judges the running flashes blink
    int m_lowestJudge = 0;
    QString m_judgesScore;
    QString m_answerScore;
    QString m_finalScore;
    QSet<QString> m_reportedPhotos; // the photos told of since the opening
    QHash<QString, QString> m_failedPhotos; // photos that failed to load under a score, and why
};
