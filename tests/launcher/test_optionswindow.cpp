#include "launcher/optionswindow.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "platform/autostart.h"
#include "tests/support/fakes.h"

using namespace promemo;
using namespace promemo::launcher;

namespace {

class OptionsWindowTest : public ::testing::Test, public test::ProgramFolderWithFakes
{
protected:
    OptionsWindowTest()
    {
        oldConfigHome = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    }
    ~OptionsWindowTest() override
    {
        delete window.data();
        qputenv("XDG_CONFIG_HOME", oldConfigHome);
    }

    void writeSettings(const QByteArray &text) { dir.put(u"Notino.ini"_qs, text); }
    QByteArray settingsBytes() const { return dir.read(u"Notino.ini"_qs); }
    QString entryPath() const { return config.path() + u"/autostart/Promemo.desktop"_qs; }

    frmOpzioni &open()
    {
        window = new frmOpzioni(fakes.services(), options);
        return *window;
    }
    void clickAndWaitForClose(QPushButton *button)
    {
        button->click();
        EXPECT_TRUE(QTest::qWaitFor([this] { return window.isNull(); }, 2000));
    }

    QTemporaryDir config;
    QByteArray oldConfigHome;
    LauncherOptions options;
    QPointer<frmOpzioni> window;
};

// Bad values and their defaults are the settings rules' own test.
TEST_F(OptionsWindowTest, PresetsFromTheFileAndOkWithoutChangesOrAnnullaWriteNothing)
{
    const QByteArray ini = "[Opzioni]\r\ncolore=2\r\nfontsize=3\r\n; kept\r\ngrandezza=2\r\nshowelenco=3\r\nsound=0\r\n";
    writeSettings(ini);
    options.sound = true; // the launcher's flag, not the file, presets the box
    frmOpzioni &w = open();
    EXPECT_TRUE(w.isVisible() && w.chkSuono()->isChecked() && !w.chkAutostart()->isChecked());
    EXPECT_TRUE(w.optAvvio(3)->isChecked() && w.optDimensioni(2)->isChecked()
                && w.optCarattere(3)->isChecked() && w.optColore(2)->isChecked());
    EXPECT_FALSE(w.cmdApplica()->isEnabled());
    QSignalSpy applied(&w, &frmOpzioni::applied);
    clickAndWaitForClose(w.cmdOk());
    EXPECT_EQ(std::pair(settingsBytes(), applied.count()), std::pair(ini, qsizetype(0)));

    ASSERT_TRUE(writeLauncherEntry(config.path() + u"/autostart"_qs, u"/x/Notino"_qs));
    EXPECT_TRUE(open().chkAutostart()->isChecked());
    window->optColore(3)->click();
    window->chkSuono()->click();
    EXPECT_TRUE(window->cmdApplica()->isEnabled());
    clickAndWaitForClose(window->cmdAnnulla());
    EXPECT_EQ(settingsBytes(), ini);
    EXPECT_EQ(options.colour, NoteColour::Yellow);
    EXPECT_TRUE(fakes.messageBoxes.shown.isEmpty());
}

TEST_F(OptionsWindowTest, LeavingSempreAsksOtherStartChoicesDoNotAndOnlyAChangeEnablesApply)
{
    writeSettings("[Opzioni]\r\nshowelenco=1\r\n");
    frmOpzioni &w = open();
    w.optAvvio(1)->click();
    EXPECT_FALSE(w.cmdApplica()->isEnabled());
    fakes.messageBoxes.answers = {MessageAnswer::No};
    w.optAvvio(4)->click();
    ASSERT_EQ(fakes.messageBoxes.shown.size(), 1);
    EXPECT_TRUE(fakes.messageBoxes.shown[0].text.contains(u"l'Elenco dei Notino all'avvio"_qs));
    EXPECT_TRUE(w.optAvvio(1)->isChecked());
    EXPECT_FALSE(w.cmdApplica()->isEnabled());

    // Yes lets "Mai " through; moving between the other choices asks nothing more.
    fakes.messageBoxes.answers = {MessageAnswer::Yes};
    w.optAvvio(4)->click();
    w.optAvvio(2)->click();
    w.optAvvio(3)->click();
    EXPECT_EQ(fakes.messageBoxes.shown.size(), 2);
    EXPECT_TRUE(w.cmdApplica()->isEnabled());
    w.cmdApplica()->click();
    EXPECT_FALSE(w.cmdApplica()->isEnabled());
    EXPECT_TRUE(settingsBytes().contains("showelenco=3\r\n"));
}

TEST_F(OptionsWindowTest, ApplyWritesTheFiveKeysInOrderAndUpdatesTheLauncher)
{
    writeSettings("");
    frmOpzioni &w = open();
    QSignalSpy applied(&w, &frmOpzioni::applied);
    NoteColour colourSeen = NoteColour::Yellow;
    QObject::connect(&w, &frmOpzioni::applied, [&] { colourSeen = options.colour; });
    w.optColore(3)->click();
    w.optCarattere(1)->click();
    w.optDimensioni(2)->click();
    w.chkSuono()->click();
    w.cmdApplica()->click();

    EXPECT_EQ(settingsBytes(), QByteArray("[Opzioni]\r\nsound=1\r\nshowelenco=1\r\nfontsize=1\r\n"
                                          "colore=3\r\ngrandezza=2\r\n"));
    // The launcher's options are set before it is told.
    EXPECT_EQ(std::tuple(applied.count(), colourSeen, options.appearanceCode(), options.noteSize, options.sound),
              std::tuple(qsizetype(1), NoteColour::Green, u"31"_qs, NoteSize::Medium, true));
    EXPECT_FALSE(w.cmdApplica()->isEnabled());

    // Ok after a change applies before closing.
    w.optColore(2)->click();
    clickAndWaitForClose(w.cmdOk());
    EXPECT_TRUE(settingsBytes().contains("colore=2\r\n"));
    EXPECT_EQ(std::pair(options.colour, applied.count()), std::pair(NoteColour::Cyan, qsizetype(2)));
}

TEST_F(OptionsWindowTest, AutostartEntryIsRemovedAfterYesAndCreatedWhenTicked)
{
    writeSettings("");
    ASSERT_TRUE(writeLauncherEntry(config.path() + u"/autostart"_qs, u"/x/Notino"_qs));
    frmOpzioni &w = open();
    ASSERT_TRUE(w.chkAutostart()->isChecked());

    fakes.messageBoxes.answers = {MessageAnswer::No};
    w.chkAutostart()->click();
    EXPECT_EQ(fakes.messageBoxes.shown.size(), 1);
    EXPECT_TRUE(w.chkAutostart()->isChecked() && !w.cmdApplica()->isEnabled());

    fakes.messageBoxes.answers = {MessageAnswer::Yes};
    w.chkAutostart()->click();
    EXPECT_FALSE(w.chkAutostart()->isChecked());
    EXPECT_TRUE(QFile::exists(entryPath())); // nothing happens before Apply
    w.cmdApplica()->click();
    EXPECT_FALSE(QFile::exists(entryPath()));

    w.chkAutostart()->click();
    EXPECT_EQ(fakes.messageBoxes.shown.size(), 2); // ticking asks nothing
    w.cmdApplica()->click();
    // What the entry holds is the autostart entry's own test.
    EXPECT_TRUE(QFile::exists(entryPath()) && w.chkAutostart()->isChecked());

    // An entry that cannot be written is not reported, but the box does not claim it.
    QFile::remove(entryPath());
    QDir(config.path()).rmdir(u"autostart"_qs);
    QFile blocker(config.path() + u"/autostart"_qs);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    w.chkAutostart()->click();
    w.chkAutostart()->click();
    w.cmdApplica()->click();
    EXPECT_FALSE(w.chkAutostart()->isChecked());
    EXPECT_EQ(fakes.messageBoxes.shown.size(), 3);
}

} // namespace
