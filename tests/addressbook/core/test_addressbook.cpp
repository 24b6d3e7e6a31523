#include "addressbook/core/addressbook.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "common/atomicfile.h"

using namespace promemo;
using namespace promemo::rubrica;
using namespace Qt::StringLiterals;

namespace {

Row sampleRow(int i)
{
    return {{QString::fromUtf8("Caffè Però %1 àùòìé €").arg(i), i % 2 != 0, i % 3 == 0, TextColour(i % 6)},
            {u"  02/123.45-%1"_s.arg(i), i % 4 == 0, i % 2 == 0, TextColour((i + 3) % 6)}};
}

Sheet sampleSheet(int seed)
{
    Sheet sheet;
    for (int r = 0; r < kRows; ++r)
        sheet[std::size_t(r)] = sampleRow(seed + r);
    return sheet;
}

// Runs `body` in a child process that must end with 0 (the body's result), as "nobody" when
// run as root, so that file permissions hold for it.
template <typename Body>
void unprivileged(const QTemporaryDir &dir, Body body)
{
    ::chmod(QFile::encodeName(dir.path()).constData(), 0755);
    EXPECT_EXIT(
        {
            if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
                ::_exit(100);
            ::_exit(body());
        },
        ::testing::ExitedWithCode(0), "");
}

} // namespace

// The byte layout itself is the golden sample's test.
TEST(AddressBook, RecordFieldsCutsBlanksAndBadCodes)
{
    Row row, back;
    // Cut to 100 / 40 on save; only trailing 0x20 dropped on load.
    row.name.text = QString::fromUtf8("è").repeated(99) + u"XYZ"_s;
    row.number.text = u"0123456789"_s.repeated(5);
    decodeRecord(encodeRecord(row), back);
    EXPECT_EQ(std::pair(back.name.text, back.number.text),
              std::pair(QString::fromUtf8("è").repeated(99) + u"X"_s, u"0123456789"_s.repeated(4)));
    row.name.text = u"  Rossi\t "_s;
    row.number.text = u"1\u00a0  "_s;
    decodeRecord(encodeRecord(row), back);
    EXPECT_EQ(std::pair(back.name.text, back.number.text), std::pair(u"  Rossi\t"_s, u"1\u00a0"_s));

    // Codes out of range keep what the row had; a cut record reads the rest as blank.
    Row kept{{u"x"_s, true, false, TextColour::Blue}, {u"y"_s, false, true, TextColour::DarkRed}};
    QByteArray bad = blankRecord();
    bad.replace(140, 6, "4x0069");
    decodeRecord(bad, kept);
    EXPECT_EQ(kept, (Row{{{}, true, false, TextColour::Blue}, {{}, false, true, TextColour::DarkRed}}));
    decodeRecord(QByteArray("Bianchi Anna"), kept);
    EXPECT_EQ(kept, (Row{{u"Bianchi Anna"_s}, {}}));
}

// Creating and writing a new file is the golden sample's test, mending a short one the programs'.
TEST(AddressBookFile, LongerFilesKeepTheirTailAndNothingIsLeftBeside)
{
    const QTemporaryDir dir;
    const QString path = dir.filePath(u"rubri.dat"_s);
    const QByteArray extra("\r\ncoda\x1a");
    ASSERT_TRUE(writeFileAtomically(path, blankRecord().repeated(kRecords) + extra));
    DataFile file;
    EXPECT_EQ(file.open(path), DataFile::Opened::Existing);
    ASSERT_TRUE(file.writeSheet(43, sampleSheet(3)));
    EXPECT_FALSE(file.writeSheet(44, sampleSheet(0)));
    EXPECT_EQ(readWholeFile(path).sliced(kFileSize - kRecordSize), encodeRecord(sampleRow(46)) + extra);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"rubri.dat"_s});
}

// A reader may pass over what it cannot use, the writer keeps it: a row left as it was loaded is
// saved with its own bytes (style and colour codes out of range, the reserved bytes, a NUL and a
// byte Windows-1252 leaves undefined); a row that changed is written as it is.
TEST(AddressBookFile, RowsLeftAsLoadedKeepTheirBytes)
{
    const QTemporaryDir dir;
    const QString path = dir.filePath(u"rubri.dat"_s);
    const QByteArray damaged = QByteArray("Bice \x81\x00 Neri", 12).leftJustified(kNameBytes + kNumberBytes, ' ') + "x9ab7Z";
    ASSERT_TRUE(writeFileAtomically(path, damaged.repeated(2) + blankRecord().repeated(kRecords - 2)));
    DataFile file;
    Sheet rows{};
    ASSERT_TRUE(file.open(path));
    file.readSheet(0, rows);
    rows[1].name.bold = true;
    ASSERT_TRUE(file.writeSheet(0, rows));
    EXPECT_EQ(readWholeFile(path).first(2 * kRecordSize), damaged + damaged.left(140) + "100000");
}

TEST(AddressBookFileDeathTest, ReadOnlyFileIsShownButNeverWritten)
{
    const QTemporaryDir dir;
    const QString path = dir.filePath(u"rubri.dat"_s);
    // Short as well: it cannot be mended, and the rows past its end show empty.
    const QByteArray existing = encodeRecord(sampleRow(2)).repeated(50);
    ASSERT_TRUE(writeFileAtomically(path, existing));
    ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    unprivileged(dir, [&] {
        DataFile file;
        QString error;
        if (file.open(path, &error) != DataFile::Opened::ReadOnly || error.isEmpty())
            return 1;
        if (file.isWritable() || file.writeSheet(0, sampleSheet(9)))
            return 2;
        Sheet shown = sampleSheet(20);
        file.readSheet(1, shown);
        return shown[5] == sampleRow(2) && shown[6] == Row{} ? 0 : 3;
    });
    EXPECT_EQ(readWholeFile(path), existing);
}
