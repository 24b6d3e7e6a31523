#include "notename.h"

#include <QLatin1String>

#include "datetexts.h"
#include "daynumber.h"
#include "digits.h"

namespace promemo {
namespace {

constexpr int secondsPerDay = 24 * 60 * 60;
// Seven digits reach past the year 29000; the bound keeps day arithmetic far from overflow.
constexpr int maxDayDigits = 7;
constexpr int maxDay = 9'999'999;

// colour 1, alert 4, size 1, stamp 5, ".dat"
constexpr qsizetype tailLength = 1 + 4 + 1 + 5 + 4;
constexpr qsizetype colourOffset = 0;
constexpr qsizetype alertOffset = 1;
constexpr qsizetype sizeOffset = 5;
constexpr qsizetype stampOffset = 6;
constexpr qsizetype extensionOffset = 11;

// The last `width` characters of "0000..." followed by `value`.
QString zeroPaddedTail(int value, int width)
{
    const QString text = QString(width, u'0') + QString::number(value);
    return text.right(width);
}

} // namespace

Rgb rgbOf(NoteColour colour)
{
    switch (colour) {
    case NoteColour::Cyan:
        return lightCyan;
    case NoteColour::Green:
        return lightGreen;
    case NoteColour::Yellow:
        break;
    }
    return lightYellow;
}

char stateLetter(NoteState state)
{
    return state == NoteState::PutAway ? 'o' : 'n';
}

std::optional<NoteState> stateOfLetter(QChar letter)
{
    if (letter == u'n')
        return NoteState::Shown;
    if (letter == u'o')
        return NoteState::PutAway;
    return std::nullopt;
}

char colourLetter(NoteColour colour, NoteSize size)
{
    const bool medium = size == NoteSize::Medium;
    switch (colour) {
    case NoteColour::Cyan:
        return medium ? 'b' : 'a';
    case NoteColour::Green:
        return medium ? 'd' : 'v';
    case NoteColour::Yellow:
        break;
    }
    return medium ? 'k' : 'h';
}

NoteColour colourOfLetter(QChar letter, NoteSize programSize)
{
    const bool medium = programSize == NoteSize::Medium;
    if (letter == QLatin1Char(medium ? 'b' : 'a'))
        return NoteColour::Cyan;
    if (letter == QLatin1Char(medium ? 'd' : 'v'))
        return NoteColour::Green;
    return NoteColour::Yellow;
}

NoteSize sizeOfColourLetter(QChar letter)
{
    if (letter == u'b' || letter == u'd' || letter == u'k')
        return NoteSize::Medium;
    return NoteSize::Normal;
}

bool isColourLetter(QChar letter)
{
    return letter == u'a' || letter == u'v' || letter == u'h' || letter == u'b' || letter == u'd'
           || letter == u'k';
}

char sizeLetter(int points)
{
    if (points < 11)
        return 's';
    if (points > 13)
        return 'm';
    return 'n';
}

int pointsOfSizeLetter(QChar letter)
{
    if (letter == u's')
        return 10;
    if (letter == u'm')
        return 14;
    return 12;
}

bool isSizeLetter(QChar letter)
{
    return letter == u's' || letter == u'n' || letter == u'm';
}

QString alertField(int alertMinutes)
{
    return zeroPaddedTail(alertMinutes, 4);
}

QString stampField(int stamp)
{
    return zeroPaddedTail(stamp, 5);
}

int stampOf(QTime time)
{
    return time.msecsSinceStartOfDay() / 1000;
}

int colourDigit(NoteColour colour)
{
    switch (colour) {
    case NoteColour::Yellow:
        return 1;
    case NoteColour::Cyan:
        return 2;
    case NoteColour::Green:
        return 3;
    }
    return 1;
}

std::optional<NoteColour> colourOfDigit(int digit)
{
    switch (digit) {
    case 1:
        return NoteColour::Yellow;
    case 2:
        return NoteColour::Cyan;
    case 3:
        return NoteColour::Green;
    }
    return std::nullopt;
}

QString appearanceCode(const Appearance &appearance)
{
    const char size = sizeLetter(appearance.points) == 's'   ? '1'
                      : sizeLetter(appearance.points) == 'm' ? '3'
                                                             : '2';
    const char code[] = {char('0' + colourDigit(appearance.colour)), size};
    return QString::fromLatin1(code, 2);
}

QDate NoteName::date() const
{
    return dateOfDayNumber(day);
}

NoteColour NoteName::colour() const
{
    return colourOfLetter(QLatin1Char(colourLetter), noteSize());
}

NoteSize NoteName::noteSize() const
{
    return sizeOfColourLetter(QLatin1Char(colourLetter));
}

bool isValid(const NoteName &name)
{
    return name.day >= 0 && name.day <= maxDay
           && isColourLetter(QLatin1Char(name.colourLetter)) && name.alertMinutes >= 0
           && name.alertMinutes < minutesPerDay && isSizeLetter(QLatin1Char(name.sizeLetter))
           && name.stamp >= 0 && name.stamp < secondsPerDay;
}

std::optional<QString> encodeNoteName(const NoteName &name)
{
    if (!isValid(name))
        return std::nullopt;
    QString text;
    text.reserve(1 + maxDayDigits + tailLength);
    text += QLatin1Char(stateLetter(name.state));
    text += QString::number(name.day);
    text += QLatin1Char(name.colourLetter);
    text += alertField(name.alertMinutes);
    text += QLatin1Char(name.sizeLetter);
    text += stampField(name.stamp);
    text += QLatin1String(".dat");
    return text;
}

std::optional<NoteName> decodeNoteName(QStringView bareName)
{
    const qsizetype dayDigits = bareName.size() - 1 - tailLength;
    if (dayDigits < 1 || dayDigits > maxDayDigits)
        return std::nullopt;
    const auto state = stateOfLetter(bareName[0]);
    if (!state)
        return std::nullopt;
    // No leading zeros: every day has one spelling, so a name maps to one note and back.
    if (dayDigits > 1 && bareName[1] == u'0')
        return std::nullopt;
    const int day = digitsValue(bareName, 1, dayDigits);
    if (day < 0)
        return std::nullopt;

    const QStringView tail = bareName.sliced(1 + dayDigits);
    if (tail.sliced(extensionOffset) != QLatin1String(".dat"))
        return std::nullopt;
    const QChar colour = tail[colourOffset];
    const QChar size = tail[sizeOffset];
    if (!isColourLetter(colour) || !isSizeLetter(size))
        return std::nullopt;
    const int alert = digitsValue(tail, alertOffset, 4);
    const int stamp = digitsValue(tail, stampOffset, 5);
    if (alert < 0 || alert >= minutesPerDay || stamp < 0 || stamp >= secondsPerDay)
        return std::nullopt;

    return NoteName{*state,
                    day,
                    static_cast<char>(colour.unicode()),
                    alert,
                    static_cast<char>(size.unicode()),
                    stamp};
}

std::optional<QString> withState(QStringView bareName, NoteState state)
{
    if (!decodeNoteName(bareName))
        return std::nullopt;
    QString renamed = bareName.toString();
    renamed[0] = QLatin1Char(stateLetter(state));
    return renamed;
}

} // namespace promemo
