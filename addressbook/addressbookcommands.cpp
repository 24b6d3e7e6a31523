// The window's commands: the toolbar's buttons and the search over the data file.
#include "addressbook/addressbookwindow.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>

#include "addressbook/colourdialogs.h"
#include "addressbook/toolbar.h"
#include "platform/captions.h"

namespace promemo::rubrica {

namespace {

const QString kHelpTopic = QStringLiteral("rubrica.htm");

QString tabMessage()
{
    return QStringLiteral(" Gli appunti contengono caratteri di tabulazione.\r\n\r"
                          " Probabilmente sono state copiate più colonne  \r\n"
                          " da un foglio di Excel o Access.  \r\n\r"
                          " Copiare ed incollare una sola colonna per volta...\r\n\r"
                          " Fare riferimento all' Help del programma.");
}

} // namespace

void frmRubrica::toolbarTriggered(int index)
{
    switch (index) {
    case SaveButton:
        Salva();
        break;
    case CutButton:
        Taglia();
        break;
    case CopyButton:
        Copia();
        break;
    case PasteButton:
        Incolla();
        break;
    case BoldButton:
        Grassetto();
        break;
    case UnderlineButton:
        Sottolineato();
        break;
    case InsertRowButton:
        Inserisci_Riga();
        break;
    case DeleteRowButton:
        Togli_Riga();
        break;
    case TextColourButton:
        openPalette();
        break;
    case SearchButton:
        Cerca();
        break;
    case OptionsButton:
        openOptions();
        break;
    case HelpButton:
        Apre_Guida();
        break;
    case CloseButton:
        close();
        break;
    default:
        break;
    }
}

void frmRubrica::copyOrCut(bool cut)
{
    m_modificato = true;
    m_cursor.stopExtending();
    Sheet sheet = gridContents();
    const Column column = m_cursor.current().column;
    const Marks marks = m_cursor.marks(column);
    const QString buffer = cut ? cutMarked(sheet, column, marks) : copyMarked(sheet, column, marks);
    if (cut)
        setGridContents(sheet);
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(buffer);
    focusCell(m_cursor.current());
}

void frmRubrica::Taglia()
{
    copyOrCut(true);
}

void frmRubrica::Copia()
{
    copyOrCut(false);
}

void frmRubrica::Incolla()
{
    m_modificato = true;
    m_cursor.pasteStarted();
    const QString text = annullaVbCr(QGuiApplication::clipboard()->text());
    if (text.contains(u'\t')) {
        message(tabMessage(), MessageIcon::None);
        return;
    }
    const std::optional<Column> column = m_cursor.pasteColumn();
    if (!column) {
        message(QStringLiteral("  Seleziona una cella prima di incollare!  "), MessageIcon::None);
        return;
    }
    Sheet sheet = gridContents();
    m_cursor.setCurrentRow(pasteLines(sheet, *column, m_cursor.current().row, text));
    setGridContents(sheet);
    focusCellAtEnd(m_cursor.current());
}

void frmRubrica::pasteInCell(GridCell *target, const QString &text)
{
    m_modificato = true;
    m_cursor.pasteStarted();
    const CellRef at = target->ref();
    const bool selected = target->hasSelectedText();
    const int from = selected ? target->selectionStart() : target->cursorPosition();
    const int length = selected ? int(target->selectedText().size()) : 0;
    Sheet sheet = gridContents();
    const std::optional<int> row = pasteIntoCell(sheet, at, from, length, text);
    if (!row) {
        message(tabMessage(), MessageIcon::None);
        return;
    }
    setGridContents(sheet);
    m_cursor.setCurrentRow(*row);
    focusCellAtEnd({*row, at.column});
}

void frmRubrica::Grassetto()
{
    m_modificato = true;
    GridCell *current = cell(m_cursor.current());
    current->setBold(!current->font().bold());
    focusCell(m_cursor.current());
}

void frmRubrica::Sottolineato()
{
    m_modificato = true;
    GridCell *current = cell(m_cursor.current());
    current->setUnderline(!current->font().underline());
    focusCell(m_cursor.current());
}

void frmRubrica::Inserisci_Riga()
{
    m_modificato = true;
    Sheet sheet = gridContents();
    bool go = true;
    if (sheet[kRows - 1].hasData()) {
        go = confirm(QStringLiteral(" Nell' ultima riga del foglio sono presenti dei dati.       \r"
                                    " Inserendo una riga tali dati verranno cancellati...   \r\r"
                                    " Vuoi continuare?  "));
        m_toolbar->azzeraPulsanti();
    }
    if (go) {
        insertRow(sheet, m_cursor.current().row);
        setGridContents(sheet);
    }
    focusCellAtEnd({m_cursor.current().row, Column::Name});
}

void frmRubrica::Togli_Riga()
{
    m_modificato = true;
    Sheet sheet = gridContents();
    bool go = true;
    if (sheet[m_cursor.current().row - 1].hasData()) {
        go = confirm(QStringLiteral(" Stai per cancellare i dati della riga...   \r\r"
                                    " vuoi continuare?  "));
        m_toolbar->azzeraPulsanti();
    }
    if (go) {
        deleteRow(sheet, m_cursor.current().row);
        setGridContents(sheet);
    }
    focusCellAtEnd({m_cursor.current().row, Column::Name});
}

void frmRubrica::openPalette()
{
    if (!m_palette) {
        m_palette = new frmColore(this);
        connect(m_palette, &frmColore::colourChosen, this, [this](TextColour colour) {
            m_modificato = true;
            cell(m_cursor.current())->setTextColour(colour);
            focusCell(m_cursor.current());
        });
        connect(m_palette, &frmColore::keyTyped, this, [this] {
            focusCell(m_cursor.current());
            closePalette();
        });
    }
    m_palette->open();
}

void frmRubrica::closePalette()
{
    if (m_palette && m_palette->isVisible())
        m_palette->close();
}

void frmRubrica::openOptions()
{
    if (m_options)
        return;
    auto *dialog = new frmOpzioni(m_settings, m_services.messageBoxes, this, &m_services.screen);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &frmOpzioni::applied, this, [this](int tabIndex, int sheetIndex) {
        m_tabColour = tabQColor(tabIndex);
        m_sheetColour = sheetQColor(sheetIndex);
        paintTabs();
    });
    // The dialog is modal: the button's release goes to it.
    connect(dialog, &QDialog::finished, m_toolbar, &Toolbar::releaseTaken);
    m_options = dialog;
    dialog->show();
}

