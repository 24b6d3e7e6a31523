#include "platform/clipboardkeeper.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include "common/atomicfile.h"
#include "platform/logging.h"

namespace promemo {

namespace {

QString handOverFolder(const QString &registryFolder)
{
    return QDir(registryFolder).filePath(QStringLiteral("appunti"));
}

QString handOverFile(const QString &registryFolder)
{
    return QDir(handOverFolder(registryFolder)).filePath(QStringLiteral("testo"));
}

} // namespace

void leaveClipboardText(const QString &registryFolder)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (registryFolder.isEmpty() || !clipboard->ownsClipboard())
        return;
    const QString text = clipboard->text();
    if (text.isEmpty() || !QDir().mkpath(handOverFolder(registryFolder)))
        return;
    if (const WriteResult written = writeFileAtomically(handOverFile(registryFolder), text.toUtf8()); !written)
        qCWarning(lcDesktop).noquote() << "Copied text not kept:" << written.error;
}

ClipboardKeeper::ClipboardKeeper(const QString &registryFolder, QObject *parent)
    : QObject(parent), m_folder(registryFolder)
{
    if (m_folder.isEmpty() || !QDir().mkpath(handOverFolder(m_folder)))
        return;
    m_watcher.addPath(handOverFolder(m_folder));
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, &ClipboardKeeper::takeOver);
    takeOver();
}

void ClipboardKeeper::takeOver()
{
    const QString path = handOverFile(m_folder);
    QFile file(path);
    if (!file.exists() || !file.open(QIODevice::ReadOnly))
        return;
    const QString text = QString::fromUtf8(file.readAll());
    file.remove();
    QGuiApplication::clipboard()->setText(text);
}

} // namespace promemo
