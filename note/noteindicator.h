#pragma once

#include <QColor>

// The colours of the note's indicator strip.
namespace promemo::note {

inline const QColor kIndicatorActive(8, 158, 82);
inline const QColor kIndicatorInactive(255, 224, 192);
// While the alert set-up is open.
inline const QColor kIndicatorSetup(7, 19, 248);

} // namespace promemo::note
