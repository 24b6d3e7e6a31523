#include "common/settingsfile.h"
#include "common/settings.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <tuple>

#include <sys/resource.h>
#include <unistd.h>

#include "common/atomicfile.h"

using namespace promemo;

class SettingsFileTest : public ::testing::Test
{
protected:
    QString iniPath() const { return m_dir.filePath(QStringLiteral("Notino.ini")); }
    QTemporaryDir m_dir;
};

TEST_F(SettingsFileTest, ReadFollowsTheProfileRules)
{
    // file, section, key, value read
    const QList<std::tuple<QByteArray, QString, QString, QString>> cases = {
        {"[Rubrica]\r\ncolore=3\r\n[Opzioni]\r\nsound=1\r\n", "Opzioni", "colore", "Default"},
        {"[Opzioni]\r\ncolore=3\r\n", "Rubrica", "colore", "Default"},
        {"[OPZIONI]\r\nColore=2\r\n", "opzioni", "COLORE", "2"},
        {"  [ Opzioni ]  \r\n\t colore  =  2 \t\r\n", "Opzioni", "colore", "2"},
        {"[Opzioni]\r\nsound=123456789\r\n", "Opzioni", "sound", "1234567"},
        {"[Opzioni]\r\nsound=\r\n", "Opzioni", "sound", ""},
        {"[A]\r\nk=1\r\nk=2\r\n[A]\r\nk=3\r\n", "A", "k", "1"},
    };
    for (const auto &[ini, section, key, expected] : cases) {
        ASSERT_TRUE(writeFileAtomically(iniPath(), ini));
        EXPECT_EQ(SettingsFile(iniPath()).read(section, key), expected) << ini.toStdString();
    }
}

TEST(SetProfileValue, EditsOnlyWhatItMustAndRefusesWhatWouldNotReadBack)
{
    const QByteArray layout = "; Promemo\r\n[Opzioni]\r\nColore = 1 \r\n; size\r\nfontsize=2\r\n"
                              "\r\n; calendar\r\n[Calendario]\r\nholycheck=1\r\n";
    // file before, section, key, value, file after
    const QList<std::tuple<QByteArray, QString, QString, QString, QByteArray>> cases = {
        {layout, "OPZIONI", "colore", "3", QByteArray(layout).replace("Colore = 1 ", "Colore = 3")},
        {layout, "opzioni", "sound", "1",
         QByteArray(layout).replace("fontsize=2\r\n", "fontsize=2\r\nsound=1\r\n")},
        {"[A]\r\nk=1", "A", "j", "0", "[A]\r\nk=1\r\nj=0\r\n"},
        {"[R]\r\n[O]\r\n", "R", "ColSfondo", "3", "[R]\r\nColSfondo=3\r\n[O]\r\n"},
        {layout, "Versione", "codvers", "1.6 ", layout + "\r\n[Versione]\r\ncodvers=1.6 \r\n"},
    };
    for (const auto &[before, section, key, value, after] : cases)
        EXPECT_EQ(setProfileValue(before, section, key, value), after) << key.toStdString();
    const QList<QStringList> refused = {{"  ", "k", "1"}, {"A", "", "1"}, {"A", "k", "1\r\n[B]"},
                                        {"A", "k=x", "1"}, {"A]", "k", "1"}, {"A", ";k", "1"}};
    for (const QStringList &c : refused)
        EXPECT_FALSE(setProfileValue("[A]\r\n", c[0], c[1], c[2])) << c.join(u'|').toStdString();
}

TEST_F(SettingsFileTest, WriteCreatesTheFileIsSeenAtOnceAndReportsFailure)
{
    const SettingsFile writer(iniPath());
    EXPECT_EQ(writer.read(u"Opzioni", u"sound"), u"Default");
    ASSERT_TRUE(writer.write(u"Opzioni", u"sound", u"1"));
    EXPECT_EQ(SettingsFile(iniPath()).read(u"Opzioni", u"sound"), u"1");
    EXPECT_EQ(readWholeFile(iniPath()), QByteArray("[Opzioni]\r\nsound=1\r\n"));
    EXPECT_FALSE(SettingsFile(m_dir.filePath(QStringLiteral("no/x.ini"))).write(u"A", u"k", u"1"));
}

