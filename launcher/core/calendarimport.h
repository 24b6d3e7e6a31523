#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

#include "common/recurrences.h"
#include "launcher/core/calendarfile.h"
#include "launcher/core/identitymap.h"

// The other way round: the events other programs (a sync engine, a phone's calendar) put in the
// vdir calendario/ become put-away notes, and follow their item from then on.
namespace promemo::launcher {

// What an item file of the vdir gives the suite.
struct ForeignItem
{
    enum class Kind { Note, Recurrence, Left, Damaged };
    Kind kind = Kind::Damaged;
    QString uid;
    CalendarNote note;     // Note: the day, the alert, the text
    QDateTime start;       // Note: when the event starts (the day's start for an all-day event)
    Recurrence recurrence; // Recurrence
    QString why;           // Left, Damaged: for the log
};

// An event becomes a note of its local start day with the alert at its start (or at its earliest
// alarm before the start), an all-day one without alert; a yearly or monthly all-day event a
// recurrence. Other repeating events, to-dos and journals are left.
ForeignItem readForeignItem(const QByteArray &bytes);

// SUMMARY, then DESCRIPTION on the next lines (the description alone when it begins with the
// summary, as the suite's own items do), as a note holds text: CR LF, Windows-1252, a character
// it lacks by the nearest it has.
QString noteTextOf(const QString &summary, const QString &description);

// What a note or a recurrence says, hashed: the map's `agreed`.
QByteArray agreementOf(const CalendarNote &note);
QByteArray agreementOf(const Recurrence &recurrence);

// Keeps the put-away notes in agreement with the items others wrote in the vdir, matched by the
// UID inside them (a sync engine names a file after its UID only when that is safe). The map's
// linked entries say which note is which item and what both last said: a change on one side
// goes to the other, a note open on screen is left as the user sees it, an item gone takes its
// note to the archive. Every step can be cut by a kill: an import is first written to the map as
// pending, and a pending import finds the note it wrote before it writes one.
class CalendarImport
{
public:
    explicit CalendarImport(QString folder);

    struct Outcome
    {
        bool notesChanged = false;
        bool recurrencesChanged = false;
        bool alertUpToToday = false; // a note written with an alert up to today: the watcher must look again
        QStringList errors;
    };
    // `notes`: the calendar's notes with the UIDs `map` gave them; `before`: the map before that,
    // to tell the notes removed on the desktop, whose items go too.
    Outcome reconcile(IdentityMap &map, const IdentityMap &before, const QList<CalendarNote> &notes,
                      const QDateTime &now);

    // The names, sizes and times of the vdir's files that are not the suite's own.
    QByteArray inputs() const;

    // The map's kind of an import not yet written.
    static constexpr QStringView kPendingKind = u"import";

private:
    struct Read
    {
        qint64 size = -1;
        qint64 modified = 0;
        ForeignItem item;
    };
    struct Found
    {
        QString file;
        ForeignItem item;
    };

    QHash<QString, Found> scan();
    // Says `what` once for each version of each file.
    void sayOnce(const QString &file, const QString &what);
    void createNotes(IdentityMap &map, const QStringList &plans, const QHash<QString, Found> &planned,
                     const QDateTime &now, Outcome &outcome);
    bool updateNote(IdentityMap::Entry &entry, const CalendarNote &note, const CalendarNote &from,
                    const QDateTime &now, Outcome &outcome);
    bool removeNote(const CalendarNote &note, Outcome &outcome);

    QString m_folder;
    QString m_vdir;
    QHash<QString, Read> m_read;
    QSet<QString> m_said;
};

} // namespace promemo::launcher
