#include "launcher/recurrenceeditor.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpressionValidator>

#include <algorithm>
#include <utility>

#include "common/digits.h"
#include "common/programfolder.h"
#include "platform/captions.h"
#include "platform/storabletext.h"
#include "widgets/centring.h"
#include "widgets/helpkey.h"
#include "widgets/registeredwidget.h"
#include "widgets/suitefont.h"
#include "widgets/twodigitbox.h"

namespace promemo::launcher {

namespace {

const QString kErrorTitle = QStringLiteral(" Editor error");
const QString kEditorTitle = QStringLiteral(" Editor ricorrenze");
const QString kHelpTopic = QStringLiteral("ricorrenze.htm");
const QString kOnlyDigits = QStringLiteral("Puoi introdurre solo numeri    ");
const QString kOverwriteQuestion = QStringLiteral(
    " Ci sono dati inseriti nell' editor...  \r"
    " proseguendo essi verranno sovrascritti e quindi persi     \r\r"
    " Confermi?");
const QString kCloseWarning = QStringLiteral(
    " Ci sono uno o più dati inseriti nell' editor...  \r\r"
    " Prima di chiudere la finestra essi vanno necessariamente    \r"
    " inseriti nell'elenco delle ricorrenze o cancellati tramite  \r"
    " l'apposito tasto ");
const QString kWriteFailed = QStringLiteral(
    " Non è stato possibile salvare le ricorrenze (rico.dat e ricf.dat)    \r\r"
    " Controlla la cartella del programma, poi premi di nuovo Chiudi    ");

// The field addressed by each focus position: day, month, occurrences, alert, text, insert.
constexpr int kDayPosition = 0;
constexpr int kPerYearPosition = 2;
constexpr int kAlertPosition = 3;
constexpr int kTextPosition = 4;
constexpr int kInsertPosition = 5;
// The alert box among the digit boxes, after the three date boxes.
constexpr int kAlertBox = 3;

// A titled frame as the classic desktop draws it, the title on the top line; the boxes are
// placed inside it at the given offsets.
QWidget *group(const QString &title, const QRect &geometry, QWidget *parent)
{
    auto *area = new QWidget(parent);
    area->setGeometry(geometry);
    auto *line = new QFrame(area);
    line->setFrameStyle(QFrame::Box | QFrame::Sunken);
    line->setGeometry(0, 6, geometry.width(), geometry.height() - 6);
    auto *caption = new QLabel(title, area);
    caption->setAutoFillBackground(true);
    caption->setContentsMargins(2, 0, 2, 0);
    caption->adjustSize();
    caption->move(6, 0);
    return area;
}

// A caption ending just left of the box it names, no wider than its text so that it cannot
// cover the box before it.
void caption(const QString &text, int right, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    const int width = label->sizeHint().width();
    label->setGeometry(right - width, 16, width, 19);
}

TwoDigitBox *digitBox(const QString &name, int left, const QString &tip, QWidget *parent)
{
    auto *box = new TwoDigitBox(parent, left, 16);
    box->setObjectName(name);
    if (!tip.isEmpty())
        box->setToolTip(tip);
    return box;
}

QPushButton *button(const QString &text, const QString &name, const QRect &geometry,
                    QWidget *parent)
{
    auto *result = new QPushButton(text, parent);
    result->setObjectName(name);
    result->setGeometry(geometry);
    // Enter presses a focused button, as on the classic desktop.
    result->setAutoDefault(true);
    return result;
}

bool isArrowBack(int key)
{
    return key == Qt::Key_Left || key == Qt::Key_Up;
}

bool isArrowOn(int key)
{
    return key == Qt::Key_Right || key == Qt::Key_Down;
}

bool isEnter(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

} // namespace

frmRicorrenze::frmRicorrenze(const Services &services, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                          | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint
                          | Qt::WindowStaysOnTopHint),
      m_services(services), m_errors(services.messageBoxes, kErrorTitle, this),
      m_messages(services.messageBoxes, kEditorTitle, this), m_firstOfYear(QDate(services.clock.today().year(), 1, 1))
{
    setObjectName(QStringLiteral("frmRicorrenze"));
    setWindowTitle(QString::fromUtf16(kRecurrenceEditorCaption));
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(suiteFont());
    buildControls();
    fillList();

    setFixedSize(318, 209);
    centreIn(*this, m_services.screen.availableGeometry());
    show();
    // Opened from the menu to be typed in at once: it takes the focus.
    activateWindow();
    m_txtData[0]->setFocus();
    m_registration = registerTopLevel(m_services.windows, *this);
}

frmRicorrenze::~frmRicorrenze() = default;

void frmRicorrenze::buildControls()
{
    QWidget *dateBox = group(QStringLiteral("Data"), {4, 1, 241, 41}, this);
    caption(QStringLiteral("giorno"), 42, dateBox);
    m_txtData[0] =
        digitBox(QStringLiteral("txtData_0"), 45, QStringLiteral(" Giorno dell'evento "), dateBox);
    caption(QStringLiteral("mese"), 99, dateBox);
    m_txtData[1] =
        digitBox(QStringLiteral("txtData_1"), 102, QStringLiteral(" Mese dell'evento "), dateBox);
    caption(QStringLiteral("Ricorrenza annua"), 213, dateBox);
    m_txtData[2] = digitBox(QStringLiteral("txtData_2"), 216,
                            QStringLiteral(" Ogni quanti mesi si ripete l'evento "), dateBox);

    QWidget *alert = group(QStringLiteral("Alert"), {248, 1, 65, 41}, this);
    caption(QStringLiteral("giorni"), 37, alert);
    m_txtAlert = digitBox(QStringLiteral("txtAlert"), 40, {}, alert);

    QWidget *testo = group(QStringLiteral("Testo ricorrenza"), {4, 45, 310, 41}, this);
    m_txtRicorrenza = new QLineEdit(testo);
    m_txtRicorrenza->setObjectName(QStringLiteral("txtRicorrenza"));
    m_txtRicorrenza->setGeometry(5, 16, 299, 19);
    m_txtRicorrenza->setTextMargins(0, 0, 0, 0);
    keepStorable(*m_txtRicorrenza);

    // The list reaches left of its container, which hides the sort key at each entry's start.
    auto *picture = new QFrame(this);
    picture->setObjectName(QStringLiteral("Picture1"));
    picture->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    picture->setGeometry(4, 88, 310, 83);
    m_picture = picture;
    auto *clip = new QWidget(picture);
    clip->setGeometry(picture->contentsRect());
    m_list = new QListWidget(clip);
    m_list->setObjectName(QStringLiteral("List1"));
    m_list->setGeometry(-27, -2, 335, 82);
    m_list->setSortingEnabled(true);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setTextElideMode(Qt::ElideNone);
    m_list->setUniformItemSizes(true);

    m_cmdAnnulla = button(QStringLiteral("Cancella i dati"), QStringLiteral("cmdAnnulla"),
                          {4, 177, 84, 25}, this);
    m_cmdHelp = button(QStringLiteral("Help"), QStringLiteral("cmdHelp"), {92, 177, 33, 25}, this);
    m_cmdOk = button(QStringLiteral("Inserisci nell' elenco"), QStringLiteral("cmdOk"),
                     {129, 177, 118, 25}, this);
    m_cmdChiudi =
        button(QStringLiteral("Chiudi"), QStringLiteral("cmdChiudi"), {251, 177, 63, 25}, this);

    m_digitBoxes = {m_txtData[0], m_txtData[1], m_txtData[2], m_txtAlert};
    for (int index = 0; index < int(m_digitBoxes.size()); ++index)
        connectDigitBox(index);
    setForm(RecurrenceForm::empty());

    QWidget *const tabOrder[] = {m_txtData[0], m_txtData[1], m_txtData[2], m_txtAlert,
                                 m_txtRicorrenza, m_cmdOk, m_cmdChiudi, m_cmdAnnulla,
                                 m_cmdHelp, m_list};
    for (std::size_t i = 1; i < std::size(tabOrder); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);

    connect(m_cmdOk, &QPushButton::clicked, this, &frmRicorrenze::cmdOk_Click);
    connect(m_cmdAnnulla, &QPushButton::clicked, this, &frmRicorrenze::cmdAnnulla_Click);
    connect(m_cmdChiudi, &QPushButton::clicked, this, &frmRicorrenze::cmdChiudi_Click);
    connect(m_cmdHelp, &QPushButton::clicked, this, &frmRicorrenze::openHelp);
    connect(m_list, &QListWidget::itemClicked, this, &frmRicorrenze::List1_Click);

    // Keys and focus of the boxes, the insert and close buttons and the list (arrows).
    const QList<QWidget *> watched{m_txtData[0], m_txtData[1], m_txtData[2], m_txtAlert,
                                   m_txtRicorrenza, m_cmdOk, m_cmdChiudi};
    for (QWidget *widget : watched + QList<QWidget *>{m_list})
        widget->installEventFilter(this);
    // F1 helps everywhere but in the list; installed last, it sees the keys first.
    new HelpKey(m_services.help, kHelpTopic, watched, this);
}

void frmRicorrenze::fillList()
{
    const int year = m_firstOfYear.year();
    EnteredRecurrences entered = readEnteredRecurrences(programFile(kEnteredRecurrencesFile.toString()));
    for (const Recurrence &recurrence : entered.readable)
        addEntry(recurrenceEntry(recurrence, year));
    m_unreadable = std::move(entered.unreadable);
    if (m_list->count() == 0)
        addEntry(kNoRecurrencesEntry.toString());
}

void frmRicorrenze::addEntry(const QString &entry)
{
    m_list->addItem(entry);
}

QStringList frmRicorrenze::entries() const
{
    QStringList texts;
    for (int row = 0; row < m_list->count(); ++row)
        texts.append(m_list->item(row)->text());
    return texts;
}

RecurrenceForm frmRicorrenze::form() const
{
    return {m_txtData[0]->text(), m_txtData[1]->text(), m_txtData[2]->text(), m_txtAlert->text(),
            m_txtRicorrenza->text()};
}

void frmRicorrenze::setForm(const RecurrenceForm &form)
{
    m_txtData[0]->setText(form.day);
    m_txtData[1]->setText(form.month);
    m_txtData[2]->setText(form.perYear);
    m_txtAlert->setText(form.advance);
    m_txtRicorrenza->setText(form.text);
}

QWidget *frmRicorrenze::fieldWidget(FormField field) const
{
    switch (field) {
    case FormField::Day:
        return m_txtData[0];
    case FormField::Month:
        return m_txtData[1];
    case FormField::PerYear:
        return m_txtData[2];
    case FormField::Advance:
        return m_txtAlert;
    case FormField::Text:
        return m_txtRicorrenza;
    }
    return m_txtData[0];
}

void frmRicorrenze::Msg_Box(const QString &text)
{
    m_errors.warn(text);
}

void frmRicorrenze::moveFocus(int position)
{
    m_focusPosition = position;
    Controllo_Freccia();
}

void frmRicorrenze::Controllo_Freccia()
{
    if (m_focusPosition > kInsertPosition)
        m_focusPosition = kDayPosition;
    else if (m_focusPosition < kDayPosition)
        m_focusPosition = kTextPosition;
    QWidget *const fields[] = {m_txtData[0], m_txtData[1],    m_txtData[2],
                               m_txtAlert,   m_txtRicorrenza, m_cmdOk};
    fields[m_focusPosition]->setFocus();
}

void frmRicorrenze::cmdOk_Click()
{
    const InsertionCheck check = checkInsertion(form());
    setForm(check.form);
    if (check.refusal) {
        const QPointer<frmRicorrenze> alive(this);
        Msg_Box(check.refusal->message);
        if (alive)
            enterField(fieldWidget(check.refusal->focus));
        return;
    }
    if (m_list->count() > 0 && isPlaceholderEntry(m_list->item(0)->text()))
        delete m_list->takeItem(0);
    addEntry(entryOfForm(check.form, m_firstOfYear.year()));
    cmdAnnulla_Click();
}

void frmRicorrenze::cmdAnnulla_Click()
{
    setForm(RecurrenceForm::empty());
    m_txtData[0]->setFocus();
}

void frmRicorrenze::List1_Click(QListWidgetItem *item)
{
    if (!item)
        return;
    if (isPlaceholderEntry(item->text())) {
        m_list->clearSelection();
        m_cmdChiudi->setFocus();
        return;
    }
    if (form().holdsData()) {
        const QPointer<frmRicorrenze> alive(this);
        const MessageAnswer answer =
            m_messages.show(kOverwriteQuestion, MessageIcon::Warning, MessageButtons::YesNo);
        if (!alive || answer != MessageAnswer::Yes)
            return;
    }
    setForm(formOfEntry(item->text()));
    delete m_list->takeItem(m_list->row(item));
    if (m_list->count() == 0)
        addEntry(kNoRecurrencesEntry.toString());
    m_list->clearSelection();
    // After the question the focus may come back with the window: the day box is entered
    // anew either way, so the digits typed next replace the loaded day.
    enterField(m_txtData[0]);
}

void frmRicorrenze::cmdChiudi_Click()
{
    if (form().holdsData()) {
        m_messages.warn(kCloseWarning);
        return;
    }
    QList<Recurrence> recurrences;
    for (const QString &entry : entries()) {
        if (!isPlaceholderEntry(entry))
            recurrences.append(recurrenceOfEntry(entry));
    }
    // Closing after a failed write would lose the work: the window stays open for another try.
    if (!writeRecurrenceFiles(programFolder(), recurrences, m_firstOfYear.year(), m_unreadable)) {
        m_messages.warn(kWriteFailed);
        return;
    }
    close();
}

void frmRicorrenze::openHelp()
{
    m_services.help.open(kHelpTopic);
}

bool frmRicorrenze::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn) {
        if (isNewFocus(static_cast<QFocusEvent *>(event)->reason()))
            focusGained(watched);
        return QWidget::eventFilter(watched, event);
    }
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const auto &key = *static_cast<QKeyEvent *>(event);
    if (watched == m_txtRicorrenza)
        return textBoxKey(key);
    if (watched == m_list)
        return listKey(key);
    return QWidget::eventFilter(watched, event);
}

