#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <chrono>
#include <utility>

namespace promemo {

// The outcome of a write: empty when it succeeded, else what went wrong, for a message or a log.
struct [[nodiscard]] WriteResult
{
    QString error;

    bool ok() const { return error.isEmpty(); }
    explicit operator bool() const { return ok(); }
};

// Content written and synced to a hidden temporary file beside its target, not yet visible under
// any name the suite reads. Published by a rename; removed when dropped unpublished.
class StagedFile
{
public:
    // Later: the caller syncs the file system itself, once for many files.
    enum class Sync { Now, Later };
    StagedFile(const QString &folder, const QByteArray &content, Sync sync = Sync::Now);
    ~StagedFile();
    StagedFile(const StagedFile &) = delete;
    StagedFile &operator=(const StagedFile &) = delete;

    // Empty when the content is safely on disk.
    const QString &error() const { return m_error; }
    // The open file, for a lock that must already hold when the file appears under its name.
    int handle() const { return m_fd; }

    // Renames the file to `path`, replacing what is there.
    WriteResult replace(const QString &path);
    // The same without syncing the folder; the caller syncs it once.
    WriteResult replaceUnsynced(const QString &path);
    enum class Publish { Done, NameTaken, Failed };
    // Renames the file to `path` only when no file has that name (checked atomically); with
    // Later, the caller syncs the folder.
    Publish publishNew(const QString &path, QString *error = nullptr, Sync folderSync = Sync::Now);
    // Keeps the descriptor open past the object's life (the caller closes it).
    int releaseHandle();

private:
    QString m_folder;
    QString m_path;
    QString m_error;
    int m_fd = -1;
    bool m_published = false;
};

// Replaces (or creates) `path` with `content`: written to a temporary file in the same folder,
// synced to disk, then renamed over the old file, so a reader sees either the old or the new
// file, whole, even if the writer dies half-way. On failure the old file is untouched.
WriteResult writeFileAtomically(const QString &path, const QByteArray &content);

// Writes each file as writeFileAtomically does, with one sync of the file system and of each
// folder for all of them instead of one each: for the many small items of a vdir. Returns the
// errors, one per file that could not be written.
QStringList writeFilesAtomically(const QList<std::pair<QString, QByteArray>> &files);

// Makes the renames in `folder` last across a power cut.
void syncFolder(const QString &folder);

// Renames `from` to `to` only when no file has that name yet; the check and the rename are one
// step. Returns false with errno EEXIST when the name is taken.
bool renameWithoutReplacing(const QString &from, const QString &to);

// The text of a failed system call's error, in the user's words where the system has them.
QString systemErrorText(int error);
// "<what> <path>: <system error>", for a message or a log line.
QString fileErrorText(const QString &what, const QString &path, int error);

// Reads a whole file; an absent or unreadable file gives an empty array.
QByteArray readWholeFile(const QString &path);

// Whether `bareName` is a temporary file of one of the suite's writers: its own hidden names,
// and the names earlier writers left beside the data files.
bool isSuiteTemporaryName(const QString &bareName);
// Removes from `folder` the temporaries of writes interrupted by a crash or a kill: those older
// than `minimumAge`, so a write in progress is left alone. Returns how many were removed.
int removeStaleTemporaries(const QString &folder, std::chrono::seconds minimumAge);

// Takes an exclusive lock on the open file `fd` without waiting; the lock dies with its holder.
bool lockExclusively(int fd);
// Whether `path` still names the file open as `fd` (nobody renamed or replaced it meanwhile).
bool namesOpenFile(const QString &path, int fd);

// An exclusive lock shared between processes, held for the lifetime of the object. The lock
// file is hidden beside the guarded file (".<name>.lock"); the lock dies with its holder.
class FileLock
{
public:
    explicit FileLock(const QString &guardedPath,
                      std::chrono::milliseconds timeout = std::chrono::seconds(10));
    ~FileLock();
    FileLock(const FileLock &) = delete;
    FileLock &operator=(const FileLock &) = delete;

    bool isLocked() const;

private:
    int m_fd = -1;
};

} // namespace promemo
