#pragma once

#include <QLineEdit>
#include <QPointer>
#include <QWidget>

#include <memory>

#include "addressbook/core/addressbooksession.h"
#include "addressbook/gridcell.h"
#include "addressbook/sheetgrid.h"
#include "addressbook/sheettabs.h"
#include "platform/services.h"

class QLabel;

namespace promemo::rubrica {

class Toolbar;
class frmColore;
class frmOpzioni;

// frmRubrica, " Rubrica di Promemo": 44 tabs over a sheet of 44 rows of name and number cells,
// the toolbar and the search box. Its session holds the sheet and decides; the window turns
// keys, clicks and edits into calls on it and shows its rows, paint, focus and colours.
class frmRubrica : public QWidget
{
    Q_OBJECT
public:
    frmRubrica(const Services &services, const QString &programFolder, QWidget *parent = nullptr);
    ~frmRubrica() override;

    AddressBookSession &session() { return m_session; }
    // Shows the window, registers its caption and opens sheet A1 with the focus on name 1.
    void start();

    GridCell *cell(CellRef ref) const { return m_grid.cell(ref); }
    GridCell *nameCell(int row) const { return cell({row, Column::Name}); }
    GridCell *numberCell(int row) const { return cell({row, Column::Number}); }
    QLineEdit *searchBox() const { return m_searchBox; }
    QLabel *tab(int index) const { return m_tabs.tab(index); }
    Toolbar *toolbar() const { return m_toolbar; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    void connectCells();
    void connectSession();
    void paintTabs();
    void focusSearchBox(bool selectAll);
    void toolbarTriggered(int index);
    void openPalette();
    void closePalette();
    void openOptions();

    bool cellKeyPressed(GridCell *cell, QKeyEvent *event);
    bool searchBoxKeyPressed(QKeyEvent *event);
    void pasteInCell(GridCell *target, const QString &text);
    void toClipboard(const QString &text);

    const Services m_services;
    AddressBookSession m_session;

    // In this order, the order of the focus chain.
    Toolbar *m_toolbar;
    QLineEdit *m_searchBox; // Text4
    SheetTabs m_tabs;
    SheetGrid m_grid;
    QPointer<frmColore> m_palette;
    QPointer<frmOpzioni> m_options;
    std::unique_ptr<RegisteredWindow> m_registration;
};

// The address book's start after the single-instance check: null (end) without the launcher's
// tray window, or when the data file cannot be opened (the user has been told).
std::unique_ptr<frmRubrica> startAddressBook(const Services &services);

} // namespace promemo::rubrica
