#pragma once

#include <QRect>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <chrono>

class QKeyEvent;
class QLabel;
class QPushButton;

namespace promemo {

class IPrinter;
struct PrinterError;
struct Services;

// Where the print window puts its parts, in pixels.
struct PrintWindowLayout
{
    QSize window;
    QRect label;
    QRect button;
};

// frmStampa: a small caption-less window on top, showing what is being printed and a cancel
// button, while a print job waits to begin.
class PrintJobWindow : public QWidget
{
    Q_OBJECT

public:
    PrintJobWindow(IPrinter &printer, const QString &label, const QString &cancelCaption,
                   const PrintWindowLayout &layout, QWidget *parent = nullptr);

    bool cancelled() const { return m_cancelled; }

protected:
    // Escape presses "Annulla" too.
    void keyPressEvent(QKeyEvent *event) override;

private:
    void Command1_Click();

    IPrinter &m_printer;
    QLabel *m_label1;
    QPushButton *m_command1;
    bool m_cancelled = false;
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

// The message shown when printing failed.
QString printerErrorText(const PrinterError &error);

// Prints `lines` as one document; a failure drops the document. False on failure (see the
// printer's lastError()).
bool printLines(IPrinter &printer, const QString &fontFamily, int fontPoints,
                const QStringList &lines);

// Shows `window` (already placed) with the focus on its cancel button, lets events run for
// `job.wait` unless the button is pressed, then prints `job.lines`, hides the window and gives
// the focus back to the window that had it. A failure is reported in a warning box titled
// `job.errorTitle` over `messageParent` (which may be deleted meanwhile). One job at a time: a
// call during another job's wait does nothing.
PrintOutcome runPrintJob(PrintJobWindow &window, const Services &services, const PrintJob &job,
                         QWidget *messageParent = nullptr);

} // namespace promemo
