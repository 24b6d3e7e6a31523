#pragma once

#include <QObject>
#include <QString>

#include <functional>

#include "common/atomicfile.h"
#include "common/settings.h"
#include "launcher/core/launchersession.h"
#include "platform/messageboxes.h"

namespace promemo::launcher {

// The start at log-on, as the desktop keeps it: whether it is on, and turning it on or off.
struct AutostartEntry
{
    std::function<bool()> isOn;
    std::function<WriteResult(bool on)> set;
};

// What frmOpzioni shows: the index (from 1, as the settings store it) of the chosen option of
// each group, the two boxes, and whether "Applica" is enabled.
struct OptionsState
{
    int avvio = 1;
    int dimensioni = 1;
    int carattere = 2;
    int colore = 1;
    bool suono = false;
    bool autostart = false;
    bool applyEnabled = false;
};

// The options dialog's flows: preset from the settings file and the launcher's options, the
// confirmations, and Apply, which writes the settings and the start at log-on and hands the new
// options to the launcher. A failed write is shown.
class OptionsSession final : public QObject
{
    Q_OBJECT
public:
    // `messageParent` is only passed on to the message boxes.
    OptionsSession(IMessageBoxes &messageBoxes, QWidget *messageParent, const QString &programFolder,
                   const LauncherOptions &options, AutostartEntry autostart, QObject *parent = nullptr);

    const OptionsState &state() const { return m_state; }

    // The user's clicks; each may change the state, which changed() then tells.
    void optAvvio_Click(int index);
    void optDimensioni_Click(int index);
    void optCarattere_Click(int index);
    void OptColore_Click(int index);
    void chkSuono_Click(bool ticked);
    void chkAutostart_Click(bool ticked);
    void cmdApplica_Click();
    // Applies when "Applica" is enabled; the window then closes.
    void cmdOk_Click();

signals:
    void changed();
    void applied(const LauncherOptions &options);

private:
    void preset();
    void choose(int &option, int index);
    void applyAutostart();
    bool confirm(const QString &text) const;
    void warnIfFailed(const WriteResult &written) const;

    WindowMessages m_messages;
    const Settings m_settings;
    LauncherOptions m_options;
    const AutostartEntry m_autostart;
    OptionsState m_state;
    int m_lastAvvio = 0;
    bool m_autostartChanged = false;
};

} // namespace promemo::launcher
