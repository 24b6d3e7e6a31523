#include "common/notename.h"

#include <QTime>

#include <gtest/gtest.h>

#include <ostream>

inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace promemo {
namespace {

struct NameCase
{
    const char *text;
    NoteName name;
};

class NoteNameRoundTrip : public ::testing::TestWithParam<NameCase>
{
};

TEST_P(NoteNameRoundTrip, DecodesAndEncodesTheSameBytes)
{
    const NameCase &c = GetParam();
    const QString text = QString::fromLatin1(c.text);
    const auto decoded = decodeNoteName(text);
    ASSERT_TRUE(decoded) << c.text;
    EXPECT_EQ(*decoded, c.name);
    EXPECT_EQ(encodeNoteName(c.name), text);
}

INSTANTIATE_TEST_SUITE_P(
    Names, NoteNameRoundTrip,
    ::testing::Values(
        NameCase{"n9835h0570n78244.dat", {NoteState::Shown, 9835, 'h', 570, 'n', 78244}},
        NameCase{"o9835k0570n78244.dat", {NoteState::PutAway, 9835, 'k', 570, 'n', 78244}},
        NameCase{"o9999a0000s00000.dat", {NoteState::PutAway, 9999, 'a', 0, 's', 0}},
        // five-digit days (from 19 May 2027) and longer ones
        NameCase{"o10000v1439m86399.dat", {NoteState::PutAway, 10000, 'v', 1439, 'm', 86399}},
        NameCase{"n36584b0001n00007.dat", {NoteState::Shown, 36584, 'b', 1, 'n', 7}},
        NameCase{"n146156d0720s12345.dat", {NoteState::Shown, 146156, 'd', 720, 's', 12345}},
        // days before 27 September 2002 have fewer digits
        NameCase{"o0h0000n00000.dat", {NoteState::PutAway, 0, 'h', 0, 'n', 0}},
        NameCase{"o999h0495n04000.dat", {NoteState::PutAway, 999, 'h', 495, 'n', 4000}}));

TEST(NoteName, RefusesNamesNotOfTheSuitesForm)
{
    for (const char *text : {
             "",
             "n9835h0570n78244",          // no extension
             "n9835h0570n78244.DAT",      // other case
             "n9835h0570n78244.dat ",     // trailing blank
             " n9835h0570n78244.dat",     // leading blank
             "N9835h0570n78244.dat",      // state letters are lower case
             "x9835h0570n78244.dat",      // unknown state
             "nh0570n78244.dat",          // no day
             "n09835h0570n78244.dat",     // leading zero in the day
             "n98a5h0570n78244.dat",      // non-digit in the day
             "n-835h0570n78244.dat",      // sign in the day
             "n12345678h0570n78244.dat",  // day beyond any date worth writing
             "n9835x0570n78244.dat",      // unknown colour letter
             "n9835H0570n78244.dat",      // upper-case colour letter
             "n9835h057an78244.dat",      // non-digit in the alert
             "n9835h1440n78244.dat",      // alert past the day's last minute
             "n9835h9999n78244.dat",
             "n9835h0570x78244.dat",      // unknown size letter
             "n9835h0570n7824.dat",       // short stamp
             "n9835h0570n86400.dat",      // stamp past the day's last second
             "n9835h0570n7824x.dat",
             "n9835h0570n78244.txt",
             "n9835h0570n78244xdat",
             "../n9835h0570n78244.dat",   // folders around the name
             "n/../9835h0570n78244.dat",
             "n..9835h0570n78244.dat",
             "x/n9835h0570n78244.dat",
             "n9835\\h0570n78244.dat",
             "/tmp/n9835h0570n78244.dat",
             "h0570n78244.dat",           // too short for even a one-digit day
         })
        EXPECT_FALSE(decodeNoteName(QString::fromLatin1(text))) << text;
    // Digits outside ASCII and other characters that only look like the form.
    EXPECT_FALSE(decodeNoteName(u"n٩835h0570n78244.dat"));
    EXPECT_FALSE(decodeNoteName(u"n9835h0570n78244.dаt"));   // Cyrillic "а"
    EXPECT_FALSE(decodeNoteName(QStringView(u"n9835h0570n78244.dat\0", 21)));
}

TEST(NoteName, EncodingRefusesOutOfRangeFields)
{
    const NoteName good{NoteState::Shown, 9835, 'h', 570, 'n', 78244};
    ASSERT_TRUE(encodeNoteName(good));
    auto with = [&](auto change) {
        NoteName name = good;
        change(name);
        return encodeNoteName(name);
    };
    EXPECT_FALSE(with([](NoteName &n) { n.day = -1; }));   // before 2000
    EXPECT_FALSE(with([](NoteName &n) { n.colourLetter = 'x'; }));
    EXPECT_FALSE(with([](NoteName &n) { n.sizeLetter = 'N'; }));
    EXPECT_FALSE(with([](NoteName &n) { n.alertMinutes = 1440; }));
    EXPECT_FALSE(with([](NoteName &n) { n.alertMinutes = -1; }));
    EXPECT_FALSE(with([](NoteName &n) { n.stamp = 86400; }));
    EXPECT_FALSE(with([](NoteName &n) { n.stamp = -1; }));
}

TEST(NoteName, FieldsPaddedAndCutFromTheRight)
{
    EXPECT_EQ(alertField(0), u"0000");
    EXPECT_EQ(alertField(570), u"0570");
    EXPECT_EQ(alertField(1439), u"1439");
    EXPECT_EQ(stampField(7), u"00007");
    EXPECT_EQ(stampField(86399), u"86399");
    EXPECT_EQ(stampField(123456), u"23456");
    EXPECT_EQ(stampOf(QTime(21, 44, 4, 999)), 78244);
    EXPECT_EQ(stampOf(QTime(0, 0)), 0);
}

TEST(NoteName, ColourLettersOfBothSizes)
{
    struct Case
    {
        NoteColour colour;
        NoteSize size;
        char letter;
        Rgb rgb;
    };
    for (const Case &c : {Case{NoteColour::Cyan, NoteSize::Normal, 'a', {221, 255, 255}},
                          Case{NoteColour::Green, NoteSize::Normal, 'v', {221, 255, 221}},
                          Case{NoteColour::Yellow, NoteSize::Normal, 'h', {255, 255, 213}},
                          Case{NoteColour::Cyan, NoteSize::Medium, 'b', {221, 255, 255}},
                          Case{NoteColour::Green, NoteSize::Medium, 'd', {221, 255, 221}},
                          Case{NoteColour::Yellow, NoteSize::Medium, 'k', {255, 255, 213}}}) {
        SCOPED_TRACE(c.letter);
        EXPECT_EQ(colourLetter(c.colour, c.size), c.letter);
        EXPECT_EQ(colourOfLetter(QLatin1Char(c.letter), c.size), c.colour);
        EXPECT_EQ(sizeOfColourLetter(QLatin1Char(c.letter)), c.size);
        EXPECT_EQ(rgbOf(c.colour), c.rgb);
        EXPECT_EQ(colourLetter(colourOfRgb(c.rgb), c.size), c.letter);

        const NoteName name{NoteState::PutAway, 10000, c.letter, 0, 'n', 0};
        EXPECT_EQ(name.colour(), c.colour);
        EXPECT_EQ(name.noteSize(), c.size);
        const auto decoded = decodeNoteName(*encodeNoteName(name));
        ASSERT_TRUE(decoded);
        EXPECT_EQ(decoded->colourLetter, c.letter);
    }
    // A program reads the other size's letters, and any stranger one, as yellow.
    EXPECT_EQ(colourOfLetter(u'b', NoteSize::Normal), NoteColour::Yellow);
    EXPECT_EQ(colourOfLetter(u'a', NoteSize::Medium), NoteColour::Yellow);
    EXPECT_EQ(colourOfLetter(u'z', NoteSize::Normal), NoteColour::Yellow);
    EXPECT_EQ(sizeOfColourLetter(u'z'), NoteSize::Normal);
    // Only the two exact pastel tones count; anything else is written yellow.
    EXPECT_EQ(colourOfRgb({221, 255, 254}), NoteColour::Yellow);
    EXPECT_EQ(colourOfRgb({0, 0, 0}), NoteColour::Yellow);
}

TEST(NoteName, SizeLettersAndPoints)
{
    struct Case
    {
        int points;
        char letter;
    };
    for (const Case &c : {Case{8, 's'}, Case{10, 's'}, Case{11, 'n'}, Case{12, 'n'},
                          Case{13, 'n'}, Case{14, 'm'}, Case{20, 'm'}})
        EXPECT_EQ(sizeLetter(c.points), c.letter) << c.points;
    EXPECT_EQ(pointsOfSizeLetter(u's'), 10);
    EXPECT_EQ(pointsOfSizeLetter(u'n'), 12);
    EXPECT_EQ(pointsOfSizeLetter(u'm'), 14);
    EXPECT_EQ(pointsOfSizeLetter(u'?'), 12);
}

TEST(NoteName, AppearanceCodes)
{
    struct Case
    {
        const char16_t *code;
        NoteColour colour;
        int points;
    };
    for (const Case &c : {Case{u"11", NoteColour::Yellow, 10}, Case{u"12", NoteColour::Yellow, 12},
                          Case{u"13", NoteColour::Yellow, 14}, Case{u"21", NoteColour::Cyan, 10},
                          Case{u"32", NoteColour::Green, 12}, Case{u"33", NoteColour::Green, 14}}) {
        const auto appearance = parseAppearanceCode(c.code);
        ASSERT_TRUE(appearance) << QStringView(c.code).toString().toStdString();
        EXPECT_EQ(appearance->colour, c.colour);
        EXPECT_EQ(appearance->points, c.points);
        EXPECT_EQ(appearanceCode(*appearance), QStringView(c.code));
    }
    for (const char16_t *code : {u"", u"1", u"123", u"01", u"40", u"14", u"1a", u" 12"})
        EXPECT_FALSE(parseAppearanceCode(code)) << QStringView(code).toString().toStdString();
}

TEST(NoteName, ChangesOnlyTheStateLetter)
{
    EXPECT_EQ(withState(u"n9835h0570n78244.dat", NoteState::PutAway), u"o9835h0570n78244.dat");
    EXPECT_EQ(withState(u"n10000k0000m00001.dat", NoteState::PutAway), u"o10000k0000m00001.dat");
    EXPECT_EQ(withState(u"o9835h0570n78244.dat", NoteState::Shown), u"n9835h0570n78244.dat");
    EXPECT_EQ(withState(u"o9835h0570n78244.dat", NoteState::PutAway), u"o9835h0570n78244.dat");
    EXPECT_FALSE(withState(u"../n9835h0570n78244.dat", NoteState::PutAway));
    EXPECT_FALSE(withState(u"nessuno", NoteState::PutAway));
}

TEST(NoteName, DateOfTheName)
{
    EXPECT_EQ(decodeNoteName(u"n9835h0570n78244.dat")->date(), QDate(2026, 12, 5));
    EXPECT_EQ(decodeNoteName(u"o10000h0570n78244.dat")->date(), QDate(2027, 5, 19));
    EXPECT_EQ(decodeNoteName(u"o10000h0570m78244.dat")->points(), 14);
}

} // namespace
} // namespace promemo
