#pragma once

#include <Qt>

// The note's keyboard table: what a key pressed in the note's text does. The shift state picks
// the table: exactly Ctrl, exactly Alt, or anything else (no modifier, Shift, combinations).
namespace promemo::note {

enum class NoteCommand {
    None,     // not a command: the text box takes the key
    Swallow,  // taken and nothing done (F-keys without a command, keypad digits with Ctrl)
    Help, Print, Delete, Copy, AlertSetup, Centre, ParkF10, ParkF11, ParkF12,
    AlertEarlier10, AlertLater10, DateBack1, DateOn1,         // with Ctrl
    AlertEarlier60, AlertLater60, DateBack7, DateOn7,         // with Alt
    TextSize10, TextSize12, TextSize14,                       // Ctrl and keypad 4, 5, 6
    ColourYellow, ColourCyan, ColourGreen,                    // Ctrl and keypad 7, 8, 9
    AlertSetupIfActive,                                       // Ctrl and the keypad's point
};

// `modifiers` as the key event has them, the keypad flag included; keypad keys count whether
// NumLock is on (digits) or off (the navigation keys they double as). A key with Alt or Super
// that is no command is swallowed: it never types into the text.
NoteCommand noteCommand(int key, Qt::KeyboardModifiers modifiers);

// Whether the key is pressed with exactly Ctrl: the text box's background is set again after it.
bool isCtrlTable(Qt::KeyboardModifiers modifiers);

// Every key but a plain F5 disarms a pending delete.
bool disarmsDelete(int key, Qt::KeyboardModifiers modifiers);

} // namespace promemo::note
