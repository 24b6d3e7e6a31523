#include "notelisting.h"

#include <QDir>
#include <QStringList>

#include <algorithm>
#include <tuple>

namespace promemo {
namespace {

// Narrows the directory search; the decoded fields decide.
QStringList nameFilters(const NoteFilter &filter)
{
    const QString day = filter.day ? QString::number(*filter.day) : QString();
    QStringList patterns;
    for (const NoteState state : {NoteState::Shown, NoteState::PutAway}) {
        if (filter.state && *filter.state != state)
            continue;
        patterns << QLatin1Char(stateLetter(state)) + day + QLatin1String("*.dat");
    }
    return patterns;
}

bool passes(const NoteName &name, const NoteFilter &filter)
{
    if (filter.state && name.state != *filter.state)
        return false;
    if (filter.day && name.day != *filter.day)
        return false;
    return true;
}

} // namespace

std::vector<ListedNote> listNotes(const QString &folder, const NoteFilter &filter)
{
    if (filter.day && *filter.day < 0)
        return {};
    const QDir dir(folder);
    const QStringList fileNames = dir.entryList(
        nameFilters(filter), QDir::Files | QDir::CaseSensitive, QDir::Unsorted);
    std::vector<ListedNote> notes;
    notes.reserve(fileNames.size());
    for (const QString &fileName : fileNames) {
        const auto name = decodeNoteName(fileName);
        if (!name || !passes(*name, filter))
            continue;
        notes.push_back({fileName, *name});
    }
    // Day order, not text order: "o12345..." sorts before "o1234h..." as text.
    std::sort(notes.begin(), notes.end(), [](const ListedNote &a, const ListedNote &b) {
        return std::tie(a.name.state, a.name.day, a.fileName)
               < std::tie(b.name.state, b.name.day, b.fileName);
    });
    return notes;
}

} // namespace promemo
