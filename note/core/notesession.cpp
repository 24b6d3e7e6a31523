#include "note/core/notesession.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include "common/clock.h"
#include "common/datetexts.h"
#include "common/daynumber.h"
#include "common/settings.h"
#include "common/twips.h"
#include "note/core/logging.h"
#include "platform/captions.h"

using namespace std::chrono_literals;

namespace promemo::note {

namespace {

const QString kSnoozeLabel = QStringLiteral("Rimanda di 10 minuti");
// Bound of the wait for every watcher window to close.
constexpr auto kWatcherCloseBound = 5s;
// Notes fired together publish their first places within this; each look costs a request to
// every note.
constexpr auto kFiredLookAgain = 200ms;
// Looks in all, and looks in a row that must change nothing before a note stays.
constexpr int kFiredLooks = 8;
constexpr int kQuietFiredLooks = 2;

} // namespace

Settings NoteSession::settings() const
{
    return Settings(QDir(m_folder).filePath(kSettingsFileName.toString()));
}

NoteSession::NoteSession(const NoteServices &services, Note note, QString folder, QSize windowSize,
                         QWidget *window)
    : m_services(services), m_messages(services.messageBoxes, kNoteTitle, window), m_window(window),
      m_folder(std::move(folder)), m_note(std::move(note)), m_size(windowSize), m_recovery(m_folder)
{
    m_keysWatched = m_services.keys.watchKeys([this] {
        if (!m_ended && !m_setupOpen)
            allNotesKeys();
    });
    // Polling the keys needs the 30 ms tick; an alert alone is checked every second.
    m_timer2.setInterval(m_keysWatched ? 1000ms : 30ms);
    connect(&m_timer2, &QTimer::timeout, this, &NoteSession::Timer2_Timer);
}

NoteSession::~NoteSession() = default;

void NoteSession::start(Placement placement, QPoint topLeft)
{
    m_position = topLeft;
    if (placement == Placement::ShowAndSave || placement == Placement::Topmost)
        Salva_Nota();
    if (placement == Placement::Topmost)
        m_services.windows.closeAll(QString::fromUtf16(kWatcherCaption), kWatcherCloseBound, this, {});
    m_timer2.start();
    // Its minute has come: the first tick is now.
    if (placement == Placement::AlertPassed)
        Timer2_Timer();
}

// ---- timer and keys ----

void NoteSession::Timer2_Timer()
{
    if (m_ended || m_setupOpen)
        return;
    emit ticked();
    if (!m_keysWatched)
        allNotesKeys();
    // The clock is read only while an alert is armed: most notes have none.
    if (m_note.alertMinutes == noAlert || m_note.alertFired)
        return;
    // Moments, not minutes of today: a tick that comes late after a sleep still fires.
    const QDateTime now = m_services.clock.now();
    if (isAlertDue(m_note.alertMinutes, m_note.alertFired, m_note.date, now))
        fireAlert(now);
}

// Ctrl with keypad 1 parks every note, Ctrl with keypad 0 brings parked notes back.
void NoteSession::allNotesKeys()
{
    if (!m_services.keys.isDown(Key::Control))
        return;
    if (m_services.keys.isDown(Key::Keypad0) && m_parked)
        moveTo({m_position.x(), twipsToPixels(kUnparkedTopTwips)});
    if (m_services.keys.isDown(Key::Keypad1))
        park(m_position.x());
}

void NoteSession::setWindowActive(bool active)
{
    const Indicator indicator = active ? Indicator::Active : Indicator::Inactive;
    if (m_ended || m_setupOpen || m_indicator == indicator)
        return;
    m_indicator = indicator;
    emit changed();
}

// ---- text and commands ----

void NoteSession::Text1_Change(const QString &shownText)
{
    m_note.text = QString(shownText).replace(u'\n', QStringLiteral("\r\n"));
    m_deleteArmed = false;
    Aggiorna_Registrazione(m_note, m_services.clock);
    emit changed();
    noteChanged();
}

void NoteSession::textTooLong()
{
    m_messages.warn(QStringLiteral("  Il Notino non può contenere un testo più lungo.    "));
}

bool NoteSession::Text1_KeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    const NoteCommand command = noteCommand(key, modifiers);
    run(command);
    if (command != NoteCommand::None && command != NoteCommand::Swallow)
        noteChanged();
    // The text box's background is set again after a key with Ctrl.
    if (isCtrlTable(modifiers))
        emit changed();
    if (disarmsDelete(key, modifiers))
        m_deleteArmed = false;
    return command != NoteCommand::None;
}

