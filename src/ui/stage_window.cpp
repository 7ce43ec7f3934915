#include "stage_window.h"

#include "key_codes.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QScreen>
#include <QSet>

namespace {

// Sends key events to their screen first; a key the screen does not consume then goes on to the focus
// widget as usual. Right-button presses are dropped before they reach any widget.
class ApplicationFilter : public QObject {
public:
    using QObject::QObject;

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
        default:
            return false;
        }
    }

private:
    bool previewKey(QObject *watched, QKeyEvent *event)
    {
        if (!watched->isWidgetType() || m_forwarding.contains(event))
            return false;
        auto *stage = qobject_cast<StageWindow *>(static_cast<QWidget *>(watched)->window());
        if (!stage)
            return false;
        QPointer<QObject> receiver(watched);
        if (stage->previewKey(*event))
            return true;
        if (!receiver)
            return true;
        // Deliver it on now, marked, so that its way up the parent chain is not previewed again.
        m_forwarding.insert(event);
        QCoreApplication::sendEvent(receiver, event);
        m_forwarding.remove(event);
        return true;
    }

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

bool StageWindow::previewKey(QKeyEvent &event)
{
    const int key = virtualKey(event);
    bool consumed = false;
    if (event.type() == QEvent::KeyPress) {
        guard([&] { consumed = keyDown(key, event.modifiers(), event.isAutoRepeat()); });
    } else if (!event.isAutoRepeat()) {
        guard([&] { consumed = keyUp(key, event.modifiers()); });
    }
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

void StageWindow::takePlace()
{
    QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const QRect display = screen ? screen->geometry() : QRect(0, 0, kStageWidth, kStageHeight);
    if (m_maximised)
        setGeometry(display);
    else
        setGeometry(QRect(display.topLeft(), QSize(kStageWidth, kStageHeight)));
}

void StageWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (event->spontaneous())
        return;
    takePlace();
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
