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
const Start kWatcher{u"Vigilo"_qs, {}, WindowMode::Minimised};

QString note(char state, int dayOffset, int stamp = 1)
{
    return QStringLiteral("%1%2h0000n%3.dat").arg(QLatin1Char(state))
        .arg(dayNumber(kToday.addDays(dayOffset))).arg(stamp, 5, 10, QLatin1Char('0'));
}

struct LauncherSessionTest : test::SessionTest
{
    LauncherSessionTest()
    {
        clock.current = QDateTime(kToday, QTime(9, 30));
        dir.put(u"Notino.ini"_qs, "[Opzioni]\r\nshowelenco=4\r\n");
        for (const QString &program : suitePrograms())
            dir.put(program, {}, QFile::ExeOwner);
        dir.put(u"suono.wav"_qs, {});
    }
    bool refused()
    {
        return !session.start() && processes.started.isEmpty() && !session.timer2().isActive()
               && messageBoxes.shown.size() == 1;
    }
    // Runs Timer2 and waits for its look at the watcher to end.
    void tick()
    {
        session.Timer2_Timer();
        ASSERT_TRUE(QTest::qWaitFor([this] { return !session.checkingWatcher(); }));
    }
    bool exit()
    {
        QSignalSpy finished(&session, &LauncherSession::finished);
        session.Esci();
        return finished.wait(5000);
    }

    LauncherSession session{clock, messageBoxes, processes, registry, dir.path()};
};

TEST_F(LauncherSessionTest, MissingSettingsOrProgramsShowTheMessageAndStartNothing)
{
    QFile::setPermissions(dir.filePath(u"Kirmo"_qs), QFile::ReadOwner);
    EXPECT_TRUE(refused());
    QFile::remove(dir.filePath(u"Notino.ini"_qs));
    messageBoxes.shown.clear();
    EXPECT_TRUE(refused());
    EXPECT_TRUE(messageBoxes.shown[0].text.contains(u"mancano uno o più files"_qs));
}

// Every file is there, but nothing can be written (here: no byte at all, which binds root
// too): the message says so.
TEST_F(LauncherSessionTest, UnwritableProgramFolderOrSettingsSayWhatIsWrong)
{
    const auto startWithoutWrites = [this] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit none{0, 0};
        if (::setrlimit(RLIMIT_FSIZE, &none) != 0)
            return 1;
        return refused() && messageBoxes.shown[0].text.contains(u"Notino.ini sono protetti in scrittura"_qs) ? 0 : 2;
    };
    EXPECT_EXIT(::_exit(startWithoutWrites()), ::testing::ExitedWithCode(0), "");
}

TEST_F(LauncherSessionTest, StartsInOrderWithoutTheSoundAndTimer2RestartsOnlyAMissingWatcher)
{
    QFile::remove(dir.filePath(u"suono.wav"_qs));
    QFile::rename(dir.filePath(u"Elenko"_qs), dir.filePath(u"ELENKO"_qs));
    for (const QString &name : {note('n', 0, 1), note('n', 3, 2), note('o', 1, 3), u"nota.dat"_qs})
        dir.put(name, {});
    // The watcher finds today's note put away.
    bool watcherSeesIt = false;
    processes.onStart = [&](const Start &) { watcherSeesIt = QFile::exists(dir.filePath(note('o', 0, 1))); };

    ASSERT_TRUE(session.start());
    ASSERT_EQ(messageBoxes.shown.size(), 1);
    EXPECT_TRUE(messageBoxes.shown[0].text.contains(u"Non ci sono suoni"_qs));
    EXPECT_TRUE(watcherSeesIt && !session.noteListAtStart() && session.timer2().isActive());
    EXPECT_EQ(dir.files(), (QStringList{u"nota.dat"_qs, note('o', 0, 1), note('o', 1, 3), note('o', 3, 2)}));
    EXPECT_TRUE(dir.read(u"Notino.ini"_qs).contains("numvers=1600\r\ncodvers=1.6 \r\n"));

    registry.addWindow(u"NotinoControl"_qs);
    tick();
    registry.removeWindow(u"NotinoControl"_qs);
    tick();
    EXPECT_EQ(processes.started, (QList<Start>{kWatcher, kWatcher}));
}

TEST_F(LauncherSessionTest, MenuItemsFindOrStartAndNewNotesTakeTheAppliedOptions)
{
    ASSERT_TRUE(session.start());
    processes.started.clear();
    // Not open: started. Open, the calendar since yesterday: brought forward.
    session.mnuAgenda_Click();
    session.mnuCalendario_Click();
    ASSERT_TRUE(QTest::qWaitFor([this] { return processes.started.size() == 2; }));
    registry.addWindow(u" Rubrica di Promemo"_qs);
    registry.addWindow(kYesterdaysCalendar);
    session.mnuAgenda_Click();
    session.mnuCalendario_Click();
    ASSERT_TRUE(QTest::qWaitFor([this] { return registry.raiseRequests().size() == 2; }));
    EXPECT_EQ(registry.raiseRequests(), (QStringList{u" Rubrica di Promemo"_qs, kYesterdaysCalendar}));

    // With the settings empty, a new note is yellow, normal size, 12 points.
    session.newNote();
    clock.advance(100ms);
    QSignalSpy changed(&session, &LauncherSession::optionsChanged);
    session.setOptions({NoteColour::Cyan, TextSize::Medium, NoteSize::Medium, false});
    session.newNote();
    clock.advance(100ms);
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(processes.started, (QList<Start>{{u"Elenko"_qs, {}, WindowMode::NormalWithFocus},
                                               {u"Mesaro"_qs, {}, WindowMode::NormalWithFocus},
                                               {u"Kundo"_qs, {u"12"_qs}, WindowMode::NormalWithFocus},
                                               {u"Kespo"_qs, {u"23"_qs}, WindowMode::NormalWithFocus}}));
}

TEST_F(LauncherSessionTest, ExitClosesEveryWindowOfTheSuiteDespiteAHungNote)
{
    ASSERT_TRUE(session.start());
    for (const QString &caption : {u"NotinoControl"_qs, kYesterdaysCalendar, u" Rubrica di Promemo"_qs,
                                   u"PromemoX"_qs, u"PromemoX"_qs, u"Help di Promemo"_qs})
        registry.addWindow(caption);
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

// Exit right after the watcher started: its window comes a moment later, and goes too.
TEST_F(LauncherSessionTest, ExitWaitsForAWatcherJustStartedToCloseIt)
{
    ASSERT_TRUE(session.start());
    int ticks = 0;
    QTimer ticking;
    QObject::connect(&ticking, &QTimer::timeout, [&] {
        clock.advance(10ms);
        if (++ticks == 50)
            registry.addWindow(u"NotinoControl"_qs);
    });
    ticking.start(0);
    ASSERT_TRUE(exit());
    EXPECT_EQ(registry.closeRequests(), QStringList{u"NotinoControl"_qs});
}

} // namespace
