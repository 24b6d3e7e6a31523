#include "note/core/alertvalidation.h"

#include "common/datetexts.h"

namespace promemo::note {

namespace {

constexpr int kBelowNoteTwips = 2160;
constexpr int kAboveNoteTwips = 1800;
constexpr int kScreenMarginTwips = 500;
constexpr int kMediumOffsetLeftTwips = 920;
constexpr int kMediumOffsetTopTwips = 940;

constexpr int kMaximumYear = 2099;

// The value of the leading digits, 0 when there are none: a pasted letter must not throw the
// checks off.
int boxValue(const QString &box)
{
    int value = 0;
    for (const QChar c : box) {
        if (c < u'0' || c > u'9')
            break;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}

QString twoDigits(const QString &box)
{
    if (box.isEmpty())
        return QStringLiteral("00");
    if (box.size() == 1)
        return u'0' + box;
    return box;
}

AlertValidation refused(AlertValidation result, const QString &message, int focus)
{
    result.message = message;
    result.focus = focus;
    return result;
}

AlertBoxes dateBoxes(QDate date, AlertBoxes boxes)
{
    const QString text = dateText(date);
    boxes[DayBox] = text.mid(0, 2);
    boxes[MonthBox] = text.mid(3, 2);
    boxes[YearBox] = text.right(2);
    return boxes;
}

} // namespace

QPoint alertSetupPosition(NoteSize size, const QRect &noteTwips, int dialogHeightTwips,
                          int screenBottomTwips)
{
    if (size == NoteSize::Medium)
        return {noteTwips.left() + kMediumOffsetLeftTwips, noteTwips.top() + kMediumOffsetTopTwips};
    const int below = noteTwips.top() + kBelowNoteTwips;
    if (below + dialogHeightTwips > screenBottomTwips - kScreenMarginTwips)
        return {noteTwips.left(), noteTwips.top() - kAboveNoteTwips};
    return {noteTwips.left(), below};
}

AlertBoxes openingBoxes(QDate noteDate, const QString &alertText, int alertMinutes)
{
    AlertBoxes boxes = dateBoxes(noteDate, {});
    boxes[HoursBox] = QStringLiteral("00");
    boxes[MinutesBox] = QStringLiteral("00");
    if (alertMinutes > 0 && alertText.size() >= 4) {
        boxes[HoursBox] = alertText.left(2);
        boxes[MinutesBox] = alertText.right(2);
    }
    return boxes;
}

AlertValidation validateAlertSetup(const AlertBoxes &boxes, QDate today, int nowMinutes)
{
    AlertValidation result;
    for (size_t i = 0; i < boxes.size(); ++i)
        result.boxes[i] = twoDigits(boxes[i]);

    const int d = boxValue(result.boxes[DayBox]);
    const int m = boxValue(result.boxes[MonthBox]);
    const int y = 2000 + boxValue(result.boxes[YearBox]);

    if (d == 0)
        return refused(result, QStringLiteral("   Non hai inserito il giorno     "), DayBox);
    if (m == 2 && QDate::isLeapYear(y) && d > 29)
        return refused(result, QStringLiteral("    Il mese ha 29 giorni      "), DayBox);
    if (m == 2 && !QDate::isLeapYear(y) && d > 28)
        return refused(result, QStringLiteral("    Il mese ha 28 giorni       "), DayBox);
    if ((m == 4 || m == 6 || m == 9 || m == 11) && d > 30)
        return refused(result, QStringLiteral("    Il mese ha 30 giorni      "), DayBox);
    if (d > 31)
        return refused(result,
                       QStringLiteral(" Hai inserito un mese di ") + result.boxes[DayBox]
                           + QStringLiteral(" giorni   "),
                       DayBox);
    if (m == 0)
        return refused(result, QStringLiteral("   Non hai inserito il mese    "), MonthBox);
    if (m > 12)
        return refused(result,
                       QStringLiteral("  Hai inserito un anno di ") + result.boxes[MonthBox]
                           + QStringLiteral(" mesi    "),
                       MonthBox);
    if (y < today.year())
        return refused(result, QStringLiteral("  Anno inferiore all'attuale    "), YearBox);
    if (y > kMaximumYear)
        return refused(result, QStringLiteral("  Massimo anno inseribile 2099    "), YearBox);
    const QDate date(y, m, d);
    if (date < today) {
        result.boxes = dateBoxes(today, result.boxes);
        return refused(result, QStringLiteral("   Hai inserito una data inferiore alla attuale    "),
                       DayBox);
    }
    result.date = date;

    const int hours = boxValue(result.boxes[HoursBox]);
    const int minutes = boxValue(result.boxes[MinutesBox]);
    if (hours > 23)
        return refused(result,
                       QStringLiteral("Non si può introdurre un valore maggiore di 23.59    "),
                       HoursBox);
    if (minutes > 59)
        return refused(result, QStringLiteral("Non si può introdurre un valore maggiore di 59    "),
                       MinutesBox);
    const int alert = hours * 60 + minutes;
    result.alertMinutes = alert;
    if (alert > 0 && date == today && nowMinutes > alert) {
        result.alertMinutes = 0;
        return refused(result, QStringLiteral("   Hai inserito un' ora inferiore alla attuale    "),
                       HoursBox);
    }

    result.alertText = alertText(alert);
    return result;
}

bool boxesChanged(const AlertBoxes &validated, const AlertBoxes &opening)
{
    return validated != opening;
}

} // namespace promemo::note
