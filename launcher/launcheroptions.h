#pragma once

#include <QString>
#include <QStringList>

#include "common/notename.h"
#include "common/settings.h"
#include "platform/captions.h"

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

} // namespace promemo::launcher
