#pragma once

#include <QString>

#include <functional>
#include <memory>

class QObject;

namespace promemo {

class IMessageBoxes;
class IWindowRegistry;
struct Services;

// How a start hands over what it made: the window, or null when the program is to end.
template <typename Window>
using Started = std::function<void(std::unique_ptr<Window>)>;

// Looks, without waiting, whether a window with `caption` is there, and tells `done` from the
// event loop, never before this returns and not once `context` is gone. A window that does
// not answer in time counts as there: a hung program is not gone.
void checkWindowThere(IWindowRegistry &windows, const QString &caption, QObject *context,
                      std::function<void(bool there)> done);

// The same for the launcher's tray, without which the note, the calendar and the address book
// end at once.
void checkTrayThere(IWindowRegistry &windows, QObject *context, std::function<void(bool there)> done);

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
