#include "launcher/core/folderwatch.h"

#include <QFile>

#include "common/logging.h"

namespace promemo::launcher {

using namespace std::chrono_literals;

FolderWatch::FolderWatch(const QString &folder, const QStringList &files, QObject *parent)
    : QObject(parent), m_files(files)
{
    m_quiet.setSingleShot(true);
    m_quiet.setInterval(300ms);
    connect(&m_quiet, &QTimer::timeout, this, &FolderWatch::settled);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, &m_quiet, qOverload<>(&QTimer::start));
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, &m_quiet, qOverload<>(&QTimer::start));
    if (!m_watcher.addPath(folder))
        qCWarning(lcFiles, "%s is not watched: the files for other programs follow it only at start",
                  qPrintable(folder));
    watchFilesAgain();
}

void FolderWatch::watchFilesAgain()
{
    for (const QString &file : std::as_const(m_files)) {
        if (QFile::exists(file) && !m_watcher.files().contains(file))
            m_watcher.addPath(file);
    }
}

} // namespace promemo::launcher
