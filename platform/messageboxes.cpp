#include "platform/messageboxes.h"

#include "common/linebreaks.h"

#include <QAbstractButton>
#include <QMessageBox>

namespace promemo {

namespace {

QMessageBox::Icon qtIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::None:
        return QMessageBox::NoIcon;
    }
    return QMessageBox::NoIcon;
}

} // namespace

QString displayedMessageText(const QString &text)
{
    return withLineFeeds(text);
}

MessageAnswer QtMessageBoxes::show(const Message &message, QWidget *parent)
{
    QMessageBox box(qtIcon(message.icon), message.title, displayedMessageText(message.text),
                    QMessageBox::NoButton, parent);
    box.setTextFormat(Qt::PlainText);
    box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    // Programs whose windows are all hidden (launcher, watcher) would end when the box closes.
    box.setAttribute(Qt::WA_QuitOnClose, false);

    switch (message.buttons) {
    case MessageButtons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Ok);
        break;
    case MessageButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
        break;
    case MessageButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    }
    // Italian button texts whatever the desktop's language.
    if (auto *b = box.button(QMessageBox::Yes))
        b->setText(QStringLiteral("&Sì"));
    if (auto *b = box.button(QMessageBox::No))
        b->setText(QStringLiteral("&No"));
    if (auto *b = box.button(QMessageBox::Cancel))
        b->setText(QStringLiteral("&Annulla"));

    box.exec();
    switch (box.standardButton(box.clickedButton())) {
    case QMessageBox::Yes:
        return MessageAnswer::Yes;
    case QMessageBox::No:
        return MessageAnswer::No;
    case QMessageBox::Cancel:
        return MessageAnswer::Cancel;
    default:
        break;
    }
    // Closed by the window manager: the escape answer.
    switch (message.buttons) {
    case MessageButtons::Ok:
        return MessageAnswer::Ok;
    case MessageButtons::YesNo:
        return MessageAnswer::No;
    case MessageButtons::YesNoCancel:
        return MessageAnswer::Cancel;
    }
    return MessageAnswer::Ok;
}

} // namespace promemo
