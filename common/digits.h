#pragma once

#include <QChar>
#include <QStringView>

// Digit helpers for the fixed-width numeric fields of names and texts. Only ASCII digits count:
// other scripts' digits would pass QChar::isDigit and break the fixed widths.
namespace promemo {

inline bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// The value of text[from, from + count) when all are ASCII digits, else -1.
inline int digitsValue(QStringView text, qsizetype from, qsizetype count)
{
    int value = 0;
    for (qsizetype i = from; i < from + count; ++i) {
        if (!isAsciiDigit(text[i]))
            return -1;
        value = value * 10 + (text[i].unicode() - u'0');
    }
    return value;
}

} // namespace promemo
