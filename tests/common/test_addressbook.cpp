#include "common/addressbook.h"

#include <csignal>
#include <set>

#include <sys/resource.h>
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

QByteArray blankFile()
{
    return blankRecord().repeated(kRecords);
}

Row sampleRow(int i)
{
    Row row;
    row.name = {QString::fromUtf8("Caffè Però %1 àùòìé €").arg(i), (i % 2) != 0, (i % 3) == 0,
                TextColour(i % 6)};
    row.number = {QStringLiteral("  02/123.45-%1").arg(i), (i % 4) == 0, (i % 2) == 0,
                  TextColour((i + 3) % 6)};
    return row;
}

Sheet sampleSheet(int seed)
{
    Sheet sheet;
    for (int r = 0; r < kRows; ++r)
        sheet[std::size_t(r)] = sampleRow(seed + r);
    return sheet;
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

enum class As { Self, Unprivileged };

// Runs `body` in a child process, which ends with the code the body returns (0 for success).
// Unprivileged: as root the child becomes "nobody" first, so file permissions hold for it.
template <typename Body>
void inChild(const QTemporaryDir &dir, As as, Body body)
{
    if (as == As::Unprivileged)
        ::chmod(QFile::encodeName(dir.path()).constData(), 0755);
    EXPECT_EXIT(
        {
            if (as == As::Unprivileged && ::geteuid() == 0
                && (::setgid(65534) != 0 || ::setuid(65534) != 0))
                ::_exit(100);
            ::_exit(body());
        },
        ::testing::ExitedWithCode(0), "");
}

} // namespace

TEST(AddressBook, CaptionsFollowTheFileOrderOfTheTwoTabRows)
{
    const std::pair<int, const char *> expected[] = {
        {0, "A1"},  {6, "G1"},  {7, "HJK"}, {8, "I1"},  {9, "L1"}, {19, "V1"}, {20, "Z1"},
        {21, "A2"}, {27, "G2"}, {28, "WXY"}, {29, "I2"}, {41, "Z2"}, {42, "*"}, {43, "#"}};
    for (const auto &[sheet, caption] : expected)
        EXPECT_EQ(sheetCaption(sheet), QLatin1String(caption)) << sheet;
    std::set<QString> distinct;
    for (int s = 0; s < kSheets; ++s)
        distinct.insert(sheetCaption(s));
    EXPECT_EQ(distinct.size(), std::size_t(kSheets));
    EXPECT_TRUE(sheetCaption(-1).isEmpty());
    EXPECT_TRUE(sheetCaption(44).isEmpty());

    EXPECT_EQ(recordNumber(0, 1), 1);
    EXPECT_EQ(recordNumber(43, 44), 1936);
    for (int record : {1, 44, 45, 88, 1893, 1936})
        EXPECT_EQ(recordNumber(sheetOfRecord(record), rowOfRecord(record)), record);
}

TEST(AddressBook, RecordBytesAndRoundTrip)
{
    EXPECT_EQ(blankRecord(), QByteArray(140, ' ') + "000000");

    Row row;
    row.name = {QString::fromUtf8("  Caffè àùòìé €"), true, true, TextColour::DarkRed};
    row.number = {QStringLiteral("02/123.45"), false, true, TextColour::Magenta};
    const QByteArray bytes = encodeRecord(row);
    ASSERT_EQ(bytes.size(), kRecordSize);
    EXPECT_EQ(bytes.first(15), QByteArray("  Caff\xe8 \xe0\xf9\xf2\xec\xe9 \x80"));
    EXPECT_EQ(bytes.mid(15, 85), QByteArray(85, ' '));
    EXPECT_EQ(bytes.mid(100, 40), QByteArray("02/123.45").leftJustified(40, ' '));
    EXPECT_EQ(bytes.mid(140), QByteArray("320025"));

    Row back;
    decodeRecord(bytes, back);
    EXPECT_EQ(back, row);
    for (int i = 0; i < 24; ++i) {
        Row other;
        decodeRecord(encodeRecord(sampleRow(i)), other);
        EXPECT_EQ(other, sampleRow(i)) << i;
    }
}

TEST(AddressBook, SaveCutsTextsAndLoadDropsOnlyTrailingBlanks)
{
    Row row;
    row.name.text = QString::fromUtf8("è").repeated(99) + QStringLiteral("XYZ");
    row.number.text = QStringLiteral("0123456789").repeated(5);
    const QByteArray bytes = encodeRecord(row);
    ASSERT_EQ(bytes.size(), kRecordSize);
    Row back;
    decodeRecord(bytes, back);
    EXPECT_EQ(back.name.text, QString::fromUtf8("è").repeated(99) + QStringLiteral("X"));
    EXPECT_EQ(back.number.text, QStringLiteral("0123456789").repeated(4));

    // Only 0x20 is a blank: a tab or a no-break space at the end stays, leading blanks stay.
    const struct { const char *stored; QString loaded; } cases[] = {
        {"  Rossi   ", QStringLiteral("  Rossi")},
        {"Rossi\t  ", QStringLiteral("Rossi\t")},
        {"Rossi\xa0", QStringLiteral("Rossi") + QChar(0xA0)},
        {"     ", QString()},
    };
    for (const auto &c : cases) {
        Row r;
        decodeRecord(QByteArray(c.stored).leftJustified(kNameBytes, ' ') + QByteArray(40, ' ') + "000000", r);
        EXPECT_EQ(r.name.text, c.loaded) << c.stored;
    }
}

