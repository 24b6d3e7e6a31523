#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "platform/messageboxes.h"
#include "platform/tray.h"

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

// Without a notification area (offscreen) the icon stands in a corner window with the clicks.
TEST(Tray, StandInWindowCarriesTheIconAndTheClicks)
{
    Tray tray;
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::green);
    tray.setIcon(QIcon(pixmap));
    tray.setToolTip(u"Promemo"_s);
    tray.show();
    ASSERT_FALSE(tray.inNotificationArea());

    TrayStandIn *standIn = nullptr;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *candidate = qobject_cast<TrayStandIn *>(widget))
            standIn = candidate;
    }
    ASSERT_NE(standIn, nullptr);
    EXPECT_TRUE(standIn->isVisible());
    EXPECT_EQ(standIn->toolTip(), u"Promemo"_s);

    QSignalSpy left(&tray, &Tray::leftClicked);
    QSignalSpy right(&tray, &Tray::rightClicked);
    QTest::mouseClick(standIn, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseClick(standIn, Qt::RightButton, {}, QPoint(12, 14));
    EXPECT_EQ(left.count(), 1);
    ASSERT_EQ(right.count(), 1);
    EXPECT_EQ(right.at(0).at(0).toPoint(), standIn->mapToGlobal(QPoint(12, 14)));

    tray.hide();
    QApplication::processEvents();
    for (QWidget *widget : QApplication::topLevelWidgets())
        EXPECT_EQ(qobject_cast<TrayStandIn *>(widget), nullptr);
}

} // namespace
