#include "common/daynumber.h"

#include <gtest/gtest.h>

namespace promemo {
namespace {

TEST(DayNumber, CountsDaysBothWays)
{
    struct Case
    {
        QDate date;
        int day;
    };
    const Case cases[] = {
        {QDate(2000, 1, 1), 0},       {QDate(1999, 12, 31), -1},
        // 2000 is a leap year (divisible by 400)
        {QDate(2000, 2, 29), 59},     {QDate(2000, 3, 1), 60},
        {QDate(2000, 12, 31), 365},   {QDate(2001, 1, 1), 366},
        {QDate(2002, 9, 27), 1000},   {QDate(2026, 12, 5), 9835},
        // the day number gets its fifth digit
        {QDate(2027, 5, 18), 9999},   {QDate(2027, 5, 19), 10000},
        // 2100 is not a leap year, 2400 is
        {QDate(2100, 2, 28), 36583},  {QDate(2100, 3, 1), 36584},
        {QDate(2400, 2, 29), 146156}, {QDate(2400, 3, 1), 146157},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(dayNumber(c.date), c.day) << c.date.toString(Qt::ISODate).toStdString();
        EXPECT_EQ(dateOfDayNumber(c.day), c.date) << c.day;
    }
}

TEST(DayNumber, RoundTripsEveryDayForCenturies)
{
    QDate date = dayZero();
    for (int day = 0; day < 150000; ++day, date = date.addDays(1)) {
        ASSERT_EQ(dayNumber(date), day);
        ASSERT_EQ(dateOfDayNumber(day), date);
    }
}

} // namespace
} // namespace promemo
