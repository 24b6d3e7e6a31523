#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <chrono>

#include "common/atomicfile.h"

// The archive "archivio.dat": every saved version of every note, newest first, one record of
// three quoted fields each (date and alert time, text, time of last change).
namespace promemo {

inline constexpr auto kArchiveFileName = "archivio.dat";
// Records kept behind the newest one: the archive holds at most 401 records.
inline constexpr int kArchiveOlderRecords = 400;
// 401 records of the longest note text fit well within this; a larger archive is damaged or not
// the suite's, and is neither shown nor rewritten.
inline constexpr qint64 kMaxArchiveBytes = 8 * 1024 * 1024;

struct ArchiveRecord
{
    QString dateAndAlert; // "dd/mm/yyyy hh.mm", or "dd/mm/yyyy " when the note has no alert
    QString text;
    QString changed;      // dd/mm/yyyy hh.mm

    friend bool operator==(const ArchiveRecord &, const ArchiveRecord &) = default;
};

// The record of `Archivia`: the date, one blank, the alert time (which may be empty).
ArchiveRecord archiveRecordOf(const QString &date, const QString &alertTime, const QString &text,
                              const QString &changed);

QByteArray encodeArchiveRecord(const ArchiveRecord &record);

// `archive` with `record` in front and at most `olderRecords` of its records behind it. The kept
// records are copied byte for byte.
QByteArray prependedArchive(const QByteArray &archive, const ArchiveRecord &record,
                            int olderRecords = kArchiveOlderRecords);

// Prepends `record` to the archive file at `path` under an inter-process lock, through a
// temporary file and a rename, so concurrent writers lose nothing and a crash leaves the old or
// the new archive whole. A missing archive starts a new one. Fails, with the reason, when nothing
// was written (lock not taken, archive present but unreadable or too large, write failed).
WriteResult prependToArchive(const QString &path, const ArchiveRecord &record,
                             std::chrono::milliseconds lockTimeout = std::chrono::seconds(10));

// The records in file order, at most `limit`; records with no content at all are passed over.
QList<ArchiveRecord> decodeArchive(const QByteArray &bytes, qsizetype limit = -1);

struct ArchiveContents
{
    enum class Status { Read, Missing, Unreadable, TooLarge };
    Status status = Status::Missing;
    QList<ArchiveRecord> records;
    QString error; // the reason when Unreadable
};

// The records an archive holds: past the 401st, records are left out (the next save drops them).
ArchiveContents readArchiveFile(const QString &path);

} // namespace promemo
