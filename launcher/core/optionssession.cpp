#include "launcher/core/optionssession.h"

#include <QDir>

#include "launcher/core/logging.h"

namespace promemo::launcher {

namespace {

const QString kTitle = QStringLiteral(" Promemo");
const QString kLeaveAlways = QStringLiteral(
    "Stai per deselezionare l'opzione che ti consente di visualizzare    \r"
    "in ogni caso l'Elenco dei Notino all'avvio dei programma    \r\r"
    "Vuoi continuare?");
const QString kLeaveAutostart = QStringLiteral(
    "Stai per deselezionare l'opzione di avvio automatico di Promemo    \r\r"
    "Cosi facendo potrebbero non essere controllati eventuali Alert inseriti...    \r\r"
    "Vuoi continuare?");
const QString kNotSaved = QStringLiteral("  Impossibile salvare le opzioni:    \r\r  %1    ");

} // namespace

OptionsSession::OptionsSession(IMessageBoxes &messageBoxes, QWidget *messageParent,
                               const QString &programFolder, const LauncherOptions &options,
                               AutostartEntry autostart, QObject *parent)
    : QObject(parent)
    , m_messages(messageBoxes, kTitle, messageParent)
    , m_settings(QDir(programFolder).filePath(kSettingsFileName.toString()))
    , m_options(options)
    , m_autostart(std::move(autostart))
{
    preset();
}

void OptionsSession::preset()
{
    m_state.autostart = m_autostart.isOn();
    m_state.suono = m_options.sound;
    // The dialog reads the file now: another program may have changed it since start-up.
    m_lastAvvio = int(m_settings.showList());
    m_state.avvio = m_lastAvvio;
    m_state.dimensioni = m_settings.noteSize() == NoteSize::Medium ? 2 : 1;
    m_state.carattere = int(m_settings.textSize());
    m_state.colore = colourDigit(m_settings.noteColour());
    m_state.applyEnabled = false;
}

void OptionsSession::warnIfFailed(const WriteResult &written) const
{
    if (written.ok())
        return;
    qCWarning(lcLauncher).noquote() << "Options not saved:" << written.error;
    m_messages.warn(kNotSaved.arg(written.error));
}

bool OptionsSession::confirm(const QString &text) const
{
    return m_messages.show(text, MessageIcon::Information, MessageButtons::YesNo) == MessageAnswer::Yes;
}

void OptionsSession::choose(int &option, int index)
{
    option = index;
    m_state.applyEnabled = true;
    emit changed();
}

void OptionsSession::optAvvio_Click(int index)
{
    if (index != 1 && m_lastAvvio == 1 && !confirm(kLeaveAlways)) {
        m_state.avvio = 1;
        emit changed();
        return;
    }
    m_state.avvio = index;
    m_state.applyEnabled = m_state.applyEnabled || index != m_lastAvvio;
    m_lastAvvio = index;
    emit changed();
}

void OptionsSession::optDimensioni_Click(int index)
{
    choose(m_state.dimensioni, index);
}

void OptionsSession::optCarattere_Click(int index)
{
    choose(m_state.carattere, index);
}

void OptionsSession::OptColore_Click(int index)
{
    choose(m_state.colore, index);
}

void OptionsSession::chkSuono_Click(bool ticked)
{
    m_state.suono = ticked;
    m_state.applyEnabled = true;
    emit changed();
}

void OptionsSession::chkAutostart_Click(bool ticked)
{
    if (!ticked && !confirm(kLeaveAutostart)) {
        m_state.autostart = true;
        emit changed();
        return;
    }
    m_state.autostart = ticked;
    m_autostartChanged = true;
    m_state.applyEnabled = true;
    emit changed();
}

void OptionsSession::applyAutostart()
{
    warnIfFailed(m_autostart.set(m_state.autostart));
    // The box shows what the desktop now holds.
    m_state.autostart = m_autostart.isOn();
    m_autostartChanged = false;
}

void OptionsSession::cmdApplica_Click()
{
    if (m_autostartChanged)
        applyAutostart();

    // Every choice is written; the first failure is shown.
    WriteResult written;
    const auto keep = [&written](WriteResult result) {
        if (written.ok())
            written = std::move(result);
    };
    m_options.sound = m_state.suono;
    keep(m_settings.setSound(m_options.sound));
    keep(m_settings.setShowList(ShowList(m_state.avvio)));
    m_options.textSize = TextSize(m_state.carattere);
    keep(m_settings.setTextSize(m_options.textSize));
    m_options.colour = colourOfDigit(m_state.colore).value_or(NoteColour::Yellow);
    keep(m_settings.setNoteColour(m_options.colour));
    m_options.noteSize = m_state.dimensioni == 2 ? NoteSize::Medium : NoteSize::Normal;
    keep(m_settings.setNoteSize(m_options.noteSize));
    warnIfFailed(written);
    m_state.applyEnabled = false;
    emit changed();
    emit applied(m_options);
}

void OptionsSession::cmdOk_Click()
{
    if (m_state.applyEnabled)
        cmdApplica_Click();
}

} // namespace promemo::launcher
