#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QTimer>
#include <QWidget>

#include <array>
#include <functional>

// The address book's toolbar: 13 buttons along the top of the window, each a box with a drawn
// image, in rest, hover or pressed look. Actions run on the press.
namespace promemo::rubrica {

inline constexpr int kToolButtons = 13;
inline constexpr int kNoButton = 13; // PulsanteAttivo when no button is hovered

enum ToolButtonIndex {
    SaveButton = 0, CutButton, CopyButton, PasteButton, BoldButton, UnderlineButton,
    InsertRowButton, DeleteRowButton, TextColourButton, SearchButton, OptionsButton,
    HelpButton, CloseButton
};

enum class ToolButtonLook { Rest, Hover, Pressed };

// " Salva " .. " Chiudi la Rubrica ", blanks at both ends.
QString toolButtonTooltip(int index);
// The button's box in the window, in pixels (tops at 150 twips, 360 twips high).
QRect toolButtonRect(int index);
// The search box between buttons 8 and 9 (left 3780 twips, 1455 wide, as high as the boxes),
// and its tooltip.
QRect searchBoxRect();
QString searchBoxTooltip();
// The image's top-left inside the box in rest and pressed look (hover: 20 twips up-left).
QPoint toolButtonRestOffset(int index);
// The button's image from its SVG file: 16 x 16 for 0..8, wider for the labelled buttons
// 9..12 (a 10 x 10 icon, then "Cerca", "Opzioni", "Help", "Chiudi" in the application font),
// so that it fits its box from the rest offset.
// Its size is in device-independent pixels; `devicePixelRatio` sharpens it on dense screens.
QImage toolButtonImage(int index, qreal devicePixelRatio = 1.0);

// One button: the box (Pic) with its image (Img) inside; box and image react alike.
class ToolButton : public QWidget
{
    Q_OBJECT
public:
    ToolButton(int index, QWidget *parent);

    int index() const { return m_index; }
    ToolButtonLook look() const { return m_look; }
    void setLook(ToolButtonLook look);
    // The image's top-left inside the box: the rest offset, minus 20 twips each way in hover.
    QPoint imageOffset() const;

signals:
    void mouseMoved(int index);
    void mousePressed(int index);
    void mouseReleased(int index);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    const QImage &image();

    int m_index;
    ToolButtonLook m_look = ToolButtonLook::Rest;
    QImage m_image; // drawn on first paint, again when the pixel ratio changes
};

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
