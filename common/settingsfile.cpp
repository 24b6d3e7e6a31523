#include "settingsfile.h"

#include <QFile>
#include <QFileInfo>

#include <utility>
#include <vector>

#include "common/atomicfile.h"
#include "common/cp1252.h"
#include "common/logging.h"

namespace promemo {
namespace {

enum class LineKind { Other, Section, Entry };

struct IniLine
{
    qsizetype begin = 0;
    qsizetype contentEnd = 0; // before the line end
    qsizetype end = 0;        // after the line end
    LineKind kind = LineKind::Other;
    QString name;             // section or key name, trimmed
    qsizetype afterEquals = 0;
    qsizetype valueBegin = 0; // first byte of the value (blanks after "=" skipped)
    bool blank = false;
    bool blankOrComment = false;
};

bool isBlank(QChar c)
{
    return c.isSpace();
}

IniLine classify(QByteArrayView ini, qsizetype begin, qsizetype contentEnd, qsizetype end)
{
    IniLine line;
    line.begin = begin;
    line.contentEnd = contentEnd;
    line.end = end;
    const QString text = cp1252::decode(ini.sliced(begin, contentEnd - begin));
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty() || trimmed.startsWith(u';')) {
        line.blank = trimmed.isEmpty();
        line.blankOrComment = true;
        return line;
    }
    if (trimmed.startsWith(u'[')) {
        const qsizetype close = trimmed.indexOf(u']');
        if (close < 0)
            return line;
        line.kind = LineKind::Section;
        line.name = trimmed.sliced(1, close - 1).trimmed();
        return line;
    }
    const qsizetype equals = text.indexOf(u'=');
    if (equals < 0)
        return line;
    line.name = text.first(equals).trimmed();
    if (line.name.isEmpty())
        return line;
    line.kind = LineKind::Entry;
    line.afterEquals = begin + equals + 1;
    qsizetype value = equals + 1;
    while (value < text.size() && isBlank(text.at(value)))
        ++value;
    line.valueBegin = begin + value;
    return line;
}

// Lines end at LF, CR LF or a lone CR; the last line may have no line end.
std::vector<IniLine> splitLines(QByteArrayView ini)
{
    std::vector<IniLine> lines;
    qsizetype pos = 0;
    while (pos < ini.size()) {
        qsizetype stop = pos;
        while (stop < ini.size() && ini[stop] != '\n' && ini[stop] != '\r')
            ++stop;
        qsizetype next = stop;
        if (next < ini.size() && ini[next] == '\r')
            ++next;
        if (next < ini.size() && ini[next] == '\n')
            ++next;
        lines.push_back(classify(ini, pos, stop, next));
        pos = next;
    }
    return lines;
}

bool sameName(const QString &stored, QStringView wanted)
{
    return QStringView(stored).compare(wanted, Qt::CaseInsensitive) == 0;
}

struct Located
{
    qsizetype section = -1;   // index of the section's header line
    qsizetype lastEntry = -1; // last line of the section that is neither blank nor a comment
    qsizetype entry = -1;     // index of the key's line
};

Located locate(const std::vector<IniLine> &lines, QStringView section, QStringView key)
{
    Located found;
    const QStringView wantedSection = section.trimmed();
    const QStringView wantedKey = key.trimmed();
    for (qsizetype i = 0; i < qsizetype(lines.size()); ++i) {
        const IniLine &line = lines[i];
        if (line.kind == LineKind::Section) {
            if (found.section >= 0)
                break;
            if (sameName(line.name, wantedSection)) {
                found.section = i;
                found.lastEntry = i;
            }
            continue;
        }
        if (found.section < 0)
            continue;
        if (!line.blankOrComment)
            found.lastEntry = i;
        if (line.kind == LineKind::Entry && sameName(line.name, wantedKey)) {
            found.entry = i;
            break;
        }
    }
    return found;
}

bool hasLineBreak(QStringView text)
{
    return text.contains(u'\r') || text.contains(u'\n');
}

bool storable(QStringView section, QStringView key, QStringView value)
{
    if (hasLineBreak(section) || hasLineBreak(key) || hasLineBreak(value))
        return false;
    const QStringView s = section.trimmed();
    const QStringView k = key.trimmed();
    if (s.isEmpty() || k.isEmpty())
        return false;
    // A key starting like a comment or a header would not read back as a key.
    if (s.contains(u']') || k.contains(u'=') || k.startsWith(u';') || k.startsWith(u'['))
        return false;
    return true;
}

const QByteArray kLineEnd = QByteArrayLiteral("\r\n");

} // namespace

