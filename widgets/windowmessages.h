#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include "platform/messageboxes.h"

namespace promemo {

// One window's message boxes: its title said once, the window as their parent.
class WindowMessages
{
public:
    WindowMessages(IMessageBoxes &boxes, QString title, QWidget *parent = nullptr)
        : m_boxes(boxes), m_title(std::move(title)), m_parent(parent)
    {
    }

    // The suite's error box: the warning icon and one OK button.
    void warn(const QString &text) const { m_boxes.warn(m_title, text, m_parent); }
    MessageAnswer show(const QString &text, MessageIcon icon,
                       MessageButtons buttons = MessageButtons::Ok) const
    {
        return m_boxes.show({m_title, text, icon, buttons}, m_parent);
    }

private:
    IMessageBoxes &m_boxes;
    QString m_title;
    QPointer<QWidget> m_parent;
};

} // namespace promemo
