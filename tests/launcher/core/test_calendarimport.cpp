#include "launcher/core/calendarimport.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "tests/support/fakewindowregistry.h"
#include "tests/support/pinnedclock.h"

#include "common/archive.h"
#include "common/atomicfile.h"
#include "common/notefile.h"
#include "common/notelisting.h"
#include "common/recurrences.h"
#include "launcher/core/calendarfilekeeper.h"
#include "launcher/core/vdir.h"

using namespace promemo;
using namespace promemo::launcher;

namespace {

QByteArray calendar(const QByteArray &uid, const QByteArray &lines, const QByteArray &kind = "VEVENT")
{
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Telefono//IT\r\nBEGIN:" + kind + "\r\nUID:" + uid
           + "\r\nDTSTAMP:20270101T000000Z\r\n" + lines + "END:" + kind + "\r\nEND:VCALENDAR\r\n";
}

const QByteArray kAlarm = "BEGIN:VALARM\r\nACTION:DISPLAY\r\nTRIGGER:-PT30M\r\nEND:VALARM\r\n";

// What an item gives: the start day and time in Rome (from any zone), the earliest alarm before
// the start, no alert all day, the text in the notes' character set; what is left and damaged.
TEST(CalendarImport, ReadsAnEventAsANote)
{
    const ForeignItem timed = readForeignItem(
        calendar("a@b", "DTSTART:20270620T073000Z\r\nSUMMARY:Dentista ł\r\nDESCRIPTION:lastre\\nvia Po ő 😀\r\n" + kAlarm));
    ASSERT_EQ(timed.kind, ForeignItem::Kind::Note);
    EXPECT_EQ(timed.uid, u"a@b"_qs);
    EXPECT_EQ(timed.note.date, QDate(2027, 6, 20));
    EXPECT_EQ(timed.note.alertMinutes, 9 * 60); // 9.30 in Rome, half an hour before
    EXPECT_EQ(timed.note.text, u"Dentista l\r\nlastre\r\nvia Po o ?"_qs);

    // The suite's own form of a note (summary its first line, description the whole text) reads back the same.
    EXPECT_EQ(noteTextOf(u"Chiamare Anna"_qs, u"\n\nChiamare Anna\nfra poco"_qs), u"\r\n\r\nChiamare Anna\r\nfra poco"_qs);

    const ForeignItem allDay = readForeignItem(calendar("c", "DTSTART;VALUE=DATE:20270101\r\nSUMMARY:Capodanno\r\n" + kAlarm));
    EXPECT_EQ(allDay.note.date, QDate(2027, 1, 1));
    EXPECT_FALSE(allDay.note.alertMinutes);
    const ForeignItem zoned = readForeignItem(calendar("d", "DTSTART;TZID=America/New_York:20270620T030000\r\n"));
    EXPECT_EQ(zoned.note.alertMinutes, 9 * 60);

    const ForeignItem yearly = readForeignItem(
        calendar("e", "DTSTART;VALUE=DATE:20270315\r\nRRULE:FREQ=YEARLY\r\nSUMMARY:Compleanno di Anna\r\n"));
    ASSERT_EQ(yearly.kind, ForeignItem::Kind::Recurrence);
    EXPECT_EQ(yearly.recurrence, (Recurrence{u"15/03"_qs, u"01"_qs, u"00"_qs, u"Compleanno di Anna"_qs}));
    EXPECT_EQ(readForeignItem(calendar("f", "DTSTART;VALUE=DATE:20270315\r\nRRULE:FREQ=MONTHLY;INTERVAL=3\r\nSUMMARY:Rata\r\n"))
                  .recurrence.perYear,
              u"04"_qs);
    for (const QByteArray &other : {calendar("g", "DTSTART:20270620T073000Z\r\nRRULE:FREQ=WEEKLY\r\n"),
                                    calendar("h", "DTSTART:20270620T073000Z\r\nRRULE:FREQ=YEARLY\r\n"),
                                    calendar("i", "DTSTART:20270620T073000Z\r\n", "VTODO")})
        EXPECT_EQ(readForeignItem(other).kind, ForeignItem::Kind::Left);
    const QByteArray whole = calendar("j", "DTSTART:20270620T073000Z\r\n");
    for (const QByteArray &bad : {whole.left(whole.size() / 2), QByteArray("BEGIN:VCALENDAR\r\nEND:VCALENDAR\r\n"),
                                  calendar("", "DTSTART:20270620T073000Z\r\n"), calendar("k", "SUMMARY:x\r\n")})
        EXPECT_EQ(readForeignItem(bad).kind, ForeignItem::Kind::Damaged);
}

struct Folder
{
    QTemporaryDir dir;
    QDir folder{dir.path()};
    QDir vdir{folder.filePath(kCalendarVdir.toString())};
    test::PinnedClock clock{QDateTime(QDate(2027, 6, 15), QTime(10, 0))};