bool frmRicorrenze::isNewFocus(Qt::FocusReason reason)
{
    // Coming back from a message box, a menu or another window returns the focus to the box
    // that had it: its counter and the text typed so far are kept. The first activation is
    // where the focus enters the day box.
    if (reason == Qt::PopupFocusReason)
        return false;
    if (reason != Qt::ActiveWindowFocusReason)
        return true;
    return !std::exchange(m_activated, true);
}

// The focus may come back with the window after the message box: the field is entered anew
// whichever way the focus arrives.
void frmRicorrenze::enterField(QWidget *field)
{
    field->setFocus();
    focusGained(field);
}

void frmRicorrenze::focusGained(QObject *watched)
{
    if (watched == m_cmdOk) {
        m_txtData[0]->setFocusPolicy(Qt::StrongFocus);
        m_cmdOk->setFocusPolicy(Qt::ClickFocus);
        return;
    }
    for (int index = 0; index < int(m_digitBoxes.size()); ++index) {
        if (watched != m_digitBoxes[index])
            continue;
        if (index != kAlertBox)
            m_focusPosition = index;
        m_digitBoxes[index]->enter();
        return;
    }
    if (watched == m_txtRicorrenza)
        m_txtRicorrenza->selectAll();
}

void frmRicorrenze::connectDigitBox(int index)
{
    TwoDigitBox *box = m_digitBoxes[index];
    const bool alert = index == kAlertBox;
    connect(box, &TwoDigitBox::back, this,
            [this, alert] { moveFocus(alert ? kPerYearPosition : m_focusPosition - 1); });
    connect(box, &TwoDigitBox::on, this,
            [this, alert] { moveFocus(alert ? kTextPosition : m_focusPosition + 1); });
    connect(box, &TwoDigitBox::enterPressed, this, [this, alert] {
        m_focusPosition = kDayPosition;
        (alert ? m_txtRicorrenza : m_txtAlert)->setFocus();
    });
    connect(box, &TwoDigitBox::secondDigit, this, [this] { moveFocus(m_focusPosition + 1); });
    connect(box, &TwoDigitBox::refused, this, [this, box] {
        const QPointer<frmRicorrenze> alive(this);
        Msg_Box(kOnlyDigits);
        if (alive)
            box->setFocus();
    });
}

bool frmRicorrenze::textBoxKey(const QKeyEvent &key)
{
    if (isArrowBack(key.key())) {
        moveFocus(kAlertPosition);
        return true;
    }
    if (isArrowOn(key.key())) {
        moveFocus(kInsertPosition);
        return true;
    }
    if (isEnter(key.key())) {
        m_focusPosition = kDayPosition;
        m_cmdOk->setFocus();
        return true;
    }
    return false;
}

bool frmRicorrenze::listKey(const QKeyEvent &key)
{
    if (isArrowBack(key.key())) {
        moveFocus(kTextPosition);
        return true;
    }
    if (isArrowOn(key.key())) {
        moveFocus(kInsertPosition);
        return true;
    }
    if (isEnter(key.key()) || key.key() == Qt::Key_Space) {
        List1_Click(m_list->currentItem());
        return true;
    }
    return false;
}

} // namespace promemo::launcher
