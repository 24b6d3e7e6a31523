#include "note/alertsetup.h"

#include <QCloseEvent>
#include <QFont>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
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
const QString kOnlyDigits = QStringLiteral("Puoi introdurre solo numeri    ");
const QString kHelpTopic = QStringLiteral("alert.htm");

constexpr QSize kClientSize{187, 84};
constexpr int kBoxHeight = 19;
constexpr int kBoxTop = 15;

} // namespace

AlertSetupDialog::AlertSetupDialog(AlertSetupNote &note, const Services &services,
                                   QWidget *parent)
    : QDialog(parent), m_note(note), m_services(services)
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

    connect(cmdHelp, &QPushButton::clicked, this, &AlertSetupDialog::cmdHelp_Click);
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
    const QPoint topLeft = alertSetupPosition(m_note.noteSize(), m_note.geometryTwips(),
                                              pixelsToTwips(frameHeight),
                                              pixelsToTwips(screen.bottom() + 1));
    move(twipsToPixels(topLeft.x()), twipsToPixels(topLeft.y()));

    const AlertBoxes opening =
        openingBoxes(m_note.noteDate(), m_note.alertText(), m_note.alertMinutes());
    for (int i = 0; i < kBoxes; ++i)
        m_boxes[i]->setText(opening[i]);
    m_openingValues = opening;

    show();
    activateWindow();
    m_focusPosition = DayBox;
    Controllo_Freccia();
}

int AlertSetupDialog::boxIndex(const QObject *object) const
{
    for (int i = 0; i < kBoxes; ++i) {
        if (m_boxes[i] == object)
            return i;
    }
    return -1;
}

QLineEdit *AlertSetupDialog::box(int position) const
{
    return position >= 0 && position < kBoxes ? m_boxes[position] : nullptr;
}

void AlertSetupDialog::boxGotFocus(int position)
{
    m_focusPosition = position;
    m_boxes[position]->enter();
}

// The focus moves by `Controllo_Freccia` from the position the keys give.
void AlertSetupDialog::connectBox(int position)
{
    TwoDigitBox *box = m_boxes[position];
    const auto moveTo = [this](int target) {
        m_focusPosition = target;
        Controllo_Freccia();
    };
    connect(box, &TwoDigitBox::back, this, [this, moveTo] { moveTo(m_focusPosition - 1); });
    connect(box, &TwoDigitBox::on, this, [this, moveTo] { moveTo(m_focusPosition + 1); });
    connect(box, &TwoDigitBox::enterPressed, this,
            [position, moveTo] { moveTo(position < HoursBox ? HoursBox : kOkPosition); });
    connect(box, &TwoDigitBox::secondDigit, this, [position, moveTo] { moveTo(position + 1); });
    connect(box, &TwoDigitBox::refused, this, [this, position, moveTo] {
        Msg_Box(kOnlyDigits);
        moveTo(position);
    });
}

bool AlertSetupDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_cmdOk) {
        if (event->type() == QEvent::FocusIn)
            m_focusPosition = kOkPosition;
        return QDialog::eventFilter(watched, event);
    }
    const int position = boxIndex(watched);
    if (position < 0)
        return QDialog::eventFilter(watched, event);
    if (event->type() == QEvent::FocusIn) {
        // After the box's own handling, which may place the cursor.
        const bool handled = QDialog::eventFilter(watched, event);
        boxGotFocus(position);
        return handled;
    }
    return QDialog::eventFilter(watched, event);
}

bool AlertSetupDialog::focusNextPrevChild(bool next)
{
    // Tab walks the groups: the date boxes, the hours box, OK, the day box again.
    const int position = m_focusPosition;
    const bool inDate = position < HoursBox;
    const bool inTime = position == HoursBox || position == MinutesBox;
    if (next)
        m_focusPosition = inDate ? HoursBox : inTime ? kOkPosition : DayBox;
    else
        m_focusPosition = inDate ? kOkPosition : inTime ? DayBox : HoursBox;
    Controllo_Freccia();
    return true;
}

void AlertSetupDialog::Controllo_Freccia()
{
    if (m_focusPosition > kOkPosition)
        m_focusPosition = DayBox;
    if (m_focusPosition < 0)
        m_focusPosition = MinutesBox;
    if (QLineEdit *target = box(m_focusPosition)) {
        target->setFocus(Qt::TabFocusReason);
        // Focus may already be there (a refusal); the box is fresh all the same.
        boxGotFocus(m_focusPosition);
        return;
    }
    m_cmdOk->setFocus(Qt::TabFocusReason);
}

void AlertSetupDialog::Msg_Box(const QString &message)
{
    m_services.messageBoxes.warn(kErrorTitle, message, this);
}

void AlertSetupDialog::cmdHelp_Click()
{
    m_services.help.open(kHelpTopic);
}

void AlertSetupDialog::accept()
{
    AlertBoxes boxes;
    for (int i = 0; i < kBoxes; ++i)
        boxes[i] = m_boxes[i]->text();
    const AlertValidation result = validateAlertSetup(
        boxes, m_services.clock.today(), m_services.clock.minutesSinceMidnight());

    for (int i = 0; i < kBoxes; ++i)
        m_boxes[i]->setText(result.boxes[i]);
    if (result.date) {
        m_note.setNoteDate(*result.date);
        if (result.alertMinutes)
            m_note.setAlertMinutes(*result.alertMinutes);
    }
    if (!result.accepted()) {
        Msg_Box(result.message);
        m_focusPosition = result.focus;
        Controllo_Freccia();
        return;
    }

    m_note.armAlert(result.alertText);
    if (boxesChanged(result.boxes, m_openingValues))
        m_note.saveChangedAlert();
    finish(false);
    close();
}

void AlertSetupDialog::closeEvent(QCloseEvent *event)
{
    // The frame's close button counts as Cancel.
    finish(true);
    event->accept();
}

void AlertSetupDialog::reject()
{
    finish(true);
    close();
}

void AlertSetupDialog::finish(bool cancelled)
{
    if (m_finished)
        return;
    m_finished = true;
    m_note.alertSetupClosed(cancelled);
}

} // namespace promemo::note
