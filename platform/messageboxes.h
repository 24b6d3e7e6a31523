#pragma once

#include <QString>

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

class QtMessageBoxes final : public IMessageBoxes
{
public:
    MessageAnswer show(const Message &message, QWidget *parent = nullptr) override;
};

// The text as a label shows it: every CR LF, lone CR or LF becomes one line break.
QString displayedMessageText(const QString &text);

} // namespace promemo
