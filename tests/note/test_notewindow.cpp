#include "note/notewindow.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "common/archive.h"
#include "common/atomicfile.h"
#include "common/datetexts.h"
#include "common/daynumber.h"
#include "common/notefile.h"
#include "common/programfolder.h"
#include "common/recoverycopy.h"
#include "tests/support/fakes.h"
#include "tests/support/registryrequests.h"
#include "tests/support/startwait.h"

using namespace promemo;
using namespace promemo::note;

namespace {

const QString kTray = QStringLiteral("NotinoTray");
const QString kWatcher = QStringLiteral("NotinoControl");
// A normal note centred on the fake 1280 x 1024 screen.
const QPoint kCentre(543, 442);

class NoteWindowTest : public ::testing::Test, public test::ProgramFolderWithFakes
{
protected:
    NoteWindowTest() { registry.addWindow(kTray); }

    QDate today() const { return fakes.clock.today(); }
    void setNow(int minutes) { fakes.clock.current.setTime(QTime(minutes / 60, minutes % 60)); }
    // Writes a put-away note file and returns its name.
    QString writeNote(QDate date, int alert, char colour = 'h', char size = 'n')
    {
        const QString name = *encodeNoteName(
            {NoteState::PutAway, dayNumber(date), colour, alert, size, 100});
        EXPECT_TRUE(writeNoteFile(dir.filePath(name),
                                  {u"Dentista\r\nore 9"_qs, dateText(date), alertText(alert), {}}));
        return name;
    }
    void removeNoteFiles()
    {
        for (const QString &file : noteFiles())
            QFile::remove(dir.filePath(file));
        registry.removeWindow(kWatcher);
    }
    QStringList noteFiles() const { return QDir(dir.path()).entryList({u"?*[0-9].dat"_qs}, QDir::Files); }
    int archived() const { return readArchiveFile(dir.filePath(u"archivio.dat"_qs)).records.size(); }
    auto open(const QString &name, NoteSize size = NoteSize::Normal) { return start(StartKind::OpenFile, size, name); }
    auto fresh(const QString &code = u"12"_qs, NoteSize size = NoteSize::Normal) { return start(StartKind::NewNote, size, code); }
    std::unique_ptr<frmNotino> start(StartKind kind, NoteSize size, const QString &argument)
    {
        return test::waitForStart<frmNotino>([&](QObject *context, Started<frmNotino> started) {
            startNoteProgram(fakes.services(), kind, size, argument, context, std::move(started));
        });
    }
    // A drop with the top-left corner at `pixels`.
    static void dropAt(frmNotino &window, QPoint pixels) { window.move(pixels), window.afterDrag(); }
    static void press(frmNotino &window, int times, Qt::Key key, Qt::KeyboardModifiers modifiers)
    {
        for (int i = 0; i < times; ++i)
            QTest::keyClick(window.Text1, key, modifiers);
    }
    static QString savedText(const QString &path) { return readNoteFile(path).value_or(NoteContent{}).text; }
};

TEST_F(NoteWindowTest, ReopenedNoteIsReadHeldAndPlacedByItsAlert)
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
        registry.addWindow(kWatcher);
        const auto window = open(name, c.program);
        ASSERT_TRUE(window);
        EXPECT_EQ(std::tuple(window->note().colour, window->Text1->font().pointSize(), window->Label1->text(),
                             window->Label2->text(), window->Text1->toPlainText()),
                  std::tuple(c.colourShown, c.points, dateText(date),
                             c.dayOffset < 0 ? u"23.00 di ieri"_qs : alertText(c.alert), u"Dentista\nore 9"_qs));
        // Saved at once unless passed, but the first save after reopening is not archived.
        // Passed: the file read stays, shown, until the note ends.
        EXPECT_EQ(std::tuple(window->note().file.name() == *withState(name, NoteState::Shown),
                             noteFiles().size(), archived(), !test::exists(registry, kWatcher)),
                  std::tuple(c.passed, 1, 0, c.watcherClosed));
        removeNoteFiles();
    }
    // An unreadable date shows the note for today.
    const QString name = writeNote(today().addDays(3), 0);
    ASSERT_TRUE(writeNoteFile(dir.filePath(name), {u"testo"_qs, u"31/02/abcd"_qs, {}, {}}));
    EXPECT_EQ(open(name)->note().date, today());
}

