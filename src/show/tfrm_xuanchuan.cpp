#include "tfrm_xuanchuan.h"

#include "media/asset_paths.h"
#include "media/media_interfaces.h"
#include "ui/key_codes.h"
#include "ui/picture.h"

Tfrm_xuanchuan::Tfrm_xuanchuan(AppContext &context) : StageWindow(context, QStringLiteral("frm_xuanchuan"))
{
    setWindowTitle(QStringLiteral("宣传口号"));
    setMaximised(true);
    Image1 = new Picture(this, QStringLiteral("Image1"));
    Image1->setStretch(true);
    Image1->setGeometry(rect());
    Media1 = context.services.media->createMediaPlayer(this);
}

void Tfrm_xuanchuan::onShow()
{
    Image1->loadFile(context().paths.file(assets::kSloganBackground));
}

bool Tfrm_xuanchuan::keyDown(int key, Qt::KeyboardModifiers, bool autoRepeat)
{
    switch (key) {
    case vk::letter('A'):
    case vk::letter('S'):
    case vk::letter('D'):
    case vk::letter('F'):
        // A held key must not switch the music off and on at the keyboard's repeat rate.
        if (!autoRepeat)
            trackKey(QChar(u'A' + (key - vk::A)));
        break;
    case vk::Escape:
        closeScreen();
        break;
    default:
        break;
    }
    return true; // every key is the screen's own
}

bool Tfrm_xuanchuan::keyUp(int, Qt::KeyboardModifiers)
{
    return true;
}

void Tfrm_xuanchuan::trackKey(QChar letter)
{
    // The playing track is stopped before the letter counts, so a switch of tracks takes two presses.
    if (Media1->isPlaying()) {
        Media1->stop();
        return;
    }
    Media1->setFileName(context().paths.file(assets::backgroundTrack(letter)));
    Media1->open();
    Media1->play();
}

void Tfrm_xuanchuan::resizeEvent(QResizeEvent *event)
{
    StageWindow::resizeEvent(event);
    Image1->setGeometry(rect());
}
