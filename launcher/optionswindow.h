#pragma once

#include <QWidget>

#include <array>

#include "launcher/core/optionssession.h"
#include "platform/services.h"

class QButtonGroup;
class QCheckBox;
class QPushButton;
class QRadioButton;

namespace promemo::launcher {

// frmOpzioni, "  Opzioni di Promemo": the five options and the start at log-on, as its session
// says. Shown on top without taking the focus; not modal; deleted on close.
class frmOpzioni : public QWidget
{
    Q_OBJECT
public:
    frmOpzioni(const Services &services, const LauncherOptions &options, QWidget *parent = nullptr);

    OptionsSession &session() { return m_session; }

    // Option groups are numbered from 1, as the settings store them.
    QRadioButton *optAvvio(int index) const { return m_optAvvio.at(index - 1); }
    QRadioButton *optDimensioni(int index) const { return m_optDimensioni.at(index - 1); }
    QRadioButton *optCarattere(int index) const { return m_optCarattere.at(index - 1); }
    QRadioButton *optColore(int index) const { return m_optColore.at(index - 1); }
    QCheckBox *chkSuono() const { return m_chkSuono; }
    QCheckBox *chkAutostart() const { return m_chkAutostart; }
    QPushButton *cmdOk() const { return m_cmdOk; }
    QPushButton *cmdAnnulla() const { return m_cmdAnnulla; }
    QPushButton *cmdApplica() const { return m_cmdApplica; }
    QPushButton *cmdHelp() const { return m_cmdHelp; }

private:
    void buildControls();
    void render();

    const Services m_services;
    OptionsSession m_session;

    std::array<QRadioButton *, 4> m_optAvvio{};
    std::array<QRadioButton *, 2> m_optDimensioni{};
    std::array<QRadioButton *, 3> m_optCarattere{};
    std::array<QRadioButton *, 3> m_optColore{};
    QCheckBox *m_chkSuono = nullptr;
    QCheckBox *m_chkAutostart = nullptr;
    QPushButton *m_cmdOk = nullptr;
    QPushButton *m_cmdAnnulla = nullptr;
    QPushButton *m_cmdApplica = nullptr;
    QPushButton *m_cmdHelp = nullptr;
};

} // namespace promemo::launcher
