#include "launcher/core/recurrenceeditorsession.h"

#include <QDir>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include "tests/support/fakes.h"

using namespace promemo;
using namespace promemo::launcher;

namespace {

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
        anew = std::make_unique<QSignalSpy>(session.get(), &RecurrenceEditorSession::fieldEnteredAnew);
        return *session;
    }
    void insert(const char *form)
    {
        session->formEdited(boxes(form));
        session->cmdOk_Click();
    }
    // "Chiudi": whether the editor closes.
    bool chiudi()
    {
        QSignalSpy saved(session.get(), &RecurrenceEditorSession::saved);
        session->cmdChiudi_Click();
        return saved.count() == 1;
    }
    static EditorField last(QSignalSpy &spy) { return spy.takeLast().at(0).value<EditorField>(); }

    test::TemporaryProgramFolder dir;
    test::FakeClock clock;
    test::FakeMessageBoxes messages;
    std::unique_ptr<RecurrenceEditorSession> session;
    std::unique_ptr<QSignalSpy> focus, anew;
};

// The year is the clock's (2032, leap). The expansion and the leap rule are the recurrence
// files' own test, the checks the entry rules'.
TEST_F(RecurrenceEditorSessionTest, InsertsSortedRefusesWithTheFieldToMendAndChiudiWritesBothFiles)
{
    clock.current = QDateTime(QDate(2032, 12, 31), QTime(23, 0));
    RecurrenceEditorSession &s = open();
    EXPECT_EQ(s.entries(), QStringList{u"             Nessuna ricorrenza inserita"_qs});
    insert("15|11|4|10|Fine \"mese\" ");
    // Refused: the boxes padded as far as the checks got, the list as it was.
    insert("5|4|3|41|Rata");
    EXPECT_EQ(std::tuple(s.form(), last(*anew), s.entries().size()), std::tuple(boxes("05|04|03|41|Rata"), EditorField::Advance, 1));
    EXPECT_EQ(messages.shown, QList<Message>{(Message{u" Editor error"_qs, u"  Massimo anticipo: 40 giorni    "_qs})});
    insert("31|01|12|00| Rata ");
    const QStringList entries{u"031   31/01  12  00    Rata "_qs, u"320   15/11  04  10   Fine \"mese\" "_qs};
    EXPECT_EQ(std::tuple(s.entries(), s.form(), last(*focus)), std::tuple(entries, RecurrenceForm::empty(), EditorField::Day));
    ASSERT_TRUE(chiudi());
    const QByteArray rata = "\",\"12\",\"00\",\"Rata\"\r\n";
    EXPECT_EQ(dir.read(u"rico.dat"_qs), "\"31/01" + rata + "\"15/11\",\"04\",\"10\",\"Fine \x94mese\x94\"\r\n");
    EXPECT_TRUE(dir.read(u"ricf.dat"_qs).contains("\"29/02" + rata));
}

TEST_F(RecurrenceEditorSessionTest, PickingAsksBeforeOverwritingAndChiudiWaitsForAnEmptyForm)
{
    dir.put(u"rico.dat"_qs, "\"10/10\",\"01\",\"07\",\"Anniversario\"\r\n\"05/03\",\"12\",\"00\",\"B\"\r\n");
    RecurrenceEditorSession &s = open();
    const QStringList stored{u"064   05/03  12  00   B"_qs, u"283   10/10  01  07   Anniversario"_qs};
    s.List1_Click(1);
    EXPECT_EQ(std::tuple(s.form(), s.entries(), last(*anew)), std::tuple(boxes("10|10|01|07|Anniversario"), stored.mid(0, 1), EditorField::Day));
    // The form holds data: No keeps both the form and the list; Sì puts the picked entry in the
    // form, whose recurrence is lost, and the placeholder in the list.
    messages.answers = {MessageAnswer::No, MessageAnswer::Yes};
    s.List1_Click(0);
    EXPECT_EQ(std::pair(s.form().text, s.entries()), std::pair(u"Anniversario"_qs, stored.mid(0, 1)));
    s.List1_Click(0);
    EXPECT_EQ(std::pair(s.form(), s.entries().first().trimmed()), std::pair(boxes("05|03|12|00|B"), u"Nessuna ricorrenza inserita"_qs));
    // Closing with a picked recurrence in the form is refused; "Cancella i dati" deletes it.
    EXPECT_FALSE(chiudi());
    ASSERT_EQ(messages.shown.size(), 3);
    EXPECT_EQ(std::pair(messages.shown[0].buttons, messages.shown[2].title), std::pair(MessageButtons::YesNo, u" Editor ricorrenze"_qs));
    EXPECT_TRUE(messages.shown[2].text.contains(u"Prima di chiudere la finestra"_qs));
    s.cmdAnnulla_Click();
    // The placeholder picks nothing.
    s.List1_Click(0);
    EXPECT_EQ(std::pair(last(*focus), messages.shown.size()), std::pair(EditorField::Close, qsizetype(3)));
    ASSERT_TRUE(chiudi());
    EXPECT_EQ(std::pair(dir.read(u"rico.dat"_qs), dir.read(u"ricf.dat"_qs)), std::pair(QByteArray(), QByteArray()));
}

// Records the list cannot show (a date that does not begin with a digit, none at all) do not
// hide the good ones after them, and Chiudi keeps them in rico.dat byte for byte, after the
// records it wrote; ricf.dat has the occurrences of the good ones, which every reader sees. A
// failed write leaves both files as they were, so that no reader sees half of the change, and
// keeps the work until a write succeeds.
TEST_F(RecurrenceEditorSessionTest, ChiudiKeepsDamagedRecordsAndAFailedWriteChangesNothing)
{
    const QByteArray damaged = "\"x5/04\",\"01\",\"07\",\"Rotto\"\r\n", undated = "  ,\"senza\r\ndata\"\n";
    const QByteArray last = "\"10/10\",\"02\",\"07\",\"Anniversario\"";
    const QByteArray stored = kCapodanno + damaged + "\r\n" + undated + last;
    dir.put(u"rico.dat"_qs, stored);
    EXPECT_EQ(open().entries(), (QStringList{u"001   01/01  01  00   Capodanno"_qs, u"283   10/10  02  07   Anniversario"_qs}));
    insert("05|03|01|07|Festa");
    // A folder in the file's place makes the write fail; nothing is left of the attempt.
    ASSERT_TRUE(QDir(dir.path()).mkdir(u"ricf.dat"_qs));
    EXPECT_FALSE(chiudi());
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_TRUE(messages.shown[0].text.contains(u"ricf.dat"_qs));
    EXPECT_EQ(std::pair(dir.read(u"rico.dat"_qs), dir.files(u"*"_qs).filter(u"ric"_qs)),
              std::pair(stored, QStringList{u"rico.dat"_qs}));
    ASSERT_TRUE(QDir(dir.path()).rmdir(u"ricf.dat"_qs));
    ASSERT_TRUE(chiudi());
    const QByteArray written = kCapodanno + "\"05/03\",\"01\",\"07\",\"Festa\"\r\n" + last + "\r\n";
    EXPECT_EQ(dir.read(u"rico.dat"_qs), written + damaged + undated);
    EXPECT_EQ(dir.read(u"ricf.dat"_qs), written + QByteArray(last).replace("10/10", "10/04") + "\r\n");
}

} // namespace
