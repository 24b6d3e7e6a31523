#include "daynumber.h"

namespace promemo {

QDate dayZero()
{
    return QDate(2000, 1, 1);
}

QDate lastDay()
{
    return QDate(2099, 12, 31);
}

int dayNumber(QDate date)
{
    Q_ASSERT(date.isValid());
    return static_cast<int>(dayZero().daysTo(date));
}

QDate dateOfDayNumber(int day)
{
    return dayZero().addDays(day);
}

} // namespace promemo
