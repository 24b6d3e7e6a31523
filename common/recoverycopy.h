#pragma once

#include <QString>

#include <optional>

#include "common/atomicfile.h"
#include "common/notefile.h"
#include "common/notename.h"

// A note's recovery copy: what a note with unsaved changes shows (text, date, alert, colour,
// size), kept in a hidden folder of the program folder so that a note program killed, crashed
// or cut off from its X server loses nothing. It is not a save: nothing else reads it as a
// note. Its note program holds it while it runs; the launcher's start turns the copies of notes
// that are gone back into notes.
namespace promemo {

inline constexpr QStringView kRecoveryFolderName = u".recupero";

struct RecoveredNote
{
    NoteContent content;
    NoteName name;          // the name the note would be saved under now (shown, stamp of the copy)
    QString currentFile;    // the note's file when the copy was made, empty when it had none

    friend bool operator==(const RecoveredNote &, const RecoveredNote &) = default;
};

QByteArray encodeRecoveryCopy(const RecoveredNote &note);
// nullopt for a copy that is damaged or cut short.
std::optional<RecoveredNote> decodeRecoveryCopy(const QByteArray &bytes);

// The copy of one running note: written safely, held (locked) from its first write until it
// is removed or the program ends.
class RecoveryCopy
{
public:
    explicit RecoveryCopy(QString programFolder);
    ~RecoveryCopy();
    RecoveryCopy(const RecoveryCopy &) = delete;
    RecoveryCopy &operator=(const RecoveryCopy &) = delete;

    WriteResult write(const RecoveredNote &note);
    // The note saved or ended as it meant to: the copy goes.
    void remove();
    bool exists() const { return m_fd >= 0; }

private:
    QString m_folder;
    QString m_path;
    int m_fd = -1;
};

struct RecoveryOutcome
{
    int recovered = 0;   // copies that became notes
    int dropped = 0;     // copies older than their note's file
    int damaged = 0;     // copies that cannot be read, left as they are
};

// The launcher's start, before shown notes are put away: every copy whose note program is gone
// becomes that note again, as a shown note file that replaces the note's own file (or a new
// note when it had none); a copy older than its note's file loses to the file. Safe against a
// kill at any instant: run again, it never makes a note twice.
RecoveryOutcome recoverAbandonedNotes(const QString &programFolder);

} // namespace promemo
