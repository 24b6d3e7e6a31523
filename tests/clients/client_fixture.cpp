// A program folder as the launcher keeps it for other programs, for the tests that run real
// calendar and contacts clients on it.
//   client_fixture <folder>          notes, recurrences and an address book, then the launcher's
//                                    look: Promemo.ics, Rubrica.vcf, calendario/, rubrica/; and
//                                    expected-days.txt, expected-contacts.txt
//   client_fixture <folder> resave   the dentist's note saved again under a new name, moved to
//                                    another day with another alert and text; the launcher looks
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTextStream>

#include <algorithm>
#include <cstdio>

#include "addressbook/core/addressbook.h"
#include "tests/support/pinnedclock.h"
#include "common/atomicfile.h"
#include "common/daynumber.h"
#include "common/notefile.h"
#include "common/notename.h"
#include "common/recurrences.h"
#include "launcher/core/calendarfile.h"
#include "launcher/core/calendarfilekeeper.h"
#include "launcher/core/contactsfilekeeper.h"

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
    const bool ok = args.size() > 2 && args[2] == u"resave"_qs ? resave(folder) : make(folder);
    return ok ? 0 : 1;
}
