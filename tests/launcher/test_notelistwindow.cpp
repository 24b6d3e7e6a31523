#include "launcher/notelistwindow.h"

#include <QApplication>
#include <QFile>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "common/daynumber.h"
#include "common/notefile.h"
#include "common/recurrences.h"
#include "platform/printjob.h"
#include "tests/support/fakes.h"

using namespace promemo;
using namespace promemo::launcher;
using namespace std::chrono_literals;
using Start = test::FakeProcessStarter::Start;

namespace {

// Two days before the first five-digit day number.
const QDate kToday(2027, 5, 17);
const QString kPlaceholder = u"          Nessun Notino"_qs;
const QStringList kHeading{{}, {}, {}, u"Stampa Elenco Notino"_qs, {}, {}};

QStringList texts(const QListWidget *list)
{
    QStringList lines;
    for (int row = 0; row < list->count(); ++row)
        lines << list->item(row)->text();
    return lines;
}

QStringList fileNames(const QListWidget *list)
{
    QStringList names;
    for (int row = 0; row < list->count(); ++row)
        names << list->item(row)->data(frmCounter::FileNameRole).toString();
    return names;
}

void click(QListWidget *list, int row)
{
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(row)).center());
}

class NoteListTest : public ::testing::Test, public test::ProgramFolderWithFakes
{
protected:
    NoteListTest() { fakes.clock.current = QDateTime(kToday, QTime(10, 0)); }
    ~NoteListTest() override { delete window.data(); }

    // A put-away note `days` after today; returns its bare name.
    QString putAway(int days, char colour, int alert, const QString &text,
                    const QString &time = {}, NoteState state = NoteState::PutAway)
    {
        const int day = dayNumber(kToday) + days;
        const auto name = encodeNoteName({state, day, colour, alert, 'n', ++stamp});
        const QString date = dateOfDayNumber(day).toString(u"dd/MM/yyyy"_qs);
        EXPECT_TRUE(writeNoteFile(dir.filePath(*name), {text, date, time, date + u" 08.00"_qs}));
        return *name;
    }

    frmCounter &open()
    {
        delete window.data();
        window = new frmCounter(fakes.services());
        return *window;
    }

    bool visible(const char *name) const
    {
        return window->findChild<QWidget *>(QLatin1String(name))->isVisible();
    }

    // Presses "Stampa l' elenco" while every turn of the event loop moves the clock 100 ms on.
    void print()
    {
        QTimer ticker;
        QObject::connect(&ticker, &QTimer::timeout, [this] { fakes.clock.advance(100ms); });
        ticker.start(0);
        window->stampa()->click();
        EXPECT_TRUE(QTest::qWaitFor([] {
            return std::ranges::none_of(QApplication::topLevelWidgets(),
                                        [](QWidget *w) { return qobject_cast<PrintJobWindow *>(w); });
        }, 10000)) << "the print job never ended";
    }

    QPointer<frmCounter> window;
    int stamp = 0;
};

TEST_F(NoteListTest, WithoutNotesBothListsHoldThePlaceholderAndTheWindowStaysSmall)
{
    frmCounter &list = open();

    EXPECT_EQ(texts(list.list1()) + texts(list.list2()), QStringList(2, kPlaceholder));
    EXPECT_FALSE(visible("Picture3") || visible("Picture4"));
    EXPECT_TRUE(list.isVisible() && !list.isActiveWindow());

    // The placeholder starts nothing; the focus goes to "Chiudi".
    click(list.list1(), 0);
    click(list.list2(), 0);
    EXPECT_TRUE(fakes.processes.started.isEmpty());
    EXPECT_EQ(list.focusWidget(), list.chiudi());
}

TEST_F(NoteListTest, ListsNotesByDayAcrossFiveDigitsAndDeletesPastOnesOnce)
{
    const QString timed = putAway(0, 'h', 570, u"Riunione"_qs, u"09.30"_qs);
    const QString untimed = putAway(0, 'h', 0, u"Spesa\r\nlatte"_qs);
    const QString day10001 = putAway(3, 'a', 0, u"dopo"_qs);
    const QString day9999 = putAway(1, 'v', 0, u"domani"_qs);
    const QString past = putAway(-1, 'h', 600, u"ieri"_qs, u"10.00"_qs);
    putAway(0, 'h', 0, u"in esecuzione"_qs, {}, NoteState::Shown);
    // A note file that cannot be read is left out.
    const QString unreadable = *encodeNoteName({NoteState::PutAway, dayNumber(kToday), 'h', 0, 'n', 99});
    ASSERT_TRUE(QFile::link(u"/proc/self/mem"_qs, dir.filePath(unreadable)));

    frmCounter &list = open();

    // A note without alert sorts first on its day and shows "nd".
    EXPECT_EQ(fileNames(list.list1()), (QStringList{untimed, timed}));
    EXPECT_EQ(texts(list.list1()).first(),
              u"09998 17/05/2027 -     nd \tSpesa  latte"_qs + QString(110, u' ') + untimed);
    EXPECT_EQ(fileNames(list.list2()), (QStringList{day9999, day10001}));
    EXPECT_EQ(fileNames(list.list3()), QStringList{past});
    EXPECT_FALSE(QFile::exists(dir.filePath(past)));
    EXPECT_TRUE(visible("Picture3") && !visible("Picture4"));

    // Deleted, it is not listed again.
    open();
    EXPECT_FALSE(visible("Picture3"));
}

