#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The content of a note file: one record of four quoted fields, Windows-1252, CR LF.
namespace promemo {

struct NoteContent
{
    QString text;      // line breaks inside are CR LF
    QString date;      // dd/mm/yyyy
    QString alertTime; // hh.mm, or empty when the note has no alert
    QString changed;   // dd/mm/yyyy hh.mm

    friend bool operator==(const NoteContent &, const NoteContent &) = default;
};

QByteArray encodeNoteFile(const NoteContent &note);
// Fields missing from the data read as empty; fields after the fourth are ignored.
NoteContent decodeNoteFile(const QByteArray &bytes);

// nullopt when the file is absent or cannot be read.
std::optional<NoteContent> readNoteFile(const QString &path);
// Writes through a temporary file and a rename: a reader never sees a partial note.
bool writeNoteFile(const QString &path, const NoteContent &note);

// The file part of `Salva_Nota`: writes `newName` in `folder` first and removes `previousName`
// only once the new file is safely in place (a save under the same name replaces it by the
// rename). `previousName` may be empty or name no file ("nessuno"). Returns false when the new
// file could not be written; the previous file is then left as it was. Names are bare names.
bool replaceNoteFile(const QString &folder, const QString &previousName, const QString &newName,
                     const NoteContent &note);

// The rename of `Esci`: state letter "n" becomes "o". True when the file now bears its put-away
// name (also when it already did); false when `name` is not a note-file name, the file is
// missing, the rename failed, or another file has that name.
bool putNoteAway(const QString &folder, const QString &name);

// A bare file name: not empty, no "/" or backslash, not "." or "..".
bool isBareFileName(const QString &name);

} // namespace promemo
