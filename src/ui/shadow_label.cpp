#include "shadow_label.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QEvent>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <condition_variable>
#include <functional>
#include <future>
#include <mutex>
#include <thread>

#include <pthread.h>
#include <sched.h>

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

// Start-up's font thread: it reads the font configuration from the first moment of the program, and once
// Qt is up the font list; then it draws the label handed to it by then, or else measures the first type,
// so the first text finds the fonts and their fallbacks ready.
struct FontThread {
    std::mutex mutex;
    std::condition_variable posted;
    bool begun = false;
    std::optional<std::pair<QFont, QString>> first; // the first type and text, given once Qt is up
    bool taking = false;                             // still to look for a label to draw
    std::packaged_task<QImage()> picture;
    std::thread reading; // joined before Qt's fonts go
    // A program that ends before Qt is up leaves the thread to the end of the process.
    ~FontThread()
    {
        if (reading.joinable())
            reading.detach();
    }
};

// A new thread tends to wait for the core that made it, busy with start-up, while another core idles; the
// font thread, which lives only through start-up, is kept to the other cores.
void runElsewhere(std::thread &thread)
{
    cpu_set_t all;
    const int here = sched_getcpu();
    if (here < 0 || sched_getaffinity(0, sizeof all, &all) != 0 || CPU_COUNT(&all) < 2 || !CPU_ISSET(here, &all))
        return;
    cpu_set_t others = all;
    CPU_CLR(here, &others);
    pthread_setaffinity_np(thread.native_handle(), sizeof others, &others);
}

FontThread &fontThread()
{
    static FontThread thread;
    return thread;
}

// Runs `draw` on the font thread when that has not yet begun on the type, otherwise on a thread of its own.
std::future<QImage> onFontThread(std::function<QImage()> draw)
{
    FontThread &shared = fontThread();
    {
        const std::lock_guard lock(shared.mutex);
        if (shared.taking && !shared.picture.valid()) {
            shared.picture = std::packaged_task<QImage()>(std::move(draw));
            return shared.picture.get_future();
        }
    }
    return std::async(std::launch::async, std::move(draw));
}

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
    if (!m_fitted)
        m_fitted = fitted(look(), font());
    return *m_fitted;
}

ShadowLabel::Look ShadowLabel::look() const
{
    return {m_text, font(), m_colour, m_shadow, m_background, m_dx, m_dy, m_alignment, m_wrap, size(), devicePixelRatioF()};
}

QFont ShadowLabel::fitted(const Look &look, const QFont &font)
{
    QFont f = font;
    const QRect box(QPoint(0, 0), look.size);
    auto fits = [&](const QFont &candidate) {
        const QFontMetrics fm(candidate);
        if (!look.wrap)
            return fm.horizontalAdvance(look.text) <= box.width();
        const QRect needed = fm.boundingRect(box, int(look.alignment) | Qt::TextWordWrap, look.text);
        return needed.height() <= box.height() && needed.width() <= box.width();
    };
    if (!look.text.isEmpty() && box.width() > 0 && !fits(f)) {
        // Pixel sizes from the label's own down; a point-sized font is converted once.
        int size = f.pixelSize() > 0 ? f.pixelSize() : QFontMetrics(f).height();
        while (size > kSmallestPixelSize) {
            size = std::max(kSmallestPixelSize, size * 9 / 10);
            f.setPixelSize(size);
            if (fits(f))
                break;
        }
    }
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
    if (m_ahead.valid()) {
        const QImage picture = m_ahead.get();
        if (m_aheadLook == look() && !picture.isNull()) {
            p.drawImage(QPoint(0, 0), picture);
            return;
        }
    }
    draw(p, look(), m_text.isEmpty() ? font() : fittedFont());
}

void ShadowLabel::draw(QPainter &p, const Look &look, const QFont &font)
{
    const QRect box(QPoint(0, 0), look.size);
    if (look.background.isValid())
        p.fillRect(box, look.background);
    if (look.text.isEmpty())
        return;
    p.setFont(font);
    const int flags = int(look.alignment) | (look.wrap ? Qt::TextWordWrap : 0);
    if (look.shadow.isValid() && (look.dx != 0 || look.dy != 0)) {
        p.setPen(look.shadow);
        p.drawText(box.translated(look.dx, look.dy), flags, look.text);
    }
    p.setPen(look.colour);
    p.drawText(box, flags, look.text);
}

void ShadowLabel::drawAhead(const QImage &beneath)
{
    m_aheadLook = look();
    const QSize device = (QSizeF(m_aheadLook.size) * m_aheadLook.dpr).toSize();
    if (device.isEmpty() || beneath.size() != device)
        return;
    // Drawn over what lies beneath, as a paint draws it, so the text's edges blend alike. The font goes to
    // the other thread as a description, so no part of the widget's font is shared.
    const Look look = m_aheadLook;
    const QString description = look.font.toString();
    QImage start = beneath.convertToFormat(QImage::Format_RGB32);
    m_ahead = onFontThread([look, description, start]() mutable {
        QFont font;
        font.fromString(description);
        // Text the font has every character of is drawn the same without looking up fallback fonts, which
        // takes longer than loading the font itself.
        QFont alone = font;
        alone.setStyleStrategy(QFont::StyleStrategy(font.styleStrategy() | QFont::NoFontMerging));
        const QFontMetrics metrics(alone);
        const QList<uint> characters = look.text.toUcs4();
        if (std::all_of(characters.begin(), characters.end(), [&](uint c) { return metrics.inFontUcs4(c); }))
            font = alone;
        start.setDevicePixelRatio(look.dpr);
        QPainter p(&start);
        draw(p, look, fitted(look, font));
        p.end();
        return start;
    });
}

QFont stageFont(const QString &family, int pixelSize, bool bold)
{
    QFont font(family);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

void beginFontConfiguration()
{
    FontThread &shared = fontThread();
    {
        const std::lock_guard lock(shared.mutex);
        if (shared.begun)
            return;
        shared.begun = shared.taking = true;
    }
    // Qt keeps the font list and each family's fallbacks for the whole program, whichever thread asks first;
    // asked here, the first text drawn finds them ready. The font engines stay with the thread that made them.
    shared.reading = std::thread([&shared] {
        FcInit();
        std::unique_lock lock(shared.mutex);
        shared.posted.wait(lock, [&] { return shared.first.has_value(); });
        const auto [font, sample] = *shared.first; // Qt is up
        lock.unlock();
        QFontDatabase::families();
        // The label when it has come by now; otherwise the type is measured, and a label that has come
        // meanwhile is drawn with the engine that made. Later labels are drawn on threads of their own.
        auto take = [&](bool last) {
            const std::lock_guard hold(shared.mutex);
            if (last || shared.picture.valid())
                shared.taking = false;
            return std::move(shared.picture);
        };
        std::packaged_task<QImage()> picture = take(false);
        if (!picture.valid()) {
            QFontMetrics(font).horizontalAdvance(sample);
            picture = take(true);
        }
        if (picture.valid())
            picture();
    });
    runElsewhere(shared.reading);
}

void startFontConfiguration(const QFont &first, const QString &sample)
{
    beginFontConfiguration();
    FontThread &shared = fontThread();
    {
        const std::lock_guard lock(shared.mutex);
        if (shared.first)
            return;
        shared.first.emplace(first, sample);
    }
    shared.posted.notify_one();
    // The thread holds font engines of its own, which must go before the application's fonts do.
    qAddPostRoutine([] {
        if (fontThread().reading.joinable())
            fontThread().reading.join();
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
