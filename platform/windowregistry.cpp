#include "windowregistry.h"

#include "platform/logging.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <optional>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QSet>
#include <QTimer>

#include "common/programfolder.h"

// Protocol: the caller connects to a window's socket and sends one line,
// "<verb> <caption as base64 of UTF-8>\n", verb being ping, close or raise. The owner answers
// "yes\n" when the caption is exactly its own (and then acts), "no\n" otherwise.
// The verb name carries a prefix instead: the owner answers "yes <its caption as base64>\n"
// when its caption begins with the prefix. Owners that do not know a verb answer "no\n".

namespace promemo {
namespace {

using namespace std::chrono_literals;

constexpr qsizetype maxRequestLength = 8192;
constexpr auto idleConnectionLimit = 2s;
const QString socketPrefix = QStringLiteral("w-");
const QString pendingPrefix = QStringLiteral(".t-");

enum class Verb { Ping, Close, Raise, Name };

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
    }
    return {};
}

QString shortHash(const QByteArray &data, int hexDigits)
{
    return QString::fromLatin1(
        QCryptographicHash::hash(data, QCryptographicHash::Sha1).toHex().left(hexDigits));
}

// Names stay short: a socket path may not exceed 107 bytes.
QString captionKey(const QString &caption)
{
    return shortHash(caption.toUtf8(), 12);
}

bool isUsableRuntimeDirectory(const QByteArray &path)
{
    if (path.isEmpty() || !path.startsWith('/'))
        return false;
    struct stat info {};
    if (::stat(path.constData(), &info) != 0 || !S_ISDIR(info.st_mode))
        return false;
    return ::access(path.constData(), W_OK | X_OK) == 0;
}

QString homeDirectory()
{
    const QByteArray home = qgetenv("HOME");
    if (home.startsWith('/'))
        return QFile::decodeName(home);
    const passwd *entry = ::getpwuid(::geteuid());
    return entry && entry->pw_dir ? QFile::decodeName(entry->pw_dir) : QString();
}

QString cacheDirectory()
{
    return homeDirectory() + QStringLiteral("/.cache");
}

QString baseDirectory()
{
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (isUsableRuntimeDirectory(runtime))
        return QString::fromLocal8Bit(runtime) + QStringLiteral("/promemo");
    // A name in a shared folder could be taken first by another user.
    return cacheDirectory() + QStringLiteral("/promemo");
}

bool isPrivateDirectory(const QString &path)
{
    struct stat info {};
    const QByteArray native = QFile::encodeName(path);
    if (::lstat(native.constData(), &info) != 0)
        return false;
    return S_ISDIR(info.st_mode) && info.st_uid == ::geteuid() && (info.st_mode & 077) == 0;
}

bool makePrivateDirectory(const QString &path)
{
    const QByteArray native = QFile::encodeName(path);
    if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST) {
        qCWarning(lcRegistry, "cannot create %s", native.constData());
        return false;
    }
    if (!isPrivateDirectory(path)) {
        qCWarning(lcRegistry, "%s is not a private directory of this user; refused",
                 native.constData());
        return false;
    }
    return true;
}

std::optional<ucred> peerCredentials(qintptr descriptor)
{
    struct ucred credentials {};
    socklen_t length = sizeof credentials;
    if (::getsockopt(int(descriptor), SOL_SOCKET, SO_PEERCRED, &credentials, &length) != 0)
        return std::nullopt;
    return credentials;
}

bool isSameUser(qintptr descriptor)
{
    const auto credentials = peerCredentials(descriptor);
    return credentials && credentials->uid == ::geteuid();
}

int remainingMs(const QDeadlineTimer &deadline, std::chrono::milliseconds cap)
{
    return int(std::min<qint64>(cap.count(), std::max<qint64>(0, deadline.remainingTime())));
}

// The windows this process has registered, by socket path: requests to them skip the socket,
// since this thread cannot answer itself while it waits for the answer.
class LocalWindow;
QHash<QString, LocalWindow *> &localWindows()
{
    static QHash<QString, LocalWindow *> windows;
    return windows;
}

