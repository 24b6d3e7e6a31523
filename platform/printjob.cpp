#include "platform/printjob.h"

#include <QApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScopedValueRollback>

#include "platform/printer.h"
#include "platform/services.h"

namespace promemo {

PrintJobWindow::PrintJobWindow(IPrinter &printer, const QString &label,
                               const QString &cancelCaption, const PrintWindowLayout &layout,
                               QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , m_printer(printer)
    , m_label1(new QLabel(label, this))
    , m_command1(new QPushButton(cancelCaption, this))
{
    setObjectName(QStringLiteral("frmStampa"));
    setAttribute(Qt::WA_DeleteOnClose, false);
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
    m_printer.abort();
    m_cancelled = true;
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

PrintOutcome runPrintJob(PrintJobWindow &window, const Services &services, const PrintJob &job,
                         QWidget *messageParent)
{
    // A second job started from the events of the wait would print inside the first one.
    static bool printing = false;
    if (printing)
        return PrintOutcome::Busy;
    const QScopedValueRollback busy(printing, true);
    const QPointer<QWidget> parent(messageParent);
    // The window takes the focus so that the keyboard reaches "Annulla"; the window that had
    // it gets it back afterwards.
    const QPointer<QWidget> previous(QApplication::activeWindow());
    const auto giveFocusBack = [&] {
        window.hide();
        if (previous && previous->isVisible())
            previous->activateWindow();
    };

    window.show();
    window.raise();
    window.activateWindow();
    window.setFocus(Qt::ActiveWindowFocusReason);
    if (waitProcessingEvents(services.clock, job.wait, [&] { return window.cancelled(); })) {
        giveFocusBack();
        return PrintOutcome::Cancelled;
    }
    const bool printed = printLines(services.printer, job.fontFamily, job.fontPoints, job.lines);
    giveFocusBack();
    if (printed)
        return PrintOutcome::Printed;
    services.messageBoxes.warn(job.errorTitle, printerErrorText(services.printer.lastError()),
                               parent.data());
    return PrintOutcome::Failed;
}

} // namespace promemo
