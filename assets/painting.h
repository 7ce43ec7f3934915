#pragma once
// Drawing helpers shared by the default artwork: stage gradients and lights, gold and white titles,
// glass panels, curtains and small ornaments. Everything is deterministic: a seed fixes every random choice.
#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRectF>
#include <QString>

namespace assetgen::paint {

// The stage size of every full-screen picture.
inline constexpr int kWidth = 1024;
inline constexpr int kHeight = 768;

// A bold CJK font of the given pixel height; `serif` chooses the serif face for titles.
QFont cjkFont(int pixelSize, bool serif = false, int letterSpacing = 0);

// An opaque canvas of the stage size (or `size`), with `scale` pixels per stage pixel: drawing on it
// keeps stage coordinates.
QImage canvas(QSize size = QSize(kWidth, kHeight), qreal scale = 1.0);

// Default backgrounds are drawn at twice the stage size, so a scaled stage on a large projector shows
// them sharp; the pictures that screens draw into (the matching surface) keep the stage size.
inline constexpr qreal kBackgroundScale = 2.0;

// Box blur, three passes (close to a Gaussian), of a premultiplied ARGB image, in place.
void blur(QImage &image, int radius);

// Vertical three-colour gradient with a radial glow around `glowCentre`.
void stageGradient(QPainter &p, const QRectF &r, const QColor &top, const QColor &middle, const QColor &bottom,
                   QPointF glowCentre, qreal glowRadius, const QColor &glow);

// Soft light cones falling from above the picture.
void spotlights(QPainter &p, const QRectF &r, int count, quint32 seed, const QColor &colour = QColor(255, 244, 214));

// Out-of-focus light discs scattered over `area`.
void bokeh(QPainter &p, const QRectF &area, int count, quint32 seed, const QColor &colour);

// A four-pointed sparkle.
void sparkle(QPainter &p, QPointF centre, qreal size, const QColor &colour = QColor(255, 246, 210));

// The outline of `text` placed in `box` (vertically centred, horizontally by `align`) by its inked extent.
QPainterPath textPath(const QString &text, const QFont &font, const QRectF &box, Qt::Alignment align = Qt::AlignHCenter);

// Metallic gold lettering with a dark rim, soft shadow and warm glow.
void goldText(QPainter &p, const QPainterPath &path, qreal rim = 0);
// White lettering with a soft dark shadow (subtitles).
void whiteText(QPainter &p, const QPainterPath &path, const QColor &colour = QColor(255, 255, 255));

// A gold rule with a diamond in its middle and fading ends.
void goldRule(QPainter &p, QPointF from, QPointF to, qreal thickness = 3);

// A translucent dark panel with a thin gold frame, for areas where the screen draws text.
void glassPanel(QPainter &p, const QRectF &r, qreal radius, const QColor &fill = QColor(6, 14, 48, 150));

// A light gold band: labels the screen draws in its default dark ink stay readable on it.
void goldBand(QPainter &p, const QRectF &r, qreal radius = 0);

// Stage curtains drawn along the left and right edges, gathered at a tie-back, and a valance on top.
void curtains(QPainter &p, const QRectF &r, qreal drapeWidth, const QColor &cloth = QColor(150, 14, 26));
void valance(QPainter &p, const QRectF &r, qreal height, const QColor &cloth = QColor(150, 14, 26));

// Rays from `centre`, alternating light and clear, fading outwards.
void sunburst(QPainter &p, const QRectF &r, QPointF centre, int rays, const QColor &colour);

// A simple trophy cup in gold.
void trophy(QPainter &p, const QRectF &box);

// Thin gold corner ornaments inside `r`.
void cornerOrnaments(QPainter &p, const QRectF &r, qreal size);

} // namespace assetgen::paint
