#include "common/duenotes.h"

#include <algorithm>

namespace promemo {

std::optional<QDate> nextOccurrence(const Recurrence &recurrence, QDate today)
{
    const int year = recurrence.month() < today.month() ? today.year() + 1 : today.year();
    const QDate date = recurrence.dateInYear(year);
    if (!date.isValid())
        return std::nullopt;
    return date;
}

std::optional<int> daysUntilDue(const Recurrence &recurrence, QDate today)
{
    const auto occurrence = nextOccurrence(recurrence, today);
    if (!occurrence)
        return std::nullopt;
    const qint64 days = today.daysTo(*occurrence);
    if (days < 0 || days > recurrence.advanceDays())
        return std::nullopt;
    return int(days);
}

bool anyRecurrenceDue(const QList<Recurrence> &recurrences, QDate today)
{
    return std::any_of(recurrences.begin(), recurrences.end(),
                       [today](const Recurrence &r) { return daysUntilDue(r, today).has_value(); });
}

bool openNoteListAtStart(ShowList when, const std::vector<int> &putAwayDays, bool recurrenceDue,
                         int today)
{
    const auto anyDay = [&](int last) {
        return std::any_of(putAwayDays.begin(), putAwayDays.end(),
                           [&](int day) { return day >= today && day <= last; });
    };
    switch (when) {
    case ShowList::Never:
        return false;
    case ShowList::Today:
        return recurrenceDue || anyDay(today);
    case ShowList::SevenDays:
        return recurrenceDue || anyDay(today + 7);
    case ShowList::Always:
        break;
    }
    return true;
}

std::optional<DueNote> chooseDueNote(const std::vector<ListedNote> &notes, int today)
{
    std::optional<DueNote> chosen;
    for (const ListedNote &note : notes) {
        if (note.name.state != NoteState::PutAway || note.name.day != today)
            continue;
        const int minutes = note.name.alertMinutes;
        if (minutes > 0 && (!chosen || minutes < chosen->alertMinutes))
            chosen = DueNote{note.fileName, minutes};
    }
    return chosen;
}

QString reopenProgram(NoteSize size)
{
    return size == NoteSize::Medium ? QStringLiteral("Kirmo") : QStringLiteral("Kalvo");
}

} // namespace promemo
