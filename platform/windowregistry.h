#pragma once

#include <QObject>
#include <QString>

#include <chrono>
#include <memory>

// The programs of the suite find each other's windows by exact caption. A program that owns a
// captioned window registers it; others ask whether a caption exists, ask one window of that
// caption to close, ask all of them to close, or bring one forward.

namespace promemo {

// One registered window. It reports the requests that reach it; the owner reacts as the user
// would (closing through the window's own close path, restoring and raising it).
class RegisteredWindow : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

signals:
    void closeRequested();
    void raiseRequested();
};

class IWindowRegistry
{
public:
    virtual ~IWindowRegistry() = default;

    // Registers a window with `caption` for as long as the returned object lives.
    // Several windows may share a caption. Returns null when registration failed.
    virtual std::unique_ptr<RegisteredWindow> registerWindow(const QString &caption) = 0;

    virtual bool exists(const QString &caption) = 0;
    // Asks one window with `caption` to close; does not wait. False when none was found.
    virtual bool postClose(const QString &caption) = 0;
    // Asks every window with `caption` to close and waits until none is left, at most `bound`.
    // Returns true when none is left.
    virtual bool closeAll(const QString &caption, std::chrono::milliseconds bound) = 0;
    // Restores and brings forward one window with `caption`. False when none was found.
    virtual bool raise(const QString &caption) = 0;
};

} // namespace promemo
