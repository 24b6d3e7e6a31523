#pragma once

#include <QString>

#include <utility>

namespace promemo {

// `text` with every line break (CR LF, a lone CR or a lone LF) as one LF.
inline QString withLineFeeds(QString text)
{
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
}

// `text` as one line: every line break and every TAB as one blank.
inline QString asOneLine(QString text)
{
    return withLineFeeds(std::move(text)).replace(u'\n', u' ').replace(u'\t', u' ');
}

} // namespace promemo
