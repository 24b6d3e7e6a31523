#include "common/archive.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "common/atomicfile.h"

using namespace promemo;

namespace {

ArchiveRecord numbered(int i)
{
    return archiveRecordOf("05/12/2026", i % 2 ? "09.30" : "", QStringLiteral("nota %1").arg(i),
                           "05/12/2026 10.00");
}

} // namespace

// Empty records are passed over; short and unterminated ones read what is there.
TEST(Archive, JunkReadsWhatIsThere)
{
    EXPECT_EQ(decodeArchive("\"\",\"\",\"\"\r\n,,\r\n\"b\",\"solo due\"\r\n\"c\",\"non chiuso\r\n"),
              (QList<ArchiveRecord>{{"b", "solo due", ""}, {"c", "non chiuso", ""}}));
}

TEST(Archive, PrependCopiesOlderRecordsByteForByte)
{
    // Records the writer would never produce, but an old or hand-edited archive may hold.
    const QByteArray firstFive =
        "\"01/02/2031 \",\"riga\r\nriga, con virgola\",\"01/02/2031 08.00\"\r\n"
        "  \"a\" , \"b\"  ,\"c\"\nsenza,virgolette,qui\r"
        "\r\n\r\n\"d\",\"e\",\"f\",\"extra\"\r\n\"\xe0\xe8\",\"\x80\",\"\x94\"\r\n";
    const QByteArray archive = firstFive + "\"a\",\"b"; // the last record cut short
    const QByteArray fresh = encodeArchiveRecord(numbered(1));
    EXPECT_EQ(prependedArchive(archive, numbered(1)), fresh + archive);
    EXPECT_EQ(prependedArchive(archive, numbered(1), 5), fresh + firstFive);
}

TEST(Archive, FailuresLeaveTheArchiveAlone)
{
    const QTemporaryDir dir;
    // A folder where the archive should be can be neither read nor replaced.
    ASSERT_TRUE(QDir(dir.path()).mkdir("bloccato.dat"));
    EXPECT_FALSE(prependToArchive(dir.filePath("bloccato.dat"), numbered(0)));
    EXPECT_EQ(readArchiveFile(dir.filePath("bloccato.dat")).status,
              ArchiveContents::Status::Unreadable);
    EXPECT_EQ(readArchiveFile(dir.filePath("assente")).status, ArchiveContents::Status::Missing);
    EXPECT_FALSE(prependToArchive(dir.filePath("assente/archivio.dat"), numbered(0)));
    // Another writer holds the lock for longer than this writer waits.
    const QString path = dir.filePath(kArchiveFileName);
    ASSERT_TRUE(writeFileAtomically(path, encodeArchiveRecord(numbered(1))));
    const FileLock held(path);
    EXPECT_FALSE(prependToArchive(path, numbered(2), std::chrono::milliseconds(0)));
    EXPECT_EQ(readWholeFile(path), encodeArchiveRecord(numbered(1)));

    // Larger than 401 records of the longest note can be: neither shown nor rewritten.
    const QString huge = dir.filePath("grande.dat");
    QFile file(huge);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.resize(kMaxArchiveBytes + 1));
    file.close();
    EXPECT_EQ(readArchiveFile(huge).status, ArchiveContents::Status::TooLarge);
    EXPECT_FALSE(prependToArchive(huge, numbered(0)));
    EXPECT_EQ(QFileInfo(huge).size(), kMaxArchiveBytes + 1);
}

// The newest 401 records are kept. A record that lost a quote costs itself only: the records
// after it stay records, so the archive keeps its bound instead of carrying the rest of the file
// along as one record.
TEST(Archive, KeepsTheNewest401RecordsEvenAfterALostQuote)
{
    QByteArray archive;
    for (int i = 449; i >= 0; --i)
        archive += encodeArchiveRecord(numbered(i));
    const QByteArray whole = encodeArchiveRecord(numbered(446));
    archive.replace(whole, QByteArray(whole).replace("10.00\"\r\n", "10.00\r\n"));
    const QTemporaryDir dir;
    const QString path = dir.filePath(kArchiveFileName);
    ASSERT_TRUE(writeFileAtomically(path, archive));
    ASSERT_TRUE(prependToArchive(path, numbered(450)));
    const QList<ArchiveRecord> records = readArchiveFile(path).records;
    ASSERT_EQ(records.size(), 401);
    for (int k = 0; k < 401; ++k)
        ASSERT_EQ(records[k], numbered(450 - k)) << k;
    // Only the archive and its lock file remain beside it.
    for (const QString &name : QDir(dir.path()).entryList(QDir::Files))
        EXPECT_TRUE(name.startsWith(kArchiveFileName)) << name.toStdString();
}

// Two note programs saving at the same moment: every record of both must survive.
TEST(Archive, ConcurrentWritersLoseNothing)
{
    const QTemporaryDir dir;
    const QString path = dir.filePath(kArchiveFileName);
    const QString tags[] = {"uno", "due"};
    QProcess writers[2];
    for (int w = 0; w < 2; ++w)
        writers[w].start(ARCHIVE_WRITER_PATH, {path, tags[w], "200"});
    for (QProcess &writer : writers)
        ASSERT_TRUE(writer.waitForFinished(60000) && writer.exitCode() == 0);
    const QList<ArchiveRecord> records = readArchiveFile(path).records;
    ASSERT_EQ(records.size(), 400);
    // Newest first: each writer's numbers come in falling order, none missing.
    int next[2] = {199, 199};
    for (const ArchiveRecord &record : records) {
        const int w = record.text.startsWith(tags[1]);
        ASSERT_EQ(record.text, tags[w] + QStringLiteral(" %1").arg(next[w]--));
    }
}
