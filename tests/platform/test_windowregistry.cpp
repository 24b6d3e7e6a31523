#include "platform/windowregistry.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>

#include "peerprocess.h"
#include "platform/singleinstance.h"
#include "tests/support/fakewindowregistry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <cstring>
#include <grp.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace std::chrono_literals;
using promemo::RegisteredWindow;
using promemo::WindowRegistry;
using promemo::test::PeerProcess;

namespace {

// Each test has its own runtime folder and program folder, so tests may run in parallel.
class WindowRegistryTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(runtime_.isValid());
        ASSERT_TRUE(folder_.isValid());
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime_.path()));
    }

    PeerProcess &startPeer(const QString &mode, const QString &caption)
    {
        peers_.push_back(std::make_unique<PeerProcess>(QStringList{mode, folder_.path(), caption}));
        PeerProcess &peer = *peers_.back();
        EXPECT_TRUE(peer.waitForLine("ready"));
        return peer;
    }

    QStringList socketFiles(const WindowRegistry &registry) const
    {
        return QDir(registry.directory()).entryList({QStringLiteral("w-*")}, QDir::System);
    }

    QTemporaryDir runtime_{QDir::tempPath() + QStringLiteral("/pmr-XXXXXX")};
    QTemporaryDir folder_{QDir::tempPath() + QStringLiteral("/pmf-XXXXXX")};
    std::vector<std::unique_ptr<PeerProcess>> peers_;
};

qint64 msSince(const QElapsedTimer &timer)
{
    return timer.elapsed();
}

