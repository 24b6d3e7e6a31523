#include "launcher/core/notelist.h"

#include <QLocale>

namespace promemo {

namespace {

constexpr int kDateColumn = 20;
constexpr int kTailBlanks = 110;
constexpr int kPrintWidth = 65;
constexpr int kBreakFrom = 54; // the 55th character

QString stripBlanks(QString text)
{
    qsizetype start = 0;
    while (start < text.size() && text[start] == u' ')
        ++start;
    qsizetype end = text.size();
    while (end > start && text[end - 1] == u' ')
        --end;
    return text.mid(start, end - start);
}

QString dateColumn(const NoteContent &note)
{
    const QString time = note.alertTime.isEmpty() ? QStringLiteral("     nd  ") : note.alertTime;
    return (note.date + QStringLiteral(" -") + time + QStringLiteral("    ")).left(kDateColumn);
}

} // namespace

QString noteListKey(int day)
{
    return QStringLiteral("%1").arg(day, 5, 10, QLatin1Char('0'));
}

QString noteListLine(const NoteListEntry &entry)
{
    QString text = entry.note.text;
    text.replace(u'\r', u' ').replace(u'\n', u' ');
    return noteListKey(entry.name.day) + u' ' + dateColumn(entry.note) + u'\t' + text
           + QString(kTailBlanks, u' ') + entry.fileName;
}

QString recurrenceListLine(const Recurrence &recurrence, QDate occurrence, QDate today)
{
    const qint64 day = QDate(today.year(), 1, 1).daysTo(occurrence) + 1;
    return QStringLiteral("%1").arg(day, 3, 10, QLatin1Char('0')) + QStringLiteral("  ")
           + occurrence.toString(QStringLiteral("dd/MM/yyyy")) + QString(8, u' ') + recurrence.text;
}

QStringList breakPrintedText(QString text)
{
    QStringList lines;
    while (text.size() > kPrintWidth) {
        const qsizetype blank = text.indexOf(u' ', kBreakFrom);
        const qsizetype cut = blank >= 0 ? blank + 1 : kPrintWidth;
        lines << text.left(cut);
        text = stripBlanks(text.mid(cut));
    }
    lines << text;
    return lines;
}

QStringList printedNoteLines(const NoteListEntry &entry)
{
    const QString column = dateColumn(entry.note);
    QString time = column.mid(column.indexOf(u'-') + 1);
    while (time.startsWith(u' '))
        time.remove(0, 1);
    const qsizetype blank = time.indexOf(u' ');
    time = blank >= 0 ? time.left(blank + 1) : time;

    QString text = entry.note.text;
    text.replace(u'\r', u' ').replace(u'\n', u' ');
    QStringList lines{QStringLiteral("Data: ") + column.left(10) + QStringLiteral("    Ora: ") + time};
    lines << breakPrintedText(stripBlanks(text));
    lines << QString();
    return lines;
}

} // namespace promemo
