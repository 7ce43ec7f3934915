#pragma once
// The rules of the big-screen countdown and the count-up clock, without widgets.
#include <QPointF>
#include <QRectF>
#include <QString>

#include <functional>

namespace clock_rules {

// Elapsed time as the count-up clock shows it: hours, minutes and seconds without leading zeros, a zero
// part written "00" (0 s "00:00:00", 65 s "00:1:5", 3725 s "1:2:5").
QString format_elapsed(qint64 seconds);

// What one tick of the countdown does with the number on display.
struct CountdownTick {
    bool stop = false;    // the count is over: the timer stops and the display keeps its number
    int shown = 0;        // the number displayed next (when not stopping)
    bool tick = false;    // the tick sound plays
    bool time_up = false; // the time-up sound plays right after it, replacing it
};
CountdownTick countdown_tick(int displayed, int soundThreshold);

// The free face of the countdown's dial ("倒计时.jpg", stage coordinates): the circle inside the inner ends
// of its ticks, less a small gap. The number's ink stays inside it.
inline constexpr QPointF kDialCentre{509.5, 388};
inline constexpr qreal kDialFreeRadius = 190;

// Whether every corner of `box` lies within `radius` of `centre`.
bool inside_circle(const QRectF &box, const QPointF &centre, qreal radius);

// The largest whole size from `smallest` to `largest` at which `fits` holds, for a `fits` that holds at
// every size below one at which it holds; `smallest` when it holds at none.
int largest_fitting_size(int smallest, int largest, const std::function<bool(int)> &fits);

} // namespace clock_rules
