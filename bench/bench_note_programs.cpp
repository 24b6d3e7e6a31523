// Start time, memory and idle CPU of the note programs, started as the launcher starts them.
// Run it with the platform to measure: QT_QPA_PLATFORM=offscreen, or DISPLAY of an X server.
//   bench_note_programs [program folder] [idle seconds]

#include <QCoreApplication>
#include <QTest>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

#include <unistd.h>

#include "platform/windowregistry.h"
#include "tests/support/registryrequests.h"

using namespace std::chrono_literals;

namespace {

const QString kNote = QStringLiteral("PromemoX");

void runEventsFor(std::chrono::milliseconds duration)
{
    QTest::qWait(int(duration.count()));
}

std::unique_ptr<QProcess> startNote(const QString &folder)
{
    auto process = std::make_unique<QProcess>();
    process->setProgram(QDir(folder).filePath(QStringLiteral("Kundo")));
    process->setArguments({QStringLiteral("12")});
    process->setWorkingDirectory(folder);
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process->start();
    process->waitForStarted(5000);
    return process;
}

// Kilobytes of a field of /proc/<pid>/smaps_rollup ("Rss:", "Pss:").
long smapsKb(qint64 pid, const char *field)
{
    QFile file(QStringLiteral("/proc/%1/smaps_rollup").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : file.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(int(qstrlen(field))).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

// User plus system clock ticks of a process.
long cpuTicks(qint64 pid)
{
    QFile file(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray stat = file.readAll();
    const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
    return fields.value(11).toLong() + fields.value(12).toLong(); // utime, stime
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

void closeNotes(promemo::WindowRegistry &registry,
                std::vector<std::unique_ptr<QProcess>> &processes)
{
    // The requests go out at once; the processes ending is waited for below.
    QObject context;
    registry.closeAll(kNote, 10s, &context, {});
    for (auto &process : processes) {
        if (!process->waitForFinished(3000))
            process->kill();
        process->waitForFinished(1000);
    }
    processes.clear();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString folder = args.value(1).isEmpty() ? QStringLiteral(PROMEMO_PROGRAM_FOLDER)
                                                   : args.at(1);
    const int idleSeconds = args.value(2, QStringLiteral("60")).toInt();

    promemo::WindowRegistry registry(folder);
    // The note programs end at once without the launcher's window.
    const auto tray = registry.registerWindow(QStringLiteral("NotinoTray"));
    if (!tray || promemo::test::exists(registry, kNote)) {
        std::fprintf(stderr, "registry unusable, or notes already open in %s\n", qPrintable(folder));
        return 1;
    }
    std::printf("platform: %s\n", qgetenv("QT_QPA_PLATFORM").isEmpty()
                                      ? qPrintable(QStringLiteral("xcb on ") + qgetenv("DISPLAY"))
                                      : qgetenv("QT_QPA_PLATFORM").constData());

    std::vector<double> startMs;
    for (int i = 0; i < 20; ++i) {
        QElapsedTimer timer;
        timer.start();
        std::vector<std::unique_ptr<QProcess>> one;
        one.push_back(startNote(folder));
        // The note answers the registry once its window is shown and its event loop runs.
        if (!QTest::qWaitFor([&registry] { return promemo::test::exists(registry, kNote); }, 10000)) {
            std::fprintf(stderr, "the note did not show within 10 s\n");
            return 1;
        }
        startMs.push_back(timer.nsecsElapsed() / 1e6);
        closeNotes(registry, one);
    }
    std::printf("start to window shown, median of 20: %.1f ms (min %.1f, max %.1f)\n",
                median(startMs), *std::min_element(startMs.begin(), startMs.end()),
                *std::max_element(startMs.begin(), startMs.end()));

    std::vector<std::unique_ptr<QProcess>> notes;
    for (int i = 0; i < 10; ++i)
        notes.push_back(startNote(folder));
    runEventsFor(3s);
    std::printf("memory of 10 idle notes (kB):\n");
    long rssSum = 0;
    long pssSum = 0;
    for (const auto &note : notes) {
        const long rss = smapsKb(note->processId(), "Rss:");
        const long pss = smapsKb(note->processId(), "Pss:");
        rssSum += rss;
        pssSum += pss;
        std::printf("  pid %lld: RSS %ld, PSS %ld\n", note->processId(), rss, pss);
    }
    std::printf("  mean RSS %.1f MB, mean PSS %.1f MB\n", rssSum / 10 / 1024.0,
                pssSum / 10 / 1024.0);

    for (int i = 0; i < 10; ++i)
        notes.push_back(startNote(folder));
    runEventsFor(3s);
    std::vector<long> before;
    for (const auto &note : notes)
        before.push_back(cpuTicks(note->processId()));
    runEventsFor(std::chrono::seconds(idleSeconds));
    long used = 0;
    for (std::size_t i = 0; i < notes.size(); ++i)
        used += cpuTicks(notes[i]->processId()) - before[i];
    const double seconds = double(used) / double(sysconf(_SC_CLK_TCK));
    std::printf("CPU of 20 idle notes over %d s: %.2f s = %.2f %% of one core\n", idleSeconds,
                seconds, 100.0 * seconds / idleSeconds);
    closeNotes(registry, notes);
    return 0;
}
