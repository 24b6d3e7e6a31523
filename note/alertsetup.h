#pragma once

#include <QDate>
#include <QDialog>
#include <QRect>
#include <QString>

#include <array>

#include "common/notename.h"
#include "platform/services.h"

class QLineEdit;

namespace promemo {
class TwoDigitBox;
}
class QPushButton;

namespace promemo::note {

// What the alert set-up dialog needs of its note.
class AlertSetupNote
{
public:
    virtual ~AlertSetupNote() = default;

    virtual NoteSize noteSize() const = 0;
    // The note window's frame, in twips.
    virtual QRect geometryTwips() const = 0;
    // The date `Label1` shows; a date label that cannot be read counts as today.
    virtual QDate noteDate() const = 0;
    // `Label2`: hh.mm or empty.
    virtual QString alertText() const = 0;
    virtual int alertMinutes() const = 0;

    // The note's date and `Label1`.
    virtual void setNoteDate(QDate date) = 0;
    virtual void setAlertMinutes(int minutes) = 0;
    // `Label2` = `text` (hh.mm or empty) in the armed colours and weight, alignment kept.
    virtual void armAlert(const QString &text) = 0;
    // `Aggiorna_Registrazione`, set the force-save flag, `Salva_Nota`.
    virtual void saveChangedAlert() = 0;
    // Once, when the dialog goes: the indicator back to green; after a cancel also the focus
    // back to the note's text.
    virtual void alertSetupClosed(bool cancelled) = 0;
};

// `frmTimer`: the new date and alert time of a note in five two-digit boxes. Not modal and on
// top; it deletes itself when it closes, so the note keeps it in a QPointer and only raises it
// while it exists. Closing it by the window frame or Escape counts as Cancel. The note must
// outlive it or close it first.
class AlertSetupDialog : public QDialog
{
    Q_OBJECT
public:
    AlertSetupDialog(AlertSetupNote &note, const Services &services, QWidget *parent = nullptr);
    ~AlertSetupDialog() override;

    // Places, fills and shows the dialog with the focus in the day box (`Form_Load`).
    void showForNote();

    // The focus position: 0 day, 1 month, 2 year, 3 hours, 4 minutes, 5 OK.
    int focusPosition() const { return m_focusPosition; }

public slots:
    void accept() override; // `cmdOk_Click`
    void reject() override; // `cmdAnnulla_Click`

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool focusNextPrevChild(bool next) override;

private:
    static constexpr int kBoxes = 5;

    int boxIndex(const QObject *object) const;
    QLineEdit *box(int position) const;
    void boxGotFocus(int position);
    void connectBox(int position);
    void Controllo_Freccia();
    void Msg_Box(const QString &message);
    void cmdHelp_Click();
    void finish(bool cancelled);

    AlertSetupNote &m_note;
    Services m_services;
    std::array<TwoDigitBox *, kBoxes> m_boxes{};
    QPushButton *m_cmdOk = nullptr;
    std::array<QString, kBoxes> m_openingValues;
    int m_focusPosition = 0;
    bool m_finished = false;
};

} // namespace promemo::note
