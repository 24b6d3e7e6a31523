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
    QString noteName(char state, QDate date, char colour, int alert, char size) const
    {
        return *encodeNoteName({*stateOfLetter(QChar::fromLatin1(state)), dayNumber(date),
                                colour, alert, size, 100});
    }
    QString writeNote(const QString &name, const NoteContent &content)
    {
        EXPECT_TRUE(writeNoteFile(dir.filePath(name), content));
        return name;
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
        char colour;
        char size;
        NoteSize program;
        int dayOffset;
        QString time;
        NoteColour expectedColour;
        int expectedPoints;
        bool passed;           // shown with "nessuno", no file
        bool watcherClosed;
    };
    const Case cases[] = {
        {'a', 's', NoteSize::Normal, 0, {}, NoteColour::Cyan, 10, false, false},
        {'v', 'm', NoteSize::Normal, 1, QStringLiteral("09.00"), NoteColour::Green, 14, false, true},
        {'d', 'n', NoteSize::Medium, 0, QStringLiteral("10.30"), NoteColour::Green, 12, false, true},
        {'a', 'n', NoteSize::Medium, 0, QStringLiteral("10.00"), NoteColour::Yellow, 12, true, false},
        {'k', 'n', NoteSize::Normal, 0, QStringLiteral("09.59"), NoteColour::Yellow, 12, true, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.colour + std::string(1, c.size) + c.time.toStdString());
        const QDate date = today().addDays(c.dayOffset);
        const int alert = c.time.isEmpty() ? 0 : alertMinutes(*parseTimeText(c.time));
        const QString name = noteName('o', date, c.colour, alert, c.size);
        writeNote(name, {QStringLiteral("Dentista\r\nore 9"), dateText(date), c.time,
                         QStringLiteral("01/02/2003 04.05")});
        const auto closesBefore = registry.closeRequests().size();
        registry.addWindow(kWatcher);

        const auto window = open(name, c.program);
        ASSERT_TRUE(window);
        EXPECT_EQ(window->note().colour, c.expectedColour);
        EXPECT_EQ(window->note().points, c.expectedPoints);
        EXPECT_EQ(window->Text1->font().pointSize(), c.expectedPoints);
        EXPECT_EQ(window->Label1->text(), dateText(date));
        EXPECT_EQ(window->Label2->text(), c.time);
        EXPECT_EQ(window->Label6->text(), QStringLiteral("01/02/2003 04.05"));
        EXPECT_EQ(window->Text1->toPlainText(), QStringLiteral("Dentista\nore 9"));
        EXPECT_EQ(window->size(), c.program == NoteSize::Medium ? QSize(265, 196) : QSize(193, 140));
        EXPECT_FALSE(QFile::exists(dir.filePath(name)));
        // Saved at once under a shown name, not archived (the first save after reopening).
        EXPECT_EQ(window->note().currentFile == kNoFile, c.passed);
        EXPECT_EQ(noteFiles().size(), c.passed ? 0 : 1);
        EXPECT_EQ(archived(), 0);
        EXPECT_EQ(registry.closeRequests().size() > closesBefore, c.watcherClosed);
        registry.removeWindow(kWatcher);
        window->close();
        for (const QString &file : noteFiles())
            QFile::remove(dir.filePath(file));
    }
}

TEST_F(NoteWindowTest, EndsSilentlyWithoutLauncherOrOnABadArgument)
{
    const QString good = writeNote(noteName('o', today(), 'h', 0, 'n'),
                                   {QStringLiteral("x"), dateText(today()), {}, {}});
    writeNote(QStringLiteral("appunti.dat"), {QStringLiteral("x"), {}, {}, {}});
    for (const QString &argument :
         {QStringLiteral("appunti.dat"), QStringLiteral("../") + good, dir.filePath(good),
          QString(), QString(good).replace(0, 1, u'x'), noteName('o', today(), 'h', 0, 's')})
        EXPECT_FALSE(open(argument)) << argument.toStdString();
    registry.removeWindow(kTray);
    EXPECT_FALSE(open(good));
    EXPECT_FALSE(fresh());
    EXPECT_TRUE(QFile::exists(dir.filePath(good)));
    EXPECT_TRUE(fakes.messageBoxes.shown.isEmpty());
}

