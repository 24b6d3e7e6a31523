#include "addressbook/colourdialogs.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

#include <unistd.h>

#include "common/atomicfile.h"
#include "tests/support/fakes.h"

using namespace promemo;
using namespace promemo::rubrica;

namespace {

QColor background(const QWidget *widget)
{
    return widget->palette().color(QPalette::Window);
}

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

// --- palette ------------------------------------------------------------------------------

TEST_F(ColourDialogsTest, PaletteClickChoosesTheSwatchColourAndCloses)
{
    frmColore palette(&window);
    QSignalSpy chosen(&palette, &frmColore::colourChosen);
    QSignalSpy closed(&palette, &frmColore::closed);

    // Between the swatches nothing happens.
    palette.open();
    QTest::mouseClick(&palette, Qt::LeftButton, {}, QPoint(23, 10));
    EXPECT_TRUE(palette.isVisible());
    EXPECT_EQ(chosen.size(), 0);

    for (const auto &[colour, rgb] : {std::pair{TextColour::Red, QColor(255, 0, 0)},
                                      std::pair{TextColour::Black, QColor(0, 0, 0)}}) {
        palette.open();
        EXPECT_EQ(background(palette.swatch(colour)), rgb);
        // The swatch labels let the click through to the palette.
        QTest::mouseClick(palette.swatch(colour), Qt::LeftButton, {}, QPoint(8, 8));
        ASSERT_EQ(chosen.size(), 1);
        EXPECT_EQ(chosen.takeFirst().at(0).value<TextColour>(), colour);
        EXPECT_FALSE(palette.isVisible());
    }
    EXPECT_EQ(closed.size(), 2);
}

TEST_F(ColourDialogsTest, PaletteClosesOnAKeyAndOnLosingTheFocus)
{
    frmColore palette(&window);
    QSignalSpy keyTyped(&palette, &frmColore::keyTyped);
    QSignalSpy closed(&palette, &frmColore::closed);

    palette.open();
    QTest::keyClick(&palette, Qt::Key_Shift);
    EXPECT_TRUE(palette.isVisible());
    QTest::keyClick(&palette, Qt::Key_A);
    EXPECT_EQ(keyTyped.size(), 1);
    EXPECT_FALSE(palette.isVisible());

    palette.open();
    QTRY_VERIFY_WITH_TIMEOUT(palette.isActiveWindow(), 2000);
    window.activateWindow();
    QTRY_VERIFY_WITH_TIMEOUT(!palette.isVisible(), 2000);
    EXPECT_EQ(closed.size(), 2);
    EXPECT_EQ(keyTyped.size(), 1);
}

// --- options dialog -----------------------------------------------------------------------

TEST_F(ColourDialogsTest, OptionsOpenWithTheStoredChoices)
{
    const std::tuple<const char *, int, int> cases[] = {
        {nullptr, 0, 0}, // no file
        {"[Rubrica]\r\nColTasti=9\r\nColSfondo=x\r\n", 1, 0},
        {"[rubrica]\r\ncoltasti=5\r\ncolsfondo=37\r\n", 5, 3},
    };
    for (const auto &[ini, tab, sheet] : cases) {
        QFile::remove(iniPath);
        if (ini)
            writeIni(ini);
        const auto dialog = openOptions();
        EXPECT_EQ(dialog->chosenTab(), tab) << ini;
        EXPECT_EQ(dialog->chosenSheet(), sheet) << ini;
        EXPECT_EQ(dialog->sheetFrameWidth(sheet), 3) << ini;
        EXPECT_FALSE(dialog->applyEnabled());
    }
}

TEST_F(ColourDialogsTest, ClicksMoveTheWideFrameAndEnableApplicaByTheLastAppliedMarker)
{
    auto dialog = openOptions();
    // At opening the marker is 0: sheet swatch 0 leaves Applica off, any tab swatch not.
    dialog->clickSheetSwatch(0);
    EXPECT_FALSE(dialog->applyEnabled());
    dialog->clickTabSwatch(0);
    EXPECT_TRUE(dialog->applyEnabled());

    dialog = openOptions();
    for (const int i : {7, 2}) {
        QTest::mouseClick(dialog->tabSwatch(i), Qt::LeftButton);
        QTest::mouseClick(dialog->sheetSwatch(i), Qt::LeftButton);
    }
    EXPECT_EQ(dialog->chosenTab(), 2);
    EXPECT_EQ(dialog->chosenSheet(), 2);
    EXPECT_EQ(dialog->sheetFrameWidth(7), 1);
    ASSERT_TRUE(dialog->applica());
    EXPECT_FALSE(dialog->applyEnabled());
    // After Apply every swatch enables it again, the one just applied too.
    dialog->clickSheetSwatch(2);
    EXPECT_TRUE(dialog->applyEnabled());
}

TEST_F(ColourDialogsTest, ApplicaWritesBothKeysAndReportsThem)
{
    writeIni("[Opzioni]\r\ncolore=2\r\n");
    const auto dialog = openOptions();
    QSignalSpy applied(dialog.get(), &frmOpzioni::applied);
    dialog->clickSheetSwatch(3);
    QTest::mouseClick(dialog->applyButton(), Qt::LeftButton);

    EXPECT_EQ(iniBytes(), "[Opzioni]\r\ncolore=2\r\n\r\n[Rubrica]\r\nColSfondo=3\r\nColTasti=0\r\n");
    ASSERT_EQ(applied.size(), 1);
    EXPECT_EQ(applied.at(0), (QList<QVariant>{0, 3}));
    EXPECT_FALSE(dialog->applyEnabled());
    EXPECT_TRUE(dialog->isVisible());

    // Ok applies too, then closes.
    dialog->clickTabSwatch(4);
    QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
    EXPECT_EQ(std::pair(settings.tabColour(), settings.sheetColour()), std::pair(4, 3));
    EXPECT_EQ(applied.size(), 2);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(ColourDialogsTest, AnnullaWritesNothing)
{
    const QByteArray before = "[Rubrica]\r\nColTasti=2\r\nColSfondo=5\r\n; note\r\n";
    for (const bool fileExists : {true, false}) {
        QFile::remove(iniPath);
        if (fileExists)
            writeIni(before);
        auto dialog = openOptions();
        QSignalSpy applied(dialog.get(), &frmOpzioni::applied);
        dialog->clickTabSwatch(6);
        dialog->clickSheetSwatch(1);
        QTest::mouseClick(dialog->cancelButton(), Qt::LeftButton);
        EXPECT_FALSE(dialog->isVisible());
        EXPECT_EQ(applied.size(), 0);
        // Nor is a missing file created.
        EXPECT_EQ(iniBytes(), fileExists ? before : QByteArray());
        EXPECT_EQ(QFile::exists(iniPath), fileExists);
    }
}

TEST_F(ColourDialogsTest, FailedWriteIsReportedAndNothingApplied)
{
    const QByteArray before = "[Rubrica]\r\nColTasti=2\r\nColSfondo=5\r\n";
    const QString lockPath = dir.filePath(u".Notino.ini.lock"_qs);
    for (const bool readOnlyFile : {true, false}) {
        // Root writes read-only files; a lock that cannot be taken fails for every user.
        if (readOnlyFile && ::geteuid() == 0)
            continue;
        QFile::remove(iniPath);
        writeIni(before);
        ASSERT_TRUE(readOnlyFile ? QFile::setPermissions(iniPath, QFile::ReadOwner)
                                 : QDir().mkpath(lockPath));
        messages.shown.clear();

        const auto dialog = openOptions();
        QSignalSpy applied(dialog.get(), &frmOpzioni::applied);
        dialog->clickSheetSwatch(3);
        QTest::mouseClick(dialog->applyButton(), Qt::LeftButton);
        EXPECT_TRUE(dialog->applyEnabled());
        ASSERT_EQ(messages.shown.size(), 1);
        EXPECT_EQ(messages.shown[0].icon, MessageIcon::Warning);
        EXPECT_TRUE(messages.shown[0].text.contains(u"Impossibile salvare"_qs));

        // Ok keeps the dialog open after a failed write.
        QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_EQ(messages.shown.size(), 2);
        EXPECT_EQ(applied.size(), 0);

        QFile::setPermissions(iniPath, QFile::ReadOwner | QFile::WriteOwner);
        QDir(lockPath).removeRecursively();
        EXPECT_EQ(iniBytes(), before);
    }
}

} // namespace
