#include "calendar/monthpane.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QSignalSpy>
#include <QTest>

using namespace promemo::calendar;

namespace {

// December 2030 starts on a Sunday, March 2031 on a Saturday, February 2031 too (28 days).
const QDate kDecember(2030, 12, 1);

class MonthPaneTest : public ::testing::Test
{
protected:
    MonthPaneTest() { pane.setMonth(QDate(2030, 12, 20), QDate(2030, 11, 5)); }

    QRect cellOf(int day) const
    {
        const CellSize size = pane.cellSize();
        return toPixels(QRect(cellOrigin(QDate(2030, 12, day), size), QSize(size.width, size.height)));
    }
    QColor pixel(QPoint at) const { return pane.grid()->grab().toImage().pixelColor(at); }

    DayMarks marks;
    MonthPane pane{1, marks};
};

// The looks reach the screen: a note over a recurrence, and the selection frame in its month only.
TEST_F(MonthPaneTest, DrawsTheMarksAndTheFrame)
{
    marks.noteDays = {QDate(2030, 12, 10)};
    marks.recurrenceDays = {QDate(2000, 12, 10)};
    marks.markNotes = marks.markRecurrences = true;
    pane.refresh();
    const QRect box = toPixels(markBox(cellOrigin(QDate(2030, 12, 10), pane.cellSize())));
    EXPECT_EQ(pixel(box.topLeft() + QPoint(1, 1)), kNoteColour);
    EXPECT_EQ(pixel(box.bottomLeft() + QPoint(1, -1)), kRecurrenceColour);

    const QRect frame = toPixels(markBox(cellOrigin(QDate(2030, 12, 20), pane.cellSize())));
    const QPoint edge(frame.left(), frame.center().y());
    pane.setMarkedDate(QDate(2030, 12, 20));
    EXPECT_EQ(pixel(edge), kFrameColour);
    pane.setMarkedDate(QDate(2031, 1, 20)); // the same cell in another month
    EXPECT_NE(pixel(edge), kFrameColour);
}

TEST_F(MonthPaneTest, KeysAndPresses)
{
    QSignalSpy moves(&pane, &MonthPane::moveRequested);
    QTest::keyClick(pane.grid(), Qt::Key_Up);
    QTest::keyClick(pane.grid(), Qt::Key_PageDown);
    QTest::keyClick(pane.grid(), Qt::Key_Right, Qt::ControlModifier);
    QTest::keyClick(pane.grid(), Qt::Key_Left, Qt::ShiftModifier);
    ASSERT_EQ(moves.size(), 2);
    EXPECT_EQ(moves.at(0), (QList<QVariant>{-7, 0}));
    EXPECT_EQ(moves.at(1), (QList<QVariant>{0, 1}));

    QSignalSpy days(&pane, &MonthPane::dayPressed);
    QTest::mousePress(pane.grid(), Qt::RightButton, {}, cellOf(1).center());
    QTest::mousePress(pane.grid(), Qt::LeftButton, {}, QPoint(2, cellOf(1).center().y())); // empty cell
    ASSERT_EQ(days.size(), 1);
    EXPECT_EQ(days.first().first().toDate(), kDecember);
}

} // namespace
