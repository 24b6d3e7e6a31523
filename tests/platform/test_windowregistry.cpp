#include "platform/windowregistry.h"

#include <algorithm>
#include <functional>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include "platform/singleinstance.h"
#include "tests/support/fakewindowregistry.h"

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;
using namespace promemo;

namespace {

// A registry_peer started by a test; killed when the test ends.
struct Peer
{
    explicit Peer(const QStringList &args) { process.start(QStringLiteral(REGISTRY_PEER), args); }
    ~Peer() { kill(); }
    // SIGKILL: the peer cannot clean up after itself.
    void kill() { process.kill(), process.waitForFinished(2000); }
    bool waitForExit(std::chrono::milliseconds ms)
    {
        return process.state() == QProcess::NotRunning || process.waitForFinished(int(ms.count()));
    }
    int timesSaid(const QByteArray &line)
    {
        output += process.readAllStandardOutput();
        return int(output.split('\n').count(line));
    }
    // Waits until the peer printed `line`, at most five seconds.
    bool waitForLine(const QByteArray &line)
    {
        for (const QDeadlineTimer limit(5s); timesSaid(line) == 0; process.waitForReadyRead(100)) {
            if (limit.hasExpired() || process.state() == QProcess::NotRunning)
                return false;
        }
        return true;
    }

    QProcess process;
    QByteArray output;
};

// Each test has its own runtime folder and program folder, so tests may run in parallel.
class WindowRegistryTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(runtimeDir.isValid() && folder.isValid());
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtimeDir.path()));
    }
    Peer &startPeer(const char *mode, const QString &name, const char *says = "ready")
    {
        peers.emplace_back(new Peer({QLatin1String(mode), folder.path(), name}));
        EXPECT_TRUE(peers.back()->waitForLine(says)) << mode;
        return *peers.back();
    }
    QFileInfoList sockets() const
    {
        return QDir(registryDirectoryPath(folder.path())).entryInfoList({u"w-*"_s}, QDir::System);
    }

    QTemporaryDir runtimeDir{QDir::tempPath() + u"/pmr-XXXXXX"_s};
    QTemporaryDir folder{QDir::tempPath() + u"/pmf-XXXXXX"_s};
    std::vector<std::unique_ptr<Peer>> peers;
};

TEST_F(WindowRegistryTest, FindsAndRaisesOnlyTheExactCaptionInTheSameFolder)
{
    Peer &peer = startPeer("window", u"NotinoControl"_s);
    WindowRegistry registry(folder.path());
    EXPECT_TRUE(test::exists(registry, u"NotinoControl"_s));
    ASSERT_TRUE(test::raise(registry, u"NotinoControl"_s));
    EXPECT_TRUE(peer.waitForLine("raise"));
    for (const QString &nearMiss : {u" NotinoControl"_s, u"NotinoControl "_s, u"notinocontrol"_s})
        EXPECT_FALSE(test::exists(registry, nearMiss)) << '"' << qPrintable(nearMiss) << '"';
    // Another folder is another installation; a symlink to this one is the same.
    QTemporaryDir otherFolder;
    WindowRegistry other(otherFolder.path());
    EXPECT_FALSE(test::exists(other, u"NotinoControl"_s));
    const QString link = runtimeDir.filePath(u"link"_s);
    ASSERT_TRUE(QFile::link(folder.path(), link));
    WindowRegistry linked(link);
    EXPECT_TRUE(test::exists(linked, u"NotinoControl"_s));
}

// The calendar's caption carries the day it was opened; it is found by the part before the date.
TEST_F(WindowRegistryTest, ListsTheCaptionsBeginningWithAPrefixEachOnceInRealAndFake)
{
    const QString calendar = u" Calendario di Promemo - venerdì 4 dicembre 2026"_s;
    const QString own = u" Calendario di Promemo - sabato 5 dicembre 2026"_s;
    WindowRegistry real(folder.path());
    test::FakeWindowRegistry fake;
    for (const QString &caption : {calendar, u"PromemoX"_s, u"PromemoX"_s}) {
        startPeer("window", caption);
        fake.addWindow(caption);
    }
    const auto ownReal = real.registerWindow(own), ownFake = fake.registerWindow(own);
    for (IWindowRegistry *registry : std::initializer_list<IWindowRegistry *>{&real, &fake}) {
        QStringList calendars = test::captionsStartingWith(*registry, u" Calendario di Promemo - "_s);
        calendars.sort();
        EXPECT_EQ(calendars, (QStringList{own, calendar}));
        EXPECT_EQ(test::captionsStartingWith(*registry, u"Promemo"_s), QStringList{u"PromemoX"_s});
        EXPECT_TRUE(test::captionsStartingWith(*registry, u"Calendario"_s).isEmpty());
    }
}

