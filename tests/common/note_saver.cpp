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
    const NoteFiles files{QString::fromLocal8Bit(argv[1])};
    const QStringList notes = QDir(files.folder).entryList({"n*.dat"}, QDir::Files, QDir::Name);
    // Goes on from the newest note, as a reopened note would.
    HeldNoteFile held;
    int stamp = 0;
    if (!notes.isEmpty()) {
        auto opened = files.open(notes.back());
        if (!opened)
            return 1;
        held = std::move(opened->file);
        stamp = decodeNoteName(held.name())->stamp + 1;
    }
    for (int save = 2 * stamp;; ++save) {
        const NoteName name{NoteState::Shown, 9835, 'h', 0, 'n', (save / 2) % 86400};
        if (!files.save(name, fixtures::savedVersion(save % 2), held))
            return 1;
        // The test waits for the first of these, then kills us at a random moment after it.
        std::fputs("saved\n", stdout);
    }
}
