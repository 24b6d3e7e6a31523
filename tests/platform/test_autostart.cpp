#include "platform/autostart.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace promemo;

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
