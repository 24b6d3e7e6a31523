#include "launcher/core/recurrenceeditorsession.h"

#include <QDir>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include "tests/support/fakes.h"

using namespace promemo;
using namespace promemo::launcher;

namespace {

const QByteArray kStored = "\"10/10\",\"01\",\"07\",\"Anniversario\"\r\n"
                           "\"05/03\",\"12\",\"00\",\"B\"\r\n"
                           "\"05/03\",\"01\",\"07\",\"A\"\r\n";
// kStored in 2031, sorted; two recurrences on the same day go by the rest of their entry.
const QStringList kStoredEntries{u"064   05/03  01  07   A"_qs, u"064   05/03  12  00   B"_qs,
                                 u"283   10/10  01  07   Anniversario"_qs};
const QByteArray kCapodanno = "\"01/01\",\"01\",\"00\",\"Capodanno\"\r\n";

// The five boxes of the form, "day|month|occurrences|alert|text".
RecurrenceForm boxes(const char *texts)
{
    const QStringList f = QString::fromUtf8(texts).split(u'|');
    return {f[0], f[1], f[2], f[3], f[4]};
}

struct RecurrenceEditorSessionTest : ::testing::Test
{
    RecurrenceEditorSession &open()
    {
        session = std::make_unique<RecurrenceEditorSession>(clock, messages, dir.path());
        focus = std::make_unique<QSignalSpy>(session.get(), &RecurrenceEditorSession::focusMoved);
        enteredAnew = std::make_unique<QSignalSpy>(session.get(), &RecurrenceEditorSession::fieldEnteredAnew);
        return *session;
    }
    void insert(const char *form)
    {
        session->formEdited(boxes(form));
        session->cmdOk_Click();
    }
    void closeWith()
    {
        QSignalSpy saved(session.get(), &RecurrenceEditorSession::saved);
        session->cmdChiudi_Click();
        EXPECT_EQ(saved.count(), 1);
    }
    static EditorField last(QSignalSpy &spy) { return spy.takeLast().at(0).value<EditorField>(); }

    test::TemporaryProgramFolder dir;
    test::FakeClock clock;
    test::FakeMessageBoxes messages;
    std::unique_ptr<RecurrenceEditorSession> session;
    std::unique_ptr<QSignalSpy> focus, enteredAnew;
};

// The year is the clock's (2032, leap). The expansion and the leap rule are the recurrence
// files' own test, the checks the entry rules'.
TEST_F(RecurrenceEditorSessionTest, InsertsSortedRefusesWithTheFieldToMendAndChiudiWritesBothFiles)
{
    clock.current = QDateTime(QDate(2032, 12, 31), QTime(23, 0));
    RecurrenceEditorSession &s = open();
    EXPECT_EQ(s.entries(), QStringList{u"             Nessuna ricorrenza inserita"_qs});
    insert("15|11|4|10|Fine \"mese\" ");
    EXPECT_EQ(std::tuple(s.entries(), s.form(), last(*focus)),
              std::tuple(QStringList{u"320   15/11  04  10   Fine \"mese\" "_qs}, RecurrenceForm::empty(), EditorField::Day));
    // Refused: the boxes padded as far as the checks got, the list as it was.
    insert("5|4|3|41|Rata");
    EXPECT_EQ(std::tuple(s.form(), last(*enteredAnew), s.entries().size()),
              std::tuple(boxes("05|04|03|41|Rata"), EditorField::Advance, qsizetype(1)));
    insert("31|01|12|00| Rata ");
    closeWith();
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0], (Message{u" Editor error"_qs, u"  Massimo anticipo: 40 giorni    "_qs}));
    const QByteArray rata = "\",\"12\",\"00\",\"Rata\"\r\n";
    EXPECT_EQ(dir.read(u"rico.dat"_qs), "\"31/01" + rata + "\"15/11\",\"04\",\"10\",\"Fine \x94mese\x94\"\r\n");
    const QByteArray expanded = dir.read(u"ricf.dat"_qs);
    EXPECT_EQ(expanded.count('\n'), 12 + 4);
    EXPECT_TRUE(expanded.contains("\"29/02" + rata)) << expanded.constData();
    // The stored quote comes back in one field.
    EXPECT_EQ(open().entries().back(), u"320   15/11  04  10   Fine ”mese”"_qs);
}

