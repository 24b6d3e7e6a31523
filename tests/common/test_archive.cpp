#include "common/archive.h"

#include <QDir>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "common/atomicfile.h"
#include "common/records.h"

using namespace promemo;

namespace {

ArchiveRecord numbered(int i)
{
    return archiveRecordOf("05/12/2026", i % 2 ? "09.30" : "", QStringLiteral("nota %1").arg(i),
                           "05/12/2026 10.00");
}

} // namespace

TEST(Archive, RecordBytesRoundTrip)
{
    const ArchiveRecord withAlert = archiveRecordOf(
        "05/12/2026", "09.30", QString::fromUtf8("Caffè \"da Nino\"\r\nperò €"), "04/12/2026 21.44");
    const ArchiveRecord noAlert = archiveRecordOf("05/12/2026", "", "x", "05/12/2026 10.00");
    EXPECT_EQ(noAlert.dateAndAlert, "05/12/2026 ");

    const QByteArray bytes = encodeArchiveRecord(withAlert) + encodeArchiveRecord(noAlert);
    EXPECT_EQ(bytes, "\"05/12/2026 09.30\",\"Caff\xe8 \x94" "da Nino\x94\r\nper\xf2 \x80\","
                     "\"04/12/2026 21.44\"\r\n"
                     "\"05/12/2026 \",\"x\",\"05/12/2026 10.00\"\r\n");
    const QList<ArchiveRecord> back = decodeArchive(bytes);
    ASSERT_EQ(back.size(), 2);
    EXPECT_EQ(back[0].text, QString::fromUtf8("Caffè ”da Nino”\r\nperò €"));
    EXPECT_EQ(back[1], noAlert);
    EXPECT_EQ(encodeArchiveRecord(back[0]) + encodeArchiveRecord(back[1]), bytes);
}

TEST(Archive, PrependCopiesOlderRecordsByteForByte)
{
    // Records the writer would never produce, but an old or hand-edited archive may hold.
    const QList<QByteArray> odd = {
        "\"01/02/2031 \",\"riga\r\nriga, con virgola\",\"01/02/2031 08.00\"\r\n",
        "  \"a\" , \"b\"  ,\"c\"\n",
        "senza,virgolette,qui\r",
        "\r\n\r\n\"d\",\"e\",\"f\",\"extra\"\r\n",
        "\"\xe0\xe8\",\"\x80\",\"\x94\"\r\n",
    };
    QByteArray archive;
    for (int i = 0; i < 81; ++i)
        archive += odd[i % odd.size()];
    const ArchiveRecord fresh = numbered(1);

    EXPECT_EQ(prependedArchive(archive, fresh), encodeArchiveRecord(fresh) + archive);
    EXPECT_EQ(prependedArchive({}, fresh), encodeArchiveRecord(fresh));

    QByteArray firstFive;
    for (const QByteArray &r : odd)
        firstFive += r;
    EXPECT_EQ(prependedArchive(archive, fresh, 5), encodeArchiveRecord(fresh) + firstFive);
    EXPECT_EQ(prependedArchive(archive, fresh, 0), encodeArchiveRecord(fresh));

    // A last record cut short is carried along as it is.
    EXPECT_EQ(prependedArchive("\"a\",\"b", fresh), encodeArchiveRecord(fresh) + "\"a\",\"b");
}

TEST(Archive, KeepsTheNewest401Records)
{
    QByteArray archive;
    for (int i = 0; i < 402; ++i)
        archive = prependedArchive(archive, numbered(i));
    QList<ArchiveRecord> records = decodeArchive(archive);
    ASSERT_EQ(records.size(), 401);
    for (int k = 0; k < 401; ++k)
        ASSERT_EQ(records[k], numbered(401 - k)) << k;

    // The same through the file, from a full archive on.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(kArchiveFileName);
    ASSERT_TRUE(writeFileAtomically(path, archive));
    ASSERT_TRUE(prependToArchive(path, numbered(402)));
    ASSERT_TRUE(prependToArchive(path, numbered(403)));
    const ArchiveContents contents = readArchiveFile(path);
    ASSERT_EQ(contents.status, ArchiveContents::Status::Read);
    records = contents.records;
    ASSERT_EQ(records.size(), 401);
    for (int k = 0; k < 401; ++k)
        ASSERT_EQ(records[k], numbered(403 - k)) << k;

    // Only the archive and its lock file remain beside it.
    const QStringList left = QDir(dir.path()).entryList(QDir::Files);
    for (const QString &name : left)
        EXPECT_TRUE(name.startsWith(kArchiveFileName)) << name.toStdString();
}

