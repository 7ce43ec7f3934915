#include "media_factory.h"

#include "flash_panel.h"
#include "qt_players.h"

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
    return new FlashPanel(parent);
}
