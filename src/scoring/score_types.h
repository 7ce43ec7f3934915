#pragma once
// The scoring state the scoring screen reads and the leaderboard and award ceremony share.
#include <QString>
#include <QStringList>
#include <QVector>
#include <array>

// The settings the score rules depend on, read from config.ini each time the scoring screen opens.
struct ScoringSettings {
    QString score_pattern;     // "#0.0", "#0.00", "#0.000", or empty until one was read
    int tally_mode = 0;        // 1: drop the highest and the lowest score
    int rank_mode = 0;         // 0: competition ranking, 1: dense ranking
    int judge_count = 0;       // J
    int contestant_count = 0;  // N
    std::array<QString, 4> round_coefficient; // rounds 1..4, as configured
};

// Leaderboard lines: parallel lists of names, scores and ranks, plus the order of loading.
struct LeaderboardEntries {
    QStringList names;
    QVector<double> scores;
    QVector<int> ranks;
    QStringList loadedNames;      // in ascending bh, for the roster-order view
    QVector<double> loadedScores;

    int size() const { return int(names.size()); }
};
