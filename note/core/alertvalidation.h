#pragma once

#include <QDate>
#include <QPoint>
#include <QRect>
#include <QString>

#include <array>
#include <optional>

#include "common/notename.h"

// The window-free rules of the alert set-up dialog: where it opens, what it opens with and the
// checks of OK.
namespace promemo::note {

// The five boxes in focus order: day, month, year (two digits), hours, minutes.
enum BoxIndex { DayBox = 0, MonthBox, YearBox, HoursBox, MinutesBox };
// Focus positions 0 to 4 are the boxes; 5 is OK.
inline constexpr int kOkPosition = 5;
using AlertBoxes = std::array<QString, 5>;

// The top-left corner of the dialog's frame in twips. Below a normal note unless that would
// bring the dialog's bottom within 500 twips of the screen's bottom, then above it; over a
// medium note.
QPoint alertSetupPosition(NoteSize size, const QRect &noteTwips, int dialogHeightTwips,
                          int screenBottomTwips);

// The boxes as the dialog opens: the note's date, and its alert time when it has an alert
// (`alertText` hh.mm), else "00" and "00".
AlertBoxes openingBoxes(QDate noteDate, const QString &alertText, int alertMinutes);

// The outcome of OK. The checks run in order and the first refusal wins; what a refusal leaves
// applied stays applied (the dialog stays open, the note keeps it).
struct AlertValidation
{
    // The boxes after OK: empty ones "00", one digit with a "0" in front, the date boxes back
    // to today after a past date.
    AlertBoxes boxes;
    // Empty when every check passed.
    QString message;
    // Where the focus goes after a refusal (a BoxIndex).
    int focus = DayBox;
    // Set once the date checks passed: the note's new date.
    std::optional<QDate> date;
    // Set once the time checks up to the minutes passed: the note's new alert minutes (0 when
    // the alert was refused as already past).
    std::optional<int> alertMinutes;
    // When accepted: `Label2`'s new text, hh.mm or empty for no alert.
    QString alertText;

    bool accepted() const { return message.isEmpty(); }
};

AlertValidation validateAlertSetup(const AlertBoxes &boxes, QDate today, int nowMinutes);

// Whether OK changed anything worth saving: the boxes as OK read them against the opening ones.
bool boxesChanged(const AlertBoxes &validated, const AlertBoxes &opening);

} // namespace promemo::note
