#include <QDir>
#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>

#include "platform/windowregistry.h"
#include "tests/support/fakes.h"

#include <memory>
#include <vector>

using namespace promemo;
using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

namespace {

// The real viewer in a program folder of its own with the real registry, started through the
// help rule.
TEST(HelpProcess, ASecondRequestOpensNothingWhileTheHelpIsOpenAndACloseRequestEndsIt)
{
    const test::TemporaryProgramFolder folder;
    ASSERT_TRUE(folder.install(u"Aiuto"_s, QStringLiteral(AIUTO)) && QDir(folder.path()).mkdir(u"help"_s));
    const QDir pages(QStringLiteral(PROMEMO_PROGRAM_FOLDER "/help"));
    for (const QString &page : pages.entryList(QDir::Files))
        ASSERT_TRUE(QFile::copy(pages.filePath(page), folder.filePath(u"help/"_s + page)));

    // Owned by the test, so that they end with it whatever happens (~QProcess kills).
    std::vector<std::unique_ptr<QProcess>> viewers;
    test::FakeProcessStarter processes;
    processes.onStart = [&](const auto &start) {
        viewers.push_back(std::make_unique<QProcess>());
        viewers.back()->setWorkingDirectory(folder.path());
        viewers.back()->start(folder.filePath(u"Aiuto"_s), start.arguments);
    };
    WindowRegistry windows(folder.path());
    HelpStarter help(windows, processes);
    const QString caption = QString::fromUtf16(kHelpCaption);

    help.open(QStringLiteral("alert.htm"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return test::exists(windows, caption); }, 10000));
    // (A viewer started past the rule steps aside: the registry's second-copy test.)
    help.open(QStringLiteral("elenco.htm"));
    EXPECT_FALSE(QTest::qWaitFor([&] { return processes.started.size() > 1; }, 500));

    // The close request the launcher sends when it exits ends the viewer.
    EXPECT_TRUE(test::closeAllAndWait(windows, caption, 5s));
    EXPECT_TRUE((viewers.front()->state() == QProcess::NotRunning || viewers.front()->waitForFinished(10000))
                && viewers.front()->exitCode() == 0);
    help.open(QStringLiteral("elenco.htm"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return processes.started.size() == 2; }));
}

} // namespace
