#include "note/core/alertvalidation.h"

#include <tuple>

#include <gtest/gtest.h>

using namespace promemo::note;

namespace {

// A summer day of a common year, a leap year next.
const QDate kToday(2027, 6, 15);
constexpr int kNow = 10 * 60 + 30;

// Refusal (message, focus) or acceptance (alert label), and what the note got either way.
struct Case { AlertBoxes boxes; const char *message; int focusOrNothing = DayBox; std::optional<QDate> date{};
              std::optional<int> alertMinutes{}; const char *alertText = ""; };

TEST(AlertValidation, ChecksRunInOrderAndTheFirstRefusalWins)
{
    const Case cases[] = {
        {{"31", "04", "27", "", ""}, "    Il mese ha 30 giorni      "},
        {{"29", "02", "28", "", ""}, "", 0, QDate(2028, 2, 29), 0},
        {{"29", "02", "27", "", ""}, "    Il mese ha 28 giorni       "},
        // 2000 is a leap year: only the year check refuses it.
        {{"29", "02", "00", "", ""}, "  Anno inferiore all'attuale    ", YearBox},
        {{"31", "13", "27", "", ""}, "  Hai inserito un anno di 13 mesi    ", MonthBox},
        {{"01", "00", "28", "", ""}, "   Non hai inserito il mese    ", MonthBox},
        {{"1", "7", "28", "", ""}, "", 0, QDate(2028, 7, 1), 0},
        {{"14", "06", "27", "10", "00"}, "   Hai inserito una data inferiore alla attuale    "},
        {{"16", "06", "27", "24", "00"}, "Non si può introdurre un valore maggiore di 23.59    ",
         HoursBox, kToday.addDays(1)},
        {{"16", "06", "27", "23", "60"}, "Non si può introdurre un valore maggiore di 59    ",
         MinutesBox, kToday.addDays(1)},
        // The current minute of today is still ahead; the one before is past.
        {{"15", "06", "27", "10", "29"}, "   Hai inserito un' ora inferiore alla attuale    ",
         HoursBox, kToday, 0},
        {{"15", "06", "27", "10", "30"}, "", 0, kToday, kNow, "10.30"},
        {{"15", "06", "27", "00", "00"}, "", 0, kToday, 0},
    };
    for (const Case &c : cases) {
        const AlertValidation result = validateAlertSetup(c.boxes, kToday, kNow);
        EXPECT_EQ(std::tuple(result.message, result.accepted() ? 0 : result.focus, result.date,
                             result.alertMinutes, result.alertText),
                  std::tuple(QString(c.message), c.focusOrNothing, c.date, c.alertMinutes, QString(c.alertText)))
            << QStringList(c.boxes.begin(), c.boxes.end()).join(u' ').toStdString();
    }
    // A past date puts today in the date boxes.
    EXPECT_EQ(validateAlertSetup({"14", "06", "27", "10", "00"}, kToday, kNow).boxes,
              (AlertBoxes{"15", "06", "27", "10", "00"}));
}

} // namespace
