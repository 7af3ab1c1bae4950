#include "DataFileFixture.h"
#include "PdfText.h"
#include "ScriptedHost.h"
#include "TestMain.h"
#include "dialogs/frmPrint.h"
#include "errortrace/CatchwellState.h"
#include "errortrace/modCatchwell.h"
#include "platform/ado/Connection.h"
#include "platform/ado/Recordset.h"
#include "platform/vb/Constants.h"
#include "platform/vb/Error.h"
#include "startup/Globals.h"
#include "startup/Module1.h"

#include <QAction>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QMenu>
#include <QPrinter>
#include <QTemporaryDir>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextEdit>

namespace {

using Row = QHash<QString, QString>;

// The text with each bold run between asterisks; a paragraph is one line.
QString marked(const QTextDocument& doc)
{
    QStringList lines;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        QString line;
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const bool bold = it.fragment().charFormat().fontWeight() >= QFont::Bold;
            line += bold ? u'*' + it.fragment().text() + u'*' : it.fragment().text();
        }
        lines << line.replace(QStringLiteral("**"), QString());
    }
    return lines.join(u'\n');
}

// An RTF document read as a word processor reads it, bold runs marked as by marked().
QString readRtf(const QByteArray& rtf)
{
    static const QRegularExpression token(QStringLiteral(
        "\\\\([a-z]+)(-?\\d*) ?|\\\\'([0-9a-f]{2})|\\\\([\\\\{}])|([{}])|([^\\\\{}\r\n])"));
    QString out;
    bool bold = false;
    int depth = 0;
    int skipBelow = -1;  // the font table's group is not text
    for (auto it = token.globalMatch(QString::fromLatin1(rtf)); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        QString text = m.captured(4) + m.captured(6);
        if (!m.captured(3).isEmpty()) {
            text = QChar(m.captured(3).toInt(nullptr, 16));
        }
        const QString word = m.captured(1);
        if (m.captured(5) == u"{") {
            ++depth;
        } else if (m.captured(5) == u"}") {
            skipBelow = depth-- == skipBelow ? -1 : skipBelow;
        } else if (word == u"fonttbl") {
            skipBelow = depth;
        } else if (word == u"b") {
            bold = m.captured(2) != u"0";
        } else if (word == u"par" || word == u"line") {
            text = QStringLiteral("\n");
        } else if (word == u"tab") {
            text = QStringLiteral("\t");
        }
        if (skipBelow < 0 && !text.isEmpty()) {
            out += bold && text != u"\n" ? u'*' + text + u'*' : text;
        }
    }
    return out.replace(QStringLiteral("**"), QString());
}

} // namespace

