#pragma once

#include <QDate>
#include <QObject>
#include <QString>
#include <QTimer>

#include <chrono>
#include <vector>

#include "common/clock.h"
#include "common/duenotes.h"
#include "platform/processstarter.h"

namespace promemo::watcher {

inline constexpr std::chrono::milliseconds kTimer1Interval{10'000};

// The put-away notes of `folder` with an alert on a day up to `today`, earliest moment first.
std::vector<DueNote> findAlerts(const QString &folder, QDate today);

// frmControl's watch: scans the put-away notes of the program folder once, at its start, and
// waits for the earliest alert of any day up to today. At its start and at every tick it
// compares moments, so a tick that comes late (after a sleep) still finds what fell due: it
// starts every due note without focus and ends. It also ends in the first minute after midnight,
// or at any later tick on a later day, so that a fresh watcher looks at the new day's notes; and
// when asked to.
class WatcherSession final : public QObject
{
    Q_OBJECT
public:
    WatcherSession(const IClock &clock, IProcessStarter &processes, const QString &folder,
                   QObject *parent = nullptr);

    // The alerts still to come, earliest first.
    const std::vector<DueNote> &watched() const { return m_watched; }
    const QTimer &timer1() const { return m_timer1; }
    bool hasEnded() const { return m_ended; }

    // One tick of Timer1.
    void Timer1_Timer();
    // The watch is over: no more ticks, off the registry. Once only.
    void end();

signals:
    // The window's registry entry goes now: before the first start, which may be slow, and at
    // the end. A look meanwhile finds no watcher rather than one that does not answer.
    void leaveRegistry();
    // The watch is over: the program ends.
    void ended();

private:
    void LanciaNotino(const DueNote &note);

    const IClock &m_clock;
    IProcessStarter &m_processes;
    const QDate m_today;
    std::vector<DueNote> m_watched;
    QTimer m_timer1;
    bool m_ended = false;
};

} // namespace promemo::watcher
