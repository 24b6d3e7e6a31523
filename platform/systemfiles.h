#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// The runtime libraries the suite's programs load, and where the dynamic loader finds them.
namespace promemo {

struct SystemFile
{
    QString name;      // file name, e.g. "libQt6Core.so.6"
    QString subfolder; // for a plugin: its folder below Qt's plugin folder ("platforms")
};

// The ten files checked, in order: Qt Core, Gui, Widgets, Network and Print Support, the xcb
// platform plugin, libcanberra (sound), the C++ runtime, libX11 and libXi (key state).
std::vector<SystemFile> requiredSystemFiles();

// The folders the loader searches, in its order: LD_LIBRARY_PATH, the folders of
// /etc/ld.so.conf (and the files it includes), then the default folders. Each once.
QStringList loaderFolders();
// The folders listed by a loader configuration file, following its "include" lines.
QStringList configuredFolders(const QString &confPath);

// The full path of `file`: plugins in `pluginFolder`/subfolder, libraries in the first of
// `folders` that holds them. Empty when not found.
QString locateSystemFile(const SystemFile &file, const QStringList &folders,
                         const QString &pluginFolder);

// The folder holding the C++ runtime, the suite's "system folder"; empty when not found.
QString systemFolder(const QStringList &folders);

enum class SessionType { X11, Wayland };
// The desktop session the user runs: Wayland when the session says so, else X11.
SessionType sessionType();

} // namespace promemo
