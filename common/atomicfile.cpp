#include "atomicfile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

#include <memory>
#include <vector>

namespace promemo {

namespace {

// Hidden temporaries: ".promemo-" and six random characters.
constexpr auto kTemporaryPrefix = ".promemo-";

QByteArray encoded(const QString &path)
{
    return QFile::encodeName(path);
}

bool writeAll(int fd, const QByteArray &content)
{
    qsizetype written = 0;
    while (written < content.size()) {
        const ssize_t n = ::write(fd, content.constData() + written, size_t(content.size() - written));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        written += n;
    }
    return true;
}


// The process's umask, read once: a new file gets the permissions a plain create would give.
mode_t creationMask()
{
    static const mode_t mask = [] {
        const mode_t current = ::umask(0);
        ::umask(current);
        return current;
    }();
    return mask;
}

} // namespace

void syncFolder(const QString &folder)
{
    const int fd = ::open(encoded(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

QString systemErrorText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

QString fileErrorText(const QString &what, const QString &path, int error)
{
    return QStringLiteral("%1 %2: %3").arg(what, QDir::toNativeSeparators(path), systemErrorText(error));
}

StagedFile::StagedFile(const QString &folder, const QByteArray &content, Sync sync) : m_folder(folder)
{
    QByteArray pattern = encoded(QDir(folder).filePath(QLatin1String(kTemporaryPrefix))) + "XXXXXX";
    m_fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (m_fd < 0) {
        m_error = fileErrorText(QStringLiteral("Impossibile creare un file in"), folder, errno);
        return;
    }
    m_path = QFile::decodeName(pattern);
    ::fchmod(m_fd, 0666 & ~creationMask());
    if (!writeAll(m_fd, content) || (sync == Sync::Now && ::fsync(m_fd) != 0)) {
        m_error = fileErrorText(QStringLiteral("Impossibile scrivere in"), folder, errno);
        ::close(m_fd);
        m_fd = -1;
        ::unlink(pattern.constData());
    }
}

StagedFile::~StagedFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
    if (!m_published && !m_path.isEmpty())
        ::unlink(encoded(m_path).constData());
}

WriteResult StagedFile::replace(const QString &path)
{
    const WriteResult renamed = replaceUnsynced(path);
    if (renamed)
        syncFolder(m_folder);
    return renamed;
}

WriteResult StagedFile::replaceUnsynced(const QString &path)
{
    if (!m_error.isEmpty())
        return {m_error};
    if (::rename(encoded(m_path).constData(), encoded(path).constData()) != 0)
        return {fileErrorText(QStringLiteral("Impossibile scrivere"), path, errno)};
    m_published = true;
    return {};
}

StagedFile::Publish StagedFile::publishNew(const QString &path, QString *error, Sync folderSync)
{
    if (!m_error.isEmpty()) {
        if (error)
            *error = m_error;
        return Publish::Failed;
    }
    if (!renameWithoutReplacing(m_path, path)) {
        if (errno == EEXIST)
            return Publish::NameTaken;
        if (error)
            *error = fileErrorText(QStringLiteral("Impossibile scrivere"), path, errno);
        return Publish::Failed;
    }
    m_published = true;
    if (folderSync == Sync::Now)
        syncFolder(m_folder);
    return Publish::Done;
}

int StagedFile::releaseHandle()
{
    const int fd = m_fd;
    m_fd = -1;
    return fd;
}

WriteResult writeFileAtomically(const QString &path, const QByteArray &content)
{
    const QByteArray target = encoded(path);
    struct stat existing {};
    const bool exists = ::stat(target.constData(), &existing) == 0;
    // A file its owner made read-only stays as it is.
    if (exists && ::access(target.constData(), W_OK) != 0)
        return {fileErrorText(QStringLiteral("Impossibile scrivere"), path, errno)};
    StagedFile staged(QFileInfo(path).absolutePath(), content);
    if (exists && staged.error().isEmpty())
        ::fchmod(staged.handle(), existing.st_mode & 07777);
    return staged.replace(path);
}

QStringList writeFilesAtomically(const QList<std::pair<QString, QByteArray>> &files)
{
    QStringList errors;
    std::vector<std::pair<QString, std::unique_ptr<StagedFile>>> staged;
    for (const auto &[path, content] : files) {
        const QByteArray target = encoded(path);
        struct stat existing {};
        const bool exists = ::stat(target.constData(), &existing) == 0;
        if (exists && ::access(target.constData(), W_OK) != 0) {
            errors.append(fileErrorText(QStringLiteral("Impossibile scrivere"), path, errno));
            continue;
        }
        auto file = std::make_unique<StagedFile>(QFileInfo(path).absolutePath(), content, StagedFile::Sync::Later);
        if (!file->error().isEmpty()) {
            errors.append(file->error());
            continue;
        }
        if (exists)
            ::fchmod(file->handle(), existing.st_mode & 07777);
        staged.emplace_back(path, std::move(file));
    }
    if (staged.empty())
        return errors;
    // Every content on disk before any name points at it.
    if (::syncfs(staged.front().second->handle()) != 0) {
        errors.append(fileErrorText(QStringLiteral("Impossibile scrivere in"),
                                    QFileInfo(staged.front().first).absolutePath(), errno));
        return errors;
    }
    QSet<QString> folders;
    for (auto &[path, file] : staged) {
        if (const WriteResult renamed = file->replaceUnsynced(path); !renamed)
            errors.append(renamed.error);
        folders.insert(QFileInfo(path).absolutePath());
    }
    for (const QString &folder : std::as_const(folders))
        syncFolder(folder);
    return errors;
}

bool renameWithoutReplacing(const QString &from, const QString &to)
{
    const QByteArray source = encoded(from);
    const QByteArray target = encoded(to);
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP)
        return false;
    // A file system without the flag: a hard link fails on a taken name just as atomically.
    if (::link(source.constData(), target.constData()) != 0)
        return false;
    ::unlink(source.constData());
    return true;
}

QByteArray readWholeFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

bool isSuiteTemporaryName(const QString &bareName)
{
    // Earlier writers put "<data file>.XXXXXX" beside the data files, and lock files in view.
    static const QRegularExpression names(QStringLiteral(
        "^(\\.promemo-[A-Za-z0-9]{6}"
        "|(archivio\\.dat|arch\\.dat|Notino\\.ini|rico\\.dat|ricf\\.dat|rubri\\.dat"
        "|[no][0-9]+[avhbdk][0-9]{4}[snm][0-9]{5}\\.dat)\\.[A-Za-z0-9]{6}"
        "|(archivio\\.dat|Notino\\.ini)\\.lock)$"));
    return names.match(bareName).hasMatch();
}

int removeStaleTemporaries(const QString &folder, std::chrono::seconds minimumAge)
{
    // File ages are the file system's, not the user's date: the real wall clock.
    const QDateTime olderThan = QDateTime::currentDateTimeUtc().addSecs(-minimumAge.count());
    int removed = 0;
    const auto entries = QDir(folder).entryInfoList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo &entry : entries) {
        if (!isSuiteTemporaryName(entry.fileName()) || entry.isSymLink())
            continue;
        if (entry.lastModified() < olderThan && QFile::remove(entry.filePath()))
            ++removed;
    }
    return removed;
}

bool lockExclusively(int fd)
{
    int result;
    do
        result = ::flock(fd, LOCK_EX | LOCK_NB);
    while (result != 0 && errno == EINTR);
    return result == 0;
}

bool namesOpenFile(const QString &path, int fd)
{
    struct stat byName {};
    struct stat byHandle {};
    return ::stat(encoded(path).constData(), &byName) == 0 && ::fstat(fd, &byHandle) == 0
           && byName.st_dev == byHandle.st_dev && byName.st_ino == byHandle.st_ino;
}

FileLock::FileLock(const QString &guardedPath, std::chrono::milliseconds timeout)
{
    // flock() is released by the kernel when the holder dies, so no lock is ever left stale,
    // and a waiter gets the lock within a few milliseconds of its release.
    const QFileInfo guarded(guardedPath);
    const QString lockPath = guarded.dir().filePath(QLatin1Char('.') + guarded.fileName()
                                                    + QStringLiteral(".lock"));
    m_fd = ::open(encoded(lockPath).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m_fd < 0)
        return;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (::flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
        if ((errno != EWOULDBLOCK && errno != EINTR) || std::chrono::steady_clock::now() >= deadline) {
            ::close(m_fd);
            m_fd = -1;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

FileLock::~FileLock()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool FileLock::isLocked() const
{
    return m_fd >= 0;
}

} // namespace promemo
