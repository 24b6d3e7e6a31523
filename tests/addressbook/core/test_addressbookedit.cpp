#include "addressbook/core/addressbookedit.h"
#include "addressbook/core/sheetcursor.h"

#include <algorithm>
#include <map>
#include <set>
#include <vector>

#include <gtest/gtest.h>

using namespace promemo;
using namespace promemo::rubrica;
using namespace Qt::StringLiterals;

namespace {

constexpr Column N = Column::Name;
constexpr Column U = Column::Number;

Sheet numberedSheet()
{
    Sheet sheet;
    for (int i = 1; i <= kRows; ++i) {
        sheet[std::size_t(i - 1)] = {{u"nome %1"_s.arg(i), i % 2 == 0, i % 3 == 0, TextColour(i % 6)},
                                     {u"num %1"_s.arg(i), i % 3 == 1, i % 2 == 1, TextColour((i + 1) % 6)}};
    }
    return sheet;
}

const Row &at(const Sheet &sheet, int row)
{
    return sheet[std::size_t(row - 1)];
}

// Every hit of one pass over records held as the file holds them (padded, blank when missing).
std::vector<SearchHit> pass(SearchState &state, const QString &typed,
                            const std::map<int, std::pair<QString, QString>> &records)
{
    const auto read = [&](int record) -> std::optional<RecordTexts> {
        const auto it = records.find(record);
        if (it == records.end())
            return RecordTexts{QString(kNameBytes, u' '), QString(kNumberBytes, u' ')};
        if (it->second.first == u"?")
            return std::nullopt; // unreadable
        return RecordTexts{it->second.first.leftJustified(kNameBytes), it->second.second.leftJustified(kNumberBytes)};
    };
    std::vector<SearchHit> hits;
    while (const auto hit = searchStep(state, searchKey(typed), read)) {
        hits.push_back(*hit);
        if (hits.size() > 2 * kRecords)
            break;
    }
    return hits;
}

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

TEST(AddressBookEdit, KeysWalkTheGrid)
{
    // The reading order across the pages is the walk's below.
    const struct { CellRef from; MoveKey key; bool clicked; std::optional<CellRef> to; } cases[] = {
        {{1, N}, MoveKey::Up, false, CellRef{44, N}},      {{44, U}, MoveKey::Down, true, CellRef{1, U}},
        {{22, U}, MoveKey::Right, false, CellRef{44, N}},  {{23, N}, MoveKey::Left, false, CellRef{1, U}},
        {{5, N}, MoveKey::Right, true, std::nullopt},      {{44, U}, MoveKey::Enter, true, CellRef{1, N}},
        {{22, N}, MoveKey::PageUp, false, CellRef{1, N}},  {{23, U}, MoveKey::PageUp, false, CellRef{23, U}},
        {{40, N}, MoveKey::PageDown, false, CellRef{44, N}}, {{0, N}, MoveKey::Down, false, std::nullopt},
    };
    for (const auto &c : cases)
        EXPECT_EQ(moveTarget(c.from, c.key, c.clicked), c.to) << c.from.row << " key " << int(c.key);

    // Right from name 1 visits all 88 cells once and comes back; Left undoes every step.
    CellRef cell{1, N};
    std::set<std::pair<int, int>> seen;
    for (int k = 0; k < 2 * kRows; ++k) {
        const CellRef next = *moveTarget(cell, MoveKey::Right, false);
        EXPECT_EQ(moveTarget(next, MoveKey::Left, false), cell);
        seen.insert({cell.row, int(cell.column)});
        cell = next;
    }
    EXPECT_EQ(cell, (CellRef{1, N}));
    EXPECT_EQ(seen.size(), std::size_t(2 * kRows));
}

TEST(AddressBookEdit, CutCopyAndAnnullaVbCr)
{
    Sheet sheet = numberedSheet();
    const Sheet before = sheet;
    Marks marks{};
    for (int row = 5; row <= 8; ++row)
        marks[std::size_t(row - 1)] = true;
    EXPECT_EQ(copyMarked(sheet, N, marks), u"nome 5\nnome 6\nnome 7\nnome 8\n"_s);
    EXPECT_EQ(sheet, before);
    EXPECT_EQ(copyMarked(sheet, U, Marks{}), QString());
    EXPECT_EQ(cutMarked(sheet, N, marks), u"nome 5\nnome 6\nnome 7\nnome 8\n"_s);
    for (int row = 1; row <= kRows; ++row) {
        const bool cut = row >= 5 && row <= 8;
        EXPECT_EQ(at(sheet, row), (Row{cut ? Cell{} : at(before, row).name, at(before, row).number})) << row;
    }

    const std::pair<QString, QString> cases[] = {
        {u"a\nb\n\nc"_s, u"a\nb\n\nc"_s},   // no CR: untouched
        {u"a\r\nb\r\n"_s, u"a\nb\n"_s},
        {u"a\r\n\r\nb\r\n"_s, u"a\n\nb\n"_s}, // an empty CR LF line stays
        {u"a\n\nb\r\n"_s, u"a\nb\n"_s},      // a bare doubled LF collapses
        {u"a\rb\r"_s, u"a\nb\n"_s},          // CR only: each becomes LF
    };
    for (const auto &[in, out] : cases)
        EXPECT_EQ(annullaVbCr(in), out) << in.toStdString();
}

TEST(AddressBookEdit, PasteAppendsLineByLineDownToRow44)
{
    const Sheet before = numberedSheet();
    Sheet sheet = before;
    EXPECT_EQ(pasteLines(sheet, N, 43, u"a\nb\n"_s), 44);
    Row appended = at(before, 43); // attributes stay
    appended.name.text += u"a"_s;
    EXPECT_EQ(at(sheet, 43), appended);
    EXPECT_EQ(at(sheet, 44).name.text, u"nome 44b"_s);

    sheet = before;
    EXPECT_EQ(pasteLines(sheet, U, 44, u"x\ny\nz\n"_s), 44);
    EXPECT_EQ(at(sheet, 44).number.text, u"num 44x"_s);
    EXPECT_EQ(at(sheet, 1), at(before, 1));

    // Without a final line break the current row ends one above the last line.
    sheet = before;
    EXPECT_EQ(pasteLines(sheet, U, 5, u"p\n\nq"_s), 6);
    EXPECT_EQ(at(sheet, 5).number.text + at(sheet, 6).number.text + at(sheet, 7).number.text,
              u"num 5pnum 6num 7q"_s);
    EXPECT_EQ(at(sheet, 8), at(before, 8));
}

TEST(AddressBookEdit, InsertAndDeleteMoveWholeRows)
{
    const Sheet before = numberedSheet();
    Sheet sheet = before;
    insertRow(sheet, 44);
    EXPECT_EQ(at(sheet, 44), Row{});
    EXPECT_EQ(at(sheet, 43), at(before, 43));

    sheet = before;
    insertRow(sheet, 10);
    for (int row = 1; row <= 44; ++row)
        EXPECT_EQ(at(sheet, row), row == 10 ? Row{} : at(before, row < 10 ? row : row - 1)) << row;

    sheet = before;
    deleteRow(sheet, 10);
    for (int row = 1; row <= 43; ++row)
        EXPECT_EQ(at(sheet, row), at(before, row < 10 ? row : row + 1)) << row;
    EXPECT_EQ(at(sheet, 44), Row{});
}

TEST(AddressBookEdit, SearchIgnoresSeparatorsAndCase)
{
    const struct { const char *typed; const char *stored; bool hit; } cases[] = {
        {"0212345", "02/123.45", true}, {"02.123.45", "02-12345", true}, {"de rossi", "DeRossi", true},
        {"de rossi", "DE ROSSI   ", true}, {"città", "CITTÀ", true}, {"rossa", "De Rossi", false},
        {" ./- ", "x", true}, {"", "", false}, {"", " ./-", false},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(matches(searchKey(QString::fromUtf8(c.typed)), comparedText(QString::fromUtf8(c.stored))), c.hit)
            << c.typed << " in " << c.stored;
    }
}

TEST(AddressBookEdit, SearchStepsHitNameThenNumberAndEndThePass)
{
    std::map<int, std::pair<QString, QString>> records = {
        {3, {u"Mario De Rossi"_s, u"06 555"_s}}, {50, {u"ROSSI LUCIA"_s, u"rossi ufficio"_s}},
        {51, {u"Bianchi"_s, u"deRossi"_s}},      {1936, {u"Derossi Ugo"_s, {}}}};
    SearchState state;
    EXPECT_EQ(pass(state, u"ross"_s, records),
              (std::vector<SearchHit>{{3, N}, {50, N}, {50, U}, {51, U}, {1936, N}}));
    EXPECT_EQ(state.position, 1);
    EXPECT_EQ(state.lastHit, 0);
    EXPECT_EQ(pass(state, u"lucia"_s, records), (std::vector<SearchHit>{{50, N}}));

    // A blank-only key is empty: each cell with text is a hit in turn; unreadable records skipped.
    records[4] = {u" . "_s, u"-"_s};
    records[51] = {u"?"_s, {}};
    EXPECT_EQ(pass(state, u" ./- "_s, records),
              (std::vector<SearchHit>{{3, N}, {3, U}, {50, N}, {50, U}, {1936, N}}));
}

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
