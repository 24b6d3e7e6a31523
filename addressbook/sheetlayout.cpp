#include "addressbook/sheetlayout.h"

#include <QtGlobal>

#include <algorithm>
#include <array>

#include "common/twips.h"
#include "widgets/twipsgeometry.h"

namespace promemo::rubrica::layout {

namespace {

// Layout in twips. The toolbar spans 80..9990; the tabs and the sheet keep within it.
constexpr int kWindowWidth = 10080;
constexpr int kWindowHeight = 6600;
constexpr int kTabsLeft = 80;
constexpr int kTabWidth = 450;
constexpr int kTabHeight = 255;
constexpr int kUpperTabsTop = 540;
constexpr int kLowerTabsTop = kUpperTabsTop + kTabHeight;
constexpr int kSheetTop = kLowerTabsTop + kTabHeight;
constexpr int kSheetBottom = 6480;
constexpr int kFirstRowTop = 1080;
constexpr int kRowPitch = 240;
constexpr int kCellHeight = 285;
constexpr int kNameWidth = 3240;
constexpr int kNumberWidth = 1640;
constexpr int kRuleOverlap = 15; // neighbouring cells share their ruling line
constexpr std::array<int, 2> kPageLeft = {135, 5050};

// Which sheet each tab column shows: the lower row (nearer the sheet) and the upper row.
constexpr std::array<int, kPageRows> kLowerRow = {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10,
                                                  11, 12, 13, 14, 15, 16, 17, 18, 19, 28, 20};
constexpr std::array<int, kPageRows> kUpperRow = {21, 22, 23, 24, 25, 26, 27, 42, 29, 30, 31,
                                                  32, 33, 34, 35, 36, 37, 38, 39, 40, 43, 41};


} // namespace

QSize windowSize()
{
    return {twipsToPixels(kWindowWidth), twipsToPixels(kWindowHeight)};
}

QRect sheetRect()
{
    return twipsRect(QRect(kTabsLeft, kSheetTop, kTabWidth * kPageRows, kSheetBottom - kSheetTop));
}

QRect tabRect(int sheet)
{
    for (const auto &[top, sheets] : {std::pair{kLowerTabsTop, kLowerRow}, std::pair{kUpperTabsTop, kUpperRow}}) {
        const auto found = std::find(sheets.begin(), sheets.end(), sheet);
        if (found != sheets.end()) {
            const int column = int(found - sheets.begin());
            return twipsRect(QRect(kTabsLeft + column * kTabWidth, top, kTabWidth, kTabHeight));
        }
    }
    return {};
}

QRect cellRect(CellRef ref)
{
    const int page = ref.row <= kPageRows ? 0 : 1;
    const int top = kFirstRowTop + ((ref.row - 1) % kPageRows) * kRowPitch;
    const int left = kPageLeft[std::size_t(page)];
    if (ref.column == Column::Name)
        return twipsRect(QRect(left, top, kNameWidth, kCellHeight));
    return twipsRect(QRect(left + kNameWidth - kRuleOverlap, top, kNumberWidth, kCellHeight));
}


} // namespace promemo::rubrica::layout
