#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

#include "common/notefile.h"
#include "common/notename.h"
#include "common/recurrences.h"

// The launcher's note list: the text of its lines and how a line is printed.
namespace promemo {

struct NoteListEntry
{
    QString fileName; // bare name
    NoteName name;
    NoteContent note;
};

// The hidden sort key of a note line: the day number with leading zeros to five digits, so
// lines sort by day also across the change from four to five digits (19 May 2027).
QString noteListKey(int day);

// A note line: the key and a blank, the first 20 characters of date, " -", the alert time (or
// "     nd  " without one) and four blanks, a TAB, the text with every CR and LF a blank, 110
// blanks and the file name (kept out of view).
QString noteListLine(const NoteListEntry &entry);

// A recurrence line: the day of the year of its occurrence counted from 1 January of `today`'s
// year (above 365 for next year), three digits, two blanks, the date as dd/MM/yyyy, eight
// blanks and the text.
QString recurrenceListLine(const Recurrence &recurrence, QDate occurrence, QDate today);

// The printed lines of a note: "Data: <date>    Ora: <time> " ("nd " without alert), the text
// broken at the first blank at or after the 55th character while longer than 65 characters
// (a text with no such blank is cut into pieces of at most 65), then an empty line.
QStringList printedNoteLines(const NoteListEntry &entry);
QStringList breakPrintedText(QString text);

} // namespace promemo
