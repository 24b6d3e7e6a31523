#pragma once

// What the tests of the launcher's sessions share: a program folder and the doubles, no window.

#include <QTest>

#include <gtest/gtest.h>

#include "tests/support/fakes.h"

namespace promemo::test {

struct SessionTest : ::testing::Test
{
    TemporaryProgramFolder dir;
    FakeClock clock;
    FakeMessageBoxes messageBoxes;
    FakeProcessStarter processes;
    FakeWindowRegistry registry;
};

} // namespace promemo::test
