// Prepends numbered records to an archive, as one note program saving again and again would.
// Usage: archive_writer <archive path> <tag> <count>
#include <cstdlib>

#include "common/archive.h"

using namespace promemo;

int main(int argc, char **argv)
{
    if (argc != 4)
        return 2;
    const QString path = QString::fromLocal8Bit(argv[1]);
    const QString tag = QString::fromLocal8Bit(argv[2]) + QLatin1Char(' ');
    for (int i = 0; i < std::atoi(argv[3]); ++i) {
        if (!prependToArchive(path, archiveRecordOf("05/12/2026", "", tag + QString::number(i),
                                                    "05/12/2026 10.00")))
            return 1;
    }
    return 0;
}
