#pragma once

#include <QObject>
#include <QPoint>
#include <QSize>
#include <QTimer>

#include <optional>

#include "common/recoverycopy.h"
#include "note/core/alertsetupsession.h"
#include "note/core/firedplaces.h"
#include "note/core/notekeys.h"
#include "note/core/notemodule.h"
#include "note/core/noterules.h"
#include "note/core/notestart.h"
#include "platform/keystate.h"
#include "platform/messageboxes.h"
#include "platform/notifications.h"
#include "platform/screen.h"
#include "platform/sound.h"
#include "platform/windowregistry.h"

class QWidget;

namespace promemo {
class Settings;
}

namespace promemo::note {

// The title of the note's message boxes.
inline const QString kNoteTitle = QStringLiteral(" Promemo");

// What a note takes from the outside world.
struct NoteServices
{
    IClock &clock;
    IMessageBoxes &messageBoxes;
    IKeyState &keys;
    IScreen &screen;
    ISound &sound;
    IWindowRegistry &windows;
    INotifications &notifications;
};

// The strip under the text: the note has the focus, has not, or its alert set-up is open.
enum class Indicator { Inactive, Active, Setup };

// The life of one note, from its start to its end: what it shows, where its window stands
// (in pixels) and whether it is parked, its alert armed, fired or missed, its file, saves and
// recovery copy. Its window shows what it says and hands it the user's input.
class NoteSession final : public QObject, public AlertSetupNote
{
    Q_OBJECT
public:
    // `folder`: the program folder. `window`: the parent of the note's message boxes, only
    // passed on. `windowSize`: the note window's size in pixels.
    NoteSession(const NoteServices &services, Note note, QString folder, QSize windowSize,
                QWidget *window = nullptr);
    ~NoteSession() override;

    const Note &note() const { return m_note; }
    QPoint position() const { return m_position; }
    bool parked() const { return m_parked; }
    bool ended() const { return m_ended; }
    Indicator indicator() const { return m_indicator; }
    bool setupOpen() const { return m_setupOpen; }
    // The alert label centred, as a fired alert shows; right-aligned once stepped.
    bool alertCentred() const { return m_alertCentred; }
    // A missed alert's moment shows beside the date, in its place.
    bool showsMissedMoment() const { return m_note.alertFired && !m_note.missedMoment.isEmpty(); }

    // The window has shown as `placement` asks, at `topLeft`: saves and starts `Timer2`.
    void start(Placement placement, QPoint topLeft);
    // One tick of `Timer2`.
    void Timer2_Timer();
    void setWindowActive(bool active);

    // The text as `Text1` shows it (lines ended by LF).
    void Text1_Change(const QString &shownText);
    void textTooLong();
    // A key in `Text1`: true when the note took it.
    bool Text1_KeyDown(int key, Qt::KeyboardModifiers modifiers);
    // A press on the note: the left button starts a drag, the others drop it where it is.
    void Controlla_Posizione(bool leftButton);
    // Moved by the user: parked again only if dropped at the top (afterDrag).
    void windowMoved(QPoint topLeft) { m_position = topLeft, m_parked = false; }
    // The position rules after a drag: park, edge zones, save.
    void afterDrag();

    bool Salva_Nota();
    // Closed from outside (the launcher ending, the session): false when the note must stay,
    // its save having failed.
    bool closeFromOutside();
    // What this note tells the other notes through the registry while it is fired and at its
    // place; empty otherwise.
    QByteArray firedState() const;

    // AlertSetupNote
    NoteSize noteSize() const override { return m_note.size; }
    QRect geometryTwips() const override;
    QDate noteDate() const override { return m_note.date; }
    QString alertText() const override { return m_note.alertText; }
    int alertMinutes() const override { return m_note.alertMinutes; }
    void setNoteDate(QDate date) override;
    void setAlertMinutes(int minutes) override { m_note.alertMinutes = minutes; }
    void armAlert(const QString &text) override;
    void saveChangedAlert() override;
    void alertSetupClosed(bool cancelled) override;

signals:
    // The labels, colour, text size or indicator are to be shown again.
    void changed();
    void moved(QPoint topLeft);
    void shownChanged(bool shown);
    void helpRequested(const QString &topic);
    void printRequested();
    void copyRequested();
    // Open the alert set-up, or bring it forward when it is open.
    void alertSetupRequested();
    void raiseRequested();
    void textFocusRequested();
    // Each tick of `Timer2` while the note is idle: the window says whether it is active.
    void ticked();
    // The note has ended: its window closes.
    void endRequested();

private:
    void Esci();
    void Elimina_File();
    // "Rimanda di 10 minuti".
    void snoozeAlert();
    void allNotesKeys();
    void run(NoteCommand command);
    void stepAlertTime(int step, Direction direction);
    // To a new alert, armed, to be saved.
    void moveAlert(QDate date, int minutes);
    void stepNoteDate(int days);
    void fireAlert(const QDateTime &now);
    void Suono();
    // The suite's settings in the program folder, read when asked.
    Settings settings() const;
    void notifyAlert();
    void showWriteFailure(const QString &error);

    void moveTo(QPoint topLeft);
    void moveTwips(int leftTwips, int topTwips);
    void park(int leftPixels);
    void centre();
    QSize screenTwips() const;
    QSize ownTwips() const;
    // The middle, or the first place down and right of it that no other fired note holds.
    void placeFired();
    void lookForFiredPlace(qint64 since, int looksLeft, int quietLooks);
    int firedSlotHere() const;
    void end();
    // A change the file does not hold yet: the recovery copy follows within two seconds.
    void noteChanged();
    void writeRecoveryCopy();
    void dropRecoveryCopy();

    NoteServices m_services;
    WindowMessages m_messages;
    QWidget *m_window;
    QString m_folder;
    Note m_note;
    QSize m_size;
    QPoint m_position;
    bool m_parked = false;
    bool m_alertCentred = false;
    QTimer m_timer2;
    RecoveryCopy m_recovery;
    // A pending recovery copy is the one of this generation.
    int m_recoveryGeneration = 0;
    bool m_recoveryPending = false;
    QByteArray m_recoveryWritten;
    Indicator m_indicator = Indicator::Inactive;
    bool m_setupOpen = false;
    bool m_deleteArmed = false;
    // The desktop reports key changes: the all-notes keys need no polling, and the timer only
    // watches an armed alert.
    bool m_keysWatched = false;
    bool m_ended = false;
    // The place this note claimed when it last fired.
    std::optional<FiredClaim> m_firedClaim;
};

} // namespace promemo::note
