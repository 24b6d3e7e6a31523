#include "launcher/core/optionssession.h"

#include <QSignalSpy>

#include "tests/launcher/core/sessiontest.h"

using namespace promemo;
using namespace promemo::launcher;

namespace {

// The desktop's entry is on until set; `autostartError` makes setting it fail.
struct OptionsSessionTest : test::SessionTest
{
    OptionsSession &open(const QString &folder)
    {
        const auto set = [this](bool on) {
            autostartSet << on;
            autostartOn = autostartError.isEmpty() ? on : autostartOn;
            return WriteResult{autostartError};
        };
        session = std::make_unique<OptionsSession>(messageBoxes, nullptr, folder, LauncherOptions{},
                                                   AutostartEntry{[this] { return autostartOn; }, set});
        return *session;
    }
    QByteArray settings() const { return dir.read(u"Notino.ini"_qs); }

    QList<bool> autostartSet;
    bool autostartOn = true;
    QString autostartError;
    std::unique_ptr<OptionsSession> session;
};

TEST_F(OptionsSessionTest, ApplyWritesTheFiveKeysInOrderAndLeavingSempreOrTheAutostartAsks)
{
    OptionsSession &s = open(dir.path());
    QSignalSpy applied(&s, &OptionsSession::applied);
    s.OptColore_Click(3);
    s.optCarattere_Click(1);
    s.optDimensioni_Click(2);
    s.chkSuono_Click(true);
    s.cmdApplica_Click();
    EXPECT_EQ(settings(), QByteArray("[Opzioni]\r\nsound=1\r\nshowelenco=1\r\nfontsize=1\r\ncolore=3\r\ngrandezza=2\r\n"));
    ASSERT_EQ(applied.count(), 1);
    const auto given = applied[0][0].value<LauncherOptions>();
    EXPECT_EQ(std::tuple(given.colour, given.appearanceCode(), given.noteSize, given.sound, s.state().applyEnabled),
              std::tuple(NoteColour::Green, u"31"_qs, NoteSize::Medium, true, false));
    // Ok without a change writes nothing; after one it applies.
    s.cmdOk_Click();
    EXPECT_EQ(applied.count(), 1);
    s.OptColore_Click(2);
    s.cmdOk_Click();
    EXPECT_TRUE(settings().contains("colore=2\r\n") && autostartSet.isEmpty() && messageBoxes.shown.isEmpty());

    // Leaving "Sempre" or the autostart asks; No keeps it.
    messageBoxes.answers = {MessageAnswer::No, MessageAnswer::No, MessageAnswer::Yes};
    s.optAvvio_Click(4);
    EXPECT_TRUE(s.state().avvio == 1 && !s.state().applyEnabled);
    s.chkAutostart_Click(false);
    EXPECT_TRUE(s.state().autostart && !s.state().applyEnabled);
    s.chkAutostart_Click(false);
    s.cmdApplica_Click();
    // From option 2 to 3, and ticking the box, ask nothing.
    s.optAvvio_Click(2);
    s.optAvvio_Click(3);
    s.chkAutostart_Click(true);
    s.cmdApplica_Click();
    EXPECT_EQ(messageBoxes.shown.size(), 4);
    EXPECT_TRUE(messageBoxes.shown[0].buttons == MessageButtons::YesNo && settings().contains("showelenco=3\r\n"));
    EXPECT_EQ(std::pair(autostartSet, s.state().autostart), std::pair(QList<bool>{false, true}, true));
}

TEST_F(OptionsSessionTest, AFailedWriteIsShownAndTheBoxShowsWhatTheDesktopHolds)
{
    autostartError = u"disco pieno"_qs;
    OptionsSession &s = open(dir.filePath(u"non-esiste"_qs));
    s.chkAutostart_Click(false);
    s.cmdApplica_Click();
    ASSERT_EQ(messageBoxes.shown.size(), 3);
    EXPECT_EQ(messageBoxes.shown[1].text, u"  Impossibile salvare le opzioni:    \r\r  disco pieno    "_qs);
    EXPECT_TRUE(messageBoxes.shown[2].text.startsWith(u"  Impossibile salvare le opzioni:"_qs) && s.state().autostart);
}

} // namespace
