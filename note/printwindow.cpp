#include "note/printwindow.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScopedValueRollback>

#include "note/printlayout.h"
#include "platform/printer.h"
#include "platform/screen.h"
#include "platform/services.h"

namespace promemo::note {

namespace {

using namespace std::chrono_literals;

constexpr QSize kWindowSize{187, 72};
constexpr int kBelowNoteTwips = 2200;
constexpr int kAboveNoteTwips = 1300;
constexpr int kBottomMarginTwips = 500;
constexpr auto kCancelWait = 2000ms;

const QString kErrorTitle = QStringLiteral(" Promemo");

QString printerErrorText(const PrinterError &error)
{
    return QStringLiteral("   Errore") + QString::number(error.number) + QStringLiteral(":  ")
           + error.description
           + QStringLiteral("\r\r   Controllare lo stato della stampante e riprovare    ");
}

bool printPage(IPrinter &printer, const QStringList &lines)
{
    if (!printer.beginDocument(QString::fromLatin1(kPrintFontFamily), kPrintFontPoints))
        return false;
    for (const QString &line : lines) {
        if (!printer.printLine(line)) {
            printer.abort();
            return false;
        }
    }
    return printer.endDocument();
}

} // namespace

QPoint printWindowPosition(QPoint noteTopLeft, int screenBottom)
{
    const int noteTop = pixelsToTwips(noteTopLeft.y());
    const int below = noteTop + kBelowNoteTwips;
    const bool tooLow = below + pixelsToTwips(kWindowSize.height())
                        > pixelsToTwips(screenBottom) - kBottomMarginTwips;
    const int top = tooLow ? noteTop - kAboveNoteTwips : below;
    return {noteTopLeft.x(), twipsToPixels(top)};
}

PrintWindow::PrintWindow(IPrinter &printer, QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , m_printer(printer)
    , m_label1(new QLabel(QStringLiteral("Stampa del notino in corso..."), this))
    , m_command1(new QPushButton(QStringLiteral("&Annulla"), this))
{
    setObjectName(QStringLiteral("frmStampa"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    setFixedSize(kWindowSize);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label1->setGeometry(7, 11, 173, 25);
    m_label1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_command1->setObjectName(QStringLiteral("Command1"));
    m_command1->setGeometry(16, 40, 145, 25);
    connect(m_command1, &QPushButton::clicked, this, &PrintWindow::Command1_Click);
}

void PrintWindow::Command1_Click()
{
    m_printer.abort();
    m_cancelled = true;
}

void printNote(QWidget &note, const QString &changeTime, const QString &text,
               const Services &services)
{
    // F3 again during the wait would start a second print inside the first one.
    static bool printing = false;
    if (printing)
        return;
    const QScopedValueRollback busy(printing, true);
    // Not a child of the note: a close request may delete the note during the wait.
    const QPointer<QWidget> guardedNote(&note);
    PrintWindow window(services.printer);
    const QRect screen = services.screen.geometry();
    window.move(printWindowPosition(note.pos(), screen.y() + screen.height()));
    window.show();
    if (waitProcessingEvents(services.clock, kCancelWait, [&] { return window.cancelled(); }))
        return;
    const bool printed = printPage(services.printer, notePageLines(changeTime, text));
    window.hide();
    if (!printed)
        services.messageBoxes.warn(kErrorTitle, printerErrorText(services.printer.lastError()),
                                   guardedNote.data());
}

} // namespace promemo::note
