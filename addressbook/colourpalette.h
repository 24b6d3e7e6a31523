#pragma once

#include <QWidget>

#include <array>

#include "addressbook/core/addressbook.h"

class QLabel;

namespace promemo::rubrica {

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

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void changeEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    std::array<QLabel *, 6> m_swatches{}; // by colour code
};

} // namespace promemo::rubrica
