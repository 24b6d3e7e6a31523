#pragma once

#include <algorithm>
#include <deque>
#include <functional>
#include <optional>
#include <ostream>
#include <set>
#include <vector>

#include <QPointer>

#include "common/programfolder.h"
#include "platform/services.h"
#include "tests/support/fakewindowregistry.h"
#include "tests/support/programfolder.h"

// Test doubles of the platform seams.
namespace promemo::test {

// Stands still until told.
struct FakeClock final : IClock
{
    QDateTime now() const override { return current; }
    std::chrono::milliseconds tickCount() const override { return ticks; }
    void after(std::chrono::milliseconds delay, QObject *context,
               std::function<void()> action) const override
    {
        pending.push_back({ticks + delay, context, std::move(action)});
    }
    // Moves the ticks and now() on together; what was due by then runs, in order.
    void advance(std::chrono::milliseconds by)
    {
        ticks += by;
        current = current.addMSecs(by.count());
        for (;;) {
            const auto due = std::min_element(pending.begin(), pending.end(),
                                              [](const Pending &a, const Pending &b) { return a.at < b.at; });
            if (due == pending.end() || due->at > ticks)
                return;
            const Pending next = *due;
            pending.erase(due);
            if (next.context)
                next.action();
        }
    }

    struct Pending
    {
        std::chrono::milliseconds at;
        QPointer<QObject> context;
        std::function<void()> action;
    };
    mutable std::vector<Pending> pending;
    QDateTime current{QDate(2030, 1, 1), QTime(12, 0)};
    std::chrono::milliseconds ticks{1'000'000};
};

// Records every box; questions take the scripted answers in order, then Yes.
struct FakeMessageBoxes final : IMessageBoxes
{
    MessageAnswer show(const Message &message, QWidget * = nullptr) override
    {
        shown.push_back(message);
        if (onShow)
            onShow(message);
        if (message.buttons == MessageButtons::Ok)
            return MessageAnswer::Ok;
        if (answers.empty())
            return MessageAnswer::Yes;
        const MessageAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }

    QList<Message> shown;
    std::deque<MessageAnswer> answers;
    std::function<void(const Message &)> onShow; // e.g. to take the activation as a real box
};

struct FakeProcessStarter final : IProcessStarter
{
    struct Start
    {
        QString program;
        QStringList arguments;
        WindowMode mode;
        bool operator==(const Start &) const = default;
        friend void PrintTo(const Start &s, std::ostream *out)
        {
            *out << "{" << s.program.toStdString() << " [" << s.arguments.join(u'|').toStdString()
                 << "] mode " << int(s.mode) << "}";
        }
    };

    bool start(const QString &program, const QStringList &arguments, WindowMode mode) override
    {
        started.push_back({program, arguments, mode});
        if (onStart)
            onStart(started.back());
        return true;
    }

    bool end(qint64 pid) override { return ended.push_back(pid), true; }

    QList<Start> started;
    std::function<void(const Start &)> onStart; // e.g. to start a real program
    QList<qint64> ended;
};

// Num Lock on; no key events are reported, so the keys are looked at when needed.
struct FakeKeyState final : IKeyState
{
    bool isDown(Key key) const override { return down.count(key) > 0; }
    bool numLockOn() const override { return true; }
    bool watchKeys(std::function<void()>) override { return false; }
    std::set<Key> down;
};

struct FakeScreen final : IScreen
{
    QRect geometry() const override { return full; }
    QRect availableGeometry() const override { return available; }
    QRect full{0, 0, 1280, 1024}, available{0, 0, 1280, 994};
};

struct FakeSound final : ISound
{
    void play(const QString &wavePath) override { played << wavePath; }
    QStringList played;
};

// Records what was shown and what was withdrawn; `activate(i)` picks the i-th notification as a
// user would, `invoke(i, label)` its action with that label.
struct FakeNotifications final : INotifications
{
    void notify(const Notification &notification, QObject *context, std::function<void()> activated) override
    {
        shown.append(notification);
        entries.push_back({context, std::move(activated), false});
    }
    void withdraw(QObject *context) override
    {
        for (Entry &entry : entries)
            entry.withdrawn = entry.withdrawn || (context && entry.context == context);
    }
    void activate(qsizetype i)
    {
        if (entries.at(std::size_t(i)).context)
            entries.at(std::size_t(i)).activated();
    }
    // False when the notification has no such action.
    bool invoke(qsizetype i, const QString &label)
    {
        const QList<NotificationAction> actions = shown.at(i).actions;
        const auto action = std::find_if(actions.cbegin(), actions.cend(),
                                         [&](const NotificationAction &a) { return a.label == label; });
        if (action == actions.cend())
            return false;
        if (entries.at(std::size_t(i)).context)
            action->invoked();
        return true;
    }
    bool withdrawn(qsizetype i) const { return entries.at(std::size_t(i)).withdrawn; }

    struct Entry
    {
        QPointer<QObject> context;
        std::function<void()> activated;
        bool withdrawn = false;
    };
    QList<Notification> shown;
    std::vector<Entry> entries;
};

// Records the document; `failure` makes beginDocument() fail with it.
struct FakePrinter final : IPrinter
{
    bool beginDocument(const QString &family, int points) override
    {
        if (failure)
            return false;
        fontFamily = family;
        fontPoints = points;
        lines.clear();
        return true;
    }
    bool printLine(const QString &line) override { return lines << line, true; }
    bool endDocument() override { return ++ended, true; }
    void abort() override {}
    PrinterError lastError() const override { return failure.value_or(PrinterError{}); }

    QString fontFamily;
    int fontPoints = 0;
    QStringList lines;
    int ended = 0;
    std::optional<PrinterError> failure;
};

// Every fake in one place; the window registry comes from the test.
struct FakeServices
{
    explicit FakeServices(IWindowRegistry &registry) : windows(registry), help(registry, processes) {}
    Services services()
    {
        return {clock, messageBoxes, processes, keys, screen, sound, windows, help, printer, notifications};
    }

    IWindowRegistry &windows;
    FakeClock clock;
    FakeMessageBoxes messageBoxes;
    FakeProcessStarter processes;
    FakeKeyState keys;
    FakeScreen screen;
    FakeSound sound;
    HelpStarter help;
    FakePrinter printer;
    FakeNotifications notifications;
};

// A temporary program folder that the code under test takes for its own, and every double.
struct ProgramFolderWithFakes
{
    ProgramFolderWithFakes() { setProgramFolderForTesting(dir.path()); }
    ~ProgramFolderWithFakes() { setProgramFolderForTesting({}); }

    TemporaryProgramFolder dir;
    FakeWindowRegistry registry;
    FakeServices fakes{registry};
};

} // namespace promemo::test
