#include "platform/printjob.h"

#include <QApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>

#include "platform/printer.h"
#include "platform/services.h"

namespace promemo {

namespace {

// The job now running: a second one started during its wait would print inside it.
QPointer<PrintJobWindow> &runningJob()
{
    static QPointer<PrintJobWindow> running;
    return running;
}

} // namespace

PrintJobWindow::PrintJobWindow(const Services &services, const QString &label,
                               const QString &cancelCaption, const PrintWindowLayout &layout)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , m_services(services)
    , m_label1(new QLabel(label, this))
    , m_command1(new QPushButton(cancelCaption, this))
{
    setObjectName(QStringLiteral("frmStampa"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    setAttribute(Qt::WA_QuitOnClose, false);
    setFixedSize(layout.window);
    // Without a caption, the edge is all that sets it off from what lies behind. It lies
    // beneath the label and the button, which must get the clicks.
    auto *edge = new QFrame(this);
    edge->setFrameStyle(QFrame::Panel | QFrame::Raised);
    edge->setLineWidth(2);
    edge->setGeometry(rect());
    edge->setAttribute(Qt::WA_TransparentForMouseEvents);
    edge->lower();
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label1->setGeometry(layout.label);
    m_label1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_command1->setObjectName(QStringLiteral("Command1"));
    m_command1->setGeometry(layout.button);
    // Enter and Space press it while it has the focus.
    m_command1->setAutoDefault(true);
    setFocusProxy(m_command1);
    connect(m_command1, &QPushButton::clicked, this, &PrintJobWindow::Command1_Click);
}

void PrintJobWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        m_command1->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void PrintJobWindow::Command1_Click()
{
    m_services.printer.abort();
    finish(PrintOutcome::Cancelled);
}

void PrintJobWindow::start(const PrintJob &job, QWidget *messageParent)
{
    m_job = job;
    m_messageParent = messageParent;
    if (runningJob()) {
        m_running = true;
        finish(PrintOutcome::Busy);
        return;
    }
    runningJob() = this;
    m_running = true;
    // The window takes the focus so that the keyboard reaches "Annulla"; the window that had
    // it gets it back afterwards.
    m_previous = QApplication::activeWindow();
    show();
    raise();
    activateWindow();
    setFocus(Qt::ActiveWindowFocusReason);
    m_services.clock.after(job.wait, this, [this] { print(); });
}

void PrintJobWindow::print()
{
    if (!m_running)
        return;
    if (printLines(m_services.printer, m_job.fontFamily, m_job.fontPoints, m_job.lines)) {
        finish(PrintOutcome::Printed);
        return;
    }
    hide();
    m_services.messageBoxes.warn(m_job.errorTitle, printerErrorText(m_services.printer.lastError()),
                                 m_messageParent.data());
    finish(PrintOutcome::Failed);
}

void PrintJobWindow::finish(PrintOutcome outcome)
{
    if (!m_running)
        return;
    m_running = false;
    if (runningJob() == this)
        runningJob() = nullptr;
    hide();
    if (m_previous && m_previous->isVisible())
        m_previous->activateWindow();
    emit finished(outcome);
    deleteLater();
}

QString printerErrorText(const PrinterError &error)
{
    return QStringLiteral("   Errore") + QString::number(error.number) + QStringLiteral(":  ")
           + error.description
           + QStringLiteral("\r\r   Controllare lo stato della stampante e riprovare    ");
}

bool printLines(IPrinter &printer, const QString &fontFamily, int fontPoints,
                const QStringList &lines)
{
    if (!printer.beginDocument(fontFamily, fontPoints))
        return false;
    for (const QString &line : lines) {
        if (!printer.printLine(line)) {
            printer.abort();
            return false;
        }
    }
    return printer.endDocument();
}

} // namespace promemo
