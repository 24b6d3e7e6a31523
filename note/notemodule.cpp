#include "note/notemodule.h"

#include <QDir>
#include <QFileInfo>

#include "common/archive.h"
#include "common/datetexts.h"
#include "common/daynumber.h"
#include "common/notefile.h"
#include "note/noterules.h"
#include "platform/clock.h"

namespace promemo::note {

namespace {

QString pathIn(const QString &folder, const QString &bareName)
{
    return QDir(folder).filePath(bareName);
}

// Only a name of the suite's form stands for a file; "nessuno" and empty never do.
bool hasFile(const Note &note)
{
    return decodeNoteName(note.currentFile).has_value();
}

} // namespace

bool Salva_Nota(Note &note, const IClock &clock, const QString &folder)
{
    if (!isSavableText(note.text) || note.alertFired)
        return false;
    if (note.text == note.lastSavedText && !note.forceSave)
        return false;
    if (!note.date.isValid())
        return false;

    const NoteName name{NoteState::Shown,     dayNumber(note.date),
                        colourLetter(note.colour, note.size),
                        note.alertMinutes,    sizeLetter(note.points),
                        stampOf(clock.now().time())};
    const auto fileName = encodeNoteName(name);
    if (!fileName)
        return false;

    if (note.alertText == u"00.00")
        note.alertText.clear();
    const NoteContent content{note.text, dateText(note.date), note.alertText, note.changed};
    const QString previous = hasFile(note) ? note.currentFile : QString();
    if (!replaceNoteFile(folder, previous, *fileName, content))
        return false;

    note.lastSavedText = note.text;
    note.forceSave = false;
    note.currentFile = *fileName;
    if (note.firstSavePending)
        note.firstSavePending = false;
    else
        Archivia(note, folder);
    return true;
}

void Archivia(const Note &note, const QString &folder)
{
    prependToArchive(pathIn(folder, QString::fromLatin1(kArchiveFileName)),
                     archiveRecordOf(dateText(note.date), note.alertText, note.text, note.changed));
}

void Aggiorna_Registrazione(Note &note, const IClock &clock)
{
    note.changed = changedText(clock.now());
}

LineCounter Conta_Righe(int lineCount, NoteSize size, int points)
{
    if (lineCount > visibleLines(size, points))
        return {QStringLiteral("| %1 |").arg(lineCount), true};
    return {QString::number(lineCount), false};
}

bool putAway(Note &note, const IClock &clock, const QString &folder)
{
    if (note.alertFired)
        return false;
    Salva_Nota(note, clock, folder);
    if (hasFile(note) && putNoteAway(folder, note.currentFile))
        note.currentFile = *withState(note.currentFile, NoteState::PutAway);
    return note.alertMinutes > 0 && note.date == clock.today();
}

void deleteCurrentFile(const Note &note, const QString &folder)
{
    if (!hasFile(note))
        return;
    const QString path = pathIn(folder, note.currentFile);
    if (QFileInfo(path).isFile())
        QFile::remove(path);
}

} // namespace promemo::note
