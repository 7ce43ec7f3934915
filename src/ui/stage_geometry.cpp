#include "stage_geometry.h"

#include <algorithm>
#include <cmath>

namespace stage_geometry {

double scaleFor(const QSize &native, bool scale)
{
    if (!scale || native.width() <= 0 || native.height() <= 0)
        return 1.0;
    return std::min(double(native.width()) / kWidth, double(native.height()) / kHeight);
}

QRect nativeStage(const QRect &native, bool scale)
{
    const double s = scaleFor(native.size(), scale);
    const QSize size(int(std::lround(kWidth * s)), int(std::lround(kHeight * s)));
    if (!scale)
        return QRect(native.topLeft(), size);
    return QRect(native.left() + (native.width() - size.width()) / 2,
                 native.top() + (native.height() - size.height()) / 2, size.width(), size.height());
}

QRect logicalStage(const QRect &logical, bool scale)
{
    if (!scale)
        return QRect(logical.topLeft(), QSize(kWidth, kHeight));
    return QRect(logical.left() + std::max(0, logical.width() - kWidth) / 2,
                 logical.top() + std::max(0, logical.height() - kHeight) / 2, kWidth, kHeight);
}

} // namespace stage_geometry
