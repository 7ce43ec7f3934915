#pragma once
// The main menu's own pictures: the background with its title, four framed areas and captions, and the
// highlight of an area. They are drawn once when the program is built and compiled into it as their bare
// pixels, so start-up shows them in place, with no decoder to load and nothing to decode.
#include <QByteArray>
#include <QImage>
#include <QString>

#include <cstring>
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

// A picture as stored: a 16-byte header ("QMP1", width, height and QImage format, each 32 bits in the
// machine's order), then the rows of 32-bit pixels without padding.
inline QByteArray encodeMenuPicture(const QImage &picture)
{
    const QImage::Format format =
        picture.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
    const QImage image = picture.convertToFormat(format);
    const quint32 header[4] = {0x3150'4d51u /* "QMP1" */, quint32(image.width()), quint32(image.height()),
                               quint32(format)};
    QByteArray out(reinterpret_cast<const char *>(header), sizeof header);
    for (int y = 0; y < image.height(); ++y)
        out.append(reinterpret_cast<const char *>(image.constScanLine(y)), qsizetype(image.width()) * 4);
    return out;
}

// The picture over `data` without copying it, which must then outlive the picture; null when the data is
// not a whole stored picture. Pixels not aligned for 32-bit reading are copied.
inline QImage menuPictureFromData(const uchar *data, qsizetype size)
{
    quint32 header[4];
    if (!data || size < qsizetype(sizeof header))
        return {};
    std::memcpy(header, data, sizeof header);
    const auto format = QImage::Format(header[3]);
    if (header[0] != 0x3150'4d51u || (format != QImage::Format_RGB32 && format != QImage::Format_ARGB32_Premultiplied)
        || header[1] == 0 || header[2] == 0 || header[1] > 16384 || header[2] > 16384
        || size - qsizetype(sizeof header) != qsizetype(header[1]) * header[2] * 4)
        return {};
    const uchar *pixels = data + sizeof header;
    const QImage image(pixels, int(header[1]), int(header[2]), qsizetype(header[1]) * 4, format);
    return reinterpret_cast<quintptr>(pixels) % 4 == 0 ? image : image.copy();
}

// The picture the build stored under that name ("menu_background_1406"), read in place; null when there is
// none.
QImage storedMenuPicture(const QString &name);
