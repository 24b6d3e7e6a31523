#include "platform/windowregistry.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <grp.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocalSocket>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "peerprocess.h"
#include "platform/singleinstance.h"
#include "tests/support/fakewindowregistry.h"

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;
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
        ASSERT_TRUE(runtime_.isValid() && folder_.isValid());
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime_.path()));
    }

    PeerProcess &startPeer(const QString &mode, const QString &caption)
    {
        peers_.push_back(std::make_unique<PeerProcess>(QStringList{mode, folder_.path(), caption}));
        EXPECT_TRUE(peers_.back()->waitForLine("ready"));
        return *peers_.back();
    }

    static QStringList socketPaths(const WindowRegistry &registry)
    {
        const QDir dir(registry.directory());
        QStringList paths;
        for (const QString &name : dir.entryList({u"w-*"_s}, QDir::System))
            paths.append(dir.filePath(name));
        return paths;
    }

    QTemporaryDir runtime_{QDir::tempPath() + u"/pmr-XXXXXX"_s};
    QTemporaryDir folder_{QDir::tempPath() + u"/pmf-XXXXXX"_s};
    std::vector<std::unique_ptr<PeerProcess>> peers_;
};

TEST_F(WindowRegistryTest, FindsOnlyTheExactCaption)
{
    startPeer(u"window"_s, u"NotinoControl"_s);
    WindowRegistry registry(folder_.path());
    const auto own = registry.registerWindow(u"  Elenco Notino"_s);
    ASSERT_TRUE(own);

    const std::pair<QString, bool> cases[] = {
        {u"NotinoControl"_s, true},   {u" NotinoControl"_s, false}, {u"NotinoControl "_s, false},
        {u"notinocontrol"_s, false},  {u"NotinoTray"_s, false},     {u"  Elenco Notino"_s, true},
        {u" Elenco Notino"_s, false}, {QString(), false},
    };
    for (const auto &[caption, found] : cases)
        EXPECT_EQ(registry.exists(caption), found) << '"' << qPrintable(caption) << '"';

    QTemporaryDir otherFolder;
    EXPECT_FALSE(WindowRegistry(otherFolder.path()).exists(u"NotinoControl"_s));
}

TEST_F(WindowRegistryTest, OwnerAnswersOnlyItsCaptionAndSurvivesBadRequests)
{
    PeerProcess &peer = startPeer(u"window"_s, u"NotinoTray"_s);
    WindowRegistry registry(folder_.path());
    ASSERT_EQ(socketPaths(registry).size(), 1);

    // Another caption that reached this socket (a hash collision, a forged name) is turned
    // down, and so is anything malformed.
    const QByteArray requests[] = {
        "close " + QByteArray("NotinoTray ").toBase64() + '\n',
        "close " + QByteArray("NotinoTray").toBase64().chopped(1) + "*\n",
        "shut " + QByteArray("NotinoTray").toBase64() + '\n',
        "close\n",
        QByteArray(20000, 'x') + '\n',
    };
    for (const QByteArray &request : requests) {
        QLocalSocket socket;
        socket.connectToServer(socketPaths(registry).first());
        ASSERT_TRUE(socket.waitForConnected(1000));
        socket.write(request);
        socket.waitForBytesWritten(1000);
        while (socket.waitForReadyRead(1000)) {
        }
        EXPECT_NE(socket.readAll(), "yes\n") << request.left(40).constData();
    }
    EXPECT_TRUE(registry.exists(u"NotinoTray"_s));
    EXPECT_EQ(peer.timesSaid("close"), 0);
}

TEST_F(WindowRegistryTest, RequestsFromAnotherUserAreRefused)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "acting as another user needs root";
    PeerProcess &peer = startPeer(u"window"_s, u"NotinoControl"_s);
    WindowRegistry registry(folder_.path());
    ASSERT_EQ(socketPaths(registry).size(), 1);
    const QByteArray path = QFile::encodeName(socketPaths(registry).first());
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
        // Refused at once is fine too: the owner may hang up before the request is written.
        if (::send(fd, request.constData(), size_t(request.size()), MSG_NOSIGNAL) != request.size())
            ::_exit(0);
        char reply[8] = {};
        ::_exit(::read(fd, reply, sizeof reply) > 0 && reply[0] == 'y' ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_TRUE(registry.exists(u"NotinoControl"_s));
    EXPECT_EQ(peer.timesSaid("close"), 0);
}

