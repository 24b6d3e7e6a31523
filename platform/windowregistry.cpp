#include "platform/windowregistry.h"

#include <cerrno>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QSet>
#include <QTimer>

#include "common/programfolder.h"
#include "platform/logging.h"
#include "platform/registrypeers.h"

namespace promemo {
namespace {

using namespace std::chrono_literals;
using namespace registry;

QString shortHash(const QByteArray &data, int hexDigits)
{
    return QString::fromLatin1(
        QCryptographicHash::hash(data, QCryptographicHash::Sha1).toHex().left(hexDigits));
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

// `done` runs when `context` still lives; a request made without a context always reports.
template<typename... Args>
std::function<void(Args...)> guarded(QObject *context, std::function<void(Args...)> done)
{
    if (!done)
        return [](Args...) {};
    if (!context)
        return done;
    return [context = QPointer<QObject>(context), done = std::move(done)](Args... args) {
        if (context)
            done(args...);
    };
}

// Asks every window of a caption to close, then looks whether any is left, again every few
// milliseconds, until none is or the bound has passed. Deletes itself.
class CloseAll final : public QObject
{
public:
    CloseAll(QString directory, QString caption, std::chrono::milliseconds bound,
             std::chrono::milliseconds perRequest, std::function<void(bool)> done)
        : m_directory(std::move(directory)), m_caption(std::move(caption)), m_deadline(bound),
          m_perRequest(perRequest), m_done(std::move(done))
    {
    }

    // Windows that appear meanwhile are asked too; each window is asked once.
    void step()
    {
        QStringList fresh = socketPaths(m_directory, m_caption);
        fresh.removeIf([this](const QString &path) { return m_asked.contains(path); });
        Requests::send(fresh, Verb::Close, m_caption, bound(), [this](const Reply &reply) {
            if (reply.answer == Answer::Match)
                m_asked.insert(reply.path);
            return false;
        }, [this](const QList<Reply> &) { look(); });
    }

private:
    std::chrono::milliseconds bound() const
    {
        return std::clamp(std::chrono::milliseconds(m_deadline.remainingTime()), 0ms, m_perRequest);
    }

    void look()
    {
        Requests::send(socketPaths(m_directory, m_caption), Verb::Ping, m_caption, bound(),
                       [](const Reply &reply) { return reply.answer == Answer::Match; },
                       [this](const QList<Reply> &replies) {
            const bool left = std::any_of(replies.begin(), replies.end(), [](const Reply &reply) {
                return reply.answer == Answer::Match || reply.answer == Answer::NoAnswer;
            });
            if (!left || m_deadline.hasExpired()) {
                m_done(!left);
                deleteLater();
                return;
            }
            QTimer::singleShot(10ms, this, [this] { step(); });
        });
    }

    QString m_directory;
    QString m_caption;
    QDeadlineTimer m_deadline;
    std::chrono::milliseconds m_perRequest;
    QSet<QString> m_asked;
    std::function<void(bool)> m_done;
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
    : m_directory(openRegistryDirectory(programFolder)), m_timeouts(timeouts)
{
}

WindowRegistry::~WindowRegistry() = default;

bool WindowRegistry::isUsable() const
{
    return !m_directory.isEmpty();
}

std::unique_ptr<RegisteredWindow> WindowRegistry::registerWindow(const QString &caption)
{
    if (!isUsable())
        return nullptr;
    auto window = std::make_unique<LocalWindow>(caption, m_directory);
    if (!window->listen())
        return nullptr;
    return window;
}

void WindowRegistry::checkPresence(const QString &caption, QObject *context,
                                   std::function<void(const WindowPresence &)> done)
{
    Requests::send(socketPaths(m_directory, caption), Verb::Ping, caption,
                   m_timeouts.connect + m_timeouts.reply,
                   [](const Reply &reply) { return reply.answer == Answer::Match; },
                   [done = guarded(context, std::move(done))](const QList<Reply> &replies) {
        WindowPresence presence;
        for (const Reply &reply : replies)
            presence.answered = presence.answered || reply.answer == Answer::Match;
        for (const Reply &reply : replies) {
            if (!presence.answered && reply.answer == Answer::NoAnswer && reply.owner > 0
                && !presence.unanswering.contains(reply.owner))
                presence.unanswering.append(reply.owner);
        }
        done(presence);
    });
}

void WindowRegistry::postClose(const QString &caption, QObject *context,
                               std::function<void(bool delivered)> done)
{
    askInTurn(socketPaths(m_directory, caption), Verb::Close, caption,
              m_timeouts.connect + m_timeouts.reply,
              [done = guarded(context, std::move(done))](Answer answer) { done(answer == Answer::Match); });
}

void WindowRegistry::raise(const QString &caption, QObject *context, std::function<void(bool there)> done)
{
    askInTurn(socketPaths(m_directory, caption), Verb::Raise, caption,
              m_timeouts.connect + m_timeouts.reply,
              [done = guarded(context, std::move(done))](Answer answer) {
        // A window that does not answer in time is hung, not gone.
        done(answer == Answer::Match || answer == Answer::NoAnswer);
    });
}

void WindowRegistry::captionsStartingWith(const QString &prefix, QObject *context,
                                          std::function<void(const QStringList &)> done)
{
    const QStringList paths = socketPaths(m_directory, QString());
    Requests::send(paths, Verb::Name, prefix, m_timeouts.connect + m_timeouts.reply,
                   [](const Reply &) { return false; },
                   [paths, prefix, done = guarded(context, std::move(done))](const QList<Reply> &replies) {
        // In the order of the sockets, each caption once.
        QStringList captions;
        for (const QString &path : paths) {
            for (const Reply &reply : replies) {
                if (reply.path != path || reply.answer != Answer::Match)
                    continue;
                const QString caption = QString::fromUtf8(reply.text);
                if (caption.startsWith(prefix) && !captions.contains(caption))
                    captions.append(caption);
            }
        }
        done(captions);
    });
}

void WindowRegistry::statesOf(const QString &caption, QObject *context,
                              std::function<void(const QByteArrayList &)> done)
{
    const QStringList paths = socketPaths(m_directory, caption);
    Requests::send(paths, Verb::State, caption, m_timeouts.connect + m_timeouts.reply,
                   [](const Reply &) { return false; },
                   [paths, done = guarded(context, std::move(done))](const QList<Reply> &replies) {
        // In the order of the sockets, as every asker sees them.
        QByteArrayList states;
        for (const QString &path : paths) {
            for (const Reply &reply : replies) {
                if (reply.path == path && reply.answer == Answer::Match && !reply.text.isEmpty())
                    states.append(reply.text);
            }
        }
        done(states);
    });
}

void WindowRegistry::closeAll(const QString &caption, std::chrono::milliseconds bound,
                              QObject *context, std::function<void(bool closed)> done)
{
    (new CloseAll(m_directory, caption, bound, m_timeouts.connect + m_timeouts.reply,
                  guarded(context, std::move(done))))->step();
}

} // namespace promemo
