#include "launcher/notelistwindow.h"

#include <QFile>

#include "common/daynumber.h"
#include "common/notefile.h"
#include "common/recurrences.h"
#include "tests/launcher/launchertest.h"

using namespace promemo;
using namespace promemo::launcher;
using namespace std::chrono_literals;
using Start = test::FakeProcessStarter::Start;
using test::clickRow;

namespace {

// Two days before the first five-digit day number.
const QDate kToday(2027, 5, 17);
const QString kPlaceholder = u"          Nessun Notino"_qs;

// The lines of a list, or another role of its items.
QStringList texts(const QListWidget *list, int role = Qt::DisplayRole)
{
    QStringList lines;
    for (int row = 0; row < list->count(); ++row)
        lines << list->item(row)->data(role).toString();
    return lines;
}

QStringList fileNames(const QListWidget *list)
{
    return texts(list, frmCounter::FileNameRole);
}

struct NoteListTest : test::WindowTest<frmCounter>
{
    NoteListTest() { fakes.clock.current = QDateTime(kToday, QTime(10, 0)); }

    // A put-away note `days` after today; returns its bare name.
    QString putAway(int days, char colour, int alert, const QString &text, const QString &time = {},
                    NoteState state = NoteState::PutAway)
    {
        const int day = dayNumber(kToday) + days;
        const auto name = encodeNoteName({state, day, colour, alert, 'n', ++stamp});
        const QString date = dateOfDayNumber(day).toString(u"dd/MM/yyyy"_qs);
        EXPECT_TRUE(writeNoteFile(dir.filePath(*name), {text, date, time, date + u" 08.00"_qs}));
        return *name;
    }

    frmCounter &open()
    {
        delete window.data();
        window = new frmCounter(fakes.services());
        return *window;
    }

    int stamp = 0;
};

TEST_F(NoteListTest, ListsNotesByDayAcrossFiveDigitsDeletesPastOnesOnceAndDueRecurrences)
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

    frmCounter &list = open();

    // A note without alert sorts first on its day and shows "nd".
    EXPECT_EQ(fileNames(list.list1()), (QStringList{untimed, timed}));
    EXPECT_EQ(texts(list.list1()).first(),
              u"09998 17/05/2027 -     nd \tSpesa  latte"_qs + QString(110, u' ') + untimed);
    EXPECT_EQ(fileNames(list.list2()), (QStringList{day9999, day10001}));
    EXPECT_EQ(fileNames(list.list3()), QStringList{past});
    EXPECT_FALSE(QFile::exists(dir.filePath(past)));
    EXPECT_TRUE(QFile::exists(dir.filePath(missed)));
    EXPECT_EQ(fakes.processes.started,
              (QList<test::FakeProcessStarter::Start>{{u"Kirmo"_qs, {missed}, WindowMode::NormalWithoutFocus}}));
    EXPECT_EQ(texts(list.list4()), QStringList{u"177  26/06/2027        compleanno"_qs});
    EXPECT_TRUE(list.expiredShown() && list.recurrencesShown());

    // Deleted, it is not listed again.
    EXPECT_FALSE(open().expiredShown());
}

TEST_F(NoteListTest, ClickingANoteReopensItWithItsProgramAndClosesTheWatcherForAnAlert)
{
    const QString alerted = putAway(0, 'k', 570, u"con avviso"_qs, u"09.30"_qs);
    // Its text must not make it look like the placeholder.
    const QString plain = putAway(0, 'h', 0, u"Nessun problema"_qs);
    const QString later = putAway(2, 'h', 600, u"dopo"_qs, u"10.00"_qs);
    registry.addWindow(u"NotinoControl"_qs);
    QStringList closedAtStart;
    fakes.processes.onStart = [&](const Start &) { closedAtStart = registry.closeRequests(); };
    frmCounter &list = open();
    ASSERT_EQ(fileNames(list.list1()), (QStringList{plain, alerted}));

    clickRow(list.list1(), 1);
    // Started once the watcher has gone.
    ASSERT_TRUE(QTest::qWaitFor([&] { return fakes.processes.started.size() == 1; }));
    EXPECT_EQ(fakes.processes.started.last(), (Start{u"Kirmo"_qs, {alerted}, WindowMode::NormalWithFocus}));
    EXPECT_EQ(closedAtStart, QStringList{u"NotinoControl"_qs});
    EXPECT_EQ(list.focusWidget(), list.chiudi());

    // The second click of a double click lands on the line that moved up: nothing more starts.
    clickRow(list.list1(), 0);
    EXPECT_EQ(fakes.processes.started.size(), 1);

    fakes.clock.advance(1s);
    registry.addWindow(u"NotinoControl"_qs);
    clickRow(list.list1(), 0);
    EXPECT_EQ(fakes.processes.started.last(), (Start{u"Kalvo"_qs, {plain}, WindowMode::NormalWithFocus}));
    // The placeholder left starts nothing.
    ASSERT_EQ(texts(list.list1()), QStringList{kPlaceholder});
    clickRow(list.list1(), 0);

    fakes.clock.advance(1s);
    clickRow(list.list2(), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return fakes.processes.started.size() == 3; }));
    EXPECT_EQ(fakes.processes.started.last(), (Start{u"Kalvo"_qs, {later}, WindowMode::NormalWithoutFocus}));
    EXPECT_EQ(registry.closeRequests(), QStringList{u"NotinoControl"_qs});
    EXPECT_EQ(fakes.processes.started.size(), 3);
}

} // namespace
