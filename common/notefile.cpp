#include "notefile.h"

#include <cerrno>
#include <memory>
#include <vector>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "atomicfile.h"
#include "logging.h"
#include "records.h"

namespace promemo {
namespace {

constexpr int kNoteFields = 4;
// One name a second for a whole day: every stamp has been tried.
constexpr int kStampsPerDay = 24 * 60 * 60;

QByteArray encoded(const QString &path)
{
    return QFile::encodeName(path);
}

std::optional<QByteArray> readAll(int fd, qint64 size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    qint64 done = 0;
    while (done < size) {
        const ssize_t n = ::pread(fd, bytes.data() + done, size_t(size - done), done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return std::nullopt;
        if (n == 0)
            break;
        done += n;
    }
    bytes.truncate(done);
    return bytes;
}

enum class Attempt { Done, NameTaken, Failed };

// Tries `attempt` on `first`, then on each next stamp while the name is taken, until every second
// of the day has been tried. Returns the name it succeeded with.
template <typename Attempt_>
std::optional<QString> onFreeName(const QString &first, Attempt_ attempt)
{
    QString candidate = first;
    for (int tried = 0; tried < kStampsPerDay; ++tried, candidate = *withNextStamp(candidate)) {
        switch (attempt(candidate)) {
        case Attempt::Done:
            return candidate;
        case Attempt::Failed:
            return std::nullopt;
        case Attempt::NameTaken:
            break;
        }
    }
    return std::nullopt;
}

QString noFreeName(const QString &folder)
{
    return QStringLiteral("Nessun nome libero per il Notino in %1").arg(QDir::toNativeSeparators(folder));
}

Attempt publish(StagedFile &staged, const QString &path, QString *error,
                StagedFile::Sync folderSync = StagedFile::Sync::Now)
{
    switch (staged.publishNew(path, error, folderSync)) {
    case StagedFile::Publish::Done:
        return Attempt::Done;
    case StagedFile::Publish::NameTaken:
        return Attempt::NameTaken;
    case StagedFile::Publish::Failed:
        break;
    }
    return Attempt::Failed;
}

// A rename that never replaces: a taken name is reported, any other failure logged in `error`.
Attempt renameTo(const QString &source, const QString &target, QString *error)
{
    if (renameWithoutReplacing(source, target))
        return Attempt::Done;
    if (errno == EEXIST)
        return Attempt::NameTaken;
    *error = fileErrorText(QStringLiteral("Impossibile rinominare"), source, errno);
    return Attempt::Failed;
}

// Renames file `name` of `folder` to `first`, or to the next free stamp when another file has it;
// `name` then holds the name taken.
WriteResult renameOnFreeName(const QString &folder, QString &name, const QString &first)
{
    const QDir dir(folder);
    const QString source = dir.filePath(name);
    QString error;
    const auto target = onFreeName(first, [&](const QString &candidate) {
        return renameTo(source, dir.filePath(candidate), &error);
    });
    if (!target)
        return {error.isEmpty() ? noFreeName(folder) : error};
    name = *target;
    return {};
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
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxNoteFileBytes)
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return decodeNoteFile(bytes);
}

WriteResult writeNoteFile(const QString &path, const NoteContent &note)
{
    return writeFileAtomically(path, encodeNoteFile(note));
}

std::optional<QString> withNextStamp(QStringView bareName)
{
    auto name = decodeNoteName(bareName);
    if (!name)
        return std::nullopt;
    name->stamp = (name->stamp + 1) % kStampsPerDay;
    return encodeNoteName(*name);
}

// ---- HeldNoteFile ----

HeldNoteFile::~HeldNoteFile()
{
    reset();
}

HeldNoteFile::HeldNoteFile(HeldNoteFile &&other) noexcept
    : m_name(std::exchange(other.m_name, {})), m_fd(std::exchange(other.m_fd, -1))
{
}

HeldNoteFile &HeldNoteFile::operator=(HeldNoteFile &&other) noexcept
{
    if (this != &other) {
        reset();
        m_name = std::exchange(other.m_name, {});
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

void HeldNoteFile::reset()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_name.clear();
}

// ---- NoteFiles ----

std::optional<OpenedNote> NoteFiles::open(const QString &name, OpenFailure *failure) const
{
    const auto fail = [failure](OpenFailure why) {
        if (failure)
            *failure = why;
        return std::nullopt;
    };
    const auto decoded = decodeNoteName(name);
    if (!decoded)
        return fail(OpenFailure::Missing);
    const QString path = QDir(folder).filePath(name);
    const int fd = ::open(encoded(path).constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return fail(errno == ENOENT ? OpenFailure::Missing : OpenFailure::Unreadable);
    HeldNoteFile held(name, fd);
    // Another note program opened it first (two clicks, the watcher and the list at once).
    if (!lockExclusively(fd) || !namesOpenFile(path, fd))
        return fail(OpenFailure::InUse);
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
        return fail(OpenFailure::Unreadable);
    if (info.st_size > kMaxNoteFileBytes) {
        qCWarning(lcFiles) << "Note file too large to open:" << path << info.st_size << "bytes";
        return fail(OpenFailure::TooLarge);
    }
    const auto bytes = readAll(fd, info.st_size);
    if (!bytes)
        return fail(OpenFailure::Unreadable);

    OpenedNote opened{decodeNoteFile(*bytes), std::move(held)};
    if (decoded->state == NoteState::PutAway) {
        const WriteResult shown = renameOnFreeName(folder, opened.file.m_name, *withState(name, NoteState::Shown));
        if (!shown) // held under its put-away name: shown all the same, saved as usual
            qCWarning(lcFiles).noquote() << shown.error;
    }
    return opened;
}

WriteResult NoteFiles::save(const NoteName &name, const NoteContent &content,
                            HeldNoteFile &held) const
{
    const auto first = encodeNoteName(name);
    if (!first)
        return {QStringLiteral("Data del Notino non valida")};
    StagedFile staged(folder, encodeNoteFile(content));
    if (!staged.error().isEmpty())
        return {staged.error()};
    // Locked before it appears under its name: the launcher never takes it for an abandoned note.
    lockExclusively(staged.handle());

    const QDir dir(folder);
    QString error;
    const auto written = onFreeName(*first, [&](const QString &candidate) {
        // The note's own file, saved again within the same second.
        if (candidate == held.name()) {
            error = staged.replace(dir.filePath(candidate)).error;
            return error.isEmpty() ? Attempt::Done : Attempt::Failed;
        }
        return publish(staged, dir.filePath(candidate), &error);
    });
    if (!written)
        return {error.isEmpty() ? noFreeName(folder) : error};
    // The previous file goes only now that its successor is safely in place.
    if (held.isHeld() && held.name() != *written) {
        const QString previous = dir.filePath(held.name());
        if (namesOpenFile(previous, held.m_fd))
            ::unlink(encoded(previous).constData());
    }
    held = HeldNoteFile(*written, staged.releaseHandle());
    return {};
}

WriteResult NoteFiles::putAway(HeldNoteFile &held) const
{
    if (!held.isHeld())
        return {};
    const auto putAwayName = withState(held.name(), NoteState::PutAway);
    if (!putAwayName || *putAwayName == held.name())
        return {};
    return renameOnFreeName(folder, held.m_name, *putAwayName);
}

WriteResult NoteFiles::rename(HeldNoteFile &held, const NoteName &name) const
{
    const auto first = encodeNoteName(name);
    if (!first)
        return {QStringLiteral("Data del Notino non valida")};
    if (!held.isHeld() || *first == held.name())
        return {};
    return renameOnFreeName(folder, held.m_name, *first);
}

WriteResult NoteFiles::remove(HeldNoteFile &held) const
{
    if (!held.isHeld())
        return {};
    const QString path = QDir(folder).filePath(held.name());
    WriteResult result;
    if (namesOpenFile(path, held.m_fd) && ::unlink(encoded(path).constData()) != 0)
        result = {fileErrorText(QStringLiteral("Impossibile eliminare"), path, errno)};
    if (result)
        held.reset();
    return result;
}

std::optional<QString> NoteFiles::create(const NoteName &name, const NoteContent &content,
                                         QString *error) const
{
    const auto first = encodeNoteName(name);
    if (!first)
        return std::nullopt;
    StagedFile staged(folder, encodeNoteFile(content));
    const QDir dir(folder);
    return onFreeName(*first, [&](const QString &candidate) {
        return publish(staged, dir.filePath(candidate), error);
    });
}

QList<std::optional<QString>> NoteFiles::createAll(const QList<std::pair<NoteName, NoteContent>> &notes,
                                                   QStringList *errors) const
{
    std::vector<std::unique_ptr<StagedFile>> staged;
    for (const auto &[name, content] : notes)
        staged.push_back(std::make_unique<StagedFile>(folder, encodeNoteFile(content), StagedFile::Sync::Later));
    // Every content on disk before any name points at it.
    const bool synced = staged.empty() || !staged.front()->error().isEmpty() || ::syncfs(staged.front()->handle()) == 0;
    QList<std::optional<QString>> written;
    const QDir dir(folder);
    for (std::size_t i = 0; i < staged.size(); ++i) {
        QString error = staged[i]->error();
        const auto first = encodeNoteName(notes[qsizetype(i)].first);
        std::optional<QString> name;
        if (synced && first && error.isEmpty()) {
            name = onFreeName(*first, [&](const QString &candidate) {
                return publish(*staged[i], dir.filePath(candidate), &error, StagedFile::Sync::Later);
            });
        }
        if (!name && errors)
            errors->append(!synced ? fileErrorText(QStringLiteral("Impossibile scrivere in"), folder, errno)
                           : error.isEmpty() ? noFreeName(folder) : error);
        written.append(name);
    }
    syncFolder(folder);
    return written;
}

int NoteFiles::putAwayAbandonedNotes() const
{
    const QDir dir(folder);
    int count = 0;
    for (const QString &name : dir.entryList({QStringLiteral("n*.dat")}, QDir::Files)) {
        const auto decoded = decodeNoteName(name);
        if (!decoded || decoded->state != NoteState::Shown)
            continue;
        const QString path = dir.filePath(name);
        const int fd = ::open(encoded(path).constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
        if (fd < 0)
            continue;
        HeldNoteFile held(name, fd);
        // A running note holds its file: its next save must not leave a second copy behind.
        if (!lockExclusively(fd) || !namesOpenFile(path, fd))
            continue;
        if (const WriteResult result = putAway(held); !result)
            qCWarning(lcFiles).noquote() << result.error;
        else
            ++count;
    }
    return count;
}

} // namespace promemo