TEST_F(NoteWindowTest, ANoteTooLargeIsRefusedWithAMessageAndLeftAsItIs)
{
    const QString big = *encodeNoteName({NoteState::PutAway, dayNumber(today()), 'h', 0, 'n', 200});
    ASSERT_TRUE(writeNoteFile(dir.filePath(big), {QString(kMaxNoteFileBytes, u'x'), dateText(today()), {}, {}}));
    const QByteArray bytes = readWholeFile(dir.filePath(big));
    EXPECT_FALSE(open(big));
    EXPECT_TRUE(fakes.messageBoxes.shown.size() == 1 && fakes.messageBoxes.shown[0].text.contains(u"troppo grande"_qs)
                && readWholeFile(dir.filePath(big)) == bytes);
}

TEST_F(NoteWindowTest, NewNoteTakesItsLooksFromTheCodeAndSavesWhenChanged)
{
    const auto window = fresh(u"23"_qs, NoteSize::Medium);
    QTest::keyClicks(window->Text1, QStringLiteral("Latte"));
    dropAt(*window, {300, 300});
    const QStringList first = noteFiles();
    ASSERT_EQ(first.size(), 1);
    const auto saved = decodeNoteName(first.front());
    EXPECT_EQ(std::tuple(saved->colourLetter, saved->sizeLetter, saved->day, archived()),
              std::tuple('b', 'm', dayNumber(today()), 1));
    // Unchanged: no new save.
    fakes.clock.advance(std::chrono::seconds(5));
    dropAt(*window, {310, 300});
    EXPECT_EQ(noteFiles(), first);
    // A change other than of the text forces a save under a new name.
    QTest::keyClick(window->Text1, Qt::Key_4, Qt::ControlModifier | Qt::KeypadModifier);
    dropAt(*window, {300, 300});
    ASSERT_EQ(noteFiles().size(), 1);
    EXPECT_EQ(std::pair(decodeNoteName(noteFiles().front())->sizeLetter, archived()), std::pair('s', 2));
}

TEST_F(NoteWindowTest, ReopenedNoteArchivesChangesAndF5TwiceDeletesIt)
{
    const auto window = open(writeNote(today(), 0));
    QTest::keyClicks(window->Text1, QStringLiteral(" e latte"));
    dropAt(*window, {300, 300});
    EXPECT_EQ(archived(), 1);
    // Any key between two F5 disarms the deletion.
    for (const Qt::Key key : {Qt::Key_F5, Qt::Key_X, Qt::Key_F5})
        QTest::keyClick(window->Text1, key);
    EXPECT_FALSE(window->ended());
    QTest::keyClick(window->Text1, Qt::Key_F5);
    EXPECT_TRUE(window->ended() && noteFiles().isEmpty() && fakes.messageBoxes.shown.isEmpty());
}

TEST_F(NoteWindowTest, DropAtTheBottomDeletesOrAsksAndAtTheSidesPutsAway)
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
        const auto window = open(writeNote(today().addDays(dayOffset), alert));
        registry.addWindow(kWatcher);
        fakes.messageBoxes.shown.clear();
        fakes.messageBoxes.answers = {answer};
        dropAt(*window, drop);
        // A note that closes the watcher ends once it has gone.
        EXPECT_EQ(QTest::qWaitFor([&] { return window->ended(); }, outcome == Outcome::Kept ? 0 : 5000),
                  outcome != Outcome::Kept);
        const QStringList files = noteFiles();
        EXPECT_EQ(std::tuple(fakes.messageBoxes.shown.size(), files.size(), !test::exists(registry, kWatcher)),
                  std::tuple(drop == bottom ? 1 : 0, outcome == Outcome::Deleted ? 0 : 1, watcherClosed));
        // Kept notes come back to the centre; put away ones are renamed to "o...".
        EXPECT_TRUE(outcome != Outcome::Kept || window->pos() == kCentre);
        EXPECT_TRUE(outcome != Outcome::PutAway || files.value(0).startsWith(u'o'));
        removeNoteFiles();
    }
    // A note with no file to rename (never saved) is put away without a file and without a word.
    const auto unsaved = fresh();
    fakes.messageBoxes.shown.clear();
    dropAt(*unsaved, right);
    EXPECT_TRUE(unsaved->ended() && noteFiles().isEmpty() && fakes.messageBoxes.shown.isEmpty());
}

