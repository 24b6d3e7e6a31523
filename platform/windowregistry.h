#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <chrono>
#include <functional>
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

// What a bounded look at the windows with one caption found.
struct WindowPresence
{
    bool answered = false;      // a window answered
    QList<qint64> unanswering;  // processes, of this user, owning windows that did not answer
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
    // Asks every window with `caption` to close, those that appear meanwhile too, and reports
    // from the event loop whether none is left, once they have gone or `bound` has passed.
    // Nothing waits meanwhile. `done` is dropped when `context` is gone first.
    virtual void closeAll(const QString &caption, std::chrono::milliseconds bound, QObject *context,
                          std::function<void(bool closed)> done) = 0;
    // Restores and brings forward one window with `caption`. False when none was found.
    virtual bool raise(const QString &caption) = 0;
    // The captions of the live windows whose caption begins with `prefix`, each once; for
    // captions with a changing tail, like a date. A registry that cannot list finds none.
    virtual QStringList captionsStartingWith(const QString &prefix)
    {
        Q_UNUSED(prefix);
        return {};
    }
    // Looks whether a window with `caption` answers, without waiting for it: `done` gets the
    // answer from the event loop, never before this returns, and not once `context` is gone.
    // This one answers with exists() and knows of no owners.
    virtual void checkPresence(const QString &caption, QObject *context,
                               std::function<void(const WindowPresence &)> done)
    {
        QMetaObject::invokeMethod(
            context, [this, caption, done] { done({exists(caption), {}}); }, Qt::QueuedConnection);
    }
};

// Where the registry of the program folder lives:
// $XDG_RUNTIME_DIR/promemo/<hash of the canonical folder path>, or, when the runtime folder is
// unset or unusable, ~/.cache/promemo/<hash> in the user's own home, where no other user can
// take the name first. Nothing is created or checked.
QString registryDirectoryPath(const QString &programFolder);

// The registry directory, created with mode 0700 where missing. Empty (with a warning) when it,
// or the folder above it, is a symlink, belongs to another user or is open to others.
QString openRegistryDirectory(const QString &programFolder);

// Bounds of the waits for one window: to connect and write, and for its answer.
struct WindowRegistryTimeouts
{
    std::chrono::milliseconds connect{500};
    std::chrono::milliseconds reply{1000};
};

// The registry on local sockets: one listening socket per registered window in the registry
// directory, named after a hash of the caption; the owner answers requests in its event loop
// and confirms that its caption matches exactly. Requests to windows of this very process are
// delivered directly. Every wait is bounded, so a hung peer cannot hang the caller.
class WindowRegistry final : public IWindowRegistry
{
public:
    using Timeouts = WindowRegistryTimeouts;

    // The registry of the running program's folder.
    WindowRegistry();
    explicit WindowRegistry(const QString &programFolder, Timeouts timeouts = {});
    ~WindowRegistry() override;
    WindowRegistry(const WindowRegistry &) = delete;
    WindowRegistry &operator=(const WindowRegistry &) = delete;

    // False when the registry directory was refused: nothing is found and nothing registers.
    bool isUsable() const;
    QString directory() const;

    std::unique_ptr<RegisteredWindow> registerWindow(const QString &caption) override;
    // A window that does not answer within the bounds counts as present: hung is not gone.
    bool exists(const QString &caption) override;
    // Waits, within the bounds, only for the owner to confirm that the request arrived.
    bool postClose(const QString &caption) override;
    void closeAll(const QString &caption, std::chrono::milliseconds bound, QObject *context,
                  std::function<void(bool closed)> done) override;
    bool raise(const QString &caption) override;
    // Windows that do not answer within the bounds are left out.
    QStringList captionsStartingWith(const QString &prefix) override;
    // Every window is asked at once; those that have not answered within the bounds count as
    // not answering, with the process that listens on their socket.
    void checkPresence(const QString &caption, QObject *context,
                       std::function<void(const WindowPresence &)> done) override;

private:
    QString directory_;
    Timeouts timeouts_;
};

} // namespace promemo
