#include "DataFileFixture.h"
#include "MainWindowFixture.h"
#include "TestMain.h"
#include "platform/ado/Connection.h"
#include "platform/ado/Recordset.h"
#include "platform/ado/SqlCipher.h"
#include "platform/adoui/DataControl.h"
#include "platform/adoui/DataGrid.h"
#include "platform/vb/Constants.h"
#include "startup/Module1.h"

class TestFrmMainData : public QObject
{
    Q_OBJECT

    MainWindowFixture fx;

    static bool opens(const QString& file, const QString& password, long* count = nullptr)
    {
        try {
            auto c = std::make_shared<ado::Connection>();
            c->Open(frmMain::connectionString(file, password));
            ado::Recordset rs;
            rs.Open(QStringLiteral("Select * from tblAccount"), c);
            if (count != nullptr) {
                *count = rs.RecordCount();
            }
            rs.Close();
            return true;
        } catch (const vb::Error&) {
            return false;
        }
    }

    // A template file keyed under the logged-in user's password, path in gDBpath.
    QString keyedFile(frmMain& w, const QString& name)
    {
        gDBpath = fx.templateFile(name);
        w.CompactAndEncrypt(QString(), QString());
        return gDBpath;
    }

    static QByteArray bytesOf(const QString& file)
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    static QFile::Permissions modeOf(const QString& file)
    {
        return QFileInfo(file).permissions()
            & ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser); // the owner's bits only
    }

    static void addAccounts(frmMain& w, int n)
    {
        ado::Recordset* rs = w.Adodc1->Recordset();
        for (int i = 0; i < n; ++i) {
            rs->AddNew();
            rs->Fields(QStringLiteral("Account")).setValue(QStringLiteral("Account %1").arg(i));
            rs->Fields(QStringLiteral("Password")).setValue(QStringLiteral("pw;%1").arg(i));
            rs->Update();
        }
    }

