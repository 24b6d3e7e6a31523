// The road of one note with every real program on a private X server, driven by pointer and
// keyboard: made from the tray on one day with an alert for the next, put away at the right
// edge, listed and brought back by the watcher the next day, fired, discarded, and still found
// in the archive. Each day's programs share one faked clock (libfaketime) from a pinned moment.

#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRect>
#include <QRegularExpression>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <iostream>

#include "common/archive.h"
#include "common/archivetext.h"
#include "common/daynumber.h"
#include "common/notefile.h"
#include "common/notename.h"
#include "platform/windowregistry.h"
#include "tests/support/programfolder.h"

namespace promemo {
namespace {

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

const QString kFakeTimeLibrary = u"/usr/lib/x86_64-linux-gnu/faketime/libfaketimeMT.so.1"_s;
const QString kDayOne = u"@2031-03-19 15:00:00"_s;
// Fifteen seconds before the alert: the watcher's second tick, about 20 seconds on, is the first
// at or after 09.30. Its 10-second timer is coarse (within 5%), so no tick comes near the minute.
const QString kDayTwo = u"@2031-03-20 09:29:45"_s;
const QDate kAlertDay(2031, 3, 20);
const QString kText = u"Ritirare il pacco in posta"_s;
constexpr QSize kScreen(1280, 800);
// The normal note's frame and its alert label, in pixels.
constexpr QSize kNoteSize(193, 140);
constexpr QRect kAlertLabel(143, 121, 40, 12);
const QRgb kYellow = qRgb(255, 255, 213);
const QRgb kRed = qRgb(255, 0, 0);
const QRgb kWhite = qRgb(255, 255, 255);

const QList<std::pair<QString, QString>> kPrograms{
    {u"Notino"_s, u"" NOTINO_PATH ""_s}, {u"Kundo"_s, u"" KUNDO_PATH ""_s},
    {u"Kalvo"_s, u"" KALVO_PATH ""_s},   {u"Kespo"_s, u"" KESPO_PATH ""_s},
    {u"Kirmo"_s, u"" KIRMO_PATH ""_s},   {u"Vigilo"_s, u"" VIGILO_PATH ""_s},
    {u"Elenko"_s, u"" ELENKO_PATH ""_s}, {u"Mesaro"_s, u"" MESARO_PATH ""_s}};

// Pixels of `image` inside `area` that are exactly `colour`.
int pixelsOf(const QImage &image, const QRect &area, QRgb colour)
{
    int count = 0;
    const QRect inside = area.intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            count += (image.pixel(x, y) & RGB_MASK) == (colour & RGB_MASK);
    return count;
}

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
        if (!QFile::exists(kFakeTimeLibrary))
            GTEST_SKIP() << "libfaketime is not installed";
        for (const char *tool : {"Xvfb", "xdotool", "import"}) {
            if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
                GTEST_SKIP() << tool << " is not installed";
        }
        elapsed.start();
        startDisplay();
        for (const auto &[name, built] : kPrograms)
            ASSERT_TRUE(folder.install(name, built)) << name.toStdString();
        QFile sound(u"" PROMEMO_SOUND_PATH ""_s);
        ASSERT_TRUE(sound.open(QIODevice::ReadOnly));
        folder.put(u"suono.wav"_s, sound.readAll());
    }

    void TearDown() override
    {
        if (HasFailure() && !displayName.isEmpty()) {
            for (const QString &window : windows(u".*"_s))
                xdotool({u"getwindowname"_s, window, u"getwindowgeometry"_s, window});
            for (const qint64 pid : folder.running())
                log(u"running: %1"_s.arg(arguments(pid).join(u' ')));
            if (notino.state() == QProcess::NotRunning)
                log(u"Notino ended with %1 (%2)"_s.arg(notino.exitCode()).arg(notino.exitStatus()));
            log(u"Notino's messages: "_s + QString::fromLocal8Bit(notino.readAllStandardError()));
        }
        folder.killAll();
        display.terminate();
        if (!display.waitForFinished(3000))
            display.kill();
        for (const QString &name : faketimeSegments)
            QFile::remove(name);
        if (HasFailure()) {
            log({});
            std::cerr << "What the test did:\n";
            for (const QString &line : steps)
                std::cerr << "  " << line.toStdString() << '\n';
        }
    }

    // Repeats of the last line, as a wait polls, are counted rather than listed.
    void log(const QString &line)
    {
        if (line == lastStep) {
            ++repeats;
            return;
        }
        if (repeats > 0)
            steps << u"         (%1 times more)"_s.arg(repeats);
        repeats = 0;
        lastStep = line;
        steps << u"%1 ms  %2"_s.arg(elapsed.elapsed(), 6).arg(line);
    }

