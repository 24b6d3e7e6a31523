#pragma once

#include <array>
#include <optional>

#include "addressbook/core/addressbookedit.h"

// Where the user is on the shown sheet: the current cell, the last cell that had the focus,
// the cells' paint (marks and the search hit) and the search state. The window reports keys,
// clicks and focus moves; the cursor answers where the focus goes next and what each cell shows.
namespace promemo::rubrica {

// The background of a cell: plain, marked (cut, copy and paste act on it) or found by the search.
enum class CellPaint { Window, Marker, Found };

class SheetCursor
{
public:
    CellRef current() const { return m_current; }
    CellRef lastFocused() const { return m_last; }
    bool mouseClicked() const { return m_clicked; }
    bool extendingMarks() const { return m_extendMarks; }
    const SearchState &search() const { return m_search; }
    SearchState &search() { return m_search; }

    CellPaint paint(CellRef ref) const;
    void setPaint(CellRef ref, CellPaint paint);
    // Every cell plain.
    void clearPaint();
    // The marked cells of `column`.
    Marks marks(Column column) const;

    // A cell got the focus. True when its caret goes to the end of its text (not after a click).
    bool focusEntered(CellRef ref);
    // A mouse press on a cell.
    void pressed(CellRef ref);
    // Any key on a cell, before it is handled; F1 on a cell.
    void keyPressed(CellRef here);
    void helpKeyPressed(CellRef here);
    // A moving key on `here`: the cell to focus, or empty when the caret moves in the text.
    // `shiftAlone`: Shift with Enter on a number, or with Down, extends the marks.
    std::optional<CellRef> move(CellRef here, MoveKey key, bool shiftAlone);
    // A key typed into `here` (not a modifier): `printable` when it gave text.
    void typed(CellRef here, bool printable);

    // A sheet opened, or Down in the search box: no paint, name 1 current, search restarted.
    void home();
    // The current cell painted and remembered as the last focused one.
    void settle(CellPaint paint);
    // A search hit about to be focused.
    void showHit(CellRef ref);
    // The searched text changed: the hit turns into a mark and the search starts again.
    void searchTextChanged();

    // Cut and copy end any extension of the marks.
    void stopExtending() { m_extendMarks = false; }
    // A paste ends the click's hold on Left and Right; it goes into the marked cell of the
    // current row (name first), if any, and leaves the current row on its last line.
    void pasteStarted() { m_clicked = false; }
    std::optional<Column> pasteColumn() const;
    void setCurrentRow(int row) { m_current.row = row; }

private:
    CellRef m_current;
    CellRef m_last;
    bool m_clicked = false;
    bool m_extendMarks = false;
    SearchState m_search; // its `found` paints the focused cell green
    std::array<std::array<CellPaint, kRows>, 2> m_paint{};
};

} // namespace promemo::rubrica
