#include "DataFileFixture.h"
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
#include <QMenu>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextEdit>

namespace {

using Row = QHash<QString, QString>;

// The text and the bold runs of an RTF document, read as a word processor reads them.
struct RtfText
{
    QString text;
    QStringList bold;
};

RtfText readRtf(const QByteArray& rtf)
{
    RtfText out;
    QList<bool> boldStack{false};
    int skipDepth = -1;  // inside the font table or another destination group
    QString run;
    auto flush = [&] {
        if (!run.isEmpty() && boldStack.last()) {
            out.bold << run;
        }
        run.clear();
    };
    auto put = [&](QChar c) {
        if (skipDepth < 0) {
            out.text += c;
            run += c;
        }
    };
    for (qsizetype i = 0; i < rtf.size(); ++i) {
        const char c = rtf[i];
        if (c == '{') {
            boldStack << boldStack.last();
        } else if (c == '}') {
            if (skipDepth == boldStack.size()) {
                skipDepth = -1;
            }
            flush();
            boldStack.removeLast();
        } else if (c == '\\') {
            const char n = rtf[i + 1];
            if (n == '\\' || n == '{' || n == '}') {
                put(QLatin1Char(n));
                ++i;
            } else if (n == '\'') {
                put(QChar(rtf.mid(i + 2, 2).toInt(nullptr, 16)));
                i += 3;
            } else {
                qsizetype j = i + 1;
                while (j < rtf.size() && std::isalpha(static_cast<uchar>(rtf[j]))) {
                    ++j;
                }
                const QByteArray word = rtf.mid(i + 1, j - i - 1);
                qsizetype k = j;
                while (k < rtf.size()
                    && (rtf[k] == '-' || std::isdigit(static_cast<uchar>(rtf[k])))) {
                    ++k;
                }
                const QByteArray number = rtf.mid(j, k - j);
                if (k < rtf.size() && rtf[k] == ' ') {
                    ++k;
                }
                i = k - 1;
                if (word == "fonttbl") {
                    skipDepth = static_cast<int>(boldStack.size());
                } else if (word == "b") {
                    flush();
                    boldStack.last() = number != "0";
                } else if (word == "par" || word == "line") {
                    put(QLatin1Char('\n'));
                } else if (word == "tab") {
                    put(QLatin1Char('\t'));
                } else if (word == "u") {
                    put(QChar(static_cast<char16_t>(number.toShort())));
                    ++i;  // the fallback character
                }
            }
        } else if (c != '\r' && c != '\n') {
            put(QLatin1Char(c));
        }
    }
    return out;
}

// The bold runs of the box; a paragraph break joins two bold runs it stands between.
QStringList boldRuns(const QTextDocument& doc)
{
    QStringList runs;
    QString run;
    int breaks = 0;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            if (it.fragment().charFormat().fontWeight() >= QFont::Bold) {
                run += QString(run.isEmpty() ? 0 : breaks, u'\n') + it.fragment().text();
            } else if (!run.isEmpty()) {
                runs << run;
                run.clear();
            }
            breaks = 0;
        }
        ++breaks;
    }
    if (!run.isEmpty()) {
        runs << run;
    }
    return runs;
}

