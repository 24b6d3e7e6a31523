#include "common/recoverycopy.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QRandomGenerator>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "common/archive.h"
#include "common/logging.h"
#include "common/records.h"

namespace promemo {
namespace {

constexpr int kNoteFields = 4;
constexpr int kTailFields = 3;
// The last field: a copy without it was cut short.
const QString kEndMark = QStringLiteral("fine");
const QString kSuffix = QStringLiteral(".rec");
constexpr qint64 kMaxCopyBytes = 2 * kMaxNoteFileBytes + 1024;

QByteArray encoded(const QString &path)
{
    return QFile::encodeName(path);
}

QString recoveryFolder(const QString &programFolder)
{
    return QDir(programFolder).filePath(kRecoveryFolderName.toString());
}

// The note file of `bareName` in either state, if one is there.
QString existingInEitherState(const QDir &folder, const QString &bareName)
{
    for (const NoteState state : {NoteState::Shown, NoteState::PutAway}) {
        const std::optional<QString> name = withState(bareName, state);
        if (name && QFileInfo::exists(folder.filePath(*name)))
            return *name;
    }
    return {};
}

bool sameCodes(const NoteName &a, const NoteName &b)
{
    return a.day == b.day && a.colourLetter == b.colourLetter && a.alertMinutes == b.alertMinutes
           && a.sizeLetter == b.sizeLetter;
}

// A note file that already holds what the copy holds: written by a recovery that was cut off
// before it removed the copy.
QString alreadyRecovered(const QDir &folder, const RecoveredNote &copy)
{
    for (const QString &name : folder.entryList({QStringLiteral("*.dat")}, QDir::Files)) {
        const std::optional<NoteName> decoded = decodeNoteName(name);
        if (!decoded || !sameCodes(*decoded, copy.name))
            continue;
        const std::optional<NoteContent> content = readNoteFile(folder.filePath(name));
        if (content && content->text == copy.content.text && content->date == copy.content.date
            && content->alertTime == copy.content.alertTime)
            return name;
    }
    return {};
}

// Removes the note's own file unless a running note program holds it.
void removeUnheld(const QString &path)
{
    const int fd = ::open(encoded(path).constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return;
    if (lockExclusively(fd) && namesOpenFile(path, fd) && ::unlink(encoded(path).constData()) != 0)
        qCWarning(lcFiles).noquote() << fileErrorText(QStringLiteral("Cannot remove"), path, errno);
    ::close(fd);
}

enum class Recovery { Recovered, Dropped, Damaged, InUse };

Recovery recoverOne(const QDir &folder, const QString &copyPath)
{
    const int fd = ::open(encoded(copyPath).constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return Recovery::InUse;
    struct Closer { int fd; ~Closer() { ::close(fd); } } closer{fd};
    // Held by its note program, or replaced by it since it was opened: that note still runs.
    if (!lockExclusively(fd) || !namesOpenFile(copyPath, fd))
        return Recovery::InUse;

    const QFileInfo copyInfo(copyPath);
    const std::optional<RecoveredNote> copy =
        copyInfo.size() <= kMaxCopyBytes ? decodeRecoveryCopy(readWholeFile(copyPath)) : std::nullopt;
    if (!copy) {
        qCWarning(lcFiles).noquote() << "Recovery copy damaged, skipped:" << copyPath;
        return Recovery::Damaged;
    }

    const QString own = copy->currentFile.isEmpty() ? QString()
                                                    : existingInEitherState(folder, copy->currentFile);
    const QString done = alreadyRecovered(folder, *copy);
    Recovery result = Recovery::Recovered;
    if (done.isEmpty()) {
        // The note saved, was put away or deleted after the copy: its file wins.
        const bool ownGone = !copy->currentFile.isEmpty() && own.isEmpty();
        const bool ownNewer = !own.isEmpty()
                              && QFileInfo(folder.filePath(own)).lastModified() > copyInfo.lastModified();
        if (ownGone || ownNewer) {
            result = Recovery::Dropped;
        } else {
            NoteName name = copy->name;
            name.state = NoteState::PutAway;
            QString error;
            if (!NoteFiles{folder.path()}.create(name, copy->content, &error)) {
                qCWarning(lcFiles).noquote() << "Recovery copy not restored:" << error;
                return Recovery::Damaged;
            }
            const QString archive = folder.filePath(QString::fromLatin1(kArchiveFileName));
            if (!prependToArchive(archive, archiveRecordOf(copy->content.date, copy->content.alertTime,
                                                           copy->content.text, copy->content.changed)))
                qCWarning(lcFiles) << "Recovered note not archived:" << archive;
        }
    }
    if (result == Recovery::Recovered && !own.isEmpty() && own != done)
        removeUnheld(folder.filePath(own));
    if (::unlink(encoded(copyPath).constData()) != 0)
        qCWarning(lcFiles).noquote() << fileErrorText(QStringLiteral("Cannot remove"), copyPath, errno);
    return result;
}

} // namespace

QByteArray encodeRecoveryCopy(const RecoveredNote &note)
{
    return encodeNoteFile(note.content)
           + encodeRecord({encodeNoteName(note.name).value_or(QString()), note.currentFile, kEndMark});
}

std::optional<RecoveredNote> decodeRecoveryCopy(const QByteArray &bytes)
{
    // The mark closes the copy: a copy cut short anywhere, even inside the mark, lacks it.
    if (!bytes.endsWith(encodeRecord({kEndMark})))
        return std::nullopt;
    RecordReader reader(bytes);
    const std::optional<QStringList> content = reader.readRecord(kNoteFields);
    const std::optional<QStringList> tail = reader.readRecord(kTailFields);
    if (!content || !tail || tail->at(2) != kEndMark || !reader.atEnd())
        return std::nullopt;
    const std::optional<NoteName> name = decodeNoteName(tail->at(0));
    const QString &currentFile = tail->at(1);
    if (!name || (!currentFile.isEmpty() && !decodeNoteName(currentFile)))
        return std::nullopt;
    return RecoveredNote{{content->at(0), content->at(1), content->at(2), content->at(3)}, *name,
                         currentFile};
}

RecoveryCopy::RecoveryCopy(QString programFolder) : m_folder(std::move(programFolder)) {}

RecoveryCopy::~RecoveryCopy()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

WriteResult RecoveryCopy::write(const RecoveredNote &note)
{
    const QString folder = recoveryFolder(m_folder);
    if (!QDir().mkpath(folder))
        return {fileErrorText(QStringLiteral("Cannot create"), folder, errno)};
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (m_path.isEmpty())
        m_path = QDir(folder).filePath(QStringLiteral("%1-%2%3")
                                           .arg(QCoreApplication::applicationPid())
                                           .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'))
                                           .arg(kSuffix));
    StagedFile staged(folder, encodeRecoveryCopy(note));
    if (!staged.error().isEmpty())
        return {staged.error()};
    // Held before it appears under its name, so the launcher never takes a live note's copy.
    if (!lockExclusively(staged.handle()))
        return {fileErrorText(QStringLiteral("Cannot lock"), m_path, errno)};
    if (const WriteResult replaced = staged.replace(m_path); !replaced)
        return replaced;
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = staged.releaseHandle();
    return {};
}

void RecoveryCopy::remove()
{
    if (m_fd < 0)
        return;
    if (::unlink(encoded(m_path).constData()) != 0 && errno != ENOENT)
        qCWarning(lcFiles).noquote() << fileErrorText(QStringLiteral("Cannot remove"), m_path, errno);
    ::close(m_fd);
    m_fd = -1;
}

RecoveryOutcome recoverAbandonedNotes(const QString &programFolder)
{
    RecoveryOutcome outcome;
    const QDir folder(programFolder);
    const QDir copies(recoveryFolder(programFolder));
    for (const QString &name : copies.entryList({u'*' + kSuffix}, QDir::Files, QDir::Name)) {
        switch (recoverOne(folder, copies.filePath(name))) {
        case Recovery::Recovered: ++outcome.recovered; break;
        case Recovery::Dropped: ++outcome.dropped; break;
        case Recovery::Damaged: ++outcome.damaged; break;
        case Recovery::InUse: break;
        }
    }
    return outcome;
}

} // namespace promemo
