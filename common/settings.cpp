#include "settings.h"

#include <utility>

#include "common/programfolder.h"

namespace promemo {
namespace {

bool inRange(int value, int low, int high)
{
    return value >= low && value <= high;
}

QStringView checkKey(CalendarCheck check)
{
    switch (check) {
    case CalendarCheck::SundaysInRed:
        return ini::key::holycheck;
    case CalendarCheck::NoteDays:
        return ini::key::postcheck;
    case CalendarCheck::Recurrences:
        return ini::key::rubrcheck;
    }
    return ini::key::holycheck;
}

} // namespace

QChar firstCharacter(QStringView value)
{
    return value.isEmpty() ? QChar(u'\0') : value.front();
}

int leadingDigit(QStringView value)
{
    const char16_t c = firstCharacter(value).unicode();
    return (c >= u'0' && c <= u'9') ? c - u'0' : 0;
}

NoteColour noteColourSetting(QStringView value)
{
    return colourOfDigit(leadingDigit(value)).value_or(NoteColour::Yellow);
}

TextSize textSizeSetting(QStringView value)
{
    const int n = leadingDigit(value);
    return inRange(n, 1, 3) ? TextSize(n) : TextSize::Normal;
}

NoteSize noteSizeSetting(QStringView value)
{
    return leadingDigit(value) == 2 ? NoteSize::Medium : NoteSize::Normal;
}

ShowList showListSetting(QStringView value)
{
    // The launcher compares the character, the options dialog the number; "0", "1", "5".."9",
    // a letter, an empty value and a missing key all mean always in both.
    const int n = leadingDigit(value);
    return inRange(n, 1, 4) ? ShowList(n) : ShowList::Always;
}

bool soundSetting(QStringView value)
{
    return firstCharacter(value) == u'1';
}

bool checkBoxSetting(QStringView value)
{
    return leadingDigit(value) != 0;
}

bool featureSetting(QStringView value)
{
    return firstCharacter(value) != u'0';
}

int addressBookColourSetting(QStringView value)
{
    const int n = leadingDigit(value);
    return n >= 8 ? 1 : n;
}

int pointSize(TextSize size)
{
    switch (size) {
    case TextSize::Small:
        return 10;
    case TextSize::Normal:
        return 12;
    case TextSize::Medium:
        return 14;
    }
    return 12;
}

QString appearanceCode(NoteColour colour, TextSize size)
{
    return appearanceCode(Appearance{colour, pointSize(size)});
}

Settings::Settings(QString iniPath) : m_file(std::move(iniPath)) {}

Settings Settings::inProgramFolder()
{
    return Settings(programFile(kSettingsFileName.toString()));
}

QString Settings::read(QStringView section, QStringView key) const
{
    return m_file.read(section, key);
}

WriteResult Settings::writeNumber(QStringView section, QStringView key, int value) const
{
    return m_file.write(section, key, QString::number(value));
}

NoteColour Settings::noteColour() const
{
    return noteColourSetting(read(ini::section::Opzioni, ini::key::colore));
}

TextSize Settings::textSize() const
{
    return textSizeSetting(read(ini::section::Opzioni, ini::key::fontsize));
}

NoteSize Settings::noteSize() const
{
    return noteSizeSetting(read(ini::section::Opzioni, ini::key::grandezza));
}

ShowList Settings::showList() const
{
    return showListSetting(read(ini::section::Opzioni, ini::key::showelenco));
}

bool Settings::sound() const
{
    return soundSetting(read(ini::section::Opzioni, ini::key::sound));
}

QString Settings::appearanceCode() const
{
    return promemo::appearanceCode(noteColour(), textSize());
}

bool Settings::calendarCheck(CalendarCheck check) const
{
    return checkBoxSetting(read(ini::section::Calendario, checkKey(check)));
}

bool Settings::desktopFeature(DesktopFeature feature) const
{
    switch (feature) {
    case DesktopFeature::Notifications:
        return featureSetting(read(ini::section::Opzioni, ini::key::notifiche));
    case DesktopFeature::CalendarFile:
        return featureSetting(read(ini::section::Calendario, ini::key::calendario_ics));
    case DesktopFeature::ContactsFile:
        return featureSetting(read(ini::section::Rubrica, ini::key::rubrica_vcf));
    }
    return true;
}

int Settings::tabColour() const
{
    return addressBookColourSetting(read(ini::section::Rubrica, ini::key::ColTasti));
}

int Settings::sheetColour() const
{
    return addressBookColourSetting(read(ini::section::Rubrica, ini::key::ColSfondo));
}

WriteResult Settings::writeVersion() const
{
    if (WriteResult written = m_file.write(ini::section::Versione, ini::key::numvers, ini::numversValue); !written)
        return written;
    return m_file.write(ini::section::Versione, ini::key::codvers, ini::codversValue);
}

WriteResult Settings::setNoteColour(NoteColour colour) const
{
    return writeNumber(ini::section::Opzioni, ini::key::colore, colourDigit(colour));
}

WriteResult Settings::setTextSize(TextSize size) const
{
    return writeNumber(ini::section::Opzioni, ini::key::fontsize, int(size));
}

WriteResult Settings::setNoteSize(NoteSize size) const
{
    return writeNumber(ini::section::Opzioni, ini::key::grandezza, size == NoteSize::Medium ? 2 : 1);
}

WriteResult Settings::setShowList(ShowList when) const
{
    return writeNumber(ini::section::Opzioni, ini::key::showelenco, int(when));
}

WriteResult Settings::setSound(bool on) const
{
    return writeNumber(ini::section::Opzioni, ini::key::sound, on ? 1 : 0);
}

WriteResult Settings::setCalendarCheck(CalendarCheck check, bool on) const
{
    return writeNumber(ini::section::Calendario, checkKey(check), on ? 1 : 0);
}

WriteResult Settings::setAddressBookColours(int sheetColour, int tabColour) const
{
    if (WriteResult written = writeNumber(ini::section::Rubrica, ini::key::ColSfondo, sheetColour); !written)
        return written;
    return writeNumber(ini::section::Rubrica, ini::key::ColTasti, tabColour);
}

} // namespace promemo
