#pragma once
// The show hub's keys as one table: the hub dispatches through it and the operator's guide prints it, so the
// two cannot disagree. No widgets.
#include <QString>

#include <span>

namespace hub_keys {

enum class Action { ToggleHelp, Scoring, JudgesShow, Lottery, Awards, Slogan, ScoresRestored, Close };

struct Entry {
    int key;             // virtual-key code
    bool shiftRequired;  // the key does nothing without Shift (but is still the hub's)
    bool onPress;        // acts when pressed rather than when released
    Action action;
    const char *keyName; // UTF-8, as the guide names the key
    const char *what;    // UTF-8, what the key does
};

std::span<const Entry> table();

// The entry of a key, or nullptr for a key the hub leaves alone.
const Entry *find(int key);

// Whether the entry acts on this event: its phase, and Shift where it needs it.
bool acts(const Entry &entry, bool pressed, bool shift);

// The guide's key table of the hub, an HTML table.
QString htmlTable();

} // namespace hub_keys
