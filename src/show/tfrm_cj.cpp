#include "tfrm_cj.h"

#include "media/asset_paths.h"
#include "ui/key_codes.h"
#include "ui/picture.h"
#include "ui/shadow_label.h"

#include <QDir>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QTimer>

#include <cmath>
#include <numbers>

namespace {

const QString kIdle = QStringLiteral("停止抽奖");
const QString kRunning = QStringLiteral("开始抽奖");

// The screen's own background: a red stage with rays, a gold title and a pale plate behind the entry
// (lab_cj at 179, 325; 652 x 124), where red type reads well.
QPixmap lotteryBackdrop(qreal dpr)
{
    QPixmap pix = stageCanvas(dpr);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient stage(QPointF(512, 380), 720);
    stage.setColorAt(0, QColor(176, 20, 32));
    stage.setColorAt(0.6, QColor(110, 6, 16));
    stage.setColorAt(1, QColor(36, 0, 6));
    p.fillRect(QRect(0, 0, StageWindow::kStageWidth, StageWindow::kStageHeight), stage);

    p.setPen(Qt::NoPen);
    for (int i = 0; i < 24; ++i) {
        const double a0 = 2 * std::numbers::pi * i / 24, a1 = a0 + std::numbers::pi / 48;
        QPainterPath ray(QPointF(512, 387));
        ray.lineTo(512 + 1300 * std::cos(a0), 387 + 1300 * std::sin(a0));
        ray.lineTo(512 + 1300 * std::cos(a1), 387 + 1300 * std::sin(a1));
        ray.closeSubpath();
        p.setBrush(QColor(255, 220, 140, 18));
        p.drawPath(ray);
    }

    QFont title = stageFont(QStringLiteral("黑体"), 80, true);
    title.setLetterSpacing(QFont::AbsoluteSpacing, 20);
    const QString caption = QStringLiteral("幸运抽奖");
    QPainterPath text;
    text.addText(QPointF((1024 - QFontMetricsF(title).horizontalAdvance(caption)) / 2 + 10, 170), title, caption);
    QLinearGradient gold(0, 90, 0, 180);
    gold.setColorAt(0, QColor(255, 248, 210));
    gold.setColorAt(0.5, QColor(246, 196, 70));
    gold.setColorAt(1, QColor(196, 124, 20));
    p.setPen(QPen(QColor(90, 20, 0), 2));
    p.setBrush(gold);
    p.drawPath(text);

    const QRectF plate(150, 305, 710, 164);
    QLinearGradient rim(plate.topLeft(), plate.bottomLeft());
    rim.setColorAt(0, QColor(255, 232, 150));
    rim.setColorAt(1, QColor(196, 130, 30));
    p.setPen(QPen(QColor(90, 30, 0), 2));
    p.setBrush(rim);
    p.drawRoundedRect(plate.adjusted(-10, -10, 10, 10), 28, 28);
    QLinearGradient face(plate.topLeft(), plate.bottomLeft());
    face.setColorAt(0, QColor(255, 252, 240));
    face.setColorAt(1, QColor(246, 230, 196));
    p.setPen(Qt::NoPen);
    p.setBrush(face);
    p.drawRoundedRect(plate, 20, 20);

    // A dark strip under the state text and the count at the bottom left.
    p.setBrush(QColor(0, 0, 0, 110));
    p.drawRoundedRect(QRectF(0, 736, 200, 26), 6, 6);
    p.end();
    return pix;
}

} // namespace

Tfrm_cj::Tfrm_cj(AppContext &context) : StageWindow(context, QStringLiteral("frm_cj"))
{
    setWindowTitle(QStringLiteral("抽奖"));

    Image1 = new Picture(this, QStringLiteral("Image1"));
    Image1->setGeometry(0, 0, kStageWidth, kStageHeight);
    Image1->setStretch(true);

    lab_cj = new ShadowLabel(this, QStringLiteral("lab_cj"));
    lab_cj->setGeometry(179, 325, 652, 124);
    lab_cj->setFont(stageFont(QStringLiteral("黑体"), 107, true));
    lab_cj->setTextColour(Qt::red);
    lab_cj->setShadow(Qt::black, 2, 2);
    lab_cj->setAlignment(Qt::AlignCenter);

    lab_bs = new ShadowLabel(this, QStringLiteral("lab_bs"));
    lab_bs->setGeometry(5, 742, 76, 13);
    Label7 = new ShadowLabel(this, QStringLiteral("Label7"));
    Label7->setGeometry(97, 742, 96, 13);
    for (ShadowLabel *l : {lab_bs, Label7}) {
        l->setFont(stageFont(QStringLiteral("宋体"), 12));
        l->setTextColour(QColor(255, 236, 180));
        l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    }
    lab_bs->setText(kIdle);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(kFlickerMs);
    connect(Timer1, &QTimer::timeout, this, [this] { guard([this] { Timer1Timer(); }); });
}

