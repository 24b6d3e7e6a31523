#pragma once

#include <QDialog>

#include <array>

#include "addressbook/core/addressbookedit.h"
#include "addressbook/core/colouroptionssession.h"
#include "platform/screen.h"

class QFrame;
class QLabel;
class QPushButton;

namespace promemo::rubrica {

// Where the options dialog of `size` goes: 6000 twips right of and 1600 below the window's
// top-left corner, moved up to 400 twips above the screen's bottom when it would pass it.
QPoint optionsDialogPosition(QPoint windowTopLeft, QSize size, const QRect &screen);

// frmOpzioni, "  Opzioni Colore Rubrica": two frames of eight swatches, Ok, Annulla, Applica.
class frmOpzioni : public QDialog
{
    Q_OBJECT
public:
    // Reads ColSfondo and ColTasti afresh and places itself by `window`; the screen is the
    // primary one unless given. Applied colours are told by the session's applied().
    frmOpzioni(const Settings &settings, IMessageBoxes &messages, QWidget *window,
               const IScreen *screen = nullptr);

    ColourOptionsSession &session() { return m_session; }
    // Width of the frame around swatch `index` of the sheet frame: 3 chosen, 1 not.
    int sheetFrameWidth(int index) const;

    // Swatch 0 is the wide "Nessun riempimento (colore finestra)" label.
    QLabel *tabSwatch(int index) const { return lblColTasti.at(index); }
    QLabel *sheetSwatch(int index) const { return lblColSfondo.at(index); }
    QPushButton *okButton() const { return cmdOk; }
    QPushButton *cancelButton() const { return cmdAnnulla; }
    QPushButton *applyButton() const { return cmdApplica; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    using Swatches = std::array<QLabel *, kColourChoices>;
    using Shapes = std::array<QFrame *, kColourChoices>;

    void buildFrame(QWidget *frame, Swatches &swatches, Shapes &shapes, bool sheetColours);
    void place(QWidget *window, const IScreen *screen);
    // The session's choice and Applica's state.
    void showChoice();

    ColourOptionsSession m_session;
    Swatches lblColTasti{};
    Swatches lblColSfondo{};
    Shapes ShpTasti{};
    Shapes ShpSfondo{};
    QPushButton *cmdOk = nullptr;
    QPushButton *cmdAnnulla = nullptr;
    QPushButton *cmdApplica = nullptr;
};

} // namespace promemo::rubrica
