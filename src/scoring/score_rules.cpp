#include "score_rules.h"

#include "settings/app_error.h"
#include "settings/decimal_text.h"
#include "settings/settings_files.h"
#include "settings/settings_keys.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>
#include <utility>

namespace score_rules {

ScoringSettings readScoringSettings(const SettingsFiles &settings, const QString &previousPattern)
{
    ScoringSettings s;
    // The decimals key is compared as text: anything but 1, 2 or 3 (a non-number included) keeps the pattern.
    const QString decimals = settings.read(keys::kScoring, keys::kDecimals);
    if (decimals == QLatin1String("1"))
        s.score_pattern = QStringLiteral("#0.0");
    else if (decimals == QLatin1String("2"))
        s.score_pattern = QStringLiteral("#0.00");
    else if (decimals == QLatin1String("3"))
        s.score_pattern = QStringLiteral("#0.000");
    else
        s.score_pattern = previousPattern;

    s.tally_mode = settings.readInt(keys::kScoring, keys::kTallyMode);
    s.rank_mode = settings.readInt(keys::kScoring, keys::kRankMode);
    s.judge_count = settings.readInt(keys::kJudges, keys::kJudgeCount);
    s.contestant_count = settings.readInt(keys::kContest, keys::kContestantCount);
    for (int r = 1; r <= 4; ++r)
        s.round_coefficient[std::size_t(r - 1)] = settings.read(keys::kContest, keys::roundCoefficient(r));
    return s;
}

double parse_score(const QString &text)
{
    return decimal_text::toDouble(text);
}

namespace {

// The first judge whose score beats every earlier candidate by `better`; judge 1 starts as candidate.
template <typename Better>
int find_judge(const QStringList &scores, Better better)
{
    int candidate = 1;
    double best = parse_score(scores.value(0));
    for (int j = 2; j <= int(scores.size()); ++j) {
        const double value = parse_score(scores.at(j - 1));
        if (better(value, best)) {
            candidate = j;
            best = value;
        }
    }
    return candidate;
}

int decimalsOf(const QString &pattern)
{
    if (pattern == QLatin1String("#0.0"))
        return 1;
    if (pattern == QLatin1String("#0.00"))
        return 2;
    if (pattern == QLatin1String("#0.000"))
        return 3;
    return 0;
}

QString generalForm(double value)
{
    return QString::number(value, 'g', 15);
}

// Fixed-point text with `decimals` digits: the value is taken to 18 significant digits first, then rounded
// half away from zero on the first dropped digit, so 9.135 (just below in binary) stays 9.13.
QString fixedForm(double value, int decimals)
{
    if (!std::isfinite(value))
        return generalForm(value);

    constexpr int kDigits = 18;
    char buffer[64];
    // to_chars is independent of the C locale, unlike printf.
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                      std::chars_format::scientific, kDigits - 1);
    const std::string text(buffer, result.ptr);
    // text is "d.ddddddddddddddddde±x": 18 digits around the point, then the exponent.
    const std::size_t e = text.find('e');
    std::string digits = text.substr(0, 1) + text.substr(2, e - 2);
    const int exponent = std::atoi(text.c_str() + e + 1);

    // Digits of `digits` that lie before the (decimals+1)-th decimal place.
    int keep = exponent + 1 + decimals;
    std::string kept;
    if (keep >= kDigits) {
        kept = digits + std::string(std::size_t(keep - kDigits), '0');
    } else if (keep >= 0) {
        kept = digits.substr(0, std::size_t(keep));
        if (digits[std::size_t(keep)] >= '5') {
            int i = keep - 1;
            for (; i >= 0 && kept[std::size_t(i)] == '9'; --i)
                kept[std::size_t(i)] = '0';
            if (i >= 0)
                ++kept[std::size_t(i)];
            else
                kept.insert(kept.begin(), '1');
        }
    }
    // Below half of the last decimal place (keep < 0) nothing is kept: the value shows as zero.

    if (kept.size() < std::size_t(decimals) + 1)
        kept.insert(0, std::size_t(decimals) + 1 - kept.size(), '0');
    const bool zero = kept.find_first_not_of('0') == std::string::npos;
    const std::size_t point = kept.size() - std::size_t(decimals);
    // Leading zeros of the integer part are dropped, keeping one.
    const std::size_t first = std::min(kept.find_first_not_of('0'), point - 1);

    QString out;
    if (value < 0 && !zero)
        out += QLatin1Char('-');
    out += QLatin1String(kept.data() + first, qsizetype(point - first));
    out += QLatin1Char('.');
    out += QLatin1String(kept.data() + point, qsizetype(decimals));
    return out;
}

} // namespace

int find_highest(const QStringList &scores)
{
    return find_judge(scores, [](double value, double best) { return value > best; });
}

int find_lowest(const QStringList &scores)
{
    return find_judge(scores, [](double value, double best) { return value < best; });
}

void mark_highest_lowest(const QStringList &scores, QVector<Mark> &marks)
{
    const int highest = find_highest(scores);
    const int lowest = find_lowest(scores);
    marks.resize(scores.size());
    marks[highest - 1] = Mark::Highest;
    marks[lowest - 1] = Mark::Lowest;
}

