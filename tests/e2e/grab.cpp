// Saves a region of the X screen as a PNG, as the audience would see it: grab X Y W H FILE.
// Used by the end-to-end tests of the built program; needs DISPLAY.
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

#include <cstdio>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "xcb");
    QGuiApplication app(argc, argv);
    const QStringList a = app.arguments();
    if (a.size() != 6) {
        std::fprintf(stderr, "usage: grab X Y W H FILE\n");
        return 2;
    }
    QScreen *screen = QGuiApplication::primaryScreen();
    const QPixmap shot = screen->grabWindow(0, a[1].toInt(), a[2].toInt(), a[3].toInt(), a[4].toInt());
    return shot.save(a[5], "PNG") ? 0 : 1;
}
