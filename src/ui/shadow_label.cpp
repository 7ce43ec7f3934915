#include "shadow_label.h"

#include <QPainter>

ShadowLabel::ShadowLabel(QWidget *parent, const QString &name) : QWidget(parent)
{
    if (!name.isEmpty())
        setObjectName(name);
}

void ShadowLabel::setText(const QString &text)
{
    if (m_text == text)
        return;
    m_text = text;
    update();
}

void ShadowLabel::setTextColour(const QColor &colour)
{
    m_colour = colour;
    update();
}

void ShadowLabel::setShadow(const QColor &colour, int dx, int dy)
{
    m_shadow = colour;
    m_dx = dx;
    m_dy = dy;
    update();
}

void ShadowLabel::setBackground(const QColor &colour)
{
    m_background = colour;
    update();
}

void ShadowLabel::setAlignment(Qt::Alignment alignment)
{
    m_alignment = alignment;
    update();
}

void ShadowLabel::setWordWrap(bool wrap)
{
    m_wrap = wrap;
    update();
}

void ShadowLabel::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    if (m_background.isValid())
        p.fillRect(rect(), m_background);
    if (m_text.isEmpty())
        return;
    p.setFont(font());
    const int flags = int(m_alignment) | (m_wrap ? Qt::TextWordWrap : 0);
    if (m_shadow.isValid() && (m_dx != 0 || m_dy != 0)) {
        p.setPen(m_shadow);
        p.drawText(rect().translated(m_dx, m_dy), flags, m_text);
    }
    p.setPen(m_colour);
    p.drawText(rect(), flags, m_text);
}

QFont stageFont(const QString &family, int pixelSize, bool bold)
{
    QFont font(family);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

void installFontSubstitutions()
{
    const QString sans = QStringLiteral("Noto Sans CJK SC");
    const QString serif = QStringLiteral("Noto Serif CJK SC");
    QFont::insertSubstitution(QStringLiteral("黑体"), sans);
    QFont::insertSubstitution(QStringLiteral("SimHei"), sans);
    QFont::insertSubstitution(QStringLiteral("宋体"), serif);
    QFont::insertSubstitution(QStringLiteral("SimSun"), serif);
    QFont::insertSubstitution(QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"));
}
