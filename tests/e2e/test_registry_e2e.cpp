// The launcher and the watcher as real programs around the window registry: a watcher killed or
// frozen is ended and replaced, and the one that follows starts the due note; a registry folder
// that must be refused is said on screen.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

#include "common/daynumber.h"
#include "common/notefile.h"
#include "platform/windowregistry.h"
#include "tests/support/programfolder.h"
#include "tests/support/xsession.h"
#include "tests/support/registryrequests.h"

namespace promemo {
namespace {

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

const QString kWatcher = u"NotinoControl"_s;

class RegistryPrograms : public ::testing::Test
{
protected:
    void SetUp() override
    {
        folder.installSuite({{u"Notino"_s, u"" NOTINO_PATH ""_s}, {u"Vigilo"_s, u"" VIGILO_PATH ""_s},
                             {u"Kalvo"_s, u"" KALVO_PATH ""_s}},
                            "[Opzioni]\r\nshowelenco=4\r\n");
    }

    // The one watcher running, once it answers; 0 when there is none within `bound`.
    qint64 answeringWatcher(WindowRegistry &registry, qint64 other = 0,
                            std::chrono::milliseconds bound = 25s)
    {
        qint64 pid = 0;
        test::waitFor([&] {
            const QList<qint64> watchers = folder.running(u"Vigilo"_s);
            pid = watchers.size() == 1 && watchers.front() != other ? watchers.front() : 0;
            return pid != 0 && test::exists(registry, kWatcher);
        }, bound);
        return pid;
    }
    QStringList notes() const { return folder.files(u"?*.dat"_s); }

    void TearDown() override
    {
        folder.killAll();
        // The faked clock's shared memory outlives the processes that made it.
        for (const qint64 pid : clockOwners) {
            QFile::remove(u"/dev/shm/faketime_shm_%1"_s.arg(pid));
            QFile::remove(u"/dev/shm/sem.faketime_sem_%1"_s.arg(pid));
        }
    }

