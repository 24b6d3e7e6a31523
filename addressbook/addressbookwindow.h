#pragma once

#include <QColor>
#include <QLineEdit>
#include <QPointer>
#include <QWidget>

#include <array>
#include <memory>

#include "addressbook/core/addressbook.h"
#include "addressbook/core/addressbookedit.h"
#include "addressbook/core/sheetcursor.h"
#include "addressbook/gridcell.h"
#include "common/settings.h"
#include "platform/services.h"
#include "platform/messageboxes.h"

class QLabel;

namespace promemo::rubrica {

class Toolbar;
class frmColore;
class frmOpzioni;

// frmRubrica, " Rubrica di Promemo": 44 tabs over a sheet of 44 rows of name and number cells,
// the toolbar and the search box. The editing rules and the sheet cursor live in
// addressbook/core/; the window turns its cells into a Sheet and back and shows the cursor.
class frmRubrica : public QWidget
{
    Q_OBJECT
public:
    explicit frmRubrica(const Services &services, QWidget *parent = nullptr);
    ~frmRubrica() override;

    // Opens rubri.dat in the program folder, creating it when missing; false (after telling the
    // user) when it can be neither created nor opened.
    bool openDataFile();
    // Shows the window, registers its caption and opens sheet A1 with the focus on name 1.
    void start();

    // Window state, for tests.
    int currentSheet() const { return m_foglioCorrente; }
    bool isModified() const { return m_modificato; }
    void setModified(bool modified) { m_modificato = modified; }
    const SheetCursor &cursor() const { return m_cursor; }
    bool dataFileWritable() const;

    GridCell *cell(CellRef ref) const;
    GridCell *nameCell(int row) const { return cell({row, Column::Name}); }
    GridCell *numberCell(int row) const { return cell({row, Column::Number}); }
    QLineEdit *searchBox() const { return m_searchBox; }
    QLabel *tab(int index) const { return m_tabs.at(index); }
    QLabel *sheetBackground() const { return m_sheet; }
    Toolbar *toolbar() const { return m_toolbar; }
    frmColore *palette() const;
    frmOpzioni *optionsDialog() const;
    QColor tabColour() const { return m_tabColour; }
    QColor sheetColour() const { return m_sheetColour; }

    Sheet gridContents() const;
    void setGridContents(const Sheet &sheet);

    // Sheets and the data file.
    void Apri(int index);
    // False when the sheet could not be written: the user is told and the sheet stays modified.
    bool Salva();
    // False when the user wanted the sheet saved and the write failed.
    bool QuerySave(int index);
    // False when the sheet being left could not be saved: nothing changes.
    bool Apre_Foglio(int index);
    void tabClicked(int index);

    // Grid editing.
    void Taglia();
    void Copia();
    void Incolla();
    void Grassetto();
    void Sottolineato();
    void Inserisci_Riga();
    void Togli_Riga();
    void Apre_Guida();
    void openPalette();
    void openOptions();

    // Search.
    void Cerca();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    void buildControls();
    void buildTabs();
    void buildGrid();
    void buildSearchBox();
    void paintTabs();
    // Shows the cursor's paint on the cells.
    void showPaint();
    void focusCell(CellRef ref);
    void focusCellAtEnd(CellRef ref);
    void toolbarTriggered(int index);
    void closePalette();

    void cellFocusEntered(GridCell *cell);
    void cellPressed(GridCell *cell, Qt::MouseButton button);
    bool cellKeyPressed(GridCell *cell, QKeyEvent *event);
    bool searchBoxKeyPressed(QKeyEvent *event);
    void searchTextChanged();
    void copyOrCut(bool cut);
    void pasteInCell(GridCell *target, const QString &text);
    void showHit(const SearchHit &hit);
    void reportWriteFailure();
    bool confirm(const QString &text);
    void message(const QString &text, MessageIcon icon);
    MessageAnswer ask(const QString &text, MessageIcon icon, MessageButtons buttons);

    const Services m_services;
    const WindowMessages m_messages;
    Settings m_settings;
    DataFile m_file;

    Toolbar *m_toolbar = nullptr;
    std::array<QLabel *, kSheets> m_tabs{};   // lblFolder
    QLabel *m_sheet = nullptr;                // lblScheda
    std::array<GridCell *, kRows> m_names{};   // Text1
    std::array<GridCell *, kRows> m_numbers{}; // Text2
    QLineEdit *m_searchBox = nullptr;         // Text4
    QPointer<frmColore> m_palette;
    QPointer<frmOpzioni> m_options;
    std::unique_ptr<RegisteredWindow> m_registration;

    QColor m_tabColour;
    QColor m_sheetColour;
    int m_foglioCorrente = 0;
    bool m_modificato = false;
    SheetCursor m_cursor;
};

// The address book's start after the single-instance check: null (end) without the launcher's
// tray window, or when the data file cannot be opened (the user has been told).
std::unique_ptr<frmRubrica> startAddressBook(const Services &services);

} // namespace promemo::rubrica
