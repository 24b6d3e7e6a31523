#include "addressbook/colourdialogs.h"
#include "addressbook/toolbar.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

#include "common/atomicfile.h"
#include "tests/support/fakes.h"

using namespace promemo;
using namespace promemo::rubrica;

namespace {

class ColourDialogsTest : public ::testing::Test
{
protected:
    ColourDialogsTest()
    {
        window.move(100, 50);
        window.resize(700, 400);
        window.show();
    }

    void writeIni(const QByteArray &bytes)
    {
        QFile file(iniPath);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QByteArray iniBytes() const { return readWholeFile(iniPath); }

    std::unique_ptr<frmOpzioni> openOptions()
    {
        auto dialog = std::make_unique<frmOpzioni>(settings, messages, &window, &screen);
        dialog->show();
        return dialog;
    }

    QTemporaryDir dir;
    QString iniPath = dir.filePath(u"Notino.ini"_qs);
    Settings settings{iniPath};
    test::FakeMessageBoxes messages;
    test::FakeScreen screen;
    QWidget window;
};

TEST_F(ColourDialogsTest, PaletteChoosesByClickAndClosesOnAKeyOrOnLosingTheFocus)
{
    frmColore palette(&window);
    QSignalSpy chosen(&palette, &frmColore::colourChosen);
    QSignalSpy keyTyped(&palette, &frmColore::keyTyped);
    QSignalSpy closed(&palette, &frmColore::closed);

    // Between the swatches nothing happens; the swatch labels let the click through.
    palette.open();
    QTest::mouseClick(&palette, Qt::LeftButton, {}, QPoint(23, 10));
    EXPECT_TRUE(palette.isVisible());
    QTest::mouseClick(palette.swatch(TextColour::Red), Qt::LeftButton, {}, QPoint(8, 8));
    ASSERT_EQ(chosen.size(), 1);
    EXPECT_EQ(chosen.at(0).at(0).value<TextColour>(), TextColour::Red);
    EXPECT_FALSE(palette.isVisible());

    palette.open();
    QTest::keyClick(&palette, Qt::Key_Shift);
    EXPECT_TRUE(palette.isVisible());
    QTest::keyClick(&palette, Qt::Key_A);
    EXPECT_EQ(keyTyped.size(), 1);
    EXPECT_FALSE(palette.isVisible());

    palette.open();
    ASSERT_TRUE(QTest::qWaitFor([&] { return palette.isActiveWindow(); }, 2000));
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !palette.isVisible(); }, 2000));
    EXPECT_EQ(std::pair(closed.size(), chosen.size()), std::pair(qsizetype(3), qsizetype(1)));
}

// Bad values and their defaults are the settings rules' own test.
TEST_F(ColourDialogsTest, ApplicaAndOkWriteBothKeysAnnullaWritesNothing)
{
    auto dialog = openOptions();
    dialog->clickTabSwatch(6);
    QTest::mouseClick(dialog->cancelButton(), Qt::LeftButton);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_FALSE(QFile::exists(iniPath));

    writeIni("[Opzioni]\r\ncolore=2\r\n");
    dialog = openOptions();
    QSignalSpy applied(dialog.get(), &frmOpzioni::applied);
    // At opening the marker is 0: sheet swatch 0 leaves Applica off.
    dialog->clickSheetSwatch(0);
    EXPECT_FALSE(dialog->applyEnabled());
    QTest::mouseClick(dialog->sheetSwatch(3), Qt::LeftButton);
    QTest::mouseClick(dialog->applyButton(), Qt::LeftButton);
    EXPECT_EQ(iniBytes(), "[Opzioni]\r\ncolore=2\r\n\r\n[Rubrica]\r\nColSfondo=3\r\nColTasti=0\r\n");
    ASSERT_EQ(applied.size(), 1);
    EXPECT_EQ(applied.at(0), (QList<QVariant>{0, 3}));
    // After Apply every swatch enables it again, the one just applied too.
    EXPECT_FALSE(dialog->applyEnabled());
    dialog->clickSheetSwatch(3);
    EXPECT_TRUE(dialog->applyEnabled());

    // Ok applies too, then closes; the dialog opens again on the saved choice.
    dialog->clickTabSwatch(4);
    QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
    EXPECT_EQ(std::pair(settings.tabColour(), settings.sheetColour()), std::pair(4, 3));
    EXPECT_EQ(applied.size(), 2);
    EXPECT_FALSE(dialog->isVisible());
    dialog = openOptions();
    EXPECT_EQ(std::pair(dialog->chosenTab(), dialog->chosenSheet()), std::pair(4, 3));
    EXPECT_TRUE(messages.shown.isEmpty());
}

