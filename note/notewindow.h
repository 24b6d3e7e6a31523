#pragma once

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <memory>
#include <optional>

#include "note/alertsetup.h"
#include "note/core/firedplaces.h"
#include "note/core/notekeys.h"
#include "note/core/notemodule.h"
#include "note/core/noterules.h"
#include "note/notestart.h"
#include "note/notetextedit.h"
#include "platform/captions.h"
#include "platform/services.h"
#include "widgets/programstart.h"
#include "platform/messageboxes.h"

class QFrame;
class QLabel;
class QPlainTextEdit;

namespace promemo::note {

// The title of the note's message boxes.
inline const QString kNoteTitle = QStringLiteral(" Promemo");

// `frmNotino`: the frameless, always-on-top note window.
class frmNotino final : public QWidget, private AlertSetupNote
{
    Q_OBJECT
public:
    // Registered under "PromemoX" through `registration`, or anew when it is null.
    frmNotino(const Services &services, Note note,
              std::unique_ptr<RegisteredWindow> registration = nullptr, QWidget *parent = nullptr);
    ~frmNotino() override;

    // Shows the note as its start asks and starts the timer.
    void start(Placement placement);

    const Note &note() const { return m_note; }
    bool ended() const { return m_ended; }
    QColor indicatorColour() const { return m_indicator; }
    bool setupOpen() const { return m_setup != nullptr; }

    // One tick of `Timer2`.
    void Timer2_Timer();
    void allNotesKeys();
    void updateIndicator();
    // The position rules after a drag: park, edge zones, save.
    void afterDrag();
    bool Salva_Nota();
    void Esci();
    void Elimina_File();

    NoteTextEdit *Text1 = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label4 = nullptr;
    QLabel *Label6 = nullptr;
    QFrame *Shape1 = nullptr;

signals:
    void finished();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
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

    void buildControls();
    void applyColour();
    void applyTextSize();
    void showAlertLabel(Qt::Alignment alignment);
    void setIndicator(const QColor &colour);

    void Controlla_Posizione(Qt::MouseButton button, QPoint globalPress);
    void Text1_Change();
    void Conta_Righe();
    bool Text1_KeyDown(QKeyEvent *event);
    void run(NoteCommand command);
    void stepAlertTime(int step, Direction direction);
    // `Label1` and `Label2` to a new alert, armed, to be saved.
    void moveAlert(QDate date, int minutes);
    void snoozeAlert();
    void stepNoteDate(int days);
    void fireAlert(const QDateTime &now);
    void showWriteFailure(const QString &error);
    void Suono();
    void notifyAlert();
    void openAlertSetup();

    void moveTwips(int leftTwips, int topTwips);
    void park(int leftPixels);
    void centre();
    // A fired note's place (note/noteplaces.cpp): the middle, or the first place down and right
    // of it that no other fired note holds.
    void placeFired();
    void lookForFiredPlace(qint64 since, int looksLeft, int quietLooks);
    int firedSlotHere() const;
    QByteArray firedState() const;
    QSize screenTwips() const;
    void end();
    // A change the file does not hold yet: the recovery copy follows within two seconds.
    void noteChanged();
    void writeRecoveryCopy();
    void dropRecoveryCopy();

    Services m_services;
    WindowMessages m_messages;
    Note m_note;
    std::unique_ptr<RegisteredWindow> m_registration;
    QTimer m_timer2;
    RecoveryCopy m_recovery;
    QTimer m_recoveryTimer;
    QByteArray m_recoveryWritten;
    QColor m_indicator;
    QPointer<AlertSetupDialog> m_setup;
    bool m_deleteArmed = false;
    int m_ctrlHeld = 0;
    // The desktop reports key changes: the all-notes keys need no polling, and the timer only
    // watches an armed alert.
    bool m_keysWatched = false;
    bool m_ended = false;
    bool m_dragging = false;
    QPoint m_dragOffset;
    // The place this note claimed when it last fired.
    std::optional<FiredClaim> m_firedClaim;
};

// The start of a note program, once the launcher's tray window has been looked for: `started`
// gets the window from the event loop, or null when the program is to end silently (no
// launcher, a bad argument, a missing note file).
void startNoteProgram(const Services &services, StartKind kind, NoteSize size,
                      const QString &argument, QObject *context, Started<frmNotino> started);

} // namespace promemo::note
