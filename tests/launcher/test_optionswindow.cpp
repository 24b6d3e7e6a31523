#include "launcher/optionswindow.h"

#include <QCheckBox>
#include <QRadioButton>
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

    QTemporaryDir config;
    const QByteArray oldConfigHome = qgetenv("XDG_CONFIG_HOME");
};

// The boxes show what the session says, the desktop's autostart entry included; "Annulla"
// writes nothing. The flows themselves are the session's tests.
TEST_F(OptionsWindowTest, ClicksReachTheSessionAndTheControlsShowItsAnswer)
{
    dir.put(u"Notino.ini"_qs, "[Opzioni]\r\ncolore=2\r\n");
    const QString autostart = config.path() + u"/autostart"_qs;
    ASSERT_TRUE(writeLauncherEntry(autostart, u"/x/Notino"_qs));
    window = new frmOpzioni(fakes.services(), {});
    EXPECT_TRUE(window->chkAutostart()->isChecked() && window->optColore(2)->isChecked());
    fakes.messageBoxes.answers = {MessageAnswer::No};
    window->chkAutostart()->click();
    EXPECT_TRUE(window->chkAutostart()->isChecked() && !window->cmdApplica()->isEnabled());
    window->chkAutostart()->click();
    window->cmdApplica()->click();
    EXPECT_FALSE(hasLauncherEntry(autostart) || window->chkAutostart()->isChecked());
    EXPECT_TRUE(dir.read(u"Notino.ini"_qs).contains("colore=2\r\n"));

    window->optColore(3)->click();
    EXPECT_TRUE(window->cmdApplica()->isEnabled());
    const QByteArray written = dir.read(u"Notino.ini"_qs);
    closeWith(window->cmdAnnulla());
    EXPECT_EQ(dir.read(u"Notino.ini"_qs), written);
}

} // namespace
