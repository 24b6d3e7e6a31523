// The road of one note with every real program on a private X server, driven by pointer and
// keyboard: made from the tray on one day with an alert for the next, put away at the right
// edge, listed and brought back by the watcher the next day, fired, discarded, and still found
// in the archive. Each day's programs share one faked clock (libfaketime) from a pinned moment.

#include <QFile>
#include <QProcess>
#include <QRect>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include "common/archive.h"
#include "common/daynumber.h"
#include "common/notefile.h"
#include "common/notename.h"
#include "platform/windowregistry.h"
#include "tests/support/programfolder.h"
#include "tests/support/xsession.h"
#include "tests/support/registryrequests.h"

namespace promemo {
namespace {

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

const QString kDayOne = u"@2031-03-19 15:00:00"_s;
// Fifteen seconds before the alert: the watcher's second tick, about 20 seconds on, is the first
// at or after 09.30. Its 10-second timer is coarse (within 5%), so no tick comes near the minute.
const QString kDayTwo = u"@2031-03-20 09:29:45"_s;
const QDate kAlertDay(2031, 3, 20);
const QString kText = u"Ritirare il pacco in posta"_s;
constexpr QSize kScreen(1280, 800);
// The normal note's frame, in pixels.
constexpr QSize kNoteSize(193, 140);

const QList<std::pair<QString, QString>> kPrograms{
    {u"Notino"_s, u"" NOTINO_PATH ""_s}, {u"Kundo"_s, u"" KUNDO_PATH ""_s},
    {u"Kalvo"_s, u"" KALVO_PATH ""_s},   {u"Kespo"_s, u"" KESPO_PATH ""_s},
    {u"Kirmo"_s, u"" KIRMO_PATH ""_s},   {u"Vigilo"_s, u"" VIGILO_PATH ""_s},
    {u"Elenko"_s, u"" ELENKO_PATH ""_s}, {u"Mesaro"_s, u"" MESARO_PATH ""_s}};

QStringList arguments(qint64 pid)
{
    QFile file(u"/proc/%1/cmdline"_s.arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLocal8Bit(file.readAll()).split(QChar(0), Qt::SkipEmptyParts);
}

class RoadOfANote : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!QFile::exists(test::kFakeTime))
            GTEST_SKIP() << "libfaketime is not installed";
        if (const QString tool = test::XSession::missingTool(); !tool.isEmpty())
            GTEST_SKIP() << tool.toStdString() << " is not installed";
        ASSERT_TRUE(x.start(kScreen)) << "Xvfb does not start";
        folder.installSuite(
            kPrograms, "[Opzioni]\r\ncolore=1\r\nfontsize=2\r\ngrandezza=1\r\nshowelenco=4\r\nsound=0\r\n");
        QFile sound(u"" PROMEMO_SOUND_PATH ""_s);
        ASSERT_TRUE(sound.open(QIODevice::ReadOnly));
        folder.put(u"suono.wav"_s, sound.readAll());
    }

    void TearDown() override
    {
        if (HasFailure()) {
            for (const qint64 pid : folder.running())
                x.log(u"running: %1"_s.arg(arguments(pid).join(u' ')));
            x.log(u"Notino's messages: "_s + QString::fromLocal8Bit(notino.readAllStandardError()));
        }
        folder.killAll();
        for (const QString &name : faketimeSegments)
            QFile::remove(name);
        if (HasFailure())
            x.report();
    }

    void startLauncher(const QString &fakeStart)
    {
        QProcessEnvironment environment = test::fakeTimeAt(fakeStart);
        environment.insert(x.environment());
        // The programs it starts go on with its clock rather than starting at `fakeStart` again.
        environment.insert(u"FAKETIME_DONT_RESET"_s, u"1"_s);
        folder.start(notino, u"Notino"_s, {}, environment);
        x.log(u"Notino started at %1, pid %2"_s.arg(fakeStart).arg(notino.processId()));
        // The clock's shared memory outlives the processes.
        for (const char *name : {"/dev/shm/faketime_shm_%1", "/dev/shm/sem.faketime_sem_%1"})
            faketimeSegments << QString::fromLatin1(name).arg(notino.processId());
    }

