#include "common/settings.h"

#include <gtest/gtest.h>


using namespace promemo;

TEST(SettingRules, EveryKeyReadsTheFirstCharacterWithItsOwnDefault)
{
    using C = NoteColour;
    using T = TextSize;
    using N = NoteSize;
    using S = ShowList;
    using Read = std::tuple<C, T, N, S, bool, bool, int>;
    // value: colore, fontsize, grandezza, showelenco, sound, a check box, an address-book colour.
    // A missing key reads as "Default", whose "D" is a non-digit; "" is an empty value.
    const QList<std::pair<QString, Read>> cases = {
        {"", {C::Yellow, T::Normal, N::Normal, S::Always, false, false, 0}},
        {"0", {C::Yellow, T::Normal, N::Normal, S::Always, false, false, 0}},
        {"1", {C::Yellow, T::Small, N::Normal, S::Always, true, true, 1}},
        {"2", {C::Cyan, T::Normal, N::Medium, S::Today, false, true, 2}},
        {"3", {C::Green, T::Medium, N::Normal, S::SevenDays, false, true, 3}},
        {"4", {C::Yellow, T::Normal, N::Normal, S::Never, false, true, 4}},
        {"7", {C::Yellow, T::Normal, N::Normal, S::Always, false, true, 7}},
        {"8", {C::Yellow, T::Normal, N::Normal, S::Always, false, true, 1}},
        {"10", {C::Yellow, T::Small, N::Normal, S::Always, true, true, 1}},
        {QString::fromUtf8("٣"), {C::Yellow, T::Normal, N::Normal, S::Always, false, false, 0}},
    };
    for (const auto &[v, expected] : cases)
        EXPECT_EQ(Read(noteColourSetting(v), textSizeSetting(v), noteSizeSetting(v),
                       showListSetting(v), soundSetting(v), checkBoxSetting(v),
                       addressBookColourSetting(v)),
                  expected) << v.toStdString();
}
