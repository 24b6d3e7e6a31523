#include "launcher/core/archivesearchsession.h"

#include <QDir>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include "tests/support/fakes.h"

using namespace promemo;
using namespace promemo::launcher;

// The text shown and the find-next rule are the archive text's own test, its reading the
// archive's.
TEST(ArchiveSearchSession, FindsEachOccurrenceCaseAsideEndsStartsAgainAndSaysWhyThereIsNoArchive)
{
    test::FakeMessageBoxes boxes;
    ArchiveSearchSession session(boxes, u"Comprare il CAFFÈ\r\n\r\r\ncaffè con Nino"_qs);
    QSignalSpy found(&session, &ArchiveSearchSession::found);
    QSignalSpy searchBox(&session, &ArchiveSearchSession::searchBoxFocused);
    session.Text2_Change(u"Caffè"_qs);
    for (int click = 0; click < 4; ++click)
        session.cmdTrova_Click();
    // A new search text starts again from the top; an empty one is refused.
    session.Text2_Change(u"NINO"_qs);
    session.cmdTrova_Click();
    session.Text2_Change({});
    session.cmdTrova_Click();
    // In the text as shown: the record's end is one empty line there (textBoxText).
    const QList<QVariantList> hits{{12, 5}, {19, 5}, {12, 5}, {29, 4}};
    EXPECT_EQ(QList<QVariantList>(found.cbegin(), found.cend()), hits);
    ASSERT_EQ(std::pair(boxes.shown.size(), searchBox.count()), std::pair(qsizetype(2), qsizetype(2)));
    EXPECT_EQ(boxes.shown[0], (Message{u" Archivio Notino"_qs, u"     Ricerca del dato  ' Caffè '  terminata       "_qs,
                                       MessageIcon::Information}));
    EXPECT_EQ(boxes.shown[1].text, u"     Non hai inserito alcun dato di ricerca        "_qs);

    test::TemporaryProgramFolder dir;
    EXPECT_EQ(loadArchiveText(boxes, dir.path()), std::nullopt);
    ASSERT_TRUE(QDir(dir.path()).mkdir(u"archivio.dat"_qs));
    EXPECT_EQ(loadArchiveText(boxes, dir.path()), std::nullopt);
    EXPECT_EQ(boxes.shown.mid(2), (QList<Message>{{u" Promemo"_qs, u"  Nessun archivio presente     "_qs},
                                                  {u" Promemo"_qs, u"  Errore 75 - Errore di accesso al percorso/file     "_qs}}));
}
