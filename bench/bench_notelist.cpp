#include <QApplication>
#include <QTest>
#include <QListWidget>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include "bench/benchapplication.h"

#include "common/daynumber.h"
#include "common/notefile.h"
#include "common/notename.h"
#include "common/programfolder.h"
#include "launcher/notelistwindow.h"
#include "tests/support/fakes.h"
#include "tests/support/fakewindowregistry.h"

using namespace promemo;

namespace {

constexpr int kNotes = 1000;
const QDate kToday(2030, 3, 10);

// Put-away notes of today and of the next 99 days, each with a text of about 100 characters.
bool writeNotes(const QString &folder)
{
    const int today = dayNumber(kToday);
    for (int i = 0; i < kNotes; ++i) {
        const int day = today + i % 100;
        const auto name = encodeNoteName({NoteState::PutAway, day, 'h', i % 3 ? 0 : 600, 'n', i});
        const QString date = dateOfDayNumber(day).toString(QStringLiteral("dd/MM/yyyy"));
        const QString text = QStringLiteral("Promemoria numero %1: ").arg(i)
                             + QStringLiteral("telefonare, comprare, ricordare. ").repeated(3);
        const QString time = i % 3 ? QString() : QStringLiteral("10.00");
        if (!name || !writeNoteFile(folder + u'/' + *name, {text, date, time, date + u" 08.00"_qs}))
            return false;
    }
    return true;
}

// Opening the note list: reading every note file, building and sorting the lines, showing the
// window.
void BM_OpenNoteList(benchmark::State &state)
{
    ensureApplication();
    QTemporaryDir dir;
    if (!writeNotes(dir.path())) {
        state.SkipWithError("cannot write the notes");
        return;
    }
    setProgramFolderForTesting(dir.path());
    test::FakeWindowRegistry windows;
    test::FakeServices fakes(windows);
    fakes.clock.current = QDateTime(kToday, QTime(10, 0));
    const Services services = fakes.services();
    int lines = 0;
    for (auto _ : state) {
        auto *window = new launcher::frmCounter(services);
        QTest::qWait(0); // what the window queued at its start
        lines = window->list(1)->count() + window->list(2)->count();
        delete window;
    }
    state.counters["lines"] = lines;
    setProgramFolderForTesting({});
}
BENCHMARK(BM_OpenNoteList)->Unit(benchmark::kMillisecond);

} // namespace
