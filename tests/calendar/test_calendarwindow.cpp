#include "calendar/calendarwindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include "calendar/core/calendarrules.h"
#include "calendar/monthpane.h"
#include "common/daynumber.h"
#include "common/datetexts.h"
#include "common/notefile.h"
#include "common/programfolder.h"
#include "common/recurrences.h"
#include "tests/support/fakes.h"
#include "tests/support/startwait.h"

using namespace promemo;
using namespace promemo::calendar;

namespace {

// The letters are the note names' own test; here the launched note takes them by build.
TEST(CalendarRules, LaunchNameTakesColourAndSizeLettersByBuild)
{
    EXPECT_EQ(encodeNoteName(launchNoteName(dateOfDayNumber(12345), NoteSize::Medium, NoteColour::Cyan,
                                            TextSize::Small, QTime(1, 2, 3))),
              u"o12345b0000s03723.dat"_qs);
}

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
    QStringList noteFiles() const
    {
        return QDir(dir.path()).entryList({u"*.dat"_qs}, QDir::Files);
    }
    QString settingsText() const
    {
        QFile file(dir.filePath(u"Notino.ini"_qs));
        return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()) : QString();
    }

    std::unique_ptr<frmMain> window;
};

TEST_F(CalendarWindowTest, EndsWithoutTheLaunchersTrayAndRegistersItsCaption)
{
    registry.removeWindow(u"NotinoTray"_qs);
    EXPECT_FALSE(start());

    registry.addWindow(u"NotinoTray"_qs);
    open(QDate(2031, 6, 7));
    EXPECT_EQ(registry.registeredCaptions(),
              QStringList{u" Calendario di Promemo - "_qs + longDateText(QDate(2031, 6, 7))});
}

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
    for (const QDate date : {w.selectedDate(), w.markedDate(), w.launchDate()})
        EXPECT_EQ(date, QDate(2031, 7, 1));
    EXPECT_EQ(std::pair(w.pane(0)->month(), w.pane(2)->month()), std::pair(QDate(2031, 5, 1), QDate(2031, 7, 1)));
    EXPECT_TRUE(w.headerText().startsWith(u"182|"_qs));
}

TEST_F(CalendarWindowTest, CtrlArrowLaunchesANoteFromTodayOn)
{
    const QDate today(2031, 5, 10);
    frmMain &w = open(today);
    QTest::keyClick(w.scrollBar(), Qt::Key_Right, Qt::ControlModifier);
    const QString name = u"o"_qs + QString::number(dayNumber(today)) + u"h0000n37230.dat"_qs;
    EXPECT_EQ(noteFiles(), QStringList{name});
    EXPECT_EQ(readNoteFile(dir.filePath(name)), (NoteContent{{}, u"10/05/2031"_qs, {}, u"10/05/2031 10.20"_qs}));
    EXPECT_EQ(fakes.processes.started,
              (QList<test::FakeProcessStarter::Start>{{u"Kalvo"_qs, {name}, WindowMode::NormalWithFocus}}));

    QFile::remove(dir.filePath(name));
    QTest::keyClick(w.pane(1)->grid(), Qt::Key_Left);
    ASSERT_EQ(w.launchDate(), today.addDays(-1));
    QTest::keyClick(w.pane(1)->grid(), Qt::Key_Up, Qt::ControlModifier);
    EXPECT_TRUE(noteFiles().isEmpty());
    EXPECT_EQ(fakes.processes.started.size(), 1);
    ASSERT_EQ(fakes.messageBoxes.shown.size(), 1);
    EXPECT_TRUE(fakes.messageBoxes.shown[0].text.contains(u"data inferiore alla attuale"_qs));
}

// The lines are the year list's own test; here the window must show the clock's year with the
// recurrences, 29 February only in a leap year, and go back to the calendar.
TEST_F(CalendarWindowTest, RicorrenzeListsTheYearOfTodayAndTogglesBack)
{
    dir.put(u"ricf.dat"_qs, encodeRecurrences({{u"29/02"_qs, u"01"_qs, u"00"_qs, u"Bisestile"_qs},
                                               {u"10/01"_qs, u"01"_qs, u"00"_qs, u"Compleanno di Anna"_qs}}));
    for (const auto &[today, lines] : {std::pair{QDate(2008, 3, 10), 24}, std::pair{QDate(2011, 7, 1), 23}}) {
        window.reset();
        frmMain &w = open(today);
        QTest::mouseClick(w.feste(), Qt::LeftButton);
        EXPECT_EQ(w.windowTitle(), u" Festività e Ricorrenze dell'anno %1"_qs.arg(today.year()));
        EXPECT_FALSE(w.scrollBar()->isEnabled());
        ASSERT_EQ(w.yearList()->count(), lines) << today.year();
        EXPECT_EQ(w.yearList()->item(2)->text(), u"009   10/01 -%1\tCompleanno di Anna"_qs
                                                     .arg(today.year() == 2008 ? u"giovedì       "_qs
                                                                               : u"lunedì        "_qs));
        QTest::mouseClick(w.feste(), Qt::LeftButton);
        EXPECT_TRUE(w.scrollBar()->isEnabled());
        EXPECT_TRUE(w.windowTitle().startsWith(u" Calendario di Promemo - "_qs));
    }
}

