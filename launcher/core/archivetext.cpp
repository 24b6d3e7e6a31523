#include "launcher/core/archivetext.h"

#include <algorithm>

namespace promemo {

namespace {

constexpr qsizetype kChangedShown = 10;

constexpr QStringView kNotaDel = u"Nota del ";
constexpr QStringView kPerIl = u" per il ";
constexpr QStringView kHeadEnd = u": \r\n";
constexpr QStringView kRecordEnd = u"\r\n\r\r\n";

qsizetype displayLength(const ArchiveRecord &record)
{
    return kNotaDel.size() + std::min(record.changed.size(), kChangedShown) + kPerIl.size()
           + record.dateAndAlert.size() + kHeadEnd.size() + record.text.size() + kRecordEnd.size();
}

void appendRecord(QString &text, const ArchiveRecord &record)
{
    text += kNotaDel;
    text += QStringView(record.changed).left(kChangedShown);
    text += kPerIl;
    text += record.dateAndAlert;
    text += kHeadEnd;
    text += record.text;
    text += kRecordEnd;
}

} // namespace

QString archiveRecordText(const ArchiveRecord &record)
{
    QString text;
    text.reserve(displayLength(record));
    appendRecord(text, record);
    return text;
}

QString archiveText(const QList<ArchiveRecord> &records)
{
    qsizetype length = 0;
    for (const ArchiveRecord &record : records)
        length += displayLength(record);
    QString text;
    text.reserve(length);
    for (const ArchiveRecord &record : records)
        appendRecord(text, record);
    return text;
}

QString textBoxText(const QString &text)
{
    QString shown;
    shown.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != u'\r')
            shown += c;
        else if (i + 1 < text.size() && text.at(i + 1) == u'\n')
            shown += text.at(++i);
    }
    return shown;
}

std::optional<ArchiveHit> findNextInArchive(const QString &text, const QString &search,
                                            qsizetype from)
{
    if (search.isEmpty() || from < 0 || from >= text.size())
        return std::nullopt;
    const qsizetype position = text.indexOf(search, from, Qt::CaseInsensitive);
    if (position < 0)
        return std::nullopt;
    return ArchiveHit{position, search.size(), position + search.size()};
}

} // namespace promemo