class LocalWindow final : public RegisteredWindow
{
public:
    LocalWindow(const QString &caption, const QString &directory) : caption_(caption)
    {
        static std::atomic<int> counter{0};
        const QString name = QStringLiteral("%1-%2-%3")
                                 .arg(captionKey(caption))
                                 .arg(QCoreApplication::applicationPid())
                                 .arg(counter++);
        path_ = directory + QLatin1Char('/') + socketPrefix + name;
        pendingPath_ = directory + QLatin1Char('/') + pendingPrefix + name;
        connect(&server_, &QLocalServer::newConnection, this, &LocalWindow::acceptConnections);
    }

    ~LocalWindow() override
    {
        localWindows().remove(path_);
        if (!server_.isListening())
            return;
        server_.close();
        QFile::remove(path_);
    }

    // Listens under a hidden name first and renames it into place, so a caller never finds a
    // socket file that is not yet listening (and would take it for a stale one).
    bool listen()
    {
        QLocalServer::removeServer(pendingPath_);
        if (!server_.listen(pendingPath_)) {
            qCWarning(lcRegistry, "cannot listen on %s: %s",
                     qPrintable(pendingPath_), qPrintable(server_.errorString()));
            return false;
        }
        if (::rename(QFile::encodeName(pendingPath_).constData(),
                     QFile::encodeName(path_).constData()) != 0) {
            qCWarning(lcRegistry, "cannot publish %s", qPrintable(path_));
            server_.close();
            return false;
        }
        localWindows().insert(path_, this);
        return true;
    }

    const QString &caption() const { return caption_; }

    // Emitted from the event loop, never from inside the request, so the owner may destroy
    // this object in its slot.
    void deliver(Verb verb)
    {
        if (verb == Verb::Ping || verb == Verb::Name)
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

private:
    void acceptConnections()
    {
        while (QLocalSocket *socket = server_.nextPendingConnection()) {
            // Not the server's child: the reply must outlive a registration its owner drops
            // while handling the request.
            socket->setParent(nullptr);
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            if (!isSameUser(socket->socketDescriptor())) {
                qCWarning(lcRegistry, "request from another user refused");
                socket->abort();
                socket->deleteLater();
                continue;
            }
            QTimer::singleShot(idleConnectionLimit, socket, [socket] {
                socket->abort();
                socket->deleteLater();
            });
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] { answer(socket); });
        }
    }

    void answer(QLocalSocket *socket)
    {
        if (!socket->canReadLine()) {
            if (socket->bytesAvailable() > maxRequestLength)
                socket->abort();
            return;
        }
        const QByteArray line = socket->readLine(maxRequestLength + 1).trimmed();
        const qsizetype blank = line.indexOf(' ');
        const QByteArray word = line.left(blank);
        const auto decoded = QByteArray::fromBase64Encoding(
            line.mid(blank + 1), QByteArray::AbortOnBase64DecodingErrors);

        std::optional<Verb> verb;
        for (const Verb candidate : {Verb::Ping, Verb::Close, Verb::Raise, Verb::Name}) {
            if (word == verbWord(candidate))
                verb = candidate;
        }
        const QByteArray own = caption_.toUtf8();
        const bool matches = blank > 0 && decoded
                             && (verb == Verb::Name ? own.startsWith(*decoded) : *decoded == own);
        const bool accepted = matches && verb.has_value();
        if (!accepted)
            socket->write("no\n");
        else if (verb == Verb::Name)
            socket->write("yes " + own.toBase64() + '\n');
        else
            socket->write("yes\n");
        socket->flush();
        socket->disconnectFromServer();
        if (accepted)
            deliver(*verb);
    }

    QString caption_;
    QString path_;
    QString pendingPath_;
    QLocalServer server_;
};

enum class Answer { Match, Other, Gone, NoAnswer };

