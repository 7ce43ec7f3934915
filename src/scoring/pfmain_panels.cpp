#include "pfmain_panels.h"

#include "ui/picture.h"
#include "ui/shadow_label.h"

#include <QLabel>
#include <QLineEdit>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRadialGradient>

#include <cmath>
#include <numbers>

namespace pfmain {

namespace {

constexpr int kStageWidth = 1024;
constexpr int kStageHeight = 768;

const QColor kMaroon(128, 0, 0);
const QColor kGold(236, 196, 96);
const QColor kPaleGold(252, 236, 190);

// Left positions of k panels in one row, k = 1..6.
const std::array<std::array<int, 6>, 6> kPanelX{{
    {455},
    {348, 562},
    {226, 441, 656},
    {142, 337, 532, 727},
    {80, 259, 438, 617, 796},
    {50, 209, 368, 527, 686, 845},
}};

QString latin1(const char *text)
{
    return QString::fromLatin1(text);
}

// The night-blue stage every built-in picture starts from, lit from above.
void paintStage(QPainter &p, const QColor &top, const QColor &bottom, QPointF glowAt)
{
    QLinearGradient sky(0, 0, 0, kStageHeight);
    sky.setColorAt(0, top);
    sky.setColorAt(1, bottom);
    p.fillRect(QRect(0, 0, kStageWidth, kStageHeight), sky);
    QRadialGradient glow(glowAt, 620);
    glow.setColorAt(0, QColor(110, 150, 255, 110));
    glow.setColorAt(1, QColor(110, 150, 255, 0));
    p.fillRect(QRect(0, 0, kStageWidth, kStageHeight), glow);
}

// A plate of pale gold under labels the screen draws in dark ink.
void palePlate(QPainter &p, const QRectF &r)
{
    p.setPen(QPen(kGold, 2));
    p.setBrush(kPaleGold);
    p.drawRoundedRect(r, 6, 6);
}

// A dark translucent panel with a thin gold frame under light text.
void glassPanel(QPainter &p, const QRectF &r)
{
    p.setPen(QPen(kGold, 2));
    p.setBrush(QColor(4, 10, 40, 170));
    p.drawRoundedRect(r, 14, 14);
}

void goldTitle(QPainter &p, const QRect &box, const QString &text, int pixelSize)
{
    p.setFont(stageFont(QStringLiteral("黑体"), pixelSize, true));
    p.setPen(QColor(0, 0, 0, 150));
    p.drawText(box.translated(3, 3), Qt::AlignCenter, text);
    p.setPen(kGold);
    p.drawText(box, Qt::AlignCenter, text);
}

} // namespace

JudgePanel::JudgePanel(QWidget *parent, int judge) : QFrame(parent)
{
    setObjectName(QStringLiteral("Panel%1").arg(3 * judge - 2));
    resize(kWidth, kHeight);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, kMaroon);
    setPalette(pal);

    photo = new Picture(this, QStringLiteral("Image%1").arg(judge));
    photo->setGeometry(2, 2, 135, 169);
    photo->setStretch(true);

    name = new ShadowLabel(this, QStringLiteral("Label%1").arg(2 * judge - 1));
    name->setGeometry(2, 172, 135, 36);
    name->setFont(stageFont(QStringLiteral("黑体"), 33, true));
    name->setTextColour(Qt::blue);
    name->setBackground(Qt::white);
    name->setAlignment(Qt::AlignCenter);

    score = new ShadowLabel(this, QStringLiteral("Label%1").arg(2 * judge));
    score->setGeometry(3, 212, 133, 41);
    score->setFont(stageFont(QStringLiteral("黑体"), 40, true));
    score->setTextColour(Qt::black);
    score->setBackground(Qt::white);
    score->setAlignment(Qt::AlignCenter);
}

std::optional<QPoint> judgePlace(int count, int judge)
{
    if (count < 1 || count > kMaxJudges || judge < 1 || judge > count)
        return std::nullopt;
    if (count <= 4)
        return QPoint(kPanelX[count - 1][judge - 1], 275);
    const int upper = count / 2;
    if (judge <= upper)
        return QPoint(kPanelX[upper - 1][judge - 1], 180);
    return QPoint(kPanelX[count - upper - 1][judge - upper - 1], 450);
}

