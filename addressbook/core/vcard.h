#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringView>

#include <array>

#include "addressbook/core/addressbook.h"

// The address book as vCard 4.0 (RFC 6350), for contacts programs: Rubrica.vcf in the program
// folder and one card per contact in a vdir, UTF-8, kept by the launcher.
namespace promemo::rubrica {

inline constexpr QStringView kVCardFileName = u"Rubrica.vcf";

struct Contact
{
    QString name;
    QString number;
    QString category; // the caption of the contact's sheet
    QString uid;      // none: the card has no UID
    int record = 0;   // where it is kept in rubri.dat

    bool operator==(const Contact &) const = default;
};

// One contact per row that holds a name or a number, sheet by sheet, row by row; texts without
// their leading and trailing blanks.
QList<Contact> contactsOf(const std::array<Sheet, kSheets> &sheets);

// The 44 sheets as rubri.dat's bytes hold them; records the bytes lack are blank.
std::array<Sheet, kSheets> sheetsOf(QByteArrayView dataFile);

// A text value escaped as RFC 6350 asks: backslash, comma, semicolon and line breaks.
QString escapedText(QStringView text);

// One card, CRLF line ends, lines folded at 75 bytes without splitting a character. FN is the
// name, or the number when the row has no name; TEL holds the number as text.
QByteArray encodeVCard(const Contact &contact);
// The cards one after the other.
QByteArray encodeVCards(const QList<Contact> &contacts);

} // namespace promemo::rubrica
