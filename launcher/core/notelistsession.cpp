#include "launcher/core/notelistsession.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <optional>

#include "common/datetexts.h"
#include "common/daynumber.h"
#include "common/duenotes.h"
#include "common/notefile.h"
#include "common/notelisting.h"
#include "common/recurrences.h"
#include "launcher/core/notelist.h"
#include "platform/captions.h"

namespace promemo::launcher {

namespace {

using namespace std::chrono_literals;

const QString kCaption = QStringLiteral("  Elenco Notino");
const QString kCaptionWithRecurrences = QStringLiteral(" Elenco Notino e Ricorrenze");
const QString kPlaceholder = QStringLiteral("          Nessun Notino");
constexpr auto kCloseWatcherBound = 3000ms;

// Lines as a sorted list box orders them: by text, case aside.
void sortLines(QList<NoteListLine> &lines)
{
    std::sort(lines.begin(), lines.end(), [](const NoteListLine &a, const NoteListLine &b) {
        const int order = QString::compare(a.text, b.text, Qt::CaseInsensitive);
        return order != 0 ? order < 0 : a.text < b.text;
    });
}

} // namespace

NoteListSession::NoteListSession(const IClock &clock, IProcessStarter &processes,
                                 IWindowRegistry &windows, QString programFolder, QObject *parent)
    : QObject(parent)
    , m_clock(clock)
    , m_processes(processes)
    , m_windows(windows)
    , m_folder(std::move(programFolder))
{
}

QString NoteListSession::placeholder()
{
    return kPlaceholder;
}

QString NoteListSession::caption() const
{
    return m_recurrencesShown ? kCaptionWithRecurrences : kCaption;
}

QString NoteListSession::file(const QString &bareName) const
{
    return QDir(m_folder).filePath(bareName);
}

int NoteListSession::today() const
{
    return dayNumber(m_clock.today());
}

void NoteListSession::open()
{
    Attuali();
    Futuri();
    Ricorrenze();
    Superati();
}

void NoteListSession::refresh()
{
    Attuali();
    Futuri();
}

void NoteListSession::setLines(int list, QList<NoteListLine> lines)
{
    sortLines(lines);
    if (lines.isEmpty() && list != 4)
        lines.append({kPlaceholder, {}, {}});
    m_lists[list - 1] = std::move(lines);
    emit linesChanged(list);
}

template <typename DayTest>
void NoteListSession::fillNotes(int list, DayTest isListed)
{
    QList<NoteListLine> lines;
    for (const ListedNote &note : listNotes(m_folder, {NoteState::PutAway, std::nullopt})) {
        if (!isListed(note.name.day))
            continue;
        // A note program may have renamed the file since the search.
        if (const auto content = readNoteFile(file(note.fileName))) {
            const NoteListEntry entry{note.fileName, note.name, *content};
            lines.append({noteListLine(entry), note.fileName, printedNoteLines(entry)});
        }
    }
    setLines(list, std::move(lines));
}

void NoteListSession::Attuali()
{
    fillNotes(1, [today = today()](int day) { return day == today; });
}

void NoteListSession::Futuri()
{
    fillNotes(2, [today = today()](int day) { return day > today; });
}

void NoteListSession::Ricorrenze()
{
    QList<NoteListLine> lines;
    const QDate today = m_clock.today();
    for (const Recurrence &recurrence : readRecurrences(file(kExpandedRecurrencesFile.toString()))) {
        if (!daysUntilDue(recurrence, today))
            continue;
        lines.append({recurrenceListLine(recurrence, *nextOccurrence(recurrence, today), today), {}, {}});
    }
    m_recurrencesShown = !lines.isEmpty();
    // In file order.
    m_lists[3] = std::move(lines);
    emit linesChanged(4);
}

void NoteListSession::Superati()
{
    QList<NoteListLine> lines;
    const int today = this->today();
    for (const ListedNote &note : listNotes(m_folder, {NoteState::PutAway, std::nullopt})) {
        if (note.name.day >= today)
            continue;
        // A reminder that has not reached its user is due, not past: it starts and fires late.
        if (note.name.alertMinutes != noAlert) {
            m_processes.start(reopenProgram(note.name.noteSize()), {note.fileName},
                              WindowMode::NormalWithoutFocus);
            continue;
        }
        const auto content = readNoteFile(file(note.fileName));
        // Only what was really deleted is listed as deleted.
        if (!content || !QFile::remove(file(note.fileName)))
            continue;
        const NoteListEntry entry{note.fileName, note.name, *content};
        lines.append({noteListLine(entry), note.fileName, printedNoteLines(entry)});
    }
    m_expiredShown = !lines.isEmpty();
    if (m_expiredShown)
        setLines(3, std::move(lines));
}

void NoteListSession::List1_Click(int row)
{
    reopen(1, row, true, WindowMode::NormalWithFocus);
}

void NoteListSession::List2_Click(int row)
{
    reopen(2, row, false, WindowMode::NormalWithoutFocus);
}

void NoteListSession::reopen(int list, int row, bool closeWatcher, WindowMode mode)
{
    QList<NoteListLine> &lines = m_lists[list - 1];
    if (row < 0 || row >= lines.size())
        return;
    const QString fileName = lines.at(row).fileName;
    const auto name = decodeNoteName(fileName);
    if (!name)
        return;
    lines.removeAt(row);
    if (lines.isEmpty())
        lines.append({kPlaceholder, {}, {}});
    emit linesChanged(list);

    const auto start = [this, program = reopenProgram(name->noteSize()), fileName, mode] {
        m_processes.start(program, {fileName}, mode);
    };
    // The watcher may be waiting for this note: closed, it comes back without it.
    if (!closeWatcher || name->alertMinutes == noAlert) {
        start();
        return;
    }
    m_windows.closeAll(QString::fromUtf16(kWatcherCaption), kCloseWatcherBound, this,
                       [start](bool) { start(); });
}

QStringList NoteListSession::printedLines() const
{
    QStringList printed{QString(), QString(), QString(), QStringLiteral("Stampa Elenco Notino"),
                        QString(), QString()};
    for (int list = 1; list <= 3; ++list) {
        for (const NoteListLine &line : lines(list))
            printed << line.printed;
    }
    return printed;
}

} // namespace promemo::launcher
