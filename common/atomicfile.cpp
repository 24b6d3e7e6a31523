#include "atomicfile.h"

#include <cerrno>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QFile>
#include <QSaveFile>

namespace promemo {

bool writeFileAtomically(const QString &path, const QByteArray &content)
{
    QSaveFile file(path);
    // QSaveFile writes beside the target and renames; it syncs before the rename.
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    // commit() does not notice a flush that fails on close (a full disk): flush first.
    if (file.write(content) != content.size() || !file.flush()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

QByteArray readWholeFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

struct FileLock::Impl
{
    int fd = -1;
};

FileLock::FileLock(const QString &guardedPath, std::chrono::milliseconds timeout) : d(new Impl)
{
    // flock() is released by the kernel when the holder dies, so no lock is ever left stale,
    // and a waiter gets the lock within a few milliseconds of its release.
    const QByteArray lockPath = QFile::encodeName(guardedPath + QStringLiteral(".lock"));
    d->fd = ::open(lockPath.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (d->fd < 0)
        return;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (::flock(d->fd, LOCK_EX | LOCK_NB) != 0) {
        if ((errno != EWOULDBLOCK && errno != EINTR) || std::chrono::steady_clock::now() >= deadline) {
            ::close(d->fd);
            d->fd = -1;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

FileLock::~FileLock()
{
    if (d->fd >= 0)
        ::close(d->fd);
    delete d;
}

bool FileLock::isLocked() const
{
    return d->fd >= 0;
}

} // namespace promemo
