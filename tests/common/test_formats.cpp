// The texts the files are made of: records, characters, dates and times, note names.
#include "common/cp1252.h"
#include "common/datetexts.h"
#include "common/daynumber.h"
#include "common/notename.h"
#include "common/records.h"

#include <QTime>

#include <string>
#include <tuple>
#include <utility>

#include <gtest/gtest.h>

namespace promemo {
namespace {

TEST(RecordReader, ReadsQuotedAndUnquotedFieldsTwoARecord)
{
    const QList<std::pair<QByteArray, QList<QStringList>>> cases = {
        // Commas and CR LF inside quotes stay in the field.
        {"\"x,\r\ny\",\"z\"\r\n\"c\",\"d\"\r\n", {{"x,\r\ny", "z"}, {"c", "d"}}},
        // Bare LF and bare CR end records; blank lines are passed over.
        {"\r\n\"a\"\n\r\n  \r\n\"b\"\r\"c\"\r\n\r\n", {{"a", ""}, {"b", ""}, {"c", ""}}},
        // Blanks around fields are trimmed.
        {"  abc  ,\t\"q\" \r\n d e \r\n", {{"abc", "q"}, {"d e", ""}}},
        // Fields beyond the second are passed over, quoted line ends and all.
        {"\"b\",\"c\",\"x,\r\n\"\r\n\"d\"", {{"b", "c"}, {"d", ""}}},
        // A field that lost its closing quote ends with its line, whether the file ends or the
        // next record's quote follows; bytes after a closing quote are dropped.
        {"\"a\",\"bc\r\nde", {{"a", "bc"}, {"de", ""}}},
        {"\"x\",\"y\r\n\"a\",\"b\"\r\n\"c\",\"d\"\r\n", {{"x", "y"}, {"a", "b"}, {"c", "d"}}},
        {"\"a\"xx,\"b\"yy\r\n", {{"a", "b"}}},
        {"\"a\",", {{"a", ""}}},
        {"\r\n\r\n", {}},
    };
    for (const auto &[bytes, expected] : cases) {
        RecordReader reader(bytes);
        QList<QStringList> records;
        while (auto record = reader.readRecord(2))
            records.append(*record);
        EXPECT_EQ(records, expected) << bytes.toStdString();
    }
}

// What the files hold is what a box shows once typed: one '?' for each character outside
// Windows-1252, composed forms where they exist, and its own text unchanged.
TEST(Cp1252, StorableTextIsWhatTheFileGivesBack)
{
    const std::pair<QString, QString> cases[] = {
        {u"Caffè “sì” € 50 – ok"_qs, u"Caffè “sì” € 50 – ok"_qs},
        {u"Gita 😀!"_qs, u"Gita ?!"_qs},
        {u"Ζεύς"_qs, u"????"_qs},
        {u"Perche\u0301 Zoe\u0308"_qs, u"Perché Zoë"_qs},
        {u"\u0301"_qs, u"?"_qs},
    };
    for (const auto &[typed, stored] : cases) {
        EXPECT_EQ(cp1252::storable(typed), stored) << typed.toStdString();
        EXPECT_EQ(cp1252::decode(cp1252::encode(typed)), cp1252::storable(typed)) << typed.toStdString();
    }
}

TEST(DayNumber, CountsDaysBothWaysAcrossLeapDaysCenturiesAndTheFifthDigit)
{
    const std::pair<QDate, int> cases[] = {
        {QDate(1999, 12, 31), -1},    {QDate(2000, 2, 29), 59},     {QDate(2000, 3, 1), 60},
        {QDate(2026, 12, 5), 9835},   {QDate(2027, 5, 18), 9999},   {QDate(2027, 5, 19), 10000},
        // 2100 is not a leap year, 2400 is
        {QDate(2100, 3, 1), 36584},   {QDate(2400, 2, 29), 146156}, {QDate(2400, 3, 1), 146157},
    };
    for (const auto &[date, day] : cases) {
        EXPECT_EQ(dayNumber(date), day) << date.toString(Qt::ISODate).toStdString();
        EXPECT_EQ(dateOfDayNumber(day), date) << day;
    }
}

TEST(DateTexts, WritesFixedFormsAndParsesThemAndNothingElse)
{
    const QDateTime changed(QDate(2031, 7, 9), QTime(8, 5, 59));
    // 00.00 means no alert and is never written
    EXPECT_EQ(std::tuple(changedText(changed), timeText(changed.time()), alertText(570), alertText(noAlert)),
              std::tuple(u"09/07/2031 08.05"_qs, u"08.05"_qs, u"09.30"_qs, QString()));
    EXPECT_EQ(std::tuple(parseDateText(u"29/02/2400"), parseAlertText(u"23.59"), parseAlertText(u"00.00"),
                         parseAlertText(u"")),
              std::tuple(QDate(2400, 2, 29), 1439, noAlert, noAlert));
    for (const char16_t *text : {u"5/12/2026", u"05-12-2026", u"00/12/2026", u"05/13/2026",
                                 u"29/02/2100", u"05/12/+026", u"٠٥/12/2026"})
        EXPECT_FALSE(parseDateText(text)) << QString::fromUtf16(text).toStdString();
    for (const char16_t *text : {u"9.30", u"09:30", u"24.00", u"09.60", u"-1.30"})
        EXPECT_FALSE(parseTimeText(text)) << QString::fromUtf16(text).toStdString();
}

TEST(NoteName, BuildsAndDecodesFourAndFiveDigitDaysAndEveryColourLetter)
{
    using enum NoteState;
    using enum NoteColour;
    using enum NoteSize;
    const std::tuple<const char *, NoteName, NoteColour, NoteSize> cases[] = {
        {"n9835a0570n78244.dat", {Shown, 9835, 'a', 570, 'n', 78244}, Cyan, Normal},
        {"o9999v0000s00000.dat", {PutAway, 9999, 'v', 0, 's', 0}, Green, Normal},
        {"o10000h1439m86399.dat", {PutAway, 10000, 'h', 1439, 'm', 86399}, Yellow, Normal},
        {"n10000b0001n00007.dat", {Shown, 10000, 'b', 1, 'n', 7}, Cyan, Medium},
        {"n146156d0495s04000.dat", {Shown, 146156, 'd', 495, 's', 4000}, Green, Medium},
        // days before 27 September 2002 have fewer digits
        {"o0k0000n00000.dat", {PutAway, 0, 'k', 0, 'n', 0}, Yellow, Medium},
    };
    for (const auto &[text, name, colour, size] : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(encodeNoteName(name), QString::fromLatin1(text));
        EXPECT_EQ(colourLetter(colour, size), name.colourLetter);
        const NoteName decoded = decodeNoteName(QString::fromLatin1(text)).value_or(NoteName{});
        EXPECT_TRUE(decoded == name);
        EXPECT_EQ(std::pair(decoded.colour(), decoded.noteSize()), std::pair(colour, size));
    }
    // Stamps drop the milliseconds; sizes go by the boundaries 11 and 13 points.
    const std::string letters{sizeLetter(10), sizeLetter(11), sizeLetter(13), sizeLetter(14)};
    EXPECT_EQ(std::tuple(stampOf(QTime(21, 44, 4, 999)), letters, pointsOfSizeLetter(u'?')),
              std::tuple(78244, std::string("snnm"), 12));
    EXPECT_EQ(withState(u"n10000k0000m00001.dat", PutAway), u"o10000k0000m00001.dat");
    // Each build reads the other build's letters, and unknown backgrounds, as yellow.
    EXPECT_EQ(std::pair(colourOfLetter(u'b', Normal), colourOfLetter(u'a', Medium)), std::pair(Yellow, Yellow));
}

TEST(NoteName, RefusesMalformedNamesAndPathTricks)
{
    for (const char16_t *name :
         {u"", u"n9835h0570n78244.dat ", u"N9835h0570n78244.dat", u"n09835h0570n78244.dat",
          u"n-835h0570n78244.dat", u"n٩835h0570n78244.dat", u"n12345678h0570n78244.dat",
          u"n9835x0570n78244.dat", u"n9835h057an78244.dat", u"n9835h1440n78244.dat",
          u"n9835h0570x78244.dat", u"n9835h0570n86400.dat", u"n9835h0570n7824.dat",
          u"../n9835h0570n78244.dat", u"n/../9835h0570n78244.dat",
          u"n9835h0570n78244.dаt" /* Cyrillic a */})
        EXPECT_FALSE(decodeNoteName(name)) << QString::fromUtf16(name).toStdString();
    EXPECT_FALSE(decodeNoteName(QStringView(u"n9835h0570n78244.dat\0", 21)));
    EXPECT_FALSE(withState(u"../n9835h0570n78244.dat", NoteState::PutAway));
    for (const NoteName &bad : {NoteName{.day = -1}, NoteName{.colourLetter = 'x'},
                                NoteName{.alertMinutes = 1440}, NoteName{.sizeLetter = 'N'},
                                NoteName{.stamp = 86400}})
        EXPECT_FALSE(encodeNoteName(bad));
}

} // namespace
} // namespace promemo
