#include "calendar/calendarwindow.h"

#include <utility>

#include <QCheckBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>

#include "calendar/core/calendarrules.h"
#include "calendar/monthpane.h"
#include "calendar/yearlistdelegate.h"
#include "common/programfolder.h"
#include "platform/captions.h"
#include "widgets/centring.h"
#include "widgets/helpkey.h"
#include "widgets/registeredwidget.h"
#include "widgets/suitefont.h"

namespace promemo::calendar {

namespace {

const QString kRicorrenze = QStringLiteral("Ricorrenze");
const QString kCalendario = QStringLiteral("Calendario");
constexpr std::array kChecks{CalendarCheck::SundaysInRed, CalendarCheck::NoteDays, CalendarCheck::Recurrences};

QFont valueFont()
{
    QFont font = suiteFont(9.75);
    font.setBold(true);
    return font;
}

QFrame *plainFrame(QWidget *parent, const QRect &geometry)
{
    auto *frame = new QFrame(parent);
    frame->setFrameShape(QFrame::Box);
    frame->setFrameShadow(QFrame::Sunken);
    frame->setGeometry(geometry);
    return frame;
}

QLabel *label(QWidget *parent, const QString &text, const QRect &geometry)
{
    auto *result = new QLabel(text, parent);
    result->setGeometry(geometry);
    return result;
}

} // namespace

frmMain::frmMain(const Services &services, const QString &folder, QWidget *parent)
    : QWidget(parent), m_services(services),
      m_session(services.clock, WindowMessages(services.messageBoxes, QStringLiteral("Calendario"), this), services.processes, folder)
{
    setAttribute(Qt::WA_QuitOnClose);
    buildControls();
    connect(&m_session, &CalendarSession::changed, this, &frmMain::render);
    connect(&m_session, &CalendarSession::yearListChanged, this, [this] {
        m_yearList->clear();
        m_yearList->addItems(m_session.yearListLines());
    });
    render();
    m_registration = registerTopLevel(m_services.windows, *this);
}

frmMain::~frmMain() = default;

void frmMain::buildControls()
{
    setFixedSize(456, 280);
    setFont(suiteFont());

    QFrame *header = plainFrame(this, {3, -3, 448, 36});
    label(header, QStringLiteral("Giorno n°"), {5, 17, 47, 14});
    lblGiorni = label(header, {}, {52, 15, 31, 14});
    lblGiorno = label(header, {}, {96, 15, 257, 20});
    lblGiorno->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label(header, QStringLiteral("Settimana"), {360, 17, 56, 14});
    lblSettimane = label(header, {}, {416, 15, 25, 14});
    for (QLabel *value : {lblGiorni, lblGiorno, lblSettimane})
        value->setFont(valueFont());

    QFrame *months = plainFrame(this, {3, 31, 450, 173});
    for (int index = 0; index < 3; ++index) {
        auto *pane = new MonthPane(m_session.marks(), months);
        pane->setGeometry(5 + 148 * index, 12, 143, 155);
        connect(pane, &MonthPane::dayPressed, &m_session, &CalendarSession::dayPressed);
        connect(pane, &MonthPane::moveRequested, this,
                [this, index](int days, int monthsMoved) { m_session.moveRequested(index, days, monthsMoved); });
        m_panes[index] = pane;
    }

    m_listContainer = new QWidget(this);
    m_listContainer->setGeometry(3, 3, 451, 200);
    m_yearList = new QListWidget(m_listContainer);
    m_yearList->setGeometry(-29, -2, 477, 200);
    m_yearList->setItemDelegate(new YearListDelegate(m_yearList));
    m_yearList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_listContainer->hide();

    const std::pair<const char *, QRect> checks[] = {{"Domeniche in rosso", {9, 216, 137, 17}},
                                                     {"Evidenzia le date con Notino", {141, 216, 169, 17}},
                                                     {"Evidenzia le  Ricorrenze", {312, 216, 139, 17}}};
    for (int index = 0; index < 3; ++index) {
        QCheckBox *box = m_checks[index] = new QCheckBox(QString::fromUtf8(checks[index].first), this);
        box->setGeometry(checks[index].second);
        box->setObjectName(QStringLiteral("Check%1").arg(index + 1));
        connect(box, &QCheckBox::clicked, this, [this, index](bool on) { checkClicked(kChecks[index], on); });
    }

    label(this,
          QStringLiteral("- 12 mesi") + QString(35, u' ') + u'0' + QString(34, u' ')
              + QStringLiteral("+ 12 mesi"),
          {77, 239, 312, 17});
    HScroll1 = new QScrollBar(Qt::Horizontal, this);
    HScroll1->setGeometry(73, 253, 310, 16);
    HScroll1->setRange(kScrollMinimum, kScrollMaximum);
    HScroll1->setValue(m_session.scrollValue());
    HScroll1->setPageStep(1);
    HScroll1->setFocusPolicy(Qt::StrongFocus);
    connect(HScroll1, &QScrollBar::valueChanged, &m_session, &CalendarSession::mese);

    cmdFeste = new QPushButton(kRicorrenze, this);
    cmdFeste->setGeometry(3, 245, 65, 25);
    connect(cmdFeste, &QPushButton::clicked, this, &frmMain::cmdFeste_Click);
    cmdChiudi = new QPushButton(QStringLiteral("Chiudi"), this);
    cmdChiudi->setGeometry(388, 245, 65, 25);
    connect(cmdChiudi, &QPushButton::clicked, this, &frmMain::cmdChiudi_Click);
    const std::pair<QObject *, const char *> names[] = {
        {lblGiorni, "lblGiorni"}, {lblGiorno, "lblGiorno"}, {lblSettimane, "lblSettimane"},
        {HScroll1, "HScroll1"},   {cmdFeste, "cmdFeste"},   {cmdChiudi, "cmdChiudi"}};
    for (const auto &[object, name] : names)
        object->setObjectName(QString::fromLatin1(name));

    // The scroll bar first in the tab order.
    QWidget *const order[] = {HScroll1, cmdFeste, cmdChiudi, m_checks[0], m_checks[1], m_checks[2],
                              m_panes[0]->grid(), m_panes[1]->grid(), m_panes[2]->grid()};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    // Ctrl+arrows and F1 belong to the whole window, whatever has the focus.
    installEventFilter(this);
    for (QWidget *child : findChildren<QWidget *>())
        child->installEventFilter(this);
    installHelpKey(*this, m_services.help, QStringLiteral("calendario.htm"));
}

void frmMain::start()
{
    centreIn(*this, m_services.screen.availableGeometry());
    show();
    activateWindow();
    HScroll1->setFocus();
}

void frmMain::render()
{
    setWindowTitle(m_session.caption());
    const WeekHeader &header = m_session.header();
    lblGiorni->setText(header.dayOfYear);
    lblGiorno->setText(header.longDate);
    lblSettimane->setText(header.week);
    const QDate today = m_services.clock.today();
    for (int index = 0; index < 3; ++index) {
        const bool framed = m_session.framePane() == index;
        m_panes[index]->showMonth(m_session.paneDates()[index], today,
                                  framed ? std::optional(m_session.markedDate()) : std::nullopt);
        m_checks[index]->setChecked(m_session.isChecked(kChecks[index]));
    }
    const bool yearList = m_session.yearListShown();
    cmdFeste->setText(yearList ? kCalendario : kRicorrenze);
    m_listContainer->setVisible(yearList);
    if (yearList)
        m_listContainer->raise();
    HScroll1->setEnabled(!yearList);
    HScroll1->setValue(m_session.scrollValue());
}

void frmMain::focusScrollBar()
{
    if (HScroll1->isEnabled())
        HScroll1->setFocus();
}

void frmMain::checkClicked(CalendarCheck check, bool on)
{
    m_session.checkClicked(check, on);
    focusScrollBar();
}

void frmMain::cmdFeste_Click()
{
    m_session.cmdFeste_Click();
    focusScrollBar();
}

void frmMain::cmdChiudi_Click()
{
    // The help goes with the calendar; the calendar closes once the request is out.
    m_services.windows.postClose(QString::fromUtf16(kHelpCaption), this, [this](bool) { close(); });
}

bool frmMain::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    const auto modifiers = key->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier
                                               | Qt::AltModifier | Qt::MetaModifier);
    // The toolkit's own handling of these two runs backwards on some versions; Right goes
    // towards "+ 12 mesi" as the scale reads.
    const bool sideways = key->key() == Qt::Key_Right || key->key() == Qt::Key_Left;
    if (watched == HScroll1 && sideways && modifiers == Qt::NoModifier) {
        HScroll1->triggerAction(key->key() == Qt::Key_Right ? QAbstractSlider::SliderSingleStepAdd
                                                            : QAbstractSlider::SliderSingleStepSub);
        return true;
    }
    if (modifiers != Qt::ControlModifier)
        return QWidget::eventFilter(watched, event);
    switch (key->key()) {
    case Qt::Key_Left:
    case Qt::Key_Up:
        m_session.Lancia_Notino(NoteSize::Medium);
        return true;
    case Qt::Key_Right:
    case Qt::Key_Down:
        m_session.Lancia_Notino(NoteSize::Normal);
        return true;
    default:
        return QWidget::eventFilter(watched, event);
    }
}

void startCalendar(const Services &services, QObject *context, Started<frmMain> started)
{
    checkTrayThere(services.windows, context, [services, started](bool there) {
        if (!there)
            return started(nullptr);
        auto window = std::make_unique<frmMain>(services, programFolder());
        window->start();
        started(std::move(window));
    });
}

} // namespace promemo::calendar