void NoteSession::run(NoteCommand command)
{
    const QSize screen = screenTwips();
    const auto parkAt = [&](ParkSlot slot) {
        park(parkedLeftPixels(slot, screen.width()));
        Salva_Nota();
    };
    const auto setLooks = [this](int points, NoteColour colour) {
        m_note.points = points;
        m_note.colour = colour;
        m_note.forceSave = true;
        emit changed();
    };
    const auto openAlertSetup = [this] {
        if (!m_setupOpen) {
            m_setupOpen = true;
            m_indicator = Indicator::Setup;
            emit changed();
        }
        emit alertSetupRequested();
    };
    switch (command) {
    case NoteCommand::None:
    case NoteCommand::Swallow:
        return;
    case NoteCommand::Help:
        emit helpRequested(QStringLiteral("elementi.htm"));
        return;
    case NoteCommand::Print:
        emit printRequested();
        return;
    case NoteCommand::Delete:
        if (m_deleteArmed) {
            Elimina_File();
            return;
        }
        moveTwips(pixelsToTwips(m_position.x()), screen.height() - kDeleteArmedAboveBottomTwips);
        m_deleteArmed = true;
        return;
    case NoteCommand::Copy:
        emit copyRequested();
        return;
    case NoteCommand::AlertSetup:
        openAlertSetup();
        return;
    case NoteCommand::AlertSetupIfActive:
        if (m_indicator == Indicator::Active)
            openAlertSetup();
        return;
    case NoteCommand::Centre: centre(); return;
    case NoteCommand::ParkF10: parkAt(ParkSlot::F10); return;
    case NoteCommand::ParkF11: parkAt(ParkSlot::F11); return;
    case NoteCommand::ParkF12: parkAt(ParkSlot::F12); return;
    case NoteCommand::AlertEarlier10: stepAlertTime(10, Direction::Earlier); return;
    case NoteCommand::AlertLater10: stepAlertTime(10, Direction::Later); return;
    case NoteCommand::AlertEarlier60: stepAlertTime(60, Direction::Earlier); return;
    case NoteCommand::AlertLater60: stepAlertTime(60, Direction::Later); return;
    case NoteCommand::DateBack1: stepNoteDate(-1); return;
    case NoteCommand::DateOn1: stepNoteDate(1); return;
    case NoteCommand::DateBack7: stepNoteDate(-7); return;
    case NoteCommand::DateOn7: stepNoteDate(7); return;
    case NoteCommand::TextSize10: setLooks(10, m_note.colour); return;
    case NoteCommand::TextSize12: setLooks(12, m_note.colour); return;
    case NoteCommand::TextSize14: setLooks(14, m_note.colour); return;
    case NoteCommand::ColourYellow: setLooks(m_note.points, NoteColour::Yellow); return;
    case NoteCommand::ColourCyan: setLooks(m_note.points, NoteColour::Cyan); return;
    case NoteCommand::ColourGreen: setLooks(m_note.points, NoteColour::Green); return;
    }
}

// ---- saves and recovery copy ----

bool NoteSession::Salva_Nota()
{
    const SaveResult result = note::Salva_Nota(m_note, m_services.clock, m_folder);
    if (!hasUnsavedChanges(m_note))
        dropRecoveryCopy();
    // A save empties an alert of 00.00 (none): the label shows what the note holds.
    emit changed();
    if (result.failed())
        showWriteFailure(result.error);
    return !result.failed();
}

