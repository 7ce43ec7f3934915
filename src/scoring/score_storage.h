#pragma once
// The scoring screen's traffic with the contest database: the roster, the stored scores of one contestant
// in one round, saving them to pwdf and its backup pwdf_bak, and deleting them. Every statement runs on
// the shared scratch query handed in; a failure throws AppError with the database's text.
#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

class Connection;
class Dataset;

namespace score_storage {

// The contestants by position 1..N: index i holds position i + 1.
struct Roster {
    QVector<int> numbers; // bh, shown on the screen
    QStringList names;    // xm, shown and stored with every score row
    QStringList photos;   // zppath, a file name in "选手照片/"

    int size() const { return int(numbers.size()); }
    // Sizes the lists for n positions, keeping what the first ones hold; new positions are empty.
    void resize(int n);
};

// Sizes the roster for N positions and fills them from "select * from xsb order by bh". An empty table
// leaves the lists as they were; a table of fewer than N rows repeats its last row in the remaining
// positions, and rows past the N-th are not read.
void load_roster(Dataset &query, int contestant_count, Roster &roster);

// What one stored row holds for the screen.
struct StoredScores {
    QStringList judge_scores; // judges 1..J, trimmed
    QString judges_score_text; // zhdf, as stored
    QString answer_score_text; // dtdf, as stored
    QString final_score_text;  // zhtotal, as stored
};

// The first stored row of the position and round, or nothing when there is none.
std::optional<StoredScores> load_scores(Dataset &query, int position, int round, int judge_count);

// One row as a save writes it; every value reaches its column as text.
struct ScoreRow {
    int position = 0;
    QString name;
    int round = 0;
    QString coefficient;
    QStringList judge_names;  // judges 1..J; the columns of further judges stay empty
    QStringList judge_scores; // judges 1..J
    QString judges_score_text;
    QString answer_score_text;
    QString final_score_text;
};

// Replaces the row of (position, name, round) in pwdf and in pwdf_bak. Everything runs in one
// transaction on `connection`: when any step fails, both tables stay as they were.
void save_scores(Connection &connection, Dataset &query, const ScoreRow &row);

// Deletes from pwdf the row that load_scores finds for the position and round (the first one returned);
// returns false when there is none.
bool delete_contestant_scores(Dataset &query, int position, int round);

// Deletes the rows of every contestant in the round from pwdf (pwdf_bak keeps them); returns how many.
int delete_round_scores(Dataset &query, int round);

} // namespace score_storage
