#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include "common/programfolder.h"
#include "common/twips.h"
#include "tests/support/fakes.h"

using namespace promemo;
using namespace std::chrono_literals;

namespace {

TEST(ProcessStarter, StartsTheProgramInTheProgramFolderWithItsArgumentsAndWindowMode)
{
    QTemporaryDir folder;
    setProgramFolderForTesting(folder.path());
    // A stand-in program of the suite that writes what it was given into a file.
    QFile probe(programPath(QStringLiteral("Probe")));
    ASSERT_TRUE(probe.open(QIODevice::WriteOnly));
    probe.write("#!/bin/sh\n{ echo \"$PROMEMO_WINDOW_MODE\"; pwd; for a in \"$@\"; do"
                " echo \"[$a]\"; done; } > report.tmp && mv report.tmp report.txt\n");
    probe.close();
    probe.setPermissions(probe.permissions() | QFile::ExeOwner);

    ProcessStarter starter;
    EXPECT_FALSE(starter.start(QStringLiteral("Missing"), {}, WindowMode::NormalWithFocus));
    ASSERT_TRUE(starter.start(QStringLiteral("Probe"), {QStringLiteral("two  words"),
                              QStringLiteral("\"quoted\"")}, WindowMode::NormalWithoutFocus));
    QFile report(folder.filePath(QStringLiteral("report.txt")));
    for (const QDeadlineTimer deadline(10s); !report.exists() && !deadline.hasExpired();)
        QThread::msleep(5);
    ASSERT_TRUE(report.open(QIODevice::ReadOnly));
    const QStringList expected = {QStringLiteral("nofocus"), QDir(folder.path()).canonicalPath(),
                                  QStringLiteral("[two  words]"), QStringLiteral("[\"quoted\"]")};
    EXPECT_EQ(QString::fromUtf8(report.readAll()).split(u'\n', Qt::SkipEmptyParts), expected);
    setProgramFolderForTesting(QString());
}

TEST(Twips, RoundToTheNearestPixelSymmetricallyAroundZero)
{
    for (const auto &[twips, pixels] : {std::pair{7, 0}, {8, 1}, {-7, 0}, {-8, -1}, {-2955, -197}})
        EXPECT_EQ(twipsToPixels(twips), pixels) << twips;
    EXPECT_EQ(twipsToPixels(pixelsToTwips(-175)), -175);
}

} // namespace
