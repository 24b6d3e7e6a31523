#pragma once

#include <QString>
#include <QStringList>

// The printed page of a note, as lines.
namespace promemo::note {

inline constexpr auto kPrintFontFamily = "Arial";
inline constexpr int kPrintFontPoints = 12;

// Stampa_Testo1: one line of the note as printed, cut at most once. Lines up to 49 characters
// stay whole; a longer one breaks after the first blank from character 45 on when that blank
// is within the first 60 characters (the rest trimmed of blanks), else after character 60.
QStringList Stampa_Testo1(const QString &line);

// The whole page: four empty lines, the header with the time of last change, two empty lines,
// then every line of the text (CR LF, CR or LF ends a line) through Stampa_Testo1.
QStringList notePageLines(const QString &changeTime, const QString &text);

} // namespace promemo::note
