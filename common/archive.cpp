#include "archive.h"

#include <algorithm>

#include <QFile>

#include "atomicfile.h"
#include "logging.h"
#include "records.h"

namespace promemo {
namespace {

constexpr int kArchiveFields = 3;

bool isEmptyRecord(const QStringList &fields)
{
    return std::all_of(fields.cbegin(), fields.cend(), [](const QString &f) { return f.isEmpty(); });
}

} // namespace

ArchiveRecord archiveRecordOf(const QString &date, const QString &alertTime, const QString &text,
                              const QString &changed)
{
    return {date + QLatin1Char(' ') + alertTime, text, changed};
}

QByteArray encodeArchiveRecord(const ArchiveRecord &record)
{
    return encodeRecord({record.dateAndAlert, record.text, record.changed});
}

QByteArray prependedArchive(const QByteArray &archive, const ArchiveRecord &record,
                            int olderRecords)
{
    RecordReader reader(archive);
    for (int kept = 0; kept < olderRecords && reader.skipRecord(); ++kept) {
    }
    return encodeArchiveRecord(record) + archive.left(reader.position());
}

WriteResult prependToArchive(const QString &path, const ArchiveRecord &record,
                             std::chrono::milliseconds lockTimeout)
{
    const auto fail = [&path](const QString &why) {
        const QString error = QStringLiteral("%1: %2").arg(path, why);
        qCWarning(lcFiles).noquote() << error;
        return WriteResult{error};
    };
    const FileLock lock(path, lockTimeout);
    if (!lock.isLocked())
        return fail(QStringLiteral("another program holds it"));

    QByteArray archive;
    QFile file(path);
    if (file.exists()) {
        // Rewriting an archive that exists but cannot be read would throw its records away.
        if (!file.open(QIODevice::ReadOnly))
            return fail(file.errorString());
        if (file.size() > kMaxArchiveBytes)
            return fail(QStringLiteral("too large to be rewritten"));
        archive = file.readAll();
        if (file.error() != QFileDevice::NoError)
            return fail(file.errorString());
        file.close();
    }
    const WriteResult written = writeFileAtomically(path, prependedArchive(archive, record));
    if (!written)
        qCWarning(lcFiles).noquote() << written.error;
    return written;
}

QList<ArchiveRecord> decodeArchive(const QByteArray &bytes, qsizetype limit)
{
    QList<ArchiveRecord> records;
    RecordReader reader(bytes);
    while (records.size() != limit) {
        const auto fields = reader.readRecord(kArchiveFields);
        if (!fields)
            break;
        if (isEmptyRecord(*fields))
            continue;
        records.append({fields->at(0), fields->at(1), fields->at(2)});
    }
    return records;
}

ArchiveContents readArchiveFile(const QString &path)
{
    QFile file(path);
    if (!file.exists())
        return {ArchiveContents::Status::Missing, {}, {}};
    if (!file.open(QIODevice::ReadOnly))
        return {ArchiveContents::Status::Unreadable, {}, file.errorString()};
    if (file.size() > kMaxArchiveBytes)
        return {ArchiveContents::Status::TooLarge, {}, {}};
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return {ArchiveContents::Status::Unreadable, {}, file.errorString()};
    return {ArchiveContents::Status::Read, decodeArchive(bytes, kArchiveOlderRecords + 1), {}};
}

} // namespace promemo