    // Xvfb on the first free display number, which it reports on its standard output. Without
    // -noreset it resets whenever its last client leaves, as between the two days, and refuses
    // the next client meanwhile.
    void startDisplay()
    {
        display.setStandardErrorFile(QProcess::nullDevice());
        display.start(u"Xvfb"_s, {u"-displayfd"_s, u"1"_s, u"-screen"_s, u"0"_s,
                                  u"%1x%2x24"_s.arg(kScreen.width()).arg(kScreen.height()),
                                  u"-nolisten"_s, u"tcp"_s, u"-noreset"_s});
        ASSERT_TRUE(display.waitForStarted(5000)) << "Xvfb does not start";
        QByteArray number;
        QElapsedTimer waited;
        waited.start();
        while (!number.contains('\n') && waited.elapsed() < 10000) {
            display.waitForReadyRead(100);
            number += display.readAllStandardOutput();
        }
        ASSERT_TRUE(number.contains('\n')) << "Xvfb reports no display";
        displayName = u':' + QString::fromLatin1(number.trimmed());
        log(u"Xvfb on display "_s + displayName);
    }

    // xdotool on the private display: its standard output, empty when it fails.
    QString xdotool(const QStringList &commands)
    {
        QProcess process;
        auto environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"DISPLAY"_s, displayName);
        process.setProcessEnvironment(environment);
        process.start(u"xdotool"_s, commands);
        const bool finished = process.waitForFinished(5000);
        const QString output = QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
        const bool failed = !finished || process.exitCode() != 0;
        log(u"xdotool %1 -> %2"_s.arg(commands.join(u' '),
                                      failed ? u"failed"_s : output.simplified().left(100)));
        return failed ? QString() : output;
    }

    // The visible windows whose name (or, with `by` "--class", class) matches `pattern`.
    QStringList windows(const QString &pattern, const QString &by = u"--name"_s)
    {
        return xdotool({u"search"_s, u"--onlyvisible"_s, by, pattern})
            .split(u'\n', Qt::SkipEmptyParts);
    }
    QString waitForWindow(const QString &pattern, const QString &by = u"--name"_s)
    {
        QString found;
        test::waitFor([&] { return !(found = windows(pattern, by).value(0)).isEmpty(); }, 5s);
        return found;
    }
    QRect geometry(const QString &window)
    {
        const QString shell = xdotool({u"getwindowgeometry"_s, u"--shell"_s, window});
        const auto value = [&shell](QLatin1StringView key) {
            const auto match = QRegularExpression(key + u"=(-?\\d+)"_s).match(shell);
            return match.hasMatch() ? match.captured(1).toInt() : -1;
        };
        return {value("X"_L1), value("Y"_L1), value("WIDTH"_L1), value("HEIGHT"_L1)};
    }
    bool hasFocus(const QString &window) { return xdotool({u"getwindowfocus"_s}) == window; }
    QImage screenshot(const QString &window)
    {
        QProcess process;
        process.start(u"import"_s,
                      {u"-display"_s, displayName, u"-window"_s, window, u"png:-"_s});
        if (!process.waitForFinished(5000))
            return {};
        return QImage::fromData(process.readAllStandardOutput(), "PNG");
    }

    void startLauncher(const QString &fakeStart)
    {
        QProcessEnvironment environment;
        environment.insert(u"DISPLAY"_s, displayName);
        environment.insert(u"QT_QPA_PLATFORM"_s, u"xcb"_s);
        environment.insert(u"LD_PRELOAD"_s, kFakeTimeLibrary);
        environment.insert(u"FAKETIME"_s, fakeStart);
        // The programs it starts go on with its clock rather than starting at `fakeStart` again.
        environment.insert(u"FAKETIME_DONT_RESET"_s, u"1"_s);
        environment.insert(u"DONT_FAKE_MONOTONIC"_s, u"1"_s);
        folder.start(notino, u"Notino"_s, {}, environment);
        log(u"Notino started at %1, pid %2"_s.arg(fakeStart).arg(notino.processId()));
        // The clock's shared memory outlives the processes.
        for (const char *name : {"/dev/shm/faketime_shm_%1", "/dev/shm/sem.faketime_sem_%1"})
            faketimeSegments << QString::fromLatin1(name).arg(notino.processId());
    }

    // The launcher's exit, as from its menu: it closes everything else before it ends.
    void exitLauncher()
    {
        log(u"close request to NotinoTray"_s);
        ASSERT_TRUE(registry.postClose(u"NotinoTray"_s));
        ASSERT_TRUE(notino.waitForFinished(10000));
        EXPECT_EQ(notino.exitCode(), 0);
        EXPECT_TRUE(test::waitFor([this] { return folder.running().isEmpty(); }, 5s))
            << "still running: " << folder.running().size();
    }

    bool watcherRunning() { return registry.exists(u"NotinoControl"_s); }
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
    QProcess display;
    QString displayName;
    QProcess notino;
    QElapsedTimer elapsed;
    QStringList steps;
    QString lastStep;
    int repeats = 0;
    QStringList faketimeSegments;
};

