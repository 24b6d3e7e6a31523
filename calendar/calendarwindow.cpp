#include "calendar/calendarwindow.h"

#include <utility>

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>

#include "calendar/core/logging.h"
#include "calendar/core/calendarrules.h"
#include "calendar/core/calendarmodel.h"
#include "common/datetexts.h"
#include "common/duenotes.h"
#include "common/notefile.h"
#include "common/programfolder.h"
#include "common/recurrences.h"
#include "platform/captions.h"
#include "widgets/centring.h"
#include "widgets/helpkey.h"
#include "widgets/registeredwidget.h"
#include "widgets/suitefont.h"

namespace promemo::calendar {

namespace {

const QString kRefusal = QStringLiteral(
    "   Non puoi lanciare un Notino per una data inferiore alla attuale    ");
const QString kRicorrenze = QStringLiteral("Ricorrenze");
const QString kCalendario = QStringLiteral("Calendario");

QFont valueFont()
{
    QFont font = suiteFont(9.75);
    font.setBold(true);
    return font;
}

// Year-list lines with tab stops every eight average characters, as classic list boxes set
// them, so the runs of blanks before "Festività Nazionale" line the column up.
class YearListDelegate final : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override
    {
        QStyleOptionViewItem item = option;
        initStyleOption(&item, index);
        const QString text = item.text;
        item.text.clear();
        const QStyle *style = item.widget ? item.widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &item, painter, item.widget);
        const QRect area = style->subElementRect(QStyle::SE_ItemViewItemText, &item, item.widget);
        QTextOption layout(Qt::AlignLeft | Qt::AlignVCenter);
        layout.setWrapMode(QTextOption::NoWrap);
        layout.setTabStopDistance(tabStop(item.fontMetrics));
        painter->save();
        painter->setFont(item.font);
        painter->setPen(item.palette.color(item.state & QStyle::State_Selected ? QPalette::HighlightedText
                                                                                : QPalette::Text));
        painter->drawText(QRectF(area), text, layout);
        painter->restore();
    }

    static qreal tabStop(const QFontMetrics &metrics) { return 8.0 * metrics.averageCharWidth(); }
};

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

QString recurrencesPath()
{
    return programFile(kExpandedRecurrencesFile.toString());
}

} // namespace

