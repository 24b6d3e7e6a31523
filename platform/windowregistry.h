#pragma once

#include <QByteArrayList>
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

    // What the window tells those who ask for the states of its caption (`statesOf`), read at
    // each request; empty, or no function: it has nothing to tell.
    void setState(std::function<QByteArray()> state) { m_state = std::move(state); }
    QByteArray state() const { return m_state ? m_state() : QByteArray(); }

signals:
    void closeRequested();
    void raiseRequested();

private:
    std::function<QByteArray()> m_state;
};

// What a bounded look at the windows with one caption found.
struct WindowPresence
{
    bool answered = false;      // a window answered
    QList<qint64> unanswering;  // processes, of this user, owning windows that did not answer
};

// Every request to other windows is answered from the event loop, never before the call
// returns, and not once `context` is gone; nothing waits meanwhile. Each is bounded, so a hung
// peer cannot hold up the caller.
class IWindowRegistry
{
public:
    virtual ~IWindowRegistry() = default;

    // Registers a window with `caption` for as long as the returned object lives.
    // Several windows may share a caption. Returns null when registration failed.
    virtual std::unique_ptr<RegisteredWindow> registerWindow(const QString &caption) = 0;

    // Looks whether a window with `caption` answers, asking every one at once, and names the
    // owners of those that did not answer in time.
    virtual void checkPresence(const QString &caption, QObject *context,
                               std::function<void(const WindowPresence &)> done) = 0;
    // Asks one window with `caption` to close; `done`, when given, learns whether one took it.
    virtual void postClose(const QString &caption, QObject *context = nullptr,
                           std::function<void(bool delivered)> done = {}) = 0;
    // Asks every window with `caption` to close, those that appear meanwhile too, and reports
    // whether none is left, once they have gone or `bound` has passed.
    virtual void closeAll(const QString &caption, std::chrono::milliseconds bound, QObject *context,
                          std::function<void(bool closed)> done) = 0;
    // Restores and brings forward one window with `caption`; `done` learns whether one is
    // there, a hung one included.
    virtual void raise(const QString &caption, QObject *context,
                       std::function<void(bool there)> done = {}) = 0;
    // The captions of the live windows whose caption begins with `prefix`, each once; for
    // captions with a changing tail, like a date. Windows that do not answer are left out.
    virtual void captionsStartingWith(const QString &prefix, QObject *context,
                                      std::function<void(const QStringList &)> done) = 0;
    // The states of the windows with `caption` that have one to tell, this program's own
    // included, asking every one at once; those that do not answer in time are left out.
    virtual void statesOf(const QString &caption, QObject *context,
                          std::function<void(const QByteArrayList &)> done) = 0;

    // Whether a window with `caption` is there. A hung window is there: hung is not gone.
    void exists(const QString &caption, QObject *context, std::function<void(bool there)> done)
    {
        checkPresence(caption, context, [done = std::move(done)](const WindowPresence &presence) {
            done(presence.answered || !presence.unanswering.isEmpty());
        });
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
// delivered directly. A window counts as not answering once the bounds have passed.
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

    std::unique_ptr<RegisteredWindow> registerWindow(const QString &caption) override;
    void checkPresence(const QString &caption, QObject *context,
                       std::function<void(const WindowPresence &)> done) override;
    void postClose(const QString &caption, QObject *context = nullptr,
                   std::function<void(bool delivered)> done = {}) override;
    void closeAll(const QString &caption, std::chrono::milliseconds bound, QObject *context,
                  std::function<void(bool closed)> done) override;
    void raise(const QString &caption, QObject *context,
               std::function<void(bool there)> done = {}) override;
    void captionsStartingWith(const QString &prefix, QObject *context,
                              std::function<void(const QStringList &)> done) override;
    void statesOf(const QString &caption, QObject *context,
                  std::function<void(const QByteArrayList &)> done) override;

private:
    QString m_directory;
    Timeouts m_timeouts;
};

} // namespace promemo
