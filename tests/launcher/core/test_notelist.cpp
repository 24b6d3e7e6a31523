#include "launcher/core/notelist.h"

#include <algorithm>

#include <gtest/gtest.h>

using namespace promemo;

namespace {

NoteListEntry entry(int day, const QString &text, const QString &time)
{
    const NoteName name{NoteState::PutAway, day, 'h', 0, 'n', 78244};
    return {*encodeNoteName(name), name, {text, QStringLiteral("07/12/2026"), time, {}}};
}

} // namespace

TEST(NoteList, LinesKeepTheFileNameOutOfViewAndSortByDayAndTime)
{
    const NoteListEntry timed = entry(9836, QStringLiteral("Dentista\r\nalle 9"), QStringLiteral("09.30"));
    EXPECT_EQ(noteListLine(timed), QStringLiteral("09836 07/12/2026 -09.30   \tDentista  alle 9")
                                       + QString(110, u' ') + timed.fileName);
    const NoteListEntry untimed = entry(9836, QStringLiteral("Spesa"), {});
    EXPECT_EQ(noteListLine(untimed),
              QStringLiteral("09836 07/12/2026 -     nd \tSpesa") + QString(110, u' ') + untimed.fileName);

    // Whole lines sort by day across the change to five digits, then a note without time first.
    QStringList lines{noteListLine(entry(10000, QStringLiteral("b"), QStringLiteral("08.00"))),
                      noteListLine(timed), noteListLine(untimed)};
    std::sort(lines.begin(), lines.end());
    EXPECT_TRUE(lines[0].contains(u"Spesa"));
    EXPECT_TRUE(lines[1].contains(u"Dentista"));
    EXPECT_TRUE(lines[2].startsWith(u"10000 "));
}

TEST(NoteList, RecurrenceLineCountsDaysFromThisYearsFirstOfJanuary)
{
    const Recurrence r{QStringLiteral("10/01"), QStringLiteral("01"), QStringLiteral("40"),
                       QStringLiteral("Bollo auto")};
    EXPECT_EQ(recurrenceListLine(r, QDate(2027, 1, 10), QDate(2026, 12, 20)),
              QStringLiteral("375  10/01/2027        Bollo auto"));
    EXPECT_EQ(recurrenceListLine(r, QDate(2026, 1, 10), QDate(2026, 1, 2)),
              QStringLiteral("010  10/01/2026        Bollo auto"));
}

TEST(NoteList, PrintedLinesBreakLongTextsAndAlwaysEnd)
{
    EXPECT_EQ(printedNoteLines(entry(9836, QStringLiteral(" Spesa\r\nlatte "), {})),
              QStringList({QStringLiteral("Data: 07/12/2026    Ora: nd "), QStringLiteral("Spesa  latte"),
                           QString()}));
    EXPECT_EQ(printedNoteLines(entry(9836, QStringLiteral("x"), QStringLiteral("09.30")))[0],
              QStringLiteral("Data: 07/12/2026    Ora: 09.30 "));

    // 120 characters: words of 9 letters and a blank; breaks at the first blank from the 55th.
    QString text;
    for (int i = 0; i < 12; ++i)
        text += QStringLiteral("abcdefghi ");
    const QStringList broken = breakPrintedText(text.trimmed());
    ASSERT_EQ(broken.size(), 2);
    EXPECT_EQ(broken[0].size(), 60);
    EXPECT_TRUE(broken[0].endsWith(u' '));
    EXPECT_EQ(broken[1].size(), 59);

    // No blank from the 55th character on: pieces of at most 65.
    const QStringList pieces = breakPrintedText(QString(150, u'x'));
    EXPECT_EQ(pieces, QStringList({QString(65, u'x'), QString(65, u'x'), QString(20, u'x')}));
    EXPECT_EQ(breakPrintedText(QString(65, u'y')), QStringList{QString(65, u'y')});
}
