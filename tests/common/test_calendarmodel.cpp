#include "common/calendarmodel.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "common/daynumber.h"
#include "common/holidays.h"
#include "common/notename.h"

using namespace promemo;

TEST(CalendarDates, DayOfYearAndWeekNumber)
{
    // date, day of the year, week
    const QList<std::tuple<QDate, int, int>> cases = {
        {{2024, 1, 1}, 1, 1},     {{2024, 1, 7}, 7, 1},     {{2024, 1, 8}, 8, 2},
        {{2018, 1, 7}, 7, 1},     {{2018, 1, 8}, 8, 2},     {{2007, 1, 7}, 7, 1},
        {{2007, 1, 8}, 8, 2},     {{2001, 1, 7}, 7, 1},     {{2001, 1, 8}, 8, 2},
        {{2006, 1, 1}, 1, 1},     {{2006, 1, 2}, 2, 2},     {{2006, 1, 9}, 9, 3},
        {{2004, 12, 31}, 366, 53}, {{2005, 12, 31}, 365, 53}, {{2026, 12, 6}, 340, 49},
        {{2027, 1, 3}, 3, 1},     {{2027, 1, 4}, 4, 2},     {{2028, 12, 31}, 366, 53},
    };
    for (const auto &[date, day, week] : cases) {
        EXPECT_EQ(dayOfYear(date), day) << date.toString(Qt::ISODate).toStdString();
        EXPECT_EQ(weekNumber(date), week) << date.toString(Qt::ISODate).toStdString();
    }
}

TEST(Easter, GregorianDatesFrom1990To2100)
{
    // Published Easter Sundays, month and day, one row per decade from 1990.
    const QList<QStringList> rows = {
        {"04-15", "03-31", "04-19", "04-11", "04-03", "04-16", "04-07", "03-30", "04-12", "04-04"},
        {"04-23", "04-15", "03-31", "04-20", "04-11", "03-27", "04-16", "04-08", "03-23", "04-12"},
        {"04-04", "04-24", "04-08", "03-31", "04-20", "04-05", "03-27", "04-16", "04-01", "04-21"},
        {"04-12", "04-04", "04-17", "04-09", "03-31", "04-20", "04-05", "03-28", "04-16", "04-01"},
        {"04-21", "04-13", "03-28", "04-17", "04-09", "03-25", "04-13", "04-05", "04-25", "04-10"},
        {"04-01", "04-21", "04-06", "03-29", "04-17", "04-09", "03-25", "04-14", "04-05", "04-18"},
        {"04-10", "04-02", "04-21", "04-06", "03-29", "04-18", "04-02", "04-22", "04-14", "03-30"},
        {"04-18", "04-10", "03-26", "04-15", "04-06", "03-29", "04-11", "04-03", "04-22", "04-14"},
        {"03-30", "04-19", "04-10", "03-26", "04-15", "04-07", "04-19", "04-11", "04-03", "04-23"},
        {"04-07", "03-30", "04-19", "04-04", "03-26", "04-15", "03-31", "04-20", "04-11", "04-03"},
        {"04-16", "04-08", "03-30", "04-12", "04-04", "04-24", "04-15", "03-31", "04-20", "04-12"},
        {"03-28"},
    };
    int year = 1990;
    for (const QStringList &row : rows) {
        for (const QString &monthDay : row) {
            const QDate expected = QDate::fromString(QString::number(year) + u'-' + monthDay,
                                                     Qt::ISODate);
            EXPECT_EQ(easterSunday(year), expected) << year;
            ++year;
        }
    }
    EXPECT_EQ(year, 2101);
}

