#pragma once

#include <QObject>

class QSocketNotifier;

namespace promemo {

// SIGTERM and SIGHUP, which a logout or a shutdown sends, as a signal of the event loop: a
// program that must save ends through its own close path instead of at once. One per process.
class EndSignals final : public QObject
{
    Q_OBJECT
public:
    explicit EndSignals(QObject *parent = nullptr);
    ~EndSignals() override;

signals:
    void endRequested();

private:
    QSocketNotifier *m_notifier = nullptr;
};

} // namespace promemo
