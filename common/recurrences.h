#pragma once

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>

#include "common/atomicfile.h"

// Recurrence files: rico.dat holds the recurrences as entered, ricf.dat each one expanded to
// its occurrences in a year. Both are quoted-field records of four fields.

namespace promemo {

inline constexpr QStringView kEnteredRecurrencesFile = u"rico.dat";
inline constexpr QStringView kExpandedRecurrencesFile = u"ricf.dat";

struct Recurrence
{
    QString date;    // "dd/mm"
    QString perYear; // occurrences per year: "01", "02", "03", "04", "06" or "12"
    QString advance; // days announced ahead: "00" to "40"
    QString text;

    int day() const;   // the number at the start of the date
    int month() const; // the number formed by the date's last two characters
    int occurrencesPerYear() const;
    int advanceDays() const;
    // The date in `year`; invalid when the day does not exist there (29/02 in a common year).
    QDate dateInYear(int year) const;

    bool operator==(const Recurrence &) const = default;
};

// The number at the start of `text`; 0 when it does not begin with a digit.
int leadingNumber(QStringView text);

// Records up to the end, or up to the first whose date does not begin with a non-zero number.
QList<Recurrence> parseRecurrences(const QByteArray &bytes);
// A missing or unreadable file holds no recurrences.
QList<Recurrence> readRecurrences(const QString &path);

// rico.dat as its writer reads it: a reader may stop at a record it cannot use, the writer
// must not lose it. Every record whose date begins with a non-zero number is readable; the
// others are kept as they are, each from the start of its line to its line end (added where the
// file ends without one), in file order.
struct EnteredRecurrences
{
    QList<Recurrence> readable;
    QByteArray unreadable;
};
EnteredRecurrences parseEnteredRecurrences(const QByteArray &bytes);
EnteredRecurrences readEnteredRecurrences(const QString &path);

QByteArray encodeRecurrences(const QList<Recurrence> &records);

// The occurrence of `entered` in `month` (reduced by 12 while above 12): the day is cut to 30
// in April, June, September and November, and to the length of February in `year`.
Recurrence occurrenceInMonth(const Recurrence &entered, int month, int year);

// Every occurrence of `entered`, from its own month on, stepping 12 / occurrences months and
// wrapping past December; February days follow the leap rule of `year`.
QList<Recurrence> expandRecurrence(const Recurrence &entered, int year);

// Rewrites rico.dat and ricf.dat in `folder`, each whole; fields are stripped of blanks first.
// `unreadable` (records read but not understood) follows the records in rico.dat as it is;
// ricf.dat has the occurrences of `entered` only. No recurrences gives two empty files. When
// either write failed, both files are as they were and the result says why.
WriteResult writeRecurrenceFiles(const QString &folder, const QList<Recurrence> &entered, int year,
                                 const QByteArray &unreadable = {});

} // namespace promemo