TEST_F(WindowRegistryTest, PostCloseClosesOneWindowAndCloseAllTheRest)
{
    for (int i = 0; i < 3; ++i)
        startPeer(u"window"_s, u"PromemoX"_s);
    WindowRegistry registry(folder_.path());
    const auto running = [this] {
        return std::count_if(peers_.begin(), peers_.end(), [](const auto &p) { return p->isRunning(); });
    };

    ASSERT_TRUE(registry.postClose(u"PromemoX"_s));
    const QDeadlineTimer deadline(5s);
    while (running() == 3 && !deadline.hasExpired())
        peers_.front()->waitForExit(10ms);
    ASSERT_EQ(running(), 2);
    int asked = 0;
    for (const auto &peer : peers_)
        asked += peer->timesSaid("close");
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(registry.exists(u"PromemoX"_s));

    QElapsedTimer timer;
    timer.start();
    EXPECT_TRUE(registry.closeAll(u"PromemoX"_s, 5s));
    EXPECT_LT(timer.elapsed(), 5000);
    for (const auto &peer : peers_)
        EXPECT_TRUE(peer->waitForExit(2s));
    EXPECT_FALSE(registry.postClose(u"PromemoX"_s));
    EXPECT_TRUE(registry.closeAll(u"PromemoX"_s, 1s));
}

TEST_F(WindowRegistryTest, RaiseReachesTheOwner)
{
    PeerProcess &peer = startPeer(u"window"_s, u" Rubrica di Promemo"_s);
    WindowRegistry registry(folder_.path());
    EXPECT_FALSE(registry.raise(u"Rubrica di Promemo"_s));
    ASSERT_TRUE(registry.raise(u" Rubrica di Promemo"_s));
    EXPECT_TRUE(peer.waitForLine("raise"));
    EXPECT_TRUE(peer.isRunning());
}

TEST_F(WindowRegistryTest, EntryOfKilledOwnerIsAbsentAndRemoved)
{
    startPeer(u"window"_s, u"NotinoControl"_s).killHard();
    WindowRegistry registry(folder_.path());
    ASSERT_EQ(socketPaths(registry).size(), 1);
    EXPECT_FALSE(registry.exists(u"NotinoControl"_s));
    EXPECT_TRUE(socketPaths(registry).isEmpty());
}

TEST_F(WindowRegistryTest, HungOrStubbornOwnersDoNotHoldTheCallerBeyondTheBound)
{
    startPeer(u"hang"_s, u"NotinoControl"_s);
    PeerProcess &stubborn = startPeer(u"ignore"_s, u"Help di Promemo"_s);
    WindowRegistry registry(folder_.path(), {.connect = 200ms, .reply = 300ms});
    QElapsedTimer timer;
    const auto within = [&timer](qint64 ms) { return timer.restart() < ms; };

    // Hung is not gone: the launcher must not start a second watcher beside it.
    timer.start();
    EXPECT_TRUE(registry.exists(u"NotinoControl"_s));
    EXPECT_TRUE(within(1500));
    EXPECT_FALSE(registry.postClose(u"NotinoControl"_s));
    EXPECT_TRUE(within(1500));
    EXPECT_FALSE(registry.closeAll(u"NotinoControl"_s, 400ms));
    EXPECT_TRUE(within(1500));

    EXPECT_FALSE(registry.closeAll(u"Help di Promemo"_s, 500ms));
    EXPECT_GE(timer.elapsed(), 500);
    EXPECT_TRUE(within(2000));
    EXPECT_TRUE(stubborn.waitForLine("close"));
    EXPECT_EQ(stubborn.timesSaid("close"), 1);
}

