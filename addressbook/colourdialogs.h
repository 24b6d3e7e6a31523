#pragma once

#include <QDialog>
#include <QWidget>

#include <array>

#include "common/addressbook.h"
#include "common/settings.h"
#include "platform/messageboxes.h"

class QLabel;
class QPushButton;

// The text-colour palette and the colour options dialog of the address book.
namespace promemo::rubrica {

// QColor of a table entry; index 0 is the system's button-face colour.
QColor tabQColor(int index);
QColor sheetQColor(int index);
QColor textQColor(TextColour colour);

// frmColore: a 1020 x 660-twip popup with six swatches, modeless, under toolbar button 8.
class frmColore : public QWidget
{
    Q_OBJECT
public:
    explicit frmColore(QWidget *window);

    // Places the palette 3360 twips right of and 720 twips below the window's top-left
    // corner and shows it.
    void open();
    // Swatch `colour`'s place in the palette.
    QRect swatchRect(TextColour colour) const;

signals:
    // A swatch was clicked: colour the current cell and focus it.
    void colourChosen(TextColour colour);
    // A key was typed in the palette: focus the current cell.
    void keyTyped();
    // The palette closed (lost the focus, a key, or closed by the window).
    void closed();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
};

// frmOpzioni, "  Opzioni Colore Rubrica": two frames of eight swatches, Ok, Annulla, Applica.
class frmOpzioni : public QDialog
{
    Q_OBJECT
public:
    frmOpzioni(const Settings &settings, IMessageBoxes &messages, QWidget *window);

    int chosenTab() const { return m_chosenTab; }
    int chosenSheet() const { return m_chosenSheet; }
    bool applyEnabled() const;
    // Width of the frame around swatch `index` of the tab frame / sheet frame: 3 chosen, 1 not.
    int tabFrameWidth(int index) const;
    int sheetFrameWidth(int index) const;

    void clickTabSwatch(int index);
    void clickSheetSwatch(int index);
    // Writes ColSfondo then ColTasti and reports the new colours; a failed write is reported
    // with a message, Applica stays enabled and false is returned.
    bool applica();

    QPushButton *okButton() const { return cmdOk; }
    QPushButton *cancelButton() const { return cmdAnnulla; }
    QPushButton *applyButton() const { return cmdApplica; }

signals:
    // Applied: the window repaints its tabs and sheet at once.
    void applied(int tabIndex, int sheetIndex);

private:
    const Settings &m_settings;
    IMessageBoxes &m_messages;
    int m_chosenTab = 0;
    int m_chosenSheet = 0;
    int m_lastApplied = 0;
    QPushButton *cmdOk = nullptr;
    QPushButton *cmdAnnulla = nullptr;
    QPushButton *cmdApplica = nullptr;
};

} // namespace promemo::rubrica
