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
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const QStringList notes = QDir(folder).entryList({"n*.dat"}, QDir::Files, QDir::Name);
    QString previous = notes.value(notes.size() - 1); // the newest, or none
    for (int save = 2 * previous.mid(1, 5).toInt() + 2;; ++save) {
        const QString name = QStringLiteral("n%1.dat").arg(save / 2, 5, 10, QLatin1Char('0'));
        if (!replaceNoteFile(folder, previous, name, fixtures::savedVersion(save % 2)))
            return 1;
        previous = name;
        // The test waits for the first of these, then kills us at a random moment after it.
        std::fputs("saved\n", stdout);
    }
}
