#include "launcher/core/notelist.h"

#include <gtest/gtest.h>

using namespace promemo;

namespace {

NoteListEntry entry(int day, const QString &text, const QString &time)
{
    const NoteName name{NoteState::PutAway, day, 'h', 0, 'n', 78244};
    return {*encodeNoteName(name), name, {text, u"07/12/2026"_qs, time, {}}};
}

// The untimed line, the sort across five digits and the break at the 55th character go through
// the note list window's test.
TEST(NoteList, LinesRecurrenceLinesAndPrintedLines)
{
    const NoteListEntry timed = entry(9836, u"Dentista\r\nalle 9"_qs, u"09.30"_qs);
    EXPECT_EQ(noteListLine(timed), u"09836 07/12/2026 -09.30   \tDentista  alle 9"_qs + QString(110, u' ')
                                       + timed.fileName);
    // Days count from this year's first of January.
    const Recurrence r{u"10/01"_qs, u"01"_qs, u"40"_qs, u"Bollo auto"_qs};
    EXPECT_EQ(recurrenceListLine(r, QDate(2027, 1, 10), QDate(2026, 12, 20)),
              u"375  10/01/2027        Bollo auto"_qs);

    EXPECT_EQ(printedNoteLines(entry(9836, u" Spesa\r\nlatte "_qs, {})),
              QStringList({u"Data: 07/12/2026    Ora: nd "_qs, u"Spesa  latte"_qs, QString()}));
    EXPECT_EQ(printedNoteLines(timed)[0], u"Data: 07/12/2026    Ora: 09.30 "_qs);
    // No blank from the 55th character on: pieces of at most 65.
    EXPECT_EQ(breakPrintedText(QString(150, u'x')), QStringList({QString(65, u'x'), QString(65, u'x'), QString(20, u'x')}));
    EXPECT_EQ(breakPrintedText(QString(65, u'y')), QStringList{QString(65, u'y')});
}

} // namespace
