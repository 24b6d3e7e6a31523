#include <QApplication>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

#include <gtest/gtest.h>

#include "note/core/printlayout.h"
#include "note/printwindow.h"
#include "platform/printer.h"
#include "tests/support/fakes.h"

using namespace promemo;
using namespace promemo::note;
using namespace promemo::test;
using namespace std::chrono_literals;

namespace {

const QString kStamp = QStringLiteral("06/12/2030 14.05");

// Prints the note while each turn of the event loop moves the fake clock 100 ms on, until the job
// has ended; `onTurn` gets the print window at each turn it shows, counted from 1. Returns the
// turns it showed.
int printWhileTicking(QWidget &note, FakeServices &fakes, const std::function<void(QWidget &, int)> &onTurn)
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

TEST(PrintNote, WaitsTwoSecondsThenPrintsOnceAndReportsAnError)
{
    // Cancelling is the next test's.
    const struct { bool printed; std::optional<PrinterError> failure; } cases[] = {
        {true, {}}, {false, PrinterError{482, u"Nessuna stampante predefinita"_qs}}};
    for (const auto &c : cases) {
        ProgramFolderWithFakes d;
        d.fakes.printer.failure = c.failure;
        QWidget note;
        const int shown = printWhileTicking(note, d.fakes, [&](QWidget &, int turn) {
            // F3 again while the window shows does not print a second time.
            if (turn == 1)
                QTimer::singleShot(0, [&] { printNote(note, kStamp, u"testo"_qs, d.fakes.services()); });
        });
        ASSERT_GE(shown, 20);
        const FakePrinter &printer = d.fakes.printer;
        EXPECT_EQ(std::tuple(printer.ended, printer.fontFamily, printer.fontPoints, printer.lines),
                  c.printed ? std::tuple(1, u"Arial"_qs, 12, notePageLines(kStamp, u"testo"_qs))
                            : std::tuple(0, QString(), 0, QStringList()));
        const QList<Message> &shownBoxes = d.fakes.messageBoxes.shown;
        EXPECT_EQ(shownBoxes.size(), c.failure ? 1 : 0);
        EXPECT_TRUE(!c.failure || shownBoxes.value(0).text.contains(u"Errore482:  Nessuna stampante"_qs));
    }
}

// The user's way: a click where the button shows, or a key to the window that has the focus.
TEST(PrintNote, AnnullaTakesTheFocusAndCancelsByMouseAndByKeyboard)
{
    for (const bool byMouse : {true, false}) {
        ProgramFolderWithFakes d;
        QWidget note;
        note.show();
        note.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&note));
        bool focused = false;
        const int turns = printWhileTicking(note, d.fakes, [&](QWidget &print, int turn) {
            if (turn != 10)
                return;
            const QWidget *button = print.findChild<QPushButton *>(u"Command1"_qs);
            focused = print.isActiveWindow() && QApplication::focusWidget() == button;
            if (byMouse)
                QTest::mouseClick(print.windowHandle(), Qt::LeftButton, {}, button->geometry().center());
            else
                QTest::keyClick(QGuiApplication::focusWindow(), Qt::Key_Escape);
        });
        EXPECT_EQ(std::tuple(turns >= 10, focused, d.fakes.printer.ended), std::tuple(true, true, 0));
        // The note has the focus again.
        EXPECT_TRUE(QTest::qWaitForWindowActive(&note));
    }
}

// The real printer path: an accented long note, printed to PDF and read back, runs onto further
// pages with its letters intact.
TEST(SystemPrinter, PrintsTheNotePageReadableBackFromThePdf)
{
    QTemporaryDir folder;
    SystemPrinter printer;
    printer.setOutputFile(folder.filePath(u"page.pdf"_qs));
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
