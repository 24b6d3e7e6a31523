#include "launcher/notelistwindow.h"

#include "common/daynumber.h"
#include "common/notefile.h"
#include "common/twips.h"
#include "tests/launcher/launchertest.h"

using namespace promemo;
using namespace promemo::launcher;
using namespace std::chrono_literals;
using Start = test::FakeProcessStarter::Start;

namespace {

const QDate kToday(2027, 5, 17);

struct NoteListWindowTest : test::WindowTest<frmCounter>
{
    NoteListWindowTest() { fakes.clock.current = QDateTime(kToday, QTime(10, 0)); }

    QString note(int days, int stamp)
    {
        const int day = dayNumber(kToday) + days;
        const QString name = *encodeNoteName({NoteState::PutAway, day, 'h', 0, 'n', stamp});
        const QString date = dateOfDayNumber(day).toString(u"dd/MM/yyyy"_qs);
        EXPECT_TRUE(writeNoteFile(dir.filePath(name), {u"testo"_qs, date, {}, date}));
        return name;
    }
};

// The size follows from the sections shown; a click reaches the session, the focus goes to
// "Chiudi", and the second click of a double click does not start the line that moved up.
TEST_F(NoteListWindowTest, GrowsForThePastNotesAndStartsTheClickedNoteOnce)
{
    const QString first = note(0, 1);
    note(0, 2);
    note(-1, 3);
    window = new frmCounter(fakes.services());
    EXPECT_EQ(window->windowTitle(), u"  Elenco Notino"_qs);
    EXPECT_EQ(window->height(), twipsToPixels(5040 - 405));
    EXPECT_TRUE(window->findChild<QWidget *>(u"Label3"_qs)->isVisible());
    EXPECT_FALSE(window->findChild<QWidget *>(u"Label4"_qs)->isVisible());

    test::clickRow(window->list(1), 0);
    test::clickRow(window->list(1), 0);
    EXPECT_EQ(fakes.processes.started, (QList<Start>{{u"Kalvo"_qs, {first}, WindowMode::NormalWithFocus}}));
    EXPECT_EQ(window->focusWidget(), window->chiudi());
    EXPECT_EQ(window->list(1)->count(), 1);
    fakes.clock.advance(1s);
    test::clickRow(window->list(1), 0);
    EXPECT_EQ(fakes.processes.started.size(), 2);
    EXPECT_EQ(window->list(1)->item(0)->text(), NoteListSession::placeholder());
}

} // namespace
