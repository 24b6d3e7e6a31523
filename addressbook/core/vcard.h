#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringView>

#include <array>

#include "addressbook/core/addressbook.h"

// The address book as vCard 4.0 (RFC 6350), for contacts programs: Rubrica.vcf in the program
// folder, UTF-8, rewritten whole after every saved sheet.
namespace promemo::rubrica {

inline constexpr QStringView kVCardFileName = u"Rubrica.vcf";

struct Contact
{
    QString name;
    QString number;
    QString category; // the caption of the contact's sheet

    bool operator==(const Contact &) const = default;
};

// One contact per row that holds a name or a number, sheet by sheet, row by row; texts without
// their leading and trailing blanks.
QList<Contact> contactsOf(const std::array<Sheet, kSheets> &sheets);

// A text value escaped as RFC 6350 asks: backslash, comma, semicolon and line breaks.
QString escapedText(QStringView text);

// The cards, CRLF line ends, lines folded at 75 bytes without splitting a character. FN is the
// name, or the number when the row has no name; TEL holds the number as text.
QByteArray encodeVCards(const QList<Contact> &contacts);

// Rubrica.vcf at `path` rewritten from every sheet of `file`, atomically.
WriteResult writeVCardFile(DataFile &file, const QString &path);

} // namespace promemo::rubrica
