#include "launcher/archivewindow.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

#include "common/archive.h"
#include "common/atomicfile.h"
#include "common/programfolder.h"
#include "tests/support/fakes.h"

using namespace promemo;
using namespace promemo::launcher;

namespace {

class ArchiveWindowTest : public ::testing::Test, public test::ProgramFolderWithFakes
{
protected:
    ~ArchiveWindowTest() override { delete window.data(); }

    void writeArchive(const QList<ArchiveRecord> &records)
    {
        QByteArray bytes;
        for (const ArchiveRecord &record : records)
            bytes += encodeArchiveRecord(record);
        ASSERT_TRUE(writeFileAtomically(dir.filePath(u"archivio.dat"_qs), bytes));
    }

    frmArchivio &open()
    {
        window = openArchiveWindow(fakes.services());
        EXPECT_TRUE(window);
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.data()));
        return *window;
    }

    void search(const QString &text)
    {
        window->text2()->setText(text);
        QTest::keyClick(window->text2(), Qt::Key_Return);
    }

    QString selectedInText1() const { return window->text1()->textCursor().selectedText(); }
    qsizetype selectionStart() const { return window->text1()->textCursor().selectionStart(); }

    QPointer<frmArchivio> window;
};

TEST_F(ArchiveWindowTest, ShowsTheArchiveNewestFirstOnTopWithTheFocusInTheSearchBox)
{
    writeArchive({{u"06/12/2026 09.30"_qs, u"Caffè\r\ncon Nino"_qs, u"05/12/2026 21.44"_qs},
                  {u"01/12/2026 "_qs, u"vecchia"_qs, u""_qs}});
    frmArchivio &w = open();
    EXPECT_EQ(w.text1()->toPlainText(),
              u"Nota del 05/12/2026 per il 06/12/2026 09.30: \nCaffè\ncon Nino\n\n"
              "Nota del  per il 01/12/2026 : \nvecchia\n\n"_qs);
    EXPECT_EQ(QApplication::focusWidget(), w.text2());
    w.cmdChiudi()->click();
    EXPECT_TRUE(QTest::qWaitFor([this] { return window.isNull(); }, 2000));
}

TEST_F(ArchiveWindowTest, FindsEachOccurrenceCaseAsideThenEndsAndStartsAgain)
{
    writeArchive({{u"06/12/2026 "_qs, u"Comprare il CAFFÈ"_qs, u"06/12/2026 10.00"_qs},
                  {u"05/12/2026 "_qs, u"caffè con Nino"_qs, u"05/12/2026 10.00"_qs}});
    frmArchivio &w = open();
    search(u"Caffè"_qs);
    EXPECT_EQ(selectedInText1(), u"CAFFÈ"_qs);
    EXPECT_EQ(QApplication::focusWidget(), w.text1());
    w.cmdTrova()->click();
    EXPECT_EQ(selectedInText1(), u"caffè"_qs);
    const qsizetype second = selectionStart();

    w.cmdTrova()->click();
    ASSERT_EQ(fakes.messageBoxes.shown.size(), 1);
    EXPECT_TRUE(fakes.messageBoxes.shown[0].text.contains(u"' Caffè '  terminata"_qs));
    EXPECT_EQ(QApplication::focusWidget(), w.text2());
    EXPECT_EQ(w.text2()->selectedText(), u"Caffè"_qs);
    w.cmdTrova()->click();
    EXPECT_EQ(selectedInText1(), u"CAFFÈ"_qs);

    // A new search text, or a double click that empties the box, starts again from the top.
    w.cmdTrova()->click();
    EXPECT_EQ(selectionStart(), second);
    search(u"NINO"_qs);
    EXPECT_EQ(selectedInText1(), u"Nino"_qs);
    QTest::mouseDClick(w.text2(), Qt::LeftButton);
    EXPECT_EQ(w.text2()->text(), QString());
    EXPECT_EQ(w.startPosition(), 0);

    w.cmdTrova()->click();
    EXPECT_EQ(fakes.messageBoxes.shown.size(), 2); // nothing to search for
    EXPECT_EQ(QApplication::focusWidget(), w.text2());
}

TEST_F(ArchiveWindowTest, FindsAndScrollsToTheLastRecordOfAFullArchive)
{
    QList<ArchiveRecord> records(400, {u"05/12/2026 "_qs, u"una nota\r\nsu due righe"_qs,
                                       u"05/12/2026 10.00"_qs});
    records.append({u"01/01/2026 "_qs, u"la più vecchia: ombrello"_qs, u"01/01/2026 08.00"_qs});
    writeArchive(records);
    frmArchivio &w = open();
    EXPECT_EQ(w.text1()->verticalScrollBar()->value(), 0);
    search(u"Ombrello"_qs);
    EXPECT_EQ(selectedInText1(), u"ombrello"_qs);
    EXPECT_GT(w.text1()->verticalScrollBar()->value(), 0);
    EXPECT_TRUE(w.text1()->viewport()->rect().contains(w.text1()->cursorRect()));
    EXPECT_TRUE(fakes.messageBoxes.shown.isEmpty());
}

TEST_F(ArchiveWindowTest, NoArchiveOrAnUnreadableOneShowsTheMessageAndNoWindow)
{
    EXPECT_EQ(openArchiveWindow(fakes.services()), nullptr);
    ASSERT_TRUE(QDir(dir.path()).mkdir(u"archivio.dat"_qs));
    EXPECT_EQ(openArchiveWindow(fakes.services()), nullptr);
    EXPECT_EQ(fakes.messageBoxes.shown.size(), 2);
    EXPECT_TRUE(QApplication::topLevelWidgets().isEmpty());
    EXPECT_TRUE(registry.registeredCaptions().isEmpty());
}

} // namespace
