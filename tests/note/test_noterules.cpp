#include "note/noterules.h"

#include "common/daynumber.h"

#include <gtest/gtest.h>

namespace promemo::note {
namespace {

// A fixed day well past the four-digit day numbers.
const QDate today(2031, 3, 10);
constexpr int noon = 12 * 60;

constexpr int hm(int hours, int minutes)
{
    return hours * 60 + minutes;
}

TEST(NoteRules, AlertStepsToMarksAndWrapsPastMidnight)
{
    constexpr auto Earlier = Direction::Earlier;
    constexpr auto Later = Direction::Later;
    const QDate tomorrow = today.addDays(1);
    const QDate newYear(2032, 1, 1);
    const QDate farDay(2095, 6, 30);
    struct Case
    {
        const char *label;
        QDate date;
        int step;
        Direction direction;
        int expected;
        QDate expectedDate;
    };
    const Case cases[] = {
        {"21.44", tomorrow, 10, Earlier, hm(21, 40), tomorrow},
        {"21.40", tomorrow, 10, Earlier, hm(21, 30), tomorrow},
        {"21.44", tomorrow, 10, Later, hm(21, 50), tomorrow},
        {"00.10", tomorrow, 10, Earlier, hm(0, 0), tomorrow},
        // rounding up to 24.00 first must not wrap into the next day
        {"23.55", tomorrow, 10, Earlier, hm(23, 50), tomorrow},
        {"23.45", tomorrow, 10, Later, hm(23, 50), tomorrow},
        {"23.50", tomorrow, 10, Later, hm(0, 0), tomorrow.addDays(1)},
        {"00.00", tomorrow, 10, Earlier, hm(23, 50), today},
        {"09.30", tomorrow, 60, Earlier, hm(9, 0), tomorrow},
        {"09.30", tomorrow, 60, Later, hm(10, 0), tomorrow},
        {"09.00", tomorrow, 60, Later, hm(10, 0), tomorrow},
        {"23.30", tomorrow, 60, Earlier, hm(23, 0), tomorrow},
        {"23.10", tomorrow, 60, Later, hm(0, 0), tomorrow.addDays(1)},
        {"00.00", tomorrow, 60, Earlier, hm(23, 0), today},
        {"00.00", newYear, 60, Earlier, hm(23, 0), QDate(2031, 12, 31)},
        {"23.50", QDate(2032, 2, 28), 10, Later, hm(0, 0), QDate(2032, 2, 29)},
        {"08.15", farDay, 10, Later, hm(8, 20), farDay},
    };
    for (const Case &c : cases) {
        const AlertStep s = stepAlert(QString::fromLatin1(c.label), c.date, c.step, c.direction,
                                      today, noon);
        EXPECT_EQ(s.minutes, c.expected) << c.label << " step " << c.step;
        EXPECT_EQ(s.date, c.expectedDate) << c.label << " step " << c.step;
        EXPECT_FALSE(s.clampedToNow) << c.label;
    }
}

TEST(NoteRules, AlertStepFromNowAndClampedToNowOnlyWhenSteppingEarlierIntoThePast)
{
    struct Case
    {
        const char *label;
        QDate date;
        Direction direction;
        int now;
        int expected;
        bool clamped;
    };
    const QDate yesterday = today.addDays(-1);
    const Case cases[] = {
        // an empty label starts from the current time
        {"", today, Direction::Later, hm(10, 37), hm(10, 40), false},
        {"", today, Direction::Earlier, hm(10, 37), hm(10, 37), true},
        {"", today.addDays(1), Direction::Earlier, hm(10, 37), hm(10, 30), false},
        // the current minute itself is not before now
        {"12.05", today, Direction::Earlier, hm(12, 0), hm(12, 0), false},
        {"12.10", today, Direction::Earlier, hm(12, 3), hm(12, 3), true},
        {"10.00", yesterday, Direction::Earlier, noon, noon, true},
        {"09.00", today, Direction::Later, noon, hm(9, 10), false},
    };
    for (const Case &c : cases) {
        const AlertStep s = stepAlert(QString::fromLatin1(c.label), c.date, 10, c.direction,
                                      today, c.now);
        EXPECT_EQ(s.minutes, c.expected) << '"' << c.label << '"';
        EXPECT_EQ(s.clampedToNow, c.clamped) << '"' << c.label << '"';
        EXPECT_EQ(s.date, c.date) << '"' << c.label << '"';
    }
}

TEST(NoteRules, DateStepsBackNoFurtherThanToday)
{
    struct Case
    {
        QDate from;
        int days;
        QDate expected;
        bool clamped;
    };
    const Case cases[] = {
        {today.addDays(1), -1, today, false},
        {today, -1, today, true},
        {today.addDays(3), -7, today, true},
        {today.addDays(7), -7, today, false},
        {today, 7, today.addDays(7), false},
        // a past note moved on is not pulled to today
        {today.addDays(-10), 1, today.addDays(-9), false},
        {QDate(2099, 12, 31), 1, QDate(2100, 1, 1), false},
        {QDate(), 1, today.addDays(1), false},
    };
    for (const Case &c : cases) {
        const DateStep s = stepDate(c.from, c.days, today);
        EXPECT_EQ(s.date, c.expected) << c.from.toString(Qt::ISODate).toStdString() << c.days;
        EXPECT_EQ(s.clampedToToday, c.clamped) << c.from.toString(Qt::ISODate).toStdString();
    }
}

TEST(NoteRules, OnlyTextWithAnAsciiLetterOrDigitIsSaved)
{
    for (const char16_t *text : {u"a", u" 7 ", u"Ciao!", u"...\r\nZ", u"città"})
        EXPECT_TRUE(isSavableText(QString::fromUtf16(text))) << QString::fromUtf16(text).toStdString();
    for (const char16_t *text : {u"", u"   ", u"\r\n\t", u"...!?-", u"è à ù", u"١٢٣"})
        EXPECT_FALSE(isSavableText(QString::fromUtf16(text))) << QString::fromUtf16(text).toStdString();
}

TEST(NoteRules, DropZonesAtTheirBoundariesBottomFirst)
{
    const QSize screen(1920 * 15, 1080 * 15); // 28800 x 16200
    const int bottom = 16200 - 1600;
    const int right = 28800 - 2045;
    struct Case
    {
        QPoint topLeft;
        DropZone expected;
    };
    const Case cases[] = {
        {{1000, bottom}, DropZone::None},      {{1000, bottom + 1}, DropZone::Bottom},
        {{right, 1000}, DropZone::None},       {{right + 1, 1000}, DropZone::Right},
        {{-700, 1000}, DropZone::None},        {{-701, 1000}, DropZone::Left},
        {{right + 1, bottom + 1}, DropZone::Bottom}, {{-701, bottom + 1}, DropZone::Bottom},
        {{1000, -3000}, DropZone::None},
    };
    for (const Case &c : cases)
        EXPECT_EQ(dropZone(c.topLeft, screen), c.expected) << c.topLeft.x() << "," << c.topLeft.y();
}

TEST(NoteRules, BottomDropDeletesWhatIsSpentAndAsksForTheRest)
{
    const int day = dayNumber(today);
    struct Case
    {
        const char *text;
        int noteDay;
        int alert;
        BottomDrop expected;
    };
    const Case cases[] = {
        {"  ", day + 1, 0, BottomDrop::Delete},
        {"?!", day + 1, 0, BottomDrop::Delete},
        {"x", day - 1, 0, BottomDrop::Delete},
        {"x", day, noon, BottomDrop::Delete},
        {"x", day, noon - 1, BottomDrop::Delete},
        {"x", day, noon + 1, BottomDrop::Ask},
        {"x", day, 0, BottomDrop::Ask},
        {"x", day + 1, noon - 1, BottomDrop::Ask},
    };
    for (const Case &c : cases)
        EXPECT_EQ(bottomDrop(QString::fromLatin1(c.text), c.noteDay, day, c.alert, noon),
                  c.expected)
            << '"' << c.text << "\" day " << c.noteDay - day << " alert " << c.alert;
}

TEST(NoteRules, AlertIsDueFromItsMinuteOnItsDayUntilFired)
{
    const int day = dayNumber(today);
    ASSERT_GE(day, 10000);
    const int alert = hm(10, 15);
    EXPECT_FALSE(isAlertDue(alert, false, day, day, alert - 1));
    EXPECT_TRUE(isAlertDue(alert, false, day, day, alert));
    EXPECT_TRUE(isAlertDue(alert, false, day, day, alert + 90));
    EXPECT_FALSE(isAlertDue(alert, true, day, day, alert));
    EXPECT_FALSE(isAlertDue(alert, false, day + 1, day, alert));
    EXPECT_FALSE(isAlertDue(alert, false, day - 1, day, alert));
    EXPECT_FALSE(isAlertDue(0, false, day, day, alert));
}

TEST(NoteRules, LineLimitsAndPlacesAlongTheTopEdge)
{
    const std::tuple<NoteSize, int, int> lines[] = {
        {NoteSize::Normal, 10, 5}, {NoteSize::Normal, 11, 4}, {NoteSize::Normal, 13, 4},
        {NoteSize::Normal, 14, 3}, {NoteSize::Medium, 8, 8},  {NoteSize::Medium, 12, 6},
        {NoteSize::Medium, 14, 5},
    };
    for (const auto &[size, points, expected] : lines)
        EXPECT_EQ(visibleLines(size, points), expected) << points;

    EXPECT_EQ(parkedTopPixels(NoteSize::Normal), -120);
    EXPECT_EQ(parkedTopPixels(NoteSize::Medium), -175);
    // 1366 pixels: 20490 twips / 78, / 34.4, / 22, rounded
    EXPECT_EQ(parkedLeftPixels(ParkSlot::F10, 20490), 263);
    EXPECT_EQ(parkedLeftPixels(ParkSlot::F11, 20490), 596);
    EXPECT_EQ(parkedLeftPixels(ParkSlot::F12, 20490), 931);
}

TEST(NoteRules, UnreadableDateFieldShowsTheNoteForToday)
{
    EXPECT_EQ(noteDateOrToday(u"29/02/2032", today), QDate(2032, 2, 29));
    for (const char16_t *field : {u"", u"31/02/2031", u"10-03-2031", u"nessuna"})
        EXPECT_EQ(noteDateOrToday(field, today), today) << QString::fromUtf16(field).toStdString();
}

} // namespace
} // namespace promemo::note
