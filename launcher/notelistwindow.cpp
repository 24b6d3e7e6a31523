#include "launcher/notelistwindow.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include <array>

#include "common/programfolder.h"
#include "common/twips.h"
#include "launcher/core/notelist.h"
#include "launcher/notelinedelegate.h"
#include "platform/printjob.h"
#include "widgets/centring.h"
#include "widgets/helpkey.h"
#include "widgets/twipsgeometry.h"

namespace promemo::launcher {

namespace {

using namespace std::chrono_literals;

const QString kHelpTopic = QStringLiteral("elenco.htm");

// Twips.
constexpr int kWidth = 9600;
constexpr int kLeft = 120;
constexpr int kLabelHeight = 255;
constexpr int kNoteFrameHeight = 1095;
constexpr int kShortFrameHeight = 645;
constexpr int kButtonWidth = 1695;
constexpr int kButtonHeight = 375;
constexpr int kLabel3Top = 4140;
constexpr int kPicture3Top = 4390;
constexpr int kLabel3TopAlone = 3140;
constexpr int kPicture3TopAlone = 3390;

// The window heights below count the classic title bar and borders; the client area is that
// much lower.
constexpr int kCaptionAndBorders = 405;
constexpr int kPlainHeight = 4020, kPlainButtons = 3100;
constexpr int kOneSectionHeight = 5040, kOneSectionButtons = 4110;
constexpr int kTwoSectionsHeight = 6045, kTwoSectionsButtons = 5110;

constexpr auto kPrintWait = 1500ms;

const PrintWindowLayout kPrintWindowLayout{{270, 109}, {7, 27, 256, 25}, {62, 56, 145, 25}};

} // namespace

frmCounter::frmCounter(const Services &services, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                          | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint
                          | Qt::WindowStaysOnTopHint)
    , m_services(services)
    , m_session(services.clock, services.processes, services.windows, programFolder())
{
    setObjectName(QStringLiteral("frmCounter"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_ShowWithoutActivating);
    buildControls();
    connect(&m_session, &NoteListSession::linesChanged, this, &frmCounter::showLines);
    m_session.open();
    placeControls();

    centreIn(*this, m_services.screen.availableGeometry());
    show();
}

frmCounter::~frmCounter() = default;

QListWidget *frmCounter::list(int number) const
{
    return std::array{List1, List2, List3, List4}.at(std::size_t(number - 1));
}

void frmCounter::buildControls()
{
    Label1 = new QLabel(
        QStringLiteral("Notino programmati per oggi   (esclusi quelli in esecuzione):"), this);
    Label2 = new QLabel(
        QStringLiteral("Notino programmati per date successive  (esclusi quelli in esecuzione):"),
        this);
    Label4 = new QLabel(QStringLiteral("Ricorrenze"), this);
    Label3 = new QLabel(QStringLiteral("Attenzione!  I seguenti Notino sono stati eliminati in "
                                       "quanto superati:"),
                        this);
    const int frameWidth = kWidth - 2 * kLeft;
    Picture1 = new QFrame(this);
    Picture1->setGeometry(twipsRect({kLeft, 375, frameWidth, kNoteFrameHeight}));
    Picture2 = new QFrame(this);
    Picture2->setGeometry(twipsRect({kLeft, 1815, frameWidth, kNoteFrameHeight}));
    Picture4 = new QFrame(this);
    Picture4->setGeometry(twipsRect({kLeft, 3390, frameWidth, kShortFrameHeight}));
    Picture3 = new QFrame(this);
    Picture3->setGeometry(twipsRect({kLeft, kPicture3Top, frameWidth, kShortFrameHeight}));
    Label1->setGeometry(twipsRect({kLeft, 120, frameWidth, kLabelHeight}));
    Label2->setGeometry(twipsRect({kLeft, 1560, frameWidth, kLabelHeight}));
    Label4->setGeometry(twipsRect({kLeft, 3140, frameWidth, kLabelHeight}));
    Label3->setGeometry(twipsRect({kLeft, kLabel3Top, frameWidth, kLabelHeight}));

    const QString noteKey = noteListKey(0);
    List1 = listInFrame(Picture1, noteKey);
    List2 = listInFrame(Picture2, noteKey);
    List3 = listInFrame(Picture3, noteKey);
    // Recurrence lines start with the day of the year and two blanks.
    List4 = listInFrame(Picture4, QStringLiteral("000 "));
    QPalette cyan = List4->palette();
    cyan.setColor(QPalette::Base, QColor(237, 255, 253));
    List4->setPalette(cyan);

    cmdStampa = new QPushButton(QStringLiteral("Stampa l' elenco"), this);
    cmdHelp = new QPushButton(QStringLiteral("Help"), this);
    cmdChiudi = new QPushButton(QStringLiteral("Chiudi"), this);

    const std::pair<QObject *, const char *> names[] = {
        {Label1, "Label1"},       {Label2, "Label2"},       {Label3, "Label3"},
        {Label4, "Label4"},       {Picture1, "Picture1"},   {Picture2, "Picture2"},
        {Picture3, "Picture3"},   {Picture4, "Picture4"},   {List1, "List1"},
        {List2, "List2"},         {List3, "List3"},         {List4, "List4"},
        {cmdStampa, "cmdStampa"}, {cmdHelp, "cmdHelp"},     {cmdChiudi, "cmdChiudi"}};
    for (const auto &[object, name] : names)
        object->setObjectName(QString::fromLatin1(name));

    connect(List1, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) { reopenNote(1, item); });
    connect(List2, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) { reopenNote(2, item); });
    for (QListWidget *other : {List3, List4})
        connect(other, &QListWidget::itemClicked, cmdChiudi, [this] { cmdChiudi->setFocus(); });
    connect(cmdStampa, &QPushButton::clicked, this, &frmCounter::cmdStampa_Click);
    connect(cmdHelp, &QPushButton::clicked, this, [this] { m_services.help.open(kHelpTopic); });
    connect(cmdChiudi, &QPushButton::clicked, this, &QWidget::close);