TEST_F(NoteListTest, ListsRecurrencesDueWithinTheirAdvanceAndMakesRoomForBothSections)
{
    // Both 40 days ahead, on 26 June, the 177th day of the year.
    dir.put(u"ricf.dat"_qs, encodeRecurrences({{u"26/06"_qs, u"01"_qs, u"39"_qs, u"anniversario"_qs},
                                              {u"26/06"_qs, u"01"_qs, u"40"_qs, u"compleanno"_qs}}));

    frmCounter &list = open();
    EXPECT_EQ(texts(list.list4()), QStringList{u"177  26/06/2027        compleanno"_qs});
    EXPECT_TRUE(list.recurrencesShown() && visible("Picture4"));
    const int oneSection = list.height();

    putAway(-30, 'h', 0, u"scaduto"_qs);
    frmCounter &both = open();
    EXPECT_TRUE(both.recurrencesShown() && both.expiredShown());
    EXPECT_GT(both.height(), oneSection);
}

TEST_F(NoteListTest, ClickingANoteReopensItWithItsProgramAndClosesTheWatcherForAnAlert)
{
    const QString alerted = putAway(0, 'k', 570, u"con avviso"_qs, u"09.30"_qs);
    // Its text must not make it look like the placeholder.
    const QString plain = putAway(0, 'h', 0, u"Nessun problema"_qs);
    const QString later = putAway(2, 'h', 600, u"dopo"_qs, u"10.00"_qs);
    registry.addWindow(u"NotinoControl"_qs);
    QStringList closedAtStart;
    fakes.processes.onStart = [&](const Start &) { closedAtStart = registry.closeRequests(); };
    frmCounter &list = open();
    ASSERT_EQ(fileNames(list.list1()), (QStringList{plain, alerted}));

    click(list.list1(), 1);
    // Started once the watcher has gone.
    ASSERT_TRUE(QTest::qWaitFor([&] { return fakes.processes.started.size() == 1; }));
    EXPECT_EQ(fakes.processes.started.last(), (Start{u"Kirmo"_qs, {alerted}, WindowMode::NormalWithFocus}));
    EXPECT_EQ(closedAtStart, QStringList{u"NotinoControl"_qs});
    EXPECT_EQ(list.focusWidget(), list.chiudi());

    // The second click of a double click lands on the line that moved up: nothing more starts.
    click(list.list1(), 0);
    EXPECT_EQ(fakes.processes.started.size(), 1);

    fakes.clock.advance(1s);
    registry.addWindow(u"NotinoControl"_qs);
    click(list.list1(), 0);
    EXPECT_EQ(fakes.processes.started.last(), (Start{u"Kalvo"_qs, {plain}, WindowMode::NormalWithFocus}));
    EXPECT_EQ(texts(list.list1()), QStringList{kPlaceholder});

    fakes.clock.advance(1s);
    click(list.list2(), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return fakes.processes.started.size() == 3; }));
    EXPECT_EQ(fakes.processes.started.last(), (Start{u"Kalvo"_qs, {later}, WindowMode::NormalWithoutFocus}));
    EXPECT_EQ(registry.closeRequests(), QStringList{u"NotinoControl"_qs});
    EXPECT_EQ(fakes.processes.started.size(), 3);
}

TEST_F(NoteListTest, RefreshesTheNoteListsWhenTheWindowComesBackToTheForegroundAndF1Helps)
{
    frmCounter &list = open();
    list.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&list));
    const QString added = putAway(0, 'h', 0, u"nuovo"_qs);
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    EXPECT_EQ(texts(list.list1()), QStringList{kPlaceholder});
    list.activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return fileNames(list.list1()) == QStringList{added}; }, 2000));
    EXPECT_EQ(texts(list.list2()), QStringList{kPlaceholder});

    QTest::keyClick(list.list1(), Qt::Key_F1);
    ASSERT_TRUE(QTest::qWaitFor([this] { return !fakes.processes.started.isEmpty(); }));
    EXPECT_EQ(fakes.processes.started,
              (QList<Start>{{u"Aiuto"_qs, {u"elenco.htm"_qs}, WindowMode::Maximised}}));
    list.chiudi()->click();
    ASSERT_TRUE(QTest::qWaitFor([this] { return window.isNull(); }));
}

// Waiting and cancelling are the print job window's, tested with the note's printing.
TEST_F(NoteListTest, PrintsTheNotesOfTheFirstThreeListsOrSaysWhyNot)
{
    open();
    print();
    EXPECT_EQ(fakes.printer.lines, kHeading);
    EXPECT_EQ(std::tuple(fakes.printer.fontFamily, fakes.printer.fontPoints, fakes.printer.ended),
              std::tuple(u"Arial"_qs, 12, 1));

    // Long texts break as the printed-lines rule says (tested with it): one break here.
    const QString words = u"abcdefghi "_qs.repeated(12);
    putAway(0, 'h', 0, words);
    putAway(1, 'h', 600, u"domani"_qs, u"10.00"_qs);
    putAway(-1, 'h', 0, u"ieri"_qs);
    open();
    print();
    const QStringList notes{u"Data: 17/05/2027    Ora: nd "_qs, words.left(60), words.mid(60, 59), {},
                            u"Data: 18/05/2027    Ora: 10.00 "_qs, u"domani"_qs, {},
                            u"Data: 16/05/2027    Ora: nd "_qs, u"ieri"_qs, {}};
    EXPECT_EQ(fakes.printer.lines, kHeading + notes);
    EXPECT_TRUE(fakes.messageBoxes.shown.isEmpty());

    fakes.printer.failure = PrinterError{482, u"Nessuna stampante predefinita"_qs};
    print();
    const Message error{u"NotinoTray"_qs, u"   Errore482:  Nessuna stampante predefinita\r\r"
                                          "   Controllare lo stato della stampante e riprovare    "_qs};
    EXPECT_EQ(fakes.messageBoxes.shown, QList<Message>{error});
}

} // namespace
