#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace promemo {

enum class WindowMode { NormalWithFocus, NormalWithoutFocus, Minimised, Maximised };

// Starts a program of the suite from the program folder.
class IProcessStarter
{
public:
    virtual ~IProcessStarter() = default;

    // `program` is the bare program name ("Kalvo"); returns whether the process started.
    virtual bool start(const QString &program, const QStringList &arguments, WindowMode mode) = 0;
    // Ends process `pid` at once, as for a program that no longer answers; only a process of
    // this user, never this one. Returns whether it was ended.
    virtual bool end(qint64 pid) = 0;
};

class ProcessStarter final : public IProcessStarter
{
public:
    bool start(const QString &program, const QStringList &arguments, WindowMode mode) override;
    bool end(qint64 pid) override;
};

// The window mode the starting program asked for; normal with focus when the program was not
// started by another program of the suite.
WindowMode startWindowMode();

// Shows a program's main window the way its starter asked.
void showInStartMode(QWidget &window);
void showInMode(QWidget &window, WindowMode mode);

// The child learns its window mode through this variable, set only in the child's environment.
inline constexpr char kWindowModeVariable[] = "PROMEMO_WINDOW_MODE";
QString windowModeName(WindowMode mode);
WindowMode windowModeFromName(const QString &name);

} // namespace promemo
