#pragma once

#include <QWidget>

#include <array>
#include <memory>

#include "launcher/core/recurrenceeditorsession.h"
#include "platform/services.h"

class QKeyEvent;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace promemo {
class TwoDigitBox;
}

namespace promemo::launcher {

// frmRicorrenze, "  Editor Ricorrenze": the list of recurrences and the form for one, as its
// session says; the window turns keys and clicks into calls on it. Shown on top, centred, with
// the focus in the day box; registered under its caption; deleted on close.
class frmRicorrenze : public QWidget
{
    Q_OBJECT
public:
    explicit frmRicorrenze(const Services &services, QWidget *parent = nullptr);
    ~frmRicorrenze() override;

    // txtData(0) day, txtData(1) month, txtData(2) occurrences per year.
    QLineEdit *txtData(int index) const;
    QLineEdit *txtAlert() const;
    QLineEdit *txtRicorrenza() const { return m_txtRicorrenza; }
    QListWidget *List1() const { return m_list; }
    QPushButton *cmdOk() const { return m_cmdOk; }
    QPushButton *cmdChiudi() const { return m_cmdChiudi; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void connectSession();
    void connectDigitBox(EditorField field);
    RecurrenceForm form() const;
    void showForm(const RecurrenceForm &form);
    QWidget *fieldWidget(EditorField field) const;
    bool boxKey(EditorField field, const QKeyEvent &key);
    bool isNewFocus(Qt::FocusReason reason);
    void focusGained(EditorField field);
    void enterField(EditorField field);
    void openHelp();

    const Services m_services;
    RecurrenceEditorSession m_session;
    bool m_activated = false;

    // The day, month, occurrences and alert boxes, in the order of their fields.
    std::array<TwoDigitBox *, 4> m_digitBoxes{};
    QLineEdit *m_txtRicorrenza = nullptr;
    QListWidget *m_list = nullptr;
    QPushButton *m_cmdAnnulla = nullptr;
    QPushButton *m_cmdHelp = nullptr;
    QPushButton *m_cmdOk = nullptr;
    QPushButton *m_cmdChiudi = nullptr;
    std::unique_ptr<RegisteredWindow> m_registration;
};

} // namespace promemo::launcher
