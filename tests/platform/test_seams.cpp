#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include "common/programfolder.h"
#include "platform/autostart.h"
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

TEST(Autostart, FoldersFollowXdgVariablesAndIgnoreRelativeOnes)
{
    QTemporaryDir home;
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", "relative/config");
    qunsetenv("XDG_DATA_HOME");
    EXPECT_EQ(autostartFolder(), QDir::homePath() + u"/.config/autostart"_qs);
    EXPECT_EQ(applicationsFolder(), QDir::homePath() + u"/.local/share/applications"_qs);
    qputenv("XDG_CONFIG_HOME", (home.path() + u"/cfg"_qs).toUtf8());
    EXPECT_EQ(autostartFolder(), home.path() + u"/cfg/autostart"_qs);
}

TEST(Autostart, EntryStartsTheLauncherWithItsPathQuoted)
{
    const QString text = launcherEntryText(u"/opt/My Apps/100% $HOME \"x\"/Notino"_qs);
    EXPECT_TRUE(text.startsWith(u"[Desktop Entry]\nType=Application\nName=Promemo\n"));
    EXPECT_TRUE(text.contains(u"\nExec=\"/opt/My Apps/100%% \\\\$HOME \\\\\"x\\\\\"/Notino\"\n"_qs)) << qPrintable(text);
    EXPECT_TRUE(text.contains(u"\nPath=/opt/My Apps/100% $HOME \"x\"\n"_qs));

    // The desktop's own checker accepts it, where installed.
    const QString validator = QStandardPaths::findExecutable(u"desktop-file-validate"_qs);
    if (validator.isEmpty())
        return;
    QTemporaryDir dir;
    ASSERT_TRUE(writeLauncherEntry(dir.path(), u"/opt/My Apps/100% $HOME \"x\"/Notino"_qs));
    QProcess check;
    check.start(validator, {dir.filePath(u"Promemo.desktop"_qs)});
    ASSERT_TRUE(check.waitForFinished(10000));
    EXPECT_EQ(check.exitCode(), 0) << check.readAll().toStdString();
}

TEST(Autostart, EntriesAreFoundByPrefixAndRemovedAlone)
{
    QTemporaryDir dir;
    const QString folder = dir.path() + u"/autostart"_qs;
    EXPECT_FALSE(hasLauncherEntry(folder));
    ASSERT_TRUE(writeLauncherEntry(folder, u"/opt/promemo/Notino"_qs));
    EXPECT_TRUE(QFile::exists(folder + u"/Promemo.desktop"_qs));
    EXPECT_TRUE(hasLauncherEntry(folder));

    QFile other(folder + u"/other.desktop"_qs);
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.close();
    QFile old(folder + u"/Promemo.lnk"_qs);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.close();
    EXPECT_TRUE(removeLauncherEntries(folder));
    EXPECT_FALSE(hasLauncherEntry(folder));
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList{u"other.desktop"_qs});
}

} // namespace