    // The launcher's exit, as from its menu: it closes everything else before it ends.
    void exitLauncher()
    {
        x.log(u"close request to NotinoTray"_s);
        ASSERT_TRUE(test::postClose(registry, u"NotinoTray"_s));
        ASSERT_TRUE(notino.waitForFinished(10000));
        EXPECT_EQ(notino.exitCode(), 0);
        EXPECT_TRUE(test::waitFor([this] { return folder.running().isEmpty(); }, 5s))
            << "still running: " << folder.running().size();
    }

    bool watcherRunning() { return test::exists(registry, u"NotinoControl"_s); }
    QStringList noteFiles() const
    {
        QStringList notes = folder.files();
        notes.removeIf([](const QString &name) { return !decodeNoteName(name); });
        return notes;
    }
    std::string noteFilesText() const { return noteFiles().join(u' ').toStdString(); }
    ArchiveContents archive() const
    {
        return readArchiveFile(folder.filePath(QLatin1String(kArchiveFileName)));
    }

    test::TemporaryProgramFolder folder;
    WindowRegistry registry{folder.path()};
    test::XSession x;
    QProcess notino;
    QStringList faketimeSegments;
};

TEST_F(RoadOfANote, FromTheTrayThroughTheWatcherToTheArchive)
{
    // Day one: the tray stand-in's left click starts Kundo "12", a note with the focus.
    startLauncher(kDayOne);
    ASSERT_TRUE(test::waitFor([&] { return watcherRunning(); }, 5s));
    // The stand-in has no title of its own: it is the launcher's only visible window.
    const QString tray = x.waitForWindow(u"^Notino$"_s, u"--class"_s);
    ASSERT_FALSE(tray.isEmpty()) << "no tray stand-in";
    x.xdotool({u"mousemove"_s, u"--window"_s, tray, u"16"_s, u"16"_s, u"click"_s, u"1"_s});
    const QString note = x.waitForWindow(u"^PromemoX$"_s);
    ASSERT_FALSE(note.isEmpty()) << "no note after the tray click";
    const QList<qint64> kundo = folder.running(u"Kundo"_s);
    ASSERT_EQ(kundo.size(), 1);
    EXPECT_EQ(arguments(kundo.front()).mid(1), QStringList{u"12"_s});
    ASSERT_TRUE(test::waitFor([&] { return x.hasFocus(note); }, 3s)) << "the new note has no focus";

    // Text, then F8: tomorrow at 09.30 in the alert set-up, confirmed with Enter on Ok. The note
    // is saved under its new name and its version goes to the archive.
    x.xdotool({u"type"_s, u"--delay"_s, u"15"_s, kText});
    x.xdotool({u"key"_s, u"F8"_s});
    const QString setup = x.waitForWindow(u"^  Alert Setup$"_s);
    ASSERT_FALSE(setup.isEmpty()) << "no alert set-up after F8";
    ASSERT_TRUE(test::waitFor([&] { return x.hasFocus(setup); }, 3s));
    x.xdotool({u"type"_s, u"--delay"_s, u"15"_s, u"2003310930"_s});
    x.xdotool({u"key"_s, u"Return"_s});
    const QRegularExpression savedName(u"^n%1h0570n\\d{5}\\.dat$"_s.arg(dayNumber(kAlertDay)));
    ASSERT_TRUE(test::waitFor([&] {
        const QStringList notes = noteFiles();
        return notes.size() == 1 && savedName.match(notes.front()).hasMatch();
    }, 5s)) << "note files: " << noteFilesText();
    const QString saved = noteFiles().front();
    const auto content = readNoteFile(folder.filePath(saved));
    ASSERT_TRUE(content);
    EXPECT_EQ(std::tuple(content->text, content->date, content->alertTime, content->changed.left(15)),
              std::tuple(kText, u"20/03/2031"_s, u"09.30"_s, u"19/03/2031 15.0"_s));
    const ArchiveRecord version =
        archiveRecordOf(content->date, content->alertTime, kText, content->changed);
    EXPECT_EQ(archive().records, QList<ArchiveRecord>{version});

    // Dragged by its text to the right edge: put away under the same name, and Kundo ends.
    const QRect frame = x.geometry(note);
    ASSERT_EQ(frame.size(), kNoteSize);
    const QPoint grip = frame.topLeft() + QPoint(97, 70);
    const QString gripY = QString::number(grip.y());
    x.xdotool({u"mousemove"_s, QString::number(grip.x()), gripY, u"mousedown"_s, u"1"_s});
    for (const int toX : {800, 1000, 1200, kScreen.width() - 10})
        x.xdotool({u"mousemove"_s, QString::number(toX), gripY});
    x.xdotool({u"mouseup"_s, u"1"_s});
    const QString putAway = u'o' + saved.mid(1);
    ASSERT_TRUE(test::waitFor([&] { return noteFiles() == QStringList{putAway}; }, 5s))
        << "note files: " << noteFilesText();
    EXPECT_TRUE(test::waitFor([&] { return folder.running(u"Kundo"_s).isEmpty(); }, 5s));
    EXPECT_EQ(readNoteFile(folder.filePath(putAway)), content);

    exitLauncher();
    ASSERT_EQ(noteFiles(), QStringList{putAway});

    // Day two, before the alert: the list opens at start, which with showelenco=2 it does only
    // for a put-away note of today; and the watcher runs.
    folder.put(u"Notino.ini"_s, folder.read(u"Notino.ini"_s).replace("showelenco=4", "showelenco=2"));
    startLauncher(kDayTwo);
    EXPECT_FALSE(x.waitForWindow(u"^  Elenco Notino$"_s).isEmpty()) << "no note list at start";
    ASSERT_TRUE(test::waitFor([&] { return watcherRunning(); }, 5s));

    // The watcher's first tick at or after 09.30 starts Kalvo on the note: its file turns shown,
    // out of the watcher's sight, and is not written again, since the alert minute has come.
    // Found in the midst of its exec, a process runs Kalvo before it has its arguments.
    ASSERT_TRUE(test::waitFor([&] { return !arguments(folder.running(u"Kalvo"_s).value(0)).isEmpty(); }, 25s))
        << "the watcher started no note";
    EXPECT_EQ(arguments(folder.running(u"Kalvo"_s).value(0)).mid(1), QStringList{putAway});
    const QString due = x.waitForWindow(u"^PromemoX$"_s);
    ASSERT_FALSE(due.isEmpty()) << "no note window from Kalvo";
    EXPECT_TRUE(test::waitFor([&] { return noteFiles() == QStringList{saved}; }, 3s))
        << "note files: " << noteFilesText();

    // The alert fires: the note comes to the middle of the screen.
    const QPoint middle((kScreen.width() - kNoteSize.width()) / 2,
                        (kScreen.height() - kNoteSize.height()) / 2);
    EXPECT_TRUE(test::waitFor([&] { return x.geometry(due) == QRect(middle, kNoteSize); }, 3s))
        << "the alert did not bring the note to the middle";
    // The launcher keeps a watcher: a fresh one within its 10-second beat.
    EXPECT_TRUE(test::waitFor([&] { return watcherRunning(); }, 12s));
    EXPECT_EQ(folder.running(u"Kalvo"_s).size(), 1);

    // F5 twice discards the note: no file is left, its version stays in the archive.
    ASSERT_TRUE(x.focus(due));
    x.xdotool({u"key"_s, u"F5"_s});
    EXPECT_TRUE(test::waitFor([&] { return x.geometry(due).y() > middle.y(); }, 3s))
        << "the first F5 did not take the note down";
    x.xdotool({u"key"_s, u"F5"_s});
    ASSERT_TRUE(test::waitFor([&] { return folder.running(u"Kalvo"_s).isEmpty(); }, 5s))
        << "the note did not end on the second F5";
    EXPECT_TRUE(noteFiles().isEmpty()) << noteFilesText();
    EXPECT_EQ(archive().records, QList<ArchiveRecord>{version});

    exitLauncher();
}

} // namespace
} // namespace promemo
