#pragma once

#include <QString>

#include "platform/captions.h"

namespace promemo {

class IProcessStarter;
class IWindowRegistry;

// The help viewer program.
inline constexpr char kHelpProgram[] = "Aiuto";

class HelpStarter
{
public:
    HelpStarter(IWindowRegistry &windows, IProcessStarter &processes);

    // Opens the help at `topic` ("alert.htm"), maximised with focus, unless the help is
    // already open; an open help is left as it is. Returns whether the viewer was started.
    bool open(const QString &topic);

private:
    IWindowRegistry &m_windows;
    IProcessStarter &m_processes;
};

} // namespace promemo
