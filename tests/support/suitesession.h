#pragma once

#include <algorithm>
#include <chrono>
#include <csignal>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QDateTime>
#include <QFile>
#include <QMutex>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "tests/support/programfolder.h"
#include "tests/support/xsession.h"

// For end-to-end tests of alerts: one clock that every program of the suite shares and the test
// moves, a suspend of the whole suite, and a stand-in for the desktop's notification service on
// a private session bus.
namespace promemo::test {

// libfaketime reading an offset from the real time out of a file: every program started with
// environment() and every program those start go by it, and a new offset reaches them all at
// once (the file is read at every look at the clock). Local time is the zone the tests' main
// pins, in the test as in the programs.
class SuiteClock
{
public:
    SuiteClock() { setOffset(0); }
    ~SuiteClock()
    {
        // The clock's shared memory, made by each process started with it, outlives them.
        for (const qint64 pid : m_owners) {
            QFile::remove(QStringLiteral("/dev/shm/faketime_shm_%1").arg(pid));
            QFile::remove(QStringLiteral("/dev/shm/sem.faketime_sem_%1").arg(pid));
        }
    }

    static bool available() { return QFile::exists(kFakeTime); }

    QProcessEnvironment environment() const
    {
        QProcessEnvironment environment;
        environment.insert(QStringLiteral("LD_PRELOAD"), kFakeTime);
        environment.insert(QStringLiteral("FAKETIME_TIMESTAMP_FILE"), m_file);
        environment.insert(QStringLiteral("FAKETIME_NO_CACHE"), QStringLiteral("1"));
        environment.insert(QStringLiteral("DONT_FAKE_MONOTONIC"), QStringLiteral("1"));
        return environment;
    }
    // A process started with environment(): its shared memory is removed at the end.
    void adopt(qint64 pid) { m_owners << pid; }

    // From now on the suite's local time is `moment` (any time spec: a moment in the doubled
    // hour of autumn is told apart by its UTC offset).
    void setClock(const QDateTime &moment)
    {
        setOffset(moment.toMSecsSinceEpoch() - QDateTime::currentMSecsSinceEpoch());
    }
    void move(std::chrono::seconds by) { setOffset(m_offsetMs + by.count() * 1000); }
    // The suite's local time at the real moment `real` (milliseconds since the epoch).
    QDateTime at(qint64 real) const { return QDateTime::fromMSecsSinceEpoch(real + m_offsetMs); }
    QDateTime now() const { return at(QDateTime::currentMSecsSinceEpoch()); }

private:
    // Whole seconds: libfaketime's offset has no fraction. Replaced whole, so a program never
    // reads half a file.
    void setOffset(qint64 ms)
    {
        const qint64 seconds = (ms + (ms >= 0 ? 500 : -500)) / 1000;
        m_offsetMs = seconds * 1000;
        QSaveFile file(m_file);
        if (!file.open(QIODevice::WriteOnly))
            ADD_FAILURE() << "clock file " << m_file.toStdString();
        file.write((seconds >= 0 ? "+" : "") + QByteArray::number(seconds) + '\n');
        if (!file.commit())
            ADD_FAILURE() << "clock file not written";
    }

    QTemporaryDir m_dir;
    QString m_file = m_dir.filePath(QStringLiteral("clock"));
    qint64 m_offsetMs = 0;
    QList<qint64> m_owners;
};

// The machine asleep: every process of the suite stopped, `whileAsleep` run (a clock move), then
// all continued. A process that starts while the others are being stopped is stopped too.
template <typename Action>
void suspend(const TemporaryProgramFolder &folder, Action whileAsleep)
{
    QList<qint64> stopped;
    for (int round = 0; round < 5; ++round) {
        const QList<qint64> running = folder.running();
        bool more = false;
        for (const qint64 pid : running) {
            if (stopped.contains(pid))
                continue;
            ::kill(pid_t(pid), SIGSTOP);
            stopped << pid;
            more = true;
        }
        if (!more)
            break;
    }
    // Stopped means stopped, not about to be.
    const auto isStopped = [](qint64 pid) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            return true; // gone
        const QByteArray line = stat.readAll();
        const qsizetype end = line.lastIndexOf(')');
        return end < 0 || line.mid(end + 2, 1) == "T";
    };
    waitFor([&] { return std::all_of(stopped.cbegin(), stopped.cend(), isStopped); }, std::chrono::seconds(3));
    whileAsleep();
    for (const qint64 pid : stopped)
        ::kill(pid_t(pid), SIGCONT);
}

// org.freedesktop.Notifications on a bus of its own (a dbus-daemon child): records every Notify
// with the id it answered and every CloseNotification, and emits ActionInvoked as if the user
// had picked an action. Calls are answered from the test's event loop; callers never block on it.
class NotificationService final : public QDBusVirtualObject
{
public:
    struct Notified
    {
        uint id = 0;
        QString summary;
        QString body;
        QStringList actions; // key, label, key, label, ...
        qint64 received = 0; // real milliseconds since the epoch

        // The key of the action labelled `label`; empty when it is not offered.
        QString actionKey(const QString &label) const
        {
            for (qsizetype i = 0; i + 1 < actions.size(); i += 2) {
                if (actions[i + 1] == label)
                    return actions[i];
            }
            return {};
        }
    };

