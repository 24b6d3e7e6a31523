#include "platform/printer.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

namespace promemo {

namespace {

// One number for every printer failure, as the print service gives none of its own.
constexpr int kPrinterErrorNumber = 482;

} // namespace

SystemPrinter::SystemPrinter() = default;

SystemPrinter::~SystemPrinter()
{
    dropDocument();
}

void SystemPrinter::setOutputFile(const QString &pdfPath)
{
    m_outputFile = pdfPath;
}

bool SystemPrinter::beginDocument(const QString &fontFamily, int points)
{
    dropDocument();
    if (m_outputFile.isEmpty()) {
        const QPrinterInfo defaultPrinter = QPrinterInfo::defaultPrinter();
        if (defaultPrinter.isNull())
            return fail(kPrinterErrorNumber, QStringLiteral("Nessuna stampante predefinita"));
        m_printer = std::make_unique<QPrinter>(defaultPrinter, QPrinter::HighResolution);
    } else {
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        m_printer->setOutputFormat(QPrinter::PdfFormat);
        m_printer->setOutputFileName(m_outputFile);
    }
    m_printer->setDocName(QStringLiteral("Promemo"));
    m_painter = std::make_unique<QPainter>();
    if (!m_painter->begin(m_printer.get())) {
        dropDocument();
        return fail(kPrinterErrorNumber, QStringLiteral("Impossibile avviare la stampa"));
    }
    QFont font(fontFamily);
    font.setPointSize(points);
    // Arial is seldom installed; fontconfig picks its metric twin.
    font.setStyleHint(QFont::SansSerif);
    m_painter->setFont(font);
    m_lineTop = 0;
    return true;
}

bool SystemPrinter::printLine(const QString &line)
{
    if (!m_painter || !m_painter->isActive())
        return fail(kPrinterErrorNumber, QStringLiteral("Nessuna stampa in corso"));
    const QFontMetrics metrics = m_painter->fontMetrics();
    const int pageHeight = m_painter->viewport().height();
    if (m_lineTop > 0 && m_lineTop + metrics.height() > pageHeight) {
        if (!m_printer->newPage()) {
            dropDocument();
            return fail(kPrinterErrorNumber, QStringLiteral("Impossibile passare a una nuova pagina"));
        }
        m_lineTop = 0;
    }
    m_painter->drawText(0, m_lineTop + metrics.ascent(), line);
    m_lineTop += metrics.lineSpacing();
    return true;
}

bool SystemPrinter::endDocument()
{
    if (!m_painter || !m_painter->isActive())
        return fail(kPrinterErrorNumber, QStringLiteral("Nessuna stampa in corso"));
    const bool ended = m_painter->end();
    m_painter.reset();
    m_printer.reset();
    if (!ended)
        return fail(kPrinterErrorNumber, QStringLiteral("La stampante non ha accettato il documento"));
    return true;
}

void SystemPrinter::abort()
{
    dropDocument();
}

PrinterError SystemPrinter::lastError() const
{
    return m_error;
}

bool SystemPrinter::fail(int number, const QString &description)
{
    m_error = {number, description};
    return false;
}

// Nothing unfinished reaches the printer.
void SystemPrinter::dropDocument()
{
    if (m_painter && m_painter->isActive()) {
        m_printer->abort();
        m_painter->end();
    }
    m_painter.reset();
    m_printer.reset();
}

} // namespace promemo
