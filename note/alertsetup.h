#pragma once

#include <QDialog>

#include <array>

#include "note/core/alertsetupsession.h"
#include "platform/services.h"

namespace promemo {
class TwoDigitBox;
}
class QPushButton;

namespace promemo::note {

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
    int focusPosition() const { return m_session.focusPosition(); }

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
    void boxGotFocus(int position);
    void connectBox(int position);
    // The focus to where the session put it.
    void showFocus(int position);

    Services m_services;
    AlertSetupSession m_session;
    std::array<TwoDigitBox *, kBoxes> m_boxes{};
    QPushButton *m_cmdOk = nullptr;
};

} // namespace promemo::note
