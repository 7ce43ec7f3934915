#include "setup_rules.h"

#include "data/dataset.h"
#include "settings/app_error.h"
#include "settings/decimal_text.h"
#include "settings/settings_keys.h"

#include <QHash>

namespace setup_rules {

std::optional<QString> rankModeText(const QString &stored)
{
    const QString v = stored.trimmed();
    if (v == QLatin1String("1"))
        return kDenseRanks;
    if (v == QLatin1String("0"))
        return kSkipRanks;
    return std::nullopt;
}

std::optional<QString> tallyModeText(const QString &stored)
{
    const QString v = stored.trimmed();
    if (v == QLatin1String("1"))
        return kDropExtremes;
    if (v == QLatin1String("0"))
        return kAverageAll;
    return std::nullopt;
}

QString lockedText(const QString &stored)
{
    return stored.trimmed() == QLatin1String("1") ? kLocked : kUnlocked;
}

std::optional<QString> rankModeValue(const QString &text)
{
    const QString t = text.trimmed();
    if (t == kDenseRanks)
        return QStringLiteral("1");
    if (t == kSkipRanks)
        return QStringLiteral("0");
    return std::nullopt;
}

std::optional<QString> tallyModeValue(const QString &text)
{
    const QString t = text.trimmed();
    if (t == kDropExtremes)
        return QStringLiteral("1");
    if (t == kAverageAll)
        return QStringLiteral("0");
    return std::nullopt;
}

QString lockedValue(const QString &text)
{
    return text.trimmed() == kLocked ? QStringLiteral("1") : QStringLiteral("0");
}

std::optional<QString> decimalsText(const QString &stored)
{
    const QString v = stored.trimmed();
    if (v == QLatin1String("1") || v == QLatin1String("2") || v == QLatin1String("3"))
        return v;
    return std::nullopt;
}

std::optional<int> judgeCount(const QString &text)
{
    const int c = decimal_text::toInt(text);
    if (c >= 1 && c <= kJudges)
        return c;
    return std::nullopt;
}

QString judgeNumberCaption(int judge)
{
    static const QStringList numerals{QStringLiteral("一"), QStringLiteral("二"), QStringLiteral("三"),
                                      QStringLiteral("四"), QStringLiteral("五"), QStringLiteral("六"),
                                      QStringLiteral("七"), QStringLiteral("八"), QStringLiteral("九"),
                                      QStringLiteral("十"), QStringLiteral("十一"), QStringLiteral("十二")};
    return numerals.value(judge - 1) + QStringLiteral("号：");
}

QString judgeNumberLabelName(int judge)
{
    static const int numbers[] = {95, 94, 93, 92, 91, 90, 19, 7, 6, 4, 97, 98};
    return QStringLiteral("Label%1").arg(numbers[(judge - 1) % kJudges]);
}

QString countdownEditName(int index)
{
    static const char *const names[] = {"ed_xztdjs1", "ed_wdtdjs1", "ed_lxtdjs1", "ed_tptdjs1", "ed_dmtdjs1"};
    return QString::fromLatin1(names[index % kCountdowns]);
}

QString countdownKey(int index)
{
    const QString *keys[] = {&keys::kChoiceSeconds, &keys::kAnswerSeconds, &keys::kMatchingSeconds,
                             &keys::kPictureSeconds, &keys::kMediaSeconds};
    return *keys[index % kCountdowns];
}

QList<IniFile::Entry> saveEntries(const SettingsForm &f)
{
    QList<IniFile::Entry> e;
    auto add = [&e](const QString &section, const QString &key, const QString &value) {
        e.append({section, key, value.trimmed()});
    };
    add(keys::kSystem, keys::kSerialPort, f.serialPort);
    add(keys::kScoring, keys::kDecimals, f.decimals);
    if (const auto v = rankModeValue(f.rankMode))
        add(keys::kScoring, keys::kRankMode, *v);
    if (const auto v = tallyModeValue(f.tallyMode))
        add(keys::kScoring, keys::kTallyMode, *v);
    add(keys::kContest, keys::kContestantCount, f.contestantCount);
    add(keys::kContest, keys::kBigCountdownSound, f.bigCountdownSound);
    for (int r = 1; r <= kRounds; ++r)
        add(keys::kContest, keys::roundLowest(r), f.lowest[r - 1]);
    for (int r = 1; r <= kRounds; ++r)
        add(keys::kContest, keys::roundHighest(r), f.highest[r - 1]);
    for (int r = 1; r <= kRounds; ++r)
        add(keys::kContest, keys::roundCoefficient(r), f.coefficient[r - 1]);

    add(keys::kJudges, keys::kJudgeCount, f.judgeCount);
    for (int j = 1; j <= kJudges; ++j)
        add(keys::kJudges, keys::judgeName(j), f.judgeNames[j - 1]);
    for (int j = 1; j <= kJudges; ++j)
        add(keys::kJudges, keys::judgePhoto(j), f.judgePhotos[j - 1]);

    for (int i = 0; i < kCountdowns; ++i)
        add(keys::kQuiz, countdownKey(i), f.countdowns[i]);
    add(keys::kQuiz, keys::kCountdownSoundFrom, f.countdownSoundFrom);
    add(keys::kQuiz, keys::kCountdownLocked, lockedValue(f.locked));
    add(keys::kQuiz, keys::kTileCount, f.tileCount);
    for (int t = 1; t <= kTiles; ++t)
        add(keys::kQuiz, keys::tileCaption(t), f.tileCaptions[t - 1]);
    return e;
}

namespace {

void wholeNumber(const QString &what, const QString &text)
{
    try {
        decimal_text::toInt(text);
    } catch (const AppError &) {
        throw AppError(QStringLiteral("“%1”应为整数，现在是“%2”，请检查！").arg(what, text.trimmed()));
    }
}

void number(const QString &what, const QString &text)
{
    try {
        decimal_text::toDouble(text);
    } catch (const AppError &) {
        throw AppError(QStringLiteral("“%1”应为数字，现在是“%2”，请检查！").arg(what, text.trimmed()));
    }
}

} // namespace

void checkForm(const SettingsForm &f)
{
    wholeNumber(QStringLiteral("通讯端口"), f.serialPort);
    wholeNumber(QStringLiteral("得分小数点保留"), f.decimals);
    if (!decimalsText(f.decimals))
        throw AppError(QStringLiteral("“得分小数点保留”应为1到3位，现在是“%1”，请检查！").arg(f.decimals.trimmed()));
    wholeNumber(QStringLiteral("选手个数"), f.contestantCount);
    wholeNumber(QStringLiteral("大屏幕倒计时音效"), f.bigCountdownSound);
    for (int r = 1; r <= kRounds; ++r) {
        number(keys::roundLowest(r), f.lowest[r - 1]);
        number(keys::roundHighest(r), f.highest[r - 1]);
        number(keys::roundCoefficient(r), f.coefficient[r - 1]);
    }
    wholeNumber(keys::kJudgeCount, f.judgeCount);
    if (!judgeCount(f.judgeCount))
        throw AppError(QStringLiteral("“评委个数”应为1到12，现在是“%1”，请检查！").arg(f.judgeCount.trimmed()));
    if (tallyModeValue(f.tallyMode) == QLatin1String("1") && *judgeCount(f.judgeCount) < kFewestToDropExtremes)
        throw AppError(QStringLiteral("“%1”至少要%2位评委，现在“评委个数”是“%3”：去掉最高分和最低分后没有分数可以求平均值，"
                                      "请增加评委或改为“%4”！")
                           .arg(kDropExtremes)
                           .arg(kFewestToDropExtremes)
                           .arg(f.judgeCount.trimmed(), kAverageAll));
    for (int i = 0; i < kCountdowns; ++i)
        wholeNumber(countdownKey(i), f.countdowns[i]);
    wholeNumber(keys::kCountdownSoundFrom, f.countdownSoundFrom);
    wholeNumber(QStringLiteral("显示选择题目个数"), f.tileCount);
}

std::optional<QString> presetRefusal(const QString &text)
{
    const QString t = text.trimmed();
    bool whole = true;
    int seconds = 0;
    try {
        seconds = decimal_text::toInt(t);
    } catch (const AppError &) {
        whole = false;
    }
    if (whole && seconds > 0)
        return std::nullopt;
    return QStringLiteral("倒计时时间应为大于0的整数秒，现在是“%1”，请检查！").arg(t);
}

const QList<ScoreColumn> &scoreColumns()
{
    static const QList<ScoreColumn> columns = [] {
        QList<ScoreColumn> c{
            {QStringLiteral("id"), QStringLiteral("编号"), 0, false},
            {QStringLiteral("bh"), QStringLiteral("编号"), 40, false},
            {QStringLiteral("xm"), QStringLiteral("选手姓名"), 150, true},
            {QStringLiteral("lunshu"), QStringLiteral("轮数"), 40, false},
            {QStringLiteral("dfxs"), QStringLiteral("得分系数"), 60, false},
            {QStringLiteral("zhdf"), QStringLiteral("演唱得分"), 80, true},
            {QStringLiteral("dtdf"), QStringLiteral("答题得分"), 80, true},
            {QStringLiteral("zhtotal"), QStringLiteral("最后得分"), 80, true},
        };
        for (int j = 1; j <= kJudges; ++j) {
            c.append({QStringLiteral("pw%1").arg(j), QStringLiteral("评委%1").arg(j), 60, false});
            c.append({QStringLiteral("pw%1df").arg(j), QStringLiteral("评委%1打分").arg(j), j <= 9 ? 65 : 75, false});
        }
        c.append({QStringLiteral("zgfpw"), QStringLiteral("最高分评委"), 80, false});
        c.append({QStringLiteral("zgf"), QStringLiteral("最高分"), 60, false});
        c.append({QStringLiteral("zdfpw"), QStringLiteral("最低分评委"), 80, false});
        c.append({QStringLiteral("zdf"), QStringLiteral("最低分"), 60, false});
        c.append({QStringLiteral("ls"), QString(), 0, false});
        c.append({QStringLiteral("bz"), QString(), 0, false});
        return c;
    }();
    return columns;
}

QString exportHeader(const QString &column)
{
    static const QHash<QString, QString> headers = [] {
        QHash<QString, QString> h{
            {QStringLiteral("bh"), QStringLiteral("编号")},
            {QStringLiteral("xm"), QStringLiteral("名称")},
            {QStringLiteral("lunshu"), QStringLiteral("比赛轮数")},
            {QStringLiteral("dfxs"), QStringLiteral("打分系数")},
            {QStringLiteral("zhdf"), QStringLiteral("演唱得分")},
            {QStringLiteral("dtdf"), QStringLiteral("答题得分")},
            {QStringLiteral("zhtotal"), QStringLiteral("最后得分")},
            {QStringLiteral("zgfpw"), QStringLiteral("最高分评委")},
            {QStringLiteral("zgf"), QStringLiteral("最高分")},
            {QStringLiteral("zdfpw"), QStringLiteral("最低分评委")},
            {QStringLiteral("zdf"), QStringLiteral("最低分")},
        };
        for (int j = 1; j <= kJudges; ++j) {
            h.insert(QStringLiteral("pw%1").arg(j), QStringLiteral("%1号评委").arg(j));
            h.insert(QStringLiteral("pw%1df").arg(j), QStringLiteral("%1号评委打分").arg(j));
        }
        return h;
    }();
    // Compared exactly, letter case included.
    return headers.value(column.trimmed());
}

QList<SheetCell> exportCells(const Dataset &query)
{
    const QStringList names = query.fieldNames();
    const int columns = int(names.size());
    const int rows = query.recordCount();
    QList<SheetCell> cells;
    cells.reserve(columns * (rows + 1));
    for (int c = 0; c < columns; ++c)
        cells.append({2, c + 1, exportHeader(names[c])});
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            cells.append({r + 3, c + 1, query.valueAt(r, c).toString()});
    return cells;
}

} // namespace setup_rules
