#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include "common/notename.h"
#include "watcher/watcherwindow.h"

using namespace promemo;

namespace {

constexpr int kToday = 10984;
constexpr int kNotes = 10'000;

// Note files over 100 days around today, both states, every colour letter; one in a hundred of
// today's has no alert.
bool makeNotes(const QString &folder)
{
    const char letters[] = {'h', 'a', 'v', 'k', 'b', 'd'};
    for (int i = 0; i < kNotes; ++i) {
        NoteName name;
        name.state = i % 7 == 0 ? NoteState::Shown : NoteState::PutAway;
        name.day = kToday - 50 + i % 100;
        name.colourLetter = letters[i % 6];
        name.alertMinutes = i % 101 == 0 ? 0 : (i * 37) % 1440;
        name.sizeLetter = 'n';
        name.stamp = i % 86400;
        const auto bare = encodeNoteName(name);
        QFile file(folder + u'/' + bare.value_or(QString()));
        if (!bare || !file.open(QIODevice::WriteOnly))
            return false;
    }
    return true;
}

// What a watcher does once at its start.
void BM_WatcherScan(benchmark::State &state)
{
    QTemporaryDir dir;
    if (!dir.isValid() || !makeNotes(dir.path())) {
        state.SkipWithError("cannot write the note files");
        return;
    }
    for (auto _ : state) {
        const auto due = watcher::findDueNote(dir.path(), kToday);
        if (!due) {
            state.SkipWithError("no note found");
            return;
        }
        benchmark::DoNotOptimize(due);
    }
}
BENCHMARK(BM_WatcherScan)->Unit(benchmark::kMillisecond);

} // namespace
