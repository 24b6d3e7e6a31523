// The record reader on arbitrary bytes, and the round trip of the writer.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include <QByteArray>
#include <QStringList>

#include "common/archive.h"
#include "common/cp1252.h"
#include "common/records.h"

using namespace promemo;

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

void readEverything(const QByteArray &bytes, int count)
{
    RecordReader reader(bytes);
    qsizetype last = -1;
    while (const auto record = reader.readRecord(count)) {
        check(record->size() == count);
        check(reader.position() > last && reader.position() <= bytes.size());
        last = reader.position();
    }
    check(reader.atEnd());
}

// Fields as they come back from a file: storable and within Windows-1252.
QString asStored(const QString &field)
{
    return cp1252::decode(cp1252::encode(storableField(field)));
}

void roundTrip(const QStringList &fields)
{
    const QByteArray bytes = encodeRecord(fields);
    RecordReader reader(bytes);
    const auto back = reader.readRecord(fields.size());
    check(back.has_value());
    for (qsizetype i = 0; i < fields.size(); ++i)
        check(back->at(i) == asStored(fields[i]));
    check(reader.atEnd());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const int count = size == 0 ? 1 : data[0] % 6;
    readEverything(bytes, count);

    // Fields split at byte 0x01, read both as Windows-1252 and as UTF-8 (characters outside
    // Windows-1252 become '?').
    roundTrip(cp1252::decode(bytes).split(QChar(1)));
    roundTrip(QString::fromUtf8(bytes).split(QChar(1)));

    // The archive rewrite keeps a byte-exact prefix of the old archive behind the new record.
    const ArchiveRecord record{QString::fromUtf8(bytes.left(8)), QStringLiteral("t\"\r\n"), {}};
    const QByteArray head = encodeArchiveRecord(record);
    const QByteArray rewritten = prependedArchive(bytes, record, 3);
    check(rewritten.startsWith(head));
    check(bytes.startsWith(rewritten.mid(head.size())));
    RecordReader reader(rewritten);
    const auto first = reader.readRecord(3);
    check(first.has_value() && first->at(1) == QString::fromUtf8("t”\r\n"));
    return 0;
}
