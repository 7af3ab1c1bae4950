// Printer measurements and printing rich text page by page.
#include "startup/Module1.h"

#include "errortrace/Proc.h"
#include "platform/host/Host.h"
#include "platform/printer/PrinterJob.h"

#include <QAbstractTextDocumentLayout>
#include <QGuiApplication>
#include <QPrinter>
#include <QScreen>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <cmath>
#include <vector>

namespace Module1 {

std::unique_ptr<QPrinter> gPrinterDC;

namespace {

long roundedTwips(double pixels, double twipsPerPixel)
{
    return std::lround(pixels * twipsPerPixel);
}

// One laid-out line: where its text starts and the band it covers, in layout units.
struct Line
{
    int position;
    qreal top;
    qreal bottom;
};

std::vector<Line> linesOf(QTextDocument& doc)
{
    std::vector<Line> lines;
    QAbstractTextDocumentLayout* layout = doc.documentLayout();
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        const QTextLayout* text = block.layout();
        if (text == nullptr) {
            continue;
        }
        const qreal origin = layout->blockBoundingRect(block).top() - text->boundingRect().top();
        for (int i = 0; i < text->lineCount(); ++i) {
            const QTextLine line = text->lineAt(i);
            lines.push_back({block.position() + line.textStart(), origin + line.y(),
                             origin + line.y() + line.height()});
        }
    }
    return lines;
}

// Renders the lines from character `from` on that fit into the area (device pixels) and
// returns the position of the first character left over (textLength when all fitted).
// At least one line goes on each page, so a line taller than the page cannot stall the job.
int formatRange(QTextDocument& doc, const std::vector<Line>& lines, int from, int textLength,
                QPainter& painter, const QRectF& area)
{
    std::size_t first = 0;
    while (first < lines.size() && lines[first].position < from) {
        ++first;
    }
    if (first == lines.size()) {
        return textLength;
    }
    const qreal top = lines[first].top;
    std::size_t end = first + 1;
    while (end < lines.size() && lines[end].bottom - top <= area.height()) {
        ++end;
    }
    const qreal bottom = lines[end - 1].bottom;
    painter.save();
    painter.translate(area.left(), area.top() - top);
    doc.drawContents(&painter, QRectF(0, top, area.width(), bottom - top));
    painter.restore();
    return end < lines.size() ? lines[end].position : textLength;
}

} // namespace

long GetPrinterWidth()
{
    cw::Proc proc(kModule, QStringLiteral("Function GetPrinterWidth"));
    long result = 0;
    proc.run([&] {
        // Measuring needs no job, so nothing reaches the printer.
        printer::PrinterJob job(host::host().defaultPrinter());
        const long offset = roundedTwips(job.physicalOffsetX(), job.twipsPerPixelX());
        const long leftMargin = 0 - offset;
        const long rightMargin = (job.width() - 0) - offset;
        result = rightMargin - leftMargin;
    });
    return result;
}

long WYSIWYG_RTF(QTextDocument& rtb, long leftMargin, long rightMargin)
{
    cw::Proc proc(kModule, QStringLiteral("Function WYSIWYG_RTF"));
    long result = 0;
    proc.run([&] {
        printer::PrinterJob job(host::host().defaultPrinter());
        const long offset = roundedTwips(job.physicalOffsetX(), job.twipsPerPixelX());
        const long left = leftMargin - offset;
        const long right = (job.width() - rightMargin) - offset;
        const long lineWidth = right - left;
        if (!gPrinterDC) {
            gPrinterDC = host::host().defaultPrinter();
        }
        // The box wraps its lines where the printer will: the printed line width, in the
        // screen's pixels.
        const QScreen* screen = QGuiApplication::primaryScreen();
        const double screenTwipsPerPixel =
            printer::kTwipsPerInch / (screen != nullptr ? screen->logicalDotsPerInchX() : 96.0);
        rtb.setTextWidth(lineWidth / screenTwipsPerPixel);
        result = lineWidth;
    });
    return result;
}

void PrintRTF(QTextDocument& rtb, long leftMargin, long topMargin, long rightMargin,
              long bottomMargin)
{
    cw::Proc proc(kModule, QStringLiteral("Sub PrintRTF"));
    proc.run([&] {
        printer::PrinterJob job(host::host().defaultPrinter());
        job.start();
        const double tppX = job.twipsPerPixelX();
        const double tppY = job.twipsPerPixelY();
        const long offsetX = roundedTwips(job.physicalOffsetX(), tppX);
        const long offsetY = roundedTwips(job.physicalOffsetY(), tppY);
        // The drawing area in twips from the corner of the printable area.
        const long left = leftMargin - offsetX;
        const long top = topMargin - offsetY;
        const long right = (job.width() - rightMargin) - offsetX;
        const long bottom = (job.height() - bottomMargin) - offsetY;
        const QRectF area(left / tppX, top / tppY, (right - left) / tppX, (bottom - top) / tppY);

        // The box itself keeps its screen layout; a copy is laid out on the printer.
        std::unique_ptr<QTextDocument> doc(rtb.clone());
        doc->documentLayout()->setPaintDevice(&job.printer());
        doc->setDocumentMargin(0);
        doc->setTextWidth(area.width());
        const std::vector<Line> lines = linesOf(*doc);
        const int textLength = rtb.characterCount() - 1;

        int from = 0;
        for (;;) {
            const int next = formatRange(*doc, lines, from, textLength, job.painter(), area);
            if (next >= textLength) {
                break;
            }
            from = next;
            job.newPage();
        }
        job.endDoc();
    });
}

} // namespace Module1
