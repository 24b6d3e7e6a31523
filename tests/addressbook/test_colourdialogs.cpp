#include "addressbook/colourdialogs.h"

#include <QDir>
#include <QFile>
#include <QLabel>
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

// Bad values and their defaults are the settings rules' own test.
TEST_F(ColourDialogsTest, ApplicaAndOkWriteBothKeysAnnullaNothingAndAFailedWriteIsReported)
{
    auto dialog = openOptions();
    dialog->clickTabSwatch(6);
    QTest::mouseClick(dialog->cancelButton(), Qt::LeftButton);
    EXPECT_FALSE(dialog->isVisible() || QFile::exists(iniPath));

    {
        QFile ini(iniPath);
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly) && ini.write("[Opzioni]\r\ncolore=2\r\n") > 0);
    }
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
    EXPECT_EQ(std::tuple(settings.tabColour(), settings.sheetColour(), applied.size(), dialog->isVisible()),
              std::tuple(4, 3, qsizetype(2), false));
    dialog = openOptions();
    EXPECT_EQ(std::pair(dialog->chosenTab(), dialog->chosenSheet()), std::pair(4, 3));

    // A lock that cannot be taken fails the write for every user, root too: nothing is applied,
    // and Ok keeps the dialog open.
    const QByteArray before = iniBytes();
    const QString lock = dir.filePath(u".Notino.ini.lock"_qs); // a folder where the lock file goes
    ASSERT_TRUE((!QFile::exists(lock) || QFile::remove(lock)) && QDir().mkpath(lock));
    QSignalSpy refused(dialog.get(), &frmOpzioni::applied);
    dialog->clickSheetSwatch(5);
    QTest::mouseClick(dialog->applyButton(), Qt::LeftButton);
    EXPECT_TRUE(dialog->applyEnabled());
    EXPECT_TRUE(messages.shown.size() == 1 && messages.shown[0].text.contains(u"Impossibile salvare"_qs));
    QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
    EXPECT_EQ(std::tuple(dialog->isVisible(), messages.shown.size(), refused.size(), iniBytes()),
              std::tuple(true, qsizetype(2), qsizetype(0), before));
}

} // namespace
