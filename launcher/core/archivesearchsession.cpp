#include "launcher/core/archivesearchsession.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>

#include "common/archive.h"
#include "launcher/core/archivetext.h"

namespace promemo::launcher {

namespace {

const QString kErrorTitle = QStringLiteral(" Promemo");
const QString kSearchTitle = QStringLiteral(" Archivio Notino");
const QString kNoArchive = QStringLiteral("  Nessun archivio presente     ");
const QString kEmptySearch =
    QStringLiteral("     Non hai inserito alcun dato di ricerca        ");

QString searchEndedText(const QString &search)
{
    return QStringLiteral("     Ricerca del dato  ' ") + search
           + QStringLiteral(" '  terminata       ");
}

struct ReadFault
{
    int number;
    QString description;
};

// The suite's numbers and words for a file that is there but cannot be read.
ReadFault readFault(const QString &path)
{
    const QFileInfo info(path);
    if (info.isDir())
        return {75, QStringLiteral("Errore di accesso al percorso/file")};
    if (!info.isReadable())
        return {70, QStringLiteral("Permesso negato")};
    return {57, QStringLiteral("Errore di I/O della periferica")};
}

} // namespace

std::optional<QString> loadArchiveText(IMessageBoxes &boxes, const QString &folder)
{
    const QString path = QDir(folder).filePath(QString::fromLatin1(kArchiveFileName));
    const ArchiveContents archive = readArchiveFile(path);
    const WindowMessages messages(boxes, kErrorTitle);
    switch (archive.status) {
    case ArchiveContents::Status::Missing:
        messages.warn(kNoArchive);
        return std::nullopt;
    case ArchiveContents::Status::Unreadable: {
        const ReadFault fault = readFault(path);
        messages.warn(QStringLiteral("  Errore %1 - %2     ").arg(fault.number).arg(fault.description));
        return std::nullopt;
    }
    case ArchiveContents::Status::TooLarge:
        messages.warn(QStringLiteral("  L'archivio è troppo grande per essere mostrato (%1 MB).     \r\r"
                                     "  Il file archivio.dat resta com'è.     ")
                          .arg(QFileInfo(path).size() / (1024 * 1024)));
        return std::nullopt;
    case ArchiveContents::Status::Read:
        break;
    }
    return archiveText(archive.records);
}

ArchiveSearchSession::ArchiveSearchSession(IMessageBoxes &boxes, const QString &archiveText,
                                           QWidget *messageParent)
    : m_messages(boxes, kSearchTitle, messageParent), m_shown(textBoxText(archiveText))
{
}

void ArchiveSearchSession::Text2_Change(const QString &search)
{
    m_search = search;
    m_start = 0;
}

void ArchiveSearchSession::cmdTrova_Click()
{
    // A message box is modal: the window, and this with it, may be closed meanwhile.
    const QPointer<ArchiveSearchSession> alive(this);
    if (m_search.isEmpty()) {
        m_messages.show(kEmptySearch, MessageIcon::Warning);
        if (alive)
            emit searchBoxFocused();
        return;
    }
    if (const auto hit = findNextInArchive(m_shown, m_search, m_start)) {
        m_start = hit->nextFrom;
        emit found(hit->position, hit->length);
        return;
    }
    m_start = 0;
    m_messages.show(searchEndedText(m_search), MessageIcon::Information);
    if (alive)
        emit searchBoxFocused();
}

} // namespace promemo::launcher
