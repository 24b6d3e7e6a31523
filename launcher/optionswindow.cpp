#include "launcher/optionswindow.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "common/programfolder.h"
#include "launcher/core/logging.h"
#include "platform/autostart.h"
#include "widgets/centring.h"
#include "widgets/suitefont.h"
#include "platform/messageboxes.h"

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
const QString kHelpTopic = QStringLiteral("opzioni.htm");

template <std::size_t N>
void check(const std::array<QRadioButton *, N> &group, int index)
{
    group.at(std::size_t(index - 1))->setChecked(true);
}

// The number (from 1) of the checked option of a group; 0 when none is.
template <std::size_t N>
int checkedIndex(const std::array<QRadioButton *, N> &group)
{
    for (std::size_t i = 0; i < N; ++i) {
        if (group[i]->isChecked())
            return int(i) + 1;
    }
    return 0;
}

void paintBackground(QWidget *widget, const Rgb &rgb)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, QColor(rgb.red, rgb.green, rgb.blue));
    palette.setColor(QPalette::Button, QColor(rgb.red, rgb.green, rgb.blue));
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

QRadioButton *option(const QString &caption, const QString &name, int index, QWidget *parent)
{
    auto *button = new QRadioButton(caption, parent);
    button->setObjectName(QStringLiteral("%1_%2").arg(name).arg(index));
    return button;
}

} // namespace

