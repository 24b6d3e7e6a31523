#include "watcher/watcherwindow.h"

#include <QFile>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include "common/daynumber.h"
#include "common/notefile.h"
#include "common/programfolder.h"
#include "tests/support/fakes.h"

using namespace promemo;
using namespace promemo::watcher;
using namespace std::chrono_literals;
using Start = test::FakeProcessStarter::Start;

namespace {

// Day number 10984: five digits, so the colour letter is the seventh character.
const QDate kToday(2030, 1, 27);

class WatcherTest : public ::testing::Test, public test::ProgramFolderWithFakes
{
protected:
    // A note file of `day` (relative to today) named by its tail, e.g. "h0570n78244".
    void addNote(char state, int day, const char *tail)
    {
        dir.put(QLatin1Char(state) + QString::number(dayNumber(kToday) + day) + QLatin1String(tail)
                + u".dat"_qs, {});
    }
    static QString todays(const char *tail)
    {
        return u"o"_qs + QString::number(dayNumber(kToday)) + QLatin1String(tail) + u".dat"_qs;
    }
    frmControl &start(QTime time)
    {
        fakes.clock.current = QDateTime(kToday, time);
        window = std::make_unique<frmControl>(fakes.services());
        ended = std::make_unique<QSignalSpy>(window.get(), &frmControl::ended);
        return *window;
    }
    // Moves the clock on by `by` and lets Timer1 tick.
    void tickAfter(std::chrono::milliseconds by)
    {
        fakes.clock.advance(by);
        window->Timer1_Timer();
    }

    std::unique_ptr<frmControl> window;
    std::unique_ptr<QSignalSpy> ended;
};

TEST_F(WatcherTest, StartsTheEarliestAlertOfTodayAtItsMinuteWithoutFocus)
{
    // Which note is due is the rule's own test, and its listing the note listing's.
    addNote('o', 0, "h0570n78244");  // 09.30
    addNote('o', 0, "k0495n78245");  // 08.15, medium: Kirmo
    // Earlier still, but too large for a note: started, it would only be refused.
    dir.put(todays("h0400n78251"), QByteArray(kMaxNoteFileBytes + 1, 'x'));

    frmControl &w = start(QTime(8, 0, 3));
    EXPECT_EQ(std::pair(registry.registeredCaptions(), w.timer1().isActive()),
              std::pair(QStringList{u"NotinoControl"_qs}, true));
    for (int tick = 0; tick < 89; ++tick) // up to 08.14.53
        tickAfter(10s);
    EXPECT_TRUE(fakes.processes.started.isEmpty() && !w.hasEnded());
    tickAfter(10s); // 08.15.03
    tickAfter(10s);
    const Start kirmo{u"Kirmo"_qs, {todays("k0495n78245")}, WindowMode::NormalWithoutFocus};
    EXPECT_EQ(std::tuple(fakes.processes.started, ended->count(), w.timer1().isActive(), registry.registeredCaptions()),
              std::tuple(QList<Start>{kirmo}, 1, false, QStringList()));
}

// What fell due before the watcher started, on any day up to today, starts at once: all of
// it, then the watcher ends. Later days wait for the watcher of their own day.
TEST_F(WatcherTest, EveryAlertAlreadyDueStartsAtOnceWhateverItsDay)
{
    addNote('o', 0, "h0495n78244");   // 08.15 today
    addNote('o', -1, "k1430n78245");  // 23.50 yesterday, medium
    addNote('o', -30, "h0600n78246"); // a month ago
    addNote('o', 0, "h0600n78247");   // 10.00 today, still ahead
    addNote('o', 1, "h0300n78248");   // tomorrow
    frmControl &w = start(QTime(9, 0));
    ASSERT_EQ(w.watched().size(), 4u);
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.hasEnded(); }, 1000));
    const auto opened = [](int day, const char *tail) {
        return u"o"_qs + QString::number(dayNumber(kToday) + day) + QLatin1String(tail) + u".dat"_qs;
    };
    const QList<Start> expected{
        {u"Kalvo"_qs, {opened(-30, "h0600n78246")}, WindowMode::NormalWithoutFocus},
        {u"Kirmo"_qs, {opened(-1, "k1430n78245")}, WindowMode::NormalWithoutFocus},
        {u"Kalvo"_qs, {opened(0, "h0495n78244")}, WindowMode::NormalWithoutFocus}};
    EXPECT_EQ(fakes.processes.started, expected);
}

// A tick that comes late (the machine slept) starts what fell due meanwhile, across midnight
// too. Idle, it ends in the first minute of the next day or at its first tick on a later day.
TEST_F(WatcherTest, ALateTickStartsWhatFellDueAndAnIdleWatcherEndsOnTheNextDay)
{
    addNote('o', 0, "h1430n78244"); // 23.50
    frmControl &slept = start(QTime(23, 45));
    tickAfter(25min); // 00.10 of the next day
    const Start kalvo{u"Kalvo"_qs, {todays("h1430n78244")}, WindowMode::NormalWithoutFocus};
    EXPECT_EQ(std::pair(fakes.processes.started, slept.hasEnded()), std::pair(QList<Start>{kalvo}, true));

    fakes.processes.started.clear();
    QFile::remove(dir.filePath(todays("h1430n78244")));
    addNote('o', 0, "h0000n78244"); // no alert
    frmControl &idle = start(QTime(23, 59, 30));
    tickAfter(20s);
    EXPECT_FALSE(idle.hasEnded());
    tickAfter(15s); // 00.00.05
    EXPECT_TRUE(idle.hasEnded());
    frmControl &away = start(QTime(12, 0));
    tickAfter(72h);
    EXPECT_TRUE(away.hasEnded() && fakes.processes.started.isEmpty());
}

} // namespace
