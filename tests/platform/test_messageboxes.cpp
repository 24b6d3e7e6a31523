#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "platform/messageboxes.h"

using namespace promemo;
using namespace Qt::StringLiterals;

namespace {

using B = QMessageBox;

// Clicks `button` (Escape for NoButton) once the box is up; returns what the box answered.
MessageAnswer showAndClick(const Message &message, B::StandardButton button)
{
    bool clicked = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible() || clicked)
            return;
        clicked = true;
        EXPECT_EQ(box->text(), QStringLiteral(" Eliminare \n\n Sì?"));
        EXPECT_EQ(box->textFormat(), Qt::PlainText);
        // Ok, YesNo, YesNoCancel: one, two, three buttons.
        EXPECT_EQ(box->buttons().size(), int(message.buttons) + 1);
        for (const auto &[b, text] :
             {std::pair{B::Yes, u"&Sì"_s}, {B::No, u"&No"_s}, {B::Cancel, u"&Annulla"_s}})
            EXPECT_EQ(box->button(b) ? box->button(b)->text() : text, text);
        button == QMessageBox::NoButton ? QTest::keyClick(box, Qt::Key_Escape)
                                        : box->button(button)->click();
    });
    poll.start(5);
    // A failed expectation that leaves the box open must not hang the suite.
    QTimer::singleShot(10000, &poll, [] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
            box->done(QMessageBox::Ok);
    });
    const MessageAnswer answer = QtMessageBoxes().show(message);
    EXPECT_TRUE(clicked);
    return answer;
}

TEST(QtMessageBoxes, AnswerByButtonOrEscapeWithoutEndingAProgramWhoseWindowsAreHidden)
{
    using M = MessageButtons;
    using A = MessageAnswer;
    // The box, the button clicked (NoButton: Escape), the answer.
    const struct { M buttons; B::StandardButton click; A expected; } cases[] = {
        {M::Ok, B::Ok, A::Ok},         {M::Ok, B::NoButton, A::Ok},
        {M::YesNo, B::Yes, A::Yes},    {M::YesNo, B::NoButton, A::No},
        {M::YesNoCancel, B::No, A::No}, {M::YesNoCancel, B::Cancel, A::Cancel},
        {M::YesNoCancel, B::NoButton, A::Cancel},
    };
    // The launcher and the watcher show boxes while all their windows are hidden: closing the
    // only visible window must not end the event loop.
    bool endedByABox = true;
    QTimer::singleShot(0, [&] {
        for (const auto &c : cases) {
            const Message message{QStringLiteral(" Promemo"),
                                  QStringLiteral(" Eliminare \r\r Sì?"), MessageIcon::Question,
                                  c.buttons};
            EXPECT_EQ(showAndClick(message, c.click), c.expected)
                << int(c.buttons) << " " << int(c.click);
        }
        QTimer::singleShot(300, [&] {
            endedByABox = false;
            QApplication::quit();
        });
    });
    QApplication::exec();
    EXPECT_FALSE(endedByABox);
}

} // namespace