// `ownCaption`, when given, receives the caption that an owner sends with its "yes".
Answer ask(const QString &path, Verb verb, const QString &caption,
           const QDeadlineTimer &deadline, const WindowRegistry::Timeouts &timeouts,
           QString *ownCaption = nullptr)
{
    QLocalSocket socket;
    socket.connectToServer(path);
    if (!socket.waitForConnected(remainingMs(deadline, timeouts.connect))) {
        const auto error = socket.error();
        const bool gone = error == QLocalSocket::ConnectionRefusedError
                          || error == QLocalSocket::ServerNotFoundError;
        return gone ? Answer::Gone : Answer::NoAnswer;
    }
    // The directory is private, but a socket of someone else must never get our requests.
    if (!isSameUser(socket.socketDescriptor()))
        return Answer::Other;

    socket.write(verbWord(verb) + ' ' + caption.toUtf8().toBase64() + '\n');
    if (!socket.waitForBytesWritten(remainingMs(deadline, timeouts.connect)))
        return Answer::NoAnswer;
    QDeadlineTimer replyDeadline(remainingMs(deadline, timeouts.reply));
    while (!socket.canReadLine()) {
        if (replyDeadline.hasExpired() || !socket.waitForReadyRead(int(replyDeadline.remainingTime())))
            return Answer::NoAnswer;
    }
    const QByteArray reply = socket.readLine().trimmed();
    if (reply == "yes")
        return Answer::Match;
    if (ownCaption && reply.startsWith("yes ")) {
        const auto decoded = QByteArray::fromBase64Encoding(
            reply.mid(4), QByteArray::AbortOnBase64DecodingErrors);
        if (!decoded)
            return Answer::NoAnswer;
        *ownCaption = QString::fromUtf8(*decoded);
        return Answer::Match;
    }
    if (reply == "no")
        return Answer::Other;
    return Answer::NoAnswer;
}

struct Delivery
{
    int matched = 0;
    int unanswered = 0;
    bool complete = true;
};

enum class Reach { First, All };

// Sends `verb` to the live windows with `caption` (the first one or all), skipping and then
// adding to `done` those already reached. Sockets left by dead owners are removed on the way.
Delivery send(const QString &directory, const QString &caption, Verb verb, Reach reach,
              const QDeadlineTimer &deadline, const WindowRegistry::Timeouts &timeouts,
              QSet<QString> *done = nullptr)
{
    Delivery result;
    if (directory.isEmpty())
        return result;
    const QDir dir(directory);
    const QStringList names = dir.entryList({socketPrefix + captionKey(caption) + QLatin1Char('*')},
                                            QDir::System | QDir::Files | QDir::NoDotAndDotDot);
    for (const QString &name : names) {
        const QString path = dir.filePath(name);
        if (done && done->contains(path))
            continue;
        if (deadline.hasExpired()) {
            result.complete = false;
            break;
        }
        Answer answer = Answer::Other;
        if (LocalWindow *own = localWindows().value(path)) {
            if (own->caption() == caption) {
                own->deliver(verb);
                answer = Answer::Match;
            }
        } else {
            answer = ask(path, verb, caption, deadline, timeouts);
        }
        switch (answer) {
        case Answer::Match:
            ++result.matched;
            if (done)
                done->insert(path);
            break;
        case Answer::Gone:
            QFile::remove(path);
            break;
        case Answer::NoAnswer:
            ++result.unanswered;
            break;
        case Answer::Other:
            break;
        }
        if (answer == Answer::Match && reach == Reach::First)
            break;
    }
    return result;
}

// Asks every window with a caption at once whether it is there, on the event loop, and reports
// once one answered, all were settled or the bound passed. Deletes itself.
class PresenceCheck final : public QObject
{
public:
    PresenceCheck(QObject *context, std::function<void(const WindowPresence &)> done)
        : context_(context), done_(std::move(done))
    {
    }

