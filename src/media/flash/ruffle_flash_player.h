#pragma once
// The Flash panel of a screen: movies play in a Flash emulator running in a web view. The web view is
// created only when the first movie is set (or on warmUp()), so shows without Flash never pay for it.
#include "media/media_interfaces.h"

#include <QStringList>
#include <QWidget>

class QWebEngineView;

// The folder holding the player page and the emulator: "flash-player/" in the program folder
// (QUELMORA_HOME, else the folder of the executable), or beside the executable when the former lacks it.
QString flashPageFolder();

class RuffleFlashPlayer : public QWidget, public FlashPlayer {
    Q_OBJECT
public:
    explicit RuffleFlashPlayer(QWidget *parent = nullptr, const QString &pageFolder = flashPageFolder());
    ~RuffleFlashPlayer() override;

    QWidget *widget() override { return this; }
    // A missing file, or one that is not a Flash movie, clears the panel and plays nothing.
    void setMovie(const QString &path) override;
    void play() override;
    void stop() override;
    void stopPlay() override;

    // Starts the web view, the page and the emulator in the background, so that the first movie shows sooner.
    void warmUp();
    // True once the web view exists.
    bool isStarted() const { return m_view != nullptr; }

    // True when `path` is a readable file that begins as a Flash movie does ("FWS", "CWS" or "ZWS").
    static bool looksLikeMovie(const QString &path);

signals:
    // The page is loaded (or could not be).
    void pageLoaded(bool ok);
    // The movie set last is loaded and holds its first frame / could not be played.
    void movieReady();
    void movieFailed();
    // The emulator is loaded after warmUp().
    void warmedUp();

private:
    void start();
    void send(const QString &script);
    void onLoadFinished(bool ok);
    void onReport(const QString &state);

    QString m_pageFolder;
    QWebEngineView *m_view = nullptr;
    bool m_pageLoaded = false;
    QStringList m_queue; // commands given before the page was ready, in order
};
