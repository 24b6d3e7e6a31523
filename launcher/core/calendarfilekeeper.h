#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

#include "common/clock.h"
#include "launcher/core/calendarimport.h"
#include "launcher/core/folderwatch.h"

namespace promemo {
class IWindowRegistry;
}

namespace promemo::launcher {

// Keeps the calendar other programs read in step with the notes and the recurrences while the
// launcher runs: Promemo.ics in the program folder and the vdir calendario/ beside it, with the
// UIDs in calendario.uid. A change in the folder is looked at once things have been quiet for a
// moment; the file is replaced whole and the items that changed one by one. [Calendario]
// calendario_ics=0 in Notino.ini removes what the suite wrote there and stops it. The events
// other programs put in the vdir become notes (CalendarImport); the vdir is looked at again
// every few seconds too, since sync engines replace its files by renames. With `windows`, the
// watcher is closed when a note with an alert up to today was written, so that a fresh one
// waits for it.
class CalendarFileKeeper final : public QObject
{
    Q_OBJECT
public:
    CalendarFileKeeper(const IClock &clock, QString folder, IWindowRegistry *windows = nullptr,
                       QObject *parent = nullptr);

    // Looks now instead of after the quiet moment.
    void refresh();

signals:
    // After each write, whether it succeeded or not.
    void written(bool ok);

private:
    // The names, sizes and times of the files the calendar is made of.
    QByteArray inputs() const;
    void turnOff();

    const IClock &m_clock;
    QString m_folder;
    IWindowRegistry *m_windows;
    FolderWatch m_watch;
    QTimer m_rescan;
    CalendarImport m_import;
    QByteArray m_writtenFrom;
};

// The map of the calendar's UIDs, beside the vdir.
inline constexpr QStringView kCalendarIdentityFile = u"calendario.uid";

} // namespace promemo::launcher
