#pragma once

#include <QPointer>
#include <QWidget>

#include <memory>

#include "note/alertsetup.h"
#include "note/core/notesession.h"
#include "note/notetextedit.h"
#include "platform/services.h"
#include "widgets/programstart.h"

class QFrame;
class QLabel;

namespace promemo::note {

// `frmNotino`: the frameless, always-on-top note window. It shows what its session holds and
// hands the session the user's keys, presses and drags.
class frmNotino final : public QWidget
{
    Q_OBJECT
public:
    // Registered under "PromemoX" through `registration`, or anew when it is null.
    frmNotino(const Services &services, Note note,
              std::unique_ptr<RegisteredWindow> registration = nullptr, QWidget *parent = nullptr);
    ~frmNotino() override;

    // Shows the note as its start asks and starts the session.
    void start(Placement placement);

    const Note &note() const { return m_session.note(); }
    bool ended() const { return m_session.ended(); }
    QColor indicatorColour() const;

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
    void buildControls();
    void connectSession();
    // Everything the session holds that the labels, colours and strip show.
    void render();
    void applyTextSize();
    void showAlertLabel();
    void Conta_Righe();
    void Controlla_Posizione(Qt::MouseButton button, QPoint globalPress);
    void openAlertSetup();

    Services m_services;
    std::unique_ptr<RegisteredWindow> m_registration;
    QSize m_windowSize;
    NoteSession m_session;
    QPointer<AlertSetupDialog> m_setup;
    int m_shownPoints = 0;
    bool m_dragging = false;
    QPoint m_dragOffset;
};

// The start of a note program, once the launcher's tray window has been looked for: `started`
// gets the window from the event loop, or null when the program is to end silently (no
// launcher, a bad argument, a missing note file).
void startNoteProgram(const Services &services, StartKind kind, NoteSize size,
                      const QString &argument, QObject *context, Started<frmNotino> started);

} // namespace promemo::note
