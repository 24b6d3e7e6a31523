// The largest files the suite opens: the archive search on an archive of 401 notes of the longest
// text, and a note program on a note of the longest text. Both must open within a second.
#include <QApplication>
#include <QTest>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include "bench/benchapplication.h"

#include "common/archive.h"
#include "common/atomicfile.h"
#include "common/notefile.h"
#include "common/programfolder.h"
#include "launcher/archivewindow.h"
#include "note/notewindow.h"
#include "tests/support/fakes.h"
#include "tests/support/fakewindowregistry.h"

using namespace promemo;

namespace {

// The longest text a note takes, in lines of about 60 characters.
QString longestText()
{
    QString text;
    while (text.size() + 64 < kMaxNoteTextLength)
        text += QString::fromUtf8("Riga di una nota lunga: caffè, città, 5 € e altro ancora\r\n");
    return text;
}

void BM_OpenLargestArchive(benchmark::State &state)
{
    ensureApplication();
    QTemporaryDir dir;
    QByteArray archive;
    for (int i = 0; i <= kArchiveOlderRecords; ++i)
        archive += encodeArchiveRecord(archiveRecordOf("05/12/2026", "09.30", longestText(), "05/12/2026 10.00"));
    if (!writeFileAtomically(dir.filePath(kArchiveFileName), archive)) {
        state.SkipWithError("cannot write the archive");
        return;
    }
    setProgramFolderForTesting(dir.path());
    test::FakeWindowRegistry windows;
    test::FakeServices fakes(windows);
    for (auto _ : state) {
        auto *window = launcher::openArchiveWindow(fakes.services());
        QTest::qWait(0); // what the window queued at its start
        delete window;
    }
    state.counters["MB"] = double(archive.size()) / (1024 * 1024);
    setProgramFolderForTesting({});
}
BENCHMARK(BM_OpenLargestArchive)->Unit(benchmark::kMillisecond);

void BM_OpenLargestNote(benchmark::State &state)
{
    ensureApplication();
    QTemporaryDir dir;
    setProgramFolderForTesting(dir.path());
    test::FakeWindowRegistry windows;
    windows.addWindow(QStringLiteral("NotinoTray"));
    test::FakeServices fakes(windows);
    fakes.clock.current = QDateTime(QDate(2026, 12, 7), QTime(10, 0));
    const QString name = QStringLiteral("o9837h0000n00100.dat");
    const NoteContent content{longestText(), QStringLiteral("07/12/2026"), {}, QStringLiteral("06/12/2026 18.00")};
    for (auto _ : state) {
        state.PauseTiming();
        for (const QString &file : QDir(dir.path()).entryList({QStringLiteral("*.dat")}))
            QFile::remove(dir.filePath(file));
        if (!writeNoteFile(dir.filePath(name), content)) {
            state.SkipWithError("note file not written");
            break;
        }
        state.ResumeTiming();
        std::unique_ptr<note::frmNotino> window;
        bool started = false;
        note::startNoteProgram(fakes.services(), note::StartKind::OpenFile, NoteSize::Normal, name,
                               qApp, [&](std::unique_ptr<note::frmNotino> made) {
                                   window = std::move(made);
                                   started = true;
                               });
        if (!QTest::qWaitFor([&started] { return started; }, 10000)) {
            state.SkipWithError("the note did not start");
            return;
        }
        benchmark::DoNotOptimize(window.get());
    }
    setProgramFolderForTesting({});
}
BENCHMARK(BM_OpenLargestNote)->Unit(benchmark::kMillisecond);

} // namespace
