#include "platform/helpstarter.h"

#include "platform/processstarter.h"
#include "platform/windowregistry.h"

namespace promemo {

HelpStarter::HelpStarter(IWindowRegistry &windows, IProcessStarter &processes)
    : m_windows(windows)
    , m_processes(processes)
{
}

bool HelpStarter::open(const QString &topic)
{
    if (m_windows.exists(QString::fromUtf16(kHelpCaption)))
        return false;
    return m_processes.start(QString::fromLatin1(kHelpProgram), {topic}, WindowMode::Maximised);
}

} // namespace promemo
