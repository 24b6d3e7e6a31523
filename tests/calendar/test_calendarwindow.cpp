#include "calendar/calendarwindow.h"

#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

#include "calendar/monthpane.h"
#include "tests/support/fakes.h"
#include "tests/support/startwait.h"

using namespace promemo;
using namespace promemo::calendar;

namespace {

// What only the widgets tell: the scroll bar's arrows run as its scale reads ("- 12 mesi" on the
// left), plain keys and presses reach the grid they are in, Ctrl+arrows the window whatever has
// the focus, and the year list covers the months while the scroll bar rests.
TEST(CalendarWindow, KeysReachTheirControlsAndTheYearListCoversTheMonths)
{
    test::ProgramFolderWithFakes f;
    f.registry.addWindow(u"NotinoTray"_qs);
    f.fakes.clock.current = QDateTime(QDate(2031, 5, 10), QTime(10, 20, 30));
    const auto window = test::waitForStart<frmMain>([&](QObject *context, Started<frmMain> started) {
        startCalendar(f.fakes.services(), context, std::move(started));
    });
    ASSERT_TRUE(window && QTest::qWaitForWindowActive(window.get()));
    frmMain &w = *window;
    ASSERT_EQ(QApplication::focusWidget(), w.scrollBar());
    QTest::keyClick(w.scrollBar(), Qt::Key_Right);
    EXPECT_EQ(std::pair(w.scrollBar()->value(), w.pane(1)->month()), std::pair(13, QDate(2031, 6, 1)));
    QTest::keyClick(w.pane(0)->grid(), Qt::Key_Right, Qt::ControlModifier);
    QTest::keyClick(w.scrollBar(), Qt::Key_Up, Qt::ControlModifier);
    const QList<test::FakeProcessStarter::Start> &started = f.fakes.processes.started;
    EXPECT_EQ(std::tuple(started.size(), started.value(0).program, started.value(1).program),
              std::tuple(2, u"Kalvo"_qs, u"Kirmo"_qs));
    QTest::keyClick(w.pane(2)->grid(), Qt::Key_Down);
    EXPECT_EQ(std::pair(w.session().markedDate(), w.pane(0)->month()), std::pair(QDate(2031, 6, 17), QDate(2031, 4, 1)));
    // May 2031 starts on a Thursday: the first column of the second row is Monday the 5th.
    QTest::mouseClick(w.pane(1)->grid(), Qt::LeftButton, {}, QPoint(5, 20));
    EXPECT_EQ(w.session().markedDate(), QDate(2031, 5, 5));
    QTest::mouseClick(w.feste(), Qt::LeftButton);
    const QWidget *months = w.pane(1)->parentWidget();
    EXPECT_EQ(std::tuple(w.windowTitle(), w.childAt(months->geometry().center()) == w.yearList()->viewport(),
                         w.yearList()->count(), w.scrollBar()->isEnabled()),
              std::tuple(u" Festività e Ricorrenze dell'anno 2031"_qs, true, 22, false));
    QTest::mouseClick(w.feste(), Qt::LeftButton);
    EXPECT_EQ(std::pair(w.yearList()->isVisible(), QApplication::focusWidget()), std::pair(false, (QWidget *)w.scrollBar()));
}

} // namespace
