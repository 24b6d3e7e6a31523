#pragma once

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>
#include <vector>

#include "common/notelisting.h"
#include "common/recurrences.h"
#include "common/settings.h"

// When notes and recurrences are due: the launcher's start-up decision, the recurrences the note
// list shows, and the alerts the watcher waits for.
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

// An alert is a moment: its day and its minute in local time. It is due once the local clock
// shows that day and minute or a later one, whatever day it is now. A minute in the hour the
// clocks skip is due when they reach the hour after it; one in the hour they repeat is due when
// it first comes.
bool isMomentDue(QDate day, int alertMinutes, const QDateTime &now);
// The first instant at which the local clock shows `day` and `alertMinutes`, or a later time.
QDateTime alertMoment(QDate day, int alertMinutes);

// A put-away note with an alert, as the watcher keeps it.
struct DueNote
{
    QString fileName;
    QDate day;
    int alertMinutes = 0;

    bool operator==(const DueNote &) const = default;
};
// The alerts the watcher waits for: the put-away notes of every day up to `today` that have an
// alert, earliest moment first; equal moments keep the order of `notes`.
std::vector<DueNote> alertsToWatch(const std::vector<ListedNote> &notes, QDate today);
// Those of `watched` (earliest first) that are due at `now`.
std::vector<DueNote> dueAt(const std::vector<DueNote> &watched, const QDateTime &now);

// The note program that opens an existing note file: Kirmo for medium notes, else Kalvo.
QString reopenProgram(NoteSize size);

} // namespace promemo
