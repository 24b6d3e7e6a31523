#pragma once

#include <QString>

#include <utility>

class QWidget;

namespace promemo {

enum class MessageIcon { Warning, Question, Information, None };
enum class MessageButtons { Ok, YesNo, YesNoCancel };
enum class MessageAnswer { Ok, Yes, No, Cancel };

struct Message
{
    QString title;
    // Lines may be broken with CR, CR LF or LF.
    QString text;
    MessageIcon icon = MessageIcon::Warning;
    MessageButtons buttons = MessageButtons::Ok;

    bool operator==(const Message &) const = default;
};

// Modal message boxes, always on top, with titles and texts exactly as given.
class IMessageBoxes
{
public:
    virtual ~IMessageBoxes() = default;

    virtual MessageAnswer show(const Message &message, QWidget *parent = nullptr) = 0;

    // The suite's error box: one OK button and the warning icon.
    void warn(const QString &title, const QString &text, QWidget *parent = nullptr)
    {
        show({title, text, MessageIcon::Warning, MessageButtons::Ok}, parent);
    }
};

// One window's message boxes: its title said once, the window as their parent. The parent is
// only passed on, so a window's session in a core can hold one; it outlives its messages.
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
    QWidget *m_parent;
};

class QtMessageBoxes final : public IMessageBoxes
{
public:
    MessageAnswer show(const Message &message, QWidget *parent = nullptr) override;
};

// The text as a label shows it: every CR LF, lone CR or LF becomes one line break.
QString displayedMessageText(const QString &text);

} // namespace promemo