// A lock that cannot be taken fails the write for every user, root too.
TEST_F(ColourDialogsTest, FailedWriteIsReportedAndNothingApplied)
{
    const QByteArray before = "[Rubrica]\r\nColTasti=2\r\nColSfondo=5\r\n";
    writeIni(before);
    ASSERT_TRUE(QDir().mkpath(dir.filePath(u".Notino.ini.lock"_qs)));
    const auto dialog = openOptions();
    QSignalSpy applied(dialog.get(), &frmOpzioni::applied);
    dialog->clickSheetSwatch(3);
    QTest::mouseClick(dialog->applyButton(), Qt::LeftButton);
    EXPECT_TRUE(dialog->applyEnabled());
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_TRUE(messages.shown[0].text.contains(u"Impossibile salvare"_qs));

    // Ok keeps the dialog open after a failed write.
    QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(std::pair(messages.shown.size(), applied.size()), std::pair(qsizetype(2), qsizetype(0)));
    EXPECT_EQ(iniBytes(), before);
}

class ToolbarTest : public ::testing::Test
{
protected:
    ToolbarTest() : toolbar(&window, [this] { return pointer; })
    {
        window.resize(700, 300);
        window.show();
    }

    // A point of button `index` in global coordinates.
    QPoint over(int index, QPoint at = {2, 2}) const
    {
        return toolbar.button(index)->mapToGlobal(at);
    }
    // A move over the button, delivered even when the pointer is already there.
    void hover(int index)
    {
        ToolButton *button = toolbar.button(index);
        const QPoint at(5, 5);
        QMouseEvent move(QEvent::MouseMove, at, button->mapToGlobal(at), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(button, &move);
    }
    ToolButtonLook look(int index) const { return toolbar.button(index)->look(); }

    QWidget window;
    QPoint pointer;
    Toolbar toolbar;
};

TEST_F(ToolbarTest, HoverMovesFromButtonToButtonAndTheActionRunsOnThePress)
{
    QSignalSpy triggered(&toolbar, &Toolbar::triggered);
    hover(CopyButton);
    EXPECT_EQ(toolbar.activeButton(), CopyButton);
    EXPECT_TRUE(toolbar.timerActive());
    hover(BoldButton);
    EXPECT_EQ(look(CopyButton), ToolButtonLook::Rest);
    EXPECT_EQ(look(BoldButton), ToolButtonLook::Hover);

    QTest::mousePress(toolbar.button(BoldButton), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(triggered.size(), 1);
    EXPECT_EQ(look(BoldButton), ToolButtonLook::Pressed);
    QTest::mouseRelease(toolbar.button(BoldButton), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(look(BoldButton), ToolButtonLook::Hover);
    QTest::mouseClick(toolbar.button(CloseButton), Qt::RightButton, {}, QPoint(5, 5));
    ASSERT_EQ(triggered.size(), 2);
    EXPECT_EQ(triggered.at(0).at(0).toInt(), BoldButton);
    EXPECT_EQ(triggered.at(1).at(0).toInt(), CloseButton);
}

TEST_F(ToolbarTest, TimerRestsTheButtonOnceThePointerLeavesTheBand)
{
    const QRect first = toolbar.button(SaveButton)->rect();
    const QRect last = toolbar.button(CloseButton)->rect();
    const QPoint outside[] = {over(CloseButton, {last.width(), 5}), over(BoldButton, {5, first.height()})};
    for (const QPoint &point : outside) {
        hover(PasteButton);
        // Anywhere in the band, between the buttons and over the search box too.
        for (const QPoint inside : {over(SaveButton, {0, 0}), over(CloseButton, last.bottomRight()),
                                    over(TextColourButton, {first.width() + 2, 12})}) {
            pointer = inside;
            toolbar.tick();
            EXPECT_EQ(look(PasteButton), ToolButtonLook::Hover);
        }
        pointer = point;
        toolbar.tick();
        EXPECT_EQ(look(PasteButton), ToolButtonLook::Rest) << point.x() << "," << point.y();
        EXPECT_EQ(toolbar.activeButton(), kNoButton);
        EXPECT_FALSE(toolbar.timerActive());
    }

    // The running timer does it by itself.
    hover(UnderlineButton);
    pointer = outside[0];
    ASSERT_TRUE(QTest::qWaitFor([this] { return toolbar.activeButton() == kNoButton; }, 2000));
}

TEST_F(ToolbarTest, ButtonRestedByItsActionStillGoesBackToRest)
{
    // As the insert-row question does: the toolbar is rested while the button is held.
    QObject::connect(&toolbar, &Toolbar::triggered, &toolbar, &Toolbar::azzeraPulsanti);
    hover(InsertRowButton);
    QTest::mouseClick(toolbar.button(InsertRowButton), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(look(InsertRowButton), ToolButtonLook::Hover);
    EXPECT_EQ(toolbar.activeButton(), InsertRowButton);
    EXPECT_TRUE(toolbar.timerActive());
    pointer = over(InsertRowButton, {5, 40});
    toolbar.tick();
    EXPECT_EQ(look(InsertRowButton), ToolButtonLook::Rest);
}

} // namespace
