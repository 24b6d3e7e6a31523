#include "platform/registrypeers.h"

#include <atomic>
#include <optional>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QTimer>

#include "platform/logging.h"

namespace promemo::registry {
namespace {

using namespace std::chrono_literals;

constexpr qsizetype kMaxRequestLength = 8192;
constexpr auto kIdleConnectionLimit = 2s;
const QString kSocketPrefix = QStringLiteral("w-");
const QString kPendingPrefix = QStringLiteral(".t-");

QByteArray verbWord(Verb verb)
{
    switch (verb) {
    case Verb::Ping:
        return "ping";
    case Verb::Close:
        return "close";
    case Verb::Raise:
        return "raise";
    case Verb::Name:
        return "name";
    case Verb::State:
        return "state";
    }
    return {};
}

// Names stay short: a socket path may not exceed 107 bytes.
QString captionKey(const QString &caption)
{
    return QString::fromLatin1(
        QCryptographicHash::hash(caption.toUtf8(), QCryptographicHash::Sha1).toHex().left(12));
}

std::optional<ucred> peerCredentials(qintptr descriptor)
{
    struct ucred credentials {};
    socklen_t length = sizeof credentials;
    if (::getsockopt(int(descriptor), SOL_SOCKET, SO_PEERCRED, &credentials, &length) != 0)
        return std::nullopt;
    return credentials;
}

QHash<QString, LocalWindow *> &localWindows()
{
    static QHash<QString, LocalWindow *> windows;
    return windows;
}

} // namespace

QByteArray requestLine(Verb verb, const QString &caption)
{
    return verbWord(verb) + ' ' + caption.toUtf8().toBase64() + '\n';
}

QStringList socketPaths(const QString &directory, const QString &caption)
{
    if (directory.isEmpty())
        return {};
    const QDir dir(directory);
    const QString pattern = kSocketPrefix + (caption.isNull() ? QString() : captionKey(caption))
                            + QLatin1Char('*');
    QStringList paths;
    for (const QString &name : dir.entryList({pattern}, QDir::System | QDir::Files | QDir::NoDotAndDotDot))
        paths.append(dir.filePath(name));
    return paths;
}

// --- the owner's side

LocalWindow::LocalWindow(const QString &caption, const QString &directory) : m_caption(caption)
{
    static std::atomic<int> counter{0};
    const QString name = QStringLiteral("%1-%2-%3")
                             .arg(captionKey(caption))
                             .arg(QCoreApplication::applicationPid())
                             .arg(counter++);
    m_path = directory + QLatin1Char('/') + kSocketPrefix + name;
    m_pendingPath = directory + QLatin1Char('/') + kPendingPrefix + name;
    connect(&m_server, &QLocalServer::newConnection, this, &LocalWindow::acceptConnections);
}

// Gone for everyone at once: no caller finds the socket any more, and those whose requests
// wait, in the queue or read, see their connection closed rather than waiting in vain while
// this program ends.
LocalWindow::~LocalWindow()
{
    localWindows().remove(m_path);
    if (!m_server.isListening())
        return;
    QFile::remove(m_path);
    m_server.close();
    for (const QPointer<QLocalSocket> &socket : std::as_const(m_unanswered)) {
        if (socket)
            socket->abort();
    }
}

LocalWindow *LocalWindow::at(const QString &path)
{
    return localWindows().value(path);
}

// Listens under a hidden name first and renames it into place, so a caller never finds a
// socket file that is not yet listening (and would take it for a stale one).
bool LocalWindow::listen()
{
    QLocalServer::removeServer(m_pendingPath);
    if (!m_server.listen(m_pendingPath)) {
        qCWarning(lcRegistry, "cannot listen on %s: %s", qPrintable(m_pendingPath),
                  qPrintable(m_server.errorString()));
        return false;
    }
    if (::rename(QFile::encodeName(m_pendingPath).constData(),
                 QFile::encodeName(m_path).constData()) != 0) {
        qCWarning(lcRegistry, "cannot publish %s", qPrintable(m_path));
        m_server.close();
        return false;
    }
    localWindows().insert(m_path, this);
    return true;
}

void LocalWindow::deliver(Verb verb)
{
    if (verb != Verb::Close && verb != Verb::Raise)
        return;
    QMetaObject::invokeMethod(
        this,
        [this, verb] {
            if (verb == Verb::Close)
                emit closeRequested();
            else
                emit raiseRequested();
        },
        Qt::QueuedConnection);
}

void LocalWindow::acceptConnections()
{
    while (QLocalSocket *socket = m_server.nextPendingConnection()) {
        // Not the server's child: the reply must outlive a registration its owner drops while
        // handling the request.
        socket->setParent(nullptr);
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        const auto credentials = peerCredentials(socket->socketDescriptor());
        if (!credentials || credentials->uid != ::geteuid()) {
            qCWarning(lcRegistry, "request from another user refused");
            socket->abort();
            socket->deleteLater();
            continue;
        }
        QTimer::singleShot(kIdleConnectionLimit, socket, [socket] {
            socket->abort();
            socket->deleteLater();
        });
        m_unanswered.removeIf([](const QPointer<QLocalSocket> &open) { return !open; });
        m_unanswered.append(socket);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { answer(socket); });
    }
}