frmOpzioni::frmOpzioni(const Services &services, LauncherOptions &options, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint
                          | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_services(services), m_options(options), m_settings(Settings::inProgramFolder())
{
    setObjectName(QStringLiteral("frmOpzioni"));
    setWindowTitle(QStringLiteral("  Opzioni di Promemo"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFont(suiteFont());
    buildControls();
    preset();

    setFixedSize(sizeHint());
    centreIn(*this, m_services.screen.availableGeometry());
    show();
}

void frmOpzioni::buildControls()
{
    auto *generale = new QGroupBox(QStringLiteral(" Generale"), this);
    auto *generaleLayout = new QVBoxLayout(generale);
    generaleLayout->setSpacing(3);
    generaleLayout->addWidget(
        new QLabel(QStringLiteral("All' avvio di Promemo visualizza l' Elenco dei Notino:"), generale));
    const QString avvio[] = {
        QStringLiteral("Sempre"),
        QStringLiteral("Solo se ci sono Notino programmati per la data odierna, o Ricorrenze"),
        QStringLiteral("Solo se ci sono Notino programmati entro sette giorni, o Ricorrenze"),
        QStringLiteral("Mai "),
    };
    m_avvioGroup = new QButtonGroup(this);
    for (int i = 0; i < 4; ++i) {
        m_optAvvio[i] = option(avvio[i], QStringLiteral("optAvvio"), i + 1, generale);
        m_avvioGroup->addButton(m_optAvvio[i], i + 1);
        auto *indented = new QHBoxLayout;
        indented->addSpacing(12);
        indented->addWidget(m_optAvvio[i]);
        generaleLayout->addLayout(indented);
    }
    generaleLayout->addSpacing(6);
    m_chkSuono = new QCheckBox(
        QStringLiteral("Consenti il suono all' avverarsi di un evento Alert"), generale);
    m_chkSuono->setObjectName(QStringLiteral("chkSuono"));
    m_chkAutostart = new QCheckBox(
        QStringLiteral("Lancia automaticamente Promemo all' avvio della sessione"), generale);
    m_chkAutostart->setObjectName(QStringLiteral("chkAutostart"));
    generaleLayout->addWidget(m_chkSuono);
    generaleLayout->addWidget(m_chkAutostart);

    auto *aspetto = new QGroupBox(QStringLiteral(" Aspetto"), this);
    auto *aspettoLayout = new QVBoxLayout(aspetto);
    aspettoLayout->setSpacing(3);
    const auto addRow = [&](auto &group, const QStringList &captions, const QString &name) {
        auto *row = new QHBoxLayout;
        row->addSpacing(12);
        auto *exclusive = new QButtonGroup(this);
        for (int i = 0; i < captions.size(); ++i) {
            group[i] = option(captions[i], name, i + 1, aspetto);
            exclusive->addButton(group[i], i + 1);
            row->addWidget(group[i]);
            connect(group[i], &QAbstractButton::clicked, this, &frmOpzioni::enableApply);
        }
        row->addStretch();
        aspettoLayout->addLayout(row);
    };
    aspettoLayout->addWidget(
        new QLabel(QStringLiteral("Facendo click sinistro sulla icona di Promemo lancia:"), aspetto));
    addRow(m_optDimensioni,
           {QStringLiteral("Un Notino di grandezza normale"), QStringLiteral("Un Notino medio")},
           QStringLiteral("optDimensioni"));
    aspettoLayout->addWidget(
        new QLabel(QStringLiteral("avente il testo del messaggio con caratteri:"), aspetto));
    addRow(m_optCarattere,
           {QStringLiteral("piccoli (10 dpi)"), QStringLiteral("normali (12 dpi)"),
            QStringLiteral("medi (14 dpi)")},
           QStringLiteral("optCarattere"));
    aspettoLayout->addWidget(new QLabel(QStringLiteral("e lo sfondo di colore:"), aspetto));
    addRow(m_optColore,
           {QStringLiteral("giallo"), QStringLiteral("azzurro"), QStringLiteral("verde")},
           QStringLiteral("OptColore"));

    m_cmdOk = new QPushButton(QStringLiteral("Ok"), this);
    m_cmdAnnulla = new QPushButton(QStringLiteral("Annulla"), this);
    m_cmdApplica = new QPushButton(QStringLiteral("Applica"), this);
    m_cmdHelp = new QPushButton(QStringLiteral("Help"), this);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton *button : {m_cmdOk, m_cmdAnnulla, m_cmdApplica, m_cmdHelp}) {
        button->setMinimumWidth(75);
        buttons->addWidget(button);
    }

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(generale);
    layout->addWidget(aspetto);
    layout->addLayout(buttons);

    connect(m_avvioGroup, &QButtonGroup::idClicked, this, &frmOpzioni::optAvvio_Click);
    connect(m_chkSuono, &QCheckBox::clicked, this, &frmOpzioni::enableApply);
    connect(m_chkAutostart, &QCheckBox::clicked, this, &frmOpzioni::chkAutostart_Click);
    connect(m_cmdApplica, &QPushButton::clicked, this, &frmOpzioni::cmdApplica_Click);
    connect(m_cmdOk, &QPushButton::clicked, this, &frmOpzioni::cmdOk_Click);
    connect(m_cmdAnnulla, &QPushButton::clicked, this, &QWidget::close);
    connect(m_cmdHelp, &QPushButton::clicked, this, [this] { m_services.help.open(kHelpTopic); });
}

void frmOpzioni::preset()
{
    m_chkAutostart->setChecked(hasLauncherEntry(autostartFolder()));
    m_chkSuono->setChecked(m_options.sound);
    // The dialog reads the file now: another program may have changed it since start-up.
    m_lastAvvio = int(m_settings.showList());
    check(m_optAvvio, m_lastAvvio);
    check(m_optDimensioni, m_settings.noteSize() == NoteSize::Medium ? 2 : 1);
    check(m_optCarattere, int(m_settings.textSize()));
    check(m_optColore, colourDigit(m_settings.noteColour()));
    for (int digit = 1; digit <= 3; ++digit) {
        // Equal tiles of colour rather than patches as wide as each word.
        optColore(digit)->setMinimumWidth(90);
        paintBackground(optColore(digit), rgbOf(*colourOfDigit(digit)));
    }
    m_cmdApplica->setEnabled(false);
}

void frmOpzioni::enableApply() const
{
    m_cmdApplica->setEnabled(true);
}

void frmOpzioni::warnIfFailed(const WriteResult &written)
{
    if (written.ok())
        return;
    qCWarning(lcLauncher).noquote() << "Options not saved:" << written.error;
    WindowMessages(m_services.messageBoxes, kTitle, this).warn(kNotSaved.arg(written.error));
}

bool frmOpzioni::confirm(const QString &text)
{
    return WindowMessages(m_services.messageBoxes, kTitle, this)
               .show(text, MessageIcon::Information, MessageButtons::YesNo)
           == MessageAnswer::Yes;
}

void frmOpzioni::optAvvio_Click(int index)
{
    if (index != 1 && m_lastAvvio == 1 && !confirm(kLeaveAlways)) {
        check(m_optAvvio, 1);
        return;
    }
    if (index != m_lastAvvio)
        enableApply();
    m_lastAvvio = index;
}

void frmOpzioni::chkAutostart_Click(bool ticked)
{
    if (!ticked && !confirm(kLeaveAutostart)) {
        m_chkAutostart->setChecked(true);
        return;
    }
    m_autostartChanged = true;
    enableApply();
}

void frmOpzioni::applyAutostart()
{
    const QString folder = autostartFolder();
    const WriteResult written = m_chkAutostart->isChecked()
                                    ? writeLauncherEntry(folder, programPath(QStringLiteral("Notino")))
                                    : removeLauncherEntries(folder);
    warnIfFailed(written);
    // The box shows what the folder now holds.
    m_chkAutostart->setChecked(hasLauncherEntry(folder));
    m_autostartChanged = false;
}

void frmOpzioni::cmdApplica_Click()
{
    if (m_autostartChanged)
        applyAutostart();

    // Every choice is written; the first failure is shown.
    WriteResult written;
    const auto keep = [&written](WriteResult result) {
        if (written.ok())
            written = std::move(result);
    };
    m_options.sound = m_chkSuono->isChecked();
    keep(m_settings.setSound(m_options.sound));
    if (const int avvio = checkedIndex(m_optAvvio))
        keep(m_settings.setShowList(ShowList(avvio)));
    if (const int carattere = checkedIndex(m_optCarattere)) {
        m_options.textSize = TextSize(carattere);
        keep(m_settings.setTextSize(m_options.textSize));
    }
    if (const auto colour = colourOfDigit(checkedIndex(m_optColore))) {
        m_options.colour = *colour;
        keep(m_settings.setNoteColour(m_options.colour));
    }
    if (const int dimensioni = checkedIndex(m_optDimensioni)) {
        m_options.noteSize = dimensioni == 2 ? NoteSize::Medium : NoteSize::Normal;
        keep(m_settings.setNoteSize(m_options.noteSize));
    }
    warnIfFailed(written);
    m_cmdApplica->setEnabled(false);
    emit applied();
}

void frmOpzioni::cmdOk_Click()
{
    if (m_cmdApplica->isEnabled())
        cmdApplica_Click();
    close();
}

} // namespace promemo::launcher
