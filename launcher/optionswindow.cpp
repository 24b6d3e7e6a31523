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
#include "platform/autostart.h"
#include "widgets/centring.h"
#include "widgets/suitefont.h"

namespace promemo::launcher {

namespace {

const QString kHelpTopic = QStringLiteral("opzioni.htm");

// The launcher's desktop entry in the autostart folder.
AutostartEntry launcherAutostart()
{
    return {[] { return hasLauncherEntry(autostartFolder()); },
            [](bool on) {
                const QString folder = autostartFolder();
                return on ? writeLauncherEntry(folder, programPath(QStringLiteral("Notino")))
                          : removeLauncherEntries(folder);
            }};
}

void paintBackground(QWidget *widget, const Rgb &rgb)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, QColor(rgb.red, rgb.green, rgb.blue));
    palette.setColor(QPalette::Button, QColor(rgb.red, rgb.green, rgb.blue));
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

// The options of a group, numbered from 1 in the group and in their object names.
template <std::size_t N>
QButtonGroup *optionGroup(std::array<QRadioButton *, N> &group, const QStringList &captions,
                          const QString &name, QWidget *parent)
{
    auto *exclusive = new QButtonGroup(parent);
    for (std::size_t i = 0; i < N; ++i) {
        group[i] = new QRadioButton(captions.at(qsizetype(i)), parent);
        group[i]->setObjectName(QStringLiteral("%1_%2").arg(name).arg(i + 1));
        exclusive->addButton(group[i], int(i) + 1);
    }
    return exclusive;
}

template <std::size_t N>
void check(const std::array<QRadioButton *, N> &group, int index)
{
    group.at(std::size_t(index - 1))->setChecked(true);
}

} // namespace

frmOpzioni::frmOpzioni(const Services &services, const LauncherOptions &options, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint
                          | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , m_services(services)
    , m_session(services.messageBoxes, this, programFolder(), options, launcherAutostart())
{
    setObjectName(QStringLiteral("frmOpzioni"));
    setWindowTitle(QStringLiteral("  Opzioni di Promemo"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFont(suiteFont());
    buildControls();
    render();
    connect(&m_session, &OptionsSession::changed, this, &frmOpzioni::render);

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
    QButtonGroup *avvio = optionGroup(
        m_optAvvio,
        {QStringLiteral("Sempre"),
         QStringLiteral("Solo se ci sono Notino programmati per la data odierna, o Ricorrenze"),
         QStringLiteral("Solo se ci sono Notino programmati entro sette giorni, o Ricorrenze"),
         QStringLiteral("Mai ")},
        QStringLiteral("optAvvio"), generale);
    for (QRadioButton *button : m_optAvvio) {
        auto *indented = new QHBoxLayout;
        indented->addSpacing(12);
        indented->addWidget(button);
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
    const auto addRow = [&](const auto &group) {
        auto *row = new QHBoxLayout;
        row->addSpacing(12);
        for (QRadioButton *button : group)
            row->addWidget(button);
        row->addStretch();
        aspettoLayout->addLayout(row);
    };
    aspettoLayout->addWidget(
        new QLabel(QStringLiteral("Facendo click sinistro sulla icona di Promemo lancia:"), aspetto));
    QButtonGroup *dimensioni = optionGroup(
        m_optDimensioni, {QStringLiteral("Un Notino di grandezza normale"), QStringLiteral("Un Notino medio")},
        QStringLiteral("optDimensioni"), aspetto);
    addRow(m_optDimensioni);
    aspettoLayout->addWidget(
        new QLabel(QStringLiteral("avente il testo del messaggio con caratteri:"), aspetto));
    QButtonGroup *carattere = optionGroup(
        m_optCarattere,
        {QStringLiteral("piccoli (10 dpi)"), QStringLiteral("normali (12 dpi)"), QStringLiteral("medi (14 dpi)")},
        QStringLiteral("optCarattere"), aspetto);
    addRow(m_optCarattere);
    aspettoLayout->addWidget(new QLabel(QStringLiteral("e lo sfondo di colore:"), aspetto));
    QButtonGroup *colore = optionGroup(
        m_optColore, {QStringLiteral("giallo"), QStringLiteral("azzurro"), QStringLiteral("verde")},
        QStringLiteral("OptColore"), aspetto);
    addRow(m_optColore);
    for (int digit = 1; digit <= 3; ++digit) {
        // Equal tiles of colour rather than patches as wide as each word.
        optColore(digit)->setMinimumWidth(90);
        paintBackground(optColore(digit), rgbOf(*colourOfDigit(digit)));
    }

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

    OptionsSession *session = &m_session;
    connect(avvio, &QButtonGroup::idClicked, session, &OptionsSession::optAvvio_Click);
    connect(dimensioni, &QButtonGroup::idClicked, session, &OptionsSession::optDimensioni_Click);
    connect(carattere, &QButtonGroup::idClicked, session, &OptionsSession::optCarattere_Click);
    connect(colore, &QButtonGroup::idClicked, session, &OptionsSession::OptColore_Click);
    connect(m_chkSuono, &QCheckBox::clicked, session, &OptionsSession::chkSuono_Click);
    connect(m_chkAutostart, &QCheckBox::clicked, session, &OptionsSession::chkAutostart_Click);
    connect(m_cmdApplica, &QPushButton::clicked, session, &OptionsSession::cmdApplica_Click);
    connect(m_cmdOk, &QPushButton::clicked, this, [this] {
        m_session.cmdOk_Click();
        close();
    });
    connect(m_cmdAnnulla, &QPushButton::clicked, this, &QWidget::close);
    connect(m_cmdHelp, &QPushButton::clicked, this, [this] { m_services.help.open(kHelpTopic); });
}

void frmOpzioni::render()
{
    const OptionsState &state = m_session.state();
    check(m_optAvvio, state.avvio);
    check(m_optDimensioni, state.dimensioni);
    check(m_optCarattere, state.carattere);
    check(m_optColore, state.colore);
    m_chkSuono->setChecked(state.suono);
    m_chkAutostart->setChecked(state.autostart);
    m_cmdApplica->setEnabled(state.applyEnabled);
}

} // namespace promemo::launcher
