#include "launcher/core/recurrenceeditorsession.h"

#include <QDir>
#include <QPointer>

#include <algorithm>
#include <utility>

#include "common/recurrences.h"

namespace promemo::launcher {

namespace {

const QString kErrorTitle = QStringLiteral(" Editor error");
const QString kEditorTitle = QStringLiteral(" Editor ricorrenze");
const QString kOnlyDigits = QStringLiteral("Puoi introdurre solo numeri    ");
const QString kOverwriteQuestion = QStringLiteral(
    " Ci sono dati inseriti nell' editor...  \r"
    " proseguendo essi verranno sovrascritti e quindi persi     \r\r"
    " Confermi?");
const QString kCloseWarning = QStringLiteral(
    " Ci sono uno o più dati inseriti nell' editor...  \r\r"
    " Prima di chiudere la finestra essi vanno necessariamente    \r"
    " inseriti nell'elenco delle ricorrenze o cancellati tramite  \r"
    " l'apposito tasto ");
const QString kWriteFailed = QStringLiteral(
    " Non è stato possibile salvare le ricorrenze (rico.dat e ricf.dat)    \r\r"
    " Controlla la cartella del programma, poi premi di nuovo Chiudi    ");

bool isDateBox(EditorField field)
{
    return field == EditorField::Day || field == EditorField::Month || field == EditorField::PerYear;
}

} // namespace

RecurrenceEditorSession::RecurrenceEditorSession(const IClock &clock, IMessageBoxes &boxes,
                                                 QString folder, QWidget *messageParent)
    : m_errors(boxes, kErrorTitle, messageParent), m_messages(boxes, kEditorTitle, messageParent),
      m_folder(std::move(folder)), m_year(clock.today().year())
{
    EnteredRecurrences entered =
        readEnteredRecurrences(QDir(m_folder).filePath(kEnteredRecurrencesFile.toString()));
    for (const Recurrence &recurrence : entered.readable)
        insertEntry(recurrenceEntry(recurrence, m_year));
    m_unreadable = std::move(entered.unreadable);
    if (m_entries.isEmpty())
        insertEntry(kNoRecurrencesEntry.toString());
}

void RecurrenceEditorSession::formEdited(const RecurrenceForm &form)
{
    m_form = form;
}

void RecurrenceEditorSession::showForm(const RecurrenceForm &form)
{
    m_form = form;
    emit formChanged(m_form);
}

void RecurrenceEditorSession::insertEntry(const QString &entry)
{
    const auto at = std::lower_bound(m_entries.cbegin(), m_entries.cend(), entry);
    const int row = int(at - m_entries.cbegin());
    m_entries.insert(row, entry);
    emit entryInserted(row, entry);
}

void RecurrenceEditorSession::removeEntry(int row)
{
    m_entries.removeAt(row);
    emit entryRemoved(row);
}

void RecurrenceEditorSession::Msg_Box(const QString &text)
{
    m_errors.warn(text);
}

void RecurrenceEditorSession::moveFocus(int position)
{
    m_focusPosition = position;
    Controllo_Freccia();
}

void RecurrenceEditorSession::Controllo_Freccia()
{
    if (m_focusPosition > int(EditorField::Insert))
        m_focusPosition = int(EditorField::Day);
    else if (m_focusPosition < int(EditorField::Day))
        m_focusPosition = int(EditorField::Text);
    emit focusMoved(EditorField(m_focusPosition));
}

void RecurrenceEditorSession::fieldEntered(EditorField field)
{
    if (isDateBox(field))
        m_focusPosition = int(field);
}

void RecurrenceEditorSession::enterAnew(EditorField field)
{
    fieldEntered(field);
    emit fieldEnteredAnew(field);
}

void RecurrenceEditorSession::arrowKey(EditorField field, bool back)
{
    const auto step = [back](EditorField to, EditorField on) { return int(back ? to : on); };
    switch (field) {
    case EditorField::Advance:
        return moveFocus(step(EditorField::PerYear, EditorField::Text));
    case EditorField::Text:
        return moveFocus(step(EditorField::Advance, EditorField::Insert));
    case EditorField::List:
        return moveFocus(step(EditorField::Text, EditorField::Insert));
    default:
        return moveFocus(m_focusPosition + (back ? -1 : 1));
    }
}

void RecurrenceEditorSession::enterKey(EditorField field)
{
    m_focusPosition = int(EditorField::Day);
    if (field == EditorField::Text)
        emit focusMoved(EditorField::Insert);
    else
        emit focusMoved(field == EditorField::Advance ? EditorField::Text : EditorField::Advance);
}

void RecurrenceEditorSession::secondDigit()
{
    moveFocus(m_focusPosition + 1);
}

void RecurrenceEditorSession::digitRefused(EditorField box)
{
    const QPointer<RecurrenceEditorSession> alive(this);
    Msg_Box(kOnlyDigits);
    if (alive)
        emit focusMoved(box);
}

void RecurrenceEditorSession::cmdOk_Click()
{
    const InsertionCheck check = checkInsertion(m_form);
    showForm(check.form);
    if (check.refusal) {
        const QPointer<RecurrenceEditorSession> alive(this);
        Msg_Box(check.refusal->message);
        if (alive)
            enterAnew(check.refusal->focus);
        return;
    }
    if (isPlaceholderEntry(m_entries.first()))
        removeEntry(0);
    insertEntry(entryOfForm(check.form, m_year));
    cmdAnnulla_Click();
}

void RecurrenceEditorSession::cmdAnnulla_Click()
{
    showForm(RecurrenceForm::empty());
    moveFocus(int(EditorField::Day));
}

void RecurrenceEditorSession::List1_Click(int row)
{
    if (row < 0 || row >= m_entries.size())
        return;
    const QString entry = m_entries.at(row);
    if (isPlaceholderEntry(entry)) {
        emit focusMoved(EditorField::Close);
        return;
    }
    if (m_form.holdsData()) {
        const QPointer<RecurrenceEditorSession> alive(this);
        const MessageAnswer answer =
            m_messages.show(kOverwriteQuestion, MessageIcon::Warning, MessageButtons::YesNo);
        if (!alive || answer != MessageAnswer::Yes)
            return;
    }
    showForm(formOfEntry(entry));
    removeEntry(row);
    if (m_entries.isEmpty())
        insertEntry(kNoRecurrencesEntry.toString());
    // The digits typed next replace the loaded day.
    enterAnew(EditorField::Day);
}

void RecurrenceEditorSession::cmdChiudi_Click()
{
    if (m_form.holdsData()) {
        m_messages.warn(kCloseWarning);
        return;
    }
    QList<Recurrence> recurrences;
    for (const QString &entry : std::as_const(m_entries)) {
        if (!isPlaceholderEntry(entry))
            recurrences.append(recurrenceOfEntry(entry));
    }
    // Closing after a failed write would lose the work: the editor stays open for another try.
    if (!writeRecurrenceFiles(m_folder, recurrences, m_year, m_unreadable)) {
        m_messages.warn(kWriteFailed);
        return;
    }
    emit saved();
}

} // namespace promemo::launcher
