#include "platform/notifications.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QSignalSpy>
#include <QTest>
#include <QVariantMap>

#include <gtest/gtest.h>


// Run on a private session bus (dbus-run-session), where the test itself stands in for the
// desktop's notification service.
using namespace promemo;

namespace {

const QString kService = u"org.freedesktop.Notifications"_qs;
const QString kPath = u"/org/freedesktop/Notifications"_qs;

class StandInService : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    struct Call
    {
        QString application, icon, summary, body;
        QStringList actions;
        QVariantMap hints;
        int timeout = -1;
    };
    QList<Call> calls;
    QList<uint> closed;

public slots:
    void CloseNotification(uint id) { closed.append(id); }
    uint Notify(const QString &application, uint, const QString &icon, const QString &summary,
                const QString &body, const QStringList &actions, const QVariantMap &hints, int timeout)
    {
        calls.append({application, icon, summary, body, actions, hints, timeout});
        return uint(40 + calls.size());
    }
};

void emitSignal(const QString &name, const QVariantList &arguments)
{
    QDBusMessage signal = QDBusMessage::createSignal(kPath, kService, name);
    signal.setArguments(arguments);
    QDBusConnection::sessionBus().send(signal);
}

// Without a service nothing is shown and nothing fails; with one, the call carries what the
// note says, stays until dismissed, and picking it runs the note's action while the note lives.
TEST(DesktopNotifications, NotifyCallAndDefaultActionOnASessionBus)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    ASSERT_TRUE(bus.isConnected()) << "run under dbus-run-session";
    DesktopNotifications notifications;
    QSignalSpy shown(&notifications, &DesktopNotifications::shown);
    QSignalSpy notShown(&notifications, &DesktopNotifications::notShown);
    int activated = 0;
    QObject note;

    notifications.notify({u"08/12/2026 09.30"_qs, u"Dentista <via Po>"_qs}, &note, [&] { ++activated; });
    ASSERT_TRUE(notShown.wait(5000));
    EXPECT_TRUE(shown.isEmpty());

    StandInService service;
    ASSERT_TRUE(bus.registerObject(kPath, &service, QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(bus.registerService(kService));
    notifications.notify({u"08/12/2026 09.30"_qs, u"Dentista <via Po>"_qs}, &note, [&] { ++activated; });
    ASSERT_TRUE(shown.wait(5000));
    ASSERT_EQ(service.calls.size(), 1);
    const StandInService::Call &call = service.calls[0];
    EXPECT_EQ(std::tuple(call.application, call.summary, call.body, call.actions.value(0), call.timeout,
                         call.hints.value(u"resident"_qs).toBool()),
              std::tuple(u"Promemo"_qs, u"08/12/2026 09.30"_qs, u"Dentista &lt;via Po&gt;"_qs, u"default"_qs, 0, true));

    const uint id = shown.at(0).at(0).toUInt();
    emitSignal(u"ActionInvoked"_qs, {id + 1, u"default"_qs}); // another program's notification
    emitSignal(u"ActionInvoked"_qs, {id, u"default"_qs});
    EXPECT_TRUE(QTest::qWaitFor([&] { return activated == 1; }, 5000));

    // Dismissed, or its note gone: picking it does nothing. Signals arrive in order, so once the
    // last one has run, the two before it have been seen.
    auto gone = std::make_unique<QObject>();
    notifications.notify({u"s"_qs, u"b"_qs}, gone.get(), [&] { activated += 10; });
    notifications.notify({u"s"_qs, u"b"_qs}, &note, [&] { activated += 100; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown.size() == 3; }, 5000));
    gone.reset();
    emitSignal(u"NotificationClosed"_qs, {id, 2u});
    emitSignal(u"ActionInvoked"_qs, {id, u"default"_qs});
    emitSignal(u"ActionInvoked"_qs, {shown.at(1).at(0).toUInt(), u"default"_qs});
    emitSignal(u"ActionInvoked"_qs, {shown.at(2).at(0).toUInt(), u"default"_qs});
    ASSERT_TRUE(QTest::qWaitFor([&] { return activated >= 100; }, 5000));
    EXPECT_EQ(activated, 101);
    bus.unregisterService(kService);
}

// A note's notifications go when it withdraws them, one not yet answered for as soon as its id
// comes, and all that are left when the program ends; an action runs what the note gave it.
TEST(DesktopNotifications, WithdrawnPerContextAlsoBeforeTheAnswerAndAllAtTheEnd)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    ASSERT_TRUE(bus.isConnected()) << "run under dbus-run-session";
    StandInService service;
    ASSERT_TRUE(bus.registerObject(kPath, &service, QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(bus.registerService(kService));
    auto notifications = std::make_unique<DesktopNotifications>();
    QSignalSpy shown(notifications.get(), &DesktopNotifications::shown);
    const auto idOf = [&](qsizetype i) { return shown.at(i).at(0).toUInt(); };
    QObject first, second, third;
    int snoozed = 0, picked = 0;

    notifications->notify({u"s"_qs, u"b"_qs, {{u"Rimanda di 10 minuti"_qs, [&] { ++snoozed; }}}}, &first, {});
    notifications->notify({u"s"_qs, u"b"_qs}, &second, [&] { ++picked; });
    notifications->notify({u"s"_qs, u"b"_qs}, &third, {});
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown.size() == 3; }, 5000));
    EXPECT_EQ(service.calls[0].actions,
              (QStringList{u"default"_qs, u"Mostra"_qs, u"promemo-0"_qs, u"Rimanda di 10 minuti"_qs}));
    emitSignal(u"ActionInvoked"_qs, {idOf(0), u"promemo-0"_qs});
    EXPECT_TRUE(QTest::qWaitFor([&] { return snoozed == 1; }, 5000));

    notifications->withdraw(&first);
    EXPECT_TRUE(QTest::qWaitFor([&] { return service.closed == QList<uint>{idOf(0)}; }, 5000));
    // Asked before the service's answer has come back.
    notifications->notify({u"s"_qs, u"b"_qs}, &first, {});
    notifications->withdraw(&first);
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown.size() == 4; }, 5000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return service.closed.size() == 2; }, 5000));
    EXPECT_EQ(service.closed.value(1), idOf(3));

    // The program ends: the user dismissed the third; the second goes, and so does one the
    // service has not answered for yet.
    // Signals arrive in order: once the second is picked, the two before have been seen.
    emitSignal(u"NotificationClosed"_qs, {idOf(2), 2u});
    emitSignal(u"ActionInvoked"_qs, {idOf(0), u"promemo-0"_qs}); // withdrawn: nothing runs
    emitSignal(u"ActionInvoked"_qs, {idOf(1), u"default"_qs});
    ASSERT_TRUE(QTest::qWaitFor([&] { return picked == 1; }, 5000));
    notifications->notify({u"s"_qs, u"b"_qs}, &third, {});
    notifications.reset();
    EXPECT_EQ(service.closed, (QList<uint>{idOf(0), idOf(3), idOf(1), uint(40 + service.calls.size())}));
    EXPECT_EQ(snoozed, 1);
    bus.unregisterService(kService);
}

} // namespace

#include "test_notifications.moc"
