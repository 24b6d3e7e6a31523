#include "addressbook/gridcell.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>

#include "addressbook/colours.h"
#include "platform/storabletext.h"

namespace promemo::rubrica {

namespace {

const QColor kMarkerYellow(255, 255, 192);
const QColor kFoundGreen(190, 254, 190);
const QColor kRuleColour(128, 128, 128);

QColor paintColour(CellPaint paint)
{
    switch (paint) {
    case CellPaint::Marker:
        return kMarkerYellow;
    case CellPaint::Found:
        return kFoundGreen;
    case CellPaint::Window:
        break;
    }
    return QApplication::palette().color(QPalette::Active, QPalette::Base);
}

// Focus coming back with the window (after a message box) or from a popup is not a move
// between cells.
bool movesBetweenCells(const QFocusEvent *event)
{
    return event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason;
}

bool isOneLine(const QString &text)
{
    return !text.contains(u'\r') && !text.contains(u'\n') && !text.contains(u'\t');
}

} // namespace

GridCell::GridCell(CellRef ref, QWidget *parent) : QLineEdit(parent), m_ref(ref)
{
    setFrame(false);
    setTextMargins(2, 2, 2, 0);
    setMaxLength(typingLimit());
    keepStorable(*this);
    setAutoFillBackground(false);
    setPaint(CellPaint::Window);
    setTextColour(TextColour::Black);
}

int GridCell::typingLimit() const
{
    return m_ref.column == Column::Name ? kNameBytes : kNumberBytes;
}

Cell GridCell::contents() const
{
    return {text(), font().bold(), font().underline(), m_colour};
}

void GridCell::setContents(const Cell &cell)
{
    // The text typed or left as it is keeps its caret.
    if (cell.text != text())
        setCellText(cell.text);
    setBold(cell.bold);
    setUnderline(cell.underline);
    setTextColour(cell.colour);
}

void GridCell::setCellText(const QString &text)
{
    // Pasted text may pass the typing limit.
    setMaxLength(std::max<int>(typingLimit(), int(text.size())));
    setText(text);
    // A long entry shows from its beginning, as after the cell lost the focus.
    if (!hasFocus())
        setCursorPosition(0);
}

void GridCell::setPaint(CellPaint paint)
{
    m_paint = paint;
    QPalette colours = palette();
    colours.setColor(QPalette::Base, paintColour(paint));
    setPalette(colours);
}

void GridCell::setBold(bool on)
{
    QFont changed = font();
    changed.setBold(on);
    setFont(changed);
}

void GridCell::setUnderline(bool on)
{
    QFont changed = font();
    changed.setUnderline(on);
    setFont(changed);
}

void GridCell::setTextColour(TextColour colour)
{
    m_colour = colour;
    QPalette colours = palette();
    colours.setColor(QPalette::Text, textQColor(colour));
    setPalette(colours);
}

void GridCell::caretToEnd()
{
    deselect();
    setCursorPosition(int(text().size()));
}

void GridCell::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    if (movesBetweenCells(event))
        emit focusEntered(this);
}

void GridCell::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    if (!movesBetweenCells(event))
        return;
    // A long entry shows from its beginning again.
    setCursorPosition(0);
    emit focusLeft(this);
}

void GridCell::mousePressEvent(QMouseEvent *event)
{
    QLineEdit::mousePressEvent(event);
    emit pressed(this, event->button());
}

bool GridCell::handOver(const QString &text)
{
    if (isOneLine(text))
        return false;
    emit pasteRequested(this, text);
    return true;
}

void GridCell::pasteFrom(QClipboard::Mode mode)
{
    if (isReadOnly())
        return;
    const QString text = QGuiApplication::clipboard()->text(mode);
    if (handOver(text))
        return;
    // As the line edit's own paste: the text over the selection, one step to undo.
    if (!text.isEmpty() || hasSelectedText())
        insert(text);
}

void GridCell::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::MiddleButton && QGuiApplication::clipboard()->supportsSelection()) {
        deselect();
        pasteFrom(QClipboard::Selection);
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

void GridCell::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Paste)) {
        pasteFrom(QClipboard::Clipboard);
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void GridCell::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu *menu = createStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    // The menu's paste is the one action tied to QLineEdit::paste (by name in Qt 6.4).
    for (QAction *action : menu->actions()) {
        const bool isPaste = disconnect(action, SIGNAL(triggered()), this, SLOT(paste()))
                             || disconnect(action, &QAction::triggered, this, &QLineEdit::paste);
        if (isPaste)
            connect(action, &QAction::triggered, this, [this] { pasteFrom(QClipboard::Clipboard); });
    }
    menu->popup(event->globalPos());
}

void GridCell::dropEvent(QDropEvent *event)
{
    const QMimeData *dropped = event->mimeData();
    if (isReadOnly() || !dropped->hasText() || isOneLine(dropped->text())) {
        QLineEdit::dropEvent(event);
        return;
    }
    // Taken as a paste at the drop point; the text dragged stays where it came from.
    setFocus(Qt::OtherFocusReason);
    deselect();
    setCursorPosition(cursorPositionAt(event->position().toPoint()));
    event->setDropAction(Qt::CopyAction);
    event->accept();
    handOver(dropped->text());
}

void GridCell::paintEvent(QPaintEvent *event)
{
    {
        QPainter painter(this);
        painter.fillRect(rect(), palette().color(QPalette::Base));
    }
    QLineEdit::paintEvent(event);
    QPainter painter(this);
    painter.setPen(kRuleColour);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

} // namespace promemo::rubrica
