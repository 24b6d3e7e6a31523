#include "note/core/alertsetupsession.h"

#include "common/clock.h"

namespace promemo::note {

AlertSetupSession::AlertSetupSession(AlertSetupNote &note, const IClock &clock, WindowMessages messages)
    : m_note(note), m_clock(clock), m_messages(std::move(messages))
{
}

QPoint AlertSetupSession::topLeftTwips(int frameHeightTwips, int screenBottomTwips) const
{
    return alertSetupPosition(m_note.noteSize(), m_note.geometryTwips(), frameHeightTwips,
                              screenBottomTwips);
}

AlertBoxes AlertSetupSession::open()
{
    m_openingValues = openingBoxes(m_note.noteDate(), m_note.alertText(), m_note.alertMinutes());
    m_focusPosition = DayBox;
    return m_openingValues;
}

int AlertSetupSession::Controllo_Freccia(int position)
{
    if (position > kOkPosition)
        position = DayBox;
    if (position < 0)
        position = MinutesBox;
    return m_focusPosition = position;
}

int AlertSetupSession::tab(bool next)
{
    const bool inDate = m_focusPosition < HoursBox;
    const bool inTime = m_focusPosition == HoursBox || m_focusPosition == MinutesBox;
    if (next)
        return Controllo_Freccia(inDate ? HoursBox : inTime ? kOkPosition : DayBox);
    return Controllo_Freccia(inDate ? kOkPosition : inTime ? DayBox : HoursBox);
}

int AlertSetupSession::refused(int position)
{
    m_messages.warn(QStringLiteral("Puoi introdurre solo numeri    "));
    return Controllo_Freccia(position);
}

AlertSetupSession::Outcome AlertSetupSession::cmdOk_Click(const AlertBoxes &boxes)
{
    const AlertValidation result =
        validateAlertSetup(boxes, m_clock.today(), m_clock.minutesSinceMidnight());
    // What a refusal leaves applied stays applied.
    if (result.date) {
        m_note.setNoteDate(*result.date);
        if (result.alertMinutes)
            m_note.setAlertMinutes(*result.alertMinutes);
    }
    if (!result.accepted()) {
        m_messages.warn(result.message);
        return {result.boxes, false, Controllo_Freccia(result.focus)};
    }
    m_note.armAlert(result.alertText);
    if (boxesChanged(result.boxes, m_openingValues))
        m_note.saveChangedAlert();
    finish(false);
    return {result.boxes, true, m_focusPosition};
}

void AlertSetupSession::finish(bool cancelled)
{
    if (m_finished)
        return;
    m_finished = true;
    m_note.alertSetupClosed(cancelled);
}

} // namespace promemo::note
