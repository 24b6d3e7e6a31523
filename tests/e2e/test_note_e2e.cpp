// The real Kalvo in a temporary program folder, as the launcher's list would start it.

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include "common/atomicfile.h"
#include "common/notefile.h"
#include "common/notename.h"
#include "platform/windowregistry.h"

namespace promemo {
namespace {

using namespace std::chrono_literals;

const QString kNote = QStringLiteral("n9835h0000n00001.dat");
const NoteContent kContent{QStringLiteral("Spesa: pane, latte e caffè"), QStringLiteral("05/12/2026"),
                           {}, QStringLiteral("05/12/2026 10.00")};

template <typename Condition>
bool waitFor(Condition condition, std::chrono::milliseconds bound = 10s)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > bound.count())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(5);
    }
    return true;
}

class NoteProgram : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
        ASSERT_TRUE(QFile::copy(QStringLiteral(KALVO_PATH), folder.filePath(QStringLiteral("Kalvo"))));
        ASSERT_TRUE(writeNoteFile(folder.filePath(kNote), kContent));
    }

    void TearDown() override
    {
        if (kalvo.state() != QProcess::NotRunning) {
            kalvo.kill();
            kalvo.waitForFinished(5000);
        }
    }

    void start(const QString &argument)
    {
        kalvo.setProgram(folder.filePath(QStringLiteral("Kalvo")));
        kalvo.setArguments({argument});
        kalvo.setWorkingDirectory(folder.path());
        kalvo.start();
        ASSERT_TRUE(kalvo.waitForStarted(5000));
    }

    bool ends() { return waitFor([this] { return kalvo.state() == QProcess::NotRunning; }); }

    QStringList files() const { return QDir(folder.path()).entryList({QStringLiteral("*.dat")}, QDir::Files); }

    QTemporaryDir runtime;
    QTemporaryDir folder;
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
    for (const QString &argument : {QStringLiteral("altro.dat"), QStringLiteral("../") + kNote}) {
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
    ASSERT_TRUE(waitFor([&] { return registry.exists(QStringLiteral("PromemoX")); }));

    // The file read is gone; the save wrote the same note under a new stamp, not archived.
    ASSERT_TRUE(waitFor([&] { return !files().contains(kNote); }));
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
    EXPECT_TRUE(registry.postClose(QStringLiteral("PromemoX")));
    ASSERT_TRUE(ends());
    EXPECT_EQ(kalvo.exitCode(), 0);
    EXPECT_EQ(files(), saved);
}

} // namespace
} // namespace promemo
