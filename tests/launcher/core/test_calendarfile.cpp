#include "launcher/core/calendarfile.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimeZone>
#include <QTimer>

#include <libical/ical.h>

#include <gtest/gtest.h>

#include "common/atomicfile.h"
#include "common/daynumber.h"
#include "common/notefile.h"
#include "common/notename.h"
#include "common/settings.h"
#include "launcher/core/calendarfilekeeper.h"

using namespace promemo;
using namespace promemo::launcher;

namespace {

// A day in June 2027; short waits run on the event loop.
struct PinnedClock final : IClock
{
    QDateTime now() const override { return QDateTime(QDate(2027, 6, 15), QTime(10, 0)); }
    std::chrono::milliseconds tickCount() const override { return {}; }
    void after(std::chrono::milliseconds delay, QObject *context, std::function<void()> action) const override
    {
        QTimer::singleShot(delay, context, std::move(action));
    }
};

const QDateTime kStamp(QDate(2027, 1, 10), QTime(8, 0), Qt::UTC);
const QString kText = u"Dentista, via Po; \"studio\" è là\r\nportare le lastre"_qs;

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

// Every day of `year` on which the event's repetition falls.
QList<QDate> daysIn(icalcomponent *event, int year)
{
    const icaltimetype start = icalcomponent_get_dtstart(event);
    const icalrecurrencetype rule =
        icalproperty_get_rrule(icalcomponent_get_first_property(event, ICAL_RRULE_PROPERTY));
    icalrecur_iterator *it = icalrecur_iterator_new(rule, start);
    QList<QDate> days;
    for (icaltimetype t = icalrecur_iterator_next(it); !icaltime_is_null_time(t) && t.year <= year;
         t = icalrecur_iterator_next(it))
        days.append(dateOf(t));
    icalrecur_iterator_free(it);
    return days;
}

// Notes: all-day without an alert, timed with a display alarm at the alert's minute; the first
// line is the summary and the whole text, commas, semicolons, quotes and accents included, the
// description.
TEST(CalendarFile, NotesAreEventsOnTheirDayTimedAtTheirAlert)
{
    const QList<CalendarNote> notes = {{QDate(2027, 1, 11), std::nullopt, kText},
                                       {QDate(2027, 1, 12), 9 * 60 + 30, u"Riunione"_qs}};
    const Parsed parsed(calendarFile(notes, {}, 2027, kStamp));
    ASSERT_TRUE(parsed.calendar);
    const QList<icalcomponent *> events = parsed.events();
    ASSERT_EQ(events.size(), 2);

    const icaltimetype allDay = icalcomponent_get_dtstart(events[0]);
    EXPECT_EQ(std::tuple(bool(allDay.is_date), dateOf(allDay), text(icalcomponent_get_summary(events[0])),
                         text(icalcomponent_get_description(events[0])), std::get<1>(alarmOf(events[0]))),
              std::tuple(true, QDate(2027, 1, 11), u"Dentista, via Po; \"studio\" è là"_qs,
                         u"Dentista, via Po; \"studio\" è là\nportare le lastre"_qs, ICAL_ACTION_NONE));

    const icaltimetype timed = icalcomponent_get_dtstart(events[1]);
    EXPECT_EQ(std::tuple(bool(timed.is_date), dateOf(timed), timed.hour, timed.minute, alarmOf(events[1])),
              std::tuple(false, QDate(2027, 1, 12), 9, 30,
                         std::tuple(0, ICAL_ACTION_DISPLAY, u"Riunione"_qs)));
}

// A recurrence repeats on exactly the days the recurrence files list for the year, a month's
// last day standing in for a day it lacks; its alarm comes its advance-notice days before.
TEST(CalendarFile, RecurrencesRepeatOnTheDaysTheFilesList)
{
    const QList<Recurrence> recurrences = {{"31/01", "12", "03", "Affitto; acconto"},
                                           {"29/02", "01", "00", "Bisestile"},
                                           {"15/11", "04", "10", "Rata"},
                                           {"30/06", "06", "01", "Bollette"}};
    for (const int year : {2027, 2028}) {
        const Parsed parsed(calendarFile({}, recurrences, year, kStamp));
        const QList<icalcomponent *> events = parsed.events();
        ASSERT_EQ(events.size(), recurrences.size());
        for (qsizetype i = 0; i < recurrences.size(); ++i) {
            QList<QDate> listed;
            for (const Recurrence &occurrence : expandRecurrence(recurrences[i], year))
                listed.append(occurrence.dateInYear(year));
            std::sort(listed.begin(), listed.end());
            EXPECT_EQ(daysIn(events[i], year), listed) << recurrences[i].date.toStdString() << " " << year;
            EXPECT_EQ(std::get<0>(alarmOf(events[i])), -recurrences[i].advanceDays() * 24 * 3600);
            EXPECT_EQ(text(icalcomponent_get_summary(events[i])), recurrences[i].text);
        }
    }
}

// UIDs follow the day and the text only, so a calendar keeps its own notes on them; two equal
// notes of one day still have their own.
TEST(CalendarFile, UidsStayWhileTheDayAndTheTextStay)
{
    const auto uids = [](const QList<CalendarNote> &notes, const QDateTime &stamp) {
        const Parsed parsed(calendarFile(notes, {{"01/05", "01", "00", "Festa"}}, 2027, stamp));
        QStringList found;
        for (icalcomponent *event : parsed.events())
            found.append(text(icalcomponent_get_uid(event)));
        return found;
    };
    const CalendarNote note{QDate(2027, 3, 1), std::nullopt, u"Latte"_qs};
    const QStringList first = uids({note, note}, kStamp);
    ASSERT_EQ(first.size(), 3);
    EXPECT_EQ(QSet<QString>(first.begin(), first.end()).size(), 3);
    EXPECT_EQ(uids({note, note}, kStamp.addDays(40)), first);
    EXPECT_EQ(uids({{note.date, 8 * 60, note.text}}, kStamp).first(), first.first()); // alert moved
    EXPECT_NE(uids({{note.date, std::nullopt, u"Latte e pane"_qs}}, kStamp).first(), first.first());
    EXPECT_NE(uids({{note.date.addDays(1), std::nullopt, note.text}}, kStamp).first(), first.first());
}

// The file follows the folder while the launcher runs, within two seconds; the key turns it off.
TEST(CalendarFileKeeper, FollowsPutAwayNotesAndCanBeTurnedOff)
{
    QTemporaryDir dir;
    const PinnedClock clock;
    const QString ics = dir.filePath(kCalendarFileName.toString());
    CalendarFileKeeper keeper(clock, dir.path());
    QSignalSpy written(&keeper, &CalendarFileKeeper::written);
    EXPECT_TRUE(QFile::exists(ics));

    const QString name = *encodeNoteName({NoteState::PutAway, dayNumber(QDate(2027, 6, 16)), 'h', 9 * 60 + 30, 'n', 100});
    ASSERT_TRUE(writeNoteFile(dir.filePath(name), {u"Domani alle 9.30"_qs, u"16/06/2027"_qs, u"09.30"_qs, {}}));
    ASSERT_TRUE(written.wait(2000));
    EXPECT_TRUE(readWholeFile(ics).contains("DTSTART:20270616T093000"));
    // Its own replacement wakes nothing.
    EXPECT_FALSE(written.wait(700));

    ASSERT_TRUE(QFile::remove(dir.filePath(name)));
    ASSERT_TRUE(written.wait(2000));
    EXPECT_FALSE(readWholeFile(ics).contains("BEGIN:VEVENT"));

    ASSERT_TRUE(Settings(dir.filePath(kSettingsFileName.toString())).file().write(u"Calendario", u"calendario_ics", u"0"));
    ASSERT_TRUE(writeNoteFile(dir.filePath(name), {u"Di nuovo"_qs, u"16/06/2027"_qs, u"09.30"_qs, {}}));
    EXPECT_FALSE(written.wait(1000));
    EXPECT_FALSE(readWholeFile(ics).contains("BEGIN:VEVENT"));
}

} // namespace
