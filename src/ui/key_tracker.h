#pragma once
// Turns the key events a window system delivers into physical presses. A held key arrives from X11 as
// pairs of release and press that Qt does not always flag as auto-repeats; a key-up action must still
// run once per physical press, only in the window that saw the press, and with the modifiers that were
// held when the key went down (a keypad's chord may let go of Shift before the key's release arrives).
#include <Qt>
#include <QHash>

#include <optional>

class KeyTracker {
public:
    // `window` identifies the window the event was meant for; null for one that is no stage (a message box).
    // `timestamp` is the window system's time of the event in milliseconds; 0 when it has none.
    struct Press {
        bool repeat = false;                 // an auto-repeat of a key already held
        Qt::KeyboardModifiers modifiers;     // the modifiers to act with
    };
    Press press(int key, const void *window, Qt::KeyboardModifiers modifiers, bool flaggedRepeat, quint64 timestamp);

    // The modifiers of the key-down to act with, or nothing when this release must not act: an
    // auto-repeat, a release whose press went to another window, or a press that has acted already.
    std::optional<Qt::KeyboardModifiers> release(int key, const void *window, bool flaggedRepeat, quint64 timestamp);

    // Forgets every key (the application lost the keyboard).
    void clear() { m_keys.clear(); }
    // Forgets the keys pressed in a window that is gone, so a later window made at its address starts
    // with no key held.
    void forget(const void *window)
    {
        m_keys.removeIf([window](const auto &entry) { return entry.value().window == window; });
    }

private:
    struct State {
        const void *window = nullptr;
        Qt::KeyboardModifiers modifiers;
        bool down = false;
        bool acted = false;
        quint64 releasedAt = 0;
    };
    QHash<int, State> m_keys;
};
