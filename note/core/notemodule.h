#pragma once

#include <QDate>
#include <QString>

#include "common/notefile.h"
#include "common/notename.h"
#include "common/recoverycopy.h"

#include <chrono>

namespace promemo {
class IClock;
}

// The note one process shows, and the procedures of `Modulo1` that work on it without a window.
namespace promemo::note {

struct Note
{
    QString text;             // `Text1`
    QDate date;               // `Label1`
    int alertMinutes = 0;     // 0: no alert
    QString alertText;        // `Label2`: hh.mm or empty
    QString changed;          // `Label6`: dd/mm/yyyy hh.mm
    bool alertFired = false;  // `Label2` in its white, fired style
    QString missedMoment;     // a missed alert's moment as `Label2` shows it once fired, else empty
    NoteColour colour = NoteColour::Yellow;
    int points = 12;
    NoteSize size = NoteSize::Normal;

    HeldNoteFile file;        // the file that stands for the note, held while it runs
    QString lastSavedText;
    bool forceSave = false;         // a change other than of the text is pending
    bool firstSavePending = false;  // the first save after reopening skips the archive
};

struct SaveResult
{
    enum class Status { Unchanged, Saved, Failed };
    Status status = Status::Unchanged;
    QString error;   // why the note file could not be written

    bool failed() const { return status == Status::Failed; }
};

// How soon after a change the recovery copy holds it (within two seconds, with room for the write).
inline constexpr std::chrono::milliseconds kRecoveryCopyDelay{1500};

// Whether the note shows what its file does not hold yet: a text worth saving that changed, or
// another pending change. A fired note is never saved, so it has none.
bool hasUnsavedChanges(const Note &note);
// The recovery copy of what the note shows now.
RecoveredNote recoveryCopyOf(const Note &note, const IClock &clock);

// Writes the note under a new name when it changed (or a save is forced) and prepends it to the
// archive. A failed archive write alone is logged: the note itself is saved.
SaveResult Salva_Nota(Note &note, const IClock &clock, const QString &folder);
// Prepends the note to the archive; a failure is logged.
void Archivia(const Note &note, const QString &folder);
void Aggiorna_Registrazione(Note &note, const IClock &clock);

// `Label4`: the line count, or "| n |" in red bold once it exceeds the visible lines.
struct LineCounter
{
    QString text;
    bool overflow = false;
};
LineCounter Conta_Righe(int lineCount, NoteSize size, int points);

// The file part of `Esci`: saves and renames the current file to its put-away name, unless the
// alert has fired (a fired note's file goes). On failure the note keeps its file and its text.
struct PutAwayResult
{
    QString error;
    bool closeWatcher = false;   // an alert up to today: the watcher must look again
};
PutAwayResult putAway(Note &note, const IClock &clock, const QString &folder);
// The file part of `Elimina_File`.
WriteResult deleteCurrentFile(Note &note, const QString &folder);
// A note closed from outside: saved when changed, as the user left it; a fired note's file goes.
// On a failed save the note keeps its file.
SaveResult closeFromOutside(Note &note, const IClock &clock, const QString &folder);

} // namespace promemo::note
