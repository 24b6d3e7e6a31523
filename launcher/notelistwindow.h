#pragma once

#include <QStringList>
#include <QWidget>

#include <chrono>
#include <optional>

#include "platform/services.h"

class QFrame;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace promemo::launcher {

// frmCounter, "  Elenco Notino": today's and later put-away notes, recurrences due and the
// notes just deleted as past. Building the window fills it, deletes the past notes and shows
// it on top without taking the focus. Deleted on close.
class frmCounter : public QWidget
{
    Q_OBJECT
public:
    explicit frmCounter(const Services &services, QWidget *parent = nullptr);
    ~frmCounter() override;

    // Each line of a note keeps its bare file name here; placeholders have none.
    static constexpr int FileNameRole = Qt::UserRole;

    QListWidget *list1() const { return List1; }
    QListWidget *list2() const { return List2; }
    QListWidget *list3() const { return List3; }
    QListWidget *list4() const { return List4; }
    QPushButton *stampa() const { return cmdStampa; }
    QPushButton *chiudi() const { return cmdChiudi; }
    bool recurrencesShown() const { return m_recurrencesShown; }
    bool expiredShown() const { return m_expiredShown; }

    // The printed page of the list: the heading, then every note of List1, List2 and List3.
    QStringList printedLines() const;

protected:
    void changeEvent(QEvent *event) override;

private:
    void buildControls();
    int today() const;
    void placeControls();
    void Attuali();
    void Futuri();
    void Ricorrenze();
    void Superati();
    void List1_Click(QListWidgetItem *item);
    void List2_Click(QListWidgetItem *item);
    void reopenNote(QListWidget *list, QListWidgetItem *item, bool closeWatcher, WindowMode mode);
    void cmdStampa_Click();
    void cmdHelp_Click();

    const Services m_services;

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

    int m_heightTwips = 0;
    int m_buttonsTopTwips = 0;
    bool m_recurrencesShown = false;
    bool m_expiredShown = false;
    bool m_left = false;
    std::optional<std::chrono::milliseconds> m_lastReopen;
};

} // namespace promemo::launcher
