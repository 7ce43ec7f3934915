// Saves a region of the X screen as a PNG, as the audience would see it: grab X Y W H FILE;
// or prints one pixel's colour as #rrggbb: grab --pixel X Y;
// or counts the places along a segment where the screen is red: grab --red-line X1 Y1 X2 Y2;
// or holds TEXT on the clipboard until another program takes it (at most a minute): grab --clipboard TEXT.
// Used by the end-to-end tests of the built program; needs DISPLAY.
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QTimer>

#include <cstdio>

namespace {

// Of nine points spread along the segment (its ends left out, where the number marks stand), how many
// have a red pixel within three pixels: a drawn line four pixels wide gives 9, no line 0.
int redPlaces(const QImage &screen, QPointF from, QPointF to)
{
    int found = 0;
    for (int k = 1; k <= 9; ++k) {
        const QPointF at = from + (to - from) * (0.05 + 0.09 * k);
        bool red = false;
        for (int dy = -3; dy <= 3 && !red; ++dy)
            for (int dx = -3; dx <= 3 && !red; ++dx) {
                const QColor c = screen.pixelColor(qRound(at.x()) + dx, qRound(at.y()) + dy);
                red = c.red() >= 230 && c.green() <= 40 && c.blue() <= 40;
            }
        found += red ? 1 : 0;
    }
    return found;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "xcb");
    QGuiApplication app(argc, argv);
    const QStringList a = app.arguments();
    if (a.size() == 4 && a[1] == QLatin1String("--pixel")) {
        const QPixmap dot = QGuiApplication::primaryScreen()->grabWindow(0, a[2].toInt(), a[3].toInt(), 1, 1);
        std::printf("%s\n", qPrintable(dot.toImage().pixelColor(0, 0).name()));
        return dot.isNull() ? 1 : 0;
    }
    if (a.size() == 6 && a[1] == QLatin1String("--red-line")) {
        const QImage screen = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
        std::printf("%d\n", redPlaces(screen, QPointF(a[2].toInt(), a[3].toInt()), QPointF(a[4].toInt(), a[5].toInt())));
        return screen.isNull() ? 1 : 0;
    }
    if (a.size() == 3 && a[1] == QLatin1String("--clipboard")) {
        QClipboard *clipboard = QGuiApplication::clipboard();
        clipboard->setText(a[2]);
        QObject::connect(clipboard, &QClipboard::dataChanged, &app, [&] {
            if (!clipboard->ownsClipboard())
                app.quit();
        });
        QTimer::singleShot(60000, &app, &QGuiApplication::quit);
        std::printf("ready\n");
        std::fflush(stdout);
        return app.exec();
    }
    if (a.size() != 6) {
        std::fprintf(stderr, "usage: grab X Y W H FILE | grab --pixel X Y | grab --red-line X1 Y1 X2 Y2 | grab --clipboard TEXT\n");
        return 2;
    }
    QScreen *screen = QGuiApplication::primaryScreen();
    const QPixmap shot = screen->grabWindow(0, a[1].toInt(), a[2].toInt(), a[3].toInt(), a[4].toInt());
    return shot.save(a[5], "PNG") ? 0 : 1;
}
