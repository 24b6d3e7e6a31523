#include "addressbook/core/addressbooksession.h"
#include "addressbook/core/colouroptionssession.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtCore/qtestsupport_core.h>

#include <gtest/gtest.h>

#include "common/atomicfile.h"
#include "tests/support/fakes.h"

using namespace promemo;
using namespace promemo::rubrica;
using namespace Qt::StringLiterals;

namespace {

constexpr Column N = Column::Name;
constexpr Column U = Column::Number;
const CellRef kSearchBox{0, N};

// One record as the file holds it: name and number padded with blanks, plain and black.
QByteArray plainRecord(const QByteArray &name, const QByteArray &number = {})
{
    return name.leftJustified(kNameBytes, ' ') + number.leftJustified(kNumberBytes, ' ') + "000000";
}

// The session with its window played back: a focus request moves the focus, which the session
// hears of as from a real cell.
class AddressBookSessionTest : public ::testing::Test
{
protected:
    QString dataPath() const { return dir.filePath(u"rubri.dat"_s); }
    void seed(int sheet, int row, const Row &data)
    {
        DataFile file;
        Sheet contents{};
        ASSERT_TRUE(file.open(dataPath()));
        file.readSheet(sheet, contents);
        contents[std::size_t(row - 1)] = data;
        ASSERT_TRUE(file.writeSheet(sheet, contents));
    }
    QByteArray stored(int sheet, int row) const
    {
        return readWholeFile(dataPath()).mid((recordNumber(sheet, row) - 1) * kRecordSize, kRecordSize);
    }

    AddressBookSession &open()
    {
        session = std::make_unique<AddressBookSession>(dir.path(), WindowMessages(boxes, u" Rubrica"_s), windows);
        QObject::connect(session.get(), &AddressBookSession::focusCell, [this](CellRef ref, Caret) { focusTo(ref); });
        QObject::connect(session.get(), &AddressBookSession::focusSearchBox, [this] { focus = kSearchBox; });
        QObject::connect(session.get(), &AddressBookSession::helpRequested, [this](const QString &topic) { help << topic; });
        EXPECT_TRUE(session->openDataFile());
        session->tabClicked(0);
        return *session;
    }
    void focusTo(CellRef ref)
    {
        if (ref != std::exchange(focus, ref))
            session->focusEntered(ref);
    }
    void type(CellRef ref, const QString &text)
    {
        focusTo(ref);
        session->keyPressed(ref, TypedKey::Printable);
        session->cellEdited(ref, session->cell(ref).text + text);
    }
    bool shownOnce(const QString &part) const { return boxes.shown.size() == 1 && boxes.shown[0].text.contains(part); }

