// Build step: draws the main menu's pictures into the given folder, to be compiled into the program.
#include "menu_artwork.h"

#include <QFile>
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
        auto write = [](const QString &path, const QImage &picture) {
            QFile file(path);
            return file.open(QIODevice::WriteOnly) && file.write(encodeMenuPicture(picture)) == file.size()
                   && file.flush();
        };
        if (!write(background + QStringLiteral(".pixels"), drawMenuBackground(s))
            || !write(highlight + QStringLiteral(".pixels"), drawMenuHighlight(s))) {
            std::fprintf(stderr, "cannot write the menu pictures into %s\n", argv[1]);
            return 1;
        }
    }
    return 0;
}
