#include "launcher/core/notelistsession.h"

#include <QFile>

#include "common/daynumber.h"
#include "common/notefile.h"
#include "common/recurrences.h"
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
    QString putAway(int days, char colour, int alert, const QString &text, const QString &time = {},
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

TEST_F(NoteListSessionTest, ListsNotesByDayAcrossFiveDigitsDeletesPastOnesOnceAndDueRecurrences)
{
    const QString timed = putAway(0, 'h', 570, u"Riunione"_qs, u"09.30"_qs);
    const QString untimed = putAway(0, 'h', 0, u"Spesa\r\nlatte"_qs);
    const QString day10001 = putAway(3, 'a', 0, u"dopo"_qs);
    const QString day9999 = putAway(1, 'v', 0, u"domani"_qs);
    const QString past = putAway(-1, 'h', 0, u"ieri"_qs);
    // An alert of a past day that has not fired is due: started, not deleted.
    const QString missed = putAway(-2, 'k', 600, u"l'altro ieri"_qs, u"10.00"_qs);
    putAway(0, 'h', 0, u"in esecuzione"_qs, {}, NoteState::Shown);
    // A note file that cannot be read is left out.
    const QString unreadable = *encodeNoteName({NoteState::PutAway, dayNumber(kToday), 'h', 0, 'n', 99});
    ASSERT_TRUE(QFile::link(u"/proc/self/mem"_qs, dir.filePath(unreadable)));
    // Both 40 days ahead, on 26 June, the 177th day of the year.
    dir.put(u"ricf.dat"_qs, encodeRecurrences({{u"26/06"_qs, u"01"_qs, u"39"_qs, u"anniversario"_qs},
                                              {u"26/06"_qs, u"01"_qs, u"40"_qs, u"compleanno"_qs}}));

    NoteListSession &list = open();

    // A note without alert sorts first on its day and shows "nd".
    EXPECT_EQ(lines(1), (QStringList{untimed, timed}));
    EXPECT_EQ(lines(1, &NoteListLine::text).first(),
              u"09998 17/05/2027 -     nd \tSpesa  latte"_qs + QString(110, u' ') + untimed);
    EXPECT_EQ(lines(2), (QStringList{day9999, day10001}));
    EXPECT_EQ(lines(3), QStringList{past});
    EXPECT_FALSE(QFile::exists(dir.filePath(past)));
    EXPECT_TRUE(QFile::exists(dir.filePath(missed)));
    EXPECT_EQ(processes.started, (QList<Start>{{u"Kirmo"_qs, {missed}, WindowMode::NormalWithoutFocus}}));
    EXPECT_EQ(lines(4, &NoteListLine::text), QStringList{u"177  26/06/2027        compleanno"_qs});
    EXPECT_TRUE(list.expiredShown() && list.recurrencesShown());
    EXPECT_EQ(list.caption(), u" Elenco Notino e Ricorrenze"_qs);
    // The page: the heading, then today's, later and past notes.
    const QStringList printed = list.printedLines();
    EXPECT_EQ(printed.mid(0, 7), (QStringList{{}, {}, {}, u"Stampa Elenco Notino"_qs, {}, {},
                                              u"Data: 17/05/2027    Ora: nd "_qs}));
    EXPECT_EQ(printed.size(), 6 + 5 * 3);

    // Deleted, it is not listed again; with no recurrence file the caption stays plain.
    QFile::remove(dir.filePath(u"ricf.dat"_qs));
    EXPECT_FALSE(open().expiredShown() || session->recurrencesShown());
    EXPECT_EQ(session->caption(), u"  Elenco Notino"_qs);
}

TEST_F(NoteListSessionTest, ClickingANoteReopensItWithItsProgramAndClosesTheWatcherForAnAlert)
{
    const QString alerted = putAway(0, 'k', 570, u"con avviso"_qs, u"09.30"_qs);
    // Its text must not make it look like the placeholder.
    const QString plain = putAway(0, 'h', 0, u"Nessun problema"_qs);
    const QString later = putAway(2, 'h', 600, u"dopo"_qs, u"10.00"_qs);
    registry.addWindow(u"NotinoControl"_qs);
    QStringList closedAtStart;
    processes.onStart = [&](const Start &) { closedAtStart = registry.closeRequests(); };
    NoteListSession &list = open();
    ASSERT_EQ(lines(1), (QStringList{plain, alerted}));

    list.List1_Click(1);
    // Started once the watcher has gone.
    ASSERT_TRUE(QTest::qWaitFor([&] { return processes.started.size() == 1; }));
    EXPECT_EQ(processes.started.last(), (Start{u"Kirmo"_qs, {alerted}, WindowMode::NormalWithFocus}));
    EXPECT_EQ(closedAtStart, QStringList{u"NotinoControl"_qs});

    registry.addWindow(u"NotinoControl"_qs);
    list.List1_Click(0);
    EXPECT_EQ(processes.started.last(), (Start{u"Kalvo"_qs, {plain}, WindowMode::NormalWithFocus}));
    // The placeholder left starts nothing.
    ASSERT_EQ(lines(1, &NoteListLine::text), QStringList{NoteListSession::placeholder()});
    list.List1_Click(0);

    list.List2_Click(0);
    EXPECT_EQ(processes.started.last(), (Start{u"Kalvo"_qs, {later}, WindowMode::NormalWithoutFocus}));
    EXPECT_EQ(registry.closeRequests(), QStringList{u"NotinoControl"_qs});
    EXPECT_EQ(processes.started.size(), 3);

    // Back in the foreground: a note put away meanwhile is listed.
    const QString meanwhile = putAway(0, 'h', 0, u"nuovo"_qs);
    list.refresh();
    EXPECT_TRUE(lines(1).contains(meanwhile));
}

} // namespace
