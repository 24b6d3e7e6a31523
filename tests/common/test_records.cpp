#include "common/records.h"

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
        // An unterminated quote runs to the end; bytes after a closing quote are dropped.
        {"\"a\",\"bc\r\nde", {{"a", "bc\r\nde"}}},
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
