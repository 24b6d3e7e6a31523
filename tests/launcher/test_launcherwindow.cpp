#include "launcher/launcherwindow.h"

#include <QAction>
#include <QMenu>
#include <QSignalSpy>

#include <csignal>

#include <sys/resource.h>
#include <unistd.h>

#include "common/datetexts.h"
#include "common/daynumber.h"
#include "common/programfolder.h"
#include "launcher/notelistwindow.h"
#include "platform/tray.h"
#include "tests/launcher/launchertest.h"
#include "tests/support/registryrequests.h"

using namespace promemo;
using namespace promemo::launcher;
using namespace std::chrono_literals;
using Start = test::FakeProcessStarter::Start;

namespace {

const QDate kToday(2031, 3, 20);
const QString kYesterdaysCalendar = u" Calendario di Promemo - "_qs + longDateText(kToday.addDays(-1));

QString note(char state, int dayOffset, int stamp = 1)
{
    return QStringLiteral("%1%2h0000n%3.dat").arg(QLatin1Char(state))
        .arg(dayNumber(kToday.addDays(dayOffset))).arg(stamp, 5, 10, QLatin1Char('0'));
}

struct Launcher : test::ProgramFolderWithFakes
{
    Launcher()
    {
        fakes.clock.current = QDateTime(kToday, QTime(9, 30));
        dir.put(u"Notino.ini"_qs, "[Opzioni]\r\nshowelenco=4\r\n");
        for (const QString &program : suitePrograms())
            dir.put(program, {}, QFile::ExeOwner);
        dir.put(u"suono.wav"_qs, {});
    }
    frmMain &launch(bool started = true)
    {
        window = std::make_unique<frmMain>(fakes.services());
        EXPECT_EQ(window->start(), started);
        return *window;
    }
    void trigger(const QString &item)
    {
        for (QAction *action : window->mnuAvvio()->actions()) {
            if (action->text() == item)
                return action->trigger();
        }
        FAIL() << "no item " << item.toStdString();
    }
    // Runs Timer2 and waits for its look at the watcher to end.
    void tick()
    {
        window->Timer2_Timer();
        ASSERT_TRUE(QTest::qWaitFor([this] { return !window->checkingWatcher(); }));
    }
    bool refused() const
    {
        return fakes.processes.started.isEmpty() && registry.registeredCaptions().isEmpty()
               && !window->tray() && !window->timer2()->isActive();
    }

