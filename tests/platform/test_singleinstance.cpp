#include "platform/singleinstance.h"

#include <optional>
#include <sys/stat.h>
#include <sys/time.h>

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "peerprocess.h"
#include "platform/windowregistry.h"

using namespace Qt::StringLiterals;
using promemo::SingleInstance;
using promemo::test::PeerProcess;

namespace {

class SingleInstanceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(runtime_.isValid() && folder_.isValid());
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime_.path()));
    }

    QTemporaryDir runtime_{QDir::tempPath() + u"/pmr-XXXXXX"_s};
    QTemporaryDir folder_{QDir::tempPath() + u"/pmf-XXXXXX"_s};
};

TEST_F(SingleInstanceTest, SecondCopyEndsWhileTheFirstLivesAndStartsAfterItDied)
{
    PeerProcess first({u"lock"_s, folder_.path(), u"Notino"_s});
    ASSERT_TRUE(first.waitForLine("acquired"));
    PeerProcess second({u"lock"_s, folder_.path(), u"Notino"_s});
    EXPECT_TRUE(second.waitForLine("busy"));
    EXPECT_TRUE(SingleInstance(folder_.path()).tryAcquire(u"Vigilo"_s));

    // However long a live copy has held it, its lock is not stale.
    const QByteArray lockFile = QFile::encodeName(promemo::registryDirectoryPath(folder_.path()) + u"/Notino.lock"_s);
    struct stat info {};
    ASSERT_EQ(::stat(lockFile.constData(), &info), 0);
    const timeval longAgo[2] = {{info.st_mtime - 3600, 0}, {info.st_mtime - 3600, 0}};
    ASSERT_EQ(::utimes(lockFile.constData(), longAgo), 0);
    EXPECT_FALSE(SingleInstance(folder_.path()).tryAcquire(u"Notino"_s));

    // Killed outright, it leaves its lock file behind; the next copy takes it over.
    first.killHard();
    SingleInstance next(folder_.path());
    EXPECT_TRUE(next.tryAcquire(u"Notino"_s));
    EXPECT_TRUE(next.isAcquired());
}

TEST_F(SingleInstanceTest, LockLastsAsLongAsTheObjectAndBelongsToOneFolder)
{
    std::optional<SingleInstance> first(folder_.path());
    ASSERT_TRUE(first->tryAcquire(u"Mesaro"_s));
    SingleInstance second(folder_.path());
    EXPECT_FALSE(second.tryAcquire(u"Mesaro"_s));
    QTemporaryDir otherFolder;
    EXPECT_TRUE(SingleInstance(otherFolder.path()).tryAcquire(u"Mesaro"_s));
    first.reset();
    EXPECT_TRUE(second.tryAcquire(u"Mesaro"_s));

    // A name is never taken as a path.
    for (const QString &name : {QString(), u"../Notino"_s, u"a/b"_s, u" Notino"_s})
        EXPECT_FALSE(SingleInstance(folder_.path()).tryAcquire(name)) << qPrintable(name);
    EXPECT_TRUE(QDir(runtime_.path()).entryList(QDir::Files).isEmpty());
}

} // namespace
