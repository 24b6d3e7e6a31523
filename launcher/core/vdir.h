#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

// A vdir: a folder with one item per file, "<UID><extension>", as sync engines read and write
// it. The suite keeps its own items there and leaves every other file alone.
namespace promemo::launcher {

inline constexpr QStringView kCalendarVdir = u"calendario";
inline constexpr QStringView kContactsVdir = u"rubrica";

struct VdirItem
{
    QString uid; // a suite UID: safe as a file name
    QByteArray content;
};

struct VdirResult
{
    int written = 0;
    int removed = 0;
    QStringList errors;

    bool ok() const { return errors.isEmpty(); }
};

// Whether two versions of an item say the same, their DTSTAMP lines aside: a sync engine
// compares files, and a new stamp alone is no change.
bool sameItem(const QByteArray &a, const QByteArray &b);

// Makes `folder` (created when missing) hold `items`: an item whose file says something else is
// replaced atomically, an unchanged one is not touched, and the suite's items not among `items`
// are removed.
VdirResult keepVdir(const QString &folder, QStringView extension, const QList<VdirItem> &items);

// Removes the suite's items from `folder`, and the folder when nothing else is left in it.
VdirResult clearVdir(const QString &folder, QStringView extension);

} // namespace promemo::launcher
