#pragma once

#include <QDate>
#include <QList>
#include <QString>

#include <optional>

// The calendar's holiday table: fixed feasts and feasts counted from Easter, eleven of them
// national (painted red).
namespace promemo {

struct Holiday
{
    QString name;                     // shown exactly as written, blanks included
    int month = 0;                    // fixed feasts; 0 for Easter-based ones
    int day = 0;
    std::optional<int> easterOffset;  // days from Easter Sunday
    bool national = false;
    int listBlanks = 0;               // between a national holiday's name and its mark

    // The feast's date in `year`.
    QDate dateIn(int year) const;
};

// Easter Sunday of `year` by the Gregorian computus; invalid for years before 1583.
QDate easterSunday(int year);

// 1 and 6 January, Easter Monday, 25 April, 1 May, 2 June, 15 August, 1 November, 8, 25 and
// 26 December.
bool isNationalHoliday(QDate date);

struct DatedHoliday
{
    QString name;
    QDate date;
    bool national = false;
    int listBlanks = 0;
};

// Every entry of the table with its date in `year`, in table order.
QList<DatedHoliday> holidaysOfYear(int year);

} // namespace promemo
