#include "calendar/monthpane.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QSignalSpy>
#include <QTest>

#include "calendar/gridgeometry.h"

using namespace promemo::calendar;

namespace {

// December 2030 starts on a Sunday, March 2031 on a Saturday; both have 31 days.
const QDate kSundayStart(2030, 12, 1);
const QDate kSaturdayStart(2031, 3, 1);

TEST(GridGeometry, CellsOfDays)
{
    EXPECT_EQ(cellSize(QSize(140, 105)).width, 297);
    EXPECT_EQ(cellSize(QSize(140, 105)).height, 260);

    const struct
    {
        QDate date;
        Cell cell;
    } cases[] = {
        {kSundayStart, {6, 0}},
        {QDate(2030, 12, 2), {0, 1}},
        {QDate(2030, 12, 31), {1, 5}},
        {QDate(2031, 3, 31), {0, 5}},
        {QDate(2031, 3, 30), {6, 4}},
        {QDate(2030, 4, 1), {0, 0}}, // starts on a Monday
    };
    for (const auto &c : cases)
        EXPECT_EQ(cellOfDay(c.date), c.cell) << c.date.toString(Qt::ISODate).toStdString();
}

TEST(GridGeometry, PressFindsTheDayOrNothing)
{
    const CellSize size = cellSize(QSize(140, 105));
    const auto at = [&](int column, int row) {
        // the middle of a cell, in pixels
        return QPoint((column * size.width + size.width / 2) / 15, (row * size.height + size.height / 2) / 15);
    };
    const struct
    {
        QDate month;
        QPoint pixels;
        std::optional<QDate> day;
    } cases[] = {
        {kSundayStart, at(6, 0), kSundayStart},
        {kSundayStart, at(0, 0), std::nullopt}, // before the 1st
        {kSundayStart, at(1, 5), QDate(2030, 12, 31)},
        {kSundayStart, at(2, 5), std::nullopt}, // after the last day
        {kSaturdayStart, at(0, 5), QDate(2031, 3, 31)},
        {QDate(2031, 2, 14), at(5, 4), std::nullopt}, // 28 days from a Saturday end in row 4
        {QDate(2031, 2, 14), at(4, 4), QDate(2031, 2, 28)},
        {kSundayStart, QPoint(138, 0), kSundayStart},
        {kSundayStart, QPoint(139, 0), std::nullopt}, // right of the last column
    };
    for (const auto &c : cases)
        EXPECT_EQ(dayAtPress(c.month, c.pixels, size), c.day)
            << c.month.toString(Qt::ISODate).toStdString() << " " << c.pixels.x() << "," << c.pixels.y();
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

    QImage gridImage() { return pane.grid()->grab().toImage(); }

    QRect boxOf(QDate day) const { return toPixels(markBox(cellOrigin(day, pane.cellSize()))); }

    // Counts red and black pixels of the day's number.
    std::pair<int, int> numberInk(const QImage &image, int day) const
    {
        const QDate date(2030, 12, day);
        const QRect cell = toPixels(QRect(cellOrigin(date, pane.cellSize()),
                                          QSize(pane.cellSize().width, pane.cellSize().height)));
        int red = 0, black = 0;
        for (int y = cell.top(); y <= cell.bottom(); ++y)
            for (int x = cell.left(); x <= cell.right(); ++x) {
                const QColor c = image.pixelColor(x, y);
                if (c.red() > 180 && c.green() < 100 && c.blue() < 100)
                    ++red;
                else if (c.red() < 100 && c.green() < 100 && c.blue() < 100)
                    ++black;
            }
        return {red, black};
    }

    DayMarks marks;
    MonthPane pane{1, marks};
};

TEST_F(MonthPaneTest, NumbersAreRedOnHolidaysAndOnSundaysWhenTicked)
{
    for (const bool sundaysRed : {false, true}) {
        marks.sundaysRed = sundaysRed;
        pane.refresh();
        const QImage image = gridImage();
        const struct
        {
            int day;
            bool red;
        } cases[] = {{25, true}, {26, true}, {24, false}, {15, sundaysRed}};
        for (const auto &c : cases) {
            const auto [red, black] = numberInk(image, c.day);
            EXPECT_EQ(red > 0, c.red) << c.day << " sundaysRed " << sundaysRed;
            EXPECT_EQ(black > 0, !c.red) << c.day << " sundaysRed " << sundaysRed;
        }
    }
}

TEST_F(MonthPaneTest, MarksFollowTheTickedBoxes)
{
    const QColor background = QPalette().color(QPalette::ToolTipBase);
    const struct
    {
        bool notes;
        bool recurrences;
        int day;
        QColor upper;
        QColor lower;
    } cases[] = {
        {true, true, 3, kNoteColour, kNoteColour},
        {true, true, 10, kNoteColour, kRecurrenceColour},
        {true, true, 17, kRecurrenceColour, kRecurrenceColour}, // the note is of another year
        {true, false, 10, kNoteColour, kNoteColour},
        {false, true, 10, kRecurrenceColour, kRecurrenceColour},
        {false, false, 10, background, background},
    };
    for (const auto &c : cases) {
        marks.markNotes = c.notes;
        marks.markRecurrences = c.recurrences;
        pane.refresh();
        const QImage image = gridImage();
        const QRect box = boxOf(QDate(2030, 12, c.day));
        EXPECT_EQ(image.pixelColor(box.left() + 1, box.top() + 1), c.upper) << c.day;
        EXPECT_EQ(image.pixelColor(box.left() + 1, box.bottom() - 1), c.lower) << c.day;
        if (c.notes || c.recurrences) {
            EXPECT_EQ(image.pixelColor(box.left(), box.top()), background) << "outline " << c.day;
        }
    }
}

TEST_F(MonthPaneTest, FrameOnlyOnTheMarkedDayOfThisMonth)
{
    const QColor background = QPalette().color(QPalette::ToolTipBase);
    const QRect box = boxOf(QDate(2030, 12, 20));
    const QPoint edge(box.left(), box.center().y());

    pane.setMarkedDate(QDate(2030, 12, 20));
    EXPECT_EQ(gridImage().pixelColor(edge), kFrameColour);
    pane.setMarkedDate(QDate(2031, 1, 20)); // same cell next month
    EXPECT_EQ(gridImage().pixelColor(edge), background);
}

TEST_F(MonthPaneTest, BackgroundTellsTheCurrentMonth)
{
    EXPECT_EQ(pane.grab().toImage().pixelColor(1, 1), kOtherMonthBackground);
    pane.setMonth(QDate(2030, 12, 1), QDate(2030, 12, 31));
    EXPECT_EQ(pane.grab().toImage().pixelColor(1, 1), kCurrentMonthBackground);
    EXPECT_EQ(pane.month(), QDate(2030, 12, 1));
}

TEST_F(MonthPaneTest, KeysAskForMovesAndPressesGiveDays)
{
    QSignalSpy moves(&pane, &MonthPane::moveRequested);
    const struct
    {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        QList<QVariant> move; // empty: no move
    } cases[] = {
        {Qt::Key_Right, Qt::NoModifier, {1, 0}},
        {Qt::Key_Left, Qt::NoModifier, {-1, 0}},
        {Qt::Key_Down, Qt::NoModifier, {7, 0}},
        {Qt::Key_Up, Qt::NoModifier, {-7, 0}},
        {Qt::Key_PageDown, Qt::NoModifier, {0, 1}},
        {Qt::Key_PageUp, Qt::NoModifier, {0, -1}},
        {Qt::Key_Right, Qt::ControlModifier, {}},
        {Qt::Key_Down, Qt::ShiftModifier, {}},
        {Qt::Key_Home, Qt::NoModifier, {}},
    };
    for (const auto &c : cases) {
        moves.clear();
        QTest::keyClick(pane.grid(), c.key, c.modifiers);
        if (c.move.isEmpty()) {
            EXPECT_TRUE(moves.isEmpty()) << c.key;
        } else {
            ASSERT_EQ(moves.size(), 1) << c.key;
            EXPECT_EQ(moves.first(), c.move) << c.key;
        }
    }

    QSignalSpy days(&pane, &MonthPane::dayPressed);
    const QPoint middleOf1st = boxOf(kSundayStart).center();
    QTest::mousePress(pane.grid(), Qt::RightButton, {}, middleOf1st);
    QTest::mousePress(pane.grid(), Qt::LeftButton, {}, QPoint(2, middleOf1st.y())); // empty cell
    ASSERT_EQ(days.size(), 1);
    EXPECT_EQ(days.first().first().toDate(), kSundayStart);
}

} // namespace
