#include "launcher/recurrenceeditor.h"

#include <QLineEdit>
#include <QTimer>

#include "tests/launcher/launchertest.h"
#include "tests/support/keyboard.h"

using namespace promemo;
using namespace promemo::launcher;
using namespace promemo::test;

namespace {

const QByteArray kStored = "\"10/10\",\"01\",\"07\",\"Anniversario\"\r\n"
                           "\"05/03\",\"12\",\"00\",\"B\"\r\n"
                           "\"05/03\",\"01\",\"07\",\"A\"\r\n";
// kStored in 2031, sorted; two recurrences on the same day go by the rest of their entry.
const QStringList kStoredEntries{u"064   05/03  01  07   A"_qs, u"064   05/03  12  00   B"_qs,
                                 u"283   10/10  01  07   Anniversario"_qs};

// The five boxes of the form, "day|month|occurrences|alert|text".
RecurrenceForm boxes(const char *texts)
{
    const QStringList f = QString::fromUtf8(texts).split(u'|');
    return {f[0], f[1], f[2], f[3], f[4]};
}

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
    RecurrenceForm shown() const
    {
        return {window->txtData(0)->text(), window->txtData(1)->text(), window->txtData(2)->text(),
                window->txtAlert()->text(), window->txtRicorrenza()->text()};
    }
    QStringList listed() const
    {
        QStringList texts;
        for (int row = 0; row < window->List1()->count(); ++row)
            texts.append(window->List1()->item(row)->text());
        return texts;
    }
    void pick(int row) const { clickRow(window->List1(), row); }

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
    bool activeAgain() const
    {
        return QTest::qWaitFor([this] { return window->isActiveWindow(); });
    }

    QWidget box;
};

// Keys reach the box that has the focus, and what the boxes show goes into the list and the
// files: typed text the files cannot hold is shown as they will hold it. The flows are the
// session's test.
TEST_F(RecurrenceEditorTest, TypingWalksTheBoxesEnterInsertsAndChiudiWritesWhatIsShown)
{
    frmRicorrenze &w = open();
    // Neither a refused letter nor Backspace's digit counts.
    type(u"3"_qs);
    press(Qt::Key_Backspace);
    type(u"1a"_qs);
    ASSERT_EQ(fakes.messageBoxes.shown.size(), 1);
    EXPECT_EQ(focused(), w.txtData(0));
    // A real message box takes the activation and gives it back: the digit typed stays.
    box.show();
    QApplication::setActiveWindow(&box);
    QApplication::setActiveWindow(&w);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    type(u"5"_qs);
    EXPECT_EQ(focused(), w.txtData(1));
    type(u"110410"_qs);
    ASSERT_EQ(focused(), w.txtRicorrenza());
    QTest::keyClicks(w.txtRicorrenza(), u"Fine \"mese\""_qs);
    for (const QString &key : {u"🎉"_qs, u"Ω"_qs})
        QTest::sendKeyEvent(QTest::Click, w.txtRicorrenza(), Qt::Key_unknown, key, Qt::NoModifier);
    press(Qt::Key_Return);
    press(Qt::Key_Return);
    EXPECT_EQ(std::tuple(listed(), shown(), focused()),
              std::tuple(QStringList{u"319   15/11  04  10   Fine \"mese\"??"_qs}, RecurrenceForm::empty(), (QWidget *)w.txtData(0)));
    closeWith(window->cmdChiudi());
    EXPECT_EQ(dir.read(u"rico.dat"_qs), "\"15/11\",\"04\",\"10\",\"Fine \x94mese\x94??\"\r\n");
}

// A real box holds the activation while it shows; the editor gets it back only after the
// check has put the focus in the field at fault. What each check refuses is the entry rules' test.
TEST_F(RecurrenceEditorTest, AfterARefusalTheFieldAtFaultTakesNewDigitsAndMovesOn)
{
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
    type(u"31"_qs);
    EXPECT_EQ(focused(), w.txtData(1));
    ASSERT_TRUE(ok()); // April has 30 days
    type(u"30"_qs);
    EXPECT_EQ(focused(), w.txtData(1));
    ASSERT_TRUE(ok());
    EXPECT_EQ(fakes.messageBoxes.shown.size(), 2);
    EXPECT_EQ(listed(), QStringList{u"120   30/04  01  07   Affitto"_qs});
}

// After Sì over a form with data the day box is entered anew, also when the focus comes back
// with the window: the loaded day is selected and the digits typed next go in and move on.
TEST_F(RecurrenceEditorTest, AfterSiTheLoadedDayTakesNewDigitsAndMovesOn)
{
    dir.put(u"rico.dat"_qs, kStored);
    frmRicorrenze &w = open();
    boxesTakeTheActivation();
    type(u"15"_qs);
    ASSERT_EQ(focused(), w.txtData(1));
    pick(2);
    ASSERT_TRUE(activeAgain());
    ASSERT_EQ(fakes.messageBoxes.shown.size(), 1);
    EXPECT_EQ(std::pair(shown(), focused()), std::pair(boxes("10|10|01|07|Anniversario"), (QWidget *)w.txtData(0)));
    type(u"2004"_qs);
    EXPECT_EQ(std::pair(shown(), focused()), std::pair(boxes("20|04|01|07|Anniversario"), (QWidget *)w.txtData(2)));
    QTest::mouseClick(w.cmdOk(), Qt::LeftButton);
    EXPECT_EQ(listed(), (QStringList{kStoredEntries[0], kStoredEntries[1], u"110   20/04  01  07   Anniversario"_qs}));
}

} // namespace
