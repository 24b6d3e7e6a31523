#include "platform/tray.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace promemo;

// Without a notification area (offscreen) the icon stands in a corner window with the clicks.
TEST(Tray, StandInWindowCarriesTheIconAndTheClicks)
{
    Tray tray;
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::green);
    tray.setIcon(QIcon(pixmap));
    tray.setToolTip(u"Promemo"_qs);
    tray.show();
    ASSERT_FALSE(tray.inNotificationArea());

    TrayStandIn *standIn = nullptr;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *candidate = qobject_cast<TrayStandIn *>(widget))
            standIn = candidate;
    }
    ASSERT_NE(standIn, nullptr);
    EXPECT_TRUE(standIn->isVisible());
    EXPECT_EQ(standIn->toolTip(), u"Promemo"_qs);

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
