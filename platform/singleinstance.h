#pragma once

#include <QString>

#include <memory>

class QLockFile;

namespace promemo {

// "Another copy already runs": a lock file per program in the window registry directory of the
// program folder, held for the lifetime of this object. A lock left by a dead process is taken
// over.
class SingleInstance
{
public:
    // An empty folder means the running program's folder.
    explicit SingleInstance(const QString &programFolder = QString());
    ~SingleInstance();
    SingleInstance(const SingleInstance &) = delete;
    SingleInstance &operator=(const SingleInstance &) = delete;

    // True when this is now the only running copy of `program`. False when another copy holds
    // the lock, or when the registry directory is refused (with a warning).
    bool tryAcquire(const QString &program);
    bool isAcquired() const;

private:
    QString m_programFolder;
    std::unique_ptr<QLockFile> m_lock;
};

} // namespace promemo