    test::TemporaryProgramFolder folder;
    QList<qint64> clockOwners;
};

TEST_F(RegistryPrograms, TheLauncherReplacesAWatcherKilledOrFrozenAndClosesAllAtExit)
{
    if (!QFile::exists(test::kFakeTime))
        GTEST_SKIP() << "libfaketime is not installed";
    // Every process starts its clock at 10.00. One note is of tomorrow without alert, shown by
    // hand; the other, with its alert at 09.59, is put away once the first watcher has looked.
    const QDate day(2031, 3, 20);
    const QString due = u"o%1h0599n36000.dat"_s.arg(dayNumber(day));
    const QString other = u"o%1a0000n36000.dat"_s.arg(dayNumber(day) + 1);
    ASSERT_TRUE(writeNoteFile(folder.filePath(other), {u"Pane"_s, u"21/03/2031"_s, {}, u"19/03/2031 18.00"_s}));
    const QProcessEnvironment clock = test::fakeTimeAt(u"@2031-03-20 10:00:00"_s);
    QProcess notino, otherNote;
    folder.start(notino, u"Notino"_s, {}, clock);
    WindowRegistry registry(folder.path());
    const qint64 first = answeringWatcher(registry);
    ASSERT_NE(first, 0);
    folder.start(otherNote, u"Kalvo"_s, {other}, clock);
    clockOwners << notino.processId() << otherNote.processId();
    ASSERT_TRUE(writeNoteFile(folder.filePath(due), {u"Chiamare Anna"_s, u"20/03/2031"_s, u"09.59"_s,
                                                     u"19/03/2031 18.00"_s}));

    // Killed: replaced within 10 seconds, and the new one starts the past-due note at once and
    // ends. The note fires; its file stays, shown, while it runs.
    ::kill(pid_t(first), SIGKILL);
    ASSERT_TRUE(test::waitFor([&] { return folder.running(u"Kalvo"_s).size() == 2; }, 25s))
        << "the killed watcher was not replaced";
    EXPECT_TRUE(test::waitFor([&] { return !notes().contains(due); }, 3s));
    const QString shownOther = u'n' + other.mid(1);
    ASSERT_EQ(notes(), (QStringList{u'n' + due.mid(1), shownOther}));

    // Frozen: its socket still accepts, but nobody answers. The watcher after the one that
    // started the note waits with nothing to start; frozen, it is ended and replaced.
    const qint64 idle = answeringWatcher(registry, first);
    ASSERT_NE(idle, 0) << "no watcher after the one that started the note";
    ::kill(pid_t(idle), SIGSTOP);
    const qint64 third = answeringWatcher(registry, idle);
    ASSERT_NE(third, 0) << "the frozen watcher was not replaced"; // and is gone: one runs
    EXPECT_TRUE(notino.readAllStandardError().contains(
        u"the watcher (process %1) does not answer and was ended"_s.arg(idle).toUtf8()));

    // Exit, as from the menu: the notes and the watcher go; the fired note's file goes with it,
    // the other shown note's file stays.
    ASSERT_TRUE(test::postClose(registry, u"NotinoTray"_s));
    ASSERT_TRUE(notino.waitForFinished(10000));
    EXPECT_EQ(notino.exitCode(), 0);
    EXPECT_TRUE(test::waitFor([&] { return folder.running().isEmpty(); }, 5s));
    EXPECT_EQ(notes(), QStringList{shownOther});
}

// A watcher that ends after starting its note is not a watcher that hangs: over the launch of a
// due note and the launcher's next looks, no watcher is said not to answer, and the one that
// started the note ends by itself, not by a kill.
TEST_F(RegistryPrograms, AWatcherThatEndsAfterItsLaunchIsNotKilled)
{
    if (!QFile::exists(test::kFakeTime))
        GTEST_SKIP() << "libfaketime is not installed";
    // The alert, 10.00, comes five seconds after the start: the watcher waits for it. Its ticks
    // and the launcher's looks, both every 10 seconds from about the same moment, meet.
    const QDate day(2031, 3, 20);
    const QString due = u"o%1h0600n36000.dat"_s.arg(dayNumber(day));
    ASSERT_TRUE(writeNoteFile(folder.filePath(due), {u"Chiamare Anna"_s, u"20/03/2031"_s, u"10.00"_s,
                                                     u"19/03/2031 18.00"_s}));
    QProcessEnvironment clock = test::fakeTimeAt(u"@2031-03-20 09:59:55"_s);
    clock.insert(u"FAKETIME_DONT_RESET"_s, u"1"_s);
    // The watcher of an earlier launcher, a child of the test so that its end can be seen; the
    // launcher's own copy finds it running and ends at once.
    QProcess watcher, notino;
    folder.start(watcher, u"Vigilo"_s, {}, clock);
    WindowRegistry registry(folder.path());
    ASSERT_TRUE(test::waitFor([&] { return test::exists(registry, kWatcher); }, 10s));
    folder.start(notino, u"Notino"_s, {}, clock);
    clockOwners << watcher.processId() << notino.processId();

    // Its first tick, 10 seconds on, starts the note and ends it; the launcher's look then
    // finds no watcher and starts a fresh one.
    ASSERT_TRUE(watcher.waitForFinished(25000)) << "the watcher did not end";
    EXPECT_EQ(watcher.exitStatus(), QProcess::NormalExit)
        << "the watcher was killed: " << watcher.readAllStandardError().left(2000).toStdString();
    EXPECT_TRUE(test::waitFor([&] { return folder.running(u"Kalvo"_s).size() == 1; }, 5s));
    EXPECT_NE(answeringWatcher(registry, watcher.processId()), 0) << "no new watcher";

    ASSERT_TRUE(test::postClose(registry, u"NotinoTray"_s));
    ASSERT_TRUE(notino.waitForFinished(10000));
    const QByteArray messages = notino.readAllStandardError();
    EXPECT_FALSE(messages.contains("does not answer")) << messages.left(2000).toStdString();
}

// Another user's folder where the registry must be: the launcher says so on screen and starts
// nothing.
TEST_F(RegistryPrograms, ARefusedRegistryFolderIsSaidOnScreen)
{
    if (const QString tool = test::XSession::missingTool(); !tool.isEmpty())
        GTEST_SKIP() << tool.toStdString() << " is not installed";
    QTemporaryDir home;
    const QByteArray taken = QFile::encodeName(home.filePath(u".cache/promemo"_s));
    ASSERT_TRUE(QDir(home.path()).mkpath(u".cache/promemo"_s));
    // Another user's where that can be made (root), else one open to others.
    const int made = ::geteuid() == 0 ? ::chown(taken.constData(), 65534, 65534)
                                      : ::chmod(taken.constData(), 0777);
    ASSERT_EQ(made, 0);
    test::XSession x;
    ASSERT_TRUE(x.start({1024, 768})) << "Xvfb does not start";

    QProcess notino;
    // Without a runtime folder the registry is in the home.
    QProcessEnvironment environment = x.environment();
    environment.insert(u"XDG_RUNTIME_DIR"_s, {});
    environment.insert(u"HOME"_s, home.path());
    folder.start(notino, u"Notino"_s, {}, environment);
    QString box;
    EXPECT_TRUE(test::waitFor([&] { return !(box = x.windows(u"^   Promemo$"_s).value(0)).isEmpty(); }, 15s))
        << "no message box";
    // The box waits for the user; nothing else has started.
    EXPECT_EQ(notino.state(), QProcess::Running);
    EXPECT_TRUE(folder.running(u"Vigilo"_s).isEmpty());
    ASSERT_TRUE(x.focus(box));
    x.key(u"Return"_s);
    EXPECT_TRUE(notino.waitForFinished(10000));
    EXPECT_EQ(notino.exitCode(), 1);
    EXPECT_TRUE(notino.readAllStandardError().contains("refused"));
}

} // namespace
} // namespace promemo
