#pragma once

#include <QByteArray>
#include <QString>

// Windows-1252, the single-byte encoding of every data file of the suite.
namespace promemo::cp1252 {

QString decode(QByteArrayView bytes);
// Characters Windows-1252 cannot hold become '?'.
QByteArray encode(QStringView text);

} // namespace promemo::cp1252
