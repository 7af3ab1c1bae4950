// The default printer as the program measures and prints on it: sizes in twips, offsets in
// device pixels, and a print job that can be ended or cancelled.
#pragma once

#include <QPainter>

#include <memory>

class QPrinter;

namespace printer {

/// Twips per inch, the unit in which the program lays out printed pages.
inline constexpr int kTwipsPerInch = 1440;

/// Raised when there is no usable printer, and when a job cannot start or end.
inline constexpr long kErrNoPrinter = 484;
inline constexpr long kErrPrinter = 482;

/// For a printer that writes a file not there yet: makes the file first, readable by its
/// owner only, since what the program prints holds passwords in clear. A file that exists
/// keeps the permissions its owner gave it. True when the file was made here.
bool makePrivateOutputFile(const QPrinter& printer);

class PrinterJob
{
public:
    /// Raises kErrNoPrinter when there is no printer (empty) or it is not usable.
    explicit PrinterJob(std::unique_ptr<QPrinter> printer);
    ~PrinterJob();  ///< cancels a job that was started and neither ended nor cancelled
    PrinterJob(const PrinterJob&) = delete;
    PrinterJob& operator=(const PrinterJob&) = delete;

    QPrinter& printer() { return *m_printer; }

    /// The whole sheet, in twips.
    int width() const;
    int height() const;
    /// The printable area, in twips.
    int scaleWidth() const;
    int scaleHeight() const;
    /// The unprintable strip on the left and at the top, in device pixels.
    int physicalOffsetX() const;
    int physicalOffsetY() const;
    /// Device pixels to twips.
    double twipsPerPixelX() const;
    double twipsPerPixelY() const;

    /// Starts the job on its first page (idempotent); raises kErrPrinter when the printer
    /// refuses it. Drawing goes through painter(), whose origin is the corner of the printable
    /// area, in device pixels.
    void start();
    bool isActive() const { return m_painter.isActive(); }
    QPainter& painter() { return m_painter; }
    /// Ends the current page and starts the next (raises kErrPrinter when it cannot).
    void newPage();
    /// Ends the job: its pages print. Raises kErrPrinter when the printer reports a failure.
    void endDoc();
    /// Cancels the job: nothing is printed (a file printer's file is removed).
    void killDoc();

private:
    std::unique_ptr<QPrinter> m_printer;
    QPainter m_painter;
};

} // namespace printer
