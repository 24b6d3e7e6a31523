// The real Kalvo in a temporary program folder, as the launcher's list would start it.

#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include "common/atomicfile.h"
#include "common/notefile.h"
#include "common/notename.h"
#include "platform/windowregistry.h"
#include "tests/support/programfolder.h"
#include "tests/support/registryrequests.h"

namespace promemo {
namespace {

using namespace std::chrono_literals;

const QString kNote = QStringLiteral("n9835h0000n00001.dat");
const NoteContent kContent{QStringLiteral("Spesa: pane, latte e caffè"), QStringLiteral("05/12/2026"),
                           {}, QStringLiteral("05/12/2026 10.00")};

class NoteProgram : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.install(QStringLiteral("Kalvo"), QStringLiteral(KALVO_PATH)));
        ASSERT_TRUE(writeNoteFile(folder.filePath(kNote), kContent));
    }

    void start(const QString &argument) { folder.start(kalvo, QStringLiteral("Kalvo"), {argument}); }
    bool ends() { return test::waitFor([this] { return kalvo.state() == QProcess::NotRunning; }); }
    QStringList files() const { return folder.files(); }

    test::TemporaryProgramFolder folder;
    QProcess kalvo;
};

TEST_F(NoteProgram, EndsSilentlyWithoutTheLauncherOrWithAnArgumentThatIsNoNoteName)
{
    start(kNote);
    ASSERT_TRUE(ends());
    EXPECT_EQ(files(), QStringList{kNote});

    WindowRegistry registry(folder.path());
    const auto tray = registry.registerWindow(QStringLiteral("NotinoTray"));
    ASSERT_TRUE(tray);
    ASSERT_TRUE(QFile::copy(folder.filePath(kNote), folder.filePath(QStringLiteral("altro.dat"))));
    for (const QString &argument : {QStringLiteral("altro.dat"), QStringLiteral("../") + kNote,
                                    folder.filePath(kNote), QString(kNote).replace(u'1', u'2')}) {
        start(argument);
        ASSERT_TRUE(ends()) << argument.toStdString();
        EXPECT_EQ(files().size(), 2) << argument.toStdString();
    }
}

TEST_F(NoteProgram, ReopensSavesWithoutArchivingAndLeavesItsLastFileWhenClosedFromOutside)
{
    WindowRegistry registry(folder.path());
    const auto tray = registry.registerWindow(QStringLiteral("NotinoTray"));
    ASSERT_TRUE(tray);
    start(kNote);
    ASSERT_TRUE(test::waitFor([&] { return test::exists(registry, QStringLiteral("PromemoX")); }));

    // The file read is gone; the save wrote the same note under a new stamp, not archived.
    ASSERT_TRUE(test::waitFor([&] { return !files().contains(kNote); }));
    const QStringList saved = files();
    ASSERT_EQ(saved.size(), 1) << saved.join(u' ').toStdString();
    const auto name = decodeNoteName(saved.front());
    ASSERT_TRUE(name);
    EXPECT_EQ(name->state, NoteState::Shown);
    EXPECT_EQ(name->day, 9835);
    EXPECT_EQ(name->colourLetter, 'h');
    EXPECT_EQ(name->alertMinutes, 0);
    EXPECT_EQ(name->sizeLetter, 'n');
    EXPECT_EQ(readNoteFile(folder.filePath(saved.front())), kContent);

    // The launcher ending closes every note: no save, the last file stays shown.
    EXPECT_TRUE(test::postClose(registry, QStringLiteral("PromemoX")));
    ASSERT_TRUE(ends());
    EXPECT_EQ(kalvo.exitCode(), 0);
    EXPECT_EQ(files(), saved);
}

} // namespace
} // namespace promemo
