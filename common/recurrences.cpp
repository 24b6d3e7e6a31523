#include "recurrences.h"

#include <QDir>
#include <QFileInfo>

#include <limits>
#include <memory>

#include "common/atomicfile.h"
#include "common/logging.h"
#include "common/records.h"

namespace promemo {
namespace {


constexpr int kFields = 4;
constexpr int kMonthsInYear = 12;

// Months between two occurrences; 0 for a count that only gives the entered month.
int monthStep(int occurrencesPerYear)
{
    switch (occurrencesPerYear) {
    case 2:
    case 3:
    case 4:
    case 6:
    case 12:
        return kMonthsInYear / occurrencesPerYear;
    default:
        return 0;
    }
}

int reducedMonth(int month)
{
    while (month > kMonthsInYear)
        month -= kMonthsInYear;
    return month;
}

bool hasThirtyDays(int month)
{
    return month == 4 || month == 6 || month == 9 || month == 11;
}

QString twoDigits(int n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

bool isLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

// The start of the line that holds the first byte of the record read from `from` on: the blank
// lines the reader passed over before it are not part of it, its leading blanks are.
qsizetype lineStart(const QByteArray &bytes, qsizetype from)
{
    qsizetype first = from;
    while (first < bytes.size() && (bytes[first] == ' ' || bytes[first] == '\t' || isLineEnd(bytes[first])))
        ++first;
    while (first > from && !isLineEnd(bytes[first - 1]))
        --first;
    return first;
}

Recurrence stripped(const Recurrence &r)
{
    return {r.date.trimmed(), r.perYear.trimmed(), r.advance.trimmed(), r.text.trimmed()};
}

// `content` written and flushed beside `path`, to be put in its place by replace(); null (the
// temporary file gone again, `error` said) when that failed.
std::unique_ptr<StagedFile> preparedFile(const QString &path, const QByteArray &content, QString &error)
{
    auto file = std::make_unique<StagedFile>(QFileInfo(path).absolutePath(), content);
    if (file->error().isEmpty())
        return file;
    error = QStringLiteral("cannot write %1: %2").arg(path, file->error());
    return nullptr;
}

} // namespace

int leadingNumber(QStringView text)
{
    constexpr int kCap = std::numeric_limits<int>::max() / 10 - 9;
    int value = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            break;
        value = std::min(value * 10 + (c.unicode() - u'0'), kCap);
    }
    return value;
}

int Recurrence::day() const
{
    return leadingNumber(date);
}

int Recurrence::month() const
{
    return leadingNumber(QStringView(date).right(2));
}

int Recurrence::occurrencesPerYear() const
{
    return leadingNumber(perYear);
}

int Recurrence::advanceDays() const
{
    return leadingNumber(advance);
}

QDate Recurrence::dateInYear(int year) const
{
    return QDate(year, month(), day());
}

QList<Recurrence> parseRecurrences(const QByteArray &bytes)
{
    QList<Recurrence> records;
    RecordReader reader(bytes);
    while (const std::optional<QStringList> fields = reader.readRecord(kFields)) {
        if (leadingNumber(fields->at(0)) == 0)
            break;
        records.append({fields->at(0), fields->at(1), fields->at(2), fields->at(3)});
    }
    return records;
}

QList<Recurrence> readRecurrences(const QString &path)
{
    return parseRecurrences(readWholeFile(path));
}

EnteredRecurrences parseEnteredRecurrences(const QByteArray &bytes)
{
    EnteredRecurrences entered;
    int unreadableRecords = 0;
    RecordReader reader(bytes);
    for (qsizetype before = reader.position(); const auto fields = reader.readRecord(kFields);
         before = reader.position()) {
        if (leadingNumber(fields->at(0)) != 0) {
            entered.readable.append({fields->at(0), fields->at(1), fields->at(2), fields->at(3)});
            continue;
        }
        const qsizetype start = lineStart(bytes, before);
        QByteArray record = bytes.mid(start, reader.position() - start);
        if (!isLineEnd(record.back()))
            record.append("\r\n");
        entered.unreadable.append(record);
        ++unreadableRecords;
    }
    if (unreadableRecords > 0)
        qCWarning(lcFiles) << unreadableRecords << "recurrence records cannot be read; they are kept as they are";
    return entered;
}

EnteredRecurrences readEnteredRecurrences(const QString &path)
{
    return parseEnteredRecurrences(readWholeFile(path));
}

QByteArray encodeRecurrences(const QList<Recurrence> &records)
{
    QByteArray bytes;
    for (const Recurrence &r : records)
        bytes.append(encodeRecord({r.date, r.perYear, r.advance, r.text}));
    return bytes;
}

Recurrence occurrenceInMonth(const Recurrence &entered, int month, int year)
{
    month = reducedMonth(month);
    QString dayText = entered.date.left(2);
    const int day = leadingNumber(dayText);
    if (hasThirtyDays(month) && day > 30)
        dayText = QStringLiteral("30");
    else if (month == 2 && day > 28)
        dayText = QDate::isLeapYear(year) ? QStringLiteral("29") : QStringLiteral("28");
    return {dayText + u'/' + twoDigits(month), entered.perYear, entered.advance, entered.text};
}

QList<Recurrence> expandRecurrence(const Recurrence &entered, int year)
{
    const int step = monthStep(entered.occurrencesPerYear());
    const int count = step == 0 ? 1 : kMonthsInYear / step;
    QList<Recurrence> occurrences;
    occurrences.reserve(count);
    int month = reducedMonth(entered.month());
    for (int i = 0; i < count; ++i) {
        occurrences.append(occurrenceInMonth(entered, month, year));
        month = reducedMonth(month + step);
    }
    return occurrences;
}

WriteResult writeRecurrenceFiles(const QString &folder, const QList<Recurrence> &entered, int year,
                                 const QByteArray &unreadable)
{
    const QDir dir(folder);
    QList<Recurrence> records;
    QList<Recurrence> occurrences;
    for (const Recurrence &r : entered) {
        records.append(stripped(r));
        occurrences.append(expandRecurrence(records.back(), year));
    }
    // Both files are written beside their places first: a failure then leaves both as they
    // were, and readers never see a new list in one file and the old one in the other.
    const QString enteredPath = dir.filePath(kEnteredRecurrencesFile.toString());
    const QString expandedPath = dir.filePath(kExpandedRecurrencesFile.toString());
    const auto fail = [](const QString &error) {
        qCWarning(lcFiles).noquote() << error;
        return WriteResult{error};
    };
    QString error;
    const auto enteredFile = preparedFile(enteredPath, encodeRecurrences(records) + unreadable, error);
    const auto expandedFile = enteredFile ? preparedFile(expandedPath, encodeRecurrences(occurrences), error)
                                          : nullptr;
    if (!expandedFile)
        return fail(error);
    const bool hadEntered = QFileInfo::exists(enteredPath);
    const QByteArray previousEntered = readWholeFile(enteredPath);
    if (!enteredFile->replace(enteredPath))
        return fail(QStringLiteral("cannot replace %1").arg(enteredPath));
    if (expandedFile->replace(expandedPath))
        return {};
    const bool putBack = hadEntered ? writeFileAtomically(enteredPath, previousEntered).ok()
                                    : QFile::remove(enteredPath);
    if (!putBack)
        return fail(QStringLiteral("cannot replace %1, nor put %2 back").arg(expandedPath, enteredPath));
    return fail(QStringLiteral("cannot replace %1; %2 is put back").arg(expandedPath, enteredPath));
}

} // namespace promemo
