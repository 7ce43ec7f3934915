#include "menu_artwork.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>

namespace {

struct AreaArt {
    QRect card; // the place of the area's hover highlight, so the highlight covers the card exactly
    const char16_t *caption;
    const char16_t *detail;
};

// The click areas of the menu: show hub, question bank, keypad test, settings.
const AreaArt kAreas[4] = {
    {{55, 317, 208, 136}, u"比赛现场", u"评分 · 答题 · 颁奖"},
    {{282, 315, 208, 136}, u"题库维护", u"录入 · 编辑 · 导出"},
    {{510, 315, 208, 136}, u"键盘测试", u"按键 · 遥控器"},
    {{742, 315, 208, 136}, u"参数设置", u"评委 · 选手 · 轮次"},
};

const QColor kGold(255, 208, 96);

QFont font(int pixelSize, bool bold)
{
    QFont f(QStringLiteral("Noto Sans CJK SC"));
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    return f;
}

} // namespace

QImage drawMenuBackground(qreal scale)
{
    QImage bg(qRound(1024 * scale), qRound(768 * scale), QImage::Format_RGB32);
    bg.setDevicePixelRatio(scale);
    QPainter p(&bg);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    QLinearGradient sky(0, 0, 0, 768);
    sky.setColorAt(0, QColor(12, 36, 96));
    sky.setColorAt(0.55, QColor(28, 78, 160));
    sky.setColorAt(1, QColor(10, 24, 64));
    p.fillRect(QRect(0, 0, 1024, 768), sky);

    // Title.
    const QString title = QStringLiteral("竞赛现场管理系统");
    const QRect titleBox(0, 110, 1024, 100);
    p.setFont(font(64, true));
    p.setPen(QColor(0, 0, 0, 140));
    p.drawText(titleBox.translated(3, 3), Qt::AlignCenter, title);
    p.setPen(kGold);
    p.drawText(titleBox, Qt::AlignCenter, title);
    p.setFont(font(22, false));
    p.setPen(QColor(200, 220, 255));
    p.drawText(QRect(0, 205, 1024, 40), Qt::AlignCenter, QStringLiteral("评分 · 排行 · 答题 · 颁奖"));

    // The four area cards with their captions, drawn where the hover highlights lie.
    for (const AreaArt &a : kAreas) {
        const QRectF frame = QRectF(a.card).adjusted(3, 3, -3, -3);
        p.setPen(QPen(QColor(140, 180, 255), 3));
        p.setBrush(QColor(255, 255, 255, 28));
        p.drawRoundedRect(frame, 14, 14);
        p.setPen(Qt::white);
        p.setFont(font(34, true));
        p.drawText(QRectF(frame.left(), frame.top() + 10, frame.width(), 66), Qt::AlignCenter, QString::fromUtf16(a.caption));
        p.setPen(QColor(200, 220, 255));
        p.setFont(font(16, false));
        p.drawText(QRectF(frame.left(), frame.top() + 78, frame.width(), 32), Qt::AlignCenter, QString::fromUtf16(a.detail));
    }

    // Caption of the current question bank, left of the issue label, on a light plate.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(235, 242, 255));
    p.drawRoundedRect(QRectF(200, 600, 410, 62), 12, 12);
    p.setPen(QColor(20, 40, 100));
    p.setFont(font(24, true));
    p.drawText(QRect(210, 613, 175, 37), Qt::AlignVCenter | Qt::AlignRight, QStringLiteral("当前题库："));

    // Help and exit icons under their flat buttons.
    auto icon = [&](const QRect &r, const QString &glyph) {
        p.setPen(QPen(Qt::white, 3));
        p.setBrush(QColor(255, 255, 255, 40));
        p.drawEllipse(QRectF(r).adjusted(4, 4, -4, -4));
        p.setFont(font(28, true));
        p.drawText(r, Qt::AlignCenter, glyph);
    };
    icon({750, 12, 50, 49}, QStringLiteral("?"));
    icon({950, 10, 51, 49}, QStringLiteral("×"));
    return bg;
}

QImage drawMenuHighlight(qreal scale)
{
    QImage img(qRound(208 * scale), qRound(136 * scale), QImage::Format_ARGB32_Premultiplied);
    img.setDevicePixelRatio(scale);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QColor glow = kGold;
    glow.setAlpha(45);
    p.setBrush(glow);
    p.setPen(QPen(kGold, 5));
    p.drawRoundedRect(QRectF(0, 0, 208, 136).adjusted(3, 3, -3, -3), 14, 14);
    return img;
}