TEST_F(WindowRegistryTest, FindsOnlyTheExactCaption)
{
    startPeer(QStringLiteral("window"), QStringLiteral("NotinoControl"));
    WindowRegistry registry(folder_.path());
    const auto own = registry.registerWindow(QStringLiteral("  Elenco Notino"));
    ASSERT_TRUE(own);

    const struct
    {
        const char *caption;
        bool found;
    } cases[] = {
        {"NotinoControl", true},   {" NotinoControl", false}, {"NotinoControl ", false},
        {"notinocontrol", false},  {"Notino Control", false}, {"NotinoTray", false},
        {"  Elenco Notino", true}, {" Elenco Notino", false}, {"", false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(registry.exists(QString::fromUtf8(c.caption)), c.found) << '"' << c.caption << '"';

    // Another folder has its own registry.
    QTemporaryDir otherFolder;
    EXPECT_FALSE(WindowRegistry(otherFolder.path()).exists(QStringLiteral("NotinoControl")));
}

TEST_F(WindowRegistryTest, OwnerAnswersOnlyItsCaptionAndSurvivesBadRequests)
{
    startPeer(QStringLiteral("window"), QStringLiteral("NotinoTray"));
    WindowRegistry registry(folder_.path());
    const QStringList files = socketFiles(registry);
    ASSERT_EQ(files.size(), 1);
    const QString path = QDir(registry.directory()).filePath(files.first());

    // A request for another caption that reached this socket (a hash collision, a forged name)
    // is turned down, and so is anything malformed.
    const QByteArray requests[] = {
        "close " + QByteArray("NotinoTray ").toBase64() + '\n',
        "close " + QByteArray("NotinoTray").toBase64().chopped(1) + "*\n",
        "shut " + QByteArray("NotinoTray").toBase64() + '\n',
        "close\n",
        QByteArray(20000, 'x') + '\n',
    };
    for (const QByteArray &request : requests) {
        QLocalSocket socket;
        socket.connectToServer(path);
        ASSERT_TRUE(socket.waitForConnected(1000));
        socket.write(request);
        socket.waitForBytesWritten(1000);
        QByteArray reply;
        while (socket.waitForReadyRead(1000))
            reply += socket.readAll();
        reply += socket.readAll();
        EXPECT_NE(reply, "yes\n") << request.left(40).constData();
    }
    EXPECT_TRUE(registry.exists(QStringLiteral("NotinoTray")));
    EXPECT_EQ(peers_.front()->timesSaid("close"), 0);
}

TEST_F(WindowRegistryTest, RequestsFromAnotherUserAreRefused)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "acting as another user needs root";
    PeerProcess &peer = startPeer(QStringLiteral("window"), QStringLiteral("NotinoControl"));
    WindowRegistry registry(folder_.path());
    const QStringList files = socketFiles(registry);
    ASSERT_EQ(files.size(), 1);
    const QByteArray path = QFile::encodeName(QDir(registry.directory()).filePath(files.first()));
    ASSERT_LT(size_t(path.size()), sizeof(sockaddr_un::sun_path));

    // Open the way to the socket, as a careless setup might; the owner must still refuse.
    for (const QString &dir : {runtime_.path(), QFileInfo(registry.directory()).path(), registry.directory()})
        ASSERT_EQ(::chmod(QFile::encodeName(dir).constData(), 0711), 0);
    ASSERT_EQ(::chmod(path.constData(), 0777), 0);

    const QByteArray request = "close " + QByteArray("NotinoControl").toBase64() + '\n';
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(3);
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path, path.constData(), size_t(path.size()) + 1);
        if (::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0)
            ::_exit(4);
        const timeval limit{2, 0};
        ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
        if (::write(fd, request.constData(), size_t(request.size())) != request.size())
            ::_exit(5);
        char reply[8] = {};
        const ssize_t got = ::read(fd, reply, sizeof reply);
        ::_exit(got > 0 && reply[0] == 'y' ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_TRUE(registry.exists(QStringLiteral("NotinoControl")));
    EXPECT_EQ(peer.timesSaid("close"), 0);
}

TEST_F(WindowRegistryTest, PostCloseClosesOneWindowAndCloseAllTheRest)
{
    for (int i = 0; i < 3; ++i)
        startPeer(QStringLiteral("window"), QStringLiteral("PromemoX"));
    WindowRegistry registry(folder_.path());

    ASSERT_TRUE(registry.postClose(QStringLiteral("PromemoX")));
    const QDeadlineTimer deadline(5s);
    auto running = [this] {
        return std::count_if(peers_.begin(), peers_.end(), [](const auto &p) { return p->isRunning(); });
    };
    while (running() == 3 && !deadline.hasExpired())
        peers_.front()->waitForExit(10ms), peers_.back()->waitForExit(10ms);
    ASSERT_EQ(running(), 2);
    int asked = 0;
    for (const auto &peer : peers_)
        asked += peer->timesSaid("close");
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(registry.exists(QStringLiteral("PromemoX")));

    QElapsedTimer timer;
    timer.start();
    EXPECT_TRUE(registry.closeAll(QStringLiteral("PromemoX"), 5s));
    EXPECT_LT(msSince(timer), 5000);
    for (const auto &peer : peers_)
        EXPECT_TRUE(peer->waitForExit(2s));
    EXPECT_FALSE(registry.exists(QStringLiteral("PromemoX")));
    EXPECT_FALSE(registry.postClose(QStringLiteral("PromemoX")));
    EXPECT_TRUE(registry.closeAll(QStringLiteral("PromemoX"), 1s));
}

TEST_F(WindowRegistryTest, RaiseReachesTheOwner)
{
    PeerProcess &peer = startPeer(QStringLiteral("window"), QStringLiteral(" Rubrica di Promemo"));
    WindowRegistry registry(folder_.path());
    EXPECT_FALSE(registry.raise(QStringLiteral("Rubrica di Promemo")));
    ASSERT_TRUE(registry.raise(QStringLiteral(" Rubrica di Promemo")));
    EXPECT_TRUE(peer.waitForLine("raise"));
    EXPECT_TRUE(peer.isRunning());
    EXPECT_EQ(peer.timesSaid("close"), 0);
}

TEST_F(WindowRegistryTest, EntryOfKilledOwnerIsAbsentAndRemoved)
{
    PeerProcess &peer = startPeer(QStringLiteral("window"), QStringLiteral("NotinoControl"));
    WindowRegistry registry(folder_.path());
    peer.killHard();
    ASSERT_EQ(socketFiles(registry).size(), 1);

    EXPECT_FALSE(registry.exists(QStringLiteral("NotinoControl")));
    EXPECT_TRUE(socketFiles(registry).isEmpty());
    EXPECT_TRUE(registry.closeAll(QStringLiteral("NotinoControl"), 1s));
}

TEST_F(WindowRegistryTest, HungOwnerDoesNotHangTheCaller)
{
    startPeer(QStringLiteral("hang"), QStringLiteral("NotinoControl"));
    WindowRegistry registry(folder_.path(), {.connect = 200ms, .reply = 300ms});
    QElapsedTimer timer;

    // Hung is not gone: the launcher must not start a second watcher beside it.
    timer.start();
    EXPECT_TRUE(registry.exists(QStringLiteral("NotinoControl")));
    EXPECT_LT(msSince(timer), 1500);

    timer.restart();
    EXPECT_FALSE(registry.postClose(QStringLiteral("NotinoControl")));
    EXPECT_LT(msSince(timer), 1500);

    timer.restart();
    EXPECT_FALSE(registry.closeAll(QStringLiteral("NotinoControl"), 400ms));
    EXPECT_LT(msSince(timer), 1500);
}

TEST_F(WindowRegistryTest, CloseAllGivesUpOnAWindowThatStays)
{
    PeerProcess &peer = startPeer(QStringLiteral("ignore"), QStringLiteral("Help di Promemo"));
    WindowRegistry registry(folder_.path());
    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(registry.closeAll(QStringLiteral("Help di Promemo"), 500ms));
    EXPECT_GE(msSince(timer), 500);
    EXPECT_LT(msSince(timer), 2000);
    EXPECT_TRUE(peer.waitForLine("close"));
    EXPECT_EQ(peer.timesSaid("close"), 1);
}

TEST_F(WindowRegistryTest, WindowsOfThisProcessGetTheirRequests)
{
    WindowRegistry registry(folder_.path());
    std::unique_ptr<RegisteredWindow> tray = registry.registerWindow(QStringLiteral("NotinoTray"));
    ASSERT_TRUE(tray);
    QSignalSpy raised(tray.get(), &RegisteredWindow::raiseRequested);
    ASSERT_TRUE(registry.raise(QStringLiteral("NotinoTray")));
    EXPECT_TRUE(raised.wait(2000));

    QObject::connect(tray.get(), &RegisteredWindow::closeRequested, [&tray] { tray.reset(); });
    EXPECT_TRUE(registry.closeAll(QStringLiteral("NotinoTray"), 2s));
    EXPECT_FALSE(tray);
    EXPECT_FALSE(registry.exists(QStringLiteral("NotinoTray")));
    EXPECT_TRUE(socketFiles(registry).isEmpty());
}

// The test double must behave as the real registry does for windows of the calling program.
TEST_F(WindowRegistryTest, FakeAndRealAgreeOnOwnWindows)
{
    WindowRegistry real(folder_.path());
    promemo::test::FakeWindowRegistry fake;
    for (promemo::IWindowRegistry *registry : std::initializer_list<promemo::IWindowRegistry *>{&real, &fake}) {
        std::unique_ptr<RegisteredWindow> notes[3];
        int closes = 0;
        for (auto &note : notes) {
            note = registry->registerWindow(QStringLiteral("PromemoX"));
            ASSERT_TRUE(note);
            QObject::connect(note.get(), &RegisteredWindow::closeRequested, [&note, &closes] {
                ++closes;
                note.reset();
            });
        }
        EXPECT_FALSE(registry->exists(QStringLiteral("Promemo")));
        EXPECT_FALSE(registry->raise(QStringLiteral("Promemo")));

        // Posting does not close at once: the owner closes in its event loop.
        ASSERT_TRUE(registry->postClose(QStringLiteral("PromemoX")));
        EXPECT_EQ(closes, 0);
        const QDeadlineTimer deadline(2s);
        while (closes == 0 && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        EXPECT_EQ(std::count(std::begin(notes), std::end(notes), nullptr), 1);

        EXPECT_TRUE(registry->closeAll(QStringLiteral("PromemoX"), 2s));
        EXPECT_EQ(closes, 3);
        EXPECT_FALSE(registry->exists(QStringLiteral("PromemoX")));
    }
}

TEST_F(WindowRegistryTest, RegistryDirectoryIsPrivateAndFollowsTheCanonicalFolder)
{
    WindowRegistry registry(folder_.path());
    ASSERT_TRUE(registry.isUsable());
    for (const QString &dir : {registry.directory(), QFileInfo(registry.directory()).path()}) {
        struct stat info {};
        ASSERT_EQ(::lstat(QFile::encodeName(dir).constData(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0700u) << qPrintable(dir);
    }
    EXPECT_TRUE(registry.directory().startsWith(runtime_.path() + QStringLiteral("/promemo/")));

    const QString link = runtime_.filePath(QStringLiteral("link"));
    ASSERT_TRUE(QFile::link(folder_.path(), link));
    EXPECT_EQ(promemo::registryDirectoryPath(link), registry.directory());
    EXPECT_EQ(promemo::registryDirectoryPath(folder_.path() + QStringLiteral("/.")), registry.directory());
    EXPECT_NE(promemo::registryDirectoryPath(runtime_.path()), registry.directory());

    qunsetenv("XDG_RUNTIME_DIR");
    EXPECT_TRUE(promemo::registryDirectoryPath(folder_.path())
                    .startsWith(QStringLiteral("/tmp/promemo-%1/").arg(::geteuid())));
}

TEST_F(WindowRegistryTest, RefusesADirectoryThatIsNotPrivate)
{
    const QString base = runtime_.filePath(QStringLiteral("promemo"));
    const QString hashed = promemo::registryDirectoryPath(folder_.path());
    const QString elsewhere = runtime_.filePath(QStringLiteral("elsewhere"));
    const auto makeDir = [](const QString &path, mode_t mode) {
        return ::mkdir(QFile::encodeName(path).constData(), 0700) == 0
               && ::chmod(QFile::encodeName(path).constData(), mode) == 0;
    };
    const auto reset = [&] {
        QFile::remove(hashed);
        QFile::remove(base);
        QDir(hashed).removeRecursively();
        QDir(base).removeRecursively();
        QDir(elsewhere).removeRecursively();
        return makeDir(elsewhere, 0700);
    };
    const bool root = ::geteuid() == 0;

    const struct
    {
        const char *name;
        bool needsRoot;
        std::function<bool()> prepare;
    } cases[] = {
        {"base open to all", false, [&] { return makeDir(base, 0777); }},
        {"base readable by group", false, [&] { return makeDir(base, 0750); }},
        {"registry open to all", false, [&] { return makeDir(base, 0700) && makeDir(hashed, 0777); }},
        {"base is a symlink", false, [&] { return QFile::link(elsewhere, base); }},
        {"registry is a symlink", false,
         [&] { return makeDir(base, 0700) && QFile::link(elsewhere, hashed); }},
        {"registry of another user", true,
         [&] {
             return makeDir(base, 0700) && makeDir(hashed, 0700)
                    && ::chown(QFile::encodeName(hashed).constData(), 65534, 65534) == 0;
         }},
        {"base of another user", true,
         [&] {
             return makeDir(base, 0700)
                    && ::chown(QFile::encodeName(base).constData(), 65534, 65534) == 0;
         }},
    };
    for (const auto &c : cases) {
        if (c.needsRoot && !root)
            continue;
        ASSERT_TRUE(reset());
        ASSERT_TRUE(c.prepare()) << c.name;
        WindowRegistry registry(folder_.path());
        EXPECT_FALSE(registry.isUsable()) << c.name;
        EXPECT_FALSE(registry.registerWindow(QStringLiteral("NotinoTray"))) << c.name;
        EXPECT_FALSE(registry.exists(QStringLiteral("NotinoTray"))) << c.name;
        EXPECT_FALSE(promemo::SingleInstance(folder_.path()).tryAcquire(QStringLiteral("Notino")))
            << c.name;
        EXPECT_TRUE(QDir(elsewhere).isEmpty()) << c.name;
    }
}

} // namespace