frmMain::frmMain(const Services &services, QWidget *parent)
    : QWidget(parent), m_services(services),
      m_messages(services.messageBoxes, QStringLiteral("Calendario"), this), m_settings(Settings::inProgramFolder())
{
    const QDate today = m_services.clock.today();
    setWindowTitle(calendarCaption());
    setAttribute(Qt::WA_QuitOnClose);
    m_marks.noteDays = noteDays(programFolder());
    m_marks.recurrenceDays = recurrenceDays(readRecurrences(recurrencesPath()));
    buildControls();

    m_selected = m_marked = m_launch = today;
    m_paneDates = calendar::paneDates(today, 1);
    m_paintedMiddleMonth = QDate(today.year(), today.month(), 1);
    Check1->setChecked(m_settings.calendarCheck(CalendarCheck::SundaysInRed));
    Check2->setChecked(m_settings.calendarCheck(CalendarCheck::NoteDays));
    Check3->setChecked(m_settings.calendarCheck(CalendarCheck::Recurrences));
    syncMarks();
    drawGrids();
    Calcolo_Settimana(today);
    Segna_Giorno();

    m_registration = registerTopLevel(m_services.windows, *this);
    m_loaded = true;
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
        auto *pane = new MonthPane(index, m_marks, months);
        pane->setGeometry(5 + 148 * index, 12, 143, 155);
        connect(pane, &MonthPane::dayPressed, this, &frmMain::dayPressed);
        connect(pane, &MonthPane::moveRequested, this,
                [this, index](int days, int monthsMoved) { moveRequested(index, days, monthsMoved); });
        m_panes[index] = pane;
    }

    m_listContainer = new QWidget(this);
    m_listContainer->setGeometry(3, 3, 451, 200);
    m_yearList = new QListWidget(m_listContainer);
    m_yearList->setGeometry(-29, -2, 477, 200);
    m_yearList->setSortingEnabled(true);
    m_yearList->setItemDelegate(new YearListDelegate(m_yearList));
    m_yearList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_listContainer->hide();

    Check1 = new QCheckBox(QStringLiteral("Domeniche in rosso"), this);
    Check1->setGeometry(9, 216, 137, 17);
    Check2 = new QCheckBox(QStringLiteral("Evidenzia le date con Notino"), this);
    Check2->setGeometry(141, 216, 169, 17);
    Check3 = new QCheckBox(QStringLiteral("Evidenzia le  Ricorrenze"), this);
    Check3->setGeometry(312, 216, 139, 17);
    connect(Check1, &QCheckBox::clicked, this,
            [this](bool on) { checkClicked(CalendarCheck::SundaysInRed, on); });
    connect(Check2, &QCheckBox::clicked, this,
            [this](bool on) { checkClicked(CalendarCheck::NoteDays, on); });
    connect(Check3, &QCheckBox::clicked, this,
            [this](bool on) { checkClicked(CalendarCheck::Recurrences, on); });

    label(this,
          QStringLiteral("- 12 mesi") + QString(35, u' ') + u'0' + QString(34, u' ')
              + QStringLiteral("+ 12 mesi"),
          {77, 239, 312, 17});
    HScroll1 = new QScrollBar(Qt::Horizontal, this);
    HScroll1->setGeometry(73, 253, 310, 16);
    HScroll1->setRange(kScrollMinimum, kScrollMaximum);
    HScroll1->setValue(kScrollMiddle);
    HScroll1->setPageStep(1);
    HScroll1->setFocusPolicy(Qt::StrongFocus);
    connect(HScroll1, &QScrollBar::valueChanged, this, &frmMain::mese);

    cmdFeste = new QPushButton(kRicorrenze, this);
    cmdFeste->setGeometry(3, 245, 65, 25);
    connect(cmdFeste, &QPushButton::clicked, this, &frmMain::cmdFeste_Click);
    cmdChiudi = new QPushButton(QStringLiteral("Chiudi"), this);
    cmdChiudi->setGeometry(388, 245, 65, 25);
    const std::pair<QObject *, const char *> names[] = {
        {lblGiorni, "lblGiorni"}, {lblGiorno, "lblGiorno"}, {lblSettimane, "lblSettimane"},
        {Check1, "Check1"},       {Check2, "Check2"},       {Check3, "Check3"},
        {HScroll1, "HScroll1"},   {cmdFeste, "cmdFeste"},   {cmdChiudi, "cmdChiudi"}};
    for (const auto &[object, name] : names)
        object->setObjectName(QString::fromLatin1(name));
    connect(cmdChiudi, &QPushButton::clicked, this, &frmMain::cmdChiudi_Click);

    // The scroll bar first in the tab order.
    setTabOrder(HScroll1, cmdFeste);
    setTabOrder(cmdFeste, cmdChiudi);
    setTabOrder(cmdChiudi, Check1);
    setTabOrder(Check1, Check2);
    setTabOrder(Check2, Check3);
    setTabOrder(Check3, m_panes[0]->grid());
    setTabOrder(m_panes[0]->grid(), m_panes[1]->grid());
    setTabOrder(m_panes[1]->grid(), m_panes[2]->grid());

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

QCheckBox *frmMain::checkBox(CalendarCheck check) const
{
    switch (check) {
    case CalendarCheck::SundaysInRed:
        return Check1;
    case CalendarCheck::NoteDays:
        return Check2;
    case CalendarCheck::Recurrences:
        return Check3;
    }
    return nullptr;
}

QString frmMain::headerText() const
{
    return lblGiorni->text() + u'|' + lblGiorno->text() + u'|' + lblSettimane->text();
}

QString frmMain::calendarCaption() const
{
    return QString::fromUtf16(kCalendarCaptionPrefix) + longDateText(m_services.clock.today());
}

void frmMain::syncMarks()
{
    m_marks.sundaysRed = Check1->isChecked();
    m_marks.markNotes = Check2->isChecked();
    m_marks.markRecurrences = Check3->isChecked();
}

void frmMain::drawGrids()
{
    const QDate today = m_services.clock.today();
    for (int index = 0; index < 3; ++index) {
        m_panes[index]->setMonth(m_paneDates[index], today);
        m_panes[index]->refresh();
    }
}

void frmMain::Segna_Giorno()
{
    for (MonthPane *pane : m_panes)
        pane->setMarkedDate(m_marked);
}

