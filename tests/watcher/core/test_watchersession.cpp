#include "watcher/core/watchersession.h"

#include <QFile>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include "common/daynumber.h"
#include "common/notefile.h"
#include "tests/support/fakes.h"

using namespace promemo;
using namespace promemo::watcher;
using namespace std::chrono_literals;
using Start = test::FakeProcessStarter::Start;

namespace {

// Day number 10984: five digits, so the colour letter is the seventh character.
const QDate kToday(2030, 1, 27);

QString noteName(int day, const char *tail)
{
    return u"o"_qs + QString::number(dayNumber(kToday) + day) + QLatin1String(tail) + u".dat"_qs;
}

Start reopened(const char *program, int day, const char *tail)
{
    return {QLatin1String(program), {noteName(day, tail)}, WindowMode::NormalWithoutFocus};
}

class WatcherSessionTest : public ::testing::Test
{
protected:
    // A put-away note file of `day` (relative to today) named by its tail, e.g. "h0570n78244".
    void addNote(int day, const char *tail, const QByteArray &bytes = {}) { dir.put(noteName(day, tail), bytes); }
    WatcherSession &start(QTime time)
    {
        clock.current = QDateTime(kToday, time);
        session = std::make_unique<WatcherSession>(clock, processes, dir.path());
        left = std::make_unique<QSignalSpy>(session.get(), &WatcherSession::leaveRegistry);
        ended = std::make_unique<QSignalSpy>(session.get(), &WatcherSession::ended);
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
    std::unique_ptr<WatcherSession> session;
    std::unique_ptr<QSignalSpy> left, ended;
};

TEST_F(WatcherSessionTest, StartsTheEarliestAlertOfTodayAtItsMinuteWithoutFocusOffTheRegistry)
{
    // Which note is due is the rule's own test, and its listing the note listing's.
    addNote(0, "h0570n78244"); // 09.30
    addNote(0, "k0495n78245"); // 08.15, medium: Kirmo
    // Earlier still, but too large for a note: started, it would only be refused.
    addNote(0, "h0400n78251", QByteArray(kMaxNoteFileBytes + 1, 'x'));
    // Off the registry before the start, which may be slow.
    processes.onStart = [this](const Start &) { EXPECT_EQ(left->count(), 1); };

    WatcherSession &s = start(QTime(8, 0, 3));
    EXPECT_TRUE(s.timer1().isActive());
    for (int tick = 0; tick < 89; ++tick) // up to 08.14.53
        tickAfter(10s);
    EXPECT_TRUE(processes.started.isEmpty() && !s.hasEnded());
    tickAfter(10s); // 08.15.03
    tickAfter(10s);
    EXPECT_EQ(std::tuple(processes.started, ended->count(), s.timer1().isActive()),
              std::tuple(QList<Start>{reopened("Kirmo", 0, "k0495n78245")}, 1, false));
}

// What fell due before the watcher started, on any day up to today, starts at once: all of
// it, then the watcher ends. Later days wait for the watcher of their own day.
TEST_F(WatcherSessionTest, EveryAlertAlreadyDueStartsAtOnceWhateverItsDay)
{
    addNote(0, "h0495n78244");   // 08.15 today
    addNote(-1, "k1430n78245");  // 23.50 yesterday, medium
    addNote(-30, "h0600n78246"); // a month ago
    addNote(0, "h0600n78247");   // 10.00 today, still ahead
    addNote(1, "h0300n78248");   // tomorrow
    WatcherSession &s = start(QTime(9, 0));
    ASSERT_EQ(s.watched().size(), 4u);
    ASSERT_TRUE(QTest::qWaitFor([&] { return s.hasEnded(); }, 1000));
    const QList<Start> expected{reopened("Kalvo", -30, "h0600n78246"), reopened("Kirmo", -1, "k1430n78245"),
                                reopened("Kalvo", 0, "h0495n78244")};
    EXPECT_EQ(std::tuple(processes.started, ended->count()), std::tuple(expected, 1));
}

// A tick that comes late (the machine slept) starts what fell due meanwhile, across midnight
// too. Idle, it ends in the first minute of the next day or at its first tick on a later day;
// asked to end, it ends once.
TEST_F(WatcherSessionTest, ALateTickStartsWhatFellDueAndAnIdleWatcherEndsOnTheNextDay)
{
    addNote(0, "h1430n78244"); // 23.50
    WatcherSession &slept = start(QTime(23, 45));
    tickAfter(25min); // 00.10 of the next day
    EXPECT_EQ(std::pair(processes.started, slept.hasEnded()),
              std::pair(QList<Start>{reopened("Kalvo", 0, "h1430n78244")}, true));

    processes.started.clear();
    QFile::remove(dir.filePath(noteName(0, "h1430n78244")));
    addNote(0, "h0000n78244"); // no alert
    WatcherSession &idle = start(QTime(23, 59, 30));
    tickAfter(20s);
    EXPECT_FALSE(idle.hasEnded());
    tickAfter(15s); // 00.00.05
    EXPECT_TRUE(idle.hasEnded());
    WatcherSession &away = start(QTime(12, 0));
    tickAfter(72h);
    EXPECT_TRUE(away.hasEnded() && processes.started.isEmpty());

    WatcherSession &asked = start(QTime(12, 0));
    asked.end();
    asked.end();
    tickAfter(24h);
    EXPECT_EQ(std::tuple(left->count(), ended->count(), asked.timer1().isActive()), std::tuple(1, 1, false));
}

} // namespace