    void start(const QString &directory, const QString &caption, std::chrono::milliseconds bound)
    {
        QTimer::singleShot(bound, this, [this] { finish(); });
        const QByteArray request = verbWord(Verb::Ping) + ' ' + caption.toUtf8().toBase64() + '\n';
        const QDir dir(directory);
        const QStringList names =
            directory.isEmpty()
                ? QStringList()
                : dir.entryList({socketPrefix + captionKey(caption) + QLatin1Char('*')},
                                QDir::System | QDir::Files | QDir::NoDotAndDotDot);
        for (const QString &name : names) {
            const QString path = dir.filePath(name);
            if (const LocalWindow *own = localWindows().value(path)) {
                result_.answered = result_.answered || own->caption() == caption;
                continue;
            }
            ask(path, request);
        }
        starting_ = false;
        settle();
    }

private:
    void ask(const QString &path, const QByteArray &request)
    {
        auto *socket = new QLocalSocket(this);
        pending_.insert(socket, 0);
        connect(socket, &QLocalSocket::connected, this, [this, socket, request] {
            const auto credentials = peerCredentials(socket->socketDescriptor());
            // The directory is private, but a socket of someone else must never get requests.
            if (!credentials || credentials->uid != ::geteuid()) {
                drop(socket);
                return;
            }
            pending_[socket] = credentials->pid;
            socket->write(request);
        });
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine())
                return;
            result_.answered = result_.answered || socket->readLine().trimmed() == "yes";
            drop(socket);
        });
        connect(socket, &QLocalSocket::errorOccurred, this,
                [this, socket, path](QLocalSocket::LocalSocketError error) {
            // A socket nobody listens on any more is an entry whose owner died.
            if (error == QLocalSocket::ConnectionRefusedError
                || error == QLocalSocket::ServerNotFoundError)
                QFile::remove(path);
            drop(socket);
        });
        socket->connectToServer(path);
    }

    void drop(QLocalSocket *socket)
    {
        if (!pending_.remove(socket))
            return;
        socket->disconnect(this);
        socket->abort();
        socket->deleteLater();
        settle();
    }

    // Reported from the event loop, never from inside start().
    void settle()
    {
        if (!starting_ && (result_.answered || pending_.isEmpty()))
            QMetaObject::invokeMethod(this, [this] { finish(); }, Qt::QueuedConnection);
    }

    void finish()
    {
        if (finished_)
            return;
        finished_ = true;
        if (!result_.answered) {
            for (auto it = pending_.cbegin(); it != pending_.cend(); ++it) {
                if (it.value() > 0 && !result_.unanswering.contains(it.value()))
                    result_.unanswering.append(it.value());
            }
        }
        if (context_)
            done_(result_);
        deleteLater();
    }

    QPointer<QObject> context_;
    std::function<void(const WindowPresence &)> done_;
    // The sockets still to answer, with their owner's process once connected.
    QHash<QLocalSocket *, qint64> pending_;
    WindowPresence result_;
    bool starting_ = true;
    bool finished_ = false;
};

// Asks every window of a caption to close, then looks again every few milliseconds from the
// event loop until none is left or the bound has passed. Deletes itself.
class CloseAll final : public QObject
{
public:
    CloseAll(QString directory, QString caption, std::chrono::milliseconds bound,
             WindowRegistry::Timeouts timeouts, QObject *context, std::function<void(bool)> done)
        : directory_(std::move(directory)), caption_(std::move(caption)), deadline_(bound),
          timeouts_(timeouts), context_(context), done_(std::move(done))
    {
    }

    // The first step runs at once, so the requests are out even if the caller ends right after.
    void step()
    {
        // Windows that appear meanwhile are asked too; each window is asked once.
        send(directory_, caption_, Verb::Close, Reach::All, deadline_, timeouts_, &asked_);
        const Delivery left = send(directory_, caption_, Verb::Ping, Reach::First, deadline_, timeouts_);
        if (left.complete && left.matched == 0 && left.unanswered == 0) {
            finish(true);
            return;
        }
        if (deadline_.hasExpired()) {
            finish(false);
            return;
        }
        QTimer::singleShot(10ms, this, [this] { step(); });
    }

private:
    void finish(bool closed)
    {
        // Reported from the event loop, never from inside the caller's call.
        QTimer::singleShot(0, this, [this, closed] {
            if (context_ && done_)
                done_(closed);
            deleteLater();
        });
    }

    QString directory_;
    QString caption_;
    QDeadlineTimer deadline_;
    WindowRegistry::Timeouts timeouts_;
    QSet<QString> asked_;
    QPointer<QObject> context_;
    std::function<void(bool)> done_;
};

} // namespace

QString registryDirectoryPath(const QString &programFolder)
{
    QString folder = QFileInfo(programFolder).canonicalFilePath();
    if (folder.isEmpty())
        folder = QDir::cleanPath(QDir(programFolder).absolutePath());
    return baseDirectory() + QLatin1Char('/') + shortHash(QFile::encodeName(folder), 16);
}

