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

const QString kNoFill = u"Nessun riempimento (colore finestra)"_qs;

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

TEST_F(ColourDialogsTest, PaletteSwatchesSitAtTheirPlacesWithTheirColours)
{
    frmColore palette(&window);
    EXPECT_EQ(palette.size(), QSize(68, 44));
    const std::tuple<TextColour, const char *, QRect, QColor> swatches[] = {
        {TextColour::Black, "Label1", {4, 3, 17, 17}, QColor(0, 0, 0)},
        {TextColour::DarkBlue, "Label2", {25, 3, 17, 17}, QColor(0, 0, 192)},
        {TextColour::Blue, "Label5", {48, 3, 17, 17}, QColor(0, 0, 255)},
        {TextColour::DarkRed, "Label3", {4, 24, 17, 17}, QColor(192, 0, 0)},
        {TextColour::Red, "Label4", {25, 24, 17, 17}, QColor(255, 0, 0)},
        {TextColour::Magenta, "Label6", {48, 24, 17, 17}, QColor(255, 0, 255)},
    };
    for (const auto &[colour, name, place, rgb] : swatches) {
        EXPECT_EQ(palette.swatchRect(colour), place) << name;
        const auto *label = palette.findChild<QLabel *>(QLatin1String(name));
        ASSERT_TRUE(label) << name;
        EXPECT_EQ(label->geometry(), place) << name;
        EXPECT_EQ(background(label), rgb) << name;
    }

    palette.open();
    EXPECT_EQ(palette.pos(), window.mapToGlobal(QPoint(0, 0)) + QPoint(224, 48));
}

TEST_F(ColourDialogsTest, PaletteClickChoosesTheColourAndCloses)
{
    frmColore palette(&window);
    QSignalSpy chosen(&palette, &frmColore::colourChosen);
    QSignalSpy closed(&palette, &frmColore::closed);

    // Between the swatches nothing happens.
    palette.open();
    QTest::mouseClick(&palette, Qt::LeftButton, {}, QPoint(23, 10));
    EXPECT_TRUE(palette.isVisible());
    EXPECT_EQ(chosen.size(), 0);

    for (const TextColour colour : {TextColour::Red, TextColour::Blue, TextColour::Black}) {
        palette.open();
        // The swatch labels let the click through to the palette.
        QTest::mouseClick(palette.swatch(colour), Qt::LeftButton, {}, QPoint(8, 8));
        ASSERT_EQ(chosen.size(), 1);
        EXPECT_EQ(chosen.takeFirst().at(0).value<TextColour>(), colour);
        EXPECT_FALSE(palette.isVisible());
        EXPECT_EQ(closed.size(), 1);
        closed.clear();
    }
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
    EXPECT_EQ(closed.size(), 1);

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
    struct Case
    {
        const char *ini; // nullptr: no file
        int tab;
        int sheet;
    };
    const Case cases[] = {
        {nullptr, 0, 0},
        {"[Opzioni]\r\ncolore=2\r\n", 0, 0}, // no Rubrica section
        {"[Rubrica]\r\nColTasti=9\r\nColSfondo=x\r\n", 1, 0},
        {"[rubrica]\r\ncoltasti=5\r\ncolsfondo=37\r\n", 5, 3},
    };
    for (const Case &c : cases) {
        QFile::remove(iniPath);
        if (c.ini)
            writeIni(c.ini);
        const auto dialog = openOptions();
        EXPECT_EQ(dialog->windowTitle(), u"  Opzioni Colore Rubrica"_qs);
        EXPECT_EQ(dialog->chosenTab(), c.tab) << c.ini;
        EXPECT_EQ(dialog->chosenSheet(), c.sheet) << c.ini;
        for (int i = 0; i < kColourChoices; ++i) {
            EXPECT_EQ(dialog->tabFrameWidth(i), i == c.tab ? 3 : 1) << c.ini << " tab " << i;
            EXPECT_EQ(dialog->sheetFrameWidth(i), i == c.sheet ? 3 : 1) << c.ini << " sheet " << i;
        }
        EXPECT_FALSE(dialog->applyEnabled());
    }

    const auto dialog = openOptions();
    EXPECT_EQ(dialog->tabSwatch(0)->text(), kNoFill);
    EXPECT_EQ(dialog->sheetSwatch(0)->text(), kNoFill);
    EXPECT_EQ(background(dialog->tabSwatch(0)), QApplication::palette().color(QPalette::Button));
    EXPECT_EQ(background(dialog->tabSwatch(1)), QColor(239, 239, 248));
    EXPECT_EQ(background(dialog->sheetSwatch(3)), QColor(255, 230, 183));
    EXPECT_EQ(dialog->sheetSwatch(7)->size(), QSize(24, 24));
    EXPECT_EQ(dialog->sheetSwatch(7)->x() - dialog->sheetSwatch(6)->x(), 32);
}

TEST_F(ColourDialogsTest, OptionsClickMovesTheWideFrame)
{
    const auto dialog = openOptions();
    for (const int i : {7, 2}) {
        QTest::mouseClick(dialog->tabSwatch(i), Qt::LeftButton);
        QTest::mouseClick(dialog->sheetSwatch(i), Qt::LeftButton);
    }
    EXPECT_EQ(dialog->chosenTab(), 2);
    EXPECT_EQ(dialog->chosenSheet(), 2);
    for (int i = 0; i < kColourChoices; ++i) {
        EXPECT_EQ(dialog->tabFrameWidth(i), i == 2 ? 3 : 1) << i;
        EXPECT_EQ(dialog->sheetFrameWidth(i), i == 2 ? 3 : 1) << i;
    }
}