TEST_F(NoteWindowTest, UnreadableDateShowsTheNoteForToday)
{
    const QString name = writeNote(noteName('o', today().addDays(3), 'h', 0, 'n'),
                                   {QStringLiteral("testo"), QStringLiteral("31/02/abcd"), {}, {}});
    const auto window = open(name);
    ASSERT_TRUE(window);
    EXPECT_EQ(window->note().date, today());
    EXPECT_EQ(window->Text1->toPlainText(), QStringLiteral("testo"));
}

TEST_F(NoteWindowTest, NewNoteTakesItsLooksFromTheCodeAndWritesNothing)
{
    const auto window = fresh(QStringLiteral("23"), NoteSize::Medium);
    ASSERT_TRUE(window);
    EXPECT_EQ(window->palette().color(QPalette::Window), QColor(221, 255, 255));
    EXPECT_EQ(window->Text1->font().pointSize(), 14);
    EXPECT_EQ(window->Label1->text(), dateText(today()));
    EXPECT_TRUE(window->Label2->text().isEmpty());
    EXPECT_TRUE(noteFiles().isEmpty());

    // Every save of a new note is archived, under the medium note's colour letter.
    QTest::keyClicks(window->Text1, QStringLiteral("Latte"));
    dropAt(*window, {300, 300});
    ASSERT_EQ(noteFiles().size(), 1);
    const auto saved = decodeNoteName(noteFiles().front());
    EXPECT_EQ(saved->colourLetter, 'b');
    EXPECT_EQ(saved->sizeLetter, 'm');
    EXPECT_EQ(saved->day, dayNumber(today()));
    EXPECT_EQ(archived(), 1);
}

TEST_F(NoteWindowTest, SavesOnlyChangedSavableText)
{
    const auto window = fresh();
    QTest::keyClicks(window->Text1, QStringLiteral(" .,;- "));
    dropAt(*window, {300, 300});
    EXPECT_TRUE(noteFiles().isEmpty());

    QTest::keyClicks(window->Text1, QStringLiteral("a"));
    dropAt(*window, {300, 300});
    const QStringList first = noteFiles();
    ASSERT_EQ(first.size(), 1);
    fakes.clock.advance(std::chrono::seconds(5));
    dropAt(*window, {310, 300});
    EXPECT_EQ(noteFiles(), first);
    EXPECT_EQ(archived(), 1);

    // A change other than the text (size) forces a save under a new name.
    QTest::keyClick(window->Text1, Qt::Key_4, Qt::ControlModifier | Qt::KeypadModifier);
    dropAt(*window, {300, 300});
    ASSERT_EQ(noteFiles().size(), 1);
    EXPECT_NE(noteFiles(), first);
    EXPECT_EQ(decodeNoteName(noteFiles().front())->sizeLetter, 's');
    EXPECT_EQ(archived(), 2);
}

TEST_F(NoteWindowTest, ReopenedNoteIsArchivedOnlyOnceChanged)
{
    const QString name = writeNote(noteName('o', today(), 'h', 0, 'n'),
                                   {QStringLiteral("pane"), dateText(today()), {}, {}});
    const auto window = open(name);
    dropAt(*window, {300, 300});
    EXPECT_EQ(archived(), 0);
    QTest::keyClicks(window->Text1, QStringLiteral(" e latte"));
    dropAt(*window, {300, 300});
    EXPECT_EQ(archived(), 1);
}

