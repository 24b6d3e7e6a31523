// Saves one note over and over as the note program does, alternating two versions and moving to
// a new name every second save, until it is killed. Usage: note_saver <folder>
#include <cstdio>

#include <QDir>

#include "common/notefile.h"
#include "savedversions.h"

using namespace promemo;

int main(int argc, char **argv)
{
    if (argc != 2)
        return 2;
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const QStringList notes = QDir(folder).entryList({QStringLiteral("n*.dat")}, QDir::Files,
                                                     QDir::Name);
    QString previous = notes.isEmpty() ? QString() : notes.last();
    int save = previous.isEmpty() ? 0 : 2 * previous.mid(11, 5).toInt() + 1;

    for (bool first = true;; first = false) {
        ++save;
        const QString name = fixtures::savedName(save / 2);
        if (!replaceNoteFile(folder, previous, name, fixtures::savedVersion(save % 2)))
            return 1;
        previous = name;
        // The test kills us at a random moment after this, so always in the middle of saving.
        if (first) {
            std::fputs("saving\n", stdout);
            std::fflush(stdout);
        }
    }
}
