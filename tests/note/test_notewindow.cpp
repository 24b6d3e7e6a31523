#include "note/notewindow.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "common/atomicfile.h"
#include "common/datetexts.h"
#include "common/daynumber.h"
#include "common/notefile.h"
#include "tests/support/fakes.h"
#include "tests/support/startwait.h"

using namespace promemo;
using namespace promemo::note;

namespace {

const QString kTray = QStringLiteral("NotinoTray");
// A normal note centred on the fake 1280 x 1024 screen.
const QPoint kCentre(543, 442);

class NoteWindowTest : public ::testing::Test, public test::ProgramFolderWithFakes
{
protected:
    NoteWindowTest() { registry.addWindow(kTray); }

    QDate today() const { return fakes.clock.today(); }
    void setNow(int minutes) { fakes.clock.current.setTime(QTime(minutes / 60, minutes % 60)); }
    // Writes a put-away note file and returns its name.
    QString writeNote(QDate date, int alert)
    {
        const QString name = *encodeNoteName({NoteState::PutAway, dayNumber(date), 'h', alert, 'n', 100});
        EXPECT_TRUE(writeNoteFile(dir.filePath(name), {u"Dentista\r\nore 9"_qs, dateText(date), alertText(alert), {}}));
        return name;
    }
    auto open(const QString &name) { return start(StartKind::OpenFile, name); }
    auto fresh() { return start(StartKind::NewNote, u"12"_qs); }
    std::unique_ptr<frmNotino> start(StartKind kind, const QString &argument)
    {
        return test::waitForStart<frmNotino>([&](QObject *context, Started<frmNotino> started) {
            startNoteProgram(fakes.services(), kind, NoteSize::Normal, argument, context, std::move(started));
        });
    }
};

TEST_F(NoteWindowTest, ANoteTooLargeIsRefusedWithAMessageAndLeftAsItIs)
{
    const QString big = writeNote(today(), 0);
    ASSERT_TRUE(writeNoteFile(dir.filePath(big), {QString(kMaxNoteFileBytes, u'x'), dateText(today()), {}, {}}));
    const QByteArray bytes = readWholeFile(dir.filePath(big));
    EXPECT_FALSE(open(big));
    EXPECT_TRUE(fakes.messageBoxes.shown.size() == 1 && fakes.messageBoxes.shown[0].text.contains(u"troppo grande"_qs)
                && readWholeFile(dir.filePath(big)) == bytes);
}

// The window follows its session: parked by a key, a missed alert beside the date, the set-up
// over the note with the strip in its colour.
TEST_F(NoteWindowTest, TheWindowShowsWhereItsNoteIsAndWhatItsAlertSays)
{
    setNow(10 * 60);
    const auto window = open(writeNote(today().addDays(-1), 23 * 60 + 50));
    ASSERT_TRUE(window->note().alertFired);
    EXPECT_EQ(std::tuple(window->pos(), window->Label2->text(), window->Label2->font().bold()),
              std::tuple(kCentre, u"23.50 di ieri"_qs, true));
    EXPECT_GE(window->Label2->width(), window->Label2->sizeHint().width());
    EXPECT_GT(window->Label2->x(), window->Label1->geometry().right());
    // Put on again by a key, the alert shows in its place.
    QTest::keyClick(window->Text1, Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(std::pair(window->Label2->geometry(), window->Label2->font().bold()), std::pair(QRect(143, 121, 40, 12), false));
    QTest::keyClick(window->Text1, Qt::Key_F10);
    EXPECT_EQ(window->pos(), QPoint(window->x(), -120));

    QTest::keyClick(window->Text1, Qt::Key_F8);
    auto *setup = window->findChild<AlertSetupDialog *>();
    ASSERT_TRUE(setup && setup->isVisible());
    EXPECT_EQ(std::pair(window->indicatorColour(), setup->focusPosition()), std::pair(QColor(7, 19, 248), 0));
    setup->findChild<QPushButton *>(u"cmdAnnulla"_qs)->click();
    EXPECT_EQ(window->indicatorColour(), QColor(8, 158, 82));
}

// What reaches the text box shows as the file will hold it, as soon as it is typed or pasted;
// Alt and Super with a key that is no command type nothing.
TEST_F(NoteWindowTest, TheTextBoxShowsWhatTheFileWillHoldAndTakesNoAltOrSuperKeys)
{
    const auto window = fresh();
    for (const QString &key : {u"C"_qs, u"a"_qs, u"f"_qs, u"f"_qs, u"è"_qs, u" "_qs, u"😀"_qs})
        QTest::sendKeyEvent(QTest::Click, window->Text1, Qt::Key_unknown, key, Qt::NoModifier);
    QApplication::clipboard()->setText(u" Ζeus e\u0301\nfine"_qs);
    QTest::keyClick(window->Text1, Qt::Key_V, Qt::ControlModifier);
    const std::pair<Qt::Key, Qt::KeyboardModifiers> keys[] = {
        {Qt::Key_A, Qt::AltModifier}, {Qt::Key_S, Qt::AltModifier},
        {Qt::Key_4, Qt::AltModifier | Qt::KeypadModifier}, {Qt::Key_F, Qt::AltModifier | Qt::ShiftModifier},
        {Qt::Key_A, Qt::MetaModifier}, {Qt::Key_A, Qt::ControlModifier | Qt::AltModifier}};
    for (const auto &[key, modifiers] : keys)
        QTest::keyClick(window->Text1, key, modifiers);
    EXPECT_EQ(window->Text1->toPlainText(), u"Caffè ? ?eus é\nfine"_qs);
    // A click on the note drops it where it is: saved.
    QTest::mouseClick(window.get(), Qt::LeftButton, {}, QPoint(100, 125));
    EXPECT_EQ(window->note().lastSavedText, u"Caffè ? ?eus é\r\nfine"_qs);
}

// A new text size recounts the lines as they are drawn, and keeps the caret in view.
TEST_F(NoteWindowTest, TheLineCounterFollowsANewTextSizeAndTheCaretStaysInView)
{
    const auto window = fresh();
    window->Text1->setFocus();
    for (const char *line : {"uno", "due", "abc def ghi jkl mno"}) {
        if (!window->Text1->toPlainText().isEmpty())
            QTest::keyClick(window->Text1, Qt::Key_Return);
        QTest::keyClicks(window->Text1, QLatin1String(line));
    }
    EXPECT_EQ(std::pair(window->Label4->text(), window->Label4->font().bold()), std::pair(u"3"_qs, false));
    QTest::keyClick(window->Text1, Qt::Key_6, Qt::ControlModifier | Qt::KeypadModifier);
    ASSERT_EQ(window->Text1->font().pointSize(), 14);
    EXPECT_EQ(std::pair(window->Label4->text(), window->Label4->font().bold()), std::pair(u"| 4 |"_qs, true));
    EXPECT_LE(window->Text1->cursorRect().bottom(), window->Text1->viewport()->height());
}

} // namespace
