#pragma once

#include <algorithm>
#include <memory>
#include <vector>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QPointer>
#include <QStringList>

#include "platform/windowregistry.h"

namespace promemo::test {

// In-memory window registry for widget tests. It holds two kinds of windows: those the code
// under test registers (they get closeRequested / raiseRequested, queued like the real ones),
// and windows of other programs that the test adds and removes by caption. Every call is
// recorded.
class FakeWindowRegistry : public IWindowRegistry
{
public:
    enum class Call { Register, Exists, PostClose, CloseAll, Raise };
    struct Request
    {
        Call call;
        QString caption;
    };

    // Windows of other programs.
    void addWindow(const QString &caption, int count = 1)
    {
        for (int i = 0; i < count; ++i)
            others_.append(caption);
    }
    void removeWindow(const QString &caption) { others_.removeOne(caption); }
    // When false, other programs' windows ignore close requests (a hung or refusing program).
    void setOthersCloseOnRequest(bool close) { othersClose_ = close; }
    void setRegistrationFails(bool fails) { registrationFails_ = fails; }

    // Live windows with `caption`, of both kinds.
    int count(const QString &caption) const { return int(others_.count(caption)) + ownCount(caption); }
    QStringList registeredCaptions() const
    {
        QStringList captions;
        for (const Own &w : own_) {
            if (w.window)
                captions.append(w.caption);
        }
        return captions;
    }

    const std::vector<Request> &requests() const { return requests_; }
    int callCount(Call call, const QString &caption) const
    {
        return int(std::count_if(requests_.begin(), requests_.end(), [&](const Request &r) {
            return r.call == call && r.caption == caption;
        }));
    }
    // Captions that were asked to close (one entry per window asked) or to come forward.
    const QStringList &closeRequests() const { return closed_; }
    const QStringList &raiseRequests() const { return raised_; }

    std::unique_ptr<RegisteredWindow> registerWindow(const QString &caption) override
    {
        requests_.push_back({Call::Register, caption});
        if (registrationFails_)
            return nullptr;
        auto window = std::make_unique<RegisteredWindow>();
        own_.push_back({caption, window.get()});
        return window;
    }

    bool exists(const QString &caption) override
    {
        requests_.push_back({Call::Exists, caption});
        return count(caption) > 0;
    }

    bool postClose(const QString &caption) override
    {
        requests_.push_back({Call::PostClose, caption});
        return askOne(caption, &RegisteredWindow::closeRequested);
    }

    bool closeAll(const QString &caption, std::chrono::milliseconds bound) override
    {
        requests_.push_back({Call::CloseAll, caption});
        for (Own &w : own_) {
            if (w.window && w.caption == caption)
                ask(w, &RegisteredWindow::closeRequested);
        }
        for (qsizetype i = others_.count(caption); i > 0; --i)
            closed_.append(caption);
        if (othersClose_)
            others_.removeAll(caption);
        // Registered windows close through their owner's slot, in the event loop.
        const QDeadlineTimer deadline(bound);
        while (ownCount(caption) > 0 && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        return count(caption) == 0;
    }

    bool raise(const QString &caption) override
    {
        requests_.push_back({Call::Raise, caption});
        return askOne(caption, &RegisteredWindow::raiseRequested);
    }

private:
    struct Own
    {
        QString caption;
        QPointer<RegisteredWindow> window;
    };

    int ownCount(const QString &caption) const
    {
        return int(std::count_if(own_.begin(), own_.end(), [&](const Own &w) {
            return w.window && w.caption == caption;
        }));
    }

    void ask(Own &w, void (RegisteredWindow::*signal)())
    {
        (signal == &RegisteredWindow::closeRequested ? closed_ : raised_).append(w.caption);
        RegisteredWindow *window = w.window;
        QMetaObject::invokeMethod(window, [window, signal] { (window->*signal)(); },
                                  Qt::QueuedConnection);
    }

    bool askOne(const QString &caption, void (RegisteredWindow::*signal)())
    {
        for (Own &w : own_) {
            if (w.window && w.caption == caption) {
                ask(w, signal);
                return true;
            }
        }
        if (!others_.contains(caption))
            return false;
        const bool close = signal == &RegisteredWindow::closeRequested;
        (close ? closed_ : raised_).append(caption);
        if (close && othersClose_)
            others_.removeOne(caption);
        return true;
    }

    std::vector<Own> own_;
    QStringList others_;
    QStringList closed_;
    QStringList raised_;
    std::vector<Request> requests_;
    bool othersClose_ = true;
    bool registrationFails_ = false;
};

} // namespace promemo::test
