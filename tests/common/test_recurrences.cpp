#include "common/recurrences.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "common/atomicfile.h"

using namespace promemo;

namespace {

QStringList datesOf(const QList<Recurrence> &records)
{
    QStringList dates;
    for (const Recurrence &r : records)
        dates.append(r.date);
    return dates;
}

} // namespace

TEST(ExpandRecurrence, StepsWrapsAndCutsDays)
{
    struct Case
    {
        const char *name;
        QString date;
        QString perYear;
        int year;
        QStringList expected;
    };
    const QStringList monthlyOn31 = {"31/01", "28/02", "31/03", "30/04", "31/05", "30/06",
                                     "31/07", "31/08", "30/09", "31/10", "30/11", "31/12"};
    QStringList monthlyOn31Leap = monthlyOn31;
    monthlyOn31Leap[1] = "29/02";
    const QList<Case> cases = {
        {"four a year wraps past December", "15/11", "04", 2026, {"15/11", "15/02", "15/05", "15/08"}},
        {"monthly, common year", "31/01", "12", 2027, monthlyOn31},
        {"monthly, leap year", "31/01", "12", 2028, monthlyOn31Leap},
        {"monthly, century not divisible by 400", "31/01", "12", 2100, monthlyOn31},
        {"monthly, century divisible by 400", "31/01", "12", 2000, monthlyOn31Leap},
        {"twice a year into a common February", "30/08", "02", 2099, {"30/08", "28/02"}},
        {"twice a year into a leap February", "30/08", "02", 2096, {"30/08", "29/02"}},
        {"29th in a common February", "29/12", "06", 2031,
         {"29/12", "28/02", "29/04", "29/06", "29/08", "29/10"}},
        {"thirty-day months only cut days above 30", "31/05", "02", 2030, {"31/05", "30/11"}},
        {"once a year", "05/03", "01", 2030, {"05/03"}},
        {"a count that is not a divisor of 12 gives the entered month", "05/03", "05", 2030,
         {"05/03"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(datesOf(expandRecurrence({c.date, c.perYear, "07", "Affitto"}, c.year)),
                  c.expected);
    }
}

TEST(ParseRecurrences, StopsAtTheFirstDateWithoutANonZeroNumber)
{
    struct Case
    {
        const char *name;
        QByteArray bytes;
        QStringList expected;
    };
    const QByteArray a = "\"05/03\",\"01\",\"07\",\"Anna\"\r\n";
    const QByteArray b = "\"15/11\",\"04\",\"00\",\"Bollo\"\r\n";
    const QList<Case> cases = {
        {"empty", "", {}},
        {"all records", a + b, {"05/03", "15/11"}},
        {"empty date", a + "\"\",\"01\",\"00\",\"x\"\r\n" + b, {"05/03"}},
        {"date beginning with a letter", a + "\"x5/03\",\"01\",\"00\",\"x\"\r\n" + b, {"05/03"}},
        {"date with value zero", "\"00/03\",\"01\",\"00\",\"x\"\r\n" + a, {}},
        {"blank line before the next record", a + "\r\n" + b, {"05/03", "15/11"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(datesOf(parseRecurrences(c.bytes)), c.expected);
    }
}

TEST(Recurrence, DatesInAYearAndOverlongNumbers)
{
    const Recurrence r{"29/02", "12", "40", "x"};
    EXPECT_EQ(r.dateInYear(2000), QDate(2000, 2, 29));
    EXPECT_FALSE(r.dateInYear(2100).isValid());
    EXPECT_GT(leadingNumber(u"99999999999999999999/01"), 0);
}

class RecurrenceFilesTest : public ::testing::Test
{
protected:
    QString path(QStringView name) const { return m_dir.filePath(name.toString()); }
    QTemporaryDir m_dir;
};

TEST_F(RecurrenceFilesTest, WritesBothFilesAndReadsThemBack)
{
    const QString text = QString::fromUtf8("Compleanno di \"Nonno\" Niccolò, più torta");
    const QList<Recurrence> entered = {
        {" 15/11 ", "04", " 10", text + "  "},
        {"05/03", "01", "07", "Anna"},
    };
    ASSERT_TRUE(writeRecurrenceFiles(m_dir.path(), entered, 2029));

    const QByteArray stored = "Compleanno di \x94Nonno\x94 Niccol\xf2, pi\xf9 torta";
    EXPECT_EQ(readWholeFile(path(kEnteredRecurrencesFile)),
              "\"15/11\",\"04\",\"10\",\"" + stored + "\"\r\n"
              "\"05/03\",\"01\",\"07\",\"Anna\"\r\n");
    EXPECT_EQ(readWholeFile(path(kExpandedRecurrencesFile)),
              "\"15/11\",\"04\",\"10\",\"" + stored + "\"\r\n"
              "\"15/02\",\"04\",\"10\",\"" + stored + "\"\r\n"
              "\"15/05\",\"04\",\"10\",\"" + stored + "\"\r\n"
              "\"15/08\",\"04\",\"10\",\"" + stored + "\"\r\n"
              "\"05/03\",\"01\",\"07\",\"Anna\"\r\n");

    const QString readable = QString(text).replace(u'"', QChar(0x201D));
    const QList<Recurrence> back = readRecurrences(path(kEnteredRecurrencesFile));
    EXPECT_EQ(back, (QList<Recurrence>{{"15/11", "04", "10", readable}, {"05/03", "01", "07", "Anna"}}));
    EXPECT_EQ(readRecurrences(path(kExpandedRecurrencesFile)).size(), 5);
}

TEST_F(RecurrenceFilesTest, NoRecurrencesLeavesBothFilesEmpty)
{
    ASSERT_TRUE(writeRecurrenceFiles(m_dir.path(), {{"05/03", "01", "07", "Anna"}}, 2030));
    ASSERT_TRUE(writeRecurrenceFiles(m_dir.path(), {}, 2030));
    for (const QStringView name : {kEnteredRecurrencesFile, kExpandedRecurrencesFile}) {
        SCOPED_TRACE(name.toString().toStdString());
        EXPECT_TRUE(QFileInfo::exists(path(name)));
        EXPECT_EQ(QFileInfo(path(name)).size(), 0);
        EXPECT_TRUE(readRecurrences(path(name)).isEmpty());
    }
}

TEST_F(RecurrenceFilesTest, MissingFileHoldsNoRecurrencesAndFailedWritesAreReported)
{
    EXPECT_TRUE(readRecurrences(path(u"ricf.dat")).isEmpty());
    EXPECT_FALSE(writeRecurrenceFiles(path(u"absent"), {{"05/03", "01", "07", "Anna"}}, 2030));
}
