#pragma once

#include <QDate>
#include <QList>
#include <QString>

#include <optional>
#include <vector>

#include "common/notelisting.h"
#include "common/recurrences.h"
#include "common/settings.h"

// When notes and recurrences are due: the launcher's start-up decision, the recurrences the note
// list shows, and the note the watcher waits for.
namespace promemo {

// The next occurrence of a recurrence from `today`: its day and month this year, or next year
// when its month is before today's month (an earlier day of this month stays this year, so it
// is past). Empty when the date does not exist in that year (31/04, 29/02 of a common year).
std::optional<QDate> nextOccurrence(const Recurrence &recurrence, QDate today);

// Days from `today` to the next occurrence when the alert period has begun (0 up to the
// recurrence's advance days), else empty.
std::optional<int> daysUntilDue(const Recurrence &recurrence, QDate today);

bool anyRecurrenceDue(const QList<Recurrence> &recurrences, QDate today);

// Whether the launcher opens the note list at start-up: always, never, or for a put-away note
// of today (`Today`) / of today to seven days ahead (`SevenDays`), or a recurrence due.
bool openNoteListAtStart(ShowList when, const std::vector<int> &putAwayDays, bool recurrenceDue,
                         int today);

// The note the watcher waits for: among today's put-away notes, the earliest alert minute
// above 0; ties keep the first in `notes`' order. Empty when no note of today has an alert.
struct DueNote
{
    QString fileName;
    int alertMinutes = 0;

    bool operator==(const DueNote &) const = default;
};
std::optional<DueNote> chooseDueNote(const std::vector<ListedNote> &notes, int today);

// The note program that opens an existing note file: Kirmo for medium notes, else Kalvo.
QString reopenProgram(NoteSize size);

} // namespace promemo
