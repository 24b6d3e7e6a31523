#include "addressbook/colouroptions.h"
#include "addressbook/colourpalette.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

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

    QTemporaryDir dir;
    QString iniPath = dir.filePath(u"Notino.ini"_qs);
    Settings settings{iniPath};
    test::FakeMessageBoxes messages;
    test::FakeScreen screen;
    QWidget window;
};

TEST_F(ColourDialogsTest, PaletteChoosesByClickAndClosesOnAKey)
{
    frmColore palette(&window);
    QSignalSpy chosen(&palette, &frmColore::colourChosen);
    QSignalSpy keyTyped(&palette, &frmColore::keyTyped);
    QSignalSpy closed(&palette, &frmColore::closed);

    // The swatch labels let the click through.
    palette.open();
    QTest::mouseClick(palette.swatch(TextColour::Red), Qt::LeftButton, {}, QPoint(8, 8));
    ASSERT_EQ(chosen.size(), 1);
    EXPECT_EQ(chosen.at(0).at(0).value<TextColour>(), TextColour::Red);
    EXPECT_FALSE(palette.isVisible());

    palette.open();
    QTest::keyClick(&palette, Qt::Key_Shift); // a modifier alone does not close it
    EXPECT_TRUE(palette.isVisible());
    QTest::keyClick(&palette, Qt::Key_A);
    EXPECT_EQ(std::pair(keyTyped.size(), palette.isVisible()), std::pair(qsizetype(1), false));
    EXPECT_EQ(std::pair(closed.size(), chosen.size()), std::pair(qsizetype(2), qsizetype(1)));
}

// The choice and Applica are the session's; here the clicks must reach it and the frames show it.
TEST_F(ColourDialogsTest, SwatchClicksReachTheChoiceAnnullaWritesNothingOkAppliesAndCloses)
{
    auto dialog = std::make_unique<frmOpzioni>(settings, messages, &window, &screen);
    dialog->show();
    QTest::mouseClick(dialog->tabSwatch(6), Qt::RightButton); // any button chooses
    EXPECT_EQ(std::tuple(dialog->tabFrameWidth(6), dialog->tabFrameWidth(0), dialog->applyButton()->isEnabled()),
              std::tuple(3, 1, true));
    QTest::mouseClick(dialog->cancelButton(), Qt::LeftButton);
    EXPECT_FALSE(dialog->isVisible() || QFile::exists(iniPath));

    dialog = std::make_unique<frmOpzioni>(settings, messages, &window, &screen);
    dialog->show();
    QSignalSpy applied(&dialog->session(), &ColourOptionsSession::applied);
    QTest::mouseClick(dialog->sheetSwatch(7), Qt::LeftButton);
    QTest::mouseClick(dialog->sheetSwatch(2), Qt::LeftButton);
    EXPECT_EQ(std::pair(dialog->sheetFrameWidth(7), dialog->sheetFrameWidth(2)), std::pair(1, 3));
    QTest::mouseClick(dialog->applyButton(), Qt::LeftButton);
    EXPECT_FALSE(dialog->applyButton()->isEnabled());
    QTest::mouseClick(dialog->tabSwatch(4), Qt::LeftButton);
    QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
    EXPECT_EQ(std::tuple(settings.tabColour(), settings.sheetColour(), applied.size(), dialog->isVisible()),
              std::tuple(4, 2, qsizetype(2), false));
}

} // namespace
