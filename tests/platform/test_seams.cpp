#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include "common/programfolder.h"
#include "platform/clock.h"
#include "platform/helpstarter.h"
#include "platform/processstarter.h"
#include "platform/screen.h"
#include "tests/support/fakes.h"
#include "tests/support/fakewindowregistry.h"

#include <chrono>

using namespace promemo;
using namespace std::chrono_literals;

namespace {

const QString kHelp = QString::fromUtf16(kHelpCaption);

TEST(HelpStarter, StartsTheViewerMaximisedOnTheTopicOnlyWhileNoHelpIsOpen)
{
    test::FakeWindowRegistry windows;
    test::FakeProcessStarter processes;
    HelpStarter help(windows, processes);

    windows.addWindow(kHelp);
    EXPECT_FALSE(help.open(QStringLiteral("elenco.htm")));
    EXPECT_TRUE(processes.started.isEmpty());
    // The open help is neither raised nor asked to close.
    EXPECT_TRUE(windows.raiseRequests().isEmpty());
    EXPECT_TRUE(windows.closeRequests().isEmpty());

    // A caption that only looks alike does not count.
    windows.removeWindow(kHelp);
    windows.addWindow(QStringLiteral(" Help di Promemo"));
    EXPECT_TRUE(help.open(QStringLiteral("alert.htm")));
    const QList<test::FakeProcessStarter::Start> expected = {
        {QStringLiteral("Aiuto"), {QStringLiteral("alert.htm")}, WindowMode::Maximised}};
    EXPECT_EQ(processes.started, expected);
}

// A stand-in program of the suite that writes what it was given into a file.
class ProcessStarterTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_folder.isValid());
        setProgramFolderForTesting(m_folder.path());
        QFile probe(programPath(QStringLiteral("Probe")));
        ASSERT_TRUE(probe.open(QIODevice::WriteOnly));
        probe.write("#!/bin/sh\n"
                    "{ echo \"$PROMEMO_WINDOW_MODE\"; pwd; for a in \"$@\"; do echo \"[$a]\"; done; }"
                    " > report.tmp && mv report.tmp report.txt\n");
        probe.close();
        probe.setPermissions(probe.permissions() | QFile::ExeOwner);
    }
    void TearDown() override { setProgramFolderForTesting(QString()); }

    QStringList report()
    {
        const QString path = m_folder.filePath(QStringLiteral("report.txt"));
        QDeadlineTimer deadline(10s);
        while (!QFile::exists(path) && !deadline.hasExpired())
            QThread::msleep(5);
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

    QTemporaryDir m_folder;
};

TEST_F(ProcessStarterTest, StartsTheProgramInTheProgramFolderWithItsArgumentsAndWindowMode)
{
    ProcessStarter starter;
    ASSERT_TRUE(starter.start(QStringLiteral("Probe"),
                              {QStringLiteral("o9835k0570n78244.dat"), QStringLiteral("two words"),
                               QStringLiteral("\"quoted\"")},
                              WindowMode::NormalWithoutFocus));

    const QStringList expected = {
        QStringLiteral("nofocus"),
        QDir(m_folder.path()).canonicalPath(),
        QStringLiteral("[o9835k0570n78244.dat]"),
        QStringLiteral("[two words]"),
        QStringLiteral("[\"quoted\"]"),
    };
    EXPECT_EQ(report(), expected);
}

TEST_F(ProcessStarterTest, ReportsAMissingProgram)
{
    ProcessStarter starter;
    EXPECT_FALSE(starter.start(QStringLiteral("Missing"), {}, WindowMode::NormalWithFocus));
}

TEST(Twips, ConvertToTheNearestPixelInBothDirections)
{
    struct Case
    {
        int twips;
        int pixels;
    };
    for (const Case c : {Case{0, 0}, Case{7, 0}, Case{8, 1}, Case{2895, 193}, Case{2100, 140},
                         Case{-1800, -120}, Case{-7, 0}, Case{-8, -1}, Case{-2955, -197}}) {
        EXPECT_EQ(twipsToPixels(c.twips), c.pixels) << c.twips;
    }
    EXPECT_EQ(twipsToPixels(pixelsToTwips(-175)), -175);
}

TEST(WaitProcessingEvents, EndsAfterTheDurationOnTheInjectedClock)
{
    test::FakeClock clock;
    clock.setAutoAdvance(10ms);
    const auto start = clock.tickCount();

    EXPECT_FALSE(waitProcessingEvents(clock, 2000ms));
    const auto waited = clock.tickCount() - start;
    EXPECT_GE(waited, 2000ms);
    EXPECT_LT(waited, 2100ms);
}

TEST(WaitProcessingEvents, EndsEarlyWhenStoppedFromAnEvent)
{
    test::FakeClock clock;
    clock.setAutoAdvance(10ms);
    bool cancelled = false;
    // Posted like a button press that arrives during the wait.
    QMetaObject::invokeMethod(QCoreApplication::instance(), [&] { cancelled = true; },
                              Qt::QueuedConnection);
    const auto start = clock.tickCount();

    EXPECT_TRUE(waitProcessingEvents(clock, 2000ms, [&] { return cancelled; }));
    EXPECT_LT(clock.tickCount() - start, 2000ms);
}

} // namespace
