// The road of one note with every real program on a private X server, driven by pointer and
// keyboard: made from the tray on one day with an alert for the next, put away at the right
// edge, listed and brought back by the watcher the next day, fired, discarded, and still found
// in the archive. Each day's programs share one faked clock (libfaketime) started at a pinned
// moment.

#include <QDir>
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
#include "common/datetexts.h"
#include "common/daynumber.h"
#include "common/notefile.h"
#include "common/notename.h"
#include "platform/windowregistry.h"
#include "tests/support/programfolder.h"

namespace promemo {
namespace {

using namespace std::chrono_literals;

const QString kFakeTimeLibrary = QStringLiteral("/usr/lib/x86_64-linux-gnu/faketime/libfaketimeMT.so.1");
const QString kDayOne = QStringLiteral("@2031-03-19 15:00:00");
// Fifteen seconds before the alert: the watcher's second tick, about 20 seconds on, is the first
// at or after 09.30. Its 10-second timer is coarse (within 5%), so no tick comes near the minute.
const QString kDayTwo = QStringLiteral("@2031-03-20 09:29:45");
const QDate kAlertDay(2031, 3, 20);
const QString kText = QStringLiteral("Ritirare il pacco in posta");
const QString kSearched = QStringLiteral("PACCO");
constexpr QSize kScreen(1280, 800);
// The normal note's frame and its alert label, in pixels.
constexpr QSize kNoteSize(193, 140);
constexpr QRect kAlertLabel(143, 121, 40, 12);

const QStringList kPrograms{QStringLiteral("Notino"), QStringLiteral("Kundo"), QStringLiteral("Kalvo"),
                            QStringLiteral("Kespo"),  QStringLiteral("Kirmo"), QStringLiteral("Vigilo"),
                            QStringLiteral("Elenko"), QStringLiteral("Mesaro")};
const QStringList kBuiltPaths{QStringLiteral(NOTINO_PATH), QStringLiteral(KUNDO_PATH),
                              QStringLiteral(KALVO_PATH),  QStringLiteral(KESPO_PATH),
                              QStringLiteral(KIRMO_PATH),  QStringLiteral(VIGILO_PATH),
                              QStringLiteral(ELENKO_PATH), QStringLiteral(MESARO_PATH)};

QByteArray settings(int showList)
{
    return QStringLiteral("[Opzioni]\r\ncolore=1\r\nfontsize=2\r\ngrandezza=1\r\nshowelenco=%1\r\n"
                          "sound=0\r\n")
        .arg(showList)
        .toLatin1();
}

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
        clock.start();
        startDisplay();
        for (qsizetype i = 0; i < kPrograms.size(); ++i)
            ASSERT_TRUE(folder.install(kPrograms[i], kBuiltPaths[i])) << kPrograms[i].toStdString();
        QFile sound(QStringLiteral(PROMEMO_SOUND_PATH));
        ASSERT_TRUE(sound.open(QIODevice::ReadOnly));
        folder.put(QStringLiteral("suono.wav"), sound.readAll());
    }

    void TearDown() override
    {
        if (HasFailure() && !displayName.isEmpty()) {
            for (const QString &window : windows(QStringLiteral(".*")))
                log(QStringLiteral("visible window %1 \"%2\" at %3").arg(window, xdotool({QStringLiteral("getwindowname"), window}), xdotool({QStringLiteral("getwindowgeometry"), window}).simplified()));
        }
        folder.killAll();
        if (display.state() != QProcess::NotRunning) {
            display.terminate();
            if (!display.waitForFinished(3000))
                display.kill();
        }
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
            steps << QStringLiteral("         (%1 times more)").arg(repeats);
        repeats = 0;
        lastStep = line;
        steps << QStringLiteral("%1 ms  %2").arg(clock.elapsed(), 6).arg(line);
    }

    // Xvfb on the first free display number, which it reports on its standard output.
    void startDisplay()
    {
        display.setProgram(QStringLiteral("Xvfb"));
        display.setArguments({QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                              QStringLiteral("0"), QStringLiteral("%1x%2x24").arg(kScreen.width()).arg(kScreen.height()),
                              QStringLiteral("-nolisten"), QStringLiteral("tcp")});
        display.setStandardErrorFile(QProcess::nullDevice());
        display.start();
        ASSERT_TRUE(display.waitForStarted(5000)) << "Xvfb does not start";
        QByteArray number;
        QElapsedTimer waited;
        waited.start();
        while (!number.contains('\n') && waited.elapsed() < 10000) {
            display.waitForReadyRead(100);
            number += display.readAllStandardOutput();
        }
        ASSERT_TRUE(number.contains('\n')) << "Xvfb reports no display";
        displayName = QStringLiteral(":") + QString::fromLatin1(number.trimmed());
        log(QStringLiteral("Xvfb on display %1").arg(displayName));
    }

