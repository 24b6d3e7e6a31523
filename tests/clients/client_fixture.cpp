// A program folder as the launcher keeps it for other programs, for the tests that run real
// calendar and contacts clients on it.
//   client_fixture <folder>          notes, recurrences and an address book, then the launcher's
//                                    look: Promemo.ics, Rubrica.vcf, calendario/, rubrica/; and
//                                    expected-days.txt, expected-contacts.txt
//   client_fixture <folder> resave   the dentist's note saved again under a new name, moved to
//                                    another day with another alert and text; the launcher looks
//   client_fixture <folder> look     the launcher looks once: an import from calendario/ too
//   client_fixture <folder> start    the same as the launcher starts: the notes left on screen by
//                                    a kill are put away first
//   client_fixture <folder> notes    the note list's lines of the put-away notes, "shown <text>"
//                                    for each note on screen, "archived <text>" per archive record
//   client_fixture <folder> open <text>        the note with <text> is opened on screen
//   client_fixture <folder> save <text> <new>  the open note with <text> is saved with <new>
//                                              and put away
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTextStream>

#include <algorithm>
#include <cstdio>

#include "addressbook/core/addressbook.h"
#include "tests/support/pinnedclock.h"
#include "common/archive.h"
#include "common/atomicfile.h"
#include "common/daynumber.h"
#include "common/notefile.h"
#include "common/notename.h"
#include "common/recurrences.h"
#include "launcher/core/calendarfile.h"
#include "launcher/core/calendarfilekeeper.h"
#include "launcher/core/contactsfilekeeper.h"
#include "launcher/core/notelist.h"
#include "common/notelisting.h"

using namespace promemo;

