// The entry the program looks up when it loads this library at its first movie.
#include "ruffle_flash_player.h"

extern "C" Q_DECL_EXPORT FlashPlayer *quelmora_make_flash_player(QWidget *parent)
{
    return new RuffleFlashPlayer(parent);
}
