#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "common/programfolder.h"
#include "platform/helpstarter.h"
#include "platform/windowregistry.h"
#include "tests/support/fakes.h"

#include <chrono>
#include <functional>
#include <memory>
#include <vector>

using namespace promemo;
using namespace std::chrono_literals;

namespace {

const QString kHelp = QString::fromUtf16(kHelpCaption);

bool waitUntil(const std::function<bool()> &condition, std::chrono::milliseconds bound)
{
    const QDeadlineTimer deadline(bound);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

// The real viewer in a program folder of its own, started through the help rule; the test
// owns the viewer processes so it can always end them.
class HelpProcessTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_folder.isValid());
        const QDir folder(m_folder.path());
        ASSERT_TRUE(QFile::copy(QStringLiteral(AIUTO), folder.filePath(QStringLiteral("Aiuto"))));
        ASSERT_TRUE(folder.mkdir(QStringLiteral("help")));
        const QDir pages(QStringLiteral(PROMEMO_PROGRAM_FOLDER "/help"));
        for (const QString &page : pages.entryList({QStringLiteral("*.htm")}, QDir::Files))
            ASSERT_TRUE(QFile::copy(pages.filePath(page), folder.filePath(QStringLiteral("help/") + page)));

        m_processes.onStart = [this](const test::FakeProcessStarter::Start &start) {
            startViewer(start.arguments);
        };
    }

    void TearDown() override
    {
        for (auto &viewer : m_viewers) {
            if (viewer->state() != QProcess::NotRunning) {
                viewer->kill();
                viewer->waitForFinished(2000);
            }
        }
    }

    QProcess &startViewer(const QStringList &arguments)
    {
        auto viewer = std::make_unique<QProcess>();
        viewer->setProgram(QDir(m_folder.path()).filePath(QStringLiteral("Aiuto")));
        viewer->setArguments(arguments);
        viewer->setWorkingDirectory(m_folder.path());
        viewer->start();
        m_viewers.push_back(std::move(viewer));
        return *m_viewers.back();
    }

    QTemporaryDir m_folder;
    test::FakeProcessStarter m_processes;
    std::vector<std::unique_ptr<QProcess>> m_viewers;
};

TEST_F(HelpProcessTest, ASecondRequestOpensNothingWhileTheHelpIsOpen)
{
    WindowRegistry windows(m_folder.path());
    ASSERT_TRUE(windows.isUsable());
    HelpStarter help(windows, m_processes);

    ASSERT_TRUE(help.open(QStringLiteral("alert.htm")));
    ASSERT_TRUE(waitUntil([&] { return windows.exists(kHelp); }, 10s));

    EXPECT_FALSE(help.open(QStringLiteral("elenco.htm")));
    EXPECT_EQ(m_processes.started.size(), 1);

    // A viewer started past the rule steps aside at once.
    QProcess &late = startViewer({QStringLiteral("rubrica.htm")});
    ASSERT_TRUE(late.waitForFinished(10000));
    EXPECT_EQ(late.exitCode(), 0);
    EXPECT_EQ(m_viewers.front()->state(), QProcess::Running);

    // The close request the launcher sends when it exits ends the viewer.
    EXPECT_TRUE(windows.closeAll(kHelp, 5s));
    ASSERT_TRUE(m_viewers.front()->waitForFinished(10000));
    EXPECT_EQ(m_viewers.front()->exitCode(), 0);

    EXPECT_TRUE(help.open(QStringLiteral("elenco.htm")));
    EXPECT_EQ(m_processes.started.size(), 2);
}

} // namespace
