#pragma once

#include <QList>
#include <QPointer>
#include <QWidget>

namespace promemo {

// The owner of a program's top-level windows that have no parent widget (a parent would make
// them its transients). Windows that closed and deleted themselves are simply gone; those still
// open go with the owner, newest first.
class WindowOwner
{
public:
    WindowOwner() = default;
    WindowOwner(const WindowOwner &) = delete;
    WindowOwner &operator=(const WindowOwner &) = delete;
    ~WindowOwner()
    {
        while (!m_windows.isEmpty())
            delete m_windows.takeLast().data();
    }

    template <typename Window>
    Window *adopt(Window *window)
    {
        m_windows.removeIf([](const QPointer<QWidget> &gone) { return gone.isNull(); });
        m_windows.append(window);
        return window;
    }

private:
    QList<QPointer<QWidget>> m_windows;
};

} // namespace promemo
