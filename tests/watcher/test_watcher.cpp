#include "watcher/watcherwindow.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include "common/daynumber.h"
#include "tests/support/fakes.h"

using namespace promemo;

// The registry entry the window holds: there while it watches, gone before a note starts and
// when a close request ends it. What it watches is its session's test.
TEST(WatcherWindow, LeavesTheRegistryBeforeTheStartAndEndsWhenAskedToClose)
{
    test::ProgramFolderWithFakes f;
    const QDate today(2030, 1, 27);
    f.dir.put(u"o"_qs + QString::number(dayNumber(today)) + u"h0495n78244.dat"_qs, {});
    QStringList registeredAtStart{u"?"_qs};
    f.fakes.processes.onStart = [&](const auto &) { registeredAtStart = f.registry.registeredCaptions(); };
    for (const QDate day : {today, today.addDays(-1)}) { // 08.15 is past, or tomorrow's
        f.fakes.clock.current = QDateTime(day, QTime(9, 0));
        watcher::frmControl window(f.fakes.services(), f.dir.path());
        QSignalSpy ended(&window, &watcher::frmControl::ended);
        EXPECT_EQ(f.registry.registeredCaptions(), QStringList{u"NotinoControl"_qs});
        if (day != today)
            test::postClose(f.registry, u"NotinoControl"_qs);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !ended.isEmpty(); }, 2000));
        EXPECT_EQ(std::pair(f.registry.registeredCaptions(), ended.count()), std::pair(QStringList(), qsizetype(1)));
    }
    EXPECT_EQ(std::pair(f.fakes.processes.started.size(), registeredAtStart), std::pair(qsizetype(1), QStringList()));
}
