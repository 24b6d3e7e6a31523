#pragma once

#include <QObject>
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

    // Opens the help at `topic` ("alert.htm"), maximised with focus, once the registry has said
    // that no help is open; an open help is left as it is.
    void open(const QString &topic);

private:
    IWindowRegistry &m_windows;
    IProcessStarter &m_processes;
    QObject m_requests; // answers that come after this starter has gone are dropped
};

} // namespace promemo
