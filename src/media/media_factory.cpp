#include "media_factory.h"

#include "qt_players.h"

#include <QWidget>

namespace {

// A Flash panel that shows nothing: the movie simply does not play.
class BlankFlashPlayer : public QObject, public FlashPlayer {
public:
    explicit BlankFlashPlayer(QWidget *parent) : QObject(parent), m_surface(new QWidget(parent)) {}
    QWidget *widget() override { return m_surface; }
    void setMovie(const QString &) override {}
    void play() override {}
    void stop() override {}
    void stopPlay() override {}

private:
    QWidget *m_surface;
};

} // namespace

QtMediaFactory::QtMediaFactory(Dialogs &dialogs, AppOutputVolume &volume) : m_dialogs(dialogs), m_volume(volume) {}

MediaPlayer *QtMediaFactory::createMediaPlayer(QObject *parent)
{
    return new QtMediaPlayer(m_dialogs, m_volume, parent);
}

ClipPlayer *QtMediaFactory::createClipPlayer(QWidget *parent)
{
    return new QtClipPlayer(m_volume, parent);
}

FlashPlayer *QtMediaFactory::createFlashPlayer(QWidget *parent)
{
    return new BlankFlashPlayer(parent);
}