TEST_F(NoteWindowTest, AlertFiresAtItsMinute)
{
    dir.put(u"suono.wav"_qs, {});
    dir.put(u"Notino.ini"_qs, "[Opzioni]\r\nsound=1\r\n");
    setNow(10 * 60 + 14);
    const auto window = open(writeNote(today(), 10 * 60 + 20));
    fakes.clock.current = fakes.clock.current.addSecs(5 * 60 + 59);
    window->Timer2_Timer();
    EXPECT_FALSE(window->note().alertFired);
    setNow(10 * 60 + 20);
    window->Timer2_Timer();
    // Centred with its sound and a notification; the file stays until the note ends.
    EXPECT_EQ(std::tuple(window->note().alertFired, window->pos(), noteFiles().size(), fakes.sound.played.size()),
              std::tuple(true, kCentre, 1, 1));
    ASSERT_EQ(fakes.notifications.shown.size(), 1);
    EXPECT_EQ(std::pair(fakes.notifications.shown[0].summary, fakes.notifications.shown[0].body),
              std::pair(dateText(today()) + u" 10.20"_qs, u"Dentista\nore 9"_qs));
    // Picking the notification brings the note forward.
    window->showMinimized();
    fakes.notifications.activate(0);
    EXPECT_FALSE(window->isMinimized());
    // Fired: a drop saves nothing; put away, the note and its file are gone.
    dropAt(*window, {310, 300});
    EXPECT_EQ(noteFiles().size(), 1);
    dropAt(*window, {1200, 300});
    EXPECT_EQ(std::pair(window->ended(), noteFiles().size()), std::pair(true, qsizetype(0)));

    // notifiche=0: the alert fires in the note only.
    dir.put(u"Notino.ini"_qs, "[Opzioni]\r\nsound=1\r\nnotifiche=0\r\n");
    const auto quiet = open(writeNote(today(), 10 * 60 + 20));
    quiet->Timer2_Timer();
    EXPECT_EQ(std::pair(quiet->note().alertFired, fakes.notifications.shown.size()), std::pair(true, qsizetype(1)));
}

