#include "backgrounds.h"

#include "painting.h"

#include <QLinearGradient>
#include <QRadialGradient>

#include <cmath>
#include <numbers>

namespace assetgen::art {

using namespace paint;

namespace {

const QRectF kStage(0, 0, kWidth, kHeight);

void blueStage(QPainter &p, quint32 seed, const QColor &accent = QColor(255, 210, 120))
{
    stageGradient(p, kStage, QColor(3, 9, 38), QColor(12, 38, 116), QColor(2, 7, 28), QPointF(512, 330), 560,
                  QColor(40, 96, 210, 150));
    spotlights(p, kStage, 5, seed);
    bokeh(p, kStage, 36, seed + 1, QColor(110, 160, 255));
    bokeh(p, kStage, 18, seed + 2, accent);
}

void redStage(QPainter &p, quint32 seed)
{
    stageGradient(p, kStage, QColor(40, 2, 8), QColor(132, 12, 26), QColor(26, 0, 6), QPointF(512, 320), 560,
                  QColor(230, 70, 40, 120));
    spotlights(p, kStage, 4, seed, QColor(255, 228, 190));
    bokeh(p, kStage, 30, seed + 1, QColor(255, 200, 110));
}

void violetStage(QPainter &p, quint32 seed)
{
    stageGradient(p, kStage, QColor(10, 5, 40), QColor(44, 26, 118), QColor(6, 3, 28), QPointF(512, 380), 560,
                  QColor(110, 70, 230, 140));
    spotlights(p, kStage, 5, seed);
    bokeh(p, kStage, 40, seed + 1, QColor(170, 140, 255));
    bokeh(p, kStage, 16, seed + 2, QColor(255, 210, 120));
}

void title(QPainter &p, const QString &text, const QRectF &box, int pixels, Qt::Alignment align = Qt::AlignHCenter,
           int spacing = 0)
{
    goldText(p, textPath(text, cjkFont(pixels, true, spacing), box, align));
}

void subtitle(QPainter &p, const QString &text, const QRectF &box, int pixels, Qt::Alignment align = Qt::AlignHCenter,
              int spacing = 0)
{
    whiteText(p, textPath(text, cjkFont(pixels, false, spacing), box, align));
}

// A stage floor: a pool of light near the bottom edge.
void floorLight(QPainter &p, qreal y, const QColor &colour)
{
    QRadialGradient pool(QPointF(512, y), 520);
    pool.setColorAt(0.0, colour);
    QColor clear = colour;
    clear.setAlpha(0);
    pool.setColorAt(1.0, clear);
    p.save();
    p.translate(512, y);
    p.scale(1.0, 0.22);
    p.translate(-512, -y);
    p.fillRect(QRectF(0, y - 520, kWidth, 1040), pool);
    p.restore();
}

QImage opaque(const QImage &image)
{
    return image.convertToFormat(QImage::Format_RGB32);
}

// Common frame of the question panels: stage, title at the top left, a quiet footer rule.
void questionStage(QPainter &p, const QString &name, quint32 seed)
{
    stageGradient(p, kStage, QColor(3, 12, 46), QColor(10, 48, 122), QColor(2, 8, 32), QPointF(512, 420), 600,
                  QColor(30, 110, 220, 120));
    spotlights(p, kStage, 4, seed);
    bokeh(p, kStage, 24, seed + 1, QColor(110, 170, 255));
    title(p, name, QRectF(34, 12, 360, 90), 60, Qt::AlignLeft, 6);
}

} // namespace

QString contestTitle()
{
    return QStringLiteral("青春风采大赛");
}

QImage hub()
{
    QImage image = canvas(QSize(kWidth, kHeight), kBackgroundScale);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    blueStage(p, 11);
    floorLight(p, 640, QColor(120, 170, 255, 110));
    curtains(p, kStage, 150);
    valance(p, kStage, 64);
    title(p, contestTitle(), QRectF(150, 190, 724, 150), 112, Qt::AlignHCenter, 8);
    goldRule(p, QPointF(262, 362), QPointF(762, 362), 3);
    subtitle(p, QStringLiteral("才艺 · 智慧 · 风采"), QRectF(150, 388, 724, 64), 44, Qt::AlignHCenter, 6);
    sparkle(p, QPointF(228, 206), 22);
    sparkle(p, QPointF(806, 316), 18);
    sparkle(p, QPointF(770, 176), 12);
    sparkle(p, QPointF(262, 330), 10);
    p.end();
    return opaque(image);
}

QImage scoring(int round)
{
    static const QColor accents[] = {QColor(255, 210, 120), QColor(255, 200, 90), QColor(90, 220, 230),
                                     QColor(190, 150, 255), QColor(255, 130, 170)};
    static const QString names[] = {QString(), QStringLiteral("第一轮"), QStringLiteral("第二轮"),
                                    QStringLiteral("第三轮"), QStringLiteral("第四轮")};
    const int r = (round >= 1 && round <= 4) ? round : 0;
    QImage image = canvas(QSize(kWidth, kHeight), kBackgroundScale);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    blueStage(p, 21 + static_cast<quint32>(r) * 7, accents[r]);
    // The round title in the middle of the top band; the round label of the screen sits on the gold tab.
    const QString heading = r == 0 ? QStringLiteral("现场评分") : names[r] + QStringLiteral("  现场评分");
    title(p, heading, QRectF(150, 10, 724, 76), 54, Qt::AlignHCenter, 4);
    goldBand(p, QRectF(-12, 2, 132, 30), 8);
    // Dark glass under the contestant's white name, gold rule towards the right.
    glassPanel(p, QRectF(-20, 92, 472, 44), 12, QColor(4, 10, 40, 190));
    goldRule(p, QPointF(470, 114), QPointF(1010, 114), 2.5);
    // Footer band for the contestant number, drawn in the screen's default ink.
    goldRule(p, QPointF(0, 730), QPointF(1024, 730), 2);
    goldBand(p, QRectF(-2, 738, 1028, 34), 0);
    p.end();
    return opaque(image);
}

QImage leaderboard()
{
    QImage image = canvas(QSize(kWidth, kHeight), kBackgroundScale);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    redStage(p, 41);
    sunburst(p, kStage, QPointF(512, -40), 28, QColor(255, 190, 90, 40));
    goldBand(p, QRectF(-12, 4, 172, 36), 8); // wide enough for 前4轮总分
    title(p, QStringLiteral("成绩排行榜"), QRectF(262, 8, 500, 86), 64, Qt::AlignHCenter, 8);
    trophy(p, QRectF(250, 16, 58, 72));
    trophy(p, QRectF(716, 16, 58, 72));
    // Gold rails beside the ten rows, a quiet footer below them.
    for (qreal x : {30.0, 994.0}) {
        QLinearGradient rail(QPointF(x, 100), QPointF(x, 706));
        rail.setColorAt(0.0, QColor(255, 214, 94, 0));
        rail.setColorAt(0.2, QColor(255, 214, 94, 220));
        rail.setColorAt(0.8, QColor(255, 214, 94, 220));
        rail.setColorAt(1.0, QColor(255, 214, 94, 0));
        p.setPen(QPen(QBrush(rail), 3));
        p.drawLine(QPointF(x, 100), QPointF(x, 706));
    }
    goldRule(p, QPointF(112, 728), QPointF(912, 728), 3);
    sparkle(p, QPointF(200, 748), 10);
    sparkle(p, QPointF(824, 748), 10);
    p.end();
    return opaque(image);
}

QImage countdown()
{
    QImage image = canvas(QSize(kWidth, kHeight), kBackgroundScale);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    blueStage(p, 51);
    title(p, QStringLiteral("倒计时"), QRectF(0, 28, kWidth, 104), 84, Qt::AlignHCenter, 24);
    // The dial: a light face behind the screen's red seconds (297, 262; 425 x 249).
    const QPointF c(509.5, 388);
    const qreal face = 222;
    QRadialGradient halo(c, face + 70);
    halo.setColorAt(0.7, QColor(255, 210, 120, 120));
    halo.setColorAt(1.0, QColor(255, 210, 120, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(halo);
    p.drawEllipse(c, face + 70, face + 70);
    QLinearGradient ring(c - QPointF(0, face + 16), c + QPointF(0, face + 16));
    ring.setColorAt(0.0, QColor(255, 246, 200));
    ring.setColorAt(0.45, QColor(238, 184, 64));
    ring.setColorAt(0.55, QColor(190, 128, 24));
    ring.setColorAt(1.0, QColor(255, 226, 140));
    p.setPen(QPen(QColor(60, 32, 0), 2));
    p.setBrush(ring);
    p.drawEllipse(c, face + 16, face + 16);
    QRadialGradient surface(c - QPointF(40, 60), face * 1.3);
    surface.setColorAt(0.0, QColor(255, 255, 250));
    surface.setColorAt(0.7, QColor(250, 244, 226));
    surface.setColorAt(1.0, QColor(226, 214, 184));
    p.setBrush(surface);
    p.drawEllipse(c, face, face);
    for (int i = 0; i < 60; ++i) {
        const qreal a = 2 * std::numbers::pi * i / 60;
        const QPointF dir(std::sin(a), -std::cos(a));
        const bool major = i % 5 == 0;
        p.setPen(QPen(major ? QColor(30, 40, 80) : QColor(130, 120, 100), major ? 5 : 2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(c + dir * (face - (major ? 26 : 16)), c + dir * (face - 8));
    }
    goldRule(p, QPointF(160, 700), QPointF(864, 700), 2.5);
    p.end();
    return opaque(image);
}

QImage still()
{
    QImage image = canvas(QSize(kWidth, kHeight), kBackgroundScale);
    // A closed stage curtain: folds over the full width, a gold hem, a valance on top.
    for (int y = 0; y < kHeight; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        const qreal vertical = 0.7 + 0.3 * std::sin(std::numbers::pi * (y + 120.0) / (kHeight + 240.0));
        for (int x = 0; x < kWidth; ++x) {
            const qreal u = x / 46.0 + 0.35 * std::sin(y / 160.0 + x / 300.0);
            const qreal wave = 0.5 + 0.5 * std::cos(u * 2 * std::numbers::pi);
            const qreal shade = (0.38 + 0.62 * std::pow(wave, 1.5)) * vertical;
            const qreal gloss = 40 * std::pow(wave, 10);
            line[x] = qRgb(std::min(255, static_cast<int>(150 * shade + gloss)),
                           std::min(255, static_cast<int>(14 * shade + gloss * 0.3)),
                           std::min(255, static_cast<int>(26 * shade + gloss * 0.3)));
        }
    }
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient hem(QPointF(0, 736), QPointF(0, 768));
    hem.setColorAt(0.0, QColor(255, 226, 140));
    hem.setColorAt(0.5, QColor(214, 150, 34));
    hem.setColorAt(1.0, QColor(120, 70, 10));
    p.fillRect(QRectF(0, 738, kWidth, 30), hem);
    valance(p, kStage, 70);
    glassPanel(p, QRectF(172, 236, 680, 300), 24, QColor(20, 0, 6, 150));
    title(p, contestTitle(), QRectF(172, 262, 680, 140), 100, Qt::AlignHCenter, 6);
    goldRule(p, QPointF(292, 414), QPointF(732, 414), 3);
    subtitle(p, QStringLiteral("精彩节目  稍后继续"), QRectF(172, 432, 680, 80), 46, Qt::AlignHCenter, 6);
    sparkle(p, QPointF(202, 262), 20);
    sparkle(p, QPointF(822, 510), 16);
    p.end();
    return opaque(image);
}

QImage slogan()
{
    QImage image = canvas(QSize(kWidth, kHeight), kBackgroundScale);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    redStage(p, 61);
    sunburst(p, kStage, QPointF(512, 330), 36, QColor(255, 200, 100, 46));
    cornerOrnaments(p, kStage.adjusted(24, 24, -24, -24), 90);
    title(p, QStringLiteral("展青春风采"), QRectF(80, 150, 864, 140), 116, Qt::AlignHCenter, 14);
    title(p, QStringLiteral("创时代辉煌"), QRectF(80, 310, 864, 140), 116, Qt::AlignHCenter, 14);
    goldRule(p, QPointF(232, 486), QPointF(792, 486), 3);
    subtitle(p, QStringLiteral("公平 · 公正 · 公开"), QRectF(80, 508, 864, 70), 46, Qt::AlignHCenter, 10);
    title(p, contestTitle(), QRectF(80, 614, 864, 66), 40, Qt::AlignHCenter, 12);
    sparkle(p, QPointF(150, 170), 24);
    sparkle(p, QPointF(880, 420), 20);
    sparkle(p, QPointF(860, 150), 12);
    sparkle(p, QPointF(170, 440), 12);
    p.end();
    return opaque(image);
}

QImage board()
{
    QImage image = canvas(QSize(kWidth, kHeight), kBackgroundScale);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    violetStage(p, 71);
    title(p, QStringLiteral("知识问答"), QRectF(0, 14, kWidth, 96), 68, Qt::AlignHCenter, 16);
    sparkle(p, QPointF(330, 40), 16);
    sparkle(p, QPointF(700, 86), 12);
    goldRule(p, QPointF(150, 664), QPointF(874, 664), 2.5);
    subtitle(p, QStringLiteral("请选择题号"), QRectF(0, 676, kWidth, 60), 38, Qt::AlignHCenter, 12);
    p.end();
    return opaque(image);
}

QImage tile()
{
    QImage image(170, 115, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF body(4, 4, 162, 107);
    QLinearGradient fill(body.topLeft(), body.bottomLeft());
    fill.setColorAt(0.0, QColor(44, 96, 210));
    fill.setColorAt(0.5, QColor(18, 48, 140));
    fill.setColorAt(1.0, QColor(8, 20, 78));
    QLinearGradient rim(body.topLeft(), body.bottomRight());
    rim.setColorAt(0.0, QColor(255, 246, 200));
    rim.setColorAt(0.4, QColor(240, 188, 70));
    rim.setColorAt(0.7, QColor(180, 120, 20));
    rim.setColorAt(1.0, QColor(255, 222, 130));
    p.setPen(QPen(QBrush(rim), 6));
    p.setBrush(fill);
    p.drawRoundedRect(body, 18, 18);
    p.setPen(QPen(QColor(255, 236, 170, 140), 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(body.adjusted(7, 7, -7, -7), 12, 12);
    // Gloss over the upper half.
    QPainterPath gloss;
    gloss.addRoundedRect(body.adjusted(8, 8, -8, -body.height() / 2), 11, 11);
    QLinearGradient shine(body.topLeft(), QPointF(body.left(), body.center().y()));
    shine.setColorAt(0.0, QColor(255, 255, 255, 90));
    shine.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.fillPath(gloss, shine);
    p.end();
    return image;
}

QImage choice()
{
    QImage image = canvas(QSize(kWidth, kHeight), kBackgroundScale);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    questionStage(p, QStringLiteral("选择题"), 81);
    subtitle(p, QStringLiteral("知识问答"), QRectF(640, 30, 350, 56), 32, Qt::AlignRight, 8);
    glassPanel(p, QRectF(32, 118, 960, 218), 16);
    goldRule(p, QPointF(60, 348), QPointF(964, 348), 2);
    goldRule(p, QPointF(60, 718), QPointF(964, 718), 2);
    p.end();
    return opaque(image);
}

QImage answer()
{
    QImage image = canvas(QSize(kWidth, kHeight), kBackgroundScale);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    questionStage(p, QStringLiteral("问答题"), 91);
    subtitle(p, QStringLiteral("知识问答"), QRectF(640, 30, 350, 56), 32, Qt::AlignRight, 8);
    glassPanel(p, QRectF(102, 150, 826, 466), 20);
    goldRule(p, QPointF(140, 680), QPointF(884, 680), 2.5);
    p.end();
    return opaque(image);
}

QImage media()
{
    QImage image = canvas(QSize(kWidth, kHeight), kBackgroundScale);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    stageGradient(p, kStage, QColor(3, 12, 46), QColor(10, 48, 122), QColor(2, 8, 32), QPointF(512, 420), 600,
                  QColor(30, 110, 220, 120));
    spotlights(p, kStage, 4, 101);
    bokeh(p, kStage, 24, 102, QColor(110, 170, 255));
    // A dark screen frame around the player (53, 50; 919 x 574).
    glassPanel(p, QRectF(40, 38, 945, 598), 14, QColor(0, 0, 0, 220));
    title(p, QStringLiteral("多媒体题"), QRectF(44, 648, 460, 96), 56, Qt::AlignLeft, 6);
    p.end();
    return opaque(image);
}

QImage matching()
{
    QImage image = canvas();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // Light, plain paper: the red pair lines and the item texts must stand out on it.
    QLinearGradient paper(QPointF(0, 0), QPointF(0, kHeight));
    paper.setColorAt(0.0, QColor(253, 250, 240));
    paper.setColorAt(1.0, QColor(246, 240, 224));
    p.fillRect(kStage, paper);
    // Header band with the title; the countdown box sits on its right end.
    QLinearGradient band(QPointF(0, 0), QPointF(0, 100));
    band.setColorAt(0.0, QColor(8, 24, 80));
    band.setColorAt(1.0, QColor(18, 50, 136));
    p.fillRect(QRectF(0, 0, kWidth, 100), band);
    QLinearGradient trim(QPointF(0, 100), QPointF(0, 106));
    trim.setColorAt(0.0, QColor(255, 226, 140));
    trim.setColorAt(1.0, QColor(190, 128, 24));
    p.fillRect(QRectF(0, 100, kWidth, 6), trim);
    title(p, QStringLiteral("连线题"), QRectF(34, 4, 360, 92), 58, Qt::AlignLeft, 6);
    p.fillRect(QRectF(0, 750, kWidth, 18), band);
    p.fillRect(QRectF(0, 746, kWidth, 4), trim);
    // Quiet slots for the items and pads behind the number marks the lines join.
    static const int leftTops[] = {251, 333, 413, 496, 577};
    static const int rightTops[] = {250, 332, 412, 496, 576};
    static const int markTops[] = {260, 341, 421, 504, 584};
    p.setPen(QPen(QColor(222, 210, 180), 1.5));
    p.setBrush(QColor(249, 244, 230));
    for (int i = 0; i < 5; ++i) {
        p.drawRoundedRect(QRectF(6, leftTops[i] - 4, 338, 62), 10, 10);
        p.drawRoundedRect(QRectF(676, rightTops[i] - 4, 340, 62), 10, 10);
    }
    for (int i = 0; i < 5; ++i) {
        const QRectF left(368, markTops[i] - 6, 46, 58);
        const QRectF right(608, markTops[i] - 6, 46, 58);
        p.setPen(QPen(QColor(90, 120, 200), 2));
        p.setBrush(QColor(222, 232, 252));
        p.drawRoundedRect(left, 10, 10);
        p.setPen(QPen(QColor(214, 160, 50), 2));
        p.setBrush(QColor(20, 46, 122));
        p.drawRoundedRect(right, 10, 10);
    }
    p.end();
    return opaque(image);
}

} // namespace assetgen::art
