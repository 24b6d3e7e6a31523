#include "addressbook/addressbookwindow.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QTest>

#include <gtest/gtest.h>

#include "addressbook/toolbar.h"
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
    Cell stored(int sheet, int row)
    {
        DataFile file;
        Row result;
        if (file.open(dataPath()))
            decodeRecord(file.readRecord(recordNumber(sheet, row)).value_or(QByteArray()), result);
        return result.name;
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

// The rules of the marks, Incolla and the file are the session's; here each path a paste takes
// through the real widgets must reach them: the toolbar, Ctrl+V, Shift+Insert, the cell's menu,
// a middle click and a drop.
TEST_F(AddressBookWindowTest, ShiftDownMarksForCutAndEveryPastePathTakesIncollasRules)
{
    seed(0, {{5, {{u"e"_qs}, {}}}, {6, {{u"f"_qs}, {}}}, {7, {{u"g"_qs}, {}}}});
    frmRubrica &w = open();
    click(w.nameCell(5));
    press(Qt::Key_Down, Qt::ShiftModifier);
    press(Qt::Key_Down, Qt::ShiftModifier);
    pressButton(CutButton);
    EXPECT_EQ(std::pair(QGuiApplication::clipboard()->text(), w.nameCell(5)->text()), std::pair(u"e\nf\ng\n"_qs, u""_qs));
    w.nameCell(43)->setFocus();
    pressButton(PasteButton);
    EXPECT_EQ(std::tuple(w.nameCell(43)->text(), w.nameCell(44)->text(), focusedCell()),
              std::tuple(u"e"_qs, u"f"_qs, CellRef{44, Column::Name}));

    // Text with a TAB is not pasted. The box took the button's release: once closed, the button
    // under the pointer looks hovered, not pressed.
    QGuiApplication::clipboard()->setText(u"a\tb\r\nc\td\r\n"_qs);
    ToolButton *paste = w.toolbar()->button(PasteButton);
    QTest::mouseMove(paste);
    pressButton(PasteButton);
    EXPECT_TRUE(fakes.messageBoxes.shown.size() == 1 && fakes.messageBoxes.shown[0].text.contains(u"tabulazione"_qs));
    EXPECT_EQ(paste->look(), ToolButtonLook::Hover);
    press(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(std::pair(fakes.messageBoxes.shown.size(), w.nameCell(44)->text()), std::pair(qsizetype(2), u"f"_qs));

    QGuiApplication::clipboard()->setText(u"Mario\r\nRossi\r\n"_qs);
    w.nameCell(1)->setFocus();
    press(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(std::tuple(w.nameCell(1)->text(), w.nameCell(2)->text(), focusedCell()),
              std::tuple(u"Mario"_qs, u"Rossi"_qs, CellRef{2, Column::Name}));
    QGuiApplication::clipboard()->setText(u" Bianchi\rVerdi"_qs);
    press(Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(std::tuple(w.nameCell(2)->text(), w.nameCell(3)->text(), focusedCell()),
              std::tuple(u"Rossi Bianchi"_qs, u"Verdi"_qs, CellRef{2, Column::Name}));

    QGuiApplication::clipboard()->setText(u"Studio\nAnna"_qs);
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
    EXPECT_EQ(std::pair(w.nameCell(2)->text(), w.nameCell(3)->text()), std::pair(u"Rossi BianchiStudio"_qs, u"VerdiAnna"_qs));

    if (QGuiApplication::clipboard()->supportsSelection()) {
        QGuiApplication::clipboard()->setText(u"x\ny"_qs, QClipboard::Selection);
        QTest::mouseClick(w.nameCell(10), Qt::MiddleButton, {}, QPoint(4, 4));
        EXPECT_EQ(std::pair(w.nameCell(10)->text(), w.nameCell(11)->text()), std::pair(u"x"_qs, u"y"_qs));
    }

    QMimeData dragged;
    dragged.setText(u"06 1234\r\n"_qs);
    const Qt::DropActions both = Qt::CopyAction | Qt::MoveAction;
    QDragEnterEvent enter(QPoint(4, 4), both, &dragged, Qt::LeftButton, {});
    QDragMoveEvent move(QPoint(4, 4), both, &dragged, Qt::LeftButton, {});
    QDropEvent drop(QPointF(4, 4), both, &dragged, Qt::LeftButton, {});
    for (QEvent *step : std::initializer_list<QEvent *>{&enter, &move, &drop})
        QApplication::sendEvent(w.numberCell(5), step);
    EXPECT_EQ(std::pair(w.numberCell(5)->text(), focusedCell()), std::pair(u"06 1234"_qs, CellRef{5, Column::Number}));
}

// Typed or dropped on one line, a cell's own edit is what the session saves.
TEST_F(AddressBookWindowTest, EditsInTheCellsAreWhatIsSavedAsTheFileHoldsThem)
{
    frmRubrica &w = open();
    type(u"Zoe"_qs);
    QTest::sendKeyEvent(QTest::Click, focused(), Qt::Key_unknown, u"\u0308"_qs, Qt::NoModifier);
    QTest::sendKeyEvent(QTest::Click, focused(), Qt::Key_unknown, u"😀"_qs, Qt::NoModifier);
    QApplication::clipboard()->setText(u" Ελένη"_qs);
    press(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(w.nameCell(1)->text(), u"Zoë? ?????"_qs);
    press(Qt::Key_Down);
    pressButton(BoldButton);
    EXPECT_TRUE(w.nameCell(2)->font().bold());
    pressButton(SaveButton);
    EXPECT_EQ(stored(0, 1).text, w.nameCell(1)->text());
    EXPECT_EQ(stored(0, 2), (Cell{{}, true}));
    EXPECT_FALSE(w.session().isModified());
}

TEST_F(AddressBookWindowTest, ATabClickAsksForTheSheetLeftAndALongEntryShowsFromItsBeginning)
{
    const QString longName = u"Studio dentistico associato Dottori Rossi, Bianchi e Verdi - Via Roma 12"_qs;
    seed(1, {{2, {{longName}, {}}}});
    frmRubrica &w = open();
    type(u"Bruno"_qs);
    fakes.messageBoxes.answers = {MessageAnswer::No};
    clickTab(1);
    EXPECT_TRUE(fakes.messageBoxes.shown.size() == 1 && fakes.messageBoxes.shown[0].text.contains(u"foglio A1?"_qs));
    EXPECT_EQ(std::tuple(w.session().currentSheet(), w.tab(1)->font().bold(), w.tab(0)->font().bold()), std::tuple(1, true, false));
    EXPECT_EQ(std::tuple(w.nameCell(1)->text(), w.nameCell(2)->text(), w.nameCell(2)->cursorPosition(), focusedCell()),
              std::tuple(u""_qs, longName, 0, CellRef{1, Column::Name}));
}

// A close from the toolbar or from outside asks for unsaved edits; a refused one gives the focus back.
TEST_F(AddressBookWindowTest, ClosingAsksKeepsTheFocusOnCancelAndTakesTheHelp)
{
    frmRubrica &w = open();
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
}

TEST_F(AddressBookWindowTest, SearchBoxKeysRunTheSearchAndTheHitShowsGreen)
{
    seed(2, {{5, {{u"Carla"_qs}, {u"02/123.45"_qs}}}});
    frmRubrica &w = open();
    press(Qt::Key_F4);
    type(u"0212345"_qs);
    press(Qt::Key_Return);
    EXPECT_EQ(std::tuple(w.session().currentSheet(), w.numberCell(5)->paint(), focused()),
              std::tuple(2, CellPaint::Found, (QWidget *)w.searchBox()));
    type(u" "_qs);
    EXPECT_EQ(w.numberCell(5)->paint(), CellPaint::Marker);
    press(Qt::Key_Down);
    EXPECT_EQ(std::tuple(focusedCell(), w.nameCell(1)->paint(), w.numberCell(5)->paint()),
              std::tuple(CellRef{1, Column::Name}, CellPaint::Marker, CellPaint::Window));
}

} // namespace
