#include "holidays.h"

#include <algorithm>
#include <array>

namespace promemo {
namespace {

// A national holiday gets the blanks that line up its mark in the year list.
Holiday fixed(const char *name, int day, int month, int listBlanks = 0)
{
    return {QString::fromUtf8(name), month, day, std::nullopt, listBlanks > 0, listBlanks};
}

Holiday fromEaster(const char *name, int offset, int listBlanks = 0)
{
    return {QString::fromUtf8(name), 0, 0, offset, listBlanks > 0, listBlanks};
}

const std::array<Holiday, 22> &table()
{
    static const std::array<Holiday, 22> holidays = {
        fixed("Capodanno", 1, 1, 40),
        fixed("Epifania", 6, 1, 46),
        fromEaster("Mercoledì delle Ceneri ", -46),
        fromEaster("Domenica delle Palme", -7),
        fixed("San Giuseppe", 19, 3),
        fromEaster("Santa Pasqua", 0),
        fromEaster("Lunedì dell'Angelo", 1, 30),
        fixed("Festa della Liberazione", 25, 4, 23),
        fromEaster("Ascensione", 42),
        fromEaster("Pentecoste", 49),
        fromEaster("SS. Trinità", 56),
        fromEaster("Corpus Domini", 63),
        fixed("Festa del Lavoro", 1, 5, 32),
        fixed("Festa della Repubblica", 2, 6, 24),
        fixed("San Giovanni Battista", 24, 6),
        fixed("SS. Pietro e Paolo", 29, 6),
        fixed("Assunzione della B.V. Maria", 15, 8, 18),
        fixed("Tutti i Santi", 1, 11, 44),
        fixed("Commemorazione dei Defunti", 2, 11),
        fixed("Immacolata Concezione", 8, 12, 24),
        fixed("Natale di N.S.", 25, 12, 40),
        fixed("Santo Stefano", 26, 12, 40),
    };
    return holidays;
}

bool isFixedNationalHoliday(QDate date)
{
    return std::ranges::any_of(table(), [&](const Holiday &h) {
        return h.national && !h.easterOffset && h.month == date.month() && h.day == date.day();
    });
}

} // namespace

QDate Holiday::dateIn(int year) const
{
    if (!easterOffset)
        return QDate(year, month, day);
    return easterSunday(year).addDays(*easterOffset);
}

QDate easterSunday(int year)
{
    if (year < 1583)
        return {};
    // Anonymous Gregorian algorithm (Meeus/Jones/Butcher).
    const int a = year % 19;
    const int b = year / 100;
    const int c = year % 100;
    const int d = b / 4;
    const int e = b % 4;
    const int f = (b + 8) / 25;
    const int g = (b - f + 1) / 3;
    const int h = (19 * a + b - d - g + 15) % 30;
    const int i = c / 4;
    const int k = c % 4;
    const int l = (32 + 2 * e + 2 * i - h - k) % 7;
    const int m = (a + 11 * h + 22 * l) / 451;
    const int n = h + l - 7 * m + 114;
    return QDate(year, n / 31, n % 31 + 1);
}

bool isNationalHoliday(QDate date)
{
    if (!date.isValid())
        return false;
    return isFixedNationalHoliday(date) || date == easterSunday(date.year()).addDays(1);
}

QList<DatedHoliday> holidaysOfYear(int year)
{
    QList<DatedHoliday> holidays;
    holidays.reserve(table().size());
    for (const Holiday &h : table())
        holidays.append({h.name, h.dateIn(year), h.national, h.listBlanks});
    return holidays;
}

} // namespace promemo
