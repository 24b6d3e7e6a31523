#include "common/notelisting.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <ostream>

#include <gtest/gtest.h>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}
QT_END_NAMESPACE

namespace promemo {
namespace {

TEST(NoteListing, ListsByStateAndDecodedDay)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const char *name :
         {"o1234h0570n00001.dat", "o12345h0495n00002.dat", "o12340a0000s00003.dat",
          "n1234k0000m00004.dat", "n12345v0600n00005.dat", "o1235h0000n00006.dat",
          // the directory pattern takes these, the decoder must not
          "o1234h0570n0001.dat", "o1234.dat", "n01234h0570n00007.dat", "o1234H0570N00008.DAT",
          "archivio.dat", "x1234h0570n00009.dat"})
        ASSERT_TRUE(QFile(dir.filePath(name)).open(QIODevice::WriteOnly)) << name;
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("o1234h0570n00010.dat")));

    struct Case
    {
        const char *what;
        NoteFilter filter;
        QStringList expected;
    };
    const Case cases[] = {
        {"all", {},
         {"n1234k0000m00004.dat", "n12345v0600n00005.dat", "o1234h0570n00001.dat",
          "o1235h0000n00006.dat", "o12340a0000s00003.dat", "o12345h0495n00002.dat"}},
        {"shown", {NoteState::Shown, {}}, {"n1234k0000m00004.dat", "n12345v0600n00005.dat"}},
        // day 1234 must not pick up days 12340 and 12345, which share its digits
        {"put away, day 1234", {NoteState::PutAway, 1234}, {"o1234h0570n00001.dat"}},
        {"put away, day 12345", {NoteState::PutAway, 12345}, {"o12345h0495n00002.dat"}},
        {"both, day 1234", {{}, 1234}, {"n1234k0000m00004.dat", "o1234h0570n00001.dat"}},
        {"no such day", {NoteState::Shown, 123}, {}},
    };
    for (const Case &c : cases) {
        QStringList names;
        for (const ListedNote &note : listNotes(dir.path(), c.filter)) {
            EXPECT_EQ(encodeNoteName(note.name), note.fileName);
            names << note.fileName;
        }
        EXPECT_EQ(names, c.expected) << c.what;
    }
    EXPECT_TRUE(listNotes(dir.filePath(QStringLiteral("absent"))).empty());
}

} // namespace
} // namespace promemo
