#include "calendar/monthpane.h"

#include <gtest/gtest.h>

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

    DayMarks marks;
    MonthPane pane{1, marks};
};

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
