#include "launcher/core/recurrenceeditorsession.h"

#include <QDir>
#include <QSignalSpy>

#include "tests/launcher/core/sessiontest.h"

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

// The entry rules, without the editor.
TEST(RecurrenceEntry, ChecksRunInOrderAndPadAsFarAsTheyGot)
{
    // typed, the boxes after the checks, the refusal (empty: accepted), the focus
    const struct { const char *typed, *padded, *message; EditorField focus = EditorField::Day; } cases[] = {
        // Nothing entered, whatever the text says.
        {"00|00|01|07|Rata", "00|00|01|07|Rata", "   Non hai inserito alcun dato     "},
        {"0|3|01|07|Rata", "00|03|01|07|Rata", "   Non hai inserito il giorno     "},
        {"31|04|01|07|Rata", "31|04|01|07|Rata", "    Il mese ha 30 giorni      "},
        {"29|2|01|07|Rata", "29|02|01|07|Rata", "    Per la ricorrenza inserire al massimo 28       "},
        // The day is checked before the missing month.
        {"35|00|01|07|Rata", "35|00|01|07|Rata", " Hai inserito un mese di 35 giorni   "},
        {"5||1|07|Rata", "05||1|07|Rata", "   Non hai inserito il mese    ", EditorField::Month},
        {"12|13|01|07|Rata", "12|13|01|07|Rata", "  Hai inserito un valore maggiore di 12    ", EditorField::Month},
        {"12|05|5|7|Rata", "12|05|5|7|Rata", "Valori accettati: 1, 2, 3, 4, 6, 12   ", EditorField::PerYear},
        {"12|05|4|41|Rata", "12|05|04|41|Rata", "  Massimo anticipo: 40 giorni    ", EditorField::Advance},
        {"12|05|01|07|àè -,?", "12|05|01|07|àè -,?", "   Non hai inserito il testo della ricorrenza     ", EditorField::Text},
        // Accepted: boxes padded, the text as typed; an emptied alert box means no days ahead.
        {"5|3|6|9| è 1 ", "05|03|06|09| è 1 ", ""},
        {"28|02|12||Rata", "28|02|12|00|Rata", ""},
        {"31|12|01|40|Rata", "31|12|01|40|Rata", ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.typed);
        const InsertionCheck check = checkInsertion(boxes(c.typed));
        EXPECT_EQ(check.form, boxes(c.padded));
        EXPECT_EQ(check.refusal ? std::pair(check.refusal->message, check.refusal->focus) : std::pair(QString(), c.focus),
                  std::pair(QString::fromUtf8(c.message), c.focus));
    }
}

TEST(RecurrenceEntry, EntryColumnsKeepTheirPlace)
{
    // Picking, re-inserting and writing go through the editor's test. Typed blanks are stripped
    // when an entry is picked.
    EXPECT_EQ(formOfEntry(entryOfForm(boxes("30|08|02|00|  Bollo auto "), 2032)).text, u"Bollo auto"_qs);

    // A damaged record keeps every field in its column, and a line break does not split the entry.
    const QString damaged = recurrenceEntry({u"5/3"_qs, u"1"_qs, u"7"_qs, u"a\r\nb"_qs}, 2031);
    EXPECT_EQ(damaged.size(), 26);
    EXPECT_EQ(recurrenceOfEntry(damaged), (Recurrence{u"5/3"_qs, u"1"_qs, u"7"_qs, u"a  b"_qs}));
}

TEST(RecurrenceEntry, SortKeyIsTheDayOfTheYearAndNeverFails)
{
    // day, month, year, key; 2100 is not a leap year. Dates no check lets in, from a hand-edited
    // file, still give three digits.
    const std::tuple<int, int, int, const char *> cases[] = {
        {1, 1, 2031, "001"}, {31, 12, 2031, "365"}, {31, 12, 2032, "366"}, {1, 3, 2100, "060"}, {29, 2, 2031, "060"},
        {29, 2, 2032, "060"}, {99, 13, 2031, "365"}, {0, 0, 2031, "001"}};
    for (const auto &[day, month, year, key] : cases)
        EXPECT_EQ(recurrenceSortKey(day, month, year), QLatin1String(key)) << day << "/" << month << "/" << year;
    // 29 February of a common year takes the place of 1 March, and sorts after it.
    EXPECT_LT(recurrenceEntry({u"01/03"_qs, u"01"_qs, u"07"_qs, u"x"_qs}, 2031),
              recurrenceEntry({u"29/02"_qs, u"01"_qs, u"07"_qs, u"x"_qs}, 2031));
}

struct RecurrenceEditorSessionTest : test::SessionTest
{
    RecurrenceEditorSession &open()
    {
        session = std::make_unique<RecurrenceEditorSession>(clock, messageBoxes, dir.path());
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
    EXPECT_EQ(messageBoxes.shown, QList<Message>{(Message{u" Editor error"_qs, u"  Massimo anticipo: 40 giorni    "_qs})});
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
    messageBoxes.answers = {MessageAnswer::No, MessageAnswer::Yes};
    s.List1_Click(0);
    EXPECT_EQ(std::pair(s.form().text, s.entries()), std::pair(u"Anniversario"_qs, stored.mid(0, 1)));
    s.List1_Click(0);
    EXPECT_EQ(std::pair(s.form(), s.entries().first().trimmed()), std::pair(boxes("05|03|12|00|B"), u"Nessuna ricorrenza inserita"_qs));
    // Closing with a picked recurrence in the form is refused; "Cancella i dati" deletes it.
    EXPECT_FALSE(chiudi());
    ASSERT_EQ(messageBoxes.shown.size(), 3);
    EXPECT_TRUE(messageBoxes.shown[0].buttons == MessageButtons::YesNo && messageBoxes.shown[2].text.contains(u"Prima di chiudere"_qs));
    s.cmdAnnulla_Click();
    // The placeholder picks nothing.
    s.List1_Click(0);
    EXPECT_EQ(std::pair(last(*focus), messageBoxes.shown.size()), std::pair(EditorField::Close, qsizetype(3)));
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
    EXPECT_TRUE(messageBoxes.shown.size() == 1 && messageBoxes.shown[0].text.contains(u"ricf.dat"_qs));
    EXPECT_EQ(std::pair(dir.read(u"rico.dat"_qs), dir.files(u"*"_qs).filter(u"ric"_qs)),
              std::pair(stored, QStringList{u"rico.dat"_qs}));
    ASSERT_TRUE(QDir(dir.path()).rmdir(u"ricf.dat"_qs));
    ASSERT_TRUE(chiudi());
    const QByteArray written = kCapodanno + "\"05/03\",\"01\",\"07\",\"Festa\"\r\n" + last + "\r\n";
    EXPECT_EQ(dir.read(u"rico.dat"_qs), written + damaged + undated);
    EXPECT_EQ(dir.read(u"ricf.dat"_qs), written + QByteArray(last).replace("10/10", "10/04") + "\r\n");
}

} // namespace