    // An X tool on the private display; its trimmed standard output, empty on failure.
    QString x(const QString &tool, const QStringList &arguments)
    {
        QProcess process;
        auto environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DISPLAY"), displayName);
        process.setProcessEnvironment(environment);
        process.start(tool, arguments);
        const bool finished = process.waitForFinished(5000);
        const QString output = QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
        const QString call = tool + u' ' + arguments.join(u' ');
        if (!finished || process.exitCode() != 0) {
            log(QStringLiteral("%1 -> failed (%2)").arg(call, QString::fromLocal8Bit(process.readAllStandardError()).trimmed()));
            return {};
        }
        if (tool == u"xdotool")
            log(QStringLiteral("%1 -> %2").arg(call, output.left(80)));
        return output;
    }
    QString xdotool(const QStringList &arguments) { return x(QStringLiteral("xdotool"), arguments); }

    // The visible windows whose name (or, with `by` "--class", class) matches `pattern`.
    QStringList windows(const QString &pattern, const QString &by = QStringLiteral("--name"))
    {
        return xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), by, pattern})
            .split(u'\n', Qt::SkipEmptyParts);
    }
    QString waitForWindow(const QString &pattern, const QString &by = QStringLiteral("--name"),
                          std::chrono::milliseconds bound = 5s)
    {
        QString found;
        test::waitFor([&] {
            const QStringList all = windows(pattern, by);
            found = all.value(0);
            return !found.isEmpty();
        }, bound);
        return found;
    }
    QRect geometry(const QString &window)
    {
        const QString shell = xdotool({QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), window});
        const auto value = [&shell](const char *key) {
            const auto match = QRegularExpression(QStringLiteral("%1=(-?\\d+)").arg(QLatin1String(key))).match(shell);
            return match.hasMatch() ? match.captured(1).toInt() : -1;
        };
        return {value("X"), value("Y"), value("WIDTH"), value("HEIGHT")};
    }
    bool hasFocus(const QString &window) { return xdotool({QStringLiteral("getwindowfocus")}) == window; }
    QImage screenshot(const QString &window)
    {
        QProcess process;
        process.start(QStringLiteral("import"), {QStringLiteral("-display"), displayName, QStringLiteral("-window"),
                                                 window, QStringLiteral("png:-")});
        if (!process.waitForFinished(5000))
            return {};
        return QImage::fromData(process.readAllStandardOutput(), "PNG");
    }

    void start(QProcess &process, const QString &fakeStart)
    {
        QProcessEnvironment environment;
        environment.insert(QStringLiteral("DISPLAY"), displayName);
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        environment.insert(QStringLiteral("LD_PRELOAD"), kFakeTimeLibrary);
        environment.insert(QStringLiteral("FAKETIME"), fakeStart);
        // The programs it starts go on with its clock instead of starting at `fakeStart` again.
        environment.insert(QStringLiteral("FAKETIME_DONT_RESET"), QStringLiteral("1"));
        environment.insert(QStringLiteral("DONT_FAKE_MONOTONIC"), QStringLiteral("1"));
        folder.start(process, QStringLiteral("Notino"), {}, environment);
        log(QStringLiteral("Notino started at %1, pid %2").arg(fakeStart).arg(process.processId()));
        // The clock's shared segments outlive the processes.
        for (const char *kind : {"/dev/shm/faketime_shm_%1", "/dev/shm/sem.faketime_sem_%1"})
            faketimeSegments << QString::fromLatin1(kind).arg(process.processId());
    }

    // The launcher's exit, as from its menu: it closes everything else before it ends.
    void exitLauncher(QProcess &notino, WindowRegistry &registry)
    {
        log(QStringLiteral("close request to NotinoTray"));
        ASSERT_TRUE(registry.postClose(QStringLiteral("NotinoTray")));
        ASSERT_TRUE(notino.waitForFinished(10000));
        EXPECT_EQ(notino.exitCode(), 0);
        EXPECT_TRUE(test::waitFor([this] { return folder.running().isEmpty(); }, 5s))
            << "still running: " << folder.running().size();
    }

    QStringList noteFiles() const
    {
        QStringList notes;
        for (const QString &name : folder.files())
            if (decodeNoteName(name))
                notes << name;
        return notes;
    }

    test::TemporaryProgramFolder folder;
    QProcess display;
    QString displayName;
    QElapsedTimer clock;
    QStringList steps;
    QString lastStep;
    int repeats = 0;
    QStringList faketimeSegments;
};

