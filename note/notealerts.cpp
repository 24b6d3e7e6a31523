// The note's alert: stepped by the keys, set in the alert set-up, fired when its minute comes.
#include "note/notewindow.h"

#include <QFile>
#include <QLabel>

#include "common/datetexts.h"
#include "common/programfolder.h"
#include "common/settings.h"
#include "common/twips.h"
#include "note/noteindicator.h"
#include "widgets/registeredwidget.h"

namespace promemo::note {

namespace {

const QString kSnoozeLabel = QStringLiteral("Rimanda di 10 minuti");

} // namespace

void frmNotino::fireAlert(const QDateTime &now)
{
    m_note.alertFired = true;
    m_note.missedMoment = isMissedAlert(m_note.date, m_note.alertMinutes, now)
                              ? missedMomentText(m_note.date, m_note.alertMinutes, now.date())
                              : QString();
    showAlertLabel(Qt::AlignCenter);
    placeFired();
    Suono();
    notifyAlert();
    // The file stays until the note ends: a crash now leaves the note to come back.
}

// Seen in the notification centre too, for a user who was away; picking it brings the note
// forward. It stays until the note is dealt with.
void frmNotino::notifyAlert()
{
    if (!Settings::inProgramFolder().desktopFeature(DesktopFeature::Notifications))
        return;
    const AlertNotice notice = alertNotice(m_note.date, m_note.alertText, Text1->toPlainText(),
                                           m_note.missedMoment);
    m_services.notifications.notify({notice.summary, notice.body, {{kSnoozeLabel, [this] { snoozeAlert(); }}}},
                                    this, [this] { bringForward(*this); });
}

// The notification's "Rimanda di 10 minuti": the alert keys' path, then saved as the set-up saves.
void frmNotino::snoozeAlert()
{
    if (m_ended)
        return;
    const AlertStep result = snoozedAlert(m_services.clock.today(), m_services.clock.minutesSinceMidnight());
    moveAlert(result.date, result.minutes);
    saveChangedAlert();
}

void frmNotino::Suono()
{
    if (!Settings::inProgramFolder().sound())
        return;
    const QString wave = programFile(QStringLiteral("suono.wav"));
    if (QFile::exists(wave))
        m_services.sound.play(wave);
}

void frmNotino::stepAlertTime(int step, Direction direction)
{
    const AlertStep result = stepAlert(m_note.alertText, m_note.date, step, direction,
                                       m_services.clock.today(),
                                       m_services.clock.minutesSinceMidnight());
    if (result.clampedToNow)
        m_messages.warn(QStringLiteral(" ora inferiore alla attuale     "));
    moveAlert(result.date, result.minutes);
}

void frmNotino::moveAlert(QDate date, int minutes)
{
    setNoteDate(date);
    armAlert(timeText(QTime(minutes / 60, minutes % 60)));
    m_note.alertMinutes = minutes;
    showAlertLabel(Qt::AlignRight | Qt::AlignVCenter);
    m_note.forceSave = true;
}

void frmNotino::stepNoteDate(int days)
{
    const DateStep result = stepDate(m_note.date, days, m_services.clock.today());
    if (result.clampedToToday)
        m_messages.warn(QStringLiteral(" data inferiore alla attuale !    "));
    setNoteDate(result.date);
    // Any arrow re-arms a fired alert.
    armAlert(m_note.alertText);
    showAlertLabel(Qt::AlignRight | Qt::AlignVCenter);
    m_note.forceSave = true;
}

void frmNotino::openAlertSetup()
{
    if (m_setup) {
        m_setup->raise();
        return;
    }
    setIndicator(kIndicatorSetup);
    m_setup = new AlertSetupDialog(*this, m_services, this);
    m_setup->showForNote();
}

QRect frmNotino::geometryTwips() const
{
    return {pixelsToTwips(x()), pixelsToTwips(y()), pixelsToTwips(width()),
            pixelsToTwips(height())};
}

void frmNotino::setNoteDate(QDate date)
{
    m_note.date = date;
    Label1->setText(dateText(date));
}

void frmNotino::armAlert(const QString &text)
{
    // Set again: the fired alert has been dealt with.
    m_services.notifications.withdraw(this);
    m_note.alertFired = false;
    m_note.missedMoment.clear();
    m_note.alertText = text;
    showAlertLabel(Label2->alignment());
}

void frmNotino::saveChangedAlert()
{
    Aggiorna_Registrazione(m_note, m_services.clock);
    Label6->setText(m_note.changed);
    m_note.forceSave = true;
    Salva_Nota();
}

void frmNotino::alertSetupClosed(bool cancelled)
{
    m_setup = nullptr;
    setIndicator(kIndicatorActive);
    if (cancelled)
        Text1->setFocus();
}
} // namespace promemo::note
