#include "note/core/alertvalidation.h"
#include "note/core/noterules.h"
#include "note/core/printlayout.h"

#include "common/datetexts.h"
#include "common/daynumber.h"

#include <tuple>

#include <gtest/gtest.h>

namespace promemo::note {
namespace {

// A fixed day past the four-digit day numbers.
const QDate today(2031, 3, 10);
constexpr int noon = 12 * 60;
using enum Direction;

constexpr int hm(int hours, int minutes) { return hours * 60 + minutes; }

TEST(NoteRules, AlertAndDateStepsWrapPastMidnightAndClampToNow)
{
    const QDate d = today.addDays(1);
    // label, note date, step, direction, now, expected minutes, expected date, clamped
    const std::tuple<const char *, QDate, int, Direction, int, int, QDate, bool> cases[] = {
        {"21.44", d, 10, Earlier, noon, hm(21, 40), d, false},
        {"21.40", d, 10, Earlier, noon, hm(21, 30), d, false},
        {"00.00", d, 10, Earlier, noon, hm(23, 50), today, false},
        // rounding up to 24.00 first must not wrap into the next day
        {"23.55", d, 10, Earlier, noon, hm(23, 50), d, false},
        {"23.10", d, 60, Later, noon, 0, d.addDays(1), false},
        // an empty label starts from now
        {"", d, 10, Earlier, hm(10, 37), hm(10, 30), d, false},
        {"", today, 10, Earlier, hm(10, 37), hm(10, 37), today, true},
        // a step into a past day, here by wrapping, comes back to now today
        {"00.00", today, 10, Earlier, noon, noon, today, true},
        // no step later wraps past the last day, and the time is left as it was, not rounded
        {"23.10", QDate(2099, 12, 31), 60, Later, noon, hm(23, 10), QDate(2099, 12, 31), false},
    };
    for (const auto &[label, date, step, direction, now, minutes, expectedDate, clamped] : cases) {
        SCOPED_TRACE(std::string(label) + " step " + std::to_string(step));
        const AlertStep s =
            stepAlert(QString::fromLatin1(label), date, step, direction, today, now);
        EXPECT_EQ(std::tuple(s.minutes, s.date, s.clampedToNow),
                  std::tuple(minutes, expectedDate, clamped));
    }
    // The date steps back no further than today; a past note moved on stays past.
    const std::tuple<QDate, int, QDate, bool> dateCases[] = {
        {d, -1, today, false}, {today.addDays(3), -7, today, true}, {today, 7, today.addDays(7), false},
        {today.addDays(-10), 1, today.addDays(-9), false}, {QDate(2099, 12, 28), 7, QDate(2099, 12, 31), false}};
    for (const auto &[from, days, expected, clamped] : dateCases) {
        const DateStep s = stepDate(from, days, today);
        EXPECT_EQ(std::tuple(s.date, s.clampedToToday), std::tuple(expected, clamped)) << days;
    }
}

TEST(NoteRules, SnoozeIsTenMinutesFromNowOnTheNextDayPastMidnight)
{
    // today, now, expected date and minutes
    const std::tuple<QDate, int, QDate, int> cases[] = {
        {today, hm(23, 49), today, hm(23, 59)},
        {today, hm(23, 55), today.addDays(1), hm(0, 5)},
        // 00.00 is no alert
        {today, hm(23, 50), today.addDays(1), hm(0, 1)},
        {QDate(2031, 12, 31), hm(23, 55), QDate(2032, 1, 1), hm(0, 5)},
        {QDate(2032, 2, 28), hm(23, 58), QDate(2032, 2, 29), hm(0, 8)},
        {QDate(2099, 12, 31), hm(23, 55), QDate(2099, 12, 31), hm(23, 59)},
    };
    for (const auto &[day, now, date, minutes] : cases) {
        const AlertStep s = snoozedAlert(day, now);
        EXPECT_EQ(std::tuple(s.date, s.minutes, s.clampedToNow), std::tuple(date, minutes, false))
            << day.toString(Qt::ISODate).toStdString() << " " << now;
    }
}

TEST(NoteRules, SaveAndDropsNeedAnAsciiLetterOrDigitAndZonesMeetAtTheirBoundaries)
{
    const std::pair<const char16_t *, bool> texts[] = {{u"...\r\nZ", true}, {u"città", true}, {u" \r\n\t", false},
                                                       {u"...!?-", false}, {u"è à ù", false}, {u"١٢٣", false}};
    for (const auto &[text, savable] : texts)
        EXPECT_EQ(isSavableText(QString::fromUtf16(text)), savable) << QString::fromUtf16(text).toStdString();

    const int day = dayNumber(today);
    using enum BottomDrop;
    // text, day offset, alert minutes, expected (now is noon)
    const std::tuple<const char *, int, int, BottomDrop> drops[] = {
        {"?!", 1, 0, Delete}, {"x", -1, 0, Delete}, {"x", 0, noon, Delete},
        {"x", 0, noon + 1, Ask}, {"x", 0, 0, Ask}, {"x", 1, noon - 1, Ask}};
    for (const auto &[text, offset, alert, expected] : drops)
        EXPECT_EQ(bottomDrop(QString::fromLatin1(text), day + offset, day, alert, noon), expected)
            << '"' << text << "\" day " << offset << " alert " << alert;

    // Drop zones at their boundaries, the bottom first.
    const QSize screen(28800, 16200); // 1920 x 1080 pixels
    const int bottom = 16200 - 1600, right = 28800 - 2045;
    using enum DropZone;
    const std::pair<QPoint, DropZone> zones[] = {
        {{0, bottom}, None},       {{0, bottom + 1}, Bottom},         {{right, 0}, None},
        {{right + 1, 0}, Right},   {{-700, 0}, None},                 {{-701, 0}, Left},
        {{-701, bottom + 1}, Bottom}, {{right + 1, bottom + 1}, Bottom}, {{0, -3000}, None},
    };
    for (const auto &[topLeft, expected] : zones)
        EXPECT_EQ(dropZone(topLeft, screen), expected) << topLeft.x() << "," << topLeft.y();
}

// Refusal (message, focus) or acceptance (alert label), and what the note got either way.
TEST(AlertValidation, ChecksRunInOrderAndTheFirstRefusalWins)
{
    // A summer day of a common year, a leap year next.
    const QDate summer(2027, 6, 15);
    constexpr int now = hm(10, 30);
    const struct { AlertBoxes boxes; const char *message; int focusOrNothing = DayBox; std::optional<QDate> date{};
                   std::optional<int> alertMinutes{}; const char *alertText = ""; } cases[] = {
        {{"31", "04", "27", "", ""}, "    Il mese ha 30 giorni      "},
        {{"29", "02", "28", "", ""}, "", 0, QDate(2028, 2, 29), 0},
        {{"29", "02", "27", "", ""}, "    Il mese ha 28 giorni       "},
        // 2000 is a leap year: only the year check refuses it.
        {{"29", "02", "00", "", ""}, "  Anno inferiore all'attuale    ", YearBox},
        {{"31", "13", "27", "", ""}, "  Hai inserito un anno di 13 mesi    ", MonthBox},
        {{"01", "00", "28", "", ""}, "   Non hai inserito il mese    ", MonthBox},
        {{"1", "7", "28", "", ""}, "", 0, QDate(2028, 7, 1), 0},
        {{"14", "06", "27", "10", "00"}, "   Hai inserito una data inferiore alla attuale    "},
        {{"16", "06", "27", "24", "00"}, "Non si può introdurre un valore maggiore di 23.59    ",
         HoursBox, summer.addDays(1)},
        {{"16", "06", "27", "23", "60"}, "Non si può introdurre un valore maggiore di 59    ",
         MinutesBox, summer.addDays(1)},
        // The current minute of today is still ahead; the one before is past.
        {{"15", "06", "27", "10", "29"}, "   Hai inserito un' ora inferiore alla attuale    ",
         HoursBox, summer, 0},
        {{"15", "06", "27", "10", "30"}, "", 0, summer, now, "10.30"},
        {{"15", "06", "27", "00", "00"}, "", 0, summer, 0},
    };
    for (const auto &c : cases) {
        const AlertValidation result = validateAlertSetup(c.boxes, summer, now);
        EXPECT_EQ(std::tuple(result.message, result.accepted() ? 0 : result.focus, result.date,
                             result.alertMinutes, result.alertText),
                  std::tuple(QString(c.message), c.focusOrNothing, c.date, c.alertMinutes, QString(c.alertText)))
            << QStringList(c.boxes.begin(), c.boxes.end()).join(u' ').toStdString();
    }
    // A past date puts today in the date boxes.
    EXPECT_EQ(validateAlertSetup({"14", "06", "27", "10", "00"}, summer, now).boxes,
              (AlertBoxes{"15", "06", "27", "10", "00"}));
}

TEST(NotePage, HeaderThenEveryLineOfTheTextCutOnceAtABlankFrom45To60OrElseAfter60)
{
    const QString stamp = QStringLiteral("06/12/2030 14.05");
    // `count` letters with blanks at the given positions (from 1).
    const auto withBlanks = [](int count, std::initializer_list<int> blanks) {
        QString line(count, u'x');
        for (const int position : blanks)
            line[position - 1] = u' ';
        return line;
    };
    const QString words = QStringLiteral("abcdefghij ").repeated(14).left(150);
    const struct { QString text; QStringList body; } cases[] = {
        {QString(49, u'x') + u"\r\n"_qs + withBlanks(50, {46}),
         {QString(49, u'x'), withBlanks(46, {46}), QString(4, u'x')}},
        {QString(70, u'x'), {QString(60, u'x'), QString(10, u'x')}},
        // Blanks after the cut are trimmed; one before character 45 does not count.
        {withBlanks(70, {30, 50, 51, 70}), {withBlanks(50, {30, 50}), QString(18, u'x')}},
        {words, {words.left(55), words.mid(55)}},
    };
    const QStringList head = {{}, {}, {}, {}, u"Data e ora di registrazione del messaggio: "_qs + stamp, {}, {}};
    for (const auto &c : cases)
        EXPECT_EQ(notePageLines(stamp, c.text), head + c.body) << c.text.toStdString();
}

// An alert is a moment: due from its minute on, whatever day it is now; late by more than a
// minute, it is a missed alert and says when it was for. Local time is Europe/Rome.
TEST(AlertMoment, DueAcrossDaysMonthsYearsAndTheDaysTheClocksChange)
{
    struct Case { QDate day; int alert; QDateTime now; bool due, missed; const char *moment; };
    const QDate newYearsEve(2031, 12, 31);
    const Case cases[] = {
        {today, hm(10, 15), {today, QTime(10, 14, 59)}, false, false, ""},
        {today, hm(10, 15), {today, QTime(10, 15)}, true, false, ""},
        {today, hm(10, 15), {today, QTime(10, 16)}, true, false, ""},
        {today, hm(10, 15), {today, QTime(10, 16, 1)}, true, true, "10.15 di oggi"},
        {today.addDays(1), hm(0, 5), {today, QTime(23, 59)}, false, false, ""},
        // after midnight, a month's and a year's end
        {today, hm(23, 50), {today.addDays(1), QTime(0, 10)}, true, true, "23.50 di ieri"},
        {QDate(2031, 4, 30), hm(23, 59), {QDate(2031, 5, 1), QTime(0, 0)}, true, false, ""},
        {newYearsEve, hm(23, 50), {QDate(2032, 1, 1), QTime(0, 1)}, true, true, "23.50 di ieri"},
        {QDate(2031, 12, 30), hm(8, 0), {QDate(2032, 1, 1), QTime(9, 0)}, true, true,
         "08.00 del 30/12/31"},
        {QDate(2031, 3, 1), hm(8, 0), {today, QTime(9, 0)}, true, true, "08.00 del 01/03"},
        // a clock set back before the moment: not yet due
        {today, hm(10, 0), {today.addDays(-1), QTime(10, 30)}, false, false, ""},
        // 30/03/2031: 02.00 to 03.00 does not exist; 02.30 is due at 03.00, on time
        {QDate(2031, 3, 30), hm(2, 30), {QDate(2031, 3, 30), QTime(1, 59, 59)}, false, false, ""},
        {QDate(2031, 3, 30), hm(2, 30), {QDate(2031, 3, 30), QTime(3, 0)}, true, false, ""},
        {QDate(2031, 3, 30), hm(2, 30), {QDate(2031, 3, 30), QTime(3, 2)}, true, true,
         "02.30 di oggi"},
        // 26/10/2031: 02.00 to 03.00 comes twice; 02.30 is due when it first comes
        {QDate(2031, 10, 26), hm(2, 30), {QDate(2031, 10, 26), QTime(2, 30)}, true, false, ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.now.toString(Qt::ISODate).toStdString());
        EXPECT_EQ(isAlertDue(c.alert, false, c.day, c.now), c.due);
        EXPECT_FALSE(isAlertDue(c.alert, true, c.day, c.now));
        EXPECT_FALSE(isAlertDue(noAlert, false, c.day, c.now));
        if (c.due) {
            EXPECT_EQ(std::pair(isMissedAlert(c.day, c.alert, c.now),
                                c.missed ? missedMomentText(c.day, c.alert, c.now.date()) : QString()),
                      std::pair(c.missed, QString::fromLatin1(c.moment)));
        }
    }
    // The summary of an alert on time is the session's (NoteSessionTest.AlertFiresAtItsMinute).
    EXPECT_EQ(alertNotice(today, u"23.50"_qs, u"Dentista"_qs, u"23.50 di ieri"_qs).summary,
              u"Avviso mancato: 23.50 di ieri"_qs);
}

} // namespace
} // namespace promemo::note