    static bool available() { return !QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")).isEmpty(); }

    ~NotificationService() override
    {
        if (m_connected) {
            QDBusConnection bus(m_connectionName);
            bus.unregisterService(kService);
            bus.unregisterObject(kPath);
            QDBusConnection::disconnectFromBus(m_connectionName);
        }
        // The bus goes by its pid.
        if (m_daemon.state() != QProcess::NotRunning) {
            m_daemon.terminate();
            if (!m_daemon.waitForFinished(3000))
                m_daemon.kill();
            m_daemon.waitForFinished(1000);
        }
    }

    // The bus, and the service on it; false (and why, in error()) when either fails.
    bool start()
    {
        m_daemon.setProcessChannelMode(QProcess::SeparateChannels);
        m_daemon.start(QStringLiteral("dbus-daemon"),
                       {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--nopidfile"),
                        QStringLiteral("--print-address=1")});
        if (!m_daemon.waitForStarted(5000))
            return fail(QStringLiteral("dbus-daemon does not start"));
        QByteArray line;
        QElapsedTimer waited;
        waited.start();
        while (!line.contains('\n') && waited.elapsed() < 5000) {
            m_daemon.waitForReadyRead(100);
            line += m_daemon.readAllStandardOutput();
        }
        m_address = QString::fromLatin1(line.trimmed());
        if (m_address.isEmpty())
            return fail(QStringLiteral("dbus-daemon gives no address"));
        m_connectionName = QStringLiteral("promemo-notification-service-%1").arg(m_daemon.processId());
        QDBusConnection bus = QDBusConnection::connectToBus(m_address, m_connectionName);
        m_connected = true;
        if (!bus.isConnected())
            return fail(QStringLiteral("not connected to ") + m_address);
        if (!bus.registerVirtualObject(kPath, this) || !bus.registerService(kService))
            return fail(QStringLiteral("service not registered: ") + bus.lastError().message());
        return true;
    }
    QString error() const { return m_error; }

    // The environment of a program that uses this bus as its session bus.
    QProcessEnvironment environment() const
    {
        QProcessEnvironment environment;
        environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_address);
        return environment;
    }

    QList<Notified> notified() const
    {
        const QMutexLocker lock(&m_mutex);
        return m_notified;
    }
    QList<uint> closed() const
    {
        const QMutexLocker lock(&m_mutex);
        return m_closed;
    }
    // The notifications whose body begins with `text`.
    QList<Notified> notifiedFor(const QString &text) const
    {
        QList<Notified> found = notified();
        found.removeIf([&text](const Notified &call) { return !call.body.startsWith(text); });
        return found;
    }

    // The user picks action `key` of notification `id`.
    void invoke(uint id, const QString &key)
    {
        emitSignal(QStringLiteral("ActionInvoked"), {id, key});
    }

    // Every call, one a line, for a failure message; times by `clock`.
    QString calls(const SuiteClock &clock) const
    {
        const QMutexLocker lock(&m_mutex);
        QStringList lines;
        for (const Notified &call : m_notified) {
            lines << QStringLiteral("  Notify %1 at %2: \"%3\" / \"%4\" actions [%5]")
                         .arg(call.id)
                         .arg(clock.at(call.received).toString(QStringLiteral("dd/MM/yyyy HH:mm:ss t")),
                              call.summary, QString(call.body).replace(u'\n', u'|'),
                              call.actions.join(QLatin1Char(',')));
        }
        for (const uint id : m_closed)
            lines << QStringLiteral("  CloseNotification %1").arg(id);
        return lines.isEmpty() ? QStringLiteral("  (no call)") : lines.join(QLatin1Char('\n'));
    }

    // Callers send raw messages: nothing to introspect.
    QString introspect(const QString &) const override { return {}; }

    bool handleMessage(const QDBusMessage &message, const QDBusConnection &connection) override
    {
        const QString member = message.member();
        const QVariantList arguments = message.arguments();
        if (member == QLatin1String("Notify") && arguments.size() == 8) {
            Notified call;
            call.summary = arguments[3].toString();
            call.body = arguments[4].toString();
            call.actions = arguments[5].toStringList();
            call.received = QDateTime::currentMSecsSinceEpoch();
            {
                const QMutexLocker lock(&m_mutex);
                const uint replaces = arguments[1].toUInt();
                call.id = replaces != 0 ? replaces : ++m_lastId;
                m_notified << call;
            }
            connection.send(message.createReply(QVariant::fromValue(call.id)));
            return true;
        }
        if (member == QLatin1String("CloseNotification") && arguments.size() == 1) {
            const uint id = arguments[0].toUInt();
            {
                const QMutexLocker lock(&m_mutex);
                m_closed << id;
            }
            connection.send(message.createReply());
            emitSignal(QStringLiteral("NotificationClosed"), {id, 3u}); // closed by a call
            return true;
        }
        return false;
    }

private:
    static constexpr QLatin1StringView kService{"org.freedesktop.Notifications"};
    static constexpr QLatin1StringView kPath{"/org/freedesktop/Notifications"};

    bool fail(const QString &why)
    {
        m_error = why;
        return false;
    }
    void emitSignal(const QString &name, const QVariantList &arguments)
    {
        QDBusMessage signal = QDBusMessage::createSignal(kPath, kService, name);
        signal.setArguments(arguments);
        QDBusConnection(m_connectionName).send(signal);
    }

    QProcess m_daemon;
    QString m_address;
    QString m_connectionName;
    QString m_error;
    bool m_connected = false;
    mutable QMutex m_mutex;
    QList<Notified> m_notified;
    QList<uint> m_closed;
    uint m_lastId = 100;
};

} // namespace promemo::test
