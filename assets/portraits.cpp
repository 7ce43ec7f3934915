#include "portraits.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace assetgen::art {

namespace {

enum class Hair { Short, SidePart, Long, Bun, Bob, Receding };
enum class Neckline { Round, VNeck, ShirtAndTie, HighCollar };

struct Look {
    QColor groundInner;
    QColor groundOuter;
    QColor skin;
    QColor hair;
    Hair hairStyle;
    QColor clothes;
    Neckline neckline;
    QColor accent; // tie or trim
    bool glasses;
};

QPainterPath ellipse(QPointF c, qreal rx, qreal ry)
{
    QPainterPath path;
    path.addEllipse(c, rx, ry);
    return path;
}

// The figure in a 300 x 300 box: shoulders at the bottom, the head's centre at (150, 128).
void drawFigure(QPainter &p, const Look &look)
{
    p.setPen(Qt::NoPen);
    const QColor shade = look.skin.darker(118);

    // Hair that falls behind the head and the shoulders.
    if (look.hairStyle == Hair::Long) {
        QPainterPath fall;
        fall.addRoundedRect(QRectF(74, 126, 152, 128), 40, 40);
        p.fillPath(ellipse(QPointF(150, 126), 76, 86).united(fall), look.hair);
    } else if (look.hairStyle == Hair::Bob) {
        QPainterPath fall;
        fall.addRoundedRect(QRectF(80, 110, 140, 86), 30, 30);
        p.fillPath(ellipse(QPointF(150, 122), 72, 80).united(fall), look.hair);
    } else if (look.hairStyle == Hair::Bun) {
        p.fillPath(ellipse(QPointF(150, 50), 30, 26), look.hair);
    }

    // Shoulders and clothes.
    QPainterPath body;
    body.moveTo(6, 300);
    body.cubicTo(10, 248, 58, 226, 112, 220);
    body.lineTo(188, 220);
    body.cubicTo(242, 226, 290, 248, 294, 300);
    body.closeSubpath();
    QLinearGradient cloth(QPointF(0, 220), QPointF(0, 300));
    cloth.setColorAt(0.0, look.clothes.lighter(118));
    cloth.setColorAt(1.0, look.clothes.darker(125));
    p.fillPath(body, cloth);

    // Neck, with the neckline of the clothes over it.
    QPainterPath neck;
    neck.addRoundedRect(QRectF(127, 166, 46, 66), 18, 18);
    p.fillPath(neck, shade);
    switch (look.neckline) {
    case Neckline::Round:
        p.fillPath(ellipse(QPointF(150, 226), 30, 14), shade);
        p.setPen(QPen(look.accent, 5));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(118, 210, 64, 32), 200 * 16, 140 * 16);
        p.setPen(Qt::NoPen);
        break;
    case Neckline::VNeck: {
        QPainterPath v;
        v.moveTo(122, 220);
        v.lineTo(178, 220);
        v.lineTo(150, 268);
        v.closeSubpath();
        p.fillPath(v, shade);
        p.setPen(QPen(look.accent, 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawLine(QPointF(122, 220), QPointF(150, 268));
        p.drawLine(QPointF(178, 220), QPointF(150, 268));
        p.setPen(Qt::NoPen);
        break;
    }
    case Neckline::ShirtAndTie: {
        QPainterPath shirt;
        shirt.moveTo(116, 220);
        shirt.lineTo(184, 220);
        shirt.lineTo(150, 300);
        shirt.closeSubpath();
        p.fillPath(shirt, QColor(246, 248, 252));
        QPainterPath tie;
        tie.moveTo(142, 230);
        tie.lineTo(158, 230);
        tie.lineTo(154, 242);
        tie.lineTo(162, 292);
        tie.lineTo(150, 300);
        tie.lineTo(138, 292);
        tie.lineTo(146, 242);
        tie.closeSubpath();
        p.fillPath(tie, look.accent);
        QPainterPath collars;
        collars.moveTo(126, 212);
        collars.lineTo(150, 232);
        collars.lineTo(134, 244);
        collars.closeSubpath();
        collars.moveTo(174, 212);
        collars.lineTo(150, 232);
        collars.lineTo(166, 244);
        collars.closeSubpath();
        p.fillPath(collars, QColor(255, 255, 255));
        p.setPen(QPen(look.clothes.darker(160), 3));
        p.drawLine(QPointF(116, 222), QPointF(146, 300));
        p.drawLine(QPointF(184, 222), QPointF(154, 300));
        p.setPen(Qt::NoPen);
        break;
    }
    case Neckline::HighCollar:
        p.setBrush(look.clothes.lighter(112));
        p.drawRoundedRect(QRectF(122, 204, 56, 30), 10, 10);
        p.setPen(QPen(look.accent, 4));
        p.drawLine(QPointF(150, 212), QPointF(150, 300));
        p.setPen(Qt::NoPen);
        break;
    }

    // Ears and head.
    p.fillPath(ellipse(QPointF(92, 136), 9, 15), look.skin.darker(108));
    p.fillPath(ellipse(QPointF(208, 136), 9, 15), look.skin.darker(108));
    QRadialGradient face(QPointF(140, 112), 90);
    face.setColorAt(0.0, look.skin.lighter(106));
    face.setColorAt(1.0, look.skin.darker(106));
    p.fillPath(ellipse(QPointF(150, 130), 58, 70), face);

    // Hair on top of the head: a cap with the face window cut out of it.
    {
        qreal part = 0;
        qreal window = 86;
        qreal capTop = 114;
        if (look.hairStyle == Hair::SidePart)
            part = 11;
        else if (look.hairStyle == Hair::Long || look.hairStyle == Hair::Bob)
            window = 92;
        else if (look.hairStyle == Hair::Receding) {
            window = 72;
            capTop = 124;
        }
        // The window's top edge is where the fringe ends.
        const QPainterPath faceWindow = ellipse(QPointF(150 + part, window + 64), 56, 64);
        QPainterPath upper;
        upper.addRect(QRectF(0, 0, 300, 168));
        const QPainterPath cap = ellipse(QPointF(150, capTop), 63, 68).subtracted(faceWindow).intersected(upper);
        p.fillPath(cap, look.hair);
    }

    // Face: brows, eyes with a glint, cheeks, nose and smile.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(look.hair.lighter(look.hair.lightness() < 60 ? 100 : 90), 4.5, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(114, 112, 28, 12), 30 * 16, 120 * 16);
    p.drawArc(QRectF(158, 112, 28, 12), 30 * 16, 120 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(38, 28, 28));
    p.drawEllipse(QPointF(128, 136), 6.5, 8);
    p.drawEllipse(QPointF(172, 136), 6.5, 8);
    p.setBrush(QColor(255, 255, 255));
    p.drawEllipse(QPointF(130, 133), 2.2, 2.2);
    p.drawEllipse(QPointF(174, 133), 2.2, 2.2);
    p.setBrush(QColor(240, 120, 120, 60));
    p.drawEllipse(QPointF(116, 160), 11, 7);
    p.drawEllipse(QPointF(184, 160), 11, 7);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(look.skin.darker(135), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(144, 146, 12, 10), 200 * 16, 140 * 16);
    p.setPen(QPen(QColor(184, 72, 72), 4, Qt::SolidLine, Qt::RoundCap));
    QPainterPath smile;
    smile.moveTo(134, 168);
    smile.quadTo(150, 182, 166, 168);
    p.drawPath(smile);
    if (look.glasses) {
        p.setPen(QPen(QColor(40, 40, 50), 3));
        p.drawRoundedRect(QRectF(111, 124, 34, 26), 8, 8);
        p.drawRoundedRect(QRectF(155, 124, 34, 26), 8, 8);
        p.drawLine(QPointF(145, 134), QPointF(155, 134));
        p.drawLine(QPointF(111, 132), QPointF(94, 128));
        p.drawLine(QPointF(189, 132), QPointF(206, 128));
    }
    p.setPen(Qt::NoPen);
}

QImage render(QSize size, const Look &look, qreal zoom)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal unit = size.width() / 300.0;
    const qreal logicalHeight = size.height() / unit;
    p.scale(unit, unit);
    QRadialGradient ground(QPointF(150, logicalHeight * 0.42), logicalHeight * 0.8);
    ground.setColorAt(0.0, look.groundInner);
    ground.setColorAt(1.0, look.groundOuter);
    p.fillRect(QRectF(0, 0, 300, logicalHeight), ground);
    // A soft studio light behind the head.
    QRadialGradient light(QPointF(150, logicalHeight - 300 * zoom + 128 * zoom), 130 * zoom);
    light.setColorAt(0.0, QColor(255, 255, 255, 70));
    light.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.fillRect(QRectF(0, 0, 300, logicalHeight), light);
    p.translate(150 - 150 * zoom, logicalHeight - 300 * zoom);
    p.scale(zoom, zoom);
    drawFigure(p, look);
    p.end();
    return image.convertToFormat(QImage::Format_RGB32);
}

const QColor kSkins[] = {QColor(248, 216, 190), QColor(240, 202, 172), QColor(234, 194, 162), QColor(246, 210, 180)};

} // namespace

