#pragma once

#include <QWidget>

#include <memory>

#include "platform/services.h"
#include "watcher/core/watchersession.h"

namespace promemo::watcher {

// frmControl, "NotinoControl": the watcher's window, with no controls; its registry entry is how
// the other programs find the watcher and close it. What it watches is its session's.
class frmControl : public QWidget
{
    Q_OBJECT
public:
    frmControl(const Services &services, const QString &folder, QWidget *parent = nullptr);
    ~frmControl() override;

signals:
    // The watcher is done: the program ends.
    void ended();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    std::unique_ptr<RegisteredWindow> m_registration;
    WatcherSession m_session;
};

} // namespace promemo::watcher
