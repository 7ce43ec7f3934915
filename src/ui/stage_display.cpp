#include "stage_display.h"

#include "settings/settings_files.h"
#include "settings/settings_keys.h"
#include "stage_geometry.h"

#include <QGuiApplication>
#include <QPalette>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QtGui/private/qhighdpiscaling_p.h>
#include <qpa/qplatformscreen.h>

StageChoice StageChoice::read(const SettingsFiles &settings)
{
    StageChoice c;
    c.display = settings.config().read(keys::kProjector, keys::kProjectorDisplay, QString()).trimmed();
    if (c.display == QLatin1String("0"))
        c.display.clear();
    c.scale = settings.config().read(keys::kProjector, keys::kProjectorNative).trimmed() != QLatin1String("1");
    return c;
}

void StageChoice::write(const SettingsFiles &settings) const
{
    settings.writeAll({{keys::kProjector, keys::kProjectorDisplay, display},
                       {keys::kProjector, keys::kProjectorNative, scale ? QStringLiteral("0") : QStringLiteral("1")}});
}

StageDisplay::StageDisplay(std::function<void(const QString &)> report) : m_report(std::move(report))
{
    auto later = [this] { QTimer::singleShot(0, this, [this] { choose(); }); };
    // A removed display's object is going away when the signal comes: choose again once it is gone.
    connect(qGuiApp, &QGuiApplication::screenAdded, this, later);
    connect(qGuiApp, &QGuiApplication::screenRemoved, this, later);
    connect(qGuiApp, &QGuiApplication::primaryScreenChanged, this, later);
}

StageDisplay::~StageDisplay()
{
    if (m_factorScreen)
        QHighDpiScaling::setScreenFactor(m_factorScreen, 1.0);
}

void StageDisplay::apply(const StageChoice &choice)
{
    m_choice = choice;
    m_reportedMissing.clear();
    choose();
}

QSize StageDisplay::nativeSize(const QScreen *screen)
{
    if (!screen)
        return {};
    return screen->handle() ? screen->handle()->geometry().size() : screen->size();
}

QString StageDisplay::describe(const QScreen *screen)
{
    const QSize s = nativeSize(screen);
    const QString name = screen->name().isEmpty() ? QStringLiteral("显示器") : screen->name();
    return QStringLiteral("%1  %2 x %3").arg(name).arg(s.width()).arg(s.height());
}

QString StageDisplay::fallbackText(const QString &name)
{
    return QStringLiteral("找不到投影显示器“%1”，舞台改用主显示器。").arg(name);
}

void StageDisplay::choose()
{
    QScreen *target = nullptr;
    if (!m_choice.display.isEmpty()) {
        for (QScreen *s : QGuiApplication::screens()) {
            if (s->name() == m_choice.display)
                target = s;
        }
        if (!target && m_reportedMissing != m_choice.display) {
            m_reportedMissing = m_choice.display; // once until the display comes back or another is chosen
            if (m_report)
                m_report(fallbackText(m_choice.display));
        }
        if (target)
            m_reportedMissing.clear();
    }
    if (!target)
        target = QGuiApplication::primaryScreen();
    if (!target)
        return;
    if (m_factorScreen && m_factorScreen != target)
        setFactor(m_factorScreen, 1.0);
    const qreal factor = stage_geometry::scaleFor(nativeSize(target), m_choice.scale);
    setFactor(target, factor);
    m_screen = target;
    m_scale = factor;
    if (m_bars[0] && m_bars[0]->isVisible())
        showBars();
    emit moved();
}

void StageDisplay::setFactor(QScreen *screen, qreal factor)
{
    if (!qFuzzyCompare(QHighDpiScaling::factor(screen), factor))
        QHighDpiScaling::setScreenFactor(screen, factor);
    m_factorScreen = qFuzzyCompare(factor, 1.0) ? nullptr : screen;
}

QScreen *StageDisplay::screen() const
{
    return m_screen ? m_screen.data() : QGuiApplication::primaryScreen();
}

QRect StageDisplay::displayRect() const
{
    const QScreen *s = screen();
    return s ? s->geometry() : QRect(0, 0, stage_geometry::kWidth, stage_geometry::kHeight);
}

QRect StageDisplay::stageRect() const
{
    return stage_geometry::logicalStage(displayRect(), m_choice.scale);
}

void StageDisplay::showBars()
{
    const QRect display = displayRect();
    const QRect stage = stageRect();
    QRect places[2];
    if (m_choice.scale && stage != display) {
        if (stage.width() < display.width()) {
            places[0] = QRect(display.left(), display.top(), stage.left() - display.left(), display.height());
            places[1] = QRect(stage.right() + 1, display.top(), display.right() - stage.right(), display.height());
        } else {
            places[0] = QRect(display.left(), display.top(), display.width(), stage.top() - display.top());
            places[1] = QRect(display.left(), stage.bottom() + 1, display.width(), display.bottom() - stage.bottom());
        }
    }
    for (int i = 0; i < 2; ++i) {
        std::unique_ptr<QWidget> &bar = m_bars[i];
        if (places[i].isEmpty()) {
            if (bar)
                bar->hide();
            continue;
        }
        if (!bar) {
            bar = std::make_unique<QWidget>(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus);
            bar->setObjectName(QStringLiteral("stage_bar%1").arg(i + 1));
            bar->setAttribute(Qt::WA_QuitOnClose, false);
            bar->setAttribute(Qt::WA_ShowWithoutActivating);
            QPalette p = bar->palette();
            p.setColor(QPalette::Window, Qt::black);
            bar->setPalette(p);
            bar->setAutoFillBackground(true);
        }
        bar->setGeometry(places[i]);
        if (!bar->isVisible())
            bar->show();
        bar->lower();
    }
}
