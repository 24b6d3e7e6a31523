#include "help/helpwindow.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QKeySequence>
#include <QListWidget>
#include <QShortcut>
#include <QSplitter>
#include <QTextBrowser>
#include <QToolBar>
#include <QUrl>

#include "help/helptopics.h"
#include "platform/helpstarter.h"
#include "platform/windowregistry.h"
#include "widgets/registeredwidget.h"

namespace promemo {

HelpWindow::HelpWindow(IWindowRegistry &windows, const QString &pagesFolder, QWidget *parent)
    : QMainWindow(parent)
    , m_pagesFolder(pagesFolder)
{
    setWindowTitle(QString::fromUtf16(kHelpCaption));

    m_index = new QListWidget;
    for (const auto &topic : helpTopics()) {
        auto *item = new QListWidgetItem(topic.title, m_index);
        item->setData(Qt::UserRole, topic.page);
    }
    m_index->setSpacing(3);
    m_index->setMinimumWidth(150);

    m_browser = new QTextBrowser;
    m_browser->setOpenLinks(true);
    m_browser->setOpenExternalLinks(false);
    m_browser->setSearchPaths({m_pagesFolder});
    QFont font = m_browser->font();
    font.setPointSizeF(font.pointSizeF() + 1);
    m_browser->setFont(font);

    auto *splitter = new QSplitter;
    splitter->addWidget(m_index);
    splitter->addWidget(m_browser);
    splitter->setChildrenCollapsible(false);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({m_index->sizeHintForColumn(0) + 40, 1000});
    setCentralWidget(splitter);

    auto *bar = addToolBar(QStringLiteral("Navigazione"));
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    QAction *back = bar->addAction(QStringLiteral("Indietro"), m_browser, &QTextBrowser::backward);
    QAction *forward = bar->addAction(QStringLiteral("Avanti"), m_browser, &QTextBrowser::forward);
    bar->addAction(QStringLiteral("Sommario"), this,
                   [this] { showTopic(helpTopics().first().page); });
    bar->addSeparator();
    bar->addAction(QStringLiteral("Chiudi"), this, &QWidget::close);
    back->setEnabled(false);
    forward->setEnabled(false);
    connect(m_browser, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);

    connect(m_index, &QListWidget::itemActivated, this,
            [this](QListWidgetItem *item) { showTopic(item->data(Qt::UserRole).toString()); });
    connect(m_index, &QListWidget::itemClicked, this,
            [this](QListWidgetItem *item) { showTopic(item->data(Qt::UserRole).toString()); });
    connect(m_browser, &QTextBrowser::sourceChanged, this, &HelpWindow::pageChanged);
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);

    m_registration = registerTopLevel(windows, *this);
}

HelpWindow::~HelpWindow() = default;

void HelpWindow::showTopic(const QString &topic)
{
    const QString page = helpPageFor(topic);
    const QString path = QDir(m_pagesFolder).filePath(page);
    if (!QFileInfo::exists(path)) {
        m_browser->setHtml(QStringLiteral("<h2>Guida non disponibile</h2><p>La pagina <b>%1</b> "
                                          "non si trova nella cartella di Promemo.</p>")
                               .arg(page.toHtmlEscaped()));
        return;
    }
    m_browser->setSource(QUrl::fromLocalFile(path), QTextDocument::HtmlResource);
}

QString HelpWindow::currentPage() const
{
    return QFileInfo(m_browser->source().path()).fileName();
}

void HelpWindow::pageChanged(const QUrl &url)
{
    const QString page = QFileInfo(url.path()).fileName();
    for (int row = 0; row < m_index->count(); ++row) {
        if (m_index->item(row)->data(Qt::UserRole).toString() == page) {
            const QSignalBlocker blocker(m_index);
            m_index->setCurrentRow(row);
            return;
        }
    }
}


} // namespace promemo
