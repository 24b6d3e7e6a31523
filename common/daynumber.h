#pragma once

#include <QDate>

// Day numbers: whole days from 1 January 2000 (day 0) to a date. They name a note's day in its
// file name and decide whether a note is past, today's or later.
namespace promemo {

// 1 January 2000.
QDate dayZero();

// 31 December 2099: the suite's dates end with that year.
QDate lastDay();

// The day number of a valid date; dates before 2000 give negative numbers.
int dayNumber(QDate date);

// The date of a day number (the inverse of dayNumber).
QDate dateOfDayNumber(int day);

} // namespace promemo
