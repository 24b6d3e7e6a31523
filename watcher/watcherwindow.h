#pragma once

#include <QTimer>
#include <QWidget>

#include <memory>
#include <vector>

#include "common/duenotes.h"
#include "platform/captions.h"
#include "platform/services.h"

namespace promemo::watcher {

inline constexpr std::chrono::milliseconds kTimer1Interval{10'000};

// The put-away notes of `folder` with an alert on a day up to `today`, earliest moment first.
std::vector<DueNote> findAlerts(const QString &folder, QDate today);

// frmControl, "NotinoControl": scans the put-away notes once, at its start, and waits for the
// earliest alert of any day up to today. At its start and at every tick it compares moments, so
// a tick that comes late (after a sleep) still finds what fell due: it starts every due note
// without focus and ends. It also ends in the first minute after midnight, or at any later tick
// on a later day, so that a fresh watcher looks at the new day's notes; and when asked to close.
class frmControl : public QWidget
{
    Q_OBJECT
public:
    explicit frmControl(const Services &services, QWidget *parent = nullptr);
    ~frmControl() override;

    // The alerts still to come, earliest first.
    const std::vector<DueNote> &watched() const { return m_watched; }
    const QTimer &timer1() const { return m_timer1; }
    bool hasEnded() const { return m_ended; }

    // One tick of Timer1.
    void Timer1_Timer();

signals:
    // The watcher is done: the program ends.
    void ended();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void LanciaNotino(const DueNote &note);

    const Services m_services;
    QDate m_today;
    std::vector<DueNote> m_watched;
    QTimer m_timer1;
    bool m_ended = false;
    std::unique_ptr<RegisteredWindow> m_registration;
};

} // namespace promemo::watcher
