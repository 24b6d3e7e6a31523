#include "platform/processstarter.h"

#include "platform/logging.h"

#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
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
    if (process.startDetached())
        return true;
    qCWarning(lcDesktop, "cannot start %s: %s", qPrintable(process.program()),
              qPrintable(process.errorString()));
    return false;
}

bool ProcessStarter::end(qint64 pid)
{
    if (pid <= 1 || pid == QCoreApplication::applicationPid())
        return false;
    struct stat info {};
    const QByteArray proc = "/proc/" + QByteArray::number(pid);
    if (::stat(proc.constData(), &info) != 0 || info.st_uid != ::geteuid())
        return false;
    // A program that does not answer may not handle a polite request either.
    return ::kill(pid_t(pid), SIGKILL) == 0;
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
