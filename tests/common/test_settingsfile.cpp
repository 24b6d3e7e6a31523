#include "common/settingsfile.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <tuple>

#include <unistd.h>

#include "common/atomicfile.h"

using namespace promemo;

namespace {

class SettingsFileTest : public ::testing::Test
{
protected:
    QString iniPath() const { return m_dir.filePath(QStringLiteral("Notino.ini")); }

    void store(const QByteArray &bytes) const
    {
        QFile file(iniPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }

    QTemporaryDir m_dir;
};

} // namespace

TEST_F(SettingsFileTest, ReadFollowsTheProfileRules)
{
    // file, section, key, value read
    const QList<std::tuple<QByteArray, QString, QString, QString>> cases = {
        {"", "Opzioni", "colore", "Default"},
        {"[Opzioni]\r\ncolore=3\r\n", "Opzioni", "fontsize", "Default"},
        {"[Opzioni]\r\ncolore=3\r\n", "Rubrica", "colore", "Default"},
        {"[OPZIONI]\r\nColore=2\r\n", "opzioni", "COLORE", "2"},
        {"  [ Opzioni ]  \r\n\t colore  =  2 \t\r\n", "Opzioni", "colore", "2"},
        {"[Opzioni]\r\nsound=123456789\r\n", "Opzioni", "sound", "1234567"},
        {"[Opzioni]\r\nsound=\r\n", "Opzioni", "sound", ""},
        {"[Rubrica]\r\ncolore=3\r\n[Opzioni]\r\nsound=1\r\n", "Opzioni", "colore", "Default"},
        {"colore=3\r\n[Opzioni]\r\n", "Opzioni", "colore", "Default"},
        {"[Opzioni]\r\n;colore=3\r\n", "Opzioni", "colore", "Default"},
        {"[Opzioni\r\ncolore=2\r\n", "Opzioni", "colore", "Default"},
        {"[A]\r\nk=1\r\nk=2\r\n[A]\r\nk=3\r\n", "A", "k", "1"},
        {"[Opzioni]\ncolore=3", "Opzioni", "colore", "3"},
        {"[V]\r\ncodvers=a=b\r\n", "V", "codvers", "a=b"},
        {"[V]\r\nk=\xe8\x80\r\n", "V", "k", QString::fromUtf8("è€")},
    };
    for (const auto &[ini, section, key, expected] : cases) {
        SCOPED_TRACE(ini.toStdString());
        store(ini);
        EXPECT_EQ(SettingsFile(iniPath()).read(section, key), expected);
    }
}

TEST(SetProfileValue, EditsOnlyWhatItMust)
{
    const QByteArray layout = "; Promemo\r\n[Opzioni]\r\nColore = 1 \r\n; size\r\nfontsize=2\r\n"
                              "\r\n; calendar\r\n[Calendario]\r\nholycheck=1\r\n";
    // file before, section, key, value, file after
    const QList<std::tuple<QByteArray, QString, QString, QString, QByteArray>> cases = {
        {layout, "OPZIONI", "colore", "3", QByteArray(layout).replace("Colore = 1 ", "Colore = 3")},
        {layout, "opzioni", "sound", "1",
         QByteArray(layout).replace("fontsize=2\r\n", "fontsize=2\r\nsound=1\r\n")},
        {layout, "Rubrica", "ColTasti", "4", layout + "\r\n[Rubrica]\r\nColTasti=4\r\n"},
        {"", "Opzioni", "colore", "1", "[Opzioni]\r\ncolore=1\r\n"},
        {"[A]\r\nk=1", "A", "j", "0", "[A]\r\nk=1\r\nj=0\r\n"},
        {"[A]\r\nk=1", "B", "k", "2", "[A]\r\nk=1\r\n\r\n[B]\r\nk=2\r\n"},
        {"[R]\r\n[O]\r\n", "R", "ColSfondo", "3", "[R]\r\nColSfondo=3\r\n[O]\r\n"},
        {"[A]\nk=1\n", "A", "k", "22", "[A]\nk=22\n"},
        {"[A]\r\nk=\r\n", "a", "K", "5", "[A]\r\nk=5\r\n"},
        {"", "Versione", "codvers", "1.6 ", "[Versione]\r\ncodvers=1.6 \r\n"},
    };
    for (const auto &[before, section, key, value, after] : cases) {
        SCOPED_TRACE(before.toStdString() + " <- " + key.toStdString());
        EXPECT_EQ(setProfileValue(before, section, key, value), after);
    }
}

TEST(SetProfileValue, RefusesWhatWouldNotReadBack)
{
    // section, key, value
    const QList<QStringList> cases = {
        {"  ", "k", "1"},  {"A", "", "1"},   {"A", "k", "1\r\n[B]"}, {"A", "k\n", "1"},
        {"A", "k=x", "1"}, {"A]", "k", "1"}, {"A", ";k", "1"},
    };
    for (const QStringList &c : cases) {
        SCOPED_TRACE(c.join(u'|').toStdString());
        EXPECT_FALSE(setProfileValue("[A]\r\nk=0\r\n", c[0], c[1], c[2]).has_value());
    }
}

TEST_F(SettingsFileTest, WriteCreatesTheFileIsSeenAtOnceAndReportsFailure)
{
    const SettingsFile writer(iniPath());
    const SettingsFile reader(iniPath());
    EXPECT_EQ(reader.read(u"Opzioni", u"sound"), u"Default");
    EXPECT_FALSE(writer.write(u"A", u"k=", u"1"));
    EXPECT_FALSE(QFile::exists(iniPath()));
    ASSERT_TRUE(writer.write(u"Opzioni", u"sound", u"1"));
    EXPECT_EQ(reader.read(u"Opzioni", u"sound"), u"1");
    EXPECT_EQ(readWholeFile(iniPath()), QByteArray("[Opzioni]\r\nsound=1\r\n"));

    EXPECT_FALSE(SettingsFile(m_dir.path()).write(u"A", u"k", u"1"));
    EXPECT_FALSE(SettingsFile(m_dir.filePath(QStringLiteral("absent/x.ini"))).write(u"A", u"k", u"1"));
}

TEST_F(SettingsFileTest, ReadOnlyFileIsNotRewritten)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "permissions do not bind root";
    store("[A]\r\nk=0\r\n");
    ASSERT_TRUE(QFile::setPermissions(iniPath(), QFile::ReadOwner));
    EXPECT_FALSE(SettingsFile(iniPath()).write(u"A", u"k", u"1"));
    EXPECT_EQ(readWholeFile(iniPath()), QByteArray("[A]\r\nk=0\r\n"));
}

