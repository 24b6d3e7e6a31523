#include "note/core/printlayout.h"

#include "common/linebreaks.h"

namespace promemo::note {

namespace {

constexpr qsizetype kLongestWhole = 49;
constexpr qsizetype kFirstBreak = 45; // characters counted from 1
constexpr qsizetype kLastBreak = 60;

QString trimmedOfBlanks(const QString &text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == u' ')
        ++first;
    while (last > first && text.at(last - 1) == u' ')
        --last;
    return text.sliced(first, last - first);
}

} // namespace

QStringList Stampa_Testo1(const QString &line)
{
    if (line.size() <= kLongestWhole)
        return {line};
    const qsizetype blank = line.indexOf(u' ', kFirstBreak - 1);
    if (blank >= 0 && blank < kLastBreak)
        return {line.first(blank + 1), trimmedOfBlanks(line.sliced(blank + 1))};
    return {line.first(kLastBreak), line.sliced(kLastBreak)};
}

QStringList notePageLines(const QString &changeTime, const QString &text)
{
    QStringList page{QString(), QString(), QString(), QString(),
                     QStringLiteral("Data e ora di registrazione del messaggio: ") + changeTime,
                     QString(), QString()};
    for (const QString &line : withLineFeeds(text).split(u'\n'))
        page += Stampa_Testo1(line);
    return page;
}

} // namespace promemo::note
