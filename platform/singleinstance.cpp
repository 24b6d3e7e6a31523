#include "singleinstance.h"

#include "platform/logging.h"

#include <QLockFile>
#include <QRegularExpression>

#include "common/programfolder.h"
#include "platform/windowregistry.h"

namespace promemo {
namespace {

bool isPlainProgramName(const QString &program)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_-]{1,64}$"));
    return plain.match(program).hasMatch();
}

} // namespace

SingleInstance::SingleInstance(const QString &programFolder)
    : m_programFolder(programFolder.isEmpty() ? promemo::programFolder() : programFolder)
{
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::tryAcquire(const QString &program)
{
    if (isAcquired())
        return true;
    if (!isPlainProgramName(program)) {
        qCWarning(lcRegistry, "single instance: bad program name %s", qPrintable(program));
        return false;
    }
    const QString directory = openRegistryDirectory(m_programFolder);
    if (directory.isEmpty())
        return false;
    auto lock = std::make_unique<QLockFile>(directory + QLatin1Char('/') + program
                                            + QStringLiteral(".lock"));
    // Only a dead owner makes a lock stale, however long a live one has held it.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0))
        return false;
    m_lock = std::move(lock);
    return true;
}

bool SingleInstance::isAcquired() const
{
    return m_lock && m_lock->isLocked();
}

} // namespace promemo
