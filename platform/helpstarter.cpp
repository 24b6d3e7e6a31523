#include "platform/helpstarter.h"

#include "platform/processstarter.h"
#include "platform/windowregistry.h"

namespace promemo {

HelpStarter::HelpStarter(IWindowRegistry &windows, IProcessStarter &processes)
    : m_windows(windows)
    , m_processes(processes)
{
}

void HelpStarter::open(const QString &topic)
{
    m_windows.exists(QString::fromUtf16(kHelpCaption), &m_requests, [this, topic](bool there) {
        if (!there)
            m_processes.start(QString::fromLatin1(kHelpProgram), {topic}, WindowMode::Maximised);
    });
}

} // namespace promemo
