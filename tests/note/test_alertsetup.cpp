#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QTest>

#include <gtest/gtest.h>

#include "note/alertsetup.h"
#include "note/core/alertvalidation.h"
#include "tests/support/fakes.h"
#include "tests/support/fakewindowregistry.h"
#include "tests/support/keyboard.h"

using namespace promemo;
using namespace promemo::note;
using namespace promemo::test;

namespace {

const QDate kToday(2027, 6, 15);

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
