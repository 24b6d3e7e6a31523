#include "platform/notifications.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QFile>
#include <QPointer>
#include <QVariantMap>

#include <algorithm>

#include "common/programfolder.h"
#include "platform/logging.h"

namespace promemo {
namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = kService;
const QString kDefaultAction = QStringLiteral("default");
constexpr uchar kCriticalUrgency = 2; // kept on screen until dismissed by most services
// How long the service has to answer; it also bounds each wait at the program's end.
constexpr int kAnswerBoundMs = 5000;

QString iconPath()
{
    const QString path = programFile(QStringLiteral("icons/promemo-64.png"));
    return QFile::exists(path) ? path : QString();
}

QString actionKey(qsizetype index)
{
    return QStringLiteral("promemo-%1").arg(index);
}

} // namespace

struct DesktopNotifications::Entry
{
    QPointer<QObject> context;
    std::function<void()> activated;
    QList<NotificationAction> actions;
    QPointer<QDBusPendingCallWatcher> call; // the Notify call, until the service answers
    uint id = 0;                            // the service's, once it has answered
    bool withdrawn = false;                 // to be closed as soon as the id is known
};

DesktopNotifications::DesktopNotifications(QObject *parent) : QObject(parent) {}

DesktopNotifications::~DesktopNotifications()
{
    // The program ends and no event loop runs any more: the answers still due are waited for
    // (each call carries its bound), and everything shown goes with the program. The calls are
    // waited for, not their watchers, which would deliver their signals here.
    for (const std::shared_ptr<Entry> &entry : m_entries) {
        if (entry->id == 0 && entry->call) {
            QDBusPendingReply<uint> reply = *entry->call;
            reply.waitForFinished();
            if (reply.isValid())
                entry->id = reply.value();
        }
        entry->withdrawn = true;
    }
    closeWithdrawn();
    for (QDBusPendingCallWatcher *watcher : findChildren<QDBusPendingCallWatcher *>())
        QDBusPendingCall(*watcher).waitForFinished();
}

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
    QStringList actions{kDefaultAction, QStringLiteral("Mostra")};
    for (qsizetype i = 0; i < notification.actions.size(); ++i)
        actions << actionKey(i) << notification.actions[i].label;
    call << QStringLiteral("Promemo") << uint(0) << icon << notification.summary
         << notification.body.toHtmlEscaped() << actions << hints << int(0); // 0: never expires

    const auto entry = std::make_shared<Entry>(Entry{context, std::move(activated), notification.actions,
                                                     new QDBusPendingCallWatcher(bus.asyncCall(call, kAnswerBoundMs), this)});
    m_entries.push_back(entry);
    connect(entry->call, &QDBusPendingCallWatcher::finished, this, [this, entry] { answered(entry); });
}

void DesktopNotifications::answered(const std::shared_ptr<Entry> &entry)
{
    entry->call->deleteLater();
    const QDBusPendingReply<uint> reply = *entry->call;
    if (reply.isError()) {
        std::erase(m_entries, entry);
        qCInfo(lcDesktop).noquote() << "notification not shown:" << reply.error().message();
        emit notShown(reply.error().message());
        return;
    }
    entry->id = reply.value();
    closeWithdrawn();
    emit shown(reply.value());
}

void DesktopNotifications::withdraw(QObject *context)
{
    for (const std::shared_ptr<Entry> &entry : m_entries) {
        if (context && entry->context == context)
            entry->withdrawn = true;
    }
    closeWithdrawn();
}

void DesktopNotifications::closeWithdrawn()
{
    const auto closable = [](const std::shared_ptr<Entry> &entry) { return entry->withdrawn && entry->id != 0; };
    for (const std::shared_ptr<Entry> &entry : m_entries) {
        if (closable(entry))
            close(entry->id);
    }
    std::erase_if(m_entries, closable);
}

void DesktopNotifications::close(uint id)
{
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface,
                                                       QStringLiteral("CloseNotification"));
    call << id;
    auto *watcher = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(call, kAnswerBoundMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [watcher, id] {
        watcher->deleteLater();
        // The user may have dismissed it already: the service then answers with an error.
        if (watcher->isError())
            qCInfo(lcDesktop).noquote() << "notification" << id << "not withdrawn:" << watcher->error().message();
    });
}

void DesktopNotifications::actionInvoked(uint id, const QString &action)
{
    const auto found = std::find_if(m_entries.cbegin(), m_entries.cend(),
                                    [id](const std::shared_ptr<Entry> &entry) { return entry->id == id; });
    if (id == 0 || found == m_entries.cend() || !(*found)->context)
        return;
    // Held while its action runs: the action may withdraw it.
    const std::shared_ptr<Entry> entry = *found;
    if (action == kDefaultAction) {
        entry->activated();
        return;
    }
    for (qsizetype i = 0; i < entry->actions.size(); ++i) {
        if (action == actionKey(i) && entry->actions[i].invoked) {
            entry->actions[i].invoked();
            return;
        }
    }
}

void DesktopNotifications::notificationClosed(uint id, uint)
{
    std::erase_if(m_entries, [id](const std::shared_ptr<Entry> &entry) { return entry->id == id; });
}

} // namespace promemo
