#include "key_tracker.h"

#include "key_codes.h"

#include <utility>

KeyTracker::Press KeyTracker::press(int key, const void *window, Qt::KeyboardModifiers modifiers, bool flaggedRepeat,
                                    quint64 timestamp)
{
    auto it = m_keys.find(key);
    // X11 gives the release and the press of an auto-repeat pair the same time; a key pressed again
    // without a release in between is held as well.
    const bool repeat = it != m_keys.end() && it->window == window
                        && (flaggedRepeat || it->down || (timestamp != 0 && timestamp == it->releasedAt));
    if (repeat) {
        it->down = true;
        return {true, it->modifiers};
    }
    // A keypad sends its chord faster than the window system's modifier state follows: the modifier keys
    // seen going down and not yet up count as held.
    const std::pair<int, Qt::KeyboardModifier> modifierKeys[] = {
        {vk::Shift, Qt::ShiftModifier}, {vk::Control, Qt::ControlModifier}, {vk::Menu, Qt::AltModifier}};
    for (const auto &[vkey, modifier] : modifierKeys) {
        if (vkey == key)
            modifiers &= ~modifier; // a modifier key's own action sees the others, not itself
        const auto held = m_keys.constFind(vkey);
        if (vkey != key && held != m_keys.constEnd() && held->down)
            modifiers |= modifier;
    }
    State &s = m_keys[key];
    s = State{window, modifiers, true, false, 0};
    return {flaggedRepeat, modifiers};
}

std::optional<Qt::KeyboardModifiers> KeyTracker::release(int key, const void *window, bool flaggedRepeat,
                                                          quint64 timestamp)
{
    auto it = m_keys.find(key);
    if (it == m_keys.end() || flaggedRepeat)
        return std::nullopt;
    it->down = false;
    it->releasedAt = timestamp;
    if (it->window != window || it->acted)
        return std::nullopt;
    it->acted = true;
    return it->modifiers;
}
