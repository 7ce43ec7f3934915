#pragma once
// A GIF89a encoder for single still pictures (Qt reads GIF but does not write it). Colours are reduced to a
// palette of at most 255 by median cut; pixels under half opacity become the transparent colour.
#include <QByteArray>
#include <QColor>
#include <QImage>

namespace assetgen {

// `matte` is the colour half-transparent edge pixels are blended onto (the colour the picture is shown on).
QByteArray encodeGif(const QImage &image, const QColor &matte);

} // namespace assetgen
