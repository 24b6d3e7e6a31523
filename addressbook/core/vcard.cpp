#include "addressbook/core/vcard.h"

#include "common/linebreaks.h"

namespace promemo::rubrica {
namespace {

constexpr qsizetype kMaxLineBytes = 75;

bool isContinuationByte(char byte)
{
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

// One content line, folded: each continuation line starts with a blank, which counts.
void appendLine(QByteArray &out, const QString &line)
{
    const QByteArray bytes = line.toUtf8();
    qsizetype start = 0;
    qsizetype room = kMaxLineBytes;
    while (bytes.size() - start > room) {
        qsizetype cut = start + room;
        while (cut > start && isContinuationByte(bytes[cut]))
            --cut;
        out += bytes.mid(start, cut - start);
        out += "\r\n ";
        start = cut;
        room = kMaxLineBytes - 1;
    }
    out += bytes.mid(start);
    out += "\r\n";
}

} // namespace

QList<Contact> contactsOf(const std::array<Sheet, kSheets> &sheets)
{
    QList<Contact> contacts;
    for (int sheet = 0; sheet < kSheets; ++sheet) {
        for (int row = 1; row <= kRows; ++row) {
            const Row &cells = sheets[std::size_t(sheet)][std::size_t(row - 1)];
            // A cell is one line, also where an older file holds a line break or a TAB in it.
            Contact contact{asOneLine(cells.name.text).trimmed(), asOneLine(cells.number.text).trimmed(),
                            sheetCaption(sheet), {}, recordNumber(sheet, row)};
            if (!contact.name.isEmpty() || !contact.number.isEmpty())
                contacts.append(contact);
        }
    }
    return contacts;
}

std::array<Sheet, kSheets> sheetsOf(QByteArrayView dataFile)
{
    std::array<Sheet, kSheets> sheets{};
    for (int record = 1; record <= kRecords; ++record) {
        const qsizetype at = qsizetype(record - 1) * kRecordSize;
        if (at >= dataFile.size())
            break;
        decodeRecord(dataFile.sliced(at, std::min<qsizetype>(kRecordSize, dataFile.size() - at)),
                     sheets[std::size_t(sheetOfRecord(record))][std::size_t(rowOfRecord(record) - 1)]);
    }
    return sheets;
}

QString escapedText(QStringView text)
{
    QString escaped;
    escaped.reserve(text.size());
    for (const QChar c : withLineFeeds(text.toString())) {
        if (c == u'\n') {
            escaped += u"\\n";
            continue;
        }
        if (c == u'\\' || c == u',' || c == u';')
            escaped += u'\\';
        escaped += c;
    }
    return escaped;
}

QByteArray encodeVCard(const Contact &contact)
{
    QByteArray out;
    appendLine(out, QStringLiteral("BEGIN:VCARD"));
    appendLine(out, QStringLiteral("VERSION:4.0"));
    if (!contact.uid.isEmpty())
        appendLine(out, QStringLiteral("UID:") + contact.uid);
    const QString &shown = contact.name.isEmpty() ? contact.number : contact.name;
    appendLine(out, QStringLiteral("FN:") + escapedText(shown));
    if (!contact.number.isEmpty())
        appendLine(out, QStringLiteral("TEL;VALUE=text:") + escapedText(contact.number));
    appendLine(out, QStringLiteral("CATEGORIES:") + escapedText(contact.category));
    appendLine(out, QStringLiteral("END:VCARD"));
    return out;
}

QByteArray encodeVCards(const QList<Contact> &contacts)
{
    QByteArray out;
    out.reserve(contacts.size() * 160);
    for (const Contact &contact : contacts)
        out += encodeVCard(contact);
    return out;
}

} // namespace promemo::rubrica
