#pragma once

#include <QString>

#include "common/notefile.h"

// The two versions of one note that note_saver writes in turn.
namespace promemo::fixtures {

inline NoteContent savedVersion(int which)
{
    const QString line = which == 0 ? QString::fromUtf8("prima versione: caffè, città, 5 €")
                                    : QString::fromUtf8("seconda versione: perché sì");
    QString text;
    for (int i = 0; i < 200; ++i)
        text += line + QStringLiteral(" %1\r\n").arg(i);
    return {text, QStringLiteral("05/12/2026"), which == 0 ? QStringLiteral("09.30") : QString(),
            QStringLiteral("05/12/2026 21.44")};
}

inline QString savedName(int index)
{
    return QStringLiteral("n9835h0570n%1.dat").arg(index % 100000, 5, 10, QLatin1Char('0'));
}

} // namespace promemo::fixtures