// Windows of the calling program are reached without a socket; the test double must behave
// the same way.
TEST_F(WindowRegistryTest, OwnWindowsCloseInTheEventLoopInRealAndFake)
{
    WindowRegistry real(folder_.path());
    promemo::test::FakeWindowRegistry fake;
    for (promemo::IWindowRegistry *registry : {static_cast<promemo::IWindowRegistry *>(&real),
                                               static_cast<promemo::IWindowRegistry *>(&fake)}) {
        std::unique_ptr<RegisteredWindow> notes[3];
        int closes = 0;
        int raises = 0;
        for (auto &note : notes) {
            note = registry->registerWindow(u"PromemoX"_s);
            ASSERT_TRUE(note);
            QObject::connect(note.get(), &RegisteredWindow::raiseRequested, [&raises] { ++raises; });
            QObject::connect(note.get(), &RegisteredWindow::closeRequested, [&note, &closes] {
                ++closes;
                note.reset();
            });
        }
        EXPECT_FALSE(registry->exists(u"Promemo"_s));
        ASSERT_TRUE(registry->raise(u"PromemoX"_s));
        ASSERT_TRUE(registry->postClose(u"PromemoX"_s));
        EXPECT_EQ(closes + raises, 0);
        const QDeadlineTimer deadline(2s);
        while (closes == 0 && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        EXPECT_EQ(raises, 1);
        EXPECT_EQ(std::count(std::begin(notes), std::end(notes), nullptr), 1);

        EXPECT_TRUE(registry->closeAll(u"PromemoX"_s, 2s));
        EXPECT_EQ(closes, 3);
        EXPECT_FALSE(registry->exists(u"PromemoX"_s));
    }
    EXPECT_TRUE(socketPaths(real).isEmpty());
}

TEST_F(WindowRegistryTest, DirectoryIsPrivateAndFollowsTheCanonicalFolder)
{
    WindowRegistry registry(folder_.path());
    ASSERT_TRUE(registry.isUsable());
    EXPECT_TRUE(registry.directory().startsWith(runtime_.path() + u"/promemo/"_s));
    for (const QString &dir : {registry.directory(), QFileInfo(registry.directory()).path()}) {
        struct stat info {};
        ASSERT_EQ(::lstat(QFile::encodeName(dir).constData(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, 0700u) << qPrintable(dir);
    }

    const QString link = runtime_.filePath(u"link"_s);
    ASSERT_TRUE(QFile::link(folder_.path(), link));
    EXPECT_EQ(promemo::registryDirectoryPath(link), registry.directory());
    EXPECT_NE(promemo::registryDirectoryPath(runtime_.path()), registry.directory());

    qunsetenv("XDG_RUNTIME_DIR");
    EXPECT_TRUE(promemo::registryDirectoryPath(folder_.path()).startsWith(u"/tmp/promemo-%1/"_s.arg(::geteuid())));
}

TEST_F(WindowRegistryTest, RefusesADirectoryThatIsNotPrivate)
{
    const QString base = runtime_.filePath(u"promemo"_s);
    const QString hashed = promemo::registryDirectoryPath(folder_.path());
    const QString elsewhere = runtime_.filePath(u"elsewhere"_s);
    const auto makeDir = [](const QString &path, mode_t mode) {
        const QByteArray native = QFile::encodeName(path);
        return ::mkdir(native.constData(), 0700) == 0 && ::chmod(native.constData(), mode) == 0;
    };
    const auto giveAway = [](const QString &path) {
        return ::chown(QFile::encodeName(path).constData(), 65534, 65534) == 0;
    };

    const struct
    {
        const char *name;
        bool needsRoot;
        std::function<bool()> prepare;
    } cases[] = {
        {"base open to others", false, [&] { return makeDir(base, 0750); }},
        {"registry open to all", false, [&] { return makeDir(base, 0700) && makeDir(hashed, 0777); }},
        {"base is a symlink", false, [&] { return QFile::link(elsewhere, base); }},
        {"registry is a symlink", false, [&] { return makeDir(base, 0700) && QFile::link(elsewhere, hashed); }},
        {"base of another user", true, [&] { return makeDir(base, 0700) && giveAway(base); }},
        {"registry of another user", true,
         [&] { return makeDir(base, 0700) && makeDir(hashed, 0700) && giveAway(hashed); }},
    };
    for (const auto &c : cases) {
        if (c.needsRoot && ::geteuid() != 0)
            continue;
        QFile::remove(hashed);
        QFile::remove(base);
        QDir(base).removeRecursively();
        QDir(elsewhere).removeRecursively();
        ASSERT_TRUE(makeDir(elsewhere, 0700) && c.prepare()) << c.name;

        WindowRegistry registry(folder_.path());
        EXPECT_FALSE(registry.isUsable()) << c.name;
        EXPECT_FALSE(registry.registerWindow(u"NotinoTray"_s)) << c.name;
        EXPECT_FALSE(promemo::SingleInstance(folder_.path()).tryAcquire(u"Notino"_s)) << c.name;
        EXPECT_TRUE(QDir(elsewhere).isEmpty()) << c.name;
    }
}

} // namespace