    QTemporaryDir dir;
    test::FakeMessageBoxes boxes;
    test::FakeWindowRegistry windows;
    std::unique_ptr<AddressBookSession> session;
    CellRef focus{0, U};
    QStringList help;
};

// Loaded or pasted, a cell holds one line the file can hold, and is saved as it is shown; so
// no record holds CR, LF or TAB.
TEST_F(AddressBookSessionTest, CellsHoldWhatTheFileCanAndAreSavedAsShown)
{
    seed(0, 3, {{u"Studio"_s}, {}});
    seed(0, 7, {{u"Anna\r\nBianchi\tArchitetto"_s}, {}});
    AddressBookSession &s = open();
    EXPECT_EQ(s.rows()[6].name.text, u"Anna Bianchi Architetto"_s);
    s.pasteInCell({3, N}, 6, 0, u" Bianchi\r\nŁukasz\r\nZoe\u0308 Ελένη"_s);
    EXPECT_EQ(std::tuple(s.rows()[2].name.text, s.rows()[3].name.text, s.rows()[4].name.text, focus),
              std::tuple(u"Studio Bianchi"_s, u"?ukasz"_s, u"Zoë ?????"_s, CellRef{4, N}));
    EXPECT_TRUE(s.isModified() && s.Salva() && !s.isModified());
    EXPECT_TRUE(readWholeFile(dataPath()).left(7 * kRecordSize)
                == plainRecord({}) + plainRecord({}) + plainRecord("Studio Bianchi") + plainRecord("?ukasz")
                       + plainRecord("Zo\xeb ?????") + plainRecord({}) + plainRecord("Anna Bianchi Architetto"));
}

TEST_F(AddressBookSessionTest, SwitchingSheetsAsksOnceForTheSheetLeftAndRowCommandsAsk)
{
    seed(1, 1, {{u"Bruno"_s}, {}});
    seed(1, 44, {{u"Zeno"_s}, {}});
    AddressBookSession &s = open();
    s.tabClicked(1);
    type({1, N}, u"ne"_s);
    boxes.answers = {MessageAnswer::No};
    s.tabClicked(2);
    EXPECT_TRUE(shownOnce(u"foglio B1?"_s));
    EXPECT_EQ(std::pair(s.currentSheet(), stored(1, 1)), std::pair(2, plainRecord("Bruno")));

    // Row 44 holds data: inserting asks first; No still counts as a change. An empty row goes
    // without a question.
    s.tabClicked(1);
    EXPECT_FALSE(s.isModified());
    boxes.answers = {MessageAnswer::No, MessageAnswer::Yes};
    s.Inserisci_Riga();
    EXPECT_TRUE(s.isModified() && s.rows()[0].name.text == u"Bruno"_s);
    s.Inserisci_Riga();
    s.Togli_Riga();
    EXPECT_EQ(std::tuple(boxes.shown.size(), s.rows()[0].name.text, s.rows()[43], focus),
              std::tuple(qsizetype(3), u"Bruno"_s, Row{}, CellRef{1, N}));
}

// A refused close keeps the edits and gives the focus back; the help goes with the window.
TEST_F(AddressBookSessionTest, ClosingAsksForUnsavedEditsAndTakesTheHelp)
{
    AddressBookSession &s = open();
    EXPECT_TRUE(s.Form_QueryUnload()); // nothing modified: no question
    type({7, U}, u"02"_s);
    s.searchKeyPressed(focus);
    boxes.answers = {MessageAnswer::Cancel};
    EXPECT_FALSE(s.Form_QueryUnload());
    EXPECT_EQ(std::pair(focus, s.isModified()), std::pair(CellRef{7, U}, true));

    // F1: the help opens unless it is open already, and the focus comes back.
    const QString helpCaption = u"Help di Promemo"_s;
    windows.addWindow(helpCaption);
    s.helpKeyPressed({7, U});
    QCoreApplication::processEvents();
    windows.removeWindow(helpCaption);
    focus = kSearchBox;
    s.Apre_Guida();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !help.isEmpty(); }, 2000));
    EXPECT_EQ(std::pair(help, focus), std::pair(QStringList{u"rubrica.htm"_s}, CellRef{7, U}));

    EXPECT_TRUE(s.Form_QueryUnload());
    windows.addWindow(helpCaption);
    s.Form_Unload();
    EXPECT_EQ(std::pair(windows.closeRequests(), stored(0, 7)), std::pair(QStringList{helpCaption}, plainRecord({}, "02")));
}

// Which cells match is the search rules' test; here the steps' flow.
TEST_F(AddressBookSessionTest, SearchSavesFirstShowsEachHitOnItsSheetAndEndsThePass)
{
    seed(2, 5, {{u"Carla"_s}, {u"02/123.45"_s}});
    AddressBookSession &s = open();
    s.Cerca(u""_s);
    EXPECT_TRUE(shownOnce(u"Non hai inserito"_s));
    type({1, N}, u"0212345"_s);
    boxes.answers = {MessageAnswer::Yes};
    const auto step = [&] {
        s.Cerca(u" 02.123.45"_s);
        return std::tuple(s.currentSheet(), s.cursor().current(), s.cursor().paint(s.cursor().current()), focus);
    };
    EXPECT_EQ(step(), std::tuple(0, CellRef{1, N}, CellPaint::Found, kSearchBox));
    EXPECT_EQ(step(), std::tuple(2, CellRef{5, U}, CellPaint::Found, kSearchBox));
    s.Cerca(u" 02.123.45"_s);
    EXPECT_TRUE(boxes.shown.last().text.startsWith(u"      Fine ricerca del dato:   02.123.45 "_s));
    EXPECT_EQ(std::get<1>(step()), (CellRef{1, N})); // the next pass starts from record 1
}

