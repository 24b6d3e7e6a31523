#include "launcher/core/recurrenceentry.h"

#include <QDate>

#include <algorithm>

#include "common/digits.h"

namespace promemo {
namespace {

constexpr int kMaximumAdvance = 40;

// Column starts (0-based) and widths of an entry.
constexpr qsizetype kDateColumn = 6, kDateWidth = 5;
constexpr qsizetype kPerYearColumn = 13, kPerYearWidth = 2;
constexpr qsizetype kAdvanceColumn = 17, kAdvanceWidth = 2;
// The written fields take the blanks around them too.
constexpr qsizetype kWrittenDateWidth = 7, kWrittenPerYearWidth = 4;
constexpr qsizetype kWrittenAdvanceColumn = 16, kWrittenAdvanceWidth = 4;
constexpr qsizetype kWrittenTextColumn = 21;
constexpr qsizetype kPickedTextColumn = 20;
constexpr qsizetype kMonthColumn = 9;

const QString kNothingEntered = QStringLiteral("   Non hai inserito alcun dato     ");
const QString kNoDay = QStringLiteral("   Non hai inserito il giorno     ");
const QString kFebruary = QStringLiteral("    Per la ricorrenza inserire al massimo 28       ");
const QString kThirtyDays = QStringLiteral("    Il mese ha 30 giorni      ");
const QString kNoMonth = QStringLiteral("   Non hai inserito il mese    ");
const QString kMonthAbove12 = QStringLiteral("  Hai inserito un valore maggiore di 12    ");
const QString kPerYearValues = QStringLiteral("Valori accettati: 1, 2, 3, 4, 6, 12   ");
const QString kAdvanceAbove40 = QStringLiteral("  Massimo anticipo: 40 giorni    ");
const QString kNoText = QStringLiteral("   Non hai inserito il testo della ricorrenza     ");

QString monthOfDaysMessage(const QString &dayBox)
{
    return QStringLiteral(" Hai inserito un mese di ") + dayBox + QStringLiteral(" giorni   ");
}

// A box's text cut or filled with blanks to its column.
QString fitted(const QString &text, qsizetype width)
{
    return text.leftJustified(width, u' ', true);
}

// An entry is one line of the list.
QString oneLine(QString text)
{
    text.replace(u'\r', u' ');
    text.replace(u'\n', u' ');
    return text;
}

QString withLeadingZero(const QString &box)
{
    return box.size() == 1 ? u'0' + box : box;
}

bool hasThirtyDays(int month)
{
    return month == 4 || month == 6 || month == 9 || month == 11;
}

bool isAcceptedPerYear(int perYear)
{
    constexpr int accepted[] = {1, 2, 3, 4, 6, 12};
    return std::find(std::begin(accepted), std::end(accepted), perYear) != std::end(accepted);
}

bool isAsciiLetterOrDigit(QChar c)
{
    return isAsciiDigit(c) || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

bool hasRecurrenceText(const QString &text)
{
    return !text.trimmed().isEmpty() && std::any_of(text.begin(), text.end(), isAsciiLetterOrDigit);
}

QString entryText(const QString &date, const QString &perYear, const QString &advance,
                  const QString &text, int year)
{
    const QString fittedDate = fitted(date, kDateWidth);
    const QString key = recurrenceSortKey(leadingNumber(fittedDate),
                                          leadingNumber(QStringView(fittedDate).mid(3)), year);
    return key + QStringLiteral("   ") + fittedDate + QStringLiteral("  ")
           + fitted(perYear, kPerYearWidth) + QStringLiteral("  ") + fitted(advance, kAdvanceWidth)
           + QStringLiteral("   ") + oneLine(text);
}

} // namespace

bool isPlaceholderEntry(const QString &entry)
{
    return entry.trimmed().startsWith(QStringLiteral("Nessun"));
}

QString recurrenceSortKey(int day, int month, int year)
{
    const QDate firstOfMonth(year, std::clamp(month, 1, 12), 1);
    const int dayOfYear = firstOfMonth.dayOfYear() + std::clamp(day, 1, 31) - 1;
    return QStringLiteral("%1").arg(dayOfYear, 3, 10, QLatin1Char('0'));
}

QString recurrenceEntry(const Recurrence &recurrence, int year)
{
    return entryText(recurrence.date, recurrence.perYear, recurrence.advance, recurrence.text,
                     year);
}

Recurrence recurrenceOfEntry(const QString &entry)
{
    return {entry.mid(kDateColumn, kWrittenDateWidth).trimmed(),
            entry.mid(kPerYearColumn, kWrittenPerYearWidth).trimmed(),
            entry.mid(kWrittenAdvanceColumn, kWrittenAdvanceWidth).trimmed(),
            entry.mid(kWrittenTextColumn).trimmed()};
}

RecurrenceForm RecurrenceForm::empty()
{
    return {QStringLiteral("00"), QStringLiteral("00"), QStringLiteral("01"), QStringLiteral("07"),
            QString()};
}

bool RecurrenceForm::holdsData() const
{
    return day != u"00" || month != u"00" || !text.isEmpty();
}

RecurrenceForm formOfEntry(const QString &entry)
{
    return {entry.mid(kDateColumn, 2), entry.mid(kMonthColumn, 2),
            entry.mid(kPerYearColumn, kPerYearWidth), entry.mid(kAdvanceColumn, kAdvanceWidth),
            entry.mid(kPickedTextColumn).trimmed()};
}

InsertionCheck checkInsertion(const RecurrenceForm &typed)
{
    InsertionCheck result{typed, std::nullopt};
    RecurrenceForm &form = result.form;
    const auto refuse = [&result](const QString &message, EditorField focus) {
        result.refusal = InsertionRefusal{message, focus};
        return result;
    };

    form.day = withLeadingZero(form.day);
    form.month = withLeadingZero(form.month);
    const int day = leadingNumber(form.day);
    const int month = leadingNumber(form.month);
    if (day == 0 && month == 0 && form.perYear == u"01" && form.advance == u"07")
        return refuse(kNothingEntered, EditorField::Day);
    if (day == 0)
        return refuse(kNoDay, EditorField::Day);
    if (month == 2 && day > 28)
        return refuse(kFebruary, EditorField::Day);
    if (hasThirtyDays(month) && day > 30)
        return refuse(kThirtyDays, EditorField::Day);
    if (day > 31)
        return refuse(monthOfDaysMessage(form.day), EditorField::Day);
    if (month == 0)
        return refuse(kNoMonth, EditorField::Month);
    if (month > 12)
        return refuse(kMonthAbove12, EditorField::Month);
    if (!isAcceptedPerYear(leadingNumber(form.perYear)))
        return refuse(kPerYearValues, EditorField::PerYear);
    form.perYear = withLeadingZero(form.perYear);
    if (leadingNumber(form.advance) > kMaximumAdvance)
        return refuse(kAdvanceAbove40, EditorField::Advance);
    // An empty alert box would shift the text out of its column: it means no days ahead.
    form.advance = form.advance.isEmpty() ? QStringLiteral("00") : withLeadingZero(form.advance);
    if (!hasRecurrenceText(form.text))
        return refuse(kNoText, EditorField::Text);
    return result;
}

QString entryOfForm(const RecurrenceForm &form, int year)
{
    return entryText(fitted(form.day, 2) + u'/' + fitted(form.month, 2), form.perYear, form.advance,
                     form.text, year);
}

} // namespace promemo
