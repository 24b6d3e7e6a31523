#pragma once

#include <QString>

#include <memory>

class QPainter;
class QPrinter;

namespace promemo {

struct PrinterError
{
    int number = 0;
    QString description;

    bool operator==(const PrinterError &) const = default;
};

// The default printer, one document at a time, printed as plain lines in one font.
class IPrinter
{
public:
    virtual ~IPrinter() = default;

    // Starts a document; false (see lastError()) when there is no printer or it cannot start.
    virtual bool beginDocument(const QString &fontFamily, int points) = 0;
    // Prints one line below the previous one; a full page continues on a new one.
    virtual bool printLine(const QString &line) = 0;
    // Ends the document, which sends it to the printer.
    virtual bool endDocument() = 0;
    // Drops the document in progress, if any.
    virtual void abort() = 0;
    // Why the last call that returned false failed.
    virtual PrinterError lastError() const = 0;
};

// Prints through the system's print service on its default printer.
class SystemPrinter final : public IPrinter
{
public:
    SystemPrinter();
    ~SystemPrinter() override;
    SystemPrinter(const SystemPrinter &) = delete;
    SystemPrinter &operator=(const SystemPrinter &) = delete;

    bool beginDocument(const QString &fontFamily, int points) override;
    bool printLine(const QString &line) override;
    bool endDocument() override;
    void abort() override;
    PrinterError lastError() const override;

    // Prints into a PDF file instead of the default printer; for checking the page by hand.
    void setOutputFile(const QString &pdfPath);

private:
    bool fail(int number, const QString &description);
    void dropDocument();

    std::unique_ptr<QPrinter> m_printer;
    std::unique_ptr<QPainter> m_painter;
    QString m_outputFile;
    int m_lineTop = 0;
    PrinterError m_error;
};

} // namespace promemo
