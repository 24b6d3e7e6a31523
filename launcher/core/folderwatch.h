#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QTimer>

namespace promemo::launcher {

// Tells when the program folder (and the files named) changed and things have been quiet for a
// moment since, so that a save made of a rename and a write is seen once, whole.
class FolderWatch final : public QObject
{
    Q_OBJECT
public:
    explicit FolderWatch(const QString &folder, const QStringList &files = {}, QObject *parent = nullptr);

    // A watch on a file ends when the file is replaced or removed: the watch is set again.
    void watchFilesAgain();
    void stop() { m_quiet.stop(); }

signals:
    void settled();

private:
    QFileSystemWatcher m_watcher;
    QStringList m_files;
    QTimer m_quiet;
};

} // namespace promemo::launcher
