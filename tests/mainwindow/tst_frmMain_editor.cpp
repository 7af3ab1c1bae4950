#include "AccountsWindow.h"
#include "TestMain.h"
#include "platform/adoui/FieldBinding.h"
#include "platform/vb/Constants.h"

#include <QCoreApplication>
#include <QFontInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QThread>

#include <csignal>
#include <cstdio>
#include <sys/resource.h>

namespace {

const QStringList kRows = { QStringLiteral("mike|m.net|mk|pw1"),
    QStringLiteral("alpha|a.com|al|pw2"), QStringLiteral("delta|d.com|dl|pw3") };

// Every write that would grow a file fails while this lives, as on a full disk.
struct DiskFull
{
    rlimit saved {};
    DiskFull()
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &saved);
        rlimit none = saved;
        none.rlim_cur = 0;
        setrlimit(RLIMIT_FSIZE, &none);
    }
    ~DiskFull() { setrlimit(RLIMIT_FSIZE, &saved); }
};

QString text(QWidget* box)
{
    auto* line = qobject_cast<QLineEdit*>(box);
    return line ? line->text() : qobject_cast<QPlainTextEdit*>(box)->toPlainText();
}

// Child mode "--edit-child <file>": edits, deletes and adds through the window, says "saved"
// and waits to be killed.
const testenv::ChildMode editChild("--edit-child", [] {
    const QStringList args = QCoreApplication::arguments();
    MainWindowFixture::login(QStringLiteral("JOHN"), QStringLiteral("Secret#1"));
    frmMain::setCommandLineText(QString());
    auto* w = new frmMain;
    gDBpath = args.value(args.indexOf(QStringLiteral("--edit-child")) + 1);
    w->DBconnect(QString());
    w->Adodc1->Recordset()->MoveFirst(); // alpha
    w->txtAccount->end(false);
    QTest::keyClicks(w->txtAccount, QStringLiteral("-renamed"));
    accounts::selectRow(*w, 1); // delta: alpha is saved
    w->cmdClear_Click();        // delta goes
    w->cmdAdd_Click();
    QTest::keyClicks(w->txtAccount, QStringLiteral("zulu"));
    w->cmdAdd_Click(); // zulu is saved, another new row starts
    std::puts("saved");
    std::fflush(stdout);
    QThread::sleep(60);
    return 1;
});

} // namespace

class TestFrmMainEditor : public QObject
{
    Q_OBJECT

    MainWindowFixture fx;

    QString file() const { return fx.path(QStringLiteral("accounts.pnv")); }

private slots:
    void init() { fx.setUp(); }
    void cleanup()
    {
        VERIFY_DRAINED(*fx.host);
        fx.tearDown();
    }

