#include "launcher/core/archivetext.h"

#include <gtest/gtest.h>

using namespace promemo;

// The records in file order, then what the text box makes of their line ends.
TEST(ArchiveText, RecordsInDisplayFormInFileOrderAndTheTextBoxsLineBreaks)
{
    const QList<ArchiveRecord> records{
        {u"05/12/2026 09.30"_qs, u"Caffè\r\ncon Nino"_qs, u"04/12/2026 21.44"_qs},
        {u"06/12/2026 "_qs, u"senza ora"_qs, u""_qs},
    };
    // An empty change time leaves two blanks between the words.
    EXPECT_EQ(archiveText(records),
              u"Nota del 04/12/2026 per il 05/12/2026 09.30: \r\nCaffè\r\ncon Nino\r\n\r\r\n"
              "Nota del  per il 06/12/2026 : \r\nsenza ora\r\n\r\r\n"_qs);
    // One break per line end; a bare carriage return shows nothing.
    EXPECT_EQ(textBoxText(u"a\r\nb\r\n\r\r\nc\nd\re\r"_qs), u"a\nb\n\nc\nde"_qs);
}

TEST(ArchiveText, FindNextIgnoresCaseAndMovesPastEachHit)
{
    const QString text = u"Caffè da NINO, poi caffÈ da nino.\nÀ domani, à presto"_qs;
    struct Case { QString search; qsizetype from; std::optional<ArchiveHit> hit; };
    const Case cases[] = {
        {u"nino"_qs, 0, ArchiveHit{9, 4, 13}},
        {u"nino"_qs, 32, std::nullopt},
        // Case aside for letters beyond ASCII too.
        {u"À"_qs, 35, ArchiveHit{44, 1, 45}},
        // A one-letter search moves on instead of finding the same letter again.
        {u"a"_qs, 1, ArchiveHit{1, 1, 2}},
        {u"a"_qs, 2, ArchiveHit{7, 1, 8}},
        {u""_qs, 0, std::nullopt},
        {u"o"_qs, -1, std::nullopt},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.search.toStdString() + " from " + std::to_string(c.from));
        EXPECT_EQ(findNextInArchive(text, c.search, c.from), c.hit);
    }
}
