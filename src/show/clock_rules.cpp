#include "clock_rules.h"

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

} // namespace clock_rules