std::optional<QString> findProfileValue(QByteArrayView ini, QStringView section, QStringView key)
{
    const std::vector<IniLine> lines = splitLines(ini);
    const Located found = locate(lines, section, key);
    if (found.entry < 0)
        return std::nullopt;
    const IniLine &line = lines[found.entry];
    return cp1252::decode(ini.sliced(line.valueBegin, line.contentEnd - line.valueBegin)).trimmed();
}

std::optional<QByteArray> setProfileValue(QByteArrayView ini, QStringView section, QStringView key,
                                          QStringView value)
{
    if (!storable(section, key, value))
        return std::nullopt;
    const std::vector<IniLine> lines = splitLines(ini);
    const Located found = locate(lines, section, key);
    const QByteArray encodedValue = cp1252::encode(value);

    QByteArray out;
    out.reserve(ini.size() + key.size() + value.size() + section.size() + 8);
    if (found.entry >= 0) {
        // The key keeps its spelling and the blanks around "=": only the value changes. A value
        // that brings its own leading blanks replaces the old ones, so rewriting it is a no-op.
        const IniLine &line = lines[found.entry];
        const bool ownBlanks = !value.isEmpty() && isBlank(value.front());
        out.append(ini.first(ownBlanks ? line.afterEquals : line.valueBegin));
        out.append(encodedValue);
        out.append(ini.sliced(line.contentEnd));
        return out;
    }

    const QByteArray entry = cp1252::encode(key.trimmed()) + '=' + encodedValue + kLineEnd;
    if (found.section >= 0) {
        const IniLine &after = lines[found.lastEntry];
        out.append(ini.first(after.end));
        if (after.end == after.contentEnd)
            out.append(kLineEnd); // the line had no line end: it was the last one
        out.append(entry);
        out.append(ini.sliced(after.end));
        return out;
    }

    out.append(ini);
    if (!lines.empty()) {
        const IniLine &last = lines.back();
        if (last.end == last.contentEnd)
            out.append(kLineEnd);
        if (!last.blank)
            out.append(kLineEnd); // a blank line between sections
    }
    out.append('[' + cp1252::encode(section.trimmed()) + ']' + kLineEnd);
    out.append(entry);
    return out;
}

SettingsFile::SettingsFile(QString path) : m_path(std::move(path)) {}

QString SettingsFile::read(QStringView section, QStringView key) const
{
    const std::optional<QString> value = findProfileValue(readWholeFile(m_path), section, key);
    if (!value)
        return kProfileDefault.toString();
    return value->left(kProfileBufferLength - 1);
}

WriteResult SettingsFile::write(QStringView section, QStringView key, QStringView value) const
{
    const auto fail = [&](const char *why) {
        const QString error = QStringLiteral("%1 not written to %2: %3")
                                  .arg(key.toString(), m_path, QString::fromLatin1(why));
        qCWarning(lcFiles).noquote() << error;
        return WriteResult{error};
    };
    if (!storable(section, key, value))
        return fail("the format cannot hold it");
    const FileLock lock(m_path);
    if (!lock.isLocked())
        return fail("the lock was not taken");

    QByteArray current;
    const QFileInfo info(m_path);
    if (info.exists()) {
        if (!info.isWritable())
            return fail("the file is read-only");
        QFile file(m_path);
        // Rewriting from nothing would lose every other key.
        if (!file.open(QIODevice::ReadOnly))
            return fail("the file cannot be read");
        current = file.readAll();
        if (file.error() != QFileDevice::NoError)
            return fail("the file cannot be read to its end");
    }
    const std::optional<QByteArray> updated = setProfileValue(current, section, key, value);
    if (!updated)
        return fail("no place for the key");
    const WriteResult written = writeFileAtomically(m_path, *updated);
    if (!written)
        qCWarning(lcFiles).noquote() << written.error;
    return written;
}

} // namespace promemo
