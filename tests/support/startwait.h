#pragma once

#include <QObject>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace promemo::test {

// Runs an asynchronous start, `start(context, started)`, and waits for what it hands over.
template <typename Window, typename Start>
std::unique_ptr<Window> waitForStart(Start &&start)
{
    QObject context;
    bool done = false;
    std::unique_ptr<Window> window;
    start(&context, [&](std::unique_ptr<Window> made) {
        window = std::move(made);
        done = true;
    });
    EXPECT_TRUE(QTest::qWaitFor([&] { return done; }));
    return window;
}

} // namespace promemo::test
