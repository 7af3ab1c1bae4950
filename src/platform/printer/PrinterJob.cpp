#include "platform/printer/PrinterJob.h"

#include "platform/vb/Error.h"

#include <QFile>
#include <QPrinter>

#include <cmath>

namespace printer {

bool makePrivateOutputFile(const QPrinter& printer)
{
    const QString name = printer.outputFileName();
    if (name.isEmpty()) {
        return false;
    }
    // NewOnly neither follows a link nor touches an existing file; the writer then fills the
    // file made here, which keeps its mode.
    QFile file(name);
    if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly,
            QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
        file.close();
        return true;
    }
    return false;
}

PrinterJob::PrinterJob(std::unique_ptr<QPrinter> printer)
    : m_printer(std::move(printer))
{
    if (!m_printer || !m_printer->isValid()) {
        vb::raise(kErrNoPrinter, {},
                  QStringLiteral("Problem getting printer information from the system. Make "
                                 "sure the printer is set up correctly."));
    }
}

PrinterJob::~PrinterJob()
{
    if (m_painter.isActive()) {
        killDoc();
    }
}

int PrinterJob::width() const
{
    return static_cast<int>(
        std::lround(m_printer->paperRect(QPrinter::Inch).width() * kTwipsPerInch));
}

int PrinterJob::height() const
{
    return static_cast<int>(
        std::lround(m_printer->paperRect(QPrinter::Inch).height() * kTwipsPerInch));
}

int PrinterJob::scaleWidth() const
{
    return static_cast<int>(
        std::lround(m_printer->pageRect(QPrinter::Inch).width() * kTwipsPerInch));
}

int PrinterJob::scaleHeight() const
{
    return static_cast<int>(
        std::lround(m_printer->pageRect(QPrinter::Inch).height() * kTwipsPerInch));
}

int PrinterJob::physicalOffsetX() const
{
    return static_cast<int>(std::lround(m_printer->pageRect(QPrinter::DevicePixel).left()
                                        - m_printer->paperRect(QPrinter::DevicePixel).left()));
}

int PrinterJob::physicalOffsetY() const
{
    return static_cast<int>(std::lround(m_printer->pageRect(QPrinter::DevicePixel).top()
                                        - m_printer->paperRect(QPrinter::DevicePixel).top()));
}

double PrinterJob::twipsPerPixelX() const
{
    return double(kTwipsPerInch) / m_printer->resolution();
}

double PrinterJob::twipsPerPixelY() const
{
    return double(kTwipsPerInch) / m_printer->resolution();
}

void PrinterJob::start()
{
    if (m_painter.isActive()) {
        return;
    }
    const bool made = makePrivateOutputFile(*m_printer);
    if (!m_painter.begin(m_printer.get())) {
        if (made) {
            QFile::remove(m_printer->outputFileName());
        }
        vb::raise(kErrPrinter);
    }
}

void PrinterJob::newPage()
{
    start();
    if (!m_printer->newPage()) {
        vb::raise(kErrPrinter);  // the destructor cancels what was started
    }
}

void PrinterJob::endDoc()
{
    if (!m_painter.isActive()) {
        return;
    }
    // The pages reach the printer only here; a job the printer refused must not pass as printed.
    if (!m_painter.end() || m_printer->printerState() == QPrinter::Error) {
        vb::raise(kErrPrinter);
    }
}

void PrinterJob::killDoc()
{
    if (!m_painter.isActive()) {
        return;
    }
    m_printer->abort();
    if (m_painter.isActive()) {
        m_painter.end();
    }
    // Not every print engine can abort; a file printer must not leave a document behind.
    if (!m_printer->outputFileName().isEmpty()) {
        QFile::remove(m_printer->outputFileName());
    }
}

} // namespace printer