class TestFrmPrint : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ScriptedHost> m_host;
    std::shared_ptr<ado::Connection> m_connection;
    std::unique_ptr<ado::Recordset> m_rs;
    int m_traps = 0;
    long m_trapped = 0;  // the number of the error the trap last saw

    // A data file holding the rows, open as gAccountRS.
    void openAccounts(const QList<Row>& rows)
    {
        const QString path = m_dir->filePath(QStringLiteral("accounts.pnv"));
        testdata::copyTemplate(path);
        m_connection = std::make_shared<ado::Connection>();
        m_connection->Open(testdata::connectString(path, QString()));
        m_rs = std::make_unique<ado::Recordset>();
        m_rs->Open(QStringLiteral("Select * from tblAccount"), m_connection);
        for (const Row& row : rows) {
            m_rs->AddNew();
            for (auto it = row.begin(); it != row.end(); ++it) {
                m_rs->Fields(it.key()).setValue(it.value());
            }
            m_rs->Update();
        }
        gAccountRS = m_rs.get();
    }

    static Row full()
    {
        return {{"Account", "Bank"}, {"URL", "https://bank.example"}, {"IDtext", "john"},
            {"Password", "pw{1}\\x"}, {"Hint", "first pet"}, {"Info", "  sort code 12  "},
            {"Key1_Name", "PIN"}, {"Key1", "1234"}, {"Key2_Name", "Memo"}, {"Key2", "caf\u00e9"},
            {"Key3_Name", "Card"}, {"Key3", "4000"}, {"Key4_Name", "CVV"}, {"Key4", "999"}};
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_host = std::make_unique<ScriptedHost>();
        resetGlobals();
        modCatchwell::resetState();
        modCatchwell::setAppFolder(m_dir->path());
        m_traps = 0;
        modCatchwell::setReportHook([this] {
            ++m_traps;
            m_trapped = vb::Err().number;
            return int16_t(0);
        });
    }

    void cleanup()
    {
        VERIFY_DRAINED(*m_host);
        gAccountRS.clear();
        m_rs.reset();
        m_connection.reset();
        modCatchwell::setReportHook({});
        modCatchwell::setAppFolder({});
        m_host.reset();
        m_dir.reset();
    }

    void listing_data()
    {
        QTest::addColumn<QList<Row>>("rows");
        QTest::addColumn<QString>("text");
        QTest::newRow("full") << QList<Row>{full()}
                              << "\n* 1:*\n*ACCOUNT:- *\tBank\n*URL:-*\t\thttps://bank.example\n"
                                 "*ID:-*\t\tjohn\n*PASSWORD:-*\tpw{1}\\x\n*HINT:-*\tfirst pet\n"
                                 "*EXTRA INFO:-*\n\tsort code 12\n"
                                 "*KEY1 LABEL:-  *\tPIN\t\t*DATA:\t*1234\n"
                                 "*KEY2 LABEL:-  *\tMemo\t\t*DATA:\t*caf\u00e9\n"
                                 "*KEY3 LABEL:-  *\tCard\t\t*DATA:\t*4000\n"
                                 "*KEY4 LABEL:-  *\tCVV\t\t*DATA:\t*999\n\n";
        QTest::newRow("sparse, then a key with one half")
            << QList<Row>{{{"Account", "A"}, {"Info", "   "}},
                   {{"Account", "B"}, {"Key3", "v"}, {"Key4_Name", "n"}}}
            << "\n* 1:*\n*ACCOUNT:- *\tA\n*URL:-*\t\t\n*ID:-*\t\t\n*PASSWORD:-*\t\n\n"
               "* 2:*\n*ACCOUNT:- *\tB\n*URL:-*\t\t\n*ID:-*\t\t\n*PASSWORD:-*\t\n"
               "*KEY3 LABEL:-  *\t\t\t*DATA:\t*v\n*KEY4 LABEL:-  *\tn\t\t*DATA:\t*\n\n";
        const QString longInfo(240000, u'i');
        QTest::newRow("past 240,000 characters")
            << QList<Row>{{{"Account", "A"}, {"Info", longInfo}, {"Key1", "v"}}}
            << "\n* 1:*\n*ACCOUNT:- *\tA\n*URL:-*\t\t\n*ID:-*\t\t\n*PASSWORD:-*\t\n"
               "*EXTRA INFO:-*\n\t" + longInfo + "\n*KEY1 LABEL:-  *\t\t\t*DATA:\t*v\n\n";
    }

    void listing()
    {
        // Guards against wrong texts, bold, skipping rules or numbering in the listing, and a
        // long listing being appended to anywhere but its end.
        QFETCH(QList<Row>, rows);
        openAccounts(rows);
        frmPrint f;
        QTEST(marked(*f.RTB->document()), "text");
        QCOMPARE(f.RTB->textCursor().position(), 0);
        QCOMPARE(f.RTB->document()->defaultFont().family(), QStringLiteral("Arial"));
        QCOMPARE(m_traps, 0);
    }

    void noRowsLeaveTheBoxAlone()
    {
        // Guards against a missing or empty recordset clearing the box or adding to it.
        frmPrint none;
        QVERIFY(none.RTB->document()->isEmpty());
        openAccounts({{{"Account", "x"}}});
        m_rs->setFilter(QStringLiteral("Account LIKE 'zz*'"));
        none.RTB->setPlainText(QStringLiteral("kept"));
        none.FillRTF();
        QCOMPARE(none.RTB->toPlainText(), QStringLiteral("kept"));
    }

    void laidOutForThePrinter()
    {
        // Guards against a window or line width that does not follow the printer's page.
        frmPrint f;
        QPrinter page(QPrinter::HighResolution);
        page.setOutputFormat(QPrinter::PdfFormat);
        const long paper = std::lround(page.paperRect(QPrinter::Inch).width() * 1440);
        QCOMPARE(f.lineWidth(), paper - 2880);
        QCOMPARE(f.width(), vb::twipsToPixels(double(paper - 2880) + 200));
        // The box wraps its lines at the printed line's width, in screen pixels.
        const double dpi = QGuiApplication::primaryScreen()->logicalDotsPerInchX();
        QCOMPARE(f.RTB->lineWrapColumnOrWidth(), int(double(paper - 2880) * dpi / 1440));
        QVERIFY(Module1::gPrinterDC != nullptr);
        f.show();
        f.resize(10, 10);
        QCOMPARE(f.width(), vb::twipsToPixels(4000));
        QCOMPARE(f.height(), vb::twipsToPixels(2550));
        f.close();
        QVERIFY(Module1::gPrinterDC == nullptr);
    }

    void savedFileReadsBack()
    {
        // Guards against a saved file that loses text, tabs, bold or escaped characters, or that
        // other users can read.
        openAccounts({full()});
        frmPrint f;
        const QString file = m_dir->filePath(QStringLiteral("list.rtf"));
        m_host->fileNext(file);
        f.tbPrint_ButtonClick(QStringLiteral("Save"));
        const host::FileRequest request = m_host->fileRequests().value(0);
        QCOMPARE(request.title, QStringLiteral("Save"));
        QCOMPARE(request.filter, QStringLiteral("Text File (*.rtf)|*.rtf"));
        QFile saved(file);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        const QByteArray rtf = saved.readAll();
        QVERIFY(rtf.startsWith("{\\rtf1\\ansi"));
        QCOMPARE(readRtf(rtf), marked(*f.RTB->document()));
        // Every password is in the file: other users of the computer must not read it.
        QCOMPARE(saved.permissions() & 0x0077, QFileDevice::Permissions());
        QCOMPARE(m_traps, 0);
    }

    void cancelledDialogsDoNothing_data()
    {
        QTest::addColumn<QString>("key");
        QTest::newRow("save") << "Save";
        QTest::newRow("print") << "Print";
    }

    void cancelledDialogsDoNothing()
    {
        // Guards against a cancelled dialog saving or printing anyway, or not being reported.
        openAccounts({full()});
        frmPrint f;
        QFETCH(QString, key);
        if (key == u"Save") {
            m_host->cancelFileNext();
        } else {
            m_host->printerDialogNext(false);
        }
        const qsizetype printers = m_host->printedFiles().size();
        f.tbPrint_ButtonClick(key);
        QCOMPARE(m_traps, 1);
        QCOMPARE(m_trapped, 32755L);
        QCOMPARE(m_host->printedFiles().size(), printers);
        QVERIFY(QDir(m_dir->path()).entryList({QStringLiteral("*.rtf")}).isEmpty());
    }

    void printsThroughThePrinterDialog()
    {
        // Guards against printing on another printer than the one chosen, losing pages, or a
        // printed file that other users can read.
        QList<Row> rows;
        for (int i = 1; i <= 12; ++i) {
            rows << Row{{"Account", QStringLiteral("Account number %1").arg(i)}};
        }
        openAccounts(rows);
        frmPrint f;
        m_host->printerDialogNext(true);
        f.tbPrint_ButtonClick(QStringLiteral("Print"));
        QCOMPARE(m_traps, 0);
        QCOMPARE(m_host->transcript().at(m_host->transcript().size() - 2).style, 264);
        const QString pdf = m_host->printedFiles().constLast();
        const QString text = pdfText(pdf);
        QVERIFY2(text.contains(QStringLiteral("Account number 1\n")), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("Account number 12")));
        QVERIFY(text.count(u'\f') >= 2);
        QCOMPARE(QFile(pdf).permissions() & 0x0077, QFileDevice::Permissions());
    }

    void popUpMenuAndEditCommands()
    {
        // Guards against menu commands offered when they cannot act, or acting on other text.
        openAccounts({{{"Account", "Bank"}}});
        frmPrint f;
        auto offered = [&] {
            f.RTB_MouseDown(2, 0, 150, 150);
            QStringList enabled;
            for (QAction* a : f.mnuPopUp->actions()) {
                if (!a->isSeparator() && a->isEnabled()) {
                    enabled << a->objectName();
                }
            }
            f.mnuPopUp->hide();
            return enabled.join(u' ');
        };
        QCOMPARE(offered(), QStringLiteral("mnuSelectAll"));
        QTextCursor c = f.RTB->textCursor();
        c.setPosition(1);
        c.setPosition(4, QTextCursor::KeepAnchor);
        f.RTB->setTextCursor(c);
        f.mnuCut_Click();
        QCOMPARE(m_host->clipboardText(), QStringLiteral(" 1:"));
        QVERIFY(f.RTB->toPlainText().startsWith(QStringLiteral("\n\nACCOUNT")));
        QCOMPARE(offered(), QStringLiteral("mnuPaste mnuSelectAll"));
        f.mnuPaste_Click();
        QVERIFY(f.RTB->toPlainText().startsWith(QStringLiteral("\n 1:\nACCOUNT")));
        f.mnuSelectAll_Click();
        QCOMPARE(offered(), QStringLiteral("mnuCut mnuCopy mnuPaste mnuDelete mnuSelectAll"));
        f.mnuCopy_Click();
        QCOMPARE(m_host->clipboardText(), f.RTB->toPlainText());
        f.mnuDelete_Click();
        QVERIFY(f.RTB->document()->isEmpty());
    }
};

PINVARA_TEST_MAIN(TestFrmPrint)
#include "tst_frmPrint.moc"
