#pragma once
// What the contest setup screen knows without its widgets: the texts its lists show for stored values,
// the keys its save writes, the checks a value passes before it is stored, the score grid's columns and
// the cells of the score export.
#include "media/media_interfaces.h"
#include "settings/ini_file.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

class Dataset;

namespace setup_rules {

constexpr int kJudges = 12;
constexpr int kRounds = 4;
constexpr int kCountdowns = 5;
constexpr int kTiles = 20;
// Dropping the highest and the lowest score leaves a score to average from three judges on.
constexpr int kFewestToDropExtremes = 3;

// The list texts of three keys and their stored values.
inline const QString kSkipRanks = QStringLiteral("跳名次");
inline const QString kDenseRanks = QStringLiteral("不跳名次");
inline const QString kDropExtremes = QStringLiteral("去掉最高最低分,求平均值");
inline const QString kAverageAll = QStringLiteral("分数直接累加,求平均值");
inline const QString kLocked = QStringLiteral("锁定");
inline const QString kUnlocked = QStringLiteral("不锁定");

// Stored value (trimmed) to the text shown; nothing for a value the list does not know.
std::optional<QString> rankModeText(const QString &stored);
std::optional<QString> tallyModeText(const QString &stored);
QString lockedText(const QString &stored);
// Text shown to the stored value; nothing for a text the list does not know.
std::optional<QString> rankModeValue(const QString &text);
std::optional<QString> tallyModeValue(const QString &text);
QString lockedValue(const QString &text);
// "小数点" as the list shows it: "1", "2" or "3"; nothing for another value.
std::optional<QString> decimalsText(const QString &stored);

// The judge count of a text for showing or hiding judges: 1..12, or nothing for another whole number.
// Throws the conversion error for a text that is not a whole number.
std::optional<int> judgeCount(const QString &text);

// Number labels of judges 1..12 ("一号：" ..) and their widget names.
QString judgeNumberCaption(int judge);
QString judgeNumberLabelName(int judge);

// The countdown edits' widget names and keys, in order: choice, answer, matching, picture, multimedia.
QString countdownEditName(int index);
QString countdownKey(int index);

// Everything the save writes, as the widgets hold it (untrimmed).
struct SettingsForm {
    QString serialPort;
    QString decimals;
    QString rankMode;   // list text
    QString tallyMode;  // list text
    QString contestantCount;
    QString bigCountdownSound;
    std::array<QString, kRounds> lowest, highest, coefficient;
    QString judgeCount;
    std::array<QString, kJudges> judgeNames, judgePhotos;
    std::array<QString, kCountdowns> countdowns;
    QString countdownSoundFrom;
    QString locked;     // list text
    QString tileCount;
    std::array<QString, kTiles> tileCaptions;

    bool operator==(const SettingsForm &) const = default;
};

// The keys of config.ini in the order the save writes them, values trimmed; the ranking and tally modes
// are left out when their lists show a text they do not offer.
QList<IniFile::Entry> saveEntries(const SettingsForm &form);

// Checks the values every reader converts to numbers; throws AppError with a Chinese text that names the
// first value in error. The judge count must be 1..12, since the screens have room for twelve judges; the
// decimals 1..3, the patterns the scores know; dropping the highest and the lowest score needs three
// judges, or no score is left to average.
void checkForm(const SettingsForm &form);

// The refusal of a big-screen countdown preset, which the clock counts down from: anything but a whole
// number of seconds above 0. Nothing when the preset can be stored.
std::optional<QString> presetRefusal(const QString &text);

// One column of the score records grid.
struct ScoreColumn {
    QString name;
    QString title;
    int width = 0; // 0: hidden
    bool red = false;
};
// The grid's columns in the order of table pwdf.
const QList<ScoreColumn> &scoreColumns();

// The export's header of a column: the fixed header texts, the grid's titles for the columns the header
// texts leave out, nothing for the hidden ones.
QString exportHeader(const QString &column);

// The export of every row of `query`: headers in row 2, the rows from row 3, columns in the query's order.
// The query's current row is left where it was.
QList<SheetCell> exportCells(const Dataset &query);

// The workbook's title.
inline const QString kExportCaption = QStringLiteral("比赛评分数据资料");

} // namespace setup_rules
