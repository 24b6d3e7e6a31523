#pragma once

#include <QRect>

class QWidget;

namespace promemo {

// Moves `window` so that it stands in the middle of `area` (a screen's available area), the
// odd pixel left over going to the right and bottom.
void centreIn(QWidget &window, const QRect &area);

} // namespace promemo
