#include "addressbook/core/addressbooksession.h"

#include <QDir>

#include "common/cp1252.h"
#include "common/linebreaks.h"
#include "platform/captions.h"
#include "platform/windowregistry.h"

namespace promemo::rubrica {

namespace {

using namespace std::chrono_literals;

const QString kHelpTopic = QStringLiteral("rubrica.htm");

QString tabMessage()
{
    return QStringLiteral(" Gli appunti contengono caratteri di tabulazione.\r\n\r"
                          " Probabilmente sono state copiate più colonne  \r\n"
                          " da un foglio di Excel o Access.  \r\n\r"
                          " Copiare ed incollare una sola colonna per volta...\r\n\r"
                          " Fare riferimento all' Help del programma.");
}

template <typename Rows>
auto &cellOf(Rows &rows, CellRef ref)
{
    auto &row = rows[std::size_t(ref.row - 1)];
    return ref.column == Column::Name ? row.name : row.number;
}

} // namespace

AddressBookSession::AddressBookSession(const QString &programFolder, const WindowMessages &messages,
                                       IWindowRegistry &windows, QObject *parent)
    : QObject(parent), m_dataPath(QDir(programFolder).filePath(kDataFileName.toString())),
      m_messages(messages), m_windows(windows),
      m_settings(QDir(programFolder).filePath(QStringLiteral("Notino.ini")))
{
    m_tabColour = m_settings.tabColour();
    m_sheetColour = m_settings.sheetColour();
}

AddressBookSession::~AddressBookSession() = default;

bool AddressBookSession::openDataFile()
{
    QString error;
    if (m_file.open(m_dataPath, &error))
        return true;
    QString text = QStringLiteral("  Non è possibile aprire né creare il file della Rubrica:  \r")
                   + QStringLiteral("  ") + m_dataPath + QStringLiteral("  ");
    if (!error.isEmpty())
        text += QStringLiteral("\r\r  ") + error + QStringLiteral("  ");
    text += QStringLiteral("\r\r  La Rubrica non può essere aperta.  ");
    m_messages.warn(text);
    return false;
}

const Cell &AddressBookSession::cell(CellRef ref) const
{
    return cellOf(m_rows, ref);
}

Cell &AddressBookSession::currentCell()
{
    return cellOf(m_rows, m_cursor.current());
}

void AddressBookSession::setColours(int tabIndex, int sheetIndex)
{
    m_tabColour = tabIndex;
    m_sheetColour = sheetIndex;
    emit tabsChanged();
}

void AddressBookSession::makeStorable()
{
    for (Row &row : m_rows) {
        for (Cell *each : {&row.name, &row.number})
            each->text = cp1252::storable(asOneLine(each->text));
    }
}

MessageAnswer AddressBookSession::ask(const QString &text, MessageIcon icon, MessageButtons buttons)
{
    const MessageAnswer answer = m_messages.show(text, icon, buttons);
    emit messageClosed();
    return answer;
}

void AddressBookSession::message(const QString &text, MessageIcon icon)
{
    ask(text, icon, MessageButtons::Ok);
}

bool AddressBookSession::confirm(const QString &text)
{
    return ask(text, MessageIcon::Warning, MessageButtons::YesNo) == MessageAnswer::Yes;
}

// --- Sheets and the data file ---

void AddressBookSession::Apri(int index)
{
    m_cursor.clearPaint();
    emit paintChanged();
    // A record that cannot be read shows as an empty row, never as the previous sheet's row.
    m_rows = Sheet{};
    m_file.readSheet(index, m_rows);
    makeStorable();
    emit rowsChanged();
}

bool AddressBookSession::Salva()
{
    if (!m_file.writeSheet(m_foglioCorrente, m_rows)) {
        message(QStringLiteral("  Non è stato possibile salvare il foglio ")
                    + sheetCaption(m_foglioCorrente)
                    + QStringLiteral(" nel file rubri.dat.  \r\r"
                                     "  Le modifiche restano nel foglio e non sono salvate.  \r"
                                     "  Controlla che il file non sia di sola lettura e che il "
                                     "disco non sia pieno.  "),
                MessageIcon::Warning);
        emit focusCell(m_cursor.current(), Caret::AsIs);
        return false;
    }
    m_modificato = false;
    // Contacts programs get the saved sheet from the launcher, which follows rubri.dat.
    emit focusCell(m_cursor.current(), Caret::AsIs);
    return true;
}

bool AddressBookSession::QuerySave(int index)
{
    if (!m_modificato)
        return true;
    const MessageAnswer answer = ask(QStringLiteral("  Vuoi salvare le modifiche effettuate al foglio ")
                                         + sheetCaption(index) + QStringLiteral("?  "),
                                     MessageIcon::Question, MessageButtons::YesNo);
    if (answer == MessageAnswer::Yes)
        return Salva();
    m_modificato = false;
    return true;
}

bool AddressBookSession::Apre_Foglio(int index)
{
    // The sheet being left is offered for saving first; when its write fails, nothing moves.
    if (m_modificato && !QuerySave(m_foglioCorrente))
        return false;
    m_foglioCorrente = index;
    emit tabsChanged();
    Apri(index);
    return true;
}

void AddressBookSession::tabClicked(int index)
{
    if (!Apre_Foglio(index)) {
        emit focusCell(m_cursor.lastFocused(), Caret::AsIs);
        return;
    }
    m_cursor.home();
    emit paintChanged();
    emit focusCell(m_cursor.current(), Caret::End);
    m_cursor.settle(CellPaint::Marker);
    emit paintChanged();
}

bool AddressBookSession::Form_QueryUnload()
{
    if (!m_modificato)
        return true;
    const MessageAnswer answer = ask(QStringLiteral("  Vuoi salvare le ultime modifiche effettuate?   "),
                                     MessageIcon::Question, MessageButtons::YesNoCancel);
    // A refused close, or a save that failed, keeps the window and its edits.
    if (answer == MessageAnswer::Cancel || (answer == MessageAnswer::Yes && !Salva())) {
        emit focusCell(m_cursor.lastFocused(), Caret::AsIs);
        return false;
    }
    m_modificato = false;
    return true;
}

void AddressBookSession::Form_Unload()
{
    m_file.close();
    m_windows.closeAll(QString::fromUtf16(kHelpCaption), 3s, this, {});
}

// --- Cells ---

bool AddressBookSession::focusEntered(CellRef ref)
{
    const bool toEnd = m_cursor.focusEntered(ref);
    emit paintChanged();
    return toEnd;
}

void AddressBookSession::pressed(CellRef ref)
{
    m_cursor.pressed(ref);
}

bool AddressBookSession::moveKeyPressed(CellRef here, MoveKey key, bool shiftAlone)
{
    m_cursor.keyPressed(here);
    const auto target = m_cursor.move(here, key, shiftAlone);
    if (target)
        emit focusCell(*target, Caret::AsIs);
    // Enter is swallowed; Left and Right after a click move the caret in the text.
    return target || key == MoveKey::Enter;
}

void AddressBookSession::searchKeyPressed(CellRef here)
{
    m_cursor.keyPressed(here);
    emit focusSearchBox(true);
}

void AddressBookSession::keyPressed(CellRef here, TypedKey key)
{
    m_cursor.keyPressed(here);
    if (key == TypedKey::Modifier)
        return;
    m_modificato = true;
    m_cursor.typed(here, key == TypedKey::Printable);
}

void AddressBookSession::helpKeyPressed(CellRef here)
{
    m_cursor.helpKeyPressed(here);
    m_modificato = true;
    Apre_Guida();
}

void AddressBookSession::cellEdited(CellRef ref, const QString &text)
{
    cellOf(m_rows, ref).text = text;
    m_modificato = true;
}

void AddressBookSession::Apre_Guida()
{
    m_windows.exists(QString::fromUtf16(kHelpCaption), this, [this](bool there) {
        if (there)
            return;
        emit focusCell(m_cursor.lastFocused(), Caret::AsIs);
        emit helpRequested(kHelpTopic);
    });
}

// --- Commands ---

QString AddressBookSession::copyOrCut(bool cut)
{
    m_modificato = true;
    m_cursor.stopExtending();
    const Column column = m_cursor.current().column;
    const Marks marks = m_cursor.marks(column);
    const QString buffer = cut ? cutMarked(m_rows, column, marks) : copyMarked(m_rows, column, marks);
    if (cut)
        emit rowsChanged();
    emit focusCell(m_cursor.current(), Caret::AsIs);
    return buffer;
}

QString AddressBookSession::Taglia()
{
    return copyOrCut(true);
}

QString AddressBookSession::Copia()
{
    return copyOrCut(false);
}

void AddressBookSession::Incolla(const QString &clipboardText)
{
    m_modificato = true;
    m_cursor.pasteStarted();
    const QString text = annullaVbCr(clipboardText);
    if (text.contains(u'\t')) {
        message(tabMessage(), MessageIcon::None);
        return;
    }
    const std::optional<Column> column = m_cursor.pasteColumn();
    if (!column) {
        message(QStringLiteral("  Seleziona una cella prima di incollare!  "), MessageIcon::None);
        return;
    }
    m_cursor.setCurrentRow(pasteLines(m_rows, *column, m_cursor.current().row, text));
    makeStorable();
    emit rowsChanged();
    emit focusCell(m_cursor.current(), Caret::End);
}

void AddressBookSession::pasteInCell(CellRef at, int from, int length, const QString &text)
{
    m_modificato = true;
    m_cursor.pasteStarted();
    const std::optional<int> row = pasteIntoCell(m_rows, at, from, length, text);
    if (!row) {
        message(tabMessage(), MessageIcon::None);
        return;
    }
    makeStorable();
    emit rowsChanged();
    m_cursor.setCurrentRow(*row);
    emit focusCell({*row, at.column}, Caret::End);
}

void AddressBookSession::Grassetto()
{
    m_modificato = true;
    currentCell().bold = !currentCell().bold;
    emit cellChanged(m_cursor.current());
    emit focusCell(m_cursor.current(), Caret::AsIs);
}

void AddressBookSession::Sottolineato()
{
    m_modificato = true;
    currentCell().underline = !currentCell().underline;
    emit cellChanged(m_cursor.current());
    emit focusCell(m_cursor.current(), Caret::AsIs);
}

void AddressBookSession::chooseTextColour(TextColour colour)
{
    m_modificato = true;
    currentCell().colour = colour;
    emit cellChanged(m_cursor.current());
    emit focusCell(m_cursor.current(), Caret::AsIs);
}

void AddressBookSession::Inserisci_Riga()
{
    m_modificato = true;
    bool go = true;
    if (m_rows[kRows - 1].hasData()) {
        go = confirm(QStringLiteral(" Nell' ultima riga del foglio sono presenti dei dati.       \r"
                                    " Inserendo una riga tali dati verranno cancellati...   \r\r"
                                    " Vuoi continuare?  "));
        emit toolbarToRest();
    }
    if (go) {
        insertRow(m_rows, m_cursor.current().row);
        emit rowsChanged();
    }
    emit focusCell({m_cursor.current().row, Column::Name}, Caret::End);
}

void AddressBookSession::Togli_Riga()
{
    m_modificato = true;
    bool go = true;
    if (m_rows[std::size_t(m_cursor.current().row - 1)].hasData()) {
        go = confirm(QStringLiteral(" Stai per cancellare i dati della riga...   \r\r"
                                    " vuoi continuare?  "));
        emit toolbarToRest();
    }
    if (go) {
        deleteRow(m_rows, m_cursor.current().row);
        emit rowsChanged();
    }
    emit focusCell({m_cursor.current().row, Column::Name}, Caret::End);
}

// --- Search ---

void AddressBookSession::Cerca(const QString &typed)
{
    if (typed.isEmpty()) {
        message(QStringLiteral("  Non hai inserito il testo da cercare    "), MessageIcon::Warning);
        emit focusSearchBox(false);
        return;
    }
    // The search reads the file: the shown sheet is offered for saving first.
    if (!QuerySave(m_foglioCorrente)) {
        emit focusSearchBox(false);
        return;
    }
    const auto hit = searchStep(m_cursor.search(), searchKey(typed),
                                [this](int record) { return recordTexts(m_file, record); });
    if (hit) {
        showHit(*hit);
        return;
    }
    message(QStringLiteral("      Fine ricerca del dato:  ") + typed + QString(10, u' '),
            MessageIcon::Information);
    m_cursor.search().restart();
    emit focusSearchBox(true);
}

void AddressBookSession::showHit(const SearchHit &hit)
{
    Apre_Foglio(sheetOfRecord(hit.record));
    m_cursor.showHit({rowOfRecord(hit.record), hit.column});
    emit focusCell(m_cursor.current(), Caret::AsIs);
    m_cursor.settle(CellPaint::Found);
    emit paintChanged();
    emit focusSearchBox(false);
}

void AddressBookSession::searchTextChanged()
{
    m_cursor.searchTextChanged();
    emit paintChanged();
}

void AddressBookSession::searchBoxDown()
{
    m_cursor.home();
    emit paintChanged();
    emit focusCell(m_cursor.current(), Caret::SelectAll);
    m_cursor.setPaint(m_cursor.current(), CellPaint::Marker);
    emit paintChanged();
}

} // namespace promemo::rubrica
