#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include "common/archive.h"
#include "common/atomicfile.h"

using namespace promemo;

namespace {

ArchiveRecord recordOf300Characters(int i)
{
    QString text = QString::fromUtf8("Nota numero %1: caffè alle 9, poi città €. ").arg(i);
    while (text.size() < 300)
        text += QStringLiteral("testo di prova ");
    text.truncate(300);
    return archiveRecordOf("05/12/2026", "09.30", text, "05/12/2026 10.00");
}

QByteArray fullArchive()
{
    QByteArray archive;
    for (int i = 0; i <= kArchiveOlderRecords; ++i)
        archive += encodeArchiveRecord(recordOf300Characters(i));
    return archive;
}

// The in-memory rewrite: find the end of the 400th record and copy.
void BM_PrependedArchive(benchmark::State &state)
{
    const QByteArray archive = fullArchive();
    const ArchiveRecord record = recordOf300Characters(-1);
    for (auto _ : state)
        benchmark::DoNotOptimize(prependedArchive(archive, record));
    state.SetBytesProcessed(state.iterations() * archive.size());
}
BENCHMARK(BM_PrependedArchive);

// What one save costs: lock, read, rewrite through a temporary file, flush to disk, rename.
void BM_PrependToArchiveFile(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(kArchiveFileName);
    if (!writeFileAtomically(path, fullArchive())) {
        state.SkipWithError("cannot write the archive");
        return;
    }
    const ArchiveRecord record = recordOf300Characters(-1);
    for (auto _ : state) {
        if (!prependToArchive(path, record)) {
            state.SkipWithError("prepend failed");
            return;
        }
    }
}
BENCHMARK(BM_PrependToArchiveFile)->Unit(benchmark::kMillisecond);

} // namespace
