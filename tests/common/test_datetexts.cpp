#include "common/datetexts.h"

#include <gtest/gtest.h>

#include <ostream>

inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace promemo {
namespace {

TEST(DateTexts, WritesTheFixedForms)
{
    EXPECT_EQ(dateText(QDate(2026, 12, 5)), u"05/12/2026");
    EXPECT_EQ(dateText(QDate(2104, 2, 29)), u"29/02/2104");
    EXPECT_EQ(timeText(QTime(9, 30)), u"09.30");
    EXPECT_EQ(timeText(QTime(0, 0)), u"00.00");
    EXPECT_EQ(timeText(QTime(23, 59, 59)), u"23.59");
    EXPECT_EQ(changedText(QDateTime(QDate(2026, 12, 5), QTime(21, 44, 4))), u"05/12/2026 21.44");
}

TEST(DateTexts, WritesItalianLongDates)
{
    EXPECT_EQ(longDateText(QDate(2026, 12, 5)), u"sabato 5 dicembre 2026");
    EXPECT_EQ(longDateText(QDate(2100, 3, 1)), u"lunedì 1 marzo 2100");
    EXPECT_EQ(monthYearText(QDate(2026, 12, 5)), u"dicembre 2026");
}

TEST(DateTexts, ParsesWhatItWrites)
{
    for (QDate date = QDate(2027, 1, 1); date.year() == 2027; date = date.addDays(1))
        ASSERT_EQ(parseDateText(dateText(date)), date);
    for (int minute = 0; minute < minutesPerDay; ++minute) {
        const QTime time = QTime(0, 0).addSecs(minute * 60);
        ASSERT_EQ(parseTimeText(timeText(time)), time);
    }
    const QDateTime changed(QDate(2031, 7, 9), QTime(8, 5));
    EXPECT_EQ(parseChangedText(changedText(changed)), changed);
}

TEST(DateTexts, RefusesMalformedDates)
{
    for (const char *text : {"", "5/12/2026", "05/12/26", "05-12-2026", "05/12/2026 ", " 05/12/2026",
                             "32/12/2026", "00/12/2026", "05/13/2026", "05/00/2026",
                             "29/02/2100", "29/02/2027", "0a/12/2026", "05/12/+026",
                             "05/12/-026", "05/12/20265"})
        EXPECT_FALSE(parseDateText(QString::fromLatin1(text))) << text;
    // Non-ASCII digits look like digits to QChar::isDigit.
    EXPECT_FALSE(parseDateText(u"٠٥/12/2026"));
    EXPECT_EQ(parseDateText(u"29/02/2000"), QDate(2000, 2, 29));
    EXPECT_EQ(parseDateText(u"29/02/2400"), QDate(2400, 2, 29));
}

TEST(DateTexts, RefusesMalformedTimes)
{
    for (const char *text : {"", "9.30", "09:30", "09.3", "24.00", "09.60", "-1.30", "09.30 ",
                             " 9.30", "0x.30", "09,30", "099.30"})
        EXPECT_FALSE(parseTimeText(QString::fromLatin1(text))) << text;
    for (const char *text : {"05/12/2026 9.30", "05/12/202621.44", "05/12/2026  21.44",
                             "31/11/2026 21.44", "05/12/2026 21.60"})
        EXPECT_FALSE(parseChangedText(QString::fromLatin1(text))) << text;
}

TEST(DateTexts, AlertMinutesAndTheirText)
{
    struct Case
    {
        const char16_t *text;
        int minutes;
    };
    for (const Case &c : {Case{u"09.30", 570}, Case{u"08.15", 495}, Case{u"00.01", 1},
                          Case{u"23.59", 1439}, Case{u"12.00", 720}}) {
        EXPECT_EQ(alertText(c.minutes), QStringView(c.text));
        EXPECT_EQ(parseAlertText(c.text), c.minutes);
    }
    EXPECT_EQ(alertMinutes(QTime(9, 30, 59)), 570);
    // 00.00 is no alert: it is never written as a time.
    EXPECT_EQ(alertText(noAlert), u"");
    EXPECT_EQ(parseAlertText(u""), noAlert);
    EXPECT_EQ(parseAlertText(u"00.00"), noAlert);
    EXPECT_EQ(alertText(minutesPerDay), u"");
    EXPECT_EQ(alertText(-5), u"");
    EXPECT_FALSE(parseAlertText(u"9.30"));
    EXPECT_FALSE(parseAlertText(u" "));
}

} // namespace
} // namespace promemo