TEST_F(NoteWindowTest, F5TwiceDeletesButAnyKeyBetweenDisarms)
{
    const QString name = writeNote(noteName('o', today(), 'h', 0, 'n'),
                                   {QStringLiteral("pane"), dateText(today()), {}, {}});
    const auto window = open(name);
    ASSERT_EQ(noteFiles().size(), 1);
    QTest::keyClick(window->Text1, Qt::Key_F5);
    EXPECT_EQ(window->y(), (15360 - 2000 + 7) / 15);
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
        int dayOffset;
        int alert;
        MessageAnswer answer;
        bool asked;
        Outcome outcome;
        bool watcherClosed;
    };
    const Case cases[] = {
        {"bottom, past day", {300, 950}, -1, 0, MessageAnswer::Yes, false, Outcome::Deleted, false},
        {"bottom, alert come", {300, 950}, 0, 11 * 60, MessageAnswer::No, false, Outcome::Deleted, false},
        {"bottom, later day, yes", {300, 950}, 1, 0, MessageAnswer::Yes, true, Outcome::Deleted, false},
        {"bottom, alert ahead, no", {300, 950}, 0, 13 * 60, MessageAnswer::No, true, Outcome::Kept, false},
        {"right, alert today", {1200, 300}, 0, 13 * 60, MessageAnswer::No, false, Outcome::PutAway, true},
        {"left, alert tomorrow", {-60, 300}, 1, 13 * 60, MessageAnswer::No, false, Outcome::PutAway, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const QDate date = today().addDays(c.dayOffset);
        const QString name = writeNote(noteName('o', date, 'h', c.alert, 'n'),
                                       {QStringLiteral("riunione"), dateText(date),
                                        alertText(c.alert), {}});
        const auto window = open(name);
        registry.addWindow(kWatcher);
        const auto closesAtStart = registry.closeRequests().count(kWatcher);
        fakes.messageBoxes.shown.clear();
        fakes.messageBoxes.answers = {c.answer};

        dropAt(*window, c.drop);
        EXPECT_EQ(fakes.messageBoxes.shown.size(), c.asked ? 1 : 0);
        if (c.asked)
            EXPECT_EQ(fakes.messageBoxes.shown.front(),
                      (Message{QStringLiteral("Notino"),
                               QStringLiteral(" Stai per eliminare definitivamente   \r"
                                              " un Notino con data ancora valida...  \r\r"
                                              " Confermi?"),
                               MessageIcon::Warning, MessageButtons::YesNo}));
        const QStringList files = noteFiles();
        switch (c.outcome) {
        case Outcome::Deleted:
            EXPECT_TRUE(files.isEmpty());
            EXPECT_TRUE(window->ended());
            break;
        case Outcome::Kept:
            EXPECT_EQ(files.size(), 1);
            EXPECT_FALSE(window->ended());
            EXPECT_EQ(window->pos(), kCentre);
            break;
        case Outcome::PutAway:
            ASSERT_EQ(files.size(), 1);
            EXPECT_TRUE(files.front().startsWith(u'o'));
            EXPECT_TRUE(window->ended());
            break;
        }
        EXPECT_EQ(registry.closeRequests().count(kWatcher) > closesAtStart, c.watcherClosed);
        registry.removeWindow(kWatcher);
        for (const QString &file : files)
            QFile::remove(dir.filePath(file));
    }
}

TEST_F(NoteWindowTest, PutAwayOfANoteWithoutFileEndsWithoutOne)
{
    setNow(12 * 60);
    const QString name = writeNote(noteName('o', today(), 'h', 11 * 60, 'n'),
                                   {QStringLiteral("x"), dateText(today()),
                                    QStringLiteral("11.00"), {}});
    const auto passed = open(name);
    EXPECT_EQ(passed->note().currentFile, kNoFile);
    passed->Timer2_Timer();
    ASSERT_TRUE(passed->note().alertFired);
    dropAt(*passed, {1200, 300});
    EXPECT_TRUE(passed->ended());
    EXPECT_TRUE(noteFiles().isEmpty());

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
    struct Case
    {
        const char *sound;
        bool expectSound;
    };
    for (const Case &c : {Case{"1", true}, Case{"0", false}, Case{nullptr, false}}) {
        SCOPED_TRACE(c.sound ? c.sound : "missing");
        QFile ini(dir.filePath(QStringLiteral("Notino.ini")));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        if (c.sound)
            ini.write(QByteArray("[Opzioni]\r\nsound=") + c.sound + "\r\n");
        ini.close();
        fakes.sound.played.clear();

        setNow(10 * 60 + 14);
        const auto tomorrow = fresh();
        const auto window = fresh();
        QTest::keyClicks(window->Text1, QStringLiteral("chiamare"));
        QTest::keyClicks(tomorrow->Text1, QStringLiteral("chiamare"));
        QTest::keyClick(window->Text1, Qt::Key_Right, Qt::ControlModifier);
        QTest::keyClick(tomorrow->Text1, Qt::Key_Right, Qt::ControlModifier);
        QTest::keyClick(tomorrow->Text1, Qt::Key_Down, Qt::ControlModifier);
        ASSERT_EQ(window->Label2->text(), QStringLiteral("10.20"));
        dropAt(*window, {300, 300});
        ASSERT_EQ(noteFiles().size(), 1);

        setNow(10 * 60 + 19);
        fakes.clock.current = fakes.clock.current.addSecs(59);
        window->Timer2_Timer();
        EXPECT_FALSE(window->note().alertFired);
        setNow(10 * 60 + 20);
        window->Timer2_Timer();
        tomorrow->Timer2_Timer();
        EXPECT_TRUE(window->note().alertFired);
        EXPECT_FALSE(tomorrow->note().alertFired);
        EXPECT_EQ(window->Label2->palette().color(QPalette::WindowText), QColor(Qt::white));
        EXPECT_EQ(window->pos(), kCentre);
        EXPECT_TRUE(noteFiles().isEmpty()); // the fired note's file is gone
        EXPECT_EQ(fakes.sound.played.size(), c.expectSound ? 1 : 0);

        // Fired: moving saves nothing; an arrow re-arms it and the next press saves.
        dropAt(*window, {310, 300});
        EXPECT_TRUE(noteFiles().isEmpty());
        QTest::keyClick(window->Text1, Qt::Key_Right, Qt::ControlModifier);
        EXPECT_FALSE(window->note().alertFired);
        dropAt(*window, {300, 300});
        EXPECT_EQ(noteFiles().size(), 1);
        for (const QString &file : noteFiles())
            QFile::remove(dir.filePath(file));
    }
}

