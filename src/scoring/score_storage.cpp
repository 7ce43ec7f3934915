#include "score_storage.h"

#include "data/connection.h"
#include "data/dataset.h"
#include "settings/decimal_text.h"

#include <algorithm>

namespace score_storage {

namespace {

const QString kSelectRoster = QStringLiteral("select * from xsb order by bh");
const QString kSelectScores = QStringLiteral("select * from pwdf where (bh=:ls) and (lunshu=:ls1)");
const QString kDeleteRow = QStringLiteral("delete from pwdf where (bh=:ls) and (xm=:ls1) and (lunshu=:ls2)");
const QString kDeleteBackup = QStringLiteral("delete from pwdf_bak where (bh=:ls) and (xm=:ls1) and (lunshu=:ls2)");
const QString kSelectRow = QStringLiteral("select * from pwdf where (bh=:ls) and (xm=:ls1) and (lunshu=:ls2)");
const QString kSelectBackup = QStringLiteral("select * from pwdf_bak where (bh=:ls) and (xm=:ls1) and (lunshu=:ls2)");
const QString kDeleteRound = QStringLiteral("delete from pwdf where (lunshu=:ls)");

// A whole number column: empty reads 0, a stored text that is no whole number is a conversion error.
int intValue(const Dataset &query, const QString &column)
{
    const QVariant v = query.value(column);
    if (v.isNull())
        return 0;
    bool ok = false;
    const int n = v.toInt(&ok);
    return ok ? n : decimal_text::toInt(v.toString());
}

QString judgeColumn(int judge)
{
    return QStringLiteral("pw%1").arg(judge);
}

QString judgeScoreColumn(int judge)
{
    return QStringLiteral("pw%1df").arg(judge);
}

// Runs one of the statements keyed by (position, name, round).
void prepareKeyed(Dataset &query, const QString &sql, const ScoreRow &row)
{
    query.close();
    query.setSql(sql);
    query.bindInt(QStringLiteral(":ls"), row.position);
    query.bindText(QStringLiteral(":ls1"), row.name.trimmed());
    query.bindInt(QStringLiteral(":ls2"), row.round);
}

// Appends the row to the table the query selected, when the selection is empty.
void appendWhenMissing(Dataset &query, const ScoreRow &row)
{
    query.open();
    if (!query.isEmpty())
        return;
    query.append();
    query.setValue(QStringLiteral("bh"), decimal_text::fromInt(row.position));
    query.setValue(QStringLiteral("xm"), row.name.trimmed());
    query.setValue(QStringLiteral("lunshu"), decimal_text::fromInt(row.round));
    query.setValue(QStringLiteral("dfxs"), row.coefficient.trimmed());
    const int judges = int(std::min(row.judge_names.size(), row.judge_scores.size()));
    for (int j = 1; j <= judges; ++j) {
        query.setValue(judgeColumn(j), row.judge_names.at(j - 1).trimmed());
        query.setValue(judgeScoreColumn(j), row.judge_scores.at(j - 1).trimmed());
    }
    query.setValue(QStringLiteral("zhdf"), row.judges_score_text.trimmed());
    query.setValue(QStringLiteral("dtdf"), row.answer_score_text.trimmed());
    query.setValue(QStringLiteral("zhtotal"), row.final_score_text.trimmed());
    query.post();
}

void selectScores(Dataset &query, int position, int round)
{
    query.close();
    query.setSql(kSelectScores);
    query.bindInt(QStringLiteral(":ls"), position);
    query.bindInt(QStringLiteral(":ls1"), round);
    query.open();
}

} // namespace

void Roster::resize(int n)
{
    n = std::max(n, 0);
    numbers.resize(n);
    names.resize(n);
    photos.resize(n);
}

void load_roster(Dataset &query, int contestant_count, Roster &roster)
{
    roster.resize(contestant_count);
    query.close();
    query.setSql(kSelectRoster);
    query.open();
    if (query.isEmpty())
        return;
    // Past the last row the cursor stays put, so the remaining positions repeat it.
    for (int i = 0; i < roster.size(); ++i) {
        roster.numbers[i] = intValue(query, QStringLiteral("bh"));
        roster.names[i] = query.text(QStringLiteral("xm"));
        roster.photos[i] = query.text(QStringLiteral("zppath"));
        query.next();
    }
}

std::optional<StoredScores> load_scores(Dataset &query, int position, int round, int judge_count)
{
    selectScores(query, position, round);
    if (query.isEmpty())
        return std::nullopt;
    StoredScores s;
    for (int j = 1; j <= judge_count; ++j)
        s.judge_scores << query.text(judgeScoreColumn(j)).trimmed();
    s.answer_score_text = query.text(QStringLiteral("dtdf"));
    s.judges_score_text = query.text(QStringLiteral("zhdf"));
    s.final_score_text = query.text(QStringLiteral("zhtotal"));
    return s;
}

void save_scores(Connection &connection, Dataset &query, const ScoreRow &row)
{
    connection.transaction([&] {
        prepareKeyed(query, kDeleteRow, row);
        query.execute();
        prepareKeyed(query, kDeleteBackup, row);
        query.execute();
        prepareKeyed(query, kSelectRow, row);
        appendWhenMissing(query, row);
        prepareKeyed(query, kSelectBackup, row);
        appendWhenMissing(query, row);
    });
}

bool delete_contestant_scores(Dataset &query, int position, int round)
{
    selectScores(query, position, round);
    if (query.isEmpty())
        return false;
    query.deleteRow();
    return true;
}

int delete_round_scores(Dataset &query, int round)
{
    query.close();
    query.setSql(kDeleteRound);
    query.bindInt(QStringLiteral(":ls"), round);
    return query.execute();
}

} // namespace score_storage
