#include "atomicfile.h"

#include <QFile>
#include <QLockFile>
#include <QSaveFile>

namespace promemo {

bool writeFileAtomically(const QString &path, const QByteArray &content)
{
    QSaveFile file(path);
    // QSaveFile writes beside the target and renames; it syncs before the rename.
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(content) != content.size()) {
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
    explicit Impl(const QString &path) : lock(path) {}
    QLockFile lock;
    bool locked = false;
};

FileLock::FileLock(const QString &guardedPath, std::chrono::milliseconds timeout)
    : d(new Impl(guardedPath + QStringLiteral(".lock")))
{
    // A lock older than the longest rewrite can only be left by a dead or hung writer.
    d->lock.setStaleLockTime(30000);
    d->locked = d->lock.tryLock(static_cast<int>(timeout.count()));
}

FileLock::~FileLock()
{
    if (d->locked)
        d->lock.unlock();
    delete d;
}

bool FileLock::isLocked() const
{
    return d->locked;
}

} // namespace promemo
