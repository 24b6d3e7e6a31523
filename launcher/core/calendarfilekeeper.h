#pragma once

#include <QByteArray>
#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QTimer>

#include "common/clock.h"

namespace promemo::launcher {

// Keeps Promemo.ics in the program folder in step with the put-away notes and the recurrences
// while the launcher runs: a change in the folder is looked at once things have been quiet for
// a moment, and the file is replaced whole when what it is made of changed. [Calendario]
// calendario_ics=0 in Notino.ini stops it.
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
    void lookAtMidnight();

    const IClock &m_clock;
    QString m_folder;
    QFileSystemWatcher m_watcher;
    QTimer m_quiet;
    QByteArray m_writtenFrom;
    int m_writtenYear = 0;
};

} // namespace promemo::launcher
