#include "addressbook/core/colouroptionssession.h"

#include <QDir>

#include "addressbook/core/addressbookedit.h"

namespace promemo::rubrica {

namespace {

bool isChoice(int index)
{
    return index >= 0 && index < kColourChoices;
}

} // namespace

ColourOptionsSession::ColourOptionsSession(const Settings &settings, const WindowMessages &messages,
                                           QObject *parent)
    : QObject(parent), m_settings(settings), m_messages(messages),
      m_chosenTab(settings.tabColour()), m_chosenSheet(settings.sheetColour())
{
}

void ColourOptionsSession::clickTabSwatch(int index)
{
    if (!isChoice(index))
        return;
    m_chosenTab = index;
    if (m_lastApplied != index + 10)
        m_applyEnabled = true;
    emit changed();
}

void ColourOptionsSession::clickSheetSwatch(int index)
{
    if (!isChoice(index))
        return;
    m_chosenSheet = index;
    if (m_lastApplied != index)
        m_applyEnabled = true;
    emit changed();
}

bool ColourOptionsSession::applica()
{
    if (!m_settings.setAddressBookColours(m_chosenSheet, m_chosenTab)) {
        // Nothing is reported as applied: the window keeps its colours and Applica stays
        // available for another try.
        m_applyEnabled = true;
        emit changed();
        m_messages.warn(QStringLiteral("  Impossibile salvare i colori della Rubrica nel file  ")
                        + QDir::toNativeSeparators(m_settings.file().path())
                        + QStringLiteral("  \r\n\r\n  Il file potrebbe essere di sola lettura o "
                                         "il disco pieno.  "));
        return false;
    }
    m_lastApplied = 30;
    m_applyEnabled = false;
    emit changed();
    emit applied(m_chosenTab, m_chosenSheet);
    return true;
}

} // namespace promemo::rubrica
