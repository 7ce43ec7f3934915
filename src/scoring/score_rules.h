#pragma once
// The arithmetic of judged scoring: highest and lowest judge, the judges' average, score formatting,
// the final score, round totals and the ranking of a leaderboard. No widgets; scores travel as text
// and are parsed only for the arithmetic. Failures throw AppError.
#include "score_types.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <array>

class SettingsFiles;

namespace score_rules {

enum class Mark { None, Highest, Lowest };

// Reads scoring_settings from config.ini. `previousPattern` stays when "小数点" is not 1, 2 or 3.
// The integer settings throw "'%s' is not a valid integer value" when they are not whole numbers.
ScoringSettings readScoringSettings(const SettingsFiles &settings, const QString &previousPattern);

// Parses a score text (blanks around it ignored); throws "'%s' is not a valid floating point value".
double parse_score(const QString &text);

// Judge numbers are 1-based; `scores` holds the texts of judges 1..J. Ties go to the lowest-numbered
// judge. An empty list reads judge 1 as an empty box, which is a conversion error.
int find_highest(const QStringList &scores);
int find_lowest(const QStringList &scores);

// The marks of tally mode 1: the highest judge is marked highest, then the lowest judge lowest (with all
// scores equal both are judge 1, which ends up marked lowest). `marks` is sized to the scores first; the
// marks of other judges (left by a flash) stay.
void mark_highest_lowest(const QStringList &scores, QVector<Mark> &marks);

// The average of the unmarked scores; throws no_average_text(judges, tally_mode) when none is unmarked.
// A judge beyond the end of `marks` counts as unmarked.
double judges_average(const QStringList &scores, const QVector<Mark> &marks, int tally_mode = 0);

// Why no average can be taken when every one of `judges` scores is marked, in Chinese for the operator:
// dropping the highest and the lowest (tally mode 1) of fewer than three judges leaves no score; otherwise
// the flashes of "=" and "-" left every score out.
QString no_average_text(int judges, int tally_mode);

// Formats with "#0.0", "#0.00", "#0.000" (halves away from zero after 18 significant digits), or the
// general form with at most 15 significant digits for any other pattern, the empty one included.
QString format_score(double value, const QString &pattern);

struct FinalScore {
    QString final_score_text;
    QString answer_score_text; // "0" when the answer score was empty
};
FinalScore final_score(const QString &judges_score_text, const QString &answer_score_text, const QString &pattern);

// One stored row of a round, read in ascending bh: its xm and zhtotal.
struct StoredRow {
    QString xm;
    QString zhtotal;
};

// Entries for view code 1..4 (the rows of that round) or 5..7 (the first 2..4 rounds weighted by their
// coefficients, matched by position). `rounds[r-1]` holds the rows of round r; a round missing from the
// list has no rows. At most N entries: rows past the N-th of a round are left out. Any other view code
// (0 included: nothing is stored before a round is chosen) gives no entries. Ranks are sized but unset.
LeaderboardEntries round_totals(int view_code, const QVector<QVector<StoredRow>> &rounds,
                                const std::array<QString, 4> &coefficients, int contestant_count);

enum class Order { Descending, Ascending, Roster };
// Sorts the entries in place with the exact selection sort and assigns ranks (rank_mode 1 dense, any
// other value competition). Roster order restores the order of loading.
void rank_entries(LeaderboardEntries &entries, Order order, int rank_mode);

} // namespace score_rules
