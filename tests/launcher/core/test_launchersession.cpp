#include "launcher/core/launchersession.h"

#include <QSignalSpy>

#include <csignal>

#include <sys/resource.h>
#include <unistd.h>

#include "common/datetexts.h"
#include "common/daynumber.h"
#include "tests/launcher/core/sessiontest.h"

using namespace promemo;
using namespace promemo::launcher;
using namespace std::chrono_literals;
using Start = test::FakeProcessStarter::Start;

namespace {

const QDate kToday(2031, 3, 20);
const QString kYesterdaysCalendar = u" Calendario di Promemo - "_qs + longDateText(kToday.addDays(-1));

struct LauncherSessionTest : test::SessionTest
{
    LauncherSessionTest() { clock.current = QDateTime(kToday, QTime(9, 30)); test::putSuite(dir); }
    // Refused with one message, nothing started.
    bool refused(const QString &message)
    {
        return !session.start() && processes.started.isEmpty() && !session.timer2().isActive()
               && messageBoxes.shown.size() == 1 && messageBoxes.shown[0].text.contains(message);
    }
    bool exit()
    {
        QSignalSpy finished(&session, &LauncherSession::finished);
        session.Esci();
        return finished.wait(5000);
    }

    LauncherSession session{clock, messageBoxes, processes, registry, dir.path()};
};

// Unwritable: no byte at all can be written, which binds root too.
TEST_F(LauncherSessionTest, MissingOrUnwritableFilesShowTheMessageAndStartNothing)
{
    QFile::setPermissions(dir.filePath(u"Kirmo"_qs), QFile::ReadOwner);
    EXPECT_TRUE(refused(u"mancano uno o più files"_qs));
    messageBoxes.shown.clear();
    const auto startWithoutWrites = [this] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit none{0, 0};
        const bool limited = ::setrlimit(RLIMIT_FSIZE, &none) == 0;
        return limited && refused(u"Notino.ini sono protetti in scrittura"_qs) ? 0 : 1;
    };
    EXPECT_EXIT(::_exit(startWithoutWrites()), ::testing::ExitedWithCode(0), "");
    QFile::remove(dir.filePath(u"Notino.ini"_qs));
    EXPECT_TRUE(refused(u"mancano uno o più files"_qs));
}

TEST_F(LauncherSessionTest, StartsInOrderWithoutTheSoundAndTimer2StartsAMissingWatcher)
{
    const auto note = [](char state, int dayOffset, int stamp) {
        return u"%1%2h0000n%3.dat"_qs.arg(QLatin1Char(state)).arg(dayNumber(kToday.addDays(dayOffset)))
            .arg(stamp, 5, 10, QLatin1Char('0'));
    };
    QFile::remove(dir.filePath(u"suono.wav"_qs));
    QFile::rename(dir.filePath(u"Elenko"_qs), dir.filePath(u"ELENKO"_qs));
    for (const QString &name : {note('n', 0, 1), note('n', 3, 2), note('o', 1, 3), u"nota.dat"_qs})
        dir.put(name, {});
    // The watcher finds today's note put away.
    bool watcherSeesIt = false;
    processes.onStart = [&](const Start &) { watcherSeesIt = QFile::exists(dir.filePath(note('o', 0, 1))); };

    // The version written at the start is the unwritable case above and the settings' golden file.
    ASSERT_TRUE(session.start());
    EXPECT_TRUE(messageBoxes.shown.size() == 1 && messageBoxes.shown[0].text.contains(u"Non ci sono suoni"_qs));
    EXPECT_TRUE(watcherSeesIt && !session.noteListAtStart() && session.timer2().isActive());
    EXPECT_EQ(dir.files(), (QStringList{u"nota.dat"_qs, note('o', 0, 1), note('o', 1, 3), note('o', 3, 2)}));

    // Timer2: the watcher's window is gone, so it is started again.
    session.Timer2_Timer();
    ASSERT_TRUE(QTest::qWaitFor([this] { return !session.checkingWatcher(); }));
    const Start watcher{u"Vigilo"_qs, {}, WindowMode::Minimised};
    EXPECT_EQ(processes.started, (QList<Start>{watcher, watcher}));
}

// The menu finds the address book or the calendar (open since yesterday) or starts it; the exit
// closes them all, and a hung note does not hold it up.
TEST_F(LauncherSessionTest, MenuItemsFindOrStartAndExitClosesEveryWindowOfTheSuiteDespiteAHungNote)
{
    ASSERT_TRUE(session.start());
    processes.started.clear();
    const auto both = [this] { session.mnuAgenda_Click(), session.mnuCalendario_Click(); };
    both();
    ASSERT_TRUE(QTest::qWaitFor([this] { return processes.started.size() == 2; }));
    for (const QString &caption : {u"NotinoControl"_qs, kYesterdaysCalendar, u" Rubrica di Promemo"_qs,
                                   u"PromemoX"_qs, u"PromemoX"_qs, u"Help di Promemo"_qs})
        registry.addWindow(caption);
    both();
    session.Timer2_Timer(); // the watcher is there
    ASSERT_TRUE(QTest::qWaitFor([this] { return registry.raiseRequests().size() == 2 && !session.checkingWatcher(); }));
    EXPECT_EQ(registry.raiseRequests(), (QStringList{u" Rubrica di Promemo"_qs, kYesterdaysCalendar}));
    EXPECT_EQ(processes.started, (QList<Start>{{u"Elenko"_qs, {}, WindowMode::NormalWithFocus},
                                               {u"Mesaro"_qs, {}, WindowMode::NormalWithFocus}}));

    const auto hungNote = registry.registerWindow(u"PromemoX"_qs);
    session.setCloseBound(300ms);
    ASSERT_TRUE(exit());
    // The hung note is asked again once the watcher, which may start notes, has gone.
    const QStringList asked = registry.closeRequests();
    EXPECT_GT(asked.lastIndexOf(u"PromemoX"_qs), asked.indexOf(u"NotinoControl"_qs));
    for (const QString &caption : {u"Help di Promemo"_qs, u" Rubrica di Promemo"_qs, kYesterdaysCalendar,
                                   u"NotinoControl"_qs})
        EXPECT_FALSE(registry.has(caption)) << caption.toStdString();
    processes.started.clear();
    session.Timer2_Timer();
    session.newNote();
    clock.advance(1s);
    EXPECT_TRUE(!session.timer2().isActive() && processes.started.isEmpty() && !session.checkingWatcher());
}

// Exit right after the watcher started: its window comes after the exit's other steps have long
// gone by, and goes too.
TEST_F(LauncherSessionTest, ExitWaitsForAWatcherJustStartedToCloseIt)
{
    ASSERT_TRUE(session.start());
    QTimer ticking;
    QObject::connect(&ticking, &QTimer::timeout, [&] { clock.advance(10ms); });
    ticking.start(10);
    clock.after(300ms, &ticking, [&] { registry.addWindow(u"NotinoControl"_qs); });
    ASSERT_TRUE(exit());
    EXPECT_EQ(registry.closeRequests(), QStringList{u"NotinoControl"_qs});
}

} // namespace
