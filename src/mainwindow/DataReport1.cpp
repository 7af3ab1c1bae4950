#include "mainwindow/DataReport1.h"

#include "errortrace/Proc.h"
#include "platform/ado/AdoErrors.h"
#include "platform/ado/Recordset.h"
#include "platform/host/Host.h"
#include "platform/printer/PrinterJob.h"
#include "platform/vb/Constants.h"
#include "platform/vb/Error.h"

#include <QAction>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QLocale>
#include <QPainter>
#include <QPainterPath>
#include <QPrinter>
#include <QScreen>

namespace {

// Band heights in twips.
constexpr double kMargin = 1440;
constexpr double kReportHeader = 1095;
constexpr double kPageHeader = 360;
constexpr double kDetail = 3090;
constexpr double kPageFooter = 330;
constexpr double kReportFooter = 450;
constexpr double kRow = 240;

// One label or field box of the detail band: label text (empty for none) right-aligned left of
// the field, both on the same row.
struct Cell
{
    double top;
    const char* label;
    double labelLeft;
    double labelWidth;
    int field;  // index into fieldNames()
    double fieldLeft;
    double fieldWidth;
};

// Fields: 0 Account, 1 URL, 2 IDtext, 3 Password, 4 Hint, 5 Info, 6..9 Key1..4_Name,
// 10..13 Key1..4.
const Cell kCells[] = {
    {30, "Account:", 255, 780, 0, 1170, 7170},
    {315, "URL:", 600, 435, 1, 1170, 7170},
    {645, "Login ID:", 255, 780, 2, 1170, 7170},
    {915, "Password:", 90, 945, 3, 1170, 7170},
    {1185, "Hint:", 585, 450, 4, 1170, 7170},
    {1455, "Info:", 600, 435, 5, 1170, 7170},
    {1710, "Key1:", 525, 510, 6, 1170, 1695},
    {1710, "Text1:", 2925, 570, 10, 3585, 4755},
    {2010, "Key2:", 525, 510, 7, 1170, 1695},
    {2010, "Text2:", 2925, 570, 11, 3585, 4755},
    {2295, "Key3:", 525, 510, 8, 1170, 1695},
    {2295, "Text3:", 2925, 570, 12, 3585, 4755},
    {2580, "Key4:", 525, 510, 9, 1170, 1695},
    {2580, "Text4:", 2925, 570, 13, 3585, 4755},
};

// Draws in twips from the paper's corner; fonts are given in points, which the printer's own
// resolution turns into device pixels.
class TwipsPainter
{
public:
    TwipsPainter(QPainter& painter, const QPrinter& printer)
        : m_p(painter)
        , m_scale(printer.resolution() / 1440.0)
    {
    }

    QRectF rect(double left, double top, double width, double height) const
    {
        return QRectF(left * m_scale, top * m_scale, width * m_scale, height * m_scale);
    }

    void text(double left, double top, double width, double height, const QString& text,
        Qt::Alignment align, int points, bool bold = false, bool overflow = false)
    {
        QFont font(QStringLiteral("Arial"));
        font.setPointSize(points);
        font.setBold(bold);
        m_p.setFont(font);
        const QRectF box = rect(left, top, width, height);
        // A field box holds one line: a longer text ends in an ellipsis, line breaks become
        // blanks.
        QString line = text;
        line.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
        line.replace(u'\n', u' ').replace(u'\r', u' ').replace(u'\t', u' ');
        if (overflow) {
            m_p.drawText(box, static_cast<int>(align | Qt::AlignVCenter | Qt::TextSingleLine
                                  | Qt::TextDontClip),
                line);
            return;
        }
        const QString shown = QFontMetricsF(font, m_p.device())
                                  .elidedText(line, Qt::ElideRight, box.width());
        m_p.drawText(box, static_cast<int>(align | Qt::AlignVCenter | Qt::TextSingleLine), shown);
    }

    void line(double left, double top, double length)
    {
        QPen pen(Qt::black);
        pen.setWidthF(15 * m_scale);
        m_p.setPen(pen);
        m_p.drawLine(QPointF(left * m_scale, top * m_scale),
            QPointF((left + length) * m_scale, top * m_scale));
        m_p.setPen(Qt::black);
    }