QString openRegistryDirectory(const QString &programFolder)
{
    const QString path = registryDirectoryPath(programFolder);
    // ~/.cache may not exist yet; it is the user's own, as the home is.
    const QString cache = cacheDirectory();
    if (path.startsWith(cache + QLatin1Char('/')))
        ::mkdir(QFile::encodeName(cache).constData(), 0700);
    if (!makePrivateDirectory(QFileInfo(path).path()) || !makePrivateDirectory(path))
        return {};
    return path;
}

WindowRegistry::WindowRegistry() : WindowRegistry(programFolder()) {}

WindowRegistry::WindowRegistry(const QString &programFolder, Timeouts timeouts)
    : directory_(openRegistryDirectory(programFolder)), timeouts_(timeouts)
{
}

WindowRegistry::~WindowRegistry() = default;

bool WindowRegistry::isUsable() const
{
    return !directory_.isEmpty();
}

QString WindowRegistry::directory() const
{
    return directory_;
}

std::unique_ptr<RegisteredWindow> WindowRegistry::registerWindow(const QString &caption)
{
    if (!isUsable())
        return nullptr;
    auto window = std::make_unique<LocalWindow>(caption, directory_);
    if (!window->listen())
        return nullptr;
    return window;
}

bool WindowRegistry::exists(const QString &caption)
{
    const QDeadlineTimer deadline(timeouts_.connect + timeouts_.reply);
    const Delivery found = send(directory_, caption, Verb::Ping, Reach::First, deadline, timeouts_);
    // A window that does not answer in time is hung, not gone.
    return found.matched > 0 || found.unanswered > 0;
}

bool WindowRegistry::postClose(const QString &caption)
{
    const QDeadlineTimer deadline(timeouts_.connect + timeouts_.reply);
    return send(directory_, caption, Verb::Close, Reach::First, deadline, timeouts_).matched > 0;
}

bool WindowRegistry::raise(const QString &caption)
{
    const QDeadlineTimer deadline(timeouts_.connect + timeouts_.reply);
    return send(directory_, caption, Verb::Raise, Reach::First, deadline, timeouts_).matched > 0;
}

QStringList WindowRegistry::captionsStartingWith(const QString &prefix)
{
    QStringList captions;
    if (directory_.isEmpty())
        return captions;
    // Each window gets the usual bounds, so one hung window does not hide the others; all
    // together get twice that.
    const auto perWindow = timeouts_.connect + timeouts_.reply;
    const QDeadlineTimer overall(2 * perWindow);
    const QDir dir(directory_);
    const QStringList names = dir.entryList({socketPrefix + QLatin1Char('*')},
                                            QDir::System | QDir::Files | QDir::NoDotAndDotDot);
    for (const QString &name : names) {
        if (overall.hasExpired())
            break;
        const QDeadlineTimer deadline(std::min<qint64>(perWindow.count(), overall.remainingTime()));
        const QString path = dir.filePath(name);
        QString caption;
        if (const LocalWindow *own = localWindows().value(path)) {
            if (own->caption().startsWith(prefix))
                caption = own->caption();
        } else {
            switch (ask(path, Verb::Name, prefix, deadline, timeouts_, &caption)) {
            case Answer::Gone:
                QFile::remove(path);
                [[fallthrough]];
            case Answer::Other:
            case Answer::NoAnswer:
                caption.clear();
                break;
            case Answer::Match:
                break;
            }
        }
        if (!caption.isNull() && caption.startsWith(prefix) && !captions.contains(caption))
            captions.append(caption);
    }
    return captions;
}

void WindowRegistry::checkPresence(const QString &caption, QObject *context,
                                   std::function<void(const WindowPresence &)> done)
{
    auto *check = new PresenceCheck(context, std::move(done));
    check->start(directory_, caption, timeouts_.connect + timeouts_.reply);
}

void WindowRegistry::closeAll(const QString &caption, std::chrono::milliseconds bound,
                              QObject *context, std::function<void(bool closed)> done)
{
    (new CloseAll(directory_, caption, bound, timeouts_, context, std::move(done)))->step();
}

} // namespace promemo