TEST_F(RoadOfANote, FromTheTrayThroughTheWatcherToTheArchive)
{
    const int alertDay = dayNumber(kAlertDay);
    const QRegularExpression savedName(QStringLiteral("^n%1h0570n\\d{5}\\.dat$").arg(alertDay));
    WindowRegistry registry(folder.path());

    // Day one: no list at start; the tray stand-in's left click makes a new yellow note.
    folder.put(QStringLiteral("Notino.ini"), settings(4));
    QProcess notino;
    start(notino, kDayOne);
    ASSERT_TRUE(test::waitFor([&] { return registry.exists(QStringLiteral("NotinoControl")); }, 5s));
    // The stand-in has no title of its own: it is the launcher's only visible window.
    const QString tray = waitForWindow(QStringLiteral("^Notino$"), QStringLiteral("--class"));
    ASSERT_FALSE(tray.isEmpty()) << "no tray stand-in";
    EXPECT_TRUE(windows(QStringLiteral("^  Elenco Notino$")).isEmpty());
    xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), tray, QStringLiteral("16"), QStringLiteral("16"),
             QStringLiteral("click"), QStringLiteral("1")});
    const QString note = waitForWindow(QStringLiteral("^PromemoX$"));
    ASSERT_FALSE(note.isEmpty()) << "no note after the tray click";
    EXPECT_EQ(folder.running(QStringLiteral("Kundo")).size(), 1);
    ASSERT_TRUE(test::waitFor([&] { return hasFocus(note); }, 3s)) << "the new note has no focus";
    EXPECT_TRUE(noteFiles().isEmpty());

    // Text, then F8: tomorrow at 09.30 in the alert set-up, confirmed with Enter on Ok.
    xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("15"), kText});
    xdotool({QStringLiteral("key"), QStringLiteral("F8")});
    const QString setup = waitForWindow(QStringLiteral("^  Alert Setup$"));
    ASSERT_FALSE(setup.isEmpty()) << "no alert set-up after F8";
    ASSERT_TRUE(test::waitFor([&] { return hasFocus(setup); }, 3s));
    xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("15"), QStringLiteral("2003310930")});
    xdotool({QStringLiteral("key"), QStringLiteral("Return")});
    QString saved;
    ASSERT_TRUE(test::waitFor([&] {
        const QStringList notes = noteFiles();
        saved = notes.size() == 1 && savedName.match(notes.front()).hasMatch() ? notes.front() : QString();
        return !saved.isEmpty();
    }, 5s)) << "note files: " << noteFiles().join(u' ').toStdString();
    EXPECT_TRUE(windows(QStringLiteral("^  Alert Setup$")).isEmpty());
    const auto content = readNoteFile(folder.filePath(saved));
    ASSERT_TRUE(content);
    EXPECT_EQ(content->text, kText);
    EXPECT_EQ(content->date, QStringLiteral("20/03/2031"));
    EXPECT_EQ(content->alertTime, QStringLiteral("09.30"));
    EXPECT_TRUE(content->changed.startsWith(QStringLiteral("19/03/2031 15.0"))) << content->changed.toStdString();
    const ArchiveRecord version = archiveRecordOf(content->date, content->alertTime, kText, content->changed);
    const ArchiveContents archived = readArchiveFile(folder.filePath(QLatin1String(kArchiveFileName)));
    EXPECT_EQ(archived.records, QList<ArchiveRecord>{version});

    // Dragged by its text to the right edge: put away under the same name, and the note ends.
    const QRect frame = geometry(note);
    ASSERT_EQ(frame.size(), kNoteSize);
    const QPoint grip = frame.topLeft() + QPoint(97, 70);
    xdotool({QStringLiteral("mousemove"), QString::number(grip.x()), QString::number(grip.y()),
             QStringLiteral("mousedown"), QStringLiteral("1")});
    for (const int toX : {800, 1000, 1200, kScreen.width() - 10})
        xdotool({QStringLiteral("mousemove"), QString::number(toX), QString::number(grip.y())});
    xdotool({QStringLiteral("mouseup"), QStringLiteral("1")});
    const QString putAway = u'o' + saved.mid(1);
    ASSERT_TRUE(test::waitFor([&] { return noteFiles() == QStringList{putAway}; }, 5s))
        << "note files: " << noteFiles().join(u' ').toStdString();
    EXPECT_TRUE(test::waitFor([&] { return folder.running(QStringLiteral("Kundo")).isEmpty(); }, 5s));
    EXPECT_EQ(readNoteFile(folder.filePath(putAway)), content);

    exitLauncher(notino, registry);
    ASSERT_EQ(noteFiles(), QStringList{putAway});

    // Day two, before the alert: the list opens at start with the note of today.
    QByteArray ini = folder.read(QStringLiteral("Notino.ini"));
    ASSERT_TRUE(ini.contains("showelenco=4"));
    folder.put(QStringLiteral("Notino.ini"), ini.replace("showelenco=4", "showelenco=2"));
    start(notino, kDayTwo);
    const QString list = waitForWindow(QStringLiteral("^  Elenco Notino$"));
    EXPECT_FALSE(list.isEmpty()) << "no note list at start";
    ASSERT_TRUE(test::waitFor([&] { return registry.exists(QStringLiteral("NotinoControl")); }, 5s));
    EXPECT_EQ(noteFiles(), QStringList{putAway});

    // The watcher's tick at 09.30 starts Kalvo on the note: its file goes and is not written again,
    // since the alert minute has come.
    ASSERT_TRUE(test::waitFor([&] { return !folder.running(QStringLiteral("Kalvo")).isEmpty(); }, 25s))
        << "the watcher started no note";
    const QString due = waitForWindow(QStringLiteral("^PromemoX$"));
    ASSERT_FALSE(due.isEmpty()) << "no note window from Kalvo";
    EXPECT_TRUE(test::waitFor([&] { return noteFiles().isEmpty(); }, 3s))
        << "note files: " << noteFiles().join(u' ').toStdString();

    // The alert fires: the note in the middle of the screen, its alert label white on red.
    QImage shot;
    const bool red = test::waitFor([&] {
        shot = screenshot(due);
        return pixelsOf(shot, kAlertLabel, qRgb(255, 0, 0)) > kAlertLabel.width() * kAlertLabel.height() / 3;
    }, 3s);
    EXPECT_TRUE(red) << "red pixels in the alert label: " << pixelsOf(shot, kAlertLabel, qRgb(255, 0, 0));
    EXPECT_GT(pixelsOf(shot, kAlertLabel, qRgb(255, 255, 255)), 0) << "no white text on the red";
    const QPoint middle((kScreen.width() - kNoteSize.width()) / 2, (kScreen.height() - kNoteSize.height()) / 2);
    EXPECT_EQ(geometry(due), QRect(middle, kNoteSize));
    EXPECT_EQ(folder.running(QStringLiteral("Kalvo")).size(), 1);
    // The launcher keeps a watcher: a fresh one within its 10-second beat.
    EXPECT_TRUE(test::waitFor([&] { return registry.exists(QStringLiteral("NotinoControl")); }, 12s));

    // F5 twice on the note discards it: it leaves no file, its version stays in the archive and
    // the archive search finds it whatever the case.
    xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), due});
    ASSERT_TRUE(test::waitFor([&] { return hasFocus(due); }, 3s));
    xdotool({QStringLiteral("key"), QStringLiteral("F5")});
    EXPECT_TRUE(test::waitFor([&] { return geometry(due).y() > middle.y(); }, 3s)) << "F5 did not arm the deletion";
    xdotool({QStringLiteral("key"), QStringLiteral("F5")});
    ASSERT_TRUE(test::waitFor([&] { return folder.running(QStringLiteral("Kalvo")).isEmpty(); }, 5s))
        << "the note did not end on the second F5";
    EXPECT_TRUE(noteFiles().isEmpty()) << noteFiles().join(u' ').toStdString();
    const ArchiveContents kept = readArchiveFile(folder.filePath(QLatin1String(kArchiveFileName)));
    EXPECT_EQ(kept.records, QList<ArchiveRecord>{version});
    const QString shown = archiveText(kept.records);
    const auto hit = findNextInArchive(shown, kSearched, 0);
    ASSERT_TRUE(hit);
    EXPECT_EQ(shown.mid(hit->position, hit->length), QStringLiteral("pacco"));

    exitLauncher(notino, registry);
}

} // namespace
} // namespace promemo