    void eachBoxEditsItsFieldAndAMoveSavesIt_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("field");
        const char* const pairs[][2] = { { "txtAccount", "Account" }, { "txtURL", "URL" },
            { "txtID", "IDtext" }, { "txtPW", "Password" }, { "txtHint", "Hint" },
            { "txtKey1Label", "Key1_Name" }, { "txtKey1", "Key1" }, { "txtKey2Label", "Key2_Name" },
            { "txtKey2", "Key2" }, { "txtKey3Label", "Key3_Name" }, { "txtKey3", "Key3" },
            { "txtKey4Label", "Key4_Name" }, { "txtKey4", "Key4" }, { "txtINFO", "Info" } };
        for (const auto& p : pairs) {
            QTest::newRow(p[0]) << QString::fromLatin1(p[0]) << QString::fromLatin1(p[1]);
        }
    }

    void eachBoxEditsItsFieldAndAMoveSavesIt()
    {
        // Guards against a box bound to the wrong field, or a typed change lost by clicking
        // another account.
        QFETCH(QString, box);
        QFETCH(QString, field);
        auto w = accounts::open(fx, kRows);
        QWidget* edit = w->Frame2->findChild<QWidget*>(box);
        QTest::keyClicks(edit, QStringLiteral("Zz"));
        accounts::selectRow(*w, 2);
        QCOMPARE(accounts::current(*w), QStringLiteral("mike"));
        const QStringList values = accounts::inFile(file(), field);
        QVERIFY2(values[1].contains(QStringLiteral("Zz")), qPrintable(values.join(u',')));
        QCOMPARE(values.filter(QStringLiteral("Zz")).size(), 1);
    }

    void eachBoxTakesAtMostItsLength_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<int>("limit");
        QTest::newRow("txtAccount") << "txtAccount" << 50;
        QTest::newRow("txtURL") << "txtURL" << 255;
        QTest::newRow("txtHint") << "txtHint" << 255;
        QTest::newRow("txtKey2Label") << "txtKey2Label" << 16;
        QTest::newRow("txtKey4") << "txtKey4" << 50;
        QTest::newRow("txtINFO") << "txtINFO" << 4096;
    }

    void eachBoxTakesAtMostItsLength()
    {
        // Guards against a box taking more than its field is meant to hold.
        QFETCH(QString, box);
        QFETCH(int, limit);
        auto w = accounts::open(fx, kRows);
        QWidget* edit = w->Frame2->findChild<QWidget*>(box);
        const QString pasted(limit + 10, u'q');
        if (auto* line = qobject_cast<QLineEdit*>(edit)) {
            line->clear();
            line->insert(pasted);
        } else {
            auto* plain = qobject_cast<QPlainTextEdit*>(edit);
            plain->clear();
            plain->insertPlainText(pasted);
        }
        QCOMPARE(text(edit).size(), limit);
    }

    void enterMovesOnExceptInTheInfoBox()
    {
        // Guards against Enter typed into a box, a broken tab order, or Enter leaving txtINFO.
        auto w = accounts::open(fx, kRows);
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        w->txtAccount->setFocus();
        QStringList visited { QApplication::focusWidget()->objectName() };
        for (int i = 0; i < 13; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            visited << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(visited,
            QStringList({ "txtAccount", "txtURL", "txtID", "txtPW", "txtHint", "txtKey1Label",
                "txtKey1", "txtKey2Label", "txtKey2", "txtKey3Label", "txtKey3", "txtKey4Label",
                "txtKey4", "txtINFO" }));
        QTest::keyClicks(w->txtINFO, QStringLiteral("a"));
        QTest::keyClick(w->txtINFO, Qt::Key_Return);
        QTest::keyClicks(w->txtINFO, QStringLiteral("b"));
        QCOMPARE(QApplication::focusWidget(), w->txtINFO);
        QCOMPARE(w->txtINFO->toPlainText(), QStringLiteral("a\nb"));
        QCOMPARE(w->txtHint->toPlainText(), QString());
        QCOMPARE(fx.host->transcript().size(), 13);
    }

    void masksAndMetricCompatibleFonts()
    {
        // Guards against a secret shown in clear or a missing font changing the layout.
        auto w = accounts::open(fx, kRows);
        QCOMPARE(w->txtPW->displayText(), QStringLiteral("***"));
        QCOMPARE(
            QFontInfo(w->txtKey1Label->font()).family(), QStringLiteral("Liberation Sans Narrow"));
        QCOMPARE(QFontInfo(w->txtDataInform->font()).family(), QStringLiteral("Liberation Sans"));
    }

    void addNewSavesOrDropsWhatIsPending_data()
    {
        QTest::addColumn<bool>("newRow");
        QTest::addColumn<QString>("account");
        QTest::addColumn<QStringList>("file");
        QTest::addColumn<QStringList>("grid"); // "" is the row just started
        QTest::newRow("edit named") << false << "omega" << QStringList { "mike", "omega", "delta" }
                                    << QStringList { "omega", "delta", "mike", "" };
        QTest::newRow("edit unnamed") << false << "" << QStringList { "mike", "alpha", "delta" }
                                      << QStringList { "mike", "alpha", "delta", "" };
        QTest::newRow("new named")
            << true << "omega" << QStringList { "mike", "alpha", "delta", "omega" }
            << QStringList { "alpha", "delta", "mike", "omega", "" };
        QTest::newRow("new unnamed") << true << "" << QStringList { "mike", "alpha", "delta" }
                                     << QStringList { "mike", "alpha", "delta", "" };
    }

    void addNewSavesOrDropsWhatIsPending()
    {
        // Guards against a pending change saved without its account name, or lost with one; a
        // dropped one rebuilds the rows in the file's order.
        QFETCH(bool, newRow);
        QFETCH(QString, account);
        QFETCH(QStringList, file);
        QFETCH(QStringList, grid);
        auto w = accounts::open(fx, kRows);
        if (newRow) {
            w->cmdAdd_Click();
            QTest::keyClicks(w->txtURL, QStringLiteral("n.org"));
        } else {
            w->txtURL->setText(QStringLiteral("x.org"));
        }
        w->txtAccount->setText(account);
        w->cmdAdd_Click();
        QCOMPARE(w->Adodc1->Recordset()->EditMode(), ado::adEditAdd);
        QCOMPARE(accounts::inFile(this->file()), file);
        QCOMPARE(accounts::inGrid(*w), grid);
        QCOMPARE(w->panelText(1), QStringLiteral("%1 Accounts stored.").arg(grid.size()));
        QVERIFY(fx.host->messages().isEmpty());
    }

    void withoutAFileAddAndDeleteDoNothing()
    {
        // Guards against the commands failing, or reporting, when no data file is open.
        frmMain w;
        w.cmdAdd_Click();
        w.mnuDeleteEntry_Click();
        QCOMPARE(w.panelText(1), QStringLiteral("No DataBase Loaded:"));
        QCOMPARE(w.txtDataInform->toPlainText(),
            QStringLiteral("NO DATA FILE LOADED\nPlease OPEN or create a NEW data file."));
        QVERIFY(!w.txtDataInform->isHidden());
        QCOMPARE(fx.traps, 0);
    }

    void deleteRemovesTheRowAtOnceWithoutAQuestion()
    {
        // Guards against a delete that asks, waits for a save, or removes the wrong rows.
        auto w = accounts::open(fx, kRows);
        accounts::selectRow(*w, 1); // delta
        w->cmdClear_Click();
        QCOMPARE(accounts::inFile(file()), QStringList({ "mike", "alpha" }));
        QCOMPARE(w->Adodc1->Recordset()->EditMode(), ado::adEditDelete);
        QCOMPARE(w->panelText(1), QStringLiteral("2 Accounts stored."));
        QVERIFY(w->txtDataInform->isHidden());
        fx.host->answerNext(vb::vbOK);
        w->cmdClear_Click(); // the deleted row has no current record to delete
        QCOMPARE(fx.host->messages().size(), 1);
        fx.host->clearTranscript();

        for (int i = 0; i < 2; ++i) {
            w->Adodc1->Recordset()->MoveFirst();
            w->cmdClear_Click();
        }
        QVERIFY(accounts::inFile(file()).isEmpty());
        w->cmdClear_Click(); // nothing left: only the notice changes
        QCOMPARE(w->txtDataInform->toPlainText(),
            QStringLiteral(
                "NO RECORDS STORED\nClick the ADD NEW button to\ncreate the first record."));
        QVERIFY(!w->txtDataInform->isHidden());
        w->mnuAddEntry_Click();
        QCOMPARE(w->Adodc1->Recordset()->EditMode(), ado::adEditAdd);
        QVERIFY(w->txtDataInform->isHidden());
    }

    void deletingAnUnsavedRowRestoresTheRememberedOrder_data()
    {
        QTest::addColumn<int>("headClicks");
        QTest::addColumn<QStringList>("order");
        QTest::newRow("no header click") << 0 << QStringList { "mike", "alpha", "delta" };
        QTest::newRow("ascending") << 1 << QStringList { "alpha", "delta", "mike" };
        QTest::newRow("descending") << 2 << QStringList { "mike", "delta", "alpha" };
    }

    void deletingAnUnsavedRowRestoresTheRememberedOrder()
    {
        // Guards against a dropped new row being saved, or the rows coming back in another order.
        QFETCH(int, headClicks);
        QFETCH(QStringList, order);
        auto w = accounts::open(fx, kRows);
        for (int i = 0; i < headClicks; ++i) {
            w->DataGrid1_HeadClick(0);
        }
        w->cmdAdd_Click();
        QTest::keyClicks(w->txtAccount, QStringLiteral("never"));
        w->cmdClear_Click();
        QCOMPARE(accounts::inGrid(*w), order);
        QCOMPARE(accounts::inFile(file()).size(), 3);
        QCOMPARE(w->panelText(1), QStringLiteral("3 Accounts stored."));
    }

    void aFailingWriteIsReportedAndLosesNothing()
    {
        // Guards against a failed save passing for done, damaging the file or losing the edit.
        auto w = accounts::open(fx, kRows);
        w->txtAccount->end(false);
        QTest::keyClicks(w->txtAccount, QStringLiteral("-x"));
        const QByteArray before = [&] {
            QFile f(file());
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        }();
        for (int i = 0; i < 6; ++i) {
            fx.host->answerNext(vb::vbOK);
        }
        {
            DiskFull full;
            accounts::selectRow(*w, 2);
            w->cmdAdd_Click(); // saving the edit first fails, then starting the new row
            w->cmdClear_Click();
            w->cmdClearFilter_Click(); // the view is not rebuilt without the edit
            w->cmdFilter_Click();      // nor by a blank filter
        }
        const auto boxes = fx.host->messages();
        QCOMPARE(boxes.size(), 6);
        QVERIFY(boxes[3].text.startsWith(QStringLiteral("General Error 5:\r\n-2147467259: \r\n")));
        QCOMPARE(boxes[0].title, QStringLiteral("SAVE ERROR!"));
        QVERIFY(boxes[0].text.startsWith(
            QStringLiteral("The changes to this account could not be saved:\r\n")));
        QCOMPARE(boxes[1].title, QStringLiteral("GENERAL ERROR!"));
        QVERIFY(boxes[1].text.startsWith(QStringLiteral("General Error 4:\r\n-2147467259: \r\n")));
        QCOMPARE(boxes[1].style, vb::vbCritical);
        QCOMPARE(accounts::current(*w), QStringLiteral("alpha-x"));
        QCOMPARE(w->txtAccount->text(), QStringLiteral("alpha-x"));
        QFile f(file());
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), before);
        // With room again, the same edit saves.
        accounts::selectRow(*w, 2);
        QCOMPARE(accounts::inFile(file()), QStringList({ "mike", "alpha-x", "delta" }));
    }

    void aKilledProgramKeepsWhatWasSaved()
    {
        // Guards against saved edits, deletes or new rows waiting in memory for a clean exit.
        testdata::writePlainFile(file(), kRows);
        QProcess child;
        child.setProcessChannelMode(QProcess::SeparateChannels);
        child.start(
            QCoreApplication::applicationFilePath(), { QStringLiteral("--edit-child"), file() });
        QVERIFY(child.waitForStarted());
        while (!child.readAllStandardOutput().contains("saved")) {
            QVERIFY(child.waitForReadyRead(30000));
        }
        child.kill();
        child.waitForFinished();
        QCOMPARE(accounts::inFile(file()), QStringList({ "mike", "alpha-renamed", "zulu" }));
    }

    void editsRestartTheTimeoutUnlessLocked()
    {
        // Guards against typing, or another row shown, leaving the lock's countdown running,
        // or a locked window being unlocked by a change.
        auto w = accounts::open(fx, kRows);
        w->m_iTimeLeft = 1;
        QTest::keyClicks(w->txtKey3Label, QStringLiteral("x"));
        QCOMPARE(w->m_iTimeLeft, w->m_iTimeout);
        w->m_iTimeLeft = 1;
        w->Adodc1->Recordset()->MoveNext();
        QCOMPARE(w->m_iTimeLeft, w->m_iTimeout);
        w->m_bLocked = true;
        w->m_iTimeLeft = 1;
        QTest::keyClicks(w->txtINFO, QStringLiteral("x"));
        QCOMPARE(w->m_iTimeLeft, int16_t(1));
        QVERIFY(w->m_bLocked);
    }

    void closingAFileEmptiesTheBoxesAndKeepsThemBound()
    {
        // Guards against a closed file's secrets staying on show, or boxes left unbound.
        auto w = accounts::open(fx, kRows);
        w->RefreshTextControls(); // a file is open: nothing changes
        QCOMPARE(w->txtAccount->text(), QStringLiteral("alpha"));
        w->CompactAndEncrypt(QString(), QString());
        w->RefreshTextControls();
        for (adoui::FieldBinding* b : w->bindings()) {
            QCOMPARE(text(b->box()), QString());
            QCOMPARE(b->DataSource(), w->Adodc1);
        }
        QVERIFY(w->DBconnect(QString()));
        QVERIFY(!w->txtPW->text().isEmpty());
        QCOMPARE(
            w->txtPW->text(), w->Adodc1->Recordset()->Fields(QStringLiteral("Password")).Value());
    }
};

PINVARA_TEST_MAIN(TestFrmMainEditor)
#include "tst_frmMain_editor.moc"