    // The program's banner: its name on a blue band.
    void banner(double left, double top, double width, double height)
    {
        const QRectF box = rect(left, top, width, height);
        QLinearGradient fill(box.topLeft(), box.topRight());
        fill.setColorAt(0, QColor(31, 63, 111));
        fill.setColorAt(1, QColor(120, 160, 210));
        QPainterPath path;
        path.addRoundedRect(box, box.height() * 0.18, box.height() * 0.18);
        m_p.fillPath(path, fill);
        m_p.setPen(Qt::white);
        QFont name(QStringLiteral("Arial"));
        name.setPointSize(24);
        name.setBold(true);
        m_p.setFont(name);
        const QRectF inner = box.adjusted(box.height() * 0.3, 0, 0, -box.height() * 0.3);
        m_p.drawText(inner, Qt::AlignLeft | Qt::AlignBottom, QStringLiteral("Pinvara"));
        QFont tag(QStringLiteral("Arial"));
        tag.setPointSize(8);
        tag.setItalic(true);
        m_p.setFont(tag);
        m_p.drawText(box.adjusted(box.height() * 0.3, box.height() * 0.68, 0, 0),
            Qt::AlignLeft | Qt::AlignTop, QStringLiteral("Quorrel - Keyfold"));
        m_p.setPen(Qt::black);
    }

private:
    QPainter& m_p;
    double m_scale;
};

} // namespace

// One page: the records it holds and whether the report's header and footer are on it.
struct DataReport1::Page
{
    bool reportHeader = false;
    int firstRecord = 0;
    int recordCount = 0;
    bool reportFooter = false;
};

namespace {

// Without a printer installed the preview still shows the pages, and prints them to a file.
std::unique_ptr<QPrinter> orFilePrinter(std::unique_ptr<QPrinter> printer)
{
    return printer ? std::move(printer) : std::make_unique<QPrinter>(QPrinter::HighResolution);
}

} // namespace

DataReport1::DataReport1(std::unique_ptr<QPrinter> printer, QWidget* parent)
    : DataReport1(orFilePrinter(std::move(printer)), parent, 0)
{
}

DataReport1::DataReport1(std::unique_ptr<QPrinter> printer, QWidget* parent, int)
    : QPrintPreviewDialog(printer.get(), parent)
    , m_printer(std::move(printer))
    , m_date(QDate::currentDate())
{
    setObjectName(QStringLiteral("DataReport1"));
    setWindowTitle(kTitle);
    // Positions are measured from the paper's corner, as the layout's margins are.
    m_printer->setFullPage(true);
    m_printer->setDocName(kTitle);
    connect(this, &QPrintPreviewDialog::paintRequested, this,
        [this](QPrinter* target) { render(*target); });
    adaptToolBar();
    const QScreen* screen = QGuiApplication::primaryScreen();
    const int height = screen != nullptr ? screen->availableGeometry().height() * 9 / 10 : 700;
    resize(width(), std::min(height, vb::twipsToPixels(12000)));
}

DataReport1::~DataReport1() = default;

void DataReport1::adaptToolBar()
{
    for (QAction* action : findChildren<QAction*>()) {
        const QString text = action->text();
        if (text == u"Print") {
            // The preview's own Print opens Qt's printer or file dialog directly; the report
            // asks for the printer the way every other printer dialog of the program does.
            disconnect(action, &QAction::triggered, nullptr, nullptr);
            connect(action, &QAction::triggered, this, &DataReport1::printReport);
        } else if (text == u"Page setup" || text == u"Portrait" || text == u"Landscape") {
            // The layout is a portrait page in twips; the printer dialog chooses the paper.
            // Fewer buttons also keep Print on a toolbar as narrow as the report window.
            action->setVisible(false);
        }
    }
}

void DataReport1::printReport()
{
    // 4 | 8: the report always prints whole, so no selection and no page range are offered.
    if (!host::ShowPrinterDialog(host::PrinterRequest{12, false})
        || (m_printGuard && !m_printGuard())) {
        return;
    }
    std::unique_ptr<QPrinter> printer = host::host().defaultPrinter();
    if (!printer) {
        return;
    }
    printer->setDocName(kTitle);
    const bool made = printer::makePrivateOutputFile(*printer);
    // A report the printer refused is told as the report's other errors are; the preview
    // stays up to try again.
    cw::LocalTrap trap(
        QStringLiteral("DataReport Error:"), QStringLiteral("DATABASE REPORT ERROR!"), {});
    trap([&] {
        if (!render(*printer)) {
            vb::raise(printer::kErrPrinter);
        }
        accept();
    });
    if (made && QFileInfo(printer->outputFileName()).size() == 0) {
        QFile::remove(printer->outputFileName());  // the job never started
    }
}

const QStringList& DataReport1::fieldNames()
{
    static const QStringList names{QStringLiteral("Account"), QStringLiteral("URL"),
        QStringLiteral("IDtext"), QStringLiteral("Password"), QStringLiteral("Hint"),
        QStringLiteral("Info"), QStringLiteral("Key1_Name"), QStringLiteral("Key2_Name"),
        QStringLiteral("Key3_Name"), QStringLiteral("Key4_Name"), QStringLiteral("Key1"),
        QStringLiteral("Key2"), QStringLiteral("Key3"), QStringLiteral("Key4")};
    return names;
}