private slots:
    void init() { fx.setUp(); }
    void cleanup()
    {
        // The scripted host goes first, so a failed check cannot leave a real box for the next.
        const QString report = fx.host->drainReport();
        fx.tearDown();
        QVERIFY2(report.isEmpty(), qPrintable(report));
    }

    void connectionStringsAreExact()
    {
        // Guards against a property dropped, reordered or escaped in the strings handed to the engine.
        QCOMPARE(frmMain::connectionString(QStringLiteral("/d/a.pnv"), QStringLiteral("p;wR7305")),
                 QStringLiteral(
                     "Provider=Microsoft.Jet.OLEDB.4.0;User ID=Admin;Data Source=/d/a.pnv;"
                     "Mode=ReadWrite|Share Deny None;Extended Properties=\"\";"
                     "Jet OLEDB:System database=\"\";Jet OLEDB:Registry Path=\"\";"
                     "Jet OLEDB:Database Password=\"p;wR7305\";Jet OLEDB:Engine Type=5;"
                     "Jet OLEDB:Database Locking Mode=1;Jet OLEDB:Global Partial Bulk Ops=2;"
                     "Jet OLEDB:Global Bulk Transactions=1;Jet OLEDB:New Database Password=\"\";"
                     "Jet OLEDB:Create System Database=False;Jet OLEDB:Encrypt Database=False;"
                     "Jet OLEDB:Don't Copy Locale on Compact=False;"
                     "Jet OLEDB:Compact Without Replica Repair=False;Jet OLEDB:SFP=False"));
        QCOMPARE(frmMain::compactSource(QStringLiteral("/d/a.pnv"), QStringLiteral("xR7305")),
                 QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Jet OLEDB:Database Locking Mode=0;"
                                "User ID=\"Admin\";Jet OLEDB:Database Password=xR7305;"
                                "Data Source=/d/a.pnv"));
        QCOMPARE(frmMain::compactDestination(QStringLiteral("/t/b.pnv"), QStringLiteral("yR7305")),
                 QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/t/b.pnv;"
                                "Jet OLEDB:Engine Type=5;Jet OLEDB:Encrypt Database=True;"
                                "Jet OLEDB:Database Password=yR7305"));
        QCOMPARE(frmMain::compactTempFile(QDate(2026, 12, 8)),
                 Module1::GetPrivateTempDir() + QStringLiteral("12-08-2026_PNVcompact.pnv"));
    }

    void templateIsKeyedAndReconnects()
    {
        // Guards against a new file left unencrypted or not reopening under the login password.
        frmMain w;
        const QString file = keyedFile(w, QStringLiteral("fresh.pnv"));
        QVERIFY(!fx.header(file).startsWith("SQLite format 3"));
        QVERIFY(opens(file, QStringLiteral("Secret#1R7305")));
        QVERIFY(!opens(file, QStringLiteral("Secret#1")));
        QVERIFY(w.DBconnect(QString()));
        QCOMPARE(w.panelText(1), QStringLiteral("0 Accounts stored."));
        QCOMPARE(w.panelText(2), QStringLiteral("fresh.pnv"));
        QCOMPARE(gLastLoad, file);
        QCOMPARE(w.Adodc1->Recordset()->Sort(), QStringLiteral("Account ASC"));
        QCOMPARE(w.DataGrid1->Columns().Count(), 2);
        QCOMPARE(w.DataGrid1->Columns().Item(0).DataField(), QStringLiteral("Account"));
        QCOMPARE(w.DataGrid1->Columns().Item(1).DataField(), QStringLiteral("URL"));
        QVERIFY(w.m_sConnect.contains(QStringLiteral("Password=Secret#1R7305;")));
    }

    void accountsSurviveAnInPlaceCompaction()
    {
        // Guards against the close of a file losing accounts or a pending new row.
        frmMain w;
        const QString file = keyedFile(w, QStringLiteral("kept.pnv"));
        QVERIFY(w.DBconnect(QString()));
        addAccounts(w, 3);
        ado::Recordset* rs = w.Adodc1->Recordset();
        rs->AddNew();
        rs->Fields(QStringLiteral("Account")).setValue(QStringLiteral("pending"));
        QVERIFY(w.CompactAndEncrypt(QString(), QString()));
        long count = 0;
        QVERIFY(opens(file, QStringLiteral("Secret#1R7305"), &count));
        QCOMPARE(count, 4L);
        QVERIFY(!QFile::exists(frmMain::compactTempFile(QDate::currentDate())));
        QVERIFY(w.DBconnect(QString()));
        QCOMPARE(w.panelText(1), QStringLiteral("4 Accounts stored."));
    }

    void aFailureBeforeTheReplaceKeepsTheOldFile()
    {
        // Guards against a failed compaction destroying or half-writing the only copy.
        frmMain w;
        const QString file = keyedFile(w, QStringLiteral("safe.pnv"));
        QVERIFY(w.DBconnect(QString()));
        addAccounts(w, 2);
        const QByteArray before = [&] {
            QFile f(file);
            f.open(QIODevice::ReadOnly);
            return f.readAll();
        }();
        frmMain::setBeforeReplaceHook([] { vb::raise(61); });
        fx.host->answerNext(vb::vbOK);
        QVERIFY(!w.CompactAndEncrypt(QString(), QString()));
        const auto box = fx.host->messages().constLast();
        QCOMPARE(box.title, QStringLiteral("DATABASE COMPACT ERROR!"));
        QCOMPARE(box.text, QStringLiteral("DataCompact Error:\r\n61: \r\nDisk full"));
        QCOMPARE(box.style, int(vb::vbCritical));
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), before);
        long count = 0;
        QVERIFY(opens(file, QStringLiteral("Secret#1R7305"), &count));
        QCOMPARE(count, 2L);
        QCOMPARE(QDir(fx.dir->path()).entryList(QDir::Hidden | QDir::Files).filter(u".compact"),
                 QStringList());
    }

    void wrongPasswordNamesTheUser()
    {
        // Guards against a wrong key being reported as a broken file, or the path kept.
        frmMain w;
        keyedFile(w, QStringLiteral("theirs.pnv"));
        MainWindowFixture::login(QStringLiteral("MARY"), QStringLiteral("Mary#pass"));
        fx.host->answerNext(vb::vbOK);
        QVERIFY(!w.DBconnect(QString()));
        QVERIFY(gDBpath.isEmpty());
        const auto box = fx.host->messages().constLast();
        QCOMPARE(box.title, QStringLiteral("PASSWORD MISMATCH!"));
        QCOMPARE(box.style, 16);
        QCOMPARE(box.text, QStringLiteral("User: MARY's Login password does not\r\n"
                                          "match the embedded DataBase password:\r\n"
                                          "Please use the 'Open Special' Menu command."));
    }

    void otherPasswordOpensTheFile()
    {
        // Guards against the other password not being given the suffix.
        frmMain w;
        keyedFile(w, QStringLiteral("shared.pnv"));
        const QString file = gDBpath;
        MainWindowFixture::login(QStringLiteral("MARY"), QStringLiteral("Mary#pass"));
        gDBpath = file;
        QVERIFY(w.DBconnect(QStringLiteral("Secret#1")));
    }

    void aTextFileIsAConnectionError()
    {
        // Guards against a non-database being taken for a wrong password.
        frmMain w;
        QFile f(fx.path(QStringLiteral("notes.pnv")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("just some notes, not a data file\n");
        f.close();
        gDBpath = f.fileName();
        fx.host->answerNext(vb::vbOK);
        QVERIFY(!w.DBconnect(QString()));
        QVERIFY(gDBpath.isEmpty());
        const auto box = fx.host->messages().constLast();
        QCOMPARE(box.title, QStringLiteral("DATABASE CONNECTION ERROR!"));
        QVERIFY(box.text.startsWith(QStringLiteral("Database Connection Error:\r\n-2147467259: \r\n")));
        QVERIFY(box.text.contains(QStringLiteral("notes.pnv")));
    }

    void aMissingFileFailsSilently()
    {
        // Guards against a message, or a cleared path, for a file that is simply not there.
        frmMain w;
        gDBpath = fx.path(QStringLiteral("gone.pnv"));
        QVERIFY(!w.DBconnect(QString()));
        QCOMPARE(gDBpath, fx.path(QStringLiteral("gone.pnv")));
        QVERIFY(fx.host->messages().isEmpty());
    }

    void theStatusBarShowsTheFileName_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("shown");
        const QString name = QStringLiteral("keys.pnv");
        QTest::newRow("folder path") << QStringLiteral("/d/e/keys.pnv") << name;
        QTest::newRow("backslashes") << QStringLiteral("C:\\d\\keys.pnv") << name;
        QTest::newRow("bare name") << name << name;
        QTest::newRow("empty") << QString() << QStringLiteral("before");
    }
    void theStatusBarShowsTheFileName()
    {
        // Guards against the name panel showing a folder, or an empty path wiping the last one.
        QFETCH(QString, path);
        QFETCH(QString, shown);
        frmMain w;
        w.setPanelText(2, QStringLiteral("before"));
        gLastLoad = QStringLiteral("before");
        w.UpdateLastload(path);
        QCOMPARE(w.panelText(2), shown);
        QCOMPARE(gLastLoad, path.isEmpty() ? QStringLiteral("before") : path);
    }

    void compactionEdges()
    {
        // Guards against work on an empty path, and a second close redoing or undoing the first.
        frmMain w;
        gDBpath.clear();
        QVERIFY(!w.CompactAndEncrypt(QString(), QString()));
        const QString file = keyedFile(w, QStringLiteral("twice.pnv"));
        QVERIFY(w.DBconnect(QString()));
        QVERIFY(w.CompactAndEncrypt(QString(), QString()));
        const QDateTime stamp = QFileInfo(file).lastModified();
        QVERIFY(w.CompactAndEncrypt(QString(), QString()));
        QVERIFY(!w.CompactAndEncrypt(fx.path(QStringLiteral("copy.pnv")), QString()));
        QCOMPARE(QFileInfo(file).lastModified(), stamp);
        QVERIFY(!QFile::exists(fx.path(QStringLiteral("copy.pnv"))));
    }

    void aLeftoverTempFileIsReplaced()
    {
        // Guards against an old temporary file of the same day blocking the compaction.
        frmMain::setToday([] { return QDate(2026, 12, 8); });
        QVERIFY(QDir().mkpath(Module1::GetPrivateTempDir()));
        QFile old(frmMain::compactTempFile(QDate(2026, 12, 8)));
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("stale");
        old.close();
        frmMain w;
        const QString file = keyedFile(w, QStringLiteral("daily.pnv"));
        QVERIFY(opens(file, QStringLiteral("Secret#1R7305")));
        QVERIFY(!QFile::exists(old.fileName()));
    }

    void aWrongSourcePasswordIsReportedAndChangesNothing()
    {
        // Guards against a compaction under the wrong password replacing the file.
        frmMain w;
        const QString file = keyedFile(w, QStringLiteral("mine.pnv"));
        fx.host->answerNext(vb::vbOK);
        QVERIFY(!w.CompactAndEncrypt(QString(), QStringLiteral("not it")));
        QCOMPARE(fx.host->messages().constLast().title, QStringLiteral("DATABASE COMPACT ERROR!"));
        QVERIFY(fx.host->messages().constLast().text.startsWith(
            QStringLiteral("DataCompact Error:\r\n-2147217843: \r\n")));
        QVERIFY(opens(file, QStringLiteral("Secret#1R7305")));
    }

    void saveAsCopyIsKeyedToTheLogin()
    {
        // Guards against a copy written under the other password instead of the login's.
        frmMain w;
        const QString file = keyedFile(w, QStringLiteral("src.pnv"));
        const QString copy = fx.path(QStringLiteral("dst.pnv"));
        MainWindowFixture::login(QStringLiteral("JOHN"), QStringLiteral("Next#3"));
        gDBpath = file;
        QVERIFY(w.CompactAndEncrypt(copy, QStringLiteral("Secret#1")));
        QVERIFY(opens(copy, QStringLiteral("Next#3R7305")));
        QVERIFY(opens(file, QStringLiteral("Secret#1R7305")));
    }

    void passwordsWithSemicolonsOrQuotesKeyTheWholeFile_data()
    {
        QTest::addColumn<QString>("master");
        QTest::newRow("starts with ;") << QStringLiteral(";Secret");
        QTest::newRow("; inside") << QStringLiteral("ab;cdefgh");
        QTest::newRow("quote and ;") << QStringLiteral("a\"b;c\"");
    }
    void passwordsWithSemicolonsOrQuotesKeyTheWholeFile()
    {
        // Guards against a password cut at ";" leaving the file unencrypted or weakly keyed.
        QFETCH(QString, master);
        MainWindowFixture::login(QStringLiteral("JOHN"), master);
        frmMain w;
        const QString file = keyedFile(w, QStringLiteral("semi.pnv"));
        QVERIFY(!fx.header(file).startsWith("SQLite format 3"));
        ado::detail::Database db; // keyed directly, without a connection string
        QVERIFY(db.open(file, (master + QStringLiteral("R7305")).toUtf8()).ok());
        db.close();
        QVERIFY(w.DBconnect(QString()));
    }

    void aPendingEditThatCannotBeSavedIsReported_data()
    {
        QTest::addColumn<bool>("readOnly");
        QTest::newRow("read-only file") << true;
        QTest::newRow("disk full") << false;
    }
    void aPendingEditThatCannotBeSavedIsReported()
    {
        // Guards against a close that drops an unsaved edit silently and reports success.
        QFETCH(bool, readOnly);
        frmMain w;
        const QString file = keyedFile(w, QStringLiteral("full.pnv"));
        if (readOnly) {
            QVERIFY(QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadUser));
        }
        QVERIFY(w.DBconnect(QString()));
        ado::Recordset* rs = w.Adodc1->Recordset();
        if (!readOnly) {
            addAccounts(w, 1);
            auto& db = rs->ActiveConnection()->database();
            QVERIFY(db.exec(QStringLiteral("PRAGMA max_page_count = 1")).ok());
        }
        const QByteArray before = bytesOf(file);
        rs->AddNew();
        rs->Fields(QStringLiteral("Account")).setValue(QStringLiteral("unsaved"));
        rs->Fields(QStringLiteral("Info")).setValue(QString(100000, u'x'));
        fx.host->answerNext(vb::vbOK);
        QVERIFY(!w.CompactAndEncrypt(QString(), QString()));
        QCOMPARE(fx.host->messages().size(), 1);
        const auto box = fx.host->messages().constFirst();
        QCOMPARE(box.title, QStringLiteral("DATABASE COMPACT ERROR!"));
        QVERIFY2(box.text.contains(file) && box.text.contains(readOnly ? "readonly" : "full"),
                 qPrintable(box.text));
        QCOMPARE(bytesOf(file), before);
        QCOMPARE(rs->State(), 0);
        QVERIFY(!rs->ActiveConnection());
        QVERIFY(QDir(Module1::GetPrivateTempDir()).isEmpty());
    }

    void replacingKeepsModeAndLinks_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("throughLink");
        QTest::newRow("0600") << 0600 << false;
        QTest::newRow("0640") << 0640 << false;
        QTest::newRow("0604 through a link") << 0604 << true;
    }
    void replacingKeepsModeAndLinks()
    {
        // Guards against a compaction widening the file's mode or replacing a link with a file.
        QFETCH(int, mode);
        QFETCH(bool, throughLink);
        frmMain w;
        const QString file = keyedFile(w, QStringLiteral("moded.pnv"));
        QVERIFY(QFile::setPermissions(file, QFile::Permissions(
            (mode & 0600 ? QFile::ReadOwner | QFile::WriteOwner : 0)
            | (mode & 040 ? QFile::ReadGroup : 0) | (mode & 04 ? QFile::ReadOther : 0))));
        const QFile::Permissions want = modeOf(file);
        gDBpath = file;
        if (throughLink) {
            gDBpath = fx.path(QStringLiteral("shortcut.pnv"));
            QVERIFY(QFile::link(file, gDBpath));
        }
        QVERIFY(w.DBconnect(QString()));
        addAccounts(w, 2);
        QVERIFY(w.CompactAndEncrypt(QString(), QString()));
        QCOMPARE(modeOf(file), want);
        QCOMPARE(QFileInfo(gDBpath).isSymLink(), throughLink);
        long count = 0;
        QVERIFY(opens(file, QStringLiteral("Secret#1R7305"), &count));
        QCOMPARE(count, 2L);
        // A copy under a new name starts private.
        const QString copy = fx.path(QStringLiteral("copy.pnv"));
        QVERIFY(w.DBconnect(QString()));
        QVERIFY(w.CompactAndEncrypt(copy, QString()));
        QCOMPARE(modeOf(copy), QFile::ReadOwner | QFile::WriteOwner);
    }

    void aReadOnlyDataFileIsNotRewritten()
    {
        // Guards against a compaction rewriting a file its owner made read-only.
        frmMain w;
        const QString file = keyedFile(w, QStringLiteral("locked.pnv"));
        QVERIFY(QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadUser));
        QVERIFY(w.DBconnect(QString()));
        const QByteArray before = bytesOf(file);
        fx.host->answerNext(vb::vbOK);
        QVERIFY(!w.CompactAndEncrypt(QString(), QString()));
        QVERIFY(fx.host->messages().constLast().text.contains(QStringLiteral("read-only")));
        QCOMPARE(bytesOf(file), before);
        QCOMPARE(modeOf(file), QFile::ReadOwner);
    }

    void theCompactionCopyStaysInAPrivateFolder()
    {
        // Guards against the copy lying in the shared temporary folder, where anyone can plant it.
        frmMain w;
        keyedFile(w, QStringLiteral("private.pnv"));
        const QFileInfo folder(QDir::cleanPath(Module1::GetPrivateTempDir()));
        QCOMPARE(QFileInfo(frmMain::compactTempFile(QDate::currentDate())).absolutePath(),
                 folder.absoluteFilePath());
        QVERIFY(folder.absoluteFilePath() != QDir::cleanPath(Module1::GetTempDir()));
        QVERIFY(folder.isDir() && !folder.isSymLink());
        QCOMPARE(folder.permissions() & ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser),
                 QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void aCopyOntoTheDataFileItselfDeletesNothing_data()
    {
        QTest::addColumn<QString>("target");
        QTest::newRow("same path") << QStringLiteral("self.pnv");
        QTest::newRow("through ..") << QStringLiteral("sub/../self.pnv");
        QTest::newRow("through a link") << QStringLiteral("alias.pnv");
    }
    void aCopyOntoTheDataFileItselfDeletesNothing()
    {
        // Guards against Save As onto the open file deleting it before the copy is made.
        QFETCH(QString, target);
        frmMain w;
        const QString file = keyedFile(w, QStringLiteral("self.pnv"));
        QVERIFY(QDir(fx.dir->path()).mkpath(QStringLiteral("sub")));
        QVERIFY(QFile::link(file, fx.path(QStringLiteral("alias.pnv"))));
        QVERIFY(w.DBconnect(QString()));
        addAccounts(w, 3);
        QVERIFY(!w.CompactAndEncrypt(fx.path(target), QString()));
        long count = 0;
        w.Adodc1->Recordset()->Close();
        QVERIFY(opens(file, QStringLiteral("Secret#1R7305"), &count));
        QCOMPARE(count, 3L);
    }

    void aRelativeCommandLinePathIsStoredAbsolute()
    {
        // Guards against a relative path that the next start, in another folder, cannot find.
        frmMain::setCommandLineText(QStringLiteral("\"rel.pnv\""));
        frmMain w;
        QCOMPARE(gDBpath, QDir(fx.dir->path()).absoluteFilePath(QStringLiteral("rel.pnv")));
    }

    void aFileOpenedWithAnotherPasswordIsNotCompactedAtClose()
    {
        // Guards against the close re-keying someone else's file to the login password.
        QString file;
        {
            frmMain w;
            file = keyedFile(w, QStringLiteral("foreign.pnv"));
        }
        MainWindowFixture::login(QStringLiteral("MARY"), QStringLiteral("Mary#pass"));
        const QByteArray before = bytesOf(file);
        {
            frmMain w;
            gDBpath = file;
            gOpenPassword = QStringLiteral("Secret#1");
            QVERIFY(w.DBconnect(gOpenPassword));
            w.close();
        }
        QCOMPARE(bytesOf(file), before);
    }

    void aLegacyFileOpensAndIsRewrittenAtTheNewPageSize()
    {
        // Guards against files written with 1,024-byte pages no longer opening or keeping them.
        const QString file = fx.path(QStringLiteral("old.pnv"));
        ado::detail::setPreferredPageSize(ado::detail::kLegacyPageSize);
        testdata::writeEncryptedFile(file, {QStringLiteral("a|1"), QStringLiteral("b|2")},
                                     QStringLiteral("Secret#1R7305"));
        ado::detail::setPreferredPageSize(ado::detail::kDefaultPageSize);
        frmMain w;
        MainWindowFixture::login(QStringLiteral("MARY"), QStringLiteral("Mary#pass"));
        gDBpath = file;
        fx.host->answerNext(vb::vbOK);
        QVERIFY(!w.DBconnect(QString()));
        QCOMPARE(fx.host->messages().constLast().title, QStringLiteral("PASSWORD MISMATCH!"));
        MainWindowFixture::login(QStringLiteral("JOHN"), QStringLiteral("Secret#1"));
        gDBpath = file;
        QVERIFY(w.DBconnect(QString()));
        QCOMPARE(w.panelText(1), QStringLiteral("2 Accounts stored."));
        QVERIFY(w.CompactAndEncrypt(QString(), QString()));
        ado::Connection c;
        c.Open(frmMain::connectionString(file, QStringLiteral("Secret#1R7305")));
        QCOMPARE(c.database().cipherPageSize(), ado::detail::kDefaultPageSize);
        c.Close();
        long count = 0;
        QVERIFY(opens(file, QStringLiteral("Secret#1R7305"), &count));
        QCOMPARE(count, 2L);
    }
};

PINVARA_TEST_MAIN(TestFrmMainData)
#include "tst_frmMain_data.moc"
