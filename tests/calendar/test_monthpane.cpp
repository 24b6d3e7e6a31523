#include "calendar/monthpane.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QSignalSpy>
#include <QTest>

using namespace promemo::calendar;

namespace {

// December 2030 starts on a Sunday, March 2031 on a Saturday, February 2031 too (28 days).
const QDate kDecember(2030, 12, 1);

TEST(GridGeometry, CellsAndPresses)
{
    const CellSize size = cellSize(QSize(140, 105));
    EXPECT_EQ(cellOfDay(kDecember), (Cell{6, 0}));
    EXPECT_EQ(cellOfDay(QDate(2031, 3, 31)), (Cell{0, 5}));

    const auto at = [&](int column, int row) {
        return QPoint((column * size.width + size.width / 2) / 15, (row * size.height + size.height / 2) / 15);
    };
    const struct { QDate month; QPoint pixels; std::optional<QDate> day; } cases[] = {
        {kDecember, at(6, 0), kDecember},
        {kDecember, at(0, 0), std::nullopt}, // before the 1st
        {kDecember, at(1, 5), QDate(2030, 12, 31)},
        {kDecember, at(2, 5), std::nullopt}, // after the last day
        {QDate(2031, 2, 14), at(4, 4), QDate(2031, 2, 28)},
        {QDate(2031, 2, 14), at(5, 4), std::nullopt},
        {kDecember, QPoint(139, 0), std::nullopt}, // right of the last column
    };
    for (const auto &c : cases)
        EXPECT_EQ(dayAtPress(c.month, c.pixels, size), c.day) << c.pixels.x() << "," << c.pixels.y();
}

class MonthPaneTest : public ::testing::Test
{
protected:
    MonthPaneTest()
    {
        marks.noteDays = {QDate(2030, 12, 3), QDate(2030, 12, 10), QDate(2029, 12, 17)};
        marks.recurrenceDays = {QDate(2000, 12, 10), QDate(2000, 12, 17)};
        pane.setMonth(QDate(2030, 12, 20), QDate(2030, 11, 5));
    }

    QRect cellOf(int day) const
    {
        const CellSize size = pane.cellSize();
        return toPixels(QRect(cellOrigin(QDate(2030, 12, day), size), QSize(size.width, size.height)));
    }
    QRect boxOf(int day) const { return toPixels(markBox(cellOrigin(QDate(2030, 12, day), pane.cellSize()))); }

    // Whether the day's number has red ink and no black, or black and no red.
    std::optional<bool> numberIsRed(const QImage &image, int day) const
    {
        bool red = false, black = false;
        const QRect cell = cellOf(day);
        for (int y = cell.top(); y <= cell.bottom(); ++y)
            for (int x = cell.left(); x <= cell.right(); ++x) {
                const QColor c = image.pixelColor(x, y);
                red |= c.red() > 180 && c.green() < 100 && c.blue() < 100;
                black |= c.red() < 100 && c.green() < 100 && c.blue() < 100;
            }
        return red != black ? std::optional(red) : std::nullopt;
    }

    DayMarks marks;
    MonthPane pane{1, marks};
    const QColor background = QPalette().color(QPalette::ToolTipBase);
};

TEST_F(MonthPaneTest, NumbersRedOnHolidaysAndOnSundaysWhenTicked)
{
    for (const bool sundaysRed : {false, true}) {
        marks.sundaysRed = sundaysRed;
        pane.refresh();
        const QImage image = pane.grid()->grab().toImage();
        EXPECT_EQ(numberIsRed(image, 25), true);
        EXPECT_EQ(numberIsRed(image, 24), false);
        EXPECT_EQ(numberIsRed(image, 15), sundaysRed); // a Sunday
    }
}

TEST_F(MonthPaneTest, MarksFollowTheTickedBoxes)
{
    const struct { bool notes; bool recurrences; int day; QColor upper; QColor lower; } cases[] = {
        {true, true, 3, kNoteColour, kNoteColour},
        {true, true, 10, kNoteColour, kRecurrenceColour},
        {true, true, 17, kRecurrenceColour, kRecurrenceColour}, // the note is of another year
        {true, false, 10, kNoteColour, kNoteColour},
        {false, false, 10, background, background},
    };
    for (const auto &c : cases) {
        marks.markNotes = c.notes;
        marks.markRecurrences = c.recurrences;
        pane.refresh();
        const QImage image = pane.grid()->grab().toImage();
        const QRect box = boxOf(c.day);
        EXPECT_EQ(image.pixelColor(box.left() + 1, box.top() + 1), c.upper) << c.day;
        EXPECT_EQ(image.pixelColor(box.left() + 1, box.bottom() - 1), c.lower) << c.day;
        EXPECT_EQ(image.pixelColor(box.topLeft()), background) << "outline " << c.day;
    }
}

TEST_F(MonthPaneTest, FrameAndBackground)
{
    const QRect box = boxOf(20);
    const QPoint edge(box.left(), box.center().y());
    pane.setMarkedDate(QDate(2030, 12, 20));
    EXPECT_EQ(pane.grid()->grab().toImage().pixelColor(edge), kFrameColour);
    pane.setMarkedDate(QDate(2031, 1, 20)); // the same cell in another month
    EXPECT_EQ(pane.grid()->grab().toImage().pixelColor(edge), background);

    EXPECT_EQ(pane.grab().toImage().pixelColor(1, 1), kOtherMonthBackground);
    pane.setMonth(kDecember, QDate(2030, 12, 31));
    EXPECT_EQ(pane.grab().toImage().pixelColor(1, 1), kCurrentMonthBackground);
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
