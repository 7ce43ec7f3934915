#include "clock_rules.h"

#include <QLineF>

#include <algorithm>

namespace clock_rules {

QString format_elapsed(qint64 seconds)
{
    if (seconds < 0)
        seconds = 0;
    const qint64 hours = seconds / 3600;
    const qint64 minutes = (seconds % 3600) / 60;
    const qint64 rest = seconds % 60;
    const auto part = [](qint64 value) { return value > 0 ? QString::number(value) : QStringLiteral("00"); };
    return part(hours) + QLatin1Char(':') + part(minutes) + QLatin1Char(':') + part(rest);
}

CountdownTick countdown_tick(int displayed, int soundThreshold)
{
    CountdownTick t;
    // A display at the smallest whole number has nothing below it to count to.
    if (displayed <= 0) {
        t.stop = true;
        return t;
    }
    t.shown = displayed - 1;
    t.tick = t.shown <= soundThreshold;
    t.time_up = t.tick && t.shown == 0;
    return t;
}

bool inside_circle(const QRectF &box, const QPointF &centre, qreal radius)
{
    for (const QPointF &corner : {box.topLeft(), box.topRight(), box.bottomLeft(), box.bottomRight()})
        if (QLineF(centre, corner).length() > radius)
            return false;
    return true;
}

int largest_fitting_size(int smallest, int largest, const std::function<bool(int)> &fits)
{
    if (largest <= smallest || fits(largest))
        return std::max(smallest, largest);
    // fits(low) is taken as true and fits(high) is known false: narrow the gap between them.
    int low = smallest;
    int high = largest;
    while (high - low > 1) {
        const int middle = low + (high - low) / 2;
        (fits(middle) ? low : high) = middle;
    }
    return low;
}

} // namespace clock_rules
