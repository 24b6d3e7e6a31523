// The launcher and the watcher as real programs around the window registry: a watcher that does
// not answer is ended and replaced; without a runtime folder the registry lives in the user's
// home, and a folder that must be refused is said on screen.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/windowregistry.h"
#include "tests/support/programfolder.h"
#include "tests/support/xsession.h"
#include "tests/support/registryrequests.h"

namespace promemo {
namespace {

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

const QString kWatcher = u"NotinoControl"_s;

class RegistryPrograms : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const auto &[name, path] : {std::pair{"Notino", NOTINO_PATH}, {"Vigilo", VIGILO_PATH}})
            ASSERT_TRUE(folder.install(QLatin1String(name), QString::fromUtf8(path)));
        for (const char *name : {"Kundo", "Kespo", "Kalvo", "Kirmo", "Elenko", "Mesaro"})
            folder.put(QLatin1String(name), "#!/bin/sh\n", QFile::ExeOwner);
        folder.put(u"suono.wav"_s, {});
        folder.put(u"Notino.ini"_s, "[Opzioni]\r\nshowelenco=4\r\n");
    }

    // The one watcher running, once it answers; 0 when there is none within `bound`.
    qint64 answeringWatcher(WindowRegistry &registry, qint64 other = 0,
                            std::chrono::milliseconds bound = 25s)
    {
        qint64 pid = 0;
        test::waitFor([&] {
            const QList<qint64> watchers = folder.running(u"Vigilo"_s);
            pid = watchers.size() == 1 && watchers.front() != other ? watchers.front() : 0;
            return pid != 0 && test::exists(registry, kWatcher);
        }, bound);
        return pid;
    }

    test::TemporaryProgramFolder folder;
};

TEST_F(RegistryPrograms, AWatcherThatDoesNotAnswerIsEndedAndReplaced)
{
    QProcess notino;
    folder.start(notino, u"Notino"_s);
    WindowRegistry registry(folder.path());
    const qint64 first = answeringWatcher(registry);
    ASSERT_NE(first, 0);

    // Frozen: its socket still accepts, but nobody answers.
    ::kill(pid_t(first), SIGSTOP);
    const qint64 second = answeringWatcher(registry, first);
    ASSERT_NE(second, 0) << "the frozen watcher was not replaced";
    EXPECT_FALSE(folder.running(u"Vigilo"_s).contains(first));

    // Any program of this user with a socket of that name that never answers goes the same way
    // once no watcher answers.
    QProcess hung;
    hung.start(u"" REGISTRY_PEER ""_s, {u"hang"_s, folder.path(), kWatcher});
    ASSERT_TRUE(hung.waitForReadyRead(5000));
    ::kill(pid_t(second), SIGKILL);
    EXPECT_TRUE(hung.waitForFinished(25000)) << notino.readAllStandardError().toStdString();
    EXPECT_EQ(hung.exitStatus(), QProcess::CrashExit);
    EXPECT_NE(answeringWatcher(registry, second), 0);

    ASSERT_TRUE(test::postClose(registry, u"NotinoTray"_s));
    EXPECT_TRUE(notino.waitForFinished(10000));
}

// Environment of a program started without a runtime folder, with `home` as its home.
QProcessEnvironment withoutRuntimeFolder(const QString &home)
{
    QProcessEnvironment environment;
    environment.insert(u"XDG_RUNTIME_DIR"_s, {});
    environment.insert(u"HOME"_s, home);
    return environment;
}

TEST_F(RegistryPrograms, WithoutARuntimeFolderTheRegistryIsInTheHome)
{
    QTemporaryDir home;
    QProcess notino;
    folder.start(notino, u"Notino"_s, {}, withoutRuntimeFolder(home.path()));

    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    const QByteArray userHome = qgetenv("HOME");
    qputenv("XDG_RUNTIME_DIR", "");
    qputenv("HOME", QFile::encodeName(home.path()));
    WindowRegistry registry(folder.path());
    const QString directory = registry.directory();
    qputenv("XDG_RUNTIME_DIR", runtime);
    qputenv("HOME", userHome);

    EXPECT_TRUE(directory.startsWith(home.path() + u"/.cache/promemo/"_s)) << qPrintable(directory);
    EXPECT_TRUE(test::waitFor(
        [&] { return test::exists(registry, u"NotinoTray"_s) && test::exists(registry, kWatcher); }, 15s));
    for (const QString &made : {QFileInfo(directory).path(), directory}) {
        struct stat info {};
        ASSERT_EQ(::stat(QFile::encodeName(made).constData(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, 0700u) << qPrintable(made);
    }
    ASSERT_TRUE(test::postClose(registry, u"NotinoTray"_s));
    EXPECT_TRUE(notino.waitForFinished(10000));
}

// Another user's folder where the registry must be: the launcher says so on screen and starts
// nothing.
TEST_F(RegistryPrograms, ARefusedRegistryFolderIsSaidOnScreen)
{
    if (const QString tool = test::XSession::missingTool(); !tool.isEmpty())
        GTEST_SKIP() << tool.toStdString() << " is not installed";
    QTemporaryDir home;
    const QByteArray taken = QFile::encodeName(home.filePath(u".cache/promemo"_s));
    ASSERT_TRUE(QDir(home.path()).mkpath(u".cache/promemo"_s));
    // Another user's where that can be made (root), else one open to others.
    const int made = ::geteuid() == 0 ? ::chown(taken.constData(), 65534, 65534)
                                      : ::chmod(taken.constData(), 0777);
    ASSERT_EQ(made, 0);
    test::XSession x;
    ASSERT_TRUE(x.start({1024, 768})) << "Xvfb does not start";

    QProcess notino;
    auto environment = withoutRuntimeFolder(home.path());
    environment.insert(x.environment());
    folder.start(notino, u"Notino"_s, {}, environment);
    QString box;
    EXPECT_TRUE(test::waitFor([&] { return !(box = x.windows(u"^   Promemo$"_s).value(0)).isEmpty(); }, 15s))
        << "no message box";
    // The box waits for the user; nothing else has started.
    EXPECT_EQ(notino.state(), QProcess::Running);
    EXPECT_TRUE(folder.running(u"Vigilo"_s).isEmpty());
    ASSERT_TRUE(x.focus(box));
    x.key(u"Return"_s);
    EXPECT_TRUE(notino.waitForFinished(10000));
    EXPECT_EQ(notino.exitCode(), 1);
    EXPECT_TRUE(notino.readAllStandardError().contains("refused"));
}

} // namespace
} // namespace promemo
