#pragma once

#include <QDate>
#include <QString>

#include "common/notename.h"

namespace promemo {
class IClock;
}

// The note one process shows, and the procedures of `Modulo1` that work on it without a window.
namespace promemo::note {

// The file name kept when no file stands for the note (opened after its alert minute).
inline const QString kNoFile = QStringLiteral("nessuno");

struct Note
{
    QString text;             // `Text1`
    QDate date;               // `Label1`
    int alertMinutes = 0;     // 0: no alert
    QString alertText;        // `Label2`: hh.mm or empty
    QString changed;          // `Label6`: dd/mm/yyyy hh.mm
    bool alertFired = false;  // `Label2` in its white, fired style
    NoteColour colour = NoteColour::Yellow;
    int points = 12;
    NoteSize size = NoteSize::Normal;

    QString currentFile;      // bare name of the file last written, empty, or kNoFile
    QString lastSavedText;
    bool forceSave = false;         // a change other than of the text is pending
    bool firstSavePending = false;  // the first save after reopening skips the archive
};

// Writes the note under a new name when it changed (or a save is forced) and prepends it to the
// archive. Returns whether a file was written.
bool Salva_Nota(Note &note, const IClock &clock, const QString &folder);
// Prepends the note to the archive; failures are passed over.
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
// alert has fired. Returns whether the watcher must be closed (an alert for today).
bool putAway(Note &note, const IClock &clock, const QString &folder);
// The file part of `Elimina_File`.
void deleteCurrentFile(const Note &note, const QString &folder);

} // namespace promemo::note
