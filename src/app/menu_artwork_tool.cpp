// Build step: draws the main menu's pictures into the given folder, to be compiled into the program.
#include "menu_artwork.h"

#include <QGuiApplication>
#include <cstdio>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QList<qreal> scales{1.0};
    for (const qreal s : kMenuArtScales)
        scales << s;
    for (const qreal s : scales) {
        const QString background = folder + QLatin1Char('/') + menuArtName(QStringLiteral("menu_background"), s);
        const QString highlight = folder + QLatin1Char('/') + menuArtName(QStringLiteral("menu_highlight"), s);
        if (!drawMenuBackground(s).save(background + QStringLiteral(".jpg"), "JPEG", 92)
            || !drawMenuHighlight(s).save(highlight + QStringLiteral(".png"), "PNG")) {
            std::fprintf(stderr, "cannot write the menu pictures into %s\n", argv[1]);
            return 1;
        }
    }
    return 0;
}