// A note open across midnight (the machine asleep) fires at its first tick after, as a missed
// alert that says when it was for; put on again by a key, it is an alert like any other.
TEST_F(NoteWindowTest, AnAlertMissedAcrossMidnightFiresAndSaysWhenItWasFor)
{
    setNow(23 * 60 + 45);
    const auto window = open(writeNote(today(), 23 * 60 + 58));
    window->Timer2_Timer();
    ASSERT_FALSE(window->note().alertFired);
    const QRect armedLabel = window->Label2->geometry();
    fakes.clock.current = QDateTime(today().addDays(1), QTime(0, 10));
    window->Timer2_Timer();
    EXPECT_EQ(std::tuple(window->note().alertFired, window->pos(), window->Label2->text()),
              std::tuple(true, kCentre, u"23.58 di ieri"_qs));
    // The whole moment shows, beside the date and not over it.
    EXPECT_GE(window->Label2->width(), window->Label2->sizeHint().width());
    EXPECT_GT(window->Label2->x(), window->Label1->geometry().right());
    ASSERT_EQ(fakes.notifications.shown.size(), 1);
    EXPECT_EQ(fakes.notifications.shown[0].summary, u"Avviso mancato: 23.58 di ieri"_qs);

    press(*window, 1, Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(std::tuple(window->note().alertFired, window->Label2->geometry(), window->Label2->text()),
              std::tuple(false, armedLabel, window->note().alertText));
}

TEST_F(NoteWindowTest, AFiredNotesNotificationGoesWhenTheNoteIsDealtWith)
{
    setNow(10 * 60 + 20);
    const auto keys = [](Qt::Key key, Qt::KeyboardModifiers modifiers, int times = 1) {
        return [=](frmNotino &window) { press(window, times, key, modifiers); };
    };
    const std::pair<const char *, std::function<void(frmNotino &)>> ways[] = {
        {"closed by the launcher", [this](frmNotino &window) {
             registry.postClose(u"PromemoX"_qs, nullptr, {});
             EXPECT_TRUE(QTest::qWaitFor([&] { return window.ended(); }, 5000));
         }},
        {"put away", [](frmNotino &window) { dropAt(window, {1200, 300}); }},
        {"deleted", keys(Qt::Key_F5, Qt::NoModifier, 2)},
        {"alert later", keys(Qt::Key_Right, Qt::ControlModifier)},
        {"date on", keys(Qt::Key_Down, Qt::ControlModifier)},
        {"alert set-up", [](frmNotino &window) {
             QTest::keyClick(window.Text1, Qt::Key_F8);
             auto *setup = window.findChild<AlertSetupDialog *>();
             ASSERT_TRUE(setup);
             setup->findChild<QPushButton *>(u"cmdOk"_qs)->click();
         }},
    };
    for (const auto &[way, dealWith] : ways) {
        SCOPED_TRACE(way);
        const auto window = open(writeNote(today(), 10 * 60 + 20));
        ASSERT_TRUE(window->note().alertFired);
        const qsizetype fired = fakes.notifications.shown.size() - 1;
        // Looking at it, moving it or bringing it forward is not dealing with it.
        dropAt(*window, {310, 300});
        fakes.notifications.activate(fired);
        EXPECT_FALSE(fakes.notifications.withdrawn(fired));
        dealWith(*window);
        EXPECT_TRUE(fakes.notifications.withdrawn(fired));
        removeNoteFiles();
    }
}

// "Rimanda di 10 minuti" on the notification of a note that fired on screen.
TEST_F(NoteWindowTest, SnoozeSetsTheAlertTenMinutesOnSavesItAndFiresAgain)
{
    setNow(23 * 60 + 40);
    const QDate tomorrow = today().addDays(1);
    const auto window = open(writeNote(today(), 23 * 60 + 52));
    setNow(23 * 60 + 52);
    window->Timer2_Timer();
    ASSERT_EQ(fakes.notifications.shown.size(), 1);
    const int archivedBefore = archived();
    fakes.clock.current.setTime(QTime(23, 55, 40));
    ASSERT_TRUE(fakes.notifications.invoke(0, u"Rimanda di 10 minuti"_qs));
    EXPECT_EQ(std::tuple(window->Label1->text(), window->Label2->text(), window->note().alertFired,
                         fakes.notifications.withdrawn(0)),
              std::tuple(dateText(tomorrow), u"00.05"_qs, false, true));
    // Saved under a name with the new alert, and archived.
    ASSERT_EQ(noteFiles().size(), 1);
    const auto saved = decodeNoteName(noteFiles().front());
    EXPECT_EQ(std::tuple(saved->day, saved->alertMinutes, archived()),
              std::tuple(dayNumber(tomorrow), 5, archivedBefore + 1));
    EXPECT_EQ(readNoteFile(dir.filePath(noteFiles().front()))->alertTime, u"00.05"_qs);

    fakes.clock.current = QDateTime(tomorrow, QTime(0, 4, 59));
    window->Timer2_Timer();
    EXPECT_EQ(std::pair(window->note().alertFired, fakes.notifications.shown.size()), std::pair(false, qsizetype(1)));
    fakes.clock.current = QDateTime(tomorrow, QTime(0, 5));
    window->Timer2_Timer();
    EXPECT_EQ(std::tuple(window->note().alertFired, fakes.notifications.shown.size(), fakes.notifications.withdrawn(1)),
              std::tuple(true, qsizetype(2), false));
}

TEST_F(NoteWindowTest, AllNotesKeysAndNotWhileTheSetUpDialogIsOpen)
{
    const auto window = fresh();
    window->move(100, 300);
    // 1 without Ctrl does nothing; Ctrl+1 parks the note at the top, Ctrl+0 brings it back.
    QList<QPoint> places;
    const std::set<Key> presses[] = {{Key::Keypad1}, {Key::Control, Key::Keypad1}, {Key::Control, Key::Keypad0}};
    for (const std::set<Key> &down : presses) {
        fakes.keys.down = down;
        window->Timer2_Timer();
        places << window->pos();
    }
    EXPECT_EQ(places, (QList<QPoint>{{100, 300}, {100, -120}, {100, 13}}));
    // While the set-up dialog is open the timer leaves keys, indicator and alert alone.
    setNow(9 * 60);
    QTest::keyClick(window->Text1, Qt::Key_Right, Qt::ControlModifier);
    QTest::keyClick(window->Text1, Qt::Key_F8);
    ASSERT_TRUE(window->setupOpen());
    setNow(10 * 60);
    window->Timer2_Timer(); // Ctrl+1 still held
    EXPECT_EQ(std::tuple(window->note().alertFired, window->pos(), window->indicatorColour()),
              std::tuple(false, QPoint(100, 13), QColor(7, 19, 248)));
}

TEST_F(NoteWindowTest, AlertWrappedToMidnightIsRemovedFromTheLabelWhenSaved)
{
    setNow(10 * 60 + 5);
    const QDate tomorrow = today().addDays(1);
    const auto window = open(writeNote(tomorrow, 23 * 60));
    // Alt+Right from 23.00 reaches 00.00 of the next day: no alert.
    QTest::keyClick(window->Text1, Qt::Key_Right, Qt::AltModifier);
    EXPECT_EQ(window->Label2->text(), u"00.00"_qs);
    QTest::mouseClick(window.get(), Qt::LeftButton, {}, QPoint(100, 125));
    ASSERT_EQ(noteFiles().size(), 1);
    const auto saved = readNoteFile(dir.filePath(noteFiles().front())).value_or(NoteContent{});
    EXPECT_EQ(std::tuple(saved.date, saved.alertTime, window->Label2->text()),
              std::tuple(dateText(tomorrow.addDays(1)), QString(), QString()));
    // The next step starts from what the label shows: now.
    QTest::keyClick(window->Text1, Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(window->Label2->text(), u"10.10"_qs);
}

TEST_F(NoteWindowTest, DateAndTimeKeysStopAtTheLastDayOf2099)
{
    fakes.clock.current = QDateTime(QDate(2099, 12, 20), QTime(22, 5));
    const auto window = fresh();
    press(*window, 2, Qt::Key_Down, Qt::AltModifier);
    press(*window, 1, Qt::Key_Down, Qt::ControlModifier);
    press(*window, 2, Qt::Key_Right, Qt::AltModifier);
    press(*window, 6, Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(std::tuple(window->Label1->text(), window->note().date, window->Label2->text(), window->note().alertMinutes),
              std::tuple(u"31/12/2099"_qs, QDate(2099, 12, 31), u"23.50"_qs, 23 * 60 + 50));
    EXPECT_TRUE(fakes.messageBoxes.shown.isEmpty());
}

// A character the note file cannot hold shows as what the file will hold as soon as it is typed
// or pasted.
TEST_F(NoteWindowTest, TypedAndPastedTextIsShownAsTheFileWillHoldIt)
{
    const auto window = fresh();
    for (const QString &key : {u"C"_qs, u"a"_qs, u"f"_qs, u"f"_qs, u"è"_qs, u" "_qs, u"😀"_qs})
        QTest::sendKeyEvent(QTest::Click, window->Text1, Qt::Key_unknown, key, Qt::NoModifier);
    QApplication::clipboard()->setText(u" Ζeus e\u0301\nfine"_qs);
    QTest::keyClick(window->Text1, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(window->Text1->toPlainText(), u"Caffè ? ?eus é\nfine"_qs);
    QTest::mouseClick(window.get(), Qt::LeftButton, {}, QPoint(100, 125));
    ASSERT_EQ(noteFiles().size(), 1);
    EXPECT_EQ(savedText(dir.filePath(noteFiles().front())), u"Caffè ? ?eus é\r\nfine"_qs);
}

// A new text size recounts the lines as they are drawn, and keeps the caret in view.
TEST_F(NoteWindowTest, TheLineCounterFollowsANewTextSizeAndTheCaretStaysInView)
{
    const auto window = fresh();
    window->Text1->setFocus();
    for (const char *line : {"uno", "due", "abc def ghi jkl mno"}) {
        if (!window->Text1->toPlainText().isEmpty())
            QTest::keyClick(window->Text1, Qt::Key_Return);
        QTest::keyClicks(window->Text1, QLatin1String(line));
    }
    EXPECT_EQ(std::pair(window->Label4->text(), window->Label4->font().bold()), std::pair(u"3"_qs, false));
    QTest::keyClick(window->Text1, Qt::Key_6, Qt::ControlModifier | Qt::KeypadModifier);
    ASSERT_EQ(window->Text1->font().pointSize(), 14);
    EXPECT_EQ(std::pair(window->Label4->text(), window->Label4->font().bold()), std::pair(u"| 4 |"_qs, true));
    EXPECT_LE(window->Text1->cursorRect().bottom(), window->Text1->viewport()->height());
}

// Alt and Super with a key that is no command type nothing, and change nothing to save.
TEST_F(NoteWindowTest, AltAndSuperWithALetterNeverTypeIntoTheNote)
{
    const auto window = fresh();
    QTest::keyClicks(window->Text1, u"Prova"_qs);
    const QString changed = window->note().changed;
    fakes.clock.current = fakes.clock.current.addSecs(120);
    const std::pair<Qt::Key, Qt::KeyboardModifiers> keys[] = {
        {Qt::Key_A, Qt::AltModifier}, {Qt::Key_S, Qt::AltModifier},
        {Qt::Key_4, Qt::AltModifier | Qt::KeypadModifier}, {Qt::Key_F, Qt::AltModifier | Qt::ShiftModifier},
        {Qt::Key_A, Qt::MetaModifier}, {Qt::Key_A, Qt::ControlModifier | Qt::AltModifier}};
    for (const auto &[key, modifiers] : keys)
        QTest::keyClick(window->Text1, key, modifiers);
    EXPECT_EQ(std::pair(window->Text1->toPlainText(), window->note().changed), std::pair(u"Prova"_qs, changed));
}

// While the text is not saved, a recovery copy holds it within two seconds; nothing is written
// while nothing changes, and the copy goes with the save.
TEST_F(NoteWindowTest, UnsavedTextIsCopiedWithinTwoSecondsAndTheCopyGoesWithTheSave)
{
    const auto window = fresh();
    const QDir copies(dir.filePath(u".recupero"_qs));
    const auto copyText = [&] {
        const QStringList names = copies.entryList({u"*.rec"_qs}, QDir::Files);
        const auto copy = names.size() == 1 ? decodeRecoveryCopy(readWholeFile(copies.filePath(names[0])))
                                            : std::nullopt;
        return copy ? copy->content.text : QString();
    };
    QTest::keyClicks(window->Text1, u"Comprare"_qs);
    EXPECT_TRUE(QTest::qWaitFor([&] { return copyText() == u"Comprare"_qs; }, 2000));
    const auto written = QFileInfo(copies.filePath(copies.entryList({u"*.rec"_qs}).value(0))).lastModified();
    QTest::qWait(int(kRecoveryCopyDelay.count()) + 500);
    EXPECT_EQ(QFileInfo(copies.filePath(copies.entryList({u"*.rec"_qs}).value(0))).lastModified(), written);
    QTest::keyClicks(window->Text1, u" il pane"_qs);
    EXPECT_TRUE(QTest::qWaitFor([&] { return copyText() == u"Comprare il pane"_qs; }, 2000));
    EXPECT_TRUE(noteFiles().isEmpty());

    QTest::mouseClick(window.get(), Qt::LeftButton, {}, QPoint(100, 125));
    EXPECT_EQ(std::pair(noteFiles().size(), copies.entryList({u"*.rec"_qs}).size()), std::pair(qsizetype(1), qsizetype(0)));
}

// A note that fires while other fired notes hold the middle and the place after it takes the
// first free place, and tells it to the other notes while it is fired and there.
TEST_F(NoteWindowTest, AFiredNoteTakesTheFirstPlaceNoOtherFiredNoteHolds)
{
    setNow(10 * 60 + 20);
    const qint64 earlier = fakes.clock.now().toMSecsSinceEpoch() - 60'000;
    const QByteArrayList others{encodeFiredClaim({0, earlier, 1}), encodeFiredClaim({1, earlier, 2})};
    for (const QByteArray &state : others)
        registry.addWindow(u"PromemoX"_qs, state);
    registry.addWindow(u"PromemoX"_qs); // not fired
    const auto toldByThis = [&] {
        QByteArrayList states = test::waitForAnswer<QByteArrayList>(
            [this](QObject *context, auto done) { registry.statesOf(u"PromemoX"_qs, context, done); },
            std::chrono::seconds(2));
        states.removeIf([&](const QByteArray &state) { return others.contains(state); });
        return states;
    };
    const auto window = open(writeNote(today(), 10 * 60 + 15));
    ASSERT_TRUE(window->note().alertFired);
    const QPoint third = kCentre + QPoint(48, 48);
    EXPECT_TRUE(QTest::qWaitFor([&] { return window->pos() == third; }, 2000)) << window->pos().x() << ',' << window->pos().y();
    const QByteArrayList told = toldByThis();
    ASSERT_EQ(told.size(), 1);
    EXPECT_EQ(decodeFiredClaim(told[0]).value_or(FiredClaim{}).slot, 2);

    // Moved away by the user, or hidden as it goes, it holds no place; put back and set
    // again, neither.
    window->move(100, 100);
    EXPECT_TRUE(toldByThis().isEmpty());
    window->move(third);
    EXPECT_EQ(toldByThis().size(), 1);
    window->hide();
    EXPECT_TRUE(toldByThis().isEmpty());
    window->show();
    press(*window, 1, Qt::Key_Right, Qt::ControlModifier);
    EXPECT_TRUE(toldByThis().isEmpty());
}

} // namespace
