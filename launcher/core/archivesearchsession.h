#pragma once

#include <QObject>
#include <QString>

#include <optional>

#include "platform/messageboxes.h"

namespace promemo::launcher {

// `Form_Load`'s reading: the archive "archivio.dat" of `folder`, every record in its display
// form, newest first. Without an archive, or when it cannot be read, it shows why (title
// " Promemo") and gives none: the window is not shown.
std::optional<QString> loadArchiveText(IMessageBoxes &boxes, const QString &folder);

// frmArchivio's search through the archive text, occurrence by occurrence, upper and lower case
// alike.
class ArchiveSearchSession final : public QObject
{
    Q_OBJECT
public:
    // Searches `archiveText`; its messages (title " Archivio Notino") show over `messageParent`.
    ArchiveSearchSession(IMessageBoxes &boxes, const QString &archiveText, QWidget *messageParent = nullptr);

    // What Text1 shows: the archive text with its line ends as a text box holds them, so that
    // positions agree.
    const QString &shownText() const { return m_shown; }
    // Where the next search starts in the shown text, from 0.
    qsizetype startPosition() const { return m_start; }

    // Text2_Change: a new search text starts again from the top.
    void Text2_Change(const QString &search);
    // The next occurrence from the start position; past the last one the search ends, says so
    // and starts again from the top.
    void cmdTrova_Click();

signals:
    // Select the occurrence in Text1, the focus there, so that Text1 scrolls to it.
    void found(qsizetype position, qsizetype length);
    // The focus back in the search box, its text selected.
    void searchBoxFocused();

private:
    const WindowMessages m_messages;
    const QString m_shown;
    QString m_search;
    qsizetype m_start = 0;
};

} // namespace promemo::launcher