void LocalWindow::answer(QLocalSocket *socket)
{
    if (!socket->canReadLine()) {
        if (socket->bytesAvailable() > kMaxRequestLength)
            socket->abort();
        return;
    }
    const auto [reply, accepted] = this->reply(socket->readLine(kMaxRequestLength + 1).trimmed());
    m_unanswered.removeOne(socket);
    socket->write(reply);
    socket->flush();
    socket->disconnectFromServer();
    if (accepted)
        deliver(*accepted);
}

std::pair<QByteArray, std::optional<Verb>> LocalWindow::reply(const QByteArray &line) const
{
    const qsizetype blank = line.indexOf(' ');
    const QByteArray word = line.left(blank);
    const auto decoded = QByteArray::fromBase64Encoding(line.mid(blank + 1),
                                                        QByteArray::AbortOnBase64DecodingErrors);
    std::optional<Verb> verb;
    for (const Verb candidate : {Verb::Ping, Verb::Close, Verb::Raise, Verb::Name, Verb::State}) {
        if (word == verbWord(candidate))
            verb = candidate;
    }
    const QByteArray own = m_caption.toUtf8();
    const bool matches = blank > 0 && decoded
                         && (verb == Verb::Name ? own.startsWith(*decoded) : *decoded == own);
    if (!matches || !verb)
        return {"no\n", std::nullopt};
    if (verb == Verb::Name)
        return {"yes " + own.toBase64() + '\n', verb};
    if (verb == Verb::State) {
        const QByteArray told = state();
        return {told.isEmpty() ? QByteArray("no\n") : "yes " + told.toBase64() + '\n', verb};
    }
    return {"yes\n", verb};
}

// --- the asking side

Requests::Requests(OnReply onReply, OnEnd onEnd)
    : m_onReply(std::move(onReply)), m_onEnd(std::move(onEnd))
{
}

void Requests::send(const QStringList &paths, Verb verb, const QString &caption,
                    std::chrono::milliseconds bound, OnReply onReply, OnEnd onEnd)
{
    auto *requests = new Requests(std::move(onReply), std::move(onEnd));
    QTimer::singleShot(bound, requests, [requests] { requests->finish(); });
    const QByteArray line = requestLine(verb, caption);
    for (const QString &path : paths) {
        if (requests->m_enough)
            break;
        if (LocalWindow *own = LocalWindow::at(path)) {
            const QByteArray state = verb == Verb::State ? own->state() : QByteArray();
            const bool match = verb == Verb::Name    ? own->caption().startsWith(caption)
                               : verb == Verb::State ? own->caption() == caption && !state.isEmpty()
                                                     : own->caption() == caption;
            Reply reply{path, match ? Answer::Match : Answer::Other, {}, QCoreApplication::applicationPid()};
            if (match && verb == Verb::Name)
                reply.text = own->caption().toUtf8();
            if (match && verb == Verb::State)
                reply.text = state;
            if (match)
                own->deliver(verb);
            requests->m_replies.append(reply);
            requests->m_enough = requests->m_onReply(reply);
            continue;
        }
        requests->ask(path, line);
    }
    requests->m_starting = false;
    // Reported from the event loop, never from inside the caller's call.
    QMetaObject::invokeMethod(requests, [requests] {
        if (requests->m_enough || requests->m_pending.isEmpty())
            requests->finish();
    }, Qt::QueuedConnection);
}

