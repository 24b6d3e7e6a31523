#include "launcher/archivewindow.h"

#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "common/archive.h"
#include "tests/launcher/launchertest.h"

using namespace promemo;
using namespace promemo::launcher;

namespace {

struct ArchiveWindowTest : test::WindowTest<frmArchivio>
{
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
};

// The text shown is the archive text rules' own test.
TEST_F(ArchiveWindowTest, FindsEachOccurrenceCaseAsideThenEndsAndStartsAgain)
{
    dir.put(u"archivio.dat"_qs, encodeArchiveRecord({u"06/12/2026 "_qs, u"Comprare il CAFFÈ"_qs, u"06/12/2026 10.00"_qs})
                                    + encodeArchiveRecord({u"05/12/2026 "_qs, u"caffè con Nino"_qs, u"05/12/2026 10.00"_qs}));
    frmArchivio &w = open();
    EXPECT_EQ(QApplication::focusWidget(), w.text2());
    search(u"Caffè"_qs);
    EXPECT_EQ(selectedInText1(), u"CAFFÈ"_qs);
    EXPECT_EQ(QApplication::focusWidget(), w.text1());
    w.cmdTrova()->click();
    EXPECT_EQ(selectedInText1(), u"caffè"_qs);

    w.cmdTrova()->click();
    ASSERT_EQ(fakes.messageBoxes.shown.size(), 1);
    EXPECT_TRUE(fakes.messageBoxes.shown[0].text.contains(u"' Caffè '  terminata"_qs));
    EXPECT_EQ(QApplication::focusWidget(), w.text2());
    EXPECT_EQ(w.text2()->selectedText(), u"Caffè"_qs);
    w.cmdTrova()->click();
    EXPECT_EQ(selectedInText1(), u"CAFFÈ"_qs);

    // A new search text, or a double click that empties the box, starts again from the top.
    search(u"NINO"_qs);
    EXPECT_EQ(selectedInText1(), u"Nino"_qs);
    QTest::mouseDClick(w.text2(), Qt::LeftButton);
    EXPECT_EQ(w.text2()->text(), QString());
    EXPECT_EQ(w.startPosition(), 0);

    w.cmdTrova()->click();
    EXPECT_EQ(fakes.messageBoxes.shown.size(), 2); // nothing to search for
    EXPECT_EQ(QApplication::focusWidget(), w.text2());
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
