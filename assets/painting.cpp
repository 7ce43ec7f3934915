#include "painting.h"

#include <QLinearGradient>
#include <QRadialGradient>
#include <QRandomGenerator>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace assetgen::paint {

namespace {

const QColor kGoldPale(255, 248, 214);
const QColor kGold(255, 214, 94);
const QColor kGoldDeep(214, 150, 34);
const QColor kRim(58, 30, 0);

// One horizontal or vertical running-sum pass of a box blur over premultiplied ARGB pixels.
void boxPass(QImage &image, int radius, bool horizontal)
{
    const int w = image.width();
    const int h = image.height();
    const int lines = horizontal ? h : w;
    const int length = horizontal ? w : h;
    const int window = 2 * radius + 1;
    std::vector<quint32> source(static_cast<size_t>(length));
    for (int line = 0; line < lines; ++line) {
        auto pixel = [&](int i) -> QRgb & {
            return horizontal ? reinterpret_cast<QRgb *>(image.scanLine(line))[i]
                              : reinterpret_cast<QRgb *>(image.scanLine(i))[line];
        };
        for (int i = 0; i < length; ++i)
            source[static_cast<size_t>(i)] = pixel(i);
        int sum[4] = {0, 0, 0, 0};
        auto add = [&](int i, int sign) {
            const quint32 c = source[static_cast<size_t>(std::clamp(i, 0, length - 1))];
            sum[0] += sign * static_cast<int>((c >> 24) & 0xff);
            sum[1] += sign * static_cast<int>((c >> 16) & 0xff);
            sum[2] += sign * static_cast<int>((c >> 8) & 0xff);
            sum[3] += sign * static_cast<int>(c & 0xff);
        };
        for (int i = -radius; i <= radius; ++i)
            add(i, 1);
        for (int i = 0; i < length; ++i) {
            pixel(i) = (quint32(sum[0] / window) << 24) | (quint32(sum[1] / window) << 16)
                | (quint32(sum[2] / window) << 8) | quint32(sum[3] / window);
            add(i + radius + 1, 1);
            add(i - radius, -1);
        }
    }
}

// A transparent layer covering `bounds` grown by `margin`, for effects that are blurred before use.
struct Layer {
    QImage image;
    QPoint origin;
    Layer(const QRectF &bounds, int margin)
    {
        const QRect r = bounds.toAlignedRect().adjusted(-margin, -margin, margin, margin);
        origin = r.topLeft();
        image = QImage(r.size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
    }
    void drawInto(QPainter &p, qreal opacity = 1.0, QPainter::CompositionMode mode = QPainter::CompositionMode_SourceOver)
    {
        p.save();
        p.setOpacity(opacity);
        p.setCompositionMode(mode);
        p.drawImage(origin, image);
        p.restore();
    }
};

QLinearGradient metallic(const QRectF &b)
{
    QLinearGradient g(b.topLeft(), b.bottomLeft());
    g.setColorAt(0.0, kGoldPale);
    g.setColorAt(0.40, kGold);
    g.setColorAt(0.53, kGoldDeep);
    g.setColorAt(0.64, QColor(244, 190, 70));
    g.setColorAt(1.0, QColor(255, 232, 150));
    return g;
}

} // namespace

QFont cjkFont(int pixelSize, bool serif, int letterSpacing)
{
    QFont f(serif ? QStringLiteral("Noto Serif CJK SC") : QStringLiteral("Noto Sans CJK SC"));
    f.setPixelSize(pixelSize);
    f.setBold(true);
    f.setStyleStrategy(QFont::PreferAntialias);
    if (letterSpacing != 0)
        f.setLetterSpacing(QFont::AbsoluteSpacing, letterSpacing);
    return f;
}

QImage canvas(QSize size, qreal scale)
{
    QImage image((QSizeF(size) * scale).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::black);
    return image;
}

void blur(QImage &image, int radius)
{
    if (radius < 1 || image.isNull())
        return;
    // Wide blurs run at half size: the result is smooth anyway, and it costs a quarter.
    if (radius >= 4 && image.width() >= 16 && image.height() >= 16) {
        QImage half = image.scaled(image.width() / 2, image.height() / 2, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        blur(half, radius / 2);
        image = half.scaled(image.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                    .convertToFormat(QImage::Format_ARGB32_Premultiplied);
        return;
    }
    for (int pass = 0; pass < 3; ++pass) {
        boxPass(image, radius, true);
        boxPass(image, radius, false);
    }
}

void stageGradient(QPainter &p, const QRectF &r, const QColor &top, const QColor &middle, const QColor &bottom,
                   QPointF glowCentre, qreal glowRadius, const QColor &glow)
{
    QLinearGradient base(r.topLeft(), r.bottomLeft());
    base.setColorAt(0.0, top);
    base.setColorAt(0.55, middle);
    base.setColorAt(1.0, bottom);
    p.fillRect(r, base);
    QRadialGradient halo(glowCentre, glowRadius);
    QColor clear = glow;
    clear.setAlpha(0);
    halo.setColorAt(0.0, glow);
    halo.setColorAt(1.0, clear);
    p.fillRect(r, halo);
    // A gentle vignette keeps the eye in the middle of the stage.
    QRadialGradient vignette(r.center(), std::hypot(r.width(), r.height()) / 2);
    vignette.setColorAt(0.6, QColor(0, 0, 0, 0));
    vignette.setColorAt(1.0, QColor(0, 0, 0, 120));
    p.fillRect(r, vignette);
}

void spotlights(QPainter &p, const QRectF &r, int count, quint32 seed, const QColor &colour)
{
    QRandomGenerator random(seed);
    Layer layer(r, 0);
    {
        QPainter lp(&layer.image);
        lp.setRenderHint(QPainter::Antialiasing);
        lp.translate(-layer.origin);
        for (int i = 0; i < count; ++i) {
            const qreal sourceX = r.left() + r.width() * (i + 0.5) / count + random.bounded(60) - 30;
            const qreal aimX = r.center().x() + (sourceX - r.center().x()) * 0.35 + random.bounded(120) - 60;
            const qreal spread = 70 + random.bounded(60);
            const QPointF from(sourceX, r.top() - 40);
            const QPointF to(aimX, r.bottom());
            QPainterPath cone;
            cone.moveTo(from + QPointF(-8, 0));
            cone.lineTo(from + QPointF(8, 0));
            cone.lineTo(to + QPointF(spread, 0));
            cone.lineTo(to + QPointF(-spread, 0));
            cone.closeSubpath();
            QLinearGradient fade(from, to);
            QColor c = colour;
            c.setAlpha(70);
            fade.setColorAt(0.0, c);
            c.setAlpha(18);
            fade.setColorAt(0.7, c);
            c.setAlpha(0);
            fade.setColorAt(1.0, c);
            lp.fillPath(cone, fade);
        }
    }
    blur(layer.image, 14);
    layer.drawInto(p, 1.0, QPainter::CompositionMode_Screen);
}

void bokeh(QPainter &p, const QRectF &area, int count, quint32 seed, const QColor &colour)
{
    QRandomGenerator random(seed);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setCompositionMode(QPainter::CompositionMode_Screen);
    for (int i = 0; i < count; ++i) {
        const QPointF c(area.left() + random.bounded(area.width()), area.top() + random.bounded(area.height()));
        const qreal radius = 5 + random.bounded(30.0);
        QRadialGradient disc(c, radius);
        QColor inner = colour;
        inner.setAlpha(20 + random.bounded(50));
        QColor outer = colour;
        outer.setAlpha(0);
        disc.setColorAt(0.0, inner);
        disc.setColorAt(0.8, inner);
        disc.setColorAt(1.0, outer);
        p.setBrush(disc);
        p.drawEllipse(c, radius, radius);
    }
    p.restore();
}

void sparkle(QPainter &p, QPointF c, qreal size, const QColor &colour)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    QRadialGradient glow(c, size * 0.9);
    QColor g = colour;
    g.setAlpha(110);
    glow.setColorAt(0.0, g);
    g.setAlpha(0);
    glow.setColorAt(1.0, g);
    p.setBrush(glow);
    p.drawEllipse(c, size * 0.9, size * 0.9);
    QPainterPath star;
    const qreal w = size * 0.14;
    star.moveTo(c + QPointF(0, -size));
    star.quadTo(c + QPointF(w, -w), c + QPointF(size, 0));
    star.quadTo(c + QPointF(w, w), c + QPointF(0, size));
    star.quadTo(c + QPointF(-w, w), c + QPointF(-size, 0));
    star.quadTo(c + QPointF(-w, -w), c + QPointF(0, -size));
    p.setBrush(colour);
    p.drawPath(star);
    p.restore();
}

QPainterPath textPath(const QString &text, const QFont &font, const QRectF &box, Qt::Alignment align)
{
    QPainterPath path;
    path.addText(0, 0, font, text);
    const QRectF b = path.boundingRect();
    qreal x = box.center().x() - b.center().x();
    if (align & Qt::AlignLeft)
        x = box.left() - b.left();
    else if (align & Qt::AlignRight)
        x = box.right() - b.right();
    const qreal y = box.center().y() - b.center().y();
    return path.translated(x, y);
}

void goldText(QPainter &p, const QPainterPath &path, qreal rim)
{
    const QRectF b = path.boundingRect();
    if (rim <= 0)
        rim = std::max<qreal>(2.0, b.height() * 0.05);
    // Warm glow and soft shadow, each blurred on a layer of its own.
    Layer glow(b, 40);
    {
        QPainter lp(&glow.image);
        lp.setRenderHint(QPainter::Antialiasing);
        lp.translate(-glow.origin);
        lp.strokePath(path, QPen(QColor(255, 190, 60, 170), rim * 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    }
    blur(glow.image, std::max(4, static_cast<int>(rim * 3)));
    glow.drawInto(p, 0.8, QPainter::CompositionMode_Screen);
    Layer shadow(b, 30);
    {
        QPainter lp(&shadow.image);
        lp.setRenderHint(QPainter::Antialiasing);
        lp.translate(-shadow.origin + QPointF(rim * 0.8, rim * 1.4));
        lp.fillPath(path, QColor(0, 0, 0, 220));
        lp.strokePath(path, QPen(QColor(0, 0, 0, 220), rim * 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    }
    blur(shadow.image, std::max(2, static_cast<int>(rim * 1.2)));
    shadow.drawInto(p);

    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.strokePath(path, QPen(kRim, rim * 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.strokePath(path, QPen(QColor(255, 236, 170), rim * 0.7, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.fillPath(path, metallic(b));
    p.restore();
}

void whiteText(QPainter &p, const QPainterPath &path, const QColor &colour)
{
    const QRectF b = path.boundingRect();
    const qreal unit = std::max<qreal>(1.5, b.height() * 0.05);
    Layer shadow(b, 24);
    {
        QPainter lp(&shadow.image);
        lp.setRenderHint(QPainter::Antialiasing);
        lp.translate(-shadow.origin + QPointF(unit, unit * 1.5));
        lp.fillPath(path, QColor(0, 0, 0, 230));
        lp.strokePath(path, QPen(QColor(0, 0, 0, 200), unit * 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    }
    blur(shadow.image, std::max(2, static_cast<int>(unit * 1.5)));
    shadow.drawInto(p);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(b.topLeft(), b.bottomLeft());
    g.setColorAt(0.0, colour);
    g.setColorAt(1.0, colour.darker(115));
    p.fillPath(path, g);
    p.restore();
}

void goldRule(QPainter &p, QPointF from, QPointF to, qreal thickness)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(from, to);
    QColor clear = kGold;
    clear.setAlpha(0);
    g.setColorAt(0.0, clear);
    g.setColorAt(0.25, kGold);
    g.setColorAt(0.5, kGoldPale);
    g.setColorAt(0.75, kGold);
    g.setColorAt(1.0, clear);
    p.setPen(QPen(QBrush(g), thickness, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(from, to);
    const QPointF m = (from + to) / 2;
    const qreal d = thickness * 3.2;
    QPainterPath diamond;
    diamond.moveTo(m + QPointF(0, -d));
    diamond.lineTo(m + QPointF(d * 1.6, 0));
    diamond.lineTo(m + QPointF(0, d));
    diamond.lineTo(m + QPointF(-d * 1.6, 0));
    diamond.closeSubpath();
    p.setPen(QPen(kRim, 1.2));
    p.setBrush(metallic(diamond.boundingRect()));
    p.drawPath(diamond);
    p.restore();
}

void glassPanel(QPainter &p, const QRectF &r, qreal radius, const QColor &fill)
{
    Layer shadow(r, 30);
    {
        QPainter lp(&shadow.image);
        lp.setRenderHint(QPainter::Antialiasing);
        lp.translate(-shadow.origin + QPointF(0, 8));
        lp.setPen(Qt::NoPen);
        lp.setBrush(QColor(0, 0, 0, 150));
        lp.drawRoundedRect(r, radius, radius);
    }
    blur(shadow.image, 10);
    shadow.drawInto(p);

    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawRoundedRect(r, radius, radius);
    // A faint sheen over the upper part, as on glass.
    QLinearGradient sheen(r.topLeft(), QPointF(r.left(), r.top() + r.height() * 0.5));
    sheen.setColorAt(0.0, QColor(255, 255, 255, 34));
    sheen.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.setBrush(sheen);
    p.drawRoundedRect(r, radius, radius);
    p.setBrush(Qt::NoBrush);
    QLinearGradient frame(r.topLeft(), r.bottomRight());
    frame.setColorAt(0.0, kGoldPale);
    frame.setColorAt(0.5, kGoldDeep);
    frame.setColorAt(1.0, kGold);
    p.setPen(QPen(QBrush(frame), 2.5));
    p.drawRoundedRect(r, radius, radius);
    p.setPen(QPen(QColor(255, 230, 150, 70), 1));
    p.drawRoundedRect(r.adjusted(5, 5, -5, -5), std::max<qreal>(0, radius - 4), std::max<qreal>(0, radius - 4));
    p.restore();
}

void goldBand(QPainter &p, const QRectF &r, qreal radius)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0.0, QColor(255, 240, 190));
    g.setColorAt(0.5, QColor(240, 204, 120));
    g.setColorAt(1.0, QColor(214, 168, 70));
    p.setPen(QPen(QColor(120, 78, 10), 1.2));
    p.setBrush(g);
    p.drawRoundedRect(r, radius, radius);
    p.restore();
}

void curtains(QPainter &p, const QRectF &r, qreal drapeWidth, const QColor &cloth)
{
    // Each drape is drawn pixel by pixel: the folds bunch together at the tie-back, as real cloth does.
    Layer layer(r, 0);
    const int w = layer.image.width();
    const int h = layer.image.height();
    const qreal tieY = h * 0.62;
    const qreal folds = 7;
    for (int y = 0; y < h; ++y) {
        // Width of the drape at this height: full at the top, narrowest at the tie-back, flaring below it.
        qreal width;
        if (y < tieY) {
            const qreal t = y / tieY;
            width = drapeWidth * (1.0 - 0.48 * t * t);
        } else {
            const qreal t = (y - tieY) / (h - tieY);
            width = drapeWidth * (0.52 + 0.3 * std::sqrt(t));
        }
        const qreal vertical = 0.78 + 0.22 * std::sin(std::numbers::pi * y / h);
        auto *line = reinterpret_cast<QRgb *>(layer.image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const qreal fromEdge = std::min<qreal>(x, w - 1 - x);
            if (fromEdge > width + 1)
                continue;
            const qreal coverage = std::clamp(width + 0.5 - fromEdge, 0.0, 1.0);
            const qreal u = fromEdge / width; // 0 at the wall, 1 at the inner edge
            const qreal wave = 0.5 + 0.5 * std::cos(u * folds * 2 * std::numbers::pi);
            qreal shade = (0.42 + 0.58 * std::pow(wave, 1.6)) * vertical * (1.0 - 0.25 * u);
            shade = std::clamp(shade, 0.0, 1.25);
            const int red = std::min(255, static_cast<int>(cloth.red() * shade + 30 * std::pow(wave, 8)));
            const int green = std::min(255, static_cast<int>(cloth.green() * shade + 8 * std::pow(wave, 8)));
            const int blue = std::min(255, static_cast<int>(cloth.blue() * shade + 8 * std::pow(wave, 8)));
            const int a = static_cast<int>(255 * coverage);
            line[x] = qPremultiply(qRgba(red, green, blue, a));
        }
    }
    layer.drawInto(p);
    // Gold tie-back ropes.
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const qreal tieWidth = drapeWidth * 0.52;
    for (int side = 0; side < 2; ++side) {
        const qreal x = side == 0 ? r.left() + tieWidth - 10 : r.right() - tieWidth + 10;
        const QRectF knot(x - 12, r.top() + tieY - 9, 24, 18);
        QRadialGradient g(knot.center() - QPointF(3, 4), 14);
        g.setColorAt(0.0, kGoldPale);
        g.setColorAt(0.6, kGold);
        g.setColorAt(1.0, kGoldDeep);
        p.setPen(QPen(kRim, 1));
        p.setBrush(g);
        p.drawEllipse(knot);
        p.setPen(QPen(kGoldDeep, 3));
        p.drawLine(QPointF(side == 0 ? r.left() : r.right(), r.top() + tieY), knot.center());
    }
    p.restore();
}

void valance(QPainter &p, const QRectF &r, qreal height, const QColor &cloth)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const int swags = 7;
    const qreal swagWidth = r.width() / swags;
    QPainterPath band;
    band.moveTo(r.topLeft());
    band.lineTo(r.topRight());
    band.lineTo(r.right(), r.top() + height * 0.7);
    for (int i = swags - 1; i >= 0; --i) {
        const qreal x0 = r.left() + (i + 1) * swagWidth;
        const qreal x1 = r.left() + i * swagWidth;
        band.cubicTo(QPointF(x0 - swagWidth * 0.2, r.top() + height * 1.15), QPointF(x1 + swagWidth * 0.2, r.top() + height * 1.15),
                     QPointF(x1, r.top() + height * 0.7));
    }
    band.closeSubpath();
    QLinearGradient g(r.topLeft(), QPointF(r.left(), r.top() + height));
    g.setColorAt(0.0, cloth.darker(170));
    g.setColorAt(0.6, cloth);
    g.setColorAt(1.0, cloth.lighter(120));
    Layer shadow(band.boundingRect(), 20);
    {
        QPainter lp(&shadow.image);
        lp.setRenderHint(QPainter::Antialiasing);
        lp.translate(-shadow.origin + QPointF(0, 8));
        lp.fillPath(band, QColor(0, 0, 0, 170));
    }
    blur(shadow.image, 8);
    shadow.drawInto(p);
    p.fillPath(band, g);
    // Highlights in the middle of each swag, a gold fringe along the lower edge.
    for (int i = 0; i < swags; ++i) {
        const QPointF c(r.left() + (i + 0.5) * swagWidth, r.top() + height * 0.55);
        QRadialGradient shine(c, swagWidth * 0.5);
        shine.setColorAt(0.0, QColor(255, 120, 120, 60));
        shine.setColorAt(1.0, QColor(255, 120, 120, 0));
        p.save();
        p.setClipPath(band);
        p.fillRect(QRectF(c.x() - swagWidth / 2, r.top(), swagWidth, height * 1.2), shine);
        p.restore();
    }
    QPainterPath edge;
    edge.moveTo(r.right(), r.top() + height * 0.7);
    for (int i = swags - 1; i >= 0; --i) {
        const qreal x0 = r.left() + (i + 1) * swagWidth;
        const qreal x1 = r.left() + i * swagWidth;
        edge.cubicTo(QPointF(x0 - swagWidth * 0.2, r.top() + height * 1.15), QPointF(x1 + swagWidth * 0.2, r.top() + height * 1.15),
                     QPointF(x1, r.top() + height * 0.7));
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kGoldDeep, 7, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(edge);
    p.setPen(QPen(kGold, 3.5, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(edge);
    p.setPen(QPen(kGoldPale, 1.2, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(edge.translated(0, -1.2));
    // Tassels where the swags meet.
    for (int i = 0; i <= swags; ++i) {
        const QPointF top(r.left() + i * swagWidth, r.top() + height * 0.7);
        p.setPen(QPen(kGoldDeep, 2));
        p.drawLine(top, top + QPointF(0, 14));
        QRadialGradient bead(top + QPointF(-2, 16), 8);
        bead.setColorAt(0.0, kGoldPale);
        bead.setColorAt(1.0, kGoldDeep);
        p.setPen(QPen(kRim, 1));
        p.setBrush(bead);
        QPainterPath tassel;
        tassel.moveTo(top + QPointF(-4, 12));
        tassel.lineTo(top + QPointF(4, 12));
        tassel.lineTo(top + QPointF(7, 30));
        tassel.lineTo(top + QPointF(-7, 30));
        tassel.closeSubpath();
        p.drawPath(tassel);
    }
    p.restore();
}

void sunburst(QPainter &p, const QRectF &r, QPointF centre, int rays, const QColor &colour)
{
    Layer layer(r, 0);
    {
        QPainter lp(&layer.image);
        lp.setRenderHint(QPainter::Antialiasing);
        lp.translate(-layer.origin);
        const qreal reach = std::hypot(r.width(), r.height());
        lp.setPen(Qt::NoPen);
        lp.setBrush(colour);
        for (int i = 0; i < rays; ++i) {
            const qreal a0 = 2 * std::numbers::pi * i / rays;
            const qreal a1 = a0 + std::numbers::pi / rays;
            QPainterPath wedge;
            wedge.moveTo(centre);
            wedge.lineTo(centre + QPointF(std::cos(a0), std::sin(a0)) * reach);
            wedge.lineTo(centre + QPointF(std::cos(a1), std::sin(a1)) * reach);
            wedge.closeSubpath();
            lp.drawPath(wedge);
        }
        // Fade the rays towards the edges.
        lp.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        QRadialGradient fade(centre, reach * 0.55);
        fade.setColorAt(0.0, QColor(0, 0, 0, 255));
        fade.setColorAt(1.0, QColor(0, 0, 0, 0));
        lp.fillRect(r, fade);
    }
    blur(layer.image, 2);
    layer.drawInto(p, 1.0, QPainter::CompositionMode_Screen);
}

void trophy(QPainter &p, const QRectF &box)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(box.topLeft());
    p.scale(box.width() / 100.0, box.height() / 120.0);
    QPainterPath cup;
    cup.moveTo(18, 8);
    cup.lineTo(82, 8);
    cup.cubicTo(82, 50, 70, 66, 56, 70);
    cup.lineTo(56, 86);
    cup.lineTo(70, 96);
    cup.lineTo(70, 104);
    cup.lineTo(30, 104);
    cup.lineTo(30, 96);
    cup.lineTo(44, 86);
    cup.lineTo(44, 70);
    cup.cubicTo(30, 66, 18, 50, 18, 8);
    cup.closeSubpath();
    QPainterPath handles;
    handles.addEllipse(QRectF(4, 14, 24, 28));
    handles.addEllipse(QRectF(72, 14, 24, 28));
    QPainterPath holes;
    holes.addEllipse(QRectF(10, 20, 12, 16));
    holes.addEllipse(QRectF(78, 20, 12, 16));
    QPainterPath base;
    base.addRoundedRect(QRectF(22, 104, 56, 12), 3, 3);
    const QPainterPath shape = cup.united(handles.subtracted(holes)).united(base);
    p.setPen(QPen(kRim, 2.5));
    QLinearGradient g(0, 0, 100, 0);
    g.setColorAt(0.0, kGoldDeep);
    g.setColorAt(0.35, kGoldPale);
    g.setColorAt(0.6, kGold);
    g.setColorAt(1.0, kGoldDeep);
    p.setBrush(g);
    p.drawPath(shape);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 90));
    p.drawEllipse(QRectF(30, 14, 8, 30));
    p.restore();
}

void cornerOrnaments(QPainter &p, const QRectF &r, qreal size)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(Qt::NoBrush);
    for (int corner = 0; corner < 4; ++corner) {
        const bool right = corner & 1;
        const bool bottom = corner & 2;
        p.save();
        p.translate(right ? r.right() : r.left(), bottom ? r.bottom() : r.top());
        p.scale(right ? -1 : 1, bottom ? -1 : 1);
        QPainterPath path;
        path.moveTo(0, size);
        path.lineTo(0, 0);
        path.lineTo(size, 0);
        path.moveTo(8, size * 0.7);
        path.cubicTo(8, 20, 20, 8, size * 0.7, 8);
        p.setPen(QPen(kGoldDeep, 4, Qt::SolidLine, Qt::RoundCap));
        p.drawPath(path);
        p.setPen(QPen(kGold, 2, Qt::SolidLine, Qt::RoundCap));
        p.drawPath(path);
        p.setPen(Qt::NoPen);
        p.setBrush(kGoldPale);
        p.drawEllipse(QPointF(14, 14), 3.5, 3.5);
        p.restore();
    }
    p.restore();
}

} // namespace assetgen::paint
