#include "common/notefile.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "common/atomicfile.h"
#include "savedversions.h"

using namespace promemo;

namespace {

QByteArray bytesOf(const QString &path)
{
    return readWholeFile(path);
}

QStringList noteFiles(const QString &folder)
{
    return QDir(folder).entryList({QStringLiteral("n*.dat"), QStringLiteral("o*.dat")},
                                  QDir::Files, QDir::Name);
}

const NoteContent kAccented{QString::fromUtf8("Caffè con \"Lucia\"\r\nalle 9, però è lì: 3 €"),
                            "05/12/2026", "09.30", "04/12/2026 21.44"};

} // namespace

TEST(NoteFile, EncodesFourQuotedFieldsAndReadsThemBack)
{
    struct Case
    {
        const char *name;
        NoteContent note;
        QByteArray bytes;
        NoteContent readBack;
    };
    const QList<Case> cases = {
        {"accented text, CR LF and a typed quote", kAccented,
         "\"Caff\xe8 con \x94Lucia\x94\r\nalle 9, per\xf2 \xe8 l\xec: 3 \x80\",\"05/12/2026\","
         "\"09.30\",\"04/12/2026 21.44\"\r\n",
         {QString::fromUtf8("Caffè con ”Lucia”\r\nalle 9, però è lì: 3 €"), "05/12/2026", "09.30",
          "04/12/2026 21.44"}},
        {"no alert", {"spesa", "01/03/2031", "", "28/02/2031 08.05"},
         "\"spesa\",\"01/03/2031\",\"\",\"28/02/2031 08.05\"\r\n",
         {"spesa", "01/03/2031", "", "28/02/2031 08.05"}},
        {"empty note", {}, "\"\",\"\",\"\",\"\"\r\n", {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QByteArray bytes = encodeNoteFile(c.note);
        EXPECT_EQ(bytes, c.bytes);
        EXPECT_EQ(decodeNoteFile(bytes), c.readBack);
        EXPECT_EQ(encodeNoteFile(decodeNoteFile(bytes)), bytes);
    }
}

TEST(NoteFile, MalformedContentReadsWhatIsThere)
{
    struct Case
    {
        const char *name;
        QByteArray bytes;
        NoteContent expected;
    };
    const QList<Case> cases = {
        {"empty file", "", {}},
        {"two fields only", "\"testo\",\"05/12/2026\"\r\n", {"testo", "05/12/2026", "", ""}},
        {"unterminated text", "\"testo\r\nsenza fine", {"testo\r\nsenza fine", "", "", ""}},
        {"old file with a stray quote", "\"di \"no\" grazie\",\"05/12/2026\",\"\",\"x\"\r\n",
         {"di ", "05/12/2026", "", "x"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(decodeNoteFile(c.bytes), c.expected);
    }
}

TEST(NoteFile, ReplaceWritesTheNewFileAndThenRemovesThePrevious)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString folder = dir.path();
    const NoteContent first{"uno", "05/12/2026", "", "05/12/2026 10.00"};

    ASSERT_TRUE(replaceNoteFile(folder, QString(), "n9835h0000n36000.dat", first));
    EXPECT_EQ(noteFiles(folder), QStringList{"n9835h0000n36000.dat"});

    // A later save under a new name.
    ASSERT_TRUE(replaceNoteFile(folder, "n9835h0000n36000.dat", "n9835h0570n36060.dat", kAccented));
    EXPECT_EQ(noteFiles(folder), QStringList{"n9835h0570n36060.dat"});
    EXPECT_EQ(bytesOf(dir.filePath("n9835h0570n36060.dat")), encodeNoteFile(kAccented));

    // The same name within the same second: the one file holds the later version.
    ASSERT_TRUE(replaceNoteFile(folder, "n9835h0570n36060.dat", "n9835h0570n36060.dat", first));
    EXPECT_EQ(noteFiles(folder), QStringList{"n9835h0570n36060.dat"});
    EXPECT_EQ(readNoteFile(dir.filePath("n9835h0570n36060.dat")), first);

    // A note opened after its alert passed has no file of its own.
    ASSERT_TRUE(replaceNoteFile(folder, "nessuno", "n9835h0000n36100.dat", first));
    EXPECT_EQ(noteFiles(folder).size(), 2);
}

TEST(NoteFile, FailedWriteReportsAndKeepsThePreviousFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString folder = dir.path();
    const QString previous = "n9835h0000n36000.dat";
    const NoteContent old{"vecchia", "05/12/2026", "", "05/12/2026 10.00"};
    ASSERT_TRUE(writeNoteFile(dir.filePath(previous), old));
    const QByteArray oldBytes = bytesOf(dir.filePath(previous));

    // A folder in the way of the new name makes the write fail even for root.
    const QString blocked = "n9835h0000n36001.dat";
    ASSERT_TRUE(QDir(folder).mkdir(blocked));
    EXPECT_FALSE(replaceNoteFile(folder, previous, blocked, kAccented));
    EXPECT_EQ(bytesOf(dir.filePath(previous)), oldBytes);

    EXPECT_FALSE(replaceNoteFile(dir.filePath("assente"), previous, "n9835h0000n36002.dat", old));
    EXPECT_FALSE(replaceNoteFile(folder, previous, "../n9835h0000n36002.dat", old));
    EXPECT_FALSE(replaceNoteFile(folder, previous, "\\n9835h0000n36002.dat", old));
    EXPECT_FALSE(replaceNoteFile(folder, previous, "", old));
    EXPECT_EQ(bytesOf(dir.filePath(previous)), oldBytes);

    // A previous name that is a folder is not removed.
    EXPECT_TRUE(replaceNoteFile(folder, blocked, "n9835h0000n36003.dat", old));
    EXPECT_TRUE(QFileInfo(dir.filePath(blocked)).isDir());
}

TEST(NoteFile, PutAwayRenamesTheStateLetterOnly)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString folder = dir.path();
    ASSERT_TRUE(writeNoteFile(dir.filePath("n9835h0570n78244.dat"), kAccented));
    const QByteArray bytes = bytesOf(dir.filePath("n9835h0570n78244.dat"));

    EXPECT_EQ(putAwayName("n9835h0570n78244.dat"), "o9835h0570n78244.dat");
    EXPECT_EQ(putAwayName("o9835h0570n78244.dat"), QString());
    EXPECT_EQ(putAwayName("nessuno/x"), QString());

    ASSERT_TRUE(putNoteAway(folder, "n9835h0570n78244.dat"));
    EXPECT_EQ(noteFiles(folder), QStringList{"o9835h0570n78244.dat"});
    EXPECT_EQ(bytesOf(dir.filePath("o9835h0570n78244.dat")), bytes);
    EXPECT_TRUE(putNoteAway(folder, "o9835h0570n78244.dat"));

    EXPECT_FALSE(putNoteAway(folder, "nessuno"));
    EXPECT_FALSE(putNoteAway(folder, QString()));

    // Another note already bears the put-away name: neither file is touched.
    const NoteContent other{"altra", "05/12/2026", "", "05/12/2026 10.00"};
    ASSERT_TRUE(writeNoteFile(dir.filePath("n9835h0570n78244.dat"), other));
    EXPECT_FALSE(putNoteAway(folder, "n9835h0570n78244.dat"));
    EXPECT_EQ(readNoteFile(dir.filePath("n9835h0570n78244.dat")), other);
    EXPECT_EQ(bytesOf(dir.filePath("o9835h0570n78244.dat")), bytes);
}

// A saver killed at any moment leaves the note's last or previous version, whole.
TEST(NoteFile, KilledSaverNeverLosesOrTearsTheNote)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString folder = dir.path();
    const QByteArray versions[] = {encodeNoteFile(fixtures::savedVersion(0)),
                                   encodeNoteFile(fixtures::savedVersion(1))};
    ASSERT_TRUE(writeNoteFile(dir.filePath(fixtures::savedName(0)), fixtures::savedVersion(0)));

    QRandomGenerator rng(7919);
    for (int run = 0; run < 200; ++run) {
        QProcess saver;
        saver.start(QStringLiteral(NOTE_SAVER_PATH), {folder});
        ASSERT_TRUE(saver.waitForStarted(10000));
        ASSERT_TRUE(saver.waitForReadyRead(10000)) << "run " << run;
        std::this_thread::sleep_for(std::chrono::microseconds(rng.bounded(4000)));
        saver.kill();
        ASSERT_TRUE(saver.waitForFinished(10000));
        ASSERT_EQ(saver.exitStatus(), QProcess::CrashExit) << "the saver stopped by itself";

        QStringList notes = noteFiles(folder);
        ASSERT_GE(notes.size(), 1) << "run " << run << ": the note is lost";
        ASSERT_LE(notes.size(), 2) << "run " << run;
        for (const QString &name : notes) {
            const QByteArray bytes = bytesOf(dir.filePath(name));
            ASSERT_TRUE(bytes == versions[0] || bytes == versions[1])
                << "run " << run << ": " << name.toStdString() << " holds " << bytes.size()
                << " bytes";
        }
        // Killed between writing the new file and removing the old: the next saver goes on
        // from the newer one, as a reopened note would.
        if (notes.size() == 2) {
            ASSERT_TRUE(QFile::remove(dir.filePath(notes.takeFirst())));
        }
    }
}
