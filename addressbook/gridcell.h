#pragma once

#include <QClipboard>
#include <QLineEdit>

#include "addressbook/core/addressbook.h"
#include "addressbook/core/sheetcursor.h"

namespace promemo::rubrica {

// One cell of the grid: a line edit drawn as part of a ruled grid, with its text colour and
// paint. It reports focus and mouse presses after the line edit has handled them. Text pasted
// into it (Ctrl+V, its menu, a middle click, a drop) that holds a line break or a TAB is handed
// to the window, which applies the rules of Incolla; other text goes in at the caret.
class GridCell : public QLineEdit
{
    Q_OBJECT
public:
    GridCell(CellRef ref, QWidget *parent);

    CellRef ref() const { return m_ref; }
    Cell contents() const;
    // Text beyond the typing limit (after a paste) is kept; Salva cuts it to the field. The
    // text is as the session holds it, storable in the file.
    void setContents(const Cell &cell);
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
    // `text` holds a line break or a TAB; the caret stands where it goes in.
    void pasteRequested(GridCell *cell, const QString &text);

protected:
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void setCellText(const QString &text);
    // False for text the line edit may take as it is.
    bool handOver(const QString &text);
    void pasteFrom(QClipboard::Mode mode);

    CellRef m_ref;
    TextColour m_colour = TextColour::Black;
    CellPaint m_paint = CellPaint::Window;
};

} // namespace promemo::rubrica
