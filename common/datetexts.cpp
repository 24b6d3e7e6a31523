#include "datetexts.h"

#include <QLocale>

#include "digits.h"

namespace promemo {
namespace {

QString twoDigits(int value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

const QLocale &italian()
{
    static const QLocale locale(QLocale::Italian, QLocale::Italy);
    return locale;
}

} // namespace

QString dateText(QDate date)
{
    return twoDigits(date.day()) + u'/' + twoDigits(date.month()) + u'/'
           + QStringLiteral("%1").arg(date.year(), 4, 10, QLatin1Char('0'));
}

QString timeText(QTime time)
{
    return twoDigits(time.hour()) + u'.' + twoDigits(time.minute());
}

QString changedText(const QDateTime &dateTime)
{
    return dateText(dateTime.date()) + u' ' + timeText(dateTime.time());
}

QString longDateText(QDate date)
{
    return italian().toString(date, QStringLiteral("dddd d MMMM yyyy"));
}

QString monthYearText(QDate date)
{
    return italian().toString(date, QStringLiteral("MMMM yyyy"));
}

std::optional<QDate> parseDateText(QStringView text)
{
    if (text.size() != 10 || text[2] != u'/' || text[5] != u'/')
        return std::nullopt;
    const int day = digitsValue(text, 0, 2);
    const int month = digitsValue(text, 3, 2);
    const int year = digitsValue(text, 6, 4);
    if (day < 0 || month < 0 || year < 0 || !QDate::isValid(year, month, day))
        return std::nullopt;
    return QDate(year, month, day);
}

std::optional<QTime> parseTimeText(QStringView text)
{
    if (text.size() != 5 || text[2] != u'.')
        return std::nullopt;
    const int hour = digitsValue(text, 0, 2);
    const int minute = digitsValue(text, 3, 2);
    if (hour < 0 || minute < 0 || !QTime::isValid(hour, minute, 0))
        return std::nullopt;
    return QTime(hour, minute);
}

int alertMinutes(QTime time)
{
    return time.hour() * 60 + time.minute();
}

QString alertText(int minutes)
{
    if (minutes <= noAlert || minutes >= minutesPerDay)
        return {};
    return twoDigits(minutes / 60) + u'.' + twoDigits(minutes % 60);
}

std::optional<int> parseAlertText(QStringView text)
{
    if (text.isEmpty())
        return noAlert;
    const auto time = parseTimeText(text);
    if (!time)
        return std::nullopt;
    return alertMinutes(*time);
}

} // namespace promemo
