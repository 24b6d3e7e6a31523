#pragma once

#include <QString>

#include <functional>
#include <memory>

class QObject;
class QWidget;

namespace promemo {

class IMessageBoxes;
class IWindowRegistry;
struct Services;

// How a start hands over what it made: the window, or null when the program is to end.
template <typename Window>
using Started = std::function<void(std::unique_ptr<Window>)>;

// Whether the launcher's tray is there, from the event loop; without it the note, the calendar
// and the address book end at once. A hung launcher is there.
void checkTrayThere(IWindowRegistry &windows, QObject *context, std::function<void(bool there)> done);

// A logout or a shutdown (SIGTERM, SIGHUP) and the session manager's end close `window` through
// its own close path, as a close request does: what it holds is saved.
void closeAtSessionEnd(QWidget &window);

struct ProgramOptions
{
    // The name under which one copy runs at a time; empty for any number of copies.
    QString singleInstance = {};
    // Tells the user that the registry folder was refused, before anything else; null: a
    // refused folder is found later, by the single instance or the registry, and ends nothing.
    std::function<void(IMessageBoxes &, const QString &registryFolder)> refusedRegistry = {};
    // False for a program that never looks for other windows: no registry folder is made.
    bool usesRegistry = true;
    bool quitOnLastWindowClosed = true;
};

// The start every program of the suite shares: the X11 session preferred, the application, the
// registry check, the single instance and the system services; then `start`, which hands over,
// at once or later from the event loop, what the program runs with (`context` lives as long as
// the application). It is kept until the event loop ends; null ends the program. Returns the
// exit code.
int runProgram(int &argc, char **argv, const ProgramOptions &options,
               const std::function<void(const Services &, QObject *context, Started<QObject>)> &start);

} // namespace promemo