QImage contestantPortrait(int index, QSize size)
{
    static const Look looks[] = {
        {QColor(255, 196, 120), QColor(214, 92, 40), kSkins[0], QColor(30, 22, 20), Hair::Long, QColor(200, 30, 60),
         Neckline::Round, QColor(255, 220, 120), false},
        {QColor(140, 200, 255), QColor(30, 80, 170), kSkins[1], QColor(24, 20, 20), Hair::Short, QColor(40, 40, 56),
         Neckline::ShirtAndTie, QColor(200, 40, 50), false},
        {QColor(200, 170, 255), QColor(90, 50, 170), kSkins[3], QColor(52, 34, 28), Hair::Bob, QColor(250, 250, 250),
         Neckline::VNeck, QColor(160, 120, 230), false},
        {QColor(150, 240, 200), QColor(20, 120, 100), kSkins[2], QColor(20, 18, 20), Hair::SidePart, QColor(30, 90, 160),
         Neckline::HighCollar, QColor(240, 200, 90), true},
        {QColor(255, 190, 210), QColor(190, 50, 100), kSkins[0], QColor(36, 26, 24), Hair::Bun, QColor(230, 180, 60),
         Neckline::VNeck, QColor(255, 240, 200), false},
        {QColor(255, 230, 140), QColor(200, 130, 20), kSkins[1], QColor(28, 22, 22), Hair::SidePart, QColor(180, 30, 40),
         Neckline::Round, QColor(250, 220, 140), false},
        {QColor(170, 230, 255), QColor(20, 110, 170), kSkins[3], QColor(44, 30, 26), Hair::Long, QColor(30, 150, 140),
         Neckline::HighCollar, QColor(255, 255, 255), false},
        {QColor(220, 220, 240), QColor(80, 80, 130), kSkins[2], QColor(22, 18, 18), Hair::Short, QColor(230, 120, 30),
         Neckline::VNeck, QColor(255, 230, 160), true},
    };
    constexpr int count = sizeof(looks) / sizeof(looks[0]);
    return render(size, looks[((index % count) + count) % count], 1.0);
}

