#include "calendar/core/calendarrules.h"

#include "common/daynumber.h"

namespace promemo::calendar {

std::array<QDate, 3> paneDates(QDate date, int pane)
{
    const int first = -qBound(0, pane, 2);
    return {date.addMonths(first), date.addMonths(first + 1), date.addMonths(first + 2)};
}

QDate keyMoveTarget(QDate selected, int days, int months)
{
    return selected.addDays(days).addMonths(months);
}

QDate scrollTarget(QDate today, int value)
{
    return today.addMonths(value - kScrollMiddle);
}

NoteName launchNoteName(QDate launchDate, NoteSize size, NoteColour colour, TextSize textSize,
                        QTime now)
{
    return {NoteState::PutAway, dayNumber(launchDate), colourLetter(colour, size), 0,
            sizeLetter(pointSize(textSize)), stampOf(now)};
}

} // namespace promemo::calendar
