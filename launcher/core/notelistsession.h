#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include "common/clock.h"
#include "platform/processstarter.h"
#include "platform/windowregistry.h"

namespace promemo::launcher {

// One line of the note list as shown, with the bare file name it starts and the printed lines
// of its note; a placeholder or a recurrence has neither.
struct NoteListLine
{
    QString text;
    QString fileName;
    QStringList printed;
};

// The flows of the note list frmCounter: opening fills List1 (today's put-away notes), List2
// (later days), List4 (recurrences due) and List3 (past notes, deleted as they are listed); a
// click on a note of List1 or List2 starts it; back in the foreground, List1 and List2 are
// built again. The window's caption and size follow from the two sections shown.
class NoteListSession final : public QObject
{
    Q_OBJECT
public:
    NoteListSession(const IClock &clock, IProcessStarter &processes, IWindowRegistry &windows,
                    QString programFolder, QObject *parent = nullptr);

    // The line of an empty list of notes.
    static QString placeholder();

    // Attuali, Futuri, Ricorrenze and Superati, in this order. Past notes with an alert that has
    // not fired are due, not past: they are started instead.
    void open();
    // Attuali and Futuri again.
    void refresh();

    // The lines of List1 .. List4.
    const QList<NoteListLine> &lines(int list) const { return m_lists.at(list - 1); }
    bool recurrencesShown() const { return m_recurrencesShown; }
    bool expiredShown() const { return m_expiredShown; }
    QString caption() const;

    // A note of today: the watcher closes first when it waits for the note's alert. A note of
    // a later day starts without taking the focus. The line goes from its list; a placeholder
    // starts nothing.
    void List1_Click(int row);
    void List2_Click(int row);

    // The printed page: the heading, then every note of List1, List2 and List3.
    QStringList printedLines() const;

signals:
    // List `list` (1 to 4) has other lines.
    void linesChanged(int list);

private:
    void Attuali();
    void Futuri();
    void Ricorrenze();
    void Superati();
    template <typename DayTest>
    void fillNotes(int list, DayTest isListed);
    void setLines(int list, QList<NoteListLine> lines);
    void reopen(int list, int row, bool closeWatcher, WindowMode mode);
    QString file(const QString &bareName) const;
    int today() const;

    const IClock &m_clock;
    IProcessStarter &m_processes;
    IWindowRegistry &m_windows;
    const QString m_folder;
    QList<QList<NoteListLine>> m_lists{4};
    bool m_recurrencesShown = false;
    bool m_expiredShown = false;
};

} // namespace promemo::launcher
