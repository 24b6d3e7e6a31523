#pragma once

#include <QPoint>
#include <QRect>
#include <QTimer>
#include <QWidget>

#include <array>
#include <functional>

#include "addressbook/toolbutton.h"

// The address book's toolbar: the 13 buttons, their hover state and Timer1. Actions run on the
// press.
namespace promemo::rubrica {

// The 13 buttons on `window`, the hover state and Timer1 (55 ms while a button is hovered).
class Toolbar : public QObject
{
    Q_OBJECT
public:
    // Puts the buttons on `window`, which owns the toolbar. `pointer` gives the pointer's global
    // position (QCursor::pos by default).
    explicit Toolbar(QWidget *window, std::function<QPoint()> pointer = {});

    ToolButton *button(int index) const { return m_buttons.at(index); }
    int activeButton() const { return m_active; }   // PulsanteAttivo
    bool timerActive() const { return m_timer.isActive(); }

    // Azzera_Pulsanti: the hovered button back to rest.
    void azzeraPulsanti();
    // A message box or dialog that a pressed button's action opened took the button's release:
    // once it is gone, the button looks as after its release.
    void releaseTaken();
    // Timer1: back to rest once the pointer has left the band from button 0 to button 12.
    void tick();
    // The band in global coordinates: the height of button 0's box, from its left edge to the
    // right edge of button 12's box.
    QRect band() const;

signals:
    // The button was pressed: run its action.
    void triggered(int index);
    // The pointer moved over button `index` (the window closes the palette for any but 8).
    void hovered(int index);

private:
    void moved(int index);
    void pressed(int index);
    void released(int index);
    void startTimer1();

    QWidget *m_window;
    std::function<QPoint()> m_pointer;
    std::array<ToolButton *, kToolButtons> m_buttons{};
    int m_active = kNoButton;
    int m_pressed = kNoButton; // the button pressed last
    QTimer m_timer;
};

} // namespace promemo::rubrica
