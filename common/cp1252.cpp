#include "cp1252.h"

#include <algorithm>
#include <array>

namespace promemo::cp1252 {
namespace {

// 0x80..0x9F; the five bytes Windows-1252 leaves undefined map to the C1 control of the same value.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char encodeOne(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == c)
            return static_cast<char>(0x80 + i);
    }
    return '?';
}

// Calls `each` with every character of `text`; a surrogate pair is one character.
template <typename Each>
void forEachCharacter(QStringView text, Each each)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            each(QChar::surrogateToUcs4(c, text[i + 1]));
            ++i;
        } else {
            each(char32_t(c.unicode()));
        }
    }
}

bool isHeldWhole(QStringView text)
{
    return std::all_of(text.begin(), text.end(),
                       [](QChar c) { return c == u'?' || encodeOne(c.unicode()) != '?'; });
}

} // namespace

QString decode(QByteArrayView bytes)
{
    QString text;
    text.resize(bytes.size());
    QChar *out = text.data();
    for (const char b : bytes) {
        const auto u = static_cast<unsigned char>(b);
        *out++ = (u >= 0x80 && u < 0xA0) ? QChar(kHighControls[u - 0x80]) : QChar(u);
    }
    return text;
}

QByteArray encode(QStringView text)
{
    if (!isHeldWhole(text))
        return encode(storable(text));
    QByteArray bytes;
    bytes.reserve(text.size());
    for (const QChar c : text)
        bytes.append(encodeOne(c.unicode()));
    return bytes;
}

bool holds(char32_t c)
{
    return c == U'?' || encodeOne(c) != '?';
}

QString storable(QStringView text)
{
    if (isHeldWhole(text))
        return text.toString();
    const QString composed = text.toString().normalized(QString::NormalizationForm_C);
    QString result;
    result.reserve(composed.size());
    forEachCharacter(composed, [&result](char32_t c) {
        result.append(holds(c) ? QChar(char16_t(c)) : QChar(u'?'));
    });
    return result;
}

} // namespace promemo::cp1252