void NoteSession::showWriteFailure(const QString &error)
{
    m_messages.warn(QStringLiteral("  Impossibile salvare il Notino:    \r\r  %1    \r\r"
                                   "  Il Notino resta aperto con il suo testo.    ")
                        .arg(error));
}

void NoteSession::noteChanged()
{
    // Not put off by every key: while the user types, a copy at most every interval.
    if (m_ended || m_recoveryPending)
        return;
    m_recoveryPending = true;
    m_services.clock.after(kRecoveryCopyDelay, this, [this, generation = m_recoveryGeneration] {
        if (generation != m_recoveryGeneration)
            return;
        m_recoveryPending = false;
        writeRecoveryCopy();
    });
}

void NoteSession::writeRecoveryCopy()
{
    if (m_ended || !hasUnsavedChanges(m_note))
        return;
    const RecoveredNote copy = recoveryCopyOf(m_note, m_services.clock);
    // The stamp moves with the clock: only what the user sees decides a write.
    RecoveredNote seen = copy;
    seen.name.stamp = 0;
    const QByteArray content = encodeRecoveryCopy(seen);
    if (content == m_recoveryWritten)
        return;
    if (const WriteResult written = m_recovery.write(copy); !written) {
        qCWarning(lcNote).noquote() << "Recovery copy not written:" << written.error;
        return;
    }
    m_recoveryWritten = content;
}

void NoteSession::dropRecoveryCopy()
{
    ++m_recoveryGeneration;
    m_recoveryPending = false;
    m_recovery.remove();
    m_recoveryWritten.clear();
}

// ---- position ----

void NoteSession::Controlla_Posizione(bool leftButton)
{
    m_deleteArmed = false;
    if (!leftButton)
        afterDrag();
}

void NoteSession::afterDrag()
{
    if (m_position.y() <= 0)
        park(m_position.x());
    const QPoint topLeft(pixelsToTwips(m_position.x()), pixelsToTwips(m_position.y()));
    switch (dropZone(topLeft, screenTwips())) {
    case DropZone::Bottom: {
        if (bottomDrop(m_note.text, dayNumber(m_note.date), dayNumber(m_services.clock.today()),
                       m_note.alertMinutes, m_services.clock.minutesSinceMidnight())
            == BottomDrop::Ask) {
            const Message question{QStringLiteral("Notino"),
                                   QStringLiteral(" Stai per eliminare definitivamente   \r"
                                                  " un Notino con data ancora valida...  \r\r"
                                                  " Confermi?"),
                                   MessageIcon::Warning, MessageButtons::YesNo};
            if (m_services.messageBoxes.show(question, m_window) == MessageAnswer::No) {
                centre();
                return;
            }
        }
        Elimina_File();
        return;
    }
    case DropZone::Right:
    case DropZone::Left:
        Esci();
        return;
    case DropZone::None:
        Salva_Nota();
        return;
    }
}

void NoteSession::moveTo(QPoint topLeft)
{
    m_position = topLeft;
    m_parked = false;
    emit moved(topLeft);
}

void NoteSession::moveTwips(int leftTwips, int topTwips)
{
    moveTo({twipsToPixels(leftTwips), twipsToPixels(topTwips)});
}

void NoteSession::park(int leftPixels)
{
    m_position = {leftPixels, parkedTopPixels(m_note.size)};
    m_parked = true;
    emit moved(m_position);
}

void NoteSession::centre()
{
    const QSize screen = screenTwips();
    const QSize own = ownTwips();
    moveTwips((screen.width() - own.width()) / 2, (screen.height() - own.height()) / 2);
}

QSize NoteSession::screenTwips() const
{
    const QSize pixels = m_services.screen.geometry().size();
    return {pixelsToTwips(pixels.width()), pixelsToTwips(pixels.height())};
}