TEST_F(RoadOfANote, FromTheTrayThroughTheWatcherToTheArchive)
{
    // Day one, no list at start: the tray stand-in's left click starts Kundo "12", a yellow note
    // with the focus and no file yet.
    folder.put(u"Notino.ini"_s,
               "[Opzioni]\r\ncolore=1\r\nfontsize=2\r\ngrandezza=1\r\nshowelenco=4\r\nsound=0\r\n");
    startLauncher(kDayOne);
    ASSERT_TRUE(test::waitFor([&] { return watcherRunning(); }, 5s));
    // The stand-in has no title of its own: it is the launcher's only visible window.
    const QString tray = waitForWindow(u"^Notino$"_s, u"--class"_s);
    ASSERT_FALSE(tray.isEmpty()) << "no tray stand-in";
    EXPECT_TRUE(windows(u"^  Elenco Notino$"_s).isEmpty());
    xdotool({u"mousemove"_s, u"--window"_s, tray, u"16"_s, u"16"_s, u"click"_s, u"1"_s});
    const QString note = waitForWindow(u"^PromemoX$"_s);
    ASSERT_FALSE(note.isEmpty()) << "no note after the tray click";
    const QList<qint64> kundo = folder.running(u"Kundo"_s);
    ASSERT_EQ(kundo.size(), 1);
    EXPECT_EQ(arguments(kundo.front()).mid(1), QStringList{u"12"_s});
    ASSERT_TRUE(test::waitFor([&] { return hasFocus(note); }, 3s)) << "the new note has no focus";
    const QImage fresh = screenshot(note);
    EXPECT_GT(pixelsOf(fresh, fresh.rect(), kYellow), fresh.width() * fresh.height() / 2);
    EXPECT_TRUE(noteFiles().isEmpty());

    // Text, then F8: tomorrow at 09.30 in the alert set-up, confirmed with Enter on Ok. The note
    // is saved under its new name and its version goes to the archive.
    xdotool({u"type"_s, u"--delay"_s, u"15"_s, kText});
    xdotool({u"key"_s, u"F8"_s});
    const QString setup = waitForWindow(u"^  Alert Setup$"_s);
    ASSERT_FALSE(setup.isEmpty()) << "no alert set-up after F8";
    ASSERT_TRUE(test::waitFor([&] { return hasFocus(setup); }, 3s));
    xdotool({u"type"_s, u"--delay"_s, u"15"_s, u"2003310930"_s});
    xdotool({u"key"_s, u"Return"_s});
    const QRegularExpression savedName(u"^n%1h0570n\\d{5}\\.dat$"_s.arg(dayNumber(kAlertDay)));
    ASSERT_TRUE(test::waitFor([&] {
        const QStringList notes = noteFiles();
        return notes.size() == 1 && savedName.match(notes.front()).hasMatch();
    }, 5s)) << "note files: " << noteFilesText();
    const QString saved = noteFiles().front();
    EXPECT_TRUE(windows(u"^  Alert Setup$"_s).isEmpty());
    const auto content = readNoteFile(folder.filePath(saved));
    ASSERT_TRUE(content);
    EXPECT_EQ(content->text, kText);
    EXPECT_EQ(content->date, u"20/03/2031"_s);
    EXPECT_EQ(content->alertTime, u"09.30"_s);
    EXPECT_TRUE(content->changed.startsWith(u"19/03/2031 15.0"_s))
        << content->changed.toStdString();
    const ArchiveRecord version =
        archiveRecordOf(content->date, content->alertTime, kText, content->changed);
    EXPECT_EQ(archive().records, QList<ArchiveRecord>{version});

    // Dragged by its text to the right edge: put away under the same name, and Kundo ends.
    const QRect frame = geometry(note);
    ASSERT_EQ(frame.size(), kNoteSize);
    const QPoint grip = frame.topLeft() + QPoint(97, 70);
    const QString gripY = QString::number(grip.y());
    xdotool({u"mousemove"_s, QString::number(grip.x()), gripY, u"mousedown"_s, u"1"_s});
    for (const int toX : {800, 1000, 1200, kScreen.width() - 10})
        xdotool({u"mousemove"_s, QString::number(toX), gripY});
    xdotool({u"mouseup"_s, u"1"_s});
    const QString putAway = u'o' + saved.mid(1);
    ASSERT_TRUE(test::waitFor([&] { return noteFiles() == QStringList{putAway}; }, 5s))
        << "note files: " << noteFilesText();
    EXPECT_TRUE(test::waitFor([&] { return folder.running(u"Kundo"_s).isEmpty(); }, 5s));
    EXPECT_EQ(readNoteFile(folder.filePath(putAway)), content);

    exitLauncher();
    ASSERT_EQ(noteFiles(), QStringList{putAway});

    // Day two, before the alert: the list opens at start, which with showelenco=2 it does only
    // for a put-away note of today; and the watcher runs.
    QByteArray ini = folder.read(u"Notino.ini"_s);
    ASSERT_TRUE(ini.contains("showelenco=4"));
    folder.put(u"Notino.ini"_s, ini.replace("showelenco=4", "showelenco=2"));
    startLauncher(kDayTwo);
    EXPECT_FALSE(waitForWindow(u"^  Elenco Notino$"_s).isEmpty()) << "no note list at start";
    ASSERT_TRUE(test::waitFor([&] { return watcherRunning(); }, 5s));
    EXPECT_EQ(noteFiles(), QStringList{putAway});

    // The watcher's first tick at or after 09.30 starts Kalvo on the note: its file turns shown,
    // out of the watcher's sight, and is not written again, since the alert minute has come.
    ASSERT_TRUE(test::waitFor([&] { return !folder.running(u"Kalvo"_s).isEmpty(); }, 25s))
        << "the watcher started no note";
    EXPECT_EQ(arguments(folder.running(u"Kalvo"_s).value(0)).mid(1), QStringList{putAway});
    const QString due = waitForWindow(u"^PromemoX$"_s);
    ASSERT_FALSE(due.isEmpty()) << "no note window from Kalvo";
    EXPECT_TRUE(test::waitFor([&] { return noteFiles() == QStringList{saved}; }, 3s))
        << "note files: " << noteFilesText();

    // The alert fires: the note in the middle of the screen, its alert label white on red.
    const int labelArea = kAlertLabel.width() * kAlertLabel.height();
    QImage shot;
    EXPECT_TRUE(test::waitFor([&] {
        shot = screenshot(due);
        return pixelsOf(shot, kAlertLabel, kRed) > labelArea / 3;
    }, 3s)) << "red pixels in the alert label: " << pixelsOf(shot, kAlertLabel, kRed);
    EXPECT_GT(pixelsOf(shot, kAlertLabel, kWhite), 0) << "no white text on the red";
    const QPoint middle((kScreen.width() - kNoteSize.width()) / 2,
                        (kScreen.height() - kNoteSize.height()) / 2);
    EXPECT_EQ(geometry(due), QRect(middle, kNoteSize));
    // The launcher keeps a watcher: a fresh one within its 10-second beat.
    EXPECT_TRUE(test::waitFor([&] { return watcherRunning(); }, 12s));
    EXPECT_EQ(folder.running(u"Kalvo"_s).size(), 1);

    // F5 twice discards the note: no file is left, its version stays in the archive, and the
    // archive search finds the text whatever its case.
    xdotool({u"windowfocus"_s, u"--sync"_s, due});
    ASSERT_TRUE(test::waitFor([&] { return hasFocus(due); }, 3s));
    xdotool({u"key"_s, u"F5"_s});
    EXPECT_TRUE(test::waitFor([&] { return geometry(due).y() > middle.y(); }, 3s))
        << "the first F5 did not take the note down";
    xdotool({u"key"_s, u"F5"_s});
    ASSERT_TRUE(test::waitFor([&] { return folder.running(u"Kalvo"_s).isEmpty(); }, 5s))
        << "the note did not end on the second F5";
    EXPECT_TRUE(noteFiles().isEmpty()) << noteFilesText();
    const ArchiveContents kept = archive();
    EXPECT_EQ(kept.records, QList<ArchiveRecord>{version});
    const QString shown = archiveText(kept.records);
    const auto hit = findNextInArchive(shown, u"PACCO"_s, 0);
    ASSERT_TRUE(hit);
    EXPECT_EQ(shown.mid(hit->position, hit->length), u"pacco"_s);

    exitLauncher();
}

} // namespace
} // namespace promemo
