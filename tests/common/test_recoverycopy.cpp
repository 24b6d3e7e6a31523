#include "common/recoverycopy.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "common/archive.h"
#include "common/atomicfile.h"

using namespace promemo;

namespace {

const NoteContent kTyped{QString::fromUtf8("Comprare il pane\r\ne il caffè"), "05/12/2026", "09.30",
                         "05/12/2026 08.41"};
const NoteName kName{NoteState::Shown, 9835, 'h', 570, 'n', 31260};

class Recovery : public ::testing::Test
{
protected:
    QStringList notes() const { return QDir(dir.path()).entryList({"?*[0-9].dat"}, QDir::Files, QDir::Name); }
    QStringList copies() const { return QDir(dir.filePath(".recupero")).entryList({"*.rec"}, QDir::Files); }
    // A copy whose note program is gone: written, then let go.
    void abandonedCopy(const QString &currentFile, const NoteContent &content = kTyped)
    {
        RecoveryCopy copy(dir.path());
        ASSERT_TRUE(copy.write({content, kName, currentFile}));
    }
    QString text(const QString &name) const { return readNoteFile(dir.filePath(name)).value_or(NoteContent{}).text; }
    int archived() const { return readArchiveFile(dir.filePath("archivio.dat")).records.size(); }

    const QTemporaryDir dir;
};

} // namespace

TEST(RecoveryCopyFormat, RoundTripsAndACopyCutShortAnywhereIsDamaged)
{
    const RecoveredNote note{kTyped, kName, "n9835h0570n30000.dat"};
    const QByteArray bytes = encodeRecoveryCopy(note);
    EXPECT_EQ(decodeRecoveryCopy(bytes), note);
    for (qsizetype cut = 0; cut < bytes.size() - 2; ++cut)
        EXPECT_FALSE(decodeRecoveryCopy(bytes.left(cut))) << cut;
    EXPECT_FALSE(decodeRecoveryCopy(bytes + "\"altro\"\r\n"));
    EXPECT_FALSE(decodeRecoveryCopy(QByteArray(bytes).replace("n9835h0570n31260", "x9835h0570n31260")));
}

// A copy of a note that had no file becomes a put-away note, archived; one of a note with a file
// replaces that file. A copy held by a running note is left alone.
TEST_F(Recovery, ACopyBecomesItsNoteOnceAndALiveNotesCopyStays)
{
    abandonedCopy({});
    RecoveryCopy live(dir.path());
    ASSERT_TRUE(live.write({{"ancora aperto", "05/12/2026", "", "05/12/2026 08.00"}, kName, {}}));

    const RecoveryOutcome outcome = recoverAbandonedNotes(dir.path());
    EXPECT_EQ(std::tuple(outcome.recovered, outcome.dropped, outcome.damaged), std::tuple(1, 0, 0));
    EXPECT_EQ(notes(), QStringList{"o9835h0570n31260.dat"});
    EXPECT_EQ(text(notes().front()), kTyped.text);
    EXPECT_EQ(std::pair(archived(), copies().size()), std::pair(1, qsizetype(1)));
    EXPECT_EQ(recoverAbandonedNotes(dir.path()).recovered, 0);

    live.remove();
    EXPECT_TRUE(copies().isEmpty());
}

TEST_F(Recovery, ACopyReplacesItsNotesOlderFileAndLosesToANewerOne)
{
    ASSERT_TRUE(writeNoteFile(dir.filePath("n9835h0570n30000.dat"), {"vecchio", "05/12/2026", "09.30", {}}));
    abandonedCopy("n9835h0570n30000.dat");
    recoverAbandonedNotes(dir.path());
    EXPECT_EQ(notes(), QStringList{"o9835h0570n31260.dat"});
    EXPECT_EQ(text(notes().front()), kTyped.text);

    // Saved after the copy was made: the file wins. Saved under another name since, or
    // deleted: the copy is older than what the note became.
    const QString saved = "o9835h0570n31300.dat";
    QFile::rename(dir.filePath(notes().front()), dir.filePath(saved));
    abandonedCopy(saved, {"prima del salvataggio", "05/12/2026", "09.30", {}});
    QFile file(dir.filePath(saved));
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    file.setFileTime(QDateTime::currentDateTime().addSecs(60), QFileDevice::FileModificationTime);
    abandonedCopy("n9835h0570n29000.dat", {"di una nota salvata poi", "05/12/2026", "09.30", {}});
    const RecoveryOutcome outcome = recoverAbandonedNotes(dir.path());
    EXPECT_EQ(std::pair(outcome.recovered, outcome.dropped), std::pair(0, 2));
    EXPECT_EQ(notes(), QStringList{saved});
    EXPECT_EQ(text(saved), kTyped.text);
    EXPECT_TRUE(copies().isEmpty());
}

// Cut off after the note was written and before the copy went: run again, no second note.
// A damaged copy is skipped and never hides the note's own file.
TEST_F(Recovery, AnInterruptedRecoveryMakesNoSecondNoteAndADamagedCopyIsSkipped)
{
    ASSERT_TRUE(writeNoteFile(dir.filePath("n9835h0570n30000.dat"), {"vecchio", "05/12/2026", "09.30", {}}));
    abandonedCopy("n9835h0570n30000.dat");
    const QString copy = dir.filePath(".recupero/" + copies().front());
    const QByteArray bytes = readWholeFile(copy);
    ASSERT_TRUE(NoteFiles{dir.path()}.create({NoteState::PutAway, 9835, 'h', 570, 'n', 31260}, kTyped));
    EXPECT_EQ(recoverAbandonedNotes(dir.path()).recovered, 1);
    EXPECT_EQ(notes(), QStringList{"o9835h0570n31260.dat"});

    ASSERT_TRUE(writeFileAtomically(copy, bytes.left(bytes.size() / 2)));
    ASSERT_TRUE(writeNoteFile(dir.filePath("n9835h0570n30000.dat"), {"vecchio", "05/12/2026", "09.30", {}}));
    EXPECT_EQ(recoverAbandonedNotes(dir.path()).damaged, 1);
    EXPECT_EQ(notes(), (QStringList{"n9835h0570n30000.dat", "o9835h0570n31260.dat"}));
    EXPECT_EQ(copies().size(), 1);
}
