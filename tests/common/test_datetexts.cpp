#include "common/datetexts.h"
#include "common/daynumber.h"

#include <utility>

#include <gtest/gtest.h>

namespace promemo {
namespace {

TEST(DayNumber, CountsDaysBothWaysAcrossLeapDaysCenturiesAndTheFifthDigit)
{
    const std::pair<QDate, int> cases[] = {
        {QDate(1999, 12, 31), -1},    {QDate(2000, 2, 29), 59},     {QDate(2000, 3, 1), 60},
        {QDate(2026, 12, 5), 9835},   {QDate(2027, 5, 18), 9999},   {QDate(2027, 5, 19), 10000},
        // 2100 is not a leap year, 2400 is
        {QDate(2100, 3, 1), 36584},   {QDate(2400, 2, 29), 146156}, {QDate(2400, 3, 1), 146157},
    };
    for (const auto &[date, day] : cases) {
        EXPECT_EQ(dayNumber(date), day) << date.toString(Qt::ISODate).toStdString();
        EXPECT_EQ(dateOfDayNumber(day), date) << day;
    }
}

TEST(DateTexts, WritesFixedFormsAndTheItalianLongDate)
{
    const QDateTime saved(QDate(2026, 12, 5), QTime(21, 44, 4));
    EXPECT_EQ(dateText(saved.date()), QStringLiteral("05/12/2026"));
    EXPECT_EQ(timeText(QTime(9, 30, 59)), QStringLiteral("09.30"));
    EXPECT_EQ(changedText(saved), QStringLiteral("05/12/2026 21.44"));
    EXPECT_EQ(longDateText(saved.date()), QStringLiteral("sabato 5 dicembre 2026"));
    EXPECT_EQ(longDateText(QDate(2100, 3, 1)), QStringLiteral("lunedì 1 marzo 2100"));
    EXPECT_EQ(monthYearText(saved.date()), QStringLiteral("dicembre 2026"));
    EXPECT_EQ(alertText(570), QStringLiteral("09.30"));
    // 00.00 means no alert and is never written
    EXPECT_EQ(alertText(noAlert), QString());
}

TEST(DateTexts, ParsesWhatItWritesAndNothingElse)
{
    const QDateTime changed(QDate(2031, 7, 9), QTime(8, 5));
    EXPECT_EQ(parseChangedText(changedText(changed)), changed);
    EXPECT_EQ(parseDateText(u"29/02/2400"), QDate(2400, 2, 29));
    EXPECT_EQ(parseAlertText(u"23.59"), 1439);
    EXPECT_EQ(parseAlertText(u"00.00"), noAlert);
    EXPECT_EQ(parseAlertText(u""), noAlert);
    for (const char16_t *text : {u"5/12/2026", u"05-12-2026", u"00/12/2026", u"05/13/2026",
                                 u"29/02/2100", u"05/12/+026", u"٠٥/12/2026"})
        EXPECT_FALSE(parseDateText(text)) << QString::fromUtf16(text).toStdString();
    for (const char16_t *text : {u"9.30", u"09:30", u"24.00", u"09.60", u"-1.30"})
        EXPECT_FALSE(parseTimeText(text)) << QString::fromUtf16(text).toStdString();
    EXPECT_FALSE(parseChangedText(u"05/12/2026x21.44"));
}

} // namespace
} // namespace promemo
