#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringView>
#include <QTime>

#include <optional>

// The suite's date and time texts. They are stored in files and compared as text, so they are
// built by hand in one fixed form rather than from the user's locale.
namespace promemo {

// dd/mm/yyyy
QString dateText(QDate date);
// hh.mm
QString timeText(QTime time);
// dd/mm/yyyy hh.mm, the time of a note's last change
QString changedText(const QDateTime &dateTime);
// Italian long date, e.g. "sabato 5 dicembre 2026"
QString longDateText(QDate date);
// Italian month and year, e.g. "dicembre 2026"
QString monthYearText(QDate date);

// Strict readers of the forms above: exact width, digits only where digits belong, a real
// Gregorian date or a time of day; anything else gives nullopt.
std::optional<QDate> parseDateText(QStringView text);
std::optional<QTime> parseTimeText(QStringView text);

// Alert minutes: hours * 60 + minutes of the alert time; 0 means no alert.
inline constexpr int noAlert = 0;
inline constexpr int minutesPerDay = 24 * 60;

int alertMinutes(QTime time);
// The alert label's text: hh.mm, or empty when there is no alert (a time of 00.00 is no alert).
// Minutes outside one day give an empty text.
QString alertText(int minutes);
// Reads an alert label's text back: empty or "00.00" gives noAlert; nullopt when malformed.
std::optional<int> parseAlertText(QStringView text);

} // namespace promemo
