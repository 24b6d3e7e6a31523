#include "note/core/notemodule.h"

#include <QDir>

#include "common/archive.h"
#include "common/datetexts.h"
#include "common/daynumber.h"
#include "common/notefile.h"
#include "note/core/logging.h"
#include "note/core/noterules.h"
#include "common/clock.h"


namespace promemo::note {

namespace {

QString pathIn(const QString &folder, const QString &bareName)
{
    return QDir(folder).filePath(bareName);
}

NoteName saveNameOf(const Note &note, const IClock &clock)
{
    return {NoteState::Shown,     dayNumber(note.date), colourLetter(note.colour, note.size),
            note.alertMinutes,    sizeLetter(note.points), stampOf(clock.now().time())};
}

} // namespace

bool hasUnsavedChanges(const Note &note)
{
    return isSavableText(note.text) && !note.alertFired && note.date.isValid()
           && (note.text != note.lastSavedText || note.forceSave);
}

RecoveredNote recoveryCopyOf(const Note &note, const IClock &clock)
{
    const QString alert = note.alertText == u"00.00" ? QString() : note.alertText;
    return {{note.text, dateText(note.date), alert, note.changed}, saveNameOf(note, clock),
            note.file.name()};
}

SaveResult Salva_Nota(Note &note, const IClock &clock, const QString &folder)
{
    if (!isSavableText(note.text) || note.alertFired)
        return {};
    if (note.text == note.lastSavedText && !note.forceSave)
        return {};
    if (!note.date.isValid())
        return {};

    const NoteName name = saveNameOf(note, clock);
    if (note.alertText == u"00.00")
        note.alertText.clear();
    const NoteContent content{note.text, dateText(note.date), note.alertText, note.changed};
    if (const WriteResult written = NoteFiles{folder}.save(name, content, note.file); !written) {
        qCWarning(lcNote).noquote() << "Note not saved:" << written.error;
        return {SaveResult::Status::Failed, written.error};
    }

    note.lastSavedText = note.text;
    note.forceSave = false;
    if (note.firstSavePending)
        note.firstSavePending = false;
    else
        Archivia(note, folder);
    return {SaveResult::Status::Saved, {}};
}

void Archivia(const Note &note, const QString &folder)
{
    const QString path = pathIn(folder, QString::fromLatin1(kArchiveFileName));
    if (!prependToArchive(path, archiveRecordOf(dateText(note.date), note.alertText, note.text,
                                                note.changed)))
        qCWarning(lcNote) << "Note saved but not archived:" << path;
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

PutAwayResult putAway(Note &note, const IClock &clock, const QString &folder)
{
    if (note.alertFired) {
        if (const WriteResult removed = deleteCurrentFile(note, folder); !removed)
            qCWarning(lcNote).noquote() << removed.error;
        return {};
    }
    if (const SaveResult saved = Salva_Nota(note, clock, folder); saved.failed())
        return {saved.error, false};
    if (const WriteResult renamed = NoteFiles{folder}.putAway(note.file); !renamed)
        return {renamed.error, false};
    // The watcher waits for every alert up to today's: an earlier day's is due at once.
    return {{}, note.alertMinutes > 0 && note.date <= clock.today()};
}

WriteResult deleteCurrentFile(Note &note, const QString &folder)
{
    return NoteFiles{folder}.remove(note.file);
}

SaveResult closeFromOutside(Note &note, const IClock &clock, const QString &folder)
{
    if (!note.alertFired)
        return Salva_Nota(note, clock, folder);
    if (const WriteResult removed = deleteCurrentFile(note, folder); !removed)
        qCWarning(lcNote).noquote() << removed.error;
    return {};
}

} // namespace promemo::note