TEST_F(SettingsFileTest, TwoProcessesWritingAtOnceKeepBothKeys)
{
    const QByteArray head = "; shared by every program\r\n[Opzioni]\r\ncolore=2\r\n";
    store(head + "[Calendario]\r\nholycheck=0\r\npostcheck=0\r\n");
    constexpr int kWrites = 150;
    const auto start = [&](const QString &key, const QString &watched) {
        auto *process = new QProcess;
        process->setProcessChannelMode(QProcess::ForwardedChannels);
        process->start(QStringLiteral(SETTINGS_WRITER),
                       {iniPath(), QStringLiteral("Calendario"), key, QString::number(kWrites),
                        watched});
        return process;
    };
    std::unique_ptr<QProcess> first(start(QStringLiteral("holycheck"), QStringLiteral("postcheck")));
    std::unique_ptr<QProcess> second(start(QStringLiteral("postcheck"), QStringLiteral("holycheck")));
    const QDeadlineTimer deadline(std::chrono::seconds(60));
    for (QProcess *p : {first.get(), second.get()}) {
        const bool finished = p->state() == QProcess::NotRunning
            || p->waitForFinished(int(std::max<qint64>(deadline.remainingTime(), 1)));
        ASSERT_TRUE(finished);
        EXPECT_EQ(p->exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p->exitCode(), 0);
    }
    const SettingsFile file(iniPath());
    const QString last = QString::number(kWrites - 1);
    EXPECT_EQ(file.read(u"Calendario", u"holycheck"), last);
    EXPECT_EQ(file.read(u"Calendario", u"postcheck"), last);
    EXPECT_TRUE(readWholeFile(iniPath()).startsWith(head));
}
