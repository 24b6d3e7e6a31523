#include "platform/services.h"

namespace promemo {

SystemServices::SystemServices(std::unique_ptr<IWindowRegistry> windows)
    : m_windows(std::move(windows))
    , m_help(*m_windows, m_processes)
{
}

SystemServices::~SystemServices() = default;

Services SystemServices::services()
{
    return {m_clock,   m_messageBoxes, m_processes, m_keys,   m_screen,
            m_sound,   *m_windows,     m_help,      m_printer, m_notifications};
}

} // namespace promemo
