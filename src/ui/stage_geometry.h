#pragma once
// Where the 1024 x 768 stage lies on a display of any size: scaled by min(W / 1024, H / 768) and centred,
// with black bars beside or above it. Pure arithmetic, shared by the stage windows and their tests.
#include <QRect>

namespace stage_geometry {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

// The scale factor for a display of `native` pixels; 1 when scaling is off.
double scaleFor(const QSize &native, bool scale);

// The stage in the display's own pixels, centred in `native` (a display's rectangle in pixels).
QRect nativeStage(const QRect &native, bool scale);

// The stage in the logical coordinates Qt gives a display that is scaled by the stage's factor:
// 1024 x 768, centred in `logical`. Without scaling the stage keeps the top-left corner.
QRect logicalStage(const QRect &logical, bool scale);

} // namespace stage_geometry
