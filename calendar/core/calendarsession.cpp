#include "calendar/core/calendarsession.h"

#include <utility>

#include "calendar/core/calendarmodel.h"
#include "calendar/core/calendarrules.h"
#include "calendar/core/logging.h"
#include "common/datetexts.h"
#include "common/duenotes.h"
#include "common/notefile.h"
#include "common/recurrences.h"
#include "platform/captions.h"

namespace promemo::calendar {

namespace {

const QString kRefusal = QStringLiteral(
    "   Non puoi lanciare un Notino per una data inferiore alla attuale    ");

bool sameMonth(QDate a, QDate b)
{
    return a.year() == b.year() && a.month() == b.month();
}

// The mark a check box switches.
bool DayMarks::*boxOf(CalendarCheck check)
{
    switch (check) {
    case CalendarCheck::SundaysInRed:
        return &DayMarks::sundaysRed;
    case CalendarCheck::NoteDays:
        return &DayMarks::markNotes;
    case CalendarCheck::Recurrences:
        break;
    }
    return &DayMarks::markRecurrences;
}

QString calendarCaption(QDate today)
{
    return QString::fromUtf16(kCalendarCaptionPrefix) + longDateText(today);
}

} // namespace

CalendarSession::CalendarSession(const IClock &clock, WindowMessages messages,
                                 IProcessStarter &processes, QString folder, QObject *parent)
    : QObject(parent), m_clock(clock), m_messages(std::move(messages)), m_processes(processes),
      m_folder(std::move(folder)), m_settings(m_folder + u'/' + kSettingsFileName.toString()),
      m_scroll(kScrollMiddle)
{
    const QDate today = m_clock.today();
    m_caption = calendarCaption(today);
    m_selected = m_marked = m_launch = today;
    m_paneDates = calendar::paneDates(today, 1);
    m_marks.noteDays = noteDays(m_folder);
    m_marks.recurrenceDays = recurrenceDays(readRecurrences(recurrencesPath()));
    for (const CalendarCheck check : {CalendarCheck::SundaysInRed, CalendarCheck::NoteDays, CalendarCheck::Recurrences})
        m_marks.*boxOf(check) = m_settings.calendarCheck(check);
    Calcolo_Settimana(today);
    Segna_Giorno();
}

bool CalendarSession::isChecked(CalendarCheck check) const
{
    return m_marks.*boxOf(check);
}

QString CalendarSession::recurrencesPath() const
{
    return m_folder + u'/' + kExpandedRecurrencesFile.toString();
}

void CalendarSession::Segna_Giorno()
{
    m_framePane.reset();
    for (int pane = 0; pane < 3 && !m_framePane; ++pane) {
        if (sameMonth(m_paneDates[pane], m_marked))
            m_framePane = pane;
    }
}

void CalendarSession::Calcolo_Settimana(QDate date)
{
    m_header = {QString::number(dayOfYear(date)), longDateText(date), QString::number(weekNumber(date))};
}

void CalendarSession::Imposta_Data(QDate date, int pane)
{
    m_selected = date;
    m_paneDates = calendar::paneDates(date, pane);
    if (std::exchange(m_markedFollows, false))
        m_marked = date;
    Calcolo_Settimana(m_marked);
    Segna_Giorno();
    emit changed();
}

void CalendarSession::mese(int value)
{
    m_scroll = value;
    showMonths();
    Imposta_Data(scrollTarget(m_clock.today(), value), 1);
}

void CalendarSession::dayPressed(QDate date)
{
    m_launch = m_marked = m_selected = date;
    Calcolo_Settimana(date);
    Segna_Giorno();
    emit changed();
}

void CalendarSession::moveRequested(int pane, int days, int months)
{
    const QDate target = keyMoveTarget(m_selected, days, months);
    m_launch = target;
    m_markedFollows = true;
    Imposta_Data(target, pane);
}

void CalendarSession::checkClicked(CalendarCheck check, bool on)
{
    m_marks.*boxOf(check) = on;
    Segna_Giorno();
    emit changed();
    // The marks follow the box either way; a box not remembered is only logged.
    if (const WriteResult written = m_settings.setCalendarCheck(check, on); !written)
        qCWarning(lcCalendar).noquote() << "Check box not saved:" << written.error;
}

void CalendarSession::showMonths()
{
    m_yearListShown = false;
    m_caption = calendarCaption(m_clock.today());
}

void CalendarSession::cmdFeste_Click()
{
    if (m_yearListShown) {
        showMonths();
        Calcolo_Settimana(m_selected);
    } else {
        m_yearListShown = true;
        m_caption = QStringLiteral(" Festività e Ricorrenze dell'anno ")
                    + QString::number(m_selected.year()).rightJustified(4, u'0');
        Festivita();
    }
    emit changed();
}

void CalendarSession::Festivita()
{
    m_yearListLines.clear();
    for (const YearListEntry &entry : yearList(m_selected.year(), readRecurrences(recurrencesPath())))
        m_yearListLines.append(yearListLine(entry));
    // A sorted list box: the lines' day keys put them in date order.
    m_yearListLines.sort();
    emit yearListChanged();
}

void CalendarSession::Lancia_Notino(NoteSize size)
{
    const QDateTime now = m_clock.now();
    if (m_launch < now.date()) {
        m_messages.warn(kRefusal);
        return;
    }
    QString error;
    // Never over another note's file: a name taken moves on to the next free stamp.
    const auto name = NoteFiles{m_folder}.create(
        launchNoteName(m_launch, size, m_settings.noteColour(), m_settings.textSize(), now.time()),
        {QString(), dateText(m_launch), QString(), changedText(now)}, &error);
    if (!name) {
        m_messages.warn(QStringLiteral("  Impossibile creare il Notino:    \r\r  %1    ").arg(error));
        return;
    }
    const QString program = reopenProgram(size);
    if (!m_processes.start(program, {*name}, WindowMode::NormalWithFocus))
        qCWarning(lcCalendar).noquote() << "Note program not started:" << program << *name;
}

} // namespace promemo::calendar
