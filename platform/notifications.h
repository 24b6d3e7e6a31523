#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

namespace promemo {

struct Notification
{
    QString summary;
    QString body;
};

// Alerts in the desktop's notification centre.
class INotifications
{
public:
    virtual ~INotifications() = default;

    // Shows `notification`, to stay until the user dismisses it; `activated` runs when the user
    // picks it, unless `context` is gone by then. Without a notification service nothing is
    // shown, and nothing fails.
    virtual void notify(const Notification &notification, QObject *context,
                        std::function<void()> activated) = 0;
};

// org.freedesktop.Notifications on the session bus. Nothing waits for the service: the call's
// answer and the user's choice come from the event loop.
class DesktopNotifications final : public QObject, public INotifications
{
    Q_OBJECT
public:
    explicit DesktopNotifications(QObject *parent = nullptr);

    void notify(const Notification &notification, QObject *context,
                std::function<void()> activated) override;

signals:
    // The service took the notification, or did not (no service, no bus).
    void shown(uint id);
    void notShown(const QString &reason);

private slots:
    void actionInvoked(uint id, const QString &action);
    void notificationClosed(uint id, uint reason);

private:
    struct Pending
    {
        QPointer<QObject> context;
        std::function<void()> activated;
    };
    QHash<uint, Pending> m_shown;
    bool m_listening = false;
};

} // namespace promemo
