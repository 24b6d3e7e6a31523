#include "note/core/noterules.h"

#include <algorithm>
#include <cmath>

#include "common/datetexts.h"
#include "common/linebreaks.h"
#include "common/daynumber.h"
#include "common/duenotes.h"

namespace promemo::note {

namespace {

bool isAsciiLetterOrDigit(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z') || (u >= u'0' && u <= u'9');
}

// The alert label holds hh.mm; anything else (empty, or mangled by a bad file) starts from now.
int startMinutes(const QString &alertText, int nowMinutes)
{
    const std::optional<QTime> time = parseTimeText(alertText);
    return time ? alertMinutes(*time) : nowMinutes;
}

} // namespace

AlertStep stepAlert(const QString &alertText, QDate noteDate, int step, Direction direction,
                    QDate today, int nowMinutes)
{
    AlertStep result;
    result.date = noteDate.isValid() ? noteDate : today;
    if (step <= 0 || minutesPerDay % step != 0) {
        result.minutes = startMinutes(alertText, nowMinutes);
        return result;
    }

    int t = startMinutes(alertText, nowMinutes);
    const int offMark = t % step;
    const int lastMark = minutesPerDay - step;

    if (direction == Direction::Earlier) {
        // Up to the next mark first (it may be 24.00), so that the step lands on the previous one.
        if (offMark > 0)
            t += step - offMark;
        if (t != 0) {
            t -= step;
        } else {
            result.date = result.date.addDays(-1);
            t = lastMark;
        }
        // A step that lands before now, also one that wrapped into a past day, is moved to now
        // today: an alert in the past would never fire.
        if (result.date < today || (result.date == today && t < nowMinutes)) {
            result.date = today;
            t = nowMinutes;
            result.clampedToNow = true;
        }
    } else {
        t -= offMark;
        if (t != lastMark) {
            t += step;
        } else if (result.date < lastDay()) {
            result.date = result.date.addDays(1);
            t = 0;
        } else {
            // The suite's dates end with 2099: the last evening stays as it is.
            t = startMinutes(alertText, nowMinutes);
        }
    }
    result.minutes = t;
    return result;
}

AlertStep snoozedAlert(QDate today, int nowMinutes)
{
    const int later = nowMinutes + kSnoozeMinutes;
    if (later < minutesPerDay)
        return {today, later};
    if (today >= lastDay())
        return {today, minutesPerDay - 1};
    return {today.addDays(1), std::max(later - minutesPerDay, 1)};
}

DateStep stepDate(QDate noteDate, int days, QDate today)
{
    const QDate from = noteDate.isValid() ? noteDate : today;
    const QDate moved = from.addDays(days);
    if (days < 0 && moved < today)
        return {today, true};
    return {std::min(moved, std::max(from, lastDay())), false};
}

bool isSavableText(const QString &text)
{
    // A letter or digit can only be found in text that is not blank.
    return std::any_of(text.cbegin(), text.cend(), isAsciiLetterOrDigit);
}

int visibleLines(NoteSize size, int points)
{
    const int band = points < 11 ? 0 : points <= 13 ? 1 : 2;
    static constexpr int normal[] = {5, 4, 3};
    static constexpr int medium[] = {8, 6, 5};
    return size == NoteSize::Medium ? medium[band] : normal[band];
}

DropZone dropZone(QPoint topLeftTwips, QSize screenTwips)
{
    if (topLeftTwips.y() > screenTwips.height() - kBottomZoneTwips)
        return DropZone::Bottom;
    if (topLeftTwips.x() > screenTwips.width() - kRightZoneTwips)
        return DropZone::Right;
    if (topLeftTwips.x() < kLeftZoneTwips)
        return DropZone::Left;
    return DropZone::None;
}

BottomDrop bottomDrop(const QString &text, int noteDay, int today, int alertMinutes,
                      int nowMinutes)
{
    if (!isSavableText(text))
        return BottomDrop::Delete;
    if (noteDay < today)
        return BottomDrop::Delete;
    if (noteDay == today && alertMinutes != noAlert && nowMinutes >= alertMinutes)
        return BottomDrop::Delete;
    return BottomDrop::Ask;
}

bool isAlertDue(int alertMinutes, bool fired, QDate noteDate, const QDateTime &now)
{
    return alertMinutes != noAlert && !fired && isMomentDue(noteDate, alertMinutes, now);
}

bool isMissedAlert(QDate noteDate, int alertMinutes, const QDateTime &firedAt)
{
    return alertMoment(noteDate, alertMinutes).secsTo(firedAt) > kMissedAfterSeconds;
}

QString missedMomentText(QDate noteDate, int alertMinutes, QDate today)
{
    const QString time = timeText(QTime(alertMinutes / 60, alertMinutes % 60));
    if (noteDate == today)
        return time + QStringLiteral(" di oggi");
    if (noteDate == today.addDays(-1))
        return time + QStringLiteral(" di ieri");
    // Short enough for the label: the year only when it is not this one.
    const QString format = noteDate.year() == today.year() ? QStringLiteral("dd/MM")
                                                           : QStringLiteral("dd/MM/yy");
    return time + QStringLiteral(" del ") + noteDate.toString(format);
}

int parkedTopPixels(NoteSize size)
{
    return size == NoteSize::Medium ? -175 : -120;
}

int parkedLeftPixels(ParkSlot slot, int screenWidthTwips)
{
    const double divisor = slot == ParkSlot::F10 ? 78.0 : slot == ParkSlot::F11 ? 34.4 : 22.0;
    return int(std::lround(screenWidthTwips / divisor));
}

AlertNotice alertNotice(QDate date, const QString &alertText, const QString &text,
                        const QString &missedMoment)
{
    QStringList lines = withLineFeeds(text).split(u'\n', Qt::SkipEmptyParts);
    for (QString &line : lines)
        line = line.trimmed();
    lines.removeAll(QString());
    const QString summary = missedMoment.isEmpty()
                                ? dateText(date) + u' ' + alertText
                                : QStringLiteral("Avviso mancato: ") + missedMoment;
    return {summary, lines.mid(0, kNoticeLines).join(u'\n')};
}

} // namespace promemo::note
