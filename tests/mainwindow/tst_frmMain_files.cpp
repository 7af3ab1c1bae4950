#include "DataFileFixture.h"
#include "MainWindowFixture.h"
#include "TestMain.h"
#include "dialogs/frmImport.h"
#include "dialogs/frmNewFile.h"
#include "platform/ado/Connection.h"
#include "platform/ado/Recordset.h"
#include "platform/adoui/DataControl.h"
#include "platform/vb/Constants.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

class TestFrmMainFiles : public QObject
{
    Q_OBJECT

    MainWindowFixture fx;
    const QString kLogin = QStringLiteral("Secret#1R7305");

    // The number of accounts, or -1 when the file does not open under the password.
    static long accounts(const QString& file, const QString& password)
    {
        try {
            auto c = std::make_shared<ado::Connection>();
            c->Open(frmMain::connectionString(file, password));
            ado::Recordset rs;
            rs.Open(QStringLiteral("Select * from tblAccount"), c);
            return rs.RecordCount();
        } catch (const vb::Error&) {
            return -1;
        }
    }

    QString dataFile(const QString& name, const QString& password, int rows = 2)
    {
        QStringList list;
        for (int i = 0; i < rows; ++i) {
            list << QStringLiteral("Account %1|url|id|pw%1").arg(i);
        }
        const QString file = fx.path(name);
        testdata::writeEncryptedFile(file, list, password);
        return file;
    }

    void open(frmMain& w, const QString& file)
    {
        fx.host->fileNext(file);
        w.mnuFileOpen_Click();
        QVERIFY(w.Adodc1->Recordset() != nullptr && w.Adodc1->Recordset()->ActiveConnection());
    }

    void openWith(frmMain& w, const QString& file, const QString& password)
    {
        fx.host->onModal<frmImport>(QStringLiteral("frmImport"), [password](frmImport& d) {
            d.txtPassword()->setText(password);
            d.cmdOK_Click();
        });
        fx.host->fileNext(file);
        w.mnuOpenSpecial_Click();
    }

    void addPendingRow(frmMain& w)
    {
        ado::Recordset* rs = w.Adodc1->Recordset();
        rs->AddNew();
        rs->Fields(QStringLiteral("Account")).setValue(QStringLiteral("typed, not saved"));
    }

private slots:
    void init() { fx.setUp(); }
    void cleanup()
    {
        // Torn down before checking, so a failure never leaves the scripted host half-installed.
        const QString report = fx.host->drainReport();
        const bool dialogOpen = gDialogOpen;
        const int traps = fx.traps;
        fx.tearDown();
        QVERIFY2(report.isEmpty(), qPrintable(report));
        QVERIFY(!dialogOpen);
        QCOMPARE(traps, 0);
    }

    void newFileIsKeyedConnectedAndNoticed()
    {
        // Guards against a new file left unencrypted, not connected, or the notice's setting lost.
        frmMain w;
        const QString file = fx.path(QStringLiteral("new.pnv"));
        fx.host->fileNext(file);
        QString notice;
        fx.host->onModal<frmNewFile>(QStringLiteral("frmNewFile"), [&](frmNewFile& n) {
            notice = n.Text1()->toPlainText();
            n.Check1()->setChecked(true);
            n.OKButton_Click();
        });
        w.mnuNewDB_Click();
        const auto request = fx.host->fileRequests().constFirst();
        QCOMPARE(request.kind, host::FileRequest::Save);
        QCOMPARE(request.title, QStringLiteral("Choose Data File to Create"));
        QCOMPARE(request.filter, QStringLiteral("PWdata (*.pnv)|*.pnv"));
        QCOMPARE(request.filterIndex, 1);
        QVERIFY(notice.startsWith(QStringLiteral("INFORMATION\n\nA new Data File")));
        QVERIFY(gHideNewFileInfo);
        QCOMPARE(gDBpath, file);
        QCOMPARE(w.panelText(1), QStringLiteral("0 Accounts stored."));
        QVERIFY(!fx.header(file).startsWith("SQLite format 3"));
        QCOMPARE(accounts(file, kLogin), 0L);
        QCOMPARE(QDir(fx.dir->path()).entryList(QDir::Hidden | QDir::Files).filter(u".new"),
            QStringList());

        // Ticked once, the notice stays away; the next file dialog starts at the last name.
        w.mnuFileClose_Click();
        const QString second = fx.path(QStringLiteral("second.pnv"));
        fx.host->fileNext(second);
        w.mnuNewDB_Click();
        QCOMPARE(fx.host->fileRequests().constLast().fileName, file);
        QCOMPARE(gDBpath, second);
        QVERIFY2(!fx.header(second).startsWith("SQLite format 3"), "keyed after a Close too");
        QCOMPARE(accounts(second, kLogin), 0L);
    }