QImage judgePortrait(int index, QSize size)
{
    static const Look looks[] = {
        {QColor(210, 220, 240), QColor(70, 90, 140), kSkins[1], QColor(110, 110, 118), Hair::Receding,
         QColor(30, 34, 48), Neckline::ShirtAndTie, QColor(170, 30, 40), true},
        {QColor(240, 220, 210), QColor(150, 90, 80), kSkins[0], QColor(30, 24, 22), Hair::Bob, QColor(120, 20, 40),
         Neckline::VNeck, QColor(240, 220, 160), false},
        {QColor(220, 235, 225), QColor(60, 110, 90), kSkins[2], QColor(20, 18, 20), Hair::SidePart, QColor(40, 44, 60),
         Neckline::ShirtAndTie, QColor(30, 70, 160), false},
        {QColor(235, 225, 245), QColor(100, 80, 140), kSkins[3], QColor(40, 28, 26), Hair::Bun, QColor(30, 60, 110),
         Neckline::HighCollar, QColor(220, 200, 120), true},
        {QColor(245, 235, 210), QColor(140, 110, 60), kSkins[1], QColor(26, 22, 22), Hair::Short, QColor(60, 40, 30),
         Neckline::ShirtAndTie, QColor(200, 150, 40), false},
    };
    constexpr int count = sizeof(looks) / sizeof(looks[0]);
    return render(size, looks[((index % count) + count) % count], 1.18);
}

} // namespace assetgen::art
