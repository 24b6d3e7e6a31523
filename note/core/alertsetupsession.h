#pragma once

#include <QDate>
#include <QPoint>
#include <QRect>
#include <QString>

#include "common/notename.h"
#include "note/core/alertvalidation.h"
#include "platform/messageboxes.h"

namespace promemo {
class IClock;
}

namespace promemo::note {

// What the alert set-up needs of its note.
class AlertSetupNote
{
public:
    virtual ~AlertSetupNote() = default;

    virtual NoteSize noteSize() const = 0;
    // The note window's frame, in twips.
    virtual QRect geometryTwips() const = 0;
    // The date `Label1` shows.
    virtual QDate noteDate() const = 0;
    // `Label2`: hh.mm or empty.
    virtual QString alertText() const = 0;
    virtual int alertMinutes() const = 0;

    virtual void setNoteDate(QDate date) = 0;
    virtual void setAlertMinutes(int minutes) = 0;
    // `Label2` = `text` (hh.mm or empty), armed.
    virtual void armAlert(const QString &text) = 0;
    // `Aggiorna_Registrazione`, set the force-save flag, `Salva_Nota`.
    virtual void saveChangedAlert() = 0;
    // Once, when the set-up goes; after a cancel the focus goes back to the note's text.
    virtual void alertSetupClosed(bool cancelled) = 0;
};

// The flow of `frmTimer`: the boxes it opens with, where the focus goes, the checks of OK and
// what they apply to the note. Focus positions are 0 to 4 for the boxes and kOkPosition for OK.
class AlertSetupSession
{
public:
    // `messages`: the dialog's error boxes.
    AlertSetupSession(AlertSetupNote &note, const IClock &clock, WindowMessages messages);

    // `Form_Load`: the top-left of the dialog's frame in twips, and the boxes it opens with.
    QPoint topLeftTwips(int frameHeightTwips, int screenBottomTwips) const;
    AlertBoxes open();

    int focusPosition() const { return m_focusPosition; }
    void focusReached(int position) { m_focusPosition = position; }
    // `Controllo_Freccia`: the focus to `position`, wrapped past either end; returns where it is.
    int Controllo_Freccia(int position);
    // Tab and Shift+Tab walk the groups: the date boxes, the hours box, OK.
    int tab(bool next);
    // A box refused a key that is no digit: said, and the focus stays in it.
    int refused(int position);

    struct Outcome
    {
        AlertBoxes boxes;   // the boxes as OK leaves them
        bool closes = false;
        int focus = DayBox; // where the focus goes when the dialog stays
    };
    // `cmdOk_Click`.
    Outcome cmdOk_Click(const AlertBoxes &boxes);
    // `cmdAnnulla_Click`, Escape or the frame's close button; the note learns it once.
    void finish(bool cancelled);

private:
    AlertSetupNote &m_note;
    const IClock &m_clock;
    WindowMessages m_messages;
    AlertBoxes m_openingValues;
    int m_focusPosition = DayBox;
    bool m_finished = false;
};

} // namespace promemo::note
