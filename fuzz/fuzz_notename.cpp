#include "common/notename.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

// Whatever the decoder accepts must encode back to the very same text, and renaming must only
// change the first letter.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString text = QString::fromLatin1(reinterpret_cast<const char *>(data),
                                              static_cast<qsizetype>(size));
    const auto name = promemo::decodeNoteName(text);
    const auto putAway = promemo::withState(text, promemo::NoteState::PutAway);
    if (!name) {
        if (putAway)
            std::abort();
        return 0;
    }
    const auto encoded = promemo::encodeNoteName(*name);
    if (!encoded || *encoded != text)
        std::abort();
    if (!putAway || putAway->size() != text.size() || putAway->at(0) != u'o'
        || putAway->sliced(1) != text.sliced(1))
        std::abort();
    // Every decoded name stays a plain file name inside the folder.
    if (text.contains(u'/') || text.contains(u'\\') || text.contains(QLatin1String("..")))
        std::abort();
    return 0;
}
