#include "common/datetexts.h"

#include <gtest/gtest.h>

namespace promemo {
namespace {

TEST(DateTexts, WritesTheSuitesForms)
{
    const QDateTime saved(QDate(2026, 12, 5), QTime(21, 44, 4));
    EXPECT_EQ(dateText(saved.date()), QStringLiteral("05/12/2026"));
    EXPECT_EQ(timeText(QTime(9, 30, 59)), QStringLiteral("09.30"));
    EXPECT_EQ(changedText(saved), QStringLiteral("05/12/2026 21.44"));
    EXPECT_EQ(longDateText(saved.date()), QStringLiteral("sabato 5 dicembre 2026"));
    EXPECT_EQ(longDateText(QDate(2100, 3, 1)), QStringLiteral("lunedì 1 marzo 2100"));
    EXPECT_EQ(monthYearText(saved.date()), QStringLiteral("dicembre 2026"));
}

TEST(DateTexts, ParsesWhatItWritesAndNothingElse)
{
    for (QDate date(2027, 1, 1); date.year() == 2027; date = date.addDays(1))
        ASSERT_EQ(parseDateText(dateText(date)), date);
    for (int minute = 0; minute < minutesPerDay; ++minute) {
        const QTime time = QTime(0, 0).addSecs(minute * 60);
        ASSERT_EQ(parseTimeText(timeText(time)), time);
    }
    EXPECT_EQ(parseDateText(u"29/02/2400"), QDate(2400, 2, 29));
    const QDateTime changed(QDate(2031, 7, 9), QTime(8, 5));
    EXPECT_EQ(parseChangedText(changedText(changed)), changed);

    for (const char16_t *text : {u"", u"5/12/2026", u"05/12/26", u"05-12-2026", u" 05/12/2026",
                                 u"05/12/2026 ", u"32/12/2026", u"00/12/2026", u"05/13/2026",
                                 u"29/02/2100", u"29/02/2027", u"05/12/+026", u"٠٥/12/2026"})
        EXPECT_FALSE(parseDateText(text)) << QString::fromUtf16(text).toStdString();
    for (const char16_t *text : {u"9.30", u"09:30", u"24.00", u"09.60", u"-1.30", u"09.30 ",
                                 u"0x.30", u"099.30"})
        EXPECT_FALSE(parseTimeText(text)) << QString::fromUtf16(text).toStdString();
    for (const char16_t *text : {u"05/12/2026 9.30", u"05/12/202621.44", u"31/11/2026 21.44"})
        EXPECT_FALSE(parseChangedText(text)) << QString::fromUtf16(text).toStdString();
}

TEST(DateTexts, AlertMinutesAndTheirText)
{
    struct Case
    {
        QString text;
        int minutes;
    };
    for (const Case &c : {Case{"09.30", 570}, Case{"00.01", 1}, Case{"23.59", 1439}}) {
        EXPECT_EQ(alertText(c.minutes), c.text);
        EXPECT_EQ(parseAlertText(c.text), c.minutes);
    }
    // 00.00 means no alert and is never written.
    EXPECT_EQ(alertText(noAlert), QString());
    EXPECT_EQ(parseAlertText(u""), noAlert);
    EXPECT_EQ(parseAlertText(u"00.00"), noAlert);
    EXPECT_EQ(alertText(minutesPerDay), QString());
    EXPECT_FALSE(parseAlertText(u"9.30"));
}

} // namespace
} // namespace promemo
