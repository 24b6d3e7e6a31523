#include "common/duenotes.h"
#include "common/daynumber.h"
#include "common/notelisting.h"
#include "common/recurrences.h"
#include "common/atomicfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace promemo;

namespace {

Recurrence recurrence(const char *date, const char *advance)
{
    return {QString::fromLatin1(date), QStringLiteral("01"), QString::fromLatin1(advance),
            QStringLiteral("Compleanno")};
}

ListedNote note(int day, int alertMinutes, NoteState state = NoteState::PutAway, int stamp = 100)
{
    const NoteName name{state, day, 'h', alertMinutes, 'n', stamp};
    return {*encodeNoteName(name), name};
}

QStringList datesOf(const QList<Recurrence> &records)
{
    QStringList dates;
    for (const Recurrence &r : records)
        dates.append(r.date);
    return dates;
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

// Every day up to today counts, earliest moment first; later days, shown notes and notes
// without alert never do. What is due at a moment is the front of that list.
TEST(Watcher, WatchesEveryAlertUpToTodayAndFindsAllThatAreDue)
{
    const QDate today(2030, 1, 1);
    const int day = dayNumber(today);
    // The last is the first's twin at another stamp: equal moments keep their order.
    const std::vector<ListedNote> notes = {
        note(day, 600), note(day, 570), note(day, 0), note(day - 1, 1430), note(day - 400, 30),
        note(day + 1, 30), note(day, 30, NoteState::Shown), note(day, 600, NoteState::PutAway, 200)};
    const std::vector<DueNote> watched = alertsToWatch(notes, today);
    QStringList order;
    for (const DueNote &due : watched)
        order << QStringLiteral("%1 %2").arg(due.day.toString(Qt::ISODate)).arg(due.alertMinutes);
    EXPECT_EQ(order.join(u", ").toStdString(),
              "2028-11-27 30, 2029-12-31 1430, 2030-01-01 570, 2030-01-01 600, 2030-01-01 600");
    EXPECT_EQ(std::pair(watched[3].fileName, watched[4].fileName), std::pair(notes[0].fileName, notes[7].fileName));

    const std::pair<QTime, size_t> cases[] = {
        {QTime(0, 0), 2}, {QTime(9, 29, 59), 2}, {QTime(9, 30), 3}, {QTime(23, 0), 5}};
    for (const auto &[time, count] : cases)
        EXPECT_EQ(dueAt(watched, QDateTime(today, time)).size(), count) << time.toString().toStdString();
}

TEST(NoteListing, ListsByStateAndDecodedDayNotByNamePrefix)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const char *name :
         {"o1234h0570n00001.dat", "o12345h0495n00002.dat", "o12340a0000s00003.dat",
          "n1234k0000m00004.dat", "n12345v0600n00005.dat",
          // the directory pattern takes these, the decoder must not
          "o1234h0570n0001.dat", "n01234h0570n00007.dat", "o1234H0570N00008.DAT"})
        ASSERT_TRUE(QFile(dir.filePath(name)).open(QIODevice::WriteOnly)) << name;
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("o1234h0570n00010.dat")));

    const std::pair<NoteFilter, const char *> cases[] = {
        // shown before put away, then day order: "o12345..." sorts before "o1234h..." as text
        {{}, "n1234k0000m00004.dat n12345v0600n00005.dat o1234h0570n00001.dat "
             "o12340a0000s00003.dat o12345h0495n00002.dat"},
        // day 1234 must not pick up days 12340 and 12345, which share its digits
        {{NoteState::PutAway, 1234}, "o1234h0570n00001.dat"},
        {{std::nullopt, 1234}, "n1234k0000m00004.dat o1234h0570n00001.dat"},
    };
    for (const auto &[filter, expected] : cases) {
        QStringList names;
        for (const ListedNote &listed : listNotes(dir.path(), filter))
            names << listed.fileName;
        EXPECT_EQ(names.join(u' ').toStdString(), expected);
    }
    EXPECT_TRUE(listNotes(dir.filePath("absent")).empty());
}

TEST(ExpandRecurrence, StepsFromTheEnteredMonthWrapsAndCutsDaysToTheMonth)
{
    const QStringList common = {"31/01", "28/02", "31/03", "30/04", "31/05", "30/06",
                                "31/07", "31/08", "30/09", "31/10", "30/11", "31/12"};
    const QStringList leap = QStringList(common).replaceInStrings("28/02", "29/02");
    // date, occurrences a year, year, dates
    const QList<std::tuple<QString, QString, int, QStringList>> cases = {
        {"31/01", "12", 2028, leap},
        {"31/01", "12", 2100, common},
        // (cut to the 28th in a common year: the golden recurrence files)
        {"30/08", "02", 2096, {"30/08", "29/02"}},
    };
    for (const auto &[date, perYear, year, expected] : cases)
        EXPECT_EQ(datesOf(expandRecurrence({date, perYear, "07", "Affitto"}, year)), expected)
            << date.toStdString() << " in " << year;
}

TEST(ParseRecurrences, StopsAtTheFirstDateWithoutANonZeroNumber)
{
    const QByteArray a = "\"05/03\",\"01\",\"07\",\"Anna\"\r\n";
    const QByteArray b = "\"99999999999999999999/11\",\"04\",\"00\",\"Bollo\"\r\n";
    const QList<std::pair<QByteArray, QStringList>> cases = {
        {a + "\r\n" + b, {"05/03", "99999999999999999999/11"}},
        {a + "\"\",\"01\",\"00\",\"x\"\r\n" + b, {"05/03"}},
        {a + "\"x5/03\",\"01\",\"00\",\"x\"\r\n" + b, {"05/03"}},
        {"\"00/03\",\"01\",\"00\",\"x\"\r\n" + a, {}},
    };
    for (const auto &[bytes, expected] : cases)
        EXPECT_EQ(datesOf(parseRecurrences(bytes)), expected) << bytes.toStdString();
}

TEST(RecurrenceFiles, NoneEmptiesBoth)
{
    const QTemporaryDir dir;
    const QString entered = dir.filePath(kEnteredRecurrencesFile.toString());
    const QString expanded = dir.filePath(kExpandedRecurrencesFile.toString());
    ASSERT_TRUE(writeRecurrenceFiles(dir.path(), {{"05/03", "01", "10", "Nonno"}}, 2099));
    ASSERT_TRUE(writeRecurrenceFiles(dir.path(), {}, 2099));
    EXPECT_EQ(readWholeFile(entered) + readWholeFile(expanded), QByteArray());
}
