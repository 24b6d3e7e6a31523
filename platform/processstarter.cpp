#include "platform/processstarter.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QWidget>

#include "common/programfolder.h"

namespace promemo {

QString windowModeName(WindowMode mode)
{
    switch (mode) {
    case WindowMode::NormalWithFocus:
        return QStringLiteral("normal");
    case WindowMode::NormalWithoutFocus:
        return QStringLiteral("nofocus");
    case WindowMode::Minimised:
        return QStringLiteral("minimised");
    case WindowMode::Maximised:
        return QStringLiteral("maximised");
    }
    return QStringLiteral("normal");
}

WindowMode windowModeFromName(const QString &name)
{
    for (const auto mode : {WindowMode::NormalWithoutFocus, WindowMode::Minimised,
                            WindowMode::Maximised}) {
        if (name == windowModeName(mode))
            return mode;
    }
    return WindowMode::NormalWithFocus;
}

bool ProcessStarter::start(const QString &program, const QStringList &arguments, WindowMode mode)
{
    QProcess process;
    process.setProgram(programPath(program));
    process.setArguments(arguments);
    process.setWorkingDirectory(programFolder());
    auto environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(kWindowModeVariable), windowModeName(mode));
    process.setProcessEnvironment(environment);
    return process.startDetached();
}

WindowMode startWindowMode()
{
    // Read once and removed, so that programs this one starts by other means do not inherit it.
    static const WindowMode mode = [] {
        const auto name = qEnvironmentVariable(kWindowModeVariable);
        qunsetenv(kWindowModeVariable);
        return windowModeFromName(name);
    }();
    return mode;
}

void showInStartMode(QWidget &window)
{
    showInMode(window, startWindowMode());
}

void showInMode(QWidget &window, WindowMode mode)
{
    switch (mode) {
    case WindowMode::NormalWithFocus:
        window.show();
        window.raise();
        window.activateWindow();
        return;
    case WindowMode::NormalWithoutFocus: {
        const bool wasSet = window.testAttribute(Qt::WA_ShowWithoutActivating);
        window.setAttribute(Qt::WA_ShowWithoutActivating, true);
        window.show();
        window.setAttribute(Qt::WA_ShowWithoutActivating, wasSet);
        return;
    }
    case WindowMode::Minimised:
        window.showMinimized();
        return;
    case WindowMode::Maximised:
        window.showMaximized();
        window.raise();
        window.activateWindow();
        return;
    }
}

} // namespace promemo