EntryPanel::EntryPanel(QWidget *parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("panel_sdsrfs"));
    setGeometry(108, 716, 785, 51);
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setAutoFillBackground(true);
    setFont(stageFont(QStringLiteral("宋体"), 12));

    // Two rows of six: caption then box, judges 1..6 above and 7..12 below.
    for (int j = 0; j < kMaxJudges; ++j) {
        const int x = 4 + (j % 6) * 100;
        const int y = j < 6 ? 3 : 26;
        captions[j] = new QLabel(QStringLiteral("%1号评委:").arg(j + 1), this);
        captions[j]->setObjectName(QStringLiteral("Label%1").arg(26 + j));
        captions[j]->setGeometry(x, y, 54, 21);
        captions[j]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        boxes[j] = new QLineEdit(this);
        boxes[j]->setObjectName(QStringLiteral("Edit%1").arg(2 + j));
        boxes[j]->setGeometry(x + 55, y, 42, 21);
    }
    Label38 = new QLabel(QStringLiteral("答题得分:"), this);
    Label38->setObjectName(QStringLiteral("Label38"));
    Label38->setGeometry(606, 3, 56, 21);
    Label38->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    ed_dtdf = new QLineEdit(this);
    ed_dtdf->setObjectName(QStringLiteral("ed_dtdf"));
    ed_dtdf->setGeometry(664, 3, 60, 21);

    auto button = [this](const QString &objectName, const QString &caption, const QRect &place) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(objectName);
        b->setGeometry(place);
        return b;
    };
    Button1 = button(QStringLiteral("Button1"), QStringLiteral("确 定"), {606, 26, 54, 22});
    BitBtn2 = button(QStringLiteral("BitBtn2"), QStringLiteral("退出"), {662, 26, 54, 22});
    Button2 = button(QStringLiteral("Button2"), QStringLiteral("自动生成"), {718, 26, 62, 22});
}

void EntryPanel::showJudges(int count)
{
    for (int j = 0; j < kMaxJudges; ++j) {
        captions[j]->setVisible(j < count);
        boxes[j]->setVisible(j < count);
    }
}

void EntryPanel::setSource(int judge, EntrySource source)
{
    if (judge < 1 || judge > kMaxJudges)
        return;
    m_sources[std::size_t(judge - 1)] = source;
    QLineEdit *box = boxes[std::size_t(judge - 1)];
    QPalette pal = box->palette();
    pal.setColor(QPalette::Base, source == EntrySource::Phone      ? kPhoneEntry
                                 : source == EntrySource::Operator ? kOperatorEntry
                                                                   : palette().color(QPalette::Base));
    box->setPalette(pal);
    const QString said = source == EntrySource::Phone      ? QStringLiteral("来自手机")
                         : source == EntrySource::Operator ? QStringLiteral("键盘录入")
                                                           : QString();
    box->setToolTip(said);
    box->setAccessibleDescription(said);
}

EntrySource EntryPanel::source(int judge) const
{
    return judge >= 1 && judge <= kMaxJudges ? m_sources[std::size_t(judge - 1)] : EntrySource::None;
}

MissingStrip::MissingStrip(QWidget *parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("panel_wsd"));
    // Between the contestant's name and the upper row of judges, where it hides no score.
    setGeometry(108, 144, 785, 30);
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setAutoFillBackground(true);

    lab_wsd = new ShadowLabel(this, QStringLiteral("lab_wsd"));
    lab_wsd->setGeometry(6, 2, 603, 26);
    lab_wsd->setFont(stageFont(QStringLiteral("黑体"), 18, true));
    lab_wsd->setTextColour(QColor(150, 0, 0));
    lab_wsd->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    // The key to the entry boxes' colours.
    auto key = [this](const QString &name, const QString &text, const QColor &colour, int x) {
        auto *l = new ShadowLabel(this, name);
        l->setGeometry(x, 4, 84, 22);
        l->setFont(stageFont(QStringLiteral("宋体"), 14));
        l->setBackground(colour);
        l->setAlignment(Qt::AlignCenter);
        l->setText(text);
    };
    key(QStringLiteral("lab_phone_key"), QStringLiteral("蓝底：手机"), kPhoneEntry, 612);
    key(QStringLiteral("lab_operator_key"), QStringLiteral("黄底：键盘"), kOperatorEntry, 697);
}

