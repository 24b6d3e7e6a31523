#pragma once

#include <QString>

#include <optional>

#include "common/recurrences.h"

// The recurrence editor's list entries and the checks of its form, without a window.
//
// An entry is a text of fixed columns (1-based): 1-3 sort key, 7-11 date "dd/mm", 14-15
// occurrences per year, 18-19 alert advance, 23 on the text; blanks between. The key is the
// day of the year of the date in the current year, so a list sorted as text runs through the
// year in calendar order.

namespace promemo {

// The only entry of a list without recurrences.
inline constexpr QStringView kNoRecurrencesEntry = u"             Nessuna ricorrenza inserita";

// Whether `entry` is the placeholder: blanks stripped, it begins with "Nessun".
bool isPlaceholderEntry(const QString &entry);

// The day of the year of `day`/`month` in `year`, three digits ("064" for 5 March 2031).
// A day past the end of its month counts on into the next (29/02 in a common year gives
// "060", the place of 1 March); a month outside 1-12 is taken as the nearest of them.
QString recurrenceSortKey(int day, int month, int year);

// The list entry of a recurrence; `year` gives the sort key. Date, occurrences and advance are
// fitted to their columns, so a damaged record cannot shift the fields after them.
QString recurrenceEntry(const Recurrence &recurrence, int year);

// The fields written to the recurrence files for `entry`, blanks stripped.
Recurrence recurrenceOfEntry(const QString &entry);

// The editor's form: the texts of the day, month, occurrences-per-year and alert boxes and of
// the text box.
struct RecurrenceForm
{
    QString day;
    QString month;
    QString perYear;
    QString advance;
    QString text;

    // The form as it opens and after an insertion or "Cancella i dati".
    static RecurrenceForm empty();
    // Whether the user has typed something that would be lost (day, month or text changed).
    bool holdsData() const;

    bool operator==(const RecurrenceForm &) const = default;
};

// The form loaded from a picked entry: the text with its blanks stripped.
RecurrenceForm formOfEntry(const QString &entry);

// The editor's fields: the five boxes of the form and the insert button, in the order of the
// focus position (0 day to 5 the insert button) that the arrow keys and the automatic advance
// address, then the close button and the list.
enum class EditorField { Day, Month, PerYear, Advance, Text, Insert, Close, List };

struct InsertionRefusal
{
    QString message;
    EditorField focus;

    bool operator==(const InsertionRefusal &) const = default;
};

struct InsertionCheck
{
    // The boxes padded with a leading "0" as far as the checks got.
    RecurrenceForm form;
    // Empty when the recurrence may be inserted.
    std::optional<InsertionRefusal> refusal;
};

// The checks of "Inserisci nell' elenco" in their order; the first that fails gives its
// message and the field to mend.
InsertionCheck checkInsertion(const RecurrenceForm &form);

// The list entry of a form that passed the checks; the text goes in as typed.
QString entryOfForm(const RecurrenceForm &form, int year);

} // namespace promemo
