#include "note/core/notesession.h"

#include <QDir>

#include <gtest/gtest.h>

#include "common/archive.h"
#include "common/atomicfile.h"
#include "common/datetexts.h"
#include "common/daynumber.h"
#include "common/notefile.h"
#include "common/recoverycopy.h"
#include "tests/support/fakes.h"

using namespace promemo;
using namespace promemo::note;
using namespace promemo::test;
using namespace std::chrono_literals;

namespace {

// A normal note centred on the fake 1280 x 1024 screen.
const QPoint kCentre(543, 442);

// The registry as the note uses it: the watcher it closes, the other notes' states and its own.
// Answers come when the fake clock moves.
struct NoteRegistry final : IWindowRegistry
{
    explicit NoteRegistry(FakeClock &fakeClock) : clock(fakeClock) {}
    std::unique_ptr<RegisteredWindow> registerWindow(const QString &) override { return nullptr; }
    void checkPresence(const QString &, QObject *, std::function<void(const WindowPresence &)>) override {}
    void postClose(const QString &, QObject *, std::function<void(bool)>) override {}
    void raise(const QString &, QObject *, std::function<void(bool)>) override {}
    void captionsStartingWith(const QString &, QObject *, std::function<void(const QStringList &)>) override {}
    void closeAll(const QString &caption, std::chrono::milliseconds, QObject *context, std::function<void(bool)> done) override
    {
        closed << caption;
        clock.after(0ms, context, [done] { if (done) done(true); });
    }
    void statesOf(const QString &, QObject *context, std::function<void(const QByteArrayList &)> done) override
    {
        clock.after(0ms, context, [this, done] { done(QByteArrayList(others) << own()); });
    }

    FakeClock &clock;
    QStringList closed;
    QByteArrayList others;
    std::function<QByteArray()> own;
};

class NoteSessionTest : public ::testing::Test
{
protected:
    QDate today() const { return clock.today(); }
    void setNow(int minutes) { clock.current.setTime(QTime(minutes / 60, minutes % 60)); }
    // Writes a put-away note file and returns its name.
    QString writeNote(QDate date, int alert, char colour = 'h', char size = 'n')
    {
        const QString name = *encodeNoteName({NoteState::PutAway, dayNumber(date), colour, alert, size, 100});
        EXPECT_TRUE(writeNoteFile(dir.filePath(name), {u"Dentista\r\nore 9"_qs, dateText(date), alertText(alert), {}}));
        return name;
    }
    QStringList noteFiles() const { return dir.files(u"?*[0-9].dat"_qs); }
    void removeNoteFiles() { for (const QString &file : noteFiles()) QFile::remove(dir.filePath(file)); }
    int archived() const { return readArchiveFile(dir.filePath(u"archivio.dat"_qs)).records.size(); }
    auto open(const QString &name, NoteSize size = NoteSize::Normal) { return begin(openNote(name, size, clock, dir.path())); }
    auto fresh(const QString &code = u"12"_qs, NoteSize size = NoteSize::Normal) { return begin(newNote(code, size, clock)); }
    std::unique_ptr<NoteSession> begin(std::optional<StartedNote> started)
    {
        if (!started)
            return nullptr;
        const NoteServices services{clock, boxes, keys, screen, sound, windows, notifications};
        auto session = std::make_unique<NoteSession>(services, std::move(started->note), dir.path(), QSize(193, 140));
        windows.own = [s = session.get()] { return s->firedState(); };
        session->start(started->placement, kCentre);
        clock.advance(0ms);
        return session;
    }
    // A drop with the top-left corner at `pixels`.
    void dropAt(NoteSession &session, QPoint pixels) { session.windowMoved(pixels), session.afterDrag(), clock.advance(0ms); }
    static void press(NoteSession &session, Qt::Key key, Qt::KeyboardModifiers modifiers = {}) { session.Text1_KeyDown(key, modifiers); }

