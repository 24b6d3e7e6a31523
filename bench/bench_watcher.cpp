#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include "common/daynumber.h"
#include "common/notename.h"
#include "watcher/watcherwindow.h"

using namespace promemo;

namespace {

constexpr int kToday = 10984;

// `count` note files over `days` days ending a year after today, both states, every colour
// letter; one in a hundred has no alert.
bool makeNotes(const QString &folder, int count, int days)
{
    const char letters[] = {'h', 'a', 'v', 'k', 'b', 'd'};
    for (int i = 0; i < count; ++i) {
        NoteName name;
        name.state = i % 7 == 0 ? NoteState::Shown : NoteState::PutAway;
        name.day = kToday + days / 2 - i % days;
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

// What a watcher does once at its start: 500 notes over two years, and 10,000 over 100 days.
void BM_WatcherScan(benchmark::State &state)
{
    QTemporaryDir dir;
    if (!dir.isValid() || !makeNotes(dir.path(), int(state.range(0)), int(state.range(1)))) {
        state.SkipWithError("cannot write the note files");
        return;
    }
    for (auto _ : state) {
        const auto due = watcher::findAlerts(dir.path(), dateOfDayNumber(kToday));
        if (due.empty()) {
            state.SkipWithError("no note found");
            return;
        }
        benchmark::DoNotOptimize(due);
    }
}
BENCHMARK(BM_WatcherScan)->Args({500, 730})->Args({10'000, 100})->Unit(benchmark::kMillisecond);

} // namespace
