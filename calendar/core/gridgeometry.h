#pragma once

#include <QDate>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <optional>

// The rules of a month grid: 7 columns Monday..Sunday by 6 rows, coordinates in twips.
namespace promemo::calendar {

struct DayMarks
{
    QList<QDate> noteDays;       // compared by day, month and year
    QList<QDate> recurrenceDays; // compared by day and month
    bool sundaysRed = false;     // "Domeniche in rosso"
    bool markNotes = false;      // "Evidenzia le date con Notino"
    bool markRecurrences = false; // "Evidenzia le  Ricorrenze"
};

inline constexpr int kColumns = 7;
inline constexpr int kRows = 6;

// W and H in whole twips, from the grid's inner size in pixels.
struct CellSize
{
    int width = 0;
    int height = 0;
};
CellSize cellSize(QSize innerPixels);

struct Cell
{
    int column = 0;
    int row = 0;
    friend bool operator==(const Cell &, const Cell &) = default;
};

// Monday 0 ... Sunday 6.
int weekdayIndex(QDate date);
// Where the day sits in the grid of its own month.
Cell cellOfDay(QDate date);
// Top left corner of the day's cell, in twips.
QPoint cellOrigin(QDate date, CellSize size);

// The day of `month`'s grid under a press at `pixels`; none on an empty cell.
std::optional<QDate> dayAtPress(QDate month, QPoint pixels, CellSize size);

// Boxes in twips, corners inclusive, relative to a cell's origin added in.
QRect markBox(QPoint origin);      // (x+20, y) to (x+280, y+240); the selection frame too
QRect upperMarkBox(QPoint origin); // (x+20, y) to (x+280, y+130)

// A twips rectangle with inclusive corners, in pixels.
QRect toPixels(QRect twips);

// How one day of a grid is drawn.
struct DayLook
{
    QDate date;
    QPoint origin; // twips
    bool recurrenceMark = false;
    bool noteMark = false; // the upper part only when it also has a recurrence mark
    bool red = false; // national holiday, or Sunday when Sundays are red
};
QList<DayLook> dayLooks(QDate month, CellSize size, const DayMarks &marks);

// Whether the pane shows the current month, which has its own background.
bool isCurrentMonth(QDate month, QDate today);

} // namespace promemo::calendar
