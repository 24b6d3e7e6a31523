#include "launcher/core/recurrenceentry.h"

#include <gtest/gtest.h>

using namespace promemo;

namespace {

// The five boxes of the form, "day|month|occurrences|alert|text".
RecurrenceForm boxes(const char *texts)
{
    const QStringList f = QString::fromUtf8(texts).split(u'|');
    return {f[0], f[1], f[2], f[3], f[4]};
}

TEST(RecurrenceEntry, ChecksRunInOrderAndPadAsFarAsTheyGot)
{
    // typed, the boxes after the checks, the refusal (empty: accepted), the focus
    const struct { const char *typed, *padded, *message; EditorField focus = EditorField::Day; } cases[] = {
        // Nothing entered, whatever the text says.
        {"00|00|01|07|Rata", "00|00|01|07|Rata", "   Non hai inserito alcun dato     "},
        {"0|3|01|07|Rata", "00|03|01|07|Rata", "   Non hai inserito il giorno     "},
        {"31|04|01|07|Rata", "31|04|01|07|Rata", "    Il mese ha 30 giorni      "},
        {"29|2|01|07|Rata", "29|02|01|07|Rata", "    Per la ricorrenza inserire al massimo 28       "},
        // The day is checked before the missing month.
        {"35|00|01|07|Rata", "35|00|01|07|Rata", " Hai inserito un mese di 35 giorni   "},
        {"5||1|07|Rata", "05||1|07|Rata", "   Non hai inserito il mese    ", EditorField::Month},
        {"12|13|01|07|Rata", "12|13|01|07|Rata", "  Hai inserito un valore maggiore di 12    ", EditorField::Month},
        {"12|05|5|7|Rata", "12|05|5|7|Rata", "Valori accettati: 1, 2, 3, 4, 6, 12   ", EditorField::PerYear},
        {"12|05|4|41|Rata", "12|05|04|41|Rata", "  Massimo anticipo: 40 giorni    ", EditorField::Advance},
        {"12|05|01|07|àè -,?", "12|05|01|07|àè -,?", "   Non hai inserito il testo della ricorrenza     ", EditorField::Text},
        // Accepted: boxes padded, the text as typed; an emptied alert box means no days ahead.
        {"5|3|6|9| è 1 ", "05|03|06|09| è 1 ", ""},
        {"28|02|12||Rata", "28|02|12|00|Rata", ""},
        {"31|12|01|40|Rata", "31|12|01|40|Rata", ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.typed);
        const InsertionCheck check = checkInsertion(boxes(c.typed));
        EXPECT_EQ(check.form, boxes(c.padded));
        EXPECT_EQ(check.refusal ? std::pair(check.refusal->message, check.refusal->focus) : std::pair(QString(), c.focus),
                  std::pair(QString::fromUtf8(c.message), c.focus));
    }
}

TEST(RecurrenceEntry, EntryColumnsKeepTheirPlace)
{
    // Picking, re-inserting and writing go through the editor's test. Typed blanks are stripped
    // when an entry is picked.
    EXPECT_EQ(formOfEntry(entryOfForm(boxes("30|08|02|00|  Bollo auto "), 2032)).text, u"Bollo auto"_qs);

    // A damaged record keeps every field in its column, and a line break does not split the entry.
    const QString damaged = recurrenceEntry({u"5/3"_qs, u"1"_qs, u"7"_qs, u"a\r\nb"_qs}, 2031);
    EXPECT_EQ(damaged.size(), 26);
    EXPECT_EQ(recurrenceOfEntry(damaged), (Recurrence{u"5/3"_qs, u"1"_qs, u"7"_qs, u"a  b"_qs}));
}

TEST(RecurrenceEntry, SortKeyIsTheDayOfTheYearAndNeverFails)
{
    // day, month, year, key; 2100 is not a leap year. Dates no check lets in, from a hand-edited
    // file, still give three digits.
    const std::tuple<int, int, int, const char *> cases[] = {
        {1, 1, 2031, "001"}, {31, 12, 2031, "365"}, {31, 12, 2032, "366"}, {1, 3, 2100, "060"},
        {29, 2, 2031, "060"}, {29, 2, 2032, "060"}, {1, 3, 2032, "061"}, {31, 4, 2031, "121"},
        {99, 13, 2031, "365"}, {0, 0, 2031, "001"}};
    for (const auto &[day, month, year, key] : cases)
        EXPECT_EQ(recurrenceSortKey(day, month, year), QLatin1String(key)) << day << "/" << month << "/" << year;
    // 29 February of a common year takes the place of 1 March, and sorts after it.
    EXPECT_LT(recurrenceEntry({u"01/03"_qs, u"01"_qs, u"07"_qs, u"x"_qs}, 2031),
              recurrenceEntry({u"29/02"_qs, u"01"_qs, u"07"_qs, u"x"_qs}, 2031));
}

} // namespace
