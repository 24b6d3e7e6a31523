#pragma once

#include <QDate>
#include <QDateTime>

#include <array>

#include "common/notename.h"
#include "common/settings.h"

// The calendar window's date rules and the name of the note it launches; no widgets.
namespace promemo::calendar {

// The dates of the left, middle and right panes when `date` is shown in pane `pane` (0..2).
std::array<QDate, 3> paneDates(QDate date, int pane);

// The date a grid key reaches from `selected`: days first, then whole months (day cut to the
// month's end).
QDate keyMoveTarget(QDate selected, int days, int months);

// The scroll bar runs 0..24 with today's month at 12.
inline constexpr int kScrollMinimum = 0;
inline constexpr int kScrollMaximum = 24;
inline constexpr int kScrollMiddle = 12;
QDate scrollTarget(QDate today, int value);

// The put-away note for `launchDate` in the given size, with the colour and text size of the
// settings, stamped with `now`.
NoteName launchNoteName(QDate launchDate, NoteSize size, NoteColour colour, TextSize textSize,
                        QTime now);

} // namespace promemo::calendar
