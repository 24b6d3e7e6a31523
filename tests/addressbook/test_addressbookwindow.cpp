#include "addressbook/addressbookwindow.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QTest>

#include <gtest/gtest.h>

#include "addressbook/core/vcard.h"

#include "addressbook/toolbar.h"
#include "common/atomicfile.h"
#include "common/programfolder.h"
#include "common/settings.h"
#include "tests/support/fakes.h"
#include "tests/support/keyboard.h"
#include "tests/support/registryrequests.h"

using namespace promemo;
using namespace promemo::rubrica;
using namespace promemo::test;

namespace {

class AddressBookWindowTest : public ::testing::Test, public test::ProgramFolderWithFakes
{
protected:
    AddressBookWindowTest()
    {
        registry.addWindow(u"NotinoTray"_qs);
        QGuiApplication::clipboard()->clear();
    }
    QString dataPath() const { return dir.filePath(u"rubri.dat"_qs); }

    // Rows written to the file before the window opens.
    void seed(int sheet, const std::vector<std::pair<int, Row>> &rows)
    {
        DataFile file;
        ASSERT_TRUE(file.open(dataPath()));
        Sheet contents{};
        file.readSheet(sheet, contents);
        for (const auto &[row, data] : rows)
            contents[row - 1] = data;
        ASSERT_TRUE(file.writeSheet(sheet, contents));
    }
    Row stored(int sheet, int row)
    {
        DataFile file;
        Row result;
        if (file.open(dataPath()))
            decodeRecord(file.readRecord(recordNumber(sheet, row)).value_or(QByteArray()), result);
        return result;
    }

    frmRubrica &open()
    {
        window = startAddressBook(fakes.services());
        EXPECT_TRUE(window);
        QApplication::setActiveWindow(window.get());
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        return *window;
    }

    void click(GridCell *cell) { QTest::mouseClick(cell, Qt::LeftButton, {}, QPoint(4, cell->height() / 2)); }
    void clickTab(int index) { QTest::mouseClick(window->tab(index), Qt::LeftButton); }
    void pressButton(int index) { QTest::mousePress(window->toolbar()->button(index), Qt::LeftButton); }
    CellRef focusedCell() const
    {
        const auto *cell = qobject_cast<GridCell *>(focused());
        return cell ? cell->ref() : CellRef{0, Column::Name};
    }

    std::unique_ptr<frmRubrica> window;
};

TEST_F(AddressBookWindowTest, KeysReachTheWalkAndAfterAClickLeftAndRightMoveTheCaret)
{
    frmRubrica &w = open();
    // The walk itself is the rule's; here each kind of key must reach it: up to 44, across, a page up.
    for (const Qt::Key key : {Qt::Key_Up, Qt::Key_Enter, Qt::Key_PageUp})
        press(key);
    EXPECT_EQ(focusedCell(), (CellRef{23, Column::Number}));

    // After a click Left and Right move the caret; any other move ends that.
    click(w.nameCell(3));
    type(u"Bice"_qs);
    for (const Qt::Key key : {Qt::Key_Left, Qt::Key_Left, Qt::Key_Right})
        press(key);
    EXPECT_EQ(std::pair(focusedCell(), w.nameCell(3)->cursorPosition()), std::pair(CellRef{3, Column::Name}, 3));
    press(Qt::Key_Down);
    press(Qt::Key_Right);
    EXPECT_EQ(focusedCell(), (CellRef{4, Column::Number}));
}

TEST_F(AddressBookWindowTest, ShiftDownMarksCellsForCutAndPaste)
{
    seed(0, {{5, {{u"e"_qs}, {}}}, {6, {{u"f"_qs}, {}}}, {7, {{u"g"_qs}, {}}}, {8, {{u"h"_qs}, {}}},
             {9, {{u"i"_qs}, {}}}});
    frmRubrica &w = open();
    click(w.nameCell(5));
    for (int i = 0; i < 3; ++i)
        press(Qt::Key_Down, Qt::ShiftModifier);
    pressButton(CutButton);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), u"e\nf\ng\nh\n"_qs);
    EXPECT_EQ(w.gridContents()[4], Row{});

    // Pasting at row 43 appends as far as row 44 and ends there; the rest is dropped.
    w.nameCell(43)->setText(u"x"_qs);
    click(w.nameCell(43));
    pressButton(PasteButton);
    EXPECT_EQ(std::tuple(w.nameCell(43)->text(), w.nameCell(44)->text(), focusedCell()),
              std::tuple(u"xe"_qs, u"f"_qs, CellRef{44, Column::Name}));

    // Text with a TAB (two columns copied from a spreadsheet) is not pasted. The box took the
    // button's release: once closed, the button under the pointer looks hovered, not pressed.
    QGuiApplication::clipboard()->setText(u"a\tb\r\nc\td\r\n"_qs);
    ToolButton *paste = w.toolbar()->button(PasteButton);
    QTest::mouseMove(paste);
    pressButton(PasteButton);
    EXPECT_TRUE(fakes.messageBoxes.shown.size() == 1 && fakes.messageBoxes.shown[0].text.contains(u"tabulazione"_qs));
    EXPECT_EQ(w.nameCell(44)->text(), u"f"_qs);
    EXPECT_EQ(paste->look(), ToolButtonLook::Hover);
}

