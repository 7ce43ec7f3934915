#include "quiz_widgets.h"

#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace quiz {

namespace {

constexpr int kFrameMs = 16;

void bevel(QPainter &p, const QRect &r, int width)
{
    // Lowered: dark along the top and left, light along the bottom and right.
    const QColor dark(128, 128, 128);
    const QColor light(255, 255, 255);
    for (int i = 0; i < width; ++i) {
        const QRect e = r.adjusted(i, i, -i, -i);
        p.setPen(dark);
        p.drawLine(e.topLeft(), e.topRight());
        p.drawLine(e.topLeft(), e.bottomLeft());
        p.setPen(light);
        p.drawLine(e.bottomLeft(), e.bottomRight());
        p.drawLine(e.topRight(), e.bottomRight());
    }
}

} // namespace

BevelPanel::BevelPanel(QWidget *parent, const QString &name, const QColor &ground) : QFrame(parent), m_ground(ground)
{
    setObjectName(name);
    setGeometry(0, 0, 1024, 768);
}

void BevelPanel::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), m_ground);
    bevel(p, rect(), 2);
    bevel(p, rect().adjusted(2, 2, -2, -2), 2);
}

void TileLabel::mousePressEvent(QMouseEvent *event)
{
    emit pressed(event->modifiers());
    event->accept();
}

CountdownBox::CountdownBox(QWidget *parent, const QString &boxName, const QString &labelName, const QRect &place,
                           int pixelHeight, const QString &text)
    : QWidget(parent)
{
    setObjectName(boxName);
    setGeometry(place);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(255, 255, 0));
    setPalette(palette);
    caption = new ShadowLabel(this, labelName);
    caption->setGeometry(rect());
    caption->setFont(stageFont(QStringLiteral("Times New Roman"), pixelHeight, true));
    caption->setTextColour(QColor(255, 0, 0));
    caption->setShadow(Qt::black, 2, 2);
    caption->setAlignment(Qt::AlignCenter);
    caption->setText(text);
}

TransitionPicture::TransitionPicture(QWidget *parent, const QString &name) : Picture(parent, name), m_timer(new QTimer(this))
{
    m_timer->setInterval(kFrameMs);
    connect(m_timer, &QTimer::timeout, this, [this] {
        if (!inTransition())
            m_timer->stop();
        update();
    });
}

void TransitionPicture::startTransition(int effect)
{
    m_effect = std::clamp(effect, 0, EffectCount - 1);
    m_clock.start();
    m_timer->start();
    update();
}

bool TransitionPicture::inTransition() const
{
    return m_clock.isValid() && m_clock.elapsed() < kDurationMs;
}

void TransitionPicture::paintEvent(QPaintEvent *)
{
    if (pixmap().isNull())
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.setRenderHint(QPainter::Antialiasing);
    const QSize fitted = pixmap().deviceIndependentSize().toSize().scaled(size(), Qt::KeepAspectRatio);
    const QRect target(QPoint((width() - fitted.width()) / 2, (height() - fitted.height()) / 2), fitted);
    const double t = inTransition() ? std::clamp(double(m_clock.elapsed()) / kDurationMs, 0.0, 1.0) : 1.0;
    if (t < 1.0) {
        const QRectF r = rect();
        QPainterPath clip;
        switch (m_effect) {
        case Fade:
            p.setOpacity(t);
            break;
        case WipeRight:
            clip.addRect(QRectF(0, 0, r.width() * t, r.height()));
            break;
        case WipeDown:
            clip.addRect(QRectF(0, 0, r.width(), r.height() * t));
            break;
        case Iris: {
            const double radius = std::hypot(r.width(), r.height()) / 2 * t;
            clip.addEllipse(r.center(), radius, radius);
            break;
        }
        case Blinds: {
            const double slat = r.height() / 12;
            for (int i = 0; i < 12; ++i)
                clip.addRect(QRectF(0, i * slat, r.width(), slat * t));
            break;
        }
        default: // Split: opens from the middle outwards
            clip.addRect(QRectF(r.center().x() - r.width() * t / 2, 0, r.width() * t, r.height()));
            break;
        }
        if (!clip.isEmpty())
            p.setClipPath(clip);
    }
    p.drawPixmap(target, pixmap());
}

QPixmap builtInTile()
{
    QPixmap pixmap(170, 115);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient fill(QPointF(70, 40), 110);
    fill.setColorAt(0, QColor(255, 250, 170));
    fill.setColorAt(1, QColor(230, 180, 0));
    p.setBrush(fill);
    p.setPen(QPen(QColor(150, 100, 0), 3));
    p.drawEllipse(QRectF(4, 4, 162, 107));
    return pixmap;
}

QPixmap optionFrame(int option)
{
    QPixmap pixmap(470, 110);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    // The light bar the option's text lies on.
    QLinearGradient bar(0, 8, 0, 102);
    bar.setColorAt(0, QColor(255, 255, 255, 70));
    bar.setColorAt(1, QColor(200, 220, 255, 40));
    p.setPen(QPen(QColor(255, 214, 90, 200), 2));
    p.setBrush(bar);
    p.drawRoundedRect(QRectF(78, 6, 388, 98), 14, 14);
    // The oval badge with the letter.
    QRadialGradient badge(QPointF(36, 42), 50);
    badge.setColorAt(0, QColor(255, 236, 140));
    badge.setColorAt(1, QColor(214, 140, 10));
    p.setBrush(badge);
    p.setPen(QPen(QColor(120, 60, 0), 3));
    p.drawEllipse(QRectF(4, 12, 76, 86));
    p.setFont(stageFont(QStringLiteral("Times New Roman"), 56, true));
    p.setPen(QColor(120, 20, 0));
    p.drawText(QRectF(4, 12, 76, 86), Qt::AlignCenter, QString(QChar(u'A' + option)));
    return pixmap;
}

} // namespace quiz
