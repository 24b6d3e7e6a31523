#include "calendar/calendarwindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

#include "calendar/calendarrules.h"
#include "common/daynumber.h"
#include "common/datetexts.h"
#include "common/notefile.h"
#include "common/programfolder.h"
#include "common/recurrences.h"
#include "tests/support/fakes.h"

using namespace promemo;
using namespace promemo::calendar;

namespace {

TEST(CalendarRules, MovesCutTheDayToTheMonthsEnd)
{
    EXPECT_EQ(scrollTarget(QDate(2032, 1, 31), 13), QDate(2032, 2, 29)); // leap February
    EXPECT_EQ(scrollTarget(QDate(2031, 5, 15), 24), QDate(2032, 5, 15));
    EXPECT_EQ(keyMoveTarget(QDate(2031, 12, 31), 1, 0), QDate(2032, 1, 1));
    EXPECT_EQ(keyMoveTarget(QDate(2031, 3, 3), -7, 0), QDate(2031, 2, 24));
    EXPECT_EQ(keyMoveTarget(QDate(2031, 3, 31), 0, -1), QDate(2031, 2, 28));
}

TEST(CalendarRules, LaunchNameTakesColourAndSizeLettersByBuild)
{
    const struct { NoteSize size; NoteColour colour; TextSize text; const char *letters; } cases[] = {
        {NoteSize::Normal, NoteColour::Cyan, TextSize::Small, "a0000s"},
        {NoteSize::Normal, NoteColour::Green, TextSize::Medium, "v0000m"},
        {NoteSize::Medium, NoteColour::Yellow, TextSize::Small, "k0000s"},
        {NoteSize::Medium, NoteColour::Cyan, TextSize::Normal, "b0000n"},
    };
    for (const auto &c : cases) {
        const auto name = encodeNoteName(launchNoteName(dateOfDayNumber(12345), c.size, c.colour, c.text,
                                                        QTime(1, 2, 3)));
        EXPECT_EQ(name, u"o12345"_qs + QLatin1String(c.letters) + u"03723.dat"_qs);
    }
}

class CalendarWindowTest : public ::testing::Test, public test::ProgramFolderWithFakes
{
protected:
    CalendarWindowTest() { registry.addWindow(u"NotinoTray"_qs); }

    frmMain &open(QDate today)
    {
        fakes.clock.current = QDateTime(today, QTime(10, 20, 30));
        window = startCalendar(fakes.services());
        EXPECT_TRUE(window);
        return *window;
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
    fakes.clock.current = QDateTime(QDate(2031, 6, 7), QTime(9, 0));
    EXPECT_FALSE(startCalendar(fakes.services()));

    registry.addWindow(u"NotinoTray"_qs);
    frmMain &w = open(QDate(2031, 6, 7));
    const QString caption = u" Calendario di Promemo - "_qs + longDateText(QDate(2031, 6, 7));
    EXPECT_EQ(w.windowTitle(), caption);
    EXPECT_EQ(registry.registeredCaptions(), QStringList{caption});
    EXPECT_EQ(w.scrollBar()->value(), 12);
    EXPECT_EQ(w.headerText(), u"158|"_qs + longDateText(QDate(2031, 6, 7)) + u"|23"_qs);
}

TEST_F(CalendarWindowTest, ScrollBarMovesSelectedDateAndPanesButNotTheMark)
{
    const QDate today(2031, 1, 31);
    frmMain &w = open(today);
    w.scrollBar()->setValue(13);
    EXPECT_EQ(w.selectedDate(), QDate(2031, 2, 28));
    EXPECT_EQ(w.paneDates()[1], QDate(2031, 2, 28));
    EXPECT_EQ(w.pane(1)->month(), QDate(2031, 2, 1));
    EXPECT_EQ(w.markedDate(), today);

    w.scrollBar()->setValue(12);
    QTest::keyClick(w.scrollBar(), Qt::Key_Home);
    EXPECT_EQ(w.scrollBar()->value(), 0);
    EXPECT_EQ(w.pane(0)->month(), QDate(2029, 12, 1));
    EXPECT_EQ(w.pane(1)->month(), QDate(2030, 1, 1));
    EXPECT_EQ(w.pane(2)->month(), QDate(2030, 2, 1));
}

// The scale reads "- 12 mesi" on the left and "+ 12 mesi" on the right: the arrow keys follow it.
TEST_F(CalendarWindowTest, ArrowKeysOnTheScrollBarMoveTowardsTheirEndOfTheScale)
{
    frmMain &w = open(QDate(2031, 1, 31));
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    ASSERT_EQ(QApplication::focusWidget(), w.scrollBar());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    EXPECT_EQ(w.scrollBar()->value(), 13);
    EXPECT_EQ(w.pane(1)->month(), QDate(2031, 2, 1));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Left);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Left);
    EXPECT_EQ(w.scrollBar()->value(), 11);
    EXPECT_EQ(w.pane(1)->month(), QDate(2030, 12, 1));
}

