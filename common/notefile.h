#pragma once

#include <QByteArray>
#include <QList>
#include <QStringList>
#include <QString>

#include <optional>

#include "common/atomicfile.h"
#include "common/notename.h"

// The content of a note file: one record of four quoted fields, Windows-1252, CR LF. And the
// files themselves: a note program holds the file that stands for its note, so no other
// program puts it away, and no write ever replaces a file that is not the writer's own.
namespace promemo {

struct NoteContent
{
    QString text;      // line breaks inside are CR LF
    QString date;      // dd/mm/yyyy
    QString alertTime; // hh.mm, or empty when the note has no alert
    QString changed;   // dd/mm/yyyy hh.mm

    friend bool operator==(const NoteContent &, const NoteContent &) = default;
};

// A note holds a short text: at most this many characters (a file byte each, CR LF two), and a
// note file beyond the bound below is refused rather than read.
inline constexpr int kMaxNoteTextLength = 16 * 1024;
inline constexpr qint64 kMaxNoteFileBytes = 2 * kMaxNoteTextLength;

QByteArray encodeNoteFile(const NoteContent &note);
// Fields missing from the data read as empty; fields after the fourth are ignored.
NoteContent decodeNoteFile(const QByteArray &bytes);

// nullopt when the file is absent, cannot be read or is larger than a note can be.
std::optional<NoteContent> readNoteFile(const QString &path);
// Writes through a temporary file and a rename: a reader never sees a partial note.
WriteResult writeNoteFile(const QString &path, const NoteContent &note);

// The file a running note program stands for, locked while the object lives (the lock dies with
// the process). Renames keep the lock; a save moves it to the new file.
class HeldNoteFile
{
public:
    HeldNoteFile() = default;
    ~HeldNoteFile();
    HeldNoteFile(HeldNoteFile &&other) noexcept;
    HeldNoteFile &operator=(HeldNoteFile &&other) noexcept;
    HeldNoteFile(const HeldNoteFile &) = delete;
    HeldNoteFile &operator=(const HeldNoteFile &) = delete;

    // The bare name; empty when no file stands for the note.
    const QString &name() const { return m_name; }
    bool isHeld() const { return !m_name.isEmpty(); }

private:
    friend struct NoteFiles;
    HeldNoteFile(QString name, int fd) : m_name(std::move(name)), m_fd(fd) {}
    void reset();

    QString m_name;
    int m_fd = -1;
};

struct OpenedNote
{
    NoteContent content;
    HeldNoteFile file;   // the note's file, now in the shown state
};

enum class OpenFailure {
    Missing,   // no such file, or not a note file's name
    InUse,     // a running note program holds it
    TooLarge,  // larger than a note can be; left as it is
    Unreadable,
};

// The note files of one folder. Every name is a bare note-file name of the suite's form.
struct NoteFiles
{
    QString folder;

    // Reads note `name` for a note program and holds it. A put-away file is renamed to the shown
    // state, so the watcher and the note list no longer see it, and stays on disk until the
    // note's first save has written its successor. On failure nothing is touched.
    std::optional<OpenedNote> open(const QString &name, OpenFailure *failure = nullptr) const;

    // Writes `content` under `name` (a shown note's name), then removes the file `held` stood for,
    // and holds the new one. Only the held file itself is ever replaced: when another file has the
    // name, the stamp moves on to the next free second. On failure `held` is left as it was.
    WriteResult save(const NoteName &name, const NoteContent &content, HeldNoteFile &held) const;

    // The rename of `Esci`: the held file takes the put-away state letter (and the next free stamp
    // when another file has that name).
    WriteResult putAway(HeldNoteFile &held) const;

    // Renames the held file to `name` (and the next free stamp when another file has it): one
    // file all along, as a note that changes its day and alert in one step needs.
    WriteResult rename(HeldNoteFile &held, const NoteName &name) const;

    // Removes the held file and lets it go.
    WriteResult remove(HeldNoteFile &held) const;

    // Writes a new put-away note (the calendar's note for a chosen day) without replacing any
    // file: the stamp moves on to the next free second. Returns the name written.
    std::optional<QString> create(const NoteName &name, const NoteContent &content,
                                  QString *error = nullptr) const;

    // The same for many notes at once, with one sync of the disk for all: the names written, in
    // order, nullopt for a note not written (and its reason in `errors`).
    QList<std::optional<QString>> createAll(const QList<std::pair<NoteName, NoteContent>> &notes,
                                            QStringList *errors = nullptr) const;

    // The launcher's start: every shown note whose program is gone is put away; files held by
    // running notes stay as they are. Returns how many were put away.
    int putAwayAbandonedNotes() const;
};

// The name with the stamp one second later, wrapping at midnight.
std::optional<QString> withNextStamp(QStringView bareName);

} // namespace promemo
