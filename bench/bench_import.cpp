// The other way round: events others put in calendario/ becoming notes. BM_Import200: the
// launcher's look at a folder that has just received 200 new items (each becomes a note, the
// map and Promemo.ics are written). BM_IdleWatch: a keeper of 200 imported notes left alone
// for 10 s; the counter "cpu_ms" is the process's CPU time over those seconds.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <QDir>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <memory>

#include "bench/benchcore.h"
#include "common/atomicfile.h"
#include "launcher/core/calendarfile.h"
#include "launcher/core/calendarfilekeeper.h"
#include "launcher/core/vdir.h"

using namespace promemo;

namespace {

bool put200(const QString &folder)
{
    const QDir vdir(QDir(folder).filePath(launcher::kCalendarVdir.toString()));
    if (!QDir().mkpath(vdir.path()))
        return false;
    QList<std::pair<QString, QByteArray>> files;
    for (int i = 0; i < 200; ++i)
        files.append({vdir.filePath(QStringLiteral("%1.ics").arg(i)),
                      "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Telefono//IT\r\nBEGIN:VEVENT\r\nUID:" + QByteArray::number(i)
                          + "@telefono.example\r\nDTSTAMP:20270101T000000Z\r\nDTSTART:202702"
                          + QByteArray::number(10 + i % 18) + "T0" + QByteArray::number(i % 10)
                          + "3000Z\r\nSUMMARY:Appuntamento " + QByteArray::number(i)
                          + "\r\nDESCRIPTION:dal telefono\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n"});
    return writeFilesAtomically(files).isEmpty();
}

double cpuMilliseconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

void BM_Import200(benchmark::State &state)
{
    ensureCoreApplication();
    const FixedClock clock;
    for (auto _ : state) {
        state.PauseTiming();
        auto dir = std::make_unique<QTemporaryDir>();
        if (!put200(dir->path())) {
            state.SkipWithError("cannot write the items");
            return;
        }
        state.ResumeTiming();
        auto keeper = std::make_unique<launcher::CalendarFileKeeper>(clock, dir->path());
        state.PauseTiming();
        if (QDir(dir->path()).entryList({QStringLiteral("o*.dat")}).size() != 200)
            state.SkipWithError("not 200 notes");
        keeper.reset();
        dir.reset(); // its removal is no part of the import
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Import200)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_IdleWatch(benchmark::State &state)
{
    ensureCoreApplication();
    const FixedClock clock;
    QTemporaryDir dir;
    if (!put200(dir.path())) {
        state.SkipWithError("cannot write the items");
        return;
    }
    launcher::CalendarFileKeeper keeper(clock, dir.path());
    const auto idle = [](int ms) {
        QEventLoop loop;
        QTimer::singleShot(ms, &loop, &QEventLoop::quit);
        loop.exec();
    };
    idle(2000); // the import's own writes settle first
    for (auto _ : state) {
        const double before = cpuMilliseconds();
        idle(10'000);
        state.counters["cpu_ms"] = cpuMilliseconds() - before;
    }
}
BENCHMARK(BM_IdleWatch)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
