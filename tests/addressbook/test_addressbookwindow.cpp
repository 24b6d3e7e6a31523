#include "addressbook/addressbookwindow.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "addressbook/colouroptions.h"
#include "addressbook/colourpalette.h"
#include "addressbook/colours.h"
#include "addressbook/toolbar.h"
#include "tests/support/fakes.h"
#include "tests/support/keyboard.h"
#include "tests/support/registryrequests.h"

using namespace promemo;
using namespace promemo::rubrica;
using namespace promemo::test;

namespace {

// The flows are the session's; here what only the widgets show: keys and clicks reaching the
// right cell, the focus, the cells' text and paint, and the paths a paste takes (a middle click
// takes the one of the cell's menu; the offscreen platform has no selection to test it with).
class AddressBookWindowTest : public ::testing::Test, public test::ProgramFolderWithFakes
{
protected:
    AddressBookWindowTest()
    {
        registry.addWindow(u"NotinoTray"_qs);
        QGuiApplication::clipboard()->clear();
    }
    // One row written to the file before the window opens.
    void seed(int sheet, int row, const Row &data)
    {
        DataFile file;
        Sheet contents{};
        contents[std::size_t(row - 1)] = data;
        ASSERT_TRUE(file.open(dir.filePath(u"rubri.dat"_qs)) && file.writeSheet(sheet, contents));
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
    void pressButton(int index) { QTest::mousePress(window->toolbar()->button(index), Qt::LeftButton); }
    CellRef focusedCell() const
    {
        const auto *cell = qobject_cast<GridCell *>(focused());
        return cell ? cell->ref() : CellRef{0, Column::Name};
    }
    std::pair<QString, QString> names(int row) const { return {window->nameCell(row)->text(), window->nameCell(row + 1)->text()}; }

    std::unique_ptr<frmRubrica> window;
};

// Each kind of key reaches the walk, and each path a paste takes through the real widgets
// reaches Incolla: the toolbar, Ctrl+V, Shift+Insert, the cell's menu and a drop.
TEST_F(AddressBookWindowTest, KeysReachTheWalkAndEveryPastePathReachesIncolla)
{
    seed(0, 5, {{u"e"_qs}, {}});
    frmRubrica &w = open();
    // The walk itself is the rule's; here each kind of key must reach it: up to 44, across, a page up.
    for (const Qt::Key key : {Qt::Key_Up, Qt::Key_Enter, Qt::Key_PageUp})
        press(key);
    EXPECT_EQ(focusedCell(), (CellRef{23, Column::Number}));

    // After a click Left and Right move the caret; any other move ends that.
    click(w.nameCell(30));
    type(u"Bice"_qs);
    for (const Qt::Key key : {Qt::Key_Left, Qt::Key_Left, Qt::Key_Right})
        press(key);
    EXPECT_EQ(std::pair(focusedCell(), w.nameCell(30)->cursorPosition()), std::pair(CellRef{30, Column::Name}, 3));
    press(Qt::Key_Down);
    press(Qt::Key_Right);
    EXPECT_EQ(focusedCell(), (CellRef{31, Column::Number}));

    // Shift with Down extends the marks.
    click(w.nameCell(5));
    press(Qt::Key_Down, Qt::ShiftModifier);
    pressButton(CutButton);
    EXPECT_EQ(std::pair(QGuiApplication::clipboard()->text(), w.nameCell(5)->text()), std::pair(u"e\n\n"_qs, u""_qs));
    w.nameCell(43)->setFocus();
    pressButton(PasteButton);
    EXPECT_EQ(std::pair(names(43), focusedCell()), std::pair(std::pair(u"e"_qs, u""_qs), CellRef{44, Column::Name}));

    // Text with a TAB is refused. The box took the button's release: once closed, the button
    // under the pointer looks hovered, not pressed.
    QGuiApplication::clipboard()->setText(u"a\tb"_qs);
    ToolButton *paste = w.toolbar()->button(PasteButton);
    QTest::mouseMove(paste);
    pressButton(PasteButton);
    EXPECT_EQ(std::pair(fakes.messageBoxes.shown.size(), paste->look()), std::pair(qsizetype(1), ToolButtonLook::Hover));

    QGuiApplication::clipboard()->setText(u"Mario\r\nRossi\r\n"_qs);
    w.nameCell(1)->setFocus();
    press(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(std::pair(names(1), focusedCell()), std::pair(std::pair(u"Mario"_qs, u"Rossi"_qs), CellRef{2, Column::Name}));
    QGuiApplication::clipboard()->setText(u" B\nV"_qs);
    press(Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(names(2), std::pair(u"Rossi B"_qs, u"V"_qs));

    QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(4, 4), focused()->mapToGlobal(QPoint(4, 4)));
    QApplication::sendEvent(focused(), &menuKey);
    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    ASSERT_TRUE(menu);
    const QList<QAction *> actions = menu->actions();
    const auto pasteAction = std::find_if(actions.begin(), actions.end(), [](QAction *a) { return a->text().startsWith(u"&Paste"_qs); });
    ASSERT_NE(pasteAction, actions.end());
    (*pasteAction)->trigger();
    menu->close();
    EXPECT_EQ(names(2), std::pair(u"Rossi B B"_qs, u"VV"_qs));

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

// Typed text shows as the file will hold it, and the session holds what the cells show; a tab
// click shows the other sheet.
TEST_F(AddressBookWindowTest, TypedTextAndATabClickReachTheSessionAndALongEntryShowsFromItsBeginning)
{
    const QString longName = u"Studio dentistico associato Dottori Rossi, Bianchi e Verdi - Via Roma 12"_qs;
    seed(1, 2, {{longName}, {}});
    frmRubrica &w = open();
    type(u"Zoe"_qs);
    QTest::sendKeyEvent(QTest::Click, focused(), Qt::Key_unknown, u"\u0308"_qs, Qt::NoModifier);
    QTest::sendKeyEvent(QTest::Click, focused(), Qt::Key_unknown, u"😀"_qs, Qt::NoModifier);
    press(Qt::Key_Down);
    pressButton(BoldButton);
    EXPECT_EQ(std::tuple(w.nameCell(1)->text(), w.nameCell(2)->font().bold(), w.session().rows()[0].name.text),
              std::tuple(u"Zoë?"_qs, true, u"Zoë?"_qs));
    // (The question for the sheet left is the session's test; typing marks the edit: the closing test.)
    QTest::mouseClick(w.tab(1), Qt::LeftButton);
    EXPECT_EQ(std::tuple(w.tab(1)->font().bold(), w.tab(0)->font().bold(), w.nameCell(2)->text(), w.nameCell(2)->cursorPosition()),
              std::tuple(true, false, longName, 0));
}

// A close from the toolbar or from outside asks for unsaved edits; a refused one gives the focus back.
TEST_F(AddressBookWindowTest, ClosingFromTheToolbarOrOutsideAsksAndACancelKeepsTheFocus)
{
    frmRubrica &w = open();
    w.numberCell(7)->setFocus();
    type(u"02"_qs);
    fakes.messageBoxes.answers = {MessageAnswer::Cancel};
    QTest::mouseClick(w.toolbar()->button(CloseButton), Qt::RightButton); // either button runs it
    EXPECT_EQ(std::pair(w.isVisible(), focusedCell()), std::pair(true, CellRef{7, Column::Number}));
    test::postClose(registry, u" Rubrica di Promemo"_qs);
    EXPECT_TRUE(QTest::qWaitFor([&w] { return !w.isVisible(); }));
}

TEST_F(AddressBookWindowTest, SearchBoxKeysRunTheSearchAndTheHitShowsGreen)
{
    seed(2, 5, {{u"Carla"_qs}, {u"02/123.45"_qs}});
    frmRubrica &w = open();
    press(Qt::Key_F4);
    type(u"0212345"_qs);
    press(Qt::Key_Return);
    EXPECT_EQ(std::tuple(w.tab(2)->font().bold(), w.numberCell(5)->paint(), focused()),
              std::tuple(true, CellPaint::Found, (QWidget *)w.searchBox()));
    type(u" "_qs);
    EXPECT_EQ(w.numberCell(5)->paint(), CellPaint::Marker);
    press(Qt::Key_Down);
    EXPECT_EQ(std::tuple(focusedCell(), w.nameCell(1)->paint(), w.numberCell(5)->paint()),
              std::tuple(CellRef{1, Column::Name}, CellPaint::Marker, CellPaint::Window));
}

// The palette colours the current cell and goes on a key; the options' choice repaints the tabs.
TEST_F(AddressBookWindowTest, PaletteAndColourOptionsReachTheSession)
{
    frmRubrica &w = open();
    pressButton(TextColourButton);
    auto *palette = w.findChild<frmColore *>();
    ASSERT_TRUE(palette && palette->isVisible());
    QTest::mouseClick(palette->swatch(TextColour::Red), Qt::LeftButton, {}, QPoint(8, 8)); // through the swatch
    EXPECT_EQ(std::tuple(palette->isVisible(), w.session().rows()[0].name.colour, w.session().isModified()),
              std::tuple(false, TextColour::Red, true));
    pressButton(TextColourButton);
    QTest::keyClick(palette, Qt::Key_Shift); // a modifier alone does not close it
    EXPECT_TRUE(palette->isVisible());
    QTest::keyClick(palette, Qt::Key_A);
    EXPECT_FALSE(palette->isVisible());

    pressButton(OptionsButton);
    auto *options = w.findChild<frmOpzioni *>();
    ASSERT_TRUE(options);
    QTest::mouseClick(options->sheetSwatch(7), Qt::RightButton); // any button chooses
    QTest::mouseClick(options->sheetSwatch(2), Qt::LeftButton);
    EXPECT_EQ(std::pair(options->sheetFrameWidth(7), options->sheetFrameWidth(2)), std::pair(1, 3));
    QTest::mouseClick(options->okButton(), Qt::LeftButton);
    EXPECT_EQ(std::pair(options->isVisible(), w.tab(0)->palette().color(QPalette::Window)), std::pair(false, sheetQColor(2)));
}

} // namespace
