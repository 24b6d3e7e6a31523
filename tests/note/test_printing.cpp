#include <QApplication>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

#include <gtest/gtest.h>

#include "note/core/printlayout.h"
#include "note/printwindow.h"
#include "tests/support/fakes.h"
#include "tests/support/fakewindowregistry.h"

using namespace promemo;
using namespace promemo::note;
using namespace std::chrono_literals;

namespace {

const QString kStamp = QStringLiteral("06/12/2030 14.05");

// Prints the note while each turn of the event loop moves the fake clock 100 ms on, until the job
// has ended; `onTurn` gets the print window at each turn it shows, counted from 1. Returns the
// turns it showed.
int printWhileTicking(QWidget &note, test::FakeServices &fakes, const std::function<void(QWidget &, int)> &onTurn)
{
    int turns = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (qobject_cast<PrintWindow *>(widget) && widget->isVisible())
                onTurn(*widget, ++turns);
        }
        fakes.clock.advance(100ms);
    });
    ticker.start(0);
    const QPointer<PrintWindow> job = printNote(note, kStamp, u"testo"_qs, fakes.services());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !job; }, 10000)) << "the print job never ended";
    return turns;
}

TEST(PrintNote, WaitsTwoSecondsThenPrintsUnlessCancelledAndReportsAnError)
{
    const struct { bool cancel, printed; std::optional<PrinterError> failure; } cases[] = {
        {false, true, {}}, {true, false, {}}, {false, false, PrinterError{482, u"Nessuna stampante predefinita"_qs}}};
    for (const auto &c : cases) {
        test::FakeWindowRegistry windows;
        test::FakeServices fakes{windows};
        fakes.printer.failure = c.failure;
        QWidget note;
        const int shown = printWhileTicking(note, fakes, [&](QWidget &print, int turn) {
            // F3 again while the window shows does not print a second time.
            if (turn == 1)
                QTimer::singleShot(0, [&] { printNote(note, kStamp, u"testo"_qs, fakes.services()); });
            else if (c.cancel && turn == 19)
                print.findChild<QPushButton *>(u"Command1"_qs)->click();
        });
        ASSERT_GE(shown, c.cancel ? 19 : 20);
        EXPECT_EQ(std::tuple(fakes.printer.ended, fakes.printer.fontFamily, fakes.printer.fontPoints,
                             fakes.printer.lines),
                  c.printed ? std::tuple(1, u"Arial"_qs, 12, notePageLines(kStamp, u"testo"_qs))
                            : std::tuple(0, QString(), 0, QStringList()));
        ASSERT_EQ(fakes.messageBoxes.shown.size(), c.failure ? 1 : 0);
        if (c.failure) {
            EXPECT_TRUE(fakes.messageBoxes.shown[0].text.contains(u"Errore482:  Nessuna stampante"_qs));
        }
    }
}

// The user's way: a click where the button shows, or a key to the window that has the focus.
TEST(PrintNote, AnnullaTakesTheFocusAndCancelsByMouseAndByKeyboard)
{
    const std::function<void(QWidget &)> cancels[] = {
        [](QWidget &print) {
            const QWidget *button = print.findChild<QPushButton *>(u"Command1"_qs);
            QTest::mouseClick(print.windowHandle(), Qt::LeftButton, {}, button->geometry().center());
        },
        [](QWidget &) { QTest::keyClick(QGuiApplication::focusWindow(), Qt::Key_Space); },
        [](QWidget &) { QTest::keyClick(QGuiApplication::focusWindow(), Qt::Key_Escape); },
    };
    for (const auto &cancel : cancels) {
        test::FakeWindowRegistry windows;
        test::FakeServices fakes{windows};
        QWidget note;
        note.show();
        note.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&note));
        bool focused = false;
        const int turns = printWhileTicking(note, fakes, [&](QWidget &print, int turn) {
            if (turn != 10)
                return;
            focused = print.isActiveWindow()
                      && QApplication::focusWidget() == print.findChild<QPushButton *>(u"Command1"_qs);
            cancel(print);
        });
        EXPECT_GE(turns, 10);
        EXPECT_TRUE(focused);
        EXPECT_EQ(fakes.printer.ended, 0);
        // The note has the focus again.
        EXPECT_TRUE(QTest::qWaitForWindowActive(&note));
    }
}

TEST(SystemPrinter, PrintsTheNotePageReadableBackFromThePdf)
{
    QTemporaryDir folder;
    SystemPrinter printer;
    printer.setOutputFile(folder.filePath(u"page.pdf"_qs));
    // An accented long note runs onto further pages.
    const QString text = u"Perché è così caro il caffè?"_qs + u"\r\nriga"_qs.repeated(100) + u"\r\nfine"_qs;
    ASSERT_TRUE(printer.beginDocument(u"Arial"_qs, 12));
    for (const QString &line : notePageLines(kStamp, text))
        ASSERT_TRUE(printer.printLine(line));
    ASSERT_TRUE(printer.endDocument());

    QProcess pdftotext;
    pdftotext.start(u"pdftotext"_qs, {u"-layout"_qs, folder.filePath(u"page.pdf"_qs), u"-"_qs});
    ASSERT_TRUE(pdftotext.waitForFinished(20000));
    const QString printed = QString::fromUtf8(pdftotext.readAllStandardOutput());
    for (const QString &expected : {u"Data e ora di registrazione del messaggio: "_qs + kStamp,
                                    u"Perché è così caro il caffè?"_qs, u"fine"_qs})
        EXPECT_TRUE(printed.contains(expected)) << printed.left(300).toStdString();
    EXPECT_GE(printed.count(u'\f'), 2);
}

} // namespace
