#include "common/settings.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "common/atomicfile.h"

using namespace promemo;

TEST(SettingRules, EveryKeyReadsTheFirstCharacterWithItsOwnDefault)
{
    using C = NoteColour;
    using T = TextSize;
    using N = NoteSize;
    using S = ShowList;
    struct Case
    {
        QString value;
        C colour;
        T size;
        N noteSize;
        S showList;
        bool sound;
        bool check;
        int addressBookColour;
    };
    // "Default" is what a missing key reads as, "" an empty value.
    const QList<Case> cases = {
        {"Default", C::Yellow, T::Normal, N::Normal, S::Always, false, false, 0},
        {"", C::Yellow, T::Normal, N::Normal, S::Always, false, false, 0},
        {"0", C::Yellow, T::Normal, N::Normal, S::Always, false, false, 0},
        {"1", C::Yellow, T::Small, N::Normal, S::Always, true, true, 1},
        {"2", C::Cyan, T::Normal, N::Medium, S::Today, false, true, 2},
        {"3", C::Green, T::Medium, N::Normal, S::SevenDays, false, true, 3},
        {"4", C::Yellow, T::Normal, N::Normal, S::Never, false, true, 4},
        {"7", C::Yellow, T::Normal, N::Normal, S::Always, false, true, 7},
        {"8", C::Yellow, T::Normal, N::Normal, S::Always, false, true, 1},
        {"9", C::Yellow, T::Normal, N::Normal, S::Always, false, true, 1},
        {"10", C::Yellow, T::Small, N::Normal, S::Always, true, true, 1},
        {QString::fromUtf8("٣"), C::Yellow, T::Normal, N::Normal, S::Always, false, false, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.value.toStdString());
        EXPECT_EQ(noteColourSetting(c.value), c.colour);
        EXPECT_EQ(textSizeSetting(c.value), c.size);
        EXPECT_EQ(noteSizeSetting(c.value), c.noteSize);
        EXPECT_EQ(showListSetting(c.value), c.showList);
        EXPECT_EQ(soundSetting(c.value), c.sound);
        EXPECT_EQ(checkBoxSetting(c.value), c.check);
        EXPECT_EQ(addressBookColourSetting(c.value), c.addressBookColour);
    }
}

class SettingsTest : public ::testing::Test
{
protected:
    QString iniPath() const { return m_dir.filePath(QStringLiteral("Notino.ini")); }
    QTemporaryDir m_dir;
};

TEST_F(SettingsTest, AccessorsReadTheirOwnKeys)
{
    ASSERT_TRUE(writeFileAtomically(iniPath(), "[opzioni]\r\nCOLORE=3\r\nfontsize=1\r\n"
                                               "grandezza=2\r\nshowelenco=4\r\nsound=1\r\n"
                                               "[Calendario]\r\npostcheck=1\r\n"
                                               "[Rubrica]\r\ncoltasti=7\r\ncolsfondo=9\r\n"));
    const Settings settings(iniPath());
    EXPECT_EQ(settings.appearanceCode(), u"31");
    EXPECT_EQ(settings.noteSize(), NoteSize::Medium);
    EXPECT_EQ(settings.showList(), ShowList::Never);
    EXPECT_TRUE(settings.sound());
    EXPECT_FALSE(settings.calendarCheck(CalendarCheck::SundaysInRed));
    EXPECT_TRUE(settings.calendarCheck(CalendarCheck::NoteDays));
    EXPECT_EQ(settings.tabColour(), 7);
    EXPECT_EQ(settings.sheetColour(), 1);
    EXPECT_EQ(Settings(m_dir.filePath(QStringLiteral("none.ini"))).appearanceCode(), u"12");
}

TEST_F(SettingsTest, WritersStoreDigitsUnderTheirKeys)
{
    const Settings settings(iniPath());
    ASSERT_TRUE(settings.writeVersion());
    ASSERT_TRUE(settings.setSound(true));
    ASSERT_TRUE(settings.setShowList(ShowList::SevenDays));
    ASSERT_TRUE(settings.setTextSize(TextSize::Medium));
    ASSERT_TRUE(settings.setNoteColour(NoteColour::Cyan));
    ASSERT_TRUE(settings.setNoteSize(NoteSize::Medium));
    ASSERT_TRUE(settings.setCalendarCheck(CalendarCheck::Recurrences, true));
    ASSERT_TRUE(settings.setAddressBookColours(3, 5));
    EXPECT_EQ(readWholeFile(iniPath()), QByteArray("[Versione]\r\nnumvers=1600\r\ncodvers=1.6 \r\n"
                                                   "\r\n[Opzioni]\r\nsound=1\r\nshowelenco=3\r\n"
                                                   "fontsize=3\r\ncolore=2\r\ngrandezza=2\r\n"
                                                   "\r\n[Calendario]\r\nrubrcheck=1\r\n"
                                                   "\r\n[Rubrica]\r\nColSfondo=3\r\nColTasti=5\r\n"));
    ASSERT_TRUE(settings.setSound(false));
    EXPECT_FALSE(settings.sound());
    EXPECT_FALSE(Settings(m_dir.filePath(QStringLiteral("absent/Notino.ini"))).writeVersion());
}
