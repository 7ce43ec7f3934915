// The main menu's pictures as the build drew them, linked into the program byte for byte.
#include "menu_artwork.h"

// Every stored picture, by the name the build gave its file ("menu_background_1406.pixels").
#define QUELMORA_MENU_PICTURES(X)                                                                              \
    X(menu_background)                                                                                         \
    X(menu_background_1250)                                                                                    \
    X(menu_background_1406)                                                                                    \
    X(menu_background_1562)                                                                                    \
    X(menu_background_2000)                                                                                    \
    X(menu_highlight)                                                                                          \
    X(menu_highlight_1250)                                                                                     \
    X(menu_highlight_1406)                                                                                     \
    X(menu_highlight_1562)                                                                                     \
    X(menu_highlight_2000)

// Each picture between two labels, aligned for reading its pixels in place.
#define QUELMORA_EMBED(name)                                                                                   \
    __asm__(".pushsection .rodata\n.balign 64\nquelmora_" #name ":\n.incbin \"" QUELMORA_MENU_ART_DIR          \
            "/" #name ".pixels\"\nquelmora_" #name "_end:\n.popsection\n");                                   \
    extern "C" const uchar quelmora_##name[], quelmora_##name##_end[];
QUELMORA_MENU_PICTURES(QUELMORA_EMBED)

QImage storedMenuPicture(const QString &name)
{
    struct Stored {
        const char *name;
        const uchar *begin, *end;
    };
#define QUELMORA_STORED(name) {#name, quelmora_##name, quelmora_##name##_end},
    static const Stored stored[] = {QUELMORA_MENU_PICTURES(QUELMORA_STORED)};
#undef QUELMORA_STORED
    for (const Stored &s : stored) {
        if (name == QLatin1String(s.name))
            return menuPictureFromData(s.begin, s.end - s.begin);
    }
    return {};
}
