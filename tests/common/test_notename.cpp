#include "common/notename.h"

#include <QTime>

#include <ostream>
#include <string>

#include <gtest/gtest.h>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}
QT_END_NAMESPACE

namespace promemo {
namespace {

TEST(NoteName, RoundTripsFourAndFiveDigitDays)
{
    struct Case
    {
        QString text;
        NoteName name;
    };
    const Case cases[] = {
        {"n9835h0570n78244.dat", {NoteState::Shown, 9835, 'h', 570, 'n', 78244}},
        {"o9999a0000s00000.dat", {NoteState::PutAway, 9999, 'a', 0, 's', 0}},
        {"o10000v1439m86399.dat", {NoteState::PutAway, 10000, 'v', 1439, 'm', 86399}},
        {"n146156d0001n00007.dat", {NoteState::Shown, 146156, 'd', 1, 'n', 7}},
        // days before 27 September 2002 have fewer digits
        {"o0k0000n00000.dat", {NoteState::PutAway, 0, 'k', 0, 'n', 0}},
        {"o999b0495n04000.dat", {NoteState::PutAway, 999, 'b', 495, 'n', 4000}},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(decodeNoteName(c.text), c.name) << c.text.toStdString();
        EXPECT_EQ(encodeNoteName(c.name), c.text);
    }
    EXPECT_EQ(decodeNoteName(u"o10000h0570m78244.dat")->date(), QDate(2027, 5, 19));
    EXPECT_EQ(stampOf(QTime(21, 44, 4, 999)), 78244);
}

TEST(NoteName, RefusesNamesNotOfTheSuitesForm)
{
    for (const char16_t *text : {
             u"", u"h0570n78244.dat", u"n9835h0570n78244", u"n9835h0570n78244.DAT",
             u"n9835h0570n78244.txt", u"n9835h0570n78244xdat", u"n9835h0570n78244.dat ",
             u" n9835h0570n78244.dat", u"N9835h0570n78244.dat", u"x9835h0570n78244.dat",
             u"nh0570n78244.dat", u"n09835h0570n78244.dat", u"n98a5h0570n78244.dat",
             u"n-835h0570n78244.dat", u"n12345678h0570n78244.dat", u"n9835x0570n78244.dat",
             u"n9835H0570n78244.dat", u"n9835h057an78244.dat", u"n9835h1440n78244.dat",
             u"n9835h0570x78244.dat", u"n9835h0570n7824.dat", u"n9835h0570n86400.dat",
             u"../n9835h0570n78244.dat", u"n/../9835h0570n78244.dat", u"n..9835h0570n78244.dat",
             u"x/n9835h0570n78244.dat", u"n9835\\h0570n78244.dat", u"/tmp/n9835h0570n78244.dat",
             u"n٩835h0570n78244.dat", u"n9835h0570n78244.dаt" /* Cyrillic a */})
        EXPECT_FALSE(decodeNoteName(text)) << QString::fromUtf16(text).toStdString();
    EXPECT_FALSE(decodeNoteName(QStringView(u"n9835h0570n78244.dat\0", 21)));

    const NoteName good{NoteState::Shown, 9835, 'h', 570, 'n', 78244};
    for (const NoteName &bad :
         {NoteName{NoteState::Shown, -1, 'h', 570, 'n', 0},
          NoteName{NoteState::Shown, 1, 'x', 0, 'n', 0},
          NoteName{NoteState::Shown, 1, 'h', 1440, 'n', 0},
          NoteName{NoteState::Shown, 1, 'h', 0, 'N', 0},
          NoteName{NoteState::Shown, 1, 'h', 0, 'n', 86400}})
        EXPECT_FALSE(encodeNoteName(bad));
    EXPECT_TRUE(encodeNoteName(good));
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
        EXPECT_EQ(colourLetter(colourOfRgb(c.rgb), c.size), c.letter);
        EXPECT_EQ(rgbOf(c.colour), c.rgb);
        const NoteName name{NoteState::PutAway, 10000, c.letter, 0, 'n', 0};
        const auto decoded = decodeNoteName(*encodeNoteName(name));
        ASSERT_TRUE(decoded);
        EXPECT_EQ(decoded->colour(), c.colour);
        EXPECT_EQ(decoded->noteSize(), c.size);
    }
    // Each build reads the other build's letters, and stranger ones, as yellow.
    EXPECT_EQ(colourOfLetter(u'b', NoteSize::Normal), NoteColour::Yellow);
    EXPECT_EQ(colourOfLetter(u'a', NoteSize::Medium), NoteColour::Yellow);
    EXPECT_EQ(colourOfRgb({221, 255, 254}), NoteColour::Yellow);
}

TEST(NoteName, SizesAndAppearanceCodes)
{
    const std::string letters{sizeLetter(10), sizeLetter(11), sizeLetter(13), sizeLetter(14)};
    EXPECT_EQ(letters, "snnm");
    EXPECT_EQ(pointsOfSizeLetter(u'?'), 12);
    struct Case
    {
        QString code;
        NoteColour colour;
        int points;
    };
    for (const Case &c : {Case{"11", NoteColour::Yellow, 10}, Case{"12", NoteColour::Yellow, 12},
                          Case{"23", NoteColour::Cyan, 14}, Case{"31", NoteColour::Green, 10}}) {
        const auto appearance = parseAppearanceCode(c.code);
        ASSERT_TRUE(appearance) << c.code.toStdString();
        EXPECT_EQ(appearance->colour, c.colour);
        EXPECT_EQ(appearance->points, c.points);
        EXPECT_EQ(appearanceCode(*appearance), c.code);
    }
    for (const char16_t *code : {u"", u"1", u"123", u"01", u"40", u"14", u"1a"})
        EXPECT_FALSE(parseAppearanceCode(code)) << QString::fromUtf16(code).toStdString();
}

TEST(NoteName, PuttingAwayChangesOnlyTheStateLetter)
{
    EXPECT_EQ(withState(u"n9835h0570n78244.dat", NoteState::PutAway), "o9835h0570n78244.dat");
    EXPECT_EQ(withState(u"n10000k0000m00001.dat", NoteState::PutAway), "o10000k0000m00001.dat");
    EXPECT_FALSE(withState(u"../n9835h0570n78244.dat", NoteState::PutAway));
    EXPECT_FALSE(withState(u"nessuno", NoteState::PutAway));
}

} // namespace
} // namespace promemo
