#include "calendar/core/calendarmodel.h"
#include "calendar/core/gridgeometry.h"

#include <gtest/gtest.h>

#include "calendar/core/holidays.h"

using namespace promemo;

TEST(CalendarDates, WeekTwoStartsOnTheFirstMondayAfterNewYear)
{
    // 2024 begins on Monday, 2006 on Sunday, 2027 on Friday; the day of the year is the header's
    // (CalendarSessionTest.ScrollKeysAndPressesMoveTheDates).
    const std::pair<QDate, int> cases[] = {
        {{2024, 1, 7}, 1}, {{2024, 1, 8}, 2}, {{2006, 1, 1}, 1}, {{2006, 1, 2}, 2}, {{2006, 1, 9}, 3},
        {{2027, 1, 3}, 1}, {{2027, 1, 4}, 2}, {{2004, 12, 31}, 53}, {{2005, 12, 31}, 53}};
    for (const auto &[date, week] : cases)
        EXPECT_EQ(weekNumber(date), week) << date.toString().toStdString();
}

TEST(Easter, GregorianDatesFrom1990To2100)
{
    // Published Easter Sundays from 1990, month and day.
    const QStringList dates = QStringLiteral(
        "0415 0331 0419 0411 0403 0416 0407 0330 0412 0404 0423 0415 0331 0420 0411 0327 0416 0408 0323 0412 "
        "0404 0424 0408 0331 0420 0405 0327 0416 0401 0421 0412 0404 0417 0409 0331 0420 0405 0328 0416 0401 "
        "0421 0413 0328 0417 0409 0325 0413 0405 0425 0410 0401 0421 0406 0329 0417 0409 0325 0414 0405 0418 "
        "0410 0402 0421 0406 0329 0418 0402 0422 0414 0330 0418 0410 0326 0415 0406 0329 0411 0403 0422 0414 "
        "0330 0419 0410 0326 0415 0407 0419 0411 0403 0423 0407 0330 0419 0404 0326 0415 0331 0420 0411 0403 "
        "0416 0408 0330 0412 0404 0424 0415 0331 0420 0412 0328").split(u' ');
    int year = 1990;
    for (const QString &monthDay : dates) {
        EXPECT_EQ(easterSunday(year), QDate(year, monthDay.left(2).toInt(), monthDay.mid(2).toInt())) << year;
        ++year;
    }
    EXPECT_EQ(year, 2101);
    // Before the Gregorian reform there is none.
    EXPECT_EQ(easterSunday(1582), QDate());
}

TEST(Holidays, TableInOrderWithDatesIn2026AndNationalMark)
{
    // Date in 2026 (Easter 5 April), a star for national ones, name as shown, blanks included.
    QStringList rows;
    for (const auto &holiday : holidaysOfYear(2026)) {
        rows << holiday.date.toString("MM-dd") + (holiday.national ? u'*' : u' ') + holiday.name;
        EXPECT_EQ(isNationalHoliday(holiday.date), holiday.national) << holiday.name.toStdString();
    }
    EXPECT_EQ(rows, QStringList({
        "01-01*Capodanno", "01-06*Epifania", "02-18 Mercoledì delle Ceneri ", "03-29 Domenica delle Palme",
        "03-19 San Giuseppe", "04-05 Santa Pasqua", "04-06*Lunedì dell'Angelo", "04-25*Festa della Liberazione",
        "05-17 Ascensione", "05-24 Pentecoste", "05-31 SS. Trinità", "06-07 Corpus Domini", "05-01*Festa del Lavoro",
        "06-02*Festa della Repubblica", "06-24 San Giovanni Battista", "06-29 SS. Pietro e Paolo",
        "08-15*Assunzione della B.V. Maria", "11-01*Tutti i Santi", "11-02 Commemorazione dei Defunti",
        "12-08*Immacolata Concezione", "12-25*Natale di N.S.", "12-26*Santo Stefano"}));
    // Easter Monday by the date's own year: in 2035 on 26 March, its Sunday not.
    EXPECT_EQ(std::pair(isNationalHoliday({2035, 3, 26}), isNationalHoliday({2035, 3, 25})), std::pair(true, false));
}

namespace {

using namespace promemo::calendar;

// December 2030 starts on a Sunday, March 2031 on a Saturday, February 2031 too (28 days).
const QDate kDecember(2030, 12, 1);

TEST(GridGeometry, CellsAndPresses)
{
    const CellSize size = cellSize(QSize(140, 105));
    EXPECT_EQ(std::pair(cellOfDay(kDecember), cellOfDay(QDate(2031, 3, 31))), std::pair(Cell{6, 0}, Cell{0, 5}));

    const auto at = [&](int column, int row) {
        return QPoint((column * size.width + size.width / 2) / 15, (row * size.height + size.height / 2) / 15);
    };
    const struct { QDate month; QPoint pixels; std::optional<QDate> day; } cases[] = {
        {kDecember, at(6, 0), kDecember},
        {kDecember, at(0, 0), std::nullopt}, // before the 1st
        {kDecember, at(1, 5), QDate(2030, 12, 31)},
        {kDecember, at(2, 5), std::nullopt}, // after the last day
        {QDate(2031, 2, 14), at(4, 4), QDate(2031, 2, 28)},
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
        {true, true, false, 3, true, false, false},   {true, true, false, 17, false, true, false},
        {true, false, false, 10, true, false, false}, {false, false, false, 25, false, false, true},
        {false, false, false, 15, false, false, false}, {false, false, true, 15, false, false, true},
    };
    for (const auto &c : cases) {
        std::tie(marks.markNotes, marks.markRecurrences, marks.sundaysRed) = std::tuple(c.notes, c.recurrences, c.sundaysRed);
        const DayLook look = dayLooks(kDecember, cellSize(QSize(140, 105)), marks).at(c.day - 1);
        EXPECT_EQ(std::tuple(look.noteMark, look.recurrenceMark, look.red),
                  std::tuple(c.noteMark, c.recurrenceMark, c.red)) << c.day;
    }
}

} // namespace
