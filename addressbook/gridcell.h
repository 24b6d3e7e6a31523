#pragma once

#include <QLineEdit>

#include "addressbook/core/addressbook.h"
#include "addressbook/core/sheetcursor.h"

namespace promemo::rubrica {

// One cell of the grid: a line edit drawn as part of a ruled grid, with its text colour and
// paint. It reports focus and mouse presses after the line edit has handled them.
class GridCell : public QLineEdit
{
    Q_OBJECT
public:
    GridCell(CellRef ref, QWidget *parent);

    CellRef ref() const { return m_ref; }
    Cell contents() const;
    // Text beyond the typing limit (after a paste) is kept; Salva cuts it to the field.
    void setContents(const Cell &cell);
    void setCellText(const QString &text);
    CellPaint paint() const { return m_paint; }
    void setPaint(CellPaint paint);
    void setBold(bool on);
    void setUnderline(bool on);
    void setTextColour(TextColour colour);
    int typingLimit() const;
    // The caret after the text, nothing selected.
    void caretToEnd();

signals:
    void focusEntered(GridCell *cell);
    void focusLeft(GridCell *cell);
    void pressed(GridCell *cell, Qt::MouseButton button);

protected:
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    CellRef m_ref;
    TextColour m_colour = TextColour::Black;
    CellPaint m_paint = CellPaint::Window;
};

} // namespace promemo::rubrica
