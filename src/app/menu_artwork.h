#pragma once
// The main menu's own pictures: the background with its title, four framed areas and captions, and the
// highlight of an area. They are drawn once when the program is built and compiled into it, so start-up
// only decodes them.
#include <QImage>
#include <QString>

#include <iterator>

// Each is drawn at `scale` times its stage size (device pixel ratio `scale`). The build draws them at the
// stage's own size and at the scales of the common projectors, so a scaled stage shows them sharp.
QImage drawMenuBackground(qreal scale);
QImage drawMenuHighlight(qreal scale);

// 1280 x 1024, 1920 x 1080, 1920 x 1200, and twice the stage for anything larger.
inline constexpr qreal kMenuArtScales[] = {1.25, 1.40625, 1.5625, 2.0};

// The scale of the pictures to show on a stage scaled by `dpr`: 1, or the smallest drawn scale at least
// as large (the largest for anything above).
inline qreal menuArtScaleFor(qreal dpr)
{
    if (dpr <= 1.0)
        return 1.0;
    for (const qreal s : kMenuArtScales) {
        if (s >= dpr - 1e-6)
            return s;
    }
    return kMenuArtScales[std::size(kMenuArtScales) - 1];
}

// "menu_background" and 1.40625 give "menu_background_1406"; scale 1 gives the bare name.
inline QString menuArtName(const QString &base, qreal scale)
{
    return scale == 1.0 ? base : base + QStringLiteral("_%1").arg(int(scale * 1000));
}
