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

    // Numbered from 1, as the settings store them.
    QRadioButton *optColore(int index) const { return m_optColore.at(index - 1); }
    QPushButton *cmdApplica() const { return m_cmdApplica; }

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
