#include "leaderboard_ranking.h"

#include "data/dataset.h"
#include "score_rules.h"

#include <algorithm>

namespace leaderboard_ranking {

LeaderboardEntries load_descending(Dataset &query, int view_code, const ScoringSettings &settings)
{
    const int capacity = std::max(0, settings.contestant_count);
    const bool multi = view_code >= 5 && view_code <= 7;
    const int roundCount = multi ? view_code - 3 : 1;

    // Rows of each round in ascending bh; n is the largest row count, at most N.
    QVector<QVector<score_rules::StoredRow>> rounds;
    int n = 0;
    for (int r = 1; r <= roundCount; ++r) {
        const int round = multi ? r : view_code;
        query.close();
        query.setSql(QStringLiteral("select count(*) as shuliang from pwdf where lunshu=:ls "));
        query.bindInt(QStringLiteral(":ls"), round);
        query.open();
        const int count = query.value(QStringLiteral("shuliang")).toInt();
        query.close();
        query.setSql(QStringLiteral("select * from pwdf where lunshu=:ls order by bh"));
        query.bindInt(QStringLiteral(":ls"), round);
        query.open();
        QVector<score_rules::StoredRow> stored;
        stored.reserve(query.recordCount());
        for (query.first(); !query.eof(); query.next())
            stored.append({query.text(QStringLiteral("xm")), query.text(QStringLiteral("zhtotal"))});
        query.close();
        n = std::max(n, std::min(count, int(stored.size())));
        rounds.append(stored);
    }
    n = std::min(n, capacity);

    // A single round is handed over as round 1, so any view code outside 5..7 reads its own rows.
    LeaderboardEntries entries =
        score_rules::round_totals(multi ? view_code : 1, rounds, settings.round_coefficient, capacity);
    n = std::min(n, entries.size());
    entries.names.resize(n);
    entries.scores.resize(n);
    entries.loadedNames.resize(n);
    entries.loadedScores.resize(n);
    entries.ranks = QVector<int>(n, 0);
    score_rules::rank_entries(entries, score_rules::Order::Descending, settings.rank_mode);
    return entries;
}

QStringList ranked_names(const LeaderboardEntries &entries, int contestant_count)
{
    const int capacity = std::max(0, contestant_count);
    QStringList names = entries.names.mid(0, capacity);
    while (names.size() < capacity)
        names.append(QString());
    return names;
}

int last_scored_round(Dataset &query)
{
    query.close();
    query.setSql(QStringLiteral("select max(lunshu) as zd from pwdf where (lunshu>=1) and (lunshu<=4)"));
    query.open();
    const int round = query.isNull(QStringLiteral("zd")) ? 0 : query.value(QStringLiteral("zd")).toInt();
    query.close();
    return std::clamp(round, 0, 4);
}

int whole_contest_view(int last_round)
{
    if (last_round <= 0)
        return 0;
    return last_round == 1 ? 1 : std::min(last_round, 4) + 3;
}

} // namespace leaderboard_ranking
