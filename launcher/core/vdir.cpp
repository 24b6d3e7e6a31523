#include "launcher/core/vdir.h"

#include <QDir>
#include <QFile>
#include <QSet>

#include "common/atomicfile.h"
#include "common/logging.h"
#include "launcher/core/identitymap.h"

namespace promemo::launcher {
namespace {

QByteArray withoutStamp(const QByteArray &item)
{
    QByteArray out;
    out.reserve(item.size());
    for (const QByteArray &line : item.split('\n')) {
        if (!line.startsWith("DTSTAMP"))
            out += line + '\n';
    }
    return out;
}

// The suite's own item files in `folder`, by UID.
QStringList suiteItems(const QDir &folder, QStringView extension)
{
    QStringList uids;
    for (const QString &name : folder.entryList({u'*' + extension.toString()}, QDir::Files)) {
        const QString uid = name.chopped(extension.size());
        if (isSuiteUid(uid))
            uids.append(uid);
    }
    return uids;
}

bool removeItem(const QDir &folder, const QString &name, VdirResult &result)
{
    if (QFile::remove(folder.filePath(name))) {
        ++result.removed;
        return true;
    }
    result.errors.append(fileErrorText(QStringLiteral("cannot remove"), folder.filePath(name), errno));
    return false;
}

} // namespace

bool sameItem(const QByteArray &a, const QByteArray &b)
{
    return a == b || withoutStamp(a) == withoutStamp(b);
}

VdirResult keepVdir(const QString &folderPath, QStringView extension, const QList<VdirItem> &items)
{
    VdirResult result;
    const QDir folder(folderPath);
    if (!folder.exists() && !QDir().mkpath(folderPath)) {
        result.errors.append(fileErrorText(QStringLiteral("cannot create"), folderPath, errno));
        return result;
    }
    QSet<QString> kept;
    QList<std::pair<QString, QByteArray>> changed;
    for (const VdirItem &item : items) {
        kept.insert(item.uid);
        const QString path = folder.filePath(item.uid + extension.toString());
        if (QFile::exists(path) && sameItem(readWholeFile(path), item.content))
            continue;
        changed.append({path, item.content});
    }
    result.errors = writeFilesAtomically(changed);
    result.written = int(changed.size() - result.errors.size());
    for (const QString &uid : suiteItems(folder, extension)) {
        if (!kept.contains(uid))
            removeItem(folder, uid + extension.toString(), result);
    }
    for (const QString &error : std::as_const(result.errors))
        qCWarning(lcFiles).noquote() << error;
    return result;
}

VdirResult clearVdir(const QString &folderPath, QStringView extension)
{
    VdirResult result;
    QDir folder(folderPath);
    if (!folder.exists())
        return result;
    for (const QString &uid : suiteItems(folder, extension))
        removeItem(folder, uid + extension.toString(), result);
    // Only an empty folder goes: whatever another program keeps there stays.
    folder.rmdir(folderPath);
    for (const QString &error : std::as_const(result.errors))
        qCWarning(lcFiles).noquote() << error;
    return result;
}

} // namespace promemo::launcher
