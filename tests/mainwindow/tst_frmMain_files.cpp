#include "DataFileFixture.h"
#include "MainWindowFixture.h"
#include "TestMain.h"
#include "dialogs/frmImport.h"
#include "dialogs/frmNewFile.h"
#include "platform/ado/Connection.h"
#include "platform/ado/Recordset.h"
#include "platform/ado/SafeFile.h"
#include "platform/adoui/DataControl.h"
#include "platform/vb/Constants.h"

#include <QCheckBox>
#include <QLineEdit>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

class TestFrmMainFiles : public QObject
{
    Q_OBJECT

    MainWindowFixture fx;
    const QString kLogin = QStringLiteral("Secret#1R7305");
    const QString kOther = QStringLiteral("OtherR7305");

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

    QString dataFile(const QString& name, const QString& password, int rows)
    {
        QStringList list;
        for (int i = 0; i < rows; ++i) {
            list << QStringLiteral("Account %1|url|id|pw").arg(i);
        }
        testdata::writeEncryptedFile(fx.path(name), list, password);
        return fx.path(name);
    }

    static bool connected(frmMain& w)
    {
        return w.Adodc1->Recordset() != nullptr && w.Adodc1->Recordset()->ActiveConnection();
    }

    // Opens the file, with the other password when one is given.
    void open(frmMain& w, const QString& file, const QString& other = {})
    {
        if (!other.isEmpty()) {
            fx.host->onModal<frmImport>(QStringLiteral("frmImport"), [other](frmImport& d) {
                d.txtPassword()->setText(other);
                d.cmdOK_Click();
            });
        }
        fx.host->fileNext(file);
        other.isEmpty() ? w.mnuFileOpen_Click() : w.mnuOpenSpecial_Click();
    }

    QStringList titles() const
    {
        QStringList out;
        for (const auto& m : fx.host->messages()) {
            out << m.title;
        }
        return out;
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
        // Guards against a new file left unencrypted (also after a Close) or the notice's tick lost.
        frmMain w;
        const QString file = fx.path(QStringLiteral("new.pnv"));
        fx.host->fileNext(file);
        fx.host->onModal<frmNewFile>(QStringLiteral("frmNewFile"), [](frmNewFile& n) {
            n.Check1()->setChecked(true);
            n.OKButton_Click();
        });
        w.mnuNewDB_Click();
        QVERIFY(gHideNewFileInfo);
        QCOMPARE(gDBpath, file);
        QVERIFY(connected(w));
        QVERIFY(!fx.header(file).startsWith("SQLite format 3"));
        QCOMPARE(accounts(file, kLogin), 0L);

        w.mnuFileClose_Click();
        const QString second = fx.path(QStringLiteral("second.pnv"));
        fx.host->fileNext(second);
        w.mnuNewDB_Click();
        QCOMPARE(fx.host->fileRequests().constLast().fileName, file);
        QVERIFY(!fx.header(second).startsWith("SQLite format 3"));
        QCOMPARE(accounts(second, kLogin), 0L);
        QCOMPARE(QDir(fx.dir->path()).entryList(QDir::Hidden | QDir::Files).filter(u".new"),
            QStringList());
    }

