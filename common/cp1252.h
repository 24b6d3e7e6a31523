#pragma once

#include <QByteArray>
#include <QString>

// Windows-1252, the single-byte encoding of every data file of the suite.
namespace promemo::cp1252 {

QString decode(QByteArrayView bytes);
// Characters Windows-1252 cannot hold become '?', one for each (also for an emoji).
QByteArray encode(QStringView text);

// Whether Windows-1252 holds `c`.
bool holds(char32_t c);
// `text` as the files will hold it: composed where that brings a character into Windows-1252
// (an e followed by a combining acute is é), every other character outside it one '?'.
// Windows-1252 text comes back unchanged.
QString storable(QStringView text);

} // namespace promemo::cp1252
