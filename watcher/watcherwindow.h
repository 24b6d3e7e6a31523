#pragma once

#include <QTimer>
#include <QWidget>

#include <memory>
#include <optional>

#include "common/duenotes.h"
#include "platform/captions.h"
#include "platform/services.h"

namespace promemo::watcher {

inline constexpr std::chrono::milliseconds kTimer1Interval{10'000};

// Today's put-away note with the earliest alert in `folder`, if any.
std::optional<DueNote> findDueNote(const QString &folder, int today);

// frmControl, "NotinoControl": scans the put-away notes of today once, waits for the earliest
// alert, starts that note without focus and ends. It also ends in the first minute after
// midnight, or at any later tick on a later day, idle or not, so that a fresh watcher looks at
// the new day's notes; and when asked to close.
class frmControl : public QWidget
{
    Q_OBJECT
public:
    explicit frmControl(const Services &services, QWidget *parent = nullptr);
    ~frmControl() override;

    // The chosen note, empty while none; its alert in minutes after midnight, 9999 while none.
    QString noteName() const { return m_noteName; }
    int alertMinute() const { return m_alertMinute; }
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
    void LanciaNotino();

    const Services m_services;
    int m_today = 0;
    QString m_noteName;
    int m_alertMinute = 9999;
    QTimer m_timer1;
    bool m_ended = false;
    std::unique_ptr<RegisteredWindow> m_registration;
};

} // namespace promemo::watcher
