#include "tfrm_zjs.h"

#include "clock_rules.h"
#include "ui/key_codes.h"
#include "ui/picture.h"
#include "ui/shadow_label.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QTimer>

namespace {

// The screen's own background: a blue stage with a gold title and a pale board behind the figures.
QPixmap countUpBackdrop(qreal dpr)
{
    QPixmap pix = stageCanvas(dpr);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient stage(QPointF(512, 340), 700);
    stage.setColorAt(0, QColor(24, 64, 160));
    stage.setColorAt(0.6, QColor(8, 26, 86));
    stage.setColorAt(1, QColor(2, 8, 30));
    p.fillRect(QRect(0, 0, StageWindow::kStageWidth, StageWindow::kStageHeight), stage);

    // Soft lights across the top.
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 5; ++i) {
        QRadialGradient light(QPointF(100 + i * 206, -20), 260);
        light.setColorAt(0, QColor(160, 200, 255, 70));
        light.setColorAt(1, QColor(160, 200, 255, 0));
        p.setBrush(light);
        p.drawEllipse(QPointF(100 + i * 206, -20), 260, 260);
    }

    QFont title = stageFont(QStringLiteral("黑体"), 84, true);
    title.setLetterSpacing(QFont::AbsoluteSpacing, 24);
    QPainterPath text;
    const QFontMetricsF metrics(title);
    const QString caption = QStringLiteral("正计时");
    text.addText(QPointF((1024 - metrics.horizontalAdvance(caption)) / 2 + 12, 140), title, caption);
    QLinearGradient gold(0, 60, 0, 150);
    gold.setColorAt(0, QColor(255, 246, 200));
    gold.setColorAt(0.5, QColor(240, 190, 70));
    gold.setColorAt(1, QColor(190, 120, 20));
    p.setPen(QPen(QColor(80, 40, 0), 2));
    p.setBrush(gold);
    p.drawPath(text);

    // The board behind Label1 (128, 302; 546 x 133) and Label2 (701, 302; 138 x 133).
    const QRectF board(96, 270, 776, 197);
    QLinearGradient rim(board.topLeft(), board.bottomLeft());
    rim.setColorAt(0, QColor(255, 236, 170));
    rim.setColorAt(1, QColor(200, 140, 40));
    p.setPen(QPen(QColor(60, 32, 0), 2));
    p.setBrush(rim);
    p.drawRoundedRect(board.adjusted(-10, -10, 10, 10), 26, 26);
    QLinearGradient face(board.topLeft(), board.bottomLeft());
    face.setColorAt(0, QColor(255, 255, 252));
    face.setColorAt(1, QColor(232, 224, 204));
    p.setPen(Qt::NoPen);
    p.setBrush(face);
    p.drawRoundedRect(board, 18, 18);
    p.setPen(QPen(QColor(200, 190, 170), 2));
    p.drawLine(QPointF(688, 290), QPointF(688, 447));

    p.setPen(QPen(QColor(240, 190, 70), 3));
    p.drawLine(QPointF(112, 640), QPointF(912, 640));
    p.end();
    return pix;
}

} // namespace

Tfrm_zjs::Tfrm_zjs(AppContext &context) : StageWindow(context, QStringLiteral("frm_zjs"))
{
    setWindowTitle(QStringLiteral("正计时"));

    Image1 = new Picture(this, QStringLiteral("Image1"));
    Image1->setGeometry(0, 0, kStageWidth, kStageHeight);
    Image1->setStretch(true);

    Label1 = new ShadowLabel(this, QStringLiteral("Label1"));
    Label1->setGeometry(128, 302, 546, 133);
    Label1->setFont(stageFont(QStringLiteral("Times New Roman"), 133));
    Label1->setTextColour(Qt::black);
    Label1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    Label2 = new ShadowLabel(this, QStringLiteral("Label2"));
    Label2->setGeometry(701, 302, 138, 133);
    Label2->setFont(stageFont(QStringLiteral("Times New Roman"), 133));
    Label2->setTextColour(Qt::red);
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    Label3 = new ShadowLabel(this, QStringLiteral("Label3"));
    Label3->hide();

    auto timer = [this](const QString &name, int interval, void (Tfrm_zjs::*tick)()) {
        auto *t = new QTimer(this);
        t->setObjectName(name);
        t->setTimerType(Qt::PreciseTimer);
        t->setInterval(interval);
        connect(t, &QTimer::timeout, this, [this, tick] { guard([this, tick] { (this->*tick)(); }); });
        return t;
    };
    Timer1 = timer(QStringLiteral("Timer1"), kSecondMs, &Tfrm_zjs::Timer1Timer);
    Timer2 = timer(QStringLiteral("Timer2"), kFractionMs, &Tfrm_zjs::Timer2Timer);
    showZero();
}

qint64 Tfrm_zjs::now() const
{
    return context().services.clock->steadyMs();
}

bool Tfrm_zjs::isRunning() const
{
    return Timer1->isActive();
}

qint64 Tfrm_zjs::elapsedMs() const
{
    return isRunning() ? now() - m_startedAt : m_counted;
}

void Tfrm_zjs::onShow()
{
    // Drawn when first shown, at the resolution of the display the stage is on.
    if (Image1->pixmap().devicePixelRatio() != devicePixelRatioF() || Image1->isEmpty())
        Image1->setPixmap(countUpBackdrop(devicePixelRatioF()));
    // The timers stay as they are: Esc stopped them before the screen closed.
    reset();
}

void Tfrm_zjs::showZero()
{
    Label1->setText(QStringLiteral("00:00:00"));
    Label2->setText(QStringLiteral("00"));
    Label3->setText(QStringLiteral("0"));
}

void Tfrm_zjs::showElapsed()
{
    const qint64 ms = std::max<qint64>(0, elapsedMs());
    const qint64 seconds = ms / 1000;
    Label3->setText(QString::number(seconds));
    Label1->setText(clock_rules::format_elapsed(seconds));
    Label2->setText(QStringLiteral("%1").arg(ms % 1000 / 10, 2, 10, QLatin1Char('0')));
}

void Tfrm_zjs::startStop()
{
    if (isRunning()) {
        m_counted = now() - m_startedAt;
        Timer1->stop();
        Timer2->stop();
        showElapsed();
        return;
    }
    m_startedAt = now() - m_counted;
    Timer1->setInterval(kSecondMs);
    Timer1->start();
    Timer2->start();
}

void Tfrm_zjs::reset()
{
    m_counted = 0;
    m_startedAt = now();
    showZero();
    if (isRunning())
        Timer1->start(kSecondMs); // the next whole second is a second from now
}

void Tfrm_zjs::Timer1Timer()
{
    showElapsed();
    // Aim the next tick at the next whole second, whenever this one came.
    const qint64 intoSecond = std::max<qint64>(0, elapsedMs()) % 1000;
    Timer1->setInterval(int(kSecondMs - intoSecond));
}

void Tfrm_zjs::Timer2Timer()
{
    showElapsed();
}

bool Tfrm_zjs::keyUp(int key, Qt::KeyboardModifiers)
{
    switch (key) {
    case vk::Escape:
        if (isRunning())
            startStop();
        closeScreen();
        return true;
    case vk::Semicolon:
        reset();
        return true;
    case vk::Quote:
        startStop();
        return true;
    default:
        return false;
    }
}
