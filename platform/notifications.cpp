#include "platform/notifications.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QFile>
#include <QVariantMap>

#include "common/programfolder.h"
#include "platform/logging.h"

namespace promemo {
namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = kService;
const QString kDefaultAction = QStringLiteral("default");
constexpr uchar kCriticalUrgency = 2; // kept on screen until dismissed by most services

QString iconPath()
{
    const QString path = programFile(QStringLiteral("icons/promemo-64.png"));
    return QFile::exists(path) ? path : QString();
}

} // namespace

DesktopNotifications::DesktopNotifications(QObject *parent) : QObject(parent) {}

void DesktopNotifications::notify(const Notification &notification, QObject *context,
                                  std::function<void()> activated)
{
    // The bus is joined at the first alert: most programs of the suite never send one.
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected() && !m_listening) {
        m_listening = true;
        bus.connect(kService, kPath, kInterface, QStringLiteral("ActionInvoked"), this,
                    SLOT(actionInvoked(uint,QString)));
        bus.connect(kService, kPath, kInterface, QStringLiteral("NotificationClosed"), this,
                    SLOT(notificationClosed(uint,uint)));
    }
    if (!bus.isConnected()) {
        const QString reason = QStringLiteral("no session bus");
        qCInfo(lcDesktop).noquote() << "notification not shown:" << reason;
        QMetaObject::invokeMethod(this, [this, reason] { emit notShown(reason); }, Qt::QueuedConnection);
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
    const QString icon = iconPath();
    QVariantMap hints{{QStringLiteral("urgency"), QVariant::fromValue(kCriticalUrgency)},
                      {QStringLiteral("resident"), true},
                      {QStringLiteral("desktop-entry"), QStringLiteral("promemo")}};
    if (!icon.isEmpty())
        hints.insert(QStringLiteral("image-path"), icon);
    call << QStringLiteral("Promemo") << uint(0) << icon << notification.summary
         << notification.body.toHtmlEscaped() << QStringList{kDefaultAction, QStringLiteral("Mostra")}
         << hints << int(0); // 0: never expires
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, watcher, context = QPointer<QObject>(context), activated = std::move(activated)] {
        watcher->deleteLater();
        const QDBusPendingReply<uint> reply = *watcher;
        if (reply.isError()) {
            qCInfo(lcDesktop).noquote() << "notification not shown:" << reply.error().message();
            emit notShown(reply.error().message());
            return;
        }
        m_shown.insert(reply.value(), {context, activated});
        emit shown(reply.value());
    });
}

void DesktopNotifications::actionInvoked(uint id, const QString &action)
{
    const auto found = m_shown.constFind(id);
    if (found == m_shown.cend() || action != kDefaultAction || !found->context)
        return;
    found->activated();
}

void DesktopNotifications::notificationClosed(uint id, uint)
{
    m_shown.remove(id);
}

} // namespace promemo
