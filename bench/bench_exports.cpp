// What the suite hands to other programs: Promemo.ics and Rubrica.vcf, from data in memory.
#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include "addressbook/core/vcard.h"
#include "launcher/core/calendarfile.h"

using namespace promemo;

namespace {

// 1,000 put-away notes (every third with an alert) and 200 recurrences of every kind.
void BM_CalendarFile(benchmark::State &state)
{
    QList<launcher::CalendarNote> notes;
    for (int i = 0; i < 1000; ++i)
        notes.append({QDate(2027, 1, 1).addDays(i % 400), i % 3 == 0 ? std::optional<int>(8 * 60 + i % 600) : std::nullopt,
                      QStringLiteral("Nota %1, con virgole; e \"virgolette\" è\r\nseconda riga").arg(i)});
    QList<Recurrence> recurrences;
    const char *perYear[] = {"01", "02", "03", "04", "06", "12"};
    for (int i = 0; i < 200; ++i)
        recurrences.append({QStringLiteral("%1/%2").arg(i % 31 + 1, 2, 10, QLatin1Char('0')).arg(i % 12 + 1, 2, 10, QLatin1Char('0')),
                            perYear[i % 6], QStringLiteral("%1").arg(i % 40, 2, 10, QLatin1Char('0')),
                            QStringLiteral("Ricorrenza %1").arg(i)});
    const QDateTime stamp(QDate(2027, 1, 10), QTime(8, 0), Qt::UTC);
    qsizetype bytes = 0;
    for (auto _ : state)
        bytes = launcher::calendarFile(notes, recurrences, 2027, stamp).size();
    state.counters["KB"] = double(bytes) / 1024;
}
BENCHMARK(BM_CalendarFile)->Unit(benchmark::kMillisecond);

// A full address book: 1,936 rows with a name and a number.
void BM_VCardFile(benchmark::State &state)
{
    std::array<rubrica::Sheet, rubrica::kSheets> sheets{};
    for (int s = 0; s < rubrica::kSheets; ++s) {
        for (int r = 0; r < rubrica::kRows; ++r)
            sheets[std::size_t(s)][std::size_t(r)] = {{QStringLiteral("Cognome, Nome; %1 è").arg(s * 100 + r)},
                                                       {QStringLiteral("06 555 %1").arg(r)}};
    }
    qsizetype bytes = 0;
    for (auto _ : state)
        bytes = rubrica::encodeVCards(rubrica::contactsOf(sheets)).size();
    state.counters["KB"] = double(bytes) / 1024;
}
BENCHMARK(BM_VCardFile)->Unit(benchmark::kMillisecond);

// The same book read from rubri.dat and written to Rubrica.vcf, as a save does.
void BM_VCardFromDataFile(benchmark::State &state)
{
    QTemporaryDir dir;
    rubrica::DataFile file;
    if (!file.open(dir.filePath(QStringLiteral("rubri.dat")))) {
        state.SkipWithError("cannot create rubri.dat");
        return;
    }
    for (int s = 0; s < rubrica::kSheets; ++s) {
        rubrica::Sheet sheet{};
        for (int r = 0; r < rubrica::kRows; ++r)
            sheet[std::size_t(r)] = {{QStringLiteral("Cognome %1").arg(s * 100 + r)}, {QStringLiteral("06 555 %1").arg(r)}};
        if (!file.writeSheet(s, sheet)) {
            state.SkipWithError("cannot write rubri.dat");
            return;
        }
    }
    const QString path = dir.filePath(QStringLiteral("Rubrica.vcf"));
    for (auto _ : state) {
        if (!rubrica::writeVCardFile(file, path))
            state.SkipWithError("cannot write Rubrica.vcf");
    }
}
BENCHMARK(BM_VCardFromDataFile)->Unit(benchmark::kMillisecond);

} // namespace
