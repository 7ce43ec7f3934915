#pragma once
// Stylised head-and-shoulders portraits for the demo contestants and judges: flat shapes, varied by number.
#include <QImage>
#include <QSize>

namespace assetgen::art {

// Contestant `index` (0-based): a young face in stage clothes on a coloured ground.
QImage contestantPortrait(int index, QSize size = QSize(304, 302));
// Judge `index` (0-based): a formally dressed face, portrait format.
QImage judgePortrait(int index, QSize size = QSize(135, 169));

} // namespace assetgen::art