TEST_F(ColourDialogsTest, ApplicaWritesBothKeysAndReportsThem)
{
    writeIni("[Opzioni]\r\ncolore=2\r\n");
    const auto dialog = openOptions();
    QSignalSpy applied(dialog.get(), &frmOpzioni::applied);
    dialog->clickSheetSwatch(3);
    ASSERT_TRUE(dialog->applyEnabled());
    QTest::mouseClick(dialog->applyButton(), Qt::LeftButton);

    const QByteArray written = iniBytes();
    EXPECT_TRUE(written.startsWith("[Opzioni]\r\ncolore=2\r\n")) << written.constData();
    EXPECT_TRUE(written.endsWith("[Rubrica]\r\nColSfondo=3\r\nColTasti=0\r\n"))
        << written.constData();
    ASSERT_EQ(applied.size(), 1);
    EXPECT_EQ(applied.at(0).at(0).toInt(), 0);
    EXPECT_EQ(applied.at(0).at(1).toInt(), 3);
    EXPECT_EQ(sheetQColor(3), QColor(255, 230, 183));
    EXPECT_FALSE(dialog->applyEnabled());
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(messages.shown.isEmpty());

    // Ok applies too, then closes.
    dialog->clickTabSwatch(4);
    QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
    EXPECT_EQ(settings.tabColour(), 4);
    EXPECT_EQ(settings.sheetColour(), 3);
    EXPECT_EQ(applied.size(), 2);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_FALSE(dialog->isVisible());
}

TEST_F(ColourDialogsTest, ApplicaIsEnabledByTheLastAppliedMarker)
{
    auto dialog = openOptions();
    // At opening the marker is 0: sheet swatch 0 leaves Applica off, any tab swatch not.
    dialog->clickSheetSwatch(0);
    EXPECT_FALSE(dialog->applyEnabled());
    dialog->clickTabSwatch(0);
    EXPECT_TRUE(dialog->applyEnabled());

    dialog = openOptions();
    dialog->clickSheetSwatch(2);
    EXPECT_TRUE(dialog->applyEnabled());
    ASSERT_TRUE(dialog->applica());
    EXPECT_FALSE(dialog->applyEnabled());
    // After Apply every swatch enables it again, the one just applied too.
    dialog->clickSheetSwatch(2);
    EXPECT_TRUE(dialog->applyEnabled());
}

TEST_F(ColourDialogsTest, AnnullaWritesNothing)
{
    const QByteArray before = "[Rubrica]\r\nColTasti=2\r\nColSfondo=5\r\n; note\r\n";
    writeIni(before);
    auto dialog = openOptions();
    QSignalSpy applied(dialog.get(), &frmOpzioni::applied);
    dialog->clickTabSwatch(6);
    dialog->clickSheetSwatch(1);
    QTest::mouseClick(dialog->cancelButton(), Qt::LeftButton);
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(iniBytes(), before);
    EXPECT_EQ(applied.size(), 0);

    // Nor is a missing file created.
    QFile::remove(iniPath);
    dialog = openOptions();
    dialog->clickSheetSwatch(1);
    QTest::mouseClick(dialog->cancelButton(), Qt::LeftButton);
    EXPECT_FALSE(QFile::exists(iniPath));
}

TEST_F(ColourDialogsTest, FailedWriteIsReportedAndNothingApplied)
{
    const QByteArray before = "[Rubrica]\r\nColTasti=2\r\nColSfondo=5\r\n";
    enum class Failure { ReadOnlyFile, NoLock };
    for (const Failure failure : {Failure::ReadOnlyFile, Failure::NoLock}) {
        // Root writes read-only files; a lock that cannot be taken fails for every user.
        if (failure == Failure::ReadOnlyFile && ::geteuid() == 0)
            continue;
        QFile::remove(iniPath);
        writeIni(before);
        const QString lockPath = iniPath + u".lock"_qs;
        QFile::remove(lockPath);
        if (failure == Failure::ReadOnlyFile)
            ASSERT_TRUE(QFile::setPermissions(iniPath, QFile::ReadOwner));
        else
            ASSERT_TRUE(QDir().mkpath(lockPath));
        messages.shown.clear();

        const auto dialog = openOptions();
        QSignalSpy applied(dialog.get(), &frmOpzioni::applied);
        dialog->clickSheetSwatch(3);
        QTest::mouseClick(dialog->applyButton(), Qt::LeftButton);
        EXPECT_EQ(applied.size(), 0);
        EXPECT_TRUE(dialog->applyEnabled());
        ASSERT_EQ(messages.shown.size(), 1);
        const Message &warning = messages.shown.first();
        EXPECT_EQ(warning.title, u" Rubrica di Promemo"_qs);
        EXPECT_EQ(warning.icon, MessageIcon::Warning);
        EXPECT_EQ(warning.buttons, MessageButtons::Ok);
        EXPECT_TRUE(warning.text.contains(u"Impossibile salvare"_qs)) << warning.text.toStdString();

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

TEST_F(ColourDialogsTest, OptionsPlacedByTheWindowAndKeptAboveTheScreenBottom)
{
    const QSize size(264, 246);
    const QRect screenArea(0, 0, 1280, 994);
    EXPECT_EQ(optionsDialogPosition({100, 50}, size, screenArea), QPoint(500, 157));
    // 400 twips above the bottom when it would pass it.
    EXPECT_EQ(optionsDialogPosition({100, 700}, size, screenArea), QPoint(500, 994 - 27 - 246));

    window.move(40, 900);
    const frmOpzioni dialog(settings, messages, &window, &screen);
    EXPECT_EQ(dialog.pos().x(), window.frameGeometry().x() + 400);
    EXPECT_EQ(dialog.pos().y() + dialog.frameGeometry().height(), 994 - 27);
}

} // namespace
