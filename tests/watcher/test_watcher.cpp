#include "watcher/watcherwindow.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include "common/daynumber.h"
#include "tests/support/fakes.h"

using namespace promemo;
using namespace promemo::watcher;

namespace {

// The window's registry entry: there while it watches, gone before a note starts and when it
// ends, and a close request ends it. What it watches is its session's test.
struct WatcherWindowTest : ::testing::Test, test::ProgramFolderWithFakes
{
    std::unique_ptr<frmControl> start()
    {
        auto window = std::make_unique<frmControl>(fakes.services(), dir.path());
        ended = std::make_unique<QSignalSpy>(window.get(), &frmControl::ended);
        return window;
    }
    std::unique_ptr<QSignalSpy> ended;
};

TEST_F(WatcherWindowTest, LeavesTheRegistryBeforeTheStartAndEndsWhenAskedToClose)
{
    const QDate today(2030, 1, 27);
    fakes.clock.current = QDateTime(today, QTime(9, 0));
    dir.put(u"o"_qs + QString::number(dayNumber(today)) + u"h0495n78244.dat"_qs, {});
    QStringList registeredAtStart{u"?"_qs};
    fakes.processes.onStart = [&](const auto &) { registeredAtStart = registry.registeredCaptions(); };
    const auto starting = start();
    EXPECT_EQ(registry.registeredCaptions(), QStringList{u"NotinoControl"_qs});
    ASSERT_TRUE(QTest::qWaitFor([this] { return !ended->isEmpty(); }, 2000));
    EXPECT_EQ(std::tuple(fakes.processes.started.size(), registeredAtStart, ended->count()),
              std::tuple(1, QStringList(), 1));

    // The day before: the note is still to come.
    fakes.clock.current = QDateTime(today.addDays(-1), QTime(9, 0));
    const auto idle = start();
    test::postClose(registry, u"NotinoControl"_qs);
    ASSERT_TRUE(QTest::qWaitFor([this] { return !ended->isEmpty(); }, 2000));
    EXPECT_EQ(std::tuple(registry.registeredCaptions(), idle->session().hasEnded(), ended->count()),
              std::tuple(QStringList(), true, 1));
}

} // namespace
