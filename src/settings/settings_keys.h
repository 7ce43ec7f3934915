#pragma once
// Sections and keys of the two settings files "config/config.ini" and "config/fenshu.ini".
#include <QString>

namespace keys {

// config.ini sections
inline const QString kSystem = QStringLiteral("系统设置");
inline const QString kScoring = QStringLiteral("评分设置");
inline const QString kContest = QStringLiteral("参数设置");
inline const QString kJudges = QStringLiteral("评委设置");
inline const QString kQuiz = QStringLiteral("题目设置");
inline const QString kSounds = QStringLiteral("音效");
inline const QString kCompetition = QStringLiteral("竞赛设置");

// 系统设置
inline const QString kSerialPort = QStringLiteral("串口端口");

// 评分设置
inline const QString kDecimals = QStringLiteral("小数点");
inline const QString kRankMode = QStringLiteral("分数计算模式");
inline const QString kTallyMode = QStringLiteral("得分统计模式");
inline const QString kFlashSeconds = QStringLiteral("闪动时间");

// 参数设置
inline const QString kContestantCount = QStringLiteral("选手个数");
inline const QString kBigCountdownSound = QStringLiteral("大屏幕倒计时音效");
inline const QString kRoundCount = QStringLiteral("比赛轮数");
inline const QString kCurrentContestant = QStringLiteral("当前选手");
inline const QString kFirstPrize = QStringLiteral("一等奖");
inline const QString kSecondPrize = QStringLiteral("二等奖");
inline const QString kThirdPrize = QStringLiteral("三等奖");

// Round r (1..4) keys: "第一轮系数", "第一轮名称", "第一轮最低分", "第一轮最高分" and so on.
inline QString roundKey(int round, const QString &suffix)
{
    static const QString numerals[] = {QStringLiteral("一"), QStringLiteral("二"), QStringLiteral("三"),
                                       QStringLiteral("四")};
    return QStringLiteral("第") + numerals[(round - 1) & 3] + QStringLiteral("轮") + suffix;
}
inline QString roundCoefficient(int round) { return roundKey(round, QStringLiteral("系数")); }
inline QString roundName(int round) { return roundKey(round, QStringLiteral("名称")); }
inline QString roundLowest(int round) { return roundKey(round, QStringLiteral("最低分")); }
inline QString roundHighest(int round) { return roundKey(round, QStringLiteral("最高分")); }

// 评委设置
inline const QString kJudgeCount = QStringLiteral("评委个数");
inline QString judgeName(int judge) { return QString::number(judge) + QStringLiteral("号评委"); }
inline QString judgePhoto(int judge) { return QString::number(judge) + QStringLiteral("号评委照片"); }

// 题目设置
inline const QString kChoiceSeconds = QStringLiteral("选择题倒计时");
inline const QString kAnswerSeconds = QStringLiteral("问答题倒计时");
inline const QString kMatchingSeconds = QStringLiteral("连线题倒计时");
inline const QString kPictureSeconds = QStringLiteral("图片题倒计时");
inline const QString kMediaSeconds = QStringLiteral("多媒体题倒计时");
inline const QString kCountdownSoundFrom = QStringLiteral("倒计时音效开始");
inline const QString kCountdownLocked = QStringLiteral("倒计时固定");
inline const QString kTileCount = QStringLiteral("选择题目个数");
inline QString tileCaption(int tile) { return QStringLiteral("题目") + QString::number(tile); }
inline const QString kRandomOrder = QStringLiteral("随机出题");
inline QString countdownPreset(int i) { return QStringLiteral("倒计时") + QString::number(i); }
inline const QString kQuestionFont = QStringLiteral("题目字体");
inline const QString kQuestionSize = QStringLiteral("题目大小");

// 音效
inline const QString kAwardMusic = QStringLiteral("颁奖音乐");

// 竞赛设置
inline const QString kTeamCount = QStringLiteral("参赛队伍个数");

// fenshu.ini
inline const QString kTeamScores = QStringLiteral("得分");
inline QString teamScore(int team) { return QString::number(team) + QStringLiteral("号"); }

// 投影输出: the display the stage goes to and whether it is scaled to that display
inline const QString kProjector = QStringLiteral("投影输出");
inline const QString kProjectorDisplay = QStringLiteral("投影显示器"); // the display's name; empty or "0": primary
inline const QString kProjectorNative = QStringLiteral("原始尺寸");   // "1": 1024 x 768 at the top left, unscaled

// 手机评分: the judges' phones; the link itself is off at every start until the operator turns it on
inline const QString kPhones = QStringLiteral("手机评分");
inline const QString kPhonesAddress = QStringLiteral("监听地址"); // an IPv4 address of the hall's network
inline const QString kPhonesPort = QStringLiteral("端口");
inline constexpr quint16 kPhonesDefaultPort = 8765;

} // namespace keys