bool Tfrm_cj::isFlickering() const
{
    return lab_bs->text() != kIdle;
}

void Tfrm_cj::onShow()
{
    // Drawn when first shown, at the resolution of the display the stage is on.
    if (Image1->pixmap().devicePixelRatio() != devicePixelRatioF() || Image1->isEmpty())
        Image1->setPixmap(lotteryBackdrop(devicePixelRatioF()));
    Timer1->stop();
    lab_cj->setText({});
    lab_bs->setText(kIdle);
    m_listPath = context().paths.file(assets::kLotteryList);
    m_resultsPath = context().paths.file(assets::kLotteryResult);
    m_list.clear();
    m_listState = ListState::Unread;
    showCount();
    // A draw that a kill or a power cut interrupted is finished or undone before the list is read.
    lottery::recover(m_listPath, m_resultsPath);
    m_listState = m_list.load(m_listPath) ? ListState::Read : ListState::Missing;
    showCount();
}

void Tfrm_cj::onClose()
{
    // Every draw is in the list file already; a flicker left running draws nothing.
    Timer1->stop();
    lab_bs->setText(kIdle);
    m_list.clear();
}

void Tfrm_cj::showCount()
{
    Label7->setText(QString::number(m_list.count()));
}

bool Tfrm_cj::keyDown(int key, Qt::KeyboardModifiers, bool autoRepeat)
{
    switch (key) {
    case vk::Space:
        // A held key must not run draw after draw.
        if (!autoRepeat)
            startOrDraw();
        return true;
    case vk::Delete:
        lab_cj->setText({});
        return true;
    case vk::Escape:
        return true; // acted on when released
    default:
        return false;
    }
}

bool Tfrm_cj::keyUp(int key, Qt::KeyboardModifiers)
{
    switch (key) {
    case vk::Escape:
        closeScreen();
        return true;
    case vk::Space:
    case vk::Delete:
        return true; // acted on when pressed
    default:
        return false;
    }
}

void Tfrm_cj::startOrDraw()
{
    if (isFlickering())
        draw();
    else
        start();
}

void Tfrm_cj::start()
{
    // With nothing left to draw there is nothing to flicker: the operator is told why.
    if (m_list.isEmpty()) {
        switch (m_listState) {
        case ListState::Missing:
            context().dialogs().information(
                this, QStringLiteral("找不到抽奖名单文件“%1”，无法抽奖。").arg(QDir::toNativeSeparators(m_listPath)));
            break;
        case ListState::Unread:
            context().dialogs().information(this, QStringLiteral("抽奖名单没有读入，无法抽奖。请关闭抽奖后重新打开。"));
            break;
        case ListState::Read:
            context().dialogs().information(this, QStringLiteral("抽奖名单是空的，无法抽奖。"));
            break;
        }
        return;
    }
    context().services.random->randomize();
    lab_bs->setText(kRunning);
    Timer1->setInterval(kFlickerMs);
    Timer1->start();
}

void Tfrm_cj::Timer1Timer()
{
    if (m_list.isEmpty())
        return;
    const int n = m_list.count();
    const int i = context().services.random->below(n);
    lab_cj->setText(m_list.text(std::clamp(i, 0, n - 1)));
}

void Tfrm_cj::draw()
{
    lab_bs->setText(kIdle);
    Timer1->stop();
    // The last flicker name goes first: after a failed draw the audience must not read it as the winner.
    lab_cj->setText({});
    if (m_list.isEmpty())
        return;
    const QString when = lottery::drawTimeText(context().services.clock->now());
    const int n = m_list.count();
    const int index = std::clamp(context().services.random->below(n), 0, n - 1);
    // Logged and taken off the list on disk before it is shown; nothing is drawn when the files cannot
    // take it.
    const QString winner = lottery::commitDraw(m_listPath, m_resultsPath, m_list, index, when);
    lab_cj->setText(winner);
    showCount();
}
