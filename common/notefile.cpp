#include "notefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "atomicfile.h"
#include "notename.h"
#include "records.h"

namespace promemo {
namespace {

constexpr int kNoteFields = 4;

QString pathIn(const QString &folder, const QString &name)
{
    return QDir(folder).filePath(name);
}

} // namespace

QByteArray encodeNoteFile(const NoteContent &note)
{
    return encodeRecord({note.text, note.date, note.alertTime, note.changed});
}

NoteContent decodeNoteFile(const QByteArray &bytes)
{
    RecordReader reader(bytes);
    const QStringList fields = reader.readRecord(kNoteFields).value_or(QStringList(kNoteFields));
    return {fields[0], fields[1], fields[2], fields[3]};
}

std::optional<NoteContent> readNoteFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return decodeNoteFile(bytes);
}

bool writeNoteFile(const QString &path, const NoteContent &note)
{
    return writeFileAtomically(path, encodeNoteFile(note));
}

bool isBareFileName(const QString &name)
{
    return !name.isEmpty() && !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\'))
           && name != QLatin1String(".") && name != QLatin1String("..");
}

bool replaceNoteFile(const QString &folder, const QString &previousName, const QString &newName,
                     const NoteContent &note)
{
    if (!isBareFileName(newName))
        return false;
    if (!writeNoteFile(pathIn(folder, newName), note))
        return false;
    if (previousName != newName && isBareFileName(previousName)) {
        const QString previousPath = pathIn(folder, previousName);
        // Only a regular file can be a note; never follow a name onto a folder.
        if (QFileInfo(previousPath).isFile())
            QFile::remove(previousPath);
    }
    return true;
}

bool putNoteAway(const QString &folder, const QString &name)
{
    const auto target = withState(name, NoteState::PutAway);
    if (!target)
        return false;
    const QString source = pathIn(folder, name);
    if (!QFileInfo(source).isFile())
        return false;
    if (*target == name)
        return true;
    // QFile::rename refuses an existing target, so a note put away in the same second under the
    // same codes is never overwritten.
    return QFile::rename(source, pathIn(folder, *target));
}

} // namespace promemo