QString missingJudgesText(const QList<int> &missing, const QStringList &names)
{
    if (missing.isEmpty())
        return QStringLiteral("全部评委的分数已收到");
    // Six names fit the strip; more are said by number only.
    constexpr int kNamed = 6;
    QStringList parts;
    for (int judge : missing) {
        const QString name = names.value(judge - 1).trimmed();
        parts << (missing.size() > kNamed || name.isEmpty() ? QStringLiteral("%1号").arg(judge)
                                                            : QStringLiteral("%1号 %2").arg(judge).arg(name));
    }
    return QStringLiteral("未收到：") + parts.join(QStringLiteral("、"));
}

ScorePanel::ScorePanel(QWidget *parent, const ScorePanelDesign &design) : QFrame(parent)
{
    setObjectName(latin1(design.panel));
    setGeometry(0, 0, kStageWidth, kStageHeight);

    background = new Picture(this, latin1(design.background));
    background->setGeometry(rect());
    background->setStretch(true);

    title = new ShadowLabel(this, latin1(design.title));
    title->setGeometry(QRect(design.titleAt, QSize(457, 97)));
    title->setFont(stageFont(QStringLiteral("黑体"), 80, true));
    title->setTextColour(Qt::yellow);
    title->setShadow(Qt::black, -2, 2);

    photo = nullptr;
    if (design.photo) {
        photo = new Picture(this, latin1(design.photo));
        photo->setGeometry(36, 115, 304, 302);
    }

    this->name = new ShadowLabel(this, latin1(design.name));
    this->name->setGeometry(design.nameRect);
    this->name->setFont(stageFont(QStringLiteral("黑体"), 31, true));
    this->name->setTextColour(Qt::white);
    this->name->setAlignment(design.nameAlignment);
    this->name->setWordWrap(true);

    score = new ShadowLabel(this, latin1(design.score));
    score->setGeometry(QRect(design.scoreAt, QSize(627, 231)));
    score->setFont(stageFont(QStringLiteral("Times New Roman"), 200, true));
    score->setTextColour(Qt::yellow);
    score->setShadow(Qt::black, 5, 5);
    score->setAlignment(Qt::AlignCenter);
}

QPixmap scoringBackdrop()
{
    QPixmap pix(kStageWidth, kStageHeight);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    paintStage(p, QColor(8, 20, 70), QColor(4, 8, 30), QPointF(512, 120));

    // A lit floor under the judges.
    QRadialGradient floor(QPointF(512, 760), 520);
    floor.setColorAt(0, QColor(60, 90, 200, 120));
    floor.setColorAt(1, QColor(60, 90, 200, 0));
    p.fillRect(QRect(0, 420, kStageWidth, 348), floor);

    goldTitle(p, QRect(300, 14, 424, 70), QStringLiteral("现 场 评 分"), 48);
    p.setPen(QPen(kGold, 2));
    p.drawLine(QPointF(330, 88), QPointF(694, 88));

    palePlate(p, QRectF(2, 3, 66, 26));          // round title
    glassPanel(p, QRectF(-14, 91, 462, 46));     // contestant's name
    palePlate(p, QRectF(14, 741, 124, 26));      // number and count
    p.end();
    return pix;
}

QPixmap scorePanelBackdrop(bool withPhoto)
{
    QPixmap pix(kStageWidth, kStageHeight);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    paintStage(p, QColor(10, 24, 84), QColor(2, 6, 26), QPointF(512, 0));

    // Rays fanning out from the top centre.
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 18; ++i) {
        const double a0 = std::numbers::pi * (i / 18.0), a1 = a0 + std::numbers::pi / 36;
        QPainterPath ray(QPointF(512, -40));
        ray.lineTo(512 + 1400 * std::cos(a0), -40 + 1400 * std::sin(a0));
        ray.lineTo(512 + 1400 * std::cos(a1), -40 + 1400 * std::sin(a1));
        ray.closeSubpath();
        p.setBrush(QColor(255, 230, 160, 14));
        p.drawPath(ray);
    }

    if (withPhoto) {
        p.setPen(QPen(kGold, 4));
        p.setBrush(QColor(0, 0, 0, 120));
        p.drawRoundedRect(QRectF(30, 109, 316, 312), 8, 8);
        glassPanel(p, QRectF(12, 424, 377, 58));
        glassPanel(p, QRectF(350, 200, 600, 216));
    } else {
        glassPanel(p, QRectF(8, 40, 729, 65));
        glassPanel(p, QRectF(184, 300, 608, 240));
    }
    p.setPen(QPen(kGold, 2));
    p.drawLine(QPointF(60, 720), QPointF(964, 720));
    p.end();
    return pix;
}

} // namespace pfmain