TEST_F(CalendarWindowTest, CheckBoxesStartFromTheSettingsAndWriteEachClick)
{
    frmMain &w = open(QDate(2031, 5, 10));
    QCheckBox *notes = w.checkBox(CalendarCheck::NoteDays);
    EXPECT_FALSE(notes->isChecked());
    EXPECT_FALSE(settingsText().contains(u"postcheck"_qs));

    QTest::mouseClick(notes, Qt::LeftButton);
    EXPECT_TRUE(settingsText().contains(u"postcheck=1"_qs));
    QTest::mouseClick(notes, Qt::LeftButton);
    EXPECT_TRUE(settingsText().contains(u"postcheck=0"_qs));
    QTest::mouseClick(w.checkBox(CalendarCheck::Recurrences), Qt::LeftButton);

    window.reset();
    frmMain &again = open(QDate(2031, 5, 10));
    EXPECT_FALSE(again.checkBox(CalendarCheck::NoteDays)->isChecked());
    EXPECT_TRUE(again.checkBox(CalendarCheck::Recurrences)->isChecked());
    EXPECT_FALSE(settingsText().contains(u"holycheck"_qs));
}

TEST_F(CalendarWindowTest, ChiudiClosesTheHelpAndTheWindow)
{
    registry.addWindow(QString::fromUtf16(kHelpCaption));
    frmMain &w = open(QDate(2031, 5, 10));
    QTest::keyClick(w.scrollBar(), Qt::Key_F1);
    EXPECT_TRUE(fakes.processes.started.isEmpty());
    QTest::mouseClick(w.findChild<QPushButton *>(u"cmdChiudi"_qs), Qt::LeftButton);
    EXPECT_EQ(registry.closeRequests(), QStringList{QString::fromUtf16(kHelpCaption)});
    EXPECT_TRUE(QTest::qWaitFor([&w] { return !w.isVisible(); }));
}

// December 2030 starts on a Sunday, March 2031 on a Saturday, February 2031 too (28 days).
const QDate kDecember(2030, 12, 1);

class MonthPaneTest : public ::testing::Test
{
protected:
    MonthPaneTest() { pane.setMonth(QDate(2030, 12, 20), QDate(2030, 11, 5)); }

    QRect cellOf(int day) const
    {
        const CellSize size = pane.cellSize();
        return toPixels(QRect(cellOrigin(QDate(2030, 12, day), size), QSize(size.width, size.height)));
    }

    DayMarks marks;
    MonthPane pane{1, marks};
};

TEST_F(MonthPaneTest, KeysAndPresses)
{
    QSignalSpy moves(&pane, &MonthPane::moveRequested);
    QTest::keyClick(pane.grid(), Qt::Key_Up);
    QTest::keyClick(pane.grid(), Qt::Key_PageDown);
    QTest::keyClick(pane.grid(), Qt::Key_Right, Qt::ControlModifier);
    QTest::keyClick(pane.grid(), Qt::Key_Left, Qt::ShiftModifier);
    ASSERT_EQ(moves.size(), 2);
    EXPECT_EQ(moves.at(0), (QList<QVariant>{-7, 0}));
    EXPECT_EQ(moves.at(1), (QList<QVariant>{0, 1}));

    QSignalSpy days(&pane, &MonthPane::dayPressed);
    QTest::mousePress(pane.grid(), Qt::RightButton, {}, cellOf(1).center());
    QTest::mousePress(pane.grid(), Qt::LeftButton, {}, QPoint(2, cellOf(1).center().y())); // empty cell
    ASSERT_EQ(days.size(), 1);
    EXPECT_EQ(days.first().first().toDate(), kDecember);
}

} // namespace
