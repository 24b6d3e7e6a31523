#include "syscheck/systemcheck.h"

#include <QDir>
#include <QFile>
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
    EXPECT_EQ(QStringList({locateSystemFile({u"libstdc++.so.6"_qs, {}}, {one, two}, {}),
                           locateSystemFile({u"libX11.so.6"_qs, {}}, {one, two}, {}),
                           locateSystemFile({u"libXi.so.6"_qs, {}}, {one, two}, {}),
                           locateSystemFile({u"libqxcb.so"_qs, u"platforms"_qs}, {one}, dir.filePath(u"plugins"_qs)),
                           systemFolder({one, two})}),
              QStringList({one + u"/libstdc++.so.6"_qs, two + u"/libX11.so.6"_qs, QString(),
                           dir.filePath(u"plugins/platforms/libqxcb.so"_qs), one}));
}

class SystemCheckTest : public ::testing::Test
{
protected:
    // Runs the check with `missing` files not found, moving the clock 10 ms at each turn of the
    // event loop, until it has ended or shows the missing files.
    void check(const QSet<QString> &missing, SessionType session = SessionType::X11)
    {
        QTimer ticker;
        QObject::connect(&ticker, &QTimer::timeout, [&] { clock.advance(10ms); });
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
};

TEST_F(SystemCheckTest, AllPresentIsGreenAndClosesAlone)
{
    ASSERT_TRUE(touch(folder.filePath(u"nosuono.wav"_qs)));
    check({});
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(window.fileIndicator(i)->colour(), kFoundColour) << i;
    EXPECT_EQ(std::tuple(finished.count(), window.isVisible(), window.errorWindow() == nullptr,
                         QFile::exists(folder.filePath(u"nosuono.wav"_qs)),
                         window.sessionIndicator(SessionType::X11)->isLit(),
                         window.sessionIndicator(SessionType::Wayland)->isLit()),
              std::tuple(1, false, true, false, true, false));
}

TEST_F(SystemCheckTest, MissingFilesAreRedAndListedInOrderOnOneLine)
{
    check({u"libXi.so.6"_qs, u"libQt6Gui.so.6"_qs}, SessionType::Wayland);
    EXPECT_EQ(std::tuple(window.fileIndicator(1)->colour(), window.fileIndicator(9)->colour(),
                         window.fileIndicator(2)->colour(), window.currentPath()),
              std::tuple(kMissingColour, kMissingColour, kFoundColour, u"/usr/lib/x86_64-linux-gnu/libXi.so.6"_qs));
    ASSERT_NE(window.errorWindow(), nullptr);
    EXPECT_EQ(std::tuple(window.errorWindow()->isVisible(), window.isVisible(), window.errorWindow()->missingText(),
                         finished.count(), window.sessionIndicator(SessionType::Wayland)->isLit()),
              std::tuple(true, true, u"libQt6Gui.so.6    libXi.so.6    "_qs, 0, true));

    window.errorWindow()->chiudi()->click();
    EXPECT_TRUE(finished.count() == 1 && !window.isVisible() && !window.errorWindow()->isVisible());
}
