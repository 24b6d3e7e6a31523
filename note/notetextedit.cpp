#include "note/notetextedit.h"

#include <QKeyEvent>
#include <QMimeData>

#include "common/notefile.h"

namespace promemo::note {

namespace {

// Characters the file will hold: a line break is CR LF there.
qsizetype storedLength(const QString &text)
{
    return text.size() + text.count(u'\n');
}

} // namespace

bool NoteTextEdit::canInsertFromMimeData(const QMimeData *source) const
{
    return source && source->hasText();
}

void NoteTextEdit::insertFromMimeData(const QMimeData *source)
{
    if (!source)
        return;
    const QString text = source->text();
    const QString selected = textCursor().selectedText();
    if (storedLength(toPlainText()) - storedLength(selected) + storedLength(text) > kMaxNoteTextLength) {
        emit tooLong();
        return;
    }
    insertPlainText(text);
}

void NoteTextEdit::keyPressEvent(QKeyEvent *event)
{
    const bool adds = (!event->text().isEmpty() && event->text().front().isPrint())
                      || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (adds && !textCursor().hasSelection()
        && storedLength(toPlainText()) + 2 > kMaxNoteTextLength) {
        emit tooLong();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

} // namespace promemo::note
