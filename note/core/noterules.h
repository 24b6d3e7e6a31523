#pragma once

#include <QDate>
#include <QDateTime>
#include <QPoint>
#include <QSize>
#include <QString>
#include <QStringList>

#include "common/notename.h"

// The rules of the note window that need no window: alert and date stepping, the save
// condition, the line counter's limit, the drop zones and the positions along the top edge.
// Geometry is in twips (15 to a pixel) unless a name says pixels.
namespace promemo::note {

enum class Direction { Earlier, Later };

// Ctrl+Left/Right (step 10) and Alt+Left/Right (step 60) on the alert time.
struct AlertStep
{
    QDate date;          // the note's date, moved when the time wrapped past midnight
    int minutes = 0;     // the new alert time, hours * 60 + minutes
    bool clampedToNow = false; // moved to now today; " ora inferiore alla attuale     " is due
};
// `alertText` is the alert label's text; when it is empty or not hh.mm, the current time is the
// start. `step` must divide a day (10 or 60); another step leaves the time as it is, and so
// does a step later that would wrap past lastDay().
AlertStep stepAlert(const QString &alertText, QDate noteDate, int step, Direction direction,
                    QDate today, int nowMinutes);

// "Rimanda di 10 minuti": the alert ten minutes from now, on the next day past midnight. 00.00
// means no alert, so a snooze that reaches it takes 00.01; on lastDay() the alert stays within
// the day.
inline constexpr int kSnoozeMinutes = 10;
AlertStep snoozedAlert(QDate today, int nowMinutes);

// Ctrl+Up/Down (1 day) and Alt+Up/Down (7 days); a step forward stops at lastDay().
struct DateStep
{
    QDate date;
    bool clampedToToday = false; // " data inferiore alla attuale !    " is to be shown
};
DateStep stepDate(QDate noteDate, int days, QDate today);

// A text worth saving: not blank once trimmed, with at least one ASCII letter or digit.
bool isSavableText(const QString &text);

// Lines the text box shows before the counter turns red: 5/4/3 (normal) or 8/6/5 (medium)
// for 10/12/14 points; below 11 points counts as 10, 11 to 13 as 12, above 13 as 14.
int visibleLines(NoteSize size, int points);

// Where a note was dropped, by its top-left corner against the screen size.
inline constexpr int kBottomZoneTwips = 1600; // top below screen height - this
inline constexpr int kRightZoneTwips = 2045;  // left beyond screen width - this
inline constexpr int kLeftZoneTwips = -700;   // left before this
enum class DropZone { None, Bottom, Right, Left };
DropZone dropZone(QPoint topLeftTwips, QSize screenTwips);

// What a drop in the bottom zone does: delete at once (blank text, a past day, an alert whose
// minute has come) or ask first.
enum class BottomDrop { Delete, Ask };
BottomDrop bottomDrop(const QString &text, int noteDay, int today, int alertMinutes,
                      int nowMinutes);

// An armed alert fires at the first tick at or after its moment (the note's day and alert
// minute), whatever day it is now.
bool isAlertDue(int alertMinutes, bool fired, QDate noteDate, const QDateTime &now);
// An alert that fires more than a minute after its moment is a missed alert.
inline constexpr int kMissedAfterSeconds = 60;
bool isMissedAlert(QDate noteDate, int alertMinutes, const QDateTime &firedAt);
// The moment a missed alert was for, as its label says it: "23.50 di ieri", "09.30 di oggi",
// "09.30 del 05/12" (with the year, "del 05/12/25", when it is not this year's).
QString missedMomentText(QDate noteDate, int alertMinutes, QDate today);

// The top of a parked note in pixels: only its lowest 20 pixels show.
int parkedTopPixels(NoteSize size);
// F10, F11, F12: the parked note's left in pixels for the screen width in twips.
enum class ParkSlot { F10, F11, F12 };
int parkedLeftPixels(ParkSlot slot, int screenWidthTwips);
// Ctrl+Numpad 0 brings a parked note down to this top.
inline constexpr int kUnparkedTopTwips = 200;
// The first F5 moves the note so that its top is this far above the screen's bottom.
inline constexpr int kDeleteArmedAboveBottomTwips = 2000;

// A fired note that finds the middle taken goes this far down and right of it, about a title
// bar, and as many times more as places are taken (note/core/firedplaces.h).
inline constexpr int kFiredStepTwips = 360;

// What the desktop's notification says when the alert fires: the date and the alert time, or
// for a missed alert "Avviso mancato: " and the moment it was for; and the first lines of the
// text.
struct AlertNotice
{
    QString summary;
    QString body;
};
inline constexpr int kNoticeLines = 3;
AlertNotice alertNotice(QDate date, const QString &alertText, const QString &text,
                        const QString &missedMoment = {});

} // namespace promemo::note