    Folder() { folder.mkdir(kCalendarVdir.toString()); }
    void put(const QString &file, const QByteArray &bytes) const
    {
        ASSERT_TRUE(writeFileAtomically(vdir.filePath(file), bytes));
    }
    // The notes: state letter, day, alert minutes, text.
    QStringList notes() const
    {
        QStringList out;
        for (const ListedNote &listed : listNotes(folder.path()))
            out.append(QStringLiteral("%1 %2 %3 ").arg(listed.fileName.left(1), listed.name.date().toString(u"dd/MM"))
                           .arg(listed.name.alertMinutes)
                       + readNoteFile(folder.filePath(listed.fileName))->text);
        return out;
    }
    QString archived() const
    {
        QString texts;
        for (const ArchiveRecord &record : readArchiveFile(folder.filePath(QString::fromLatin1(kArchiveFileName))).records)
            texts += record.text + u'|';
        return texts;
    }
};

// An item someone else put in the vdir, under a name of its own, becomes a put-away note within
// the watch's moment, once (for today's alert the watcher closes, so that a fresh one waits for
// it); the item gone, the note goes to the archive. The item is never a second one in the vdir
// or in Promemo.ics.
TEST(CalendarImport, NotesFollowTheirItems)
{
    Folder f;
    test::FakeWindowRegistry windows;
    windows.addWindow(u"NotinoControl"_qs);
    CalendarFileKeeper keeper(f.clock, f.dir.path(), &windows);
    f.put(u"oggi.ics"_qs, calendar("oggi@telefono", "DTSTART:20270615T150000Z\r\nSUMMARY:Oggi\r\n"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return windows.closeRequests().contains(u"NotinoControl"_qs); }, 5000));
    ASSERT_TRUE(QFile::remove(f.vdir.filePath(u"oggi.ics"_qs)));
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.notes().isEmpty(); }, 5000));
    windows.addWindow(u"NotinoControl"_qs);

    f.put(u"x7f3.ics"_qs, calendar("abc@telefono", "DTSTART:20270620T073000Z\r\nSUMMARY:Dentista\r\n" + kAlarm));
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.notes().size() == 1; }, 5000));
    EXPECT_TRUE(windows.has(u"NotinoControl"_qs)); // not due before its day
    EXPECT_EQ(f.notes(), QStringList{u"o 20/06 540 Dentista"_qs});
    EXPECT_EQ(f.vdir.entryList(QDir::Files), QStringList{u"x7f3.ics"_qs});
    EXPECT_EQ(readWholeFile(f.folder.filePath(kCalendarFileName.toString())).count("UID:abc@telefono"), 1);
    keeper.refresh();
    EXPECT_EQ(f.notes().size(), 1);

    // Moved, and then opened on screen, saved and put away by the user, with a real server in
    // between: the clients' import test.
    ASSERT_TRUE(QFile::remove(f.vdir.filePath(u"x7f3.ics"_qs)));
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.notes().isEmpty(); }, 5000));
    EXPECT_EQ(f.archived(), u"Dentista|Oggi|"_qs);
}