    // F1 belongs to the whole window, whatever has the focus.
    installHelpKey(*this, m_services.help, kHelpTopic);
}

// The window's size, its sections and its caption follow from the sections shown.
void frmCounter::placeControls()
{
    const bool recurrences = m_session.recurrencesShown();
    const bool expired = m_session.expiredShown();
    const auto [height, top] = recurrences && expired ? std::pair(kTwoSectionsHeight, kTwoSectionsButtons)
                               : recurrences || expired ? std::pair(kOneSectionHeight, kOneSectionButtons)
                                                        : std::pair(kPlainHeight, kPlainButtons);
    Label4->setVisible(recurrences);
    Picture4->setVisible(recurrences);
    Label3->setVisible(expired);
    Picture3->setVisible(expired);
    if (expired && !recurrences) {
        Picture3->move(Picture3->x(), twipsToPixels(kPicture3TopAlone));
        Label3->move(Label3->x(), twipsToPixels(kLabel3TopAlone));
    }
    setWindowTitle(m_session.caption());
    setFixedSize(twipsToPixels(kWidth), twipsToPixels(height - kCaptionAndBorders));
    cmdStampa->setGeometry(twipsRect({kLeft, top, kButtonWidth, kButtonHeight}));
    cmdHelp->setGeometry(twipsRect({(kWidth - kButtonWidth) / 2, top, kButtonWidth, kButtonHeight}));
    cmdChiudi->setGeometry(twipsRect({kWidth - kLeft - kButtonWidth, top, kButtonWidth, kButtonHeight}));
}

void frmCounter::showLines(int number)
{
    QListWidget *shown = list(number);
    shown->clear();
    for (const NoteListLine &line : m_session.lines(number)) {
        auto *item = new QListWidgetItem(line.text);
        item->setData(NoteLineDelegate::FileNameRole, line.fileName);
        shown->addItem(item);
    }
}

void frmCounter::reopenNote(int number, QListWidgetItem *item)
{
    cmdChiudi->setFocus();
    if (!item || item->data(NoteLineDelegate::FileNameRole).toString().isEmpty())
        return;
    // The second click of a double click lands on the line that moved up into its place.
    const auto now = m_services.clock.tickCount();
    const std::chrono::milliseconds doubleClick{QApplication::doubleClickInterval()};
    if (m_lastReopen && now - *m_lastReopen < doubleClick)
        return;
    m_lastReopen = now;
    const int row = list(number)->row(item);
    if (number == 1)
        m_session.List1_Click(row);
    else
        m_session.List2_Click(row);
}

void frmCounter::cmdStampa_Click()
{
    auto *window = new PrintJobWindow(m_services, QStringLiteral("Stampa elenco in corso..."),
                                      QStringLiteral("Annulla"), kPrintWindowLayout);
    centreIn(*window, m_services.screen.availableGeometry());
    window->start({kPrintWait, QStringLiteral("Arial"), 12, QString::fromUtf16(kTrayCaption),
                   m_session.printedLines()},
                  this);
}

// Back in the foreground after another window had it: the notes may have changed meanwhile.
void frmCounter::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() != QEvent::ActivationChange)
        return;
    if (!isActiveWindow()) {
        m_left = true;
        return;
    }
    if (!m_left)
        return;
    m_left = false;
    m_session.refresh();
}

} // namespace promemo::launcher
