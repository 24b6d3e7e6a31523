#include "note/notewindow.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "common/archive.h"
#include "common/datetexts.h"
#include "common/daynumber.h"
#include "common/notefile.h"
#include "common/programfolder.h"
#include "tests/support/fakes.h"
#include "tests/support/fakewindowregistry.h"

using namespace promemo;
using namespace promemo::note;

namespace {

const QString kTray = QStringLiteral("NotinoTray");
const QString kWatcher = QStringLiteral("NotinoControl");
// A normal note centred on the fake 1280 x 1024 screen.
const QPoint kCentre(543, 442);

class NoteWindowTest : public ::testing::Test
{
protected:
    NoteWindowTest()
    {
        setProgramFolderForTesting(dir.path());
        registry.addWindow(kTray);
    }
    ~NoteWindowTest() override { setProgramFolderForTesting({}); }

    QDate today() const { return fakes.clock.today(); }
    void setNow(int minutes)
    {
        fakes.clock.current.setTime(QTime(minutes / 60, minutes % 60));
    }
    // Writes a put-away note file and returns its name.
    QString writeNote(QDate date, int alert, QString text = QStringLiteral("pane"),
                      char colour = 'h', char size = 'n')
    {
        const QString name = *encodeNoteName(
            {NoteState::PutAway, dayNumber(date), colour, alert, size, 100});
        EXPECT_TRUE(writeNoteFile(dir.filePath(name),
                                  {text, dateText(date), alertText(alert), {}}));
        return name;
    }
    void removeNoteFiles()
    {
        for (const QString &file : noteFiles())
            QFile::remove(dir.filePath(file));
    }
    QStringList noteFiles() const
    {
        return QDir(dir.path()).entryList({QStringLiteral("?*[0-9].dat")}, QDir::Files);
    }
    int archived() const
    {
        return readArchiveFile(dir.filePath(QStringLiteral("archivio.dat"))).records.size();
    }
    std::unique_ptr<frmNotino> open(const QString &name, NoteSize size = NoteSize::Normal)
    {
        return startNoteProgram(fakes.services(), StartKind::OpenFile, size, name);
    }
    std::unique_ptr<frmNotino> fresh(const QString &code = QStringLiteral("12"),
                                     NoteSize size = NoteSize::Normal)
    {
        return startNoteProgram(fakes.services(), StartKind::NewNote, size, code);
    }
    // A drop with the top-left corner at `pixels`.
    static void dropAt(frmNotino &window, QPoint pixels)
    {
        window.move(pixels);
        window.afterDrag();
    }

