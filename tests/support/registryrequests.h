#pragma once

#include <chrono>
#include <optional>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QStringList>

#include "platform/windowregistry.h"

// The registry's requests, waited for by spinning the event loop: tests only.
namespace promemo::test {

// A registry request waited for: its answer, or `fallback` when none came within `bound`.
template<typename Answer, typename Request>
Answer waitForAnswer(Request request, std::chrono::milliseconds bound, Answer fallback = {})
{
    QObject context;
    std::optional<Answer> answer;
    request(&context, [&answer](const Answer &result) { answer = result; });
    const QDeadlineTimer deadline(bound);
    while (!answer && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return answer.value_or(fallback);
}

// closeAll, waited for: whether no window of `caption` was left within `bound`.
inline bool closeAllAndWait(IWindowRegistry &registry, const QString &caption,
                            std::chrono::milliseconds bound)
{
    return waitForAnswer<bool>([&](QObject *context, auto done) { registry.closeAll(caption, bound, context, done); },
                               bound + std::chrono::seconds(5));
}

// The other requests, waited for at most five seconds.
template <typename Answer, typename Method>
Answer request(IWindowRegistry &registry, Method method, const QString &caption)
{
    return waitForAnswer<Answer>([&](QObject *context, auto done) { (registry.*method)(caption, context, done); },
                                 std::chrono::seconds(5));
}
inline bool exists(IWindowRegistry &r, const QString &c) { return request<bool>(r, &IWindowRegistry::exists, c); }
inline bool postClose(IWindowRegistry &r, const QString &c) { return request<bool>(r, &IWindowRegistry::postClose, c); }
inline bool raise(IWindowRegistry &r, const QString &c) { return request<bool>(r, &IWindowRegistry::raise, c); }
inline QStringList captionsStartingWith(IWindowRegistry &r, const QString &prefix)
{
    return request<QStringList>(r, &IWindowRegistry::captionsStartingWith, prefix);
}

} // namespace promemo::test
