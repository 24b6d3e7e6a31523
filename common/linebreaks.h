#pragma once

#include <QString>

namespace promemo {

// `text` with every line break (CR LF, a lone CR or a lone LF) as one LF.
inline QString withLineFeeds(QString text)
{
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
}

} // namespace promemo
