#pragma once

#include <array>

#include "addressbook/core/addressbooksession.h"

class QWidget;

namespace promemo::rubrica {

class GridCell;

// The 88 cells of the sheet on the window: name cells (Text1) and number cells (Text2), laid out
// as one ruled grid, showing the rows and the paint the session holds.
class SheetGrid
{
public:
    explicit SheetGrid(QWidget *window);

    // Null outside rows 1..44.
    GridCell *cell(CellRef ref) const;
    // Name 1, number 1, name 2, ...
    const std::array<GridCell *, 2 * kRows> &cells() const { return m_cells; }
    void show(const Sheet &rows);
    void showPaint(const SheetCursor &cursor);
    void focus(CellRef ref, Caret caret);

private:
    std::array<GridCell *, 2 * kRows> m_cells{};
};

} // namespace promemo::rubrica
