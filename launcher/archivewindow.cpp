#include "launcher/archivewindow.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>

#include "common/programfolder.h"
#include "platform/captions.h"
#include "widgets/centring.h"
#include "widgets/helpkey.h"
#include "widgets/registeredwidget.h"
#include "widgets/suitefont.h"

namespace promemo::launcher {

namespace {

const QString kHelpTopic = QStringLiteral("archivio.htm");

constexpr QSize kClientSize{430, 296};

} // namespace

frmArchivio::frmArchivio(const Services &services, const QString &archiveText, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint
                          | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_services(services), m_session(services.messageBoxes, archiveText, this)
{
    setObjectName(QStringLiteral("frmArchivio"));
    setWindowTitle(QString::fromUtf16(kArchiveCaption));
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(suiteFont());
    setFixedSize(kClientSize);
    buildControls();
    Text1->setPlainText(m_session.shownText());

    centreIn(*this, m_services.screen.availableGeometry());
    m_registration = registerTopLevel(m_services.windows, *this);
    show();
    // Opened from the menu to be typed in at once: it takes the focus.
    activateWindow();
    Text2->setFocus();
}

frmArchivio::~frmArchivio() = default;

void frmArchivio::buildControls()
{
    Text1 = new QPlainTextEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setGeometry(6, 6, 418, 249);
    Text1->setFont(suiteFont(9.75));
    Text1->setReadOnly(true);
    Text1->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Text1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Text1->setUndoRedoEnabled(false);

    Label1 = new QLabel(QStringLiteral("Cerca..."), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(7, 268, 41, 17);

    Text2 = new QLineEdit(this);
    Text2->setObjectName(QStringLiteral("Text2"));
    Text2->setGeometry(48, 266, 99, 19);
    Text2->installEventFilter(this);
    new HelpKey(m_services.help, kHelpTopic, {Text2}, this);

    m_cmdTrova = new QPushButton(QStringLiteral("Trova successivo"), this);
    m_cmdTrova->setObjectName(QStringLiteral("cmdTrova"));
    m_cmdTrova->setGeometry(152, 264, 104, 25);
    m_cmdHelp = new QPushButton(QStringLiteral("Help"), this);
    m_cmdHelp->setObjectName(QStringLiteral("cmdHelp"));
    m_cmdHelp->setGeometry(260, 264, 42, 25);
    m_cmdChiudi = new QPushButton(QStringLiteral("Chiudi"), this);
    m_cmdChiudi->setObjectName(QStringLiteral("cmdChiudi"));
    m_cmdChiudi->setGeometry(306, 264, 117, 25);

    setTabOrder(Text2, m_cmdTrova);
    setTabOrder(m_cmdTrova, m_cmdHelp);
    setTabOrder(m_cmdHelp, m_cmdChiudi);
    setTabOrder(m_cmdChiudi, Text1);

    connect(Text2, &QLineEdit::textChanged, &m_session, &ArchiveSearchSession::Text2_Change);
    connect(Text2, &QLineEdit::returnPressed, &m_session, &ArchiveSearchSession::cmdTrova_Click);
    connect(m_cmdTrova, &QPushButton::clicked, &m_session, &ArchiveSearchSession::cmdTrova_Click);
    connect(m_cmdHelp, &QPushButton::clicked, this, &frmArchivio::cmdHelp_Click);
    connect(m_cmdChiudi, &QPushButton::clicked, this, &QWidget::close);
    connect(&m_session, &ArchiveSearchSession::found, this, &frmArchivio::selectInText1);
    connect(&m_session, &ArchiveSearchSession::searchBoxFocused, this, &frmArchivio::focusText2);
}

bool frmArchivio::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != Text2)
        return QWidget::eventFilter(watched, event);
    if (event->type() == QEvent::FocusIn) {
        // After the box's own focus handling, which may move the cursor.
        Text2->event(event);
        Text2->selectAll();
        return true;
    }
    // Text2_DblClick: the emptied box starts the search again from the top.
    if (event->type() == QEvent::MouseButtonDblClick) {
        Text2->clear();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void frmArchivio::cmdHelp_Click()
{
    m_services.help.open(kHelpTopic);
}

void frmArchivio::focusText2()
{
    Text2->setFocus();
    Text2->selectAll();
}

void frmArchivio::selectInText1(qsizetype position, qsizetype length)
{
    Text1->setFocus();
    QTextCursor cursor(Text1->document());
    cursor.setPosition(int(position));
    cursor.setPosition(int(position + length), QTextCursor::KeepAnchor);
    Text1->setTextCursor(cursor);
    Text1->ensureCursorVisible();
}

frmArchivio *openArchiveWindow(const Services &services)
{
    const std::optional<QString> text = loadArchiveText(services.messageBoxes, programFolder());
    return text ? new frmArchivio(services, *text) : nullptr;
}

} // namespace promemo::launcher
