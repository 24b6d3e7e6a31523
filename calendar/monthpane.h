#pragma once

#include <QColor>
#include <QDate>
#include <QWidget>

#include <optional>

#include "calendar/core/gridgeometry.h"

class QLabel;

// One of the calendar's three month panes: the month caption, the weekday header and the day
// grid `PicMese`, drawn with the day marks and the frame the session decides.
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
    // `marks` belong to the session and outlive the pane.
    explicit MonthPane(const DayMarks &marks, QWidget *parent = nullptr);

    // Any day of the month to show; `today` decides the pane's background; the selection frame
    // on `framed`, or none. The grid is drawn again.
    void showMonth(QDate dayOfMonth, QDate today, std::optional<QDate> framed);
    QDate month() const { return m_month; } // the 1st of the month shown
    QWidget *grid() const { return m_grid; } // `PicMese`, the widget that takes the keyboard focus

signals:
    // A mouse press on a day of the month (presses on empty cells are ignored).
    void dayPressed(QDate date);
    // Arrow and page keys in the grid without Shift, Ctrl or Alt: days (+-1, +-7) or months (+-1).
    void moveRequested(int days, int months);

protected:
    // The grid keeps no image: it is painted, pressed and keyed through here.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void paintGrid();
    bool gridKey(int key);

    const DayMarks &m_marks;
    QDate m_month;
    std::optional<QDate> m_framed;
    QLabel *m_caption = nullptr;
    QWidget *m_grid = nullptr;
    CellSize m_cellSize;
};

} // namespace promemo::calendar
