#pragma once

#include <QDate>
#include <QObject>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

#include "calendar/core/gridgeometry.h"
#include "common/clock.h"
#include "common/notename.h"
#include "common/settings.h"
#include "platform/messageboxes.h"
#include "platform/processstarter.h"

namespace promemo::calendar {

// The header strip's three values for one day.
struct WeekHeader
{
    QString dayOfYear; // lblGiorni
    QString longDate;  // lblGiorno
    QString week;      // lblSettimane
    bool operator==(const WeekHeader &) const = default;
};

// The calendar window's state and flows: the months shown, the three dates, the day marks and
// their check boxes, the year list in place of the months, the caption, and the note launched
// for a day. The window renders it on `changed` and turns clicks and keys into the calls below.
class CalendarSession : public QObject
{
    Q_OBJECT
public:
    // `messages` carry the window's title ("Calendario") and parent; `folder` is the program
    // folder, with the note files, ricf.dat and Notino.ini. The day sets are read here, once.
    CalendarSession(const IClock &clock, WindowMessages messages, IProcessStarter &processes,
                    QString folder, QObject *parent = nullptr);

    QDate selectedDate() const { return m_selected; } // the reference of key moves
    QDate markedDate() const { return m_marked; }     // the header's day and the frame's
    QDate launchDate() const { return m_launch; }     // the day a launched note is for
    std::array<QDate, 3> paneDates() const { return m_paneDates; } // left, middle, right
    int scrollValue() const { return m_scroll; }
    // The pane whose grid carries the selection frame; none when no pane shows its month.
    std::optional<int> framePane() const { return m_framePane; }
    const WeekHeader &header() const { return m_header; }
    const DayMarks &marks() const { return m_marks; }
    bool isChecked(CalendarCheck check) const;
    bool yearListShown() const { return m_yearListShown; }
    QStringList yearListLines() const { return m_yearListLines; } // in list order
    QString caption() const { return m_caption; }

    // Selects `date` with pane `pane` (0 left .. 2 right) showing its month.
    void Imposta_Data(QDate date, int pane);
    // The scroll bar's value: today's month at kScrollMiddle.
    void mese(int value);
    // A press on a day; a key in the grid of `pane` moving the selected date by days, then months.
    void dayPressed(QDate date);
    void moveRequested(int pane, int days, int months);
    void checkClicked(CalendarCheck check, bool on);
    // "Ricorrenze" shows the year list of the selected date's year, "Calendario" the months.
    void cmdFeste_Click();
    // A put-away note for the launch date, written and handed to its program; refused before today.
    void Lancia_Notino(NoteSize size);

signals:
    void changed();
    // Festivita built the lines anew.
    void yearListChanged();

private:
    // The frame to the marked date; the header labels for `date`; the year list's lines.
    void Segna_Giorno();
    void Calcolo_Settimana(QDate date);
    void Festivita();
    void showMonths();
    QString recurrencesPath() const;

    const IClock &m_clock;
    const WindowMessages m_messages;
    IProcessStarter &m_processes;
    const QString m_folder;
    const Settings m_settings;

    QDate m_selected;
    QDate m_marked;
    QDate m_launch;
    std::array<QDate, 3> m_paneDates;
    int m_scroll;
    bool m_markedFollows = false;
    std::optional<int> m_framePane;
    WeekHeader m_header;
    DayMarks m_marks;
    bool m_yearListShown = false;
    QStringList m_yearListLines;
    QString m_caption;
};

} // namespace promemo::calendar
