#pragma once

#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include "platform/windowregistry.h"
#include "tests/support/registryrequests.h"

namespace promemo::test {

// In-memory window registry for widget tests. Windows of other programs are added and removed
// by the test, with a state to tell if the test gives one, and close when asked; windows the code
// under test registers get closeRequested / raiseRequested from the event loop, as from the real
// registry, and tell their own state. Requests are recorded.
class FakeWindowRegistry : public IWindowRegistry
{
public:
    void addWindow(const QString &caption, const QByteArray &state = {})
    {
        m_others.append(caption);
        m_otherStates.append(state);
    }
    void removeWindow(const QString &caption)
    {
        if (const qsizetype at = m_others.indexOf(caption); at >= 0) {
            m_others.removeAt(at);
            m_otherStates.removeAt(at);
        }
    }

    // Captions of the live windows the code under test registered.
    QStringList registeredCaptions() const
    {
        QStringList captions;
        for (const auto &[caption, window] : m_own) {
            if (window)
                captions.append(caption);
        }
        return captions;
    }
    // One entry per window asked to close, or to come forward.
    const QStringList &closeRequests() const { return m_closed; }
    const QStringList &raiseRequests() const { return m_raised; }

    std::unique_ptr<RegisteredWindow> registerWindow(const QString &caption) override
    {
        auto window = std::make_unique<RegisteredWindow>();
        m_own.emplace_back(caption, window.get());
        return window;
    }
    // Whether a window with `caption` is there now, without the event loop.
    bool has(const QString &caption) const { return m_others.contains(caption) || registeredCaptions().contains(caption); }
    void checkPresence(const QString &caption, QObject *context,
                       std::function<void(const WindowPresence &)> done) override
    {
        later(context, [this, caption, done = std::move(done)] { done({has(caption), {}}); });
    }
    void postClose(const QString &caption, QObject *context,
                   std::function<void(bool)> done) override
    {
        const bool delivered = ask(caption, true, 1) > 0;
        if (done)
            later(context, [done = std::move(done), delivered] { done(delivered); });
    }
    void raise(const QString &caption, QObject *context, std::function<void(bool)> done) override
    {
        const bool there = ask(caption, false, 1) > 0;
        if (done)
            later(context, [done = std::move(done), there] { done(there); });
    }
    void captionsStartingWith(const QString &prefix, QObject *context,
                              std::function<void(const QStringList &)> done) override
    {
        QStringList captions;
        for (const QString &caption : m_others + registeredCaptions()) {
            if (caption.startsWith(prefix) && !captions.contains(caption))
                captions.append(caption);
        }
        later(context, [done = std::move(done), captions] { done(captions); });
    }
    void statesOf(const QString &caption, QObject *context,
                  std::function<void(const QByteArrayList &)> done) override
    {
        QByteArrayList states;
        for (qsizetype i = 0; i < m_others.size(); ++i) {
            if (m_others.at(i) == caption && !m_otherStates.at(i).isEmpty())
                states.append(m_otherStates.at(i));
        }
        for (const auto &[name, window] : m_own) {
            if (window && name == caption && !window->state().isEmpty())
                states.append(window->state());
        }
        later(context, [done = std::move(done), states] { done(states); });
    }
    void closeAll(const QString &caption, std::chrono::milliseconds bound, QObject *context,
                  std::function<void(bool closed)> done) override
    {
        ask(caption, true, int(m_own.size() + m_others.size()));
        lookAgain(caption, QDeadlineTimer(bound), context, std::move(done));
    }

private:
    // Answers from the event loop, as the real registry does; dropped once `context` is gone.
    static void later(QObject *context, std::function<void()> answer)
    {
        QTimer::singleShot(0, context ? context : QCoreApplication::instance(), std::move(answer));
    }

    // Reports from the event loop once no window of `caption` is left or the deadline passed.
    void lookAgain(const QString &caption, QDeadlineTimer deadline, QPointer<QObject> context,
                   std::function<void(bool)> done)
    {
        if (!context)
            return;
        QTimer::singleShot(1, context.data(), [this, caption, deadline, context, done = std::move(done)]() mutable {
            if (has(caption) && !deadline.hasExpired()) {
                lookAgain(caption, deadline, context, std::move(done));
                return;
            }
            if (done)
                done(!has(caption));
        });
    }

    // Asks at most `most` windows with `caption` to close or come forward; returns how many.
    // Other programs' windows close at once; registered ones get the signal from the event loop.
    int ask(const QString &caption, bool close, int most)
    {
        int asked = 0;
        for (const auto &[name, window] : m_own) {
            if (asked < most && window && name == caption) {
                ++asked;
                QMetaObject::invokeMethod(window.data(), close ? &RegisteredWindow::closeRequested
                                                               : &RegisteredWindow::raiseRequested,
                                          Qt::QueuedConnection);
            }
        }
        for (qsizetype i = m_others.count(caption); i > 0 && asked < most; --i, ++asked) {
            if (close)
                removeWindow(caption);
        }
        (close ? m_closed : m_raised) += QStringList(asked, caption);
        return asked;
    }

    std::vector<std::pair<QString, QPointer<RegisteredWindow>>> m_own;
    QStringList m_others;
    QByteArrayList m_otherStates; // one for each of m_others
    QStringList m_closed;
    QStringList m_raised;
};

} // namespace promemo::test
