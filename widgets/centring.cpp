#include "widgets/centring.h"

#include <QWidget>

namespace promemo {

void centreIn(QWidget &window, const QRect &area)
{
    window.move(area.x() + (area.width() - window.width()) / 2,
                area.y() + (area.height() - window.height()) / 2);
}

} // namespace promemo
