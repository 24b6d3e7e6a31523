#pragma once

#include <QObject>
#include <QString>

#include "addressbook/core/addressbook.h"
#include "addressbook/core/addressbookedit.h"
#include "addressbook/core/sheetcursor.h"
#include "common/settings.h"
#include "platform/messageboxes.h"

namespace promemo {
class IWindowRegistry;
}

namespace promemo::rubrica {

// Where the caret goes in a cell that is given the focus.
enum class Caret { AsIs, End, SelectAll };

// A key on a cell other than a moving key, F1 or F4.
enum class TypedKey { Modifier, Printable, Other };

// frmRubrica's state and flows without its widgets: the sheet shown (FoglioCorrente) and its
// rows, Modificato, the cursor and the search, the data file, the colours and the questions
// asked. The window reports what the user did and shows what the signals say; the rows here are
// what the cells show, so a cell's own edits come back through cellEdited.
class AddressBookSession : public QObject
{
    Q_OBJECT
public:
    // rubri.dat and Notino.ini are those of `programFolder`; the help windows are found in
    // `windows`.
    AddressBookSession(const QString &programFolder, const WindowMessages &messages,
                       IWindowRegistry &windows, QObject *parent = nullptr);
    ~AddressBookSession() override;

    // Opens rubri.dat, creating it when missing; false (after telling the user) when it can be
    // neither created nor opened.
    bool openDataFile();
    bool dataFileWritable() const { return m_file.isWritable(); }

    int currentSheet() const { return m_foglioCorrente; }
    bool isModified() const { return m_modificato; }
    const Sheet &rows() const { return m_rows; }
    const Cell &cell(CellRef ref) const;
    const SheetCursor &cursor() const { return m_cursor; }
    const Settings &settings() const { return m_settings; }
    // Indexes into the tab and sheet colour tables.
    int tabColour() const { return m_tabColour; }
    int sheetColour() const { return m_sheetColour; }
    void setColours(int tabIndex, int sheetIndex);

    // Sheets and the data file.
    void Apri(int index);
    // False when the sheet could not be written: the user is told and the sheet stays modified.
    bool Salva();
    // False when the user wanted the sheet saved and the write failed.
    bool QuerySave(int index);
    // False when the sheet being left could not be saved: nothing changes.
    bool Apre_Foglio(int index);
    void tabClicked(int index);
    // The question on closing: false when the close is refused or its save failed.
    bool Form_QueryUnload();
    // Closes the data file and every help window.
    void Form_Unload();

    // Cells.
    // True when the caret goes to the end of the cell's text.
    bool focusEntered(CellRef ref);
    void pressed(CellRef ref);
    // True when the key is swallowed.
    bool moveKeyPressed(CellRef here, MoveKey key, bool shiftAlone);
    void searchKeyPressed(CellRef here);
    void keyPressed(CellRef here, TypedKey key);
    void helpKeyPressed(CellRef here);
    // The cell's text as the user's edit left it.
    void cellEdited(CellRef ref, const QString &text);

    // Commands. Taglia and Copia return the text for the clipboard.
    QString Taglia();
    QString Copia();
    void Incolla(const QString &clipboardText);
    // A paste into cell `at` itself, over `length` characters from `from`.
    void pasteInCell(CellRef at, int from, int length, const QString &text);
    void Grassetto();
    void Sottolineato();
    void chooseTextColour(TextColour colour);
    void Inserisci_Riga();
    void Togli_Riga();
    void Apre_Guida();

    // Search; `typed` is the search box's text.
    void Cerca(const QString &typed);
    void searchTextChanged();
    void searchBoxDown();

signals:
    // Every cell shows its row afresh, or just `ref`.
    void rowsChanged();
    void cellChanged(CellRef ref);
    void paintChanged();
    void tabsChanged();
    void focusCell(CellRef ref, Caret caret);
    void focusSearchBox(bool selectAll);
    // A message box took the pressed toolbar button's release.
    void messageClosed();
    // Azzera_Pulsanti.
    void toolbarToRest();
    void helpRequested(const QString &topic);

private:
    QString copyOrCut(bool cut);
    // Every cell's text as a cell and the file can hold it (one line), after a load or a paste.
    void makeStorable();
    Cell &currentCell();
    bool confirm(const QString &text);
    void message(const QString &text, MessageIcon icon);
    MessageAnswer ask(const QString &text, MessageIcon icon, MessageButtons buttons);
    void showHit(const SearchHit &hit);

    const QString m_dataPath;
    const WindowMessages m_messages;
    IWindowRegistry &m_windows;
    Settings m_settings;
    DataFile m_file;
    Sheet m_rows{};
    SheetCursor m_cursor;
    int m_tabColour = 0;
    int m_sheetColour = 0;
    int m_foglioCorrente = 0;
    bool m_modificato = false;
};

} // namespace promemo::rubrica
