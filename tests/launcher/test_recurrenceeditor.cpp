#include "launcher/recurrenceeditor.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "common/programfolder.h"
#include "tests/support/fakes.h"
#include "tests/support/keyboard.h"
#include "tests/support/registryrequests.h"

using namespace promemo;
using namespace promemo::launcher;
using namespace promemo::test;

namespace {

const QString kCaption = u"  Editor Ricorrenze"_qs;
const QString kPlaceholder = u"             Nessuna ricorrenza inserita"_qs;
const Message kOnlyDigits{u" Editor error"_qs, u"Puoi introdurre solo numeri    "_qs,
                          MessageIcon::Warning, MessageButtons::Ok};
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

class RecurrenceEditorTest : public ::testing::Test, public test::ProgramFolderWithFakes
{
protected:
    RecurrenceEditorTest() { fakes.clock.current = QDateTime(QDate(2031, 6, 15), QTime(9, 0)); }
    ~RecurrenceEditorTest() override { delete window.data(); }

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
    void insert(const RecurrenceForm &form) const
    {
        const std::pair<QLineEdit *, QString> fields[] = {
            {window->txtData(0), form.day}, {window->txtData(1), form.month}, {window->txtData(2), form.perYear},
            {window->txtAlert(), form.advance}, {window->txtRicorrenza(), form.text}};
        for (const auto &[box, text] : fields)
            box->setText(text);
        window->cmdOk()->click();
    }
    void pick(int row) const
    {
        QListWidget *list = window->List1();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(row)).center());
    }
    void chiudiAndWaitForClose()
    {
        window->cmdChiudi()->click();
        EXPECT_TRUE(QTest::qWaitFor([this] { return window.isNull(); }, 2000));
    }

    QPointer<frmRicorrenze> window;
};

TEST_F(RecurrenceEditorTest, TwoDigitsWalkTheBoxesAndEnterInsertsFromTheButton)
{
    frmRicorrenze &w = open();
    EXPECT_EQ(w.entries(), QStringList{kPlaceholder});
    // Neither a refused letter nor Backspace's digit counts.
    type(u"3"_qs);
    press(Qt::Key_Backspace);
    type(u"1a"_qs);
    EXPECT_EQ(fakes.messageBoxes.shown, QList<Message>{kOnlyDigits});
    EXPECT_EQ(focused(), w.txtData(0));
    // A real message box takes the activation and gives it back: the digit typed stays.
    QWidget box;
    box.show();
    QApplication::setActiveWindow(&box);
    QApplication::setActiveWindow(&w);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    type(u"5"_qs);
    EXPECT_EQ(focused(), w.txtData(1));
    type(u"1104"_qs);
    EXPECT_EQ(focused(), w.txtAlert());
    type(u"10"_qs);
    EXPECT_EQ(focused(), w.txtRicorrenza());
    QTest::keyClicks(w.txtRicorrenza(), u"Rata"_qs);
    press(Qt::Key_Return);
    EXPECT_EQ(focused(), w.cmdOk());
    press(Qt::Key_Return);

    EXPECT_EQ(w.entries(), QStringList{u"319   15/11  04  10   Rata"_qs});
    EXPECT_EQ(shown(), RecurrenceForm::empty());
    EXPECT_EQ(focused(), w.txtData(0));
    EXPECT_EQ(fakes.messageBoxes.shown.size(), 1);
}

TEST_F(RecurrenceEditorTest, ArrowsAndEnterMoveByTheFocusPosition)
{
    frmRicorrenze &w = open();
    // Enter in a date box goes to the alert box with the position back at the day, so two
    // digits there move on to the month.
    press(Qt::Key_Return);
    EXPECT_EQ(focused(), w.txtAlert());
    type(u"12"_qs);
    EXPECT_EQ(focused(), w.txtData(1));

    const struct { QWidget *from; Qt::Key key; QWidget *to; } moves[] = {
        {w.txtData(1), Qt::Key_Up, w.txtData(0)},
        {w.txtData(0), Qt::Key_Left, w.txtRicorrenza()},
        {w.txtData(2), Qt::Key_Down, w.txtAlert()},
        {w.txtAlert(), Qt::Key_Left, w.txtData(2)},
        {w.txtAlert(), Qt::Key_Down, w.txtRicorrenza()},
        {w.txtRicorrenza(), Qt::Key_Up, w.txtAlert()},
        {w.txtRicorrenza(), Qt::Key_Right, w.cmdOk()},
        {w.List1(), Qt::Key_Left, w.txtRicorrenza()},
        {w.List1(), Qt::Key_Down, w.cmdOk()},
    };
    for (const auto &move : moves) {
        move.from->setFocus();
        press(move.key);
        EXPECT_EQ(focused(), move.to) << move.from->objectName().toStdString() << " " << move.key;
    }
}

