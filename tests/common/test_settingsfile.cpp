#include "common/settingsfile.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

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
    struct Case
    {
        const char *name;
        QByteArray ini;
        QString section;
        QString key;
        QString expected;
    };
    const QList<Case> cases = {
        {"empty file", "", "Opzioni", "colore", "Default"},
        {"plain value", "[Opzioni]\r\ncolore=3\r\n", "Opzioni", "colore", "3"},
        {"missing key", "[Opzioni]\r\ncolore=3\r\n", "Opzioni", "fontsize", "Default"},
        {"missing section", "[Opzioni]\r\ncolore=3\r\n", "Rubrica", "colore", "Default"},
        {"names ignore case", "[OPZIONI]\r\nColore=2\r\n", "opzioni", "COLORE", "2"},
        {"blanks around names and values", "  [ Opzioni ]  \r\n\t colore  =  2 \t\r\n", "Opzioni",
         "colore", "2"},
        {"cut to seven characters", "[Opzioni]\r\nsound=123456789\r\n", "Opzioni", "sound",
         "1234567"},
        {"empty value", "[Opzioni]\r\nsound=\r\n", "Opzioni", "sound", ""},
        {"key of another section", "[Rubrica]\r\ncolore=3\r\n[Opzioni]\r\nsound=1\r\n", "Opzioni",
         "colore", "Default"},
        {"key before any section", "colore=3\r\n[Opzioni]\r\n", "Opzioni", "colore", "Default"},
        {"comment line", "[Opzioni]\r\n;colore=3\r\n", "Opzioni", "colore", "Default"},
        {"first section and key win", "[Opzioni]\r\nsound=1\r\nsound=2\r\n[Opzioni]\r\nsound=3\r\n",
         "Opzioni", "sound", "1"},
        {"LF lines, no final line end", "[Opzioni]\ncolore=3", "Opzioni", "colore", "3"},
        {"equals sign inside the value", "[V]\r\ncodvers=a=b\r\n", "V", "codvers", "a=b"},
        {"Windows-1252 value", "[V]\r\nk=\xe8\x80\r\n", "V", "k", QString::fromUtf8("è€")},
        {"header with text after it", "[Opzioni] ; note\r\ncolore=2\r\n", "Opzioni", "colore",
         "2"},
        {"unclosed header is no section", "[Opzioni\r\ncolore=2\r\n", "Opzioni", "colore",
         "Default"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        store(c.ini);
        EXPECT_EQ(SettingsFile(iniPath()).read(c.section, c.key), c.expected);
    }
}

TEST_F(SettingsFileTest, MissingFileReadsAsDefault)
{
    EXPECT_EQ(SettingsFile(iniPath()).read(u"Opzioni", u"colore"), u"Default");
}

TEST(SetProfileValue, EditsOnlyWhatItMust)
{
    struct Case
    {
        const char *name;
        QByteArray before;
        QString section;
        QString key;
        QString value;
        QByteArray after;
    };
    const QByteArray layout = "; Promemo\r\n"
                              "[Opzioni]\r\n"
                              "Colore = 1 \r\n"
                              "; size of new notes\r\n"
                              "fontsize=2\r\n"
                              "\r\n"
                              "; calendar\r\n"
                              "[Calendario]\r\n"
                              "holycheck=1\r\n";
    const QList<Case> cases = {
        {"value changed in place, spelling and comments kept", layout, "OPZIONI", "colore", "3",
         QByteArray(layout).replace("Colore = 1 ", "Colore = 3")},
        {"new key after the last entry of its section", layout, "opzioni", "sound", "1",
         QByteArray(layout).replace("fontsize=2\r\n", "fontsize=2\r\nsound=1\r\n")},
        {"new section at the end after a blank line", layout, "Rubrica", "ColTasti", "4",
         layout + "\r\n[Rubrica]\r\nColTasti=4\r\n"},
        {"empty file", "", "Opzioni", "colore", "1", "[Opzioni]\r\ncolore=1\r\n"},
        {"last line without line end", "[Opzioni]\r\ncolore=1", "Opzioni", "sound", "0",
         "[Opzioni]\r\ncolore=1\r\nsound=0\r\n"},
        {"new section after a line without line end", "[A]\r\nk=1", "B", "k", "2",
         "[A]\r\nk=1\r\n\r\n[B]\r\nk=2\r\n"},
        {"section with a header only", "[Rubrica]\r\n[Opzioni]\r\n", "Rubrica", "ColSfondo", "3",
         "[Rubrica]\r\nColSfondo=3\r\n[Opzioni]\r\n"},
        {"LF-only file keeps its line ends", "[A]\nk=1\n", "A", "k", "22", "[A]\nk=22\n"},
        {"empty value becomes a value", "[A]\r\nk=\r\n", "a", "K", "5", "[A]\r\nk=5\r\n"},
        {"value with trailing blank", "", "Versione", "codvers", "1.6 ",
         "[Versione]\r\ncodvers=1.6 \r\n"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<QByteArray> after = setProfileValue(c.before, c.section, c.key, c.value);
        ASSERT_TRUE(after.has_value());
        EXPECT_EQ(*after, c.after);
    }
}

TEST(SetProfileValue, RefusesWhatWouldNotReadBack)
{
    struct Case
    {
        const char *name;
        QString section;
        QString key;
        QString value;
    };
    const QList<Case> cases = {
        {"empty section", "  ", "k", "1"},
        {"empty key", "A", "", "1"},
        {"line break in value", "A", "k", "1\r\n[B]"},
        {"line break in key", "A", "k\n", "1"},
        {"equals sign in key", "A", "k=x", "1"},
        {"bracket in section", "A]", "k", "1"},
        {"key like a comment", "A", ";k", "1"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(setProfileValue("[A]\r\nk=0\r\n", c.section, c.key, c.value).has_value());
    }
}

TEST_F(SettingsFileTest, WriteCreatesTheFileAndIsSeenByEveryReader)
{
    const SettingsFile writer(iniPath());
    const SettingsFile reader(iniPath());
    EXPECT_EQ(reader.read(u"Opzioni", u"sound"), u"Default");
    ASSERT_TRUE(writer.write(u"Opzioni", u"sound", u"1"));
    EXPECT_EQ(reader.read(u"Opzioni", u"sound"), u"1");
    ASSERT_TRUE(writer.write(u"Opzioni", u"sound", u"0"));
    EXPECT_EQ(reader.read(u"Opzioni", u"sound"), u"0");
    EXPECT_EQ(readWholeFile(iniPath()), QByteArray("[Opzioni]\r\nsound=0\r\n"));
}

TEST_F(SettingsFileTest, WriteReportsFailure)
{
    const QString folderAsFile = m_dir.filePath(QStringLiteral("folder"));
    ASSERT_TRUE(QDir().mkpath(folderAsFile));
    EXPECT_FALSE(SettingsFile(folderAsFile).write(u"A", u"k", u"1"));
    EXPECT_FALSE(SettingsFile(m_dir.filePath(QStringLiteral("missing/Notino.ini")))
                     .write(u"A", u"k", u"1"));
    EXPECT_FALSE(SettingsFile(iniPath()).write(u"A", u"k=", u"1"));
    EXPECT_FALSE(QFile::exists(iniPath()));
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