void frmRubrica::Apre_Guida()
{
    m_services.windows.exists(QString::fromUtf16(kHelpCaption), this, [this](bool there) {
        if (there)
            return;
        focusCell(m_cursor.lastFocused());
        m_services.help.open(kHelpTopic);
    });
}

// --- Search ---

void frmRubrica::Cerca()
{
    if (m_searchBox->text().isEmpty()) {
        message(QStringLiteral("  Non hai inserito il testo da cercare    "), MessageIcon::Warning);
        m_searchBox->setFocus(Qt::OtherFocusReason);
        return;
    }
    // The search reads the file: the shown sheet is offered for saving first.
    if (!QuerySave(m_foglioCorrente)) {
        m_searchBox->setFocus(Qt::OtherFocusReason);
        return;
    }
    const QString key = searchKey(m_searchBox->text());
    const auto hit = searchStep(m_cursor.search(), key, [this](int record) { return recordTexts(m_file, record); });
    if (hit) {
        showHit(*hit);
        return;
    }
    message(QStringLiteral("      Fine ricerca del dato:  ") + m_searchBox->text() + QString(10, u' '),
            MessageIcon::Information);
    m_cursor.search().restart();
    m_searchBox->selectAll();
    m_searchBox->setFocus(Qt::OtherFocusReason);
}

void frmRubrica::showHit(const SearchHit &hit)
{
    Apre_Foglio(sheetOfRecord(hit.record));
    m_cursor.showHit({rowOfRecord(hit.record), hit.column});
    focusCell(m_cursor.current());
    m_cursor.settle(CellPaint::Found);
    showPaint();
    m_searchBox->setFocus(Qt::OtherFocusReason);
}

void frmRubrica::searchTextChanged()
{
    m_cursor.searchTextChanged();
    showPaint();
}

bool frmRubrica::searchBoxKeyPressed(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        Cerca();
        return true;
    case Qt::Key_Down:
        m_cursor.home();
        showPaint();
        focusCell(m_cursor.current());
        m_cursor.setPaint(m_cursor.current(), CellPaint::Marker);
        showPaint();
        nameCell(1)->selectAll();
        return true;
    default:
        return false;
    }
}

} // namespace promemo::rubrica
