#include "launcher/recurrenceeditor.h"

#include <QDir>
#include <QLineEdit>
#include <QTimer>

#include "tests/launcher/launchertest.h"
#include "tests/support/keyboard.h"
#include "tests/support/registryrequests.h"

using namespace promemo;
using namespace promemo::launcher;
using namespace promemo::test;

namespace {

const QString kCaption = u"  Editor Ricorrenze"_qs;
const QByteArray kStored = "\"10/10\",\"01\",\"07\",\"Anniversario\"\r\n"
                           "\"05/03\",\"12\",\"00\",\"B\"\r\n"
                           "\"05/03\",\"01\",\"07\",\"A\"\r\n";
// kStored in 2031, sorted; two recurrences on the same day go by the rest of their entry.
const QStringList kStoredEntries{u"064   05/03  01  07   A"_qs, u"064   05/03  12  00   B"_qs,
                                 u"283   10/10  01  07   Anniversario"_qs};
const QByteArray kCapodanno = "\"01/01\",\"01\",\"00\",\"Capodanno\"\r\n";

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

// Typed text the files cannot hold is shown as they will hold it; the year is the clock's (2032,
// leap). The expansion and the leap rule are the recurrence files' own test.
TEST_F(RecurrenceEditorTest, TypingWalksTheBoxesEnterInsertsAndChiudiWritesBothFilesAsShown)
{
    fakes.clock.current = QDateTime(QDate(2032, 12, 31), QTime(23, 0));
    frmRicorrenze &w = open();
    // Neither a refused letter nor Backspace's digit counts.
    type(u"3"_qs);
    press(Qt::Key_Backspace);
    type(u"1a"_qs);
    ASSERT_EQ(fakes.messageBoxes.shown.size(), 1);
    EXPECT_TRUE(fakes.messageBoxes.shown[0].text.contains(u"solo numeri"_qs));
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
    QTest::keyClicks(w.txtRicorrenza(), u"Fine \"mese\" "_qs);
    for (const QString &key : {u"🎉"_qs, u"Ω"_qs})
        QTest::sendKeyEvent(QTest::Click, w.txtRicorrenza(), Qt::Key_unknown, key, Qt::NoModifier);
    press(Qt::Key_Return);
    press(Qt::Key_Return);
    EXPECT_EQ(w.entries(), QStringList{u"320   15/11  04  10   Fine \"mese\" ??"_qs});
    EXPECT_EQ(shown(), RecurrenceForm::empty());
    EXPECT_EQ(focused(), w.txtData(0));

    type(u"31011200"_qs);
    QTest::keyClicks(w.txtRicorrenza(), u" Rata "_qs);
    w.cmdOk()->click();
    EXPECT_EQ(fakes.messageBoxes.shown.size(), 1);
    closeWith(window->cmdChiudi());
    const QByteArray rata = "\",\"12\",\"00\",\"Rata\"\r\n";
    EXPECT_EQ(dir.read(u"rico.dat"_qs), "\"31/01" + rata + "\"15/11\",\"04\",\"10\",\"Fine \x94mese\x94 ??\"\r\n");
    const QByteArray expanded = dir.read(u"ricf.dat"_qs);
    EXPECT_EQ(expanded.count('\n'), 12 + 4);
    EXPECT_TRUE(expanded.contains("\"29/02" + rata)) << expanded.constData();
    // The stored quote comes back as typed, in one field.
    EXPECT_EQ(open().entries().back(), u"320   15/11  04  10   Fine ”mese” ??"_qs);
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
    EXPECT_EQ(w.entries(), QStringList{u"120   30/04  01  07   Affitto"_qs});
}

TEST_F(RecurrenceEditorTest, PickingAsksBeforeOverwritingReinsertingPutsTheEntryBackAndCloseKeepsFiles)
{
    dir.put(u"rico.dat"_qs, kStored);
    frmRicorrenze &w = open();
    EXPECT_EQ(w.entries(), kStoredEntries);
    pick(2);
    EXPECT_EQ(shown(), boxes("10|10|01|07|Anniversario"));
    EXPECT_EQ(w.entries(), kStoredEntries.mid(0, 2));
    EXPECT_EQ(focused(), w.txtData(0));

    // The form holds data: No keeps both the form and the list; Yes puts the picked entry in
    // the form, whose recurrence is lost.
    fakes.messageBoxes.answers = {MessageAnswer::No, MessageAnswer::Yes};
    pick(0);
    EXPECT_EQ(shown().text, u"Anniversario"_qs);
    EXPECT_EQ(w.entries(), kStoredEntries.mid(0, 2));
    pick(0);
    EXPECT_EQ(shown(), boxes("05|03|01|07|A"));
    EXPECT_EQ(w.entries(), kStoredEntries.mid(1, 1));
    // Closing with a picked recurrence in the form is refused.
    w.cmdChiudi()->click();
    ASSERT_EQ(fakes.messageBoxes.shown.size(), 3);
    EXPECT_EQ(fakes.messageBoxes.shown[0].buttons, MessageButtons::YesNo);
    EXPECT_TRUE(fakes.messageBoxes.shown[2].text.contains(u"Prima di chiudere la finestra"_qs));
    QApplication::processEvents();
    ASSERT_TRUE(window);
    w.cmdOk()->click();
    EXPECT_EQ(w.entries(), kStoredEntries.mid(0, 2));

    // Closed otherwise than by "Chiudi", it writes nothing.
    test::postClose(registry, kCaption);
    EXPECT_TRUE(QTest::qWaitFor([this] { return window.isNull(); }, 2000));
    EXPECT_EQ(dir.files(u"ric*.dat"_qs), QStringList{u"rico.dat"_qs});
    EXPECT_EQ(dir.read(u"rico.dat"_qs), kStored);
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
    EXPECT_EQ(w.entries(), (QStringList{kStoredEntries[0], kStoredEntries[1], u"110   20/04  01  07   Anniversario"_qs}));
}

// Records the list cannot show (a date that does not begin with a digit, none at all) do not
// hide the good ones after them, and Chiudi keeps them in rico.dat byte for byte, after the
// records it wrote; ricf.dat has the occurrences of the good ones, which every reader sees.
TEST_F(RecurrenceEditorTest, DamagedRecordsHideNothingAndChiudiKeepsThemAsTheyWere)
{
    const QByteArray first = "\"05/03\",\"01\",\"07\",\"A\"\r\n";
    const QByteArray damaged = "\"x5/04\",\"01\",\"07\",\"Rotto\"\r\n";
    const QByteArray undated = "  ,\"senza\r\ndata\"\n";
    const QByteArray last = "\"10/10\",\"02\",\"07\",\"Anniversario\"";
    dir.put(u"rico.dat"_qs, first + damaged + "\r\n" + undated + last);
    frmRicorrenze &w = open();
    EXPECT_EQ(w.entries(), (QStringList{kStoredEntries[0], u"283   10/10  02  07   Anniversario"_qs}));
    closeWith(w.cmdChiudi());
    EXPECT_EQ(dir.read(u"rico.dat"_qs), first + last + "\r\n" + damaged + undated);
    EXPECT_EQ(dir.read(u"ricf.dat"_qs), first + last + "\r\n" + QByteArray(last).replace("10/10", "10/04") + "\r\n");
}

// A failure leaves both files as they were, so that no reader sees half of the change.
TEST_F(RecurrenceEditorTest, FailedWriteIsReportedLeavesBothFilesAndKeepsTheWorkUntilItSucceeds)
{
    dir.put(u"rico.dat"_qs, kCapodanno);
    open();
    type(u"05030107"_qs);
    QTest::keyClicks(window->txtRicorrenza(), u"Festa"_qs);
    window->cmdOk()->click();
    // A folder in the file's place makes the write fail.
    ASSERT_TRUE(QDir(dir.path()).mkdir(u"ricf.dat"_qs));
    window->cmdChiudi()->click();
    QApplication::processEvents();
    ASSERT_TRUE(window);
    ASSERT_EQ(fakes.messageBoxes.shown.size(), 1);
    EXPECT_TRUE(fakes.messageBoxes.shown[0].text.contains(u"ricf.dat"_qs));
    EXPECT_EQ(dir.read(u"rico.dat"_qs), kCapodanno);
    // Nothing is left of the attempt.
    EXPECT_EQ(dir.files(u"*"_qs).filter(u"ric"_qs), QStringList{u"rico.dat"_qs});

    ASSERT_TRUE(QDir(dir.path()).rmdir(u"ricf.dat"_qs));
    closeWith(window->cmdChiudi());
    const QByteArray both = kCapodanno + "\"05/03\",\"01\",\"07\",\"Festa\"\r\n";
    EXPECT_EQ(std::pair(dir.read(u"rico.dat"_qs), dir.read(u"ricf.dat"_qs)), std::pair(both, both));
}

} // namespace