    void newOntoAnExistingFile_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<long>("left");
        QTest::newRow("No asks again (then Cancel)") << int(vb::vbNo) << 3L;
        QTest::newRow("Cancel") << int(vb::vbCancel) << 3L;
        QTest::newRow("Yes") << int(vb::vbYes) << 0L;
        QTest::newRow("Yes, but the compaction fails") << -1 << 3L;
    }

    void newOntoAnExistingFile()
    {
        // Guards against an old file replaced without a Yes, or lost when the new one fails.
        QFETCH(int, answer);
        QFETCH(long, left);
        frmMain w;
        gHideNewFileInfo = true;
        const QString file = dataFile(QStringLiteral("old.pnv"), kLogin, 3);
        fx.host->fileNext(file);
        fx.host->answerNext(answer < 0 ? int(vb::vbYes) : answer);
        if (answer == vb::vbNo) {
            fx.host->cancelFileNext();
        } else if (answer < 0) {
            frmMain::setBeforeReplaceHook([] { vb::raise(61); });
            fx.host->answerNext(vb::vbOK);
        }
        w.mnuNewDB_Click();
        QCOMPARE(fx.host->messages().constFirst().style, 275);
        QCOMPARE(fx.host->fileRequests().size(), answer == vb::vbNo ? 2 : 1);
        QCOMPARE(accounts(file, kLogin), left);
    }

    void newOntoAFileInUseElsewhereLeavesIt()
    {
        // Guards against Yes replacing a data file that another instance is still working on.
        frmMain w;
        gHideNewFileInfo = true;
        const QString file = dataFile(QStringLiteral("busy.pnv"), kLogin, 3);
        // The claim another instance holds on the file it has open.
        const int fd = ::open(QFile::encodeName(file).constData(), O_RDONLY | O_CLOEXEC);
        QVERIFY(fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0);
        fx.host->fileNext(file);
        fx.host->answerNext(vb::vbYes);
        w.mnuNewDB_Click();
        ::close(fd);
        QCOMPARE(titles(), QStringList { QStringLiteral("FILE EXISTS!") });
        QCOMPARE(accounts(file, kLogin), 3L);
        QVERIFY(!connected(w));
    }

    void aFileNamedWithALeadingDotOpens()
    {
        // Guards against a data file whose name starts with a dot made or chosen, then not opened.
        frmMain w;
        gHideNewFileInfo = true;
        fx.host->fileNext(fx.path(QStringLiteral(".made.pnv")));
        w.mnuNewDB_Click();
        QVERIFY(connected(w));
        w.mnuFileClose_Click();
        fx.host->fileNext(dataFile(QStringLiteral(".chosen.pnv"), kLogin, 2));
        w.mnuFileOpen_Click();
        QVERIFY(connected(w));
        QCOMPARE(w.Adodc1->Recordset()->RecordCount(), 2L);
    }

    void aNewThatCannotBePutInPlaceKeepsThePathBefore()
    {
        // Guards against a failed New unreported, or leaving the path on its removed working copy.
        frmMain w;
        gHideNewFileInfo = true;
        const QString before = dataFile(QStringLiteral("last.pnv"), kLogin, 1);
        gDBpath = before;
        const QString file = fx.path(QStringLiteral("gone.pnv"));
        QFile::link(fx.path(QStringLiteral("unmounted/gone.pnv")), file);
        fx.host->fileNext(file);
        fx.host->answerNext(vb::vbOK);
        w.mnuNewDB_Click();
        QCOMPARE(titles(), QStringList { QStringLiteral("NEW DATA FILE ERROR!") });
        QCOMPARE(gDBpath, before);
        QVERIFY(!connected(w));
    }

    void aLongNameIsCreatedAndCompacted_data()
    {
        QTest::addColumn<bool>("blocked");
        QTest::newRow("room for the working copy") << false;
        QTest::newRow("a folder where the working copy goes") << true;
    }

    void aLongNameIsCreatedAndCompacted()
    {
        // Guards against a name the file system takes failing, silently, for want of a suffix.
        QFETCH(bool, blocked);
        frmMain w;
        gHideNewFileInfo = true;
        const QString file = fx.path(QString(246, u'n') + QStringLiteral(".pnv"));
        fx.host->fileNext(file);
        w.mnuNewDB_Click();
        QVERIFY(connected(w));
        // The engine's journal beside it has no room for its suffix either.
        ado::Recordset* rs = w.Adodc1->Recordset();
        rs->AddNew();
        rs->Fields(QStringLiteral("Account")).setValue(QStringLiteral("Long"));
        rs->Update();
        const QByteArray made = testdata::fileBytes(file);
        if (blocked) {
            QVERIFY(QDir().mkdir(ado::sideFile(file, QStringLiteral(".compact"))));
            fx.host->answerNext(vb::vbOK);
        }
        w.mnuFileClose_Click();
        QCOMPARE(titles(),
            blocked ? QStringList { QStringLiteral("DATABASE COMPACT ERROR!") } : QStringList());
        QCOMPARE(testdata::fileBytes(file) == made, blocked);
        QCOMPARE(accounts(file, kLogin), 1L);
    }

    void aReadOnlyFileIsNeverReplaced_data()
    {
        QTest::addColumn<bool>("saveAs");
        QTest::newRow("New") << false;
        QTest::newRow("Save As") << true;
    }

    void aReadOnlyFileIsNeverReplaced()
    {
        // Guards against Yes replacing a file its owner made read-only (which root may write).
        QFETCH(bool, saveAs);
        frmMain w;
        if (saveAs) {
            open(w, dataFile(QStringLiteral("open.pnv"), kLogin, 1));
        }
        const QString file = dataFile(QStringLiteral("kept.pnv"), kLogin, 3);
        QVERIFY(QFile::setPermissions(
            file, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther)); // 0444
        const QByteArray before = testdata::fileBytes(file);
        fx.host->fileNext(file);
        fx.host->answerNext(vb::vbYes);
        fx.host->answerNext(vb::vbOK);
        saveAs ? w.mnuFileSaveAs_Click() : w.mnuNewDB_Click();
        QCOMPARE(titles(),
            (QStringList { QStringLiteral("FILE EXISTS!"), QStringLiteral("FILE IS READ-ONLY!") }));
        QVERIFY(fx.host->messages().constLast().text.contains(file));
        QCOMPARE(testdata::fileBytes(file), before);
    }

    void openWithPassword_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<bool>("connects");
        QTest::newRow("3 characters") << QStringLiteral("Oth")
                                      << QStringList { QStringLiteral("Input FailureLogin") } << false;
        QTest::newRow("4 characters") << QStringLiteral("Othe") << QStringList() << false;
        QTest::newRow("right") << QStringLiteral("Other") << QStringList() << true;
    }

    void openWithPassword()
    {
        // Guards against a short password accepted, or a wrong one kept with its path.
        QFETCH(QString, typed);
        QFETCH(QStringList, boxes);
        QFETCH(bool, connects);
        const bool refused = !boxes.isEmpty();
        if (!refused && !connects) {
            boxes << QStringLiteral("PASSWORD MISMATCH!");
        }
        frmMain w;
        const QString file = dataFile(QStringLiteral("theirs.pnv"), kOther, 2);
        fx.host->onModal<frmImport>(QStringLiteral("frmImport"), [typed](frmImport& d) {
            d.txtPassword()->setText(typed);
            d.cmdOK_Click();
            if (d.isVisible()) {
                d.cmdCancel_Click();
            }
        });
        for (int i = 0; i < boxes.size(); ++i) {
            fx.host->answerNext(vb::vbOK);
        }
        if (!refused) {
            fx.host->fileNext(file);
        }
        w.mnuOpenSpecial_Click();
        QCOMPARE(titles(), boxes);
        QCOMPARE(connected(w), connects);
        QCOMPARE(gOpenPassword, connects ? typed : QString());
        QCOMPARE(gDBpath, connects ? file : QString());
    }

    void saveAsKeysTheCopyWithTheLogin_data()
    {
        QTest::addColumn<QString>("other");
        QTest::newRow("file of the login") << QString();
        QTest::newRow("file opened with another password") << QStringLiteral("Other");
    }

    void saveAsKeysTheCopyWithTheLogin()
    {
        // Guards against a copy keyed with the other password, or the window left on the old file.
        QFETCH(QString, other);
        frmMain w;
        const QString source = dataFile(QStringLiteral("src.pnv"), other.isEmpty() ? kLogin : kOther, 3);
        open(w, source, other);
        const QString copy = fx.path(QStringLiteral("copy.pnv"));
        if (!other.isEmpty()) {
            fx.host->answerNext(vb::vbOK);
        }
        fx.host->fileNext(copy);
        w.mnuFileSaveAs_Click();
        QCOMPARE(titles(), other.isEmpty() ? QStringList() : QStringList { QStringLiteral("NOTE SAVE PASSWORD!") });
        QCOMPARE(accounts(copy, kLogin), 3L);
        QCOMPARE(accounts(source, other.isEmpty() ? kLogin : kOther), 3L);
        QCOMPARE(gDBpath, copy);
        QVERIFY(gOpenPassword.isEmpty());
        QVERIFY(connected(w));
    }

    void saveAsChoosingAgainNotesThePasswordAgain()
    {
        // Guards against the note on the login password skipped when the file is chosen again.
        frmMain w;
        open(w, dataFile(QStringLiteral("theirs.pnv"), kOther, 1), QStringLiteral("Other"));
        const QString taken = dataFile(QStringLiteral("taken.pnv"), kLogin, 2);
        fx.host->answerNext(vb::vbOK);
        fx.host->fileNext(taken);
        fx.host->answerNext(vb::vbNo);
        fx.host->answerNext(vb::vbOK);
        fx.host->cancelFileNext();
        w.mnuFileSaveAs_Click();
        const QString note = QStringLiteral("NOTE SAVE PASSWORD!");
        QCOMPARE(titles(), (QStringList { note, QStringLiteral("FILE EXISTS!"), note }));
        QCOMPARE(accounts(taken, kLogin), 2L);
        QCOMPARE(gOpenPassword, QStringLiteral("Other"));
        QVERIFY(connected(w));
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
        QCOMPARE(titles(), QStringList { QStringLiteral("FILE EXISTS!") });
        QCOMPARE(accounts(file, kLogin), 4L);
        QCOMPARE(gDBpath, file);
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
        fx.host->answerNext(vb::vbOK);
        w.mnuFileSaveAs_Click();
        QCOMPARE(titles(),
            (QStringList { QStringLiteral("DATABASE COMPACT ERROR!"),
                QStringLiteral("SAVE AS - FAILURE") }));
        QCOMPARE(gDBpath, file);
        QVERIFY(connected(w));
    }

    void closeOfEachKind_data()
    {
        QTest::addColumn<QString>("other");
        QTest::newRow("login password: compacted, new row kept") << QString();
        QTest::newRow("other password: kept, new row dropped") << QStringLiteral("Other");
    }

    void closeOfEachKind()
    {
        // Guards against a file re-keyed that must keep its password, or a typed row mishandled.
        QFETCH(QString, other);
        frmMain w;
        const QString password = other.isEmpty() ? kLogin : kOther;
        const QString file = dataFile(QStringLiteral("c.pnv"), password, 2);
        open(w, file, other);
        ado::Recordset* rs = w.Adodc1->Recordset();
        rs->AddNew();
        rs->Fields(QStringLiteral("Account")).setValue(QStringLiteral("typed, not saved"));
        w.mnuFileClose_Click();
        QCOMPARE(w.panelText(1), QStringLiteral("No Data File Loaded."));
        QVERIFY(gOpenPassword.isEmpty());
        QVERIFY(!connected(w));
        QCOMPARE(accounts(file, password), other.isEmpty() ? 3L : 2L);
        // The Open dialog then offers the file closed last (one closed with the login password).
        fx.host->cancelFileNext();
        w.mnuFileOpen_Click();
        QCOMPARE(fx.host->fileRequests().constLast().fileName, other.isEmpty() ? file : QString());
        QVERIFY(!connected(w));
    }
};

PINVARA_TEST_MAIN(TestFrmMainFiles)
#include "tst_frmMain_files.moc"
