#include "common/records.h"

#include "common/cp1252.h"

#include <gtest/gtest.h>

using namespace promemo;

TEST(RecordReader, ReadsQuotedAndUnquotedFieldsTwoARecord)
{
    const QList<std::pair<QByteArray, QList<QStringList>>> cases = {
        // Commas and CR LF inside quotes stay in the field.
        {"\"x,\r\ny\",\"z\"\r\n\"c\",\"d\"\r\n", {{"x,\r\ny", "z"}, {"c", "d"}}},
        // Bare LF and bare CR end records; blank lines are passed over.
        {"\r\n\"a\"\n\r\n  \r\n\"b\"\r\"c\"\r\n\r\n", {{"a", ""}, {"b", ""}, {"c", ""}}},
        // Blanks around fields are trimmed.
        {"  abc  ,\t\"q\" \r\n d e \r\n", {{"abc", "q"}, {"d e", ""}}},
        // Fields beyond the second are passed over, quoted line ends and all.
        {"\"b\",\"c\",\"x,\r\n\"\r\n\"d\"", {{"b", "c"}, {"d", ""}}},
        // A field that lost its closing quote ends with its line, whether the file ends or the
        // next record's quote follows; bytes after a closing quote are dropped.
        {"\"a\",\"bc\r\nde", {{"a", "bc"}, {"de", ""}}},
        {"\"x\",\"y\r\n\"a\",\"b\"\r\n\"c\",\"d\"\r\n", {{"x", "y"}, {"a", "b"}, {"c", "d"}}},
        {"\"a\"xx,\"b\"yy\r\n", {{"a", "b"}}},
        {"\"a\",", {{"a", ""}}},
        {"\r\n\r\n", {}},
    };
    for (const auto &[bytes, expected] : cases) {
        RecordReader reader(bytes);
        QList<QStringList> records;
        while (auto record = reader.readRecord(2))
            records.append(*record);
        EXPECT_EQ(records, expected) << bytes.toStdString();
    }
}

// What the files hold is what a box shows once typed: one '?' for each character outside
// Windows-1252, composed forms where they exist, and its own text unchanged.
TEST(Cp1252, StorableTextIsWhatTheFileGivesBack)
{
    const std::pair<QString, QString> cases[] = {
        {u"Caffè “sì” € 50 – ok"_qs, u"Caffè “sì” € 50 – ok"_qs},
        {u"Gita 😀!"_qs, u"Gita ?!"_qs},
        {u"Ζεύς"_qs, u"????"_qs},
        {u"Perche\u0301 Zoe\u0308"_qs, u"Perché Zoë"_qs},
        {u"\u0301"_qs, u"?"_qs},
    };
    for (const auto &[typed, stored] : cases) {
        EXPECT_EQ(cp1252::storable(typed), stored) << typed.toStdString();
        EXPECT_EQ(cp1252::decode(cp1252::encode(typed)), cp1252::storable(typed)) << typed.toStdString();
    }
}