    std::unique_ptr<frmMain> window;
};

class LauncherTest : public ::testing::Test, public Launcher {};

TEST(LauncherStart, MissingSettingsOrProgramsShowTheMessageAndStartNothing)
{
    const std::pair<const char *, void (*)(const QDir &)> cases[] = {
        {"no settings file", [](const QDir &d) { QFile::remove(d.filePath(u"Notino.ini"_qs)); }},
        {"not executable", [](const QDir &d) { QFile::setPermissions(d.filePath(u"Kirmo"_qs), QFile::ReadOwner); }},
    };
    for (const auto &[name, spoil] : cases) {
        SCOPED_TRACE(name);
        Launcher l;
        spoil(QDir(l.dir.path()));
        l.launch(false);
        ASSERT_EQ(l.fakes.messageBoxes.shown.size(), 1);
        EXPECT_TRUE(l.fakes.messageBoxes.shown[0].text.contains(u"mancano uno o più files"_qs));
        EXPECT_TRUE(l.refused());
    }
}

// Every file is there, but nothing can be written (here: no byte at all, which binds root
// too): the message says so.
TEST(LauncherStart, UnwritableProgramFolderOrSettingsSayWhatIsWrong)
{
    const auto startWithoutWrites = [] {
        Launcher l;
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit none{0, 0};
        if (::setrlimit(RLIMIT_FSIZE, &none) != 0)
            return 1;
        l.launch(false);
        const QList<Message> &shown = l.fakes.messageBoxes.shown;
        return shown.size() == 1 && shown[0].text.contains(u"Notino.ini sono protetti in scrittura"_qs) && l.refused() ? 0 : 2;
    };
    EXPECT_EXIT(::_exit(startWithoutWrites()), ::testing::ExitedWithCode(0), "");
}

TEST_F(LauncherTest, StartsInOrderWithoutTheSoundAndTimer2RestartsOnlyAMissingWatcher)
{
    QFile::remove(dir.filePath(u"suono.wav"_qs));
    QFile::rename(dir.filePath(u"Elenko"_qs), dir.filePath(u"ELENKO"_qs));
    for (const QString &name : {note('n', 0, 1), note('n', 3, 2), note('o', 1, 3), u"nota.dat"_qs})
        dir.put(name, {});
    // The watcher finds the tray's entry and today's note put away.
    bool watcherSeesAll = false;
    fakes.processes.onStart = [&](const Start &) {
        watcherSeesAll = test::exists(registry, u"NotinoTray"_qs) && QFile::exists(dir.filePath(note('o', 0, 1)));
    };

    frmMain &w = launch();
    ASSERT_EQ(fakes.messageBoxes.shown.size(), 1);
    EXPECT_TRUE(fakes.messageBoxes.shown[0].text.contains(u"Non ci sono suoni"_qs));
    const Start watcher{u"Vigilo"_qs, {}, WindowMode::Minimised};
    EXPECT_TRUE(watcherSeesAll && w.noteList() == nullptr && w.timer2()->isActive());
    EXPECT_EQ(registry.registeredCaptions(), QStringList{u"NotinoTray"_qs});
    EXPECT_EQ(dir.files(), (QStringList{u"nota.dat"_qs, note('o', 0, 1), note('o', 1, 3), note('o', 3, 2)}));
    EXPECT_TRUE(dir.read(u"Notino.ini"_qs).contains("numvers=1600\r\ncodvers=1.6 \r\n"));

    registry.addWindow(u"NotinoControl"_qs);
    tick();
    registry.removeWindow(u"NotinoControl"_qs);
    tick();
    EXPECT_EQ(fakes.processes.started, (QList<Start>{watcher, watcher}));
}

TEST_F(LauncherTest, RightClickOpensTheMenuWhoseItemsFindOrStart)
{
    frmMain &w = launch();
    emit w.tray()->rightClicked(QPoint(200, 100));
    EXPECT_TRUE(w.mnuAvvio()->isVisible());
    w.mnuAvvio()->close();

    // Not open: started. Open, the calendar since yesterday: brought forward.
    fakes.processes.started.clear();
    const auto triggerAll = [&] {
        for (const QString &item : {u"Rubrica telefonica"_qs, u"Calendario"_qs, u"Guida in linea"_qs})
            trigger(item);
    };
    triggerAll();
    ASSERT_TRUE(QTest::qWaitFor([this] { return fakes.processes.started.size() == 3; }));
    for (const QString &caption : {u" Rubrica di Promemo"_qs, kYesterdaysCalendar, u"Help di Promemo"_qs})
        registry.addWindow(caption);
    triggerAll();
    ASSERT_TRUE(QTest::qWaitFor([this] { return registry.raiseRequests().size() == 2; }));
    EXPECT_EQ(fakes.processes.started,
              (QList<Start>{{u"Elenko"_qs, {}, WindowMode::NormalWithFocus},
                            {u"Mesaro"_qs, {}, WindowMode::NormalWithFocus},
                            {u"Aiuto"_qs, {u"intro.htm"_qs}, WindowMode::Maximised}}));
    EXPECT_EQ(registry.raiseRequests(), (QStringList{u" Rubrica di Promemo"_qs, kYesterdaysCalendar}));
}

TEST_F(LauncherTest, ExitClosesEveryWindowOfTheSuiteDespiteAHungNote)
{
    frmMain &w = launch();
    trigger(u"Elenco Notino"_qs);
    QPointer<frmCounter> list = w.noteList();
    for (const QString &caption : {u"NotinoControl"_qs, kYesterdaysCalendar, u" Rubrica di Promemo"_qs,
                                   u"PromemoX"_qs, u"PromemoX"_qs, u"Help di Promemo"_qs})
        registry.addWindow(caption);
    const auto hungNote = registry.registerWindow(u"PromemoX"_qs);
    w.setCloseBound(300ms);
    QSignalSpy finished(&w, &frmMain::finished);
    trigger(u"Esci da  Promemo"_qs);
    ASSERT_TRUE(finished.wait(5000));
    // The hung note is asked again once the watcher, which may start notes, has gone.
    const QStringList asked = registry.closeRequests();
    EXPECT_GT(asked.lastIndexOf(u"PromemoX"_qs), asked.indexOf(u"NotinoControl"_qs));
    for (const QString &caption : {u"Help di Promemo"_qs, u" Rubrica di Promemo"_qs, kYesterdaysCalendar,
                                   u"NotinoControl"_qs})
        EXPECT_FALSE(registry.has(caption)) << caption.toStdString();
    EXPECT_EQ(registry.registeredCaptions(), QStringList{u"PromemoX"_qs});
    EXPECT_TRUE(QTest::qWaitFor([&] { return !list; }, 2000));

    fakes.processes.started.clear();
    w.Timer2_Timer();
    emit w.tray()->leftClicked();
    EXPECT_TRUE(!w.timer2()->isActive() && fakes.processes.started.isEmpty());
}

// Exit right after Timer2 restarted the watcher: its window comes a moment later, and goes too.
TEST_F(LauncherTest, ExitWaitsForAWatcherJustStartedToCloseIt)
{
    frmMain &w = launch();
    int ticks = 0;
    QTimer ticking;
    QObject::connect(&ticking, &QTimer::timeout, [&] {
        fakes.clock.advance(10ms);
        if (++ticks == 50)
            registry.addWindow(u"NotinoControl"_qs);
    });
    ticking.start(0);
    QSignalSpy finished(&w, &frmMain::finished);
    w.Esci();
    ASSERT_TRUE(finished.wait(5000));
    EXPECT_EQ(registry.closeRequests(), QStringList{u"NotinoControl"_qs});
}

} // namespace
