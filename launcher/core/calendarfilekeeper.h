#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include "common/clock.h"
#include "launcher/core/folderwatch.h"

namespace promemo::launcher {

// Keeps the calendar other programs read in step with the notes and the recurrences while the
// launcher runs: Promemo.ics in the program folder and the vdir calendario/ beside it, with the
// UIDs in calendario.uid. A change in the folder is looked at once things have been quiet for a
// moment; the file is replaced whole and the items that changed one by one. [Calendario]
// calendario_ics=0 in Notino.ini removes what the suite wrote there and stops it.
class CalendarFileKeeper final : public QObject
{
    Q_OBJECT
public:
    CalendarFileKeeper(const IClock &clock, QString folder, QObject *parent = nullptr);

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
    FolderWatch m_watch;
    QByteArray m_writtenFrom;
};

// The map of the calendar's UIDs, beside the vdir.
inline constexpr QStringView kCalendarIdentityFile = u"calendario.uid";

} // namespace promemo::launcher
