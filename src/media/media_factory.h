#pragma once
// The real players of the screens.
#include "media_interfaces.h"

class AppOutputVolume;
class Dialogs;

class QtMediaFactory : public MediaFactory {
public:
    QtMediaFactory(Dialogs &dialogs, AppOutputVolume &volume);

    MediaPlayer *createMediaPlayer(QObject *parent) override;
    ClipPlayer *createClipPlayer(QWidget *parent) override;
    FlashPlayer *createFlashPlayer(QWidget *parent) override;

private:
    Dialogs &m_dialogs;
    AppOutputVolume &m_volume;
};