// A data file that refuses every write, as on a full disk; permissions would not bind root.
TEST_F(AddressBookSessionTest, AFailedWriteIsReportedAndNeitherTheSheetNorTheWindowGoes)
{
    ASSERT_TRUE(QFile::link(u"/dev/full"_s, dataPath()));
    AddressBookSession &s = open();
    type({1, N}, u"Dario"_s);
    EXPECT_FALSE(s.Salva());
    EXPECT_TRUE(shownOnce(u"salvare il foglio A1"_s));
    s.tabClicked(3);
    EXPECT_EQ(std::pair(s.currentSheet(), s.rows()[0].name.text), std::pair(0, u"Dario"_s));
    EXPECT_FALSE(s.Form_QueryUnload());
    boxes.answers = {MessageAnswer::No};
    EXPECT_TRUE(s.Form_QueryUnload());
}

TEST_F(AddressBookSessionTest, UnopenableDataFileEndsWithAMessage)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir(u"rubri.dat"_s));
    AddressBookSession s(dir.path(), WindowMessages(boxes, u" Rubrica"_s), windows);
    EXPECT_FALSE(s.openDataFile());
    EXPECT_TRUE(shownOnce(u"La Rubrica non può essere aperta."_s));
}

// Bad values and their defaults are the settings rules' own test.
TEST_F(AddressBookSessionTest, ColourOptionsApplyBothKeysEnableByTheMarkerAndReportAFailedWrite)
{
    const QString iniPath = dir.filePath(u"Notino.ini"_s);
    const Settings settings(iniPath);
    QList<std::pair<int, int>> applied;
    auto options = std::make_unique<ColourOptionsSession>(settings, WindowMessages(boxes, u" Rubrica"_s));
    QObject::connect(options.get(), &ColourOptionsSession::applied, [&](int tab, int sheet) { applied << std::pair(tab, sheet); });
    // At opening the marker is 0: sheet swatch 0 leaves Applica off, as does a choice out of range.
    options->clickSheetSwatch(0);
    options->clickTabSwatch(8);
    EXPECT_FALSE(options->applyEnabled());
    options->clickSheetSwatch(3);
    EXPECT_TRUE(options->applyEnabled() && options->applica() && !options->applyEnabled());
    EXPECT_EQ(readWholeFile(iniPath), "[Rubrica]\r\nColSfondo=3\r\nColTasti=0\r\n");
    // After Apply every swatch enables it again, the one just applied too.
    options->clickSheetSwatch(3);
    EXPECT_TRUE(options->applyEnabled());
    options->clickTabSwatch(4);
    EXPECT_TRUE(options->applica());
    EXPECT_EQ(std::tuple(settings.tabColour(), settings.sheetColour(), applied),
              std::tuple(4, 3, QList<std::pair<int, int>>{{0, 3}, {4, 3}}));

    // A lock that cannot be taken fails the write for every user, root too: nothing is applied.
    const QByteArray before = readWholeFile(iniPath);
    const QString lock = dir.filePath(u".Notino.ini.lock"_s); // a folder where the lock file goes
    ASSERT_TRUE((!QFile::exists(lock) || QFile::remove(lock)) && QDir().mkpath(lock));
    options->clickSheetSwatch(5);
    EXPECT_FALSE(options->applica());
    EXPECT_TRUE(options->applyEnabled() && shownOnce(u"Impossibile salvare"_s));
    EXPECT_EQ(std::pair(applied.size(), readWholeFile(iniPath)), std::pair(qsizetype(2), before));
}

} // namespace
