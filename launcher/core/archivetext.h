#pragma once

#include <QList>
#include <QString>

#include <optional>

#include "common/archive.h"

// The archive as the search window shows it, and its find-next rule.
namespace promemo {

// One record in its display form: "Nota del " + the first 10 characters of the change time +
// " per il " + date and alert time + ": " CR LF + the text + CR LF + CR + CR LF.
QString archiveRecordText(const ArchiveRecord &record);

// Every record in its display form, in file order (newest first).
QString archiveText(const QList<ArchiveRecord> &records);

// `text` with its line ends as a text box shows them: CR LF and a bare LF are one line break,
// a bare CR shows nothing. A search text never holds a line end, so a search finds the same
// occurrences, in the same order, in both.
QString textBoxText(const QString &text);

struct ArchiveHit
{
    qsizetype position = 0; // of the occurrence, from 0
    qsizetype length = 0;
    qsizetype nextFrom = 0; // where the following search starts

    friend bool operator==(const ArchiveHit &, const ArchiveHit &) = default;
};

// The first occurrence of `search` in `text` at or after `from` (from 0), upper and lower case
// alike; none when `search` is empty or no occurrence is left before the end of `text`. The
// following search starts just past the occurrence, so the next hit is always a new one.
std::optional<ArchiveHit> findNextInArchive(const QString &text, const QString &search,
                                            qsizetype from);

} // namespace promemo
