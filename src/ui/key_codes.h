#pragma once
// Keys by the virtual-key codes of the screens' key tables (F1 = 112, Esc = 27, "=" = 187, ...).
class QKeyEvent;

namespace vk {

enum : int {
    Back = 8, Tab = 9, Return = 13, Shift = 16, Control = 17, Menu = 18, Escape = 27, Space = 32,
    Prior = 33, Next = 34, End = 35, Home = 36, Left = 37, Up = 38, Right = 39, Down = 40,
    Insert = 45, Delete = 46,
    Digit0 = 48, // main keyboard digits 48..57
    A = 65,      // letters 65..90
    Numpad0 = 96, // keypad digits 96..105
    Multiply = 106, Add = 107, Subtract = 109, Decimal = 110, Divide = 111,
    F1 = 112, F2, F3, F4, F5, F6, F7, F8, F9, F10, F11, F12,
    Semicolon = 186, Equal = 187, Comma = 188, Minus = 189, Period = 190, Slash = 191, Grave = 192,
    LeftBracket = 219, Backslash = 220, RightBracket = 221, Quote = 222,
};

constexpr int letter(char c) { return A + (c - 'A'); }
constexpr int digit(int d) { return Digit0 + d; }
constexpr int numpad(int d) { return Numpad0 + d; }

} // namespace vk

// The virtual-key code of a key event, or 0 for a key without one.
int virtualKey(const QKeyEvent &event);
