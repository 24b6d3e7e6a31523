#include "addressbook/core/sheetcursor.h"

#include <algorithm>

#include <gtest/gtest.h>

using namespace promemo::rubrica;

namespace {

constexpr Column N = Column::Name;
constexpr Column U = Column::Number;

// A key on `from` and the focus it moves, as the window does.
std::optional<CellRef> key(SheetCursor &cursor, CellRef from, MoveKey move, bool shift = false)
{
    cursor.keyPressed(from);
    const auto target = cursor.move(from, move, shift);
    if (target)
        cursor.focusEntered(*target);
    return target;
}

} // namespace

TEST(SheetCursor, ShiftExtendsTheMarksForOneMoveOnly)
{
    SheetCursor cursor;
    cursor.pressed({5, N});
    EXPECT_FALSE(cursor.focusEntered({5, N})); // a click keeps the caret where it fell
    key(cursor, {5, N}, MoveKey::Down, true);
    key(cursor, {6, N}, MoveKey::Down, true);
    const Marks marks = cursor.marks(N);
    EXPECT_EQ(std::count(marks.begin(), marks.end(), true), 3);
    EXPECT_TRUE(marks[4] && marks[6]);
    EXPECT_EQ(cursor.pasteColumn(), N);

    // Shift+Enter extends from a number only.
    EXPECT_EQ(key(cursor, {7, N}, MoveKey::Enter, true), (CellRef{7, U}));
    EXPECT_EQ(std::pair(cursor.paint({5, N}), cursor.pasteColumn()), std::pair(CellPaint::Window, std::optional(U)));
    key(cursor, {7, U}, MoveKey::Enter, true);
    EXPECT_EQ(std::pair(cursor.paint({7, U}), cursor.paint({8, N})), std::pair(CellPaint::Marker, CellPaint::Marker));
    EXPECT_EQ(std::pair(cursor.current(), cursor.lastFocused()), std::pair(CellRef{8, N}, CellRef{8, N}));
    cursor.home();
    EXPECT_EQ(std::pair(cursor.current(), cursor.pasteColumn()), std::pair(CellRef{1, N}, std::optional<Column>()));
}

TEST(SheetCursor, AfterAClickLeftAndRightMoveTheCaretUntilAnotherMove)
{
    SheetCursor cursor;
    cursor.pressed({3, N});
    cursor.focusEntered({3, N});
    EXPECT_EQ(key(cursor, {3, N}, MoveKey::Right), std::nullopt);
    EXPECT_EQ(key(cursor, {3, N}, MoveKey::Left), std::nullopt);
    EXPECT_EQ(key(cursor, {3, N}, MoveKey::PageDown), (CellRef{22, N}));
    EXPECT_TRUE(cursor.focusEntered({22, N})); // the caret goes to the end again
    EXPECT_EQ(key(cursor, {22, N}, MoveKey::Right), (CellRef{22, U}));
}

TEST(SheetCursor, SearchHitShowsGreenUntilTheUserMovesOn)
{
    SheetCursor cursor;
    cursor.search().position = 40;
    cursor.showHit({9, U});
    cursor.focusEntered({9, U});
    cursor.settle(CellPaint::Found);
    EXPECT_EQ(std::pair(cursor.paint({9, U}), cursor.lastFocused()), std::pair(CellPaint::Found, CellRef{9, U}));

    // A new searched text turns the hit into a mark and starts from the first record.
    cursor.searchTextChanged();
    EXPECT_EQ(std::pair(cursor.paint({9, U}), cursor.search().position), std::pair(CellPaint::Marker, 1));

    // Moving from a number keeps the green; a key on a name cell, a typed letter or a click end it.
    cursor.search().found = true;
    key(cursor, {9, U}, MoveKey::Up);
    EXPECT_EQ(cursor.paint({8, U}), CellPaint::Found);
    key(cursor, {8, N}, MoveKey::Down);
    EXPECT_EQ(cursor.paint({9, N}), CellPaint::Marker);
    cursor.search() = {7, 7, true};
    cursor.typed({9, N}, false);
    EXPECT_EQ(cursor.search().position, 7);
    cursor.typed({2, U}, true);
    EXPECT_EQ(std::pair(cursor.search().position, cursor.lastFocused()), std::pair(1, CellRef{2, U}));
}
