#pragma once
// The rules of the big-screen countdown and the count-up clock, without widgets.
#include <QString>

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

} // namespace clock_rules