TEST_F(RecurrenceEditorSessionTest, PickingAsksBeforeOverwritingAndChiudiWaitsForTheFormToBeEmpty)
{
    dir.put(u"rico.dat"_qs, kStored);
    clock.current = QDateTime(QDate(2031, 6, 15), QTime(9, 0));
    RecurrenceEditorSession &s = open();
    EXPECT_EQ(s.entries(), kStoredEntries);
    s.List1_Click(2);
    EXPECT_EQ(std::tuple(s.form(), s.entries(), last(*enteredAnew)),
              std::tuple(boxes("10|10|01|07|Anniversario"), kStoredEntries.mid(0, 2), EditorField::Day));
    // The form holds data: No keeps both the form and the list; Sì puts the picked entry in the
    // form, whose recurrence is lost.
    messages.answers = {MessageAnswer::No, MessageAnswer::Yes};
    s.List1_Click(0);
    EXPECT_EQ(std::pair(s.form().text, s.entries()), std::pair(u"Anniversario"_qs, kStoredEntries.mid(0, 2)));
    s.List1_Click(0);
    EXPECT_EQ(std::pair(s.form(), s.entries()), std::pair(boxes("05|03|01|07|A"), kStoredEntries.mid(1, 1)));
    // Closing with a picked recurrence in the form is refused; "Cancella i dati" deletes it.
    s.cmdChiudi_Click();
    ASSERT_EQ(messages.shown.size(), 3);
    EXPECT_EQ(messages.shown[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(messages.shown[2].title, u" Editor ricorrenze"_qs);
    EXPECT_TRUE(messages.shown[2].text.contains(u"Prima di chiudere la finestra"_qs));
    s.cmdAnnulla_Click();
    // Picking the only entry leaves the placeholder, which picks nothing.
    s.List1_Click(0);
    s.List1_Click(0);
    EXPECT_EQ(std::tuple(s.form(), last(*focus), messages.shown.size()),
              std::tuple(boxes("05|03|12|00|B"), EditorField::Close, qsizetype(3)));
    s.cmdAnnulla_Click();
    closeWith();
    EXPECT_EQ(std::pair(dir.read(u"rico.dat"_qs), dir.read(u"ricf.dat"_qs)), std::pair(QByteArray(), QByteArray()));
}

// The arrows, Enter and the second digit move the focus by the focus position (0 day to 5 the
// insert button); a refused key leaves it in its box.
TEST_F(RecurrenceEditorSessionTest, KeysMoveTheFocusByTheFocusPosition)
{
    RecurrenceEditorSession &s = open();
    const auto day = [&] { s.fieldEntered(EditorField::Day); };
    const auto back = [&](EditorField in) { return [&s, in] { s.arrowKey(in, true); }; };
    const auto on = [&](EditorField in) { return [&s, in] { s.arrowKey(in, false); }; };
    const auto enter = [&](EditorField in) { return [&s, in] { s.enterKey(in); }; };
    const auto digits = [&] { s.secondDigit(); };
    const struct { std::vector<std::function<void()>> keys; EditorField focus; } cases[] = {
        {{day, back(EditorField::Day)}, EditorField::Text},
        {{day, digits, digits, digits}, EditorField::Advance},
        {{day, digits, digits, digits, digits, on(EditorField::Text)}, EditorField::Insert},
        {{day, digits, digits, digits, digits, digits, digits}, EditorField::Day},
        {{back(EditorField::Advance)}, EditorField::PerYear},
        {{on(EditorField::Advance)}, EditorField::Text},
        {{back(EditorField::Text)}, EditorField::Advance},
        {{back(EditorField::List)}, EditorField::Text},
        {{on(EditorField::List)}, EditorField::Insert},
        {{enter(EditorField::Month)}, EditorField::Advance},
        {{enter(EditorField::Text)}, EditorField::Insert},
        // After Enter the focus position is 0: two digits in the alert box move on to the month.
        {{day, on(EditorField::Day), enter(EditorField::Advance)}, EditorField::Text},
        {{day, on(EditorField::Day), enter(EditorField::Advance), digits}, EditorField::Month},
        {{[&] { s.digitRefused(EditorField::PerYear); }}, EditorField::PerYear},
    };
    for (const auto &c : cases) {
        for (const auto &key : c.keys)
            key();
        EXPECT_EQ(last(*focus), c.focus) << &c - cases;
    }
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].text, u"Puoi introdurre solo numeri    "_qs);
}

