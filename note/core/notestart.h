#pragma once

#include <QString>

#include <optional>

#include "note/core/notemodule.h"

namespace promemo {
class IClock;
}

// The start of the note programs: reopening a note file (Kalvo, Kirmo) or a new note from its
// appearance code (Kundo, Kespo).
namespace promemo::note {

enum class StartKind { OpenFile, NewNote };

// How the window comes up.
enum class Placement {
    ShowAndSave,      // no alert: shown activated, then saved
    AlertPassed,      // the alert's moment has come: shown without focus, fires at once
    Topmost,          // alert still ahead: shown, saved, the watcher closed
    New,              // a new note: shown, nothing written
};

struct StartedNote
{
    Note note;
    Placement placement = Placement::New;
};

// Reads the note file `argument` in `folder` and holds it as the note's file (shown from now on).
// nullopt, with nothing touched, when the argument is not a bare note-file name of the suite's
// form, the file is missing or unreadable, another note program holds it, or it is too large.
std::optional<StartedNote> openNote(const QString &argument, NoteSize programSize,
                                    const IClock &clock, const QString &folder,
                                    OpenFailure *failure = nullptr);

// A new note for today: colour from the code's first character, text size from its last.
StartedNote newNote(const QString &appearanceCode, NoteSize programSize, const IClock &clock);

} // namespace promemo::note
