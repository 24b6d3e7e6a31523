// What the suite hands to other programs: Promemo.ics, Rubrica.vcf and the two vdirs, from data
// in memory and from the program folder as the launcher keeps them.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include "addressbook/core/vcard.h"
#include "bench/benchcore.h"
#include "common/atomicfile.h"
#include "common/daynumber.h"
#include "common/notefile.h"
#include "common/notename.h"
#include "launcher/core/calendarfile.h"
#include "launcher/core/calendarfilekeeper.h"
#include "launcher/core/contactsfilekeeper.h"

using namespace promemo;

namespace {

QString noteText(int i)
{
    return QStringLiteral("Nota %1, con virgole; e \"virgolette\" è\r\nseconda riga").arg(i);
}

// 1,000 put-away notes (every third with an alert) and 200 recurrences of every kind.
QList<launcher::CalendarNote> thousandNotes()
{
    QList<launcher::CalendarNote> notes;
    for (int i = 0; i < 1000; ++i)
        notes.append({QDate(2027, 1, 1).addDays(i % 400), i % 3 == 0 ? std::optional<int>(8 * 60 + i % 600) : std::nullopt,
                      noteText(i), QStringLiteral("promemo-note-%1").arg(i), {}});
    return notes;
}

QList<Recurrence> recurrenceRecords()
{
    QList<Recurrence> recurrences;
    const char *perYear[] = {"01", "02", "03", "04", "06", "12"};
    for (int i = 0; i < 200; ++i)
        recurrences.append({QStringLiteral("%1/%2").arg(i % 31 + 1, 2, 10, QLatin1Char('0')).arg(i % 12 + 1, 2, 10, QLatin1Char('0')),
                            perYear[i % 6], QStringLiteral("%1").arg(i % 40, 2, 10, QLatin1Char('0')),
                            QStringLiteral("Ricorrenza %1").arg(i)});
    return recurrences;
}

QList<launcher::CalendarRecurrence> withUids(const QList<Recurrence> &records)
{
    QList<launcher::CalendarRecurrence> recurrences;
    for (const Recurrence &record : records)
        recurrences.append({record, QStringLiteral("promemo-rec-%1").arg(recurrences.size()), 2027});
    return recurrences;
}

const QDateTime kStamp(QDate(2027, 1, 10), QTime(8, 0), Qt::UTC);

void BM_CalendarFile(benchmark::State &state)
{
    const QList<launcher::CalendarNote> notes = thousandNotes();
    const QList<launcher::CalendarRecurrence> recurrences = withUids(recurrenceRecords());
    qsizetype bytes = 0;
    for (auto _ : state)
        bytes = launcher::calendarFile(notes, recurrences, kStamp).size();
    state.counters["KB"] = double(bytes) / 1024;
}
BENCHMARK(BM_CalendarFile)->Unit(benchmark::kMillisecond);

// The same events as 1,200 items of their own.
void BM_CalendarItems(benchmark::State &state)
{
    const QList<launcher::CalendarNote> notes = thousandNotes();
    const QList<launcher::CalendarRecurrence> recurrences = withUids(recurrenceRecords());
    qsizetype items = 0;
    for (auto _ : state)
        items = launcher::calendarItems(notes, recurrences, kStamp).size();
    state.counters["items"] = double(items);
}
BENCHMARK(BM_CalendarItems)->Unit(benchmark::kMillisecond);

std::array<rubrica::Sheet, rubrica::kSheets> fullBook()
{
    std::array<rubrica::Sheet, rubrica::kSheets> sheets{};
    for (int s = 0; s < rubrica::kSheets; ++s) {
        for (int r = 0; r < rubrica::kRows; ++r)
            sheets[std::size_t(s)][std::size_t(r)] = {{QStringLiteral("Cognome, Nome; %1 è").arg(s * 100 + r)},
                                                       {QStringLiteral("06 555 %1").arg(r)}};
    }
    return sheets;
}

// A full address book: 1,936 rows with a name and a number.
void BM_VCardFile(benchmark::State &state)
{
    const auto sheets = fullBook();
    qsizetype bytes = 0;
    for (auto _ : state)
        bytes = rubrica::encodeVCards(rubrica::contactsOf(sheets)).size();
    state.counters["KB"] = double(bytes) / 1024;
}
BENCHMARK(BM_VCardFile)->Unit(benchmark::kMillisecond);

// The launcher's whole look at a program folder with 1,000 note files and 200 recurrences:
// read them, match the UIDs, write Promemo.ics and the vdir. Arg 0: a first look (every item
// written); 1: a look after a change of one note (the other items are compared, not written).
void BM_CalendarKeeper(benchmark::State &state)
{
    ensureCoreApplication();
    QTemporaryDir dir;
    const QDir folder(dir.path());
    for (int i = 0; i < 1000; ++i) {
        const int day = dayNumber(QDate(2027, 1, 1).addDays(i % 400));
        const QString name = *encodeNoteName({NoteState::PutAway, day, 'h', i % 3 == 0 ? 480 + i % 600 : 0, 'n', i});
        if (!writeNoteFile(folder.filePath(name), {noteText(i), {}, {}, {}})) {
            state.SkipWithError("cannot write a note");
            return;
        }
    }
    if (!writeFileAtomically(folder.filePath(kEnteredRecurrencesFile.toString()), encodeRecurrences(recurrenceRecords()))) {
        state.SkipWithError("cannot write rico.dat");
        return;
    }
    const FixedClock clock;
    const bool again = state.range(0) == 1;
    if (again)
        launcher::CalendarFileKeeper warmUp(clock, dir.path());
    for (auto _ : state) {
        state.PauseTiming();
        if (!again)
            QDir(folder.filePath(launcher::kCalendarVdir.toString())).removeRecursively();
        state.ResumeTiming();
        launcher::CalendarFileKeeper keeper(clock, dir.path());
    }
}
BENCHMARK(BM_CalendarKeeper)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The same for 44 full sheets: rubri.dat read, Rubrica.vcf and 1,936 cards written.
void BM_ContactsKeeper(benchmark::State &state)
{
    ensureCoreApplication();
    QTemporaryDir dir;
    const QDir folder(dir.path());
    rubrica::DataFile file;
    if (!file.open(folder.filePath(rubrica::kDataFileName.toString()))) {
        state.SkipWithError("cannot create rubri.dat");
        return;
    }
    const auto sheets = fullBook();
    for (int s = 0; s < rubrica::kSheets; ++s) {
        if (!file.writeSheet(s, sheets[std::size_t(s)])) {
            state.SkipWithError("cannot write rubri.dat");
            return;
        }
    }
    const FixedClock clock;
    const bool again = state.range(0) == 1;
    if (again)
        launcher::ContactsFileKeeper warmUp(clock, dir.path());
    for (auto _ : state) {
        state.PauseTiming();
        if (!again)
            QDir(folder.filePath(launcher::kContactsVdir.toString())).removeRecursively();
        state.ResumeTiming();
        launcher::ContactsFileKeeper keeper(clock, dir.path());
    }
}
BENCHMARK(BM_ContactsKeeper)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
