#include "launcher/archivewindow.h"

#include <QLineEdit>
#include <QPlainTextEdit>

#include "common/archive.h"
#include "tests/launcher/launchertest.h"

using namespace promemo;
using namespace promemo::launcher;

namespace {

using ArchiveWindowTest = test::WindowTest<frmArchivio>;

// Where the focus and the selections go; the search itself is its session's test.
TEST_F(ArchiveWindowTest, AHitIsSelectedInText1AndTheEndOfTheSearchSelectsText2)
{
    dir.put(u"archivio.dat"_qs, encodeArchiveRecord({u"06/12/2026 "_qs, u"Comprare il CAFFÈ"_qs, u"06/12/2026 10.00"_qs}));
    window = openArchiveWindow(fakes.services());
    ASSERT_TRUE(window);
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.data()));
    EXPECT_EQ(QApplication::focusWidget(), window->text2());
    window->text2()->setText(u"Caffè"_qs);
    QTest::keyClick(window->text2(), Qt::Key_Return);
    EXPECT_EQ(std::pair(QApplication::focusWidget(), window->text1()->textCursor().selectedText()),
              std::pair((QWidget *)window->text1(), u"CAFFÈ"_qs));
    window->cmdTrova()->click();
    EXPECT_EQ(std::pair(QApplication::focusWidget(), window->text2()->selectedText()),
              std::pair((QWidget *)window->text2(), u"Caffè"_qs));
    // A double click empties the box, which starts the search again from the top.
    window->cmdTrova()->click();
    QTest::mouseDClick(window->text2(), Qt::LeftButton);
    EXPECT_EQ(std::pair(window->text2()->text(), window->session().startPosition()), std::pair(QString(), qsizetype(0)));
    EXPECT_EQ(fakes.messageBoxes.shown.size(), 1);
}

} // namespace
