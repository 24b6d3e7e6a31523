#include "addressbook/core/vcard.h"

#include "common/linebreaks.h"
#include "common/logging.h"

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
        for (const Row &row : sheets[std::size_t(sheet)]) {
            // A cell is one line, also where an older file holds a line break or a TAB in it.
            Contact contact{asOneLine(row.name.text).trimmed(), asOneLine(row.number.text).trimmed(),
                            sheetCaption(sheet)};
            if (!contact.name.isEmpty() || !contact.number.isEmpty())
                contacts.append(contact);
        }
    }
    return contacts;
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

QByteArray encodeVCards(const QList<Contact> &contacts)
{
    QByteArray out;
    out.reserve(contacts.size() * 120);
    for (const Contact &contact : contacts) {
        appendLine(out, QStringLiteral("BEGIN:VCARD"));
        appendLine(out, QStringLiteral("VERSION:4.0"));
        const QString &shown = contact.name.isEmpty() ? contact.number : contact.name;
        appendLine(out, QStringLiteral("FN:") + escapedText(shown));
        if (!contact.number.isEmpty())
            appendLine(out, QStringLiteral("TEL;VALUE=text:") + escapedText(contact.number));
        appendLine(out, QStringLiteral("CATEGORIES:") + escapedText(contact.category));
        appendLine(out, QStringLiteral("END:VCARD"));
    }
    return out;
}

WriteResult writeVCardFile(DataFile &file, const QString &path)
{
    std::array<Sheet, kSheets> sheets{};
    for (int sheet = 0; sheet < kSheets; ++sheet)
        file.readSheet(sheet, sheets[std::size_t(sheet)]);
    const WriteResult written = writeFileAtomically(path, encodeVCards(contactsOf(sheets)));
    if (!written)
        qCWarning(lcFiles).noquote() << written.error;
    return written;
}

} // namespace promemo::rubrica