TEST_F(WindowRegistryTest, PostCloseClosesOneWindowAndCloseAllTheRest)
{
    for (int i = 0; i < 3; ++i)
        startPeer("window", u"PromemoX"_s);
    WindowRegistry registry(folder.path());
    ASSERT_TRUE(test::postClose(registry, u"PromemoX"_s));
    qsizetype gone = 0;
    for (const QDeadlineTimer deadline(5s); gone == 0 && !deadline.hasExpired();)
        gone = std::ranges::count_if(peers, [](auto &peer) { return peer->waitForExit(10ms); });
    EXPECT_EQ(std::pair(gone, sockets().size()), std::pair(qsizetype(1), qsizetype(2)));

    EXPECT_TRUE(test::closeAllAndWait(registry, u"PromemoX"_s, 5s));
    for (const auto &peer : peers) {
        EXPECT_TRUE(peer->waitForExit(2s));
        EXPECT_EQ(peer->timesSaid("close"), 1);
    }

    // An owner that drops its registration at once still has the request confirmed.
    Peer &dropping = startPeer("drop", u"Rubrica"_s);
    EXPECT_TRUE(test::postClose(registry, u"Rubrica"_s));
    EXPECT_TRUE(dropping.waitForExit(2s));
}

// Windows of the calling program are reached without a socket; the test double must behave
// the same way. Requests arrive from the event loop, so a slot may destroy its window.
TEST_F(WindowRegistryTest, OwnWindowsGetRequestsFromTheEventLoopInRealAndFake)
{
    WindowRegistry real(folder.path());
    test::FakeWindowRegistry fake;
    for (IWindowRegistry *registry : std::initializer_list<IWindowRegistry *>{&real, &fake}) {
        std::unique_ptr<RegisteredWindow> notes[3];
        int closes = 0;
        for (auto &note : notes) {
            note = registry->registerWindow(u"PromemoX"_s);
            ASSERT_TRUE(note);
            QObject::connect(note.get(), &RegisteredWindow::closeRequested, [&note, &closes] {
                ++closes;
                note.reset();
            });
        }
        bool delivered = false;
        registry->postClose(u"PromemoX"_s, nullptr, [&delivered](bool done) { delivered = done; });
        EXPECT_EQ(closes, 0);
        for (const QDeadlineTimer deadline(2s); closes == 0 && !deadline.hasExpired();)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        EXPECT_EQ(std::pair(delivered, std::count(std::begin(notes), std::end(notes), nullptr)), std::pair(true, std::ptrdiff_t(1)));
        EXPECT_TRUE(test::closeAllAndWait(*registry, u"PromemoX"_s, 2s));
        EXPECT_EQ(closes, 3);
        EXPECT_FALSE(test::exists(*registry, u"PromemoX"_s));
    }
    EXPECT_TRUE(sockets().isEmpty());
}

// The folders it makes private (0700) are checked through the programs.
TEST_F(WindowRegistryTest, RefusesADirectoryThatIsNotPrivate)
{
    const QString hashed = registryDirectoryPath(folder.path());
    const QString base = QFileInfo(hashed).path();
    const QString other = runtimeDir.filePath(u"elsewhere"_s);
    const auto make = [](const QString &path, mode_t mode, uid_t owner = ::geteuid()) {
        const QByteArray native = QFile::encodeName(path);
        return ::mkdir(native.constData(), 0700) == 0 && ::chmod(native.constData(), mode) == 0
               && ::chown(native.constData(), owner, gid_t(-1)) == 0;
    };
    const struct { const char *name; std::function<bool()> prepare; bool root = false; } cases[] = {
        {"base open to others", [&] { return make(base, 0750); }},
        {"registry is a symlink", [&] { return make(base, 0700) && QFile::link(other, hashed); }},
        {"registry of another user", [&] { return make(base, 0700) && make(hashed, 0700, 65534); },
         true},
    };
    for (const auto &c : cases) {
        if (c.root && ::geteuid() != 0)
            continue;
        QDir(runtimeDir.path()).removeRecursively();
        ASSERT_TRUE(make(runtimeDir.path(), 0700) && make(other, 0700) && c.prepare()) << c.name;
        EXPECT_FALSE(WindowRegistry(folder.path()).registerWindow(u"NotinoTray"_s)) << c.name;
        EXPECT_FALSE(SingleInstance(folder.path()).tryAcquire(u"Notino"_s)) << c.name;
        EXPECT_TRUE(QDir(other).isEmpty()) << c.name;
    }
}