    void newOntoAnExistingFile_data()
    {
        QTest::addColumn<QList<int>>("answers");
        QTest::addColumn<bool>("replaced");
        QTest::newRow("No, then Cancel the dialog") << QList<int> { vb::vbNo } << false;
        QTest::newRow("Cancel the question") << QList<int> { vb::vbCancel } << false;
        QTest::newRow("Yes") << QList<int> { vb::vbYes } << true;
    }

    void newOntoAnExistingFile()
    {
        // Guards against an existing file replaced without a Yes, or No not asking again.
        QFETCH(QList<int>, answers);
        QFETCH(bool, replaced);
        frmMain w;
        gHideNewFileInfo = true;
        const QString file = dataFile(QStringLiteral("old.pnv"), kLogin, 3);
        fx.host->fileNext(file);
        for (int a : answers) {
            fx.host->answerNext(a);
        }
        if (answers.constFirst() == vb::vbNo) {
            fx.host->cancelFileNext();
        }
        w.mnuNewDB_Click();
        const auto box = fx.host->messages().constFirst();
        QCOMPARE(box.title, QStringLiteral("FILE EXISTS!"));
        QCOMPARE(box.style, 275);
        QCOMPARE(box.text,
            QStringLiteral("THIS FILE ALREADY EXISTS!\r\n\r\nDo You Want To Overwrite:\r\n")
                + file + QStringLiteral("\r\n"));
        QCOMPARE(fx.host->fileRequests().size(), answers.constFirst() == vb::vbNo ? 2 : 1);
        QCOMPARE(accounts(file, kLogin), replaced ? 0L : 3L);
    }

    void aNewThatFailsKeepsTheOldFile()
    {
        // Guards against Yes destroying the old file before the new one is complete.
        frmMain w;
        gHideNewFileInfo = true;
        const QString file = dataFile(QStringLiteral("keep.pnv"), kLogin, 3);
        frmMain::setBeforeReplaceHook([] { vb::raise(61); });
        fx.host->fileNext(file);
        fx.host->answerNext(vb::vbYes);
        fx.host->answerNext(vb::vbOK);
        w.mnuNewDB_Click();
        QCOMPARE(fx.host->messages().constLast().title, QStringLiteral("DATABASE COMPACT ERROR!"));
        QCOMPARE(accounts(file, kLogin), 3L);
        QVERIFY(!w.Adodc1->Recordset() || !w.Adodc1->Recordset()->ActiveConnection());
    }

    void openOffersTheLastClosedFile()
    {
        // Guards against Open forgetting the closed file, or Cancel doing anything.
        frmMain w;
        const QString file = dataFile(QStringLiteral("a.pnv"), kLogin);
        open(w, file);
        const auto request = fx.host->fileRequests().constFirst();
        QCOMPARE(request.kind, host::FileRequest::Open);
        QCOMPARE(request.title, QStringLiteral("Open"));
        QCOMPARE(request.filter, QStringLiteral("Passwords (*.pnv)|*.pnv|All Files (*.*)|*.*"));
        QCOMPARE(request.filterIndex, 1);
        QCOMPARE(w.panelText(1), QStringLiteral("2 Accounts stored."));
        w.mnuFileClose_Click();
        fx.host->cancelFileNext();
        w.mnuFileOpen_Click();
        QCOMPARE(fx.host->fileRequests().constLast().fileName, file);
        QVERIFY(fx.host->messages().isEmpty());
        QVERIFY(!w.Adodc1->Recordset()->ActiveConnection());
    }

