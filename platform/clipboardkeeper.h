#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QString>

// Text copied from a note outlives the note. Without a clipboard manager the clipboard's text
// goes with the program that owns it, so a note that still owns it when it ends leaves the text
// in the registry folder, and the launcher, which outlives every note, takes it over.
namespace promemo {

// At a note's end: leaves the clipboard's text for the launcher when this program owns it.
void leaveClipboardText(const QString &registryFolder);

// The launcher's side: owns the clipboard's text that a note left.
class ClipboardKeeper final : public QObject
{
    Q_OBJECT
public:
    explicit ClipboardKeeper(const QString &registryFolder, QObject *parent = nullptr);

private:
    void takeOver();

    QString m_folder;
    QFileSystemWatcher m_watcher;
};

} // namespace promemo
