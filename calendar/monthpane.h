#pragma once

#include <QColor>
#include <QDate>
#include <QList>
#include <QWidget>

#include <optional>

#include "calendar/core/gridgeometry.h"

class QLabel;
class QPainter;

// One of the calendar's three month panes: the month caption, the weekday header and the day
// grid `PicMese`, drawn with the day marks the window hands over.
namespace promemo::calendar {

inline const QColor kRecurrenceColour{196, 255, 196};
inline const QColor kNoteColour{255, 213, 255};
inline const QColor kFrameColour{0, 0, 192};
inline const QColor kHolidayColour{255, 0, 0};
inline const QColor kCurrentMonthBackground{220, 255, 255};
inline const QColor kOtherMonthBackground{251, 251, 251};

class MonthPane : public QWidget
{
    Q_OBJECT
public:
    // `index`: 0 left, 1 middle, 2 right. `marks` is owned by the window and outlives the pane.
    MonthPane(int index, const DayMarks &marks, QWidget *parent = nullptr);

    int index() const;
    // Any day of the month to show; `today` decides the pane's background.
    void setMonth(QDate dayOfMonth, QDate today);
    QDate month() const; // the 1st of the month shown
    // The selection frame: drawn when `marked` lies in this pane's month, else removed.
    void setMarkedDate(std::optional<QDate> marked);
    // Redraws the grid after the marks changed.
    void refresh();

    QWidget *grid() const; // `PicMese(index)`, the widget that takes the keyboard focus
    CellSize cellSize() const; // W and H, fixed when the pane is built

signals:
    // A mouse press on a day of the month (presses on empty cells are ignored).
    void dayPressed(QDate date);
    // Arrow and page keys in the grid without Shift, Ctrl or Alt: days (+-1, +-7) or months (+-1).
    void moveRequested(int days, int months);

private:
    friend class DayGrid;
    void paintGrid(QPainter &painter);
    void pressGrid(QPoint pixels);

    int m_index;
    const DayMarks &m_marks;
    QDate m_month;
    QDate m_today;
    std::optional<QDate> m_marked;
    QLabel *m_caption = nullptr;
    QWidget *m_grid = nullptr;
    CellSize m_cellSize;
};

} // namespace promemo::calendar
