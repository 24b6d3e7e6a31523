#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include "common/atomicfile.h"
#include "platform/autostart.h"
#include "common/twips.h"
#include "tests/support/fakes.h"

using namespace promemo;
using namespace std::chrono_literals;

namespace {

TEST(ProcessStarter, StartsTheProgramInTheProgramFolderWithItsArgumentsAndWindowMode)
{
    const test::ProgramFolderWithFakes folder;
    // A stand-in program of the suite that writes what it was given into a file.
    folder.dir.put(u"Probe"_qs,
                   "#!/bin/sh\n{ echo \"$PROMEMO_WINDOW_MODE\"; pwd; for a in \"$@\"; do"
                   " echo \"[$a]\"; done; } > report.tmp && mv report.tmp report.txt\n",
                   QFile::ExeOwner);

    ProcessStarter starter;
    EXPECT_FALSE(starter.start(u"Missing"_qs, {}, WindowMode::NormalWithFocus));
    ASSERT_TRUE(starter.start(u"Probe"_qs, {u"two  words"_qs, u"\"quoted\""_qs}, WindowMode::NormalWithoutFocus));
    const QString report = folder.dir.filePath(u"report.txt"_qs);
    for (const QDeadlineTimer deadline(10s); !QFile::exists(report) && !deadline.hasExpired();)
        QThread::msleep(5);
    EXPECT_EQ(QString::fromUtf8(readWholeFile(report)).split(u'\n', Qt::SkipEmptyParts),
              (QStringList{u"nofocus"_qs, QDir(folder.dir.path()).canonicalPath(), u"[two  words]"_qs, u"[\"quoted\"]"_qs}));
}

TEST(Twips, RoundToTheNearestPixelSymmetricallyAroundZero)
{
    for (const auto &[twips, pixels] : {std::pair{7, 0}, {8, 1}, {-7, 0}, {-8, -1}, {-2955, -197}})
        EXPECT_EQ(twipsToPixels(twips), pixels) << twips;
    EXPECT_EQ(twipsToPixels(pixelsToTwips(-175)), -175);
}

TEST(Autostart, FolderFollowsXdgConfigHomeAndIgnoresARelativeOne)
{
    QTemporaryDir home;
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", "relative/config");
    EXPECT_EQ(autostartFolder(), home.path() + u"/.config/autostart"_qs);
}

// Written, it is found by its prefix; removing takes the older kinds too and nothing else.
TEST(Autostart, EntryStartsTheLauncherWithItsPathQuotedAndIsRemovedAlone)
{
    const QString text = launcherEntryText(u"/opt/My Apps/100% $HOME \"x\"/Notino"_qs);
    EXPECT_TRUE(text.startsWith(u"[Desktop Entry]\nType=Application\nName=Promemo\n"));
    EXPECT_TRUE(text.contains(u"\nExec=\"/opt/My Apps/100%% \\\\$HOME \\\\\"x\\\\\"/Notino\"\n"_qs)) << qPrintable(text);
    EXPECT_TRUE(text.contains(u"\nPath=/opt/My Apps/100% $HOME \"x\"\n"_qs));

    QTemporaryDir dir;
    const QString folder = dir.path() + u"/autostart"_qs;
    ASSERT_TRUE(writeLauncherEntry(folder, u"/opt/My Apps/100% $HOME \"x\"/Notino"_qs));
    EXPECT_TRUE(hasLauncherEntry(folder));
    // The desktop's own checker accepts it, where installed.
    if (const QString validator = QStandardPaths::findExecutable(u"desktop-file-validate"_qs); !validator.isEmpty()) {
        QProcess check;
        check.start(validator, {folder + u"/Promemo.desktop"_qs});
        ASSERT_TRUE(check.waitForFinished(10000));
        EXPECT_EQ(check.exitCode(), 0) << check.readAll().toStdString();
    }
    for (const QString &name : {u"other.desktop"_qs, u"Promemo.lnk"_qs})
        ASSERT_TRUE(QFile(folder + u'/' + name).open(QIODevice::WriteOnly));
    EXPECT_TRUE(removeLauncherEntries(folder));
    EXPECT_FALSE(hasLauncherEntry(folder));
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList{u"other.desktop"_qs});
}

} // namespace
