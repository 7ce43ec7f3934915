#include "stage_window.h"

#include "key_codes.h"
#include "key_tracker.h"
#include "stage_display.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QScreen>
#include <QSet>
#include <QWindow>

namespace {

// Sends key events to their screen first; a key the screen does not consume then goes on to the focus
// widget as usual. Right-button presses are dropped before they reach any widget.
class ApplicationFilter : public QObject {
public:
    explicit ApplicationFilter(QObject *parent) : QObject(parent)
    {
        // Releases that happen while another program has the keyboard never arrive.
        connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
            if (state != Qt::ApplicationActive)
                m_keys.clear();
        });
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            return watched->isWidgetType() && static_cast<QMouseEvent *>(event)->button() == Qt::RightButton;
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
            return previewKey(watched, static_cast<QKeyEvent *>(event));
        case QEvent::WindowBlocked:
            // A box opened by a key's press takes that key's release: the key is up once the box goes.
            m_keys.forget(watched);
            return false;
        default:
            return false;
        }
    }

private:
    bool previewKey(QObject *watched, QKeyEvent *event)
    {
        if (!watched->isWidgetType() || m_forwarding.contains(event))
            return false;
        QWidget *window = static_cast<QWidget *>(watched)->window();
        if (!m_watched.contains(window)) {
            m_watched.insert(window);
            connect(window, &QObject::destroyed, this, [this, window] {
                m_keys.forget(window);
                m_watched.remove(window);
            });
        }
        // Every key goes through the tracker, those meant for a message box too: a box closed with Enter
        // or Esc takes the key's press, so its release never acts on the screen beneath.
        const int key = virtualKey(*event);
        auto *stage = qobject_cast<StageWindow *>(window);
        bool consumed = false;
        if (event->type() == QEvent::KeyPress) {
            const KeyTracker::Press press =
                m_keys.press(key, window, event->modifiers(), event->isAutoRepeat(), event->timestamp());
            if (!stage)
                return false;
            consumed = stage->deliverKeyDown(key, press.modifiers, press.repeat);
        } else {
            const std::optional<Qt::KeyboardModifiers> act =
                m_keys.release(key, window, event->isAutoRepeat(), event->timestamp());
            if (!stage)
                return false;
            if (act)
                consumed = stage->deliverKeyUp(key, *act);
        }
        QPointer<QObject> receiver(watched);
        if (consumed || !receiver)
            return true;
        // Deliver it on now, marked, so that its way up the parent chain is not previewed again.
        m_forwarding.insert(event);
        QCoreApplication::sendEvent(receiver, event);
        m_forwarding.remove(event);
        return true;
    }

    KeyTracker m_keys;
    QSet<const QWidget *> m_watched; // the windows whose going the tracker hears of
    QSet<QEvent *> m_forwarding;
};

} // namespace

void installApplicationFilters()
{
    static QPointer<QObject> filter;
    if (!filter && qApp) {
        filter = new ApplicationFilter(qApp);
        qApp->installEventFilter(filter);
    }
}

StageWindow::StageWindow(AppContext &context, const QString &instanceName, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_context(context)
{
    setObjectName(instanceName);
    setAttribute(Qt::WA_DeleteOnClose, false);
    setFocusPolicy(Qt::StrongFocus);
    resize(kStageWidth, kStageHeight);
    installApplicationFilters();
}

void StageWindow::openModal(QWidget *opener)
{
    Q_UNUSED(opener);
    if (isVisible()) {
        raise();
        activateWindow();
        return;
    }
    setWindowModality(Qt::ApplicationModal);
    show();
    raise();
    activateWindow();
}

void StageWindow::openModeless(QWidget *opener)
{
    if (isVisible()) {
        raise();
        activateWindow();
        return;
    }
    // Under a modal opener a plain window would be blocked; taking the opener's modality keeps this one
    // usable, and since it covers the opener the operator sees no difference.
    setWindowModality(opener ? opener->window()->windowModality() : Qt::NonModal);
    show();
    raise();
    activateWindow();
}

void StageWindow::closeScreen()
{
    close();
}

bool StageWindow::deliverKeyDown(int key, Qt::KeyboardModifiers modifiers, bool autoRepeat)
{
    bool consumed = false;
    guard([&] { consumed = keyDown(key, modifiers, autoRepeat); });
    return consumed;
}

bool StageWindow::deliverKeyUp(int key, Qt::KeyboardModifiers modifiers)
{
    bool consumed = false;
    guard([&] { consumed = keyUp(key, modifiers); });
    return consumed;
}

bool StageWindow::keyDown(int, Qt::KeyboardModifiers, bool)
{
    return false;
}

bool StageWindow::keyUp(int, Qt::KeyboardModifiers)
{
    return false;
}

void StageWindow::showMadeWidgets()
{
    // Widgets made on a shown screen stay hidden; show those not hidden on purpose, as its showing would.
    for (QWidget *w : findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (!w->isWindow() && !w->testAttribute(Qt::WA_WState_ExplicitShowHide))
            w->show();
    }
}

void StageWindow::takePlace()
{
    StageDisplay *stage = m_context.stage;
    if (!stage) {
        QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
        const QRect display = screen ? screen->geometry() : QRect(0, 0, kStageWidth, kStageHeight);
        setGeometry(m_maximised ? display : QRect(display.topLeft(), QSize(kStageWidth, kStageHeight)));
        return;
    }
    // Scaled, maximised screens fill the same stage as the others; unscaled, the whole display.
    if (QWindow *w = windowHandle(); w && w->screen() != stage->screen())
        w->setScreen(stage->screen());
    setGeometry(m_maximised && !stage->scaled() ? stage->displayRect() : stage->stageRect());
    stage->showBars();
}

void StageWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (event->spontaneous())
        return;
    takePlace();
    if (!m_widgetsMade) {
        m_widgetsMade = true;
        makeWidgets();
        showMadeWidgets();
    }
    guard([this] { onShow(); });
}

void StageWindow::closeEvent(QCloseEvent *event)
{
    if (m_closing) {
        event->accept();
        return;
    }
    m_closing = true;
    guard([this] { onClose(); });
    m_closing = false;
    event->accept(); // hides; the screen lives on for its next showing
}

void StageWindow::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    if (!event->spontaneous())
        emit closed();
}
