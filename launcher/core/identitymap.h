#pragma once

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <chrono>

#include "common/atomicfile.h"

// The UIDs the suite gives its notes, recurrences and contacts in the files other programs read:
// an item keeps its UID for as long as it lives, also when it is saved again under another name,
// moved or edited. Each look at the data is matched to the last one by the items' keys, strongest
// first (a note's file name, then its text); what no key finds is taken as the successor of what
// has gone when there is exactly one of each. An entry that has gone may wait a while for its
// successor (a note opened on screen has no file until it is saved again).
namespace promemo::launcher {

class IdentityMap
{
public:
    struct Entry
    {
        QString uid;
        QString kind;
        QDate since;            // the day the item was first seen
        qint64 goneSince = 0;   // msecs since the epoch; 0 while the item lives
        QList<QByteArray> keys; // hashed, as strong as their place in the list
        // An item another program made, in the calendar vdir: its UID, its file there, and the
        // hash of what the note and the item last agreed on. Empty for the suite's own items.
        QString foreignUid;
        QString itemFile;
        QByteArray agreed;

        bool isLinked() const { return !foreignUid.isEmpty(); }
        bool operator==(const Entry &) const = default;
    };

    // An unreadable or missing map is an empty one: every item gets a new UID.
    static IdentityMap read(const QString &path);
    static IdentityMap decode(const QByteArray &bytes);
    QByteArray encoded() const;
    WriteResult write(const QString &path) const;

    // The UIDs of `items` (each a list of keys, strongest first; an empty key matches nothing)
    // in their order. Entries of `kind` not found again are gone: they wait `keepGone` for a
    // successor, then are forgotten.
    QStringList assign(QStringView kind, const QList<QStringList> &items, const QDateTime &now,
                       std::chrono::seconds keepGone = std::chrono::seconds(0));

    // The day `uid` was first seen; invalid for an unknown UID.
    QDate since(const QString &uid) const;
    // The entry of `uid`; null for an unknown UID.
    Entry *entry(const QString &uid);
    const Entry *entry(const QString &uid) const;
    // A new entry of `kind` with a new UID, first seen on `today`.
    Entry &add(QStringView kind, QDate today);
    void remove(const QString &uid);

    const QList<Entry> &entries() const { return m_entries; }
    bool operator==(const IdentityMap &) const = default;

private:
    QList<Entry> m_entries;
};

// The keys as an entry holds them.
QList<QByteArray> hashedKeys(const QStringList &keys);

// Whether `uid` has the form of the UIDs the suite gives (a recurrence's second event included).
bool isSuiteUid(QStringView uid);

} // namespace promemo::launcher