// One record as the file holds it: name and number padded with blanks, plain and black.
QByteArray plainRecord(const QByteArray &name, const QByteArray &number = {})
{
    return name.leftJustified(100, ' ') + number.leftJustified(40, ' ') + "000000";
}

// Ctrl+V, the cell's menu and a drop take the rules of Incolla: line breaks normalised, text
// with a TAB refused, each further line into the next row. No cell holds CR, LF or TAB, not
// even one loaded from an older file, so neither rubri.dat nor Rubrica.vcf does.
TEST_F(AddressBookWindowTest, PastingInACellFollowsIncollaAndNoCellHoldsALineBreakOrATab)
{
    seed(0, {{3, {{u"Studio"_qs}, {}}}, {7, {{u"Anna\r\nBianchi\tArchitetto"_qs}, {}}}});
    frmRubrica &w = open();
    EXPECT_EQ(w.nameCell(7)->text(), u"Anna Bianchi Architetto"_qs);
    QGuiApplication::clipboard()->setText(u"Mario\r\nRossi\tvia Roma"_qs);
    press(Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(fakes.messageBoxes.shown.size(), 1);
    EXPECT_TRUE(fakes.messageBoxes.shown[0].text.contains(u"tabulazione"_qs));
    EXPECT_EQ(w.nameCell(1)->text(), u""_qs);

    // The first line goes in at the caret; the focus ends on the last row that took a line.
    QGuiApplication::clipboard()->setText(u"Mario\r\nRossi\r\n"_qs);
    press(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(std::tuple(w.nameCell(1)->text(), w.nameCell(2)->text(), focusedCell()),
              std::tuple(u"Mario"_qs, u"Rossi"_qs, CellRef{2, Column::Name}));

    // The cell's own menu, with the line breaks of an old desktop (CR alone).
    press(Qt::Key_Down);
    QGuiApplication::clipboard()->setText(u" Bianchi\rVerdi"_qs);
    QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(4, 4), focused()->mapToGlobal(QPoint(4, 4)));
    QApplication::sendEvent(focused(), &menuKey);
    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    ASSERT_TRUE(menu);
    const QList<QAction *> actions = menu->actions();
    const auto pasteAction = std::find_if(actions.begin(), actions.end(), [](QAction *a) {
        return a->text().startsWith(u"&Paste"_qs);
    });
    ASSERT_NE(pasteAction, actions.end());
    (*pasteAction)->trigger();
    menu->close();
    EXPECT_EQ(std::pair(w.nameCell(3)->text(), w.nameCell(4)->text()), std::pair(u"Studio Bianchi"_qs, u"Verdi"_qs));

    // Text dropped on a number cell.
    QMimeData dragged;
    dragged.setText(u"06 1234\r\n"_qs);
    const Qt::DropActions both = Qt::CopyAction | Qt::MoveAction;
    QDragEnterEvent enter(QPoint(4, 4), both, &dragged, Qt::LeftButton, {});
    QDragMoveEvent move(QPoint(4, 4), both, &dragged, Qt::LeftButton, {});
    QDropEvent drop(QPointF(4, 4), both, &dragged, Qt::LeftButton, {});
    for (QEvent *step : std::initializer_list<QEvent *>{&enter, &move, &drop})
        QApplication::sendEvent(w.numberCell(5), step);
    EXPECT_EQ(std::pair(w.numberCell(5)->text(), focusedCell()), std::pair(u"06 1234"_qs, CellRef{5, Column::Number}));
    EXPECT_TRUE(w.isModified());

    pressButton(SaveButton);
    QByteArray expected = plainRecord("Mario") + plainRecord("Rossi") + plainRecord("Studio Bianchi")
                          + plainRecord("Verdi") + plainRecord({}, "06 1234") + plainRecord({})
                          + plainRecord("Anna Bianchi Architetto");
    while (expected.size() < kFileSize)
        expected += plainRecord({});
    const QByteArray saved = readWholeFile(dataPath());
    for (int row = 1; row <= 7; ++row)
        EXPECT_EQ(saved.mid((row - 1) * kRecordSize, kRecordSize), expected.mid((row - 1) * kRecordSize, kRecordSize)) << row;
    EXPECT_TRUE(saved == expected);
    // The cards the launcher writes from this file.
    const QByteArray vcf = encodeVCards(contactsOf(sheetsOf(saved)));
    EXPECT_TRUE(vcf.contains("FN:Anna Bianchi Architetto\r\n")) << vcf.constData();
    EXPECT_FALSE(vcf.contains('\t') || vcf.contains("\\n") || vcf.contains("\r\r") || vcf.contains("\n\n"));
}

// A reader may pass over what it cannot use, the writer keeps it: a row left as it was loaded is
// saved with its own bytes (style and colour codes out of range, the reserved bytes, a NUL and a
// byte Windows-1252 leaves undefined); a row the user changed is written as it is shown.
TEST_F(AddressBookWindowTest, SavingKeepsTheRowsLeftAsLoadedByteForByte)
{
    const QByteArray damaged = QByteArray("Bice \x81\x00 Neri", 12).leftJustified(100, ' ')
                               + QByteArray("02 1").leftJustified(40, ' ') + "x9ab7Z";
    QByteArray before;
    for (int record = 1; record <= kRecords; ++record)
        before += record == 2 ? damaged : plainRecord({});
    dir.put(kDataFileName.toString(), before);
    frmRubrica &w = open();
    EXPECT_EQ(w.nameCell(2)->text(), QString::fromUtf16(u"Bice \u0081\u0000 Neri", 12));
    type(u"Dario"_qs);
    pressButton(SaveButton);
    QByteArray after = QByteArray(before).replace(0, kRecordSize, plainRecord("Dario"));
    EXPECT_TRUE(readWholeFile(dataPath()) == after);
    EXPECT_EQ(readWholeFile(dataPath()).mid(kRecordSize, kRecordSize), damaged);

    press(Qt::Key_Down);
    pressButton(BoldButton);
    pressButton(SaveButton);
    after.replace(kRecordSize, kRecordSize, damaged.left(140) + "100000");
    EXPECT_TRUE(readWholeFile(dataPath()) == after);
    EXPECT_EQ(readWholeFile(dataPath()).mid(kRecordSize, kRecordSize), after.mid(kRecordSize, kRecordSize));
}

TEST_F(AddressBookWindowTest, SwitchingSheetsAsksOnceForTheSheetLeft)
{
    const QString longName = u"Studio dentistico associato Dottori Rossi, Bianchi e Verdi - Via Roma 12"_qs;
    seed(1, {{1, {{u"Bruno"_qs}, {u"011"_qs}}}, {2, {{longName}, {}}}});
    frmRubrica &w = open();
    clickTab(1);
    EXPECT_TRUE(fakes.messageBoxes.shown.isEmpty());
    // A long entry shows from its beginning when its sheet loads.
    EXPECT_EQ(std::tuple(w.nameCell(1)->text(), w.nameCell(2)->text(), w.nameCell(2)->cursorPosition()),
              std::tuple(u"Bruno"_qs, longName, 0));
    type(u"ne"_qs);

    fakes.messageBoxes.answers = {MessageAnswer::No};
    clickTab(2);
    EXPECT_TRUE(fakes.messageBoxes.shown.size() == 1 && fakes.messageBoxes.shown[0].text.contains(u"foglio B1?"_qs));
    EXPECT_EQ(w.currentSheet(), 2);
    EXPECT_EQ(stored(1, 1).name.text, u"Bruno"_qs);

    clickTab(1);
    type(u"ne"_qs);
    w.nameCell(1)->setFocus();
    pressButton(BoldButton);
    fakes.messageBoxes.answers = {MessageAnswer::Yes};
    clickTab(0);
    EXPECT_EQ(fakes.messageBoxes.shown.size(), 2);
    EXPECT_EQ(stored(1, 1).name, (Cell{u"Brunone"_qs, true}));
}

// A close from the toolbar or from outside asks for unsaved edits; the help goes with the window.
TEST_F(AddressBookWindowTest, StartsOnSheetA1AndClosingAsksKeepsTheFocusOnCancelAndTakesTheHelp)
{
    const Row anna{{u"Anna"_qs, true, false, TextColour::Red}, {u"06 555"_qs}};
    seed(0, {{1, anna}});
    frmRubrica &w = open();
    EXPECT_EQ(std::pair(w.gridContents()[0], focusedCell()), std::pair(anna, CellRef{1, Column::Name}));
    w.numberCell(7)->setFocus();
    type(u"02"_qs);
    fakes.messageBoxes.answers = {MessageAnswer::Cancel};
    QTest::mouseClick(w.toolbar()->button(CloseButton), Qt::RightButton); // either button runs it
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(focusedCell(), (CellRef{7, Column::Number}));

    registry.addWindow(u"Help di Promemo"_qs);
    fakes.messageBoxes.answers = {MessageAnswer::Yes};
    test::postClose(registry, u" Rubrica di Promemo"_qs);
    ASSERT_TRUE(QTest::qWaitFor([&w] { return !w.isVisible(); }));
    EXPECT_TRUE(registry.closeRequests().contains(u"Help di Promemo"_qs));
    EXPECT_EQ(stored(0, 7).number.text, u"02"_qs);
}

TEST_F(AddressBookWindowTest, SearchFindsAcrossSheetsAndPaintsTheHitGreen)
{
    seed(2, {{5, {{u"Carla"_qs}, {u"02/123.45"_qs}}}});
    seed(43, {{44, {{u"Zeta 0212345"_qs}, {}}}});
    frmRubrica &w = open();
    press(Qt::Key_F4);
    type(u"0212345"_qs);
    press(Qt::Key_Return);
    EXPECT_EQ(std::tuple(w.currentSheet(), w.numberCell(5)->paint(), focused()),
              std::tuple(2, CellPaint::Found, (QWidget *)w.searchBox()));
    press(Qt::Key_Enter);
    EXPECT_EQ(std::pair(w.currentSheet(), w.nameCell(44)->paint()), std::pair(43, CellPaint::Found));
    press(Qt::Key_Enter);
    EXPECT_EQ(fakes.messageBoxes.shown.size(), 1);

    // A new step starts from the first record; editing the text turns the hit yellow.
    press(Qt::Key_Return);
    EXPECT_EQ(w.currentSheet(), 2);
    type(u" "_qs);
    EXPECT_EQ(w.numberCell(5)->paint(), CellPaint::Marker);

    // Unsaved edits are offered for saving before the file is searched.
    w.nameCell(1)->setFocus();
    type(u"02-123 45"_qs);
    fakes.messageBoxes.answers = {MessageAnswer::Yes};
    w.searchBox()->setFocus();
    press(Qt::Key_Return);
    EXPECT_EQ(stored(2, 1).name.text, u"02-123 45"_qs);
    EXPECT_EQ(w.nameCell(1)->paint(), CellPaint::Found);
}

// A data file that refuses every write, as on a full disk; permissions would not bind root.
TEST_F(AddressBookWindowTest, AFailedWriteIsReportedAndTheEditsStay)
{
    ASSERT_TRUE(QFile::link(u"/dev/full"_qs, dataPath()));
    frmRubrica &w = open();
    EXPECT_FALSE(w.dataFileWritable());
    type(u"Dario"_qs);
    pressButton(SaveButton);
    EXPECT_TRUE(fakes.messageBoxes.shown.size() == 1
                && fakes.messageBoxes.shown[0].text.contains(u"salvare il foglio A1"_qs));
    // Nor does the sheet change or the window close on a failed save.
    fakes.messageBoxes.answers = {MessageAnswer::Yes};
    clickTab(3);
    EXPECT_EQ(std::pair(w.currentSheet(), w.nameCell(1)->text()), std::pair(0, u"Dario"_qs));
    fakes.messageBoxes.answers = {MessageAnswer::Yes};
    EXPECT_FALSE(w.close());
    EXPECT_TRUE(w.isVisible() && w.isModified());
    fakes.messageBoxes.answers = {MessageAnswer::No};
    EXPECT_TRUE(w.close());
}

TEST_F(AddressBookWindowTest, UnopenableDataFileEndsWithAMessage)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir(u"rubri.dat"_qs));
    EXPECT_FALSE(startAddressBook(fakes.services()));
    EXPECT_EQ(fakes.messageBoxes.shown.size(), 1);
}

// Typed, pasted in the cell or pasted from the toolbar: each cell shows what the file will hold.
TEST_F(AddressBookWindowTest, CellsShowTextAsTheFileWillHoldIt)
{
    frmRubrica &w = open();
    type(u"Zoe"_qs);
    QTest::sendKeyEvent(QTest::Click, focused(), Qt::Key_unknown, u"\u0308"_qs, Qt::NoModifier);
    QTest::sendKeyEvent(QTest::Click, focused(), Qt::Key_unknown, u"😀"_qs, Qt::NoModifier);
    QApplication::clipboard()->setText(u" Ελένη"_qs);
    press(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(w.nameCell(1)->text(), u"Zoë? ?????"_qs);
    press(Qt::Key_Down);
    QApplication::clipboard()->setText(u"Łukasz\nZoe\u0308"_qs);
    pressButton(PasteButton);
    EXPECT_EQ(w.nameCell(2)->text(), u"?ukasz"_qs);
    EXPECT_EQ(w.nameCell(3)->text(), u"Zoë"_qs);
    pressButton(SaveButton);
    for (int row = 1; row <= 3; ++row)
        EXPECT_EQ(stored(0, row).name.text, w.nameCell(row)->text()) << row;
}

} // namespace