TEST(AddressBook, BadCodesKeepTheAttributeAndCutRecordsReadAsFarAsTheyGo)
{
    Row row{{u"x"_s, true, false, TextColour::Blue}, {u"y"_s, false, true, TextColour::DarkRed}};
    const Row before = row;
    QByteArray bytes = encodeRecord(Row{});
    bytes[140] = '4'; // style out of range
    bytes[141] = 'x';
    bytes[144] = '6'; // colour out of range
    bytes[145] = ' ';
    decodeRecord(bytes, row);
    EXPECT_TRUE(row.name.text.isEmpty());
    EXPECT_EQ(row.name.bold, before.name.bold);
    EXPECT_EQ(row.name.underline, before.name.underline);
    EXPECT_EQ(row.name.colour, before.name.colour);
    EXPECT_EQ(row.number.bold, before.number.bold);
    EXPECT_EQ(row.number.underline, before.number.underline);
    EXPECT_EQ(row.number.colour, before.number.colour);

    // A record cut inside the name reads the name so far, the rest as blank.
    Row cut = sampleRow(1);
    decodeRecord(QByteArray("Bianchi Anna"), cut);
    EXPECT_EQ(cut, (Row{{QStringLiteral("Bianchi Anna")}, {}}));
}

TEST(AddressBookFile, FirstStartCreatesTheFullBlankFile)
{
    const QTemporaryDir dir;
    const QString path = dir.filePath(kDataFileName.toString());
    DataFile file;
    QString error;
    EXPECT_EQ(file.open(path, &error), DataFile::Opened::Created);
    EXPECT_TRUE(file.isWritable());
    EXPECT_EQ(QFileInfo(path).size(), 282656);
    EXPECT_EQ(readWholeFile(path), blankFile());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"rubri.dat"_s});

    Sheet shown = sampleSheet(0);
    file.readSheet(43, shown);
    EXPECT_EQ(shown, Sheet{});

    file.close();
    EXPECT_EQ(file.open(path), DataFile::Opened::Existing);
}

TEST(AddressBookFile, SheetsRoundTripThroughTheFileAndOnlyTheirRecordsChange)
{
    const QTemporaryDir dir;
    const QString path = dir.filePath(u"rubri.dat"_s);
    {
        DataFile file;
        ASSERT_TRUE(file.open(path));
        ASSERT_TRUE(file.writeSheet(0, sampleSheet(0)));
        ASSERT_TRUE(file.writeSheet(28, sampleSheet(28)));
        EXPECT_FALSE(file.writeSheet(44, sampleSheet(0)));
    }
    const QByteArray bytes = readWholeFile(path);
    ASSERT_EQ(bytes.size(), kFileSize);
    EXPECT_EQ(bytes.mid(28 * 44 * kRecordSize + 43 * kRecordSize, kRecordSize), encodeRecord(sampleRow(28 + 43)));
    QByteArray expected = blankFile();
    for (int r = 0; r < kRows; ++r) {
        expected.replace(r * kRecordSize, kRecordSize, encodeRecord(sampleRow(r)));
        expected.replace((28 * kRows + r) * kRecordSize, kRecordSize, encodeRecord(sampleRow(28 + r)));
    }
    EXPECT_EQ(bytes, expected);

    DataFile file;
    EXPECT_EQ(file.open(path), DataFile::Opened::Existing);
    Sheet shown;
    file.readSheet(28, shown);
    EXPECT_EQ(shown, sampleSheet(28));
    EXPECT_EQ(file.readRecord(1), encodeRecord(sampleRow(0)));
    EXPECT_FALSE(file.readRecord(0));
    EXPECT_FALSE(file.readRecord(1937));
}

