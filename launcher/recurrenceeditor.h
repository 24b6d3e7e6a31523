#pragma once

#include <QDate>
#include <QWidget>

#include <array>
#include <memory>

#include "launcher/core/recurrenceentry.h"
#include "platform/services.h"
#include "widgets/twodigitbox.h"
#include "platform/messageboxes.h"

class QKeyEvent;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace promemo::launcher {

// frmRicorrenze, "  Editor Ricorrenze": the list of recurrences read from rico.dat and a form
// for one recurrence. Entries are added from the form, picked back into it to be changed or
// deleted, and both recurrence files are written only by "Chiudi". Shown on top without taking
// the focus, centred; registered under its caption; deleted on close.
class frmRicorrenze : public QWidget
{
    Q_OBJECT
public:
    explicit frmRicorrenze(const Services &services, QWidget *parent = nullptr);
    ~frmRicorrenze() override;

    // txtData(0) day, txtData(1) month, txtData(2) occurrences per year.
    QLineEdit *txtData(int index) const { return m_txtData.at(index); }
    QLineEdit *txtAlert() const { return m_txtAlert; }
    QLineEdit *txtRicorrenza() const { return m_txtRicorrenza; }
    QListWidget *List1() const { return m_list; }
    QWidget *Picture1() const { return m_picture; }
    QPushButton *cmdAnnulla() const { return m_cmdAnnulla; }
    QPushButton *cmdHelp() const { return m_cmdHelp; }
    QPushButton *cmdOk() const { return m_cmdOk; }
    QPushButton *cmdChiudi() const { return m_cmdChiudi; }
    QStringList entries() const;
    // The field the arrow keys and the automatic advance address: 0 day to 5 the insert button.
    int focusPosition() const { return m_focusPosition; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void fillList();
    void addEntry(const QString &entry);
    RecurrenceForm form() const;
    void setForm(const RecurrenceForm &form);
    QWidget *fieldWidget(FormField field) const;

    void Msg_Box(const QString &text);
    void Controllo_Freccia();
    void moveFocus(int position);
    void cmdOk_Click();
    void cmdAnnulla_Click();
    void cmdChiudi_Click();
    void List1_Click(QListWidgetItem *item);
    void openHelp();

    void connectDigitBox(int index);
    bool textBoxKey(const QKeyEvent &key);
    bool listKey(const QKeyEvent &key);
    bool isNewFocus(Qt::FocusReason reason);
    void focusGained(QObject *watched);
    void enterField(QWidget *field);

    const Services m_services;
    const WindowMessages m_errors;
    const WindowMessages m_messages;
    QDate m_firstOfYear;
    // The records of rico.dat the list cannot show, written back as they were read.
    QByteArray m_unreadable;
    int m_focusPosition = 0;
    bool m_activated = false;
    // Counters of the day, month, occurrences and alert boxes, in that order.
    // The date boxes, then the alert box.
    std::array<TwoDigitBox *, 4> m_digitBoxes{};

    std::array<TwoDigitBox *, 3> m_txtData{};
    TwoDigitBox *m_txtAlert = nullptr;
    QLineEdit *m_txtRicorrenza = nullptr;
    QWidget *m_picture = nullptr;
    QListWidget *m_list = nullptr;
    QPushButton *m_cmdAnnulla = nullptr;
    QPushButton *m_cmdHelp = nullptr;
    QPushButton *m_cmdOk = nullptr;
    QPushButton *m_cmdChiudi = nullptr;
    std::unique_ptr<RegisteredWindow> m_registration;
};

} // namespace promemo::launcher
