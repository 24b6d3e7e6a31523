#include "launcher/core/contactsfilekeeper.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

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
    ASSERT_EQ(first.keys(), (QStringList{u"Anna"_qs, u"Bruno"_qs, u"Carla"_qs}));
    for (const QString &uid : first) {
        EXPECT_TRUE(readWholeFile(vdir.filePath(uid + u".vcf"_qs)).startsWith("BEGIN:VCARD\r\nVERSION:4.0\r\nUID:" + uid.toUtf8()));
    }
    EXPECT_EQ(vdir.entryList({u"*.vcf"_qs}, QDir::Files).size(), 3);

    // A sheet saved again: Anna's number edited, Bruno renamed in place, Carla moved down.
    sheet[0].number.text = u"06 11"_qs;
    sheet[1].name.text = u"Bruno Rossi"_qs;
    sheet[10] = sheet[2];
    sheet[2] = {};
    ASSERT_TRUE(file.writeSheet(0, sheet));
    ASSERT_TRUE(written.wait(2000));
    const QMap<QString, QString> second = uidsByName(readWholeFile(vcf));
    EXPECT_EQ(second.value(u"Anna"_qs), first.value(u"Anna"_qs));
    EXPECT_EQ(second.value(u"Bruno Rossi"_qs), first.value(u"Bruno"_qs));
    EXPECT_EQ(second.value(u"Carla"_qs), first.value(u"Carla"_qs));
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

// The vdir writer: an item that says the same but for its stamp is not rewritten.
TEST(Vdir, UnchangedItemsAreNotRewrittenAndOnlyTheSuitesGo)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(u"v"_qs);
    const QString uid = u"promemo-00000000-0000-4000-8000-000000000001"_qs;
    const QByteArray item = "BEGIN:VCALENDAR\r\nDTSTAMP:20270101T000000Z\r\nSUMMARY:a\r\nEND:VCALENDAR\r\n";
    VdirResult result = keepVdir(folder, u".ics", {{uid, item}});
    EXPECT_EQ(std::pair(result.written, result.removed), std::pair(1, 0));
    QByteArray restamped = item;
    restamped.replace("20270101", "20280101");
    result = keepVdir(folder, u".ics", {{uid, restamped}});
    EXPECT_EQ(result.written, 0);
    QByteArray edited = item;
    edited.replace("SUMMARY:a", "SUMMARY:b");
    EXPECT_EQ(keepVdir(folder, u".ics", {{uid, edited}}).written, 1);
    EXPECT_EQ(readWholeFile(QDir(folder).filePath(uid + u".ics"_qs)), edited);
    ASSERT_TRUE(writeFileAtomically(QDir(folder).filePath(u"other.ics"_qs), item));
    result = keepVdir(folder, u".ics", {});
    EXPECT_EQ(result.removed, 1);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList{u"other.ics"_qs});
}

} // namespace
