#include "launcher/launcherwindow.h"

#include <QAction>
#include <QMenu>
#include <QRadioButton>
#include <QSignalSpy>

#include "common/daynumber.h"
#include "common/notefile.h"
#include "common/twips.h"
#include "launcher/notelistwindow.h"
#include "launcher/optionswindow.h"
#include "platform/tray.h"
#include "tests/launcher/core/sessiontest.h"
#include "tests/launcher/launchertest.h"

using namespace promemo;
using namespace promemo::launcher;
using namespace std::chrono_literals;
using Start = test::FakeProcessStarter::Start;

namespace {

// The launcher's windows as the user reaches them, from the tray; their flows are the sessions'
// tests.
struct LauncherWindowTest : ::testing::Test, test::ProgramFolderWithFakes
{
    LauncherWindowTest() { test::putSuite(dir); }
    void trigger(const char *item) { window.mnuAvvio()->findChild<QAction *>(QLatin1String(item))->trigger(); }

    frmMain window{fakes.services()};
};

// The other programs end at once without "NotinoTray": it is there before the watcher starts.
TEST_F(LauncherWindowTest, TheRightClickClosesTheLaunchersWindowsAndEsciTakesTheEntry)
{
    bool entryFirst = false;
    fakes.processes.onStart = [&](const Start &) { entryFirst = registry.has(u"NotinoTray"_qs); };
    ASSERT_TRUE(window.start());
    EXPECT_TRUE(entryFirst && window.tray() && !window.noteList());

    trigger("mnuElenco");
    QPointer<frmCounter> list = window.noteList();
    emit window.tray()->rightClicked(QPoint(200, 100));
    EXPECT_TRUE(window.mnuAvvio()->isVisible() && !list);
    window.mnuAvvio()->close();
    registry.addWindow(u"NotinoControl"_qs);
    QSignalSpy finished(&window, &frmMain::finished);
    trigger("mnuChiudi");
    ASSERT_TRUE(finished.wait(5000));
    EXPECT_TRUE(registry.registeredCaptions().isEmpty());
}

// The size follows from the sections shown; a click reaches the session, the focus goes to
// "Chiudi", and the second click of a double click does not start the line that moved up.
TEST_F(LauncherWindowTest, TheNoteListGrowsForPastNotesAndStartsTheClickedNoteOnce)
{
    const int today = dayNumber(fakes.clock.today());
    QStringList names;
    for (const int day : {today, today, today - 1}) {
        names << *encodeNoteName({NoteState::PutAway, day, 'h', 0, 'n', int(names.size())});
        ASSERT_TRUE(writeNoteFile(dir.filePath(names.last()), {u"testo"_qs, {}, {}, {}}));
    }
    ASSERT_TRUE(window.start());
    trigger("mnuElenco");
    frmCounter &list = *window.noteList();
    EXPECT_EQ(std::pair(list.windowTitle(), list.height()), std::pair(u"  Elenco Notino"_qs, twipsToPixels(4635)));

    fakes.processes.started.clear();
    test::clickRow(list.list(1), 0);
    test::clickRow(list.list(1), 0);
    EXPECT_EQ(fakes.processes.started, (QList<Start>{{u"Kalvo"_qs, {names[0]}, WindowMode::NormalWithFocus}}));
    EXPECT_EQ(list.focusWidget(), list.chiudi());
    fakes.clock.advance(1s);
    test::clickRow(list.list(1), 0);
    EXPECT_EQ(fakes.processes.started.size(), 2);
    EXPECT_EQ(list.list(1)->item(0)->text(), NoteListSession::placeholder());
}

// Applied, the options reach the launcher's next note.
TEST_F(LauncherWindowTest, TheOptionsClicksReachTheirSessionAndApplyReachesTheLauncher)
{
    ASSERT_TRUE(window.start());
    trigger("mnuOpzioni");
    frmOpzioni &options = *window.optionsWindow();
    options.optColore(3)->click();
    EXPECT_TRUE(options.optColore(3)->isChecked() && options.cmdApplica()->isEnabled());
    options.cmdApplica()->click();
    fakes.processes.started.clear();
    emit window.tray()->leftClicked();
    fakes.clock.advance(100ms);
    EXPECT_EQ(fakes.processes.started, (QList<Start>{{u"Kundo"_qs, {u"32"_qs}, WindowMode::NormalWithFocus}}));
}

} // namespace
