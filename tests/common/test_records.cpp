#include "common/records.h"

#include <gtest/gtest.h>

using namespace promemo;

namespace {

struct ReaderCase
{
    const char *name;
    QByteArray bytes;
    int count;
    QList<QStringList> expected;
};

QList<QStringList> readAll(const QByteArray &bytes, int count)
{
    RecordReader reader(bytes);
    QList<QStringList> records;
    while (auto record = reader.readRecord(count))
        records.append(*record);
    return records;
}

} // namespace

TEST(RecordReader, ReadsQuotedAndUnquotedFields)
{
    const QList<ReaderCase> cases = {
        {"plain records", "\"a\",\"b\"\r\n\"c\",\"d\"\r\n", 2, {{"a", "b"}, {"c", "d"}}},
        {"comma and CR LF stay inside quotes", "\"x,\r\ny\",\"z\"\r\n", 2, {{"x,\r\ny", "z"}}},
        {"bare LF and bare CR end records", "\"a\"\n\"b\"\r\"c\"", 1, {{"a"}, {"b"}, {"c"}}},
        {"unquoted fields are trimmed", "  abc  , d e ,\"q\"\r\n", 3, {{"abc", "d e", "q"}}},
        {"blanks around quoted fields", "  \"a\"  ,\t\"b\" \r\n", 2, {{"a", "b"}}},
        {"missing fields read as empty", "\"a\"\r\n\"b\",\"c\"", 3, {{"a", "", ""}, {"b", "c", ""}}},
        {"extra fields are passed over", "\"a\",\"b\",\"c,\r\n\"\r\n\"d\"", 2, {{"a", "b"}, {"d", ""}}},
        {"unterminated quote runs to the end", "\"a\",\"bc\r\nde", 2, {{"a", "bc\r\nde"}}},
        {"bytes after a closing quote are dropped", "\"a\"xx,\"b\"yy\r\n", 2, {{"a", "b"}}},
        {"blank lines between records", "\r\n\"a\"\r\n\r\n  \r\n\"b\"\r\n\r\n", 1, {{"a"}, {"b"}}},
        {"trailing comma at the end of data", "\"a\",", 2, {{"a", ""}}},
        {"empty quoted fields", "\"\",\"\",\"\"\r\n", 3, {{"", "", ""}}},
        {"Windows-1252 letters", "\"\xe0\xe8\xe9\xec\xf2\xf9\x80\x94\"\r\n", 1,
         {{QString::fromUtf8("àèéìòù€”")}}},
        {"empty data", "", 2, {}},
        {"only line ends", "\r\n\r\n", 2, {}},
    };
    for (const ReaderCase &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(readAll(c.bytes, c.count), c.expected);
    }
}

TEST(RecordReader, AtEndAndPositionFollowTheRecords)
{
    const QByteArray first = "\"uno\r\ndue\",\"x\"\r\n";
    const QByteArray second = "\"tre\",\"y\"\r\n";
    RecordReader reader(first + second + "\r\n");
    EXPECT_FALSE(reader.atEnd());
    ASSERT_TRUE(reader.skipRecord());
    EXPECT_EQ(reader.position(), first.size());
    ASSERT_TRUE(reader.readRecord(2));
    EXPECT_EQ(reader.position(), first.size() + second.size());
    EXPECT_TRUE(reader.atEnd());
    EXPECT_FALSE(reader.skipRecord());
    EXPECT_FALSE(reader.readRecord(2));
}

TEST(EncodeRecord, QuotesJoinsAndEncodesWindows1252)
{
    const QStringList fields = {QString::fromUtf8("àèéìòù€"), "riga1\r\nriga2, ancora",
                                "disse \"ciao\"", ""};
    const QByteArray expected = "\"\xe0\xe8\xe9\xec\xf2\xf9\x80\",\"riga1\r\nriga2, ancora\","
                                "\"disse \x94" "ciao\x94\",\"\"\r\n";
    const QByteArray bytes = encodeRecord(fields);
    EXPECT_EQ(bytes, expected);

    RecordReader reader(bytes);
    const auto back = reader.readRecord(fields.size());
    ASSERT_TRUE(back);
    QStringList storable;
    for (const QString &f : fields)
        storable.append(storableField(f));
    EXPECT_EQ(*back, storable);
    EXPECT_EQ(encodeRecord(*back), bytes);
    EXPECT_TRUE(reader.atEnd());

    EXPECT_EQ(storableField(QString::fromUtf8("“già” \"visto\"'")),
              QString::fromUtf8("“già” ”visto”'"));
}
