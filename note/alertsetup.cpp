#include "note/alertsetup.h"

#include <QCloseEvent>
#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

#include "note/core/alertvalidation.h"
#include "common/twips.h"
#include "platform/screen.h"
#include "widgets/helpkey.h"
#include "widgets/twodigitbox.h"

namespace promemo::note {

namespace {

const QString kCaption = QStringLiteral("  Alert Setup");
const QString kErrorTitle = QStringLiteral(" Alert error");
const QString kHelpTopic = QStringLiteral("alert.htm");

constexpr QSize kClientSize{187, 84};
constexpr int kBoxHeight = 19;
constexpr int kBoxTop = 15;

} // namespace

AlertSetupDialog::AlertSetupDialog(AlertSetupNote &note, const Services &services,
                                   QWidget *parent)
    : QDialog(parent), m_services(services),
      m_session(note, services.clock, WindowMessages(services.messageBoxes, kErrorTitle, this))
{
    setObjectName(QStringLiteral("frmTimer"));
    setWindowTitle(kCaption);
    setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint
                   | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint);
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setModal(false);
    setFixedSize(kClientSize);
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));

    auto *frame1 = new QGroupBox(QStringLiteral("Data"), this);
    frame1->setObjectName(QStringLiteral("Frame1"));
    frame1->setGeometry(8, 3, 94, 41);
    auto *frame2 = new QGroupBox(QStringLiteral("Ora"), this);
    frame2->setObjectName(QStringLiteral("Frame2"));
    frame2->setGeometry(112, 3, 67, 41);

    const QString zero = QStringLiteral("00");
    m_boxes[DayBox] = new TwoDigitBox(frame1, 15, kBoxTop, zero);
    m_boxes[MonthBox] = new TwoDigitBox(frame1, 44, kBoxTop, zero);
    m_boxes[YearBox] = new TwoDigitBox(frame1, 72, kBoxTop, zero);
    m_boxes[HoursBox] = new TwoDigitBox(frame2, 9, kBoxTop, zero);
    m_boxes[MinutesBox] = new TwoDigitBox(frame2, 38, kBoxTop, zero);
    auto *colon = new QLabel(QStringLiteral(":"), frame2);
    colon->setGeometry(30, kBoxTop, 8, kBoxHeight);
    colon->setAlignment(Qt::AlignCenter);
    for (int i = 0; i < kBoxes; ++i) {
        m_boxes[i]->setObjectName(i < HoursBox ? QStringLiteral("txtData%1").arg(i)
                                               : QStringLiteral("txtAlert%1").arg(i - HoursBox));
        m_boxes[i]->installEventFilter(this);
        connectBox(i);
    }

    auto *cmdHelp = new QPushButton(QStringLiteral("&?"), this);
    cmdHelp->setObjectName(QStringLiteral("cmdHelp"));
    cmdHelp->setGeometry(8, 51, 25, 25);
    auto *cmdAnnulla = new QPushButton(QStringLiteral("&Annulla"), this);
    cmdAnnulla->setObjectName(QStringLiteral("cmdAnnulla"));
    cmdAnnulla->setGeometry(37, 51, 51, 25);
    m_cmdOk = new QPushButton(QStringLiteral("&Ok"), this);
    m_cmdOk->setObjectName(QStringLiteral("cmdOk"));
    m_cmdOk->setGeometry(92, 51, 87, 25);
    m_cmdOk->setDefault(true);
    m_cmdOk->installEventFilter(this);

    connect(cmdHelp, &QPushButton::clicked, this, [this] { m_services.help.open(kHelpTopic); });
    connect(cmdAnnulla, &QPushButton::clicked, this, &AlertSetupDialog::reject);
    connect(m_cmdOk, &QPushButton::clicked, this, &AlertSetupDialog::accept);
    installHelpKey(*this, m_services.help, kHelpTopic);
}

AlertSetupDialog::~AlertSetupDialog() = default;

void AlertSetupDialog::showForNote()
{
    const QRect screen = m_services.screen.geometry();
    const int frameHeight =
        kClientSize.height() + style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this);
    const QPoint topLeft = m_session.topLeftTwips(pixelsToTwips(frameHeight),
                                                  pixelsToTwips(screen.bottom() + 1));
    move(twipsToPixels(topLeft.x()), twipsToPixels(topLeft.y()));
    const AlertBoxes opening = m_session.open();
    for (int i = 0; i < kBoxes; ++i)
        m_boxes[i]->setText(opening[i]);
    show();
    activateWindow();
    showFocus(DayBox);
}

int AlertSetupDialog::boxIndex(const QObject *object) const
{
    for (int i = 0; i < kBoxes; ++i) {
        if (m_boxes[i] == object)
            return i;
    }
    return -1;
}

void AlertSetupDialog::boxGotFocus(int position)
{
    m_session.focusReached(position);
    m_boxes[position]->enter();
}

void AlertSetupDialog::connectBox(int position)
{
    TwoDigitBox *box = m_boxes[position];
    const auto moveTo = [this](int target) { showFocus(m_session.Controllo_Freccia(target)); };
    connect(box, &TwoDigitBox::back, this, [this, moveTo] { moveTo(m_session.focusPosition() - 1); });
    connect(box, &TwoDigitBox::on, this, [this, moveTo] { moveTo(m_session.focusPosition() + 1); });
    connect(box, &TwoDigitBox::enterPressed, this,
            [position, moveTo] { moveTo(position < HoursBox ? HoursBox : kOkPosition); });
    connect(box, &TwoDigitBox::secondDigit, this, [position, moveTo] { moveTo(position + 1); });
    connect(box, &TwoDigitBox::refused, this, [this, position] { showFocus(m_session.refused(position)); });
}

bool AlertSetupDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_cmdOk) {
        if (event->type() == QEvent::FocusIn)
            m_session.focusReached(kOkPosition);
        return QDialog::eventFilter(watched, event);
    }
    const int position = boxIndex(watched);
    if (position >= 0 && event->type() == QEvent::FocusIn) {
        // After the box's own handling, which may place the cursor.
        const bool handled = QDialog::eventFilter(watched, event);
        boxGotFocus(position);
        return handled;
    }
    return QDialog::eventFilter(watched, event);
}

bool AlertSetupDialog::focusNextPrevChild(bool next)
{
    showFocus(m_session.tab(next));
    return true;
}

void AlertSetupDialog::showFocus(int position)
{
    if (position < kBoxes) {
        m_boxes[position]->setFocus(Qt::TabFocusReason);
        // Focus may already be there (a refusal); the box is fresh all the same.
        boxGotFocus(position);
        return;
    }
    m_cmdOk->setFocus(Qt::TabFocusReason);
}

void AlertSetupDialog::accept()
{
    AlertBoxes boxes;
    for (int i = 0; i < kBoxes; ++i)
        boxes[i] = m_boxes[i]->text();
    const AlertSetupSession::Outcome outcome = m_session.cmdOk_Click(boxes);
    for (int i = 0; i < kBoxes; ++i)
        m_boxes[i]->setText(outcome.boxes[i]);
    if (!outcome.closes) {
        showFocus(outcome.focus);
        return;
    }
    close();
}

void AlertSetupDialog::closeEvent(QCloseEvent *event)
{
    // The frame's close button counts as Cancel.
    m_session.finish(true);
    event->accept();
}

void AlertSetupDialog::reject()
{
    m_session.finish(true);
    close();
}

} // namespace promemo::note
