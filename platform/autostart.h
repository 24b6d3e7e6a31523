#pragma once

#include <QString>

#include "common/atomicfile.h"

// Starting the launcher at log-on the freedesktop way: a desktop entry "Promemo.desktop" in
// the user's autostart folder. The launcher counts as starting at log-on while any file whose
// name begins with "Promemo" is there.
namespace promemo {

inline constexpr char16_t kLauncherEntryName[] = u"Promemo.desktop";

// $XDG_CONFIG_HOME/autostart, or ~/.config/autostart.
QString autostartFolder();

// A file whose name begins with "Promemo" is in `folder`.
bool hasLauncherEntry(const QString &folder);
// Writes "Promemo.desktop" starting `launcherPath` (no arguments) into `folder`, creating the
// folder when needed; the result says why when it could not be written.
WriteResult writeLauncherEntry(const QString &folder, const QString &launcherPath);
// Deletes every file whose name begins with "Promemo" from `folder`; fails when one stays.
WriteResult removeLauncherEntries(const QString &folder);

// The desktop entry's text; Exec holds the path quoted and escaped as the format asks.
QString launcherEntryText(const QString &launcherPath);

} // namespace promemo
