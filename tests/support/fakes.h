#pragma once

#include <QDateTime>
#include <QList>
#include <QRect>
#include <QString>
#include <QStringList>

#include <chrono>
#include <deque>
#include <functional>
#include <ostream>
#include <set>

#include "platform/clock.h"
#include "platform/helpstarter.h"
#include "platform/keystate.h"
#include "platform/messageboxes.h"
#include "platform/processstarter.h"
#include "platform/screen.h"
#include "platform/services.h"
#include "platform/sound.h"

namespace promemo {

// Readable failures in gtest.
inline void PrintTo(const Message &message, std::ostream *out)
{
    *out << "{title \"" << message.title.toStdString() << "\", text \""
         << message.text.toStdString() << "\", icon " << int(message.icon) << ", buttons "
         << int(message.buttons) << "}";
}

} // namespace promemo

// Test doubles of the platform seams.
namespace promemo::test {

// A clock that stands still until told. With an auto-advance step every tickCount() call moves
// the ticks (and now()) forward by that step, so busy waits on the tick count end at once.
class FakeClock final : public IClock
{
public:
    explicit FakeClock(QDateTime now = QDateTime(QDate(2030, 1, 1), QTime(12, 0)))
        : m_now(std::move(now))
    {
    }

    QDateTime now() const override { return m_now; }
    std::chrono::milliseconds tickCount() const override
    {
        if (m_autoAdvance.count() > 0)
            step(m_autoAdvance);
        return m_ticks;
    }

    void setNow(const QDateTime &now) { m_now = now; }
    void setToday(const QDate &date) { m_now = QDateTime(date, m_now.time()); }
    void setTime(const QTime &time) { m_now = QDateTime(m_now.date(), time); }
    void advance(std::chrono::milliseconds by) { step(by); }
    void setAutoAdvance(std::chrono::milliseconds step) { m_autoAdvance = step; }

private:
    void step(std::chrono::milliseconds by) const
    {
        m_ticks += by;
        m_now = m_now.addMSecs(by.count());
    }

    mutable QDateTime m_now;
    mutable std::chrono::milliseconds m_ticks{1'000'000};
    std::chrono::milliseconds m_autoAdvance{0};
};

// Records every box shown and answers from a script. An unscripted question gets
// `unscriptedAnswer`; an OK box always answers Ok.
class FakeMessageBoxes final : public IMessageBoxes
{
public:
    MessageAnswer show(const Message &message, QWidget * = nullptr) override
    {
        shown.push_back(message);
        if (onShow)
            onShow(message);
        if (message.buttons == MessageButtons::Ok)
            return MessageAnswer::Ok;
        if (m_answers.empty())
            return unscriptedAnswer;
        const MessageAnswer answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    }

    void scriptAnswers(std::initializer_list<MessageAnswer> answers)
    {
        m_answers.insert(m_answers.end(), answers);
    }
    // The texts shown, in order.
    QStringList texts() const
    {
        QStringList result;
        for (const auto &message : shown)
            result << message.text;
        return result;
    }

    QList<Message> shown;
    MessageAnswer unscriptedAnswer = MessageAnswer::Yes;
    // Runs while the "modal" box is up.
    std::function<void(const Message &)> onShow;

private:
    std::deque<MessageAnswer> m_answers;
};

class FakeProcessStarter final : public IProcessStarter
{
public:
    struct Start
    {
        QString program;
        QStringList arguments;
        WindowMode mode;

        bool operator==(const Start &) const = default;

        friend void PrintTo(const Start &start, std::ostream *out)
        {
            *out << "{" << start.program.toStdString() << " ["
                 << start.arguments.join(QStringLiteral("|")).toStdString() << "] mode "
                 << int(start.mode) << "}";
        }
    };

    bool start(const QString &program, const QStringList &arguments, WindowMode mode) override
    {
        started.push_back({program, arguments, mode});
        if (onStart)
            onStart(started.back());
        return succeeds;
    }

    QList<Start> started;
    bool succeeds = true;
    std::function<void(const Start &)> onStart;
};

class FakeKeyState final : public IKeyState
{
public:
    bool isDown(Key key) const override { return m_down.count(key) > 0; }
    bool numLockOn() const override { return numLock; }

    void press(Key key) { m_down.insert(key); }
    void release(Key key) { m_down.erase(key); }
    void releaseAll() { m_down.clear(); }

    bool numLock = true;

private:
    std::set<Key> m_down;
};

class FakeScreen final : public IScreen
{
public:
    QRect geometry() const override { return full; }
    QRect availableGeometry() const override { return available; }

    QRect full{0, 0, 1280, 1024};
    QRect available{0, 0, 1280, 994};
};

class FakeSound final : public ISound
{
public:
    void play(const QString &wavePath) override { played << wavePath; }

    QStringList played;
};

// Every fake in one place; the window registry comes from the test.
class FakeServices
{
public:
    explicit FakeServices(IWindowRegistry &windows)
        : m_windows(windows)
        , help(windows, processes)
    {
    }

    Services services()
    {
        return {clock, messageBoxes, processes, keys, screen, sound, m_windows, help};
    }

private:
    IWindowRegistry &m_windows;

public:
    FakeClock clock;
    FakeMessageBoxes messageBoxes;
    FakeProcessStarter processes;
    FakeKeyState keys;
    FakeScreen screen;
    FakeSound sound;
    HelpStarter help;
};

} // namespace promemo::test
