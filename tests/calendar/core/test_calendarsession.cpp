#include "calendar/core/calendarsession.h"

#include <algorithm>

#include <gtest/gtest.h>

#include "common/daynumber.h"
#include "common/notefile.h"
#include "common/recurrences.h"
#include "tests/support/fakes.h"
#include "tests/support/pinnedclock.h"

using namespace promemo;
using namespace promemo::calendar;

namespace {

class CalendarSessionTest : public ::testing::Test
{
protected:
    CalendarSession &open(QDate today, const QString &folder = {})
    {
        clock.current = QDateTime(today, QTime(10, 20, 30));
        session = std::make_unique<CalendarSession>(clock, WindowMessages(boxes, u"Calendario"_qs), processes,
                                                    folder.isEmpty() ? dir.path() : folder);
        return *session;
    }

    test::TemporaryProgramFolder dir;
    test::PinnedClock clock{QDateTime()};
    test::FakeMessageBoxes boxes;
    test::FakeProcessStarter processes;
    std::unique_ptr<CalendarSession> session;
};

// The scroll bar moves the panes and the selected date from today's month, not the marked day;
// a key moves all three dates with its pane; a press moves them, not the panes.
TEST_F(CalendarSessionTest, ScrollKeysAndPressesMoveTheDates)
{
    const QDate today(2032, 1, 31); // a month on cuts the day to the end of a leap February
    CalendarSession &s = open(today);
    s.mese(13);
    EXPECT_EQ(std::tuple(s.selectedDate(), s.markedDate(), s.paneDates()[1], s.framePane(), s.header().dayOfYear),
              std::tuple(QDate(2032, 2, 29), today, QDate(2032, 2, 29), 0, u"31"_qs));
    s.mese(0);
    EXPECT_EQ(std::pair(s.paneDates()[0], s.framePane()), std::pair(QDate(2030, 12, 31), std::optional<int>()));

    s.Imposta_Data(QDate(2031, 6, 30), 2);
    s.moveRequested(2, 1, 0);
    const QDate first(2031, 7, 1);
    EXPECT_EQ(std::tuple(s.selectedDate(), s.markedDate(), s.launchDate(), s.paneDates(), s.framePane(), s.header()),
              std::tuple(first, first, first, std::array{QDate(2031, 5, 1), QDate(2031, 6, 1), first}, 2,
                         WeekHeader{u"182"_qs, u"martedì 1 luglio 2031"_qs, u"27"_qs}));
    s.dayPressed(QDate(2031, 6, 15));
    EXPECT_EQ(std::tuple(s.launchDate(), s.markedDate(), s.paneDates()[2], s.framePane()),
              std::tuple(QDate(2031, 6, 15), QDate(2031, 6, 15), first, 1));
}

// From its folder: the days of every note file, more than the classic 60, the recurrence days and
// the boxes, a missing key unticked, a click remembered; the year list of the selected year in the
// list box's order with the year in the caption, until the months come back with today's caption.
TEST_F(CalendarSessionTest, ItsFolderGivesTheDaySetsTheBoxesAndTheYearList)
{
    QList<QDate> noteDays;
    for (int i = 0; i < 71; ++i) { // a day count of three digits first
        const int day = i == 0 ? 150 : 9799 + i;
        dir.put(encodeNoteName({.state = i % 2 ? NoteState::Shown : NoteState::PutAway, .day = day}).value_or(QString()), {});
        noteDays.append(dateOfDayNumber(day));
    }
    dir.put(u"o1234x.dat"_qs, {}); // not a note's name
    dir.put(u"Notino.ini"_qs, "[Calendario]\r\nholycheck=1\r\npostcheck=0\r\n");
    dir.put(u"ricf.dat"_qs, encodeRecurrences({{u"29/02"_qs, u"01"_qs, u"00"_qs, u"Bisestile"_qs}}));
    CalendarSession &s = open(QDate(2031, 5, 10));
    QList<QDate> marked = s.marks().noteDays;
    std::ranges::sort(marked);
    EXPECT_EQ(std::pair(marked, s.marks().recurrenceDays), std::pair(noteDays, QList{QDate(2000, 2, 29)}));
    s.checkClicked(CalendarCheck::Recurrences, true);
    EXPECT_EQ(std::tuple(s.isChecked(CalendarCheck::SundaysInRed), s.isChecked(CalendarCheck::NoteDays),
                         s.marks().markRecurrences, dir.read(u"Notino.ini"_qs).contains("rubrcheck=1")),
              std::tuple(true, false, true, true));

    s.Imposta_Data(QDate(2008, 3, 1), 1);
    s.cmdFeste_Click();
    const QStringList lines = s.yearListLines();
    const QString easter = u"082   23/03 -domenica      \tSanta Pasqua"_qs, leap = u"059   29/02 -venerdì       \tBisestile"_qs;
    const QString monday = u"083   24/03 -lunedì        \tLunedì dell'Angelo"_qs + QString(30, u' ') + u"\tFestività Nazionale"_qs;
    EXPECT_EQ(std::tuple(s.caption(), lines.size(), lines.mid(lines.indexOf(easter), 2), lines.indexOf(leap)),
              std::tuple(u" Festività e Ricorrenze dell'anno 2008"_qs, 23, QStringList{easter, monday}, 3));
    s.cmdFeste_Click();
    EXPECT_EQ(std::tuple(s.yearListShown(), s.caption(), s.header().dayOfYear),
              std::tuple(false, u" Calendario di Promemo - sabato 10 maggio 2031"_qs, u"61"_qs));
}

// From today on a put-away note is written and its program started; before today, refused.
TEST_F(CalendarSessionTest, LaunchesANoteFromTodayOn)
{
    const QDate today(2031, 5, 10);
    CalendarSession &s = open(today);
    s.Lancia_Notino(NoteSize::Normal);
    const QString name = u"o"_qs + QString::number(dayNumber(today)) + u"h0000n37230.dat"_qs;
    EXPECT_EQ(std::tuple(dir.files(), readNoteFile(dir.filePath(name)), processes.started),
              std::tuple(QStringList{name}, NoteContent{{}, u"10/05/2031"_qs, {}, u"10/05/2031 10.20"_qs},
                         QList<test::FakeProcessStarter::Start>{{u"Kalvo"_qs, {name}, WindowMode::NormalWithFocus}}));
    s.dayPressed(today.addDays(-1));
    s.Lancia_Notino(NoteSize::Medium);
    open(today, dir.filePath(u"missing"_qs)).Lancia_Notino(NoteSize::Medium);
    ASSERT_EQ(std::tuple(dir.files().size(), processes.started.size(), boxes.shown.size()), std::tuple(1, 1, 2));
    EXPECT_EQ(boxes.shown[0], (Message{u"Calendario"_qs, u"   Non puoi lanciare un Notino per una data inferiore alla attuale    "_qs}));
    EXPECT_TRUE(boxes.shown[1].text.contains(u"Impossibile creare il Notino"_qs));
}

} // namespace
