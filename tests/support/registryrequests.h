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
    return waitForAnswer<bool>([&](QObject *context, auto done) {
        registry.closeAll(caption, bound, context, done);
    }, bound + std::chrono::seconds(5));
}

inline bool exists(IWindowRegistry &registry, const QString &caption)
{
    return waitForAnswer<bool>([&](QObject *context, auto done) {
        registry.exists(caption, context, done);
    }, std::chrono::seconds(5));
}

inline bool postClose(IWindowRegistry &registry, const QString &caption)
{
    return waitForAnswer<bool>([&](QObject *context, auto done) {
        registry.postClose(caption, context, done);
    }, std::chrono::seconds(5));
}

inline bool raise(IWindowRegistry &registry, const QString &caption)
{
    return waitForAnswer<bool>([&](QObject *context, auto done) {
        registry.raise(caption, context, done);
    }, std::chrono::seconds(5));
}

inline QStringList captionsStartingWith(IWindowRegistry &registry, const QString &prefix)
{
    return waitForAnswer<QStringList>([&](QObject *context, auto done) {
        registry.captionsStartingWith(prefix, context, done);
    }, std::chrono::seconds(5));
}

} // namespace promemo::test