TEST_F(NoteWindowTest, TimerLeavesNoteAloneWhileSetUpIsOpen)
{
    setNow(9 * 60);
    const auto window = fresh();
    QTest::keyClicks(window->Text1, QStringLiteral("x"));
    QTest::keyClick(window->Text1, Qt::Key_Right, Qt::ControlModifier);
    QTest::keyClick(window->Text1, Qt::Key_F8);
    ASSERT_TRUE(window->setupOpen());
    EXPECT_EQ(window->indicatorColour(), QColor(7, 19, 248));
    setNow(10 * 60);
    fakes.keys.down = {Key::Control, Key::Keypad1};
    window->Timer2_Timer();
    EXPECT_FALSE(window->note().alertFired);
    EXPECT_GT(window->y(), 0);
    EXPECT_EQ(window->indicatorColour(), QColor(7, 19, 248));
}

TEST_F(NoteWindowTest, AllNotesKeysParkAndBringBack)
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
}

TEST_F(NoteWindowTest, CtrlKeypadKeysWithAndWithoutNumLock)
{
    const auto window = fresh(QStringLiteral("12"));
    const auto ctrlPad = Qt::ControlModifier | Qt::KeypadModifier;
    QTest::keyClick(window->Text1, Qt::Key_6, ctrlPad);
    EXPECT_EQ(window->note().points, 14);
    QTest::keyClick(window->Text1, Qt::Key_Left, ctrlPad); // keypad 4 without NumLock
    EXPECT_EQ(window->note().points, 10);
    EXPECT_TRUE(window->Label2->text().isEmpty()); // not an alert step
    QTest::keyClick(window->Text1, Qt::Key_9, ctrlPad);
    EXPECT_EQ(window->note().colour, NoteColour::Green);
    QTest::keyClick(window->Text1, Qt::Key_Up, ctrlPad); // keypad 8
    EXPECT_EQ(window->note().colour, NoteColour::Cyan);
    EXPECT_EQ(window->Text1->palette().color(QPalette::Base), QColor(221, 255, 255));
    // The all-notes keys reach every note's text box too; they type nothing.
    QTest::keyClick(window->Text1, Qt::Key_0, ctrlPad);
    QTest::keyClick(window->Text1, Qt::Key_1, ctrlPad);
    EXPECT_TRUE(window->Text1->toPlainText().isEmpty());
}

TEST_F(NoteWindowTest, ArrowsStepAndWarnWhenBeforeNow)
{
    setNow(10 * 60 + 5);
    const auto window = fresh();
    QTest::keyClick(window->Text1, Qt::Key_Left, Qt::ControlModifier);
    EXPECT_EQ(window->Label2->text(), QStringLiteral("10.05"));
    QTest::keyClick(window->Text1, Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(window->note().date, today());
    ASSERT_EQ(fakes.messageBoxes.shown.size(), 2);
    EXPECT_EQ(fakes.messageBoxes.shown[0].text, QStringLiteral(" ora inferiore alla attuale     "));
    EXPECT_EQ(fakes.messageBoxes.shown[1].text, QStringLiteral(" data inferiore alla attuale !    "));
    EXPECT_EQ(fakes.messageBoxes.shown[1].title, QStringLiteral(" Promemo"));
    QTest::keyClick(window->Text1, Qt::Key_Down, Qt::AltModifier);
    EXPECT_EQ(window->Label1->text(), dateText(today().addDays(7)));
}

} // namespace