TEST_F(CalendarWindowTest, KeysInAGridMoveAllThreeDates)
{
    frmMain &w = open(QDate(2031, 5, 10));
    w.Imposta_Data(QDate(2031, 6, 30), 2);
    QTest::keyClick(w.pane(2)->grid(), Qt::Key_Right);
    for (const QDate date : {w.selectedDate(), w.markedDate(), w.launchDate()})
        EXPECT_EQ(date, QDate(2031, 7, 1));
    EXPECT_EQ(w.pane(0)->month(), QDate(2031, 5, 1));
    EXPECT_EQ(w.pane(2)->month(), QDate(2031, 7, 1));
    EXPECT_EQ(w.headerText(), u"182|"_qs + longDateText(QDate(2031, 7, 1)) + u"|27"_qs);
}

TEST_F(CalendarWindowTest, CtrlArrowLaunchesANoteFromTodayOn)
{
    const QDate today(2031, 5, 10);
    frmMain &w = open(today);
    QTest::keyClick(w.scrollBar(), Qt::Key_Right, Qt::ControlModifier);
    const QString name = u"o"_qs + QString::number(dayNumber(today)) + u"h0000n37230.dat"_qs;
    EXPECT_EQ(noteFiles(), QStringList{name});
    const auto note = readNoteFile(dir.filePath(name));
    ASSERT_TRUE(note);
    EXPECT_EQ(*note, (NoteContent{{}, u"10/05/2031"_qs, {}, u"10/05/2031 10.20"_qs}));
    ASSERT_EQ(fakes.processes.started.size(), 1);
    EXPECT_EQ(fakes.processes.started[0],
              (test::FakeProcessStarter::Start{u"Kalvo"_qs, {name}, WindowMode::NormalWithFocus}));
    EXPECT_TRUE(fakes.messageBoxes.shown.isEmpty());

    QFile::remove(dir.filePath(name));
    QTest::keyClick(w.pane(1)->grid(), Qt::Key_Left);
    ASSERT_EQ(w.launchDate(), today.addDays(-1));
    QTest::keyClick(w.pane(1)->grid(), Qt::Key_Up, Qt::ControlModifier);
    EXPECT_TRUE(noteFiles().isEmpty());
    EXPECT_EQ(fakes.processes.started.size(), 1);
    ASSERT_EQ(fakes.messageBoxes.shown.size(), 1);
    EXPECT_EQ(fakes.messageBoxes.shown[0],
              (Message{u"Calendario"_qs,
                       u"   Non puoi lanciare un Notino per una data inferiore alla attuale    "_qs,
                       MessageIcon::Warning, MessageButtons::Ok}));
}

