#include "launcher/core/contactsfilekeeper.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "tests/support/pinnedclock.h"

#include "common/atomicfile.h"
#include "common/settings.h"
#include "launcher/core/vdir.h"

using namespace promemo;
using namespace promemo::launcher;
using namespace promemo::rubrica;

namespace {

// The UID of each card of `cards`, by its FN.
QMap<QString, QString> uidsByName(const QByteArray &cards)
{
    QMap<QString, QString> found;
    QString uid;
    for (const QByteArray &line : cards.split('\n')) {
        if (line.startsWith("UID:"))
            uid = QString::fromUtf8(line.mid(4).trimmed());
        if (line.startsWith("FN:"))
            found.insert(QString::fromUtf8(line.mid(3).trimmed()), uid);
    }
    return found;
}

// Every contact gets a UID, in Rubrica.vcf and as its own card in rubrica/; the UID stays while
// the contact lives: its number edited, its name edited in place, its row moved; a cleared row's
// card goes, and the key turns it all off.
TEST(ContactsFileKeeper, EveryContactHasAUidThatStaysAcrossSaves)
{
    QTemporaryDir dir;
    const test::PinnedClock clock(QDateTime(QDate(2027, 6, 15), QTime(10, 0)));
    const QDir folder(dir.path());
    const QString vcf = folder.filePath(kVCardFileName.toString());
    const QDir vdir(folder.filePath(kContactsVdir.toString()));
    DataFile file;
    ASSERT_TRUE(file.open(folder.filePath(kDataFileName.toString())));
    Sheet sheet{};
    sheet[0] = {{u"Anna"_qs}, {u"06 1"_qs}};
    sheet[1] = {{u"Bruno"_qs}, {u"06 2"_qs}};
    sheet[2] = {{u"Carla"_qs}, {u"06 3"_qs}};
    ASSERT_TRUE(file.writeSheet(0, sheet));

    ContactsFileKeeper keeper(clock, dir.path());
    QSignalSpy written(&keeper, &ContactsFileKeeper::written);
    const QMap<QString, QString> first = uidsByName(readWholeFile(vcf));
    // One card per contact in rubrica/ is what the real clients read (tests/clients); here, the
    // cards' UIDs and their files' names are followed through the edits.
    ASSERT_EQ(first.keys(), (QStringList{u"Anna"_qs, u"Bruno"_qs, u"Carla"_qs}));

    // A sheet saved again: Anna's number edited, Bruno renamed in place, Carla moved down.
    sheet[0].number.text = u"06 11"_qs;
    sheet[1].name.text = u"Bruno Rossi"_qs;
    sheet[10] = sheet[2];
    sheet[2] = {};
    ASSERT_TRUE(file.writeSheet(0, sheet));
    ASSERT_TRUE(written.wait(2000));
    const QMap<QString, QString> second = uidsByName(readWholeFile(vcf));
    // By name, "Bruno Rossi" where "Bruno" was: each contact's UID as before.
    EXPECT_EQ(second.keys(), (QStringList{u"Anna"_qs, u"Bruno Rossi"_qs, u"Carla"_qs}));
    EXPECT_EQ(second.values(), first.values());
    EXPECT_TRUE(readWholeFile(vdir.filePath(first.value(u"Anna"_qs) + u".vcf"_qs)).contains("TEL;VALUE=text:06 11\r\n"));

    // A contact cleared: its card goes.
    sheet[10] = {};
    ASSERT_TRUE(file.writeSheet(0, sheet));
    ASSERT_TRUE(written.wait(2000));
    EXPECT_EQ(vdir.entryList({u"*.vcf"_qs}, QDir::Files).size(), 2);
    EXPECT_FALSE(QFile::exists(vdir.filePath(first.value(u"Carla"_qs) + u".vcf"_qs)));

    ASSERT_TRUE(Settings(folder.filePath(kSettingsFileName.toString())).file().write(u"Rubrica", u"rubrica_vcf", u"0"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !QFile::exists(vcf); }, 2000));
    EXPECT_FALSE(vdir.exists());
}

// The vdir writer: an item that says the same but for its stamp is not rewritten. A changed
// item rewritten, a gone one removed and other programs' files left are the keepers' tests
// (above, and CalendarFileKeeper.KeepsTheFileAndTheVdirAndCanBeTurnedOff).
TEST(Vdir, AnItemChangedOnlyInItsStampIsNotRewritten)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(u"v"_qs);
    const QString uid = u"promemo-00000000-0000-4000-8000-000000000001"_qs;
    const QByteArray item = "BEGIN:VCALENDAR\r\nDTSTAMP:20270101T000000Z\r\nSUMMARY:a\r\nEND:VCALENDAR\r\n";
    EXPECT_EQ(keepVdir(folder, u".ics", {{uid, item}}).written, 1);
    EXPECT_EQ(keepVdir(folder, u".ics", {{uid, QByteArray(item).replace("20270101", "20280101")}}).written, 0);
    EXPECT_EQ(readWholeFile(QDir(folder).filePath(uid + u".ics"_qs)), item);
}

} // namespace
