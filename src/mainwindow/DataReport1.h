// The printed account report: a banded layout in twips drawn on the printer's pages, shown in a
// print preview from which the user prints.
#pragma once

#include <QDate>
#include <QPointer>
#include <QPrintPreviewDialog>
#include <QStringList>

#include <functional>
#include <memory>

class QPainter;
class QPrinter;

namespace ado {
class Recordset;
}

class DataReport1 : public QPrintPreviewDialog
{
    Q_OBJECT

public:
    inline static const QString kTitle = QStringLiteral("Accounts Report");

    /// The report prints on this printer (a PDF file when there is none); its preview shows
    /// the same pages.
    explicit DataReport1(std::unique_ptr<QPrinter> printer, QWidget* parent = nullptr);
    ~DataReport1() override;

    /// Binds the report to a recordset: its rows, in their present filter and order, are the
    /// report's records. The recordset is read when the pages are drawn, not moved.
    void setDataSource(ado::Recordset* recordset);
    ado::Recordset* dataSource() const;

    /// The date the report header shows (today unless set).
    void setReportDate(const QDate& date) { m_date = date; }

    /// Asked once the printer dialog has been answered: the report prints only when it says
    /// true.
    void setPrintGuard(std::function<bool()> guard) { m_printGuard = std::move(guard); }

    /// Width of the report window in twips.
    void setWidthTwips(double twips);
    double widthTwips() const;

    /// Shows the report modally, owned by owner, through the host. Raises 91 when no
    /// recordset is bound and 3704 when it is closed.
    void Show(QWidget* owner);

    /// Draws the whole report on the printer, one page after another; false when the printer
    /// refused the job.
    bool render(QPrinter& printer);
    /// The number of pages the report takes on the printer's page.
    int pageCount(const QPrinter& printer) const;

    /// The field names of one record, in the order of the detail section.
    static const QStringList& fieldNames();

private:
    DataReport1(std::unique_ptr<QPrinter> printer, QWidget* parent, int);
    /// Routes the preview's Print through the printer dialog and drops the buttons that
    /// would change the page's orientation or set-up.
    void adaptToolBar();
    /// The preview's Print: the printer dialog, then the whole report on the printer chosen.
    void printReport();
    struct Page;
    /// The pages that total records take on a page of that height.
    static QList<Page> paginate(int total, double pageHeightTwips);
    /// The bound recordset's rows in their present filter and order (0 when none is open).
    int recordCount() const;
    QList<QStringList> records() const;

    std::unique_ptr<QPrinter> m_printer;
    QPointer<ado::Recordset> m_source;
    QDate m_date;
    std::function<bool()> m_printGuard;
};