QString no_average_text(int judges, int tally_mode)
{
    if (tally_mode == 1 && judges < 3)
        return QStringLiteral("无法求平均分：只有%1位评委，去掉最高分和最低分后没有剩下的分数。"
                              "请在参数设置中把评委个数增加到3位以上，或把得分统计模式改为“分数直接累加,求平均值”。")
            .arg(judges);
    return QStringLiteral("无法求平均分：%1位评委的分数都已被“=”和“-”键标为最高分或最低分，没有计入平均分的分数。")
        .arg(judges);
}

double judges_average(const QStringList &scores, const QVector<Mark> &marks, int tally_mode)
{
    double sum = 0;
    int count = 0;
    for (qsizetype j = 0; j < scores.size(); ++j) {
        if (marks.value(j, Mark::None) != Mark::None)
            continue;
        sum += parse_score(scores.at(j));
        ++count;
    }
    if (count == 0)
        throw AppError(no_average_text(int(scores.size()), tally_mode));
    return sum / count;
}

QString format_score(double value, const QString &pattern)
{
    const int decimals = decimalsOf(pattern);
    return decimals > 0 ? fixedForm(value, decimals) : generalForm(value);
}

FinalScore final_score(const QString &judges_score_text, const QString &answer_score_text, const QString &pattern)
{
    FinalScore f;
    f.answer_score_text = answer_score_text.trimmed().isEmpty() ? QStringLiteral("0") : answer_score_text;
    const double sum = parse_score(judges_score_text) + parse_score(f.answer_score_text);
    // The sum passes through its 15-digit text, so 8.47 + 1.5 is 9.97 and not a neighbour of it.
    f.final_score_text = format_score(parse_score(generalForm(sum)), pattern);
    return f;
}

LeaderboardEntries round_totals(int view_code, const QVector<QVector<StoredRow>> &rounds,
                                const std::array<QString, 4> &coefficients, int contestant_count)
{
    LeaderboardEntries e;
    const qsizetype limit = std::max(contestant_count, 0);
    // Rows past the N-th are not read at all: the board has room for N contestants only, and a bad
    // zhtotal in such a row does not stop the load.
    if (view_code >= 1 && view_code <= 4) {
        const QVector<StoredRow> rows = rounds.value(view_code - 1);
        const qsizetype n = std::min(rows.size(), limit);
        for (qsizetype i = 0; i < n; ++i) {
            e.names.append(rows.at(i).xm.trimmed());
            e.scores.append(parse_score(rows.at(i).zhtotal));
        }
    } else if (view_code >= 5 && view_code <= 7) {
        const int k = view_code - 3;
        e.names.resize(limit);
        e.scores.fill(0.0, limit);
        qsizetype n = 0;
        for (int r = 1; r <= k; ++r) {
            const QVector<StoredRow> rows = rounds.value(r - 1);
            const qsizetype count = std::min(rows.size(), limit);
            n = std::max(n, count);
            for (qsizetype i = 0; i < count; ++i) {
                e.names[i] = rows.at(i).xm.trimmed();
                const double zhtotal = parse_score(rows.at(i).zhtotal);
                e.scores[i] += zhtotal * parse_score(coefficients[std::size_t(r - 1)]);
            }
        }
        e.names.resize(n);
        e.scores.resize(n);
    }
    e.ranks.fill(0, e.names.size());
    e.loadedNames = e.names;
    e.loadedScores = e.scores;
    return e;
}

namespace {

// A plain selection sort with swaps. It is not stable, and the order it leaves among equal scores is part
// of what the board shows.
template <typename Before>
void selection_sort(LeaderboardEntries &e, Before before)
{
    const qsizetype n = e.scores.size();
    for (qsizetype i = 0; i + 1 < n; ++i) {
        qsizetype m = i;
        for (qsizetype j = i + 1; j < n; ++j) {
            if (before(e.scores.at(j), e.scores.at(m)))
                m = j;
        }
        if (m != i) {
            std::swap(e.scores[i], e.scores[m]);
            e.names.swapItemsAt(i, m);
        }
    }
}

} // namespace

void rank_entries(LeaderboardEntries &entries, Order order, int rank_mode)
{
    const bool dense = rank_mode == 1;
    if (order == Order::Roster) {
        entries.names = entries.loadedNames;
        entries.scores = entries.loadedScores;
    }
    const qsizetype n = entries.scores.size();
    QVector<int> &rank = entries.ranks;
    rank.fill(0, n);
    if (n == 0)
        return;

    switch (order) {
    case Order::Roster:
        for (qsizetype i = 0; i < n; ++i)
            rank[i] = int(i + 1);
        break;
    case Order::Descending: {
        selection_sort(entries, [](double a, double b) { return a > b; });
        int ties = 0;
        rank[0] = 1;
        for (qsizetype i = 1; i < n; ++i) {
            if (entries.scores.at(i) == entries.scores.at(i - 1)) {
                rank[i] = rank[i - 1];
                ++ties;
            } else {
                rank[i] = int(i + 1) - (dense ? ties : 0);
            }
        }
        break;
    }
    case Order::Ascending: {
        selection_sort(entries, [](double a, double b) { return a < b; });
        int ties = 0;
        rank[n - 1] = 1;
        for (qsizetype i = n - 2; i >= 0; --i) {
            if (entries.scores.at(i) == entries.scores.at(i + 1)) {
                rank[i] = rank[i + 1];
                ++ties;
            } else {
                rank[i] = int(n - i) - (dense ? ties : 0);
            }
        }
        break;
    }
    }
}

} // namespace score_rules
