#include "common/daynumber.h"

#include <gtest/gtest.h>

namespace promemo {
namespace {

struct DayCase
{
    QDate date;
    int day;
};

class DayNumberTest : public ::testing::TestWithParam<DayCase>
{
};

TEST_P(DayNumberTest, CountsDaysAndBack)
{
    const DayCase &c = GetParam();
    EXPECT_EQ(dayNumber(c.date), c.day) << c.date.toString(Qt::ISODate).toStdString();
    EXPECT_EQ(dateOfDayNumber(c.day), c.date) << c.day;
}

INSTANTIATE_TEST_SUITE_P(
    Calendar, DayNumberTest,
    ::testing::Values(DayCase{QDate(2000, 1, 1), 0},
                      // 2000 is a leap year (divisible by 400)
                      DayCase{QDate(2000, 2, 29), 59}, DayCase{QDate(2000, 3, 1), 60},
                      DayCase{QDate(2000, 12, 31), 365}, DayCase{QDate(2001, 1, 1), 366},
                      DayCase{QDate(2002, 9, 26), 999}, DayCase{QDate(2002, 9, 27), 1000},
                      DayCase{QDate(2026, 12, 5), 9835},
                      // the day number gets its fifth digit
                      DayCase{QDate(2027, 5, 18), 9999}, DayCase{QDate(2027, 5, 19), 10000},
                      DayCase{QDate(2028, 2, 29), 10286},
                      // 2100 is not a leap year, 2400 is
                      DayCase{QDate(2100, 2, 28), 36583}, DayCase{QDate(2100, 3, 1), 36584},
                      DayCase{QDate(2101, 1, 1), 36890}, DayCase{QDate(2400, 2, 29), 146156},
                      DayCase{QDate(2400, 3, 1), 146157},
                      DayCase{QDate(1999, 12, 31), -1}));

TEST(DayNumber, RoundTripsEveryDayForCenturies)
{
    QDate date = dayZero();
    for (int day = 0; day < 150000; ++day) {
        ASSERT_EQ(dayNumber(date), day);
        ASSERT_EQ(dateOfDayNumber(day), date);
        date = date.addDays(1);
    }
}

} // namespace
} // namespace promemo
