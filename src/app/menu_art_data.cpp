// The main menu's pictures as the build drew them, linked into the program byte for byte.
#include "menu_artwork.h"

// Each picture between two labels, aligned for reading its pixels in place.
#define QUELMORA_EMBED(symbol, file)                                                                           \
    __asm__(".pushsection .rodata\n.balign 64\n" #symbol ":\n.incbin \"" QUELMORA_MENU_ART_DIR "/" file        \
            "\"\n" #symbol "_end:\n.popsection\n");                                                             \
    extern "C" const uchar symbol[], symbol##_end[];

QUELMORA_EMBED(quelmora_menu_background, "menu_background.pixels")
QUELMORA_EMBED(quelmora_menu_background_1250, "menu_background_1250.pixels")
QUELMORA_EMBED(quelmora_menu_background_1406, "menu_background_1406.pixels")
QUELMORA_EMBED(quelmora_menu_background_1562, "menu_background_1562.pixels")
QUELMORA_EMBED(quelmora_menu_background_2000, "menu_background_2000.pixels")
QUELMORA_EMBED(quelmora_menu_highlight, "menu_highlight.pixels")
QUELMORA_EMBED(quelmora_menu_highlight_1250, "menu_highlight_1250.pixels")
QUELMORA_EMBED(quelmora_menu_highlight_1406, "menu_highlight_1406.pixels")
QUELMORA_EMBED(quelmora_menu_highlight_1562, "menu_highlight_1562.pixels")
QUELMORA_EMBED(quelmora_menu_highlight_2000, "menu_highlight_2000.pixels")

QImage storedMenuPicture(const QString &name)
{
    struct Stored {
        const char *name;
        const uchar *begin, *end;
    };
    static const Stored stored[] = {
        {"menu_background", quelmora_menu_background, quelmora_menu_background_end},
        {"menu_background_1250", quelmora_menu_background_1250, quelmora_menu_background_1250_end},
        {"menu_background_1406", quelmora_menu_background_1406, quelmora_menu_background_1406_end},
        {"menu_background_1562", quelmora_menu_background_1562, quelmora_menu_background_1562_end},
        {"menu_background_2000", quelmora_menu_background_2000, quelmora_menu_background_2000_end},
        {"menu_highlight", quelmora_menu_highlight, quelmora_menu_highlight_end},
        {"menu_highlight_1250", quelmora_menu_highlight_1250, quelmora_menu_highlight_1250_end},
        {"menu_highlight_1406", quelmora_menu_highlight_1406, quelmora_menu_highlight_1406_end},
        {"menu_highlight_1562", quelmora_menu_highlight_1562, quelmora_menu_highlight_1562_end},
        {"menu_highlight_2000", quelmora_menu_highlight_2000, quelmora_menu_highlight_2000_end},
    };
    for (const Stored &s : stored) {
        if (name == QLatin1String(s.name))
            return menuPictureFromData(s.begin, s.end - s.begin);
    }
    return {};
}