// Past events, other repetitions, to-dos and damaged files make nothing and are never
// rewritten; a yearly all-day event is a recurrence, while the recurrence files have room; a
// note removed on the desktop takes its item along.
TEST(CalendarImport, LeavesWhatTheSuiteCannotTake)
{
    Folder f;
    const QByteArray damaged = calendar("rotto", "DTSTART:2027").left(60);
    f.put(u"passato.ics"_qs, calendar("p", "DTSTART:20270614T090000Z\r\nSUMMARY:Ieri\r\n"));
    f.put(u"settimanale.ics"_qs, calendar("w", "DTSTART:20270620T090000Z\r\nRRULE:FREQ=WEEKLY\r\n"));
    f.put(u"cosa.ics"_qs, calendar("t", "DTSTART:20270620T090000Z\r\n", "VTODO"));
    f.put(u"rotto.ics"_qs, damaged);
    f.put(u"anna.ics"_qs, calendar("anna@x", "DTSTART;VALUE=DATE:20270315\r\nRRULE:FREQ=YEARLY\r\nSUMMARY:Anna\r\n"));
    f.put(u"oggi.ics"_qs, calendar("oggi", "DTSTART;VALUE=DATE:20270615\r\nSUMMARY:Oggi\r\n"));
    QList<Recurrence> full;
    for (int month = 1; month <= 5; ++month) // 5 monthly: 60 records of ricf.dat
        full.append({QStringLiteral("01/%1").arg(month, 2, 10, QLatin1Char('0')), u"12"_qs, u"00"_qs, u"Mese"_qs});
    {
        CalendarFileKeeper keeper(f.clock, f.dir.path());
        EXPECT_EQ(f.notes(), QStringList{u"o 15/06 0 Oggi"_qs});
        EXPECT_EQ(readRecurrences(f.folder.filePath(kEnteredRecurrencesFile.toString())),
                  QList<Recurrence>{(Recurrence{u"15/03"_qs, u"01"_qs, u"00"_qs, u"Anna"_qs})});
        EXPECT_EQ(readWholeFile(f.vdir.filePath(u"rotto.ics"_qs)), damaged);
        EXPECT_EQ(f.vdir.entryList(QDir::Files).size(), 6); // none of the suite's: each has its item

        ASSERT_TRUE(writeRecurrenceFiles(f.dir.path(), full, 2027));
        f.put(u"mario.ics"_qs, calendar("mario", "DTSTART;VALUE=DATE:20270316\r\nRRULE:FREQ=YEARLY\r\nSUMMARY:Mario\r\n"));
        keeper.refresh();
        EXPECT_EQ(readRecurrences(f.folder.filePath(kEnteredRecurrencesFile.toString())), full);
    }
    // Removed on the desktop, forgotten once a day has passed: its item goes.
    ASSERT_TRUE(QFile::remove(f.folder.filePath(listNotes(f.dir.path()).front().fileName)));
    CalendarFileKeeper(f.clock, f.dir.path());
    f.clock.current = f.clock.current.addDays(2);
    CalendarFileKeeper(f.clock, f.dir.path());
    EXPECT_FALSE(f.vdir.exists(u"oggi.ics"_qs));
    EXPECT_TRUE(f.notes().isEmpty());
}

// Two hundred items at once: two hundred notes, each once; none while another launcher of the
// folder is at work.
TEST(CalendarImport, ImportsAFolderAtOnce)
{
    Folder f;
    for (int i = 0; i < 200; ++i)
        f.put(QStringLiteral("%1.ics").arg(i), calendar(QByteArray::number(i) + "@x",
                                                         "DTSTART:202707" + QByteArray::number(10 + i % 20)
                                                             + "T090000Z\r\nSUMMARY:Evento " + QByteArray::number(i) + "\r\n"));
    {
        const FileLock other(f.folder.filePath(u"calendario.uid"_qs));
        CalendarFileKeeper(f.clock, f.dir.path());
        EXPECT_TRUE(f.notes().isEmpty());
    }
    CalendarFileKeeper(f.clock, f.dir.path());
    CalendarFileKeeper(f.clock, f.dir.path());
    QStringList notes = f.notes();
    EXPECT_EQ(notes.size(), 200);
    EXPECT_EQ(notes.removeDuplicates(), 0);
}

} // namespace
