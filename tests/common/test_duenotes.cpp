#include "common/duenotes.h"

#include <gtest/gtest.h>

using namespace promemo;

namespace {

Recurrence recurrence(const char *date, const char *advance)
{
    return {QString::fromLatin1(date), QStringLiteral("01"), QString::fromLatin1(advance),
            QStringLiteral("Compleanno")};
}

ListedNote note(int day, int alertMinutes, NoteState state = NoteState::PutAway)
{
    const NoteName name{state, day, 'h', alertMinutes, 'n', 100};
    return {*encodeNoteName(name), name};
}

} // namespace

TEST(DueRecurrences, NextOccurrenceAndAlertPeriod)
{
    const QDate march20(2031, 3, 20);
    EXPECT_EQ(nextOccurrence(recurrence("10/01", "00"), march20), QDate(2032, 1, 10));
    // An earlier day of this month stays in this year, so it is past and never due.
    EXPECT_EQ(nextOccurrence(recurrence("02/03", "40"), march20), QDate(2031, 3, 2));
    EXPECT_FALSE(daysUntilDue(recurrence("02/03", "40"), march20));
    // 29 February has no date in a common year and is passed over.
    EXPECT_FALSE(nextOccurrence(recurrence("29/02", "10"), QDate(2031, 2, 20)));
    EXPECT_EQ(daysUntilDue(recurrence("29/02", "10"), QDate(2032, 2, 20)), 9);

    const QDate today(2031, 5, 1);
    EXPECT_EQ(daysUntilDue(recurrence("10/06", "40"), today), 40);
    EXPECT_FALSE(daysUntilDue(recurrence("10/06", "39"), today));
    EXPECT_EQ(daysUntilDue(recurrence("01/05", "00"), today), 0);
    // Across the year's end.
    EXPECT_EQ(daysUntilDue(recurrence("03/01", "07"), QDate(2031, 12, 30)), 4);

    EXPECT_TRUE(anyRecurrenceDue({recurrence("10/01", "00"), recurrence("06/05", "07")}, today));
    EXPECT_FALSE(anyRecurrenceDue({recurrence("10/01", "00")}, today));
}

TEST(NoteListAtStart, FollowsTheSettingWithNotesAndRecurrences)
{
    const int today = 10000;
    struct Case { ShowList when; std::vector<int> days; bool recurrenceDue; bool opens; };
    const Case cases[] = {
        {ShowList::Always, {}, false, true},
        {ShowList::Never, {today}, true, false},
        {ShowList::Today, {today + 1, today - 1}, false, false},
        {ShowList::Today, {today + 1, today}, false, true},
        {ShowList::Today, {}, true, true},
        {ShowList::SevenDays, {today + 7}, false, true},
        {ShowList::SevenDays, {today + 8, today - 1}, false, false},
        {ShowList::SevenDays, {today + 8}, true, true},
    };
    for (const Case &c : cases)
        EXPECT_EQ(openNoteListAtStart(c.when, c.days, c.recurrenceDue, today), c.opens)
            << int(c.when) << " " << c.days.size();
}

TEST(Watcher, ChoosesTodaysEarliestAlert)
{
    const int today = 10000;
    EXPECT_EQ(chooseDueNote({note(today, 570), note(today, 495), note(today, 0)}, today),
              (DueNote{note(today, 495).fileName, 495}));
    // Ties keep the first; other days, shown notes and notes without alert never count.
    const ListedNote first = note(today, 600);
    ListedNote second = note(today, 600);
    second.name.stamp = 200;
    second.fileName = *encodeNoteName(second.name);
    EXPECT_EQ(chooseDueNote({first, second}, today)->fileName, first.fileName);
    EXPECT_FALSE(chooseDueNote({note(today, 0), note(today - 1, 30), note(today + 1, 30),
                                note(today, 30, NoteState::Shown)},
                               today));
    EXPECT_EQ(reopenProgram(NoteSize::Medium), u"Kirmo");
    EXPECT_EQ(reopenProgram(NoteSize::Normal), u"Kalvo");
}
