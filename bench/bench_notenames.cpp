#include "common/notelisting.h"
#include "common/notename.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdlib>
#include <memory>

#include <benchmark/benchmark.h>

namespace promemo {
namespace {

constexpr int noteCount = 10000;

// Four- and five-digit days, every colour and size letter, alerts and stamps spread out.
QStringList sampleNames()
{
    static const char colours[] = {'a', 'v', 'h', 'b', 'd', 'k'};
    static const char sizes[] = {'s', 'n', 'm'};
    QStringList names;
    names.reserve(noteCount);
    for (int i = 0; i < noteCount; ++i) {
        const NoteName name{i % 2 ? NoteState::PutAway : NoteState::Shown,
                            9835 + i / 10,
                            colours[i % 6],
                            (i * 7) % 1440,
                            sizes[i % 3],
                            (i * 37) % 86400};
        names << *encodeNoteName(name);
    }
    return names;
}

void BM_DecodeNoteNames(benchmark::State &state)
{
    const QStringList names = sampleNames();
    for (auto _ : state) {
        int decoded = 0;
        for (const QString &name : names)
            decoded += decodeNoteName(name).has_value();
        benchmark::DoNotOptimize(decoded);
    }
    state.SetItemsProcessed(state.iterations() * names.size());
}
BENCHMARK(BM_DecodeNoteNames)->Unit(benchmark::kMicrosecond);

class NoteFolder : public benchmark::Fixture
{
public:
    void SetUp(const benchmark::State &) override
    {
        if (m_dir)
            return;
        m_dir = std::make_unique<QTemporaryDir>();
        for (const QString &name : sampleNames()) {
            QFile file(m_dir->filePath(name));
            if (!file.open(QIODevice::WriteOnly))
                std::abort();
        }
    }

protected:
    std::unique_ptr<QTemporaryDir> m_dir;
};

BENCHMARK_DEFINE_F(NoteFolder, ListAllNotes)(benchmark::State &state)
{
    for (auto _ : state) {
        const auto notes = listNotes(m_dir->path());
        if (notes.size() != noteCount)
            state.SkipWithError("wrong count");
        benchmark::DoNotOptimize(notes.data());
    }
    state.SetItemsProcessed(state.iterations() * noteCount);
}
BENCHMARK_REGISTER_F(NoteFolder, ListAllNotes)->Unit(benchmark::kMillisecond);

// One day's put-away notes, as the watcher looks for them.
BENCHMARK_DEFINE_F(NoteFolder, ListOneDay)(benchmark::State &state)
{
    for (auto _ : state) {
        const auto notes = listNotes(m_dir->path(), {NoteState::PutAway, 10000});
        if (notes.size() != 5)
            state.SkipWithError("wrong count");
        benchmark::DoNotOptimize(notes.data());
    }
}
BENCHMARK_REGISTER_F(NoteFolder, ListOneDay)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace promemo