QString pdfText(const QString& pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    return p.waitForFinished(30000) ? QString::fromUtf8(p.readAllStandardOutput()) : QString();
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
        QTest::addColumn<QStringList>("bold");
        QTest::newRow("full") << QList<Row>{full()}
                              << "\n 1:\nACCOUNT:- \tBank\nURL:-\t\thttps://bank.example\n"
                                 "ID:-\t\tjohn\nPASSWORD:-\tpw{1}\\x\nHINT:-\tfirst pet\n"
                                 "EXTRA INFO:-\n\tsort code 12\n"
                                 "KEY1 LABEL:-  \tPIN\t\tDATA:\t1234\n"
                                 "KEY2 LABEL:-  \tMemo\t\tDATA:\tcaf\u00e9\n"
                                 "KEY3 LABEL:-  \tCard\t\tDATA:\t4000\n"
                                 "KEY4 LABEL:-  \tCVV\t\tDATA:\t999\n\n"
                              << QStringList{" 1:\nACCOUNT:- ", "URL:-", "ID:-", "PASSWORD:-",
                                     "HINT:-", "EXTRA INFO:-", "KEY1 LABEL:-  ", "DATA:\t",
                                     "KEY2 LABEL:-  ", "DATA:\t", "KEY3 LABEL:-  ", "DATA:\t",
                                     "KEY4 LABEL:-  ", "DATA:\t"};
        QTest::newRow("sparse, then a key with one half")
            << QList<Row>{{{"Account", "A"}, {"Info", "   "}},
                   {{"Account", "B"}, {"Key3", "v"}, {"Key4_Name", "n"}}}
            << "\n 1:\nACCOUNT:- \tA\nURL:-\t\t\nID:-\t\t\nPASSWORD:-\t\n\n"
               " 2:\nACCOUNT:- \tB\nURL:-\t\t\nID:-\t\t\nPASSWORD:-\t\n"
               "KEY3 LABEL:-  \t\t\tDATA:\tv\nKEY4 LABEL:-  \tn\t\tDATA:\t\n\n"
            << QStringList{" 1:\nACCOUNT:- ", "URL:-", "ID:-", "PASSWORD:-", " 2:\nACCOUNT:- ",
                   "URL:-", "ID:-", "PASSWORD:-", "KEY3 LABEL:-  ", "DATA:\t", "KEY4 LABEL:-  ",
                   "DATA:\t"};
    }

    void listing()
    {
        // Guards against wrong texts, bold, skipping rules or numbering in the listing.
        QFETCH(QList<Row>, rows);
        openAccounts(rows);
        frmPrint f;
        QTEST(f.RTB->toPlainText(), "text");
        QTEST(boldRuns(*f.RTB->document()), "bold");
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
        // Guards against a saved file that loses text, tabs, bold or escaped characters.
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
        const RtfText back = readRtf(rtf);
        QCOMPARE(back.text, f.RTB->toPlainText());
        QCOMPARE(back.bold.join(QString()).remove(u'\n'),
            boldRuns(*f.RTB->document()).join(QString()).remove(u'\n'));
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
        // Guards against printing on another printer than the one chosen, or losing pages.
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
    }

    void popUpMenu_data()
    {
        QTest::addColumn<bool>("select");
        QTest::addColumn<QString>("clipboard");
        QTest::addColumn<QString>("enabled");
        QTest::newRow("nothing selected, empty clipboard") << false << "" << "mnuSelectAll";
        QTest::newRow("selection and text to paste")
            << true << "pasted" << "mnuCut mnuCopy mnuPaste mnuDelete mnuSelectAll";
    }

    void popUpMenu()
    {
        // Guards against menu commands offered when they cannot act, or hidden when they can.
        QFETCH(bool, select);
        QFETCH(QString, clipboard);
        openAccounts({{{"Account", "Bank"}}});
        frmPrint f;
        if (select) {
            QTextCursor c = f.RTB->textCursor();
            c.setPosition(1);
            c.setPosition(4, QTextCursor::KeepAnchor);
            f.RTB->setTextCursor(c);
        }
        m_host->clipboardSetText(clipboard);
        f.RTB_MouseDown(2, 0, 150, 150);
        QStringList enabled;
        for (QAction* a : f.mnuPopUp->actions()) {
            if (!a->isSeparator() && a->isEnabled()) {
                enabled << a->objectName();
            }
        }
        QTEST(enabled.join(u' '), "enabled");
        QVERIFY(f.mnuPopUp->isVisible());
        f.mnuPopUp->hide();
    }

    void editCommands()
    {
        // Guards against cut, copy, paste and select all acting on the wrong text.
        openAccounts({{{"Account", "Bank"}}});
        frmPrint f;
        QTextCursor c = f.RTB->textCursor();
        c.setPosition(1);
        c.setPosition(4, QTextCursor::KeepAnchor);
        f.RTB->setTextCursor(c);
        f.mnuCopy_Click();
        QCOMPARE(m_host->clipboardText(), QStringLiteral(" 1:"));
        f.mnuCut_Click();
        QVERIFY(f.RTB->toPlainText().startsWith(QStringLiteral("\n\nACCOUNT")));
        f.mnuPaste_Click();
        QVERIFY(f.RTB->toPlainText().startsWith(QStringLiteral("\n 1:\nACCOUNT")));
        f.mnuCopy_Click();
        QCOMPARE(m_host->clipboardText(), QString());
        f.mnuSelectAll_Click();
        QCOMPARE(f.RTB->textCursor().selectedText().size(),
            f.RTB->document()->characterCount() - 1);
        f.mnuDelete_Click();
        QVERIFY(f.RTB->document()->isEmpty());
    }
};

PINVARA_TEST_MAIN(TestFrmPrint)
#include "tst_frmPrint.moc"