void DataReport1::setDataSource(ado::Recordset* recordset)
{
    m_source = recordset;
}

ado::Recordset* DataReport1::dataSource() const
{
    return m_source.data();
}

void DataReport1::setWidthTwips(double twips)
{
    resize(vb::twipsToPixels(twips), height());
}

double DataReport1::widthTwips() const
{
    return double(width()) * vb::kTwipsPerPixel;
}

void DataReport1::Show(QWidget* owner)
{
    if (m_source == nullptr) {
        vb::raise(91);
    }
    if (m_source->State() == 0) {
        vb::raise(ado::errObjectClosed);
    }
    host::host().showModal(*this, owner);
}

int DataReport1::recordCount() const
{
    return m_source == nullptr || m_source->State() == 0 ? 0 : m_source->viewCount();
}

QList<QStringList> DataReport1::records() const
{
    QList<QStringList> rows;
    if (recordCount() == 0) {
        return rows;
    }
    QList<int> columns;
    for (const QString& name : fieldNames()) {
        columns << m_source->fieldIndex(name);
    }
    for (int r = 0; r < m_source->viewCount(); ++r) {
        QStringList row;
        for (const int c : columns) {
            row << (c >= 0 ? m_source->viewValue(r, c) : QString());
        }
        rows << row;
    }
    return rows;
}

QList<DataReport1::Page> DataReport1::paginate(int total, double pageHeightTwips)
{
    // The bands between the page header and the page footer.
    const double body = pageHeightTwips - 2 * kMargin - kPageFooter;
    QList<Page> pages;
    Page page;
    page.reportHeader = true;
    double used = kReportHeader + kPageHeader;
    int next = 0;
    for (;;) {
        // At least one record goes on each page, so a page too short for one cannot stall.
        while (next < total && (used + kDetail <= body || page.recordCount == 0)) {
            if (page.recordCount == 0) {
                page.firstRecord = next;
            }
            ++page.recordCount;
            ++next;
            used += kDetail;
        }
        if (next == total && (used + kReportFooter <= body || page.recordCount == 0)) {
            page.reportFooter = true;
            pages << page;
            return pages;
        }
        pages << page;
        page = Page{};
        page.firstRecord = next;
        used = kPageHeader;
    }
}

int DataReport1::pageCount(const QPrinter& printer) const
{
    return static_cast<int>(
        paginate(recordCount(), printer.paperRect(QPrinter::Inch).height() * 1440).size());
}

bool DataReport1::render(QPrinter& printer)
{
    printer.setFullPage(true);
    const QList<QStringList> rows = records();
    const QList<Page> pages = paginate(
        static_cast<int>(rows.size()), printer.paperRect(QPrinter::Inch).height() * 1440);
    QPainter painter;
    if (!painter.begin(&printer)) {
        return false;
    }
    TwipsPainter tw(painter, printer);
    const QString date = QLocale().toString(m_date, QLocale::LongFormat);
    for (qsizetype p = 0; p < pages.size(); ++p) {
        if (p > 0) {
            printer.newPage();
        }
        const Page& page = pages[p];
        double y = kMargin;
        if (page.reportHeader) {
            tw.banner(kMargin + 60, y + 60, 4365, 945);
            tw.text(kMargin + 4515, y + 255, 3180, 465, kTitle, Qt::AlignLeft, 16, true);
            // A long date in words is wider than its box; centred on it, it may run over.
            tw.text(kMargin + 5310, y + 765, 1425, 240, date, Qt::AlignHCenter, 9, false, true);
            y += kReportHeader;
        }
        tw.text(kMargin + 6750, y + 60, 1710, 240,
            QStringLiteral("Page %1 of %2").arg(p + 1).arg(pages.size()), Qt::AlignRight, 9);
        y += kPageHeader;
        for (int r = page.firstRecord; r < page.firstRecord + page.recordCount; ++r) {
            for (const Cell& c : kCells) {
                tw.text(kMargin + c.labelLeft, y + c.top, c.labelWidth, kRow,
                    QString::fromLatin1(c.label), Qt::AlignRight, 9, true);
                tw.text(kMargin + c.fieldLeft, y + c.top, c.fieldWidth, kRow, rows[r][c.field],
                    Qt::AlignLeft, 9);
            }
            tw.line(kMargin + 225, y + 2970, 8100);
            y += kDetail;
        }
        if (page.reportFooter) {
            tw.text(kMargin + 5685, y + 75, 1365, 240, QStringLiteral("Total Accounts:"),
                Qt::AlignRight, 9, true);
            tw.text(kMargin + 7080, y + 75, 1440, 240, QString::number(rows.size()),
                Qt::AlignLeft, 9, true);
        }
        // The page footer band stays empty.
    }
    return painter.end() && printer.printerState() != QPrinter::Error;
}
