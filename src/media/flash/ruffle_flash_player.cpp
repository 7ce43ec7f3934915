#include "ruffle_flash_player.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QPointer>
#include <QStackedLayout>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>

namespace {

const QString kPageFile = QStringLiteral("player.html");
const QString kReportPrefix = QStringLiteral("quelmora:");

// One private, in-memory profile for every Flash panel: nothing is written to disk, nothing is fetched
// from the network, and sound may start without a click.
QWebEngineProfile *flashProfile()
{
    static QPointer<QWebEngineProfile> profile;
    if (!profile) {
        profile = new QWebEngineProfile(QCoreApplication::instance());
        profile->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
        profile->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
        QWebEngineSettings *s = profile->settings();
        s->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
        s->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
        s->setAttribute(QWebEngineSettings::PlaybackRequiresUserGesture, false);
        s->setAttribute(QWebEngineSettings::ShowScrollBars, false);
        s->setAttribute(QWebEngineSettings::ErrorPageEnabled, false);
        s->setAttribute(QWebEngineSettings::FocusOnNavigationEnabled, false);
        s->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
        s->setAttribute(QWebEngineSettings::JavascriptCanAccessClipboard, false);
        s->setAttribute(QWebEngineSettings::PluginsEnabled, false);
        s->setAttribute(QWebEngineSettings::PdfViewerEnabled, false);
    }
    return profile;
}

// The player page: stays on its own file and passes the page's reports on.
class FlashPage : public QWebEnginePage {
public:
    FlashPage(const QUrl &home, std::function<void(const QString &)> onReport, QObject *parent)
        : QWebEnginePage(flashProfile(), parent), m_home(home), m_onReport(std::move(onReport))
    {
    }

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType, bool isMainFrame) override
    {
        return !isMainFrame || url == m_home;
    }
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString &message, int, const QString &) override
    {
        // The emulator's own messages are not the screen's business.
        if (message.startsWith(kReportPrefix))
            m_onReport(message.mid(kReportPrefix.size()));
    }

private:
    QUrl m_home;
    std::function<void(const QString &)> m_onReport;
};

// A JavaScript string literal of `text`.
QString jsString(const QString &text)
{
    const QString array = QString::fromUtf8(QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact));
    return array.mid(1, array.size() - 2);
}

} // namespace

QString flashPageFolder()
{
    const QString appFolder = QCoreApplication::applicationDirPath();
    QStringList programFolders;
    const QString home = qEnvironmentVariable("QUELMORA_HOME");
    if (!home.isEmpty())
        programFolders << home;
    programFolders << appFolder;
    for (const QString &folder : programFolders) {
        const QString candidate = QDir(folder).absoluteFilePath(QStringLiteral("flash-player"));
        if (QFileInfo::exists(candidate + QLatin1Char('/') + kPageFile))
            return candidate;
    }
    return QDir(appFolder).absoluteFilePath(QStringLiteral("flash-player"));
}

RuffleFlashPlayer::RuffleFlashPlayer(QWidget *parent, const QString &pageFolder)
    : QWidget(parent), m_pageFolder(pageFolder)
{
    // Dark from the first paint, before and while the web view starts: no white flash on the projector.
    QPalette dark = palette();
    dark.setColor(QPalette::Window, Qt::black);
    setPalette(dark);
    setAutoFillBackground(true);
    setFocusPolicy(Qt::NoFocus);
    setContextMenuPolicy(Qt::NoContextMenu);
    auto *layout = new QStackedLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
}

RuffleFlashPlayer::~RuffleFlashPlayer() = default;

bool RuffleFlashPlayer::looksLikeMovie(const QString &path)
{
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(3);
    return head == "FWS" || head == "CWS" || head == "ZWS";
}

void RuffleFlashPlayer::warmUp()
{
    start();
    send(QStringLiteral("quelmora.warmUp()"));
}

void RuffleFlashPlayer::start()
{
    if (m_view)
        return;
    const QString page = QDir(m_pageFolder).absoluteFilePath(kPageFile);
    if (!QFileInfo::exists(page)) {
        qWarning("Flash player page missing: %s", qUtf8Printable(page));
        return;
    }
    m_view = new QWebEngineView(this);
    // The panel only shows: keys and clicks stay with the screen.
    m_view->setFocusPolicy(Qt::NoFocus);
    m_view->setContextMenuPolicy(Qt::NoContextMenu);
    m_view->setAttribute(Qt::WA_TransparentForMouseEvents);
    const QUrl home = QUrl::fromLocalFile(page);
    auto *flashPage = new FlashPage(home, [this](const QString &state) { onReport(state); }, m_view);
    flashPage->setBackgroundColor(Qt::black);
    m_view->setPage(flashPage);
    connect(m_view, &QWebEngineView::loadFinished, this, &RuffleFlashPlayer::onLoadFinished);
    // A page process that died (out of memory, say) takes its movie with it; the panel loads a fresh page
    // so that the next movie plays.
    connect(flashPage, &QWebEnginePage::renderProcessTerminated, this,
            [this, home](QWebEnginePage::RenderProcessTerminationStatus status) {
        if (status == QWebEnginePage::NormalTerminationStatus)
            return;
        m_pageLoaded = false;
        m_view->load(home);
    });
    static_cast<QStackedLayout *>(layout())->addWidget(m_view);
    m_view->load(home);
}

void RuffleFlashPlayer::onLoadFinished(bool ok)
{
    if (m_pageLoaded)
        return;
    m_pageLoaded = ok;
    if (!ok) {
        qWarning("Flash player page failed to load");
        m_queue.clear();
    }
    for (const QString &script : std::as_const(m_queue))
        m_view->page()->runJavaScript(script);
    m_queue.clear();
    emit pageLoaded(ok);
}

void RuffleFlashPlayer::send(const QString &script)
{
    if (m_pageLoaded)
        m_view->page()->runJavaScript(script);
    else if (m_view)
        m_queue.append(script);
}

void RuffleFlashPlayer::onReport(const QString &state)
{
    if (state == QLatin1String("ready"))
        emit movieReady();
    else if (state == QLatin1String("failed") || state == QLatin1String("empty"))
        emit movieFailed();
    else if (state == QLatin1String("warm"))
        emit warmedUp();
}

void RuffleFlashPlayer::setMovie(const QString &path)
{
    if (!looksLikeMovie(path)) {
        // Nothing to show; a panel that never started has nothing to clear either.
        if (m_view)
            send(QStringLiteral("quelmora.setMovie(null)"));
        else
            emit movieFailed();
        return;
    }
    start();
    const QString url = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString(QUrl::FullyEncoded);
    send(QStringLiteral("quelmora.setMovie(%1)").arg(jsString(url)));
}

void RuffleFlashPlayer::play()
{
    send(QStringLiteral("quelmora.play()"));
}

void RuffleFlashPlayer::stop()
{
    send(QStringLiteral("quelmora.stop()"));
}

void RuffleFlashPlayer::stopPlay()
{
    send(QStringLiteral("quelmora.stopPlay()"));
}
