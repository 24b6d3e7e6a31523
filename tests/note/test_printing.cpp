#include <QApplication>
#include <QFile>
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
QString lineWithBlanks(int count, std::initializer_list<int> blanks)
{
    QString line(count, u'x');
    for (const int position : blanks)
        line[position - 1] = u' ';
    return line;
}

TEST(NotePage, LongLinesAreCutOnceAtABlankFrom45To60OrElseAfter60)
{
    const QString words150 = QStringLiteral("abcdefghij ").repeated(14).left(150);
    const struct { QString line; QStringList printed; } cases[] = {
        {QString(49, u'x'), {QString(49, u'x')}},
        {lineWithBlanks(50, {46}), {lineWithBlanks(46, {46}), QString(4, u'x')}},
        {QString(70, u'x'), {QString(60, u'x'), QString(10, u'x')}},
        // Blanks after the cut are trimmed; one before character 45 does not count.
        {lineWithBlanks(70, {30, 50, 51, 52, 70}),
         {lineWithBlanks(50, {30, 50}), QString(17, u'x')}},
        // No blank up to 60: the rest keeps its blanks.
        {lineWithBlanks(70, {44, 61}), {lineWithBlanks(60, {44}), lineWithBlanks(10, {1})}},
        {words150, {words150.left(55), words150.mid(55)}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(Stampa_Testo1(c.line), c.printed) << c.line.toStdString();
}

TEST(NotePage, HeaderWithTheChangeTimeThenEveryLineOfTheTextTheLastOneIncluded)
{
    const QString time = QStringLiteral("06/12/2030 14.05");
    const QStringList head = {{}, {}, {}, {},
        QStringLiteral("Data e ora di registrazione del messaggio: 06/12/2030 14.05"), {}, {}};
    const struct { QString text; QStringList body; } cases[] = {
        {QStringLiteral("uno\r\ndue\r\n\r\ntre"),
         {QStringLiteral("uno"), QStringLiteral("due"), {}, QStringLiteral("tre")}},
        {QStringLiteral("fine\r\n"), {QStringLiteral("fine"), {}}},
        // A lone CR or LF ends a line too; no letter after it is lost.
        {QStringLiteral("a\rb\nc"), {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}},
        {QString(70, u'x'), {QString(60, u'x'), QString(10, u'x')}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(notePageLines(time, c.text), head + c.body) << c.text.toStdString();
}

TEST(PrintWindow, StandsBelowTheNoteOrAboveItNearTheScreensBottom)
{
    // The window is 72 pixels (1080 twips) high and keeps 500 twips above the screen's bottom.
    const struct { QPoint note; QPoint window; } cases[] = {
        {{100, 200}, {100, 347}},
        {{0, 772}, {0, 919}},
        {{0, 773}, {0, 686}},
        {{40, 900}, {40, 813}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(printWindowPosition(c.note, 1024), c.window) << c.note.y();
}

class PrintNote : public ::testing::Test
{
protected:
    PrintNote()
    {
        note.setGeometry(100, 200, 193, 140);
        // The fake clock moves on only when told; every turn of the event loop moves it 100 ms.
        ticker.setInterval(0);
        QObject::connect(&ticker, &QTimer::timeout, [this] {
            fakes.clock.advance(100ms);
            elapsed += 100ms;
            if (onTick)
                onTick(printWindow());
        });
        ticker.start();
    }

    static PrintWindow *printWindow()
    {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (auto *window = qobject_cast<PrintWindow *>(widget); window && window->isVisible())
                return window;
        }
        return nullptr;
    }

    void print(const QString &text)
    {
        printNote(note, QStringLiteral("06/12/2030 14.05"), text, fakes.services());
    }

    test::FakeWindowRegistry windows;
    test::FakeServices fakes{windows};
    QWidget note;
    QTimer ticker;
    std::chrono::milliseconds elapsed{0};
    std::function<void(PrintWindow *)> onTick;
};

TEST_F(PrintNote, ShowsTheWindowBesideTheNoteForTwoSecondsThenPrintsThePageInArial12)
{
    std::chrono::milliseconds shownFor{0};
    QPoint shownAt;
    onTick = [&](PrintWindow *window) {
        if (!window || !fakes.printer.lines.isEmpty())
            return;
        shownFor = elapsed;
        shownAt = window->pos();
        EXPECT_EQ(window->findChild<QPushButton *>()->text(), QStringLiteral("&Annulla"));
    };
    print(QStringLiteral("primo\r\nsecondo"));

    EXPECT_GE(shownFor, 1900ms);
    EXPECT_EQ(shownAt, QPoint(100, 347));
    EXPECT_EQ(printWindow(), nullptr);
    EXPECT_EQ(fakes.printer.fontFamily, QStringLiteral("Arial"));
    EXPECT_EQ(fakes.printer.fontPoints, 12);
    EXPECT_EQ(fakes.printer.lines,
              notePageLines(QStringLiteral("06/12/2030 14.05"), QStringLiteral("primo\r\nsecondo")));
    EXPECT_EQ(fakes.printer.ended, 1);
    EXPECT_TRUE(fakes.messageBoxes.shown.isEmpty());
}

TEST_F(PrintNote, AnnullaWithinTheTwoSecondsPrintsNothing)
{
    onTick = [&](PrintWindow *window) {
        if (window && elapsed == 1900ms)
            window->findChild<QPushButton *>()->click();
    };
    print(QStringLiteral("testo"));

    EXPECT_TRUE(fakes.printer.fontFamily.isEmpty());
    EXPECT_EQ(fakes.printer.ended, 0);
    EXPECT_EQ(printWindow(), nullptr);
    EXPECT_TRUE(fakes.messageBoxes.shown.isEmpty());
}

TEST_F(PrintNote, APrinterErrorIsShownWithItsNumberAndDescription)
{
    fakes.printer.failure = PrinterError{482, QStringLiteral("Nessuna stampante predefinita")};
    print(QStringLiteral("testo"));

    const QList<Message> expected = {
        {QStringLiteral(" Promemo"),
         QStringLiteral("   Errore482:  Nessuna stampante predefinita\r\r"
                        "   Controllare lo stato della stampante e riprovare    "),
         MessageIcon::Warning, MessageButtons::Ok}};
    EXPECT_EQ(fakes.messageBoxes.shown, expected);
    EXPECT_EQ(fakes.printer.ended, 0);
}

TEST(SystemPrinter, PrintsLinesOnAsManyPagesAsTheyNeedAndRefusesLinesOutsideADocument)
{
    QTemporaryDir folder;
    const QString pdf = folder.filePath(QStringLiteral("page.pdf"));
    SystemPrinter printer;
    printer.setOutputFile(pdf);

    EXPECT_FALSE(printer.printLine(QStringLiteral("fuori")));
    EXPECT_NE(printer.lastError().number, 0);

    ASSERT_TRUE(printer.beginDocument(QStringLiteral("Arial"), 12));
    // Far more 12-point lines than one page holds.
    for (int line = 0; line < 150; ++line)
        ASSERT_TRUE(printer.printLine(QStringLiteral("riga %1").arg(line)));
    ASSERT_TRUE(printer.endDocument());
    EXPECT_FALSE(printer.endDocument());

    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const qsizetype pages = file.readAll().count("/Type /Page\n");
    EXPECT_GE(pages, 2);
    EXPECT_LE(pages, 5);
}

} // namespace
