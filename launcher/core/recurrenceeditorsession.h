#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

#include "common/clock.h"
#include "launcher/core/recurrenceentry.h"
#include "platform/messageboxes.h"

namespace promemo::launcher {

// frmRicorrenze's work: the list of recurrences read from rico.dat and the form for one
// recurrence. Entries are added from the form, picked back into it to be changed or deleted,
// and both recurrence files are written only by "Chiudi". The window shows the form, the list
// and the focus as the signals say, and reports what the user typed.
class RecurrenceEditorSession final : public QObject
{
    Q_OBJECT
public:
    // Reads rico.dat in `folder`; the sort keys are of the clock's year. Its messages show over
    // `messageParent`.
    RecurrenceEditorSession(const IClock &clock, IMessageBoxes &boxes, QString folder,
                            QWidget *messageParent = nullptr);

    // The list, sorted as text: the entries, or the placeholder alone.
    const QStringList &entries() const { return m_entries; }
    const RecurrenceForm &form() const { return m_form; }

    // The boxes as the user has edited them.
    void formEdited(const RecurrenceForm &form);
    // The focus came to `field` anew: a date box becomes the focus position.
    void fieldEntered(EditorField field);
    // Left or Up (`back`), Right or Down in a box of the form or in the list.
    void arrowKey(EditorField field, bool back);
    // Enter in a box of the form: on to the next group of boxes.
    void enterKey(EditorField field);
    // The second digit typed in a box since it was entered.
    void secondDigit();
    // A key with a character that is not a digit, in a box of digits.
    void digitRefused(EditorField box);

    // "Inserisci nell' elenco".
    void cmdOk_Click();
    // "Cancella i dati".
    void cmdAnnulla_Click();
    // Picking entry `row` of the list.
    void List1_Click(int row);
    // "Chiudi": writes both files from the list; refused while the form holds data.
    void cmdChiudi_Click();

signals:
    // The boxes are to show `form`.
    void formChanged(const RecurrenceForm &form);
    void entryInserted(int row, const QString &entry);
    void entryRemoved(int row);
    // The focus goes to `field`.
    void focusMoved(EditorField field);
    // The focus goes to `field`, which is entered anew whichever way the focus arrives (after a
    // message box it may come back with the window).
    void fieldEnteredAnew(EditorField field);
    // Both files are written: the editor closes.
    void saved();

private:
    void Msg_Box(const QString &text);
    void Controllo_Freccia();
    void moveFocus(int position);
    void enterAnew(EditorField field);
    void showForm(const RecurrenceForm &form);
    void insertEntry(const QString &entry);
    void removeEntry(int row);

    const WindowMessages m_errors;
    const WindowMessages m_messages;
    const QString m_folder;
    const int m_year;
    QStringList m_entries;
    // The records of rico.dat the list cannot show, written back as they were read.
    QByteArray m_unreadable;
    RecurrenceForm m_form = RecurrenceForm::empty();
    // The focus position, 0 day to 5 the insert button.
    int m_focusPosition = 0;
};

} // namespace promemo::launcher