TEST_F(CalendarWindowTest, YearListsOf2008And2011LineByLine)
{
    const auto national = [](int blanks) { return QString(blanks, u' ') + u"\tFestività Nazionale"_qs; };
    const QStringList expected2008{
        u"000   01/01 -martedì       \tCapodanno"_qs + national(40),
        u"005   06/01 -domenica      \tEpifania"_qs + national(46),
        u"009   10/01 -giovedì       \tCompleanno di Anna"_qs,
        u"036   06/02 -mercoledì     \tMercoledì delle Ceneri "_qs,
        u"059   29/02 -venerdì       \tBisestile"_qs,
        u"075   16/03 -domenica      \tDomenica delle Palme"_qs,
        u"078   19/03 -mercoledì     \tSan Giuseppe"_qs,
        u"082   23/03 -domenica      \tSanta Pasqua"_qs,
        u"083   24/03 -lunedì        \tLunedì dell'Angelo"_qs + national(30),
        u"115   25/04 -venerdì       \tFesta della Liberazione"_qs + national(23),
        u"121   01/05 -giovedì       \tFesta del Lavoro"_qs + national(32),
        u"124   04/05 -domenica      \tAscensione"_qs,
        u"131   11/05 -domenica      \tPentecoste"_qs,
        u"138   18/05 -domenica      \tSS. Trinità"_qs,
        u"145   25/05 -domenica      \tCorpus Domini"_qs,
        u"153   02/06 -lunedì        \tFesta della Repubblica"_qs + national(24),
        u"175   24/06 -martedì       \tSan Giovanni Battista"_qs,
        u"180   29/06 -domenica      \tSS. Pietro e Paolo"_qs,
        u"227   15/08 -venerdì       \tAssunzione della B.V. Maria"_qs + national(18),
        u"305   01/11 -sabato        \tTutti i Santi"_qs + national(44),
        u"306   02/11 -domenica      \tCommemorazione dei Defunti"_qs,
        u"342   08/12 -lunedì        \tImmacolata Concezione"_qs + national(24),
        u"359   25/12 -giovedì       \tNatale di N.S."_qs + national(40),
        u"360   26/12 -venerdì       \tSanto Stefano"_qs + national(40),
    };
    const QStringList expected2011{
        u"000   01/01 -sabato        \tCapodanno"_qs + national(40),
        u"005   06/01 -giovedì       \tEpifania"_qs + national(46),
        u"009   10/01 -lunedì        \tCompleanno di Anna"_qs,
        u"067   09/03 -mercoledì     \tMercoledì delle Ceneri "_qs,
        u"077   19/03 -sabato        \tSan Giuseppe"_qs,
        u"106   17/04 -domenica      \tDomenica delle Palme"_qs,
        u"113   24/04 -domenica      \tSanta Pasqua"_qs,
        u"114   25/04 -lunedì        \tFesta della Liberazione"_qs + national(23),
        u"114   25/04 -lunedì        \tLunedì dell'Angelo"_qs + national(30),
        u"120   01/05 -domenica      \tFesta del Lavoro"_qs + national(32),
        u"152   02/06 -giovedì       \tFesta della Repubblica"_qs + national(24),
        u"155   05/06 -domenica      \tAscensione"_qs,
        u"162   12/06 -domenica      \tPentecoste"_qs,
        u"169   19/06 -domenica      \tSS. Trinità"_qs,
        u"174   24/06 -venerdì       \tSan Giovanni Battista"_qs,
        u"176   26/06 -domenica      \tCorpus Domini"_qs,
        u"179   29/06 -mercoledì     \tSS. Pietro e Paolo"_qs,
        u"226   15/08 -lunedì        \tAssunzione della B.V. Maria"_qs + national(18),
        u"304   01/11 -martedì       \tTutti i Santi"_qs + national(44),
        u"305   02/11 -mercoledì     \tCommemorazione dei Defunti"_qs,
        u"341   08/12 -giovedì       \tImmacolata Concezione"_qs + national(24),
        u"358   25/12 -domenica      \tNatale di N.S."_qs + national(40),
        u"359   26/12 -lunedì        \tSanto Stefano"_qs + national(40),
    };
    QFile ricf(dir.filePath(u"ricf.dat"_qs));
    ASSERT_TRUE(ricf.open(QIODevice::WriteOnly));
    ricf.write(encodeRecurrences({{u"29/02"_qs, u"01"_qs, u"00"_qs, u"Bisestile"_qs},
                                  {u"10/01"_qs, u"01"_qs, u"00"_qs, u"Compleanno di Anna"_qs}}));
    ricf.close();

    for (const auto &[today, expected] : {std::pair{QDate(2008, 3, 10), expected2008},
                                          std::pair{QDate(2011, 7, 1), expected2011}}) {
        window.reset();
        frmMain &w = open(today);
        QTest::mouseClick(w.feste(), Qt::LeftButton);
        EXPECT_EQ(w.windowTitle(), u" Festività e Ricorrenze dell'anno %1"_qs.arg(today.year()));
        EXPECT_EQ(w.feste()->text(), u"Calendario"_qs);
        EXPECT_FALSE(w.scrollBar()->isEnabled());
        QStringList lines;
        for (int row = 0; row < w.yearList()->count(); ++row)
            lines << w.yearList()->item(row)->text();
        EXPECT_EQ(lines, expected) << today.year();
        QTest::mouseClick(w.feste(), Qt::LeftButton);
        EXPECT_EQ(w.feste()->text(), u"Ricorrenze"_qs);
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
    EXPECT_FALSE(w.isVisible());
}

} // namespace
