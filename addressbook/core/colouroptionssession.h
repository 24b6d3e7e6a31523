#pragma once

#include <QObject>

#include "common/settings.h"
#include "platform/messageboxes.h"

namespace promemo::rubrica {

// frmOpzioni's state and flow: the chosen tab and sheet colours, when Applica is enabled, and
// writing ColSfondo and ColTasti.
class ColourOptionsSession : public QObject
{
    Q_OBJECT
public:
    // Reads ColSfondo and ColTasti afresh; a failed write is told through `messages`.
    ColourOptionsSession(const Settings &settings, const WindowMessages &messages,
                         QObject *parent = nullptr);

    int chosenTab() const { return m_chosenTab; }
    int chosenSheet() const { return m_chosenSheet; }
    bool applyEnabled() const { return m_applyEnabled; }

    void clickTabSwatch(int index);
    void clickSheetSwatch(int index);
    // Writes ColSfondo then ColTasti and reports the new colours; a failed write is reported
    // with a message, Applica stays enabled and false is returned.
    bool applica();

signals:
    // The choice or Applica's state changed.
    void changed();
    // Applied: the window repaints its tabs and sheet at once.
    void applied(int tabIndex, int sheetIndex);

private:
    const Settings &m_settings;
    const WindowMessages m_messages;
    int m_chosenTab = 0;
    int m_chosenSheet = 0;
    // 0 at opening, 30 after Apply; a click on tab swatch i enables Applica unless it equals
    // i + 10, on sheet swatch i unless it equals i.
    int m_lastApplied = 0;
    bool m_applyEnabled = false;
};

} // namespace promemo::rubrica
