#pragma once
// The panels of the scoring screen: a judge's panel, the entry panel for the judges' scores and the two
// full-screen score panels, with the pictures built into the screen.
#include <QColor>
#include <QFrame>
#include <QList>
#include <QPixmap>

#include <array>
#include <optional>

class Picture;
class QLabel;
class QLineEdit;
class QPushButton;
class ShadowLabel;

namespace pfmain {

inline constexpr int kMaxJudges = 12;

// One judge: photo, name box and score box in a maroon frame (Panel1, Panel4, ... Panel34).
class JudgePanel : public QFrame {
    Q_OBJECT
public:
    static constexpr int kWidth = 139;
    static constexpr int kHeight = 257;

    JudgePanel(QWidget *parent, int judge);

    Picture *photo;     // Image1 .. Image12
    ShadowLabel *name;  // Label1, Label3, ... Label23
    ShadowLabel *score; // Label2, Label4, ... Label24; its background colour is the judge's mark
};

// Where judge `judge` (1-based) of `count` judges stands: one row of up to four at top 275, or from five
// on the first half (rounded down) over the rest at tops 180 and 450. Nothing for a judge beyond the count
// or a count outside 1..12.
std::optional<QPoint> judgePlace(int count, int judge);

// Where the text of an entry box came from, while the judges' phones are on: a phone, or the operator's
// keyboard, which a later phone value does not overwrite.
enum class EntrySource { None, Phone, Operator };

inline const QColor kPhoneEntry(190, 225, 255);
inline const QColor kOperatorEntry(255, 232, 170);

// The entry panel panel_sdsrfs: twelve captions with their entry boxes in two rows of six, the answer
// score box and the buttons 确 定, 退出 and 自动生成.
class EntryPanel : public QFrame {
    Q_OBJECT
public:
    explicit EntryPanel(QWidget *parent);

    // Shows the caption and box of judges 1..count only.
    void showJudges(int count);
    // Marks judge `judge`'s (1-based) box by its source: background, tooltip and accessible description.
    void setSource(int judge, EntrySource source);
    EntrySource source(int judge) const;

    std::array<QLabel *, kMaxJudges> captions; // Label26 .. Label37
    std::array<QLineEdit *, kMaxJudges> boxes;  // Edit2 .. Edit13
    QLabel *Label38;
    QLineEdit *ed_dtdf;
    QPushButton *Button1; // 确 定
    QPushButton *BitBtn2; // 退出
    QPushButton *Button2; // 自动生成

private:
    std::array<EntrySource, kMaxJudges> m_sources{};
};

// The strip shown with the entry panel while the phones are on, under the contestant's name: the judges
// whose score has not come, with a key to the entry boxes' colours.
class MissingStrip : public QFrame {
    Q_OBJECT
public:
    explicit MissingStrip(QWidget *parent);

    ShadowLabel *lab_wsd; // "未收到：3号 张三、5号 李四"
};

// The missing judges as the strip says them: numbers and names while they fit, numbers alone for many.
// `missing` are judge numbers (1-based), `names` the judges' names by number - 1.
QString missingJudgesText(const QList<int> &missing, const QStringList &names);

// A full-screen score panel: background, title, name and score, and the photo in the panel with photo.
struct ScorePanelDesign {
    const char *panel, *background, *title, *photo, *name, *score;
    QPoint titleAt;
    QRect nameRect;
    Qt::Alignment nameAlignment;
    QPoint scoreAt;
};

class ScorePanel : public QFrame {
    Q_OBJECT
public:
    ScorePanel(QWidget *parent, const ScorePanelDesign &design);

    Picture *background;
    ShadowLabel *title;
    Picture *photo; // null in the panel without photo
    ShadowLabel *name;
    ShadowLabel *score;
};

inline const ScorePanelDesign kWithPhoto{"panel_df", "image_dfbj", "lab_dfbt", "image_xszp", "lab_xsxm_1", "lab_xsdf",
                                         {424, 56}, {16, 416, 369, 65}, Qt::AlignCenter, {334, 217}};
inline const ScorePanelDesign kWithoutPhoto{"Panel_df1", "Image13", "lab_dfbt1", nullptr, "lab_xsxm_2", "lab_xsdf1",
                                            {264, 152}, {16, 48, 713, 49}, Qt::AlignLeft | Qt::AlignVCenter, {174, 305}};

// The pictures built into the screen, shown until files replace them.
QPixmap scoringBackdrop();
QPixmap scorePanelBackdrop(bool withPhoto);

} // namespace pfmain
