#include "widgets/helpkey.h"

#include <QKeyEvent>
#include <QWidget>

#include "platform/helpstarter.h"

namespace promemo {

HelpKey::HelpKey(HelpStarter &help, QString topic, const QList<QWidget *> &watched,
                 QObject *parent)
    : QObject(parent), m_help(help), m_topic(std::move(topic))
{
    for (QWidget *widget : watched)
        widget->installEventFilter(this);
}

bool HelpKey::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_F1) {
        m_help.open(m_topic);
        return true;
    }
    return QObject::eventFilter(watched, event);
}

HelpKey *installHelpKey(QWidget &window, HelpStarter &help, const QString &topic)
{
    QList<QWidget *> watched = window.findChildren<QWidget *>();
    watched.prepend(&window);
    return new HelpKey(help, topic, watched, &window);
}

} // namespace promemo
