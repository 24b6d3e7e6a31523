#include "addressbook/sheetgrid.h"

#include "addressbook/gridcell.h"
#include "addressbook/sheetlayout.h"

namespace promemo::rubrica {

SheetGrid::SheetGrid(QWidget *window)
{
    // Name i, number i, name i + 1, ...: the tab order follows Enter.
    for (int row = 1; row <= kRows; ++row) {
        for (const Column column : {Column::Name, Column::Number}) {
            auto *each = new GridCell({row, column}, window);
            each->setObjectName(QStringLiteral("Text%1_%2").arg(int(column)).arg(row));
            each->setGeometry(layout::cellRect(each->ref()));
            m_cells[std::size_t(2 * (row - 1) + int(column) - 1)] = each;
        }
    }
    // Rows overlap: each row lies over the one below it, so its lower ruling line shows.
    for (auto each = m_cells.rbegin(); each != m_cells.rend(); ++each)
        (*each)->raise();
}

GridCell *SheetGrid::cell(CellRef ref) const
{
    if (ref.row < 1 || ref.row > kRows)
        return nullptr;
    return m_cells[std::size_t(2 * (ref.row - 1) + int(ref.column) - 1)];
}

void SheetGrid::show(const Sheet &rows)
{
    for (GridCell *each : m_cells) {
        const Row &row = rows[std::size_t(each->ref().row - 1)];
        each->setContents(each->ref().column == Column::Name ? row.name : row.number);
    }
}

void SheetGrid::showPaint(const SheetCursor &cursor)
{
    for (GridCell *each : m_cells) {
        const CellPaint paint = cursor.paint(each->ref());
        if (each->paint() != paint)
            each->setPaint(paint);
    }
}

void SheetGrid::focus(CellRef ref, Caret caret)
{
    GridCell *target = cell(ref);
    if (!target)
        return;
    target->setFocus(Qt::OtherFocusReason);
    if (caret == Caret::End)
        target->caretToEnd();
    else if (caret == Caret::SelectAll)
        target->selectAll();
}

} // namespace promemo::rubrica
