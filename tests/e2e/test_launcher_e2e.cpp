// The real Notino, Vigilo and Kalvo together in a temporary program folder, on a pinned day and
// time (libfaketime), with a private registry.

#include <csignal>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include "common/daynumber.h"
#include "common/notefile.h"
#include "platform/windowregistry.h"

namespace promemo {
namespace {

using namespace std::chrono_literals;

const QString kFakeTimeLibrary = QStringLiteral("/usr/lib/x86_64-linux-gnu/faketime/libfaketimeMT.so.1");
// Every process starts its clock at this moment: the note's alert, 09.59, has passed.
const QDate kDay(2031, 3, 20);
const QString kNote = QStringLiteral("o%1h0599n36000.dat").arg(dayNumber(kDay));
// A note of tomorrow without alert, shown by hand.
const QString kOtherNote = QStringLiteral("o%1a0000n36000.dat").arg(dayNumber(kDay) + 1);

template <typename Condition>
bool waitFor(Condition condition, std::chrono::milliseconds bound)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > bound.count())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(20);
    }
    return true;
}

class LauncherProgram : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!QFile::exists(kFakeTimeLibrary))
            GTEST_SKIP() << "libfaketime is not installed";
        QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
        for (const auto &[name, path] : {std::pair{"Notino", NOTINO_PATH}, {"Vigilo", VIGILO_PATH},
                                         {"Kalvo", KALVO_PATH}})
            ASSERT_TRUE(QFile::copy(QString::fromUtf8(path), folder.filePath(QLatin1String(name))));
        // Checked at start, not run here.
        for (const char *name : {"Kundo", "Kespo", "Kirmo", "Elenko", "Mesaro"})
            put(QLatin1String(name), "#!/bin/sh\n", QFile::ExeOwner);
        put(QStringLiteral("suono.wav"), {});
        put(QStringLiteral("Notino.ini"), "[Opzioni]\r\nshowelenco=4\r\n");
        const QString changed = QStringLiteral("19/03/2031 18.00");
        ASSERT_TRUE(writeNoteFile(folder.filePath(kNote), {QStringLiteral("Chiamare Anna"),
                                                           QStringLiteral("20/03/2031"),
                                                           QStringLiteral("09.59"), changed}));
        ASSERT_TRUE(writeNoteFile(folder.filePath(kOtherNote),
                                  {QStringLiteral("Pane"), QStringLiteral("21/03/2031"), {}, changed}));
    }

    void TearDown() override
    {
        for (const qint64 pid : running())
            ::kill(pid_t(pid), SIGKILL);
    }

    void put(const QString &name, const QByteArray &bytes, QFile::Permissions extra = {})
    {
        QFile file(folder.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | extra);
    }

    void start(QProcess &process, const QString &program = QStringLiteral("Notino"),
               const QStringList &arguments = {})
    {
        auto environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("LD_PRELOAD"), kFakeTimeLibrary);
        environment.insert(QStringLiteral("FAKETIME"), QStringLiteral("@2031-03-20 10:00:00"));
        environment.insert(QStringLiteral("DONT_FAKE_MONOTONIC"), QStringLiteral("1"));
        process.setProcessEnvironment(environment);
        process.setProgram(folder.filePath(program));
        process.setArguments(arguments);
        process.setWorkingDirectory(folder.path());
        process.start();
        ASSERT_TRUE(process.waitForStarted(5000));
    }

    // Processes running a program of the folder, by pid; `program` empty for all of them.
    QList<qint64> running(const QString &program = {}) const
    {
        QList<qint64> pids;
        const QString prefix = QDir(folder.path()).canonicalPath() + QLatin1Char('/');
        for (const QString &entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
            const QString exe = QFile::symLinkTarget(QStringLiteral("/proc/%1/exe").arg(entry));
            if (exe.startsWith(prefix) && (program.isEmpty() || exe == prefix + program))
                pids << entry.toLongLong();
        }
        return pids;
    }

    QStringList notes() const { return QDir(folder.path()).entryList({QStringLiteral("?*.dat")}, QDir::Files); }

    QTemporaryDir runtime;
    QTemporaryDir folder;
};

TEST_F(LauncherProgram, KeepsTheWatcherWhichStartsTheDueNoteAndClosesEverythingAtExit)
{
    QProcess notino;
    start(notino);
    WindowRegistry registry(folder.path());
    ASSERT_TRUE(waitFor([&] { return registry.exists(QStringLiteral("NotinoControl")); }, 5s));
    ASSERT_TRUE(registry.exists(QStringLiteral("NotinoTray")));
    QProcess otherNote;
    start(otherNote, QStringLiteral("Kalvo"), {kOtherNote});

    // A second copy ends at once and leaves the first alone.
    QProcess second;
    start(second);
    EXPECT_TRUE(second.waitForFinished(5000));
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_TRUE(registry.exists(QStringLiteral("NotinoTray")));

    // A watcher killed before its first look at the clock is replaced within 10 seconds; the
    // new one starts the past-due note in Kalvo at its first tick, 10 seconds later.
    const QList<qint64> watchers = running(QStringLiteral("Vigilo"));
    ASSERT_EQ(watchers.size(), 1);
    ::kill(pid_t(watchers.front()), SIGKILL);
    ASSERT_TRUE(waitFor([&] {
        const QList<qint64> now = running(QStringLiteral("Vigilo"));
        return now.size() == 1 && now.front() != watchers.front()
               && registry.exists(QStringLiteral("NotinoControl"));
    }, 15s));
    // The due note opens with its alert passed: it fires and has no file until touched.
    ASSERT_TRUE(waitFor([&] { return running(QStringLiteral("Kalvo")).size() == 2; }, 16s));
    EXPECT_TRUE(waitFor([&] { return !notes().contains(kNote); }, 3s));
    const QStringList shown = notes();
    ASSERT_EQ(shown.size(), 1) << shown.join(u' ').toStdString();
    EXPECT_TRUE(shown.front().startsWith(QStringLiteral("n%1a0000n").arg(dayNumber(kDay) + 1)));

    // Exit, as from the menu: the note and the watcher go, the shown note's file stays.
    ASSERT_TRUE(registry.postClose(QStringLiteral("NotinoTray")));
    ASSERT_TRUE(notino.waitForFinished(10000));
    EXPECT_EQ(notino.exitCode(), 0);
    EXPECT_TRUE(waitFor([&] { return running().isEmpty(); }, 5s));
    EXPECT_FALSE(registry.exists(QStringLiteral("PromemoX")));
    EXPECT_FALSE(registry.exists(QStringLiteral("NotinoControl")));
    EXPECT_EQ(notes(), shown);
}

} // namespace
} // namespace promemo
