#include "note/core/notestart.h"

#include "common/datetexts.h"
#include "common/duenotes.h"
#include "common/notefile.h"
#include "common/clock.h"

namespace promemo::note {

std::optional<StartedNote> openNote(const QString &argument, NoteSize programSize,
                                    const IClock &clock, const QString &folder,
                                    OpenFailure *failure)
{
    const auto name = decodeNoteName(argument);
    auto opened = NoteFiles{folder}.open(argument, failure);
    if (!name || !opened)
        return std::nullopt;
    const NoteContent *content = &opened->content;

    StartedNote started;
    Note &note = started.note;
    note.size = programSize;
    note.firstSavePending = true;
    note.text = content->text;
    // A date that cannot be read shows the note for today, text kept.
    note.date = parseDateText(content->date).value_or(clock.today());
    const auto minutes = parseAlertText(content->alertTime);
    note.alertMinutes = minutes.value_or(noAlert);
    note.alertText = minutes ? content->alertTime : QString();
    note.changed = content->changed;
    note.file = std::move(opened->file);
    note.colour = colourOfLetter(QChar::fromLatin1(name->colourLetter), programSize);
    note.points = pointsOfSizeLetter(QChar::fromLatin1(name->sizeLetter));

    if (note.alertMinutes == noAlert) {
        started.placement = Placement::ShowAndSave;
    } else if (isMomentDue(note.date, note.alertMinutes, clock.now())) {
        started.placement = Placement::AlertPassed;
    } else {
        started.placement = Placement::Topmost;
    }
    return started;
}

StartedNote newNote(const QString &appearanceCode, NoteSize programSize, const IClock &clock)
{
    StartedNote started;
    Note &note = started.note;
    note.size = programSize;
    note.date = clock.today();
    const QChar first = appearanceCode.isEmpty() ? QChar() : appearanceCode.front();
    const QChar last = appearanceCode.isEmpty() ? QChar() : appearanceCode.back();
    note.colour = first == u'2'   ? NoteColour::Cyan
                  : first == u'3' ? NoteColour::Green
                                  : NoteColour::Yellow;
    note.points = last == u'1' ? 10 : last == u'3' ? 14 : 12;
    Aggiorna_Registrazione(note, clock);
    started.placement = Placement::New;
    return started;
}

} // namespace promemo::note
