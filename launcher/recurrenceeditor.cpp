#include "launcher/recurrenceeditor.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include <algorithm>
#include <span>
#include <utility>

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

const QString kHelpTopic = QStringLiteral("ricorrenze.htm");
// Every field of the editor, the four digit boxes first.
constexpr EditorField kFields[] = {EditorField::Day,     EditorField::Month, EditorField::PerYear,
                                   EditorField::Advance, EditorField::Text,  EditorField::Insert,
                                   EditorField::Close,   EditorField::List};

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

bool isArrow(int key)
{
    return key == Qt::Key_Left || key == Qt::Key_Up || key == Qt::Key_Right || key == Qt::Key_Down;
}

bool isArrowBack(int key)
{
    return key == Qt::Key_Left || key == Qt::Key_Up;
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
      m_services(services), m_session(services.clock, services.messageBoxes, programFolder(), this)
{
    setObjectName(QStringLiteral("frmRicorrenze"));
    setWindowTitle(QString::fromUtf16(kRecurrenceEditorCaption));
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(suiteFont());
    buildControls();
    m_list->addItems(m_session.entries());
    connectSession();

    setFixedSize(318, 209);
    centreIn(*this, m_services.screen.availableGeometry());
    show();
    // Opened from the menu to be typed in at once: it takes the focus.
    activateWindow();
    m_digitBoxes[0]->setFocus();
    m_registration = registerTopLevel(m_services.windows, *this);
}

frmRicorrenze::~frmRicorrenze() = default;

QLineEdit *frmRicorrenze::txtData(int index) const
{
    return m_digitBoxes.at(std::size_t(index));
}

QLineEdit *frmRicorrenze::txtAlert() const
{
    return m_digitBoxes[std::size_t(EditorField::Advance)];
}

void frmRicorrenze::buildControls()
{
    QWidget *dateBox = group(QStringLiteral("Data"), {4, 1, 241, 41}, this);
    caption(QStringLiteral("giorno"), 42, dateBox);
    m_digitBoxes[0] =
        digitBox(QStringLiteral("txtData_0"), 45, QStringLiteral(" Giorno dell'evento "), dateBox);
    caption(QStringLiteral("mese"), 99, dateBox);
    m_digitBoxes[1] =
        digitBox(QStringLiteral("txtData_1"), 102, QStringLiteral(" Mese dell'evento "), dateBox);
    caption(QStringLiteral("Ricorrenza annua"), 213, dateBox);
    m_digitBoxes[2] = digitBox(QStringLiteral("txtData_2"), 216,
                               QStringLiteral(" Ogni quanti mesi si ripete l'evento "), dateBox);

    QWidget *alert = group(QStringLiteral("Alert"), {248, 1, 65, 41}, this);
    caption(QStringLiteral("giorni"), 37, alert);
    m_digitBoxes[3] = digitBox(QStringLiteral("txtAlert"), 40, {}, alert);

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
    auto *clip = new QWidget(picture);
    clip->setGeometry(picture->contentsRect());
    m_list = new QListWidget(clip);
    m_list->setObjectName(QStringLiteral("List1"));
    m_list->setGeometry(-27, -2, 335, 82);
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

    for (const EditorField field : std::span(kFields).first(4))
        connectDigitBox(field);
    showForm(m_session.form());
    connect(m_txtRicorrenza, &QLineEdit::textEdited, this, [this] { m_session.formEdited(form()); });

    QWidget *const tabOrder[] = {m_digitBoxes[0], m_digitBoxes[1], m_digitBoxes[2], m_digitBoxes[3],
                                 m_txtRicorrenza, m_cmdOk, m_cmdChiudi, m_cmdAnnulla,
                                 m_cmdHelp, m_list};
    for (std::size_t i = 1; i < std::size(tabOrder); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);

    // Keys and focus of the boxes, the insert and close buttons and the list (arrows).
    const QList<QWidget *> watched{m_digitBoxes[0], m_digitBoxes[1], m_digitBoxes[2], m_digitBoxes[3],
                                   m_txtRicorrenza, m_cmdOk, m_cmdChiudi};
    for (QWidget *widget : watched + QList<QWidget *>{m_list})
        widget->installEventFilter(this);
    // F1 helps everywhere but in the list; installed last, it sees the keys first.
    new HelpKey(m_services.help, kHelpTopic, watched, this);
}

void frmRicorrenze::connectSession()
{
    RecurrenceEditorSession *const session = &m_session;
    connect(m_cmdOk, &QPushButton::clicked, session, &RecurrenceEditorSession::cmdOk_Click);
    connect(m_cmdAnnulla, &QPushButton::clicked, session, &RecurrenceEditorSession::cmdAnnulla_Click);
    connect(m_cmdChiudi, &QPushButton::clicked, session, &RecurrenceEditorSession::cmdChiudi_Click);
    connect(m_cmdHelp, &QPushButton::clicked, this, &frmRicorrenze::openHelp);
    connect(m_list, &QListWidget::itemClicked, this,
            [this](QListWidgetItem *item) { m_session.List1_Click(m_list->row(item)); });

    connect(session, &RecurrenceEditorSession::formChanged, this, &frmRicorrenze::showForm);
    connect(session, &RecurrenceEditorSession::entryInserted, this,
            [this](int row, const QString &entry) { m_list->insertItem(row, entry); });
    connect(session, &RecurrenceEditorSession::entryRemoved, this, [this](int row) {
        delete m_list->takeItem(row);
        m_list->clearSelection();
    });
    connect(session, &RecurrenceEditorSession::focusMoved, this, [this](EditorField field) {
        // Only the placeholder sends the focus to Chiudi: it stays unselected.
        if (field == EditorField::Close)
            m_list->clearSelection();
        fieldWidget(field)->setFocus();
    });
    connect(session, &RecurrenceEditorSession::fieldEnteredAnew, this, &frmRicorrenze::enterField);
    connect(session, &RecurrenceEditorSession::saved, this, &QWidget::close);
}

RecurrenceForm frmRicorrenze::form() const
{
    return {m_digitBoxes[0]->text(), m_digitBoxes[1]->text(), m_digitBoxes[2]->text(),
            m_digitBoxes[3]->text(), m_txtRicorrenza->text()};
}

void frmRicorrenze::showForm(const RecurrenceForm &form)
{
    m_digitBoxes[0]->setText(form.day);
    m_digitBoxes[1]->setText(form.month);
    m_digitBoxes[2]->setText(form.perYear);
    m_digitBoxes[3]->setText(form.advance);
    m_txtRicorrenza->setText(form.text);
}

QWidget *frmRicorrenze::fieldWidget(EditorField field) const
{
    switch (field) {
    case EditorField::Text:
        return m_txtRicorrenza;
    case EditorField::Insert:
        return m_cmdOk;
    case EditorField::Close:
        return m_cmdChiudi;
    case EditorField::List:
        return m_list;
    default:
        return m_digitBoxes.at(std::size_t(field));
    }
}

void frmRicorrenze::openHelp()
{
    m_services.help.open(kHelpTopic);
}

bool frmRicorrenze::eventFilter(QObject *watched, QEvent *event)
{
    const auto at = std::find_if(std::begin(kFields), std::end(kFields),
                                 [&](EditorField each) { return watched == fieldWidget(each); });
    if (at == std::end(kFields))
        return QWidget::eventFilter(watched, event);
    const EditorField field = *at;
    if (event->type() == QEvent::FocusIn) {
        if (isNewFocus(static_cast<QFocusEvent *>(event)->reason()))
            focusGained(field);
        return QWidget::eventFilter(watched, event);
    }
    if (event->type() == QEvent::KeyPress && (field == EditorField::Text || field == EditorField::List))
        return boxKey(field, *static_cast<QKeyEvent *>(event));
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
void frmRicorrenze::enterField(EditorField field)
{
    fieldWidget(field)->setFocus();
    focusGained(field);
}

void frmRicorrenze::focusGained(EditorField field)
{
    m_session.fieldEntered(field);
    if (field == EditorField::Insert) {
        m_digitBoxes[0]->setFocusPolicy(Qt::StrongFocus);
        m_cmdOk->setFocusPolicy(Qt::ClickFocus);
    } else if (field == EditorField::Text) {
        m_txtRicorrenza->selectAll();
    } else if (field <= EditorField::Advance) {
        m_digitBoxes.at(std::size_t(field))->enter();
    }
}

void frmRicorrenze::connectDigitBox(EditorField field)
{
    TwoDigitBox *box = m_digitBoxes.at(std::size_t(field));
    RecurrenceEditorSession *const session = &m_session;
    connect(box, &TwoDigitBox::back, session, [session, field] { session->arrowKey(field, true); });
    connect(box, &TwoDigitBox::on, session, [session, field] { session->arrowKey(field, false); });
    connect(box, &TwoDigitBox::enterPressed, session, [session, field] { session->enterKey(field); });
    connect(box, &TwoDigitBox::secondDigit, session, &RecurrenceEditorSession::secondDigit);
    connect(box, &TwoDigitBox::refused, session, [session, field] { session->digitRefused(field); });
    connect(box, &QLineEdit::textEdited, this, [this] { m_session.formEdited(form()); });
}

// Keys of the text box and the list; a digit box reports its own.
bool frmRicorrenze::boxKey(EditorField field, const QKeyEvent &key)
{
    if (isArrow(key.key())) {
        m_session.arrowKey(field, isArrowBack(key.key()));
        return true;
    }
    if (field == EditorField::Text && isEnter(key.key())) {
        m_session.enterKey(field);
        return true;
    }
    if (field == EditorField::List && (isEnter(key.key()) || key.key() == Qt::Key_Space)) {
        m_session.List1_Click(m_list->currentRow());
        return true;
    }
    return false;
}

} // namespace promemo::launcher
