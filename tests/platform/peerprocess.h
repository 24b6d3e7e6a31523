#pragma once

#include <chrono>
#include <csignal>

#include <QDeadlineTimer>
#include <QProcess>

namespace promemo::test {

// A helper program started by a test; killed when the test ends.
class PeerProcess
{
public:
    explicit PeerProcess(const QStringList &arguments)
    {
        process_.setProgram(QStringLiteral(REGISTRY_PEER));
        process_.setArguments(arguments);
        process_.setProcessChannelMode(QProcess::SeparateChannels);
        process_.start();
    }
    ~PeerProcess()
    {
        if (isRunning()) {
            process_.kill();
            process_.waitForFinished(2000);
        }
    }
    PeerProcess(const PeerProcess &) = delete;
    PeerProcess &operator=(const PeerProcess &) = delete;

    // Waits until the peer printed `line`, at most `bound`.
    bool waitForLine(const QByteArray &line, std::chrono::milliseconds bound = std::chrono::seconds(5))
    {
        const QDeadlineTimer deadline(bound);
        for (;;) {
            output_ += process_.readAllStandardOutput();
            if (output_.split('\n').contains(line))
                return true;
            if (deadline.hasExpired() || !isRunning())
                return false;
            process_.waitForReadyRead(int(std::min<qint64>(deadline.remainingTime(), 100)));
        }
    }

    int timesSaid(const QByteArray &line)
    {
        output_ += process_.readAllStandardOutput();
        return int(output_.split('\n').count(line));
    }

    bool waitForExit(std::chrono::milliseconds bound)
    {
        return !isRunning() || process_.waitForFinished(int(bound.count()));
    }

    bool isRunning() const { return process_.state() != QProcess::NotRunning; }

    void killHard()
    {
        ::kill(pid_t(process_.processId()), SIGKILL);
        process_.waitForFinished(2000);
    }

private:
    QProcess process_;
    QByteArray output_;
};

} // namespace promemo::test
