#include "syscheck/systemcheck.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLibraryInfo>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "tests/support/fakes.h"

using namespace promemo;
using namespace promemo::syscheck;
using namespace std::chrono_literals;

namespace {

bool touch(const QString &path, const QByteArray &bytes = {})
{
    QFile file(path);
    return QDir().mkpath(QFileInfo(path).absolutePath()) && file.open(QIODevice::WriteOnly)
           && file.write(bytes) == bytes.size();
}

} // namespace

TEST(SystemFiles, LoaderFoldersFollowIncludesAndTheFirstHitCounts)
{
    QTemporaryDir dir;
    const QString conf = dir.filePath(u"ld.so.conf"_qs);
    ASSERT_TRUE(touch(conf, "# loader folders\ninclude ld.so.conf.d/*.conf\n/opt/first # own\n"));
    // A loop ends at the depth bound.
    ASSERT_TRUE(touch(dir.filePath(u"ld.so.conf.d/b.conf"_qs), "/opt/b\ninclude " + conf.toLocal8Bit() + "\n"));
    ASSERT_TRUE(touch(dir.filePath(u"ld.so.conf.d/a.conf"_qs), "/opt/a\n"));
    const QStringList folders = configuredFolders(conf);
    ASSERT_GE(folders.size(), 3);
    EXPECT_EQ(folders.mid(0, 3), QStringList({u"/opt/a"_qs, u"/opt/b"_qs, u"/opt/a"_qs}));
    EXPECT_EQ(folders.last(), u"/opt/first"_qs);

    const QString one = dir.filePath(u"one"_qs), two = dir.filePath(u"two"_qs);
    ASSERT_TRUE(touch(two + u"/libX11.so.6"_qs) && touch(one + u"/libstdc++.so.6"_qs)
                && touch(two + u"/libstdc++.so.6"_qs) && touch(dir.filePath(u"plugins/platforms/libqxcb.so"_qs)));
    EXPECT_EQ(locateSystemFile({u"libstdc++.so.6"_qs, {}}, {one, two}, {}), one + u"/libstdc++.so.6"_qs);
    EXPECT_EQ(locateSystemFile({u"libX11.so.6"_qs, {}}, {one, two}, {}), two + u"/libX11.so.6"_qs);
    EXPECT_EQ(locateSystemFile({u"libXi.so.6"_qs, {}}, {one, two}, {}), QString());
    EXPECT_EQ(locateSystemFile({u"libqxcb.so"_qs, u"platforms"_qs}, {one}, dir.filePath(u"plugins"_qs)),
              dir.filePath(u"plugins/platforms/libqxcb.so"_qs));
    EXPECT_EQ(systemFolder({one, two}), one);
}

// The ten libraries are where the loader finds them on this machine, as the programs need them.
TEST(SystemFiles, TheTenLibrariesOfThisBuildAreFound)
{
    const auto files = requiredSystemFiles();
    ASSERT_EQ(files.size(), 10u);
    const QStringList folders = loaderFolders();
    for (const SystemFile &file : files)
        EXPECT_FALSE(locateSystemFile(file, folders, QLibraryInfo::path(QLibraryInfo::PluginsPath)).isEmpty())
            << file.name.toStdString();
    EXPECT_FALSE(systemFolder(folders).isEmpty());
}

class SystemCheckTest : public ::testing::Test
{
protected:
    // Runs the check with `missing` files not found, moving the clock 10 ms at each turn of the
    // event loop, until it has ended or shows the missing files; records when each indicator
    // was lit.
    void check(const QSet<QString> &missing, SessionType session = SessionType::X11)
    {
        QTimer ticker;
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            for (int i = 0; i < 10; ++i) {
                if (window.fileIndicator(i)->isLit() && litAt[i] < 0)
                    litAt[i] = int(clock.ticks.count());
            }
            clock.advance(10ms);
        });
        ticker.start(0);
        window.run({requiredSystemFiles(),
                    [&](const SystemFile &file) {
                        return missing.contains(file.name) ? QString() : u"/usr/lib/"_qs + file.name;
                    },
                    u"/usr/lib/x86_64-linux-gnu"_qs, session, folder.path()});
        ASSERT_TRUE(QTest::qWaitFor([&] { return finished.count() > 0 || window.errorWindow(); }));
    }

    test::FakeClock clock;
    frmMain window{clock};
    QSignalSpy finished{&window, &frmMain::finished};
    QTemporaryDir folder;
    std::array<int, 10> litAt{-1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
};

TEST_F(SystemCheckTest, AllPresentLightsOneByOneAndClosesAlone)
{
    ASSERT_TRUE(touch(folder.filePath(u"nosuono.wav"_qs)));
    check({});
    for (int i = 1; i < 10; ++i)
        EXPECT_GE(litAt[i] - litAt[i - 1], 100) << i;
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(window.fileIndicator(i)->colour(), kFoundColour);
    EXPECT_EQ(finished.count(), 1);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.errorWindow(), nullptr);
    EXPECT_FALSE(QFile::exists(folder.filePath(u"nosuono.wav"_qs)));
    EXPECT_TRUE(window.sessionIndicator(SessionType::X11)->isLit());
    EXPECT_FALSE(window.sessionIndicator(SessionType::Wayland)->isLit());
}

TEST_F(SystemCheckTest, MissingFilesAreRedAndListedInOrderOnOneLine)
{
    check({u"libXi.so.6"_qs, u"libQt6Gui.so.6"_qs}, SessionType::Wayland);
    EXPECT_EQ(window.fileIndicator(1)->colour(), kMissingColour);
    EXPECT_EQ(window.fileIndicator(9)->colour(), kMissingColour);
    EXPECT_EQ(window.fileIndicator(2)->colour(), kFoundColour);
    EXPECT_EQ(window.currentPath(), u"/usr/lib/x86_64-linux-gnu/libXi.so.6"_qs);
    ASSERT_NE(window.errorWindow(), nullptr);
    EXPECT_TRUE(window.errorWindow()->isVisible() && window.isVisible());
    EXPECT_EQ(window.errorWindow()->missingText(), u"libQt6Gui.so.6    libXi.so.6    "_qs);
    EXPECT_EQ(finished.count(), 0);
    EXPECT_TRUE(window.sessionIndicator(SessionType::Wayland)->isLit());

    window.errorWindow()->chiudi()->click();
    EXPECT_EQ(finished.count(), 1);
    EXPECT_FALSE(window.isVisible() || window.errorWindow()->isVisible());
}
