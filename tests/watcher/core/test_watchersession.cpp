#include "watcher/core/watchersession.h"

#include <QFile>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include "common/daynumber.h"
#include "common/notefile.h"
#include "tests/support/fakes.h"

using namespace promemo;
using namespace std::chrono_literals;
using Start = test::FakeProcessStarter::Start;

namespace {

// Day number 10984: five digits, so the colour letter is the seventh character.
const QDate kToday(2030, 1, 27);

// A put-away note of `day` (relative to today) named by its tail, e.g. "h0570n78244".
QString note(int day, const char *tail)
{
    return u"o"_qs + QString::number(dayNumber(kToday) + day) + QLatin1String(tail) + u".dat"_qs;
}

Start reopened(const char *program, int day, const char *tail)
{
    return {QLatin1String(program), {note(day, tail)}, WindowMode::NormalWithoutFocus};
}

struct WatcherSessionTest : ::testing::Test
{
    watcher::WatcherSession &start(QTime time)
    {
        clock.current = QDateTime(kToday, time);
        session = std::make_unique<watcher::WatcherSession>(clock, processes, dir.path());
        left = std::make_unique<QSignalSpy>(session.get(), &watcher::WatcherSession::leaveRegistry);
        return *session;
    }
    // Moves the clock on by `by` and lets Timer1 tick.
    void tickAfter(std::chrono::milliseconds by)
    {
        clock.advance(by);
        session->Timer1_Timer();
    }

    test::TemporaryProgramFolder dir;
    test::FakeClock clock;
    test::FakeProcessStarter processes;
    std::unique_ptr<watcher::WatcherSession> session;
    std::unique_ptr<QSignalSpy> left;
};

// Which note is due is the rule's own test, and its listing the note listing's.
TEST_F(WatcherSessionTest, StartsTheEarliestAlertOfTodayAtItsMinuteOffTheRegistryAndEnds)
{
    dir.put(note(0, "h0570n78244"), {}); // 09.30
    dir.put(note(0, "k0495n78245"), {}); // 08.15, medium: Kirmo
    // Earlier still, but too large for a note: started, it would only be refused.
    dir.put(note(0, "h0400n78251"), QByteArray(kMaxNoteFileBytes + 1, 'x'));
    // Off the registry before the start, which may be slow.
    processes.onStart = [this](const Start &) { EXPECT_EQ(left->count(), 1); };
    watcher::WatcherSession &s = start(QTime(8, 0, 3));
    for (int tick = 0; tick < 89; ++tick) // up to 08.14.53
        tickAfter(10s);
    EXPECT_TRUE(processes.started.isEmpty() && s.timer1().isActive());
    tickAfter(10s); // 08.15.03
    tickAfter(10s);
    EXPECT_EQ(std::tuple(processes.started, s.hasEnded(), s.timer1().isActive(), left->count()),
              std::tuple(QList<Start>{reopened("Kirmo", 0, "k0495n78245")}, true, false, 2));
}

// What fell due before the watcher started, on any day up to today, starts at once: all of
// it, then the watcher ends. Later days wait for the watcher of their own day.
TEST_F(WatcherSessionTest, EveryAlertAlreadyDueStartsAtOnceWhateverItsDay)
{
    for (const auto &[day, tail] : {std::pair(0, "h0495n78244"), {-1, "k1430n78245"}, {-30, "h0600n78246"},
                                    {0, "h0600n78247"} /* still ahead */, {1, "h0300n78248"}})
        dir.put(note(day, tail), {});
    watcher::WatcherSession &s = start(QTime(9, 0));
    ASSERT_TRUE(QTest::qWaitFor([&] { return s.hasEnded(); }, 1000));
    EXPECT_EQ(processes.started, (QList<Start>{reopened("Kalvo", -30, "h0600n78246"), reopened("Kirmo", -1, "k1430n78245"),
                                               reopened("Kalvo", 0, "h0495n78244")}));
}

// A tick that comes late (the machine slept) starts what fell due meanwhile, across midnight
// too. Idle, it ends in the first minute of the next day or at its first tick on a later day.
TEST_F(WatcherSessionTest, ALateTickStartsWhatFellDueAndAnIdleWatcherEndsOnTheNextDay)
{
    dir.put(note(0, "h1430n78244"), {}); // 23.50
    watcher::WatcherSession &slept = start(QTime(23, 45));
    tickAfter(25min); // 00.10 of the next day
    EXPECT_EQ(std::pair(processes.started, slept.hasEnded()),
              std::pair(QList<Start>{reopened("Kalvo", 0, "h1430n78244")}, true));

    QFile::remove(dir.filePath(note(0, "h1430n78244")));
    processes.started.clear();
    watcher::WatcherSession &idle = start(QTime(23, 59, 30));
    tickAfter(20s);
    EXPECT_FALSE(idle.hasEnded());
    tickAfter(15s); // 00.00.05
    EXPECT_TRUE(idle.hasEnded());
    watcher::WatcherSession &away = start(QTime(12, 0));
    tickAfter(72h);
    EXPECT_TRUE(away.hasEnded() && processes.started.isEmpty());
}

} // namespace
