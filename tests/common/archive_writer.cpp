// Prepends numbered records to an archive, as one note program saving again and again would.
// Usage: archive_writer <archive path> <tag> <count>
#include <QString>

#include "common/archive.h"

using namespace promemo;

int main(int argc, char **argv)
{
    if (argc != 4)
        return 2;
    const QString path = QString::fromLocal8Bit(argv[1]);
    const QString tag = QString::fromLocal8Bit(argv[2]);
    const int count = QString::fromLocal8Bit(argv[3]).toInt();
    for (int i = 0; i < count; ++i) {
        const ArchiveRecord record =
            archiveRecordOf("05/12/2026", "", tag + QLatin1Char(' ') + QString::number(i),
                            "05/12/2026 10.00");
        if (!prependToArchive(path, record))
            return 1;
    }
    return 0;
}