    TemporaryProgramFolder dir;
    FakeClock clock;
    FakeMessageBoxes boxes;
    FakeKeyState keys;
    FakeScreen screen;
    FakeSound sound;
    NoteRegistry windows{clock};
    FakeNotifications notifications;
};

TEST_F(NoteSessionTest, ReopenedNoteIsReadHeldAndPlacedByItsAlert)
{
    setNow(10 * 60);
    // passed: fires at its first tick; a pending alert closes the watcher.
    struct Case { char colour, size; NoteSize program; int dayOffset, alert; NoteColour colourShown;
                  int points; bool passed, watcherClosed; };
    const Case cases[] = {
        {'a', 's', NoteSize::Normal, 0, 0, NoteColour::Cyan, 10, false, false},
        {'v', 'm', NoteSize::Normal, 1, 9 * 60, NoteColour::Green, 14, false, true},
        {'a', 'n', NoteSize::Medium, 0, 10 * 60, NoteColour::Yellow, 12, true, false},
        // an alert of an earlier day has passed too, at any minute
        {'h', 'n', NoteSize::Normal, -1, 23 * 60, NoteColour::Yellow, 12, true, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE((std::string{c.colour, c.size}));
        const QDate date = today().addDays(c.dayOffset);
        const QString name = writeNote(date, c.alert, c.colour, c.size);
        windows.closed.clear();
        const auto session = open(name, c.program);
        ASSERT_TRUE(session);
        const Note &note = session->note();
        EXPECT_EQ(std::tuple(note.colour, note.points, note.date, session->showsMissedMoment() ? note.missedMoment : note.alertText),
                  std::tuple(c.colourShown, c.points, date, c.dayOffset < 0 ? u"23.00 di ieri"_qs : alertText(c.alert)));
        // Saved at once unless passed, but the first save after reopening is not archived.
        // Passed: the file read stays, shown, until the note ends.
        EXPECT_EQ(std::tuple(note.alertFired, note.file.name() == *withState(name, NoteState::Shown),
                             noteFiles().size(), archived(), windows.closed.contains(u"NotinoControl"_qs)),
                  std::tuple(c.passed, c.passed, 1, 0, c.watcherClosed));
        removeNoteFiles();
    }
    // An unreadable date shows the note for today.
    const QString name = writeNote(today().addDays(3), 0);
    ASSERT_TRUE(writeNoteFile(dir.filePath(name), {u"testo"_qs, u"31/02/abcd"_qs, {}, {}}));
    EXPECT_EQ(open(name)->note().date, today());
}

TEST_F(NoteSessionTest, ANewNoteTakesItsLooksFromTheCodeSavesWhenChangedAndF5TwiceDeletesIt)
{
    const auto session = fresh(u"23"_qs, NoteSize::Medium);
    session->Text1_Change(u"Latte"_qs);
    dropAt(*session, {300, 300});
    const QStringList first = noteFiles();
    ASSERT_EQ(first.size(), 1);
    const auto saved = decodeNoteName(first.front());
    EXPECT_EQ(std::tuple(saved->colourLetter, saved->sizeLetter, saved->day, archived()),
              std::tuple('b', 'm', dayNumber(today()), 1));
    // Unchanged: no new save.
    clock.advance(5s);
    dropAt(*session, {310, 300});
    EXPECT_EQ(noteFiles(), first);
    // A change other than of the text forces a save under a new name.
    press(*session, Qt::Key_4, Qt::ControlModifier | Qt::KeypadModifier);
    dropAt(*session, {300, 300});
    ASSERT_EQ(noteFiles().size(), 1);
    EXPECT_EQ(std::pair(decodeNoteName(noteFiles().front())->sizeLetter, archived()), std::pair('s', 2));
    // Any key between two F5 disarms the deletion; the first moves the note down.
    for (const Qt::Key key : {Qt::Key_F5, Qt::Key_X, Qt::Key_F5})
        press(*session, key);
    EXPECT_TRUE(!session->ended() && session->position().y() > 300);
    press(*session, Qt::Key_F5);
    EXPECT_TRUE(session->ended() && noteFiles().isEmpty() && boxes.shown.isEmpty());
}

TEST_F(NoteSessionTest, DropAtTheBottomDeletesOrAsksAndAtTheSidesPutsAway)
{
    setNow(12 * 60);
    // Which bottom drops ask is the rule's own test; here what the answer and the sides do.
    enum class Outcome { Deleted, Kept, PutAway };
    const QPoint bottom(300, 950), right(1200, 300), left(-60, 300);
    const std::tuple<QPoint, int, int, MessageAnswer, Outcome, bool> cases[] = {
        {bottom, 1, 0, MessageAnswer::Yes, Outcome::Deleted, false},
        {bottom, 0, 13 * 60, MessageAnswer::No, Outcome::Kept, false},
        {right, 0, 13 * 60, MessageAnswer::No, Outcome::PutAway, true},
        {left, 1, 13 * 60, MessageAnswer::No, Outcome::PutAway, false},
    };
    for (const auto &[drop, dayOffset, alert, answer, outcome, watcherClosed] : cases) {
        SCOPED_TRACE(drop.x());
        const auto session = open(writeNote(today().addDays(dayOffset), alert));
        windows.closed.clear();
        boxes.shown.clear();
        boxes.answers = {answer};
        dropAt(*session, drop);
        const QStringList files = noteFiles();
        EXPECT_EQ(std::tuple(session->ended(), boxes.shown.size(), files.size(), !windows.closed.isEmpty()),
                  std::tuple(outcome != Outcome::Kept, drop == bottom, outcome != Outcome::Deleted, watcherClosed));
        // Kept notes come back to the centre; put away ones are renamed to "o...".
        EXPECT_TRUE(outcome != Outcome::Kept || session->position() == kCentre);
        EXPECT_TRUE(outcome != Outcome::PutAway || files.value(0).startsWith(u'o'));
        removeNoteFiles();
    }
    // A note with no file to rename (never saved) is put away without a file and without a word.
    const auto unsaved = fresh();
    boxes.shown.clear();
    dropAt(*unsaved, right);
    EXPECT_TRUE(unsaved->ended() && noteFiles().isEmpty() && boxes.shown.isEmpty());
}

TEST_F(NoteSessionTest, AlertFiresAtItsMinute)
{
    dir.put(u"suono.wav"_qs, {});
    dir.put(u"Notino.ini"_qs, "[Opzioni]\r\nsound=1\r\n");
    setNow(10 * 60 + 14);
    const auto session = open(writeNote(today(), 10 * 60 + 20));
    session->windowMoved({100, 100});
    clock.current = clock.current.addSecs(5 * 60 + 59);
    session->Timer2_Timer();
    EXPECT_FALSE(session->note().alertFired);
    setNow(10 * 60 + 20);
    session->Timer2_Timer();
    clock.advance(0ms);
    // Centred with its sound and a notification; the file stays until the note ends.
    EXPECT_EQ(std::tuple(session->note().alertFired, session->alertCentred(), session->position(), noteFiles().size(),
                         sound.played.size()),
              std::tuple(true, true, kCentre, 1, 1));
    ASSERT_EQ(notifications.shown.size(), 1);
    EXPECT_EQ(std::pair(notifications.shown[0].summary, notifications.shown[0].body),
              std::pair(dateText(today()) + u" 10.20"_qs, u"Dentista\nore 9"_qs));
    // Fired: a drop saves nothing; put away, the note and its file are gone.
    dropAt(*session, {310, 300});
    EXPECT_EQ(noteFiles().size(), 1);
    dropAt(*session, {1200, 300});
    EXPECT_EQ(std::pair(session->ended(), noteFiles().size()), std::pair(true, qsizetype(0)));

    // notifiche=0: the alert fires in the note only.
    dir.put(u"Notino.ini"_qs, "[Opzioni]\r\nsound=1\r\nnotifiche=0\r\n");
    const auto quiet = open(writeNote(today(), 10 * 60 + 20));
    EXPECT_EQ(std::pair(quiet->note().alertFired, notifications.shown.size()), std::pair(true, qsizetype(1)));
}

TEST_F(NoteSessionTest, AFiredNotesNotificationGoesWhenTheNoteIsDealtWith)
{
    setNow(10 * 60 + 20);
    const std::pair<const char *, std::function<void(NoteSession &)>> ways[] = {
        {"closed by the launcher", [](NoteSession &session) { EXPECT_TRUE(session.closeFromOutside()); }},
        {"put away", [this](NoteSession &session) { dropAt(session, {1200, 300}); }},
        {"deleted", [](NoteSession &session) { press(session, Qt::Key_F5); press(session, Qt::Key_F5); }},
        {"alert later", [](NoteSession &session) { press(session, Qt::Key_Right, Qt::ControlModifier); }},
        {"alert set-up", [this](NoteSession &session) {
             AlertSetupSession setup(session, clock, WindowMessages(boxes, {}));
             EXPECT_TRUE(setup.cmdOk_Click(setup.open()).closes);
         }},
    };
    for (const auto &[way, dealWith] : ways) {
        SCOPED_TRACE(way);
        const auto session = open(writeNote(today(), 10 * 60 + 20));
        ASSERT_TRUE(session->note().alertFired);
        const qsizetype fired = notifications.shown.size() - 1;
        // Looking at it, moving it or bringing it forward (its notification picked) is not dealing with it.
        int raised = 0;
        QObject::connect(session.get(), &NoteSession::raiseRequested, [&] { ++raised; });
        dropAt(*session, {310, 300});
        notifications.activate(fired);
        EXPECT_EQ(std::pair(notifications.withdrawn(fired), raised), std::pair(false, 1));
        dealWith(*session);
        EXPECT_TRUE(notifications.withdrawn(fired));
        removeNoteFiles();
    }
}

// Past midnight: "Rimanda di 10 minuti" on a fired note's notification sets the alert on the next
// day and saves it; an alert stepped to 00.00 is none once saved.
TEST_F(NoteSessionTest, AlertsMovedPastMidnightAreSavedAsTheyShow)
{
    setNow(23 * 60 + 40);
    const QDate tomorrow = today().addDays(1);
    const auto session = open(writeNote(today(), 23 * 60 + 52));
    setNow(23 * 60 + 52);
    session->Timer2_Timer();
    const int archivedBefore = archived();
    clock.current.setTime(QTime(23, 55, 40));
    ASSERT_TRUE(notifications.invoke(0, u"Rimanda di 10 minuti"_qs));
    EXPECT_EQ(std::tuple(session->note().date, session->note().alertText, session->note().alertFired, notifications.withdrawn(0)),
              std::tuple(tomorrow, u"00.05"_qs, false, true));
    ASSERT_EQ(noteFiles().size(), 1);
    const auto saved = decodeNoteName(noteFiles().front());
    EXPECT_EQ(std::tuple(saved->day, saved->alertMinutes, archived(), readNoteFile(dir.filePath(noteFiles().front()))->alertTime),
              std::tuple(dayNumber(tomorrow), 5, archivedBefore + 1, u"00.05"_qs));

    // Alt+Right from 23.00 reaches 00.00 of the next day: no alert.
    setNow(10 * 60 + 5);
    const auto stepped = open(writeNote(tomorrow, 23 * 60));
    press(*stepped, Qt::Key_Right, Qt::AltModifier);
    EXPECT_EQ(stepped->note().alertText, u"00.00"_qs);
    ASSERT_TRUE(stepped->Salva_Nota());
    const auto content = readNoteFile(dir.filePath(stepped->note().file.name())).value_or(NoteContent{});
    EXPECT_EQ(std::tuple(content.date, content.alertTime, stepped->note().alertText),
              std::tuple(dateText(tomorrow.addDays(1)), QString(), QString()));
    // The next step starts from what the label shows: now.
    press(*stepped, Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(stepped->note().alertText, u"10.10"_qs);
}

TEST_F(NoteSessionTest, AllNotesKeysParkAndUnparkButNotWhileTheSetUpIsOpen)
{
    const auto session = fresh();
    session->windowMoved({100, 300});
    // 1 without Ctrl does nothing; Ctrl+1 parks the note at the top, Ctrl+0 brings it back.
    QList<std::pair<QPoint, bool>> places;
    const std::set<Key> presses[] = {{Key::Keypad1}, {Key::Control, Key::Keypad1}, {Key::Control, Key::Keypad0}};
    for (const std::set<Key> &down : presses) {
        keys.down = down;
        session->Timer2_Timer();
        places.append({session->position(), session->parked()});
    }
    EXPECT_EQ(places, (QList<std::pair<QPoint, bool>>{{{100, 300}, false}, {{100, -120}, true}, {{100, 13}, false}}));
    // Dragged down, a parked note is parked no more: Ctrl+0 leaves it.
    press(*session, Qt::Key_F10);
    dropAt(*session, {100, 300});
    session->Timer2_Timer();
    EXPECT_EQ(std::pair(session->position(), session->parked()), std::pair(QPoint(100, 300), false));
    // While the set-up is open the timer leaves keys, indicator and alert alone.
    keys.down = {Key::Control, Key::Keypad1};
    setNow(9 * 60);
    press(*session, Qt::Key_Right, Qt::ControlModifier);
    press(*session, Qt::Key_F8);
    ASSERT_TRUE(session->setupOpen());
    setNow(10 * 60);
    session->Timer2_Timer();
    EXPECT_EQ(std::tuple(session->note().alertFired, session->parked(), session->indicator()),
              std::tuple(false, false, Indicator::Setup));
}

// While the text is not saved, a recovery copy holds it within two seconds; the copy goes with
// the save.
TEST_F(NoteSessionTest, UnsavedTextIsCopiedWithinTwoSecondsAndTheCopyGoesWithTheSave)
{
    const auto session = fresh();
    const QDir copies(dir.filePath(kRecoveryFolderName.toString()));
    const auto recoveryFiles = [&] { return copies.entryList({u"*.rec"_qs}, QDir::Files); };
    // Not put off by further keys.
    session->Text1_Change(u"Comprare il"_qs);
    clock.advance(kRecoveryCopyDelay / 2);
    session->Text1_Change(u"Comprare il pane"_qs);
    clock.advance(kRecoveryCopyDelay / 2);
    ASSERT_EQ(recoveryFiles().size(), 1);
    const auto copy = decodeRecoveryCopy(readWholeFile(copies.filePath(recoveryFiles()[0])));
    EXPECT_EQ(std::pair(copy.value_or(RecoveredNote{}).content.text, noteFiles().size()), std::pair(u"Comprare il pane"_qs, qsizetype(0)));
    ASSERT_TRUE(session->Salva_Nota());
    EXPECT_EQ(std::pair(noteFiles().size(), recoveryFiles().size()), std::pair(qsizetype(1), qsizetype(0)));
}

// A note that fires while other fired notes hold the middle and the place after it takes the
// first free place, and tells it to the other notes while it is fired and there.
TEST_F(NoteSessionTest, AFiredNoteTakesTheFirstPlaceNoOtherFiredNoteHolds)
{
    setNow(10 * 60 + 20);
    const qint64 earlier = clock.now().toMSecsSinceEpoch() - 60'000;
    windows.others = {encodeFiredClaim({0, earlier, 1}), encodeFiredClaim({1, earlier, 2}), {}};
    const auto session = open(writeNote(today(), 10 * 60 + 15));
    clock.advance(2s);
    const QPoint third = kCentre + QPoint(48, 48);
    EXPECT_EQ(session->position(), third);
    EXPECT_EQ(decodeFiredClaim(session->firedState()).value_or(FiredClaim{}).slot, 2);

    // Moved away by the user it holds no place; put back and set again, neither.
    session->windowMoved({100, 100});
    EXPECT_TRUE(session->firedState().isEmpty());
    session->windowMoved(third);
    EXPECT_FALSE(session->firedState().isEmpty());
    press(*session, Qt::Key_Right, Qt::ControlModifier);
    EXPECT_TRUE(session->firedState().isEmpty());
}

} // namespace
