#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QWidget>

#include <array>

// The address book's toolbar buttons: 13 boxes along the top of the window, each with a drawn
// image, in rest, hover or pressed look.
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

} // namespace promemo::rubrica
