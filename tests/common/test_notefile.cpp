#include "common/notefile.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include "common/atomicfile.h"
#include "savedversions.h"

using namespace promemo;

namespace {

const NoteContent kAccented{QString::fromUtf8("Caffè con \"Lucia\" “già”\r\nè lì: 3 €"),
                            "05/12/2026", "", "04/12/2026 21.44"};
const NoteContent kOld{"vecchia", "05/12/2026", "09.30", "05/12/2026 10.00"};

class NoteFile : public ::testing::Test
{
protected:
    QString at(const QString &name) const { return dir.filePath(name); }
    QStringList files() const { return QDir(folder).entryList({"*.dat"}, QDir::Files, QDir::Name); }
    const QTemporaryDir dir;
    const QString folder = dir.path();
};

} // namespace

TEST(NoteFileFormat, BytesRoundTripAndAnEmptyFileReadsAsAnEmptyNote)
{
    const QByteArray bytes = encodeNoteFile(kAccented);
    EXPECT_EQ(bytes, "\"Caff\xe8 con \x94Lucia\x94 \x93gi\xe0\x94\r\n\xe8 l\xec: 3 \x80\","
                     "\"05/12/2026\",\"\",\"04/12/2026 21.44\"\r\n");
    EXPECT_EQ(decodeNoteFile(bytes).text,
              QString::fromUtf8("Caffè con ”Lucia” “già”\r\nè lì: 3 €"));
    EXPECT_EQ(encodeNoteFile(decodeNoteFile(bytes)), bytes);

    EXPECT_EQ(decodeNoteFile(""), NoteContent{});
}

TEST_F(NoteFile, ReplaceWritesTheNewFileAndThenRemovesThePrevious)
{
    ASSERT_TRUE(replaceNoteFile(folder, "", "n36000.dat", kOld));
    ASSERT_TRUE(replaceNoteFile(folder, "n36000.dat", "n36060.dat", kAccented));
    EXPECT_EQ(files(), QStringList{"n36060.dat"});
    EXPECT_EQ(readWholeFile(at("n36060.dat")), encodeNoteFile(kAccented));
    // The same name within the same second: the one file holds the later version.
    ASSERT_TRUE(replaceNoteFile(folder, "n36060.dat", "n36060.dat", kOld));
    EXPECT_EQ(files(), QStringList{"n36060.dat"});
    EXPECT_EQ(readNoteFile(at("n36060.dat")), kOld);
    // A note opened after its alert passed has no file of its own.
    ASSERT_TRUE(replaceNoteFile(folder, "nessuno", "n36100.dat", kOld));
    EXPECT_EQ(files().size(), 2);
}

TEST_F(NoteFile, FailedSaveReportsAndKeepsThePreviousFile)
{
    ASSERT_TRUE(writeNoteFile(at("n36000.dat"), kOld));
    // A folder in the way of the new name makes the write fail even for root.
    ASSERT_TRUE(QDir(folder).mkdir("n36001.dat"));
    EXPECT_FALSE(replaceNoteFile(folder, "n36000.dat", "n36001.dat", kAccented));
    for (const QString name : {"", "../n36002.dat", "\\n36002.dat"})
        EXPECT_FALSE(replaceNoteFile(folder, "n36000.dat", name, kAccented)) << qPrintable(name);
    EXPECT_EQ(readWholeFile(at("n36000.dat")), encodeNoteFile(kOld));
    // A previous name that is a folder is not removed.
    EXPECT_TRUE(replaceNoteFile(folder, "n36001.dat", "n36003.dat", kOld));
    EXPECT_TRUE(QFileInfo(at("n36001.dat")).isDir());
}

TEST_F(NoteFile, PutAwayRenamesTheStateLetterAndNeverOverwrites)
{
    ASSERT_TRUE(writeNoteFile(at("n9835h0570n78244.dat"), kAccented));
    ASSERT_TRUE(putNoteAway(folder, "n9835h0570n78244.dat"));
    EXPECT_EQ(files(), QStringList{"o9835h0570n78244.dat"});
    EXPECT_TRUE(putNoteAway(folder, "o9835h0570n78244.dat"));
    EXPECT_FALSE(putNoteAway(folder, "nessuno"));
    // Another note already bears the put-away name: neither file is touched.
    ASSERT_TRUE(writeNoteFile(at("n9835h0570n78244.dat"), kOld));
    EXPECT_FALSE(putNoteAway(folder, "n9835h0570n78244.dat"));
    EXPECT_EQ(readNoteFile(at("n9835h0570n78244.dat")), kOld);
    EXPECT_EQ(readWholeFile(at("o9835h0570n78244.dat")), encodeNoteFile(kAccented));
}

// A saver killed with SIGKILL at any moment leaves the note's last or previous version, whole.
TEST_F(NoteFile, KilledSaverNeverLosesOrTearsTheNote)
{
    const QList<QByteArray> versions = {encodeNoteFile(fixtures::savedVersion(0)),
                                        encodeNoteFile(fixtures::savedVersion(1))};
    QRandomGenerator rng(7919);
    for (int run = 0; run < 200; ++run) {
        SCOPED_TRACE(run);
        QProcess saver;
        saver.start(NOTE_SAVER_PATH, {folder});
        ASSERT_TRUE(saver.waitForReadyRead(10000));
        QThread::usleep(rng.bounded(4000));
        saver.kill();
        ASSERT_TRUE(saver.waitForFinished(10000));
        ASSERT_EQ(saver.exitStatus(), QProcess::CrashExit) << "the saver stopped by itself";
        const QStringList notes = files();
        ASSERT_TRUE(notes.size() == 1 || notes.size() == 2) << notes.size() << " notes";
        for (const QString &name : notes)
            ASSERT_TRUE(versions.contains(readWholeFile(at(name)))) << name.toStdString();
        // Killed between writing the new file and removing the old: the next saver goes on
        // from the newer one, as a reopened note would.
        ASSERT_TRUE(notes.size() == 1 || QFile::remove(at(notes.first())));
    }
}
