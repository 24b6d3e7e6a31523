#pragma once

#include <QString>

#include "common/notename.h"
#include "common/settingsfile.h"

// The keys of Notino.ini and how every reader interprets them. Readers look at the first
// character of the value only; a missing key reads as "Default", whose "D" is a non-digit.

namespace promemo {

inline constexpr QStringView kSettingsFileName = u"Notino.ini";

namespace ini {
namespace section {
inline constexpr QStringView Opzioni = u"Opzioni";
inline constexpr QStringView Versione = u"Versione";
inline constexpr QStringView Calendario = u"Calendario";
inline constexpr QStringView Rubrica = u"Rubrica";
} // namespace section
namespace key {
inline constexpr QStringView colore = u"colore";
inline constexpr QStringView fontsize = u"fontsize";
inline constexpr QStringView grandezza = u"grandezza";
inline constexpr QStringView showelenco = u"showelenco";
inline constexpr QStringView sound = u"sound";
inline constexpr QStringView numvers = u"numvers";
inline constexpr QStringView codvers = u"codvers";
inline constexpr QStringView holycheck = u"holycheck";
inline constexpr QStringView postcheck = u"postcheck";
inline constexpr QStringView rubrcheck = u"rubrcheck";
inline constexpr QStringView ColTasti = u"ColTasti";
inline constexpr QStringView ColSfondo = u"ColSfondo";
inline constexpr QStringView notifiche = u"notifiche";
inline constexpr QStringView calendario_ics = u"calendario_ics";
inline constexpr QStringView rubrica_vcf = u"rubrica_vcf";
} // namespace key
inline constexpr QStringView numversValue = u"1600";
inline constexpr QStringView codversValue = u"1.6 ";
} // namespace ini

// Note colour and note size (normal: Kundo, medium: Kespo) are those of the note-file names.
enum class TextSize { Small = 1, Normal = 2, Medium = 3 }; // 10, 12, 14 points
enum class ShowList { Always = 1, Today = 2, SevenDays = 3, Never = 4 };
enum class CalendarCheck { SundaysInRed, NoteDays, Recurrences };
// What the suite tells the desktop: alerts as notifications ([Opzioni] notifiche), the notes and
// recurrences as Promemo.ics ([Calendario] calendario_ics), the address book as Rubrica.vcf
// ([Rubrica] rubrica_vcf).
enum class DesktopFeature { Notifications, CalendarFile, ContactsFile };

// The first character of a read value; an empty value gives the NUL the classic buffer holds.
QChar firstCharacter(QStringView value);
// The first character as a number; a non-digit counts as 0.
int leadingDigit(QStringView value);

// Interpretation rules, one per key (the options dialog and the launcher agree on each).
NoteColour noteColourSetting(QStringView value);  // 1..3, else yellow
TextSize textSizeSetting(QStringView value);      // 1..3, else 12 points
NoteSize noteSizeSetting(QStringView value);      // 2 is medium, anything else normal
ShowList showListSetting(QStringView value);      // "2", "3", "4"; any other character always
bool soundSetting(QStringView value);             // on only for a leading "1"
bool checkBoxSetting(QStringView value);          // ticked for a leading digit other than 0
int addressBookColourSetting(QStringView value);  // 0..7; 8 or 9 gives 1, a non-digit 0
bool featureSetting(QStringView value);           // on unless the value begins with "0"

int pointSize(TextSize size);
// The two-digit argument of the new-note programs: colour digit, then text-size digit.
QString appearanceCode(NoteColour colour, TextSize size);

// Typed access to one settings file; every accessor reads the file afresh.
class Settings
{
public:
    explicit Settings(QString iniPath);
    // Notino.ini in the program folder.
    static Settings inProgramFolder();

    const SettingsFile &file() const { return m_file; }

    NoteColour noteColour() const;
    TextSize textSize() const;
    NoteSize noteSize() const;
    ShowList showList() const;
    bool sound() const;
    QString appearanceCode() const;
    bool calendarCheck(CalendarCheck check) const;
    int tabColour() const;   // ColTasti
    int sheetColour() const; // ColSfondo
    bool desktopFeature(DesktopFeature feature) const;

    // numvers, then codvers; the first failure ends it.
    WriteResult writeVersion() const;
    WriteResult setNoteColour(NoteColour colour) const;
    WriteResult setTextSize(TextSize size) const;
    WriteResult setNoteSize(NoteSize size) const;
    WriteResult setShowList(ShowList when) const;
    WriteResult setSound(bool on) const;
    WriteResult setCalendarCheck(CalendarCheck check, bool on) const;
    // ColSfondo, then ColTasti, as the address book's options write them.
    WriteResult setAddressBookColours(int sheetColour, int tabColour) const;

private:
    QString read(QStringView section, QStringView key) const;
    WriteResult writeNumber(QStringView section, QStringView key, int value) const;

    SettingsFile m_file;
};

} // namespace promemo