QSize NoteSession::ownTwips() const
{
    return {pixelsToTwips(m_size.width()), pixelsToTwips(m_size.height())};
}

QRect NoteSession::geometryTwips() const
{
    return {QPoint(pixelsToTwips(m_position.x()), pixelsToTwips(m_position.y())), ownTwips()};
}

// ---- the end ----

void NoteSession::Esci()
{
    const PutAwayResult result = putAway(m_note, m_services.clock, m_folder);
    if (!result.error.isEmpty()) {
        centre();
        showWriteFailure(result.error);
        return;
    }
    // Put away: dealt with, also while the watcher is still going.
    m_services.notifications.withdraw(this);
    if (!result.closeWatcher) {
        end();
        return;
    }
    // The watcher chooses its note when it starts: it must go before this note ends.
    emit shownChanged(false);
    m_services.windows.closeAll(QString::fromUtf16(kWatcherCaption), kWatcherCloseBound, this,
                                [this](bool) { end(); });
}

void NoteSession::Elimina_File()
{
    emit shownChanged(false);
    if (const WriteResult removed = deleteCurrentFile(m_note, m_folder); !removed) {
        centre();
        emit shownChanged(true);
        m_messages.warn(
            QStringLiteral("  Impossibile eliminare il Notino:    \r\r  %1    ").arg(removed.error));
        return;
    }
    end();
}

void NoteSession::end()
{
    dropRecoveryCopy();
    m_ended = true;
    m_timer2.stop();
    m_services.notifications.withdraw(this);
    emit endRequested();
}

bool NoteSession::closeFromOutside()
{
    // Kept as the user left it.
    if (!m_ended) {
        const SaveResult saved = note::closeFromOutside(m_note, m_services.clock, m_folder);
        if (saved.failed()) {
            showWriteFailure(saved.error);
            return false;
        }
    }
    m_ended = true;
    m_timer2.stop();
    // Saved, or a fired note closed: the user has what they meant to keep.
    dropRecoveryCopy();
    m_services.notifications.withdraw(this);
    return true;
}

// ---- the alert ----

void NoteSession::fireAlert(const QDateTime &now)
{
    m_note.alertFired = true;
    m_note.missedMoment = isMissedAlert(m_note.date, m_note.alertMinutes, now)
                              ? missedMomentText(m_note.date, m_note.alertMinutes, now.date())
                              : QString();
    m_alertCentred = true;
    emit changed();
    placeFired();
    Suono();
    notifyAlert();
    // The file stays until the note ends: a crash now leaves the note to come back.
}

