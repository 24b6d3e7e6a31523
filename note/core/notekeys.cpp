#include "note/core/notekeys.h"

namespace promemo::note {

namespace {

Qt::KeyboardModifiers shiftState(Qt::KeyboardModifiers modifiers)
{
    return modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
}

// A keypad key with NumLock on or off: the digit, or -1.
int keypadDigit(int key, Qt::KeyboardModifiers modifiers)
{
    if (!(modifiers & Qt::KeypadModifier))
        return -1;
    switch (key) {
    case Qt::Key_0: case Qt::Key_Insert: return 0;
    case Qt::Key_1: case Qt::Key_End: return 1;
    case Qt::Key_2: case Qt::Key_Down: return 2;
    case Qt::Key_3: case Qt::Key_PageDown: return 3;
    case Qt::Key_4: case Qt::Key_Left: return 4;
    case Qt::Key_5: case Qt::Key_Clear: return 5;
    case Qt::Key_6: case Qt::Key_Right: return 6;
    case Qt::Key_7: case Qt::Key_Home: return 7;
    case Qt::Key_8: case Qt::Key_Up: return 8;
    case Qt::Key_9: case Qt::Key_PageUp: return 9;
    default: return -1;
    }
}

bool isKeypadPoint(int key, Qt::KeyboardModifiers modifiers)
{
    return (modifiers & Qt::KeypadModifier)
           && (key == Qt::Key_Period || key == Qt::Key_Comma || key == Qt::Key_Delete);
}

NoteCommand withCtrl(int key, Qt::KeyboardModifiers modifiers)
{
    static constexpr NoteCommand kKeypad[10] = {
        NoteCommand::Swallow,      NoteCommand::Swallow,    NoteCommand::Swallow,
        NoteCommand::Swallow,      NoteCommand::TextSize10, NoteCommand::TextSize12,
        NoteCommand::TextSize14,   NoteCommand::ColourYellow, NoteCommand::ColourCyan,
        NoteCommand::ColourGreen};
    // Keypad 0 and 1 belong to the all-notes keys: never typed into the text.
    if (const int digit = keypadDigit(key, modifiers); digit >= 0)
        return kKeypad[digit];
    if (isKeypadPoint(key, modifiers))
        return NoteCommand::AlertSetupIfActive;
    switch (key) {
    case Qt::Key_Left: return NoteCommand::AlertEarlier10;
    case Qt::Key_Right: return NoteCommand::AlertLater10;
    case Qt::Key_Up: return NoteCommand::DateBack1;
    case Qt::Key_Down: return NoteCommand::DateOn1;
    default: return NoteCommand::None;
    }
}

NoteCommand withAlt(int key, Qt::KeyboardModifiers modifiers)
{
    if (keypadDigit(key, modifiers) >= 0)
        return NoteCommand::None;
    switch (key) {
    case Qt::Key_Left: return NoteCommand::AlertEarlier60;
    case Qt::Key_Right: return NoteCommand::AlertLater60;
    case Qt::Key_Up: return NoteCommand::DateBack7;
    case Qt::Key_Down: return NoteCommand::DateOn7;
    default: return NoteCommand::None;
    }
}

NoteCommand plain(int key)
{
    switch (key) {
    case Qt::Key_F1: return NoteCommand::Help;
    case Qt::Key_F3: return NoteCommand::Print;
    case Qt::Key_F5: return NoteCommand::Delete;
    case Qt::Key_F7: return NoteCommand::Copy;
    case Qt::Key_F8: return NoteCommand::AlertSetup;
    case Qt::Key_F9: return NoteCommand::Centre;
    case Qt::Key_F10: return NoteCommand::ParkF10;
    case Qt::Key_F11: return NoteCommand::ParkF11;
    case Qt::Key_F12: return NoteCommand::ParkF12;
    default:
        return key >= Qt::Key_F1 && key <= Qt::Key_F12 ? NoteCommand::Swallow : NoteCommand::None;
    }
}

} // namespace

NoteCommand noteCommand(int key, Qt::KeyboardModifiers modifiers)
{
    const Qt::KeyboardModifiers state = shiftState(modifiers);
    if (state == Qt::ControlModifier)
        return withCtrl(key, modifiers);
    const NoteCommand command = state == Qt::AltModifier ? withAlt(key, modifiers) : plain(key);
    // A key with Alt or Super is never typed text (AltGr, which types @ and # on Italian
    // keyboards, is not Alt).
    if (command == NoteCommand::None && (state & (Qt::AltModifier | Qt::MetaModifier))
        && !(modifiers & Qt::GroupSwitchModifier))
        return NoteCommand::Swallow;
    return command;
}

bool isCtrlTable(Qt::KeyboardModifiers modifiers)
{
    return shiftState(modifiers) == Qt::ControlModifier;
}

bool disarmsDelete(int key, Qt::KeyboardModifiers modifiers)
{
    const Qt::KeyboardModifiers state = shiftState(modifiers);
    return key != Qt::Key_F5 || state == Qt::ControlModifier || state == Qt::AltModifier;
}

} // namespace promemo::note