// A real box holds the activation while it shows; the editor gets it back only after the
// check has put the focus in the field at fault.
TEST_F(RecurrenceEditorTest, AfterARefusalTheFieldAtFaultTakesNewDigitsAndMovesOn)
{
    frmRicorrenze &w = open();
    QWidget box;
    box.show();
    const auto takeActivation = [&box] {
        box.activateWindow();
        return QTest::qWaitForWindowActive(&box);
    };
    const auto giveBack = [&w] {
        w.activateWindow();
        return QTest::qWaitForWindowActive(&w);
    };
    // As on the desktop, the activation reaches the window once more after it opened.
    ASSERT_TRUE(takeActivation());
    ASSERT_TRUE(giveBack());
    fakes.messageBoxes.onShow = [&](const Message &) {
        takeActivation();
        QTimer::singleShot(0, &w, giveBack);
    };
    type(u"00040107"_qs);
    QTest::keyClicks(w.txtRicorrenza(), u"Affitto"_qs);
    QTest::mouseClick(w.cmdOk(), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.isActiveWindow(); }));
    EXPECT_EQ(focused(), w.txtData(0));
    type(u"31"_qs);
    EXPECT_EQ(focused(), w.txtData(1));
    QTest::mouseClick(w.cmdOk(), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.isActiveWindow(); }));
    ASSERT_EQ(fakes.messageBoxes.shown.size(), 2);
    EXPECT_EQ(fakes.messageBoxes.shown[0].text, u"   Non hai inserito il giorno     "_qs);
    EXPECT_EQ(fakes.messageBoxes.shown[1].text, u"    Il mese ha 30 giorni      "_qs);

    type(u"30"_qs);
    EXPECT_EQ(focused(), w.txtData(1));
    QTest::mouseClick(w.cmdOk(), Qt::LeftButton);
    EXPECT_EQ(w.entries(), QStringList{u"120   30/04  01  07   Affitto"_qs});
    chiudiAndWaitForClose();
    EXPECT_EQ(dir.read(u"rico.dat"_qs), "\"30/04\",\"01\",\"07\",\"Affitto\"\r\n");
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
    EXPECT_TRUE(fakes.messageBoxes.shown.isEmpty());

    // The form holds data: No keeps both the form and the list.
    fakes.messageBoxes.answers = {MessageAnswer::No, MessageAnswer::Yes};
    pick(0);
    ASSERT_EQ(fakes.messageBoxes.shown.size(), 1);
    EXPECT_EQ(fakes.messageBoxes.shown[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(shown().text, u"Anniversario"_qs);
    EXPECT_EQ(w.entries(), kStoredEntries.mid(0, 2));
    // Yes: the picked entry replaces the form, whose recurrence is lost.
    pick(0);
    EXPECT_EQ(shown(), boxes("05|03|01|07|A"));
    EXPECT_EQ(w.entries(), kStoredEntries.mid(1, 1));

    w.cmdOk()->click();
    EXPECT_EQ(w.entries(), kStoredEntries.mid(0, 2));
    EXPECT_EQ(fakes.messageBoxes.shown.size(), 2);

    // Closed otherwise than by "Chiudi", it writes nothing.
    test::postClose(registry, kCaption);
    EXPECT_TRUE(QTest::qWaitFor([this] { return window.isNull(); }, 2000));
    EXPECT_EQ(dir.read(u"rico.dat"_qs), kStored);
    EXPECT_FALSE(QFile::exists(dir.filePath(u"ricf.dat"_qs)));
}

TEST_F(RecurrenceEditorTest, PickingTheOnlyEntryLeavesThePlaceholderAndDeletingSavesEmptyFiles)
{
    dir.put(u"rico.dat"_qs, "\"01/01\",\"01\",\"00\",\"Capodanno\"\r\n");
    dir.put(u"ricf.dat"_qs, "\"01/01\",\"01\",\"00\",\"Capodanno\"\r\n");
    frmRicorrenze &w = open();
    pick(0);
    EXPECT_EQ(w.entries(), QStringList{kPlaceholder});
    // The placeholder cannot be picked: the focus goes to "Chiudi".
    pick(0);
    EXPECT_EQ(focused(), w.cmdChiudi());
    EXPECT_EQ(shown().text, u"Capodanno"_qs);

    // Closing with the picked recurrence in the form is refused.
    w.cmdChiudi()->click();
    ASSERT_EQ(fakes.messageBoxes.shown.size(), 1);
    EXPECT_TRUE(fakes.messageBoxes.shown[0].text.contains(u"Prima di chiudere la finestra"_qs));
    QApplication::processEvents();
    EXPECT_TRUE(window);
    EXPECT_EQ(dir.read(u"rico.dat"_qs), "\"01/01\",\"01\",\"00\",\"Capodanno\"\r\n");

    w.cmdAnnulla()->click();
    EXPECT_EQ(shown(), RecurrenceForm::empty());
    chiudiAndWaitForClose();
    EXPECT_EQ(dir.files(u"ric*.dat"_qs), (QStringList{u"ricf.dat"_qs, u"rico.dat"_qs}));
    EXPECT_EQ(dir.read(u"rico.dat"_qs) + dir.read(u"ricf.dat"_qs), QByteArray());
}

// The expansion and the leap rule are the recurrence files' own test; here the year is the
// clock's (2032, leap), and typed text the files cannot hold is shown as they will hold it.
TEST_F(RecurrenceEditorTest, ChiudiWritesBothFilesInTheCurrentYearAsShown)
{
    fakes.clock.current = QDateTime(QDate(2032, 12, 31), QTime(23, 0));
    frmRicorrenze &w = open();
    type(u"31011200"_qs);
    ASSERT_EQ(focused(), w.txtRicorrenza());
    QTest::keyClicks(w.txtRicorrenza(), u"Fine \"mese\" "_qs);
    for (const QString &key : {u"🎉"_qs, u"Ω"_qs})
        QTest::sendKeyEvent(QTest::Click, w.txtRicorrenza(), Qt::Key_unknown, key, Qt::NoModifier);
    EXPECT_EQ(w.txtRicorrenza()->text(), u"Fine \"mese\" ??"_qs);
    press(Qt::Key_Return);
    press(Qt::Key_Return);
    insert(boxes("15|11|04|10| Rata "));
    ASSERT_TRUE(fakes.messageBoxes.shown.isEmpty());
    chiudiAndWaitForClose();

    const QByteArray fine = "\",\"12\",\"00\",\"Fine \x94mese\x94 ??\"\r\n";
    EXPECT_EQ(dir.read(u"rico.dat"_qs), "\"31/01" + fine + "\"15/11\",\"04\",\"10\",\"Rata\"\r\n");
    const QByteArray expanded = dir.read(u"ricf.dat"_qs);
    EXPECT_EQ(expanded.count('\n'), 12 + 4);
    EXPECT_TRUE(expanded.contains("\"29/02" + fine)) << expanded.constData();

    // The stored quote comes back as typed, in one field.
    EXPECT_EQ(open().entries().front(), u"031   31/01  12  00   Fine ”mese” ??"_qs);
}

// A failure leaves both files as they were, so that no reader sees half of the change.
TEST_F(RecurrenceEditorTest, FailedWriteIsReportedLeavesBothFilesAndKeepsTheWorkUntilItSucceeds)
{
    const QByteArray capodanno = "\"01/01\",\"01\",\"00\",\"Capodanno\"\r\n";
    dir.put(u"rico.dat"_qs, capodanno);
    open();
    insert(boxes("05|03|01|07|Festa"));
    // A folder in the file's place makes the write fail.
    ASSERT_TRUE(QDir(dir.path()).mkdir(u"ricf.dat"_qs));
    window->cmdChiudi()->click();
    QApplication::processEvents();
    ASSERT_TRUE(window);
    ASSERT_EQ(fakes.messageBoxes.shown.size(), 1);
    EXPECT_TRUE(fakes.messageBoxes.shown[0].text.contains(u"ricf.dat"_qs));
    EXPECT_EQ(dir.read(u"rico.dat"_qs), capodanno);
    // Nothing is left of the attempt.
    EXPECT_EQ(dir.files(u"*"_qs).filter(u"ric"_qs), QStringList{u"rico.dat"_qs});
    const QStringList entries{u"001   01/01  01  00   Capodanno"_qs, u"064   05/03  01  07   Festa"_qs};
    EXPECT_EQ(window->entries(), entries);

    ASSERT_TRUE(QDir(dir.path()).rmdir(u"ricf.dat"_qs));
    chiudiAndWaitForClose();
    const QByteArray festa = "\"05/03\",\"01\",\"07\",\"Festa\"\r\n";
    EXPECT_EQ(dir.read(u"rico.dat"_qs), capodanno + festa);
    EXPECT_EQ(dir.read(u"ricf.dat"_qs), capodanno + festa);
}

} // namespace
