#include "launcher/recurrenceeditor.h"

#include <QLineEdit>
#include <QTimer>

#include "tests/launcher/launchertest.h"
#include "tests/support/keyboard.h"

using namespace promemo;
using namespace promemo::launcher;
using namespace promemo::test;

namespace {

struct RecurrenceEditorTest : WindowTest<frmRicorrenze>
{
    RecurrenceEditorTest() { fakes.clock.current = QDateTime(QDate(2031, 6, 15), QTime(9, 0)); }

    frmRicorrenze &open()
    {
        window = new frmRicorrenze(fakes.services());
        QApplication::setActiveWindow(window);
        EXPECT_TRUE(QTest::qWaitForWindowActive(window));
        return *window;
    }
    // The boxes, "day|month|occurrences|alert|text".
    QString shown() const
    {
        return QStringList{window->txtData(0)->text(), window->txtData(1)->text(), window->txtData(2)->text(),
                           window->txtAlert()->text(), window->txtRicorrenza()->text()}.join(u'|');
    }
    // Each message box takes the activation while it shows, as a real one does, and the editor
    // gets it back only after the handler that asked has run on.
    void boxesTakeTheActivation()
    {
        box.show();
        // As on the desktop, the activation reaches the window once more after it opened.
        ASSERT_TRUE(activate(&box));
        ASSERT_TRUE(activate(window));
        fakes.messageBoxes.onShow = [this](const Message &) {
            activate(&box);
            QTimer::singleShot(0, window, [this] { activate(window); });
        };
    }
    static bool activate(QWidget *target)
    {
        target->activateWindow();
        return QTest::qWaitForWindowActive(target);
    }
    bool activeAgain() const { return QTest::qWaitFor([this] { return window->isActiveWindow(); }); }

    QWidget box;
};

// Keys reach the box that has the focus, and what the boxes show goes into the list: typed
// text the files cannot hold is shown as they will hold it. The flows, and what Chiudi writes,
// are the session's test.
TEST_F(RecurrenceEditorTest, TypingWalksTheBoxesEnterInsertsWhatIsShownAndChiudiCloses)
{
    frmRicorrenze &w = open();
    boxesTakeTheActivation();
    // Neither a refused letter nor Backspace's digit counts, and the digit typed stays when
    // the message box gives the activation back.
    type(u"3"_qs);
    press(Qt::Key_Backspace);
    type(u"1a"_qs);
    ASSERT_TRUE(activeAgain());
    EXPECT_EQ(std::pair(fakes.messageBoxes.shown.size(), focused()), std::pair(qsizetype(1), (QWidget *)w.txtData(0)));
    // The second digit of each box moves on: the entry shows where each pair went.
    type(u"5110410"_qs);
    ASSERT_EQ(focused(), w.txtRicorrenza());
    QTest::keyClicks(w.txtRicorrenza(), u"Fine \"mese\""_qs);
    for (const QString &key : {u"🎉"_qs, u"Ω"_qs})
        QTest::sendKeyEvent(QTest::Click, w.txtRicorrenza(), Qt::Key_unknown, key, Qt::NoModifier);
    press(Qt::Key_Return);
    press(Qt::Key_Return);
    ASSERT_EQ(w.List1()->count(), 1);
    EXPECT_EQ(std::tuple(w.List1()->item(0)->text(), shown(), focused()),
              std::tuple(u"319   15/11  04  10   Fine \"mese\"??"_qs, u"00|00|01|07|"_qs, (QWidget *)w.txtData(0)));
    w.cmdChiudi()->click();
    EXPECT_TRUE(QTest::qWaitFor([this] { return window.isNull(); }, 2000));
}

// A real box holds the activation while it shows; the editor gets it back only after the
// refusal, or Sì over a form with data, has entered the field anew: the digits typed next replace
// its text and move on.
TEST_F(RecurrenceEditorTest, AfterARefusalOrSiTheFieldEnteredAnewTakesNewDigitsAndMovesOn)
{
    dir.put(u"rico.dat"_qs, "\"10/10\",\"01\",\"07\",\"Anniversario\"\r\n");
    frmRicorrenze &w = open();
    boxesTakeTheActivation();
    const auto ok = [&] {
        QTest::mouseClick(w.cmdOk(), Qt::LeftButton);
        return activeAgain();
    };
    type(u"00040107"_qs);
    QTest::keyClicks(w.txtRicorrenza(), u"Affitto"_qs);
    ASSERT_TRUE(ok()); // no day
    EXPECT_EQ(focused(), w.txtData(0));
    type(u"30"_qs);
    EXPECT_EQ(focused(), w.txtData(1));
    ASSERT_TRUE(ok());
    EXPECT_EQ(w.List1()->item(0)->text(), u"120   30/04  01  07   Affitto"_qs);

    type(u"15"_qs);
    clickRow(w.List1(), 1);
    ASSERT_TRUE(activeAgain());
    EXPECT_EQ(std::pair(fakes.messageBoxes.shown.size(), focused()), std::pair(qsizetype(2), (QWidget *)w.txtData(0)));
    type(u"2004"_qs);
    EXPECT_EQ(std::pair(shown(), focused()), std::pair(u"20|04|01|07|Anniversario"_qs, (QWidget *)w.txtData(2)));
}

} // namespace
