#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QTest>

#include <gtest/gtest.h>

#include "note/alertsetup.h"
#include "note/alertvalidation.h"
#include "tests/support/fakes.h"
#include "tests/support/fakewindowregistry.h"
#include "tests/support/keyboard.h"

using namespace promemo;
using namespace promemo::note;
using namespace promemo::test;

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

struct FakeNote final : AlertSetupNote
{
    NoteSize noteSize() const override { return NoteSize::Normal; }
    QRect geometryTwips() const override { return {1500, 1500, 2895, 2100}; }
    QDate noteDate() const override { return date; }
    QString alertText() const override { return label; }
    int alertMinutes() const override { return minutes; }
    void setNoteDate(QDate d) override { date = d; }
    void setAlertMinutes(int m) override { minutes = m; }
    void armAlert(const QString &text) override { label = text, ++armed; }
    void saveChangedAlert() override { ++saves; }
    void alertSetupClosed(bool c) override { closed.push_back(c); }

    QDate date = kToday.addDays(1);
    QString label = "08.15";
    int minutes = 8 * 60 + 15, armed = 0, saves = 0;
    std::vector<bool> closed;
};

class AlertSetupWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        fakes.clock.current = QDateTime(kToday, QTime(10, 30));
        dialog = new AlertSetupDialog(note, fakes.services());
        dialog->showForNote();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
    }
    void TearDown() override { delete dialog.data(); }

    QLineEdit *box(int i) const { return dialog->findChildren<QLineEdit *>().at(i); }
    bool gone() { return QTest::qWaitFor([&] { return dialog.isNull(); }, 500); }

    test::FakeWindowRegistry windows;
    test::FakeServices fakes{windows};
    FakeNote note;
    QPointer<AlertSetupDialog> dialog;
};

TEST_F(AlertSetupWindow, KeyboardWalksTheBoxes)
{
    press(Qt::Key_Left);
    EXPECT_EQ(focused(), box(MinutesBox));
    type("45");
    EXPECT_EQ(focused()->objectName(), "cmdOk");
    QTest::mouseClick(box(DayBox), Qt::LeftButton);
    type("x");
    EXPECT_EQ(fakes.messageBoxes.shown, (QList<Message>{{" Alert error", "Puoi introdurre solo numeri    "}}));
    EXPECT_EQ(std::pair(box(DayBox)->text(), focused()), std::pair(QString("16"), (QWidget *)box(DayBox)));
}

TEST_F(AlertSetupWindow, RefusalKeepsTheAppliedDateUntilOkPassesAndSaves)
{
    type("17");
    press(Qt::Key_Tab);
    type("24");
    press(Qt::Key_Return);
    press(Qt::Key_Return);
    EXPECT_EQ(fakes.messageBoxes.shown.back().text, "Non si può introdurre un valore maggiore di 23.59    ");
    EXPECT_EQ(std::tuple(focused(), note.date, note.armed + note.saves + note.closed.size()),
              std::tuple((QWidget *)box(HoursBox), kToday.addDays(2), 0));

    type("0930");
    press(Qt::Key_Return);
    EXPECT_TRUE(gone());
    EXPECT_EQ(std::tuple(note.label, note.minutes, note.saves), std::tuple("09.30", 9 * 60 + 30, 1));
    EXPECT_EQ(note.closed, std::vector<bool>{false});
}

TEST_F(AlertSetupWindow, OkWithoutChangeClosesWithoutSaving)
{
    QTest::mouseClick(dialog->findChild<QWidget *>("cmdOk"), Qt::LeftButton);
    EXPECT_TRUE(gone());
    EXPECT_EQ(std::tuple(note.armed, note.saves), std::tuple(1, 0));
}

} // namespace
