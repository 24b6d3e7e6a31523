#pragma once

// The registry's two sides on local sockets, used by WindowRegistry only.
//
// Protocol: the caller connects to a window's socket and sends one line,
// "<verb> <caption as base64 of UTF-8>\n", verb being ping, close or raise. The owner answers
// "yes\n" when the caption is exactly its own (and then acts), "no\n" otherwise.
// The verb name carries a prefix instead: the owner answers "yes <its caption as base64>\n"
// when its caption begins with the prefix. To the verb state an owner of the caption with a
// state to tell answers "yes <state as base64>\n". Owners that do not know a verb answer "no\n".
// A window that deregisters closes the connections it has not answered: a caller that sees its
// connection closed without a reply knows that window is gone, not hung.

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QLocalServer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <chrono>
#include <functional>
#include <optional>
#include <utility>

#include "platform/windowregistry.h"

class QLocalSocket;

namespace promemo::registry {

enum class Verb { Ping, Close, Raise, Name, State };

QByteArray requestLine(Verb verb, const QString &caption);

// The socket files of the windows with `caption`, or of every window when `caption` is null.
QStringList socketPaths(const QString &directory, const QString &caption);

// A window this process registered: it listens on its socket and answers requests.
class LocalWindow final : public RegisteredWindow
{
public:
    LocalWindow(const QString &caption, const QString &directory);
    ~LocalWindow() override;

    bool listen();
    const QString &caption() const { return m_caption; }
    // Emits the request's signal from the event loop, so the owner may destroy this object in
    // its slot.
    void deliver(Verb verb);

    // The live window of this process listening at `path`, if any: requests to it skip the
    // socket, since this thread cannot answer while it is asking.
    static LocalWindow *at(const QString &path);

private:
    void acceptConnections();
    void answer(QLocalSocket *socket);
    // The reply line to `line`, and whether the request is to be delivered.
    std::pair<QByteArray, std::optional<Verb>> reply(const QByteArray &line) const;

    QString m_caption;
    QString m_path;
    QString m_pendingPath;
    QLocalServer m_server;
    QList<QPointer<QLocalSocket>> m_unanswered;
};

enum class Answer { Match, Other, Gone, NoAnswer };

struct Reply
{
    QString path;
    Answer answer = Answer::NoAnswer;
    QByteArray text; // what a window sends with its "yes": a caption (name), a state (state)
    qint64 owner = 0; // the process listening on the socket, once connected
};

// Sends one request to windows' sockets, all at once, and hands each reply to `onReply` from
// the event loop. Sockets that have not answered when `bound` passes reply NoAnswer. Stops
// early when `onReply` returns true; then `onEnd` gets every reply seen. Sockets of dead
// owners are removed on the way. Deletes itself.
class Requests final : public QObject
{
public:
    using OnReply = std::function<bool(const Reply &)>;
    using OnEnd = std::function<void(const QList<Reply> &)>;

    static void send(const QStringList &paths, Verb verb, const QString &caption,
                     std::chrono::milliseconds bound, OnReply onReply, OnEnd onEnd);

private:
    Requests(OnReply onReply, OnEnd onEnd);
    void ask(const QString &path, const QByteArray &line);
    void settle(QLocalSocket *socket, Answer answer, const QByteArray &text = {});
    void finish();

    OnReply m_onReply;
    OnEnd m_onEnd;
    QHash<QLocalSocket *, Reply> m_pending;
    QList<Reply> m_replies;
    bool m_starting = true;
    bool m_enough = false;
    bool m_finished = false;
};

// Asks the windows at `paths` one after another until one answers Match; `done` gets that
// reply, or the last one.
void askInTurn(QStringList paths, Verb verb, const QString &caption,
               std::chrono::milliseconds bound, std::function<void(Answer)> done,
               bool sawNoAnswer = false);

} // namespace promemo::registry
