// The real Notino, Vigilo and Kalvo together in a temporary program folder, on a pinned day and
// time (libfaketime), with a private registry.

#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include "common/daynumber.h"
#include "common/notefile.h"
#include "platform/windowregistry.h"
#include "tests/support/programfolder.h"
#include "tests/support/registryrequests.h"

namespace promemo {
namespace {

using namespace std::chrono_literals;

// Found by the build; empty when libfaketime is not installed.
const QString kFakeTimeLibrary = QStringLiteral(PROMEMO_FAKETIME);
// Every process starts its clock at this moment: the note's alert, 09.59, has passed.
const QDate kDay(2031, 3, 20);
const QString kNote = QStringLiteral("o%1h0599n36000.dat").arg(dayNumber(kDay));
// A note of tomorrow without alert, shown by hand.
const QString kOtherNote = QStringLiteral("o%1a0000n36000.dat").arg(dayNumber(kDay) + 1);

class LauncherProgram : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!QFile::exists(kFakeTimeLibrary))
            GTEST_SKIP() << "libfaketime is not installed";
        for (const auto &[name, path] : {std::pair{"Notino", NOTINO_PATH}, {"Vigilo", VIGILO_PATH},
                                         {"Kalvo", KALVO_PATH}})
            ASSERT_TRUE(folder.install(QLatin1String(name), QString::fromUtf8(path)));
        // Checked at start, not run here.
        for (const char *name : {"Kundo", "Kespo", "Kirmo", "Elenko", "Mesaro"})
            folder.put(QLatin1String(name), "#!/bin/sh\n", QFile::ExeOwner);
        folder.put(QStringLiteral("suono.wav"), {});
        folder.put(QStringLiteral("Notino.ini"), "[Opzioni]\r\nshowelenco=4\r\n");
        const QString changed = QStringLiteral("19/03/2031 18.00");
        ASSERT_TRUE(writeNoteFile(folder.filePath(kNote), {QStringLiteral("Chiamare Anna"),
                                                           QStringLiteral("20/03/2031"),
                                                           QStringLiteral("09.59"), changed}));
        ASSERT_TRUE(writeNoteFile(folder.filePath(kOtherNote),
                                  {QStringLiteral("Pane"), QStringLiteral("21/03/2031"), {}, changed}));
    }

    void start(QProcess &process, const QString &program = QStringLiteral("Notino"),
               const QStringList &arguments = {})
    {
        QProcessEnvironment environment;
        environment.insert(QStringLiteral("LD_PRELOAD"), kFakeTimeLibrary);
        environment.insert(QStringLiteral("FAKETIME"), QStringLiteral("@2031-03-20 10:00:00"));
        environment.insert(QStringLiteral("DONT_FAKE_MONOTONIC"), QStringLiteral("1"));
        folder.start(process, program, arguments, environment);
    }

    QList<qint64> running(const QString &program = {}) const { return folder.running(program); }
    QStringList notes() const { return folder.files(QStringLiteral("?*.dat")); }

    test::TemporaryProgramFolder folder;
};

TEST_F(LauncherProgram, KeepsTheWatcherWhichStartsTheDueNoteAndClosesEverythingAtExit)
{
    QProcess notino;
    start(notino);
    WindowRegistry registry(folder.path());
    ASSERT_TRUE(test::waitFor([&] { return test::exists(registry, QStringLiteral("NotinoControl")); }, 15s));
    ASSERT_TRUE(test::exists(registry, QStringLiteral("NotinoTray")));
    QProcess otherNote;
    start(otherNote, QStringLiteral("Kalvo"), {kOtherNote});

    // A watcher killed before its first look at the clock is replaced within 10 seconds; the
    // new one starts the past-due note in Kalvo at its first tick, 10 seconds later.
    const QList<qint64> watchers = running(QStringLiteral("Vigilo"));
    ASSERT_EQ(watchers.size(), 1);
    ::kill(pid_t(watchers.front()), SIGKILL);
    ASSERT_TRUE(test::waitFor([&] {
        const QList<qint64> now = running(QStringLiteral("Vigilo"));
        return now.size() == 1 && now.front() != watchers.front()
               && test::exists(registry, QStringLiteral("NotinoControl"));
    }, 25s));
    // The due note opens with its alert passed and fires; its file stays, shown, while it runs.
    ASSERT_TRUE(test::waitFor([&] { return running(QStringLiteral("Kalvo")).size() == 2; }, 25s));
    EXPECT_TRUE(test::waitFor([&] { return !notes().contains(kNote); }, 3s));
    QStringList shown = notes();
    ASSERT_EQ(shown, (QStringList{QString(kNote).replace(0, 1, u'n'),
                                  QStringLiteral("n%1a0000n36000.dat").arg(dayNumber(kDay) + 1)}));

    // Exit, as from the menu: the notes and the watcher go; the fired note's file goes with it,
    // the other shown note's file stays.
    shown.removeFirst();
    ASSERT_TRUE(test::postClose(registry, QStringLiteral("NotinoTray")));
    ASSERT_TRUE(notino.waitForFinished(10000));
    EXPECT_EQ(notino.exitCode(), 0);
    EXPECT_TRUE(test::waitFor([&] { return running().isEmpty(); }, 5s));
    EXPECT_FALSE(test::exists(registry, QStringLiteral("PromemoX")));
    EXPECT_FALSE(test::exists(registry, QStringLiteral("NotinoControl")));
    EXPECT_EQ(notes(), shown);
}

} // namespace
} // namespace promemo
