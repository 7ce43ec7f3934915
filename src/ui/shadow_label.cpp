#include "shadow_label.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QEvent>
#include <QFontMetrics>
#include <QPainter>

#include <fontconfig/fontconfig.h>

#include <future>

namespace {

// What an accessibility client reads of a label: its text, as a static text.
class AccessibleShadowLabel : public QAccessibleWidget {
public:
    explicit AccessibleShadowLabel(QWidget *w) : QAccessibleWidget(w, QAccessible::StaticText) {}
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name || t == QAccessible::Value)
            return static_cast<const ShadowLabel *>(widget())->text();
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface *accessibleFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String("ShadowLabel") && object && object->isWidgetType())
        return new AccessibleShadowLabel(static_cast<QWidget *>(object));
    return nullptr;
}

constexpr int kSmallestPixelSize = 6;

} // namespace

ShadowLabel::ShadowLabel(QWidget *parent, const QString &name) : QWidget(parent)
{
    static const bool factoryInstalled = (QAccessible::installFactory(accessibleFactory), true);
    Q_UNUSED(factoryInstalled);
    if (!name.isEmpty())
        setObjectName(name);
}

void ShadowLabel::setText(const QString &text)
{
    if (m_text == text)
        return;
    m_text = text;
    textChanged();
}

void ShadowLabel::textChanged()
{
    m_fitted.reset();
    update();
    if (QAccessible::isActive()) {
        QAccessibleEvent event(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
    }
}

void ShadowLabel::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange)
        m_fitted.reset();
    QWidget::changeEvent(event);
}

void ShadowLabel::resizeEvent(QResizeEvent *event)
{
    m_fitted.reset();
    QWidget::resizeEvent(event);
}

QFont ShadowLabel::fittedFont() const
{
    if (m_fitted)
        return *m_fitted;
    QFont f = font();
    const QRect box = rect();
    auto fits = [&](const QFont &candidate) {
        const QFontMetrics fm(candidate);
        if (!m_wrap)
            return fm.horizontalAdvance(m_text) <= box.width();
        const QRect needed = fm.boundingRect(box, int(m_alignment) | Qt::TextWordWrap, m_text);
        return needed.height() <= box.height() && needed.width() <= box.width();
    };
    if (!m_text.isEmpty() && box.width() > 0 && !fits(f)) {
        // Pixel sizes from the label's own down; a point-sized font is converted once.
        int size = f.pixelSize() > 0 ? f.pixelSize() : QFontMetrics(f).height();
        while (size > kSmallestPixelSize) {
            size = std::max(kSmallestPixelSize, size * 9 / 10);
            f.setPixelSize(size);
            if (fits(f))
                break;
        }
    }
    m_fitted = f;
    return f;
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
    m_fitted.reset();
    update();
}

void ShadowLabel::setWordWrap(bool wrap)
{
    m_wrap = wrap;
    m_fitted.reset();
    update();
}

void ShadowLabel::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    if (m_background.isValid())
        p.fillRect(rect(), m_background);
    if (m_text.isEmpty())
        return;
    p.setFont(fittedFont());
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

void startFontConfiguration(const QFont &first, const QString &sample)
{
    // Qt keeps the font list and each family's fallbacks for the whole program, whichever thread asks first;
    // asked here, the first text drawn finds them ready. Only the measuring font engine stays with this thread.
    static std::future<void> reading = std::async(std::launch::async, [first, sample] {
        FcInit();
        QFontMetrics(first).horizontalAdvance(sample);
    });
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
