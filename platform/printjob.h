#pragma once

#include <QPointer>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <chrono>

#include "platform/services.h"

class QKeyEvent;
class QLabel;
class QPushButton;

namespace promemo {

class IPrinter;
struct PrinterError;

// Where the print window puts its parts, in pixels.
struct PrintWindowLayout
{
    QSize window;
    QRect label;
    QRect button;
};

// What a print job prints and how it reports a failure.
struct PrintJob
{
    std::chrono::milliseconds wait{0};
    QString fontFamily;
    int fontPoints = 12;
    QString errorTitle;
    QStringList lines;
};

enum class PrintOutcome { Printed, Cancelled, Failed, Busy };

// frmStampa: a small caption-less window on top, showing what is being printed and a cancel
// button, while a print job waits to begin. It runs one job and deletes itself afterwards.
class PrintJobWindow : public QWidget
{
    Q_OBJECT

public:
    PrintJobWindow(const Services &services, const QString &label, const QString &cancelCaption,
                   const PrintWindowLayout &layout);

    // Shows the window (already placed) with the focus on its cancel button and waits
    // `job.wait` unless the button is pressed; then prints `job.lines`, hides, gives the focus
    // back to the window that had it and reports `finished`. A failure is reported in a warning
    // box titled `job.errorTitle` over `messageParent` (which may be deleted meanwhile). One job
    // at a time: while another runs, this one finishes at once as Busy.
    void start(const PrintJob &job, QWidget *messageParent = nullptr);

signals:
    void finished(PrintOutcome outcome);

protected:
    // Escape presses "Annulla" too.
    void keyPressEvent(QKeyEvent *event) override;

private:
    void Command1_Click();
    void print();
    void finish(PrintOutcome outcome);

    const Services m_services;
    QLabel *m_label1;
    QPushButton *m_command1;
    PrintJob m_job;
    QPointer<QWidget> m_messageParent;
    QPointer<QWidget> m_previous;
    bool m_running = false;
};

// The message shown when printing failed.
QString printerErrorText(const PrinterError &error);

// Prints `lines` as one document; a failure drops the document. False on failure (see the
// printer's lastError()).
bool printLines(IPrinter &printer, const QString &fontFamily, int fontPoints,
                const QStringList &lines);


} // namespace promemo
