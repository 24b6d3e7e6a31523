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

TEST(NoteFileFormat, AQuoteIsStoredAsAClosingQuoteAndAnEmptyFileIsAnEmptyNote)
{
    EXPECT_EQ(decodeNoteFile(encodeNoteFile(kAccented)).text, QString(kAccented.text).replace(u'"', u'”'));
    EXPECT_EQ(decodeNoteFile(""), NoteContent{});
}

NoteName shown(int stamp, char colour = 'h')
{
    return {NoteState::Shown, 9835, colour, 570, 'n', stamp};
}

TEST_F(NoteFile, SaveWritesTheSuccessorFirstAndNeverReplacesAnotherNotesFile)
{
    const NoteFiles notes{folder};
    HeldNoteFile held;
    ASSERT_TRUE(notes.save(shown(36000), kOld, held));
    ASSERT_TRUE(notes.save(shown(36060), kAccented, held));
    EXPECT_EQ(files(), QStringList{"n9835h0570n36060.dat"});
    EXPECT_EQ(held.name(), "n9835h0570n36060.dat");
    EXPECT_EQ(readWholeFile(at(held.name())), encodeNoteFile(kAccented));
    // The same note again within the same second: its own file holds the later version.
    ASSERT_TRUE(notes.save(shown(36060), kOld, held));
    EXPECT_EQ(files(), QStringList{"n9835h0570n36060.dat"});
    EXPECT_EQ(readNoteFile(at(held.name())), kOld);

    // Another note with equal codes saved in that second: it moves on to the next free stamp,
    // and neither note's later save touches the other's file.
    HeldNoteFile other;
    ASSERT_TRUE(writeNoteFile(at("n9835h0570n36061.dat"), kOld));
    ASSERT_TRUE(notes.save(shown(36060), kAccented, other));
    EXPECT_EQ(other.name(), "n9835h0570n36062.dat");
    ASSERT_TRUE(notes.save(shown(36100), kAccented, held));
    EXPECT_EQ(files(), (QStringList{"n9835h0570n36061.dat", "n9835h0570n36062.dat",
                                    "n9835h0570n36100.dat"}));
    // The last second of the day wraps to the first.
    ASSERT_TRUE(writeNoteFile(at("n9835h0570n86399.dat"), kOld));
    ASSERT_TRUE(notes.save(shown(86399), kOld, other));
    EXPECT_EQ(other.name(), "n9835h0570n00000.dat");

    // A write that cannot be made leaves the held file as it was.
    EXPECT_FALSE(NoteFiles{folder + "/gone"}.save(shown(36200), kOld, held));
    EXPECT_EQ(held.name(), "n9835h0570n36100.dat");
    EXPECT_TRUE(QFileInfo::exists(at(held.name())));
}

TEST_F(NoteFile, OpeningHoldsTheFileShownUntilItsSuccessorIsWritten)
{
    const NoteFiles notes{folder};
    ASSERT_TRUE(writeNoteFile(at("o9835h0570n78244.dat"), kAccented));
    ASSERT_TRUE(writeNoteFile(at("n9835h0570n78244.dat"), kOld)); // another note's shown name
    auto opened = notes.open("o9835h0570n78244.dat");
    ASSERT_TRUE(opened);
    EXPECT_EQ(encodeNoteFile(opened->content), encodeNoteFile(kAccented));
    EXPECT_EQ(opened->file.name(), "n9835h0570n78245.dat");
    EXPECT_EQ(files(), (QStringList{"n9835h0570n78244.dat", "n9835h0570n78245.dat"}));

    // Held: a second program does not open it, the launcher does not put it away.
    OpenFailure failure{};
    EXPECT_FALSE(notes.open(opened->file.name(), &failure));
    EXPECT_EQ(failure, OpenFailure::InUse);
    EXPECT_EQ(notes.putAwayAbandonedNotes(), 1);
    EXPECT_EQ(files(), (QStringList{"n9835h0570n78245.dat", "o9835h0570n78244.dat"}));

    ASSERT_TRUE(notes.save(shown(100), kAccented, opened->file));
    EXPECT_EQ(files(), (QStringList{"n9835h0570n00100.dat", "o9835h0570n78244.dat"}));
    // Put away beside a put-away note of the same name: the next free stamp.
    ASSERT_TRUE(writeNoteFile(at("o9835h0570n00100.dat"), kOld));
    ASSERT_TRUE(notes.putAway(opened->file));
    EXPECT_EQ(opened->file.name(), "o9835h0570n00101.dat");
    ASSERT_TRUE(notes.remove(opened->file));
    EXPECT_EQ(files(), (QStringList{"o9835h0570n00100.dat", "o9835h0570n78244.dat"}));

    EXPECT_FALSE(notes.open("o9835h0570n00999.dat", &failure));
    EXPECT_EQ(failure, OpenFailure::Missing);
    EXPECT_FALSE(notes.open("../o9835h0570n00100.dat", &failure));
    EXPECT_EQ(failure, OpenFailure::Missing);
}

TEST_F(NoteFile, ANoteFileTooLargeForANoteIsRefusedAndLeftAsItIs)
{
    const QByteArray huge = encodeNoteFile({QString(kMaxNoteFileBytes, u'x'), "05/12/2026", "", ""});
    ASSERT_TRUE(writeFileAtomically(at("o9835h0000n00001.dat"), huge));
    OpenFailure failure{};
    EXPECT_FALSE(NoteFiles{folder}.open("o9835h0000n00001.dat", &failure));
    EXPECT_EQ(failure, OpenFailure::TooLarge);
    EXPECT_EQ(files(), QStringList{"o9835h0000n00001.dat"});
    EXPECT_EQ(readWholeFile(at("o9835h0000n00001.dat")), huge);
}

TEST_F(NoteFile, OnlyTheSuitesOwnTemporariesOlderThanAMinuteAreRemoved)
{
    const QStringList names{".promemo-a1B2c3", "archivio.dat.Xy12Zq", "n9835h0570n78244.dat.abcdef",
                            "Notino.ini.lock", "archivio.dat", ".promemo-a1B2c", "foto.jpg.abcdef",
                            "note.txt", "o9835h0570n78244.dat"};
    for (const QString &name : names)
        ASSERT_TRUE(QFile(at(name)).open(QIODevice::WriteOnly));
    const auto all = [this] { return QDir(folder).entryList(QDir::Files | QDir::Hidden); };
    const QStringList before = all();
    // A write in progress is younger than a minute.
    EXPECT_EQ(removeStaleTemporaries(folder, std::chrono::seconds(60)), 0);
    EXPECT_EQ(all(), before);
    for (const QString &name : names) {
        QFile file(at(name));
        ASSERT_TRUE(file.open(QIODevice::ReadWrite) && file.setFileTime(QDateTime::currentDateTimeUtc().addSecs(-120),
                                     QFileDevice::FileModificationTime));
    }
    EXPECT_EQ(removeStaleTemporaries(folder, std::chrono::seconds(60)), 4);
    EXPECT_EQ(all(), (QStringList{".promemo-a1B2c", "archivio.dat", "foto.jpg.abcdef", "note.txt",
                                  "o9835h0570n78244.dat"}));
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
        ASSERT_TRUE(notes.size() == 1 || notes.size() == 2) << notes.join(u' ').toStdString();
        for (const QString &name : notes)
            ASSERT_TRUE(versions.contains(readWholeFile(at(name)))) << name.toStdString();
        // Killed between writing the new file and removing the old: the next saver goes on
        // from the newer one, as a reopened note would.
        ASSERT_TRUE(notes.size() == 1 || QFile::remove(at(notes.first())));
    }
}
