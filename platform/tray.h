#pragma once

#include <QIcon>
#include <QObject>
#include <QPoint>
#include <QTimer>
#include <QWidget>

#include <memory>

class QSystemTrayIcon;

// The suite's icon in the notification area. Where the desktop has none, the icon stands in a
// small always-on-top window in the screen's top-right corner, with the same clicks; the icon
// moves into the notification area as soon as one appears.
namespace promemo {

// The stand-in window: the icon alone, frameless, on top, on every workspace.
class TrayStandIn : public QWidget
{
    Q_OBJECT
public:
    TrayStandIn();
    void setIcon(const QIcon &icon);

signals:
    void leftClicked();
    void rightClicked(QPoint globalPosition);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QIcon m_icon;
};

class Tray : public QObject
{
    Q_OBJECT
public:
    explicit Tray(QObject *parent = nullptr);
    ~Tray() override;

    void setIcon(const QIcon &icon);
    void setToolTip(const QString &tip);
    void show();
    void hide();
    bool inNotificationArea() const;
    QIcon icon() const { return m_icon; }

signals:
    void leftClicked();
    // Where the menu opens.
    void rightClicked(QPoint globalPosition);

private:
    void place();

    QIcon m_icon;
    QString m_tip;
    bool m_shown = false;
    std::unique_ptr<QSystemTrayIcon> m_trayIcon;
    std::unique_ptr<TrayStandIn> m_standIn;
    QTimer m_watch;
};

} // namespace promemo