    void openWithPassword_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("connects");
        QTest::newRow("exactly 4 characters") << QStringLiteral("abcd") << true;
        QTest::newRow("wrong password") << QStringLiteral("wxyz") << false;
    }

    void openWithPassword()
    {
        // Guards against the other password not being used, or kept after it failed.
        QFETCH(QString, typed);
        QFETCH(bool, connects);
        frmMain w;
        const QString file = dataFile(QStringLiteral("theirs.pnv"), QStringLiteral("abcdR7305"));
        if (!connects) {
            fx.host->answerNext(vb::vbOK);
        }
        openWith(w, file, typed);
        const auto request = fx.host->fileRequests().constFirst();
        QCOMPARE(request.title, QStringLiteral("Open DataFile using Password"));
        QCOMPARE(request.filter, QStringLiteral("Passwords (*.pnv)|*.pnv|All Files (*.*)|*.*"));
        QCOMPARE(gOpenPassword, connects ? typed : QString());
        QCOMPARE(gDBpath, connects ? file : QString());
        if (!connects) {
            QCOMPARE(fx.host->messages().constLast().title, QStringLiteral("PASSWORD MISMATCH!"));
        }
    }

    void aShortPasswordIsRefused()
    {
        // Guards against a 3-character password accepted, or the refusal not selecting it.
        frmMain w;
        fx.host->answerNext(vb::vbOK);
        fx.host->onModal<frmImport>(QStringLiteral("frmImport"), [](frmImport& d) {
            d.txtPassword()->setText(QStringLiteral("abc"));
            d.cmdOK_Click();
            QVERIFY(d.isVisible());
            d.cmdCancel_Click();
        });
        w.mnuOpenSpecial_Click();
        const auto box = fx.host->messages().constFirst();
        QCOMPARE(box.title, QStringLiteral("Input FailureLogin"));
        QCOMPARE(box.text, QStringLiteral("Password length less than 4 characters\r\nPlease try again!"));
        QCOMPARE(box.style, 0);
        QCOMPARE(fx.host->transcript().constLast().text, QStringLiteral("{home}+{end}"));
        QVERIFY(gOpenPassword.isEmpty());
        QVERIFY(fx.host->fileRequests().isEmpty());
    }

    void saveAsKeysTheCopyWithTheLogin_data()
    {
        QTest::addColumn<bool>("otherPassword");
        QTest::newRow("file of the login") << false;
        QTest::newRow("file opened with another password") << true;
    }

    void saveAsKeysTheCopyWithTheLogin()
    {
        // Guards against a copy keyed with the other password, or the window left on the old file.
        QFETCH(bool, otherPassword);
        frmMain w;
        const QString source = otherPassword
            ? dataFile(QStringLiteral("src.pnv"), QStringLiteral("OtherR7305"), 3)
            : dataFile(QStringLiteral("src.pnv"), kLogin, 3);
        if (otherPassword) {
            openWith(w, source, QStringLiteral("Other"));
            fx.host->answerNext(vb::vbOK);
        } else {
            open(w, source);
        }
        const QString copy = fx.path(QStringLiteral("copy.pnv"));
        fx.host->fileNext(copy);
        w.mnuFileSaveAs_Click();
        const auto request = fx.host->fileRequests().constLast();
        QCOMPARE(request.title, QStringLiteral("Save Data File As..."));
        QCOMPARE(request.filter, QStringLiteral("Password Files (*.pnv)|*.pnv"));
        QCOMPARE(request.fileName, QString());
        if (otherPassword) {
            const auto note = fx.host->messages().constFirst();
            QCOMPARE(note.title, QStringLiteral("NOTE SAVE PASSWORD!"));
            QCOMPARE(note.style, 48);
            QCOMPARE(note.text, QStringLiteral("PLEASE NOTE:\r\n\r\nThe DataFile will be saved using "
                                               "your usual Login Password.\r\nNOT the \"open\" "
                                               "password you supplied earlier!"));
        }
        QCOMPARE(accounts(copy, kLogin), 3L);
        QCOMPARE(accounts(source, otherPassword ? QStringLiteral("OtherR7305") : kLogin), 3L);
        QCOMPARE(gDBpath, copy);
        QVERIFY(gOpenPassword.isEmpty());
        QVERIFY(w.Adodc1->Recordset()->ActiveConnection());
    }

    void saveAsNoShowsTheNoteAgain()
    {
        // Guards against No leaving the command instead of asking for another name.
        frmMain w;
        const QString source = dataFile(QStringLiteral("src.pnv"), QStringLiteral("OtherR7305"));
        const QString other = dataFile(QStringLiteral("other.pnv"), kLogin, 5);
        openWith(w, source, QStringLiteral("Other"));
        fx.host->answerNext(vb::vbOK);
        fx.host->fileNext(other);
        fx.host->answerNext(vb::vbNo);
        fx.host->answerNext(vb::vbOK);
        fx.host->cancelFileNext();
        w.mnuFileSaveAs_Click();
        QStringList titles;
        for (const auto& m : fx.host->messages()) {
            titles << m.title;
        }
        QCOMPARE(titles, QStringList({ QStringLiteral("NOTE SAVE PASSWORD!"),
                             QStringLiteral("FILE EXISTS!"), QStringLiteral("NOTE SAVE PASSWORD!") }));
        QCOMPARE(accounts(other, kLogin), 5L);
        QCOMPARE(gOpenPassword, QStringLiteral("Other"));
    }

    void saveAsOntoTheOpenFileLosesNothing_data()
    {
        QTest::addColumn<QString>("spelling");
        QTest::newRow("same path") << QStringLiteral("open.pnv");
        QTest::newRow("through ..") << QStringLiteral("sub/../open.pnv");
        QTest::newRow("through a link") << QStringLiteral("link.pnv");
    }

    void saveAsOntoTheOpenFileLosesNothing()
    {
        // Guards against Yes deleting the user's only copy because it is the open file.
        QFETCH(QString, spelling);
        frmMain w;
        const QString file = dataFile(QStringLiteral("open.pnv"), kLogin, 4);
        QDir(fx.dir->path()).mkdir(QStringLiteral("sub"));
        QFile::link(file, fx.path(QStringLiteral("link.pnv")));
        open(w, file);
        fx.host->fileNext(fx.path(spelling));
        fx.host->answerNext(vb::vbYes);
        w.mnuFileSaveAs_Click();
        QCOMPARE(fx.host->messages().size(), 1);
        QCOMPARE(accounts(file, kLogin), 4L);
        QCOMPARE(gDBpath, file);
        QVERIFY(w.Adodc1->Recordset()->ActiveConnection());
        QCOMPARE(w.Adodc1->Recordset()->RecordCount(), 4L);
    }

    void aFailedSaveAsKeepsThePreviousFile()
    {
        // Guards against a failed copy leaving the window on a file that does not exist.
        frmMain w;
        const QString file = dataFile(QStringLiteral("here.pnv"), kLogin, 2);
        open(w, file);
        fx.host->fileNext(fx.path(QStringLiteral("no/such/folder/copy.pnv")));
        fx.host->answerNext(vb::vbOK);
        w.mnuFileSaveAs_Click();
        const auto box = fx.host->messages().constLast();
        QCOMPARE(box.title, QStringLiteral("SAVE AS - FAILURE"));
        QCOMPARE(box.text, QStringLiteral("SaveAs operation failed"));
        QCOMPARE(box.style, 16);
        QCOMPARE(gDBpath, file);
        QVERIFY(w.Adodc1->Recordset()->ActiveConnection());
        QCOMPARE(w.panelText(1), QStringLiteral("2 Accounts stored."));
    }

    void closeOfEachKind_data()
    {
        QTest::addColumn<bool>("otherPassword");
        QTest::newRow("login password: compacted, new row kept") << false;
        QTest::newRow("other password: kept, new row dropped") << true;
    }

    void closeOfEachKind()
    {
        // Guards against a file re-keyed that must keep its password, or a typed row mishandled.
        QFETCH(bool, otherPassword);
        frmMain w;
        const QString password = otherPassword ? QStringLiteral("OtherR7305") : kLogin;
        const QString file = dataFile(QStringLiteral("c.pnv"), password, 2);
        if (otherPassword) {
            openWith(w, file, QStringLiteral("Other"));
        } else {
            open(w, file);
        }
        addPendingRow(w);
        w.mnuFileClose_Click();
        QCOMPARE(w.panelText(1), QStringLiteral("No Data File Loaded."));
        QCOMPARE(w.panelText(2), QString());
        QVERIFY(gOpenPassword.isEmpty());
        QCOMPARE(gDBpath, file);
        QCOMPARE(w.m_sLastPath, otherPassword ? QString() : file);
        QVERIFY(!w.Adodc1->Recordset()->ActiveConnection());
        QCOMPARE(w.Adodc1->ConnectionString(), QString());
        QCOMPARE(accounts(file, password), otherPassword ? 2L : 3L);
        // Closing again finds nothing open and does nothing.
        w.mnuFileClose_Click();
        QCOMPARE(accounts(file, password), otherPassword ? 2L : 3L);
    }
};

PINVARA_TEST_MAIN(TestFrmMainFiles)
#include "tst_frmMain_files.moc"
