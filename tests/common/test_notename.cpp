#include "common/notename.h"

#include <QTime>

#include <string>
#include <tuple>

#include <gtest/gtest.h>

namespace promemo {
namespace {

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
        EXPECT_EQ(decoded.colour(), colour);
        EXPECT_EQ(decoded.noteSize(), size);
    }
    EXPECT_EQ(decodeNoteName(u"o10000h0570m78244.dat")->date(), QDate(2027, 5, 19));
    EXPECT_EQ(stampOf(QTime(21, 44, 4, 999)), 78244);
    EXPECT_EQ(withState(u"n10000k0000m00001.dat", PutAway), u"o10000k0000m00001.dat");
    // Each build reads the other build's letters, and unknown backgrounds, as yellow.
    EXPECT_EQ(colourOfLetter(u'b', Normal), Yellow);
    EXPECT_EQ(colourOfLetter(u'a', Medium), Yellow);
    EXPECT_EQ(colourOfRgb({221, 255, 254}), Yellow);
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

TEST(NoteName, SizeLettersAndAppearanceCodes)
{
    const std::string letters{sizeLetter(10), sizeLetter(11), sizeLetter(13), sizeLetter(14)};
    EXPECT_EQ(letters, "snnm");
    EXPECT_EQ(pointsOfSizeLetter(u'?'), 12);
    EXPECT_EQ(appearanceCode({NoteColour::Cyan, 14}), QStringLiteral("23"));
    const auto green = parseAppearanceCode(u"31").value_or(Appearance{});
    EXPECT_EQ(green.colour, NoteColour::Green);
    EXPECT_EQ(green.points, 10);
    for (const char16_t *code : {u"", u"123", u"01", u"40", u"14", u"1a"})
        EXPECT_FALSE(parseAppearanceCode(code)) << QString::fromUtf16(code).toStdString();
}

} // namespace
} // namespace promemo
