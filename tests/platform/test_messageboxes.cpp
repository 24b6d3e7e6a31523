#include <algorithm>

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
        EXPECT_EQ(std::pair(box->text(), box->textFormat()), std::pair(u" Eliminare \n\n Sì?"_s, Qt::PlainText));
        // Ok, YesNo, YesNoCancel: one, two, three buttons.
        EXPECT_EQ(box->buttons().size(), int(message.buttons) + 1);
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
        {M::Ok, B::NoButton, A::Ok},       {M::YesNo, B::Yes, A::Yes}, {M::YesNo, B::NoButton, A::No},
        {M::YesNoCancel, B::No, A::No}, {M::YesNoCancel, B::NoButton, A::Cancel},
    };
    // The launcher and the watcher show boxes while all their windows are hidden: closing the
    // only visible window must not end the event loop.
    bool endedByABox = true;
    QTimer::singleShot(0, [&] {
        for (const auto &c : cases) {
            const Message message{u" Promemo"_s, u" Eliminare \r\r Sì?"_s, MessageIcon::Question, c.buttons};
            EXPECT_EQ(showAndClick(message, c.click), c.expected) << int(c.buttons) << " " << int(c.click);
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
TEST(Tray, StandInWindowCarriesTheToolTipAndTheRightClick)
{
    Tray tray;
    tray.setIcon(QIcon(QPixmap(16, 16)));
    tray.setToolTip(u"Promemo"_s);
    tray.show();
    ASSERT_FALSE(tray.inNotificationArea());

    const auto standIn = [] {
        const QWidgetList all = QApplication::topLevelWidgets();
        const auto it = std::ranges::find_if(all, [](QWidget *w) { return qobject_cast<TrayStandIn *>(w); });
        return it == all.end() ? nullptr : *it;
    };
    ASSERT_TRUE(standIn() && standIn()->isVisible() && standIn()->toolTip() == u"Promemo"_s);

    QSignalSpy right(&tray, &Tray::rightClicked);
    QTest::mouseClick(standIn(), Qt::RightButton, {}, QPoint(12, 14));
    ASSERT_EQ(right.count(), 1);
    EXPECT_EQ(right.at(0).at(0).toPoint(), standIn()->mapToGlobal(QPoint(12, 14)));
    tray.hide();
    QApplication::processEvents();
    EXPECT_EQ(standIn(), nullptr);
}

} // namespace