namespace {

constexpr int kFirstYear = 2027;
constexpr int kLastYear = 2036;


struct Note
{
    NoteState state;
    QDate day;
    int alert;
    QString text;
    QString summary; // empty: not in a calendar
};

const QList<Note> kNotes = {
    {NoteState::PutAway, QDate(2027, 2, 3), 0, u"Comprare il pane"_qs, u"Comprare il pane"_qs},
    {NoteState::PutAway, QDate(2027, 2, 4), 9 * 60 + 30, u"Dentista, via Po; ”studio” è là\r\nportare le lastre"_qs,
     u"Dentista, via Po; ”studio” è là"_qs},
    {NoteState::Shown, QDate(2027, 1, 10), 18 * 60, u"\r\n\r\nChiamare Anna"_qs, u"Chiamare Anna"_qs},
    {NoteState::Shown, QDate(2027, 1, 10), 0, u"Sul video, senza alert"_qs, {}},
    {NoteState::PutAway, QDate(2027, 3, 1), 0, {}, u"Notino"_qs},
};

const QList<Recurrence> kRecurrences = {
    {"31/01", "01", "00", "Compleanno di Gennaro"},
    {"31/03", "04", "03", "Trimestrale"},
    {"29/02", "01", "00", "Bisestile"},
    {"31/01", "12", "00", "Fine mese"},
    {"30/08", "02", "00", "Semestrale del 30"},
    {"29/01", "12", "00", "Stipendio"},
    {"15/11", "04", "10", "Rata"},
    {"30/04", "01", "00", "Aprile"},
    {"31/04", "01", "00", "Aprile corto"},
    {"30/06", "06", "01", "Bollette"},
    {"30/01", "06", "00", "Mesi dispari"},
    {"31/07", "02", "00", "Gennaio e luglio"},
    {"31/10", "03", "00", "Quadrimestre"},
};

struct Row
{
    int sheet;
    int row;
    QString name;
    QString number;
};

const QList<Row> kContacts = {
    {0, 1, u"Rossi, Mario; ufficio"_qs, u"06 555 1234"_qs},
    {0, 2, u"Anna Bianchi"_qs, u"333 111 2222"_qs},
    {7, 5, u"Kurt Hübner"_qs, u"+49 30 1234"_qs},
    {43, 44, {}, u"+39 333 000"_qs},
};

bool fail(const QString &what)
{
    std::fprintf(stderr, "client_fixture: %s\n", qPrintable(what));
    return false;
}

QString noteName(const Note &note, int stamp)
{
    return *encodeNoteName({note.state, dayNumber(note.day), 'h', note.alert, 'n', stamp});
}

bool writeNote(const QDir &folder, const Note &note, int stamp)
{
    const NoteContent content{note.text, note.day.toString(u"dd/MM/yyyy"_qs),
                              note.alert ? QTime(0, 0).addSecs(note.alert * 60).toString(u"hh.mm"_qs) : QString(),
                              u"10/01/2027 08.00"_qs};
    return bool(writeNoteFile(folder.filePath(noteName(note, stamp)), content));
}

void look(const QString &folder)
{
    const test::PinnedClock clock(QDateTime(QDate(2027, 1, 10), QTime(8, 0)));
    launcher::CalendarFileKeeper calendar(clock, folder);
    launcher::ContactsFileKeeper contacts(clock, folder);
}

bool writeExpected(const QDir &folder)
{
    QStringList days;
    for (const Note &note : kNotes) {
        if (!note.summary.isEmpty())
            days.append(note.day.toString(Qt::ISODate) + u'\t' + note.summary);
    }
    for (const Recurrence &recurrence : kRecurrences) {
        for (int year = kFirstYear; year <= kLastYear; ++year) {
            for (const Recurrence &occurrence : expandRecurrence(recurrence, year))
                days.append(occurrence.dateInYear(year).toString(Qt::ISODate) + u'\t' + recurrence.text);
        }
    }
    std::sort(days.begin(), days.end());
    QStringList names;
    for (const Row &row : kContacts)
        names.append(row.name.isEmpty() ? row.number : row.name);
    std::sort(names.begin(), names.end());
    return writeFileAtomically(folder.filePath(u"expected-days.txt"_qs), (days.join(u'\n') + u'\n').toUtf8())
           && writeFileAtomically(folder.filePath(u"expected-contacts.txt"_qs), (names.join(u'\n') + u'\n').toUtf8());
}

bool make(const QDir &folder)
{
    int stamp = 100;
    for (const Note &note : kNotes) {
        if (!writeNote(folder, note, stamp++))
            return fail(u"cannot write a note"_qs);
    }
    if (!writeFileAtomically(folder.filePath(kEnteredRecurrencesFile.toString()), encodeRecurrences(kRecurrences)))
        return fail(u"cannot write rico.dat"_qs);
    rubrica::DataFile book;
    if (!book.open(folder.filePath(rubrica::kDataFileName.toString())))
        return fail(u"cannot write rubri.dat"_qs);
    for (int sheet = 0; sheet < rubrica::kSheets; ++sheet) {
        rubrica::Sheet rows{};
        bool any = false;
        for (const Row &row : kContacts) {
            if (row.sheet == sheet) {
                rows[std::size_t(row.row - 1)] = {{row.name}, {row.number}};
                any = true;
            }
        }
        if (any && !book.writeSheet(sheet, rows))
            return fail(u"cannot write rubri.dat"_qs);
    }
    book.close();
    if (!writeExpected(folder))
        return fail(u"cannot write the expected days"_qs);
    look(folder.path());
    return true;
}

// As the note program saves: the new file first, then the old one goes.
bool resave(const QDir &folder)
{
    const Note before = kNotes[1];
    const Note after{NoteState::Shown, QDate(2027, 2, 5), 11 * 60, u"Dentista spostato alle 11"_qs, {}};
    if (!writeNote(folder, after, 500) || !QFile::remove(folder.filePath(noteName(before, 101))))
        return fail(u"cannot save the note again"_qs);
    look(folder.path());
    return true;
}

std::optional<ListedNote> noteWith(const QDir &folder, NoteState state, const QString &text)
{
    for (const ListedNote &listed : listNotes(folder.path(), {state, {}})) {
        const auto content = readNoteFile(folder.filePath(listed.fileName));
        if (content && content->text.contains(text))
            return listed;
    }
    return std::nullopt;
}

bool notes(const QDir &folder)
{
    QTextStream out(stdout);
    const auto oneLine = [](QString text) { return text.replace(u"\r\n"_qs, u" | "_qs); };
    for (const ListedNote &listed : listNotes(folder.path())) {
        const auto content = readNoteFile(folder.filePath(listed.fileName));
        if (!content)
            return fail(u"unreadable note "_qs + listed.fileName);
        if (listed.name.state == NoteState::Shown)
            out << "shown " << oneLine(content->text) << '\n';
        else
            out << oneLine(noteListLine({listed.fileName, listed.name, *content}).section(u'\t', 0, 0).simplified())
                << '\t' << oneLine(content->text) << '\n';
    }
    for (const ArchiveRecord &record : readArchiveFile(folder.filePath(QString::fromLatin1(kArchiveFileName))).records)
        out << "archived " << oneLine(record.text) << '\n';
    return true;
}

// As a note program opens a put-away note, and saves and puts it away.
bool openNote(const QDir &folder, const QString &text, const QString &saveAs)
{
    const NoteFiles files{folder.path()};
    const auto listed = noteWith(folder, saveAs.isEmpty() ? NoteState::PutAway : NoteState::Shown, text);
    std::optional<OpenedNote> opened = listed ? files.open(listed->fileName) : std::nullopt;
    if (!opened)
        return fail(u"no note with "_qs + text);
    if (saveAs.isEmpty())
        return true;
    NoteName name = listed->name;
    name.stamp = (name.stamp + 1) % 86400;
    NoteContent content = opened->content;
    content.text = saveAs;
    return bool(files.save(name, content, opened->file)) && bool(files.putAway(opened->file));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const QStringList args = application.arguments();
    if (args.size() < 2)
        return fail(u"usage: client_fixture <folder> [resave]"_qs), 2;
    const QDir folder(args[1]);
    if (!folder.exists() && !QDir().mkpath(folder.path()))
        return fail(u"cannot create the folder"_qs), 1;
    const QString mode = args.value(2);
    bool ok = false;
    if (mode == u"resave"_qs)
        ok = resave(folder);
    else if (mode == u"look"_qs || mode == u"start"_qs)
        ok = (mode == u"start"_qs && NoteFiles{folder.path()}.putAwayAbandonedNotes(), look(folder.path()), true);
    else if (mode == u"notes"_qs)
        ok = notes(folder);
    else if (mode == u"open"_qs || mode == u"save"_qs)
        ok = openNote(folder, args.value(3), args.value(4));
    else
        ok = make(folder);
    return ok ? 0 : 1;
}
