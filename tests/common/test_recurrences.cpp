#include "common/recurrences.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "common/atomicfile.h"

using namespace promemo;

static QStringList datesOf(const QList<Recurrence> &records)
{
    QStringList dates;
    for (const Recurrence &r : records)
        dates.append(r.date);
    return dates;
}

TEST(ExpandRecurrence, StepsFromTheEnteredMonthWrapsAndCutsDaysToTheMonth)
{
    const QStringList common = {"31/01", "28/02", "31/03", "30/04", "31/05", "30/06",
                                "31/07", "31/08", "30/09", "31/10", "30/11", "31/12"};
    const QStringList leap = QStringList(common).replaceInStrings("28/02", "29/02");
    // date, occurrences a year, year, dates
    const QList<std::tuple<QString, QString, int, QStringList>> cases = {
        {"15/11", "04", 2026, {"15/11", "15/02", "15/05", "15/08"}},
        {"31/01", "12", 2027, common},
        {"31/01", "12", 2028, leap},
        {"31/01", "12", 2100, common},
        {"31/01", "12", 2000, leap},
        {"30/08", "02", 2099, {"30/08", "28/02"}},
        {"30/08", "02", 2096, {"30/08", "29/02"}},
    };
    for (const auto &[date, perYear, year, expected] : cases)
        EXPECT_EQ(datesOf(expandRecurrence({date, perYear, "07", "Affitto"}, year)), expected)
            << date.toStdString() << " in " << year;
}

TEST(ParseRecurrences, StopsAtTheFirstDateWithoutANonZeroNumber)
{
    const QByteArray a = "\"05/03\",\"01\",\"07\",\"Anna\"\r\n";
    const QByteArray b = "\"99999999999999999999/11\",\"04\",\"00\",\"Bollo\"\r\n";
    const QList<std::pair<QByteArray, QStringList>> cases = {
        {a + "\r\n" + b, {"05/03", "99999999999999999999/11"}},
        {a + "\"\",\"01\",\"00\",\"x\"\r\n" + b, {"05/03"}},
        {a + "\"x5/03\",\"01\",\"00\",\"x\"\r\n" + b, {"05/03"}},
        {"\"00/03\",\"01\",\"00\",\"x\"\r\n" + a, {}},
    };
    for (const auto &[bytes, expected] : cases)
        EXPECT_EQ(datesOf(parseRecurrences(bytes)), expected) << bytes.toStdString();
}

TEST(RecurrenceFiles, WriteStrippedFieldsAndNoneEmptiesBoth)
{
    const QTemporaryDir dir;
    const QString entered = dir.filePath(kEnteredRecurrencesFile.toString());
    const QString expanded = dir.filePath(kExpandedRecurrencesFile.toString());
    ASSERT_TRUE(writeRecurrenceFiles(dir.path(), {{" 05/03 ", "01", " 10", "Da \"Nonno\"  "}}, 2099));
    const QByteArray stored = "\"05/03\",\"01\",\"10\",\"Da \x94Nonno\x94\"\r\n";
    EXPECT_EQ(readWholeFile(entered), stored);
    EXPECT_EQ(readWholeFile(expanded), stored);
    ASSERT_TRUE(writeRecurrenceFiles(dir.path(), {}, 2099));
    EXPECT_EQ(readWholeFile(entered) + readWholeFile(expanded), QByteArray());
}
