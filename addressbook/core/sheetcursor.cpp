#include "addressbook/core/sheetcursor.h"

namespace promemo::rubrica {

namespace {

std::size_t columnIndex(Column column)
{
    return column == Column::Name ? 0 : 1;
}

bool isValid(CellRef ref)
{
    return ref.row >= 1 && ref.row <= kRows;
}

} // namespace

CellPaint SheetCursor::paint(CellRef ref) const
{
    if (!isValid(ref))
        return CellPaint::Window;
    return m_paint[columnIndex(ref.column)][std::size_t(ref.row - 1)];
}

void SheetCursor::setPaint(CellRef ref, CellPaint paint)
{
    if (isValid(ref))
        m_paint[columnIndex(ref.column)][std::size_t(ref.row - 1)] = paint;
}

void SheetCursor::clearPaint()
{
    m_paint = {};
}

Marks SheetCursor::marks(Column column) const
{
    Marks marks{};
    const auto &paints = m_paint[columnIndex(column)];
    for (std::size_t row = 0; row < marks.size(); ++row)
        marks[row] = paints[row] == CellPaint::Marker;
    return marks;
}

bool SheetCursor::focusEntered(CellRef ref)
{
    m_current = ref;
    bool caretToEnd = false;
    if (!m_extendMarks) {
        clearPaint();
        caretToEnd = !m_clicked;
    }
    // Marks accumulate only through the one move that asked for it.
    m_extendMarks = false;
    setPaint(ref, m_search.found ? CellPaint::Found : CellPaint::Marker);
    m_last = ref;
    return caretToEnd;
}

void SheetCursor::pressed(CellRef ref)
{
    m_clicked = true;
    m_extendMarks = false;
    m_search.restart();
    m_last = ref;
}

void SheetCursor::keyPressed(CellRef here)
{
    m_current.row = here.row;
    m_extendMarks = false;
    if (here.column == Column::Name)
        m_search.found = false;
}

void SheetCursor::helpKeyPressed(CellRef here)
{
    m_current.row = here.row;
    m_extendMarks = false;
}

std::optional<CellRef> SheetCursor::move(CellRef here, MoveKey key, bool shiftAlone)
{
    switch (key) {
    case MoveKey::Enter:
        if (here.column == Column::Number && shiftAlone)
            m_extendMarks = true;
        // Enter restarts the search.
        m_search.restart();
        break;
    case MoveKey::Down:
        if (shiftAlone)
            m_extendMarks = true;
        break;
    case MoveKey::Left:
    case MoveKey::Right:
        // After a click they move the caret in the text, and the click is remembered.
        return moveTarget(here, key, m_clicked);
    case MoveKey::Up:
    case MoveKey::PageUp:
    case MoveKey::PageDown:
        break;
    }
    m_clicked = false;
    return moveTarget(here, key, m_clicked);
}

void SheetCursor::typed(CellRef here, bool printable)
{
    if (!printable)
        return;
    m_search.restart();
    m_last = here;
}

void SheetCursor::home()
{
    clearPaint();
    m_search.restart();
    m_extendMarks = false;
    m_current = {1, Column::Name};
}

void SheetCursor::settle(CellPaint paint)
{
    setPaint(m_current, paint);
    m_last = m_current;
}

void SheetCursor::showHit(CellRef ref)
{
    m_search.found = true;
    m_extendMarks = false;
    m_current = ref;
}

void SheetCursor::searchTextChanged()
{
    for (auto &column : m_paint) {
        for (CellPaint &paint : column) {
            if (paint == CellPaint::Found)
                paint = CellPaint::Marker;
        }
    }
    m_search.restart();
}

std::optional<Column> SheetCursor::pasteColumn() const
{
    for (const Column column : {Column::Name, Column::Number}) {
        if (paint({m_current.row, column}) == CellPaint::Marker)
            return column;
    }
    return std::nullopt;
}

} // namespace promemo::rubrica
