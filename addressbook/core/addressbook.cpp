#include "addressbook.h"

#include <algorithm>

#include <QDir>
#include <QFileInfo>

#include "common/atomicfile.h"
#include "common/cp1252.h"
#include "common/logging.h"

namespace promemo::rubrica {
namespace {

// Tab index order: the lower row left to right, then the upper row; "*" and "#" sit above
// "HJK" and "WXY" but come last in the file.
constexpr std::array<const char *, kSheets> kCaptions = {
    "A1", "B1", "C1", "D1", "E1", "F1", "G1", "HJK", "I1", "L1", "M1", "N1", "O1", "P1", "Q1",
    "R1", "S1", "T1", "U1", "V1", "Z1", "A2", "B2", "C2", "D2", "E2", "F2", "G2", "WXY", "I2",
    "L2", "M2", "N2", "O2", "P2", "Q2", "R2", "S2", "T2", "U2", "V2", "Z2", "*", "#"};

constexpr std::array<Rgb, 6> kTextColours = {
    Rgb{0, 0, 0}, Rgb{0, 0, 192}, Rgb{192, 0, 0}, Rgb{255, 0, 0}, Rgb{0, 0, 255}, Rgb{255, 0, 255}};

constexpr int kNameStyleOffset = kNameBytes + kNumberBytes; // 140
constexpr int kNumberStyleOffset = kNameStyleOffset + 1;
constexpr int kNameColourOffset = kNameStyleOffset + 4; // 144, after the two reserved bytes
constexpr int kNumberColourOffset = kNameColourOffset + 1;

QByteArray fixedWidth(const QString &text, int width)
{
    // Windows-1252 has one byte per character, so cutting the bytes never splits a character.
    return cp1252::encode(text).leftJustified(width, ' ', true);
}

QString withoutTrailingBlanks(QByteArrayView field)
{
    qsizetype end = field.size();
    while (end > 0 && field[end - 1] == ' ')
        --end;
    return cp1252::decode(field.first(end));
}

void applyStyle(char code, Cell &cell)
{
    if (code < '0' || code > '3')
        return;
    const int bits = code - '0';
    cell.bold = (bits & 1) != 0;
    cell.underline = (bits & 2) != 0;
}

void applyColour(char code, Cell &cell)
{
    if (code < '0' || code > '5')
        return;
    cell.colour = static_cast<TextColour>(code - '0');
}

char colourCode(const Cell &cell)
{
    return static_cast<char>('0' + static_cast<int>(cell.colour));
}

// Whether `record`, loaded onto an empty row as Apri loads it, gives `row`.
bool loadsAs(const QByteArray &record, const Row &row)
{
    Row loaded;
    decodeRecord(record, loaded);
    return loaded == row;
}

qint64 offsetOf(int record)
{
    return qint64(record - 1) * kRecordSize;
}

bool isValidRecord(int record)
{
    return record >= 1 && record <= kRecords;
}

bool isValidSheet(int sheet)
{
    return sheet >= 0 && sheet < kSheets;
}

// The bytes that complete a file of `size` bytes to the full length: the missing tail of a cut
// last record, then whole blank records.
QByteArray completion(qint64 size)
{
    const QByteArray blank = blankRecord();
    const int wholeRecords = int(size / kRecordSize);
    const int cut = int(size % kRecordSize);
    QByteArray bytes = cut > 0 ? blank.mid(cut) : QByteArray();
    const int missing = kRecords - wholeRecords - (cut > 0 ? 1 : 0);
    bytes.reserve(bytes.size() + qsizetype(missing) * kRecordSize);
    for (int i = 0; i < missing; ++i)
        bytes.append(blank);
    return bytes;
}

void setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

QString withPath(const char *text, const QString &path)
{
    return QString::fromUtf8(text) + QDir::toNativeSeparators(path) + QStringLiteral("  ");
}

} // namespace

QString sheetCaption(int sheet)
{
    if (!isValidSheet(sheet))
        return {};
    return QString::fromLatin1(kCaptions[std::size_t(sheet)]);
}

Rgb rgbOf(TextColour colour)
{
    const auto index = static_cast<std::size_t>(colour);
    return index < kTextColours.size() ? kTextColours[index] : kTextColours[0];
}

char styleCode(const Cell &cell)
{
    return static_cast<char>('0' + (cell.bold ? 1 : 0) + (cell.underline ? 2 : 0));
}

QByteArray encodeRecord(const Row &row)
{
    QByteArray bytes = fixedWidth(row.name.text, kNameBytes) + fixedWidth(row.number.text, kNumberBytes);
    bytes.append(styleCode(row.name));
    bytes.append(styleCode(row.number));
    bytes.append("00");
    bytes.append(colourCode(row.name));
    bytes.append(colourCode(row.number));
    return bytes;
}

void decodeRecord(QByteArrayView bytes, Row &row)
{
    // A cut record reads as the blank-completed record the file is mended to.
    QByteArray record = bytes.first(std::min<qsizetype>(bytes.size(), kRecordSize)).toByteArray();
    if (record.size() < kRecordSize)
        record.append(blankRecord().mid(record.size()));
    const QByteArrayView view(record);
    row.name.text = withoutTrailingBlanks(view.first(kNameBytes));
    row.number.text = withoutTrailingBlanks(view.sliced(kNameBytes, kNumberBytes));
    applyStyle(view[kNameStyleOffset], row.name);
    applyStyle(view[kNumberStyleOffset], row.number);
    applyColour(view[kNameColourOffset], row.name);
    applyColour(view[kNumberColourOffset], row.number);
}

QByteArray blankRecord()
{
    return QByteArray(kNameBytes + kNumberBytes, ' ') + QByteArray(6, '0');
}

std::optional<DataFile::Opened> DataFile::open(const QString &path, QString *error)
{
    close();
    Opened how = Opened::Existing;
    if (!QFileInfo::exists(path)) {
        // Written whole under another name first: a crash never leaves a short new file.
        if (!writeFileAtomically(path, completion(0))) {
            setError(error, withPath(" Impossibile creare il file della rubrica:  ", path));
            return std::nullopt;
        }
        how = Opened::Created;
    }

    m_file.setFileName(path);
    // Unbuffered: a failed write is seen at once and never left pending in a buffer.
    if (!m_file.open(QIODevice::ReadWrite | QIODevice::Unbuffered)) {
        if (!m_file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
            setError(error, withPath(" Impossibile aprire il file della rubrica:  ", path));
            return std::nullopt;
        }
        setError(error, withPath(" Il file della rubrica non si può modificare; aperto in sola lettura:  ", path));
        return Opened::ReadOnly;
    }

    const qint64 size = m_file.size();
    if (size >= kFileSize)
        return how;

    // A short file (cut by a crash or a copy) keeps every byte it has and gains the rest.
    const QByteArray tail = completion(size);
    const bool extended = m_file.seek(size) && m_file.write(tail) == tail.size() && m_file.flush();
    if (extended)
        return how == Opened::Created ? how : Opened::Extended;

    // The disk is full or the file refuses to grow: show what there is without writing.
    m_file.close();
    if (!m_file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        setError(error, withPath(" Impossibile aprire il file della rubrica:  ", path));
        return std::nullopt;
    }
    setError(error, withPath(" Il file della rubrica è incompleto e non si può completare; aperto in sola lettura:  ", path));
    return Opened::ReadOnly;
}

bool DataFile::isWritable() const
{
    return m_file.isOpen() && m_file.isWritable();
}

void DataFile::close()
{
    if (m_file.isOpen())
        m_file.close();
}

std::optional<QByteArray> DataFile::readRecord(int record)
{
    if (!m_file.isOpen() || !isValidRecord(record))
        return std::nullopt;
    const qint64 offset = offsetOf(record);
    // Records past the end of a short file opened read-only are blank, as mending would make them.
    if (offset >= m_file.size())
        return blankRecord();
    if (!m_file.seek(offset))
        return std::nullopt;
    QByteArray bytes = m_file.read(kRecordSize);
    if (bytes.isEmpty())
        return std::nullopt;
    if (bytes.size() < kRecordSize)
        bytes.append(blankRecord().mid(bytes.size()));
    return bytes;
}

void DataFile::readSheet(int sheet, Sheet &rows)
{
    if (!isValidSheet(sheet))
        return;
    for (int row = 1; row <= kRows; ++row) {
        if (const auto bytes = readRecord(recordNumber(sheet, row)))
            decodeRecord(*bytes, rows[std::size_t(row - 1)]);
    }
}

WriteResult DataFile::writeSheet(int sheet, const Sheet &rows)
{
    if (!isValidSheet(sheet))
        return {QStringLiteral("no sheet %1").arg(sheet)};
    if (!isWritable())
        return {QStringLiteral("%1 is open for reading only").arg(m_file.fileName())};
    QByteArray bytes;
    bytes.reserve(qsizetype(kRows) * kRecordSize);
    for (int row = 1; row <= kRows; ++row) {
        const Row &shown = rows[std::size_t(row - 1)];
        // A row the user left as it was loaded keeps its bytes, also those the reader passed
        // over (a style or colour code out of range, the reserved bytes).
        const std::optional<QByteArray> stored = readRecord(recordNumber(sheet, row));
        bytes.append(stored && loadsAs(*stored, shown) ? *stored : encodeRecord(shown));
    }
    if (m_file.seek(offsetOf(recordNumber(sheet, 1))) && m_file.write(bytes) == bytes.size()
        && m_file.flush())
        return {};
    const WriteResult failed{QStringLiteral("%1: %2").arg(m_file.fileName(), m_file.errorString())};
    qCWarning(lcFiles).noquote() << failed.error;
    return failed;
}

} // namespace promemo::rubrica
