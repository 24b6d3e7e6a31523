#pragma once

#include <QPoint>
#include <QRect>

#include "common/twips.h"

namespace promemo {

// A place given in twips, in pixels by the suite's one rounding rule.
inline QPoint twipsPoint(const QPoint &twips)
{
    return {twipsToPixels(twips.x()), twipsToPixels(twips.y())};
}

// The edges are rounded, not the size, so boxes that touch in twips touch in pixels.
inline QRect twipsRect(const QRect &twips)
{
    const QPoint topLeft = twipsPoint(twips.topLeft());
    return {topLeft, QPoint(twipsToPixels(twips.x() + twips.width()) - 1,
                            twipsToPixels(twips.y() + twips.height()) - 1)};
}

} // namespace promemo
