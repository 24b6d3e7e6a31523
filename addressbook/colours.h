#pragma once

#include <QColor>

#include "addressbook/core/addressbook.h"

class QLabel;

// The address book's colours as the window paints them.
namespace promemo::rubrica {

// QColor of a table entry; index 0 (and any index outside 0..7) is the system's button-face
// colour.
QColor tabQColor(int index);
QColor sheetQColor(int index);
QColor textQColor(TextColour colour);

// A swatch: `colour` as its background in a sunken panel.
void paintSwatch(QLabel *swatch, const QColor &colour);

} // namespace promemo::rubrica
