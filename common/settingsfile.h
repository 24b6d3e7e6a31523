#pragma once

#include <QByteArray>
#include <QString>

#include "common/atomicfile.h"

#include <optional>

// Private-profile (INI) access to the shared settings file: Windows-1252 text, CR LF lines,
// "[section]" headers and "key=value" lines. Section and key names match without regard to
// case; blanks around names and values are not part of them. Every other line (comments,
// blank lines, anything unparsable) is kept byte for byte when a key is written.

namespace promemo {

// Readers ask for at most this many characters, including the terminator the classic call
// stores, so a value longer than seven characters comes back cut to seven.
inline constexpr qsizetype kProfileBufferLength = 8;
inline constexpr QStringView kProfileDefault = u"Default";

// The value of `key` in `section` of the INI text `ini`, untrimmed length; nullopt when the
// section or the key is absent. The first matching section and key win.
std::optional<QString> findProfileValue(QByteArrayView ini, QStringView section, QStringView key);

// `ini` with `key` of `section` set to `value`: changed in place, or added after the last
// entry of its section, or added with a new section at the end. nullopt when the names or the
// value cannot be stored (empty names, line breaks, "=" in a key, "]" in a section name).
std::optional<QByteArray> setProfileValue(QByteArrayView ini, QStringView section, QStringView key,
                                          QStringView value);

// One settings file, read afresh at every call so that a value another program wrote is seen.
class SettingsFile
{
public:
    explicit SettingsFile(QString path);

    const QString &path() const { return m_path; }

    // The stored value cut to seven characters, or "Default" when the file, section or key is
    // absent. An empty value gives an empty text: the classic call stores only the terminator,
    // so its first character is a NUL, which every interpretation rule treats as a non-digit.
    QString read(QStringView section, QStringView key) const;

    // Stores `value`, creating the file, section or key when absent. Two processes writing at
    // once both keep their keys: the rewrite runs under a lock and replaces the file atomically.
    // False when the value cannot be stored, the existing file is read-only or unreadable, or
    // the lock or the replacement fails.
    WriteResult write(QStringView section, QStringView key, QStringView value) const;

private:
    QString m_path;
};

} // namespace promemo
