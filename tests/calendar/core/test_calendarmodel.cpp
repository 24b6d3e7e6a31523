#include "calendar/core/calendarmodel.h"

#include <QFile>
#include <QTemporaryDir>

#include <algorithm>

#include <gtest/gtest.h>

#include "common/daynumber.h"
#include "calendar/core/holidays.h"
#include "common/notename.h"

using namespace promemo;

TEST(CalendarDates, DayOfYearAndWeekNumber)
{
    // date, day of the year, week; 2024, 2018, 2007, 2001 begin on Monday, 2006 on Sunday
    const QList<std::tuple<QDate, int, int>> cases = {
        {{2024, 1, 7}, 7, 1},  {{2024, 1, 8}, 8, 2},  {{2018, 1, 7}, 7, 1},
        {{2018, 1, 8}, 8, 2},  {{2007, 1, 7}, 7, 1},  {{2007, 1, 8}, 8, 2},
        {{2001, 1, 1}, 1, 1},  {{2001, 1, 8}, 8, 2},  {{2006, 1, 1}, 1, 1},
        {{2006, 1, 2}, 2, 2},  {{2006, 1, 9}, 9, 3},  {{2027, 1, 3}, 3, 1},
        {{2027, 1, 4}, 4, 2},  {{2004, 12, 31}, 366, 53}, {{2005, 12, 31}, 365, 53},
    };
    for (const auto &[date, day, week] : cases) {
        EXPECT_EQ(dayOfYear(date), day) << date.toString(Qt::ISODate).toStdString();
        EXPECT_EQ(weekNumber(date), week) << date.toString(Qt::ISODate).toStdString();
    }
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
}

TEST(Holidays, TableInOrderWithDatesIn2026AndNationalMark)
{
    // name, date in 2026 (Easter 5 April), national
    const QList<std::tuple<QString, QString, bool>> table = {
        {"Capodanno", "01-01", true},          {"Epifania", "01-06", true},
        {"Mercoledì delle Ceneri ", "02-18", false}, {"Domenica delle Palme", "03-29", false},
        {"San Giuseppe", "03-19", false},      {"Santa Pasqua", "04-05", false},
        {"Lunedì dell'Angelo", "04-06", true}, {"Festa della Liberazione", "04-25", true},
        {"Ascensione", "05-17", false},        {"Pentecoste", "05-24", false},
        {"SS. Trinità", "05-31", false},       {"Corpus Domini", "06-07", false},
        {"Festa del Lavoro", "05-01", true},   {"Festa della Repubblica", "06-02", true},
        {"San Giovanni Battista", "06-24", false}, {"SS. Pietro e Paolo", "06-29", false},
        {"Assunzione della B.V. Maria", "08-15", true}, {"Tutti i Santi", "11-01", true},
        {"Commemorazione dei Defunti", "11-02", false}, {"Immacolata Concezione", "12-08", true},
        {"Natale di N.S.", "12-25", true},     {"Santo Stefano", "12-26", true},
    };
    const auto holidays = holidaysOfYear(2026);
    ASSERT_EQ(holidays.size(), table.size());
    for (qsizetype i = 0; i < table.size(); ++i) {
        const auto &[name, monthDay, national] = table[i];
        EXPECT_EQ(holidays[i].name, name) << i;
        EXPECT_EQ(holidays[i].date.toString("MM-dd"), monthDay) << name.toStdString();
        EXPECT_EQ(holidays[i].national, national) << name.toStdString();
        EXPECT_EQ(isNationalHoliday(holidays[i].date), national) << name.toStdString();
    }
}

TEST(Holidays, NationalDaysCountEasterMondayOnce)
{
    // 2011: Easter Monday is 25 April; 2035: Easter Monday on 26 March.
    EXPECT_EQ(nationalHolidays(2011).size(), 10);
    EXPECT_TRUE(isEasterMonday({2011, 4, 25}));
    EXPECT_EQ(nationalHolidays(2035).size(), 11);
    EXPECT_TRUE(nationalHolidays(2035).contains(QDate(2035, 3, 26)));
}

TEST(DaySets, NoteDaysFromEveryNoteFile)
{
    const QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QList<QDate> expected;
    const auto touch = [&](NoteState state, int day) {
        const auto name = encodeNoteName({.state = state, .day = day, .stamp = day % 86400});
        ASSERT_TRUE(name);
        QFile file(dir.filePath(*name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        expected.append(dateOfDayNumber(day));
    };
    for (int i = 0; i < 70; ++i)
        touch(i % 2 ? NoteState::Shown : NoteState::PutAway, 9800 + i);
    touch(NoteState::PutAway, 12345);   // 19 October 2033
    touch(NoteState::Shown, 150);       // three digits
    QFile(dir.filePath("o1234x.dat")).open(QIODevice::WriteOnly);   // not a note name

    QList<QDate> days = noteDays(dir.path());
    std::ranges::sort(days);
    std::ranges::sort(expected);
    EXPECT_EQ(days, expected);
    EXPECT_TRUE(hasNote(days, QDate(2033, 10, 19)));
    EXPECT_FALSE(hasNote(days, QDate(2034, 10, 19)));
}

TEST(DaySets, RecurrenceDaysKeepTwentyNinthFebruary)
{
    QList<Recurrence> records;
    for (int i = 0; i < 80; ++i)
        records.append({QStringLiteral("%1/03").arg(i % 31 + 1, 2, 10, QLatin1Char('0')), "01",
                        "00", "x"});
    records.append({"29/02", "01", "00", "Bisestile"});
    const QList<QDate> days = recurrenceDays(records);
    EXPECT_EQ(days.size(), 32);
    EXPECT_TRUE(hasRecurrence(days, {2028, 2, 29}));
    EXPECT_TRUE(hasRecurrence(days, {2027, 3, 31}));
    EXPECT_FALSE(hasRecurrence(days, {2027, 2, 28}));

    const auto lines = [&](int year) {
        QStringList found;
        for (const YearListEntry &e : yearList(year, records)) {
            if (e.text == "Bisestile" || e.text == "Lunedì dell'Angelo")
                found.append(yearListLine(e));
        }
        return found;
    };
    EXPECT_EQ(lines(2027), QStringList({"087   29/03 -lunedì        \tLunedì dell'Angelo"
                                        + QString(30, u' ') + "\tFestività Nazionale"}));
    EXPECT_EQ(lines(2028), QStringList({"107   17/04 -lunedì        \tLunedì dell'Angelo"
                                            + QString(30, u' ') + "\tFestività Nazionale",
                                        "059   29/02 -martedì       \tBisestile"}));
    EXPECT_EQ(yearList(2027, records).size(), 22 + 80);
}
