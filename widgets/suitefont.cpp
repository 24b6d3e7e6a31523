#include "widgets/suitefont.h"

#include <QStringList>

namespace promemo {

QFont suiteFont(qreal points)
{
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans")});
    font.setPointSizeF(points);
    return font;
}

} // namespace promemo
