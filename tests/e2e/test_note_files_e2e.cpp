// The real Kalvo with the launcher's tray entry held by a helper process: what a note program
// does to note files when two start at once, when it is killed while starting and when the
// launcher is not there.

#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QThread>

#include <gtest/gtest.h>

#include "common/notefile.h"
#include "common/notename.h"
#include "platform/windowregistry.h"
#include "tests/support/programfolder.h"
#include "tests/support/registryrequests.h"
#include "tests/support/xsession.h"

namespace promemo {
namespace {

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

NoteContent content(const QString &text)
{
    return {text, u"07/12/2026"_s, {}, u"06/12/2026 18.00"_s};
}

class NoteFilesProgram : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.install(u"Kalvo"_s, u"" KALVO_PATH ""_s));
        tray.start(u"" REGISTRY_PEER_PATH ""_s, {u"window"_s, folder.path(), u"NotinoTray"_s});
        ASSERT_TRUE(tray.waitForReadyRead(5000));
    }
    void TearDown() override
    {
        folder.killAll();
        tray.kill();
        tray.waitForFinished(3000);
    }

    // Every note file's text, by name.
    QMap<QString, QString> notes() const
    {
        QMap<QString, QString> texts;
        for (const QString &name : folder.files(u"?*.dat"_s))
            texts[name] = readNoteFile(folder.filePath(name)).value_or(NoteContent{}).text;
        return texts;
    }

    test::TemporaryProgramFolder folder;
    QProcess tray;
};

// Two different notes with equal codes, reopened in the same second: each keeps a file.
TEST_F(NoteFilesProgram, TwoNotesSavedInTheSameSecondKeepTwoFiles)
{
    if (!QFile::exists(test::kFakeTime))
        GTEST_SKIP() << "libfaketime is not installed";
    const QString first = u"o9837h0000n00100.dat"_s;
    const QString second = u"o9837h0000n00200.dat"_s;
    ASSERT_TRUE(writeNoteFile(folder.filePath(first), content(u"Primo"_s)));
    ASSERT_TRUE(writeNoteFile(folder.filePath(second), content(u"Secondo"_s)));

    // Each clock starts at 10.00.00: both first saves, made within a second, get one stamp.
    const QProcessEnvironment environment = test::fakeTimeAt(u"@2026-12-07 10:00:00"_s);
    QProcess one, two;
    folder.start(one, u"Kalvo"_s, {first}, environment);
    folder.start(two, u"Kalvo"_s, {second}, environment);
    const auto saved = [this] {
        const QStringList names = notes().keys();
        return names.size() == 2 && names.filter(u"n9837h0000n3600"_s).size() == 2;
    };
    ASSERT_TRUE(test::waitFor(saved)) << notes().keys().join(u' ').toStdString();

    // Closed from outside, each unchanged note leaves its own file.
    WindowRegistry registry(folder.path());
    EXPECT_TRUE(test::closeAllAndWait(registry, u"PromemoX"_s, 5s));
    EXPECT_TRUE(test::waitFor([&] {
        return one.state() == QProcess::NotRunning && two.state() == QProcess::NotRunning;
    }));
    QStringList texts = notes().values();
    texts.sort();
    EXPECT_EQ(texts, (QStringList{u"Primo"_s, u"Secondo"_s})) << notes().keys().join(u' ').toStdString();
}

// Killed at any moment of its start, a reopened note is still on disk, whole.
TEST_F(NoteFilesProgram, AReopenedNoteKilledAtAnyMomentIsStillOnDisk)
{
    const NoteContent note = content(u"Non perdermi"_s);
    QRandomGenerator random(20261207);
    for (int run = 0; run < 200; ++run) {
        SCOPED_TRACE(run);
        for (const QString &name : folder.files(u"?*.dat"_s))
            QFile::remove(folder.filePath(name));
        ASSERT_TRUE(writeNoteFile(folder.filePath(u"o9837h0000n00100.dat"_s), note));
        QProcess kalvo;
        folder.start(kalvo, u"Kalvo"_s, {u"o9837h0000n00100.dat"_s});
        QThread::usleep(random.bounded(40'000));
        kalvo.kill();
        ASSERT_TRUE(kalvo.waitForFinished(5000));
        const QMap<QString, QString> left = notes();
        ASSERT_FALSE(left.isEmpty()) << "the note is lost";
        for (const QString &text : left)
            ASSERT_EQ(text, note.text) << left.keys().join(u' ').toStdString();
    }
}

// Started without the launcher, in a folder of its own, a note ends and leaves its file alone.
TEST(NoteProgram, EndsWithoutTheLauncherLeavingItsFile)
{
    test::TemporaryProgramFolder alone;
    ASSERT_TRUE(alone.install(u"Kalvo"_s, u"" KALVO_PATH ""_s));
    const QString name = u"o9835h0000n00001.dat"_s;
    ASSERT_TRUE(writeNoteFile(alone.filePath(name), content(u"Spesa"_s)));
    QProcess kalvo;
    alone.start(kalvo, u"Kalvo"_s, {name});
    EXPECT_TRUE(kalvo.waitForFinished(10000));
    EXPECT_EQ(alone.files(), QStringList{name});
    EXPECT_EQ(readNoteFile(alone.filePath(name)), content(u"Spesa"_s));
}

} // namespace
} // namespace promemo
