#include "platform/tray.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QSystemTrayIcon>

namespace promemo {

namespace {

constexpr int kStandInSize = 32;
constexpr int kIconSize = 24;
constexpr int kWatchMs = 3000;

} // namespace

TrayStandIn::TrayStandIn()
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setAttribute(Qt::WA_X11NetWmWindowTypeDock);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFixedSize(kStandInSize, kStandInSize);
}

void TrayStandIn::setIcon(const QIcon &icon)
{
    m_icon = icon;
    update();
}

void TrayStandIn::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    const int margin = (kStandInSize - kIconSize) / 2;
    m_icon.paint(&painter, QRect(margin, margin, kIconSize, kIconSize));
}

void TrayStandIn::mouseReleaseEvent(QMouseEvent *event)
{
    if (!rect().contains(event->position().toPoint()))
        return;
    if (event->button() == Qt::LeftButton)
        emit leftClicked();
    else if (event->button() == Qt::RightButton)
        emit rightClicked(event->globalPosition().toPoint());
}

Tray::Tray(QObject *parent)
    : QObject(parent)
{
    m_watch.setInterval(kWatchMs);
    connect(&m_watch, &QTimer::timeout, this, &Tray::place);
}

Tray::~Tray() = default;

void Tray::setIcon(const QIcon &icon)
{
    m_icon = icon;
    if (m_trayIcon)
        m_trayIcon->setIcon(icon);
    if (m_standIn)
        m_standIn->setIcon(icon);
}

void Tray::setToolTip(const QString &tip)
{
    m_tip = tip;
    if (m_trayIcon)
        m_trayIcon->setToolTip(tip);
    if (m_standIn)
        m_standIn->setToolTip(tip);
}

void Tray::show()
{
    m_shown = true;
    place();
    m_watch.start();
}

void Tray::hide()
{
    m_shown = false;
    m_watch.stop();
    m_trayIcon.reset();
    m_standIn.reset();
}

bool Tray::inNotificationArea() const
{
    return m_trayIcon != nullptr;
}

void Tray::place()
{
    if (!m_shown)
        return;
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        if (!m_trayIcon) {
            m_trayIcon = std::make_unique<QSystemTrayIcon>(m_icon);
            m_trayIcon->setToolTip(m_tip);
            connect(m_trayIcon.get(), &QSystemTrayIcon::activated, this,
                    [this](QSystemTrayIcon::ActivationReason reason) {
                        if (reason == QSystemTrayIcon::Trigger)
                            emit leftClicked();
                        else if (reason == QSystemTrayIcon::Context)
                            emit rightClicked(QCursor::pos());
                    });
            m_trayIcon->show();
        }
        m_standIn.reset();
        return;
    }
    m_trayIcon.reset();
    if (!m_standIn) {
        m_standIn = std::make_unique<TrayStandIn>();
        m_standIn->setIcon(m_icon);
        m_standIn->setToolTip(m_tip);
        connect(m_standIn.get(), &TrayStandIn::leftClicked, this, &Tray::leftClicked);
        connect(m_standIn.get(), &TrayStandIn::rightClicked, this, &Tray::rightClicked);
        if (const QScreen *screen = QGuiApplication::primaryScreen()) {
            const QRect area = screen->availableGeometry();
            m_standIn->move(area.right() - kStandInSize - 8, area.top() + 8);
        }
        m_standIn->show();
    }
}

} // namespace promemo
