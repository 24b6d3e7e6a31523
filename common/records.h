#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// Quoted-field records: fields in double quotes, separated by commas, records ended by CR LF;
// a field may hold CR LF. Bytes on disk are Windows-1252.

namespace promemo {

// Reads fields one after another from the bytes of a whole file.
// A quoted field runs to the next double quote (commas and line ends inside stay in the field);
// an unquoted field runs to the next comma or line end, blanks trimmed. A record ends at CR LF,
// a bare LF or a bare CR outside quotes. Blank lines between records are passed over.
class RecordReader
{
public:
    explicit RecordReader(QByteArray bytes);

    // True when no record is left (only blanks and line ends remain).
    bool atEnd() const;
    // Reads the next `count` fields of the current record; fields missing at the end of the
    // record read as empty, fields beyond `count` are passed over up to the record's end.
    // Returns nullopt when no field is left at all.
    std::optional<QStringList> readRecord(int count);
    // Moves past the next record without decoding it; false when none was left.
    bool skipRecord();
    // Byte offset just past the last record read or skipped (its line end included).
    qsizetype position() const { return m_pos; }

private:
    struct FieldSpan
    {
        qsizetype begin = 0;
        qsizetype end = 0;
        bool quoted = false;
        bool lastInRecord = false;
    };
    FieldSpan scanField();
    void skipBlankLines();

    QByteArray m_bytes;
    qsizetype m_pos = 0;
};

// The text of a field as the format can hold it: a double quote becomes U+201D.
QString storableField(const QString &text);

// One record: each field made storable, quoted, joined by commas, ended by CR LF, in Windows-1252.
QByteArray encodeRecord(const QStringList &fields);

} // namespace promemo
