#pragma once

#include <QDialog>
#include <QWidget>

#include <array>

#include "addressbook/core/addressbook.h"
#include "common/settings.h"
#include "platform/messageboxes.h"
#include "platform/screen.h"

class QFrame;
class QLabel;
class QPushButton;

// The text-colour palette and the colour options dialog of the address book.
namespace promemo::rubrica {

inline constexpr int kColourChoices = 8; // entries of the tab and sheet colour tables

// QColor of a table entry; index 0 (and any index outside 0..7) is the system's button-face
// colour.
QColor tabQColor(int index);
QColor sheetQColor(int index);
QColor textQColor(TextColour colour);

// frmColore: a 1020 x 660-twip popup with six swatches, modeless, under toolbar button 8.
class frmColore : public QWidget
{
    Q_OBJECT
public:
    explicit frmColore(QWidget *window);

    // Places the palette 3360 twips right of and 720 twips below the top-left corner of the
    // window's client area, just under toolbar button 8, shows it and gives it the focus.
    void open();
    // Swatch `colour`'s place in the palette.
    QRect swatchRect(TextColour colour) const;
    QLabel *swatch(TextColour colour) const { return m_swatches.at(int(colour)); }

signals:
    // A swatch was clicked: colour the current cell and focus it. The palette then closes.
    void colourChosen(TextColour colour);
    // A key was typed in the palette (a modifier alone is not): focus the current cell.
    void keyTyped();
    // The palette closed (lost the focus, a key, or closed by the window).
    void closed();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    std::array<QLabel *, 6> m_swatches{}; // by colour code
};

// Where the options dialog of `size` goes: 6000 twips right of and 1600 below the window's
// top-left corner, moved up to 400 twips above the screen's bottom when it would pass it.
QPoint optionsDialogPosition(QPoint windowTopLeft, QSize size, const QRect &screen);

// frmOpzioni, "  Opzioni Colore Rubrica": two frames of eight swatches, Ok, Annulla, Applica.
class frmOpzioni : public QDialog
{
    Q_OBJECT
public:
    // Reads ColSfondo and ColTasti afresh and places itself by `window`; the screen is the
    // primary one unless given.
    frmOpzioni(const Settings &settings, IMessageBoxes &messages, QWidget *window,
               const IScreen *screen = nullptr);

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

    // Swatch 0 is the wide "Nessun riempimento (colore finestra)" label.
    QLabel *tabSwatch(int index) const { return lblColTasti.at(index); }
    QLabel *sheetSwatch(int index) const { return lblColSfondo.at(index); }
    QPushButton *okButton() const { return cmdOk; }
    QPushButton *cancelButton() const { return cmdAnnulla; }
    QPushButton *applyButton() const { return cmdApplica; }

signals:
    // Applied: the window repaints its tabs and sheet at once.
    void applied(int tabIndex, int sheetIndex);

private:
    using Swatches = std::array<QLabel *, kColourChoices>;
    using Shapes = std::array<QFrame *, kColourChoices>;

    void buildFrame(QWidget *frame, Swatches &swatches, Shapes &shapes, bool sheetColours);
    void place(QWidget *window, const IScreen *screen);
    static void frameChosen(const Shapes &shapes, int chosen);
    void okClicked();

    const Settings &m_settings;
    IMessageBoxes &m_messages;
    int m_chosenTab = 0;
    int m_chosenSheet = 0;
    // 0 at opening, 30 after Apply; a click on tab swatch i enables Applica unless it equals
    // i + 10, on sheet swatch i unless it equals i.
    int m_lastApplied = 0;
    Swatches lblColTasti{};
    Swatches lblColSfondo{};
    Shapes ShpTasti{};
    Shapes ShpSfondo{};
    QPushButton *cmdOk = nullptr;
    QPushButton *cmdAnnulla = nullptr;
    QPushButton *cmdApplica = nullptr;
};

} // namespace promemo::rubrica
