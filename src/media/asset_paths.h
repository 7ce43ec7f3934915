#pragma once
// Every fixed folder and file of the program folder, and how a stored bare name becomes a full path.
#include <QString>

namespace assets {

// Folders (relative to the program folder, ending in '/').
inline const QString kConfig = QStringLiteral("config/");
inline const QString kDatabase = QStringLiteral("database/");
inline const QString kHelp = QStringLiteral("帮助/");
inline const QString kPictures = QStringLiteral("系统图片/");
inline const QString kAnimations = QStringLiteral("系统图片/动画/");
inline const QString kSounds = QStringLiteral("音效/");
inline const QString kJudgePhotos = QStringLiteral("评委照片/");
inline const QString kJudgeIntro = QStringLiteral("评委照片/评委介绍/");
inline const QString kContestantPhotos = QStringLiteral("选手照片/");
inline const QString kContestantProfiles = QStringLiteral("选手照片/选手资料/");
inline const QString kQuestionPictures = QStringLiteral("多媒体素材/题目/图片题/");
inline const QString kAnswerPictures = QStringLiteral("多媒体素材/答案/图片题答案/");
inline const QString kAudioClips = QStringLiteral("多媒体素材/题目/音频题/");
inline const QString kFlashClips = QStringLiteral("多媒体素材/题目/flash题/");
inline const QString kVideoClips = QStringLiteral("多媒体素材/题目/视频题/");
inline const QString kMediaRoot = QStringLiteral("多媒体素材/题目/");
inline const QString kLottery = QStringLiteral("抽奖/");

// Fixed files (relative paths).
inline const QString kDatabaseFile = QStringLiteral("database/sys_main.db");
inline const QString kHelpFile = QStringLiteral("帮助/帮助.chm");
inline const QString kHubBackground = QStringLiteral("系统图片/主界面.jpg");
inline const QString kScoringBackground = QStringLiteral("系统图片/评分背景图.jpg");
inline const QString kLeaderboardBackground = QStringLiteral("系统图片/排行榜.jpg");
inline const QString kCountdownBackground = QStringLiteral("系统图片/倒计时.jpg");
inline const QString kStillBackground = QStringLiteral("系统图片/静止主界面.jpg");
inline const QString kSloganBackground = QStringLiteral("系统图片/宣传口号.jpg");
inline const QString kBoardBackground = QStringLiteral("系统图片/选题背景.jpg");
inline const QString kChoiceBackground = QStringLiteral("系统图片/选择题背景.jpg");
inline const QString kAnswerBackground = QStringLiteral("系统图片/问答题背景.jpg");
inline const QString kMatchingBackground = QStringLiteral("系统图片/连线题背景.bmp");
inline const QString kMediaBackground = QStringLiteral("系统图片/多媒体题背景.jpg");
inline const QString kTilePicture = QStringLiteral("系统图片/选题框.gif");
inline const QString kMatchingSurface = QStringLiteral("系统图片/连线题.bmp");
inline const QString kEntryChoicePage = QStringLiteral("系统图片/选择题.jpg");
inline const QString kEntryAnswerPage = QStringLiteral("系统图片/问答题.jpg");
inline const QString kAwardAnimation = QStringLiteral("系统图片/动画/颁奖界面.swf");
inline const QString kTickSound = QStringLiteral("音效/倒计时.wav");
inline const QString kTimeUpSound = QStringLiteral("音效/时间到.wav");
inline const QString kJudgeIntroShow = QStringLiteral("评委照片/评委介绍/评委介绍.ppt");
inline const QString kLotteryList = QStringLiteral("抽奖/抽奖名单.txt");
inline const QString kLotteryResult = QStringLiteral("抽奖/抽奖结果.txt");

// Background track of the slogan screen's keys A, S, D, F: "音效/背景音乐_A.mp3" and so on.
inline QString backgroundTrack(QChar key)
{
    return QStringLiteral("音效/背景音乐_") + key + QStringLiteral(".mp3");
}

// Round r (1..4) background of the scoring screen: "系统图片/评分背景图第一轮.jpg" and so on.
QString roundBackground(int round);

// The kind of a multimedia question's file, by its extension in any letter case.
enum class MediaKind { None, Audio, Flash, Video };
MediaKind mediaKind(const QString &fileName);
// The folder of a kind (empty for None).
QString mediaFolder(MediaKind kind);

} // namespace assets

// Full paths inside one program folder.
class AssetPaths {
public:
    // The folder is taken with a trailing '/' added when missing.
    explicit AssetPaths(const QString &programFolder);

    const QString &programFolder() const { return m_folder; }

    // Program folder + a relative path; '\' counts as '/', and a leading separator names the same file.
    QString file(const QString &relative) const;

    // A file named by a value from the settings or the database, inside `folder`. The name is trimmed;
    // an empty name, or one holding a path separator or "..", gives an empty path (no file), so a stored
    // name never reaches outside its folder.
    QString named(const QString &folder, const QString &name) const;

    // True when `relative` names an existing file.
    bool exists(const QString &relative) const;

private:
    QString m_folder;
};
