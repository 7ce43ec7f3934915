#include "key_codes.h"

#include <QKeyEvent>

int virtualKey(const QKeyEvent &event)
{
    const int key = event.key();
    const bool keypad = event.modifiers().testFlag(Qt::KeypadModifier);

    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return vk::F1 + (key - Qt::Key_F1);
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return (keypad ? vk::Numpad0 : vk::Digit0) + (key - Qt::Key_0);
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return vk::A + (key - Qt::Key_A);

    switch (key) {
    case Qt::Key_Backspace: return vk::Back;
    case Qt::Key_Tab: case Qt::Key_Backtab: return vk::Tab;
    case Qt::Key_Return: case Qt::Key_Enter: return vk::Return;
    case Qt::Key_Shift: return vk::Shift;
    case Qt::Key_Control: return vk::Control;
    case Qt::Key_Alt: return vk::Menu;
    case Qt::Key_Escape: return vk::Escape;
    case Qt::Key_Space: return vk::Space;
    case Qt::Key_PageUp: return vk::Prior;
    case Qt::Key_PageDown: return vk::Next;
    case Qt::Key_End: return vk::End;
    case Qt::Key_Home: return vk::Home;
    case Qt::Key_Left: return vk::Left;
    case Qt::Key_Up: return vk::Up;
    case Qt::Key_Right: return vk::Right;
    case Qt::Key_Down: return vk::Down;
    case Qt::Key_Insert: return vk::Insert;
    case Qt::Key_Delete: return vk::Delete;
    case Qt::Key_Asterisk: return keypad ? vk::Multiply : vk::digit(8);
    case Qt::Key_Plus: return keypad ? vk::Add : vk::Equal;
    case Qt::Key_Minus: return keypad ? vk::Subtract : vk::Minus;
    case Qt::Key_Period: return keypad ? vk::Decimal : vk::Period;
    case Qt::Key_Slash: return keypad ? vk::Divide : vk::Slash;
    case Qt::Key_Semicolon: case Qt::Key_Colon: return vk::Semicolon;
    case Qt::Key_Equal: return vk::Equal;
    case Qt::Key_Comma: case Qt::Key_Less: return vk::Comma;
    case Qt::Key_Underscore: return vk::Minus;
    case Qt::Key_Greater: return vk::Period;
    case Qt::Key_Question: return vk::Slash;
    case Qt::Key_QuoteLeft: case Qt::Key_AsciiTilde: return vk::Grave;
    case Qt::Key_BracketLeft: case Qt::Key_BraceLeft: return vk::LeftBracket;
    case Qt::Key_Backslash: case Qt::Key_Bar: return vk::Backslash;
    case Qt::Key_BracketRight: case Qt::Key_BraceRight: return vk::RightBracket;
    case Qt::Key_Apostrophe: case Qt::Key_QuoteDbl: return vk::Quote;
    // Shifted digits of the main keyboard.
    case Qt::Key_ParenRight: return vk::digit(0);
    case Qt::Key_Exclam: return vk::digit(1);
    case Qt::Key_At: return vk::digit(2);
    case Qt::Key_NumberSign: return vk::digit(3);
    case Qt::Key_Dollar: return vk::digit(4);
    case Qt::Key_Percent: return vk::digit(5);
    case Qt::Key_AsciiCircum: return vk::digit(6);
    case Qt::Key_Ampersand: return vk::digit(7);
    case Qt::Key_ParenLeft: return vk::digit(9);
    default: return 0;
    }
}
