#include "platform/singleinstance.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "peerprocess.h"
#include "platform/windowregistry.h"

#include <gtest/gtest.h>

#include <optional>
#include <sys/stat.h>
#include <sys/time.h>

using promemo::SingleInstance;
using promemo::test::PeerProcess;

namespace {

class SingleInstanceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(runtime_.isValid());
        ASSERT_TRUE(folder_.isValid());
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime_.path()));
    }

    QTemporaryDir runtime_{QDir::tempPath() + QStringLiteral("/pmr-XXXXXX")};
    QTemporaryDir folder_{QDir::tempPath() + QStringLiteral("/pmf-XXXXXX")};
};

TEST_F(SingleInstanceTest, SecondCopyEndsWhileTheFirstLivesAndStartsAfterItDied)
{
    PeerProcess first({QStringLiteral("lock"), folder_.path(), QStringLiteral("Notino")});
    ASSERT_TRUE(first.waitForLine("acquired"));

    PeerProcess second({QStringLiteral("lock"), folder_.path(), QStringLiteral("Notino")});
    EXPECT_TRUE(second.waitForLine("busy"));
    EXPECT_FALSE(SingleInstance(folder_.path()).tryAcquire(QStringLiteral("Notino")));
    EXPECT_TRUE(SingleInstance(folder_.path()).tryAcquire(QStringLiteral("Vigilo")));

    // A lock held for a long time is not stale while its owner lives.
    const QString lockFile = promemo::registryDirectoryPath(folder_.path()) + QStringLiteral("/Notino.lock");
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(lockFile).constData(), &info), 0);
    const struct timeval longAgo[2] = {{info.st_mtime - 3600, 0}, {info.st_mtime - 3600, 0}};
    ASSERT_EQ(::utimes(QFile::encodeName(lockFile).constData(), longAgo), 0);
    EXPECT_FALSE(SingleInstance(folder_.path()).tryAcquire(QStringLiteral("Notino")));

    // Killed outright, it leaves its lock file behind; the next copy takes it over.
    first.killHard();
    SingleInstance next(folder_.path());
    EXPECT_TRUE(next.tryAcquire(QStringLiteral("Notino")));
    EXPECT_TRUE(next.isAcquired());
}

TEST_F(SingleInstanceTest, LockLivesAsLongAsTheObjectAndPerFolder)
{
    std::optional<SingleInstance> first(folder_.path());
    ASSERT_TRUE(first->tryAcquire(QStringLiteral("Mesaro")));
    SingleInstance second(folder_.path());
    EXPECT_FALSE(second.tryAcquire(QStringLiteral("Mesaro")));
    EXPECT_FALSE(second.isAcquired());

    QTemporaryDir otherFolder;
    EXPECT_TRUE(SingleInstance(otherFolder.path()).tryAcquire(QStringLiteral("Mesaro")));

    first.reset();
    EXPECT_TRUE(second.tryAcquire(QStringLiteral("Mesaro")));
}

TEST_F(SingleInstanceTest, RefusesNamesThatAreNotPlain)
{
    for (const char *name : {"", "../Notino", "a/b", "Notino.lock/..", " Notino"})
        EXPECT_FALSE(SingleInstance(folder_.path()).tryAcquire(QString::fromUtf8(name))) << name;
    EXPECT_TRUE(QDir(runtime_.path()).entryList(QDir::Files).isEmpty());
}

} // namespace