TEST_F(SettingsFileTest, TwoProcessesWritingAtOnceKeepBothKeys)
{
    const QByteArray before = "; shared by every program\r\n[Calendario]\r\nholycheck=0\r\n"
                              "postcheck=0\r\n[Opzioni]\r\ncolore=2\r\n";
    ASSERT_TRUE(writeFileAtomically(iniPath(), before));
    const QString keys[] = {QStringLiteral("holycheck"), QStringLiteral("postcheck")};
    QProcess writers[2]; // each writes its key 150 times, failing if the other's ever goes missing
    for (int i = 0; i < 2; ++i)
        writers[i].start(QStringLiteral(SETTINGS_WRITER),
                         {iniPath(), QStringLiteral("Calendario"), keys[i], "150", keys[1 - i]});
    const QDeadlineTimer deadline(std::chrono::seconds(60));
    for (QProcess &p : writers) {
        ASSERT_TRUE(p.waitForFinished(int(deadline.remainingTime())));
        EXPECT_EQ(std::pair(p.exitStatus(), p.exitCode()), std::pair(QProcess::NormalExit, 0));
    }
    EXPECT_EQ(readWholeFile(iniPath()), QByteArray(before).replace("=0", "=149"));
}

// A full disk: the write fails and the file keeps every key it had.
TEST_F(SettingsFileTest, FullDiskFailsAndKeepsTheFile)
{
    const QByteArray before = "[Opzioni]\r\ncolore=2\r\nfontsize=3\r\n" + QByteArray(3000, ';') + "\r\n";
    ASSERT_TRUE(writeFileAtomically(iniPath(), before));
    const auto writeOnFullDisk = [this] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{1000, 1000};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0)
            return 1;
        const SettingsFile file(iniPath());
        return file.write(u"Rubrica", u"ColSfondo", u"3") ? 2 : 0;
    };
    EXPECT_EXIT(::_exit(writeOnFullDisk()), ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(readWholeFile(iniPath()), before);
}

TEST(SettingRules, EveryKeyReadsTheFirstCharacterWithItsOwnDefault)
{
    using C = NoteColour;
    using T = TextSize;
    using N = NoteSize;
    using S = ShowList;
    using Read = std::tuple<C, T, N, S, bool, bool, int, bool>;
    // value: colore, fontsize, grandezza, showelenco, sound, a check box, an address-book colour,
    // a desktop feature (notifiche, calendario_ics, rubrica_vcf).
    // A missing key reads as "Default", whose "D" is a non-digit; "" is an empty value.
    const QList<std::pair<QString, Read>> cases = {
        {"", {C::Yellow, T::Normal, N::Normal, S::Always, false, false, 0, true}},
        {"0", {C::Yellow, T::Normal, N::Normal, S::Always, false, false, 0, false}},
        {"1", {C::Yellow, T::Small, N::Normal, S::Always, true, true, 1, true}},
        {"2", {C::Cyan, T::Normal, N::Medium, S::Today, false, true, 2, true}},
        {"3", {C::Green, T::Medium, N::Normal, S::SevenDays, false, true, 3, true}},
        {"4", {C::Yellow, T::Normal, N::Normal, S::Never, false, true, 4, true}},
        {"7", {C::Yellow, T::Normal, N::Normal, S::Always, false, true, 7, true}},
        {"8", {C::Yellow, T::Normal, N::Normal, S::Always, false, true, 1, true}},
        {"10", {C::Yellow, T::Small, N::Normal, S::Always, true, true, 1, true}},
        {"Default", {C::Yellow, T::Normal, N::Normal, S::Always, false, false, 0, true}},
        {QString::fromUtf8("٣"), {C::Yellow, T::Normal, N::Normal, S::Always, false, false, 0, true}},
    };
    for (const auto &[v, expected] : cases)
        EXPECT_EQ(Read(noteColourSetting(v), textSizeSetting(v), noteSizeSetting(v),
                       showListSetting(v), soundSetting(v), checkBoxSetting(v),
                       addressBookColourSetting(v), featureSetting(v)),
                  expected) << v.toStdString();
}