void frmMain::Calcolo_Settimana(QDate date)
{
    lblGiorni->setText(QString::number(dayOfYear(date)));
    lblSettimane->setText(QString::number(weekNumber(date)));
    lblGiorno->setText(longDateText(date));
}

void frmMain::Imposta_Data(QDate date, int pane)
{
    m_selected = date;
    m_paneDates = calendar::paneDates(date, pane);
    const QDate middle(m_paneDates[1].year(), m_paneDates[1].month(), 1);
    if (middle != m_paintedMiddleMonth || m_forceRedraw) {
        drawGrids();
        m_paintedMiddleMonth = middle;
        m_forceRedraw = false;
    }
    if (m_markedFollows) {
        m_marked = date;
        m_markedFollows = false;
    }
    Calcolo_Settimana(m_marked);
    Segna_Giorno();
}

void frmMain::mese(int value)
{
    if (yearListShown())
        m_forceRedraw = true;
    showMonths();
    Imposta_Data(scrollTarget(m_services.clock.today(), value), 1);
}

void frmMain::dayPressed(QDate date)
{
    m_launch = m_marked = m_selected = date;
    Calcolo_Settimana(date);
    Segna_Giorno();
}

void frmMain::moveRequested(int pane, int days, int months)
{
    const QDate target = keyMoveTarget(m_selected, days, months);
    m_launch = target;
    m_markedFollows = true;
    Imposta_Data(target, pane);
}

void frmMain::checkClicked(CalendarCheck check, bool on)
{
    if (!m_loaded)
        return;
    syncMarks();
    for (MonthPane *pane : m_panes)
        pane->refresh();
    Segna_Giorno();
    // The marks follow the box either way; a box not remembered is only logged.
    if (const WriteResult written = m_settings.setCalendarCheck(check, on); !written)
        qCWarning(lcCalendar).noquote() << "Check box not saved:" << written.error;
    if (HScroll1->isEnabled())
        HScroll1->setFocus();
}

bool frmMain::yearListShown() const
{
    return cmdFeste->text() == kCalendario;
}

void frmMain::showMonths()
{
    m_listContainer->hide();
    cmdFeste->setText(kRicorrenze);
    setWindowTitle(calendarCaption());
}

void frmMain::cmdFeste_Click()
{
    if (!yearListShown()) {
        cmdFeste->setText(kCalendario);
        setWindowTitle(QStringLiteral(" Festività e Ricorrenze dell'anno ")
                       + QString::number(m_selected.year()).rightJustified(4, u'0'));
        m_listContainer->show();
        m_listContainer->raise();
        HScroll1->setEnabled(false);
        Festivita();
        return;
    }
    showMonths();
    Calcolo_Settimana(m_selected);
    HScroll1->setEnabled(true);
    HScroll1->setFocus();
}

void frmMain::Festivita()
{
    m_yearList->clear();
    for (const YearListEntry &entry : promemo::yearList(m_selected.year(), readRecurrences(recurrencesPath())))
        m_yearList->addItem(yearListLine(entry));
}

void frmMain::cmdChiudi_Click()
{
    // The help goes with the calendar; the calendar closes once the request is out.
    m_services.windows.postClose(QString::fromUtf16(kHelpCaption), this, [this](bool) { close(); });
}

void frmMain::Lancia_Notino(NoteSize size)
{
    const QDateTime now = m_services.clock.now();
    if (m_launch < now.date()) {
        m_messages.warn(kRefusal);
        return;
    }
    QString error;
    // Never over another note's file: a name taken moves on to the next free stamp.
    const auto name = NoteFiles{programFolder()}.create(
        launchNoteName(m_launch, size, m_settings.noteColour(), m_settings.textSize(), now.time()),
        {QString(), dateText(m_launch), QString(), changedText(now)}, &error);
    if (!name) {
        m_messages.warn(QStringLiteral("  Impossibile creare il Notino:    \r\r  %1    ").arg(error));
        return;
    }
    m_services.processes.start(reopenProgram(size), {*name}, WindowMode::NormalWithFocus);
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
        Lancia_Notino(NoteSize::Medium);
        return true;
    case Qt::Key_Right:
    case Qt::Key_Down:
        Lancia_Notino(NoteSize::Normal);
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
        auto window = std::make_unique<frmMain>(services);
        window->start();
        started(std::move(window));
    });
}

} // namespace promemo::calendar
