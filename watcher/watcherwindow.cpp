#include "watcher/watcherwindow.h"

#include <QCloseEvent>

#include "platform/captions.h"

namespace promemo::watcher {

frmControl::frmControl(const Services &services, const QString &folder, QWidget *parent)
    : QWidget(parent),
      m_registration(services.windows.registerWindow(QString::fromUtf16(kWatcherCaption))),
      m_session(services.clock, services.processes, folder)
{
    setObjectName(QStringLiteral("frmControl"));
    setWindowTitle(QString::fromUtf16(kWatcherCaption));
    resize(240, 60);
    if (m_registration)
        connect(m_registration.get(), &RegisteredWindow::closeRequested, this, &QWidget::close);
    connect(&m_session, &WatcherSession::leaveRegistry, this, [this] { m_registration.reset(); });
    connect(&m_session, &WatcherSession::ended, this, [this] {
        close();
        emit ended();
    });
}

frmControl::~frmControl() = default;

void frmControl::closeEvent(QCloseEvent *event)
{
    QWidget::closeEvent(event);
    m_session.end();
}

} // namespace promemo::watcher