// Seen in the notification centre too, for a user who was away; picking it brings the note
// forward. It stays until the note is dealt with.
void NoteSession::notifyAlert()
{
    if (!settings().desktopFeature(DesktopFeature::Notifications))
        return;
    const AlertNotice notice = alertNotice(m_note.date, m_note.alertText,
                                           QString(m_note.text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")),
                                           m_note.missedMoment);
    m_services.notifications.notify({notice.summary, notice.body, {{kSnoozeLabel, [this] { snoozeAlert(); }}}},
                                    this, [this] { emit raiseRequested(); });
}

// The alert keys' path, then saved as the set-up saves.
void NoteSession::snoozeAlert()
{
    if (m_ended)
        return;
    const AlertStep result = snoozedAlert(m_services.clock.today(), m_services.clock.minutesSinceMidnight());
    moveAlert(result.date, result.minutes);
    saveChangedAlert();
}

void NoteSession::Suono()
{
    if (!settings().sound())
        return;
    const QString wave = QDir(m_folder).filePath(QStringLiteral("suono.wav"));
    if (QFile::exists(wave))
        m_services.sound.play(wave);
}

void NoteSession::stepAlertTime(int step, Direction direction)
{
    const AlertStep result = stepAlert(m_note.alertText, m_note.date, step, direction,
                                       m_services.clock.today(),
                                       m_services.clock.minutesSinceMidnight());
    if (result.clampedToNow)
        m_messages.warn(QStringLiteral(" ora inferiore alla attuale     "));
    moveAlert(result.date, result.minutes);
}

void NoteSession::moveAlert(QDate date, int minutes)
{
    setNoteDate(date);
    armAlert(timeText(QTime(minutes / 60, minutes % 60)));
    m_note.alertMinutes = minutes;
    m_alertCentred = false;
    m_note.forceSave = true;
    emit changed();
}

void NoteSession::stepNoteDate(int days)
{
    const DateStep result = stepDate(m_note.date, days, m_services.clock.today());
    if (result.clampedToToday)
        m_messages.warn(QStringLiteral(" data inferiore alla attuale !    "));
    setNoteDate(result.date);
    // Any arrow re-arms a fired alert.
    armAlert(m_note.alertText);
    m_alertCentred = false;
    m_note.forceSave = true;
    emit changed();
}

void NoteSession::setNoteDate(QDate date)
{
    m_note.date = date;
    emit changed();
}

void NoteSession::armAlert(const QString &text)
{
    // Set again: the fired alert has been dealt with.
    m_services.notifications.withdraw(this);
    m_note.alertFired = false;
    m_note.missedMoment.clear();
    m_note.alertText = text;
    emit changed();
}

void NoteSession::saveChangedAlert()
{
    Aggiorna_Registrazione(m_note, m_services.clock);
    m_note.forceSave = true;
    Salva_Nota();
}

void NoteSession::alertSetupClosed(bool cancelled)
{
    m_setupOpen = false;
    m_indicator = Indicator::Active;
    emit changed();
    if (cancelled)
        emit textFocusRequested();
}

// ---- fired places ----

// The notes learn each other's places from the window registry; those that fire at the same
// moment look again until they agree.
void NoteSession::placeFired()
{
    const qint64 since = m_services.clock.now().toMSecsSinceEpoch();
    m_firedClaim = FiredClaim{-1, since, QCoreApplication::applicationPid()};
    lookForFiredPlace(since, kFiredLooks, 0);
}

void NoteSession::lookForFiredPlace(qint64 since, int looksLeft, int quietLooks)
{
    m_services.windows.statesOf(QString::fromUtf16(kNoteCaption), this,
                                [this, since, looksLeft, quietLooks](const QByteArrayList &states) {
        // Re-armed, fired anew or ended meanwhile: this placing is over.
        if (m_ended || !m_note.alertFired || !m_firedClaim || m_firedClaim->since != since)
            return;
        // Moved away by the user: it stays where it was put.
        if (m_firedClaim->slot >= 0 && firedSlotHere() != m_firedClaim->slot)
            return;
        QList<FiredClaim> others;
        for (const QByteArray &state : states) {
            if (const auto claim = decodeFiredClaim(state); claim && !claim->sameNote(*m_firedClaim))
                others.append(*claim);
        }
        const int slot = firedSlot(*m_firedClaim, others, firedSlotCount(screenTwips(), ownTwips()));
        const bool moves = slot != m_firedClaim->slot;
        if (moves) {
            m_firedClaim->slot = slot;
            const QPoint place = firedSlotTopLeft(slot, screenTwips(), ownTwips());
            moveTwips(place.x(), place.y());
        }
        const int quiet = moves ? 0 : quietLooks + 1;
        if (looksLeft > 1 && quiet < kQuietFiredLooks) {
            m_services.clock.after(kFiredLookAgain, this, [this, since, looksLeft, quiet] {
                lookForFiredPlace(since, looksLeft - 1, quiet);
            });
        }
    });
}

int NoteSession::firedSlotHere() const
{
    return firedSlotAtPixels(m_position, screenTwips(), ownTwips());
}

QByteArray NoteSession::firedState() const
{
    if (m_ended || !m_note.alertFired || !m_firedClaim || m_firedClaim->slot < 0
        || firedSlotHere() != m_firedClaim->slot)
        return {};
    return encodeFiredClaim(*m_firedClaim);
}

} // namespace promemo::note
