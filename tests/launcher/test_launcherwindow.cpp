#include "launcher/launcherwindow.h"

#include <QAction>
#include <QMenu>
#include <QSignalSpy>

#include "launcher/notelistwindow.h"
#include "platform/tray.h"
#include "tests/launcher/launchertest.h"

using namespace promemo;
using namespace promemo::launcher;
using Start = test::FakeProcessStarter::Start;

namespace {

struct LauncherWindowTest : ::testing::Test, test::ProgramFolderWithFakes
{
    LauncherWindowTest()
    {
        dir.put(u"Notino.ini"_qs, "[Opzioni]\r\nshowelenco=4\r\n");
        for (const QString &program : suitePrograms())
            dir.put(program, {}, QFile::ExeOwner);
        dir.put(u"suono.wav"_qs, {});
    }
    void trigger(const QString &item)
    {
        for (QAction *action : window.mnuAvvio()->actions()) {
            if (action->text() == item)
                return action->trigger();
        }
        FAIL() << "no item " << item.toStdString();
    }

    frmMain window{fakes.services()};
};

TEST_F(LauncherWindowTest, MissingFilesLeaveNoIconAndNoEntry)
{
    QFile::remove(dir.filePath(u"Kirmo"_qs));
    EXPECT_FALSE(window.start());
    EXPECT_TRUE(!window.tray() && registry.registeredCaptions().isEmpty());
}

// The other programs end at once without "NotinoTray": it is there before the watcher starts.
TEST_F(LauncherWindowTest, TheMenuOpensOnAFreshListAndEsciTakesTheLaunchersWindowsAndIcon)
{
    bool entryFirst = false;
    fakes.processes.onStart = [&](const Start &) { entryFirst = registry.has(u"NotinoTray"_qs); };
    ASSERT_TRUE(window.start());
    EXPECT_TRUE(entryFirst && window.tray() && !window.noteList());

    trigger(u"Elenco Notino"_qs);
    QPointer<frmCounter> list = window.noteList();
    ASSERT_TRUE(list);
    emit window.tray()->rightClicked(QPoint(200, 100));
    EXPECT_TRUE(window.mnuAvvio()->isVisible() && !list);
    window.mnuAvvio()->close();
    trigger(u"Guida in linea"_qs);
    ASSERT_TRUE(QTest::qWaitFor([&] { return fakes.processes.started.size() == 2; }));
    EXPECT_EQ(fakes.processes.started.last(), (Start{u"Aiuto"_qs, {u"intro.htm"_qs}, WindowMode::Maximised}));

    trigger(u"Elenco Notino"_qs);
    list = window.noteList();
    registry.addWindow(u"NotinoControl"_qs);
    QSignalSpy finished(&window, &frmMain::finished);
    trigger(u"Esci da  Promemo"_qs);
    ASSERT_TRUE(finished.wait(5000));
    EXPECT_TRUE(registry.registeredCaptions().isEmpty());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !list; }, 2000));
}

} // namespace
