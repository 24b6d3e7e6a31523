#include "calendar/core/gridgeometry.h"

#include <algorithm>

#include "calendar/core/holidays.h"
#include "common/twips.h"

namespace promemo::calendar {

CellSize cellSize(QSize innerPixels)
{
    return {(pixelsToTwips(innerPixels.width()) - kTwipsPerPixel) / kColumns,
            (pixelsToTwips(innerPixels.height()) - kTwipsPerPixel) / kRows};
}

int weekdayIndex(QDate date)
{
    return date.dayOfWeek() - 1;
}

Cell cellOfDay(QDate date)
{
    const int k = weekdayIndex(QDate(date.year(), date.month(), 1)) + date.day() - 1;
    return {k % kColumns, k / kColumns};
}

QPoint cellOrigin(QDate date, CellSize size)
{
    const Cell cell = cellOfDay(date);
    return {cell.column * size.width, cell.row * size.height};
}

std::optional<QDate> dayAtPress(QDate month, QPoint pixels, CellSize size)
{
    if (size.width <= 0 || size.height <= 0 || pixels.x() < 0 || pixels.y() < 0)
        return std::nullopt;
    const QDate first(month.year(), month.month(), 1);
    const int column = pixelsToTwips(pixels.x()) / size.width + 1;
    const int row = pixelsToTwips(pixels.y()) / size.height;
    if (column > kColumns)
        return std::nullopt;
    const int day = column + kColumns * row - weekdayIndex(first);
    if (day < 1 || day > first.daysInMonth())
        return std::nullopt;
    return first.addDays(day - 1);
}

QRect markBox(QPoint origin)
{
    return QRect(origin + QPoint(20, 0), origin + QPoint(280, 240));
}

QRect upperMarkBox(QPoint origin)
{
    return QRect(origin + QPoint(20, 0), origin + QPoint(280, 130));
}

QRect toPixels(QRect twips)
{
    return QRect(QPoint(twipsToPixels(twips.left()), twipsToPixels(twips.top())),
                 QPoint(twipsToPixels(twips.right()), twipsToPixels(twips.bottom())));
}

QList<DayLook> dayLooks(QDate month, CellSize size, const DayMarks &marks)
{
    const QDate first(month.year(), month.month(), 1);
    QList<DayLook> looks;
    for (QDate date = first; date.month() == first.month(); date = date.addDays(1)) {
        DayLook look;
        look.date = date;
        look.origin = cellOrigin(date, size);
        look.recurrenceMark = marks.markRecurrences
            && std::any_of(marks.recurrenceDays.begin(), marks.recurrenceDays.end(), [&](QDate d) {
                   return d.day() == date.day() && d.month() == date.month();
               });
        look.noteMark = marks.markNotes && marks.noteDays.contains(date);
        look.red = isNationalHoliday(date)
            || (marks.sundaysRed && cellOfDay(date).column == kColumns - 1);
        looks.append(look);
    }
    return looks;
}

bool isCurrentMonth(QDate month, QDate today)
{
    return month.year() == today.year() && month.month() == today.month();
}

} // namespace promemo::calendar
