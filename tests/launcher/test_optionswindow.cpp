#include "launcher/optionswindow.h"

#include <QCheckBox>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>

#include "platform/autostart.h"
#include "tests/launcher/launchertest.h"

using namespace promemo;
using namespace promemo::launcher;

namespace {

struct OptionsWindowTest : test::WindowTest<frmOpzioni>
{
    OptionsWindowTest() { qputenv("XDG_CONFIG_HOME", config.path().toUtf8()); }
    ~OptionsWindowTest() override { qputenv("XDG_CONFIG_HOME", oldConfigHome); }

    void writeSettings(const QByteArray &text) { dir.put(u"Notino.ini"_qs, text); }
    QByteArray settingsBytes() const { return dir.read(u"Notino.ini"_qs); }
    QString entryPath() const { return config.path() + u"/autostart/Promemo.desktop"_qs; }
    frmOpzioni &open()
    {
        window = new frmOpzioni(fakes.services(), options);
        return *window;
    }

    QTemporaryDir config;
    const QByteArray oldConfigHome = qgetenv("XDG_CONFIG_HOME");
    LauncherOptions options;
};

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
    closeWith(w.cmdOk());
    EXPECT_TRUE(settingsBytes().contains("colore=2\r\n"));
    EXPECT_EQ(std::pair(options.colour, applied.count()), std::pair(NoteColour::Cyan, qsizetype(2)));
}

// What the entry holds is the autostart entry's own test.
TEST_F(OptionsWindowTest, AutostartEntryIsRemovedAfterYesAndCreatedWhenTickedAndAnnullaWritesNothing)
{
    writeSettings("");
    ASSERT_TRUE(writeLauncherEntry(config.path() + u"/autostart"_qs, u"/x/Notino"_qs));
    frmOpzioni &w = open();
    ASSERT_TRUE(w.chkAutostart()->isChecked());
    fakes.messageBoxes.answers = {MessageAnswer::No, MessageAnswer::Yes};
    w.chkAutostart()->click();
    EXPECT_TRUE(w.chkAutostart()->isChecked() && !w.cmdApplica()->isEnabled());
    w.chkAutostart()->click();
    EXPECT_TRUE(QFile::exists(entryPath())); // nothing happens before Apply
    w.cmdApplica()->click();
    EXPECT_FALSE(QFile::exists(entryPath()) || w.chkAutostart()->isChecked());
    // Ticking asks nothing.
    w.chkAutostart()->click();
    w.cmdApplica()->click();
    EXPECT_TRUE(QFile::exists(entryPath()) && w.chkAutostart()->isChecked());
    EXPECT_EQ(fakes.messageBoxes.shown.size(), 2);

    // Annulla after changes writes nothing.
    const QByteArray written = settingsBytes();
    w.optColore(3)->click();
    closeWith(w.cmdAnnulla());
    EXPECT_EQ(std::pair(settingsBytes(), options.colour), std::pair(written, NoteColour::Yellow));
}

} // namespace
