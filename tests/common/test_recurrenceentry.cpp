#include "common/recurrenceentry.h"

#include <gtest/gtest.h>

using namespace promemo;

namespace {

struct CheckCase
{
    RecurrenceForm typed;
    // The boxes after the checks, padded as far as they got.
    RecurrenceForm padded;
    QString message; // empty: accepted
    FormField focus = FormField::Day;
};

TEST(RecurrenceEntry, ChecksRunInOrderAndPadAsFarAsTheyGot)
{
    const QString text = u"Rata"_qs;
    const CheckCase cases[] = {
        // Nothing entered, whatever the text says.
        {{u"00"_qs, u"00"_qs, u"01"_qs, u"07"_qs, text}, {u"00"_qs, u"00"_qs, u"01"_qs, u"07"_qs, text},
         u"   Non hai inserito alcun dato     "_qs},
        {{u"0"_qs, u"3"_qs, u"01"_qs, u"07"_qs, text}, {u"00"_qs, u"03"_qs, u"01"_qs, u"07"_qs, text},
         u"   Non hai inserito il giorno     "_qs},
        {{u"31"_qs, u"04"_qs, u"01"_qs, u"07"_qs, text}, {u"31"_qs, u"04"_qs, u"01"_qs, u"07"_qs, text},
         u"    Il mese ha 30 giorni      "_qs},
        {{u"29"_qs, u"2"_qs, u"01"_qs, u"07"_qs, text}, {u"29"_qs, u"02"_qs, u"01"_qs, u"07"_qs, text},
         u"    Per la ricorrenza inserire al massimo 28       "_qs},
        // The day is checked before the missing month.
        {{u"35"_qs, u"00"_qs, u"01"_qs, u"07"_qs, text}, {u"35"_qs, u"00"_qs, u"01"_qs, u"07"_qs, text},
         u" Hai inserito un mese di 35 giorni   "_qs},
        {{u"5"_qs, u""_qs, u"1"_qs, u"07"_qs, text}, {u"05"_qs, u""_qs, u"1"_qs, u"07"_qs, text},
         u"   Non hai inserito il mese    "_qs, FormField::Month},
        {{u"12"_qs, u"13"_qs, u"01"_qs, u"07"_qs, text}, {u"12"_qs, u"13"_qs, u"01"_qs, u"07"_qs, text},
         u"  Hai inserito un valore maggiore di 12    "_qs, FormField::Month},
        {{u"12"_qs, u"05"_qs, u"5"_qs, u"7"_qs, text}, {u"12"_qs, u"05"_qs, u"5"_qs, u"7"_qs, text},
         u"Valori accettati: 1, 2, 3, 4, 6, 12   "_qs, FormField::PerYear},
        {{u"12"_qs, u"05"_qs, u"4"_qs, u"41"_qs, text}, {u"12"_qs, u"05"_qs, u"04"_qs, u"41"_qs, text},
         u"  Massimo anticipo: 40 giorni    "_qs, FormField::Advance},
        {{u"12"_qs, u"05"_qs, u"01"_qs, u"7"_qs, u"   "_qs}, {u"12"_qs, u"05"_qs, u"01"_qs, u"07"_qs, u"   "_qs},
         u"   Non hai inserito il testo della ricorrenza     "_qs, FormField::Text},
        {{u"12"_qs, u"05"_qs, u"01"_qs, u"07"_qs, u"àè -,?"_qs}, {u"12"_qs, u"05"_qs, u"01"_qs, u"07"_qs, u"àè -,?"_qs},
         u"   Non hai inserito il testo della ricorrenza     "_qs, FormField::Text},
        // Accepted: boxes padded, the text as typed; an emptied alert box means no days ahead.
        {{u"5"_qs, u"3"_qs, u"6"_qs, u"9"_qs, u" è 1 "_qs}, {u"05"_qs, u"03"_qs, u"06"_qs, u"09"_qs, u" è 1 "_qs}, {}},
        {{u"28"_qs, u"02"_qs, u"12"_qs, u""_qs, text}, {u"28"_qs, u"02"_qs, u"12"_qs, u"00"_qs, text}, {}},
        {{u"31"_qs, u"12"_qs, u"01"_qs, u"40"_qs, text}, {u"31"_qs, u"12"_qs, u"01"_qs, u"40"_qs, text}, {}},
    };
    for (const CheckCase &c : cases) {
        SCOPED_TRACE((c.typed.day + u'|' + c.typed.month + u'|' + c.typed.perYear + u'|'
                      + c.typed.advance + u'|' + c.typed.text).toStdString());
        const InsertionCheck check = checkInsertion(c.typed);
        EXPECT_EQ(check.form, c.padded);
        if (c.message.isEmpty()) {
            EXPECT_FALSE(check.refusal);
            continue;
        }
        ASSERT_TRUE(check.refusal);
        EXPECT_EQ(check.refusal->message, c.message);
        EXPECT_EQ(check.refusal->focus, c.focus);
    }
}

TEST(RecurrenceEntry, EntryColumnsRoundTripThroughTheFormAndTheFiles)
{
    const Recurrence stored{u"05/03"_qs, u"01"_qs, u"07"_qs, u"Compleanno di Anna"_qs};
    const QString entry = recurrenceEntry(stored, 2031);
    EXPECT_EQ(entry, u"064   05/03  01  07   Compleanno di Anna"_qs);
    EXPECT_EQ(recurrenceOfEntry(entry), stored);
    const RecurrenceForm picked = formOfEntry(entry);
    EXPECT_EQ(picked, (RecurrenceForm{u"05"_qs, u"03"_qs, u"01"_qs, u"07"_qs, u"Compleanno di Anna"_qs}));
    EXPECT_EQ(entryOfForm(picked, 2031), entry);

    // Typed blanks stay in the entry and are stripped when written.
    const QString typed = entryOfForm({u"30"_qs, u"08"_qs, u"02"_qs, u"00"_qs, u"  Bollo auto "_qs}, 2032);
    EXPECT_EQ(typed, u"243   30/08  02  00     Bollo auto "_qs);
    EXPECT_EQ(recurrenceOfEntry(typed), (Recurrence{u"30/08"_qs, u"02"_qs, u"00"_qs, u"Bollo auto"_qs}));
    EXPECT_EQ(formOfEntry(typed).text, u"Bollo auto"_qs);

    // A damaged record keeps every field in its column, and a line break does not split the entry.
    const QString damaged = recurrenceEntry({u"5/3"_qs, u"1"_qs, u"7"_qs, u"a\r\nb"_qs}, 2031);
    EXPECT_EQ(damaged.size(), 26);
    EXPECT_EQ(recurrenceOfEntry(damaged), (Recurrence{u"5/3"_qs, u"1"_qs, u"7"_qs, u"a  b"_qs}));
}

TEST(RecurrenceEntry, SortKeyIsTheDayOfTheYearAndNeverFails)
{
    EXPECT_EQ(recurrenceSortKey(1, 1, 2031), u"001"_qs);
    EXPECT_EQ(recurrenceSortKey(31, 12, 2031), u"365"_qs);
    EXPECT_EQ(recurrenceSortKey(31, 12, 2032), u"366"_qs);
    EXPECT_EQ(recurrenceSortKey(1, 3, 2100), u"060"_qs); // 2100 is not a leap year
    // 29 February of a common year takes the place of 1 March, and sorts after it.
    EXPECT_EQ(recurrenceSortKey(29, 2, 2031), u"060"_qs);
    EXPECT_LT(recurrenceEntry({u"01/03"_qs, u"01"_qs, u"07"_qs, u"x"_qs}, 2031),
              recurrenceEntry({u"29/02"_qs, u"01"_qs, u"07"_qs, u"x"_qs}, 2031));
    EXPECT_EQ(recurrenceSortKey(29, 2, 2032), u"060"_qs);
    EXPECT_EQ(recurrenceSortKey(1, 3, 2032), u"061"_qs);
    // Dates no check lets in, from a hand-edited file, still give three digits.
    EXPECT_EQ(recurrenceSortKey(31, 4, 2031), u"121"_qs);
    EXPECT_EQ(recurrenceSortKey(99, 13, 2031), u"365"_qs);
    EXPECT_EQ(recurrenceSortKey(0, 0, 2031), u"001"_qs);
}

TEST(RecurrenceEntry, PlaceholderIsKnownByItsStrippedStart)
{
    EXPECT_EQ(kNoRecurrencesEntry, u"             Nessuna ricorrenza inserita");
    EXPECT_TRUE(isPlaceholderEntry(kNoRecurrencesEntry.toString()));
    EXPECT_FALSE(isPlaceholderEntry(recurrenceEntry({u"01/01"_qs, u"01"_qs, u"07"_qs, u"Nessuno"_qs}, 2031)));
    // Only the day, the month and the text count as data the user would lose.
    RecurrenceForm form = RecurrenceForm::empty();
    form.perYear = u"12"_qs;
    form.advance = u"00"_qs;
    EXPECT_FALSE(form.holdsData());
    form.text = u" "_qs;
    EXPECT_TRUE(form.holdsData());
}

} // namespace
