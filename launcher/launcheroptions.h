#pragma once

#include <QString>
#include <QStringList>

#include "common/notename.h"
#include "common/settings.h"

namespace promemo::launcher {

// The launcher's working options: read at start-up, changed by the options dialog's Apply.
// New notes are started with these.
struct LauncherOptions
{
    NoteColour colour = NoteColour::Yellow;
    TextSize textSize = TextSize::Normal;
    NoteSize noteSize = NoteSize::Normal;
    bool sound = false;

    // Colour digit, then text-size digit ("12").
    QString appearanceCode() const { return promemo::appearanceCode(colour, textSize); }

    static LauncherOptions read(const Settings &settings)
    {
        return {settings.noteColour(), settings.textSize(), settings.noteSize(), settings.sound()};
    }
};

// The programs the launcher needs beside itself, in the order they are checked at start-up.
inline QStringList suitePrograms()
{
    return {QStringLiteral("Kundo"), QStringLiteral("Kalvo"), QStringLiteral("Kespo"),
            QStringLiteral("Kirmo"), QStringLiteral("Vigilo"), QStringLiteral("Elenko"),
            QStringLiteral("Mesaro")};
}

// Window captions the launcher looks for.
inline constexpr char16_t kTrayCaption[] = u"NotinoTray";
inline constexpr char16_t kWatcherCaption[] = u"NotinoControl";
inline constexpr char16_t kNoteCaption[] = u"PromemoX";
inline constexpr char16_t kAddressBookCaption[] = u" Rubrica di Promemo";
inline constexpr char16_t kCalendarCaptionPrefix[] = u" Calendario di Promemo - ";

} // namespace promemo::launcher