void Requests::ask(const QString &path, const QByteArray &line)
{
    auto *socket = new QLocalSocket(this);
    Reply pending;
    pending.path = path;
    m_pending.insert(socket, pending);
    connect(socket, &QLocalSocket::connected, this, [this, socket, line] {
        const auto credentials = peerCredentials(socket->socketDescriptor());
        // The directory is private, but a socket of someone else must never get requests.
        if (!credentials || credentials->uid != ::geteuid()) {
            settle(socket, Answer::Other);
            return;
        }
        m_pending[socket].owner = credentials->pid;
        socket->write(line);
    });
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
        if (!socket->canReadLine())
            return;
        const QByteArray reply = socket->readLine(kMaxRequestLength + 1).trimmed();
        if (reply == "yes")
            settle(socket, Answer::Match);
        else if (const auto caption = QByteArray::fromBase64Encoding(
                     reply.mid(4), QByteArray::AbortOnBase64DecodingErrors);
                 reply.startsWith("yes ") && caption)
            settle(socket, Answer::Match, *caption);
        else
            settle(socket, reply == "no" ? Answer::Other : Answer::NoAnswer);
    });
    connect(socket, &QLocalSocket::errorOccurred, this, [this, socket](QLocalSocket::LocalSocketError error) {
        // A socket nobody listens on any more is an entry whose owner died.
        const bool stale = error == QLocalSocket::ConnectionRefusedError
                           || error == QLocalSocket::ServerNotFoundError;
        if (stale)
            QFile::remove(m_pending.value(socket).path);
        // Closed before it replied: the window deregistered, or its program ended, meanwhile.
        // A hung one keeps the connection open.
        const bool gone = stale || error == QLocalSocket::PeerClosedError;
        settle(socket, gone ? Answer::Gone : Answer::NoAnswer);
    });
    socket->connectToServer(path);
}

void Requests::settle(QLocalSocket *socket, Answer answer, const QByteArray &text)
{
    if (m_finished || !m_pending.contains(socket))
        return;
    Reply reply = m_pending.take(socket);
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
    reply.answer = answer;
    reply.text = text;
    m_replies.append(reply);
    m_enough = m_enough || m_onReply(reply);
    // A socket may fail at once, inside send(); the end is reported from the event loop then.
    if (!m_starting && (m_enough || m_pending.isEmpty()))
        finish();
}

void Requests::finish()
{
    if (m_finished)
        return;
    m_finished = true;
    for (auto it = m_pending.begin(); it != m_pending.end(); ++it) {
        it.key()->disconnect(this);
        it.key()->abort();
        Reply reply = it.value();
        // Its owner took the socket away meanwhile: it is ending, not hung.
        reply.answer = QFileInfo::exists(reply.path) ? Answer::NoAnswer : Answer::Gone;
        m_replies.append(reply);
    }
    m_pending.clear();
    m_onEnd(m_replies);
    deleteLater();
}

void askInTurn(QStringList paths, Verb verb, const QString &caption,
               std::chrono::milliseconds bound, std::function<void(Answer)> done, bool sawNoAnswer)
{
    if (paths.isEmpty()) {
        QTimer::singleShot(0, [done = std::move(done), sawNoAnswer] {
            done(sawNoAnswer ? Answer::NoAnswer : Answer::Other);
        });
        return;
    }
    const QString path = paths.takeFirst();
    Requests::send({path}, verb, caption, bound, [](const Reply &) { return false; },
                   [=, paths = std::move(paths)](const QList<Reply> &replies) {
        const Answer answer = replies.isEmpty() ? Answer::NoAnswer : replies.first().answer;
        if (answer == Answer::Match)
            done(Answer::Match);
        else
            askInTurn(paths, verb, caption, bound, done, sawNoAnswer || answer == Answer::NoAnswer);
    });
}

} // namespace promemo::registry
