#include "common/notelisting.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ostream>

inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace promemo {
namespace {

class NoteListingTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        for (const char *name : {"o1234h0570n00001.dat", "o12345h0495n00002.dat",
                                 "o12340a0000s00003.dat", "n1234k0000m00004.dat",
                                 "n12345v0600n00005.dat", "o1235h0000n00006.dat",
                                 // look like notes to the directory pattern but are not
                                 "o1234h0570n0001.dat", "o1234.dat", "o12345xyz.dat",
                                 "n01234h0570n00007.dat", "o1234H0570N00008.DAT",
                                 // not of the pattern at all
                                 "archivio.dat", "rico.dat", "x1234h0570n00009.dat"})
            touch(QString::fromLatin1(name));
        ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("o1234h0570n00010.dat")));
    }

    void touch(const QString &name)
    {
        QFile file(m_dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << name.toStdString();
    }

    QStringList listed(const NoteFilter &filter) const
    {
        QStringList names;
        for (const ListedNote &note : listNotes(m_dir.path(), filter)) {
            EXPECT_EQ(encodeNoteName(note.name), note.fileName);
            names << note.fileName;
        }
        return names;
    }

    QTemporaryDir m_dir;
};

TEST_F(NoteListingTest, ListsByStateAndDay)
{
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
        {"put away", {NoteState::PutAway, {}},
         {"o1234h0570n00001.dat", "o1235h0000n00006.dat", "o12340a0000s00003.dat",
          "o12345h0495n00002.dat"}},
        {"shown", {NoteState::Shown, {}}, {"n1234k0000m00004.dat", "n12345v0600n00005.dat"}},
        // the four-digit day must not pick up the five-digit days sharing its digits
        {"put away, day 1234", {NoteState::PutAway, 1234}, {"o1234h0570n00001.dat"}},
        {"put away, day 12345", {NoteState::PutAway, 12345}, {"o12345h0495n00002.dat"}},
        {"put away, day 12340", {NoteState::PutAway, 12340}, {"o12340a0000s00003.dat"}},
        {"both, day 1234", {{}, 1234}, {"n1234k0000m00004.dat", "o1234h0570n00001.dat"}},
        {"shown, day 123", {NoteState::Shown, 123}, {}},
        {"negative day", {{}, -1}, {}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(listed(c.filter), c.expected) << c.what;
}

TEST_F(NoteListingTest, DecodesTheFields)
{
    const auto notes = listNotes(m_dir.path(), {NoteState::PutAway, 12345});
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0].name.alertMinutes, 495);
    EXPECT_EQ(notes[0].name.colourLetter, 'h');
    EXPECT_EQ(notes[0].name.stamp, 2);
}

TEST(NoteListing, MissingFolderListsNothing)
{
    QTemporaryDir dir;
    EXPECT_TRUE(listNotes(dir.filePath(QStringLiteral("absent"))).empty());
}

} // namespace
} // namespace promemo
