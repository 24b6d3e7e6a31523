#include "launcher/core/calendarfile.h"

#include <QDir>
#include <QSignalSpy>
#include <QTest>
#include <QTemporaryDir>
#include <QTimer>

#include <libical/ical.h>

#include <gtest/gtest.h>

#include "tests/support/pinnedclock.h"

#include "common/atomicfile.h"
#include "common/daynumber.h"
#include "common/notefile.h"
#include "common/notename.h"
#include "common/settings.h"
#include "launcher/core/calendarfilekeeper.h"
#include "launcher/core/identitymap.h"

using namespace promemo;
using namespace promemo::launcher;

namespace {

const QDateTime kStamp(QDate(2027, 1, 10), QTime(8, 0), Qt::UTC);
const QString kText = u"\r\n  \r\nDentista, via Po; \"studio\" è là\r\nportare le lastre"_qs;

// The calendar parsed back by libical, as a calendar program reads it.
struct Parsed
{
    explicit Parsed(const QByteArray &bytes) : calendar(icalparser_parse_string(bytes.constData())) {}
    ~Parsed() { icalcomponent_free(calendar); }
    Parsed(const Parsed &) = delete;
    Parsed &operator=(const Parsed &) = delete;

    QList<icalcomponent *> events() const
    {
        QList<icalcomponent *> found;
        for (icalcomponent *e = icalcomponent_get_first_component(calendar, ICAL_VEVENT_COMPONENT); e;
             e = icalcomponent_get_next_component(calendar, ICAL_VEVENT_COMPONENT))
            found.append(e);
        return found;
    }
    icalcomponent *calendar;
};

QString text(const char *value) { return QString::fromUtf8(value); }

QDate dateOf(icaltimetype t) { return QDate(t.year, t.month, t.day); }
QDateTime momentOf(icaltimetype t) { return QDateTime(dateOf(t), QTime(t.hour, t.minute)); }

// The alarm's offset from the start in seconds, its action and its text.
std::tuple<int, icalproperty_action, QString> alarmOf(icalcomponent *event)
{
    icalcomponent *alarm = icalcomponent_get_first_component(event, ICAL_VALARM_COMPONENT);
    if (!alarm)
        return {1, ICAL_ACTION_NONE, {}};
    const icaltriggertype trigger =
        icalproperty_get_trigger(icalcomponent_get_first_property(alarm, ICAL_TRIGGER_PROPERTY));
    return {icaldurationtype_as_int(trigger.duration),
            icalproperty_get_action(icalcomponent_get_first_property(alarm, ICAL_ACTION_PROPERTY)),
            text(icalproperty_get_description(icalcomponent_get_first_property(alarm, ICAL_DESCRIPTION_PROPERTY)))};
}

// The days the recurrence files list, year by year.
QList<QDate> listedDays(const Recurrence &recurrence, int firstYear, int lastYear)
{
    QList<QDate> days;
    for (int year = firstYear; year <= lastYear; ++year) {
        QList<QDate> inYear;
        for (const Recurrence &occurrence : expandRecurrence(recurrence, year))
            inYear.append(occurrence.dateInYear(year));
        std::sort(inYear.begin(), inYear.end());
        days += inYear;
    }
    return days;
}

// Notes: all-day (to the next day) without an alert, a quarter of an hour at the alert with a
// display alarm at its minute otherwise; the first line with text is the summary, a fixed word
// when there is none, and the whole text, commas, semicolons, quotes and accents included, the
// description.
TEST(CalendarFile, NotesAreEventsOnTheirDayTimedAtTheirAlert)
{
    const QList<CalendarNote> notes = {{QDate(2027, 1, 11), std::nullopt, kText, u"u1"_qs, {}},
                                       {QDate(2027, 1, 12), 23 * 60 + 50, u"Riunione"_qs, u"u2"_qs, {}},
                                       {QDate(2027, 1, 13), std::nullopt, u" \r\n"_qs, u"u3"_qs, {}}};
    const Parsed parsed(calendarFile(notes, {}, kStamp));
    ASSERT_TRUE(parsed.calendar);
    const QList<icalcomponent *> events = parsed.events();
    ASSERT_EQ(events.size(), 3);

    const icaltimetype allDay = icalcomponent_get_dtstart(events[0]);
    const icaltimetype allDayEnd = icalcomponent_get_dtend(events[0]);
    EXPECT_EQ(std::tuple(bool(allDay.is_date), dateOf(allDay), bool(allDayEnd.is_date), dateOf(allDayEnd),
                         text(icalcomponent_get_uid(events[0])), text(icalcomponent_get_summary(events[0])),
                         text(icalcomponent_get_description(events[0])), std::get<1>(alarmOf(events[0]))),
              std::tuple(true, QDate(2027, 1, 11), true, QDate(2027, 1, 12), u"u1"_qs,
                         u"Dentista, via Po; \"studio\" è là"_qs,
                         u"\n  \nDentista, via Po; \"studio\" è là\nportare le lastre"_qs, ICAL_ACTION_NONE));

    const icaltimetype timed = icalcomponent_get_dtstart(events[1]);
    EXPECT_EQ(std::tuple(bool(timed.is_date), momentOf(timed), momentOf(icalcomponent_get_dtend(events[1])),
                         alarmOf(events[1])),
              std::tuple(false, QDateTime(QDate(2027, 1, 12), QTime(23, 50)),
                         QDateTime(QDate(2027, 1, 13), QTime(0, 5)), std::tuple(0, ICAL_ACTION_DISPLAY, u"Riunione"_qs)));
    // The fixed word for a blank text, and one item per event in calendario/, are read by the
    // clients (tests/clients).
}

// A recurrence is one event or two (the second with its own UID, for the 29th or 30th through
// February), all day, each starting on a day the recurrence files list and the first of them on
// its first occurrence, whatever the year is now; its alarm comes its advance-notice days before.
// That calendar programs repeat them on exactly the listed days is the clients' test
// (tests/clients), on the recurrences of client_fixture.
TEST(CalendarFile, RecurrencesStartOnTheirFirstOccurrenceWithTheirAlarm)
{
    const QList<Recurrence> cases = {
        {"31/01", "12", "03", "Affitto; acconto"}, {"29/02", "01", "00", "Bisestile"},
        {"15/11", "04", "10", "Rata"},             {"30/06", "06", "01", "Bollette"},
        {"31/10", "03", "00", "Quadrimestre"},
    };
    QList<CalendarRecurrence> recurrences;
    for (const Recurrence &recurrence : cases)
        recurrences.append({recurrence, u"r-"_qs + recurrence.text, 2026});
    for (const QDateTime &stamp : {kStamp, kStamp.addYears(3)}) {
        const Parsed parsed(calendarFile({}, recurrences, stamp));
        QMap<QString, QList<icalcomponent *>> bySummary;
        for (icalcomponent *event : parsed.events())
            bySummary[text(icalcomponent_get_summary(event))].append(event);
        for (const Recurrence &recurrence : cases) {
            SCOPED_TRACE(recurrence.text.toStdString());
            const QList<icalcomponent *> events = bySummary.value(recurrence.text);
            ASSERT_TRUE(events.size() == 1 || events.size() == 2);
            const QList<QDate> listed = listedDays(recurrence, 2026, 2028);
            QList<QDate> starts;
            for (icalcomponent *event : events) {
                const QDate start = dateOf(icalcomponent_get_dtstart(event));
                EXPECT_TRUE(listed.contains(start)) << start.toString(Qt::ISODate).toStdString();
                EXPECT_EQ(dateOf(icalcomponent_get_dtend(event)), start.addDays(1));
                EXPECT_EQ(std::get<0>(alarmOf(event)), -recurrence.advanceDays() * 24 * 3600);
                starts.append(start);
            }
            EXPECT_EQ(*std::min_element(starts.begin(), starts.end()), listed.first());
            EXPECT_EQ(text(icalcomponent_get_uid(events.first())), u"r-"_qs + recurrence.text);
            if (events.size() == 2) {
                EXPECT_EQ(text(icalcomponent_get_uid(events[1])), secondRepetitionUid(u"r-"_qs + recurrence.text));
            }
        }
    }
}

// UIDs are identities: a note keeps its UID when it is put away, saved again under a new name
// with another text, moved or given another alert, also when it was off screen for a while; what
// cannot be told apart gets new UIDs, and what has gone is forgotten after its time.
TEST(IdentityMap, ANoteKeepsItsUidAcrossSaves)
{
    IdentityMap map;
    const QDateTime t0(QDate(2027, 6, 15), QTime(10, 0));
    const auto assign = [&](const QList<QStringList> &items, qint64 minutes) {
        return map.assign(u"note", items, t0.addSecs(minutes * 60), std::chrono::hours(24));
    };
    const QStringList first = assign({{u"9900h0000n00001.dat"_qs, u"Latte"_qs}, {u"9901h0000n00002.dat"_qs, u"Pane"_qs}}, 0);
    ASSERT_EQ(first.size(), 2);
    EXPECT_NE(first[0], first[1]);
    EXPECT_TRUE(isSuiteUid(first[0]));

    // Saved again: new name, same text; then edited in one go: the one gone, the one new.
    EXPECT_EQ(assign({{u"9905h0570n00100.dat"_qs, u"Latte"_qs}, {u"9901h0000n00002.dat"_qs, u"Pane"_qs}}, 1), first);
    EXPECT_EQ(assign({{u"9905h0570n00200.dat"_qs, u"Latte e uova"_qs}, {u"9901h0000n00002.dat"_qs, u"Pane"_qs}}, 2), first);
    // Opened on screen (no file), saved an hour later with a new text.
    EXPECT_EQ(assign({{u"9901h0000n00002.dat"_qs, u"Pane"_qs}}, 3), QStringList{first[1]});
    EXPECT_EQ(assign({{u"9906h0000n00300.dat"_qs, u"Latte, uova"_qs}, {u"9901h0000n00002.dat"_qs, u"Pane"_qs}}, 63), first);

    // The map is kept in a file and read back unchanged.
    EXPECT_EQ(IdentityMap::decode(map.encoded()), map);

    // Two gone and two new with other texts: nothing says which is which.
    const QStringList both = assign({{u"9907h0000n00400.dat"_qs, u"A"_qs}, {u"9907h0000n00401.dat"_qs, u"B"_qs}}, 64);
    EXPECT_FALSE(both.contains(first[0]) || both.contains(first[1]));
    // Gone longer than the wait: a new note is a new one.
    assign({}, 65);
    EXPECT_FALSE(assign({{u"9908h0000n00500.dat"_qs, u"C"_qs}}, 65 + 25 * 60).contains(both[0]));
    EXPECT_EQ(map.entries().size(), 1);
}

// The keeper: Promemo.ics and one item per put-away note, per shown note with an alert and per
// recurrence in calendario/, with the same UIDs; within two seconds of a change; unchanged items
// stay untouched, a note saved again replaces its item, items of gone notes and the file go
// when the key turns it off; what others put in the vdir stays.
TEST(CalendarFileKeeper, KeepsTheFileAndTheVdirAndCanBeTurnedOff)
{
    QTemporaryDir dir;
    const test::PinnedClock clock(QDateTime(QDate(2027, 6, 15), QTime(10, 0)));
    const QDir folder(dir.path());
    const QString ics = folder.filePath(kCalendarFileName.toString());
    const QDir vdir(folder.filePath(kCalendarVdir.toString()));
    const auto noteFile = [&](NoteState state, QDate day, int alert, int stamp) {
        return folder.filePath(*encodeNoteName({state, dayNumber(day), 'h', alert, 'n', stamp}));
    };
    const auto items = [&] { return vdir.entryList({u"*.ics"_qs}, QDir::Files, QDir::Name); };
    ASSERT_TRUE(writeNoteFile(noteFile(NoteState::PutAway, QDate(2027, 6, 16), 570, 100),
                              {u"Domani alle 9.30"_qs, u"16/06/2027"_qs, u"09.30"_qs, {}}));
    ASSERT_TRUE(writeNoteFile(noteFile(NoteState::Shown, QDate(2027, 6, 15), 0, 101), {u"Sul video"_qs, u"15/06/2027"_qs, {}, {}}));
    ASSERT_TRUE(writeNoteFile(noteFile(NoteState::Shown, QDate(2027, 6, 15), 720, 102),
                              {u"A mezzogiorno"_qs, u"15/06/2027"_qs, u"12.00"_qs, {}}));
    ASSERT_TRUE(writeFileAtomically(folder.filePath(kEnteredRecurrencesFile.toString()),
                                    encodeRecurrences({{"31/01", "01", "00", "Compleanno"}})));
    ASSERT_TRUE(folder.mkdir(kCalendarVdir.toString()));
    ASSERT_TRUE(writeFileAtomically(vdir.filePath(u"altro.ics"_qs), "BEGIN:VCALENDAR\r\nEND:VCALENDAR\r\n"));

    CalendarFileKeeper keeper(clock, dir.path());
    QSignalSpy written(&keeper, &CalendarFileKeeper::written);
    const QStringList first = items();
    ASSERT_EQ(first.size(), 4); // two notes, the recurrence, the other program's
    for (const QString &name : first) {
        if (name != u"altro.ics"_qs) {
            EXPECT_TRUE(readWholeFile(ics).contains("UID:" + name.chopped(4).toUtf8()));
        }
    }
    EXPECT_FALSE(readWholeFile(ics).contains("Sul video"));

    // Saved again under a new name with a new text: the same item, new content; the others untouched.
    const QString recurrenceItem = [&] {
        for (const QString &name : first) {
            if (readWholeFile(vdir.filePath(name)).contains("Compleanno"))
                return vdir.filePath(name);
        }
        return QString();
    }();
    const QDateTime untouched = QFileInfo(recurrenceItem).lastModified();
    ASSERT_TRUE(QFile::remove(noteFile(NoteState::PutAway, QDate(2027, 6, 16), 570, 100)));
    ASSERT_TRUE(writeNoteFile(noteFile(NoteState::Shown, QDate(2027, 6, 17), 600, 200),
                              {u"Dopodomani alle 10"_qs, u"17/06/2027"_qs, u"10.00"_qs, {}}));
    ASSERT_TRUE(written.wait(2000));
    EXPECT_EQ(items(), first);
    EXPECT_TRUE(readWholeFile(ics).contains("DTSTART:20270617T100000"));
    EXPECT_FALSE(readWholeFile(ics).contains("Domani alle 9.30"));
    EXPECT_EQ(QFileInfo(recurrenceItem).lastModified(), untouched);
    // Its own writes wake nothing.
    EXPECT_FALSE(written.wait(700));

    // A note gone for good: its item goes.
    ASSERT_TRUE(QFile::remove(noteFile(NoteState::Shown, QDate(2027, 6, 15), 720, 102)));
    ASSERT_TRUE(QFile::remove(noteFile(NoteState::Shown, QDate(2027, 6, 17), 600, 200)));
    ASSERT_TRUE(written.wait(2000));
    EXPECT_EQ(items().size(), 2);

    // Off: what the suite wrote goes, what others wrote stays.
    ASSERT_TRUE(Settings(folder.filePath(kSettingsFileName.toString())).file().write(u"Calendario", u"calendario_ics", u"0"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !QFile::exists(ics); }, 2000));
    EXPECT_EQ(items(), QStringList{u"altro.ics"_qs});
}

} // namespace
