#include "common/settingsfile.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "common/cp1252.h"

// Input: three short names and values, then the file bytes. Reading must never fail, and a key
// written must read back as written (blanks around it dropped) while every other key of the
// file keeps its value.
namespace {

QString takeField(const std::uint8_t *&data, std::size_t &size)
{
    if (size == 0)
        return {};
    const std::size_t length = std::min<std::size_t>(data[0] % 12, size - 1);
    const QString text = promemo::cp1252::decode(
        QByteArrayView(reinterpret_cast<const char *>(data + 1), qsizetype(length)));
    data += length + 1;
    size -= length + 1;
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString section = takeField(data, size);
    const QString key = takeField(data, size);
    const QString value = takeField(data, size);
    const QString otherKey = takeField(data, size);
    const QByteArray ini(reinterpret_cast<const char *>(data), qsizetype(size));

    const std::optional<QString> before = promemo::findProfileValue(ini, section, otherKey);
    const std::optional<QByteArray> written = promemo::setProfileValue(ini, section, key, value);
    if (!written)
        return 0;
    const std::optional<QString> back = promemo::findProfileValue(*written, section, key);
    if (!back || *back != value.trimmed())
        std::abort();
    if (otherKey.trimmed().compare(key.trimmed(), Qt::CaseInsensitive) != 0
        && promemo::findProfileValue(*written, section, otherKey) != before)
        std::abort();
    // Writing the same value again changes nothing.
    if (promemo::setProfileValue(*written, section, key, value) != written)
        std::abort();
    return 0;
}
