#include "common/notelisting.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <utility>

#include <gtest/gtest.h>

namespace promemo {
namespace {

TEST(NoteListing, ListsByStateAndDecodedDayNotByNamePrefix)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const char *name :
         {"o1234h0570n00001.dat", "o12345h0495n00002.dat", "o12340a0000s00003.dat",
          "n1234k0000m00004.dat", "n12345v0600n00005.dat",
          // the directory pattern takes these, the decoder must not
          "o1234h0570n0001.dat", "n01234h0570n00007.dat", "o1234H0570N00008.DAT"})
        ASSERT_TRUE(QFile(dir.filePath(name)).open(QIODevice::WriteOnly)) << name;
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("o1234h0570n00010.dat")));

    const std::pair<NoteFilter, const char *> cases[] = {
        // shown before put away, then day order: "o12345..." sorts before "o1234h..." as text
        {{}, "n1234k0000m00004.dat n12345v0600n00005.dat o1234h0570n00001.dat "
             "o12340a0000s00003.dat o12345h0495n00002.dat"},
        // day 1234 must not pick up days 12340 and 12345, which share its digits
        {{NoteState::PutAway, 1234}, "o1234h0570n00001.dat"},
        {{std::nullopt, 1234}, "n1234k0000m00004.dat o1234h0570n00001.dat"},
        {{NoteState::PutAway, 12345}, "o12345h0495n00002.dat"},
    };
    for (const auto &[filter, expected] : cases) {
        QStringList names;
        for (const ListedNote &note : listNotes(dir.path(), filter))
            names << note.fileName;
        EXPECT_EQ(names.join(u' ').toStdString(), expected);
    }
    EXPECT_TRUE(listNotes(dir.filePath(QStringLiteral("absent"))).empty());
}

} // namespace
} // namespace promemo