TEST(AddressBookFile, ShortFilesAreExtendedWithoutTouchingTheirBytes)
{
    QByteArray ownRecord = encodeRecord(sampleRow(7));
    for (const qint64 size : {qint64(0), qint64(10 * kRecordSize), qint64(10 * kRecordSize + 50),
                              qint64(kFileSize - 1)}) {
        // Existing bytes that differ from what mending would write, so any overwrite shows.
        QByteArray existing;
        while (existing.size() < size)
            existing.append(ownRecord);
        existing.truncate(size);
        const QTemporaryDir dir;
        const QString path = dir.filePath(u"rubri.dat"_s);
        ASSERT_TRUE(writeBytes(path, existing));

        DataFile file;
        EXPECT_EQ(file.open(path), DataFile::Opened::Extended) << size;
        const QByteArray bytes = readWholeFile(path);
        ASSERT_EQ(bytes.size(), kFileSize) << size;
        EXPECT_EQ(bytes.first(size), existing) << size;
        EXPECT_EQ(bytes.sliced(size), blankFile().sliced(size)) << size;
    }

    // The cut record shows what it holds: the name, with plain black cells as in the blanks.
    const QTemporaryDir dir;
    const QString path = dir.filePath(u"rubri.dat"_s);
    ASSERT_TRUE(writeBytes(path, ownRecord.repeated(10) + ownRecord.first(50)));
    DataFile file;
    ASSERT_EQ(file.open(path), DataFile::Opened::Extended);
    Sheet shown;
    file.readSheet(0, shown);
    EXPECT_EQ(shown[9], sampleRow(7));
    EXPECT_EQ(shown[10].name.text, sampleRow(7).name.text); // shorter than the 50 bytes kept
    EXPECT_EQ(shown[10].number, Cell{});
    EXPECT_EQ(shown[11], Row{});
}

TEST(AddressBookFile, ExtraBytesOfALongerFileStay)
{
    const QTemporaryDir dir;
    const QString path = dir.filePath(u"rubri.dat"_s);
    const QByteArray extra("\r\ncoda di un'altra versione\x1a");
    ASSERT_TRUE(writeBytes(path, blankFile() + extra));
    {
        DataFile file;
        EXPECT_EQ(file.open(path), DataFile::Opened::Existing);
        ASSERT_TRUE(file.writeSheet(43, sampleSheet(3)));
    }
    const QByteArray bytes = readWholeFile(path);
    ASSERT_EQ(bytes.size(), kFileSize + extra.size());
    EXPECT_EQ(bytes.sliced(kFileSize), extra);
    EXPECT_EQ(bytes.sliced(kFileSize - kRecordSize, kRecordSize), encodeRecord(sampleRow(3 + 43)));
}

TEST(AddressBookFile, FilesThatCannotBeOpenedOrCreatedGiveAnError)
{
    const QTemporaryDir dir;
    DataFile file;
    QString error;
    EXPECT_FALSE(file.open(dir.filePath(u"manca/rubri.dat"_s), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(file.isOpen());

    error.clear();
    ASSERT_TRUE(QDir(dir.path()).mkdir(u"rubri.dat"_s));
    EXPECT_FALSE(file.open(dir.filePath(u"rubri.dat"_s), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(file.writeSheet(0, Sheet{}));
    EXPECT_FALSE(file.readRecord(1));
}

TEST(AddressBookFileDeathTest, ReadOnlyFileIsShownButNeverWritten)
{
    const QTemporaryDir dir;
    const QString path = dir.filePath(u"rubri.dat"_s);
    // Short as well: it cannot be mended, and the rows past its end show empty.
    const QByteArray existing = encodeRecord(sampleRow(2)).repeated(50);
    ASSERT_TRUE(writeBytes(path, existing));
    ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    inChild(dir, As::Unprivileged, [&] {
        DataFile file;
        QString error;
        if (file.open(path, &error) != DataFile::Opened::ReadOnly)
            return 1;
        if (error.isEmpty() || file.isWritable())
            return 2;
        if (file.writeSheet(0, sampleSheet(9)))
            return 3;
        Sheet shown = sampleSheet(20);
        file.readSheet(1, shown);
        if (shown[5] != sampleRow(2) || shown[6] != Row{})
            return 4;
        return 0;
    });
    EXPECT_EQ(readWholeFile(path), existing);
}

TEST(AddressBookFileDeathTest, FullDiskFailsTheWriteAndTheMending)
{
    // A file-size limit stands in for a full disk: writes past it fail as they would with no
    // space left.
    const QTemporaryDir dir;
    const QString full = dir.filePath(u"rubri.dat"_s);
    const QString cut = dir.filePath(u"corto.dat"_s);
    ASSERT_TRUE(writeBytes(full, blankFile()));
    const QByteArray existing = encodeRecord(sampleRow(4)).repeated(3);
    ASSERT_TRUE(writeBytes(cut, existing));
    inChild(dir, As::Self, [&] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{100000, 100000};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0)
            return 10;
        DataFile file;
        if (file.open(full) != DataFile::Opened::Existing)
            return 1;
        if (!file.writeSheet(0, sampleSheet(0)))
            return 2;
        if (file.writeSheet(43, sampleSheet(0)))
            return 3;
        // The records before the failed one can still be saved afterwards.
        if (!file.writeSheet(1, sampleSheet(1)))
            return 4;
        QString error;
        if (file.open(cut, &error) != DataFile::Opened::ReadOnly || error.isEmpty())
            return 5;
        Sheet shown;
        file.readSheet(0, shown);
        if (shown[2] != sampleRow(4) || shown[3] != Row{})
            return 6;
        return 0;
    });
    const QByteArray bytes = readWholeFile(full);
    EXPECT_EQ(bytes.sliced(kRows * kRecordSize, kRecordSize), encodeRecord(sampleRow(1)));
    EXPECT_EQ(readWholeFile(cut).first(existing.size()), existing);
}
