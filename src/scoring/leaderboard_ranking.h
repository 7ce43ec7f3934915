#pragma once
// The leaderboard's descending ranking read straight from the stored scores, for the pages that need the
// ranking without the leaderboard screen having been shown (the award ceremony after a restart). No
// widgets; it runs its statements on the shared scratch query and throws AppError as the leaderboard does.
#include "score_types.h"

#include <QStringList>

class Dataset;

namespace leaderboard_ranking {

// The entries of view code 1..4 (one round) or 5..7 (the first 2..4 rounds weighted by their
// coefficients) as the leaderboard loads them from pwdf, at most N, ranked in descending order.
LeaderboardEntries load_descending(Dataset &query, int view_code, const ScoringSettings &settings);

// The names of the first `contestant_count` entries, empty names past the last entry.
QStringList ranked_names(const LeaderboardEntries &entries, int contestant_count);

// The highest round 1..4 that holds a stored score, or 0 when none does.
int last_scored_round(Dataset &query);

// The view that ranks the whole contest as stored: round 1 alone, or the weighted total of the first
// two to four rounds up to the last round that holds a score; 0 when nothing is stored.
int whole_contest_view(int last_round);

} // namespace leaderboard_ranking
