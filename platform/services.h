#pragma once

#include "common/clock.h"
#include "platform/helpstarter.h"
#include "platform/keystate.h"
#include "platform/messageboxes.h"
#include "platform/printer.h"
#include "platform/processstarter.h"
#include "platform/screen.h"
#include "platform/sound.h"
#include "platform/windowregistry.h"
#include "platform/notifications.h"

#include <memory>

namespace promemo {

// Everything a program takes from the outside world, handed to its windows at start.
struct Services
{
    IClock &clock;
    IMessageBoxes &messageBoxes;
    IProcessStarter &processes;
    IKeyState &keys;
    IScreen &screen;
    ISound &sound;
    IWindowRegistry &windows;
    HelpStarter &help;
    IPrinter &printer;
    INotifications &notifications;
};

// The real services; a program's main() makes one and passes services() on.
class SystemServices
{
public:
    explicit SystemServices(std::unique_ptr<IWindowRegistry> windows);
    ~SystemServices();
    SystemServices(const SystemServices &) = delete;
    SystemServices &operator=(const SystemServices &) = delete;

    Services services();

private:
    SystemClock m_clock;
    QtMessageBoxes m_messageBoxes;
    ProcessStarter m_processes;
    X11KeyState m_keys;
    PrimaryScreen m_screen;
    CanberraSound m_sound;
    std::unique_ptr<IWindowRegistry> m_windows;
    HelpStarter m_help;
    SystemPrinter m_printer;
    DesktopNotifications m_notifications;
};

} // namespace promemo
