#include "launcher/core/notelistsession.h"

#include <QFile>

#include "common/daynumber.h"
#include "common/notefile.h"
#include "common/recurrences.h"
#include "launcher/core/notelist.h"
#include "tests/launcher/core/sessiontest.h"

using namespace promemo;
using namespace promemo::launcher;
using Start = test::FakeProcessStarter::Start;

namespace {

// Two days before the first five-digit day number.
const QDate kToday(2027, 5, 17);

struct NoteListSessionTest : test::SessionTest
{
    NoteListSessionTest() { clock.current = QDateTime(kToday, QTime(10, 0)); }

    // A note `days` after today, put away unless told; returns its bare name.
    QString note(int days, char colour, int alert, const QString &text, const QString &time = {},
                 NoteState state = NoteState::PutAway)
    {
        const int day = dayNumber(kToday) + days;
        const auto name = encodeNoteName({state, day, colour, alert, 'n', ++stamp});
        const QString date = dateOfDayNumber(day).toString(u"dd/MM/yyyy"_qs);
        EXPECT_TRUE(writeNoteFile(dir.filePath(*name), {text, date, time, date + u" 08.00"_qs}));
        return *name;
    }
    NoteListSession &open()
    {
        session = std::make_unique<NoteListSession>(clock, processes, registry, dir.path());
        session->open();
        return *session;
    }
    // The file names of a list's lines, or their texts.
    QStringList lines(int list, QString NoteListLine::*field = &NoteListLine::fileName) const
    {
        QStringList found;
        for (const NoteListLine &line : session->lines(list))
            found << line.*field;
        return found;
    }

    int stamp = 0;
    std::unique_ptr<NoteListSession> session;
};

// Opening lists today's and later notes across the change to five digits and the recurrences
// due, and deletes past notes, once; a click starts a note, the watcher closed first for an alert.
TEST_F(NoteListSessionTest, ListsNotesDeletesPastOnesOnceAndStartsAClickedOne)
{
    const QString timed = note(0, 'k', 570, u"Riunione"_qs, u"09.30"_qs);
    // Its text must not make it look like the placeholder.
    const QString untimed = note(0, 'h', 0, u"Nessun\r\nlatte"_qs);
    const QString day10001 = note(3, 'a', 600, u"dopo"_qs, u"10.00"_qs);
    const QString day9999 = note(1, 'v', 0, u"domani"_qs);
    const QString past = note(-1, 'h', 0, u"ieri"_qs);
    note(0, 'h', 0, u"in esecuzione"_qs, {}, NoteState::Shown);
    // A note file that cannot be read is left out.
    const QString unreadable = *encodeNoteName({NoteState::PutAway, dayNumber(kToday), 'h', 0, 'n', 99});
    ASSERT_TRUE(QFile::link(u"/proc/self/mem"_qs, dir.filePath(unreadable)));
    // Both 40 days ahead, on 26 June, the 177th day of the year.
    dir.put(u"ricf.dat"_qs, encodeRecurrences({{u"26/06"_qs, u"01"_qs, u"39"_qs, u"anniversario"_qs},
                                              {u"26/06"_qs, u"01"_qs, u"40"_qs, u"compleanno"_qs}}));
    registry.addWindow(u"NotinoControl"_qs);
    QStringList closedAtStart;
    processes.onStart = [&](const Start &) { closedAtStart = registry.closeRequests(); };

    NoteListSession &list = open();
    // A note without alert sorts first on its day and shows "nd".
    const QString blanks(110, u' ');
    EXPECT_EQ(lines(1, &NoteListLine::text), (QStringList{u"09998 17/05/2027 -     nd \tNessun  latte"_qs + blanks + untimed,
                                                          u"09998 17/05/2027 -09.30   \tRiunione"_qs + blanks + timed}));
    EXPECT_EQ(std::pair(lines(2), lines(3)), std::pair(QStringList{day9999, day10001}, QStringList{past}));
    EXPECT_FALSE(QFile::exists(dir.filePath(past)));
    // The caption follows the recurrences shown; the size, for the past notes, is the window's test.
    EXPECT_EQ(lines(4, &NoteListLine::text), QStringList{u"177  26/06/2027        compleanno"_qs});
    EXPECT_EQ(list.caption(), u" Elenco Notino e Ricorrenze"_qs);
    // The page: the heading, then today's, later and past notes, three lines each.
    const QStringList printed = list.printedLines();
    EXPECT_EQ(printed.mid(0, 9), (QStringList{{}, {}, {}, u"Stampa Elenco Notino"_qs, {}, {},
                                              u"Data: 17/05/2027    Ora: nd "_qs, u"Nessun  latte"_qs, {}}));
    EXPECT_EQ(printed.size(), 6 + 5 * 3);

    list.List1_Click(1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return processes.started.size() == 1; }));
    EXPECT_EQ(processes.started.last(), (Start{u"Kirmo"_qs, {timed}, WindowMode::NormalWithFocus}));
    EXPECT_EQ(closedAtStart, QStringList{u"NotinoControl"_qs});
    registry.addWindow(u"NotinoControl"_qs);
    list.List1_Click(0);
    EXPECT_EQ(processes.started.last(), (Start{u"Kalvo"_qs, {untimed}, WindowMode::NormalWithFocus}));
    // The placeholder left starts nothing; a later note starts without the focus, the watcher left.
    ASSERT_EQ(lines(1, &NoteListLine::text), QStringList{NoteListSession::placeholder()});
    list.List1_Click(0);
    list.List2_Click(1);
    EXPECT_EQ(processes.started.last(), (Start{u"Kalvo"_qs, {day10001}, WindowMode::NormalWithoutFocus}));
    EXPECT_EQ(std::pair(registry.closeRequests().size(), processes.started.size()), std::pair(qsizetype(1), qsizetype(3)));

    // Back in the foreground: a note put away meanwhile is listed. Deleted, a past note is not
    // listed again.
    const QString meanwhile = note(0, 'h', 0, u"nuovo"_qs);
    list.refresh();
    EXPECT_TRUE(lines(1).contains(meanwhile));
    EXPECT_FALSE(open().expiredShown());

    // The lines' own rules: a recurrence of next year; a text broken at the first blank from the
    // 55th character, or, with none, in pieces of at most 65.
    const Recurrence r{u"10/01"_qs, u"01"_qs, u"40"_qs, u"Bollo auto"_qs};
    EXPECT_EQ(recurrenceListLine(r, QDate(2027, 1, 10), QDate(2026, 12, 20)), u"375  10/01/2027        Bollo auto"_qs);
    EXPECT_EQ(breakPrintedText(QString(54, u'a') + u" b "_qs + QString(20, u'c')),
              QStringList({QString(54, u'a') + u' ', u"b "_qs + QString(20, u'c')}));
    EXPECT_EQ(breakPrintedText(QString(150, u'x')), QStringList({QString(65, u'x'), QString(65, u'x'), QString(20, u'x')}));
}

} // namespace
