#include "addressbook/core/vcard.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "common/atomicfile.h"

using namespace promemo::rubrica;

namespace {

// Every character RFC 6350 asks to escape in a text value, and line breaks of all three kinds.
TEST(VCard, TextValuesAreEscapedAsTheRfcAsks)
{
    EXPECT_EQ(escapedText(u"a\\b,c;d"), u"a\\\\b\\,c\\;d");
    EXPECT_EQ(escapedText(u"uno\r\ndue\rtre\nquattro"), u"uno\\ndue\\ntre\\nquattro");
    EXPECT_EQ(escapedText(u"Caffè \"Lù\" €"), u"Caffè \"Lù\" €");
}

// FN from the name, or the number when there is none; TEL as text; the sheet as category;
// CRLF line ends and UTF-8; blank rows give no card.
TEST(VCard, OneCardPerRowWithANameOrANumber)
{
    std::array<Sheet, kSheets> sheets{};
    sheets[0][0] = {{u"  Rossi, Mario; ufficio "_qs}, {u"06 555 1234"_qs}};
    sheets[0][5] = {{u"   "_qs}, {u"  "_qs}};
    sheets[43][43] = {{}, {u"+39 333 000"_qs}};
    const QList<Contact> contacts = contactsOf(sheets);
    EXPECT_EQ(contacts, (QList<Contact>{{u"Rossi, Mario; ufficio"_qs, u"06 555 1234"_qs, u"A1"_qs, {}, 1},
                                        {{}, u"+39 333 000"_qs, sheetCaption(43), {}, kRecords}}));
    EXPECT_EQ(encodeVCards(contacts),
              "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:Rossi\\, Mario\\; ufficio\r\n"
              "TEL;VALUE=text:06 555 1234\r\nCATEGORIES:A1\r\nEND:VCARD\r\n"
              "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:+39 333 000\r\nTEL;VALUE=text:+39 333 000\r\n"
              "CATEGORIES:" + sheetCaption(43).toUtf8() + "\r\nEND:VCARD\r\n");
}

// Lines longer than 75 bytes fold before a character, never inside one; unfolded they give the
// line back.
TEST(VCard, LongLinesFoldAt75BytesBetweenCharacters)
{
    const QString name = u"è€"_qs.repeated(40); // 200 bytes of two- and three-byte characters
    const QByteArray cards = encodeVCards({{name, {}, u"B1"_qs, {}, 1}});
    const QList<QByteArray> lines = cards.split('\n');
    for (const QByteArray &line : lines) {
        EXPECT_LE(line.size() - 1, 75) << line.constData(); // without its CR
        EXPECT_TRUE(QString::fromUtf8(line).toUtf8() == line) << "a character was split";
    }
    QByteArray unfolded = cards;
    unfolded.replace("\r\n ", "");
    EXPECT_TRUE(unfolded.contains("FN:" + name.toUtf8() + "\r\n"));
}

// A card carries its UID right after the version; the sheets come back from rubri.dat's bytes,
// a short file read as far as it goes.
TEST(VCard, CardsCarryTheirUidAndTheSheetsComeFromTheDataFile)
{
    QTemporaryDir dir;
    DataFile file;
    ASSERT_TRUE(file.open(dir.filePath(u"rubri.dat"_qs)));
    Sheet sheet{};
    sheet[2] = {{u"Anna"_qs}, {u"06 1"_qs}};
    ASSERT_TRUE(file.writeSheet(4, sheet));
    file.close();
    const QByteArray bytes = promemo::readWholeFile(dir.filePath(u"rubri.dat"_qs));
    QList<Contact> contacts = contactsOf(sheetsOf(bytes));
    ASSERT_EQ(contacts, (QList<Contact>{{u"Anna"_qs, u"06 1"_qs, sheetCaption(4), {}, recordNumber(4, 3)}}));
    EXPECT_EQ(contactsOf(sheetsOf(bytes.left(recordNumber(4, 3) * kRecordSize - 150))).size(), 0);
    EXPECT_EQ(contactsOf(sheetsOf(bytes.left(recordNumber(4, 3) * kRecordSize - 100))).size(), 1);
    contacts[0].uid = u"promemo-1"_qs;
    EXPECT_EQ(encodeVCard(contacts[0]), "BEGIN:VCARD\r\nVERSION:4.0\r\nUID:promemo-1\r\nFN:Anna\r\n"
                                        "TEL;VALUE=text:06 1\r\nCATEGORIES:E1\r\nEND:VCARD\r\n");
}

} // namespace