    QTemporaryDir dir;
    test::FakeWindowRegistry registry;
    test::FakeServices fakes{registry};
};

TEST_F(NoteWindowTest, ReopenedNoteIsReadDeletedAndPlacedByItsAlert)
{
    setNow(10 * 60);
    struct Case
    {
        char colour, size;
        NoteSize program;
        int dayOffset, alert;
        NoteColour colourShown;
        int points;
        bool passed;        // shown with "nessuno": no file, fires at its first tick
        bool watcherClosed; // a pending alert
    };
    const Case cases[] = {
        {'a', 's', NoteSize::Normal, 0, 0, NoteColour::Cyan, 10, false, false},
        {'v', 'm', NoteSize::Normal, 1, 9 * 60, NoteColour::Green, 14, false, true},
        {'d', 'n', NoteSize::Medium, 0, 10 * 60 + 1, NoteColour::Green, 12, false, true},
        {'a', 'n', NoteSize::Medium, 0, 10 * 60, NoteColour::Yellow, 12, true, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE((std::string{c.colour, c.size}));
        const QDate date = today().addDays(c.dayOffset);
        const QString name = writeNote(date, c.alert, QStringLiteral("Dentista\r\nore 9"),
                                       c.colour, c.size);
        registry.addWindow(kWatcher);
        const auto window = open(name, c.program);
        ASSERT_TRUE(window);
        EXPECT_FALSE(QFile::exists(dir.filePath(name)));
        EXPECT_EQ(window->note().colour, c.colourShown);
        EXPECT_EQ(window->Text1->font().pointSize(), c.points);
        EXPECT_EQ(window->Label1->text(), dateText(date));
        EXPECT_EQ(window->Label2->text(), alertText(c.alert));
        EXPECT_EQ(window->Text1->toPlainText(), QStringLiteral("Dentista\nore 9"));
        EXPECT_EQ(window->size(), c.program == NoteSize::Medium ? QSize(265, 196) : QSize(193, 140));
        EXPECT_EQ(window->note().currentFile == kNoFile, c.passed);
        // Saved at once unless passed, but the first save after reopening is not archived.
        EXPECT_EQ(noteFiles().size(), c.passed ? 0 : 1);
        EXPECT_EQ(archived(), 0);
        EXPECT_EQ(!registry.exists(kWatcher), c.watcherClosed);
        registry.removeWindow(kWatcher);
        removeNoteFiles();
    }
}

TEST_F(NoteWindowTest, EndsSilentlyWithoutLauncherOrOnABadArgument)
{
    const QString good = writeNote(today(), 0);
    ASSERT_TRUE(writeNoteFile(dir.filePath(QStringLiteral("appunti.dat")), {}));
    const QString missing = QString(good).replace(u'o', u'n');
    for (const QString &argument : {QStringLiteral("appunti.dat"), QStringLiteral("../") + good,
                                    dir.filePath(good), QString(), missing})
        EXPECT_FALSE(open(argument)) << argument.toStdString();
    registry.removeWindow(kTray);
    EXPECT_FALSE(open(good));
    EXPECT_FALSE(fresh());
    EXPECT_TRUE(QFile::exists(dir.filePath(good)));
}

TEST_F(NoteWindowTest, UnreadableDateShowsTheNoteForToday)
{
    const QString name = writeNote(today().addDays(3), 0);
    writeNoteFile(dir.filePath(name), {QStringLiteral("testo"), QStringLiteral("31/02/abcd"), {}, {}});
    const auto window = open(name);
    ASSERT_TRUE(window);
    EXPECT_EQ(window->note().date, today());
    EXPECT_EQ(window->Text1->toPlainText(), QStringLiteral("testo"));
}

TEST_F(NoteWindowTest, NewNoteTakesItsLooksFromTheCodeAndSavesWhenChanged)
{
    const auto window = fresh(QStringLiteral("23"), NoteSize::Medium);
    ASSERT_TRUE(window);
    EXPECT_EQ(window->palette().color(QPalette::Window), QColor(221, 255, 255));
    EXPECT_EQ(window->Text1->font().pointSize(), 14);
    EXPECT_TRUE(noteFiles().isEmpty());

    QTest::keyClicks(window->Text1, QStringLiteral(" .,;- "));
    dropAt(*window, {300, 300});
    EXPECT_TRUE(noteFiles().isEmpty());

    QTest::keyClicks(window->Text1, QStringLiteral("Latte"));
    dropAt(*window, {300, 300});
    const QStringList first = noteFiles();
    ASSERT_EQ(first.size(), 1);
    const auto saved = decodeNoteName(first.front());
    EXPECT_EQ((std::string{saved->colourLetter, saved->sizeLetter}), "bm");
    EXPECT_EQ(saved->day, dayNumber(today()));
    EXPECT_EQ(archived(), 1);

    fakes.clock.advance(std::chrono::seconds(5));
    dropAt(*window, {310, 300});
    EXPECT_EQ(noteFiles(), first);

    // A change other than of the text forces a save under a new name.
    QTest::keyClick(window->Text1, Qt::Key_4, Qt::ControlModifier | Qt::KeypadModifier);
    dropAt(*window, {300, 300});
    ASSERT_EQ(noteFiles().size(), 1);
    EXPECT_EQ(decodeNoteName(noteFiles().front())->sizeLetter, 's');
    EXPECT_EQ(archived(), 2);
}

TEST_F(NoteWindowTest, ReopenedNoteArchivesChangesAndF5TwiceDeletesIt)
{
    const auto window = open(writeNote(today(), 0));
    dropAt(*window, {300, 300});
    EXPECT_EQ(archived(), 0);
    QTest::keyClicks(window->Text1, QStringLiteral(" e latte"));
    dropAt(*window, {300, 300});
    EXPECT_EQ(archived(), 1);
    ASSERT_EQ(noteFiles().size(), 1);

    // Any key between two F5 disarms the deletion.
    QTest::keyClick(window->Text1, Qt::Key_F5);
    EXPECT_EQ(window->y(), twipsToPixels(1024 * 15 - 2000));
    QTest::keyClick(window->Text1, Qt::Key_X);
    QTest::keyClick(window->Text1, Qt::Key_F5);
    EXPECT_FALSE(window->ended());
    QTest::keyClick(window->Text1, Qt::Key_F5);
    EXPECT_TRUE(window->ended());
    EXPECT_TRUE(noteFiles().isEmpty());
    EXPECT_TRUE(fakes.messageBoxes.shown.isEmpty());
}

TEST_F(NoteWindowTest, DropZones)
{
    setNow(12 * 60);
    enum class Outcome { Deleted, Kept, PutAway };
    struct Case
    {
        const char *what;
        QPoint drop;
        int dayOffset, alert;
        MessageAnswer answer;
        bool asked;
        Outcome outcome;
        bool watcherClosed;
    };
    const QPoint bottom(300, 950), right(1200, 300), left(-60, 300);
    const Case cases[] = {
        {"bottom, past day", bottom, -1, 0, MessageAnswer::No, false, Outcome::Deleted, false},
        {"bottom, alert come", bottom, 0, 11 * 60, MessageAnswer::No, false, Outcome::Deleted, false},
        {"bottom, later day, yes", bottom, 1, 0, MessageAnswer::Yes, true, Outcome::Deleted, false},
        {"bottom, alert ahead, no", bottom, 0, 13 * 60, MessageAnswer::No, true, Outcome::Kept, false},
        {"right, alert today", right, 0, 13 * 60, MessageAnswer::No, false, Outcome::PutAway, true},
        {"left, alert tomorrow", left, 1, 13 * 60, MessageAnswer::No, false, Outcome::PutAway, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const auto window = open(writeNote(today().addDays(c.dayOffset), c.alert));
        registry.addWindow(kWatcher);
        fakes.messageBoxes.shown.clear();
        fakes.messageBoxes.answers = {c.answer};

        dropAt(*window, c.drop);
        EXPECT_EQ(fakes.messageBoxes.shown.size(), c.asked ? 1 : 0);
        if (c.asked) {
            EXPECT_EQ(fakes.messageBoxes.shown.front(),
                      (Message{QStringLiteral("Notino"),
                               QStringLiteral(" Stai per eliminare definitivamente   \r"
                                              " un Notino con data ancora valida...  \r\r"
                                              " Confermi?"),
                               MessageIcon::Warning, MessageButtons::YesNo}));
        }
        const QStringList files = noteFiles();
        EXPECT_EQ(window->ended(), c.outcome != Outcome::Kept);
        EXPECT_EQ(files.size(), c.outcome == Outcome::Deleted ? 0 : 1);
        if (c.outcome == Outcome::Kept) {
            EXPECT_EQ(window->pos(), kCentre);
        }
        if (c.outcome == Outcome::PutAway && !files.isEmpty()) {
            EXPECT_TRUE(files.front().startsWith(u'o'));
        }
        EXPECT_EQ(!registry.exists(kWatcher), c.watcherClosed);
        registry.removeWindow(kWatcher);
        removeNoteFiles();
    }
}

TEST_F(NoteWindowTest, PutAwayOfANoteWithoutFileEndsWithoutOne)
{
    setNow(12 * 60);
    const auto passed = open(writeNote(today(), 11 * 60));
    passed->Timer2_Timer();
    ASSERT_TRUE(passed->note().alertFired);
    dropAt(*passed, {1200, 300});
    EXPECT_TRUE(passed->ended());

    const auto blank = fresh();
    dropAt(*blank, {-60, 300});
    EXPECT_TRUE(blank->ended());
    EXPECT_TRUE(noteFiles().isEmpty());
}

TEST_F(NoteWindowTest, AlertFiresAtItsMinuteOnItsDayOnly)
{
    QFile wave(dir.filePath(QStringLiteral("suono.wav")));
    ASSERT_TRUE(wave.open(QIODevice::WriteOnly));
    wave.close();
    for (const char *sound : {"1", "0"}) {
        SCOPED_TRACE(sound);
        QFile ini(dir.filePath(QStringLiteral("Notino.ini")));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write(QByteArray("[Opzioni]\r\nsound=") + sound + "\r\n");
        ini.close();
        fakes.sound.played.clear();

        setNow(10 * 60 + 14);
        const auto window = open(writeNote(today(), 10 * 60 + 20));
        const auto tomorrow = open(writeNote(today().addDays(1), 10 * 60 + 20));
        ASSERT_EQ(noteFiles().size(), 2);

        fakes.clock.current = fakes.clock.current.addSecs(5 * 60 + 59);
        window->Timer2_Timer();
        EXPECT_FALSE(window->note().alertFired);
        setNow(10 * 60 + 20);
        window->Timer2_Timer();
        tomorrow->Timer2_Timer();
        EXPECT_TRUE(window->note().alertFired);
        EXPECT_FALSE(tomorrow->note().alertFired);
        EXPECT_EQ(window->Label2->palette().color(QPalette::WindowText), QColor(Qt::white));
        EXPECT_EQ(window->pos(), kCentre);
        EXPECT_EQ(noteFiles().size(), 1); // the fired note's file is gone
        EXPECT_EQ(fakes.sound.played.size(), sound == std::string("1") ? 1 : 0);

        // Fired: a drop saves nothing; an arrow re-arms it and the next drop saves.
        dropAt(*window, {310, 300});
        EXPECT_EQ(noteFiles().size(), 1);
        QTest::keyClick(window->Text1, Qt::Key_Right, Qt::ControlModifier);
        EXPECT_EQ(window->Label2->text(), QStringLiteral("10.30"));
        dropAt(*window, {300, 300});
        EXPECT_EQ(noteFiles().size(), 2);
        removeNoteFiles();
    }
}

TEST_F(NoteWindowTest, TimerKeysAndSetUpDialog)
{
    const auto window = fresh();
    window->move(100, 300);
    fakes.keys.down = {Key::Keypad1};
    window->Timer2_Timer();
    EXPECT_EQ(window->y(), 300);
    fakes.keys.down = {Key::Control, Key::Keypad1};
    window->Timer2_Timer();
    EXPECT_EQ(window->pos(), QPoint(100, -120));
    fakes.keys.down = {Key::Control, Key::Keypad0};
    window->Timer2_Timer();
    EXPECT_EQ(window->pos(), QPoint(100, 13));
    window->Timer2_Timer();
    EXPECT_EQ(window->pos(), QPoint(100, 13));

    // Where the desktop reports key changes the note reacts to them without its tick.
    fakes.keys.reportsChanges = true;
    const auto watching = fresh();
    watching->move(100, 300);
    fakes.keys.down = {Key::Control, Key::Keypad1};
    fakes.keys.changed();
    EXPECT_EQ(watching->pos(), QPoint(100, -120));
    fakes.keys.reportsChanges = false;

    // While the set-up dialog is open the timer leaves keys, indicator and alert alone.
    setNow(9 * 60);
    QTest::keyClick(window->Text1, Qt::Key_Right, Qt::ControlModifier);
    QTest::keyClick(window->Text1, Qt::Key_F8);
    ASSERT_TRUE(window->setupOpen());
    EXPECT_EQ(window->indicatorColour(), QColor(7, 19, 248));
    setNow(10 * 60);
    fakes.keys.down = {Key::Control, Key::Keypad1};
    window->Timer2_Timer();
    EXPECT_FALSE(window->note().alertFired);
    EXPECT_EQ(window->pos(), QPoint(100, 13));
    EXPECT_EQ(window->indicatorColour(), QColor(7, 19, 248));
}

TEST_F(NoteWindowTest, CtrlAndAltKeys)
{
    setNow(10 * 60 + 5);
    const auto window = fresh(QStringLiteral("12"));
    const auto ctrlPad = Qt::ControlModifier | Qt::KeypadModifier;
    // Keypad keys with NumLock on (digits) and off (the navigation keys they double as).
    QTest::keyClick(window->Text1, Qt::Key_6, ctrlPad);
    EXPECT_EQ(window->note().points, 14);
    QTest::keyClick(window->Text1, Qt::Key_Left, ctrlPad);
    EXPECT_EQ(window->note().points, 10);
    QTest::keyClick(window->Text1, Qt::Key_Up, ctrlPad);
    EXPECT_EQ(window->Text1->palette().color(QPalette::Base), QColor(221, 255, 255));
    QTest::keyClick(window->Text1, Qt::Key_0, ctrlPad);
    EXPECT_TRUE(window->Text1->toPlainText().isEmpty());
    EXPECT_TRUE(window->Label2->text().isEmpty());
    EXPECT_TRUE(fakes.messageBoxes.shown.isEmpty());

    QTest::keyClick(window->Text1, Qt::Key_Left, Qt::ControlModifier);
    EXPECT_EQ(window->Label2->text(), QStringLiteral("10.05"));
    QTest::keyClick(window->Text1, Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(window->note().date, today());
    ASSERT_EQ(fakes.messageBoxes.shown.size(), 2);
    EXPECT_EQ(fakes.messageBoxes.shown[0],
              (Message{QStringLiteral(" Promemo"), QStringLiteral(" ora inferiore alla attuale     ")}));
    EXPECT_EQ(fakes.messageBoxes.shown[1],
              (Message{QStringLiteral(" Promemo"), QStringLiteral(" data inferiore alla attuale !    ")}));
    QTest::keyClick(window->Text1, Qt::Key_Down, Qt::AltModifier);
    EXPECT_EQ(window->Label1->text(), dateText(today().addDays(7)));
}

} // namespace