// Records the list cannot show (a date that does not begin with a digit, none at all) do not
// hide the good ones after them, and Chiudi keeps them in rico.dat byte for byte, after the
// records it wrote; ricf.dat has the occurrences of the good ones, which every reader sees.
TEST_F(RecurrenceEditorSessionTest, DamagedRecordsHideNothingAndChiudiKeepsThemAsTheyWere)
{
    clock.current = QDateTime(QDate(2031, 6, 15), QTime(9, 0));
    const QByteArray first = "\"05/03\",\"01\",\"07\",\"A\"\r\n";
    const QByteArray damaged = "\"x5/04\",\"01\",\"07\",\"Rotto\"\r\n";
    const QByteArray undated = "  ,\"senza\r\ndata\"\n";
    const QByteArray last = "\"10/10\",\"02\",\"07\",\"Anniversario\"";
    dir.put(u"rico.dat"_qs, first + damaged + "\r\n" + undated + last);
    EXPECT_EQ(open().entries(), (QStringList{kStoredEntries[0], u"283   10/10  02  07   Anniversario"_qs}));
    closeWith();
    EXPECT_EQ(dir.read(u"rico.dat"_qs), first + last + "\r\n" + damaged + undated);
    EXPECT_EQ(dir.read(u"ricf.dat"_qs), first + last + "\r\n" + QByteArray(last).replace("10/10", "10/04") + "\r\n");
}

// A failure leaves both files as they were, so that no reader sees half of the change, and
// keeps the work until a write succeeds.
TEST_F(RecurrenceEditorSessionTest, FailedWriteIsReportedLeavesBothFilesAndKeepsTheWork)
{
    dir.put(u"rico.dat"_qs, kCapodanno);
    open();
    insert("05|03|01|07|Festa");
    // A folder in the file's place makes the write fail.
    ASSERT_TRUE(QDir(dir.path()).mkdir(u"ricf.dat"_qs));
    QSignalSpy saved(session.get(), &RecurrenceEditorSession::saved);
    session->cmdChiudi_Click();
    ASSERT_EQ(std::pair(messages.shown.size(), saved.count()), std::pair(qsizetype(1), qsizetype(0)));
    EXPECT_TRUE(messages.shown[0].text.contains(u"ricf.dat"_qs));
    EXPECT_EQ(dir.read(u"rico.dat"_qs), kCapodanno);
    // Nothing is left of the attempt.
    EXPECT_EQ(dir.files(u"*"_qs).filter(u"ric"_qs), QStringList{u"rico.dat"_qs});

    ASSERT_TRUE(QDir(dir.path()).rmdir(u"ricf.dat"_qs));
    session->cmdChiudi_Click();
    const QByteArray both = kCapodanno + "\"05/03\",\"01\",\"07\",\"Festa\"\r\n";
    EXPECT_EQ(std::tuple(dir.read(u"rico.dat"_qs), dir.read(u"ricf.dat"_qs), saved.count()),
              std::tuple(both, both, 1));
}

} // namespace
