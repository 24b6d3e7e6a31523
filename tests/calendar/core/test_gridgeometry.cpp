#include "calendar/core/gridgeometry.h"

#include <optional>

#include <gtest/gtest.h>

using namespace promemo::calendar;

namespace {

// December 2030 starts on a Sunday, March 2031 on a Saturday, February 2031 too (28 days).
const QDate kDecember(2030, 12, 1);

TEST(GridGeometry, CellsAndPresses)
{
    const CellSize size = cellSize(QSize(140, 105));
    EXPECT_EQ(cellOfDay(kDecember), (Cell{6, 0}));
    EXPECT_EQ(cellOfDay(QDate(2031, 3, 31)), (Cell{0, 5}));

    const auto at = [&](int column, int row) {
        return QPoint((column * size.width + size.width / 2) / 15, (row * size.height + size.height / 2) / 15);
    };
    const struct { QDate month; QPoint pixels; std::optional<QDate> day; } cases[] = {
        {kDecember, at(6, 0), kDecember},
        {kDecember, at(0, 0), std::nullopt}, // before the 1st
        {kDecember, at(1, 5), QDate(2030, 12, 31)},
        {kDecember, at(2, 5), std::nullopt}, // after the last day
        {QDate(2031, 2, 14), at(4, 4), QDate(2031, 2, 28)},
        {QDate(2031, 2, 14), at(5, 4), std::nullopt},
        {kDecember, QPoint(139, 0), std::nullopt}, // right of the last column
    };
    for (const auto &c : cases)
        EXPECT_EQ(dayAtPress(c.month, c.pixels, size), c.day) << c.pixels.x() << "," << c.pixels.y();
}

// Notes count by the whole date, recurrences by day and month; red for holidays, Sundays when ticked.
TEST(GridGeometry, DayLooksFollowTheTickedBoxes)
{
    DayMarks marks;
    marks.noteDays = {QDate(2030, 12, 3), QDate(2030, 12, 10), QDate(2029, 12, 17)};
    marks.recurrenceDays = {QDate(2000, 12, 10), QDate(2000, 12, 17)};
    const struct { bool notes, recurrences, sundaysRed; int day; bool noteMark, recurrenceMark, red; } cases[] = {
        {true, true, false, 3, true, false, false},   {true, true, false, 10, true, true, false},
        {true, true, false, 17, false, true, false},  {true, false, false, 10, true, false, false},
        {false, false, false, 10, false, false, false}, {false, false, false, 25, false, false, true},
        {false, false, false, 15, false, false, false}, {false, false, true, 15, false, false, true},
    };
    for (const auto &c : cases) {
        marks.markNotes = c.notes;
        marks.markRecurrences = c.recurrences;
        marks.sundaysRed = c.sundaysRed;
        const DayLook look = dayLooks(kDecember, cellSize(QSize(140, 105)), marks).at(c.day - 1);
        EXPECT_EQ(std::tuple(look.noteMark, look.recurrenceMark, look.red),
                  std::tuple(c.noteMark, c.recurrenceMark, c.red)) << c.day;
    }
    EXPECT_TRUE(isCurrentMonth(kDecember, QDate(2030, 12, 31)));
    EXPECT_FALSE(isCurrentMonth(kDecember, QDate(2031, 12, 31)));
}

} // namespace