TEST(Archive, FailuresLeaveTheArchiveAlone)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());

    // A folder where the archive should be can be neither read nor replaced.
    const QString blocked = dir.filePath("bloccato.dat");
    ASSERT_TRUE(QDir(dir.path()).mkdir("bloccato.dat"));
    EXPECT_FALSE(prependToArchive(blocked, numbered(0)));
    EXPECT_EQ(readArchiveFile(blocked).status, ArchiveContents::Status::Unreadable);

    EXPECT_EQ(readArchiveFile(dir.filePath(kArchiveFileName)).status,
              ArchiveContents::Status::Missing);
    EXPECT_FALSE(prependToArchive(dir.filePath("assente/archivio.dat"), numbered(0)));

    // Another writer holds the lock for longer than this writer waits.
    const QString path = dir.filePath(kArchiveFileName);
    ASSERT_TRUE(writeFileAtomically(path, encodeArchiveRecord(numbered(1))));
    {
        const FileLock held(path);
        ASSERT_TRUE(held.isLocked());
        EXPECT_FALSE(prependToArchive(path, numbered(2), std::chrono::milliseconds(0)));
    }
    EXPECT_EQ(readWholeFile(path), encodeArchiveRecord(numbered(1)));
}

TEST(Archive, ReaderSkipsEmptyRecordsAndSurvivesJunk)
{
    const QByteArray bytes = "\"a \",\"t\",\"c\"\r\n"
                             "\"\",\"\",\"\"\r\n"
                             ",,\r\n"
                             "\"b\",\"solo due\"\r\n"
                             "\"c\",\"non chiuso\r\n";
    const QList<ArchiveRecord> records = decodeArchive(bytes);
    const QList<ArchiveRecord> expected = {
        {"a ", "t", "c"}, {"b", "solo due", ""}, {"c", "non chiuso\r\n", ""}};
    EXPECT_EQ(records, expected);
    EXPECT_TRUE(decodeArchive({}).isEmpty());
}

// Two note programs saving at the same moment: every record of both must survive.
TEST(Archive, ConcurrentWritersLoseNothing)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(kArchiveFileName);
    constexpr int kSaves = 200;

    QProcess first;
    QProcess second;
    first.start(QStringLiteral(ARCHIVE_WRITER_PATH), {path, "uno", QString::number(kSaves)});
    second.start(QStringLiteral(ARCHIVE_WRITER_PATH), {path, "due", QString::number(kSaves)});
    for (QProcess *writer : {&first, &second}) {
        ASSERT_TRUE(writer->waitForFinished(60000));
        ASSERT_EQ(writer->exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(writer->exitCode(), 0);
    }

    const ArchiveContents contents = readArchiveFile(path);
    ASSERT_EQ(contents.status, ArchiveContents::Status::Read);
    ASSERT_EQ(contents.records.size(), 2 * kSaves);
    // Newest first: each writer's numbers come in falling order, none missing.
    QMap<QString, int> next = {{"uno", kSaves - 1}, {"due", kSaves - 1}};
    for (const ArchiveRecord &record : contents.records) {
        const QStringList parts = record.text.split(' ');
        ASSERT_EQ(parts.size(), 2) << record.text.toStdString();
        ASSERT_TRUE(next.contains(parts[0]));
        ASSERT_EQ(parts[1].toInt(), next[parts[0]]) << record.text.toStdString();
        --next[parts[0]];
    }
    EXPECT_EQ(next.value("uno"), -1);
    EXPECT_EQ(next.value("due"), -1);
}
