#include "note/core/noterules.h"

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
    const QDate d = today.addDays(1), yesterday = today.addDays(-1);
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
        // a step into a past day comes back to now today
        {"10.00", yesterday, 10, Earlier, noon, noon, today, true},
        {"00.00", today, 10, Earlier, noon, noon, today, true},
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
        {d, -1, today, false}, {today, -1, today, true}, {today.addDays(3), -7, today, true},
        {today, 7, today.addDays(7), false}, {today.addDays(-10), 1, today.addDays(-9), false}};
    for (const auto &[from, days, expected, clamped] : dateCases) {
        const DateStep s = stepDate(from, days, today);
        EXPECT_EQ(std::tuple(s.date, s.clampedToToday), std::tuple(expected, clamped)) << days;
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

} // namespace
} // namespace promemo::note
