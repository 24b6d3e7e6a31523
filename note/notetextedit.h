#pragma once

#include <QPlainTextEdit>

namespace promemo::note {

// `Text1`: takes plain text only, and never more than a note holds. Pasted data is read as text
// alone: Qt's own paste of clipboard data whose owner has gone can crash.
class NoteTextEdit final : public QPlainTextEdit
{
    Q_OBJECT
public:
    using QPlainTextEdit::QPlainTextEdit;

signals:
    // An insertion refused because the note would grow past what it holds.
    void tooLong();

protected:
    bool canInsertFromMimeData(const QMimeData *source) const override;
    void insertFromMimeData(const QMimeData *source) override;
    void keyPressEvent(QKeyEvent *event) override;
};

} // namespace promemo::note
