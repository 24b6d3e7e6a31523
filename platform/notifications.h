#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

namespace promemo {

// A choice the notification offers besides picking it.
struct NotificationAction
{
    QString label;
    std::function<void()> invoked;
};

struct Notification
{
    QString summary;
    QString body;
    QList<NotificationAction> actions = {}; // besides picking the notification
};

// Alerts in the desktop's notification centre, kept per context: the note that showed them.
class INotifications
{
public:
    virtual ~INotifications() = default;

    // Shows `notification` for `context`, to stay until the user dismisses it or it is
    // withdrawn; `activated` runs when the user picks it, an action's `invoked` when the user
    // picks the action, unless `context` is gone by then. Without a notification service
    // nothing is shown, and nothing fails.
    virtual void notify(const Notification &notification, QObject *context,
                        std::function<void()> activated) = 0;
    // Takes every notification shown for `context` out of the notification centre; one the
    // service has not yet answered for goes as soon as it has.
    virtual void withdraw(QObject *context) = 0;
};

// org.freedesktop.Notifications on the session bus. Nothing waits for the service while the
// program runs: the call's answer and the user's choice come from the event loop. When it is
// destroyed, at the program's end, what it still shows is withdrawn, each call bounded.
class DesktopNotifications final : public QObject, public INotifications
{
    Q_OBJECT
public:
    explicit DesktopNotifications(QObject *parent = nullptr);
    ~DesktopNotifications() override;

    void notify(const Notification &notification, QObject *context,
                std::function<void()> activated) override;
    void withdraw(QObject *context) override;

signals:
    // The service took the notification, or did not (no service, no bus).
    void shown(uint id);
    void notShown(const QString &reason);

private slots:
    void actionInvoked(uint id, const QString &action);
    void notificationClosed(uint id, uint reason);

private:
    struct Entry;
    void answered(const std::shared_ptr<Entry> &entry);
    // Closes the withdrawn notifications whose id is known; the others wait for theirs.
    void closeWithdrawn();
    void close(uint id);

    std::vector<std::shared_ptr<Entry>> m_entries;
    bool m_listening = false;
};

} // namespace promemo
