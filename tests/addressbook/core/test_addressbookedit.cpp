#include "addressbook/core/addressbookedit.h"

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
    for (int i = 1; i <= kRows; ++i)
        sheet[std::size_t(i - 1)] = {{u"nome %1"_s.arg(i), i % 2 == 0, i % 3 == 0, TextColour(i % 6)},
                                     {u"num %1"_s.arg(i), i % 3 == 1, i % 2 == 1, TextColour((i + 1) % 6)}};
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
    EXPECT_EQ(std::pair(copyMarked(sheet, N, marks), copyMarked(sheet, U, Marks{})),
              std::pair(u"nome 5\nnome 6\nnome 7\nnome 8\n"_s, QString()));
    EXPECT_EQ(sheet, before);
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
    EXPECT_EQ(pasteLines(sheet, U, 44, u"x\ny\nz\n"_s), 44);
    Row appended = at(before, 44); // attributes stay
    appended.number.text += u"x"_s;
    EXPECT_EQ(std::pair(at(sheet, 44), at(sheet, 1)), std::pair(appended, at(before, 1)));

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
    EXPECT_EQ(std::pair(state.position, state.lastHit), std::pair(1, 0));
    EXPECT_EQ(pass(state, u"lucia"_s, records), (std::vector<SearchHit>{{50, N}}));

    // A blank-only key is empty: each cell with text is a hit in turn; unreadable records skipped.
    records[4] = {u" . "_s, u"-"_s};
    records[51] = {u"?"_s, {}};
    EXPECT_EQ(pass(state, u" ./- "_s, records),
              (std::vector<SearchHit>{{3, N}, {3, U}, {50, N}, {50, U}, {1936, N}}));
}