TEST(Holidays, TableNamesDatesAndNationalDays)
{
    const QStringList names = {
        "Capodanno", "Epifania", "Mercoledì delle Ceneri ", "Domenica delle Palme",
        "San Giuseppe", "Santa Pasqua", "Lunedì dell'Angelo", "Festa della Liberazione",
        "Ascensione", "Pentecoste", "SS. Trinità", "Corpus Domini", "Festa del Lavoro",
        "Festa della Repubblica", "San Giovanni Battista", "SS. Pietro e Paolo",
        "Assunzione della B.V. Maria", "Tutti i Santi", "Commemorazione dei Defunti",
        "Immacolata Concezione", "Natale di N.S.", "Santo Stefano"};
    const auto holidays = holidaysOfYear(2008);
    ASSERT_EQ(holidays.size(), names.size());
    QStringList national;
    for (qsizetype i = 0; i < holidays.size(); ++i) {
        EXPECT_EQ(holidays[i].name, names[i]);
        if (holidays[i].national)
            national.append(holidays[i].date.toString(Qt::ISODate));
    }
    EXPECT_EQ(national, QStringList({"2008-01-01", "2008-01-06", "2008-03-24", "2008-04-25",
                                     "2008-05-01", "2008-06-02", "2008-08-15", "2008-11-01",
                                     "2008-12-08", "2008-12-25", "2008-12-26"}));
    // Offsets from Easter in a year far from any old table.
    const QList<std::pair<QString, QDate>> fromEaster = {
        {"Mercoledì delle Ceneri ", {2100, 2, 10}}, {"Domenica delle Palme", {2100, 3, 21}},
        {"Santa Pasqua", {2100, 3, 28}},           {"Lunedì dell'Angelo", {2100, 3, 29}},
        {"Ascensione", {2100, 5, 9}},              {"Pentecoste", {2100, 5, 16}},
        {"SS. Trinità", {2100, 5, 23}},            {"Corpus Domini", {2100, 5, 30}},
    };
    const auto in2100 = holidaysOfYear(2100);
    for (const auto &[name, date] : fromEaster) {
        const auto it = std::ranges::find(in2100, name, &DatedHoliday::name);
        ASSERT_NE(it, in2100.end()) << name.toStdString();
        EXPECT_EQ(it->date, date) << name.toStdString();
    }
}

TEST(Holidays, NationalDaysPaintedRed)
{
    // 2011: Easter Monday is 25 April, counted once; 2035: Easter Monday on 26 March.
    EXPECT_EQ(nationalHolidays(2011).size(), 10);
    EXPECT_TRUE(nationalHolidays(2011).contains(QDate(2011, 4, 25)));
    EXPECT_EQ(nationalHolidays(2035).size(), 11);
    // date, national, Easter Monday
    const QList<std::tuple<QDate, bool, bool>> cases = {
        {{2011, 4, 25}, true, true},   {{2035, 3, 26}, true, true},
        {{2035, 3, 25}, false, false}, {{2012, 4, 9}, true, true},
        {{2026, 4, 6}, true, true},    {{2026, 12, 26}, true, false},
        {{2026, 12, 27}, false, false}, {{2026, 11, 2}, false, false},
        {{2026, 6, 24}, false, false}, {{2087, 4, 21}, true, true},
        {QDate(), false, false},
    };
    for (const auto &[date, national, easterMonday] : cases) {
        EXPECT_EQ(isNationalHoliday(date), national) << date.toString(Qt::ISODate).toStdString();
        EXPECT_EQ(isEasterMonday(date), easterMonday) << date.toString(Qt::ISODate).toStdString();
    }
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
    EXPECT_TRUE(hasNote(days, QDate(2000, 5, 30)));
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
    // date, marked
    const QList<std::pair<QDate, bool>> cases = {
        {{2028, 2, 29}, true}, {{2027, 2, 28}, false}, {{2027, 3, 1}, true},
        {{2027, 3, 31}, true}, {{2031, 3, 17}, true},  {{2027, 4, 1}, false},
    };
    for (const auto &[date, marked] : cases)
        EXPECT_EQ(hasRecurrence(days, date), marked) << date.toString(Qt::ISODate).toStdString();

    const auto inYear = [&](int year) {
        QStringList lines;
        for (const YearListEntry &e : yearList(year, records)) {
            if (e.text == "Bisestile" || e.text == "Lunedì dell'Angelo")
                lines.append(e.date.toString(Qt::ISODate) + (e.national ? " *" : ""));
        }
        return lines;
    };
    EXPECT_EQ(inYear(2027), QStringList({"2027-03-29 *"}));
    EXPECT_EQ(inYear(2028), QStringList({"2028-04-17 *", "2028-02-29"}));
    EXPECT_EQ(yearList(2027, records).size(), 22 + 80);
}
