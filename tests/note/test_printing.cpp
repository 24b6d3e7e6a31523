#include <QApplication>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include "note/printlayout.h"
#include "note/printwindow.h"
#include "tests/support/fakes.h"
#include "tests/support/fakewindowregistry.h"

using namespace promemo;
using namespace promemo::note;
using namespace std::chrono_literals;

namespace {

// `count` letters with blanks at the given positions (from 1).
QString withBlanks(int count, std::initializer_list<int> blanks)
{
    QString line(count, u'x');
    for (const int position : blanks)
        line[position - 1] = u' ';
    return line;
}

TEST(NotePage, HeaderThenEveryLineOfTheTextCutOnceAtABlankFrom45To60OrElseAfter60)
{
    const QString words = QStringLiteral("abcdefghij ").repeated(14).left(150);
    const struct { QString text; QStringList body; } cases[] = {
        {QString(49, u'x') + u"\r\n"_qs + withBlanks(50, {46}),
         {QString(49, u'x'), withBlanks(46, {46}), QString(4, u'x')}},
        {QString(70, u'x'), {QString(60, u'x'), QString(10, u'x')}},
        // Blanks after the cut are trimmed; one before character 45 does not count.
        {withBlanks(70, {30, 50, 51, 70}), {withBlanks(50, {30, 50}), QString(18, u'x')}},
        // No blank up to 60: the rest keeps its blanks.
        {withBlanks(70, {44, 61}), {withBlanks(60, {44}), withBlanks(10, {1})}},
        {words, {words.left(55), words.mid(55)}},
        // The piece after the last line end is printed too; a lone CR or LF ends a line.
        {QStringLiteral("uno\r\n\r\ndue\r\n"), {u"uno"_qs, {}, u"due"_qs, {}}},
        {QStringLiteral("a\rb\nc"), {u"a"_qs, u"b"_qs, u"c"_qs}},
    };
    const QStringList head = {{}, {}, {}, {},
        QStringLiteral("Data e ora di registrazione del messaggio: 06/12/2030 14.05"), {}, {}};
    for (const auto &c : cases) {
        EXPECT_EQ(notePageLines(QStringLiteral("06/12/2030 14.05"), c.text), head + c.body)
            << c.text.toStdString();
    }
}

TEST(PrintNote, WaitsTwoSecondsBesideTheNoteThenPrintsUnlessCancelledAndReportsAnError)
{
    const PrinterError offline{482, QStringLiteral("Nessuna stampante predefinita")};
    const Message error{QStringLiteral(" Promemo"),
        QStringLiteral("   Errore482:  Nessuna stampante predefinita\r\r"
                       "   Controllare lo stato della stampante e riprovare    ")};
    const struct { int noteTop; bool cancel; std::optional<PrinterError> failure;
                   int windowTop; bool printed; QList<Message> shown; } cases[] = {
        {200, false, {}, 347, true, {}},
        // Too near the screen's bottom (1024): above the note instead.
        {773, false, {}, 686, true, {}},
        {200, true, {}, 347, false, {}},
        {200, false, offline, 347, false, {error}},
    };
    for (const auto &c : cases) {
        test::FakeWindowRegistry windows;
        test::FakeServices fakes{windows};
        fakes.printer.failure = c.failure;
        QWidget note;
        note.move(100, c.noteTop);
        // Each turn of the event loop moves the fake clock on; the window shows meanwhile.
        QList<QPoint> shownAt;
        QTimer ticker;
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            fakes.clock.advance(100ms);
            for (QWidget *widget : QApplication::topLevelWidgets()) {
                auto *window = qobject_cast<PrintWindow *>(widget);
                if (!window || !window->isVisible())
                    continue;
                shownAt << window->pos();
                // F3 again while the window shows does not print a second time.
                if (shownAt.size() == 1) {
                    QTimer::singleShot(0, [&] {
                        printNote(note, u"06/12/2030 14.05"_qs, u"testo"_qs, fakes.services());
                    });
                }
                if (c.cancel && shownAt.size() == 19)
                    window->findChild<QPushButton *>(u"Command1"_qs)->click();
            }
        });
        ticker.start(0);
        printNote(note, QStringLiteral("06/12/2030 14.05"), QStringLiteral("testo"),
                  fakes.services());

        ASSERT_GE(shownAt.size(), c.cancel ? 19 : 20);
        EXPECT_EQ(shownAt.back(), QPoint(100, c.windowTop));
        EXPECT_EQ(fakes.printer.ended, c.printed ? 1 : 0);
        if (c.printed) {
            EXPECT_EQ(fakes.printer.fontFamily, QStringLiteral("Arial"));
            EXPECT_EQ(fakes.printer.fontPoints, 12);
            EXPECT_EQ(fakes.printer.lines, notePageLines(u"06/12/2030 14.05"_qs, u"testo"_qs));
        }
        EXPECT_EQ(fakes.messageBoxes.shown, c.shown);
    }
}

TEST(SystemPrinter, PrintsTheNotePageReadableBackFromThePdf)
{
    QTemporaryDir folder;
    const QString pdf = folder.filePath(u"page.pdf"_qs);
    SystemPrinter printer;
    printer.setOutputFile(pdf);
    EXPECT_FALSE(printer.printLine(u"fuori"_qs));

    // A long note runs onto further pages.
    QString text = u"Perché è così caro il caffè?"_qs;
    for (int line = 1; line <= 100; ++line)
        text += u"\r\nriga "_qs + QString::number(line);
    ASSERT_TRUE(printer.beginDocument(u"Arial"_qs, 12));
    for (const QString &line : notePageLines(u"06/12/2030 14.05"_qs, text))
        ASSERT_TRUE(printer.printLine(line));
    ASSERT_TRUE(printer.endDocument());
    EXPECT_FALSE(printer.endDocument());

    QProcess pdftotext;
    pdftotext.start(u"pdftotext"_qs, {u"-layout"_qs, pdf, u"-"_qs});
    ASSERT_TRUE(pdftotext.waitForFinished(20000));
    const QString printed = QString::fromUtf8(pdftotext.readAllStandardOutput());
    EXPECT_TRUE(printed.contains(u"Data e ora di registrazione del messaggio: 06/12/2030 14.05"_qs))
        << printed.left(300).toStdString();
    EXPECT_TRUE(printed.contains(u"Perché è così caro il caffè?"_qs));
    EXPECT_TRUE(printed.contains(u"riga 100"_qs));
    EXPECT_GE(printed.count(u'\f'), 2);
}

} // namespace
