#pragma once

#include <QByteArray>
#include <QString>

#include <chrono>

namespace promemo {

// Replaces (or creates) `path` with `content`: written to a temporary file in the same folder,
// flushed to disk, then renamed over the old file, so a reader sees either the old or the new
// file, whole, even if the writer dies half-way. Returns false when any step failed; the old
// file is then untouched.
bool writeFileAtomically(const QString &path, const QByteArray &content);

// Reads a whole file; an absent or unreadable file gives an empty array.
QByteArray readWholeFile(const QString &path);

// An exclusive lock shared between processes, held for the lifetime of the object.
// The lock file lives beside the guarded file (`<path>.lock`); the lock dies with its holder.
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
    struct Impl;
    Impl *d;
};

} // namespace promemo
