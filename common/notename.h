#pragma once

#include <QDate>
#include <QString>
#include <QStringView>
#include <QTime>

#include <optional>

// Note-file names. A bare name is the state letter, the day number, then a fixed-width tail:
// colour letter (1), alert minutes (4), size letter (1), stamp (5) and ".dat", e.g.
// "n9835h0570n78244.dat". The tail is read from the end, so the day number may have any
// number of digits (five from 19 May 2027 on).
namespace promemo {

enum class NoteState { Shown, PutAway };   // "n", "o"
enum class NoteSize { Normal, Medium };    // the two builds of the note program
enum class NoteColour { Yellow, Cyan, Green };

struct Rgb
{
    int red = 0;
    int green = 0;
    int blue = 0;

    friend constexpr bool operator==(const Rgb &, const Rgb &) = default;
};

inline constexpr Rgb lightYellow{255, 255, 213};
inline constexpr Rgb lightCyan{221, 255, 255};
inline constexpr Rgb lightGreen{221, 255, 221};

Rgb rgbOf(NoteColour colour);

char stateLetter(NoteState state);
std::optional<NoteState> stateOfLetter(QChar letter);

// Normal notes use "a", "v", "h"; medium notes "b", "d", "k".
char colourLetter(NoteColour colour, NoteSize size);
// Reading as the note program of `programSize` does: its cyan or green letter, else yellow.
NoteColour colourOfLetter(QChar letter, NoteSize programSize);
// The build that reopens a note: "b", "d", "k" are medium notes, any other letter normal.
NoteSize sizeOfColourLetter(QChar letter);
bool isColourLetter(QChar letter);

// "s" below 11 points, "n" 11 to 13, "m" above 13.
char sizeLetter(int points);
// "s" 10 points, "m" 14, anything else 12.
int pointsOfSizeLetter(QChar letter);
bool isSizeLetter(QChar letter);

// The fixed-width fields: "0000" prefixed, then cut to the last four (alert) or five (stamp).
QString alertField(int alertMinutes);
QString stampField(int stamp);
// Whole seconds since midnight.
int stampOf(QTime time);

// The colour digit of the settings and of the appearance code: 1 yellow, 2 cyan, 3 green.
int colourDigit(NoteColour colour);
std::optional<NoteColour> colourOfDigit(int digit);

// The two-digit argument of the new-note programs: colour 1 yellow, 2 cyan, 3 green, then size
// 1 = 10, 2 = 12, 3 = 14 points.
struct Appearance
{
    NoteColour colour = NoteColour::Yellow;
    int points = 12;
};
QString appearanceCode(const Appearance &appearance);

struct NoteName
{
    NoteState state = NoteState::Shown;
    int day = 0;
    char colourLetter = 'h';
    int alertMinutes = 0;   // 0: no alert
    char sizeLetter = 'n';
    int stamp = 0;          // whole seconds since midnight when written

    QDate date() const;
    NoteColour colour() const;   // read by the build the colour letter belongs to
    NoteSize noteSize() const;

    friend bool operator==(const NoteName &, const NoteName &) = default;
};

// Whether every field is one the suite writes: a day from 0 on, a known colour and size letter,
// alert minutes within one day, a stamp within one day.
bool isValid(const NoteName &name);

// The bare file name, or nullopt when a field is out of range.
std::optional<QString> encodeNoteName(const NoteName &name);

// Reads a bare name. Anything not exactly of the suite's form (other letters, non-ASCII digits,
// leading zeros in the day, out-of-range fields, folders or anything else around the name) gives
// nullopt, so a decoded name is safe to join to the program folder.
std::optional<NoteName> decodeNoteName(QStringView bareName);

// The same name with another state letter ("n9835..." -> "o9835..."); nullopt when `bareName`
// does not decode.
std::optional<QString> withState(QStringView bareName, NoteState state);

} // namespace promemo
