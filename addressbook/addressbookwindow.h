#pragma once

#include <QColor>
#include <QLineEdit>
#include <QPointer>
#include <QWidget>

#include <array>
#include <memory>

#include "addressbook/core/addressbook.h"
#include "addressbook/core/addressbookedit.h"
#include "common/settings.h"
#include "platform/services.h"

class QLabel;

namespace promemo::rubrica {

class Toolbar;
class frmColore;
class frmOpzioni;

// The background of a cell: plain, marked (cut, copy and paste act on it) or found by the search.
enum class CellPaint { Window, Marker, Found };

// One cell of the grid: a line edit drawn as part of a ruled grid, with its text colour and
// paint. It reports focus and mouse presses after the line edit has handled them.
class GridCell : public QLineEdit
{
    Q_OBJECT
public:
    GridCell(CellRef ref, QWidget *parent);

    CellRef ref() const { return m_ref; }
    Cell contents() const;
    // Text beyond the typing limit (after a paste) is kept; Salva cuts it to the field.
    void setContents(const Cell &cell);
    void setCellText(const QString &text);
    CellPaint paint() const { return m_paint; }
    void setPaint(CellPaint paint);
    void setBold(bool on);
    void setUnderline(bool on);
    void setTextColour(TextColour colour);
    int typingLimit() const;

signals:
    void focusEntered(GridCell *cell);
    void focusLeft(GridCell *cell);
    void pressed(GridCell *cell, Qt::MouseButton button);

protected:
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    CellRef m_ref;
    TextColour m_colour = TextColour::Black;
    CellPaint m_paint = CellPaint::Window;
};

// frmRubrica, " Rubrica di Promemo": 44 tabs over a sheet of 44 rows of name and number cells,
// the toolbar and the search box. The rules live in common/addressbookedit.h; the window turns
// its cells into a Sheet and back.
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
    CellRef currentCell() const { return m_current; }
    CellRef lastFocusedCell() const { return m_lastCell; }
    bool mouseClicked() const { return m_clicMouse; }
    const SearchState &searchState() const { return m_search; }
    bool dataFileWritable() const;

    GridCell *cell(CellRef ref) const;
    GridCell *nameCell(int row) const { return cell({row, Column::Name}); }
    GridCell *numberCell(int row) const { return cell({row, Column::Number}); }
    QLineEdit *searchBox() const { return Text4; }
    QLabel *tab(int index) const { return lblFolder.at(index); }
    QLabel *sheetBackground() const { return lblScheda; }
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
    void paintAllCells(CellPaint paint);
    Marks marksOf(Column column) const;
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
    void showHit(const SearchHit &hit);
    void reportWriteFailure();
    bool confirm(const QString &text);
    void message(const QString &text, MessageIcon icon);

    const Services m_services;
    Settings m_settings;
    DataFile m_file;

    Toolbar *m_toolbar = nullptr;
    std::array<QLabel *, kSheets> lblFolder{};
    QLabel *lblScheda = nullptr;
    std::array<GridCell *, kRows> Text1{};
    std::array<GridCell *, kRows> Text2{};
    QLineEdit *Text4 = nullptr;
    QPointer<frmColore> m_palette;
    QPointer<frmOpzioni> m_options;
    std::unique_ptr<RegisteredWindow> m_registration;

    QColor m_tabColour;
    QColor m_sheetColour;
    int m_foglioCorrente = 0;
    bool m_modificato = false;
    CellRef m_current;
    CellRef m_lastCell;
    bool m_clicMouse = false;
    bool m_estendiMarca = false;
    SearchState m_search; // its `found` is Trovato
};

// The address book's start after the single-instance check: null (end) without the launcher's
// tray window, or when the data file cannot be opened (the user has been told).
std::unique_ptr<frmRubrica> startAddressBook(const Services &services);

} // namespace promemo::rubrica
