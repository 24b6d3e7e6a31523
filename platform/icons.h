#pragma once

#include <QIcon>

namespace promemo {

// The suite's icons, read from the "icons" folder of the program folder; a null icon when
// the files are missing.
QIcon applicationIcon();
// The tray icon in a note colour: 1 yellow, 2 light blue, 3 green; any other value yellow.
QIcon trayIcon(int colour);

} // namespace promemo
