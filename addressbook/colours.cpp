#include "addressbook/colours.h"

#include <QApplication>
#include <QLabel>

#include "addressbook/core/addressbookedit.h"

namespace promemo::rubrica {

namespace {

QColor qColor(const std::optional<Rgb> &rgb)
{
    if (!rgb)
        return QApplication::palette().color(QPalette::Button);
    return {rgb->red, rgb->green, rgb->blue};
}

} // namespace

QColor tabQColor(int index)
{
    return qColor(tabColour(index));
}

QColor sheetQColor(int index)
{
    return qColor(sheetColour(index));
}

QColor textQColor(TextColour colour)
{
    return qColor(rgbOf(colour));
}

void paintSwatch(QLabel *swatch, const QColor &colour)
{
    QPalette palette = swatch->palette();
    palette.setColor(QPalette::Window, colour);
    swatch->setPalette(palette);
    swatch->setAutoFillBackground(true);
    swatch->setFrameStyle(QFrame::Panel | QFrame::Sunken);
}

} // namespace promemo::rubrica
