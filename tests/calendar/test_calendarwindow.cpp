#include "calendar/calendarwindow.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

#include "calendar/core/calendarrules.h"
#include "common/daynumber.h"
#include "common/datetexts.h"
#include "common/notefile.h"
#include "calendar/monthpane.h"
#include "common/programfolder.h"
#include "tests/support/fakes.h"
#include "tests/support/startwait.h"

using namespace promemo;
using namespace promemo::calendar;

namespace {

class CalendarWindowTest : public ::testing::Test, public test::ProgramFolderWithFakes
{
protected:
    CalendarWindowTest() { registry.addWindow(u"NotinoTray"_qs); }

    frmMain &open(QDate today)
    {
        fakes.clock.current = QDateTime(today, QTime(10, 20, 30));
        window = start();
        EXPECT_TRUE(window);
        return *window;
    }
    std::unique_ptr<frmMain> start()
    {
        return test::waitForStart<frmMain>([&](QObject *context, Started<frmMain> started) {
            startCalendar(fakes.services(), context, std::move(started));
        });
    }
    QStringList noteFiles() const { return QDir(dir.path()).entryList({u"*.dat"_qs}, QDir::Files); }

    std::unique_ptr<frmMain> window;
};

// The scale reads "- 12 mesi" on the left and "+ 12 mesi" on the right: the arrow keys follow it.
TEST_F(CalendarWindowTest, ArrowKeysOnTheScrollBarMoveTowardsTheirEndOfTheScale)
{
    const QDate today(2032, 1, 31); // a month on cuts the day to the end of a leap February
    frmMain &w = open(today);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    ASSERT_EQ(QApplication::focusWidget(), w.scrollBar());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    EXPECT_EQ(std::tuple(w.scrollBar()->value(), w.pane(1)->month(), w.selectedDate(), w.markedDate()),
              std::tuple(13, QDate(2032, 2, 1), QDate(2032, 2, 29), today));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Left);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Left);
    EXPECT_EQ(std::pair(w.scrollBar()->value(), w.pane(1)->month()), std::pair(11, QDate(2031, 12, 1)));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Home);
    EXPECT_EQ(std::pair(w.scrollBar()->value(), w.pane(0)->month()), std::pair(0, QDate(2030, 12, 1)));
}

TEST_F(CalendarWindowTest, KeysInAGridMoveAllThreeDates)
{
    frmMain &w = open(QDate(2031, 5, 10));
    w.Imposta_Data(QDate(2031, 6, 30), 2);
    QTest::keyClick(w.pane(2)->grid(), Qt::Key_Right);
    const QDate first(2031, 7, 1);
    EXPECT_EQ(std::tuple(w.selectedDate(), w.markedDate(), w.launchDate(), w.pane(0)->month(), w.pane(2)->month(),
                         w.headerText().left(4)),
              std::tuple(first, first, first, QDate(2031, 5, 1), first, u"182|"_qs));
}

TEST_F(CalendarWindowTest, CtrlArrowLaunchesANoteFromTodayOn)
{
    const QDate today(2031, 5, 10);
    frmMain &w = open(today);
    QTest::keyClick(w.scrollBar(), Qt::Key_Right, Qt::ControlModifier);
    const QString name = u"o"_qs + QString::number(dayNumber(today)) + u"h0000n37230.dat"_qs;
    EXPECT_EQ(std::tuple(noteFiles(), readNoteFile(dir.filePath(name)), fakes.processes.started),
              std::tuple(QStringList{name}, NoteContent{{}, u"10/05/2031"_qs, {}, u"10/05/2031 10.20"_qs},
                         QList<test::FakeProcessStarter::Start>{{u"Kalvo"_qs, {name}, WindowMode::NormalWithFocus}}));

    QFile::remove(dir.filePath(name));
    QTest::keyClick(w.pane(1)->grid(), Qt::Key_Left);
    ASSERT_EQ(w.launchDate(), today.addDays(-1));
    QTest::keyClick(w.pane(1)->grid(), Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(std::tuple(noteFiles().size(), fakes.processes.started.size(), fakes.messageBoxes.shown.size()),
              std::tuple(0, 1, 1));
    EXPECT_TRUE(fakes.messageBoxes.shown.value(0).text.contains(u"data inferiore alla attuale"_qs));
}

} // namespace