// Hung owners do not hold the caller beyond the bound. The launcher's check of the
// watcher: every window is asked at once, the caller's event loop runs meanwhile, and the owners
// of those that do not answer in time are named.
TEST_F(WindowRegistryTest, HungOwnersDoNotHoldTheCallerAndAreNamedByThePresenceCheck)
{
    Peer &hung = startPeer("hang", u"NotinoControl"_s);
    startPeer("window", u"NotinoControl"_s).kill();
    WindowRegistry registry(folder.path(), {.connect = 200ms, .reply = 300ms});
    // Hung is not gone: the launcher must not start a second watcher beside it.
    EXPECT_TRUE(test::exists(registry, u"NotinoControl"_s));
    EXPECT_FALSE(test::postClose(registry, u"NotinoControl"_s));
    EXPECT_FALSE(test::closeAllAndWait(registry, u"NotinoControl"_s, 400ms));
    QObject context;
    const auto check = [&](const QString &caption) {
        std::optional<WindowPresence> found;
        int ticks = 0;
        QTimer ticker;
        QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
        ticker.start(10);
        registry.checkPresence(caption, &context, [&](const WindowPresence &p) { found = p; });
        EXPECT_FALSE(found);
        for (const QDeadlineTimer limit(3s); !found && !limit.hasExpired();)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        return std::pair(found.value_or(WindowPresence{true, {-1}}), ticks);
    };
    const auto [notAnswered, ticks] = check(u"NotinoControl"_s);
    EXPECT_EQ(std::pair(notAnswered.answered, notAnswered.unanswering),
              std::pair(false, QList<qint64>{hung.process.processId()}));
    EXPECT_GE(ticks, 10);
    // The killed owner's entry went on the way.
    EXPECT_EQ(sockets().size(), 1);

    const auto own = registry.registerWindow(u"NotinoControl"_s);
    EXPECT_TRUE(check(u"NotinoControl"_s).first.answered);
    const WindowPresence none = check(u"Rubrica"_s).first;
    EXPECT_TRUE(!none.answered && none.unanswering.isEmpty());
}

// A window that deregisters while a request waits for it is gone, not hung: the caller learns
// it at once, though its program lives on, and does not name it as not answering.
TEST_F(WindowRegistryTest, AWindowLeavingWhileAskedIsGoneNotUnanswering)
{
    Peer &leaving = startPeer("leave", u"NotinoControl"_s);
    WindowRegistry registry(folder.path(), {.connect = 2s, .reply = 3s});
    ASSERT_TRUE(test::postClose(registry, u"NotinoControl"_s));
    ASSERT_TRUE(leaving.waitForLine("close"));
    // Asked while it is busy: the request waits until it drops its registration.
    QElapsedTimer asked;
    asked.start();
    const auto presence = test::waitForAnswer<WindowPresence>(
        [&](QObject *context, auto done) { registry.checkPresence(u"NotinoControl"_s, context, done); },
        10s, WindowPresence{true, {-1}});
    EXPECT_EQ(std::pair(presence.answered, presence.unanswering), std::pair(false, QList<qint64>{}));
    EXPECT_LT(asked.elapsed(), 2000);
    EXPECT_FALSE(leaving.waitForExit(0ms));
    EXPECT_TRUE(sockets().isEmpty());
}

// Every window of a caption with a state tells it, this program's own included, in the real
// registry and in the fake.
TEST_F(WindowRegistryTest, StatesOfACaptionAreToldByTheWindowsThatHaveOne)
{
    WindowRegistry real(folder.path());
    test::FakeWindowRegistry fake;
    Peer &telling = startPeer("state", u"PromemoX"_s);
    startPeer("window", u"PromemoX"_s);
    startPeer("state", u"Rubrica"_s);
    const QByteArray told = "state of " + QByteArray::number(telling.process.processId());
    fake.addWindow(u"PromemoX"_s, told);
    fake.addWindow(u"PromemoX"_s);
    fake.addWindow(u"Rubrica"_s, "other");
    for (IWindowRegistry *registry : std::initializer_list<IWindowRegistry *>{&real, &fake}) {
        const auto own = registry->registerWindow(u"PromemoX"_s);
        const auto silent = registry->registerWindow(u"PromemoX"_s);
        QByteArray mine = "mine";
        own->setState([&mine] { return mine; });
        const auto states = [&] {
            QByteArrayList all = test::waitForAnswer<QByteArrayList>(
                [&](QObject *context, auto done) { registry->statesOf(u"PromemoX"_s, context, done); }, 5s);
            std::ranges::sort(all);
            return all;
        };
        EXPECT_EQ(states(), (QByteArrayList{"mine", told}));
        // Read at each request.
        mine.clear();
        EXPECT_EQ(states(), QByteArrayList{told});
    }
}

TEST_F(WindowRegistryTest, SecondCopyFailsWhileTheFirstLivesAndSucceedsOnceItEnded)
{
    Peer &first = startPeer("lock", u"Notino"_s, "acquired");
    startPeer("lock", u"Notino"_s, "busy");
    EXPECT_TRUE(SingleInstance(folder.path()).tryAcquire(u"Vigilo"_s));

    // Killed outright, it leaves its lock file behind; the next copy takes it over and holds
    // it as long as it lives.
    first.kill();
    {
        SingleInstance next(folder.path());
        ASSERT_TRUE(next.tryAcquire(u"Notino"_s));
        EXPECT_FALSE(SingleInstance(folder.path()).tryAcquire(u"Notino"_s));
    }
    EXPECT_TRUE(SingleInstance(folder.path()).tryAcquire(u"Notino"_s));
    // A name is never taken as a path.
    for (const QString &name : {QString(), u"../Vigilo"_s, u"a/b"_s, u" Vigilo"_s})
        EXPECT_FALSE(SingleInstance(folder.path()).tryAcquire(name)) << qPrintable(name);
}

} // namespace
