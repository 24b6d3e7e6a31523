#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringView>

#include <array>
#include <optional>

#include "common/atomicfile.h"
#include "common/notename.h"

// The address book's data: 44 sheets of 44 rows kept in rubri.dat, one 146-byte record per row
// (name 100 bytes, number 40, name style, number style, two reserved "0", name colour, number
// colour), Windows-1252, padded with blanks. Record numbers start at 1.
namespace promemo::rubrica {

inline constexpr QStringView kDataFileName = u"rubri.dat";
inline constexpr int kSheets = 44;
inline constexpr int kRows = 44;           // rows of a sheet
inline constexpr int kPageRows = 22;       // rows of one page of the grid
inline constexpr int kRecords = kSheets * kRows;
inline constexpr int kRecordSize = 146;
inline constexpr int kNameBytes = 100;
inline constexpr int kNumberBytes = 40;
inline constexpr qint64 kFileSize = qint64(kRecords) * kRecordSize; // 282,656

// The caption of tab `sheet` (0..43): "A1" .. "Z1", "A2" .. "Z2", "*", "#".
QString sheetCaption(int sheet);
// Record of row `row` (1..44) of sheet `sheet` (0..43).
constexpr int recordNumber(int sheet, int row) { return sheet * kRows + row; }
// Sheet (0..43) and row (1..44) of record `record` (1..1936).
constexpr int sheetOfRecord(int record) { return (record - 1) / kRows; }
constexpr int rowOfRecord(int record) { return (record - 1) % kRows + 1; }

// The six text colours, by their digit code "0".."5".
enum class TextColour { Black = 0, DarkBlue = 1, DarkRed = 2, Red = 3, Blue = 4, Magenta = 5 };
Rgb rgbOf(TextColour colour);

struct Cell
{
    QString text;
    bool bold = false;
    bool underline = false;
    TextColour colour = TextColour::Black;

    bool operator==(const Cell &) const = default;
};

struct Row
{
    Cell name;
    Cell number;

    bool operator==(const Row &) const = default;
    bool hasData() const { return !name.text.isEmpty() || !number.text.isEmpty(); }
};

// Rows 1..44 at indexes 0..43.
using Sheet = std::array<Row, kRows>;

// Style digit: "0" plain, "1" bold, "2" underlined, "3" both.
char styleCode(const Cell &cell);
// One record: texts cut to 100 / 40 bytes or padded with blanks, reserved fields "0".
QByteArray encodeRecord(const Row &row);
// A record read onto `row`: texts without their trailing blanks (leading kept); a style code
// outside "0".."3" or a colour code outside "0".."5" leaves that attribute as `row` had it.
// Short input (a record cut by the file's end) is read as far as it goes; the missing bytes
// count as those of a blank record.
void decodeRecord(QByteArrayView bytes, Row &row);
// A blank record: 100 + 40 blanks and "000000".
QByteArray blankRecord();

// rubri.dat, open for reading and writing by record while the program runs.
class DataFile
{
public:
    enum class Opened { Existing, Created, Extended, ReadOnly };

    // Opens `path`; a missing file is created full of blank records; a file shorter than
    // 1936 records is extended with blank records from its last whole record on (a cut last
    // record is completed, never overwritten); extra bytes of a longer file stay untouched. A
    // file that cannot be written (or cannot grow to its full length) is opened read-only.
    // Empty on failure, with `error` set to a text for the user; with ReadOnly `error` says why.
    std::optional<Opened> open(const QString &path, QString *error = nullptr);
    bool isOpen() const { return m_file.isOpen(); }
    bool isWritable() const;
    void close();

    // Record `record` (1..1936), always 146 bytes: a record past the end of a short read-only
    // file is blank, a cut one completed with blanks. Empty when it cannot be read.
    std::optional<QByteArray> readRecord(int record);
    // Loads the 44 records of `sheet` onto `rows` (Apri): unreadable records leave their row
    // as it was.
    void readSheet(int sheet, Sheet &rows);
    // Writes the 44 rows of `sheet` (Salva) and flushes; says why when any write failed. A row
    // that equals its record as loaded is written back with the record's own bytes.
    WriteResult writeSheet(int sheet, const Sheet &rows);

private:
    QFile m_file;
};

} // namespace promemo::rubrica
