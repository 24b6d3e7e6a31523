#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

#include "platform/messageboxes.h"

#include <functional>

using namespace promemo;

namespace {

// Runs `react` on the message box once it is up, then returns what the box answered.
MessageAnswer showAndReact(const Message &message, std::function<void(QMessageBox &)> react)
{
    bool reacted = false;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible() || reacted)
            return;
        reacted = true;
        react(*box);
    });
    poll.start();
    // A failed expectation that leaves the box open must not hang the suite.
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
            box->done(QMessageBox::Ok);
    });
    guard.start(10000);
    QtMessageBoxes boxes;
    const MessageAnswer answer = boxes.show(message);
    EXPECT_TRUE(reacted);
    return answer;
}

QAbstractButton *buttonWithText(QMessageBox &box, const QString &text)
{
    for (QAbstractButton *button : box.buttons()) {
        if (button->text() == text)
            return button;
    }
    return nullptr;
}

TEST(QtMessageBoxes, ShowsTitleAndTextAsGivenOnTopWithItalianButtons)
{
    const Message message{QStringLiteral("   Promemo"),
                          QStringLiteral(" Stai per eliminare   \r un Notino...  \r\r Confermi?"),
                          MessageIcon::Warning, MessageButtons::YesNo};
    const auto answer = showAndReact(message, [](QMessageBox &box) {
        EXPECT_EQ(box.windowTitle(), QStringLiteral("   Promemo"));
        EXPECT_EQ(box.text(), QStringLiteral(" Stai per eliminare   \n un Notino...  \n\n Confermi?"));
        EXPECT_EQ(box.textFormat(), Qt::PlainText);
        EXPECT_EQ(box.icon(), QMessageBox::Warning);
        EXPECT_TRUE(box.windowFlags() & Qt::WindowStaysOnTopHint);
        EXPECT_EQ(box.buttons().size(), 2);
        QAbstractButton *no = buttonWithText(box, QStringLiteral("&No"));
        ASSERT_NE(no, nullptr);
        ASSERT_NE(buttonWithText(box, QStringLiteral("&Sì")), nullptr);
        no->click();
    });
    EXPECT_EQ(answer, MessageAnswer::No);
}

TEST(QtMessageBoxes, MapsEveryButtonAndEscapeToItsAnswer)
{
    struct Case
    {
        MessageButtons buttons;
        QString click; // empty: Escape
        MessageAnswer expected;
    };
    const Case cases[] = {
        {MessageButtons::Ok, QStringLiteral("OK"), MessageAnswer::Ok},
        {MessageButtons::Ok, QString(), MessageAnswer::Ok},
        {MessageButtons::YesNo, QStringLiteral("&Sì"), MessageAnswer::Yes},
        {MessageButtons::YesNo, QString(), MessageAnswer::No},
        {MessageButtons::YesNoCancel, QStringLiteral("&No"), MessageAnswer::No},
        {MessageButtons::YesNoCancel, QStringLiteral("&Annulla"), MessageAnswer::Cancel},
        {MessageButtons::YesNoCancel, QString(), MessageAnswer::Cancel},
    };
    for (const Case &c : cases) {
        const Message message{QStringLiteral(" Rubrica di Promemo"), QStringLiteral("  Testo  "),
                              MessageIcon::Question, c.buttons};
        const auto answer = showAndReact(message, [&](QMessageBox &box) {
            if (c.click.isEmpty()) {
                QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
                QApplication::sendEvent(&box, &escape);
                return;
            }
            QAbstractButton *button = c.click == QStringLiteral("OK")
                                          ? box.button(QMessageBox::Ok)
                                          : buttonWithText(box, c.click);
            ASSERT_NE(button, nullptr) << c.click.toStdString();
            button->click();
        });
        EXPECT_EQ(answer, c.expected) << int(c.buttons) << " " << c.click.toStdString();
    }
}

TEST(QtMessageBoxes, ClosingTheOnlyVisibleWindowDoesNotEndTheProgram)
{
    // The launcher and the watcher show boxes while all their windows are hidden.
    bool endedByTheBox = true;
    QTimer::singleShot(0, [&] {
        showAndReact({QStringLiteral("   Promemo"), QStringLiteral(" Avviso "), MessageIcon::Warning,
                      MessageButtons::Ok},
                     [](QMessageBox &box) { box.button(QMessageBox::Ok)->click(); });
        QTimer::singleShot(300, [&] {
            endedByTheBox = false;
            QApplication::quit();
        });
    });
    QApplication::exec();
    EXPECT_FALSE(endedByTheBox);
}

} // namespace
