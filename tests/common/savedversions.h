#pragma once

#include <QString>

#include "common/notefile.h"

namespace promemo::fixtures {

// The two versions of one note that note_saver writes in turn.
inline NoteContent savedVersion(int which)
{
    QString text;
    for (int i = 0; i < 200; ++i)
        text += QString::fromUtf8(which ? "seconda versione: perché sì %1\r\n"
                                        : "prima versione: caffè, città, 5 € %1\r\n").arg(i);
    return {text, "05/12/2026", which ? "" : "09.30", "05/12/2026 21.44"};
}

} // namespace promemo::fixtures
