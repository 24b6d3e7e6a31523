#include "records.h"

#include <algorithm>

#include "cp1252.h"

namespace promemo {
namespace {

constexpr char kQuote = '"';
constexpr char16_t kClosingQuote = 0x201D;

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool isLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

} // namespace

RecordReader::RecordReader(QByteArray bytes) : m_bytes(std::move(bytes)) {}

void RecordReader::skipBlankLines()
{
    while (m_pos < m_bytes.size() && (isBlank(m_bytes[m_pos]) || isLineEnd(m_bytes[m_pos])))
        ++m_pos;
}

bool RecordReader::atEnd() const
{
    for (qsizetype i = m_pos; i < m_bytes.size(); ++i) {
        if (!isBlank(m_bytes[i]) && !isLineEnd(m_bytes[i]))
            return false;
    }
    return true;
}

// Reads one field from m_pos and moves past its delimiter (comma, line end or end of data).
// Every call consumes at least one byte unless the data is exhausted.
RecordReader::FieldSpan RecordReader::scanField()
{
    const qsizetype size = m_bytes.size();
    while (m_pos < size && isBlank(m_bytes[m_pos]))
        ++m_pos;

    FieldSpan span;
    if (m_pos < size && m_bytes[m_pos] == kQuote) {
        span.quoted = true;
        span.begin = m_pos + 1;
        const qsizetype close = m_bytes.indexOf(kQuote, span.begin);
        span.end = close < 0 ? size : close;
        m_pos = close < 0 ? size : close + 1;
        qsizetype after = m_pos;
        while (after < size && isBlank(m_bytes[after]))
            ++after;
        // No field holds a quote, so one followed by anything but a delimiter opens the next
        // field: this one lost its closing quote. It ends with its first line, so the damage costs
        // one record instead of running into every record after it.
        if (close < 0 || (after < size && m_bytes[after] != ',' && !isLineEnd(m_bytes[after]))) {
            const auto lineEnd = std::find_if(m_bytes.cbegin() + span.begin,
                                              m_bytes.cbegin() + span.end, isLineEnd);
            if (lineEnd != m_bytes.cbegin() + span.end) {
                span.end = lineEnd - m_bytes.cbegin();
                m_pos = span.end;
            }
        }
        // Whatever stands between the closing quote and the delimiter is not part of any field.
        while (m_pos < size && m_bytes[m_pos] != ',' && !isLineEnd(m_bytes[m_pos]))
            ++m_pos;
    } else {
        span.begin = m_pos;
        while (m_pos < size && m_bytes[m_pos] != ',' && !isLineEnd(m_bytes[m_pos]))
            ++m_pos;
        span.end = m_pos;
        while (span.end > span.begin && isBlank(m_bytes[span.end - 1]))
            --span.end;
    }

    if (m_pos >= size) {
        span.lastInRecord = true;
        return span;
    }
    if (m_bytes[m_pos] == ',') {
        ++m_pos;
        return span;
    }
    span.lastInRecord = true;
    if (m_bytes[m_pos] == '\r' && m_pos + 1 < size && m_bytes[m_pos + 1] == '\n')
        ++m_pos;
    ++m_pos;
    return span;
}

std::optional<QStringList> RecordReader::readRecord(int count)
{
    skipBlankLines();
    if (m_pos >= m_bytes.size())
        return std::nullopt;

    QStringList fields;
    fields.reserve(qMax(count, 0));
    bool recordEnded = false;
    while (!recordEnded) {
        const FieldSpan span = scanField();
        recordEnded = span.lastInRecord;
        if (fields.size() < count) {
            const QByteArrayView bytes(m_bytes.constData() + span.begin, span.end - span.begin);
            fields.append(cp1252::decode(bytes));
        }
    }
    while (fields.size() < count)
        fields.append(QString());
    return fields;
}

bool RecordReader::skipRecord()
{
    skipBlankLines();
    if (m_pos >= m_bytes.size())
        return false;
    while (!scanField().lastInRecord) {
    }
    return true;
}

QString storableField(const QString &text)
{
    QString stored = text;
    stored.replace(QChar(kQuote), QChar(kClosingQuote));
    return stored;
}

QByteArray encodeRecord(const QStringList &fields)
{
    QByteArray record;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            record.append(',');
        record.append(kQuote);
        record.append(cp1252::encode(storableField(fields[i])));
        record.append(kQuote);
    }
    record.append("\r\n");
    return record;
}

} // namespace promemo
