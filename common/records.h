#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// Quoted-field records: fields in double quotes, separated by commas, records ended by CR LF;
// a field may hold CR LF. Bytes on disk are Windows-1252.

namespace promemo {

// Reads fields one after another from the bytes of a whole file.
class RecordReader
{
public:
    explicit RecordReader(QByteArray bytes);

    bool atEnd() const;
    // Reads the next `count` fields; fields missing at the end of the data read as empty.
    // Returns nullopt when no field is left at all.
    std::optional<QStringList> readRecord(int count);

private:
    QByteArray m_bytes;
    qsizetype m_pos = 0;
};

// The text of a field as the format can hold it: a double quote becomes U+201D.
QString storableField(const QString &text);

// One record: each field made storable, quoted, joined by commas, ended by CR LF, in Windows-1252.
QByteArray encodeRecord(const QStringList &fields);

} // namespace promemo
