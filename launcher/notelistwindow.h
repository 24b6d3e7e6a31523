#pragma once

#include <QWidget>

#include <chrono>
#include <optional>

#include "launcher/core/notelistsession.h"
#include "platform/services.h"

class QFrame;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace promemo::launcher {

// frmCounter, "  Elenco Notino": the lists of its session, each cut off on the left by its frame
// so that the sort key stays out of view. Building the window opens the session and shows it on
// top without taking the focus. Deleted on close.
class frmCounter : public QWidget
{
    Q_OBJECT
public:
    explicit frmCounter(const Services &services, QWidget *parent = nullptr);
    ~frmCounter() override;

    // List1 .. List4.
    QListWidget *list(int number) const;
    QPushButton *chiudi() const { return cmdChiudi; }

protected:
    void changeEvent(QEvent *event) override;

private:
    void buildControls();
    void placeControls();
    void showLines(int number);
    void reopenNote(int number, QListWidgetItem *item);
    void cmdStampa_Click();

    const Services m_services;
    NoteListSession m_session;

    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *Label4 = nullptr;
    QFrame *Picture1 = nullptr;
    QFrame *Picture2 = nullptr;
    QFrame *Picture3 = nullptr;
    QFrame *Picture4 = nullptr;
    QListWidget *List1 = nullptr;
    QListWidget *List2 = nullptr;
    QListWidget *List3 = nullptr;
    QListWidget *List4 = nullptr;
    QPushButton *cmdStampa = nullptr;
    QPushButton *cmdHelp = nullptr;
    QPushButton *cmdChiudi = nullptr;

    bool m_left = false;
    std::optional<std::chrono::milliseconds> m_lastReopen;
};

} // namespace promemo::launcher
