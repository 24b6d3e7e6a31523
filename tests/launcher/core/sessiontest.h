#pragma once

// What the tests of the launcher's sessions share: a program folder and the doubles, no window.

#include <QTest>

#include <gtest/gtest.h>

#include "launcher/core/launchersession.h"
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

// The files the launcher checks at its start, and settings that keep the note list closed.
inline void putSuite(const TemporaryProgramFolder &dir)
{
    dir.put(u"Notino.ini"_qs, "[Opzioni]\r\nshowelenco=4\r\n");
    for (const QString &program : launcher::suitePrograms())
        dir.put(program, {}, QFile::ExeOwner);
    dir.put(u"suono.wav"_qs, {});
}

} // namespace promemo::test
