#include "launcher/archivewindow.h"

#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>

#include <functional>

#include "common/archive.h"
#include "launcher/core/archivetext.h"
#include "common/programfolder.h"
#include "platform/captions.h"
#include "widgets/centring.h"
#include "widgets/helpkey.h"
#include "widgets/registeredwidget.h"
#include "widgets/suitefont.h"
#include "platform/messageboxes.h"

namespace promemo::launcher {

namespace {

const QString kErrorTitle = QStringLiteral(" Promemo");
const QString kSearchTitle = QStringLiteral(" Archivio Notino");
const QString kNoArchive = QStringLiteral("  Nessun archivio presente     ");
const QString kEmptySearch =
    QStringLiteral("     Non hai inserito alcun dato di ricerca        ");
const QString kHelpTopic = QStringLiteral("archivio.htm");

constexpr QSize kClientSize{430, 296};

QString searchEndedText(const QString &search)
{
    return QStringLiteral("     Ricerca del dato  ' ") + search
           + QStringLiteral(" '  terminata       ");
}

struct ReadFault
{
    int number;
    QString description;
};

// The suite's numbers and words for a file that is there but cannot be read.
ReadFault readFault(const QString &path)
{
    const QFileInfo info(path);
    if (info.isDir())
        return {75, QStringLiteral("Errore di accesso al percorso/file")};
    if (!info.isReadable())
        return {70, QStringLiteral("Permesso negato")};
    return {57, QStringLiteral("Errore di I/O della periferica")};
}

// Text2: its whole text selected when it takes the focus, emptied by a double click.
class SearchBox final : public QLineEdit
{
public:
    using QLineEdit::QLineEdit;

    std::function<void()> doubleClicked;

protected:
    void focusInEvent(QFocusEvent *event) override
    {
        QLineEdit::focusInEvent(event);
        selectAll();
    }
    void mouseDoubleClickEvent(QMouseEvent *) override
    {
        if (doubleClicked)
            doubleClicked();
    }
};

} // namespace

frmArchivio::frmArchivio(const Services &services, const QString &archiveText, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint
                          | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_services(services), m_search(services.messageBoxes, kSearchTitle, this),
      m_shown(textBoxText(archiveText))
{
    setObjectName(QStringLiteral("frmArchivio"));
    setWindowTitle(QString::fromUtf16(kArchiveCaption));
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(suiteFont());
    setFixedSize(kClientSize);
    buildControls();
    Text1->setPlainText(m_shown);

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

    auto *search = new SearchBox(this);
    search->doubleClicked = [this] { Text2_DblClick(); };
    Text2 = search;
    Text2->setObjectName(QStringLiteral("Text2"));
    Text2->setGeometry(48, 266, 99, 19);
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

    // Text2_Change: a new search text starts again from the top.
    connect(Text2, &QLineEdit::textChanged, this, [this] { m_start = 0; });
    connect(Text2, &QLineEdit::returnPressed, this, &frmArchivio::cmdTrova_Click);
    connect(m_cmdTrova, &QPushButton::clicked, this, &frmArchivio::cmdTrova_Click);
    connect(m_cmdHelp, &QPushButton::clicked, this, &frmArchivio::cmdHelp_Click);
    connect(m_cmdChiudi, &QPushButton::clicked, this, &QWidget::close);
}

void frmArchivio::Text2_DblClick()
{
    Text2->clear();
}

void frmArchivio::cmdHelp_Click()
{
    m_services.help.open(kHelpTopic);
}

void frmArchivio::cmdTrova_Click()
{
    const QString search = Text2->text();
    if (search.isEmpty()) {
        m_search.show(kEmptySearch, MessageIcon::Warning);
        Text2->setFocus();
        return;
    }
    if (const auto hit = findNextInArchive(m_shown, search, m_start)) {
        selectInText1(hit->position, hit->length);
        m_start = hit->nextFrom;
        return;
    }
    m_search.show(searchEndedText(search), MessageIcon::Information);
    Text2->setFocus();
    Text2->selectAll();
    m_start = 0;
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
    const QString path = programFile(QString::fromLatin1(kArchiveFileName));
    const ArchiveContents archive = readArchiveFile(path);
    const WindowMessages messages(services.messageBoxes, kErrorTitle);
    switch (archive.status) {
    case ArchiveContents::Status::Missing:
        messages.warn(kNoArchive);
        return nullptr;
    case ArchiveContents::Status::Unreadable: {
        const ReadFault fault = readFault(path);
        messages.warn(
            QStringLiteral("  Errore %1 - %2     ").arg(fault.number).arg(fault.description));
        return nullptr;
    }
    case ArchiveContents::Status::TooLarge:
        messages.warn(
            QStringLiteral("  L'archivio è troppo grande per essere mostrato (%1 MB).     \r\r"
                                        "  Il file archivio.dat resta com'è.     ")
                             .arg(QFileInfo(path).size() / (1024 * 1024)));
        return nullptr;
    case ArchiveContents::Status::Read:
        break;
    }
    return new frmArchivio(services, archiveText(archive.records));
}

} // namespace promemo::launcher
